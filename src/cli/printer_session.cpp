#include "cli/printer_session.h"

#include <ostream>

#include "cli/dry_run_print_system.h"
#include "commands/select_printer.h"
#include "commands/serial_follow_up.h"
#include "settings/factory_defaults.h"
#include "settings/profile.h"
#include "storage/settings_file.h"
#include "storage/working_config.h"

namespace kestrel::cli {
namespace {

// The selection dialog answered from the command line: the named queue is the row chosen. A
// refusal ends the selection instead of showing the list again.
class NamedQueueDialog final : public PrinterSelectionDialog {
public:
    NamedQueueDialog(AppState& state, Platform& platform, UserInterface& ui, std::string name,
                     std::ostream& err)
        : m_state(state), m_platform(platform), m_ui(ui), m_name(std::move(name)), m_err(err) {}

    SelectionDialogResult run() override {
        if (m_ran) {
            m_refused = true;
            return SelectionDialogResult::Cancel;
        }
        m_ran = true;
        const bool supported =
            FillPrinterTable(m_state, *m_platform.printSystem, SortDirection::Rising);
        std::optional<std::size_t> row;
        for (std::size_t i = 0; i < m_state.printerTable.size(); ++i) {
            if (m_state.printerTable[i].printerName == m_name) {
                row = i;
            }
        }
        if (!row) {
            m_err << "kestrel-cli: there is no print queue named \"" << m_name << "\".";
            listQueues();
            m_refused = true;
            return SelectionDialogResult::Cancel;
        }
        if (!supported) {
            return SelectionDialogResult::NoSupportedDriver;
        }
        ConfirmSelection(m_state, *m_platform.printSystem, *m_platform.hostPortStore, m_ui, row);
        return SelectionDialogResult::Ok;
    }

    bool refused() const { return m_refused; }

private:
    void listQueues() {
        std::string names;
        for (const PrinterEntry& entry : m_state.printerTable) {
            if (!entry.printerName.empty()) {
                names += (names.empty() ? "" : ", ") + ("\"" + entry.printerName + "\"");
            }
        }
        m_err << (names.empty() ? " No print queues exist." : " Queues: " + names + ".") << '\n';
    }

    AppState& m_state;
    Platform& m_platform;
    UserInterface& m_ui;
    std::string m_name;
    std::ostream& m_err;
    bool m_ran = false;
    bool m_refused = false;
};

}  // namespace

std::optional<int> PrepareSession(CliEnvironment& env, Platform* platform,
                                  const SessionOptions& options, AppState& state,
                                  TerminalUserInterface& ui, SettingsView& view) {
    state.startupFolder = env.startupFolder();
    ReadProfile(state);

    if (!platform) {
        return kExitFailed;
    }
    NoSettingsView noView;
    CommandContext ctx{state, *platform->printSystem, ui, env.clock, view, {}};
    NamedQueueDialog dialog(state, *platform, ui, options.printer, env.err);
    if (!SelectPrinter(ctx, dialog)) {
        return kExitQueueRefused;
    }
    ShowProfileDebugText(state, ui);
    SyncMechanism(state);

    if (!options.settingsFile.empty()) {
        // File > Load with the file named on the command line as the dialog's answer.
        const int before = ui.messagesShown();
        ui.answerNextFileDialog(options.settingsFile);
        LoadSettingsFile(state, ui, view);
        if (ui.messagesShown() != before) {
            return kExitFailed;
        }
    }
    return std::nullopt;
}

void FollowSerialPrinterAfterSend(CommandContext& ctx, Platform& platform,
                                  const SessionOptions& options) {
    const auto wait =
        std::chrono::milliseconds(static_cast<long long>(options.serialWaitSeconds * 1000.0));
    FollowSerialPrinter(ctx, Owner::MainWindow, *platform.hostPortStore, *platform.serialLine,
                        wait);
}

JobTarget::JobTarget(Platform& platform, const SessionOptions& options, Clock& clock,
                     bool appendJobs)
    : m_platform(platform), m_options(options), m_clock(clock) {
    if (!options.dryRun.empty()) {
        m_dryRun = std::make_unique<DryRunPrintSystem>(platform.printSystem.get(), options.dryRun,
                                                       appendJobs);
    }
}

std::string JobTarget::doneText() const {
    return m_dryRun ? "Job written to " + m_options.dryRun : "Job sent to " + m_options.printer;
}

int ExitStatusOf(FlowResult result, std::ostream& err) {
    switch (result) {
        case FlowResult::Done:
            return kExitOk;
        case FlowResult::Cancelled:
            err << "Nothing was sent.\n";
            return kExitFailed;
        case FlowResult::Failed:
            return kExitFailed;
    }
    return kExitFailed;
}

}  // namespace kestrel::cli
