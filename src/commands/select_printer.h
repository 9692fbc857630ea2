// Choosing the print queue at start-up: the list is filled from the print system, the user picks
// a row, the choice is confirmed (model, the PC's serial line, waiting jobs) and judged; the loop
// repeats until a usable printer is accepted or the user gives up.
#pragma once

#include <cstddef>
#include <optional>

#include "commands/command_context.h"
#include "ports/host_port_store.h"
#include "printer/printer_sort.h"

namespace kestrel {

enum class SelectionDialogResult { Ok = 1, Cancel = 2, NoSupportedDriver = 3 };

// The selection dialog as the flow needs it. An implementation fills its list with
// FillPrinterTable, lets the user choose, and on OK calls ConfirmSelection, ending with Ok only
// when that returns true.
class PrinterSelectionDialog {
public:
    virtual ~PrinterSelectionDialog() = default;
    virtual SelectionDialogResult run() = 0;
};

// Rebuilds the printer table from the print system, classified and sorted by printer name in the
// given direction; the selected printer is the first entry. Returns whether any queue uses a
// supported driver (if none, the dialog ends with NoSupportedDriver).
bool FillPrinterTable(AppState& state, PrintSystem& printSystem, SortDirection direction);

// The OK button. focusedRow is the row with the focus, if any. Returns true when the dialog may
// end with Ok; false keeps it open (the reason has been shown).
bool ConfirmSelection(AppState& state, PrintSystem& printSystem, HostPortStore& store,
                      UserInterface& ui, std::optional<std::size_t> focusedRow);

// The start-up loop. Returns true with a usable selected printer and the working configuration
// read; false when start-up must end (the user cancelled, or no supported driver exists).
bool SelectPrinter(CommandContext& ctx, PrinterSelectionDialog& dialog);

}  // namespace kestrel
