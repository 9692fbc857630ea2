// Records and states for the storage tests.
#pragma once

#include <cstdint>
#include <vector>

#include "settings/factory_defaults.h"
#include "state/app_state.h"
#include "test_helpers.h"

namespace kestrel::testing {

using TempFolder = ScratchFolder;

inline std::vector<std::uint8_t> Bytes(const SettingsRecord& record) {
    return {record.begin(), record.end()};
}

inline AppState StateFor(std::uint32_t mechanismId, bool egypt = false, bool taiwan = false) {
    AppState state;
    state.selectedPrinter().mechanismId = mechanismId;
    state.profile.egypt = egypt;
    state.profile.taiwan = taiwan;
    return state;
}

// The record LoadFactoryDefaults gives for this printer and profile.
inline SettingsRecord DefaultsFor(AppState state) {
    LoadFactoryDefaults(state);
    return state.settings;
}

// A sound record that no model adjustment changes (no black mark, slow speed) and that differs
// from every default record (print density 3).
inline SettingsRecord PlainRecord() {
    SettingsRecord r = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
    r[offset::MaxSpeed] = 2;
    r[offset::PrintDensity] = 3;
    r[offset::PneDetect] = 0;
    r[offset::Buzzer] = 0;
    return r;
}

}  // namespace kestrel::testing
