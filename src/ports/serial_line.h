// The PC's serial device itself: its control settings are read, changed and written back, so
// that everything this program does not set stays as the system had it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrel {

// Parity as the serial device numbers it (no, odd, even).
enum class SerialParity : std::uint8_t { None = 0, Odd = 1, Even = 2 };

// The part of a device's control settings that the program sets.
struct SerialControl {
    std::uint32_t baudRate = 0;
    std::uint8_t byteSize = 8;
    SerialParity parity = SerialParity::None;
    bool dsrOutputFlow = false;  // hardware handshake: the printer holds DSR while it is busy
    bool xonXoffOutput = false;
    bool xonXoffInput = false;

    bool operator==(const SerialControl&) const = default;
};

class SerialLine {
public:
    virtual ~SerialLine() = default;
    // The device's current settings; nothing when it cannot be opened or read.
    virtual std::optional<SerialControl> readControl(const std::string& device) = 0;
    // Writes the settings back; false when the device refused them.
    virtual bool writeControl(const std::string& device, const SerialControl& control) = 0;
};

}  // namespace kestrel
