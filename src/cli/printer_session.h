// What a printer command of the tool sets up before its job: the program's records for the named
// queue, read exactly as the windowed program reads them at start-up (profile, printer, working
// configuration), so that the tool sends what the program would.
#pragma once

#include <optional>
#include <string>

#include "cli/command.h"
#include "cli/terminal_ui.h"
#include "ports/settings_view.h"
#include "state/app_state.h"

namespace kestrel::cli {

struct SessionOptions {
    std::string printer;       // empty: no printer (only for reading settings)
    std::string settingsFile;  // empty: the working configuration
    bool assumeYes = false;
    std::string dryRun;  // file to receive the job's bytes instead of the queue
    bool save = false;   // write the working configuration after a successful send
};

// Start-up for the named queue: the profile of the start-up folder, the queue's printer entry,
// the working configuration, then the settings file when one is named. Returns an exit code when
// the command must stop (the reason has been shown).
std::optional<int> PrepareSession(CliEnvironment& env, PrintSystem* printSystem,
                                  const SessionOptions& options, AppState& state,
                                  TerminalUserInterface& ui, SettingsView& view);

}  // namespace kestrel::cli
