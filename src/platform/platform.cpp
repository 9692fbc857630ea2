#include "platform/platform.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "platform/virtual/virtual_print_system.h"

#ifdef KESTREL_HAVE_CUPS
#include <cups/cups.h>

#include "platform/cups/cups_host_port_store.h"
#include "platform/cups/cups_print_system.h"
#include "platform/cups/termios_serial_line.h"
#endif

namespace kestrel {

namespace {

// No serial device of this machine behind the queues (the virtual print system, or a remote
// scheduler): only the stored value follows.
class NoSerialDevice final : public SerialLine {
public:
    std::optional<SerialControl> readControl(const std::string&) override { return std::nullopt; }
    bool writeControl(const std::string&, const SerialControl&) override { return false; }
};

}  // namespace

bool SchedulerIsLocal(std::string_view server) {
    if (server.empty() || server.front() == '/') {
        return true;  // the default scheduler, or its domain socket
    }
    std::string_view host = server;
    if (host.front() == '[') {  // [::1]:631
        host = host.substr(1, host.find(']') - 1);
    } else if (host.find(':') == host.rfind(':')) {
        host = host.substr(0, host.find(':'));
    }
    return host == "localhost" || host == "127.0.0.1" || host == "::1" || host.starts_with("127.");
}

std::optional<Platform> MakePlatform(const PlatformOptions& options, std::ostream& err,
                                     std::string_view programName) {
    if (options.printSystem == "virtual") {
        if (options.virtualConfig.empty()) {
            err << programName << ": --print-system=virtual needs --virtual-config FILE\n";
            return std::nullopt;
        }
        if (std::error_code ec; !std::filesystem::is_regular_file(options.virtualConfig, ec)) {
            err << programName << ": " << options.virtualConfig
                << ": no such queue description file\n";
            return std::nullopt;
        }
        Platform platform;
        platform.printSystem = std::make_unique<VirtualPrintSystem>(options.virtualConfig);
        platform.hostPortStore = std::make_unique<VirtualHostPortStore>(options.virtualConfig);
        platform.serialLine = std::make_unique<NoSerialDevice>();
        return platform;
    }
    if (options.printSystem == "cups") {
#ifdef KESTREL_HAVE_CUPS
        if (!options.host.empty()) {
            // libcups reads the server from the environment on its first connection.
            ::setenv("CUPS_SERVER", options.host.c_str(), 1);
        }
        Platform platform;
        platform.printSystem = std::make_unique<CupsPrintSystem>();
        platform.hostPortStore = std::make_unique<CupsHostPortStore>();
        // With a scheduler elsewhere, the tty named by a queue's URI is that machine's: only the
        // URI is rewritten, and its serial backend sets the line there.
        const char* server = cupsServer();  // CUPS_SERVER, client.conf or the default
        if (SchedulerIsLocal(server != nullptr ? server : "")) {
            platform.serialLine = std::make_unique<TermiosSerialLine>();
        } else {
            platform.serialLine = std::make_unique<NoSerialDevice>();
        }
        return platform;
#else
        err << programName << ": this build has no CUPS support; use --print-system=virtual\n";
        return std::nullopt;
#endif
    }
    err << programName << ": unknown print system '" << options.printSystem << "'\n";
    return std::nullopt;
}

}  // namespace kestrel
