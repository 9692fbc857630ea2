// The working configuration "kestrel.ini" in the start-up folder carries the settings record from
// one run to the next. Despite its name it is no text profile: it holds the same 38-byte record
// image as a settings file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "settings/settings_record.h"

namespace kestrel {

struct AppState;
class UserInterface;
class SettingsView;

inline constexpr std::string_view kWorkingConfigFileName = "kestrel.ini";

// Shown when the file cannot be written for a reason without its own message.
inline constexpr std::string_view kWorkingConfigWriteFailure =
    "Opening failure of temporary configuration file. Set the initial value of the factory "
    "default.";

std::filesystem::path WorkingConfigPath(const AppState& state);

// Takes the bytes of a working configuration into the settings record, adjusted to the selected
// printer; fewer bytes than a record (none when there is no file) give the factory defaults.
void ApplyWorkingConfig(AppState& state, std::span<const std::uint8_t> bytes);

// The printer's serial settings follow the PC's serial line, and the line's format code follows
// the record.
void TakeHostSerialSettings(AppState& state);

// At start-up, once a printer is accepted: the stored record (or the defaults), brought into line
// with the printer and the PC's serial line; a record out of bounds is replaced on disk by the
// defaults. Also sets the last sent paper width, empties the logo table and shows the record.
void ReadWorkingConfig(AppState& state, UserInterface& ui, SettingsView& view);

// At exit, when the user chooses to save: the page's values go to the file. Returns whether the
// file was written; a failure has been reported.
bool WriteWorkingConfig(AppState& state, UserInterface& ui, SettingsView& view);

}  // namespace kestrel
