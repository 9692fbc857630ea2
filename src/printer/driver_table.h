// The maker's raster drivers that identify a supported printer, and the mechanism each implies.
#pragma once

#include <cstdint>
#include <string_view>

namespace kestrel {

// Exact, case-sensitive match of the queue's driver name; 240 for any other driver.
std::uint32_t MechanismIdFromDriver(std::string_view driverName);

}  // namespace kestrel
