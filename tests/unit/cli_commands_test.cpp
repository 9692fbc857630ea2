// kestrel-cli run in-process against a fake print system: each command and every refusal.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli_app.h"
#include "logo/logo_job.h"
#include "logo_test_bitmaps.h"
#include "platform/platform.h"
#include "ports/testing/fake_print_system.h"
#include "ports/testing/recording_host_port.h"
#include "ports/testing/recording_ui.h"
#include "settings/factory_defaults.h"
#include "settings/setting_encoder.h"
#include "settings/setting_options.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::Hex;

// Lends the test's fake to the tool, which owns its print system.
class Borrowed final : public PrintSystem {
public:
    explicit Borrowed(PrintSystem& inner) : m_inner(inner) {}
    std::vector<QueueInfo> listQueues() override { return m_inner.listQueues(); }
    std::unique_ptr<OpenQueue> openQueue(const std::string& name) override {
        return m_inner.openQueue(name);
    }
    std::string listingError() const override { return m_inner.listingError(); }

private:
    PrintSystem& m_inner;
};

// kestrel-cli with its own start-up folder (no profile, no working configuration) and three
// queues: a KR-500, a paused KR-900 and a laser printer.
struct Cli {
    testing::FakePrintSystem fake;
    testing::ScratchFolder scratch;
    std::string folder = scratch.path().string();
    testing::RecordingClock clock;
    std::istringstream in;
    std::ostringstream out, err;

    Cli() {
        fake.queues = {
            {"KR500", "ZOT KR-500 Raster", "usb://ZOT/KR-500", PortKind::Usb, false},
            {"Paused", "ZOT KR-900 Raster", "usb://ZOT/KR-900", PortKind::Usb, true},
            {"Laser", "Generic PostScript Printer", "usb://HP/Laser", PortKind::Usb, false}};
    }
    template <typename Bytes>
    std::string file(const std::string& name, const Bytes& bytes) const {
        testing::WriteAll(scratch / name, bytes);
        return (scratch / name).string();
    }
    // An argument "@name" stands for that file in the start-up folder.
    int run(std::vector<std::string> args, const std::string& input = {}) {
        in.str(input);
        cli::CliApp app(in, out, err);
        app.setClock(clock);
        if (fakeSystem) {
            app.setPlatformFactory([this](const cli::GlobalOptions&, std::ostream&) {
                cli::Platform platform;
                platform.printSystem = std::make_unique<Borrowed>(fake);
                platform.hostPortStore = std::make_unique<testing::RecordingHostPortStore>();
                platform.serialLine = std::make_unique<testing::RecordingSerialLine>();
                return std::optional<cli::Platform>(std::move(platform));
            });
        }
        args.insert(args.begin(), {"kestrel-cli", "--folder", folder});
        std::vector<const char*> argv;
        for (std::string& a : args) {
            a = a.starts_with('@') ? folder + "/" + a.substr(1) : a;
            argv.push_back(a.c_str());
        }
        return app.run(static_cast<int>(argv.size()), argv.data());
    }
    bool fakeSystem = true;  // else the platform the options name
    bool errHas(const std::string& text) const { return err.str().find(text) != std::string::npos; }
    bool outHas(const std::string& text) const { return out.str().find(text) != std::string::npos; }
};

std::vector<std::uint8_t> Kr500Stream(SettingJobKind kind, std::uint8_t baud = 6) {
    SettingsRecord r = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::KR500);
    r[offset::Baudrate] = baud;
    return BuildSettingStream(kind, r, {}, kNonSerialHostPort);
}

const std::string kPaused = "Pause Printing is set.";

TEST(CliRun, RefusalsGiveTheirExitCodeAndMessageAndSendNothing) {
    // The arguments joined by '|', the terminal input, the exit code, a text of the error
    // output, the jobs sent.
    struct Case {
        std::string args, input;
        int exitCode;
        std::string errorHas;
        std::size_t jobs = 0;
    };
    // clang-format off
    const Case cases[] = {
        // Queues: unusable or unknown; settings edits and files.
        {"send|--printer|Paused|--yes", "", 3, "KESTREL: " + kPaused},
        {"send|--printer|Gone|--yes", "", 3, "named \"Gone\". Queues: \"KR500\", \"Laser\", \"Paused\"."},
        {"settings|set|@a.kcf|Colour=Red", "", 2, "Settings are: \"Power on Status\""},
        {"settings|set|@a.kcf|Baudrate=300BPS", "", 2, "Options are: \"2400BPS\", \"4800BPS\""},
        {"settings|set|@a.kcf|BM Cut Adjustment=250.1", "", 2, "-34.0 to 250.0"},
        {"settings|set|@a.kcf|BM Cut Adjustment=nan", "", 2, "not \"nan\""},
        {"settings|set|@a.kcf|Buzzer", "", 2, "is not LABEL=OPTION"},
        {"settings|set|@a.kcf| Paper Width = 58mm/32column ", "", 0, ""},
        {"settings|set|@" + std::string(300, 'x') + "|Buzzer=Enable", "", 1, "File name too long"},
        {"settings|show|/no/such.kcf", "", 1, "/no/such.kcf: cannot be read"},
        {"settings|set|@short.kcf|Buzzer=Enable", "", 1, "short.kcf: not a settings file (38-byte record)"},
        {"send|--printer|KR500|--settings|@bad.kcf|--yes", "", 1, "(Paper Width)"},
        // The question on the terminal: only a yes sends.
        {"init|--printer|KR500", "n\n", 1, "Nothing was sent."},
        {"init|--printer|KR500", "", 1, "Do you want to change all settings to the factory default"},
        {"init|--printer|KR500", " Y \r\n", 0, "", 1},
        // A failed job (the fake's start of document fails on "fail"), an unwritable target.
        {"send|--printer|KR500|--yes|fail", "", 1, "KESTREL: Printer Error!!  Check the printer.\n"},
        {"send|--printer|KR500|--yes|unreachable", "", 3, "cannot be reached: connection refused"},
        {"send|--printer|KR500|-y|--dry-run|/nonexistent/x.bin", "", 1, "/nonexistent/x.bin: cannot be written"},
        // Usage.
        {"send", "", 2, "Usage: kestrel-cli send --printer NAME [--settings FILE.kcf] [--save]"},
        {"init|--printer|KR500|--settings|x.kcf", "", 2, "Usage: kestrel-cli init --printer NAME [--yes]"},
        {"bogus", "", 2, "unknown command \"bogus\"; commands: printers"},
        {"", "", 2, "Usage: kestrel-cli [global options] COMMAND"},
        {"-h", "", 0, ""},
        {"--print-system|virtual|printers", "", 2, "needs --virtual-config FILE"},
        {"list-print|--printer|KR500|--yes|--serial-wait|5", "", 2, "--serial-wait"},
        {"logo|print|--printer|KR500|--slot|9", "", 2, "Usage: kestrel-cli logo print --printer"},
        {"logo|register|--printer|KR500|--slot|2|--yes|/no/such/logo.bmp", "", 1, "logo.bmp\nThe"},
        // Decoding: a stream whose leave command is cut short, a folder.
        {"decode|@cut.prn", "", 1, "cut.prn: offset 158: GS ( E: cut short by the end of the stream"},
        {"decode|@", "", 1, "/: cannot be read"},
    };
    // clang-format on
    SettingsRecord outOfRange = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::KR500);
    outOfRange[offset::PaperWidth] = 6;  // one past the last option
    std::string cut = testing::kSendWorkedExample;
    cut.resize(cut.size() - 3);
    for (const Case& c : cases) {
        Cli cli;
        SCOPED_TRACE(c.args + " <" + c.input);
        cli.file("bad.kcf", outOfRange);
        cli.file("cut.prn", Hex(cut));
        cli.file("short.kcf", std::vector<std::uint8_t>(37, 0));
        std::vector<std::string> args = testing::Split(c.args);
        if (!args.empty() && args.back() == "fail") {
            args.pop_back();
            cli.fake.failAt = testing::FailStep::StartDocument;
        } else if (!args.empty() && args.back() == "unreachable") {
            args.pop_back();
            cli.fake.unreachable = "connection refused";
        }
        EXPECT_EQ(cli.run(args, c.input), c.exitCode) << cli.err.str();
        EXPECT_TRUE(cli.errHas(c.errorHas)) << cli.err.str();
        EXPECT_EQ(cli.fake.jobs.size(), c.jobs);
        EXPECT_FALSE(cli.outHas("Settings the printer takes")) << cli.out.str();
    }
}

// The verdict's texts are the selection's own; here only that an unusable queue has one.
TEST(CliPrinters, JsonListsStatusIconAndTheSelectionsVerdict) {
    Cli cli;
    ASSERT_EQ(cli.run({"printers", "--json"}), 0) << cli.err.str();
    nlohmann::json got = nlohmann::json::array();
    for (const auto& q : nlohmann::json::parse(cli.out.str())) {
        got.push_back({q["name"], q["status"], q["icon"], q["usable"], q["message"] != ""});
    }
    EXPECT_EQ(got, nlohmann::json({{"KR500", 8, 160, true, false},
                                   {"Laser", 0, 162, false, true},
                                   {"Paused", 4, 163, false, true}}));
}

// The tool's own platform: a queue file read, a missing or overlong name refused without an abort.
TEST(CliPrinters, TheVirtualPrintSystemListsTheQueuesOfItsFile) {
    Cli cli;
    cli.fakeSystem = false;
    cli.file("printers.ini", std::string("capture = jobs\n[KR900]\ndriver = ZOT KR-900 Raster\n"));
    const std::tuple<std::string, int, std::string> cases[] = {
        {"printers.ini", 0, "KR900\n    driver  ZOT KR-900 Raster"},
        {"none.ini", 1, "none.ini: no such queue description file"},
        {std::string(300, 'x'), 1, "xx: no such queue description file"}};
    for (const auto& [name, code, text] : cases) {
        cli.out.str("");
        cli.err.str("");
        EXPECT_EQ(
            cli.run({"--print-system", "virtual", "--virtual-config", "@" + name, "printers"}),
            code);
        EXPECT_TRUE(cli.outHas(text) || cli.errHas(text)) << cli.out.str() << cli.err.str();
    }
}

// A refused edit of an existing file changes nothing; Max Speed keeps its factory default.
TEST(CliSettings, SetThenShowRoundTripsAndShowWithoutAFileGivesTheDefaults) {
    Cli cli;
    ASSERT_EQ(cli.run({"settings", "set", "@shop.kcf", "paper width=58MM/32COLUMN",
                       "BM Cut Adjustment=-34.0", "Buzzer=Enable"}),
              0)
        << cli.err.str();
    EXPECT_EQ(cli.run({"settings", "set", "@shop.kcf", "Buzzer=Loud"}), 2);
    EXPECT_TRUE(cli.errHas("\"Loud\" is not an option of \"Buzzer\"")) << cli.err.str();
    cli.out.str("");
    ASSERT_EQ(cli.run({"settings", "show", "@shop.kcf", "--json"}), 0);
    std::map<std::string, nlohmann::json> s;
    const auto doc = nlohmann::json::parse(cli.out.str());
    for (const auto& item : doc["settings"]) {
        s[item["label"]] = item;
    }
    EXPECT_EQ(
        std::tuple(s["Paper Width"]["index"], s["Paper Width"]["text"],
                   s["BM Cut Adjustment"]["value"], s["Buzzer"]["text"], s["Max Speed"]["text"]),
        std::tuple(5, "58mm/32column", -340, "Enable", "9"));
    cli.out.str("");
    ASSERT_EQ(cli.run({"settings", "show"}), 0) << cli.err.str();
    EXPECT_TRUE(cli.outHas("# factory defaults (no ")) << cli.out.str();
    EXPECT_TRUE(cli.outHas("Max Speed             9\n")) << cli.out.str();
}

TEST(CliLogo, RegisterSendsTheDefineCommandAndPreviewWritesAPng) {
    Cli cli;
    const std::string bmp =
        cli.file("logo.bmp", testing::Make24Bit(10, 3, [](int x, int) {
                     return x < 5 ? testing::Bgr{} : testing::Bgr{255, 255, 255};
                 }));
    ASSERT_EQ(cli.run({"logo", "register", "--printer", "KR500", "--slot", "2", "--yes", bmp}), 0)
        << cli.err.str();
    LogoJobBuffer expected;
    ASSERT_EQ(ConvertLogoFile(bmp, 1, expected), BitmapReadResult::BMP_OK);
    EXPECT_EQ(cli.fake.jobs.at(0).bytes, expected.data);

    ASSERT_EQ(cli.run({"logo", "preview", bmp, "-o", "@logo.png"}), 0) << cli.err.str();
    const std::vector<std::uint8_t> png = testing::ReadAll(cli.scratch / "logo.png");
    ASSERT_GT(png.size(), 24u);
    // The signature, then the big-endian width and height of IHDR: the width of the planes' bytes.
    EXPECT_EQ(std::tuple(std::string(png.begin() + 1, png.begin() + 4), int{png[19]}, int{png[23]}),
              std::tuple("PNG", 16, 3));
}

TEST(CliDecode, TheSettingExampleCarriesTheBaseDefaultRecord) {
    Cli cli;
    const std::string file = cli.file("send.prn", Hex(testing::kSendWorkedExample));
    ASSERT_EQ(cli.run({"decode", file, "--json"}), 0) << cli.err.str();
    const auto doc = nlohmann::json::parse(cli.out.str());
    EXPECT_EQ(doc["size"], 167);
    EXPECT_TRUE(doc["errors"].empty());
    // Everything but the cut adjustment, which only an Egypt stream carries.
    EXPECT_EQ(doc["settings"].size(), AllSettings().size() - 1);
    ASSERT_EQ(cli.run({"decode", file}), 0);
    EXPECT_TRUE(cli.outHas("    76  GS ( E fn 11: baud rate 115200: Baudrate: 115200BPS\n"));
    EXPECT_TRUE(cli.outHas("  Format                 8NONE1\n")) << cli.out.str();
}

// A dry run writes the exact bytes, sends nothing, and saves no working configuration.
TEST(CliJobCommands, SendInitAndListSendTheStreamsOfTheQueuesModel) {
    SettingsRecord record = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::KR500);
    record[offset::Baudrate] = 2;
    const std::pair<std::string, std::vector<std::uint8_t>> cases[] = {
        {"send", Kr500Stream(SettingJobKind::SendSettings)},
        {"init", Kr500Stream(SettingJobKind::InitializePrinter)},
        {"list-print", {kSettingsListStream.begin(), kSettingsListStream.end()}},
        {"send|--settings|@shop.kcf|--save|--dry-run|@job.bin",
         Kr500Stream(SettingJobKind::SendSettings, 2)},
    };
    for (const auto& [command, bytes] : cases) {
        SCOPED_TRACE(command);
        Cli cli;
        cli.file("shop.kcf", record);
        std::vector<std::string> args = testing::Split(command);
        args.insert(args.begin() + 1, {"--printer", "KR500", "--yes"});
        EXPECT_EQ(cli.run(args), 0) << cli.err.str();
        const bool dry = command.ends_with("job.bin");
        ASSERT_EQ(cli.fake.jobs.size(), dry ? 0u : 1u);
        if (dry) {
            EXPECT_EQ(testing::ReadAll(cli.scratch / "job.bin"), bytes);
            EXPECT_TRUE(cli.outHas("Job written to " + cli.folder + "/job.bin")) << cli.out.str();
            EXPECT_FALSE(fs::exists(cli.scratch / "kestrel.ini"));
        } else {
            EXPECT_EQ(std::tie(cli.fake.jobs[0].bytes, cli.fake.jobs[0].queue),
                      std::tie(bytes, "KR500"));
            EXPECT_TRUE(cli.outHas("Job sent to KR500\n")) << cli.out.str();
        }
    }
}

// Only a scheduler on this machine has its serial devices here; termios is applied only then.
TEST(CliSerialFollowUp, OnlyALocalSchedulerIsLocal) {
    const std::pair<const char*, bool> cases[] = {
        {"", true},    {"/run/cups/cups.sock", true}, {"127.0.0.1:631", true}, {"[::1]:631", true},
        {"::1", true}, {"printhost:631", false},      {"[fe80::1]:631", false}};
    for (const auto& [server, local] : cases) {
        EXPECT_EQ(SchedulerIsLocal(server), local) << server;
    }
}

}  // namespace
}  // namespace kestrel
