// Every record read from disk is brought into line with the selected printer: settings a model
// lacks (black mark sensor, cut adjustment, paper near-end detector, buzzer) are cleared and the
// print speed is limited to what the mechanism can do.
#pragma once

#include <cstdint>

#include "settings/profile_state.h"
#include "settings/settings_record.h"

namespace kestrel {

// The two loaders differ for the KR-900 mechanisms: a settings file keeps a Taiwan record's
// speed as long as the Taiwan flag is set, the working configuration only on a full-cut printer,
// where it also selects the QDN spec; elsewhere it clears the Taiwan flag.
enum class AdjustmentRule { SettingsFile, WorkingConfig };

void AdjustToModel(SettingsRecord& record, ProfileState& profile, std::uint32_t mechanismId,
                   AdjustmentRule rule);

}  // namespace kestrel
