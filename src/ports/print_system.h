// The print system as the core sees it: queues to list, and one raw job per open queue.
//
// A raw job is driven step by step so that the caller can tell which step failed:
//   auto queue = system.openQueue(name);   // nullptr: the queue cannot be opened
//   queue->startDocument("My Document");   // one RAW document
//   queue->write(bytes);                   // exactly one write; returns the count written
//   queue->endDocument();
// Destroying the queue object closes the queue; implementations must release everything they
// hold in the destructor, whatever step failed.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// How a queue's port reaches the printer, as the print system reports it.
enum class PortKind { Parallel, Serial, Usb, File, Network, PortRouter, NotCorresponded };

struct QueueInfo {
    std::string name;
    std::string driverName;
    std::string port;
    PortKind portKind = PortKind::NotCorresponded;
    bool paused = false;
    bool offline = false;
    bool separatorPage = false;
    std::uint32_t jobCount = 0;

    bool operator==(const QueueInfo&) const = default;
};

class OpenQueue {
public:
    virtual ~OpenQueue() = default;
    virtual bool startDocument(std::string_view documentName) = 0;
    // Writes the whole buffer in one call; nullopt when the write call itself failed.
    virtual std::optional<std::size_t> write(std::span<const std::uint8_t> bytes) = 0;
    virtual bool endDocument() = 0;
    // The print system's id of the started job, 0 when there is none.
    virtual int jobId() const { return 0; }
};

class PrintSystem {
public:
    virtual ~PrintSystem() = default;
    virtual std::vector<QueueInfo> listQueues() = 0;
    // Why the last listing could not reach the print system at all; empty when it answered,
    // with queues or without.
    virtual std::string listingError() const { return {}; }
    virtual std::unique_ptr<OpenQueue> openQueue(const std::string& name) = 0;
    // Waits, at most for timeout, until the job has left the queue (printed, cancelled or
    // aborted). A print system without a queue of its own has nothing to wait for.
    virtual bool waitForJobToLeave(int /*jobId*/, std::chrono::milliseconds /*timeout*/) {
        return true;
    }
};

}  // namespace kestrel
