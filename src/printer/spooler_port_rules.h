// How a Windows print spooler's port names and port descriptions say what kind of port a queue
// uses. A print system on that platform fills QueueInfo::portKind with this; on CUPS the kind
// comes from the device URI instead.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "ports/print_system.h"

namespace kestrel {

// One port as the spooler enumerates it; an empty description means the port has none.
struct SpoolerPort {
    std::string name;
    std::string description;
};

// The kind of the queue's port. Names are matched with case: "\\\\server\\share" is a network
// queue, "FILE:" a file, "LPT..." parallel unless a port of that exact name is described as
// USB, "COM..." serial, "USB..." USB when some port named with USB is also described so (not
// corresponded when such ports exist but none is), and any other name a port-routing monitor's
// port when a port of that exact name is described with "NQ-PortRouter" and is no "http:"
// port (not corresponded when the only such ports are not). A name whose scan finds no
// qualifying port counts as parallel, the initial kind.
PortKind PortKindFromSpoolerPorts(std::string_view queuePort, std::span<const SpoolerPort> ports);

}  // namespace kestrel
