#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>

#include "cli_test_support.h"
#include "logo/logo_job.h"
#include "logo_test_bitmaps.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::Cli;

QueueInfo Queue(std::string name, std::string driver, std::string port, PortKind kind) {
    QueueInfo q;
    q.name = std::move(name);
    q.driverName = std::move(driver);
    q.port = std::move(port);
    q.portKind = kind;
    return q;
}

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

void SetQueues(Cli& cli) {
    cli.fake.queues = {
        Queue("KR500", "ZOT KR-500 Raster", "usb://ZOT/KR-500", PortKind::Usb),
        Queue("Paused", "ZOT KR-900 Raster", "usb://ZOT/KR-900", PortKind::Usb),
        Queue("Laser", "Generic PostScript Printer", "usb://HP/Laser", PortKind::Usb),
    };
    cli.fake.queues[1].paused = true;
}

TEST(CliPrinters, JsonListsStatusIconAndTheSelectionsVerdict) {
    Cli cli;
    SetQueues(cli);
    ASSERT_EQ(cli.run({"printers", "--json"}), 0) << cli.err.str();
    const auto list = nlohmann::json::parse(cli.out.str());
    ASSERT_EQ(list.size(), 3u);
    struct Expect {
        std::string name;
        int status;
        int icon;
        bool usable;
        std::string message;
    };
    const Expect expected[] = {
        {"KR500", 8, 160, true, ""},
        {"Laser", 0, 162, false,
         "A different printer is selected.\n\nPlease select the KR-900, KR-700 or KR-500 "
         "printer."},
        {"Paused", 4, 163, false,
         "Pause Printing is set.\n\nRemove the check on Pause Printing after clicking OK "
         "button."},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(list[i]["name"], expected[i].name);
        EXPECT_EQ(list[i]["status"], expected[i].status) << expected[i].name;
        EXPECT_EQ(list[i]["icon"], expected[i].icon) << expected[i].name;
        EXPECT_EQ(list[i]["usable"], expected[i].usable) << expected[i].name;
        EXPECT_EQ(list[i]["message"], expected[i].message) << expected[i].name;
    }
}

TEST(CliPrinters, UnusableOrUnknownQueuesAreRefusedWithStatusThree) {
    struct Case {
        const char* queue;
        std::string message;
    };
    const Case cases[] = {
        {"Paused", "KESTREL: Pause Printing is set."},
        {"Laser", "KESTREL: A different printer is selected."},
        {"Gone",
         "there is no print queue named \"Gone\". Queues: \"KR500\", \"Laser\", "
         "\"Paused\"."},
    };
    for (const auto& c : cases) {
        Cli cli;
        SetQueues(cli);
        EXPECT_EQ(cli.run({"send", "--printer", c.queue, "--yes"}), 3) << c.queue;
        EXPECT_NE(cli.err.str().find(c.message), std::string::npos) << cli.err.str();
        EXPECT_TRUE(cli.fake.jobs.empty());
    }
}

TEST(CliSettings, SetThenShowRoundTripsAndRefusesUnknownNames) {
    Cli cli;
    const std::string file = cli.folder + "/shop.kcf";
    ASSERT_EQ(cli.run({"settings", "set", file.c_str(), "paper width=58MM/32COLUMN",
                       "BM Cut Adjustment=-34.0", "Buzzer=Enable"}),
              0)
        << cli.err.str();
    EXPECT_EQ(fs::file_size(file), 38u);

    Cli show;
    ASSERT_EQ(show.run({"settings", "show", file.c_str(), "--json"}), 0) << show.err.str();
    const auto doc = nlohmann::json::parse(show.out.str());
    std::map<std::string, nlohmann::json> byLabel;
    for (const auto& item : doc["settings"]) {
        byLabel[item["label"]] = item;
    }
    EXPECT_EQ(byLabel["Paper Width"]["index"], 5);
    EXPECT_EQ(byLabel["Paper Width"]["text"], "58mm/32column");
    EXPECT_EQ(byLabel["BM Cut Adjustment"]["value"], -340);
    EXPECT_EQ(byLabel["Buzzer"]["text"], "Enable");
    EXPECT_EQ(byLabel["Max Speed"]["text"], "9");  // untouched factory default

    const std::vector<std::pair<std::vector<const char*>, std::string>> refused{
        {{"Colour=Red"}, "Settings are: \"Power on Status\""},
        {{"Baudrate=300BPS"}, "Options are: \"2400BPS\", \"4800BPS\""},
        {{"BM Cut Adjustment=250.1"}, "-34.0 to 250.0"},
        {{"Buzzer"}, "is not LABEL=OPTION"},
    };
    for (const auto& [assignment, message] : refused) {
        Cli bad;
        std::vector<const char*> args{"settings", "set", file.c_str()};
        args.insert(args.end(), assignment.begin(), assignment.end());
        EXPECT_EQ(bad.run(args), 2);
        EXPECT_NE(bad.err.str().find(message), std::string::npos) << bad.err.str();
    }
    Cli after;
    after.run({"settings", "show", file.c_str(), "--json"});
    EXPECT_EQ(after.out.str(), show.out.str());  // refused edits changed nothing
}

TEST(CliSettings, SendRefusesAFileOutOfRangeInsteadOfSendingTheDefaults) {
    Cli cli;
    const std::string file = cli.folder + "/bad.kcf";
    ASSERT_EQ(cli.run({"settings", "set", file.c_str(), "Buzzer=Enable"}), 0);
    {
        std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(12);
        f.put(6);  // one past the last Paper Width option
    }
    Cli send;
    EXPECT_EQ(send.run({"send", "--printer", "KR500", "--settings", file.c_str(), "--yes"}), 1);
    EXPECT_TRUE(send.fake.jobs.empty());
    EXPECT_NE(send.err.str().find("(Paper Width)"), std::string::npos) << send.err.str();
}

TEST(CliLogo, RegisterSendsTheDefineCommandAndAMissingFileNeverOpensTheQueue) {
    Cli cli;
    const std::string bmp = cli.folder + "/logo.bmp";
    const auto bytes = testing::Make24Bit(10, 2, [](int x, int) {
        return x < 5 ? testing::Bgr{0, 0, 0} : testing::Bgr{255, 255, 255};
    });
    std::ofstream(bmp, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    ASSERT_EQ(
        cli.run({"logo", "register", "--printer", "KR500", "--slot", "2", "--yes", bmp.c_str()}), 0)
        << cli.err.str();
    LogoJobBuffer expected;
    ASSERT_EQ(ConvertLogoFile(bmp, 1, expected), BitmapReadResult::BMP_OK);
    ASSERT_EQ(cli.fake.jobs.size(), 1u);
    EXPECT_EQ(cli.fake.jobs[0].bytes, expected.data);

    Cli missing;
    EXPECT_EQ(missing.run({"logo", "register", "--printer", "KR500", "--slot", "2", "--yes",
                           "/no/such/logo.bmp"}),
              1);
    EXPECT_EQ(missing.fake.openCount, 0);
    EXPECT_NE(missing.err.str().find("Reading failure of BITMAP file.\n\n/no/such/logo.bmp\nThe "
                                     "BITMAP file doesn't exist."),
              std::string::npos)
        << missing.err.str();
}

TEST(CliLogo, PreviewWritesAPngOfTheDeclaredWidth) {
    Cli cli;
    const std::string bmp = cli.folder + "/logo.bmp";
    const std::string png = cli.folder + "/logo.png";
    const auto bytes = testing::Make24Bit(10, 3, [](int, int) { return testing::Bgr{0, 0, 0}; });
    std::ofstream(bmp, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    ASSERT_EQ(cli.run({"logo", "preview", bmp.c_str(), "-o", png.c_str()}), 0) << cli.err.str();
    const auto file = ReadAll(png);
    ASSERT_GT(file.size(), 24u);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 1, file.begin() + 4),
              (std::vector<std::uint8_t>{'P', 'N', 'G'}));
    // IHDR width and height, big-endian at offsets 16 and 20.
    EXPECT_EQ(file[19], 16);
    EXPECT_EQ(file[23], 3);
}

}  // namespace
}  // namespace kestrel
