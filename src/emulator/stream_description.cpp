#include "emulator/stream_description.h"

#include <algorithm>
#include <cstdio>

#include "emulator/overloaded.h"
#include "emulator/settings_decoder.h"
#include "emulator/settings_list_page.h"

namespace kestrel::emulator {
namespace {

std::string Hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

// The program keeps logo n under key 20 + n - 1, 20.
std::string KeyText(KeyCode key) {
    std::string text = Hex2(key.kc1) + " " + Hex2(key.kc2);
    if (key.kc2 == 0x20 && key.kc1 >= 0x20 && key.kc1 <= 0x24) {
        text += " (logo " + std::to_string(key.kc1 - 0x20 + 1) + ")";
    }
    return text;
}

std::string SwitchName(SwitchNumber number) {
    const auto n = static_cast<unsigned>(number);
    return n < 0x10 ? "memory switch " + std::to_string(n) : "extended switch " + Hex2(n);
}

// The graphics commands come as GS ( L (16-bit count) or GS 8 L (32-bit count): the header left
// when the parameters are taken from the command's length tells which.
std::string GraphicsPrefix(const StreamItem& item, std::size_t parameterCount) {
    return item.length - parameterCount == 7 ? "GS 8 L" : "GS ( L";
}

std::size_t DefineParameterCount(const DefineGraphic& c) {
    const std::size_t k = (std::size_t{c.width} + 7) / 8 * c.height;
    return 10 + c.planes.size() * (k + 1);
}

// One setting written by a record-option index, as "Label: Option".
std::string Setting(std::size_t offset, std::uint8_t index) {
    SettingsRecord record{};
    record.at(offset) = index;
    return SettingLabel(offset) + ": " + SettingValueText(offset, record);
}

std::string SwitchLine(const SwitchWrite& w) {
    std::string line = SwitchName(w.number) + " = \"" +
                       std::string(w.characters.begin(), w.characters.end()) + "\"";
    std::string settings;
    for (int position = 1; position <= 8; ++position) {
        const int bit = 9 - position;
        const char c = w.characters[static_cast<std::size_t>(position - 1)];
        const auto offset = SettingOfSwitchBit(w.number, bit);
        std::string part;
        if (offset && c == '2') {
            part = SettingLabel(*offset) + ": unchanged";
        } else if (offset) {
            part = Setting(*offset, c == '1' ? 1 : 0);
        } else if (c != '2') {
            part = "bit " + std::to_string(bit) + " = " + c;
        }
        if (!part.empty()) {
            settings += (settings.empty() ? "" : ", ") + part;
        }
    }
    return settings.empty() ? line : line + ": " + settings;
}

std::string CustomizeLine(const CustomizeWrite& w) {
    std::string line = "customize value " + Hex2(static_cast<unsigned>(w.number)) + " = " +
                       std::to_string(w.value) + ": ";
    const std::size_t offset = SettingOfCustomizeValue(w.number);
    if (w.number == CustomizeNumber::BmCutAdjustment) {
        SettingsRecord record{};
        SetBmCutAdjustment(record, w.value);
        return line + SettingLabel(offset) + ": " + SettingValueText(offset, record);
    }
    return line + Setting(offset, CustomizeOptionIndex(w.number, w.value).value_or(0xFF));
}

std::string SerialLine(const SetSerialInterface& c) {
    switch (c.item) {
        case SerialItem::BaudRate: {
            const auto it = std::ranges::find(kBaudRates, c.value);
            return "baud rate " + std::to_string(c.value) + ": " +
                   Setting(SettingOfSerialItem(c.item),
                           static_cast<std::uint8_t>(it - kBaudRates.begin()));
        }
        case SerialItem::Parity:
            return std::string("parity ") +
                   (c.value == 0   ? "none"
                    : c.value == 1 ? "odd"
                                   : "even") +
                   " (part of Format)";
        case SerialItem::DataLength:
            return "data length " + std::to_string(c.value) + " bits (part of Format)";
        case SerialItem::FlowControl:
            return "flow control: " +
                   Setting(SettingOfSerialItem(c.item), static_cast<std::uint8_t>(c.value));
    }
    return {};
}

}  // namespace

std::string CommandName(const StreamItem& item) {
    return std::visit(
        Overloaded{
            [](const CancelCommand&) -> std::string { return "CAN"; },
            [](const EnterUserSetup&) -> std::string { return "GS ( E fn 1"; },
            [](const LeaveUserSetup&) -> std::string { return "GS ( E fn 2"; },
            [](const SetSwitches&) -> std::string { return "GS ( E fn 3"; },
            [](const SetCustomizeValues&) -> std::string { return "GS ( E fn 5"; },
            [](const SetSerialInterface&) -> std::string { return "GS ( E fn 11"; },
            [](const TestPrint&) -> std::string { return "GS ( A"; },
            [&](const DefineGraphic& c) {
                return GraphicsPrefix(item, DefineParameterCount(c)) + " fn 67";
            },
            [&](const PrintGraphic&) { return GraphicsPrefix(item, 6) + " fn 69"; },
            [&](const DeleteGraphic&) { return GraphicsPrefix(item, 4) + " fn 66"; },
            [](const SelectPrintColour& c) { return "GS e u C " + std::to_string(c.colour); },
            [](const CaptionMode& c) { return std::string("FS C ") + (c.on ? "1" : "0"); },
            [](const PrintText&) -> std::string { return "text"; },
            [](const LineFeed&) -> std::string { return "LF"; },
            [](const Cut&) -> std::string { return "ESC m"; },
            [](const Malformed&) -> std::string { return "error"; },
        },
        item.command);
}

std::vector<std::string> DescribeCommand(const StreamItem& item) {
    const std::string name = CommandName(item) + ": ";
    std::vector<std::string> lines;
    std::visit(
        Overloaded{
            [&](const CancelCommand&) { lines.push_back(name + "cancel data not yet printed"); },
            [&](const EnterUserSetup&) { lines.push_back(name + "enter user-setup mode \"IN\""); },
            [&](const LeaveUserSetup&) {
                lines.push_back(name + "leave user-setup mode \"OUT\": the values take effect");
            },
            [&](const SetSwitches& c) {
                for (const SwitchWrite& w : c.switches) {
                    lines.push_back((lines.empty() ? name : std::string()) + SwitchLine(w));
                }
            },
            [&](const SetCustomizeValues& c) {
                for (const CustomizeWrite& w : c.values) {
                    lines.push_back((lines.empty() ? name : std::string()) + CustomizeLine(w));
                }
            },
            [&](const SetSerialInterface& c) { lines.push_back(name + SerialLine(c)); },
            [&](const TestPrint& c) {
                lines.push_back(name + "test print, pattern " + std::to_string(c.pattern) +
                                (c.pattern == kSettingsListPattern ? ": the settings list" : ""));
            },
            [&](const DefineGraphic& c) {
                const std::size_t k = (std::size_t{c.width} + 7) / 8 * c.height;
                lines.push_back(name + "define NV graphics key " + KeyText(c.key) + ": " +
                                std::to_string(c.width) + " x " + std::to_string(c.height) +
                                " dots, " + (c.planes.size() == 2 ? "two colours" : "one colour") +
                                ", " + std::to_string(k) + " bytes a plane");
            },
            [&](const PrintGraphic& c) {
                lines.push_back(name + "print NV graphics key " + KeyText(c.key) + ", scale " +
                                std::to_string(c.scaleX) + " x " + std::to_string(c.scaleY));
            },
            [&](const DeleteGraphic& c) {
                lines.push_back(name + "delete NV graphics key " + KeyText(c.key));
            },
            [&](const SelectPrintColour& c) {
                lines.push_back(name + (c.colour == 1 ? "print in the first colour only"
                                                      : "print in both colours"));
            },
            [&](const CaptionMode& c) {
                lines.push_back(name + (c.on ? "caption characters on" : "caption characters off"));
            },
            [&](const PrintText& c) {
                lines.push_back(name + "\"" + std::string(c.text.begin(), c.text.end()) + "\"");
            },
            [&](const LineFeed&) { lines.push_back(name + "print the line"); },
            [&](const Cut&) { lines.push_back(name + "cut the paper"); },
            [&](const Malformed& c) { lines.push_back(name + c.message); },
        },
        item.command);
    return lines;
}

}  // namespace kestrel::emulator
