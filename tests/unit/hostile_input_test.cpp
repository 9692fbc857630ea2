// Input a till installer never means to give but sometimes does: pipes and devices where a file
// belongs, remote schedulers, and typing slips. (Hostile bitmap fields are in the reader's table.)
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "cli_test_support.h"
#include "logo/bitmap_reader.h"
#include "platform/platform.h"
#include "ports/testing/recording_ui.h"
#include "settings/profile.h"
#include "storage/atomic_file.h"
#include "storage/working_config.h"
#include "storage_test_support.h"

namespace kestrel {
namespace {

using testing::TempFolder;

// Every reader of outside files refuses a named pipe (which would block) and a device (which
// never ends) instead of reading it.
TEST(HostileInput, OnlyRegularFilesAreRead) {
    TempFolder dir;
    ASSERT_EQ(::mkfifo((dir / "kestrel.ini").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir / "kestspec.ini").c_str(), 0600), 0);
    for (const char* path : {"/dev/zero", "/dev/null"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(ReadFileHead(path, 38).status, FileHead::Status::CannotOpen);
        EXPECT_EQ(ReadLogoBitmap(path, false).result, BitmapReadResult::BMP_UNREADABLE);
    }
    EXPECT_EQ(ReadFileHead(dir / "kestrel.ini", 38).status, FileHead::Status::CannotOpen);
    EXPECT_EQ(ReadLogoBitmap(dir / "kestrel.ini", false).result, BitmapReadResult::BMP_UNREADABLE);
    EXPECT_EQ(ReadLogoBitmap(dir.path(), false).result, BitmapReadResult::BMP_NOT_FOUND);
    EXPECT_EQ(ReadLogoBitmap(dir / "none.bmp", false).result, BitmapReadResult::BMP_NOT_FOUND);

    // Start-up with both of its files as pipes goes on with the defaults.
    AppState state;
    state.startupFolder = dir.path().string();
    testing::RecordingUserInterface ui;
    NoSettingsView view;
    ReadProfile(state);
    ReadWorkingConfig(state, ui, view);
    EXPECT_EQ(state.profile.specIndex, ProfileState{}.specIndex);
}

TEST(HostileInput, CommandLineSlips) {
    struct Case {
        std::vector<const char*> args;
        std::string input;
        int exitCode;
        std::string errorHas;
    };
    const std::string longName(300, 'x');
    const Case cases[] = {
        {{"settings", "set", "a.kcf", "BM Cut Adjustment=nan"}, "", 2, "not \"nan\""},
        {{"settings", "set", "a.kcf", "BM Cut Adjustment=inf"}, "", 2, "not \"inf\""},
        {{"settings", "set", "a.kcf", " Paper Width = 58mm/32column "}, "", 0, ""},
        {{"settings", "set", longName.c_str(), "Paper Width=58mm/32column"},
         "",
         1,
         "File name too long"},
        {{"send", "--printer", "KR500"}, " y \n", 0, ""},
        {{"send", "--printer", "KR500"}, "y\r\n", 0, ""},
        {{"send", "--printer", "KR500"}, "nope\n", 1, "Nothing was sent"},
        {{"bogus"}, "", 2, "unknown command \"bogus\""},
        {{"-h"}, "", 0, ""},
        {{"send", "--printer", "KR500", "-y", "--dry-run", "/nonexistent/x.bin"},
         "",
         1,
         "/nonexistent/x.bin: cannot be written"},
        {{"logo", "print", "--printer", "KR500", "--slot", "9"},
         "",
         2,
         "Usage: kestrel-cli logo print --printer"},
    };
    for (const Case& c : cases) {
        testing::Cli cli;
        const std::string joined = c.args.back() + std::string(" <") + c.input;
        SCOPED_TRACE(joined);
        auto args = c.args;
        const std::string file = cli.folder + "/a.kcf";
        if (std::string(args[0]) == "settings" && std::string(args[2]) == "a.kcf") {
            args[2] = file.c_str();
        }
        EXPECT_EQ(cli.run(args, c.input), c.exitCode) << cli.err.str();
        EXPECT_NE(cli.err.str().find(c.errorHas), std::string::npos) << cli.err.str();
        if (std::string(args[0]) == "send") {
            EXPECT_EQ(cli.fake.jobs.size(), c.exitCode == 0 ? 1u : 0u);
        }
    }
}

// Only a scheduler on this machine has its serial devices here; termios is applied only then.
TEST(HostileInput, RemoteSchedulersAreNotLocal) {
    const std::pair<const char*, bool> cases[] = {
        {"", true},
        {"/run/cups/cups.sock", true},
        {"localhost", true},
        {"127.0.0.1:631", true},
        {"[::1]:631", true},
        {"::1", true},
        {"printhost", false},
        {"printhost:631", false},
        {"10.0.0.5:631", false},
        {"[fe80::1]:631", false},
    };
    for (const auto& [server, local] : cases) {
        EXPECT_EQ(SchedulerIsLocal(server), local) << server;
    }
}

TEST(HostileInput, ADryRunSaveKeepsTheWorkingConfiguration) {
    testing::Cli cli;
    const std::string out = cli.folder + "/job.bin";
    EXPECT_EQ(cli.run({"send", "--printer", "KR500", "-y", "--save", "--dry-run", out.c_str()}), 0);
    EXPECT_FALSE(std::filesystem::exists(cli.folder + "/kestrel.ini"));
    EXPECT_TRUE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace kestrel
