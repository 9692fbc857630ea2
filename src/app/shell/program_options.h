// The windowed program's command line: only which print system it runs on. What it does with
// the printer comes from the user, never from the command line.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace kestrel::gui {

struct ProgramOptions {
    PlatformOptions platform;
    bool help = false;
    bool version = false;
    std::string error;  // why the command line was refused; empty when it was taken
};

ProgramOptions ParseProgramOptions(const std::vector<std::string>& args);

std::string ProgramUsage();

}  // namespace kestrel::gui
