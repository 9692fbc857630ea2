#include "emulator/stream_parser.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace kestrel::emulator {
namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint8_t LF = 0x0A;
constexpr std::uint8_t CAN = 0x18;
constexpr std::uint8_t ESC = 0x1B;
constexpr std::uint8_t FS = 0x1C;
constexpr std::uint8_t GS = 0x1D;

bool Printable(std::uint8_t b) {
    return b >= 0x20 && b <= 0x7E;
}

bool StartsCommand(std::uint8_t b) {
    return b == LF || b == CAN || b == ESC || b == FS || b == GS || Printable(b);
}

std::string HexByte(std::uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", b);
    return text;
}

std::string CharText(std::uint8_t b) {
    return Printable(b) ? "'" + std::string(1, static_cast<char>(b)) + "'" : HexByte(b) + "h";
}

bool Equals(Bytes bytes, std::string_view text) {
    return std::ranges::equal(
        bytes, text, [](std::uint8_t b, char c) { return b == static_cast<std::uint8_t>(c); });
}

std::uint32_t Le(Bytes bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

// A command's parameters, or the reason the printer refuses them.
using Parsed = StreamCommand;

Malformed Refuse(std::string message) {
    return Malformed{std::move(message)};
}

// ---- GS ( E: user-setup mode ----

Parsed SetupSwitches(Bytes p) {
    if (p.empty() || p.size() % 9 != 0) {
        return Refuse("GS ( E fn 3: " + std::to_string(p.size()) +
                      " parameter bytes, not groups of a switch number and 8 characters");
    }
    SetSwitches command;
    for (std::size_t at = 0; at < p.size(); at += 9) {
        if (!SwitchSlot(p[at])) {
            return Refuse("GS ( E fn 3: there is no switch " + HexByte(p[at]));
        }
        SwitchWrite write{static_cast<SwitchNumber>(p[at]), {}};
        for (std::size_t i = 0; i < 8; ++i) {
            const std::uint8_t c = p[at + 1 + i];
            if (c < '0' || c > '2') {
                return Refuse("GS ( E fn 3: switch " + HexByte(p[at]) + " position " +
                              std::to_string(i + 1) + " is " + CharText(c) +
                              ", not '0', '1' or '2'");
            }
            write.characters[i] = static_cast<char>(c);
        }
        command.switches.push_back(write);
    }
    return command;
}

Parsed SetupCustomize(Bytes p) {
    if (p.empty() || p.size() % 3 != 0) {
        return Refuse("GS ( E fn 5: " + std::to_string(p.size()) +
                      " parameter bytes, not entries of a value number and a 16-bit value");
    }
    SetCustomizeValues command;
    for (std::size_t at = 0; at < p.size(); at += 3) {
        if (!CustomizeSlot(p[at])) {
            return Refuse("GS ( E fn 5: there is no customize value " + HexByte(p[at]));
        }
        const auto number = static_cast<CustomizeNumber>(p[at]);
        const auto value = static_cast<std::int16_t>(Le(p.subspan(at + 1, 2)));
        if (!CustomizeValueAccepted(number, value)) {
            return Refuse("GS ( E fn 5: customize value " + HexByte(p[at]) + " cannot be " +
                          std::to_string(value));
        }
        command.values.push_back({number, value});
    }
    return command;
}

Parsed SetupSerial(Bytes p) {
    if (p.size() < 2) {
        return Refuse("GS ( E fn 11: no serial interface item and value");
    }
    const std::uint8_t item = p[0];
    const Bytes data = p.subspan(1);
    if (item == 1) {
        std::uint32_t baud = 0;
        const bool digits = data.size() <= 6 && std::ranges::all_of(data, [](std::uint8_t c) {
                                return c >= '0' && c <= '9';
                            });
        for (const std::uint8_t c : data) {
            baud = digits ? baud * 10 + static_cast<std::uint32_t>(c - '0') : 0;
        }
        if (!digits || std::ranges::find(kBaudRates, baud) == kBaudRates.end()) {
            return Refuse("GS ( E fn 11: the printer has no baud rate \"" +
                          std::string(data.begin(), data.end()) + "\"");
        }
        return SetSerialInterface{SerialItem::BaudRate, baud};
    }
    if (item < 2 || item > 4) {
        return Refuse("GS ( E fn 11: there is no serial interface item " + HexByte(item));
    }
    const std::string_view allowed = item == 2 ? "012" : item == 3 ? "01" : "78";
    const std::string_view name = item == 2 ? "parity" : item == 3 ? "flow control" : "data length";
    if (data.size() != 1 || allowed.find(static_cast<char>(data[0])) == std::string_view::npos) {
        return Refuse(
            "GS ( E fn 11: " + std::string(name) + " must be one of \"" + std::string(allowed) +
            "\", not " +
            (data.size() == 1 ? CharText(data[0]) : std::to_string(data.size()) + " bytes"));
    }
    const auto digit = static_cast<std::uint32_t>(data[0] - '0');
    return SetSerialInterface{static_cast<SerialItem>(item), digit};
}

Parsed UserSetup(Bytes payload) {
    if (payload.empty()) {
        return Refuse("GS ( E: no function number");
    }
    const std::uint8_t fn = payload[0];
    const Bytes p = payload.subspan(1);
    switch (fn) {
        case 1:
            return Equals(p, "IN") ? Parsed{EnterUserSetup{}}
                                   : Refuse("GS ( E fn 1: the parameters must be \"IN\"");
        case 2:
            return Equals(p, "OUT") ? Parsed{LeaveUserSetup{}}
                                    : Refuse("GS ( E fn 2: the parameters must be \"OUT\"");
        case 3:
            return SetupSwitches(p);
        case 5:
            return SetupCustomize(p);
        case 11:
            return SetupSerial(p);
        default:
            return Refuse("GS ( E: the printer has no function " + std::to_string(fn));
    }
}

// ---- GS ( A: test print ----

Parsed TestPrintCommand(Bytes p) {
    if (p.size() != 2) {
        return Refuse("GS ( A: " + std::to_string(p.size()) + " parameter bytes, not 2");
    }
    const auto low = [](std::uint8_t v) { return v >= 48 ? static_cast<std::uint8_t>(v - 48) : v; };
    const std::uint8_t paper = low(p[0]);
    const std::uint8_t pattern = low(p[1]);
    const bool paperKnown = p[0] <= 2 || (p[0] >= 48 && p[0] <= 50);
    const bool patternKnown = (p[1] >= 1 && p[1] <= 3) || (p[1] >= 49 && p[1] <= 51);
    if (!paperKnown || !patternKnown) {
        return Refuse("GS ( A: paper " + std::to_string(p[0]) + ", pattern " +
                      std::to_string(p[1]) + " is not a test print");
    }
    return TestPrint{paper, pattern};
}

// ---- GS ( L and GS 8 L: NV graphics ----

bool KeyByteValid(std::uint8_t b) {
    return b >= 32 && b <= 126;
}

std::optional<Malformed> CheckKey(std::string_view name, std::uint8_t kc1, std::uint8_t kc2) {
    if (!KeyByteValid(kc1) || !KeyByteValid(kc2)) {
        return Refuse(std::string(name) + ": key code " + HexByte(kc1) + " " + HexByte(kc2) +
                      " is outside 20 to 7E");
    }
    return std::nullopt;
}

Parsed DefineGraphicCommand(std::string_view name, Bytes p) {
    // a kc1 kc2 b xL xH yL yH, then b times: c and the plane's dots.
    if (p.size() < 8) {
        return Refuse(std::string(name) + ": define needs at least 10 parameter bytes");
    }
    if (p[0] != 0x30) {
        return Refuse(std::string(name) + ": tone " + HexByte(p[0]) + " is not 30 (monochrome)");
    }
    if (auto bad = CheckKey(name, p[1], p[2])) {
        return *bad;
    }
    const std::uint8_t b = p[3];
    const auto width = static_cast<std::uint16_t>(Le(p.subspan(4, 2)));
    const auto height = static_cast<std::uint16_t>(Le(p.subspan(6, 2)));
    if (b != 1 && b != 2) {
        return Refuse(std::string(name) + ": " + std::to_string(b) +
                      " colours; the printer has 1 or 2");
    }
    if (width == 0 || height == 0) {
        return Refuse(std::string(name) + ": a logo of " + std::to_string(width) + " x " +
                      std::to_string(height) + " dots");
    }
    const std::uint64_t k = (std::uint64_t{width} + 7) / 8 * height;
    const std::uint64_t expected = 8 + std::uint64_t{b} * (k + 1);
    if (p.size() != expected) {
        return Refuse(std::string(name) + ": " + std::to_string(width) + " x " +
                      std::to_string(height) + " dots in " + std::to_string(b) + " colours take " +
                      std::to_string(expected + 2) + " parameter bytes, the command gives " +
                      std::to_string(p.size() + 2));
    }
    DefineGraphic command{{p[1], p[2]}, width, height, {}};
    std::size_t at = 8;
    for (std::uint8_t plane = 0; plane < b; ++plane) {
        const std::uint8_t c = p[at];
        if (c != 0x31 && c != 0x32) {
            return Refuse(std::string(name) + ": colour " + HexByte(c) + " is not 31 or 32");
        }
        const auto colour = static_cast<std::uint8_t>(c - 0x30);
        if (!command.planes.empty() && command.planes.front().colour == colour) {
            return Refuse(std::string(name) + ": colour " + HexByte(c) + " given twice");
        }
        command.planes.push_back({colour, p.subspan(at + 1, static_cast<std::size_t>(k))});
        at += 1 + static_cast<std::size_t>(k);
    }
    return command;
}

Parsed Graphics(std::string_view name, Bytes payload) {
    if (payload.size() < 2) {
        return Refuse(std::string(name) + ": no function number");
    }
    if (payload[0] != 0x30) {
        return Refuse(std::string(name) + ": m = " + HexByte(payload[0]) + ", not 30");
    }
    const std::uint8_t fn = payload[1];
    const Bytes p = payload.subspan(2);
    switch (fn) {
        case 0x42:  // delete
            if (p.size() != 2) {
                return Refuse(std::string(name) + " fn 66: " + std::to_string(payload.size()) +
                              " parameter bytes, not 4");
            }
            if (auto bad = CheckKey(name, p[0], p[1])) {
                return *bad;
            }
            return DeleteGraphic{{p[0], p[1]}};
        case 0x43:
            return DefineGraphicCommand(std::string(name) + " fn 67", p);
        case 0x45:  // print
            if (p.size() != 4) {
                return Refuse(std::string(name) + " fn 69: " + std::to_string(payload.size()) +
                              " parameter bytes, not 6");
            }
            if (auto bad = CheckKey(name, p[0], p[1])) {
                return *bad;
            }
            if (p[2] < 1 || p[2] > 2 || p[3] < 1 || p[3] > 2) {
                return Refuse(std::string(name) + " fn 69: scale " + std::to_string(p[2]) + " x " +
                              std::to_string(p[3]) + "; the printer scales by 1 or 2");
            }
            return PrintGraphic{{p[0], p[1]}, p[2], p[3]};
        default:
            return Refuse(std::string(name) + ": the printer has no function " +
                          std::to_string(fn));
    }
}

class Parser {
public:
    explicit Parser(Bytes stream) : m_s(stream) {}

    std::vector<StreamItem> run() {
        while (m_pos < m_s.size()) {
            step();
        }
        return std::move(m_items);
    }

private:
    std::size_t left() const { return m_s.size() - m_pos; }

    void emit(std::size_t length, StreamCommand command) {
        m_items.push_back({m_pos, length, std::move(command)});
        m_pos += length;
    }

    // The command's bytes run past the end: the printer would wait for them; the rest is its.
    void cutShort(std::string_view name, std::uint64_t wanted) {
        std::string message = std::string(name) + ": cut short by the end of the stream";
        if (wanted > 0) {
            message +=
                " (" + std::to_string(wanted) + " bytes, " + std::to_string(left()) + " there)";
        }
        emit(left(), Malformed{std::move(message)});
    }

    void step() {
        const std::uint8_t b = m_s[m_pos];
        switch (b) {
            case CAN:
                return emit(1, CancelCommand{});
            case LF:
                return emit(1, LineFeed{});
            case ESC:
                return escape();
            case FS:
                return fileSeparator();
            case GS:
                return groupSeparator();
            default:
                break;
        }
        const auto rest = m_s.subspan(m_pos);
        if (Printable(b)) {
            const auto end = std::ranges::find_if_not(rest, Printable);
            const auto n = static_cast<std::size_t>(end - rest.begin());
            return emit(n, PrintText{rest.first(n)});
        }
        const auto end = std::ranges::find_if(rest, StartsCommand);
        const auto n = static_cast<std::size_t>(end - rest.begin());
        emit(n, Malformed{n == 1 ? "byte " + HexByte(b) + " is no command"
                                 : std::to_string(n) + " bytes from " + HexByte(b) +
                                       " on are no command"});
    }

    void escape() {
        if (left() < 2) {
            return cutShort("ESC", 0);
        }
        if (m_s[m_pos + 1] == 'm') {
            return emit(2, Cut{});
        }
        emit(2, Malformed{"ESC " + CharText(m_s[m_pos + 1]) + " is not a command of the printer"});
    }

    void fileSeparator() {
        if (left() < 2) {
            return cutShort("FS", 0);
        }
        if (m_s[m_pos + 1] != 'C') {
            return emit(2, Malformed{"FS " + CharText(m_s[m_pos + 1]) +
                                     " is not a command of the printer"});
        }
        if (left() < 3) {
            return cutShort("FS C", 3);
        }
        const std::uint8_t n = m_s[m_pos + 2];
        if (n > 1) {
            return emit(3, Malformed{"FS C: " + std::to_string(n) + " is not 0 or 1"});
        }
        emit(3, CaptionMode{n == 1});
    }

    void groupSeparator() {
        if (left() < 2) {
            return cutShort("GS", 0);
        }
        switch (m_s[m_pos + 1]) {
            case '(':
                return parenthesised();
            case '8':
                return longGraphics();
            case 'e':
                return printColour();
            default:
                emit(2, Malformed{"GS " + CharText(m_s[m_pos + 1]) +
                                  " is not a command of the printer"});
        }
    }

    // GS ( x pL pH and pL + 256 pH parameter bytes.
    void parenthesised() {
        if (left() < 5) {
            return cutShort(left() < 3 ? "GS (" : "GS ( " + CharText(m_s[m_pos + 2]), 0);
        }
        const char kind = static_cast<char>(m_s[m_pos + 2]);
        const std::string name =
            std::string("GS ( ") +
            (Printable(m_s[m_pos + 2]) ? std::string(1, kind) : HexByte(m_s[m_pos + 2]) + "h");
        const std::size_t count = Le(m_s.subspan(m_pos + 3, 2));
        if (count > left() - 5) {
            return cutShort(name, 5 + std::uint64_t{count});
        }
        const Bytes payload = m_s.subspan(m_pos + 5, count);
        switch (kind) {
            case 'E':
                return emit(5 + count, UserSetup(payload));
            case 'A':
                return emit(5 + count, TestPrintCommand(payload));
            case 'L':
                return emit(5 + count, Graphics(name, payload));
            default:
                emit(5 + count, Malformed{name + " is not a command of the printer"});
        }
    }

    // GS 8 L p1 p2 p3 p4 and that many parameter bytes (32-bit count).
    void longGraphics() {
        if (left() < 3) {
            return cutShort("GS 8", 0);
        }
        if (m_s[m_pos + 2] != 'L') {
            return emit(2, Malformed{"GS 8 " + CharText(m_s[m_pos + 2]) +
                                     " is not a command of the printer"});
        }
        if (left() < 7) {
            return cutShort("GS 8 L", 0);
        }
        const std::uint64_t count = Le(m_s.subspan(m_pos + 3, 4));
        if (count > left() - 7) {
            return cutShort("GS 8 L", 7 + count);
        }
        const auto n = static_cast<std::size_t>(count);
        emit(7 + n, Graphics("GS 8 L", m_s.subspan(m_pos + 7, n)));
    }

    // GS e u C n.
    void printColour() {
        if (left() < 5) {
            return cutShort("GS e", 5);
        }
        if (m_s[m_pos + 2] != 'u' || m_s[m_pos + 3] != 'C') {
            return emit(2, Malformed{"GS e " + CharText(m_s[m_pos + 2]) +
                                     " is not a command of the printer"});
        }
        const std::uint8_t n = m_s[m_pos + 4];
        if (n != 1 && n != 2) {
            return emit(5, Malformed{"GS e u C: colour " + std::to_string(n) + " is not 1 or 2"});
        }
        emit(5, SelectPrintColour{n});
    }

    Bytes m_s;
    std::size_t m_pos = 0;
    std::vector<StreamItem> m_items;
};

}  // namespace

std::vector<StreamItem> ParseStream(std::span<const std::uint8_t> stream) {
    return Parser(stream).run();
}

}  // namespace kestrel::emulator
