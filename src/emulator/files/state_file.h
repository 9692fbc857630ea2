// The virtual printer's state as a JSON file, so a printer outlives the job (and the process) that
// changed it. Reading trusts nothing in the file: every value must be one the printer could hold,
// every logo plane exactly its size, or the file is refused as a whole.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "emulator/printer_state.h"

namespace kestrel::emulator {

nlohmann::ordered_json StateToJson(const PrinterState& state);
std::string StateToText(const PrinterState& state);

// Nothing (with the reason in why) when the text is not a printer state this program writes.
std::optional<PrinterState> StateFromText(std::string_view text, std::string& why);

}  // namespace kestrel::emulator
