#include "settings/factory_defaults.h"

#include <array>

#include "state/app_state.h"

namespace kestrel {
namespace {

namespace o = offset;

// The base record: spec OVERSEA, mechanism STANDARD.
constexpr SettingsRecord kBase{
    1, 0, 1, 0, 0, 0, 0, 1, 1, 0,           // 0-9 memory switches
    3, 6, 1, 0, 6, 6, 8, 0,                 // 10-17 customize values
    6, 2, 0,                                // 18-20 serial interface
    0, 1, 1, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0,  // 21-33 extended switches
    0, 0,                                   // 34-35 cut adjustment
    0,                                      // 36 font
    0,                                      // 37 reserved
};

constexpr SettingsRecord MakeDefault(int spec, int mech) {
    SettingsRecord r{};
    if (spec == 4) {
        return r;  // OVERSEA2: every setting at its first option
    }
    r = kBase;
    if (mech == 1 || mech == 3) {  // black mark sensor
        r[o::BmCheckAtPowerOn] = 0;
        r[o::BmSensor] = 1;
        r[o::BmCheckWithCut] = 1;
    }
    if (mech == 4) {  // KR-700
        r[o::MaxSpeed] = 6;
    }
    if (mech == 5) {  // KR-500
        r[o::MaxSpeed] = 3;
        r[o::PneDetect] = 0;
    }
    if (spec == 1) {
        r[o::PowerOnStatus] = 0;
        r[o::PaperWidth] = 4;
    }
    if (spec == 2) {
        r[o::PowerOnStatus] = 0;
        r[o::PaperWidth] = mech <= 3 ? 4 : 2;
    }
    if (spec == 3) {
        r[o::PowerOnStatus] = 0;
    }
    return r;
}

constexpr auto MakeTable() {
    std::array<SettingsRecord, kSpecCount * kMechanismCount> table{};
    for (int s = 0; s < kSpecCount; ++s) {
        for (int m = 0; m < kMechanismCount; ++m) {
            table[static_cast<std::size_t>(s * kMechanismCount + m)] = MakeDefault(s, m);
        }
    }
    return table;
}

constexpr auto kFactoryDefaults = MakeTable();

constexpr SettingsRecord MakeMaxima() {
    SettingsRecord m{};
    for (std::size_t i = 0; i <= 9; ++i) {
        m[i] = 1;
    }
    m[o::UserNvMemory] = 3;
    m[o::NvGraphicMemory] = 6;
    m[o::PaperWidth] = 5;
    m[o::PrintColor] = 1;
    m[o::PrintDensity] = 12;
    m[o::BkDensity] = 12;
    m[o::MaxSpeed] = 8;
    m[o::LowPower] = 2;
    m[o::Baudrate] = 6;
    m[o::Format] = 4;
    for (std::size_t i = o::Protocol; i <= o::Buzzer; ++i) {
        m[i] = 1;
    }
    m[o::BmCutAdjustment] = 2500 & 0xFF;
    m[o::BmCutAdjustment + 1] = 2500 >> 8;
    m[o::Font] = 1;
    m[o::Reserved] = 0;
    return m;
}

constexpr SettingsRecord kMaxima = MakeMaxima();

}  // namespace

const SettingsRecord& SettingMaxima() {
    return kMaxima;
}

const SettingsRecord& FactoryDefaultRecord(SpecIndex spec, MechanismIndex mechanism) {
    const auto s = static_cast<std::size_t>(spec) % kSpecCount;
    const auto m = static_cast<std::size_t>(mechanism) % kMechanismCount;
    return kFactoryDefaults[s * kMechanismCount + m];
}

void SyncMechanism(AppState& state) {
    auto& profile = state.profile;
    auto& id = state.selectedPrinter().mechanismId;
    if (profile.debug) {
        const auto index = static_cast<std::uint32_t>(profile.mechanismIndex);
        id = (index >= 1 && index <= 5) ? mechanism::Standard + index : mechanism::Standard;
    } else {
        profile.mechanismIndex = (id >= mechanism::BlackMark && id <= mechanism::KR500)
                                     ? static_cast<MechanismIndex>(id - mechanism::Standard)
                                     : MechanismIndex::STANDARD;
    }
}

void LoadFactoryDefaults(AppState& state) {
    SyncMechanism(state);
    auto& profile = state.profile;
    const std::uint32_t id = state.selectedPrinter().mechanismId;

    MechanismIndex lookup = profile.mechanismIndex;
    if (profile.egypt && id == mechanism::KR700) {
        // An Egyptian KR-700 carries the black mark sensor: its defaults are the black mark ones.
        lookup = MechanismIndex::BLACKMARK;
    } else {
        profile.egypt = false;
        if (profile.taiwan && id == mechanism::FullCut) {
            profile.specIndex = SpecIndex::QDN;
        } else {
            profile.taiwan = false;
        }
    }

    state.settings = FactoryDefaultRecord(profile.specIndex, lookup);
    if (profile.egypt) {
        state.settings[o::MaxSpeed] = 6;
    }
    if (profile.taiwan) {
        state.settings[o::MaxSpeed] = 10;
    }
    if (id == mechanism::KR500) {
        state.settings[o::PneDetect] = 0;
        state.settings[o::Buzzer] = 0;
        state.settings[o::MaxSpeed] = 3;
    }
}

}  // namespace kestrel
