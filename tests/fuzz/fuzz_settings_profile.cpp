// Feeds arbitrary bytes to the readers of the settings the user and the start-up folder supply:
// settings files, the working configuration and the profile. The first byte picks the reader (its
// top three bits) and the printer, the rest is the input. The profile must come out as valid
// indexes, and a taken record must respect the bounds.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "fuzz_support.h"
#include "settings/profile.h"
#include "state/app_state.h"
#include "storage/range_check.h"
#include "storage/settings_file.h"
#include "storage/working_config.h"

namespace {

using namespace kestrel;
using fuzz::Check;

void FuzzProfile(std::string_view contents) {
    ProfileState profile;
    ReadProfile(profile, contents);
    Check(static_cast<int>(profile.specIndex) <= 4 &&
          static_cast<int>(profile.mechanismIndex) <= 5);
    Check(!(profile.egypt && profile.taiwan));
    // Section and key names taken from the file itself reach deeper into the matching.
    const std::string_view section = contents.substr(0, contents.size() / 3);
    const std::string_view key = contents.substr(contents.size() / 3, contents.size() / 3);
    Check(ReadProfileValue(contents, section, key, "D").size() <= kProfileValueMaxLength);
}

void FuzzSettings(std::uint8_t selector, bool settingsFile, std::span<const std::uint8_t> bytes) {
    constexpr std::uint32_t kIds[] = {16, 17, 18, 19, 20, 21, 240, 0};
    AppState state;
    state.selectedPrinter().mechanismId = kIds[selector & 7];
    state.profile.taiwan = (selector & 0x08) != 0;
    state.profile.egypt = !state.profile.taiwan && (selector & 0x10) != 0;
    state.profile.mechanismIndex = static_cast<MechanismIndex>(selector % 6);
    state.profile.specIndex = static_cast<SpecIndex>(selector % 5);
    if (settingsFile) {
        ApplySettingsFile(state, bytes);
    } else {
        ApplyWorkingConfig(state, bytes);
        ReplaceOutOfRangeSettings(state);
    }
    Check(SettingsInRange(state.settings, state.profile.taiwan));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    const std::string_view text(reinterpret_cast<const char*>(rest.data()), rest.size());
    if (const int reader = (data[0] >> 5) % 3; reader == 2) {
        FuzzProfile(text);
    } else {
        FuzzSettings(data[0], reader == 0, rest);
    }
    return 0;
}
