#include "printer/printer_driver.h"

namespace kestrel {

std::uint32_t MechanismIdFromDriver(std::string_view driverName) {
    for (const auto& driver : kSupportedDrivers) {
        if (driver.driverName == driverName) {
            return driver.mechanismId;
        }
    }
    return mechanism::Unsupported;
}

}  // namespace kestrel
