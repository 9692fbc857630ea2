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

}  // namespace kestrel::testing
