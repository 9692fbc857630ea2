#include "cli/cli_app.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string_view>

namespace kestrel::cli {

CliEnvironment::CliEnvironment(std::istream& in_, std::ostream& out_, std::ostream& err_,
                               const GlobalOptions& options_, PlatformFactory factory,
                               Clock& clock_)
    : in(in_),
      out(out_),
      err(err_),
      options(options_),
      clock(clock_),
      m_factory(std::move(factory)) {}

Platform* CliEnvironment::platform() {
    if (!m_tried) {
        m_tried = true;
        m_platform = m_factory(options, err);
    }
    return m_platform ? &*m_platform : nullptr;
}

std::string CliEnvironment::startupFolder() const {
    if (!options.folder.empty()) {
        return options.folder;
    }
    std::error_code ec;
    return std::filesystem::current_path(ec).string();
}

std::optional<Platform> MakeDefaultPlatform(const GlobalOptions& options, std::ostream& err) {
    return MakePlatform(options, err, "kestrel-cli");
}

CliApp::CliApp(std::istream& in, std::ostream& out, std::ostream& err)
    : m_in(in), m_out(out), m_err(err), m_factory(MakeDefaultPlatform) {}

int CliApp::run(int argc, const char* const* argv) {
    CLI::App app{
        "Configure KR-900, KR-700 and KR-500 thermal receipt printers through their "
        "print queue.",
        "kestrel-cli"};
    app.set_help_flag("--help", "Show this help and exit");
    app.set_version_flag("--version", std::string("kestrel-cli ") + KESTREL_VERSION);
    app.require_subcommand(1);
    app.fallthrough();

    GlobalOptions options;
    app.add_option("--print-system", options.printSystem,
                   "Where the printer queues are: cups (default) or virtual")
        ->check(CLI::IsMember({"cups", "virtual"}));
    app.add_option("--virtual-config", options.virtualConfig,
                   "Queue description file of the virtual print system");
    app.add_option("-h,--host", options.host,
                   "CUPS server as host:port (default: CUPS_SERVER or the local scheduler)");
    app.add_option("--folder", options.folder,
                   "Start-up folder holding kestspec.ini and kestrel.ini (default: the current "
                   "directory)");

    auto commands = MakeCommands();
    std::vector<std::pair<CLI::App*, Command*>> subcommands;
    for (auto& command : commands) {
        subcommands.emplace_back(command->setup(app), command.get());
    }

    // "-h" is the host option, as in the windowed program; last, without a host, it can only
    // mean help.
    if (argc >= 2 && std::string_view(argv[argc - 1]) == "-h") {
        m_out << app.help();
        return kExitOk;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e, m_out, m_err);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e, m_out, m_err);
    } catch (const CLI::ParseError& e) {
        m_err << "kestrel-cli: " << e.what() << '\n';
        bool named = false;
        for (const auto& [sub, command] : subcommands) {
            if (sub->parsed()) {
                m_err << "Usage: kestrel-cli " << command->usage() << '\n';
                named = true;
            }
        }
        if (!named) {
            // A word where the command belongs is named, with the commands there are.
            const auto extras = app.remaining();
            if (!extras.empty() && !extras.front().starts_with('-')) {
                m_err << "kestrel-cli: unknown command \"" << extras.front() << "\"; commands:";
                for (const auto& [sub, command] : subcommands) {
                    m_err << ' ' << sub->get_name();
                }
                m_err << '\n';
            }
            m_err << "Usage: kestrel-cli [global options] COMMAND [options]; see --help\n";
        }
        return kExitUsage;
    }

    if (options.printSystem == "virtual" && options.virtualConfig.empty()) {
        m_err << "kestrel-cli: --print-system=virtual needs --virtual-config FILE\n"
              << "Usage: kestrel-cli --print-system=virtual --virtual-config FILE COMMAND ...\n";
        return kExitUsage;
    }
    CliEnvironment env(m_in, m_out, m_err, options, m_factory, *m_clock);
    for (const auto& [sub, command] : subcommands) {
        if (sub->parsed()) {
            // A failure no command foresaw still ends with a message and exit code 1, never with
            // an abort that leaves the user a core dump.
            try {
                return command->execute(env);
            } catch (const std::exception& e) {
                m_err << "kestrel-cli: " << e.what() << '\n';
                return kExitFailed;
            }
        }
    }
    return kExitUsage;
}

}  // namespace kestrel::cli
