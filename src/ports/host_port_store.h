// Where the PC keeps the line settings of a serial printer queue, as one text value in the
// "9600,n,8,1,x" form: baud rate, parity, data bits, stop bits, flow control.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "printer/printer_entry.h"

namespace kestrel {

class HostPortStore {
public:
    virtual ~HostPortStore() = default;
    // The stored value of the entry's serial line; nothing when the store has none for it.
    virtual std::optional<std::string> readSerialLineValue(const PrinterEntry& entry) = 0;
    // Replaces the stored value; false when it could not be written.
    virtual bool writeSerialLineValue(const PrinterEntry& entry, std::string_view value) = 0;
    // What the user can do when a write was refused (for example the rights it needs); empty
    // when the store has nothing to say.
    virtual std::string refusalAdvice() const { return {}; }
};

}  // namespace kestrel
