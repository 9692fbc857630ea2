// logo register|print|delete|confirm-print|preview: the logo dialog's commands for scripts.
#pragma once

#include "cli/command.h"
#include "cli/printer_session.h"

namespace kestrel::cli {

class LogoCommandGroup final : public Command {
public:
    CLI::App* setup(CLI::App& parent) override;
    int execute(CliEnvironment& env) override;
    std::string usage() const override;

private:
    int executeJob(CliEnvironment& env);
    int executePreview(CliEnvironment& env);

    CLI::App* m_register = nullptr;
    CLI::App* m_print = nullptr;
    CLI::App* m_delete = nullptr;
    CLI::App* m_confirm = nullptr;
    CLI::App* m_preview = nullptr;

    SessionOptions m_options;
    int m_slot = 0;  // 1 to 5 as the user sees it
    bool m_twoColor = false;
    bool m_cut = true;
    std::string m_file;
    std::string m_output;
};

}  // namespace kestrel::cli
