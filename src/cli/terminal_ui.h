// The user interface of the command-line tool: boxes become lines on standard error, questions
// are asked on the terminal (or answered by --yes), the progress window prints its text.
#pragma once

#include <iosfwd>
#include <utility>

#include "ports/user_interface.h"

namespace kestrel::cli {

class TerminalUserInterface final : public UserInterface {
public:
    TerminalUserInterface(std::istream& in, std::ostream& err, bool assumeYes);

    Answer showMessage(const MessageBox& box) override;
    // Files are named on the command line: a file dialog takes the name given for it, once.
    std::optional<std::string> openFileDialog(const FileDialogOptions&) override {
        return std::exchange(m_fileAnswer, std::nullopt);
    }
    std::optional<std::string> saveFileDialog(const FileDialogOptions&) override {
        return std::exchange(m_fileAnswer, std::nullopt);
    }
    void answerNextFileDialog(std::string path) { m_fileAnswer = std::move(path); }
    CursorId setCursor(CursorId cursor) override;
    std::unique_ptr<ProgressWindow> openProgressWindow(Owner owner) override;

    int messagesShown() const { return m_messages; }

private:
    std::istream& m_in;
    std::ostream& m_err;
    bool m_assumeYes;
    CursorId m_cursor = CursorId::Arrow;
    int m_messages = 0;
    std::optional<std::string> m_fileAnswer;
};

}  // namespace kestrel::cli
