// The print systems that do not print: the virtual one (queues from a file, jobs captured one
// file each) and the dry run (every job's bytes into one file).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "cli/dry_run_print_system.h"
#include "logo_test_bitmaps.h"
#include "platform/virtual/virtual_print_system.h"
#include "printer/queue_classification.h"
#include "printer/raw_job.h"

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
; no serial line here

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

bool Send(PrintSystem& system, const std::string& queue, const Bytes& bytes, int* id = nullptr,
          JobError* error = nullptr) {
    AppState state;
    state.printerTable[0].printerName = queue;
    int jobId = 0;
    const bool sent = SendRawJob(system, state, bytes, jobId);
    if (id) {
        *id = jobId;
    }
    if (error) {
        *error = state.lastJobError;
    }
    return sent;
}

TEST(VirtualPrintSystem, ListsQueuesWithKindsAndFlags) {
    Virtual v;
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
    EXPECT_EQ(VirtualPrintSystem(v.config).listQueues(), expected);
    VirtualPrintSystem missing(v.path() / "absent.ini");
    EXPECT_TRUE(missing.listQueues().empty());
    EXPECT_EQ(missing.openQueue("KR-900 Serial"), nullptr);
}

TEST(VirtualPrintSystem, JobsAreCapturedExactlyOneFilePerJob) {
    Virtual v;
    VirtualPrintSystem system(v.config);
    Bytes first(300);
    for (std::size_t i = 0; i < first.size(); ++i) {
        first[i] = static_cast<std::uint8_t>(i);  // every byte value, NUL and CR/LF included
    }
    const Bytes second{0x1D, 0x28, 0x45};
    int ids[3] = {};
    ASSERT_TRUE(Send(system, "KR-900 Serial", first, &ids[0]));
    ASSERT_TRUE(Send(system, "KR-900 Serial", second, &ids[1]));
    const fs::path captured = v.path() / "captured";
    EXPECT_EQ(system.captureFolder(), captured);
    EXPECT_EQ(ReadText(captured / "job-000001.prn"), std::string(first.begin(), first.end()));
    EXPECT_EQ(ReadText(captured / "job-000002.prn"), std::string(second.begin(), second.end()));
    EXPECT_EQ(ReadText(captured / "job-000001.queue"), "KR-900 Serial\n");
    EXPECT_TRUE(system.waitForJobToLeave(ids[0], std::chrono::milliseconds(0)));
    VirtualPrintSystem again(v.config);  // a new instance continues the numbering
    ASSERT_TRUE(Send(again, "KR-900 Serial", second, &ids[2]));
    EXPECT_EQ((std::vector<int>{ids, ids + 3}), (std::vector<int>{1, 2, 3}));
}

TEST(VirtualPrintSystem, FailingStepsGiveTheChannelsCodes) {
    const std::pair<std::string, JobError> cases[] = {
        {"Unknown queue", JobError::OpenQueue},
        {"Paused and offline", JobError::StartDocument},
        {"Broken write", JobError::Write}};
    for (const auto& [queue, code] : cases) {
        Virtual v;
        VirtualPrintSystem system(v.config, v.path() / "jobs");
        JobError error = JobError::None;
        EXPECT_FALSE(Send(system, queue, {1, 2, 3}, nullptr, &error)) << queue;
        EXPECT_EQ(error, code) << queue;
        EXPECT_FALSE(fs::exists(v.path() / "jobs" / "job-000001.prn")) << queue;
    }
}

TEST(VirtualPrintSystem, HeldJobsStayQueuedAndCount) {
    Virtual v;
    VirtualPrintSystem system(v.config);
    int id = 0;
    ASSERT_TRUE(Send(system, "Stuck", {0x18}, &id));
    EXPECT_FALSE(system.waitForJobToLeave(id, std::chrono::milliseconds(10)));
    EXPECT_EQ(system.listQueues()[3].jobCount, 1u);
    EXPECT_FALSE(system.waitForJobToLeave(0, std::chrono::milliseconds(0)));
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
    EXPECT_EQ(store.readSerialLineValue(entry("KR-900 Serial")), "19200,n,8,1,p");
    EXPECT_EQ(store.readSerialLineValue(entry("Stuck")), "38400,o,7,1,p");
    EXPECT_EQ(store.readSerialLineValue(entry("Paused and offline")), "2400,n,8,1,x");

    std::string expected(kConfig);
    const auto replace = [&](std::string_view from, std::string_view to) {
        expected.replace(expected.find(from), from.size(), to);
    };
    replace("serial = 9600,e,7,1,x   ", "serial = 19200,n,8,1,p");
    replace("hold = yes\n", "hold = yes\nserial = 38400,o,7,1,p\n");
    replace("jobs = 3\n", "jobs = 3\nserial = 2400,n,8,1,x\n");
    EXPECT_EQ(ReadText(v.config), expected);
}

TEST(VirtualPrintSystem, ExampleConfigOffersSerialKr900AndUsbKr500AndProblemQueues) {
    const fs::path example = fs::path(KESTREL_SOURCE_DIR) / "resources" / "virtual-printers.ini";
    VirtualPrintSystem system(example, fs::temp_directory_path() / "kestrel-unused");
    const auto table = BuildPrinterTable(system.listQueues());
    ASSERT_TRUE(table.anySupportedDriver);
    std::set<std::pair<std::uint32_t, ConnectionStatus>> seen;
    std::set<ConnectionStatus> problems;
    for (const auto& e : table.entries) {
        seen.emplace(e.mechanismId, e.connectionStatus);
        problems.insert(e.connectionStatus);
    }
    EXPECT_TRUE(seen.contains({18, ConnectionStatus::Serial}));
    EXPECT_TRUE(seen.contains({21, ConnectionStatus::Usb}));
    for (const auto status :
         {ConnectionStatus::Paused, ConnectionStatus::Offline, ConnectionStatus::File,
          ConnectionStatus::SeparatorPage, ConnectionStatus::Network}) {
        EXPECT_TRUE(problems.contains(status)) << static_cast<int>(status);
    }
}

// A dry run replaces what the file held; with append, the later jobs of the run follow the first.
TEST(DryRunPrintSystem, FirstJobReplacesTheFileLaterOnesReplaceOrFollow) {
    for (const bool append : {false, true}) {
        testing::ScratchFolder scratch;
        const fs::path out = scratch.path() / "job.bin";
        std::ofstream(out) << "old";
        cli::DryRunPrintSystem system(nullptr, out, append);
        EXPECT_TRUE(system.listQueues().empty());
        ASSERT_TRUE(Send(system, "KR500", {'a', 'b'}));
        EXPECT_EQ(ReadText(out), "ab") << append;
        ASSERT_TRUE(Send(system, "KR500", {'c'}));
        EXPECT_EQ(ReadText(out), append ? "abc" : "c");
    }
}

}  // namespace
}  // namespace kestrel
