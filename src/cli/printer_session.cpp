#include "cli/printer_session.h"

#include <fstream>
#include <ostream>

#include "printer/driver_table.h"
#include "settings/factory_defaults.h"

namespace kestrel::cli {
namespace {

bool ReadRecordFile(const std::string& path, SettingsRecord& record) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    SettingsRecord loaded{};
    file.read(reinterpret_cast<char*>(loaded.data()), static_cast<std::streamsize>(loaded.size()));
    if (file.gcount() != static_cast<std::streamsize>(loaded.size())) {
        return false;
    }
    record = loaded;
    return true;
}

}  // namespace

std::optional<int> PrepareSession(CliEnvironment& env, PrintSystem& printSystem,
                                  const SessionOptions& options, AppState& state) {
    state.startupFolder = env.startupFolder();

    PrinterEntry entry;
    entry.printerName = options.printer;
    entry.mechanismId = mechanism::Unsupported;
    for (const QueueInfo& queue : printSystem.listQueues()) {
        if (queue.name == options.printer) {
            entry.driverName = queue.driverName;
            entry.portName = queue.port;
            entry.mechanismId = MechanismIdFromDriver(queue.driverName);
            entry.jobCount = queue.jobCount;
        }
    }
    state.printerTable = {entry};
    state.selectedIndex = 0;
    state.hostPort = kNonSerialHostPort;

    if (options.settingsFile.empty()) {
        LoadFactoryDefaults(state);
    } else {
        if (!ReadRecordFile(options.settingsFile, state.settings)) {
            env.err << "kestrel-cli: " << options.settingsFile
                    << ": not a settings file (it must hold the 38-byte settings record)\n";
            return kExitFailed;
        }
        SyncMechanism(state);
    }
    state.lastSentPaperWidth = state.settings[offset::PaperWidth];
    return std::nullopt;
}

}  // namespace kestrel::cli
