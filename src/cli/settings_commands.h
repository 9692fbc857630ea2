// settings show and settings set: reading and editing settings files from scripts.
#pragma once

#include <vector>

#include "cli/command.h"
#include "cli/printer_session.h"

namespace kestrel::cli {

class SettingsShowCommand final : public Command {
public:
    CLI::App* setup(CLI::App& parent) override;
    int execute(CliEnvironment& env) override;
    std::string usage() const override;

private:
    std::string m_file;
    std::string m_printer;
    bool m_json = false;
};

class SettingsSetCommand final : public Command {
public:
    CLI::App* setup(CLI::App& parent) override;
    int execute(CliEnvironment& env) override;
    std::string usage() const override;

private:
    std::string m_file;
    std::vector<std::string> m_assignments;
};

// Both under one "settings" parent command.
class SettingsCommand final : public Command {
public:
    CLI::App* setup(CLI::App& parent) override;
    int execute(CliEnvironment& env) override;
    std::string usage() const override;

private:
    CLI::App* m_showApp = nullptr;
    CLI::App* m_setApp = nullptr;
    SettingsShowCommand m_show;
    SettingsSetCommand m_set;
};

}  // namespace kestrel::cli
