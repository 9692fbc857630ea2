// Writes that a crash or a refusal never leave half done, file heads, refused-access messages.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "ports/testing/recording_ui.h"
#include "settings/profile.h"
#include "state/app_state.h"
#include "storage/atomic_file.h"
#include "storage/file_errors.h"
#include "storage/working_config.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::ScratchFolder;
using testing::WriteAll;

const std::vector<std::uint8_t> kOld(38, 0x11);
const std::vector<std::uint8_t> kNew(38, 0x22);
const std::vector<std::uint8_t> kShort(20, 0x33);
const std::string kDenied =
    "Access to a disk or folder was refused.\nChange the disk or the folder.";
constexpr auto kReplace = CreateMode::ReplaceExisting;

// Runs body in a child process and returns its wait status.
template <typename Body>
int InChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

// Killed before the rename, the old file is whole and the new bytes had fully reached their own.
TEST(AtomicWrite, ProcessKilledBeforeTheRenameLeavesTheOldFileWhole) {
    ScratchFolder folder;
    const auto target = folder / "kestrel.ini";
    WriteAll(target, kOld);
    const int status =
        InChild([&] { WriteFileAtomically(target, kNew, kReplace, [] { raise(SIGKILL); }); });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(ReadAll(target), kOld);
    int complete = 0;
    for (const auto& name : folder.names()) {
        complete += name != "kestrel.ini" && ReadAll(folder / name) == kNew;
    }
    EXPECT_EQ(complete, 1);
}

// A file size limit below 38 bytes makes the write itself fail.
TEST(AtomicWrite, FailedWriteIsReportedAndLeavesNoTemporaryFile) {
    ScratchFolder folder;
    const auto target = folder / "a.kcf";
    WriteAll(target, kOld);
    const int status = InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{10, 10};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(WriteFileAtomically(target, kNew, kReplace) == syserr::Success ? 1 : 0);
    });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "reported as success";
    EXPECT_EQ(ReadAll(target), kOld);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"a.kcf"});
}

// Create new never replaces, not even a file that turns up between the check and the rename;
// a replaced file keeps its mode, a link stays a link, and a folder in the way is a refusal.
TEST(AtomicWrite, CreateNewNeverReplacesAndReplaceKeepsModeAndLink) {
    ScratchFolder folder;
    const auto target = folder / "a.kcf";
    fs::create_directory(folder / "dir.kcf");
    EXPECT_EQ(WriteFileAtomically(folder / "dir.kcf", kNew, kReplace), syserr::AccessDenied);
    EXPECT_EQ(
        WriteFileAtomically(target, kNew, CreateMode::CreateNew, [&] { WriteAll(target, kOld); }),
        syserr::FileExists);
    EXPECT_EQ(WriteFileAtomically(target, kNew, CreateMode::CreateNew), syserr::FileExists);
    EXPECT_EQ(ReadAll(target), kOld);
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, mode);
    fs::create_symlink(target, folder / "link.kcf");
    EXPECT_EQ(WriteFileAtomically(folder / "link.kcf", kNew, kReplace), syserr::Success);
    EXPECT_TRUE(fs::is_symlink(folder / "link.kcf"));
    EXPECT_EQ(ReadAll(target), kNew);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, mode);
    EXPECT_EQ(folder.names().size(), 3u);
}

// As an ordinary user (nobody, when the tests run as root): a writable file in a folder without
// write permission is rewritten in place; a file root replaces keeps its owner.
TEST(AtomicWrite, ReadOnlyFolderAndForeignOwner) {
    ScratchFolder folder;
    const auto target = folder / "kestrel.ini";
    WriteAll(target, kOld);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
        EXPECT_EQ(WriteFileAtomically(target, kNew, kReplace), syserr::Success);
        struct stat st {};
        ASSERT_EQ(stat(target.c_str(), &st), 0);
        EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(65534u, 65534u));
        ASSERT_EQ(chown(folder.path().c_str(), 65534, 65534), 0);
    }
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const int status = InChild([&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(2);
        }
        _exit(WriteFileAtomically(target, kShort, kReplace) == syserr::Success ? 0 : 1);
    });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadAll(target), kShort);  // cut to the new length
}

// A named pipe where a settings file belongs would block, a device never ends: neither is read,
// and start-up with both of its files as pipes goes on with the defaults.
TEST(FileHead, OnlyRegularFilesAreRead) {
    ScratchFolder dir;
    ASSERT_EQ(::mkfifo((dir / "kestrel.ini").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir / "kestspec.ini").c_str(), 0600), 0);
    for (const fs::path& path : {fs::path("/dev/zero"), dir / "kestrel.ini"}) {
        EXPECT_EQ(ReadFileHead(path, 38).status, FileHead::Status::CannotOpen) << path;
    }
    AppState state;
    state.startupFolder = dir.path().string();
    state.profile.specIndex = SpecIndex::QWB;
    testing::RecordingUserInterface ui;
    NoSettingsView view;
    ReadProfile(state);
    ReadWorkingConfig(state, ui, view);
    EXPECT_EQ(state.profile.specIndex, ProfileState{}.specIndex);
}

// The errno of a refusal gives its own text (none for some codes and OS levels), any other
// failure the caller's text; every box is a stop box of the main window.
TEST(FileErrors, ReportShowsTheRefusalTextOrTheCallersOwn) {
    const std::string protectedText =
        "Specified disk or folder is protected.\nChange the disk or the folder.";
    const struct {
        int errorNumber, osLevel;
        SystemErrorCode code;
        std::vector<std::string> texts;
    } cases[] = {
        {0, 0, syserr::Success, {"own"}},
        {EACCES, 5, 5, {kDenied}},
        {EISDIR, 0, 5, {kDenied}},
        {EROFS, 4, 19, {protectedText}},
        {EROFS, 5, 19, {}},
        {EINTR, 0, 1235, {}},
        {ENOTDIR, 0, 3, {"own"}},
        {EIO, 0, syserr::UnmappedBit | EIO, {"own"}},
    };
    for (const auto& c : cases) {
        const SystemErrorCode code = SystemErrorFromErrno(c.errorNumber);
        EXPECT_EQ(code, c.code) << c.errorNumber;
        testing::RecordingUserInterface ui;
        ReportFileAccessError(ui, code, c.osLevel, "own");
        EXPECT_EQ(ui.boxTexts(), c.texts) << c.errorNumber;
        for (const auto& box : ui.boxes) {
            EXPECT_EQ(std::tie(box.icon, box.buttons, box.owner),
                      std::tuple(BoxIcon::Stop, Buttons::Ok, Owner::MainWindow));
        }
    }
    EXPECT_TRUE(IsRefusalCode(65));
    EXPECT_EQ(FileAccessErrorMessage(65, 0),
              "Access to a network drive was refused.\nChange the disk or the folder.");
}

}  // namespace
}  // namespace kestrel
