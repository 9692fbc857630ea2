#include "cli/job_commands.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "cli/terminal_ui.h"
#include "commands/send_flow.h"
#include "ports/clock.h"
#include "ports/settings_view.h"
#include "storage/working_config.h"

namespace kestrel::cli {

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
    if (m_kind != SettingJobKind::PrintSettingsList) {
        sub->add_option("--serial-wait", m_options.serialWaitSeconds,
                        "For a printer on a serial port: seconds to wait for the job to leave the "
                        "queue before the PC's line follows the new settings (default 30)")
            ->check(CLI::Range(0.0, 3600.0));
    }
    sub->add_option("--dry-run", m_options.dryRun,
                    "Write the job's exact bytes to FILE instead of sending them");
    return sub;
}

int SettingJobCommand::execute(CliEnvironment& env) {
    PrinterSession session(env, m_options);
    if (const auto stop = session.open()) {
        return *stop;
    }
    Platform* platform = session.platform;
    AppState& state = session.state;
    TerminalUserInterface& ui = session.ui;
    SettingsView& view = session.view;

    // A dry run writes the job to a file instead of the queue; the queue was still checked.
    JobTarget target(*platform, m_options, env.clock);
    if (!target.writable(env.err)) {
        return kExitFailed;
    }
    CommandContext ctx{state, target.printSystem(), ui, target.clock(), view, {}};
    SerialFollowUp followUp = SerialFollowUp::NotSerial;
    if (!target.dryRun()) {
        ctx.afterSettingsSent = [&](CommandContext& c, Owner) {
            followUp = FollowSerialPrinterAfterSend(c, *platform, m_options);
        };
    }

    const FlowResult result = RunSettingCommand(ctx, m_kind, Owner::MainWindow);
    if (result == FlowResult::Done) {
        env.out << target.doneText() << '\n';
        if (m_options.save && target.dryRun()) {
            env.out << "Working configuration not saved: nothing reached the printer (--dry-run)\n";
        } else if (m_options.save) {
            if (!WriteWorkingConfig(state, ui, view)) {
                return kExitFailed;
            }
            env.out << "Working configuration saved to " << WorkingConfigPath(state).string()
                    << '\n';
        }
    }
    // The printer took the settings, but its queue still speaks the old line settings.
    if (followUp == SerialFollowUp::NotStored) {
        return kExitFailed;
    }
    return ExitStatusOf(result, env.err);
}

}  // namespace kestrel::cli
