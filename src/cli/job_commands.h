// send, init and list-print: the three setting jobs of the Send and File menus.
#pragma once

#include "cli/command.h"
#include "cli/printer_session.h"
#include "settings/setting_encoder.h"

namespace kestrel::cli {

class SettingJobCommand final : public Command {
public:
    SettingJobCommand(SettingJobKind kind, std::string name, std::string description);
    CLI::App* setup(CLI::App& parent) override;
    int execute(CliEnvironment& env) override;
    std::string usage() const override;

private:
    SettingJobKind m_kind;
    std::string m_name;
    std::string m_description;
    SessionOptions m_options;
};

}  // namespace kestrel::cli
