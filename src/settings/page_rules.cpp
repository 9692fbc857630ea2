#include "settings/page_rules.h"

#include <algorithm>
#include <map>
#include <span>
#include <utility>

namespace kestrel {
namespace {

const SettingDescription& SettingAt(std::size_t recordOffset) {
    for (const SettingDescription& setting : AllSettings()) {
        if (setting.offset == recordOffset) {
            return setting;
        }
    }
    return AllSettings().front();  // every offset used below is in the table
}

bool HasBlackMarkSensor(const ProfileState& profile, std::uint32_t mechanismId) {
    return mechanismId == mechanism::BlackMark || mechanismId == mechanism::BlackMarkFullCut ||
           profile.egypt;
}

// The Max Speed list: the KR-700 and KR-500 print slower than the KR-900, whose Taiwan variant
// has the two highest speeds.
std::size_t MaxSpeedOptionCount(const ProfileState& profile, std::uint32_t mechanismId) {
    if (mechanismId == mechanism::KR700) {
        return 7;
    }
    if (mechanismId == mechanism::KR500) {
        return 4;
    }
    return profile.taiwan ? 11 : 9;
}

PageRow Row(std::size_t recordOffset, int labelId, int tipId) {
    const SettingDescription& setting = SettingAt(recordOffset);
    return PageRow{&setting, labelId, tipId, setting.options.size()};
}

// Rows whose labels are numbered in order from firstLabel, each with its own tooltip.
void AppendRows(std::vector<PageRow>& rows, std::span<const std::size_t> bytes, int firstLabel) {
    for (const std::size_t byte : bytes) {
        const int id = firstLabel + static_cast<int>(rows.size());
        rows.push_back(Row(byte, id, id));
    }
}

std::vector<PageRow> MemorySwitchRows(const ProfileState& profile, std::uint32_t mechanismId) {
    namespace o = offset;
    constexpr std::array<std::size_t, 11> bytes{
        o::PowerOnStatus,  o::ReceiveBuffer,    o::BusyCondition, o::ReceiveError,
        o::AutoLf,         o::DsrReset,         o::Init25Reset,   o::Init31Reset,
        o::CoverOpenError, o::BmCheckAtPowerOn, o::Font};
    std::vector<PageRow> rows;
    AppendRows(rows, bytes, 1101);
    rows[9].enabled = HasBlackMarkSensor(profile, mechanismId);
    // The font row belongs to one customer's printers only.
    rows[10].visible = profile.specIndex == SpecIndex::QWB;
    return rows;
}

std::vector<PageRow> CustomizeValueRows(const ProfileState& profile, std::uint32_t mechanismId) {
    namespace o = offset;
    constexpr std::array<std::size_t, 8> bytes{o::UserNvMemory, o::NvGraphicMemory, o::PaperWidth,
                                               o::PrintColor,   o::PrintDensity,    o::BkDensity,
                                               o::MaxSpeed,     o::LowPower};
    std::vector<PageRow> rows;
    AppendRows(rows, bytes, 1201);
    rows[6].optionCount = MaxSpeedOptionCount(profile, mechanismId);
    // Only the Egypt variant cuts at a black mark position the user can adjust.
    PageRow cut = Row(o::BmCutAdjustment, 1209, 1209);
    cut.enabled = cut.visible = profile.egypt;
    rows.push_back(cut);
    rows.push_back(Row(o::Baudrate, 1211, 1211));
    rows.push_back(Row(o::Format, 1212, 1212));
    rows.push_back(Row(o::Protocol, 1213, 1213));
    return rows;
}

std::vector<PageRow> OtherRows(const ProfileState& profile, std::uint32_t mechanismId) {
    namespace o = offset;
    constexpr std::array<std::size_t, 6> bytes{o::AckPulseWidth, o::Usb,       o::SerialNumber,
                                               o::Error,         o::ProcessId, o::PneDetect};
    std::vector<PageRow> rows;
    AppendRows(rows, bytes, 1301);
    const bool kr500 = mechanismId == mechanism::KR500;
    rows[3].enabled = false;   // Error: shown, never chosen here
    rows[5].enabled = !kr500;  // PNE Detect
    // Bytes 27 to 33 keep their own tooltips (1307-1313). Only the first spec has a Font-B row;
    // for the others it goes to the last row, hidden, and the rows below it move up.
    const bool fontBRow = profile.specIndex == SpecIndex::OVERSEA;
    for (std::size_t i = 0; i < 7; ++i) {
        const std::size_t byte = o::FontB + i;
        const int tip = 1307 + static_cast<int>(i);
        const int label = fontBRow ? tip : (i == 0 ? 1313 : tip - 1);
        rows.push_back(Row(byte, label, tip));
    }
    const auto at = [&](std::size_t byte) -> PageRow& { return rows[6 + byte - o::FontB]; };
    at(o::FontB).visible = fontBRow;
    at(o::CutterMode).enabled =
        mechanismId >= mechanism::FullCut && mechanismId <= mechanism::KR500;
    at(o::BmSensor).enabled = HasBlackMarkSensor(profile, mechanismId);
    at(o::BmCheckWithCut).enabled = HasBlackMarkSensor(profile, mechanismId);
    at(o::Buzzer).enabled = !kr500;
    std::ranges::sort(rows, {}, &PageRow::labelId);
    return rows;
}

}  // namespace

SettingsPage PageAtIndex(int index) {
    switch (index) {
        case 1:
            return SettingsPage::CustomizeValue;
        case 2:
            return SettingsPage::Other;
        default:
            return SettingsPage::MemorySwitch;
    }
}

std::vector<PageRow> PageRows(SettingsPage page, const ProfileState& profile,
                              std::uint32_t mechanismId) {
    switch (page) {
        case SettingsPage::MemorySwitch:
            return MemorySwitchRows(profile, mechanismId);
        case SettingsPage::CustomizeValue:
            return CustomizeValueRows(profile, mechanismId);
        case SettingsPage::Other:
            return OtherRows(profile, mechanismId);
    }
    return {};
}

FilteredText FilterCutAdjustmentText(std::string_view text, int selectionStart, int selectionEnd) {
    FilteredText out{{}, selectionStart, selectionEnd};
    bool point = false;
    int digitsAfterPoint = 0;
    const std::string_view head = text.substr(0, kCutAdjustmentMaxLength);
    for (std::size_t i = 0; i < head.size(); ++i) {
        const char c = head[i];
        bool keep = false;
        if (c >= '0' && c <= '9') {
            keep = !point || digitsAfterPoint++ < 1;
        } else if (c == '.') {
            keep = !std::exchange(point, true);
        } else if (c == '-') {
            keep = i == 0;
        }
        if (keep) {
            out.text += c;
        } else {
            out.selectionStart = std::max(0, out.selectionStart - 1);
            out.selectionEnd = std::max(0, out.selectionEnd - 1);
        }
    }
    const int length = static_cast<int>(out.text.size());
    out.selectionStart = std::min(out.selectionStart, length);
    out.selectionEnd = std::min(out.selectionEnd, length);
    return out;
}

std::int16_t CutAdjustmentFromText(std::string_view text) {
    // Read as the C library reads a decimal number (leading blanks, a sign, digits, a point,
    // digits) but in exact tenths, so that every value the edit shows reads back unchanged.
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i++] == '-';
    }
    long long tenths = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        tenths = std::min(tenths * 10 + (text[i] - '0'), 1'000'000LL);
    }
    tenths *= 10;
    if (i < text.size() && text[i] == '.' && i + 1 < text.size() && text[i + 1] >= '0' &&
        text[i + 1] <= '9') {
        tenths += text[i + 1] - '0';
    }
    if (negative) {
        tenths = -tenths;
    }
    return static_cast<std::int16_t>(
        std::clamp<long long>(tenths, kBmCutAdjustmentMin, kBmCutAdjustmentMax));
}

std::string FormatCutAdjustment(std::int16_t tenths) {
    const int magnitude = tenths < 0 ? -tenths : tenths;
    return (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." +
           std::to_string(magnitude % 10);
}

int UpDownPositionOf(std::int16_t tenths) {
    return tenths + kUpDownOffset;
}

std::int16_t CutAdjustmentFromUpDown(int position) {
    return static_cast<std::int16_t>(
        std::clamp(position - kUpDownOffset, int{kBmCutAdjustmentMin}, int{kBmCutAdjustmentMax}));
}

std::optional<std::string_view> ToolTipText(int id) {
    static const std::map<int, std::string_view> kTips{
        {1000, "Sends to the printer."},
        {1001, "It finishes the KESTREL."},
        {1002, "Content of every Dialog will return to the initial value."},
        {1101, "It sets the printer power on should be informed to the host."},
        {1102, "It sets the size of the receiving buffer."},
        {1103, "It sets the condition for printer becoming BUSY."},
        {1104, "It sets the handling when receiving error happened."},
        {1105, "It sets the automatic line-feed according to the CR code receiving."},
        {1106, "It sets whether DSR(#6) signal should be recognized as a reset signal or not."},
        {1107, "It sets whether INIT(#25) signal should be recognized as a reset signal or not."},
        {1108, "It sets whether INIT(#31) signal should be recognized as a reset signal or not."},
        {1109, "It sets the returning method when cover open happened during printing."},
        {1110, "It sets the print start position when Power on."},
        {1111, "It selects font of Font."},
        {1201, "It sets the NV memory capacity that is used by operators."},
        {1202, "It sets the capacity of the graphic memory."},
        {1203, "It sets the using paper width and digit."},
        {1204, "It sets the printing color."},
        {1205, "It sets the printing density."},
        {1206, "It sets the black print density at two colors."},
        {1207, "It sets the max speed of printing."},
        {1208, "It sets the lower power consumption."},
        {1209, "It sets the black mark cut adjustment.\n[-34.0 ... 250.0]mm"},
        {1211, "It sets the baudrate."},
        {1212, "It sets the data format."},
        {1213, "It sets the buffer control protocol."},
        {1301, "It sets the pulse width of the ACK signal."},
        {1302, "It sets operation class in USB interface."},
        {1303, "It sets whether the Serial number notification should be executed or not."},
        {1304, "It sets the returning method when error happened."},
        {1305, "It sets the response mode to the command."},
        {1306, "Set whether detecting the paper near end."},
        {1307, "It selects mode of Font B."},
        {1308,
         "Specifies whether to perform batch printing when the serial interface is being used."},
        {1309,
         "Specifies whether to perform batch printing when the interface is not a serial "
         "interface."},
        {1310, "It sets the cut action of full cut comand."},
        {1311,
         "It sets whether the black mark sensor is mounted or not.\nDon't change this "
         "setting when you uninstall the black mark sensor."},
        {1312,
         "Set the cut action with BM sensor when top of paper should be set.\nDon't change "
         "this setting when you uninstall the black mark sensor."},
        {1313, "It sets the buzzer beep when the error occurs."},
    };
    const auto it = kTips.find(id);
    return it == kTips.end() ? std::nullopt : std::optional(it->second);
}

}  // namespace kestrel
