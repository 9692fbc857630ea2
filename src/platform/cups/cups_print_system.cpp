#include "platform/cups/cups_print_system.h"

#include <cups/cups.h>

#include <cstring>

namespace kestrel {
namespace {

struct DestsDeleter {
    int count;
    void operator()(cups_dest_t* dests) const { cupsFreeDests(count, dests); }
};
struct DinfoDeleter {
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestsDeleter>;
using DinfoPtr = std::unique_ptr<cups_dinfo_t, DinfoDeleter>;

// One queue opened for one raw job. Each libcups step maps onto one step of the job; the
// destructor cancels a job whose document never started and frees the destination.
class CupsOpenQueue final : public OpenQueue {
public:
    CupsOpenQueue(DestPtr dest, DinfoPtr info) : m_dest(std::move(dest)), m_info(std::move(info)) {}

    ~CupsOpenQueue() override {
        if (m_jobWithoutDocument) {
            cupsCancelDestJob(CUPS_HTTP_DEFAULT, m_dest.get(), m_jobId);
        }
    }

    bool startDocument(std::string_view documentName) override {
        const std::string name(documentName);
        if (cupsCreateDestJob(CUPS_HTTP_DEFAULT, m_dest.get(), m_info.get(), &m_jobId, name.c_str(),
                              0, nullptr) != IPP_STATUS_OK ||
            m_jobId <= 0) {
            m_jobId = 0;
            return false;
        }
        // A created job whose document never starts would wait in the queue forever.
        m_jobWithoutDocument = true;
        if (cupsStartDestDocument(CUPS_HTTP_DEFAULT, m_dest.get(), m_info.get(), m_jobId,
                                  name.c_str(), CUPS_FORMAT_RAW, 0, nullptr,
                                  1) != HTTP_STATUS_CONTINUE) {
            return false;
        }
        m_jobWithoutDocument = false;
        m_documentStarted = true;
        return true;
    }

    std::optional<std::size_t> write(std::span<const std::uint8_t> bytes) override {
        if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, reinterpret_cast<const char*>(bytes.data()),
                                 bytes.size()) != HTTP_STATUS_CONTINUE) {
            return std::nullopt;
        }
        return bytes.size();
    }

    bool endDocument() override {
        if (!m_documentStarted) {
            return false;
        }
        m_documentStarted = false;
        const bool ok =
            cupsFinishDestDocument(CUPS_HTTP_DEFAULT, m_dest.get(), m_info.get()) == IPP_STATUS_OK;
        m_finished = true;
        return ok;
    }

    int jobId() const override { return m_finished ? m_jobId : 0; }

private:
    DestPtr m_dest;
    DinfoPtr m_info;
    int m_jobId = 0;
    bool m_jobWithoutDocument = false;
    bool m_documentStarted = false;
    bool m_finished = false;
};

std::string Option(const cups_dest_t& dest, const char* name) {
    const char* value = cupsGetOption(name, dest.num_options, dest.options);
    return value ? value : "";
}

}  // namespace

PortKind PortKindFromDeviceUri(std::string_view uri) {
    const auto colon = uri.find(':');
    if (colon == std::string_view::npos) {
        return uri.empty() ? PortKind::Network : PortKind::NotCorresponded;
    }
    const std::string_view scheme = uri.substr(0, colon);
    if (scheme == "usb")
        return PortKind::Usb;
    if (scheme == "parallel")
        return PortKind::Parallel;
    if (scheme == "serial")
        return PortKind::Serial;
    if (scheme == "file")
        return PortKind::File;
    for (const std::string_view net :
         {"socket", "ipp", "ipps", "http", "https", "lpd", "smb", "dnssd"}) {
        if (scheme == net)
            return PortKind::Network;
    }
    return PortKind::NotCorresponded;
}

std::vector<QueueInfo> CupsPrintSystem::listQueues() {
    cups_dest_t* raw = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &raw);
    const DestPtr dests(raw, DestsDeleter{count});
    std::vector<QueueInfo> queues;
    for (int i = 0; i < count; ++i) {
        const cups_dest_t& d = raw[i];
        if (d.instance != nullptr) {
            continue;  // instances share their queue
        }
        QueueInfo q;
        q.name = d.name;
        q.driverName = Option(d, "printer-make-and-model");
        q.port = Option(d, "device-uri");
        q.portKind = PortKindFromDeviceUri(q.port);
        q.paused = Option(d, "printer-state") == "5";
        q.offline = Option(d, "printer-is-accepting-jobs") == "false";
        const std::string sheets = Option(d, "job-sheets");
        q.separatorPage = !sheets.empty() && sheets.rfind("none", 0) != 0;
        queues.push_back(std::move(q));
    }
    return queues;
}

std::unique_ptr<OpenQueue> CupsPrintSystem::openQueue(const std::string& name) {
    DestPtr dest(cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr), DestsDeleter{1});
    if (!dest) {
        return nullptr;
    }
    DinfoPtr info(cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get()));
    if (!info) {
        return nullptr;
    }
    return std::make_unique<CupsOpenQueue>(std::move(dest), std::move(info));
}

}  // namespace kestrel
