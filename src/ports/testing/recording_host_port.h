// Recording fakes of the serial line ports: values and device settings live in maps, every call
// is recorded, and reads or writes can be made to fail.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ports/host_port_store.h"
#include "ports/serial_line.h"

namespace kestrel::testing {

class RecordingHostPortStore final : public HostPortStore {
public:
    std::map<std::string, std::string> values;  // by queue name
    bool failWrites = false;
    std::vector<std::string> reads;                           // queue names asked for
    std::vector<std::pair<std::string, std::string>> writes;  // queue name, value

    std::optional<std::string> readSerialLineValue(const PrinterEntry& entry) override;
    bool writeSerialLineValue(const PrinterEntry& entry, std::string_view value) override;
};

class RecordingSerialLine final : public SerialLine {
public:
    std::map<std::string, SerialControl> devices;  // devices that exist, by name
    bool failWrites = false;
    std::vector<std::string> reads;
    std::vector<std::pair<std::string, SerialControl>> writes;

    std::optional<SerialControl> readControl(const std::string& device) override;
    bool writeControl(const std::string& device, const SerialControl& control) override;
};

}  // namespace kestrel::testing
