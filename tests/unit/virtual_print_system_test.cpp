// The print systems that do not print: the virtual one (queues from a file, jobs captured one
// file each) and the dry run (every job's bytes into one file).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>

#include "cli/dry_run_print_system.h"
#include "platform/virtual/virtual_print_system.h"
#include "printer/raw_job.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

constexpr std::string_view kConfig = R"(; test queues
capture = captured

[KR-900 Serial]
driver = ZOT KR-900 Raster
port = serial:/dev/ttyS0?baud=9600
serial = 9600,e,7,1,x   

[KR-500 USB]
driver = ZOT KR-500 Raster
kind = usb

[Paused]
name = Paused and offline
driver = ZOT KR-700 Raster
port = parallel:/dev/lp0
paused = yes
offline = true
jobs = 3

[Stuck]
driver = ZOT KR-900 Raster
kind = serial
hold = yes

[Broken write]
driver = ZOT KR-900 Raster
kind = usb
fail = write

[No port]
driver = ZOT KR-900 Raster
separator = 1
)";

struct Virtual : testing::ScratchFolder {
    fs::path config = path() / "printers.ini";
    Virtual() { std::ofstream(config) << kConfig; }
};

// Sends the bytes as one raw job; whether it went, its id and the job's error code.
std::tuple<bool, int, JobError> Send(PrintSystem& system, const std::string& queue,
                                     const Bytes& bytes) {
    AppState state;
    state.printerTable[0].printerName = queue;
    int id = 0;
    const bool sent = SendRawJob(system, state, bytes, id);
    return {sent, id, state.lastJobError};
}

// The queues come with their kinds and flags. Each finished job is captured exactly, one file per
// job, numbered on across instances; a failed step gives the channel's code and captures nothing;
// a held job stays queued and counts.
TEST(VirtualPrintSystem, QueuesListedJobsCapturedOnePerJobFailuresNotAtAllHeldOnesStay) {
    Virtual v;
    VirtualPrintSystem system(v.config);
    const std::string kr900 = "ZOT KR-900 Raster";
    const std::vector<QueueInfo> expected{
        {"KR-900 Serial", kr900, "serial:/dev/ttyS0?baud=9600", PortKind::Serial},
        {"KR-500 USB", "ZOT KR-500 Raster", "", PortKind::Usb},
        {"Paused and offline", "ZOT KR-700 Raster", "parallel:/dev/lp0", PortKind::Parallel, true,
         true, false, 3},
        {"Stuck", kr900, "", PortKind::Serial},
        {"Broken write", kr900, "", PortKind::Usb},
        {"No port", kr900, "", PortKind::Network, false, false, true},
    };
    EXPECT_EQ(system.listQueues(), expected);
    VirtualPrintSystem missing(v.path() / "absent.ini");
    EXPECT_TRUE(missing.listQueues().empty());
    EXPECT_EQ(missing.openQueue("KR-900 Serial"), nullptr);
    Bytes first(300);
    std::iota(first.begin(), first.end(), 0);  // every byte value, NUL and CR/LF included
    const Bytes second{0x1D, 0x28, 0x45};
    const auto ok = [](int id) { return std::make_tuple(true, id, JobError::None); };
    EXPECT_EQ(Send(system, "KR-900 Serial", first), ok(1));
    EXPECT_EQ(Send(system, "Unknown queue", {1}), std::make_tuple(false, 0, JobError::OpenQueue));
    EXPECT_EQ(Send(system, "Paused and offline", {1}),
              std::make_tuple(false, 0, JobError::StartDocument));
    EXPECT_EQ(Send(system, "Broken write", {1}), std::make_tuple(false, 0, JobError::Write));
    VirtualPrintSystem again(v.config);  // a new instance continues the numbering
    EXPECT_EQ(Send(again, "KR-900 Serial", second), ok(2));
    EXPECT_EQ(Send(system, "Stuck", {0x18}), ok(3));
    const fs::path captured = v.path() / "captured";
    EXPECT_EQ(ReadText(captured / "job-000001.prn"), std::string(first.begin(), first.end()));
    EXPECT_EQ(ReadText(captured / "job-000002.prn"), std::string(second.begin(), second.end()));
    EXPECT_EQ(ReadText(captured / "job-000001.queue"), "KR-900 Serial\n");
    EXPECT_FALSE(fs::exists(captured / "job-000004.prn"));
    EXPECT_TRUE(system.waitForJobToLeave(1, std::chrono::milliseconds(0)));
    EXPECT_FALSE(system.waitForJobToLeave(3, std::chrono::milliseconds(10)));
    EXPECT_FALSE(system.waitForJobToLeave(0, std::chrono::milliseconds(0)));
    EXPECT_EQ(system.listQueues()[3].jobCount, 1u);
}

TEST(VirtualPrintSystem, HostPortStoreRewritesOrAddsOnlyTheSerialLine) {
    Virtual v;
    VirtualHostPortStore store(v.config);
    const auto entry = [](const char* name) {
        PrinterEntry e;
        e.printerName = name;
        return e;
    };
    EXPECT_EQ(store.readSerialLineValue(entry("KR-900 Serial")), "9600,e,7,1,x");
    EXPECT_EQ(store.readSerialLineValue(entry("Stuck")), std::nullopt);
    ASSERT_TRUE(store.writeSerialLineValue(entry("KR-900 Serial"), "19200,n,8,1,p"));
    ASSERT_TRUE(store.writeSerialLineValue(entry("Stuck"), "38400,o,7,1,p"));
    // A queue named by a name key is found by that name, not its section.
    ASSERT_TRUE(store.writeSerialLineValue(entry("Paused and offline"), "2400,n,8,1,x"));
    EXPECT_FALSE(store.writeSerialLineValue(entry("Nowhere"), "2400,n,8,1,x"));

    std::string expected(kConfig);
    const auto replace = [&](std::string_view from, std::string_view to) {
        expected.replace(expected.find(from), from.size(), to);
    };
    replace("serial = 9600,e,7,1,x   ", "serial = 19200,n,8,1,p");
    replace("hold = yes\n", "hold = yes\nserial = 38400,o,7,1,p\n");
    replace("jobs = 3\n", "jobs = 3\nserial = 2400,n,8,1,x\n");
    EXPECT_EQ(ReadText(v.config), expected);
}

// With append, the later jobs of a dry run follow the first.
TEST(DryRunPrintSystem, FirstJobReplacesTheFileLaterOnesReplaceOrFollow) {
    for (const bool append : {false, true}) {
        testing::ScratchFolder scratch;
        const fs::path out = scratch.path() / "job.bin";
        std::ofstream(out) << "old";
        cli::DryRunPrintSystem system(nullptr, out, append);
        ASSERT_TRUE(std::get<0>(Send(system, "KR500", {'a', 'b'})));
        EXPECT_EQ(ReadText(out), "ab") << append;
        ASSERT_TRUE(std::get<0>(Send(system, "KR500", {'c'})));
        EXPECT_EQ(ReadText(out), append ? "abc" : "c");
    }
}

}  // namespace
}  // namespace kestrel
