// Feeds arbitrary text to the readers of what the print system says about a queue: the serial line
// value, device URIs and the virtual print system's queue file; the first byte picks the reader.
// Line settings must come out as codes of their tables and read back as written, a printer's files
// stay in their folder, and a queue file keeps its queues when a line value is written into it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/files/printer_folder.h"
#include "fuzz_support.h"
#include "platform/virtual/virtual_config.h"
#include "printer/device_uri.h"
#include "printer/queue_classification.h"
#include "printer/serial_line_value.h"

namespace {

using namespace kestrel;
using fuzz::Check;
namespace fs = std::filesystem;

HostPortSettings LineOf(std::string_view value, std::uint32_t formatCode) {
    HostPortSettings line;
    line.formatCode = formatCode;
    ReadSerialLineValue(value, line);
    return line;
}

// The value as read from the queue; written again, it reads back as the same line.
void FuzzSerialLineValue(std::uint8_t selector, std::string_view value) {
    const std::uint32_t formatBefore = selector % 6;
    const HostPortSettings line = LineOf(value, formatBefore);
    Check(line.baudIndex < 7 && line.parityCode < 3 && line.dataBitsCode < 2 && line.flowCode < 2);
    const auto format = FormatCodeFor(line.dataBitsCode, line.parityCode);
    Check(line.formatCode == format.value_or(formatBefore));
    Check(LineOf(FormatSerialLineValue(line), formatBefore) == line);
}

// A URI and, after a line break, a serial line value to set in it.
void FuzzDeviceUri(std::string_view text) {
    const std::string_view uri = text.substr(0, text.find('\n'));
    const std::string_view value = text.substr(std::min(uri.size() + 1, text.size()));
    const PortKind kind = PortKindFromDeviceUri(uri);
    const auto device = SerialDevicePath(uri);
    Check(!device || !device->empty());
    const auto lineValue = SerialLineValueFromDeviceUri(uri);
    Check(lineValue.has_value() == uri.starts_with("serial:") &&
          (!lineValue || kind == PortKind::Serial));
    const auto changed = DeviceUriWithSerialLineValue(uri, value);
    Check(changed.has_value() == lineValue.has_value());
    if (changed) {
        Check(PortKindFromDeviceUri(*changed) == PortKind::Serial);
        Check(SerialDevicePath(*changed) == device);
        // The line set in the URI is the line its backend will use.
        Check(LineOf(SerialLineValueFromDeviceUri(*changed).value(), 0) == LineOf(value, 0));
    }

    const fs::path capture = "/capture";
    const auto folder = emulator::KestrelPrinterFolder(uri);
    const emulator::PrinterFiles files = emulator::QueuePrinterFiles(value, uri, capture, "job");
    if (folder) {
        Check(folder->is_absolute());
        Check(std::find(folder->begin(), folder->end(), "..") == folder->end());
        Check(files.stateFile == *folder / emulator::kStateFileName);
    } else {
        // Whatever the queue is called, its printer stays in the capture folder.
        Check(files.stateFile.parent_path() == capture);
    }
}

// A queue file, and the same file once a line value has been written for its first queue.
void FuzzVirtualConfig(std::string_view text) {
    const VirtualConfig config = ParseVirtualConfig(text);
    std::vector<QueueInfo> infos;
    for (const VirtualQueue& queue : config.queues) {
        Check(!queue.info.name.empty());
        infos.push_back(queue.info);
    }
    (void)BuildPrinterTable(infos);
    if (config.queues.empty()) {
        return;
    }
    static const fs::path file = fuzz::TempFile("queues.ini");
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(text.data(), text.size());
    constexpr std::string_view kValue = "9600,e,7,1,x";
    Check(WriteVirtualSerialLineValue(file, config.queues[0].info.name, kValue));
    const auto again = ReadVirtualConfig(file);
    Check(again && again->queues.size() == config.queues.size());
    Check(again->queues[0].serialLineValue == kValue);
    for (std::size_t i = 0; i < config.queues.size(); ++i) {
        Check(again->queues[i].info == config.queues[i].info);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
        case 0:
            FuzzSerialLineValue(data[0], text);
            break;
        case 1:
            FuzzDeviceUri(text);
            break;
        default:
            FuzzVirtualConfig(text);
            break;
    }
    return 0;
}
