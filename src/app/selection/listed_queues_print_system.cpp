#include "app/selection/listed_queues_print_system.h"

#include <utility>

namespace kestrel::gui {

ListedQueuesPrintSystem::ListedQueuesPrintSystem(std::vector<QueueInfo> queues, PrintSystem& real)
    : m_queues(std::move(queues)), m_real(real) {}

std::vector<QueueInfo> ListedQueuesPrintSystem::listQueues() {
    return m_queues;
}

std::unique_ptr<OpenQueue> ListedQueuesPrintSystem::openQueue(const std::string& name) {
    return m_real.openQueue(name);
}

bool ListedQueuesPrintSystem::waitForJobToLeave(int jobId, std::chrono::milliseconds timeout) {
    return m_real.waitForJobToLeave(jobId, timeout);
}

}  // namespace kestrel::gui
