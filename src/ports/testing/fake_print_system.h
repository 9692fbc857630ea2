// A print system in memory for tests: queues are a list, jobs are recorded, and any step of a raw
// job can be made to fail. It counts what was opened and closed so tests can check that every
// path releases what it took.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ports/print_system.h"

namespace kestrel::testing {

enum class FailStep { None, Open, StartDocument, Write, EndDocument };

struct RecordedJob {
    std::string queue;
    std::string documentName;
    std::vector<std::uint8_t> bytes;
    bool ended = false;
};

class FakePrintSystem final : public PrintSystem {
public:
    std::vector<QueueInfo> queues;
    FailStep failAt = FailStep::None;
    std::optional<std::size_t> shortWrite;  // report this many bytes written instead of all

    std::vector<RecordedJob> jobs;
    int openCount = 0;
    int closeCount = 0;
    int documentsStarted = 0;
    int documentsEnded = 0;
    int writeCalls = 0;

    // Set, the scheduler cannot be reached: no queues, and this is why.
    std::string unreachable;
    std::vector<QueueInfo> listQueues() override {
        return unreachable.empty() ? queues : std::vector<QueueInfo>{};
    }
    std::string listingError() const override { return unreachable; }
    std::unique_ptr<OpenQueue> openQueue(const std::string& name) override;

    bool jobsLeave = true;  // whether a waited-for job leaves the queue in time
    std::vector<int> waitedForJobs;
    bool waitForJobToLeave(int jobId, std::chrono::milliseconds) override {
        waitedForJobs.push_back(jobId);
        return jobsLeave;
    }

    bool allClosed() const { return openCount == closeCount && documentsStarted == documentsEnded; }
};

}  // namespace kestrel::testing
