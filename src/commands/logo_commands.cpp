#include "commands/logo_commands.h"

#include <cstring>

#include "printer/raw_job.h"

namespace kestrel {
namespace {

constexpr std::string_view kMissingFileText = "Please specify the BITMAP file.\n";
constexpr std::string_view kReadingFailureHeading = "Reading failure of BITMAP file.\n\n";

void Report(CommandContext& ctx, std::string_view text) {
    ReportMessage(ctx.ui, kUserIconStyle, text, BoxIcon::PrinterError, Owner::LogoDialog);
}

}  // namespace

std::vector<PlannedLogoJob> PlanLogoJobs(LogoCommand command, int slotIndex, const LogoTable& table,
                                         bool cutAfterPrint) {
    switch (command) {
        case LogoCommand::Delete:
            return {{LogoJobKind::LogoDelete, slotIndex, false, false}};
        case LogoCommand::Regist:
            return {{LogoJobKind::LogoRegister, slotIndex, false, false}};
        case LogoCommand::Print:
            return {{LogoJobKind::LogoPrint, slotIndex,
                     table.at(static_cast<std::size_t>(slotIndex)).twoColor, cutAfterPrint}};
        case LogoCommand::ConfirmationPrint: {
            std::vector<PlannedLogoJob> jobs;
            for (const bool twoColor : {false, true}) {
                for (int slot = 0; slot < kLogoSlotCount; ++slot) {
                    const bool last = twoColor && slot == kLogoSlotCount - 1;
                    jobs.push_back({LogoJobKind::LogoPrint, slot, twoColor, last});
                }
            }
            return jobs;
        }
    }
    return {};
}

std::string_view LogoCommandQuestion(LogoCommand command) {
    switch (command) {
        case LogoCommand::Delete:
            return "The logo is deleted.\n\nPlease check that the printer is connected\nand click "
                   "OK button.";
        case LogoCommand::Regist:
            return "The logo is registered.\n\nPlease check that the printer is connected\nand "
                   "click OK button.";
        case LogoCommand::Print:
        case LogoCommand::ConfirmationPrint:
            return "The logo is printed.\n\nPlease check that the printer is connected\nand click "
                   "OK button.";
    }
    return {};
}

std::string LogoJobFailureMessage(JobError code, std::string_view slotPath, int systemError) {
    if (const auto raw = RawJobFailureMessage(code)) {
        return std::string(*raw);
    }
    std::string_view reason;
    switch (code) {
        case JobError::BitmapNotFound:
            reason = "\nThe BITMAP file doesn't exist.";
            break;
        case JobError::BitmapBadFormat:
            reason = "\nThe BITMAP file format is different. ";
            break;
        case JobError::BitmapUnreadable:
            reason = "\nThe BITMAP file cannot be read.";
            break;
        case JobError::LogoTooLarge:
            reason = "\nThe logo is too large for the printer's NV graphics memory (384 KB).";
            break;
        default:
            return {};
    }
    std::string text(kReadingFailureHeading);
    text += slotPath;
    text += reason;
    if (systemError != 0) {
        text += "\n";
        text += std::strerror(systemError);
        text += ".";
    }
    return text;
}

FlowResult RunLogoCommand(CommandContext& ctx, LogoCommand command, int slotIndex,
                          bool cutAfterPrint) {
    const std::vector<PlannedLogoJob> jobs =
        PlanLogoJobs(command, slotIndex, ctx.state.logoTable, cutAfterPrint);
    bool asked = false;
    Answer answer = Answer::Cancel;
    FlowResult result = FlowResult::Done;
    for (const PlannedLogoJob& job : jobs) {
        const std::string& path =
            ctx.state.logoTable.at(static_cast<std::size_t>(job.slotIndex)).path;
        if (job.kind == LogoJobKind::LogoRegister && path.empty()) {
            Report(ctx, kMissingFileText);
            result = FlowResult::Failed;
            continue;
        }
        if (!asked) {
            answer = AskQuestion(ctx.ui, LogoCommandQuestion(command), Buttons::OkCancel,
                                 Owner::LogoDialog);
            asked = true;
        }
        if (answer != Answer::Ok) {
            result = FlowResult::Cancelled;
            continue;
        }
        if (!RunLogoJob(ctx, job.kind, job.slotIndex, job.cutAfter, job.twoColor)) {
            const std::string text =
                LogoJobFailureMessage(ctx.state.lastJobError, path, ctx.state.lastJobSystemError);
            if (!text.empty()) {
                Report(ctx, text);
            }
            result = FlowResult::Failed;
        }
    }
    return result;
}

}  // namespace kestrel
