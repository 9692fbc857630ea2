// The three printer commands of the Send and File menus: ask, run the setting job, follow up,
// and report a failure by the last job error.
#pragma once

#include "commands/command_context.h"
#include "settings/setting_encoder.h"

namespace kestrel {

enum class FlowResult { Done, Cancelled, Failed };

FlowResult RunSettingCommand(CommandContext& ctx, SettingJobKind kind, Owner owner);

// The question asked before each kind of job.
std::string_view SettingJobQuestion(SettingJobKind kind);

// Shows the message for a failed raw job (codes 1 to 4) with the red-cross printer icon.
void ReportJobFailure(CommandContext& ctx, Owner owner);

}  // namespace kestrel
