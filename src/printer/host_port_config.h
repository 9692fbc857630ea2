// Bringing the PC's serial line in step with the host port settings after a send to a serial
// printer: the device's control settings and the stored serial line value of the queue.
#pragma once

#include <string>
#include <string_view>

#include "ports/host_port_store.h"
#include "ports/serial_line.h"
#include "state/app_state.h"

namespace kestrel {

// The device name of a port: the port name with one trailing colon cut off ("COM3:" -> "COM3").
std::string SerialDeviceName(std::string_view portName);

// Reads the selected printer's device settings, sets baud, byte size, parity and flow and writes
// them back, then stores the serial line value for the queue. When the device cannot be read,
// nothing is written to it (what was read would not be valid), but the value is still stored:
// the queue's backend sets the line from it at the next job, for example once a USB serial
// adapter is plugged in again. Returns whether the value was stored: a queue left at the old line
// settings garbles every later job, so the caller must say so.
bool ConfigureHostPort(AppState& state, HostPortStore& store, SerialLine& line);

}  // namespace kestrel
