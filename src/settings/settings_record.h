// The printer's user-setup settings as the program holds them: one 38-byte record, one option
// index per setting, plus a signed cut adjustment. The same 38 bytes are the image written to
// settings files and to the working configuration, so the offsets below are a file format.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kestrel {

inline constexpr std::size_t kSettingsRecordSize = 38;

using SettingsRecord = std::array<std::uint8_t, kSettingsRecordSize>;

// Byte offsets of the settings inside the record.
namespace offset {
inline constexpr std::size_t PowerOnStatus = 0;
inline constexpr std::size_t ReceiveBuffer = 1;
inline constexpr std::size_t BusyCondition = 2;
inline constexpr std::size_t ReceiveError = 3;
inline constexpr std::size_t AutoLf = 4;
inline constexpr std::size_t DsrReset = 5;
inline constexpr std::size_t Init25Reset = 6;
inline constexpr std::size_t Init31Reset = 7;
inline constexpr std::size_t BmCheckAtPowerOn = 8;
inline constexpr std::size_t CoverOpenError = 9;
inline constexpr std::size_t UserNvMemory = 10;
inline constexpr std::size_t NvGraphicMemory = 11;
inline constexpr std::size_t PaperWidth = 12;
inline constexpr std::size_t PrintColor = 13;
inline constexpr std::size_t PrintDensity = 14;
inline constexpr std::size_t BkDensity = 15;
inline constexpr std::size_t MaxSpeed = 16;
inline constexpr std::size_t LowPower = 17;
inline constexpr std::size_t Baudrate = 18;
inline constexpr std::size_t Format = 19;
inline constexpr std::size_t Protocol = 20;
inline constexpr std::size_t AckPulseWidth = 21;
inline constexpr std::size_t Usb = 22;
inline constexpr std::size_t SerialNumber = 23;
inline constexpr std::size_t Error = 24;
inline constexpr std::size_t ProcessId = 25;
inline constexpr std::size_t PneDetect = 26;
inline constexpr std::size_t FontB = 27;
inline constexpr std::size_t BatchComIf = 28;
inline constexpr std::size_t BatchOtherIf = 29;
inline constexpr std::size_t CutterMode = 30;
inline constexpr std::size_t BmSensor = 31;
inline constexpr std::size_t BmCheckWithCut = 32;
inline constexpr std::size_t Buzzer = 33;
inline constexpr std::size_t BmCutAdjustment = 34;  // 34 and 35: signed 16-bit, low byte first
inline constexpr std::size_t Font = 36;
inline constexpr std::size_t Reserved = 37;
}  // namespace offset

// The black mark cut adjustment in tenths of a millimetre, -340 to 2500 on a sound record.
inline constexpr std::int16_t kBmCutAdjustmentMin = -340;
inline constexpr std::int16_t kBmCutAdjustmentMax = 2500;

std::int16_t BmCutAdjustment(const SettingsRecord& record);
void SetBmCutAdjustment(SettingsRecord& record, std::int16_t tenthsOfMm);

}  // namespace kestrel
