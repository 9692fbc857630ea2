// The PC's serial device through termios. Devices are named by a "serial:" device URI or a
// path; one that cannot be opened or set is passed over without a word.
#pragma once

#include "ports/serial_line.h"

namespace kestrel {

// termios has no DSR output handshake: the CUPS serial backend does that handshake itself
// while printing, from the URI's flow=dtrdsr. So dsrOutputFlow reads as false and is not
// written; the XON/XOFF flags map to IXON (output) and IXOFF (input).
class TermiosSerialLine final : public SerialLine {
public:
    std::optional<SerialControl> readControl(const std::string& device) override;
    bool writeControl(const std::string& device, const SerialControl& control) override;
};

}  // namespace kestrel
