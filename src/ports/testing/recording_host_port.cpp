#include "ports/testing/recording_host_port.h"

namespace kestrel::testing {

std::optional<std::string> RecordingHostPortStore::readSerialLineValue(const PrinterEntry& entry) {
    reads.push_back(entry.printerName);
    const auto it = values.find(entry.printerName);
    if (it == values.end()) {
        return std::nullopt;
    }
    return it->second;
}

bool RecordingHostPortStore::writeSerialLineValue(const PrinterEntry& entry,
                                                  std::string_view value) {
    writes.emplace_back(entry.printerName, std::string(value));
    if (failWrites) {
        return false;
    }
    values[entry.printerName] = std::string(value);
    return true;
}

std::optional<SerialControl> RecordingSerialLine::readControl(const std::string& device) {
    reads.push_back(device);
    const auto it = devices.find(device);
    if (it == devices.end()) {
        return std::nullopt;
    }
    return it->second;
}

bool RecordingSerialLine::writeControl(const std::string& device, const SerialControl& control) {
    writes.emplace_back(device, control);
    if (failWrites || !devices.contains(device)) {
        return false;
    }
    devices[device] = control;
    return true;
}

}  // namespace kestrel::testing
