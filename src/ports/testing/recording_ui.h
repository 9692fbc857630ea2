// A user interface for tests: every box, dialog, cursor change and progress text is recorded,
// and answers come from a script (OK or Yes when the script runs out).
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ports/clock.h"
#include "ports/settings_view.h"
#include "ports/user_interface.h"

namespace kestrel::testing {

struct RecordedEvent {
    enum Kind { Box, OpenDialog, SaveDialog, Cursor, ProgressOpened, ProgressText, ProgressClosed };
    Kind kind;
    std::string text;
};

class RecordingUserInterface final : public UserInterface {
public:
    std::deque<Answer> answers;                          // for boxes with more than OK
    std::deque<std::optional<std::string>> fileAnswers;  // for file dialogs; nullopt = Cancel

    std::vector<MessageBox> boxes;
    std::vector<FileDialogOptions> dialogs;
    std::vector<CursorId> cursors;
    std::vector<std::string> progressTexts;
    std::vector<RecordedEvent> events;
    int progressOpen = 0;
    CursorId current = CursorId::Arrow;

    Answer showMessage(const MessageBox& box) override;
    std::optional<std::string> openFileDialog(const FileDialogOptions& options) override;
    std::optional<std::string> saveFileDialog(const FileDialogOptions& options) override;
    CursorId setCursor(CursorId cursor) override;
    std::unique_ptr<ProgressWindow> openProgressWindow(Owner owner) override;

    std::vector<std::string> boxTexts() const;
};

class RecordingClock final : public Clock {
public:
    std::vector<long long> waits;  // milliseconds, in order
    void sleepFor(std::chrono::milliseconds duration) override {
        waits.push_back(duration.count());
    }
};

class RecordingSettingsView final : public SettingsView {
public:
    SettingsRecord page{};  // what the page's controls show
    int collects = 0;
    int refreshes = 0;
    void collectVisiblePage(SettingsRecord& record) override {
        ++collects;
        record = page;
    }
    void refreshVisiblePage(const SettingsRecord& record) override {
        ++refreshes;
        page = record;
    }
};

}  // namespace kestrel::testing
