#include "storage/settings_file.h"

#include <algorithm>
#include <filesystem>

#include "ports/settings_view.h"
#include "state/app_state.h"
#include "storage/atomic_file.h"
#include "storage/model_adjustment.h"
#include "storage/range_check.h"
#include "storage/wait_cursor.h"

namespace kestrel {
namespace {

FileDialogOptions DialogOptions(const AppState& state, std::string_view title, bool mustExist) {
    FileDialogOptions options;
    options.title = std::string(title);
    options.filterText = std::string(kSettingsFileFilterText);
    options.filterPattern = std::string(kSettingsFileFilterPattern);
    options.defaultExtension = std::string(kSettingsFileExtension);
    options.initialFolder = state.startupFolder;
    options.fileName.clear();
    options.mustExist = mustExist;
    options.owner = Owner::MainWindow;
    return options;
}

enum class SaveStep { Done, AskAgain };

// One attempt to save to the chosen name; says whether the dialog is to come back.
SaveStep SaveTo(AppState& state, UserInterface& ui, const std::filesystem::path& path,
                const SettingsRecord& copy) {
    WaitCursor cursor(ui);
    const SystemErrorCode code = WriteFileAtomically(path, copy, CreateMode::CreateNew);
    if (code == syserr::Success) {
        return SaveStep::Done;
    }
    if (code == syserr::FileExists) {
        if (AskQuestion(ui, kOverwriteQuestion, Buttons::YesNo, Owner::MainWindow) != Answer::Yes) {
            return SaveStep::AskAgain;
        }
        if (WriteFileAtomically(path, copy, CreateMode::ReplaceExisting) != syserr::Success) {
            ShowFileError(ui, kCannotOverwrite);
        }
        return SaveStep::Done;
    }
    if (IsRefusalCode(code)) {
        ReportFileAccessError(ui, code, state.osLevel, kCannotOverwrite);
        return SaveStep::AskAgain;
    }
    ShowFileError(ui, kCannotOverwrite);
    return SaveStep::Done;
}

}  // namespace

FileDialogOptions LoadDialogOptions(const AppState& state) {
    return DialogOptions(state, "Load the File", true);
}

FileDialogOptions SaveDialogOptions(const AppState& state) {
    return DialogOptions(state, "Save the File", false);
}

SettingsFileContent ApplySettingsFile(AppState& state, std::span<const std::uint8_t> bytes) {
    SettingsFileContent content = SettingsFileContent::TooShort;
    if (bytes.size() >= kSettingsRecordSize) {
        std::copy_n(bytes.begin(), kSettingsRecordSize, state.settings.begin());
        AdjustToModel(state.settings, state.profile, state.selectedPrinter().mechanismId,
                      AdjustmentRule::SettingsFile);
        content = SettingsFileContent::Taken;
    }
    // A user's file out of bounds is left as it is on disk; only the record takes the defaults.
    ReplaceOutOfRangeSettings(state);
    return content;
}

void LoadSettingsFile(AppState& state, UserInterface& ui, SettingsView& view) {
    const auto chosen = ui.openFileDialog(LoadDialogOptions(state));
    if (!chosen) {
        return;
    }
    WaitCursor cursor(ui);
    const FileHead head = ReadFileHead(*chosen, kSettingsRecordSize);
    if (head.status == FileHead::Status::CannotOpen) {
        ShowFileError(ui, kReadFailureNoFile);
        return;
    }
    if (head.status == FileHead::Status::ReadFailed) {
        return;
    }
    if (ApplySettingsFile(state, head.bytes) == SettingsFileContent::TooShort) {
        ShowFileError(ui, kReadFailureUnreadable);
    }
    view.refreshVisiblePage(state.settings);
}

void SaveSettingsFile(AppState& state, UserInterface& ui, SettingsView& view) {
    view.collectVisiblePage(state.settings);
    const SettingsRecord copy = state.settings;
    while (const auto chosen = ui.saveFileDialog(SaveDialogOptions(state))) {
        if (SaveTo(state, ui, *chosen, copy) == SaveStep::Done) {
            return;
        }
    }
}

}  // namespace kestrel
