// What a KR printer keeps between jobs: its memory switches and the maker's extended switches bit
// by bit, the customize values, the serial interface, the NV graphics (logos) and whether it is in
// user-setup mode. Values written in user-setup mode are held apart and take effect only when the
// mode is left, so a stream that never leaves it changes nothing.
#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::emulator {

// The switches the printer's user-setup mode writes: memory switches 1, 2 and 8, and the maker's
// extended switches 7D, 7E and 7F.
enum class SwitchNumber : std::uint8_t {
    Msw1 = 0x01,
    Msw2 = 0x02,
    Msw8 = 0x08,
    Ext7D = 0x7D,
    Ext7E = 0x7E,
    Ext7F = 0x7F,
};
inline constexpr std::array kSwitchNumbers{SwitchNumber::Msw1,  SwitchNumber::Msw2,
                                           SwitchNumber::Msw8,  SwitchNumber::Ext7D,
                                           SwitchNumber::Ext7E, SwitchNumber::Ext7F};

// The slot of a switch number in SetupValues::switches, or nothing for a switch the printer lacks.
std::optional<std::size_t> SwitchSlot(std::uint8_t number);

// The customize values the printer keeps, by their value numbers.
enum class CustomizeNumber : std::uint8_t {
    UserNvMemory = 0x01,
    NvGraphicMemory = 0x02,
    PaperColumns = 0x03,
    PrintDensity = 0x05,
    MaxSpeed = 0x06,
    LowPower = 0x61,
    PrintColor = 0x74,
    BkDensity = 0x76,
    BmCutAdjustment = 0x7E,
};
inline constexpr std::array kCustomizeNumbers{
    CustomizeNumber::UserNvMemory,   CustomizeNumber::NvGraphicMemory,
    CustomizeNumber::PaperColumns,   CustomizeNumber::PrintDensity,
    CustomizeNumber::MaxSpeed,       CustomizeNumber::LowPower,
    CustomizeNumber::PrintColor,     CustomizeNumber::BkDensity,
    CustomizeNumber::BmCutAdjustment};

std::optional<std::size_t> CustomizeSlot(std::uint8_t number);

// Whether the printer takes this value for the value number (it ignores the command otherwise).
bool CustomizeValueAccepted(CustomizeNumber number, std::int16_t value);

// The printer's print widths in columns, as customize value 03 carries them.
inline constexpr std::array<std::int16_t, 6> kPaperColumns{53, 48, 42, 36, 35, 32};

// The baud rates the serial interface runs at.
inline constexpr std::array<std::uint32_t, 7> kBaudRates{2400,  4800,  9600,  19200,
                                                         38400, 57600, 115200};

enum class Parity : std::uint8_t { None = 0, Odd = 1, Even = 2 };  // as the characters '0' '1' '2'
enum class FlowControl : std::uint8_t { DsrDtr = 0, XonXoff = 1 };

struct SerialInterface {
    std::uint32_t baud = 115200;
    std::uint8_t dataBits = 8;  // 7 or 8
    Parity parity = Parity::None;
    FlowControl flow = FlowControl::DsrDtr;

    bool operator==(const SerialInterface&) const = default;
};

// Everything user-setup mode writes.
struct SetupValues {
    // Bit n of a switch is bit n - 1 of its byte; slots in the order of kSwitchNumbers.
    std::array<std::uint8_t, kSwitchNumbers.size()> switches{};
    // In the order of kCustomizeNumbers.
    std::array<std::int16_t, kCustomizeNumbers.size()> customize{};
    SerialInterface serial;

    std::uint8_t switchByte(SwitchNumber number) const;
    std::int16_t value(CustomizeNumber number) const;
    void setValue(CustomizeNumber number, std::int16_t value);

    bool operator==(const SetupValues&) const = default;
};

// An NV graphics key code, two bytes (the program's logos use 20 20 to 24 20).
struct KeyCode {
    std::uint8_t kc1 = 0x20;
    std::uint8_t kc2 = 0x20;
    auto operator<=>(const KeyCode&) const = default;
};

// One stored logo: its dots by colour (plane 0 the first colour, plane 1 the second), each
// bytesPerRow x height bytes, rows top first, bit 7 the leftmost dot; an empty plane is absent.
struct NvGraphic {
    std::uint16_t width = 0;  // dots
    std::uint16_t height = 0;
    std::array<std::vector<std::uint8_t>, 2> planes;

    std::size_t bytesPerRow() const { return (std::size_t{width} + 7) / 8; }
    std::size_t planeCount() const;
    std::size_t storedBytes() const { return planes[0].size() + planes[1].size(); }
    bool operator==(const NvGraphic&) const = default;
};

struct StreamError {
    // Stream: the stream itself is wrong. Memory: the stream is sound but this printer's NV
    // graphics memory cannot serve it (no logo under the key, no room for one).
    enum class Cause : std::uint8_t { Stream, Memory };

    std::size_t offset = 0;
    std::string message;
    Cause cause = Cause::Stream;
    bool operator==(const StreamError&) const = default;
};

// The printer keeps the errors of the last job, at most this many; the count says how many the job
// had in all.
inline constexpr std::size_t kKeptErrors = 32;

struct PrinterState {
    std::uint32_t mechanismId = 0;  // the model and mechanism, as the program numbers them
    SetupValues settings;           // in force
    // Present while in user-setup mode: the values as written so far.
    std::optional<SetupValues> pending;
    std::map<KeyCode, NvGraphic> graphics;
    std::vector<StreamError> lastErrors;
    std::size_t lastErrorCount = 0;
    std::uint64_t jobsReceived = 0;

    bool inUserSetupMode() const { return pending.has_value(); }
    // NV graphics memory in bytes, as customize value 02 sets it (1 = none, 7 = 384 KB).
    std::size_t graphicsCapacity() const;
    std::size_t graphicsUsed() const;
    bool operator==(const PrinterState&) const = default;
};

// The printer as it leaves the factory: the factory default settings of its model (OVERSEA spec),
// no logos, not in user-setup mode. Bits that no setting uses are clear.
PrinterState FactoryPrinterState(std::uint32_t mechanismId);

// The model's name for pages ("KR-900", "KR-700", "KR-500", or "unknown model").
std::string ModelName(std::uint32_t mechanismId);

}  // namespace kestrel::emulator
