// The main window's own commands that are not printer jobs: the close question, the version box,
// and what start-up needs to tell one running copy of the program from another.
#pragma once

#include <string>
#include <string_view>

#include "commands/command_context.h"

namespace kestrel {

inline constexpr std::string_view kCloseQuestion =
    "KESTREL is terminated. Do you want to save the setting value ?";
inline constexpr std::string_view kAlreadyStartedText = "KESTREL is already started.";

// The close question: Yes writes the working configuration (a failure is reported, and the
// program closes all the same), No closes without writing, Cancel keeps the program running.
// Returns whether the main window closes.
bool ConfirmClose(CommandContext& ctx);

// "KESTREL Version 0.2.0" for the build's version; empty for an empty version.
std::string VersionText(std::string_view version);

// The version box: the version text with the printer icon.
void ShowVersion(CommandContext& ctx, std::string_view versionText);

// The name one running copy holds; a copy in service mode (the debug flag) holds another, so
// both can run side by side.
std::string SingleInstanceName(bool debugFlag);

}  // namespace kestrel
