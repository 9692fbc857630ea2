// printers: every print queue as the selection list shows it, with what the selection would say.
#pragma once

#include "cli/command.h"

namespace kestrel::cli {

class PrintersCommand final : public Command {
public:
    CLI::App* setup(CLI::App& parent) override;
    int execute(CliEnvironment& env) override;
    std::string usage() const override { return "printers [--json]"; }

private:
    bool m_json = false;
};

}  // namespace kestrel::cli
