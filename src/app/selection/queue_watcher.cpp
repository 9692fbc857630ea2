#include "app/selection/queue_watcher.h"

#include <utility>

namespace kestrel::gui {

QueueWatcher::QueueWatcher(Poll poll, std::vector<QueueInfo> lastSeen, Changed onChange,
                           std::chrono::milliseconds interval)
    : m_poll(std::move(poll)),
      m_lastSeen(std::move(lastSeen)),
      m_onChange(std::move(onChange)),
      m_interval(interval),
      m_worker([this](std::stop_token stop) { watch(std::move(stop)); }) {}

QueueWatcher::~QueueWatcher() {
    m_worker.request_stop();
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

void QueueWatcher::requestStop() {
    m_worker.request_stop();
}

void QueueWatcher::watch(std::stop_token stop) {
    while (!stop.stop_requested()) {
        {
            std::unique_lock lock(m_mutex);
            // Wakes early, with the stop, when the watcher is told to stop.
            m_wake.wait_for(lock, stop, m_interval, [] { return false; });
        }
        if (stop.stop_requested()) {
            return;
        }
        std::vector<QueueInfo> queues;
        try {
            queues = m_poll();
        } catch (...) {
            continue;  // the print system did not answer this time; the list stays as it is
        }
        if (queues != m_lastSeen && !stop.stop_requested()) {
            m_lastSeen = queues;
            m_onChange(std::move(queues));
        }
    }
}

}  // namespace kestrel::gui
