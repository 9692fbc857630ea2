// Small helpers shared by the unit tests.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace kestrel::testing {

// Parses "18 1D 28" into bytes; "\"IN\"" style text is not accepted, keep tests in hex.
inline std::vector<std::uint8_t> Hex(const std::string& text) {
    std::vector<std::uint8_t> out;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(token, nullptr, 16)));
    }
    return out;
}

// The base default record sent with SendSettings, the Egypt flag clear, a host port at 8 bits.
inline const char* const kSendWorkedExample =
    "18 18 18 18 18 1D 28 45 03 00 01 49 4E "
    "1D 28 45 1C 00 03 01 30 30 32 30 30 31 30 31 02 32 32 32 32 32 32 32 31 08 30 32 31 32 32 "
    "32 32 32 "
    "1D 28 45 19 00 05 01 04 00 02 07 00 03 30 00 05 00 00 06 09 00 61 00 00 74 01 00 76 00 00 "
    "1D 28 45 08 00 0B 01 31 31 35 32 30 30 "
    "1D 28 45 03 00 0B 02 30 1D 28 45 03 00 0B 04 38 1D 28 45 03 00 0B 03 30 "
    "1D 28 45 0A 00 03 7E 30 30 31 31 30 31 31 31 "
    "1D 28 45 0A 00 03 7F 30 32 30 30 30 32 32 31 "
    "1D 28 45 0A 00 03 7D 32 32 32 32 32 32 32 30 "
    "1D 28 45 04 00 02 4F 55 54";

}  // namespace kestrel::testing
