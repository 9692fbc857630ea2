// Feeds arbitrary bytes to the virtual printer as one job, and once more after a job that left it
// in user-setup mode. Whatever the stream holds, the printer must hold only values it accepts,
// every error must lie within the stream, and its description and settings page must be had.
#include <cstddef>
#include <cstdint>
#include <span>

#include "emulator/kr_printer.h"
#include "emulator/settings_decoder.h"
#include "emulator/settings_list_page.h"
#include "emulator/stream_description.h"
#include "emulator/stream_parser.h"
#include "fuzz_support.h"

namespace {

using namespace kestrel::emulator;
using kestrel::fuzz::Check;

void CheckState(const PrinterState& state) {
    for (std::size_t i = 0; i < kCustomizeNumbers.size(); ++i) {
        Check(CustomizeValueAccepted(kCustomizeNumbers[i], state.settings.customize[i]));
    }
    Check(state.lastErrors.size() <= kKeptErrors);
    for (const auto& [key, graphic] : state.graphics) {
        for (const auto& plane : graphic.planes) {
            Check(plane.empty() || plane.size() == graphic.bytesPerRow() * graphic.height);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> stream(data, size);
    const auto items = ParseStream(stream);
    std::size_t end = 0;
    for (const StreamItem& item : items) {
        Check(item.offset == end && item.length > 0);
        end += item.length;
        Check(!DescribeCommand(item).empty());
    }
    Check(end == size);

    static const PrinterState factory = FactoryPrinterState(18);
    static const PrinterState inSetup = [] {
        KrPrinter printer(factory);
        const std::uint8_t enter[] = {0x1D, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E};
        printer.receive(enter);
        return printer.takeState();
    }();
    for (const PrinterState* start : {&factory, &inSetup}) {
        KrPrinter printer(*start);
        const JobResult job = printer.receive(items, size);
        for (const StreamError& e : job.errors) {
            Check(e.offset <= size);
        }
        CheckState(printer.state());
        (void)DecodeSettings(printer.state().settings);
        Check(!SettingsListPage(printer.state()).empty());
    }
    return 0;
}
