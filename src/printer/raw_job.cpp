#include "printer/raw_job.h"

#include <memory>

#include "ports/print_system.h"

namespace kestrel {
namespace {

// Ends a started document unless the caller ended it, so a failed write still closes the
// document before the queue goes.
class StartedDocument {
public:
    explicit StartedDocument(OpenQueue& queue) : m_queue(queue) {}
    StartedDocument(const StartedDocument&) = delete;
    StartedDocument& operator=(const StartedDocument&) = delete;
    ~StartedDocument() {
        if (!m_ended) {
            m_queue.endDocument();
        }
    }
    bool end() {
        m_ended = true;
        return m_queue.endDocument();
    }

private:
    OpenQueue& m_queue;
    bool m_ended = false;
};

bool Fail(AppState& state, JobError code) {
    state.lastJobError = code;
    return false;
}

}  // namespace

bool SendRawJob(PrintSystem& printSystem, AppState& state, std::span<const std::uint8_t> bytes) {
    int jobId = 0;
    if (!SendRawJob(printSystem, state, bytes, jobId)) {
        return false;
    }
    state.lastJobId = jobId;
    return true;
}

bool SendRawJob(PrintSystem& printSystem, AppState& state, std::span<const std::uint8_t> bytes,
                int& jobId) {
    std::size_t written = 0;
    {
        const std::unique_ptr<OpenQueue> queue =
            printSystem.openQueue(state.selectedPrinter().printerName);
        if (!queue) {
            return Fail(state, JobError::OpenQueue);
        }
        if (!queue->startDocument(kRawDocumentName)) {
            return Fail(state, JobError::StartDocument);
        }
        StartedDocument document(*queue);
        const std::optional<std::size_t> count = queue->write(bytes);
        if (!count) {
            return Fail(state, JobError::Write);
        }
        written = *count;
        if (!document.end()) {
            return Fail(state, JobError::EndDocument);
        }
        jobId = queue->jobId();
    }  // the queue is closed here, before the count is judged
    if (written != bytes.size()) {
        return Fail(state, JobError::EndDocument);
    }
    return true;
}

std::optional<std::string_view> RawJobFailureMessage(JobError code) {
    switch (code) {
        case JobError::StartDocument:
            return "Printer Error!!  Check the printer.";
        case JobError::OpenQueue:
            return "The printer cannot be opened.\nThe output device might be used by other "
                   "applications.";
        case JobError::Write:
            return "Transmission failure of setting value.\nPlease restart of a printer and send "
                   "again.";
        case JobError::EndDocument:
            return "The printer cannot be closed.\nPlease reboot the computer.";
        default:
            return std::nullopt;
    }
}

}  // namespace kestrel
