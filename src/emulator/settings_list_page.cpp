#include "emulator/settings_list_page.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "emulator/settings_decoder.h"
#include "settings/setting_options.h"

namespace kestrel::emulator {
namespace {

const SettingDescription* SettingAt(std::size_t offset) {
    const auto all = AllSettings();
    const auto it = std::ranges::find_if(all, [&](const SettingDescription& s) {
        return s.offset == offset || (s.options.empty() && offset == s.offset + 1);
    });
    return it == all.end() ? nullptr : &*it;
}

std::string Padded(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.resize(width, ' ');
    } else {
        text += ' ';
    }
    return text;
}

std::string Hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

const char* ParityName(Parity parity) {
    switch (parity) {
        case Parity::Odd:
            return "odd parity";
        case Parity::Even:
            return "even parity";
        default:
            return "no parity";
    }
}

void AppendValues(std::string& page, const SetupValues& values) {
    page += "Memory switches (bit 8 to bit 1)\n";
    for (std::size_t i = 0; i < kSwitchNumbers.size(); ++i) {
        const auto number = static_cast<unsigned>(kSwitchNumbers[i]);
        const std::string name = number < 0x10 ? "Memory switch " + std::to_string(number)
                                               : "Extended switch " + Hex2(number);
        page += "  " + Padded(name, 24) + SwitchBits(values.switches[i]) + '\n';
    }
    page += "Customize values\n";
    for (std::size_t i = 0; i < kCustomizeNumbers.size(); ++i) {
        page += "  " + Padded("Value " + Hex2(static_cast<unsigned>(kCustomizeNumbers[i])), 24) +
                std::to_string(values.customize[i]) + '\n';
    }
    const SerialInterface& s = values.serial;
    page += Padded("Serial interface", 26) + std::to_string(s.baud) + " baud, " +
            std::to_string(s.dataBits) + " data bits, " + ParityName(s.parity) + ", " +
            (s.flow == FlowControl::XonXoff ? "XON/XOFF" : "DSR/DTR") + '\n';
}

void AppendSettings(std::string& page, const SetupValues& values) {
    const DecodedSettings decoded = DecodeSettings(values);
    for (const SettingDescription& s : AllSettings()) {
        const std::string text = decoded.known.test(s.offset)
                                     ? SettingValueText(s.offset, decoded.record)
                                     : "(no option of the setting)";
        page += "  " + Padded(std::string(s.label), 24) + text + '\n';
    }
}

}  // namespace

std::string SwitchBits(std::uint8_t bits) {
    std::string text;
    for (int bit = 8; bit >= 1; --bit) {
        text += (bits & (1u << (bit - 1))) != 0 ? '1' : '0';
    }
    return text;
}

std::string SettingLabel(std::size_t offset) {
    const SettingDescription* s = SettingAt(offset);
    return s ? std::string(s->label) : "byte " + std::to_string(offset);
}

std::string SettingValueText(std::size_t offset, const SettingsRecord& record) {
    const SettingDescription* s = SettingAt(offset);
    if (!s) {
        return std::to_string(record.at(offset));
    }
    if (s->options.empty()) {
        const int tenths = BmCutAdjustment(record);
        return std::string(tenths < 0 ? "-" : "") + std::to_string(std::abs(tenths) / 10) + "." +
               std::to_string(std::abs(tenths) % 10) + " mm";
    }
    if (const auto text = OptionText(*s, record[s->offset])) {
        return std::string(*text);
    }
    return "(" + std::to_string(record[s->offset]) + ": not an option)";
}

std::string SettingsListPage(const PrinterState& state) {
    std::string page = ModelName(state.mechanismId) + " settings list\n";
    page += Padded("Jobs received", 26) + std::to_string(state.jobsReceived) + '\n';
    page += Padded("User-setup mode", 26) + (state.inUserSetupMode() ? "on" : "off") + '\n';
    page += "Settings in force\n";
    AppendSettings(page, state.settings);
    AppendValues(page, state.settings);
    if (state.pending) {
        page += "Written in user-setup mode, in force once the mode is left\n";
        AppendSettings(page, *state.pending);
    }
    page += Padded("NV graphics", 26) + std::to_string(state.graphicsUsed()) + " of " +
            std::to_string(state.graphicsCapacity()) + " bytes used\n";
    for (const auto& [key, graphic] : state.graphics) {
        page += "  " + Padded("Key " + Hex2(key.kc1) + " " + Hex2(key.kc2), 24) +
                std::to_string(graphic.width) + " x " + std::to_string(graphic.height) + " dots, " +
                (graphic.planeCount() == 2 ? "two colours" : "one colour") + '\n';
    }
    page += Padded("Errors of the last job", 26) +
            (state.lastErrorCount == 0 ? "none" : std::to_string(state.lastErrorCount)) + '\n';
    for (const StreamError& e : state.lastErrors) {
        page += "  offset " + std::to_string(e.offset) + ": " + e.message + '\n';
    }
    if (state.lastErrorCount > state.lastErrors.size()) {
        page += "  (" + std::to_string(state.lastErrorCount - state.lastErrors.size()) + " more)\n";
    }
    return page;
}

}  // namespace kestrel::emulator
