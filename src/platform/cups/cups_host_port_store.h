// The serial line value of a CUPS queue lives in the options of its "serial:" device URI
// (baud, bits, parity, flow), which the serial backend applies to the line at every job.
#pragma once

#include <optional>
#include <string>

#include "ports/host_port_store.h"

namespace kestrel {

class CupsHostPortStore final : public HostPortStore {
public:
    // Nothing for a queue that cannot be asked or has no "serial:" URI.
    std::optional<std::string> readSerialLineValue(const PrinterEntry& entry) override;
    // Rewrites the queue's device URI with CUPS-Add-Modify-Printer (administrator rights on
    // the scheduler); the URI's other options stay as they were. False for a queue without a
    // "serial:" URI or when the scheduler refuses. An unchanged URI is not sent again.
    bool writeSerialLineValue(const PrinterEntry& entry, std::string_view value) override;
    std::string refusalAdvice() const override;
};

// The queue's current device URI as the scheduler has it.
std::optional<std::string> QueueDeviceUri(const std::string& queueName);

}  // namespace kestrel
