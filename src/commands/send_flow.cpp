#include "commands/send_flow.h"

#include "commands/setting_job.h"
#include "printer/raw_job.h"

namespace kestrel {

std::string_view SettingJobQuestion(SettingJobKind kind) {
    switch (kind) {
        case SettingJobKind::SendSettings:
            return "Do you want to transfer the setting to printer ?\n\nPlease check that the "
                   "printer is connected \nand click OK button.";
        case SettingJobKind::InitializePrinter:
            return "Do you want to change all settings to the factory default values ?\n\nPlease "
                   "check that the printer is connected \nand click OK button.";
        case SettingJobKind::PrintSettingsList:
            return "The setting list is printed.\n\nPlease check that the printer is connected "
                   "\nand click OK button.";
    }
    return {};
}

void ReportJobFailure(CommandContext& ctx, Owner owner) {
    if (const auto text = RawJobFailureMessage(ctx.state.lastJobError)) {
        ReportMessage(ctx.ui, kUserIconStyle, *text, BoxIcon::PrinterError, owner);
    }
}

FlowResult RunSettingCommand(CommandContext& ctx, SettingJobKind kind, Owner owner) {
    if (AskQuestion(ctx.ui, SettingJobQuestion(kind), Buttons::OkCancel, owner) != Answer::Ok) {
        return FlowResult::Cancelled;
    }
    if (!SendSettingJob(ctx, kind, owner)) {
        ReportJobFailure(ctx, owner);
        return FlowResult::Failed;
    }
    if (kind == SettingJobKind::PrintSettingsList) {
        return FlowResult::Done;
    }
    AppState& state = ctx.state;
    if (kind == SettingJobKind::SendSettings) {
        state.lastSentPaperWidth = state.settings[offset::PaperWidth];
    }
    if (ctx.afterSettingsSent) {
        ctx.afterSettingsSent(ctx, owner);
    }
    // Only systems that need a restart for new serial settings ask for one; Linux applies them at
    // the next job, so its OS level never reaches this.
    if (state.osLevel > 3 && state.serialSettingsChanged) {
        MessageBox box;
        box.text =
            "The serial interface setting was changed.\nIt is necessary to reboot the computer to "
            "make it effective.\n\nClose other applications and click [OK] button.\n\n";
        box.icon = BoxIcon::Information;
        box.owner = owner;
        ctx.ui.showMessage(box);
    }
    state.serialSettingsChanged = false;
    return FlowResult::Done;
}

}  // namespace kestrel
