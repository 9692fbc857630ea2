#include "printer/queue_classification.h"

#include "printer/printer_driver.h"

namespace kestrel {
namespace {

QueueClassification FromPortKind(PortKind kind) {
    switch (kind) {
        case PortKind::Parallel:
            return {ConnectionStatus::Parallel, PrinterIcon::Printer};
        case PortKind::Serial:
            return {ConnectionStatus::Serial, PrinterIcon::Printer};
        case PortKind::Usb:
            return {ConnectionStatus::Usb, PrinterIcon::Printer};
        case PortKind::PortRouter:
            return {ConnectionStatus::PortRouter, PrinterIcon::Printer};
        case PortKind::Network:
            return {ConnectionStatus::Network, PrinterIcon::PrinterInfo};
        case PortKind::File:
            return {ConnectionStatus::File, PrinterIcon::PrinterInfo};
        case PortKind::NotCorresponded:
            break;
    }
    return {ConnectionStatus::NotCorresponded, PrinterIcon::PrinterInfo};
}

}  // namespace

QueueClassification ClassifyQueue(const QueueInfo& queue) {
    if (queue.portKind == PortKind::Network) {
        return {ConnectionStatus::Network, PrinterIcon::PrinterInfo};
    }
    if (queue.portKind == PortKind::File) {
        return {ConnectionStatus::File, PrinterIcon::PrinterInfo};
    }
    if (queue.paused) {
        return {ConnectionStatus::Paused, PrinterIcon::PrinterInfo};
    }
    if (queue.offline) {
        return {ConnectionStatus::Offline, PrinterIcon::PrinterInfo};
    }
    if (queue.separatorPage) {
        return {ConnectionStatus::SeparatorPage, PrinterIcon::PrinterInfo};
    }
    return FromPortKind(queue.portKind);
}

PrinterEntry BuildPrinterEntry(const QueueInfo& queue) {
    PrinterEntry entry;
    entry.printerName = queue.name;
    entry.portName = queue.port;
    entry.driverName = queue.driverName;
    entry.jobCount = queue.jobCount;
    entry.mechanismId = MechanismIdFromDriver(queue.driverName);
    if (entry.mechanismId == mechanism::Unsupported) {
        entry.iconId = PrinterIcon::PrinterError;
        entry.connectionStatus = ConnectionStatus::Parallel;
        return entry;
    }
    const QueueClassification c = ClassifyQueue(queue);
    entry.connectionStatus = c.status;
    entry.iconId = c.icon;
    return entry;
}

PrinterTableFill BuildPrinterTable(std::span<const QueueInfo> queues) {
    PrinterTableFill fill;
    fill.entries.reserve(queues.size());
    for (const QueueInfo& queue : queues) {
        fill.entries.push_back(BuildPrinterEntry(queue));
        if (fill.entries.back().mechanismId != mechanism::Unsupported) {
            fill.anySupportedDriver = true;
        }
    }
    return fill;
}

std::string_view PrinterIconMeaning(PrinterIcon icon) {
    switch (icon) {
        case PrinterIcon::Printer:
            return "usable";
        case PrinterIcon::PrinterError:
            return "not a supported printer driver";
        case PrinterIcon::PrinterInfo:
            return "supported driver, queue needs a change";
        case PrinterIcon::PrinterWarning:
            return "warning";
    }
    return "";
}

}  // namespace kestrel
