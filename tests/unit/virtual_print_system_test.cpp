#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/virtual/virtual_print_system.h"
#include "printer/queue_classification.h"
#include "printer/raw_job.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const fs::path& file, std::string_view text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
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

class VirtualPrintSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("kestrel-virtual-" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_config = m_dir / "printers.ini";
        WriteText(m_config, kConfig);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    const QueueInfo& Find(const std::vector<QueueInfo>& queues, std::string_view name) {
        for (const auto& q : queues) {
            if (q.name == name) {
                return q;
            }
        }
        ADD_FAILURE() << "no queue " << name;
        static const QueueInfo none;
        return none;
    }

    fs::path m_dir;
    fs::path m_config;
};

TEST_F(VirtualPrintSystemTest, ListsQueuesWithKindsAndFlags) {
    VirtualPrintSystem system(m_config);
    const auto queues = system.listQueues();
    ASSERT_EQ(queues.size(), 6u);
    EXPECT_EQ(queues[0].name, "KR-900 Serial");
    EXPECT_EQ(queues[0].driverName, "ZOT KR-900 Raster");
    EXPECT_EQ(queues[0].port, "serial:/dev/ttyS0?baud=9600");
    EXPECT_EQ(queues[0].portKind, PortKind::Serial);
    EXPECT_EQ(queues[1].portKind, PortKind::Usb);
    const QueueInfo& paused = Find(queues, "Paused and offline");
    EXPECT_TRUE(paused.paused);
    EXPECT_TRUE(paused.offline);
    EXPECT_FALSE(paused.separatorPage);
    EXPECT_EQ(paused.jobCount, 3u);
    EXPECT_EQ(paused.portKind, PortKind::Parallel);
    const QueueInfo& noPort = Find(queues, "No port");
    EXPECT_EQ(noPort.portKind, PortKind::Network);
    EXPECT_TRUE(noPort.separatorPage);

    const auto table = BuildPrinterTable(queues).entries;
    EXPECT_EQ(table[0].connectionStatus, ConnectionStatus::Serial);
    EXPECT_EQ(table[1].connectionStatus, ConnectionStatus::Usb);
    EXPECT_EQ(table[2].connectionStatus, ConnectionStatus::Paused);
}

TEST_F(VirtualPrintSystemTest, MissingFileListsNothing) {
    VirtualPrintSystem system(m_dir / "absent.ini");
    EXPECT_TRUE(system.listQueues().empty());
    EXPECT_EQ(system.openQueue("KR-900 Serial"), nullptr);
}

TEST_F(VirtualPrintSystemTest, JobsAreCapturedExactlyOneFilePerJob) {
    VirtualPrintSystem system(m_config);
    AppState state;
    state.printerTable[0].printerName = "KR-900 Serial";
    std::vector<std::uint8_t> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);  // every byte value, NUL and CR/LF included
    }
    int firstId = 0;
    ASSERT_TRUE(SendRawJob(system, state, bytes, firstId));
    int secondId = 0;
    const std::vector<std::uint8_t> second{0x1D, 0x28, 0x45};
    ASSERT_TRUE(SendRawJob(system, state, second, secondId));
    EXPECT_EQ(firstId, 1);
    EXPECT_EQ(secondId, 2);

    const fs::path captured = m_dir / "captured";
    EXPECT_EQ(system.captureFolder(), captured);
    const std::string first = ReadText(captured / "job-000001.prn");
    EXPECT_EQ(std::vector<std::uint8_t>(first.begin(), first.end()), bytes);
    const std::string two = ReadText(captured / "job-000002.prn");
    EXPECT_EQ(std::vector<std::uint8_t>(two.begin(), two.end()), second);
    EXPECT_EQ(ReadText(captured / "job-000001.queue"), "KR-900 Serial\n");
    EXPECT_TRUE(system.waitForJobToLeave(firstId, std::chrono::milliseconds(0)));

    // A new instance continues the numbering from the folder.
    VirtualPrintSystem again(m_config);
    int third = 0;
    ASSERT_TRUE(SendRawJob(again, state, second, third));
    EXPECT_EQ(third, 3);
}

TEST_F(VirtualPrintSystemTest, FailingStepsGiveTheChannelsCodes) {
    struct Case {
        std::string queue;
        JobError error;
    };
    for (const auto& c : {Case{"Unknown queue", JobError::OpenQueue},
                          Case{"Paused and offline", JobError::StartDocument},
                          Case{"Broken write", JobError::Write}}) {
        VirtualPrintSystem system(m_config, m_dir / "jobs");
        AppState state;
        state.printerTable[0].printerName = c.queue;
        const std::vector<std::uint8_t> bytes{1, 2, 3};
        EXPECT_FALSE(SendRawJob(system, state, bytes)) << c.queue;
        EXPECT_EQ(state.lastJobError, c.error) << c.queue;
        EXPECT_FALSE(fs::exists(m_dir / "jobs" / "job-000001.prn")) << c.queue;
    }
}

TEST_F(VirtualPrintSystemTest, HeldJobsStayQueuedAndCount) {
    VirtualPrintSystem system(m_config);
    AppState state;
    state.printerTable[0].printerName = "Stuck";
    int id = 0;
    const std::vector<std::uint8_t> bytes{0x18};
    ASSERT_TRUE(SendRawJob(system, state, bytes, id));
    EXPECT_FALSE(system.waitForJobToLeave(id, std::chrono::milliseconds(10)));
    EXPECT_EQ(Find(system.listQueues(), "Stuck").jobCount, 1u);
    EXPECT_FALSE(system.waitForJobToLeave(0, std::chrono::milliseconds(0)));
}

TEST_F(VirtualPrintSystemTest, HostPortStoreRewritesOnlyTheSerialLine) {
    VirtualHostPortStore store(m_config);
    PrinterEntry serial;
    serial.printerName = "KR-900 Serial";
    EXPECT_EQ(store.readSerialLineValue(serial), "9600,e,7,1,x");

    ASSERT_TRUE(store.writeSerialLineValue(serial, "19200,n,8,1,p"));
    EXPECT_EQ(store.readSerialLineValue(serial), "19200,n,8,1,p");
    std::string expected(kConfig);
    expected.replace(expected.find("serial = 9600,e,7,1,x   "),
                     std::string_view("serial = 9600,e,7,1,x   ").size(), "serial = 19200,n,8,1,p");
    EXPECT_EQ(ReadText(m_config), expected);
}

TEST_F(VirtualPrintSystemTest, HostPortStoreAddsAValueToASectionWithout) {
    VirtualHostPortStore store(m_config);
    PrinterEntry stuck;
    stuck.printerName = "Stuck";
    EXPECT_EQ(store.readSerialLineValue(stuck), std::nullopt);
    ASSERT_TRUE(store.writeSerialLineValue(stuck, "38400,o,7,1,p"));
    EXPECT_EQ(store.readSerialLineValue(stuck), "38400,o,7,1,p");
    const std::string text = ReadText(m_config);
    EXPECT_NE(text.find("hold = yes\nserial = 38400,o,7,1,p\n"), std::string::npos);

    // A queue named by a name key is found by that name, not its section.
    PrinterEntry paused;
    paused.printerName = "Paused and offline";
    ASSERT_TRUE(store.writeSerialLineValue(paused, "2400,n,8,1,x"));
    EXPECT_EQ(store.readSerialLineValue(paused), "2400,n,8,1,x");

    PrinterEntry unknown;
    unknown.printerName = "Nowhere";
    EXPECT_FALSE(store.writeSerialLineValue(unknown, "2400,n,8,1,x"));
    VirtualPrintSystem system(m_config);
    EXPECT_EQ(system.listQueues().size(), 6u);
}

TEST(VirtualExampleConfig, OffersSerialKr900AndUsbKr500AndProblemQueues) {
    const fs::path example =
        fs::path(__FILE__).parent_path() / ".." / ".." / "resources" / "virtual-printers.ini";
    VirtualPrintSystem system(example, fs::temp_directory_path() / "kestrel-unused");
    const auto table = BuildPrinterTable(system.listQueues());
    ASSERT_TRUE(table.anySupportedDriver);
    bool serial900 = false;
    bool usb500 = false;
    std::set<ConnectionStatus> problems;
    for (const auto& e : table.entries) {
        serial900 |= e.mechanismId == 18 && e.connectionStatus == ConnectionStatus::Serial;
        usb500 |= e.mechanismId == 21 && e.connectionStatus == ConnectionStatus::Usb;
        problems.insert(e.connectionStatus);
    }
    EXPECT_TRUE(serial900);
    EXPECT_TRUE(usb500);
    for (const auto status :
         {ConnectionStatus::Paused, ConnectionStatus::Offline, ConnectionStatus::File,
          ConnectionStatus::SeparatorPage, ConnectionStatus::Network}) {
        EXPECT_TRUE(problems.contains(status)) << static_cast<int>(status);
    }
}

}  // namespace
}  // namespace kestrel
