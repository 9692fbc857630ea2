#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli_app.h"
#include "cli_test_support.h"
#include "settings/factory_defaults.h"
#include "settings/setting_encoder.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::Cli;
using testing::FailStep;

std::vector<std::uint8_t> Kr500Defaults(SettingJobKind kind) {
    SettingsRecord r = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::KR500);
    return BuildSettingStream(kind, r, {}, kNonSerialHostPort);
}

TEST(CliJobCommands, SendInitAndListSendTheStreamsOfTheQueuesModel) {
    struct Case {
        const char* command;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"send", Kr500Defaults(SettingJobKind::SendSettings)},
        {"init", Kr500Defaults(SettingJobKind::InitializePrinter)},
        {"list-print", {kSettingsListStream.begin(), kSettingsListStream.end()}},
    };
    for (const auto& c : cases) {
        Cli cli;
        EXPECT_EQ(cli.run({c.command, "--printer", "KR500", "--yes"}), 0) << cli.err.str();
        ASSERT_EQ(cli.ps->jobs.size(), 1u) << c.command;
        EXPECT_EQ(cli.ps->jobs[0].bytes, c.bytes) << c.command;
        EXPECT_EQ(cli.ps->jobs[0].queue, "KR500");
    }
}

TEST(CliJobCommands, WithoutYesTheQuestionIsAskedAndAnEmptyAnswerCancels) {
    Cli cli;
    EXPECT_EQ(cli.run({"init", "--printer", "KR500"}, "\n"), 1);
    EXPECT_TRUE(cli.ps->jobs.empty());
    EXPECT_NE(cli.err.str().find("Do you want to change all settings to the factory default"),
              std::string::npos);
    Cli yes;
    EXPECT_EQ(yes.run({"init", "--printer", "KR500"}, "y\n"), 0);
    EXPECT_EQ(yes.ps->jobs.size(), 1u);
}

TEST(CliJobCommands, FailedJobPrintsItsMessageAndExitsOne) {
    Cli cli;
    cli.failAt = FailStep::StartDocument;
    EXPECT_EQ(cli.run({"send", "--printer", "KR500", "--yes"}), 1);
    EXPECT_NE(cli.err.str().find("KESTREL: Printer Error!!  Check the printer."),
              std::string::npos);
}

TEST(CliJobCommands, BadArgumentsExitTwoWithAUsageLine) {
    const std::vector<std::vector<const char*>> cases{
        {"send"},
        {"send", "--printer"},
        {"init", "--printer", "KR500", "--settings", "x.kcf"},
        {"frobnicate"},
        {},
    };
    for (const auto& args : cases) {
        Cli cli;
        EXPECT_EQ(cli.run(args), 2);
        EXPECT_NE(cli.err.str().find("Usage: kestrel-cli"), std::string::npos) << cli.err.str();
    }
}

TEST(CliJobCommands, DryRunWritesTheExactBytesAndSendsNothing) {
    const fs::path dir = fs::temp_directory_path() / "kestrel-cli-dry-run";
    fs::create_directories(dir);
    const fs::path settings = dir / "shop.kcf";
    SettingsRecord record = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::KR500);
    record[offset::Baudrate] = 2;
    {
        std::ofstream f(settings, std::ios::binary);
        f.write(reinterpret_cast<const char*>(record.data()), 38);
    }
    const fs::path out = dir / "job.bin";
    Cli cli;
    EXPECT_EQ(cli.run({"send", "--printer", "KR500", "--settings", settings.c_str(), "--yes",
                       "--dry-run", out.c_str()}),
              0)
        << cli.err.str();
    EXPECT_TRUE(cli.ps->jobs.empty());
    std::ifstream f(out, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(f)), {});
    EXPECT_EQ(bytes,
              BuildSettingStream(SettingJobKind::SendSettings, record, {}, kNonSerialHostPort));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace kestrel
