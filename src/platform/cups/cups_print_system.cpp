#include "platform/cups/cups_print_system.h"

#include "platform/cups/cups_connection.h"

#include <cups/cups.h>

#include <algorithm>
#include <array>
#include <string_view>
#include <thread>

namespace kestrel {
namespace {

struct DestsDeleter {
    int count;
    void operator()(cups_dest_t* dests) const { cupsFreeDests(count, dests); }
};
struct DinfoDeleter {
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};
struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestsDeleter>;
using DinfoPtr = std::unique_ptr<cups_dinfo_t, DinfoDeleter>;
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

// One queue opened for one raw job. Each libcups step maps onto one step of the job. A job that
// did not receive its whole document is cancelled, so the printer never gets a partial setting
// stream and the queue keeps no job that would wait forever; the destructor frees the rest.
class CupsOpenQueue final : public OpenQueue {
public:
    CupsOpenQueue(DestPtr dest, DinfoPtr info) : m_dest(std::move(dest)), m_info(std::move(info)) {}

    ~CupsOpenQueue() override {
        if (m_documentStarted) {
            // Abandoned between start and end: cancel before closing the document request.
            cancelOnOwnConnection();
            cupsFinishDestDocument(SchedulerConnection(), m_dest.get(), m_info.get());
        } else if (m_jobWithoutDocument) {
            cupsCancelDestJob(SchedulerConnection(), m_dest.get(), m_jobId);
        }
    }

    bool startDocument(std::string_view documentName) override {
        const std::string name(documentName);
        if (cupsCreateDestJob(SchedulerConnection(), m_dest.get(), m_info.get(), &m_jobId,
                              name.c_str(), 0, nullptr) != IPP_STATUS_OK ||
            m_jobId <= 0) {
            m_jobId = 0;
            return false;
        }
        m_jobWithoutDocument = true;
        if (cupsStartDestDocument(SchedulerConnection(), m_dest.get(), m_info.get(), m_jobId,
                                  name.c_str(), CUPS_FORMAT_RAW, 0, nullptr,
                                  1) != HTTP_STATUS_CONTINUE) {
            return false;
        }
        m_jobWithoutDocument = false;
        m_documentStarted = true;
        return true;
    }

    std::optional<std::size_t> write(std::span<const std::uint8_t> bytes) override {
        if (cupsWriteRequestData(SchedulerConnection(), reinterpret_cast<const char*>(bytes.data()),
                                 bytes.size()) != HTTP_STATUS_CONTINUE) {
            m_writeFailed = true;
            return std::nullopt;
        }
        return bytes.size();
    }

    bool endDocument() override {
        if (!m_documentStarted) {
            return false;
        }
        if (m_writeFailed) {
            // The document is still ended, but what reached the scheduler must not print.
            cancelOnOwnConnection();
        }
        m_documentStarted = false;
        const bool ok = cupsFinishDestDocument(SchedulerConnection(), m_dest.get(), m_info.get()) ==
                        IPP_STATUS_OK;
        m_jobWithoutDocument = !ok && !m_writeFailed;  // a refused document leaves an empty job
        m_finished = ok && !m_writeFailed;
        return ok;
    }

    int jobId() const override { return m_finished ? m_jobId : 0; }

private:
    // The default connection is busy with the open document request; the cancel goes on a
    // connection of its own to the same scheduler.
    void cancelOnOwnConnection() {
        const HttpPtr http = ConnectToScheduler();
        if (http) {
            cupsCancelDestJob(http.get(), m_dest.get(), m_jobId);
        }
    }

    DestPtr m_dest;
    DinfoPtr m_info;
    int m_jobId = 0;
    bool m_jobWithoutDocument = false;
    bool m_documentStarted = false;
    bool m_writeFailed = false;
    bool m_finished = false;
};

std::string StringOf(ipp_attribute_t* attr) {
    const char* text = ippGetString(attr, 0, nullptr);
    return text ? text : "";
}

enum class JobPresence { Waiting, Gone, Unknown };

// Whether the job is still pending, held or printing. A job the scheduler no longer knows has
// left too; an unanswered request says nothing.
JobPresence JobPresenceOf(int jobId) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/jobs/%d", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "job-state");
    const IppPtr response(cupsDoRequest(SchedulerConnection(), request, "/"));
    if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) {
        return JobPresence::Gone;
    }
    if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        return JobPresence::Unknown;
    }
    ipp_attribute_t* state = ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM);
    if (state == nullptr) {
        return JobPresence::Unknown;
    }
    return ippGetInteger(state, 0) >= IPP_JSTATE_CANCELED ? JobPresence::Gone
                                                          : JobPresence::Waiting;
}

// Reads one queue's attributes from the printer group that starts at attr; leaves attr at the
// first attribute after the group.
QueueInfo ReadQueue(ipp_t* response, ipp_attribute_t*& attr) {
    QueueInfo queue;
    for (; attr != nullptr && ippGetGroupTag(attr) == IPP_TAG_PRINTER;
         attr = ippNextAttribute(response)) {
        const char* name = ippGetName(attr);
        if (name == nullptr) {
            break;  // separator between two printers
        }
        const std::string_view attrName(name);
        if (attrName == "printer-name") {
            queue.name = StringOf(attr);
        } else if (attrName == "printer-make-and-model") {
            queue.driverName = StringOf(attr);
        } else if (attrName == "device-uri") {
            queue.port = StringOf(attr);
        } else if (attrName == "printer-state") {
            queue.paused = ippGetInteger(attr, 0) == IPP_PSTATE_STOPPED;
        } else if (attrName == "printer-is-accepting-jobs") {
            queue.offline = ippGetBoolean(attr, 0) == 0;
        } else if (attrName == "job-sheets-default") {
            // A start or an end banner: either is a separator page.
            for (int i = 0; i < ippGetCount(attr); ++i) {
                const char* sheet = ippGetString(attr, i, nullptr);
                if (sheet != nullptr && std::string_view(sheet) != "none") {
                    queue.separatorPage = true;
                }
            }
        } else if (attrName == "queued-job-count") {
            queue.jobCount = static_cast<std::uint32_t>(std::max(0, ippGetInteger(attr, 0)));
        }
    }
    queue.portKind = PortKindFromDeviceUri(queue.port);
    return queue;
}

}  // namespace

std::vector<QueueInfo> CupsPrintSystem::listQueues() {
    // One CUPS-Get-Printers request asks the scheduler for every queue with exactly the
    // attributes the selection needs, the job count included; libcups' destination list has no
    // job count and would cost one more request per queue.
    static constexpr std::array<const char*, 7> kAttributes{
        "printer-name",    "printer-make-and-model",    "device-uri",
        "printer-state",   "printer-is-accepting-jobs", "job-sheets-default",
        "queued-job-count"};
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(kAttributes.size()), nullptr, kAttributes.data());
    const auto asked = std::chrono::steady_clock::now();
    const IppPtr response(cupsDoRequest(SchedulerConnection(), request, "/"));
    std::vector<QueueInfo> queues;
    m_listingError.clear();
    if (!response) {
        // A scheduler without queues answers "not found"; anything else means no answer.
        if (cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND) {
            const char* server = cupsServer();
            // A request that ran out of time leaves no error worth showing of its own.
            const bool timedOut = std::chrono::steady_clock::now() - asked >=
                                  std::chrono::duration<double>(kSchedulerTimeoutSeconds);
            const std::string reason =
                timedOut ? "nothing within " + std::to_string(int(kSchedulerTimeoutSeconds)) + " s"
                         : cupsLastErrorString();
            m_listingError = std::string("no answer from the CUPS scheduler at ") +
                             (server ? server : "") + " (" + reason + ")";
        }
        return queues;
    }
    ipp_attribute_t* attr = ippFirstAttribute(response.get());
    while (attr != nullptr) {
        if (ippGetGroupTag(attr) != IPP_TAG_PRINTER || ippGetName(attr) == nullptr) {
            attr = ippNextAttribute(response.get());
            continue;
        }
        QueueInfo queue = ReadQueue(response.get(), attr);
        if (!queue.name.empty()) {
            queues.push_back(std::move(queue));
        }
    }
    return queues;
}

bool CupsPrintSystem::waitForJobToLeave(int jobId, std::chrono::milliseconds timeout) {
    constexpr std::chrono::milliseconds pollInterval(200);
    if (jobId <= 0) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (JobPresenceOf(jobId) == JobPresence::Gone) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(pollInterval);
    }
}

std::unique_ptr<OpenQueue> CupsPrintSystem::openQueue(const std::string& name) {
    // cupsGetNamedDest also asks for the default printer on a connection of libcups' own, which
    // waits a minute per read and retries: a stopped scheduler would hang the job. The queue is
    // named by its URI instead, and every request goes over the bounded connection.
    cups_dest_t* dests = nullptr;
    if (cupsAddDest(name.c_str(), nullptr, 0, &dests) != 1 || dests == nullptr) {
        return nullptr;
    }
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", name.c_str());
    dests->num_options =
        cupsAddOption("printer-uri-supported", uri, dests->num_options, &dests->options);
    DestPtr dest(dests, DestsDeleter{1});
    DinfoPtr info(cupsCopyDestInfo(SchedulerConnection(), dest.get()));
    if (!info) {
        return nullptr;
    }
    return std::make_unique<CupsOpenQueue>(std::move(dest), std::move(info));
}

}  // namespace kestrel
