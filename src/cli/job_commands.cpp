#include "cli/job_commands.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "cli/dry_run_print_system.h"
#include "cli/terminal_ui.h"
#include "commands/send_flow.h"
#include "ports/clock.h"
#include "ports/settings_view.h"
#include "storage/working_config.h"

namespace kestrel::cli {
namespace {

// A dry run has no printer to wait for.
class NoWaitClock final : public Clock {
public:
    void sleepFor(std::chrono::milliseconds) override {}
};

}  // namespace

SettingJobCommand::SettingJobCommand(SettingJobKind kind, std::string name, std::string description)
    : m_kind(kind), m_name(std::move(name)), m_description(std::move(description)) {}

std::string SettingJobCommand::usage() const {
    std::string line = m_name + " --printer NAME";
    if (m_kind == SettingJobKind::SendSettings) {
        line += " [--settings FILE.kcf] [--save]";
    }
    return line + " [--yes] [--dry-run FILE]";
}

CLI::App* SettingJobCommand::setup(CLI::App& parent) {
    CLI::App* sub = parent.add_subcommand(m_name, m_description);
    sub->add_option("-p,--printer", m_options.printer, "Print queue of the printer")->required();
    if (m_kind == SettingJobKind::SendSettings) {
        sub->add_option("-s,--settings", m_options.settingsFile,
                        "Settings file (.kcf) to send instead of the working configuration");
    }
    if (m_kind == SettingJobKind::SendSettings) {
        sub->add_flag("--save", m_options.save,
                      "After a successful send, keep the settings as the working configuration "
                      "(kestrel.ini in the start-up folder)");
    }
    sub->add_flag("-y,--yes", m_options.assumeYes, "Do not ask before sending");
    sub->add_option("--dry-run", m_options.dryRun,
                    "Write the job's exact bytes to FILE instead of sending them");
    return sub;
}

int SettingJobCommand::execute(CliEnvironment& env) {
    PrintSystem* real = nullptr;
    if (m_options.dryRun.empty()) {
        real = env.printSystem();
        if (!real) {
            return kExitFailed;
        }
    } else {
        real = env.printSystem();  // only to learn the queue's driver; may be absent
    }
    std::unique_ptr<PrintSystem> dryRun;
    PrintSystem* target = real;
    if (!m_options.dryRun.empty()) {
        dryRun = std::make_unique<DryRunPrintSystem>(real, m_options.dryRun);
        target = dryRun.get();
    }

    AppState state;
    TerminalUserInterface ui(env.in, env.err, m_options.assumeYes);
    NoSettingsView view;
    if (const auto stop = PrepareSession(env, target, m_options, state, ui, view)) {
        return *stop;
    }

    NoWaitClock noWait;
    CommandContext ctx{state, *target, ui, dryRun ? static_cast<Clock&>(noWait) : env.clock,
                       view,  {}};

    switch (RunSettingCommand(ctx, m_kind, Owner::MainWindow)) {
        case FlowResult::Done:
            if (dryRun) {
                env.out << "Job written to " << m_options.dryRun << '\n';
            } else {
                env.out << "Job sent to " << m_options.printer << '\n';
            }
            if (m_options.save) {
                if (!WriteWorkingConfig(state, ui, view)) {
                    return kExitFailed;
                }
                env.out << "Working configuration saved to " << WorkingConfigPath(state).string()
                        << '\n';
            }
            return kExitOk;
        case FlowResult::Cancelled:
            env.err << "Nothing was sent.\n";
            return kExitFailed;
        case FlowResult::Failed:
            return kExitFailed;
    }
    return kExitFailed;
}

}  // namespace kestrel::cli
