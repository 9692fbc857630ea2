// The print system a program runs on, with the two serial-line ports that belong to it: CUPS with
// termios, or the embedded virtual print system. Both programs pick it the same way.
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ports/host_port_store.h"
#include "ports/print_system.h"
#include "ports/serial_line.h"

namespace kestrel {

struct PlatformOptions {
    std::string printSystem = "cups";  // cups | virtual
    std::string virtualConfig;
    std::string host;  // CUPS server, host:port
};

struct Platform {
    std::unique_ptr<PrintSystem> printSystem;
    std::unique_ptr<HostPortStore> hostPortStore;
    std::unique_ptr<SerialLine> serialLine;
};

// Whether a scheduler named as CUPS_SERVER names it ("host[:port]" or a socket path; empty for
// the default) runs on this machine. Only then is a serial device named in a queue's URI this
// machine's device.
bool SchedulerIsLocal(std::string_view server);

// The platform named by the options; nullopt (with a message on err, each line starting with
// programName) when it cannot be had.
std::optional<Platform> MakePlatform(const PlatformOptions& options, std::ostream& err,
                                     std::string_view programName);

}  // namespace kestrel
