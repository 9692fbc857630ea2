// decode: a captured job read the way the printer reads it, command by command, with the settings
// it sets by label and option text.
#pragma once

#include "cli/command.h"

namespace kestrel::cli {

class DecodeCommand final : public Command {
public:
    CLI::App* setup(CLI::App& parent) override;
    int execute(CliEnvironment& env) override;
    std::string usage() const override { return "decode FILE [--json]"; }

private:
    std::string m_file;
    bool m_json = false;
};

}  // namespace kestrel::cli
