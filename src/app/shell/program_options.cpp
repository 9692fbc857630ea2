#include "app/shell/program_options.h"

#include <optional>

namespace kestrel::gui {

ProgramOptions ParseProgramOptions(const std::vector<std::string>& args) {
    ProgramOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // "--name=value" or "--name value" (and "-h value").
        const auto value = [&](const std::string& name) -> std::optional<std::string> {
            if (arg.rfind(name + "=", 0) == 0) {
                return arg.substr(name.size() + 1);
            }
            if (arg != name) {
                return std::nullopt;
            }
            if (i + 1 >= args.size()) {
                options.error = name + " needs a value";
                return std::string();
            }
            return args[++i];
        };
        if (arg == "--help" || arg == "-?" || (arg == "-h" && i + 1 == args.size())) {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (const auto system = value("--print-system")) {
            options.platform.printSystem = *system;
            if (options.error.empty() && *system != "cups" && *system != "virtual") {
                options.error = "--print-system must be cups or virtual, not \"" + *system + "\"";
            }
        } else if (const auto config = value("--virtual-config")) {
            options.platform.virtualConfig = *config;
        } else if (const auto host = value("--host")) {
            options.platform.host = *host;
        } else if (const auto shortHost = value("-h")) {
            options.platform.host = *shortHost;
        } else {
            options.error = "unknown option \"" + arg + "\"";
        }
        if (!options.error.empty()) {
            break;
        }
    }
    return options;
}

std::string ProgramUsage() {
    return "Usage: kestrel [--print-system=cups|virtual] [--virtual-config FILE] [-h HOST:PORT]\n"
           "\n"
           "Configures KR-900, KR-700 and KR-500 receipt printers through their print queue:\n"
           "choose the queue, edit the printer's settings on three pages, send them, print the\n"
           "settings list, reset the printer, keep settings files and register logos.\n"
           "The program works in the current folder: kestrel.ini (the working settings) and\n"
           "kestspec.ini (the model and region profile) are read and written there.\n"
           "\n"
           "Options:\n"
           "  --print-system=cups|virtual  where the print queues are (default cups)\n"
           "  --virtual-config FILE        the virtual print system's queue file (needed with\n"
           "                               --print-system=virtual; resources/virtual-printers.ini\n"
           "                               is an example); its jobs are written to the capture\n"
           "                               folder the file names\n"
           "  -h, --host HOST[:PORT]       the CUPS server (default: CUPS_SERVER, else this\n"
           "                               machine)\n"
           "  --help                       this text\n"
           "  --version                    the program's version\n";
}

}  // namespace kestrel::gui
