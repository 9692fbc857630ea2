#include "platform/platform.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "platform/virtual/virtual_print_system.h"

#ifdef KESTREL_HAVE_CUPS
#include "platform/cups/cups_host_port_store.h"
#include "platform/cups/cups_print_system.h"
#include "platform/cups/termios_serial_line.h"
#endif

namespace kestrel {

namespace {

// The virtual print system has no serial device behind its queues: only the stored value follows.
class NoSerialDevice final : public SerialLine {
public:
    std::optional<SerialControl> readControl(const std::string&) override { return std::nullopt; }
    bool writeControl(const std::string&, const SerialControl&) override { return false; }
};

}  // namespace

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
        platform.serialLine = std::make_unique<TermiosSerialLine>();
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
