// What a printer command of the tool sets up before its job: the program's records for the named
// queue, read exactly as the windowed program reads them at start-up (profile, the queue chosen
// and checked as the selection dialog checks it, working configuration), so that the tool sends
// what the program would.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "cli/command.h"
#include "cli/terminal_ui.h"
#include "commands/command_context.h"
#include "commands/send_flow.h"
#include "commands/serial_follow_up.h"
#include "ports/settings_view.h"
#include "state/app_state.h"

namespace kestrel::cli {

struct SessionOptions {
    std::string printer;       // empty: no printer (only for reading settings)
    std::string settingsFile;  // empty: the working configuration
    bool assumeYes = false;
    std::string dryRun;  // file to receive the job's bytes instead of the queue
    bool save = false;   // write the working configuration after a successful send
    double serialWaitSeconds = 30;
};

// Start-up for the named queue: the profile of the start-up folder, the queue found, confirmed
// and judged as the selection dialog does (refused: exit status 3), the working configuration,
// then the settings file when one is named. Returns an exit code when the command must stop
// (the reason has been shown).
std::optional<int> PrepareSession(CliEnvironment& env, Platform* platform,
                                  const SessionOptions& options, AppState& state,
                                  TerminalUserInterface& ui, SettingsView& view);

// The records, terminal and platform of one printer command.
struct PrinterSession {
    PrinterSession(CliEnvironment& env, const SessionOptions& options)
        : ui(env.in, env.err, options.assumeYes), m_env(env), m_options(options) {}

    // Picks the platform and runs the start-up of PrepareSession; an exit code when the command
    // must stop.
    std::optional<int> open() {
        platform = m_env.platform();
        return platform ? PrepareSession(m_env, platform, m_options, state, ui, view)
                        : std::optional<int>(kExitFailed);
    }

    Platform* platform = nullptr;
    AppState state;
    TerminalUserInterface ui;
    NoSettingsView view;

private:
    CliEnvironment& m_env;
    const SessionOptions& m_options;
};

// After a successful send or initialization: a serial printer's queue follows the new line
// settings once the job has left it.
SerialFollowUp FollowSerialPrinterAfterSend(CommandContext& ctx, Platform& platform,
                                            const SessionOptions& options);

// Where a command's jobs go: the checked queue, or with --dry-run the named file, in which case
// there is no printer to wait for.
class JobTarget {
public:
    // With appendJobs, the jobs of one command follow one another in the dry-run file.
    JobTarget(Platform& platform, const SessionOptions& options, Clock& clock,
              bool appendJobs = false);
    PrintSystem& printSystem() { return m_dryRun ? *m_dryRun : *m_platform.printSystem; }
    Clock& clock() { return m_dryRun ? m_noWait : m_clock; }
    bool dryRun() const { return m_dryRun != nullptr; }
    // Whether the dry-run file can be written; if not, says why. Checked before anything is
    // asked, so a typing slip in the name is not reported as a printer error.
    bool writable(std::ostream& err) const;
    // What the command prints when its jobs are done.
    std::string doneText() const;

private:
    class NoWait final : public Clock {
    public:
        void sleepFor(std::chrono::milliseconds) override {}
    };
    Platform& m_platform;
    const SessionOptions& m_options;
    Clock& m_clock;
    NoWait m_noWait;
    std::unique_ptr<PrintSystem> m_dryRun;
};

// The exit status of a flow that ran; a cancelled one says that nothing was sent.
int ExitStatusOf(FlowResult result, std::ostream& err);

}  // namespace kestrel::cli
