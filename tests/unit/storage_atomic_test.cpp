#include "storage/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "storage_test_support.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempFolder;
using testing::WriteAll;

const std::vector<std::uint8_t> kOld(38, 0x11);
const std::vector<std::uint8_t> kNew(38, 0x22);

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

TEST(AtomicWrite, ProcessKilledBetweenWriteAndRenameLeavesTheOldFileWhole) {
    TempFolder folder;
    const auto target = folder / "kestrel.ini";
    WriteAll(target, kOld);
    const int status = InChild([&] {
        WriteFileAtomically(target, kNew, CreateMode::ReplaceExisting, [] { raise(SIGKILL); });
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_EQ(ReadAll(target), kOld);
    // The new bytes had fully reached a file of their own when the process died.
    int complete = 0;
    for (const auto& name : folder.names()) {
        complete += name != "kestrel.ini" && ReadAll(folder / name) == kNew;
    }
    EXPECT_EQ(complete, 1);
}

TEST(AtomicWrite, FailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    TempFolder folder;
    const auto target = folder / "a.kcf";
    WriteAll(target, kOld);
    // A file size limit below 38 bytes makes the write itself fail.
    const int status = InChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{10, 10};
        setrlimit(RLIMIT_FSIZE, &limit);
        const SystemErrorCode code = WriteFileAtomically(target, kNew, CreateMode::ReplaceExisting);
        _exit(code == syserr::Success ? 1 : 0);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failure was reported as success";
    EXPECT_EQ(ReadAll(target), kOld);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"a.kcf"});
}

TEST(AtomicWrite, CreateNewRefusesAnExistingFileAndReplaceKeepsItsMode) {
    TempFolder folder;
    const auto target = folder / "a.kcf";
    EXPECT_EQ(WriteFileAtomically(target, kOld, CreateMode::CreateNew), syserr::Success);
    EXPECT_EQ(WriteFileAtomically(target, kNew, CreateMode::CreateNew), syserr::FileExists);
    EXPECT_EQ(ReadAll(target), kOld);

    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(WriteFileAtomically(target, kNew, CreateMode::ReplaceExisting), syserr::Success);
    EXPECT_EQ(ReadAll(target), kNew);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"a.kcf"});
}

TEST(AtomicWrite, RefusedTargetsKeepTheirContent) {
    TempFolder folder;
    const auto readOnly = folder / "ro.kcf";
    WriteAll(readOnly, kOld);
    fs::permissions(readOnly, fs::perms::owner_read);
    fs::create_directory(folder / "dir.kcf");
    const struct {
        fs::path path;
        SystemErrorCode code;
    } cases[] = {
        {readOnly, syserr::AccessDenied},  // even for a privileged user
        {folder / "dir.kcf", syserr::AccessDenied},
        {folder / "missing" / "a.kcf", syserr::PathNotFound},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WriteFileAtomically(c.path, kNew, CreateMode::ReplaceExisting), c.code) << c.path;
    }
    EXPECT_EQ(ReadAll(readOnly), kOld);
}

TEST(AtomicWrite, ALinkedFileIsReplacedAndTheLinkStays) {
    TempFolder folder;
    fs::create_directory(folder / "real");
    WriteAll(folder / "real" / "a.kcf", kOld);
    fs::create_symlink(folder / "real" / "a.kcf", folder / "link.kcf");
    EXPECT_EQ(WriteFileAtomically(folder / "link.kcf", kNew, CreateMode::ReplaceExisting),
              syserr::Success);
    EXPECT_TRUE(fs::is_symlink(folder / "link.kcf"));
    EXPECT_EQ(ReadAll(folder / "real" / "a.kcf"), kNew);
}

// A file that turns up between the check and the rename is never replaced by "create new".
TEST(AtomicWrite, CreateNewLosesToAFileThatAppearedMeanwhile) {
    TempFolder folder;
    const auto target = folder / "a.kcf";
    EXPECT_EQ(
        WriteFileAtomically(target, kNew, CreateMode::CreateNew, [&] { WriteAll(target, kOld); }),
        syserr::FileExists);
    EXPECT_EQ(ReadAll(target), kOld);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"a.kcf"});
}

// Run as an ordinary user (nobody, when the tests run as root): a writable file in a folder
// without write permission is rewritten in place; a replaced file keeps its owner when root
// replaces it.
TEST(AtomicWrite, ReadOnlyFolderAndForeignOwner) {
    TempFolder folder;
    const auto target = folder / "kestrel.ini";
    WriteAll(target, kOld);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
        EXPECT_EQ(WriteFileAtomically(target, kNew, CreateMode::ReplaceExisting), syserr::Success);
        struct stat st {};
        ASSERT_EQ(stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
        ASSERT_EQ(chown(folder.path().c_str(), 65534, 65534), 0);
    }
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const int status = InChild([&] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(2);
        }
        _exit(WriteFileAtomically(target, kOld, CreateMode::ReplaceExisting) == syserr::Success
                  ? 0
                  : 1);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadAll(target), kOld);
}

TEST(ReadHead, StatusAndLength) {
    TempFolder folder;
    WriteAll(folder / "long", std::vector<std::uint8_t>(39, 7));
    WriteAll(folder / "empty", std::vector<std::uint8_t>{});
    fs::create_directory(folder / "dir");
    const struct {
        std::string name;
        FileHead::Status status;
        std::size_t size;
    } cases[] = {
        {"long", FileHead::Status::Read, 38},
        {"empty", FileHead::Status::Read, 0},
        {"dir", FileHead::Status::CannotOpen, 0},
        {"missing", FileHead::Status::CannotOpen, 0},
    };
    for (const auto& c : cases) {
        const FileHead head = ReadFileHead(folder / c.name, 38);
        EXPECT_EQ(head.status, c.status) << c.name;
        EXPECT_EQ(head.bytes.size(), c.size) << c.name;
    }
}

}  // namespace
}  // namespace kestrel
