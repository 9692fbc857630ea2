// Reads a byte stream the way a KR printer does, command by command. Every length and count in
// the stream is checked against the bytes that are there before anything is read; a command the
// printer would refuse (unknown, wrong framing, a value out of its range) becomes a Malformed
// item with its offset, and reading goes on after it. A command cut short by the end of the stream
// swallows the rest, as the printer would wait for bytes that never come.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "emulator/stream_commands.h"

namespace kestrel::emulator {

std::vector<StreamItem> ParseStream(std::span<const std::uint8_t> stream);

}  // namespace kestrel::emulator
