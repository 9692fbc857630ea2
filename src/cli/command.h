// The command-line tool's commands: each is one small class that adds its subcommand to the
// parser and runs against an environment of streams and a print system, so tests drive commands
// without spawning a process.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "ports/clock.h"
#include "ports/print_system.h"

namespace CLI {
class App;
}

namespace kestrel::cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,        // a job failed, the user cancelled, or a file could not be used
    kExitUsage = 2,         // bad arguments
    kExitQueueRefused = 3,  // the named queue cannot be used for the printer
};

struct GlobalOptions {
    std::string printSystem = "cups";  // cups | virtual
    std::string virtualConfig;
    std::string host;    // CUPS server, host:port
    std::string folder;  // start-up folder: profile and working configuration
};

using PrintSystemFactory =
    std::function<std::unique_ptr<PrintSystem>(const GlobalOptions&, std::ostream& err)>;

class CliEnvironment {
public:
    CliEnvironment(std::istream& in, std::ostream& out, std::ostream& err,
                   const GlobalOptions& options, PrintSystemFactory factory, Clock& clock);

    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    const GlobalOptions& options;
    Clock& clock;  // the fixed waits after a job

    // The print system chosen by the global options, created on first use; null (with a message
    // on err) when it cannot be had.
    PrintSystem* printSystem();
    // The start-up folder: --folder, or the current directory.
    std::string startupFolder() const;

private:
    PrintSystemFactory m_factory;
    std::unique_ptr<PrintSystem> m_printSystem;
    bool m_tried = false;
};

class Command {
public:
    virtual ~Command() = default;
    // Adds the subcommand and its options to the parser; returns it.
    virtual CLI::App* setup(CLI::App& parent) = 0;
    virtual int execute(CliEnvironment& env) = 0;
    // One line: how the command is called.
    virtual std::string usage() const = 0;
};

// Every command of the tool, in the order --help lists them.
std::vector<std::unique_ptr<Command>> MakeCommands();

}  // namespace kestrel::cli
