#include "printer/host_port_config.h"

#include "printer/serial_line_value.h"

namespace kestrel {

std::string SerialDeviceName(std::string_view portName) {
    if (portName.ends_with(':')) {
        portName.remove_suffix(1);
    }
    return std::string(portName);
}

bool ConfigureHostPort(AppState& state, HostPortStore& store, SerialLine& line) {
    const std::string value = FormatSerialLineValue(state.hostPort);
    const PrinterEntry& printer = state.selectedPrinter();
    const std::string device = SerialDeviceName(printer.portName);
    if (auto control = line.readControl(device)) {
        ApplyHostPortToControl(state.hostPort, *control);
        line.writeControl(device, *control);
    }
    return store.writeSerialLineValue(printer, value);
}

}  // namespace kestrel
