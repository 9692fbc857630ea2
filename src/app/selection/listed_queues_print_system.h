// A print system whose queue list is one that was already read, so the selection list can be
// rebuilt from queues a background poll found without asking the print system again. Jobs still
// go to the real print system.
#pragma once

#include <vector>

#include "ports/print_system.h"

namespace kestrel::gui {

class ListedQueuesPrintSystem final : public PrintSystem {
public:
    // The real print system must outlive this object.
    ListedQueuesPrintSystem(std::vector<QueueInfo> queues, PrintSystem& real);

    std::vector<QueueInfo> listQueues() override;
    std::unique_ptr<OpenQueue> openQueue(const std::string& name) override;
    bool waitForJobToLeave(int jobId, std::chrono::milliseconds timeout) override;

private:
    std::vector<QueueInfo> m_queues;
    PrintSystem& m_real;
};

}  // namespace kestrel::gui
