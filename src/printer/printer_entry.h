// One printer queue as the selection lists it, and the PC side of a serial line.
#pragma once

#include <cstdint>
#include <string>

namespace kestrel {

// List icons, also the icons of the program's message boxes.
enum class PrinterIcon : std::uint16_t {
    Printer = 160,         // usable queue; application icon
    PrinterError = 162,    // red cross: not a supported driver, failed job
    PrinterInfo = 163,     // information sign: a queue setting the user must change
    PrinterWarning = 164,  // warning sign: job left in the queue, nothing selected
};

// How a queue reaches its printer. Only Serial is treated specially after a send.
enum class ConnectionStatus : std::uint32_t {
    Parallel = 0,
    Serial = 1,
    Network = 2,
    File = 3,
    Paused = 4,
    Offline = 6,
    SeparatorPage = 7,
    Usb = 8,
    NotCorresponded = 9,
    PortRouter = 10,
};

struct PrinterEntry {
    PrinterIcon iconId = PrinterIcon::Printer;
    std::string portName;
    ConnectionStatus connectionStatus = ConnectionStatus::Parallel;
    std::string printerName;  // the queue name; jobs go to the queue of this name
    std::string driverName;
    std::uint32_t mechanismId = 0;
    std::uint32_t jobCount = 0;
};

// The PC's serial line, numbered like the settings record's Baudrate, Format and Protocol so the
// two can be compared and copied field by field.
struct HostPortSettings {
    std::uint32_t baudIndex = 0;     // 0..6 = 2400..115200
    std::uint32_t dataBitsCode = 0;  // 0 = 7 bits, 1 = 8 bits
    std::uint32_t parityCode = 0;    // 0 none, 1 even, 2 odd
    std::uint32_t flowCode = 0;      // 0 DSR/DTR, 1 XON/XOFF
    std::uint32_t formatCode = 0;    // 0 7EVEN1, 1 7ODD1, 2 8NONE1, 3 8EVEN1, 4 8ODD1

    bool operator==(const HostPortSettings&) const = default;
};

// What a queue that is not on a serial port gets: 115200 baud, 8 data bits, no parity, DSR/DTR.
inline constexpr HostPortSettings kNonSerialHostPort{6, 1, 0, 0, 2};

}  // namespace kestrel
