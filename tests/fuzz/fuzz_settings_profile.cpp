// Feeds arbitrary bytes to the profile reader and to the settings loaders. The first byte picks the
// reader and the printer, the rest is the file. Whatever a file holds, the profile must come out as
// valid indexes, and a loaded record must respect the bounds.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "settings/profile.h"
#include "state/app_state.h"
#include "storage/range_check.h"
#include "storage/settings_file.h"
#include "storage/working_config.h"

namespace {

using namespace kestrel;

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void FuzzProfile(std::string_view contents) {
    ProfileState profile;
    ReadProfile(profile, contents);
    Check(static_cast<int>(profile.specIndex) <= 4);
    Check(static_cast<int>(profile.mechanismIndex) <= 5);
    Check(!(profile.egypt && profile.taiwan));
    Check(ReadProfileValue(contents, "SPEC", "SPECKEY", "").size() <= kProfileValueMaxLength);
    // Section and key names taken from the file itself reach deeper into the matching.
    const std::string_view section = contents.substr(0, contents.size() / 3);
    const std::string_view key = contents.substr(contents.size() / 3, contents.size() / 3);
    Check(ReadProfileValue(contents, section, key, "D").size() <= kProfileValueMaxLength);
}

void FuzzSettings(std::uint8_t selector, std::span<const std::uint8_t> bytes) {
    constexpr std::uint32_t kIds[] = {16, 17, 18, 19, 20, 21, 240, 0};
    AppState state;
    state.selectedPrinter().mechanismId = kIds[selector & 7];
    state.profile.egypt = (selector & 0x08) != 0;
    state.profile.taiwan = (selector & 0x10) != 0;
    state.profile.debug = (selector & 0x20) != 0;
    state.profile.mechanismIndex = static_cast<MechanismIndex>((selector >> 2) % 6);
    state.profile.specIndex = static_cast<SpecIndex>(selector % 5);
    if ((selector & 0x40) != 0) {
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
    if ((data[0] & 0x80) != 0) {
        FuzzProfile({reinterpret_cast<const char*>(rest.data()), rest.size()});
    } else {
        FuzzSettings(data[0], rest);
    }
    return 0;
}
