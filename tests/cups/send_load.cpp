// Sends the settings again and again in one process through the real CUPS print system, with the
// printer's fixed waits taken out: open descriptors and resident memory after the last send must
// be those after the warm-up sends. Usage: CUPS_SERVER=... kestrel_send_load QUEUE [SENDS]
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <utility>

#include "cli/cli_app.h"
#include "ports/clock.h"

namespace {

class NoWait final : public kestrel::Clock {
public:
    void sleepFor(std::chrono::milliseconds) override {}
};

// Open descriptors, and resident memory in KiB.
std::pair<long, long> Usage() {
    const long fds = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return {fds, resident * (::sysconf(_SC_PAGESIZE) / 1024)};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: kestrel_send_load QUEUE [SENDS]\n";
        return 2;
    }
    const int sends = argc > 2 ? std::atoi(argv[2]) : 100;
    constexpr int kWarmUp = 10;
    NoWait clock;
    std::pair<long, long> warm{};
    for (int i = 1; i <= sends; ++i) {
        std::istringstream in;
        std::ostringstream out, err;
        kestrel::cli::CliApp app(in, out, err);
        app.setClock(clock);
        const char* args[] = {"kestrel-cli", "send", "--printer", argv[1], "--yes"};
        if (const int status = app.run(5, args); status != 0) {
            std::cerr << "send " << i << " failed with " << status << ": " << err.str();
            return 1;
        }
        if (i == kWarmUp) {
            warm = Usage();
        }
    }
    const auto [fds, memory] = Usage();
    std::cout << sends << " sends: open descriptors " << warm.first << " -> " << fds
              << ", resident memory " << warm.second << " -> " << memory << " KiB\n";
    // 90 more sends that leaked even one CUPS request's attributes would grow by more than this.
    // AddressSanitizer's quarantine grows without a leak; its leak check at exit stands in there.
#if defined(__SANITIZE_ADDRESS__)
    constexpr long kAllowedGrowthKiB = 64 * 1024;
#else
    constexpr long kAllowedGrowthKiB = 256;
#endif
    return fds <= warm.first && memory - warm.second <= kAllowedGrowthKiB ? 0 : 1;
}
