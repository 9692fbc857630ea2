#include "settings/setting_encoder.h"

#include <string_view>

namespace kestrel {
namespace {

namespace o = offset;

constexpr std::uint8_t CAN = 0x18;
constexpr std::uint8_t GS = 0x1D;

// A switch position either follows a record byte or is the fixed '2': leave the bit as it is.
constexpr int kKeep = -1;
using SwitchLayout = std::array<int, 8>;  // position 1 (bit 8) .. position 8 (bit 1)

constexpr SwitchLayout kSwitch01{o::Init25Reset,   o::DsrReset,     kKeep,
                                 o::AutoLf,        o::ReceiveError, o::BusyCondition,
                                 o::ReceiveBuffer, o::PowerOnStatus};
constexpr SwitchLayout kSwitch02{kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, o::Init31Reset};
constexpr SwitchLayout kSwitch08{
    o::CoverOpenError, kKeep, o::BmCheckAtPowerOn, kKeep, kKeep, kKeep, kKeep, kKeep};
constexpr SwitchLayout kSwitch7E{o::Buzzer, o::ProcessId,    o::Usb,       o::CutterMode,
                                 o::FontB,  o::SerialNumber, o::PneDetect, o::Error};
constexpr SwitchLayout kSwitch7F{o::BmSensor, kKeep, o::AckPulseWidth, o::BmCheckWithCut, o::Font,
                                 kKeep,       kKeep, o::BatchComIf};
constexpr SwitchLayout kSwitch7D{kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, o::BatchOtherIf};

// Columns of each Paper Width option, sent as customize value 03.
constexpr std::array<std::uint8_t, 6> kPaperColumns{53, 48, 42, 36, 35, 32};

constexpr std::array<std::string_view, 7> kBaudTexts{"2400",  "4800",  "9600",  "19200",
                                                     "38400", "57600", "115200"};

class StreamWriter {
public:
    void bytes(std::initializer_list<std::uint8_t> list) {
        m_out.insert(m_out.end(), list.begin(), list.end());
    }
    void byte(std::uint8_t b) { m_out.push_back(b); }
    void text(std::string_view s) { m_out.insert(m_out.end(), s.begin(), s.end()); }
    void u16(std::int32_t value) {
        const auto raw = static_cast<std::uint16_t>(value);
        byte(static_cast<std::uint8_t>(raw & 0xFF));
        byte(static_cast<std::uint8_t>(raw >> 8));
    }
    // GS ( E with its two-byte parameter count and the function number.
    void setupCommand(std::uint16_t parameterCount, std::uint8_t function) {
        bytes({GS, '(', 'E'});
        u16(parameterCount);
        byte(function);
    }
    std::vector<std::uint8_t> take() { return std::move(m_out); }

private:
    std::vector<std::uint8_t> m_out;
};

void SwitchCharacters(StreamWriter& w, const SettingsRecord& record, const SwitchLayout& layout,
                      bool keepFontB) {
    for (const int position : layout) {
        if (position == kKeep || (keepFontB && position == static_cast<int>(o::FontB))) {
            w.byte('2');
        } else {
            w.byte(record[static_cast<std::size_t>(position)] == 0 ? '0' : '1');
        }
    }
}

void CustomizeEntry(StreamWriter& w, std::uint8_t number, std::int32_t value) {
    w.byte(number);
    w.u16(value);
}

}  // namespace

FormatCodes FormatToCodes(std::uint8_t format) {
    switch (format) {
        case 0:
            return {0, 1};
        case 1:
            return {0, 2};
        case 3:
            return {1, 1};
        case 4:
            return {1, 2};
        default:
            return {1, 0};
    }
}

std::vector<std::uint8_t> BuildSettingStream(SettingJobKind kind, const SettingsRecord& r,
                                             const ProfileState& profile,
                                             const HostPortSettings& hostPortBefore) {
    const bool send = kind == SettingJobKind::SendSettings;
    StreamWriter w;

    w.bytes({CAN, CAN, CAN, CAN, CAN});
    w.setupCommand(3, 0x01);  // enter user-setup mode
    w.text("IN");

    // Memory switches 1, 2 and 8 in one command.
    w.setupCommand(0x1C, 0x03);
    w.byte(0x01);
    SwitchCharacters(w, r, kSwitch01, false);
    w.byte(0x02);
    SwitchCharacters(w, r, kSwitch02, false);
    w.byte(0x08);
    SwitchCharacters(w, r, kSwitch08, false);

    // Customize values. An initialization leaves the paper width alone: the printer keeps the
    // width of its installed paper guide.
    w.setupCommand(send ? 0x19 : 0x16, 0x05);
    CustomizeEntry(w, 0x01, r[o::UserNvMemory] + 1);
    CustomizeEntry(w, 0x02, r[o::NvGraphicMemory] + 1);
    if (send) {
        CustomizeEntry(w, 0x03, kPaperColumns.at(r[o::PaperWidth]));
    }
    CustomizeEntry(w, 0x05, r[o::PrintDensity] - 6);
    CustomizeEntry(w, 0x06, r[o::MaxSpeed] + 1);
    CustomizeEntry(w, 0x61, r[o::LowPower]);
    CustomizeEntry(w, 0x74, 1 | (r[o::PrintColor] << 8));
    CustomizeEntry(w, 0x76, r[o::BkDensity] - 6);

    if (profile.egypt) {
        w.setupCommand(4, 0x05);
        CustomizeEntry(w, 0x7E, BmCutAdjustment(r));
    }

    // Serial interface: baud rate, then data length and parity, then flow control.
    const std::string_view baud = kBaudTexts.at(r[o::Baudrate]);
    w.setupCommand(static_cast<std::uint16_t>(2 + baud.size()), 0x0B);
    w.byte(0x01);
    w.text(baud);

    const std::uint8_t format = r[o::Format];
    const auto dataLength = [&] {
        w.setupCommand(3, 0x0B);
        w.byte(0x04);
        w.byte(format <= 1 ? '7' : '8');
    };
    const auto parity = [&] {
        w.setupCommand(3, 0x0B);
        w.byte(0x02);
        w.byte(format == 0 || format == 3 ? '2' : format == 2 ? '0' : '1');
    };
    // The printer applies each serial command as it arrives, so the host's current line decides
    // the order that keeps the link readable between the two commands.
    if (hostPortBefore.dataBitsCode == 1) {
        parity();
        dataLength();
    } else {
        dataLength();
        parity();
    }

    w.setupCommand(3, 0x0B);
    w.byte(0x03);
    w.byte(r[o::Protocol] == 0 ? '0' : '1');

    // The maker's extended switches. Font-B exists only on the OVERSEA spec.
    const bool keepFontB = profile.specIndex != SpecIndex::OVERSEA;
    w.setupCommand(0x0A, 0x03);
    w.byte(0x7E);
    SwitchCharacters(w, r, kSwitch7E, keepFontB);
    w.setupCommand(0x0A, 0x03);
    w.byte(0x7F);
    SwitchCharacters(w, r, kSwitch7F, false);
    w.setupCommand(0x0A, 0x03);
    w.byte(0x7D);
    SwitchCharacters(w, r, kSwitch7D, false);

    w.setupCommand(4, 0x02);  // leave user-setup mode
    w.text("OUT");
    return w.take();
}

}  // namespace kestrel
