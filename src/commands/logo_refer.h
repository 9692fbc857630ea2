// The logo dialog's file choice and what it shows beside each slot: where the file chooser
// starts for the text the user typed, how long a path may be, and the line under a preview.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "logo/raster_conversion.h"
#include "ports/user_interface.h"
#include "state/app_state.h"

namespace kestrel {

// Longest logo file path the slots hold (the logo table keeps 259 characters and a terminator).
inline constexpr std::size_t kMaxLogoPathLength = 259;

// Where the chooser starts for a slot's text: a path ending in ".bmp" (any case) opens its folder
// with the file named; a path that ends in a separator, or names no file, opens that folder;
// any other text is taken as a folder and opened with an empty name. An empty text starts in
// the folder last used.
struct ReferStart {
    std::string initialFolder;
    std::string fileName;  // the slot's path, or empty when the slot's path is cleared
};
ReferStart ReferStartFor(std::string_view slotPath, std::string_view lastFolder);

// The folder part of a path, with its closing separator; empty for a bare name.
std::string FolderOf(std::string_view path);

// Refer: the chooser for the slot, starting as above. The slot's path and the last folder follow
// the start rules and the choice; returns the chosen path, or nothing when the user cancelled.
std::optional<std::string> ReferLogoFile(AppState& state, UserInterface& ui, int slotIndex);

// The text of a slot whose path is too long, or nothing when every path fits.
std::optional<std::string> LogoPathTooLongText(const LogoTable& table);

// The line under a preview: the logo's size in dots and what it takes of the NV graphics
// memory, or why the file cannot be used.
std::string LogoPreviewText(BitmapReadResult result, const LogoConversion& conversion);

}  // namespace kestrel
