#include "ports/testing/recording_ui.h"

namespace kestrel::testing {
namespace {

class RecordingProgress final : public ProgressWindow {
public:
    explicit RecordingProgress(RecordingUserInterface& ui) : m_ui(ui) {
        ++m_ui.progressOpen;
        m_ui.events.push_back({RecordedEvent::ProgressOpened, {}});
    }
    ~RecordingProgress() override {
        --m_ui.progressOpen;
        m_ui.events.push_back({RecordedEvent::ProgressClosed, {}});
    }
    void setText(std::string_view text) override {
        m_ui.progressTexts.emplace_back(text);
        m_ui.events.push_back({RecordedEvent::ProgressText, std::string(text)});
    }

private:
    RecordingUserInterface& m_ui;
};

}  // namespace

Answer RecordingUserInterface::showMessage(const MessageBox& box) {
    boxes.push_back(box);
    events.push_back({RecordedEvent::Box, box.text});
    if (box.buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    if (answers.empty()) {
        return box.buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<std::string> RecordingUserInterface::openFileDialog(const FileDialogOptions& o) {
    dialogs.push_back(o);
    events.push_back({RecordedEvent::OpenDialog, o.title});
    if (fileAnswers.empty()) {
        return std::nullopt;
    }
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

std::optional<std::string> RecordingUserInterface::saveFileDialog(const FileDialogOptions& o) {
    dialogs.push_back(o);
    events.push_back({RecordedEvent::SaveDialog, o.title});
    if (fileAnswers.empty()) {
        return std::nullopt;
    }
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
}

CursorId RecordingUserInterface::setCursor(CursorId cursor) {
    cursors.push_back(cursor);
    events.push_back({RecordedEvent::Cursor, cursor == CursorId::Wait ? "wait" : "arrow"});
    const CursorId previous = current;
    current = cursor;
    return previous;
}

std::unique_ptr<ProgressWindow> RecordingUserInterface::openProgressWindow(Owner) {
    return std::make_unique<RecordingProgress>(*this);
}

std::vector<std::string> RecordingUserInterface::boxTexts() const {
    std::vector<std::string> texts;
    for (const auto& b : boxes) {
        texts.push_back(b.text);
    }
    return texts;
}

}  // namespace kestrel::testing
