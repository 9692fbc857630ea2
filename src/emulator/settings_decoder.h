// From what the printer holds back to the settings record that would have put it there: the inverse
// of the setting stream, read from the printer's side (which bit of which switch, which customize
// value, which serial item stands for which record byte).
#pragma once

#include <bitset>
#include <cstddef>
#include <optional>

#include "emulator/kr_printer.h"
#include "emulator/printer_state.h"
#include "settings/settings_record.h"

namespace kestrel::emulator {

using RecordBytes = std::bitset<kSettingsRecordSize>;

struct DecodedSettings {
    SettingsRecord record{};
    // Bytes whose value the printer holds as one of the setting's options (a 7-bit line without
    // parity, for one, is no Format option).
    RecordBytes known;
};

DecodedSettings DecodeSettings(const SetupValues& values);

// The record bytes that the written settings decide.
RecordBytes CarriedBytes(const WrittenSettings& written);

// The record byte behind a switch bit (1 to 8), if a setting uses it.
std::optional<std::size_t> SettingOfSwitchBit(SwitchNumber number, int bit);

// The record byte behind a customize value (34 for the cut adjustment, with 35).
std::size_t SettingOfCustomizeValue(CustomizeNumber number);

// The record byte behind a serial item (data length and parity both make the Format).
std::size_t SettingOfSerialItem(SerialItem item);

// The settings record option index that the printer's value of a customize value means, if any.
std::optional<std::uint8_t> CustomizeOptionIndex(CustomizeNumber number, std::int16_t value);

}  // namespace kestrel::emulator
