// The model and region profile "kestspec.ini" in the start-up folder: which spec (region or
// customer) is in force, a regional mechanism variant, and a service mode that forces the
// mechanism instead of taking it from the printer driver. The file is optional and read once.
#pragma once

#include <string>
#include <string_view>

#include "settings/profile_state.h"

namespace kestrel {

struct AppState;
class UserInterface;

inline constexpr std::string_view kProfileFileName = "kestspec.ini";

// Values longer than this are cut, as a fixed 80-character buffer would.
inline constexpr std::size_t kProfileValueMaxLength = 79;

// Reads one value the way the platform's private profile (INI) files are read: the first section
// whose name matches and, in it, the first key that matches, both without regard to letter case;
// the value is trimmed, loses one pair of enclosing quotes and is cut to 79 characters. A missing
// section or key gives the default.
std::string ReadProfileValue(std::string_view contents, std::string_view section,
                             std::string_view key, std::string_view defaultValue);

// Applies the contents of a profile file to the profile state: spec index, debug flag, mechanism
// index (debug mode only), Egypt and Taiwan flags. Unknown words give the defaults.
void ReadProfile(ProfileState& profile, std::string_view contents);

// Reads "kestspec.ini" from the start-up folder; a missing or unreadable file reads as empty.
void ReadProfile(AppState& state);

// The profile words, by index.
std::string_view SpecName(SpecIndex spec);
std::string_view MechanismName(MechanismIndex mechanism);

// In debug mode, shows the spec and mechanism in force with the red-cross printer icon.
void ShowProfileDebugText(AppState& state, UserInterface& ui);

}  // namespace kestrel
