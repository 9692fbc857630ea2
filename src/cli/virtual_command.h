// virtual show: the state of a virtual KR printer, that of a virtual print system's queue or of a
// CUPS queue whose device URI is kestrel-printer:/FOLDER.
#pragma once

#include "cli/command.h"

namespace kestrel::cli {

class VirtualCommand final : public Command {
public:
    CLI::App* setup(CLI::App& parent) override;
    int execute(CliEnvironment& env) override;
    std::string usage() const override {
        return "virtual show (--printer NAME | --state FILE_OR_FOLDER) [--json]";
    }

private:
    std::string m_printer;
    std::string m_state;
    bool m_json = false;
};

}  // namespace kestrel::cli
