// Judging a print queue for the selection list: which driver it uses and whether its port and
// state let the program reach the printer.
#pragma once

#include <span>
#include <vector>

#include "ports/print_system.h"
#include "printer/printer_entry.h"

namespace kestrel {

struct QueueClassification {
    ConnectionStatus status = ConnectionStatus::Parallel;
    PrinterIcon icon = PrinterIcon::Printer;
};

// The first matching rule decides: network port, FILE port, paused, offline, separator page,
// then the kind of port. The driver is not looked at.
QueueClassification ClassifyQueue(const QueueInfo& queue);

// A row of the selection list. An unsupported driver gets mechanism id 240 and the red-cross
// icon, and its queue is not judged further (status stays Parallel). The job count is copied
// as listed; the selection reads it again when the user confirms a choice.
PrinterEntry BuildPrinterEntry(const QueueInfo& queue);

struct PrinterTableFill {
    std::vector<PrinterEntry> entries;  // one per queue, in the print system's order
    bool anySupportedDriver = false;
};

PrinterTableFill BuildPrinterTable(std::span<const QueueInfo> queues);

// What the list icon tells the user, for listings outside the dialog.
std::string_view PrinterIconMeaning(PrinterIcon icon);

}  // namespace kestrel
