#include "cli/printer_session.h"

#include <ostream>

#include "printer/printer_driver.h"
#include "settings/factory_defaults.h"
#include "settings/profile.h"
#include "storage/settings_file.h"
#include "storage/working_config.h"

namespace kestrel::cli {

std::optional<int> PrepareSession(CliEnvironment& env, PrintSystem* printSystem,
                                  const SessionOptions& options, AppState& state,
                                  TerminalUserInterface& ui, SettingsView& view) {
    state.startupFolder = env.startupFolder();
    ReadProfile(state);

    PrinterEntry entry;
    entry.printerName = options.printer;
    entry.mechanismId = mechanism::Unsupported;
    if (printSystem && !options.printer.empty()) {
        for (const QueueInfo& queue : printSystem->listQueues()) {
            if (queue.name == options.printer) {
                entry.driverName = queue.driverName;
                entry.portName = queue.port;
                entry.mechanismId = MechanismIdFromDriver(queue.driverName);
                entry.jobCount = queue.jobCount;
            }
        }
    }
    state.printerTable = {entry};
    state.selectedIndex = 0;
    state.hostPort = kNonSerialHostPort;
    ShowProfileDebugText(state, ui);

    ReadWorkingConfig(state, ui, view);
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

}  // namespace kestrel::cli
