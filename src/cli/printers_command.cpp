#include "cli/printers_command.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <iomanip>
#include <ostream>

#include "commands/select_printer.h"
#include "printer/queue_classification.h"
#include "printer/selection_outcome.h"
#include "settings/profile.h"

namespace kestrel::cli {
namespace {

// Box texts break lines for a dialog; on one terminal line the breaks become blanks.
std::string OneLine(std::string_view text) {
    std::string line;
    for (const char c : text) {
        if (c == '\n') {
            if (!line.empty() && line.back() != ' ') {
                line += ' ';
            }
        } else {
            line += c;
        }
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

}  // namespace

CLI::App* PrintersCommand::setup(CLI::App& parent) {
    CLI::App* sub = parent.add_subcommand(
        "printers", "List every print queue with its driver, port and whether KESTREL can use it");
    sub->add_flag("--json", m_json, "Print JSON for scripts");
    return sub;
}

int PrintersCommand::execute(CliEnvironment& env) {
    Platform* platform = env.platform();
    if (!platform) {
        return kExitFailed;
    }
    AppState state;
    state.startupFolder = env.startupFolder();
    ReadProfile(state);  // service mode accepts any driver
    const bool anySupported =
        FillPrinterTable(state, *platform->printSystem, SortDirection::Rising);
    if (state.printerTable.size() == 1 && state.printerTable[0].printerName.empty()) {
        state.printerTable.clear();
    }
    if (const std::string unreachable = platform->printSystem->listingError();
        !unreachable.empty()) {
        env.err << "kestrel-cli: the print system cannot be reached: " << unreachable << '\n';
        return kExitFailed;
    }

    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const PrinterEntry& entry : state.printerTable) {
        const SelectionOutcome outcome = JudgeSelectedPrinter(entry, state.profile.debug);
        if (m_json) {
            list.push_back({{"name", entry.printerName},
                            {"driver", entry.driverName},
                            {"port", entry.portName},
                            {"mechanismId", entry.mechanismId},
                            {"status", static_cast<int>(entry.connectionStatus)},
                            {"icon", static_cast<int>(entry.iconId)},
                            {"iconMeaning", PrinterIconMeaning(entry.iconId)},
                            {"jobs", entry.jobCount},
                            {"usable", outcome.accepted},
                            {"message", outcome.accepted ? "" : std::string(outcome.text)}});
            continue;
        }
        env.out << entry.printerName << '\n'
                << "    driver  " << entry.driverName << '\n'
                << "    port    " << entry.portName << '\n'
                << "    status  " << static_cast<int>(entry.connectionStatus) << ", icon "
                << static_cast<int>(entry.iconId) << " (" << PrinterIconMeaning(entry.iconId)
                << "), " << entry.jobCount << " job(s) waiting\n";
        if (outcome.accepted) {
            env.out << "    usable\n";
        } else {
            env.out << "    refused: " << OneLine(outcome.text) << '\n';
        }
    }
    if (m_json) {
        env.out << list.dump(2) << '\n';
    } else if (state.printerTable.empty()) {
        env.out << "No print queues.\n";
    }
    if (!anySupported) {
        env.err << OneLine(kNoDriverText) << '\n';
    }
    return kExitOk;
}

}  // namespace kestrel::cli
