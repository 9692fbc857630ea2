#include "emulator/settings_decoder.h"

#include <algorithm>
#include <array>

namespace kestrel::emulator {
namespace {

namespace o = offset;
using S = SwitchNumber;
using C = CustomizeNumber;

// The switch bits the printer's settings live in, as the printer numbers them (bit 8 is the
// first switch character of a setup command, bit 1 the last).
struct SwitchBit {
    S number;
    int bit;
    std::size_t offset;
};
constexpr std::array kSwitchBits{
    SwitchBit{S::Msw1, 8, o::Init25Reset},
    SwitchBit{S::Msw1, 7, o::DsrReset},
    SwitchBit{S::Msw1, 5, o::AutoLf},
    SwitchBit{S::Msw1, 4, o::ReceiveError},
    SwitchBit{S::Msw1, 3, o::BusyCondition},
    SwitchBit{S::Msw1, 2, o::ReceiveBuffer},
    SwitchBit{S::Msw1, 1, o::PowerOnStatus},
    SwitchBit{S::Msw2, 1, o::Init31Reset},
    SwitchBit{S::Msw8, 8, o::CoverOpenError},
    SwitchBit{S::Msw8, 6, o::BmCheckAtPowerOn},
    SwitchBit{S::Ext7E, 8, o::Buzzer},
    SwitchBit{S::Ext7E, 7, o::ProcessId},
    SwitchBit{S::Ext7E, 6, o::Usb},
    SwitchBit{S::Ext7E, 5, o::CutterMode},
    SwitchBit{S::Ext7E, 4, o::FontB},
    SwitchBit{S::Ext7E, 3, o::SerialNumber},
    SwitchBit{S::Ext7E, 2, o::PneDetect},
    SwitchBit{S::Ext7E, 1, o::Error},
    SwitchBit{S::Ext7F, 8, o::BmSensor},
    SwitchBit{S::Ext7F, 6, o::AckPulseWidth},
    SwitchBit{S::Ext7F, 5, o::BmCheckWithCut},
    SwitchBit{S::Ext7F, 4, o::Font},
    SwitchBit{S::Ext7F, 1, o::BatchComIf},
    SwitchBit{S::Ext7D, 1, o::BatchOtherIf},
};

struct CustomizeByte {
    C number;
    std::size_t offset;
};
constexpr std::array kCustomizeBytes{
    CustomizeByte{C::UserNvMemory, o::UserNvMemory},
    CustomizeByte{C::NvGraphicMemory, o::NvGraphicMemory},
    CustomizeByte{C::PaperColumns, o::PaperWidth},
    CustomizeByte{C::PrintDensity, o::PrintDensity},
    CustomizeByte{C::MaxSpeed, o::MaxSpeed},
    CustomizeByte{C::LowPower, o::LowPower},
    CustomizeByte{C::PrintColor, o::PrintColor},
    CustomizeByte{C::BkDensity, o::BkDensity},
    CustomizeByte{C::BmCutAdjustment, o::BmCutAdjustment},
};

std::uint8_t Mask(int bit) {
    return static_cast<std::uint8_t>(1u << (bit - 1));
}

std::size_t SlotOf(S number) {
    return *SwitchSlot(static_cast<std::uint8_t>(number));
}

// The Format option of a data length and parity: 7EVEN1, 7ODD1, 8NONE1, 8EVEN1, 8ODD1.
std::optional<std::uint8_t> FormatIndex(const SerialInterface& serial) {
    if (serial.dataBits == 7) {
        if (serial.parity == Parity::Even) {
            return 0;
        }
        if (serial.parity == Parity::Odd) {
            return 1;
        }
        return std::nullopt;
    }
    if (serial.dataBits == 8) {
        switch (serial.parity) {
            case Parity::None:
                return 2;
            case Parity::Even:
                return 3;
            case Parity::Odd:
                return 4;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::uint8_t> CustomizeOptionIndex(CustomizeNumber number, std::int16_t value) {
    if (number == C::BmCutAdjustment || !CustomizeValueAccepted(number, value)) {
        return std::nullopt;
    }
    switch (number) {
        case C::UserNvMemory:
        case C::NvGraphicMemory:
        case C::MaxSpeed:
            return static_cast<std::uint8_t>(value - 1);
        case C::PaperColumns:
            return static_cast<std::uint8_t>(std::ranges::find(kPaperColumns, value) -
                                             kPaperColumns.begin());
        case C::PrintDensity:
        case C::BkDensity:
            return static_cast<std::uint8_t>(value + 6);  // 0 is "100%", index 6
        case C::LowPower:
            return static_cast<std::uint8_t>(value);
        case C::PrintColor:
            return static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) >> 8);
        default:
            return std::nullopt;
    }
}

DecodedSettings DecodeSettings(const SetupValues& values) {
    DecodedSettings out;
    for (const SwitchBit& s : kSwitchBits) {
        out.record[s.offset] = (values.switches[SlotOf(s.number)] & Mask(s.bit)) != 0 ? 1 : 0;
        out.known.set(s.offset);
    }
    for (const CustomizeByte& c : kCustomizeBytes) {
        const std::int16_t value = values.value(c.number);
        if (c.number == C::BmCutAdjustment) {
            if (CustomizeValueAccepted(c.number, value)) {
                SetBmCutAdjustment(out.record, value);
                out.known.set(o::BmCutAdjustment).set(o::BmCutAdjustment + 1);
            }
        } else if (const auto index = CustomizeOptionIndex(c.number, value)) {
            out.record[c.offset] = *index;
            out.known.set(c.offset);
        }
    }
    const SerialInterface& serial = values.serial;
    if (const auto baud = std::ranges::find(kBaudRates, serial.baud); baud != kBaudRates.end()) {
        out.record[o::Baudrate] = static_cast<std::uint8_t>(baud - kBaudRates.begin());
        out.known.set(o::Baudrate);
    }
    if (const auto format = FormatIndex(serial)) {
        out.record[o::Format] = *format;
        out.known.set(o::Format);
    }
    out.record[o::Protocol] = serial.flow == FlowControl::XonXoff ? 1 : 0;
    out.known.set(o::Protocol);
    return out;
}

RecordBytes CarriedBytes(const WrittenSettings& written) {
    RecordBytes carried;
    for (const SwitchBit& s : kSwitchBits) {
        if ((written.switchBits[SlotOf(s.number)] & Mask(s.bit)) != 0) {
            carried.set(s.offset);
        }
    }
    for (const CustomizeByte& c : kCustomizeBytes) {
        if (written.customize[*CustomizeSlot(static_cast<std::uint8_t>(c.number))]) {
            carried.set(c.offset);
            if (c.number == C::BmCutAdjustment) {
                carried.set(c.offset + 1);
            }
        }
    }
    carried.set(o::Baudrate, written.serialItem(SerialItem::BaudRate));
    carried.set(o::Format, written.serialItem(SerialItem::DataLength) &&
                               written.serialItem(SerialItem::Parity));
    carried.set(o::Protocol, written.serialItem(SerialItem::FlowControl));
    return carried;
}

std::optional<std::size_t> SettingOfSwitchBit(SwitchNumber number, int bit) {
    const auto it = std::ranges::find_if(
        kSwitchBits, [&](const SwitchBit& s) { return s.number == number && s.bit == bit; });
    return it == kSwitchBits.end() ? std::nullopt : std::optional<std::size_t>(it->offset);
}

std::size_t SettingOfCustomizeValue(CustomizeNumber number) {
    return std::ranges::find_if(kCustomizeBytes,
                                [&](const CustomizeByte& c) { return c.number == number; })
        ->offset;
}

std::size_t SettingOfSerialItem(SerialItem item) {
    switch (item) {
        case SerialItem::BaudRate:
            return o::Baudrate;
        case SerialItem::FlowControl:
            return o::Protocol;
        default:
            return o::Format;
    }
}

}  // namespace kestrel::emulator
