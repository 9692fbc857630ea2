// The command-line tool's commands: each is one small class that adds its subcommand to the
// parser and runs against an environment of streams and a print system, so tests drive commands
// without spawning a process.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "ports/clock.h"
#include "ports/host_port_store.h"
#include "ports/print_system.h"
#include "ports/serial_line.h"

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

struct GlobalOptions : PlatformOptions {
    std::string folder;  // start-up folder: profile and working configuration
};

using kestrel::Platform;

// Builds the platform named by the options; nullopt (with a message on err) when it cannot.
using PlatformFactory =
    std::function<std::optional<Platform>(const GlobalOptions&, std::ostream& err)>;

class CliEnvironment {
public:
    CliEnvironment(std::istream& in, std::ostream& out, std::ostream& err,
                   const GlobalOptions& options, PlatformFactory factory, Clock& clock);

    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    const GlobalOptions& options;
    Clock& clock;  // the fixed waits after a job

    // The platform chosen by the global options, created on first use; null (with a message on
    // err) when it cannot be had.
    Platform* platform();
    PrintSystem* printSystem() { return platform() ? m_platform->printSystem.get() : nullptr; }
    // The start-up folder: --folder, or the current directory.
    std::string startupFolder() const;

private:
    PlatformFactory m_factory;
    std::optional<Platform> m_platform;
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
