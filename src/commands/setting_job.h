// Sends one of the three setting jobs to the selected printer, with the progress window and busy
// cursor around it, and brings the page and the host port settings in line with what was sent.
#pragma once

#include "commands/command_context.h"
#include "settings/setting_encoder.h"

namespace kestrel {

// Returns true when the raw job was written and closed; on false the last job error says why and
// nothing but the record (collected page, or factory defaults for an initialization) has changed.
bool SendSettingJob(CommandContext& ctx, SettingJobKind kind, Owner owner);

// The progress text of each job kind.
std::string_view SettingJobProgressText(SettingJobKind kind);

}  // namespace kestrel
