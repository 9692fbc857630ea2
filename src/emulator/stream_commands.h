// The commands of a byte stream as the printer reads them. Each item keeps its offset and length
// in the stream; byte data (text, logo planes) is viewed in place, so the stream must outlive the
// items that point into it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "emulator/printer_state.h"

namespace kestrel::emulator {

struct CancelCommand {};  // CAN: drops data not yet printed

struct EnterUserSetup {};  // GS ( E fn 1 "IN"
struct LeaveUserSetup {};  // GS ( E fn 2 "OUT": the values written take effect, the printer resets

struct SwitchWrite {
    SwitchNumber number;
    std::array<char, 8> characters;  // position 1 (bit 8) to position 8 (bit 1): '0', '1' or '2'
};
struct SetSwitches {  // GS ( E fn 3
    std::vector<SwitchWrite> switches;
};

struct CustomizeWrite {
    CustomizeNumber number;
    std::int16_t value;
};
struct SetCustomizeValues {  // GS ( E fn 5
    std::vector<CustomizeWrite> values;
};

enum class SerialItem : std::uint8_t { BaudRate = 1, Parity = 2, FlowControl = 3, DataLength = 4 };
struct SetSerialInterface {  // GS ( E fn 11, one item
    SerialItem item;
    std::uint32_t value;  // baud, Parity, FlowControl or data bits
};

// GS ( A: n the paper, m the pattern; pattern 2 prints the settings list.
inline constexpr std::uint8_t kSettingsListPattern = 2;
struct TestPrint {
    std::uint8_t paper;
    std::uint8_t pattern;  // 1 to 3 (49 to 51 read as 1 to 3)
};

struct GraphicPlaneData {
    std::uint8_t colour;  // 1 or 2
    std::span<const std::uint8_t> dots;
};
struct DefineGraphic {  // GS 8 L (or GS ( L) fn 67
    KeyCode key;
    std::uint16_t width;
    std::uint16_t height;
    std::vector<GraphicPlaneData> planes;
};
struct PrintGraphic {  // fn 69
    KeyCode key;
    std::uint8_t scaleX;
    std::uint8_t scaleY;
};
struct DeleteGraphic {  // fn 66
    KeyCode key;
};

// The logo print job's framing: GS e u C n selects the print colour (1 the first colour only, 2
// both), FS C n turns the caption line's character mode on (1) and off (0).
struct SelectPrintColour {
    std::uint8_t colour;
};
struct CaptionMode {
    bool on;
};

struct PrintText {
    std::span<const std::uint8_t> text;  // printable ASCII
};
struct LineFeed {};
struct Cut {};  // ESC m

// Bytes the printer cannot take as a command: unknown, out of range or cut short.
struct Malformed {
    std::string message;
};

using StreamCommand =
    std::variant<CancelCommand, EnterUserSetup, LeaveUserSetup, SetSwitches, SetCustomizeValues,
                 SetSerialInterface, TestPrint, DefineGraphic, PrintGraphic, DeleteGraphic,
                 SelectPrintColour, CaptionMode, PrintText, LineFeed, Cut, Malformed>;

struct StreamItem {
    std::size_t offset = 0;
    std::size_t length = 0;
    StreamCommand command;
};

}  // namespace kestrel::emulator
