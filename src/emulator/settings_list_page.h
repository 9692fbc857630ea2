// The printer's state as text: what its settings list print shows, and what the tools print for
// a virtual printer. Settings by label and option text first, then the raw switches and values.
#pragma once

#include <cstddef>
#include <string>

#include "emulator/printer_state.h"
#include "settings/settings_record.h"

namespace kestrel::emulator {

std::string SettingsListPage(const PrinterState& state);

// The option text of a record byte ("Enable", "80mm/48column", "-34.0 mm" for bytes 34-35).
std::string SettingValueText(std::size_t offset, const SettingsRecord& record);

// The label of a record byte ("Power on Status"); bytes 34-35 are "BM Cut Adjustment".
std::string SettingLabel(std::size_t offset);

// A switch as eight characters, bit 8 first.
std::string SwitchBits(std::uint8_t bits);

}  // namespace kestrel::emulator
