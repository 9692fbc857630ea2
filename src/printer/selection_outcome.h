// What the selection says about a chosen queue: accepted, or the message that sends the user
// back to the list. Shared by the selection flow and the command-line tool.
#pragma once

#include <string_view>

#include "ports/user_interface.h"
#include "printer/printer_entry.h"

namespace kestrel {

inline constexpr std::string_view kNotSelectedText =
    "The printer has not been selected.\n\nPlease select the KR-900, KR-700 or KR-500 printer.";
inline constexpr std::string_view kNoDriverText =
    "The KR-900, KR-700 or KR-500 printer driver was not found.\nPlease install the "
    "KR-900,KR-700 or KR-500 printer driver.\n\nProcessing is discontinued.";
inline constexpr std::string_view kDifferentPrinterText =
    "A different printer is selected.\n\nPlease select the KR-900, KR-700 or KR-500 printer.";

struct SelectionOutcome {
    bool accepted = false;
    std::string_view text;  // empty when accepted
    BoxIcon icon = BoxIcon::None;
    // Network and unusable ports are refused with a plain system-modal stop box without owner
    // instead of a box with the program's printer icon.
    bool systemModalStop = false;
};

// Judges the chosen entry: its driver first (an unsupported one passes without further checks
// only in debug mode), then its connection status, and for a parallel port its job count.
SelectionOutcome JudgeSelectedPrinter(const PrinterEntry& entry, bool debugFlag);

// The box that shows a refusal: a stop box without owner for the system-modal ones, otherwise
// the program's icon with the user-icon style, owned by the main window.
MessageBox SelectionMessageBox(const SelectionOutcome& outcome);

// The box shown when OK is pressed with no row focused (owned by the selection dialog).
MessageBox NotSelectedMessageBox();

// The box shown when no queue uses a supported driver.
MessageBox NoDriverMessageBox();

}  // namespace kestrel
