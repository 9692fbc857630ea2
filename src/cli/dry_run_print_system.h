// A print system that lists the queues of another one but writes every job's bytes to a file
// instead of sending them, so a script can see exactly what the printer would get.
#pragma once

#include <filesystem>

#include "ports/print_system.h"

namespace kestrel::cli {

class DryRunPrintSystem final : public PrintSystem {
public:
    // With append, every job after the first of this run is added to the file.
    DryRunPrintSystem(PrintSystem* lister, std::filesystem::path output, bool append = false)
        : m_lister(lister), m_output(std::move(output)), m_append(append) {}

    std::vector<QueueInfo> listQueues() override;
    std::unique_ptr<OpenQueue> openQueue(const std::string& name) override;

private:
    PrintSystem* m_lister;  // may be null: no queues known
    std::filesystem::path m_output;
    bool m_append;
    int m_jobs = 0;
};

}  // namespace kestrel::cli
