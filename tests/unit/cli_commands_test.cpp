// kestrel-cli run in-process against a fake print system: printers, settings, logo, decode and
// the send, init and list-print jobs.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli_test_support.h"
#include "logo/logo_job.h"
#include "logo_test_bitmaps.h"
#include "settings/factory_defaults.h"
#include "settings/setting_encoder.h"
#include "settings/setting_options.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::Cli;
using testing::Hex;

bool Has(const std::ostringstream& stream, const std::string& text) {
    return stream.str().find(text) != std::string::npos;
}

void SetQueues(Cli& cli) {
    cli.fake.queues = {
        testing::Queue("KR500", "ZOT KR-500 Raster", "usb://ZOT/KR-500"),
        testing::Queue("Paused", "ZOT KR-900 Raster", "usb://ZOT/KR-900"),
        testing::Queue("Laser", "Generic PostScript Printer", "usb://HP/Laser"),
    };
    cli.fake.queues[1].paused = true;
}

const std::string kOtherPrinter = "A different printer is selected.";
const std::string kPaused = "Pause Printing is set.";

TEST(CliPrinters, JsonListsStatusIconAndTheSelectionsVerdict) {
    Cli cli;
    SetQueues(cli);
    ASSERT_EQ(cli.run({"printers", "--json"}), 0) << cli.err.str();
    const auto list = nlohmann::json::parse(cli.out.str());
    const std::tuple<std::string, int, int, std::string> expected[] = {
        {"KR500", 8, 160, ""},
        {"Laser", 0, 162,
         kOtherPrinter + "\n\nPlease select the KR-900, KR-700 or KR-500 printer."},
        {"Paused", 4, 163,
         kPaused + "\n\nRemove the check on Pause Printing after clicking OK button."},
    };
    ASSERT_EQ(list.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& [name, status, icon, message] = expected[i];
        EXPECT_EQ(list[i]["name"], name);
        EXPECT_EQ(list[i]["status"], status) << name;
        EXPECT_EQ(list[i]["icon"], icon) << name;
        EXPECT_EQ(list[i]["usable"], message.empty()) << name;
        EXPECT_EQ(list[i]["message"], message) << name;
    }
}

TEST(CliPrinters, UnusableOrUnknownQueuesAreRefusedWithStatusThree) {
    const std::pair<const char*, std::string> cases[] = {
        {"Paused", "KESTREL: " + kPaused},
        {"Laser", "KESTREL: " + kOtherPrinter},
        {"Gone",
         "there is no print queue named \"Gone\". Queues: \"KR500\", \"Laser\", \"Paused\"."},
    };
    for (const auto& [queue, message] : cases) {
        Cli cli;
        SetQueues(cli);
        EXPECT_EQ(cli.run({"send", "--printer", queue, "--yes"}), 3) << queue;
        EXPECT_TRUE(Has(cli.err, message)) << cli.err.str();
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
    std::map<std::string, nlohmann::json> byLabel;
    const auto doc = nlohmann::json::parse(show.out.str());
    for (const auto& item : doc["settings"]) {
        byLabel[item["label"]] = item;
    }
    EXPECT_EQ(byLabel["Paper Width"]["index"], 5);
    EXPECT_EQ(byLabel["Paper Width"]["text"], "58mm/32column");
    EXPECT_EQ(byLabel["BM Cut Adjustment"]["value"], -340);
    EXPECT_EQ(byLabel["Buzzer"]["text"], "Enable");
    EXPECT_EQ(byLabel["Max Speed"]["text"], "9");  // untouched factory default

    const std::pair<const char*, std::string> refused[] = {
        {"Colour=Red", "Settings are: \"Power on Status\""},
        {"Baudrate=300BPS", "Options are: \"2400BPS\", \"4800BPS\""},
        {"BM Cut Adjustment=250.1", "-34.0 to 250.0"},
        {"Buzzer", "is not LABEL=OPTION"},
    };
    for (const auto& [assignment, message] : refused) {
        Cli bad;
        EXPECT_EQ(bad.run({"settings", "set", file.c_str(), assignment}), 2);
        EXPECT_TRUE(Has(bad.err, message)) << bad.err.str();
    }
    Cli after;
    after.run({"settings", "show", file.c_str(), "--json"});
    EXPECT_EQ(after.out.str(), show.out.str());  // refused edits changed nothing
}

TEST(CliSettings, ShowWithoutAFileGivesTheDefaultsAndAMissingFileFails) {
    Cli cli;
    ASSERT_EQ(cli.run({"settings", "show"}), 0) << cli.err.str();
    EXPECT_TRUE(Has(cli.out, "# factory defaults (no ")) << cli.out.str();
    EXPECT_TRUE(Has(cli.out, "Max Speed             9\n")) << cli.out.str();
    Cli missing;
    EXPECT_EQ(missing.run({"settings", "show", "/no/such.kcf"}), 1);
    EXPECT_TRUE(Has(missing.err, "/no/such.kcf: cannot be read")) << missing.err.str();
}

TEST(CliSettings, SendRefusesAFileOutOfRangeInsteadOfSendingTheDefaults) {
    Cli cli;
    SettingsRecord record = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::KR500);
    record[offset::PaperWidth] = 6;  // one past the last option
    const std::string file = cli.file("bad.kcf", record);
    EXPECT_EQ(cli.run({"send", "--printer", "KR500", "--settings", file.c_str(), "--yes"}), 1);
    EXPECT_TRUE(cli.fake.jobs.empty());
    EXPECT_TRUE(Has(cli.err, "(Paper Width)")) << cli.err.str();
}

TEST(CliLogo, RegisterSendsTheDefineCommandAndAMissingFileNeverOpensTheQueue) {
    Cli cli;
    const std::string bmp =
        cli.file("logo.bmp", testing::Make24Bit(10, 2, [](int x, int) {
                     return x < 5 ? testing::Bgr{0, 0, 0} : testing::Bgr{255, 255, 255};
                 }));
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
    EXPECT_TRUE(Has(missing.err,
                    "Reading failure of BITMAP file.\n\n/no/such/logo.bmp\nThe "
                    "BITMAP file doesn't exist."))
        << missing.err.str();
}

TEST(CliLogo, PreviewWritesAPngOfTheDeclaredWidth) {
    Cli cli;
    const std::string bmp = cli.file("logo.bmp", testing::Make24Bit(10, 3, [](int, int) {
                                         return testing::Bgr{0, 0, 0};
                                     }));
    const std::string png = cli.folder + "/logo.png";
    ASSERT_EQ(cli.run({"logo", "preview", bmp.c_str(), "-o", png.c_str()}), 0) << cli.err.str();
    std::ifstream f(png, std::ios::binary);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(f), {}};
    ASSERT_GT(file.size(), 24u);
    EXPECT_EQ(std::string(file.begin() + 1, file.begin() + 4), "PNG");
    // IHDR width and height, big-endian at offsets 16 and 20.
    EXPECT_EQ(file[19], 16);
    EXPECT_EQ(file[23], 3);
}

TEST(CliDecode, TheSettingExampleCarriesTheBaseDefaultRecord) {
    Cli cli;
    const std::string file = cli.file("send.prn", Hex(testing::kSendWorkedExample));
    ASSERT_EQ(cli.run({"decode", file.c_str(), "--json"}), 0) << cli.err.str();
    const auto doc = nlohmann::json::parse(cli.out.str());
    EXPECT_EQ(doc["size"], 167);
    EXPECT_TRUE(doc["errors"].empty());
    const SettingsRecord& base = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
    // Everything but the cut adjustment, which only an Egypt stream carries.
    EXPECT_EQ(doc["settings"].size(), AllSettings().size() - 1);
    for (const auto& s : doc["settings"]) {
        EXPECT_NE(s["label"], "BM Cut Adjustment");
        EXPECT_EQ(s["index"], base[s["offset"].get<std::size_t>()]) << s["label"];
    }
    Cli text;
    ASSERT_EQ(text.run({"decode", file.c_str()}), 0);
    EXPECT_TRUE(Has(text.out, "    76  GS ( E fn 11: baud rate 115200: Baudrate: 115200BPS\n"));
    EXPECT_TRUE(Has(text.out, "  Format                 8NONE1\n")) << text.out.str();
}

TEST(CliDecode, AMalformedStreamOrAMissingFileExitsOne) {
    Cli cli;
    std::string cut = testing::kSendWorkedExample;  // its leave command cut short
    cut.resize(cut.size() - 3);
    const std::string file = cli.file("cut.prn", Hex(cut));
    EXPECT_EQ(cli.run({"decode", file.c_str()}), 1);
    EXPECT_TRUE(Has(cli.err, file + ": offset 158: GS ( E: cut short by the end of the stream"))
        << cli.err.str();
    EXPECT_FALSE(Has(cli.out, "Settings the printer takes"));
    for (const std::string& path : {cli.folder + "/none.prn", cli.folder}) {
        Cli missing;
        EXPECT_EQ(missing.run({"decode", path.c_str()}), 1);
        EXPECT_TRUE(Has(missing.err, path + ": cannot be read")) << missing.err.str();
    }
}

std::vector<std::uint8_t> Kr500Stream(SettingJobKind kind, std::uint8_t baud = 6) {
    SettingsRecord r = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::KR500);
    r[offset::Baudrate] = baud;
    return BuildSettingStream(kind, r, {}, kNonSerialHostPort);
}

TEST(CliJobCommands, SendInitAndListSendTheStreamsOfTheQueuesModel) {
    const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
        {"send", Kr500Stream(SettingJobKind::SendSettings)},
        {"init", Kr500Stream(SettingJobKind::InitializePrinter)},
        {"list-print", {kSettingsListStream.begin(), kSettingsListStream.end()}},
    };
    for (const auto& [command, bytes] : cases) {
        Cli cli;
        EXPECT_EQ(cli.run({command, "--printer", "KR500", "--yes"}), 0) << cli.err.str();
        ASSERT_EQ(cli.fake.jobs.size(), 1u) << command;
        EXPECT_EQ(cli.fake.jobs[0].bytes, bytes) << command;
        EXPECT_EQ(cli.fake.jobs[0].queue, "KR500");
        EXPECT_TRUE(Has(cli.out, "Job sent to KR500\n")) << cli.out.str();
    }
}

// Without --yes the question is asked on the terminal; only a yes sends.
TEST(CliJobCommands, WithoutYesTheQuestionIsAsked) {
    const std::pair<std::string, int> cases[] = {{"\n", 1}, {"n\n", 1}, {"", 1}, {" Y\r\n", 0}};
    for (const auto& [input, status] : cases) {
        Cli cli;
        EXPECT_EQ(cli.run({"init", "--printer", "KR500"}, input), status) << input;
        EXPECT_EQ(cli.fake.jobs.size(), status == 0 ? 1u : 0u);
        EXPECT_TRUE(Has(cli.err, "Do you want to change all settings to the factory default"));
        EXPECT_EQ(Has(cli.err, "Nothing was sent."), status != 0) << cli.err.str();
    }
}

TEST(CliJobCommands, FailedJobPrintsItsMessageAndExitsOne) {
    Cli cli;
    cli.failAt = testing::FailStep::StartDocument;
    EXPECT_EQ(cli.run({"send", "--printer", "KR500", "--yes"}), 1);
    EXPECT_TRUE(Has(cli.err, "KESTREL: Printer Error!!  Check the printer.\n")) << cli.err.str();
}

TEST(CliJobCommands, BadArgumentsExitTwoWithAUsageLine) {
    const std::pair<std::vector<const char*>, std::string> cases[] = {
        {{"send"}, "Usage: kestrel-cli send --printer NAME [--settings FILE.kcf] [--save]"},
        {{"init", "--printer", "KR500", "--settings", "x.kcf"},
         "Usage: kestrel-cli init --printer NAME [--yes]"},
        {{"frobnicate"}, "unknown command \"frobnicate\"; commands: printers"},
        {{}, "Usage: kestrel-cli [global options] COMMAND"},
        {{"--print-system", "virtual", "printers"}, "needs --virtual-config FILE"},
    };
    for (const auto& [args, message] : cases) {
        Cli cli;
        EXPECT_EQ(cli.run(args), 2) << message;
        EXPECT_TRUE(Has(cli.err, message)) << cli.err.str();
    }
}

TEST(CliJobCommands, DryRunWritesTheExactBytesAndSendsNothing) {
    Cli cli;
    SettingsRecord record = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::KR500);
    record[offset::Baudrate] = 2;
    const std::string settings = cli.file("shop.kcf", record);
    const std::string out = cli.folder + "/job.bin";
    EXPECT_EQ(cli.run({"send", "--printer", "KR500", "--settings", settings.c_str(), "--yes",
                       "--dry-run", out.c_str()}),
              0)
        << cli.err.str();
    EXPECT_TRUE(cli.fake.jobs.empty());
    EXPECT_TRUE(Has(cli.out, "Job written to " + out));
    std::ifstream f(out, std::ios::binary);
    EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(f), {}),
              Kr500Stream(SettingJobKind::SendSettings, 2));
}

}  // namespace
}  // namespace kestrel
