#include "storage/working_config.h"

#include <algorithm>
#include <optional>

#include "ports/settings_view.h"
#include "ports/user_interface.h"
#include "printer/serial_line_value.h"
#include "settings/factory_defaults.h"
#include "state/app_state.h"
#include "storage/atomic_file.h"
#include "storage/file_errors.h"
#include "storage/model_adjustment.h"
#include "storage/range_check.h"
#include "storage/wait_cursor.h"

namespace kestrel {
namespace {

namespace o = offset;

}  // namespace

std::filesystem::path WorkingConfigPath(const AppState& state) {
    return std::filesystem::path(state.startupFolder) / kWorkingConfigFileName;
}

void ApplyWorkingConfig(AppState& state, std::span<const std::uint8_t> bytes) {
    // A file shorter than a record is treated as missing: no half record from leftovers.
    if (bytes.size() < kSettingsRecordSize) {
        LoadFactoryDefaults(state);
        return;
    }
    SyncMechanism(state);
    std::copy_n(bytes.begin(), kSettingsRecordSize, state.settings.begin());
    AdjustToModel(state.settings, state.profile, state.selectedPrinter().mechanismId,
                  AdjustmentRule::WorkingConfig);
}

void TakeHostSerialSettings(AppState& state) {
    HostPortSettings& host = state.hostPort;
    state.settings[o::Baudrate] = static_cast<std::uint8_t>(host.baudIndex);
    state.settings[o::Protocol] = static_cast<std::uint8_t>(host.flowCode);
    if (const auto format = FormatCodeFor(host.dataBitsCode, host.parityCode)) {
        state.settings[o::Format] = static_cast<std::uint8_t>(*format);
        host.formatCode = *format;
    } else {
        // Seven bits without parity is none of the printer's formats: the line's format stays
        // unknown, so that the first send sets data bits and parity from the record.
        host.formatCode = kUnknownFormatCode;
    }
}

void ReadWorkingConfig(AppState& state, UserInterface& ui, SettingsView& view) {
    WaitCursor cursor(ui);
    const std::filesystem::path path = WorkingConfigPath(state);
    const FileHead head = ReadFileHead(path, kSettingsRecordSize);
    // An unreadable file counts as missing, like one that cannot be opened.
    ApplyWorkingConfig(state, head.bytes);
    CheckSettingsRange(state, ui, path, RangeFailureWrite::WriteDefaultsToFile);
    TakeHostSerialSettings(state);
    state.lastSentPaperWidth = state.settings[o::PaperWidth];
    state.logoTable = LogoTable{};
    state.logoInitialDir = state.startupFolder;
    view.refreshVisiblePage(state.settings);
}

bool WriteWorkingConfig(AppState& state, UserInterface& ui, SettingsView& view) {
    WaitCursor cursor(ui);
    view.collectVisiblePage(state.settings);
    const SettingsRecord copy = state.settings;
    const SystemErrorCode code =
        WriteFileAtomically(WorkingConfigPath(state), copy, CreateMode::ReplaceExisting);
    if (code != syserr::Success) {
        ReportFileAccessError(ui, code, state.osLevel, kWorkingConfigWriteFailure);
        return false;
    }
    return true;
}

}  // namespace kestrel
