#include "commands/app_commands.h"

#include "storage/working_config.h"

namespace kestrel {

bool ConfirmClose(CommandContext& ctx) {
    switch (AskQuestion(ctx.ui, kCloseQuestion, Buttons::YesNoCancel, Owner::MainWindow)) {
        case Answer::Yes:
            WriteWorkingConfig(ctx.state, ctx.ui, ctx.view);
            return true;
        case Answer::No:
            return true;
        default:
            return false;
    }
}

std::string VersionText(std::string_view version) {
    return version.empty() ? std::string() : "KESTREL Version " + std::string(version);
}

void ShowVersion(CommandContext& ctx, std::string_view versionText) {
    ReportMessage(ctx.ui, kUserIconStyle, versionText, BoxIcon::Printer, Owner::MainWindow);
}

std::string SingleInstanceName(bool debugFlag) {
    return debugFlag ? "POS Tillboard_Mutex_DEBUG" : "POS Tillboard_Mutex";
}

}  // namespace kestrel
