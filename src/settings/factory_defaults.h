// Factory default records, the bounds a stored record must respect, and the rules that pick the
// defaults for the printer model and region in force.
#pragma once

#include <cstdint>

#include "settings/profile_state.h"
#include "settings/settings_record.h"

namespace kestrel {

struct AppState;

inline constexpr int kSpecCount = 5;
inline constexpr int kMechanismCount = 6;

// The largest option index a record read from disk may hold at every byte. Bytes 34-35 hold
// 2500, the upper bound of the signed cut adjustment.
const SettingsRecord& SettingMaxima();

// Entry spec x 6 + mechanism of the factory default table.
const SettingsRecord& FactoryDefaultRecord(SpecIndex spec, MechanismIndex mechanism);

// Brings the profile's mechanism index and the selected printer's mechanism id into agreement:
// in debug mode the index decides the id, otherwise the id decides the index.
void SyncMechanism(AppState& state);

// Replaces the settings record by the defaults for the model and region in force, settling the
// Egypt and Taiwan flags against the selected printer on the way.
void LoadFactoryDefaults(AppState& state);

}  // namespace kestrel
