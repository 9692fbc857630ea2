#include "printer/spooler_port_rules.h"

namespace kestrel {
namespace {

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// Exact-name ports: a USB description anywhere makes the parallel name a USB port.
PortKind ParallelPortKind(std::string_view queuePort, std::span<const SpoolerPort> ports) {
    for (const SpoolerPort& port : ports) {
        if (port.name == queuePort && Contains(port.description, "USB")) {
            return PortKind::Usb;
        }
    }
    return PortKind::Parallel;
}

// Every port with USB in its name is looked at, not only the queue's own.
PortKind UsbPortKind(std::span<const SpoolerPort> ports) {
    PortKind kind = PortKind::Parallel;
    for (const SpoolerPort& port : ports) {
        if (!Contains(port.name, "USB")) {
            continue;
        }
        if (Contains(port.description, "USB")) {
            return PortKind::Usb;
        }
        kind = PortKind::NotCorresponded;
    }
    return kind;
}

PortKind OtherPortKind(std::string_view queuePort, std::span<const SpoolerPort> ports) {
    PortKind kind = PortKind::Parallel;
    for (const SpoolerPort& port : ports) {
        if (port.name != queuePort) {
            continue;
        }
        if (port.description.empty() || Contains(port.name, "http:") ||
            !Contains(port.description, "NQ-PortRouter")) {
            kind = PortKind::NotCorresponded;
            continue;
        }
        return PortKind::PortRouter;
    }
    return kind;
}

}  // namespace

PortKind PortKindFromSpoolerPorts(std::string_view queuePort, std::span<const SpoolerPort> ports) {
    if (queuePort.starts_with("\\\\")) {
        return PortKind::Network;
    }
    if (queuePort.starts_with("FILE:")) {
        return PortKind::File;
    }
    if (queuePort.starts_with("LPT")) {
        return ParallelPortKind(queuePort, ports);
    }
    if (queuePort.starts_with("COM")) {
        return PortKind::Serial;
    }
    if (queuePort.starts_with("USB")) {
        return UsbPortKind(ports);
    }
    return OtherPortKind(queuePort, ports);
}

}  // namespace kestrel
