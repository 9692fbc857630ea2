// Printer queues and raw jobs through libcups, on the server that CUPS_SERVER (or the client
// configuration) names.
#pragma once

#include "ports/print_system.h"

namespace kestrel {

class CupsPrintSystem final : public PrintSystem {
public:
    std::vector<QueueInfo> listQueues() override;
    std::unique_ptr<OpenQueue> openQueue(const std::string& name) override;
};

// The port kind of a device URI, by its scheme.
PortKind PortKindFromDeviceUri(std::string_view uri);

}  // namespace kestrel
