// The bounds a record read from disk must respect before the program uses it. A record out of
// bounds is never used: the factory defaults take its place.
#pragma once

#include <filesystem>

#include "settings/settings_record.h"

namespace kestrel {

struct AppState;
class UserInterface;

// Taiwan printers offer eleven speeds, the others at most nine.
inline constexpr std::uint8_t kTaiwanMaxSpeed = 10;

// Every byte 0-33 within the setting maxima (Max Speed up to 10 under the Taiwan flag), the cut
// adjustment within -340..2500, Font 0 or 1. The reserved byte is not examined.
bool SettingsInRange(const SettingsRecord& record, bool taiwan);

// Leaves a record in range untouched and returns true; otherwise loads the factory defaults
// (settling the region flags) and returns false. Touches nothing but the state.
bool ReplaceOutOfRangeSettings(AppState& state);

enum class RangeFailureWrite {
    KeepFile,            // a file the user chose: only the record in memory becomes the defaults
    WriteDefaultsToFile  // the program's own file: the defaults replace it on disk
};

// Leaves a record in range untouched and returns true. Otherwise loads the factory defaults and,
// when asked, writes them to path, reporting a failed write; returns false. No message says that a
// value was out of range.
bool CheckSettingsRange(AppState& state, UserInterface& ui, const std::filesystem::path& path,
                        RangeFailureWrite write);

}  // namespace kestrel
