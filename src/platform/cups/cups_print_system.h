// Printer queues and raw jobs through libcups, on the server that CUPS_SERVER (or the client
// configuration) names.
#pragma once

#include <chrono>

#include "ports/print_system.h"
#include "printer/device_uri.h"

namespace kestrel {

class CupsPrintSystem final : public PrintSystem {
public:
    std::vector<QueueInfo> listQueues() override;
    std::unique_ptr<OpenQueue> openQueue(const std::string& name) override;

    // Waits until the job has completed, been cancelled or aborted (or is no longer known),
    // asking the scheduler every pollInterval, at most for timeout. True when it left the
    // queue in time; false when it is still there, or for a job id of 0 or less. CUPS restarts
    // a job whose queue's device URI changes, so a serial queue's line settings are rewritten
    // only after the job that changed the printer has left.
    bool waitForJobToLeave(int jobId, std::chrono::milliseconds timeout) override;

    std::string listingError() const override { return m_listingError; }

private:
    std::string m_listingError;
};

}  // namespace kestrel
