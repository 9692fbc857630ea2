#include "commands/setting_job.h"

#include <chrono>

#include "printer/raw_job.h"
#include "settings/factory_defaults.h"

namespace kestrel {
namespace {

using namespace std::chrono_literals;
namespace o = offset;

// Copies the serial values that were just sent into the PC's side of the line and says whether
// anything changed.
bool FollowSentSerialSettings(const SettingsRecord& record, HostPortSettings& host) {
    bool changed = false;
    if (host.baudIndex != record[o::Baudrate]) {
        host.baudIndex = record[o::Baudrate];
        changed = true;
    }
    if (host.formatCode != record[o::Format]) {
        host.formatCode = record[o::Format];
        const FormatCodes codes = FormatToCodes(record[o::Format]);
        host.dataBitsCode = codes.dataBitsCode;
        host.parityCode = codes.parityCode;
        changed = true;
    }
    if (host.flowCode != record[o::Protocol]) {
        host.flowCode = record[o::Protocol];
        changed = true;
    }
    return changed;
}

}  // namespace

std::string_view SettingJobProgressText(SettingJobKind kind) {
    switch (kind) {
        case SettingJobKind::SendSettings:
            return "The contents of a setting are written in the printer.";
        case SettingJobKind::InitializePrinter:
            return "It has returned to the initial value at the time of factory default.";
        case SettingJobKind::PrintSettingsList:
            return "The setting list is printed.";
    }
    return {};
}

bool SendSettingJob(CommandContext& ctx, SettingJobKind kind, Owner owner) {
    AppState& state = ctx.state;
    auto progress = ctx.ui.openProgressWindow(owner);
    SetBusyCursor(ctx.ui, CursorId::Wait);
    progress->setText(SettingJobProgressText(kind));

    std::vector<std::uint8_t> stream;
    if (kind == SettingJobKind::PrintSettingsList) {
        stream.assign(kSettingsListStream.begin(), kSettingsListStream.end());
    } else {
        if (kind == SettingJobKind::SendSettings) {
            ctx.view.collectVisiblePage(state.settings);
        } else {
            LoadFactoryDefaults(state);
        }
        stream = BuildSettingStream(kind, state.settings, state.profile, state.hostPort);
    }

    if (!SendRawJob(ctx.printSystem, state, stream)) {
        progress.reset();
        SetBusyCursor(ctx.ui, CursorId::Arrow);
        return false;
    }
    ctx.clock.sleepFor(2000ms);

    if (kind != SettingJobKind::PrintSettingsList) {
        // An initialization sends no paper width, so the printer keeps the one it last got.
        if (kind == SettingJobKind::InitializePrinter &&
            state.settings[o::PaperWidth] != state.lastSentPaperWidth) {
            state.settings[o::PaperWidth] = state.lastSentPaperWidth;
        }
        ctx.view.refreshVisiblePage(state.settings);
        if (FollowSentSerialSettings(state.settings, state.hostPort)) {
            state.serialSettingsChanged = true;
        }
    }

    progress.reset();
    ctx.clock.sleepFor(1000ms);
    SetBusyCursor(ctx.ui, CursorId::Arrow);
    return true;
}

}  // namespace kestrel
