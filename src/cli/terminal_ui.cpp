#include "cli/terminal_ui.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>
#include <string>
#include <utility>

#include "settings/text.h"

namespace kestrel::cli {
namespace {

class TerminalProgress final : public ProgressWindow {
public:
    explicit TerminalProgress(std::ostream& err) : m_err(err) {}
    void setText(std::string_view text) override {
        if (!text.empty()) {
            m_err << text << '\n';
        }
    }

private:
    std::ostream& m_err;
};

// Box texts carry the dialog's line breaks; trailing ones only pad the box.
std::string_view TrimTrailingNewlines(std::string_view text) {
    while (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

TerminalUserInterface::TerminalUserInterface(std::istream& in, std::ostream& err, bool assumeYes)
    : m_in(in), m_err(err), m_assumeYes(assumeYes) {}

Answer TerminalUserInterface::showMessage(const MessageBox& box) {
    const std::string_view text = TrimTrailingNewlines(box.text);
    if (box.buttons == Buttons::Ok) {
        ++m_messages;
        m_err << box.caption << ": " << text << '\n';
        return Answer::Ok;
    }
    const bool yesNo = box.buttons != Buttons::OkCancel;
    const Answer positive = yesNo ? Answer::Yes : Answer::Ok;
    const Answer negative = yesNo ? Answer::No : Answer::Cancel;
    m_err << text << '\n';
    if (m_assumeYes) {
        m_err << (yesNo ? "Yes" : "OK") << " (--yes)\n";
        return positive;
    }
    m_err << "[y/N] " << std::flush;
    std::string line;
    if (!std::getline(m_in, line)) {
        m_err << "\nNo answer on standard input: cancelled (use --yes to confirm).\n";
        return box.buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    // " y " and "y\r" (a line typed on a Windows terminal) are yes as well.
    const std::string_view answer = Trim(line);
    const auto is = [&](std::string_view word) { return EqualsIgnoreCase(answer, word); };
    if (is("y") || is("yes") || is("ok")) {
        return positive;
    }
    return box.buttons == Buttons::YesNoCancel && !is("n") && !is("no") ? Answer::Cancel : negative;
}

CursorId TerminalUserInterface::setCursor(CursorId cursor) {
    return std::exchange(m_cursor, cursor);
}

std::unique_ptr<ProgressWindow> TerminalUserInterface::openProgressWindow(Owner) {
    return std::make_unique<TerminalProgress>(m_err);
}

}  // namespace kestrel::cli
