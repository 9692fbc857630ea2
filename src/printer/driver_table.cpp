#include "printer/driver_table.h"

#include <array>
#include <utility>

#include "settings/profile_state.h"

namespace kestrel {
namespace {

// The plain KR-900 driver is for the full-cutter mechanism; the (BM) drivers add the black mark
// sensor. The STANDARD and BLACKMARK mechanisms have no driver of their own.
constexpr std::array<std::pair<std::string_view, std::uint32_t>, 6> kDrivers{{
    {"ZOT KR-900 Raster", mechanism::FullCut},
    {"ZOT KR-900 Raster (FC)", mechanism::FullCut},
    {"ZOT KR-900 Raster (BM)", mechanism::BlackMarkFullCut},
    {"ZOT KR-900 Raster (BM/FC)", mechanism::BlackMarkFullCut},
    {"ZOT KR-700 Raster", mechanism::KR700},
    {"ZOT KR-500 Raster", mechanism::KR500},
}};

}  // namespace

std::uint32_t MechanismIdFromDriver(std::string_view driverName) {
    for (const auto& [name, id] : kDrivers) {
        if (name == driverName) {
            return id;
        }
    }
    return mechanism::Unsupported;
}

}  // namespace kestrel
