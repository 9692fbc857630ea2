// The user interface of the command-line tool: boxes become lines on standard error, questions
// are asked on the terminal (or answered by --yes), the progress window prints its text.
#pragma once

#include <iosfwd>

#include "ports/user_interface.h"

namespace kestrel::cli {

class TerminalUserInterface final : public UserInterface {
public:
    TerminalUserInterface(std::istream& in, std::ostream& err, bool assumeYes);

    Answer showMessage(const MessageBox& box) override;
    // Files are named on the command line; the tool never shows a file dialog.
    std::optional<std::string> openFileDialog(const FileDialogOptions&) override {
        return std::nullopt;
    }
    std::optional<std::string> saveFileDialog(const FileDialogOptions&) override {
        return std::nullopt;
    }
    CursorId setCursor(CursorId cursor) override;
    std::unique_ptr<ProgressWindow> openProgressWindow(Owner owner) override;

    int messagesShown() const { return m_messages; }

private:
    std::istream& m_in;
    std::ostream& m_err;
    bool m_assumeYes;
    CursorId m_cursor = CursorId::Arrow;
    int m_messages = 0;
};

}  // namespace kestrel::cli
