#include "cli/virtual_command.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <ostream>

#include "emulator/files/printer_folder.h"
#include "emulator/files/state_file.h"
#include "emulator/settings_decoder.h"
#include "emulator/settings_list_page.h"
#include "platform/virtual/virtual_print_system.h"
#include "printer/printer_driver.h"
#include "settings/setting_options.h"

namespace kestrel::cli {
namespace {

namespace fs = std::filesystem;
using namespace kestrel::emulator;

struct Target {
    fs::path stateFile;
    std::uint32_t mechanismId = mechanism::Standard;  // of a printer no job has reached yet
};

}  // namespace

CLI::App* VirtualCommand::setup(CLI::App& parent) {
    CLI::App* group = parent.add_subcommand("virtual", "Look at virtual KR printers");
    group->require_subcommand(1);
    CLI::App* show = group->add_subcommand(
        "show",
        "Print a virtual printer's state: its settings by label and option text, switches, values, "
        "logos and the errors of its last job");
    auto* printer =
        show->add_option("-p,--printer", m_printer,
                         "Queue of the virtual print system, or CUPS queue whose device URI is "
                         "kestrel-printer:/FOLDER");
    auto* state = show->add_option("--state", m_state,
                                   "The printer's state file, or the folder that holds it");
    printer->excludes(state);
    show->add_flag("--json", m_json, "Print JSON for scripts");
    return group;
}

int VirtualCommand::execute(CliEnvironment& env) {
    Target target;
    if (!m_state.empty()) {
        std::error_code ec;
        target.stateFile =
            fs::is_directory(m_state, ec) ? fs::path(m_state) / kStateFileName : fs::path(m_state);
    } else if (!m_printer.empty()) {
        PrintSystem* system = env.printSystem();
        if (!system) {
            return kExitFailed;
        }
        const auto queues = system->listQueues();
        const auto queue = std::ranges::find(queues, m_printer, &QueueInfo::name);
        if (queue == queues.end()) {
            env.err << "kestrel-cli: there is no print queue \"" << m_printer << "\"\n";
            return kExitFailed;
        }
        const auto* virtualSystem = dynamic_cast<const VirtualPrintSystem*>(system);
        if (!virtualSystem && !KestrelPrinterFolder(queue->port)) {
            env.err << "kestrel-cli: \"" << m_printer << "\" is not a virtual printer: its device "
                    << "URI is \"" << queue->port << "\", not kestrel-printer:/FOLDER\n";
            return kExitFailed;
        }
        const fs::path capture = virtualSystem ? virtualSystem->captureFolder() : fs::path();
        target.stateFile = QueuePrinterFiles(queue->name, queue->port, capture, "").stateFile;
        target.mechanismId = MechanismIdFromDriver(queue->driverName);
    } else {
        env.err << "kestrel-cli: virtual show needs --printer NAME or --state FILE\n"
                << "Usage: kestrel-cli " << usage() << '\n';
        return kExitUsage;
    }

    const LoadedPrinter loaded = LoadPrinter(target.stateFile, target.mechanismId);
    if (loaded.problem) {
        env.err << "kestrel-cli: " << *loaded.problem << '\n';
        return kExitFailed;
    }
    const std::string source = loaded.fresh
                                   ? "no job has reached this printer yet (no " +
                                         target.stateFile.string() + "): as it left the factory"
                                   : target.stateFile.string();
    if (m_json) {
        const DecodedSettings decoded = DecodeSettings(loaded.state.settings);
        nlohmann::ordered_json settings = nlohmann::ordered_json::array();
        for (const SettingDescription& s : AllSettings()) {
            nlohmann::ordered_json item{{"label", s.label}, {"offset", s.offset}};
            if (!decoded.known.test(s.offset)) {
                item["text"] = nullptr;
            } else {
                if (s.options.empty()) {
                    item["value"] = BmCutAdjustment(decoded.record);
                } else {
                    item["index"] = decoded.record[s.offset];
                }
                item["text"] = SettingValueText(s.offset, decoded.record);
            }
            settings.push_back(std::move(item));
        }
        nlohmann::ordered_json doc{{"source", source},
                                   {"fresh", loaded.fresh},
                                   {"settings", settings},
                                   {"state", StateToJson(loaded.state)}};
        env.out << doc.dump(2) << '\n';
    } else {
        env.out << "# " << source << '\n' << SettingsListPage(loaded.state);
    }
    return kExitOk;
}

}  // namespace kestrel::cli
