// A print system without a spooler: queues come from a small INI file (see virtual_config.h),
// read again at every listing, and every finished job is written to a capture folder as
// job-NNNNNN.prn (the bytes exactly) with job-NNNNNN.queue (the queue's name). For machines
// without a KR printer or without CUPS, and for trying every check of the selection.
//
// Each queue also has a virtual KR printer that every job it completes is applied to: its state in
// "<queue>.printer.json" beside the captures (or in the folder of a kestrel-printer: port), what it
// prints as job-NNNNNN.png and job-NNNNNN-list.txt.
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/virtual/virtual_config.h"
#include "ports/host_port_store.h"
#include "ports/print_system.h"

namespace kestrel {

class VirtualPrintSystem final : public PrintSystem {
public:
    // The capture folder is the given one, else the file's "capture" key (relative to the
    // file's folder), else "virtual-jobs" beside the file.
    explicit VirtualPrintSystem(std::filesystem::path configFile,
                                std::optional<std::filesystem::path> captureFolder = {});

    // Empty when the file cannot be read. Jobs held in a "hold" queue add to its job count.
    std::vector<QueueInfo> listQueues() override;
    std::unique_ptr<OpenQueue> openQueue(const std::string& name) override;

    // A captured job has left at once; a job of a "hold" queue never does (false at once).
    bool waitForJobToLeave(int jobId, std::chrono::milliseconds timeout) override;

    const std::filesystem::path& configFile() const { return m_configFile; }
    std::filesystem::path captureFolder() const;

private:
    friend class VirtualOpenQueue;
    int nextJobId() const;
    void noteHeldJob(const std::string& queue, int jobId);

    std::filesystem::path m_configFile;
    std::optional<std::filesystem::path> m_captureFolder;
    std::map<int, std::string> m_heldJobs;  // job id -> queue
};

// Serial line values kept as the "serial" key of each queue's section.
class VirtualHostPortStore final : public HostPortStore {
public:
    explicit VirtualHostPortStore(std::filesystem::path configFile)
        : m_configFile(std::move(configFile)) {}
    std::optional<std::string> readSerialLineValue(const PrinterEntry& entry) override;
    bool writeSerialLineValue(const PrinterEntry& entry, std::string_view value) override;

private:
    std::filesystem::path m_configFile;
};

}  // namespace kestrel
