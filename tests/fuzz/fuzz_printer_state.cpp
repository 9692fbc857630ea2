// Feeds arbitrary text to the virtual printer's state file reader. A state it accepts must hold
// only values the printer could hold, survive being written and read again unchanged, and take a
// job.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "emulator/files/state_file.h"
#include "emulator/kr_printer.h"
#include "fuzz_support.h"

using namespace kestrel::emulator;
using kestrel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string why;
    const auto state = StateFromText(text, why);
    if (!state) {
        Check(!why.empty());
        return 0;
    }
    for (std::size_t i = 0; i < kCustomizeNumbers.size(); ++i) {
        Check(CustomizeValueAccepted(kCustomizeNumbers[i], state->settings.customize[i]));
    }
    const auto again = StateFromText(StateToText(*state), why);
    Check(again && *again == *state);
    KrPrinter printer(*state);
    const std::uint8_t list[] = {0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02};
    printer.receive(list);
    return 0;
}
