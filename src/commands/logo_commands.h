// The logo dialog's commands (Delete, Regist, Print for one slot, and Confirmation print of all
// five) as flows over the ports: plan the jobs, ask once, run each job, report each failure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/command_context.h"
#include "commands/send_flow.h"
#include "logo/logo_job.h"

namespace kestrel {

enum class LogoCommand { Delete, Regist, Print, ConfirmationPrint };

struct PlannedLogoJob {
    LogoJobKind kind = LogoJobKind::LogoPrint;
    int slotIndex = 0;
    bool twoColor = false;
    bool cutAfter = false;
};

// The jobs a command runs, in order. A confirmation print is ten print jobs: the five logos in
// monochrome, then in two colours, with the paper cut after the last only. The dialog's Print
// always cuts; the command-line tool may print one logo without the cut.
std::vector<PlannedLogoJob> PlanLogoJobs(LogoCommand command, int slotIndex, const LogoTable& table,
                                         bool cutAfterPrint = true);

// The question asked once per command before its first job.
std::string_view LogoCommandQuestion(LogoCommand command);

// The message for a failed logo job by the last job error; the bitmap codes name the slot's file,
// and add the system's reason when it has one (a file there but not readable by this user).
std::string LogoJobFailureMessage(JobError code, std::string_view slotPath, int systemError = 0);

// Runs a command of the logo dialog. The caller has saved the dialog's controls into the logo
// table. Returns Cancelled when the question was declined (nothing sent), Failed when a register
// had no file or any job failed (each failure shown), Done otherwise.
FlowResult RunLogoCommand(CommandContext& ctx, LogoCommand command, int slotIndex,
                          bool cutAfterPrint = true);

}  // namespace kestrel
