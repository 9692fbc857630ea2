#include "cli/command.h"
#include "cli/decode_command.h"
#include "cli/job_commands.h"
#include "cli/logo_command.h"
#include "cli/printers_command.h"
#include "cli/settings_commands.h"
#include "cli/virtual_command.h"

namespace kestrel::cli {

std::vector<std::unique_ptr<Command>> MakeCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<PrintersCommand>());
    commands.push_back(std::make_unique<SettingJobCommand>(SettingJobKind::SendSettings, "send",
                                                           "Send the settings to the printer"));
    commands.push_back(std::make_unique<SettingJobCommand>(
        SettingJobKind::InitializePrinter, "init", "Return the printer to its factory defaults"));
    commands.push_back(std::make_unique<SettingJobCommand>(
        SettingJobKind::PrintSettingsList, "list-print", "Print the printer's settings list"));
    commands.push_back(std::make_unique<SettingsCommand>());
    commands.push_back(std::make_unique<LogoCommandGroup>());
    commands.push_back(std::make_unique<DecodeCommand>());
    commands.push_back(std::make_unique<VirtualCommand>());
    return commands;
}

}  // namespace kestrel::cli
