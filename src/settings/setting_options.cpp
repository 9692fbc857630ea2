#include "settings/setting_options.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "settings/settings_record.h"
#include "settings/text.h"

namespace kestrel {
namespace {

using namespace std::string_view_literals;
using sv = std::string_view;

constexpr std::array kDisableEnable{"Disable"sv, "Enable"sv};
constexpr std::array kEnableDisable{"Enable"sv, "Disable"sv};
constexpr std::array kReceiveBuffer{"4KByte"sv, "45Byte"sv};
constexpr std::array kBusyCondition{"Offline/BufferFull"sv, "BufferFull"sv};
constexpr std::array kReceiveError{"?Print"sv, "Ignore"sv};
constexpr std::array kCoverOpenError{"Auto Recovery"sv, "Recovery by Command"sv};
constexpr std::array kUserNvMemory{"1KByte"sv, "64KByte"sv, "128KByte"sv, "192KByte"sv};
constexpr std::array kNvGraphicMemory{"None"sv,     "64KByte"sv,  "128KByte"sv, "192KByte"sv,
                                      "256KByte"sv, "320KByte"sv, "384KByte"sv};
constexpr std::array kPaperWidth{"83mm/53column"sv, "80mm/48column"sv, "80mm/42column"sv,
                                 "60mm/36column"sv, "58mm/35column"sv, "58mm/32column"sv};
constexpr std::array kPrintColor{"Monochrome"sv, "Two"sv};
constexpr std::array kDensity{"70%"sv,  "75%"sv,  "80%"sv,  "85%"sv,  "90%"sv,  "95%"sv, "100%"sv,
                              "105%"sv, "110%"sv, "115%"sv, "120%"sv, "125%"sv, "130%"sv};
constexpr std::array kMaxSpeed{"1"sv, "2"sv, "3"sv, "4"sv,  "5"sv, "6"sv,
                               "7"sv, "8"sv, "9"sv, "10"sv, "11"sv};
constexpr std::array kLowPower{"Normal"sv, "Mode1"sv, "Mode2"sv};
constexpr std::array kBaudrate{"2400BPS"sv,  "4800BPS"sv,  "9600BPS"sv,  "19200BPS"sv,
                               "38400BPS"sv, "57600BPS"sv, "115200BPS"sv};
constexpr std::array kFormat{"7EVEN1"sv, "7ODD1"sv, "8NONE1"sv, "8EVEN1"sv, "8ODD1"sv};
constexpr std::array kProtocol{"DSR/DTR"sv, "XON/XOFF"sv};
constexpr std::array kAckPulseWidth{"1 micro second"sv, "8 micro second"sv};
constexpr std::array kUsb{"V-COM"sv, "Printer"sv};
constexpr std::array kError{"Recovery by Command"sv, "Auto Recovery"sv};
constexpr std::array kProcessId{"Normal"sv, "Hi-Speed"sv};
constexpr std::array kModes{"Mode1"sv, "Mode2"sv};
constexpr std::array kCutterMode{"Partial"sv, "Full"sv};
constexpr std::array kBmSensor{"Uninstall"sv, "Installed"sv};
constexpr std::array kFont{"Mincho"sv, "Gothic"sv};

using P = SettingsPage;
namespace o = offset;

const std::array kSettings{
    SettingDescription{o::PowerOnStatus, "Power on Status", P::MemorySwitch, 1151, kDisableEnable},
    SettingDescription{o::ReceiveBuffer, "Receive Buffer", P::MemorySwitch, 1152, kReceiveBuffer},
    SettingDescription{o::BusyCondition, "Busy Condition", P::MemorySwitch, 1153, kBusyCondition},
    SettingDescription{o::ReceiveError, "Receive Error", P::MemorySwitch, 1154, kReceiveError},
    SettingDescription{o::AutoLf, "Auto LF", P::MemorySwitch, 1155, kDisableEnable},
    SettingDescription{o::DsrReset, "DSR(#6) Reset", P::MemorySwitch, 1156, kDisableEnable},
    SettingDescription{o::Init25Reset, "INIT(#25) Reset", P::MemorySwitch, 1157, kDisableEnable},
    SettingDescription{o::Init31Reset, "INIT(#31) Reset", P::MemorySwitch, 1158, kDisableEnable},
    SettingDescription{o::BmCheckAtPowerOn, "BM Check at Power-on", P::MemorySwitch, 1160,
                       kEnableDisable},
    SettingDescription{o::CoverOpenError, "Cover Open Error", P::MemorySwitch, 1159,
                       kCoverOpenError},
    SettingDescription{o::UserNvMemory, "User NV Moemory", P::CustomizeValue, 1251, kUserNvMemory},
    SettingDescription{o::NvGraphicMemory, "NV Graphic Memory", P::CustomizeValue, 1252,
                       kNvGraphicMemory},
    SettingDescription{o::PaperWidth, "Paper Width", P::CustomizeValue, 1253, kPaperWidth},
    SettingDescription{o::PrintColor, "Print Color", P::CustomizeValue, 1254, kPrintColor},
    SettingDescription{o::PrintDensity, "Print Density", P::CustomizeValue, 1255, kDensity},
    SettingDescription{o::BkDensity, "BK Density(2Color)", P::CustomizeValue, 1256, kDensity},
    SettingDescription{o::MaxSpeed, "Max Speed", P::CustomizeValue, 1257, kMaxSpeed},
    SettingDescription{o::LowPower, "Low Power", P::CustomizeValue, 1258, kLowPower},
    SettingDescription{o::Baudrate, "Baudrate", P::CustomizeValue, 1261, kBaudrate},
    SettingDescription{o::Format, "Format", P::CustomizeValue, 1262, kFormat},
    SettingDescription{o::Protocol, "Protocol", P::CustomizeValue, 1263, kProtocol},
    SettingDescription{o::AckPulseWidth, "ACK Pulse Width", P::Other, 1351, kAckPulseWidth},
    SettingDescription{o::Usb, "USB", P::Other, 1352, kUsb},
    SettingDescription{o::SerialNumber, "Serial Number", P::Other, 1353, kEnableDisable},
    SettingDescription{o::Error, "Error", P::Other, 1354, kError},
    SettingDescription{o::ProcessId, "Process ID", P::Other, 1355, kProcessId},
    SettingDescription{o::PneDetect, "PNE Detect", P::Other, 1356, kDisableEnable},
    SettingDescription{o::FontB, "Font-B", P::Other, 0, kModes},
    SettingDescription{o::BatchComIf, "Batch (COM IF)", P::Other, 0, kDisableEnable},
    SettingDescription{o::BatchOtherIf, "Batch (OTHER IF)", P::Other, 0, kDisableEnable},
    SettingDescription{o::CutterMode, "Cutter Mode", P::Other, 0, kCutterMode},
    SettingDescription{o::BmSensor, "BM Sensor", P::Other, 0, kBmSensor},
    SettingDescription{o::BmCheckWithCut, "BM Check with Cut", P::Other, 0, kDisableEnable},
    SettingDescription{o::Buzzer, "Buzzer", P::Other, 0, kDisableEnable},
    SettingDescription{o::BmCutAdjustment, "BM Cut Adjustment", P::CustomizeValue, 1259, {}},
    SettingDescription{o::Font, "Font", P::MemorySwitch, 1161, kFont},
};

}  // namespace

std::span<const SettingDescription> AllSettings() {
    return kSettings;
}

const SettingDescription* FindSetting(std::string_view label) {
    const auto it = std::ranges::find_if(
        kSettings, [&](const SettingDescription& s) { return EqualsIgnoreCase(s.label, label); });
    return it == kSettings.end() ? nullptr : &*it;
}

std::optional<std::string_view> OptionText(const SettingDescription& setting, unsigned index) {
    if (index >= setting.options.size()) {
        return std::nullopt;
    }
    return setting.options[index];
}

}  // namespace kestrel
