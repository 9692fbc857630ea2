// Watches the print system's queues from a worker thread while the selection dialog is open, so
// a queue the user adds, resumes or moves to another port shows up without reopening the dialog.
//
// The worker calls poll about once per interval and hands each list that differs from the last
// one seen to onChange, on the worker thread. poll must be safe to call from that thread (use a
// print-system instance of its own); poll, onChange and what they use must outlive the watcher.
// An exception from poll counts as "no news". Destroying the watcher stops and joins the worker;
// that waits for a poll in progress, so callers that must not wait call requestStop() first and
// destroy the watcher later.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "ports/print_system.h"

namespace kestrel::gui {

class QueueWatcher {
public:
    using Poll = std::function<std::vector<QueueInfo>()>;
    using Changed = std::function<void(std::vector<QueueInfo>)>;

    QueueWatcher(Poll poll, std::vector<QueueInfo> lastSeen, Changed onChange,
                 std::chrono::milliseconds interval);
    ~QueueWatcher();
    QueueWatcher(const QueueWatcher&) = delete;
    QueueWatcher& operator=(const QueueWatcher&) = delete;

    // Asks the worker to stop without waiting for it; no onChange follows once it returns from
    // a poll in progress.
    void requestStop();

private:
    void watch(std::stop_token stop);

    Poll m_poll;
    std::vector<QueueInfo> m_lastSeen;  // the worker's own
    Changed m_onChange;
    std::chrono::milliseconds m_interval;
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::jthread m_worker;  // last: stopped and joined before the members it uses go
};

}  // namespace kestrel::gui
