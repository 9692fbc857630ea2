// The printer's user-setup command streams: sending the settings, returning the printer to its
// factory defaults, and printing its settings list. Each is built whole before it is sent.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "printer/printer_entry.h"
#include "settings/profile_state.h"
#include "settings/settings_record.h"

namespace kestrel {

enum class SettingJobKind : std::uint16_t {
    SendSettings = 1,
    InitializePrinter = 2,
    PrintSettingsList = 3,
};

// Every stream fits the 256-byte buffer of the original program; the longest is 176 bytes.
inline constexpr std::size_t kSettingBufferSize = 256;

// Five CAN, then GS ( A: print the printer's settings.
inline constexpr std::array<std::uint8_t, 12> kSettingsListStream{
    0x18, 0x18, 0x18, 0x18, 0x18, 0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02};

// The user-setup stream for SendSettings or InitializePrinter. The record is what is sent (for an
// initialization, the factory defaults); the host port settings as they stand before the job
// decide the order of the data length and parity commands.
std::vector<std::uint8_t> BuildSettingStream(SettingJobKind kind, const SettingsRecord& record,
                                             const ProfileState& profile,
                                             const HostPortSettings& hostPortBefore);

// Data-bits code and parity code of a Format option (0 7EVEN1 .. 4 8ODD1); the one table of the
// five formats, read both ways.
inline constexpr std::uint8_t kFormatCount = 5;
struct FormatCodes {
    std::uint32_t dataBitsCode;
    std::uint32_t parityCode;
};
FormatCodes FormatToCodes(std::uint8_t format);

}  // namespace kestrel
