#include "commands/select_printer.h"

#include "printer/printer_driver.h"
#include "printer/queue_classification.h"
#include "printer/selection_outcome.h"
#include "printer/serial_line_value.h"
#include "storage/working_config.h"

namespace kestrel {

bool FillPrinterTable(AppState& state, PrintSystem& printSystem, SortDirection direction) {
    const std::vector<QueueInfo> queues = printSystem.listQueues();
    PrinterTableFill fill = BuildPrinterTable(queues);
    state.printerTable = std::move(fill.entries);
    if (state.printerTable.empty()) {
        // The selected printer always refers to an entry.
        state.printerTable.emplace_back();
    }
    state.selectedIndex = 0;
    SortAfterFill(state.printerTable, direction);
    return fill.anySupportedDriver;
}

bool ConfirmSelection(AppState& state, PrintSystem& printSystem, HostPortStore& store,
                      UserInterface& ui, std::optional<std::size_t> focusedRow) {
    if (!focusedRow || *focusedRow >= state.printerTable.size()) {
        if (!state.profile.debug) {
            ui.showMessage(NotSelectedMessageBox());
            return false;
        }
        // Service mode takes the second entry without confirming it. A table of one entry has
        // no second: its only entry is taken instead of reading past the end.
        state.selectedIndex = state.printerTable.size() >= 2 ? 1 : 0;
        return true;
    }
    state.selectedIndex = *focusedRow;
    PrinterEntry& entry = state.selectedPrinter();
    entry.mechanismId = MechanismIdFromDriver(entry.driverName);

    std::optional<std::string> serialValue;
    if (entry.connectionStatus == ConnectionStatus::Serial) {
        serialValue = store.readSerialLineValue(entry);
    }
    ReadHostPortForEntry(entry.connectionStatus, serialValue, state.hostPort);

    // The job count as it is now, not as it was when the list was filled. A queue that has gone
    // keeps the listed count; the job to it will then fail with its own message.
    for (const QueueInfo& queue : printSystem.listQueues()) {
        if (queue.name == entry.printerName) {
            entry.jobCount = queue.jobCount;
        }
    }
    return true;
}

bool SelectPrinter(CommandContext& ctx, PrinterSelectionDialog& dialog) {
    for (;;) {
        switch (dialog.run()) {
            case SelectionDialogResult::Cancel:
                return false;
            case SelectionDialogResult::NoSupportedDriver:
                ctx.ui.showMessage(NoDriverMessageBox());
                return false;
            case SelectionDialogResult::Ok:
                break;
        }
        const SelectionOutcome outcome =
            JudgeSelectedPrinter(ctx.state.selectedPrinter(), ctx.state.profile.debug);
        if (outcome.accepted) {
            ReadWorkingConfig(ctx.state, ctx.ui, ctx.view);
            return true;
        }
        ctx.ui.showMessage(SelectionMessageBox(outcome));
    }
}

}  // namespace kestrel
