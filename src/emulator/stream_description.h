// A stream's commands in words, for people reading a captured job: what each command is and, for
// the setup commands, the settings it writes by label and option text.
#pragma once

#include <string>
#include <vector>

#include "emulator/stream_commands.h"

namespace kestrel::emulator {

// The command's name as the printer's manual writes it ("GS ( E fn 3", "CAN", "GS 8 L fn 67").
std::string CommandName(const StreamItem& item);

// One line per thing the command does: the first says what it is, the rest (for commands that
// write several switches or values) one each.
std::vector<std::string> DescribeCommand(const StreamItem& item);

}  // namespace kestrel::emulator
