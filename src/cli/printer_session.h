// What a printer command of the tool sets up before its job: the program's records for the named
// queue, as the windowed program would hold them after choosing that queue.
#pragma once

#include <optional>
#include <string>

#include "cli/command.h"
#include "state/app_state.h"

namespace kestrel::cli {

struct SessionOptions {
    std::string printer;
    std::string settingsFile;  // empty: factory defaults
    bool assumeYes = false;
    std::string dryRun;  // file to receive the job's bytes instead of the queue
};

// Fills the state for the named queue. Returns an exit code when the command must stop.
std::optional<int> PrepareSession(CliEnvironment& env, PrintSystem& printSystem,
                                  const SessionOptions& options, AppState& state);

}  // namespace kestrel::cli
