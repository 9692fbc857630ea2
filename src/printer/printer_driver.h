// The maker's raster drivers that identify a supported printer, and the mechanism each names.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "settings/profile_state.h"

namespace kestrel {

struct DriverMechanism {
    std::string_view driverName;
    std::uint32_t mechanismId;
};

// Compared exactly (case matters), in this order. The "(FC)" drivers drive the full-cut
// mechanism, "(BM...)" the black-mark one.
inline constexpr std::array<DriverMechanism, 6> kSupportedDrivers{{
    {"ZOT KR-900 Raster", mechanism::FullCut},
    {"ZOT KR-900 Raster (FC)", mechanism::FullCut},
    {"ZOT KR-900 Raster (BM)", mechanism::BlackMarkFullCut},
    {"ZOT KR-900 Raster (BM/FC)", mechanism::BlackMarkFullCut},
    {"ZOT KR-700 Raster", mechanism::KR700},
    {"ZOT KR-500 Raster", mechanism::KR500},
}};

// The mechanism id of a queue's driver; 240 (not a supported printer) for any other driver.
std::uint32_t MechanismIdFromDriver(std::string_view driverName);

}  // namespace kestrel
