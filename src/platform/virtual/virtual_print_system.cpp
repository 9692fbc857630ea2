#include "platform/virtual/virtual_print_system.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "emulator/files/printer_folder.h"
#include "printer/printer_driver.h"

namespace kestrel {
namespace {

constexpr std::string_view kJobPrefix = "job-";
constexpr std::string_view kBytesSuffix = ".prn";

std::string JobStem(int jobId) {
    char name[32];
    std::snprintf(name, sizeof name, "job-%06d", jobId);
    return name;
}

bool WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return static_cast<bool>(out);
}

std::optional<VirtualQueue> FindQueue(const std::filesystem::path& configFile,
                                      const std::string& name) {
    const auto config = ReadVirtualConfig(configFile);
    if (!config) {
        return std::nullopt;
    }
    for (const VirtualQueue& q : config->queues) {
        if (q.info.name == name) {
            return q;
        }
    }
    return std::nullopt;
}

}  // namespace

// One job: bytes gathered in memory and written to the capture folder when the document ends,
// so a failed job leaves no file behind.
class VirtualOpenQueue final : public OpenQueue {
public:
    VirtualOpenQueue(VirtualPrintSystem& system, VirtualQueue queue)
        : m_system(system), m_queue(std::move(queue)) {}

    bool startDocument(std::string_view) override {
        // A queue that does not accept jobs refuses the document, as a spooler would.
        if (m_queue.failAt == VirtualFailStep::Start || m_queue.info.offline) {
            return false;
        }
        m_started = true;
        return true;
    }

    std::optional<std::size_t> write(std::span<const std::uint8_t> bytes) override {
        if (!m_started || m_queue.failAt == VirtualFailStep::Write) {
            m_broken = true;
            return std::nullopt;
        }
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return bytes.size();
    }

    bool endDocument() override {
        if (!m_started || m_queue.failAt == VirtualFailStep::End) {
            return false;
        }
        m_started = false;
        if (m_broken) {
            return false;  // a job whose write failed is dropped, not captured in part
        }
        const std::filesystem::path folder = m_system.captureFolder();
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        const int id = m_system.nextJobId();
        const std::string stem = JobStem(id);
        const std::string name = m_queue.info.name + "\n";
        if (!WriteFile(folder / (stem + ".queue"),
                       {reinterpret_cast<const std::uint8_t*>(name.data()), name.size()}) ||
            !WriteFile(folder / (stem + std::string(kBytesSuffix)), m_bytes)) {
            return false;
        }
        m_jobId = id;
        if (m_queue.holdJobs) {
            m_system.noteHeldJob(m_queue.info.name, id);
        } else {
            // The job reaches the queue's printer, which reads it as a KR printer would.
            const emulator::PrinterFiles files =
                emulator::QueuePrinterFiles(m_queue.info.name, m_queue.info.port, folder, stem);
            emulator::ReceiveJob(files, m_bytes, MechanismIdFromDriver(m_queue.info.driverName));
        }
        return true;
    }

    int jobId() const override { return m_jobId; }

private:
    VirtualPrintSystem& m_system;
    VirtualQueue m_queue;
    std::vector<std::uint8_t> m_bytes;
    bool m_started = false;
    bool m_broken = false;
    int m_jobId = 0;
};

VirtualPrintSystem::VirtualPrintSystem(std::filesystem::path configFile,
                                       std::optional<std::filesystem::path> captureFolder)
    : m_configFile(std::move(configFile)), m_captureFolder(std::move(captureFolder)) {}

std::filesystem::path VirtualPrintSystem::captureFolder() const {
    if (m_captureFolder) {
        return *m_captureFolder;
    }
    const std::filesystem::path base = m_configFile.parent_path();
    const auto config = ReadVirtualConfig(m_configFile);
    if (config && !config->captureFolder.empty()) {
        return base / config->captureFolder;  // an absolute folder replaces the base
    }
    return base / "virtual-jobs";
}

std::vector<QueueInfo> VirtualPrintSystem::listQueues() {
    std::vector<QueueInfo> queues;
    const auto config = ReadVirtualConfig(m_configFile);
    if (!config) {
        return queues;
    }
    for (const VirtualQueue& q : config->queues) {
        QueueInfo info = q.info;
        info.jobCount += static_cast<std::uint32_t>(std::ranges::count_if(
            m_heldJobs, [&](const auto& held) { return held.second == info.name; }));
        queues.push_back(std::move(info));
    }
    return queues;
}

std::unique_ptr<OpenQueue> VirtualPrintSystem::openQueue(const std::string& name) {
    auto queue = FindQueue(m_configFile, name);
    if (!queue || queue->failAt == VirtualFailStep::Open) {
        return nullptr;
    }
    return std::make_unique<VirtualOpenQueue>(*this, std::move(*queue));
}

bool VirtualPrintSystem::waitForJobToLeave(int jobId, std::chrono::milliseconds) {
    return jobId > 0 && !m_heldJobs.contains(jobId);
}

int VirtualPrintSystem::nextJobId() const {
    int last = 0;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(captureFolder(), ec)) {
        const std::string file = item.path().filename().string();
        if (file.starts_with(kJobPrefix) && file.ends_with(kBytesSuffix)) {
            const std::string digits = file.substr(
                kJobPrefix.size(), file.size() - kJobPrefix.size() - kBytesSuffix.size());
            if (!digits.empty() &&
                std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; }) &&
                digits.size() < 9) {
                last = std::max(last, std::stoi(digits));
            }
        }
    }
    return last + 1;
}

void VirtualPrintSystem::noteHeldJob(const std::string& queue, int jobId) {
    m_heldJobs[jobId] = queue;
}

std::optional<std::string> VirtualHostPortStore::readSerialLineValue(const PrinterEntry& entry) {
    const auto queue = FindQueue(m_configFile, entry.printerName);
    if (!queue) {
        return std::nullopt;
    }
    return queue->serialLineValue;
}

bool VirtualHostPortStore::writeSerialLineValue(const PrinterEntry& entry, std::string_view value) {
    return WriteVirtualSerialLineValue(m_configFile, entry.printerName, value);
}

}  // namespace kestrel
