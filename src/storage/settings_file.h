// Settings files (*.kcf) chosen by the user: nothing but one 38-byte image of the settings record,
// no header, no checksum. Loading adjusts the record to the selected printer and checks its
// bounds; saving never leaves a half-written file.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "ports/user_interface.h"

namespace kestrel {

struct AppState;
class SettingsView;

inline constexpr std::string_view kSettingsFileFilterText = "POS Utility(*.kcf)";
inline constexpr std::string_view kSettingsFileFilterPattern = "*.kcf";
inline constexpr std::string_view kSettingsFileExtension = "kcf";

inline constexpr std::string_view kReadFailureNoFile =
    "Reading failure of configuration file.\n\nThe configuration file doesn't exist.";
inline constexpr std::string_view kReadFailureUnreadable =
    "Reading failure of configuration file.\n\nThe configuration file was not able to be read.";
inline constexpr std::string_view kOverwriteQuestion =
    "The configuration file of the specified name has already existed.\n\nOverwrite it?";
inline constexpr std::string_view kCannotOverwrite =
    "This file cannot be overwrite.\n\nChange the attribute or select a different file.";

// The open and save dialogs: start folder the start-up folder, name field empty.
FileDialogOptions LoadDialogOptions(const AppState& state);
FileDialogOptions SaveDialogOptions(const AppState& state);

enum class SettingsFileContent { Taken, TooShort };

// Takes the bytes of a settings file into the settings record: the first 38 bytes, adjusted to the
// selected printer, then checked against the bounds (a record out of bounds becomes the factory
// defaults in memory only). A file shorter than a record is refused and the record stays, still
// checked against the bounds.
SettingsFileContent ApplySettingsFile(AppState& state, std::span<const std::uint8_t> bytes);

// File > Load: open dialog, read, take, show the record on the page.
void LoadSettingsFile(AppState& state, UserInterface& ui, SettingsView& view);

// File > Save: the page's values into the record, save dialog, write the record.
void SaveSettingsFile(AppState& state, UserInterface& ui, SettingsView& view);

}  // namespace kestrel
