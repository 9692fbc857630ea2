#include "storage/atomic_file.h"

#include "storage/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

namespace kestrel {
namespace fs = std::filesystem;
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A temporary file beside the target; removed unless it has taken the target's place.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        m_file.reset();
        if (!m_path.empty()) {
            std::error_code ignored;
            fs::remove(m_path, ignored);
        }
    }

    // Creates a fresh file with a name nobody else uses; returns the errno of the failure or 0.
    int create(const fs::path& target) {
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const fs::path candidate = folder / ("." + target.filename().string() + "." +
                                                 std::to_string(random() % 1000000) + ".tmp");
            // "x": create only, never open an existing file.
            m_file.reset(std::fopen(candidate.c_str(), "wbx"));
            if (m_file) {
                m_path = candidate;
                return 0;
            }
            if (errno != EEXIST) {
                return errno;
            }
        }
        return EEXIST;
    }

    // Writes, flushes to the disk and closes; returns the errno of the failure or 0.
    int writeAndClose(std::span<const std::uint8_t> bytes) {
        std::FILE* f = m_file.get();
        if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fflush(f) != 0 ||
            fsync(fileno(f)) != 0) {
            return errno != 0 ? errno : EIO;
        }
        if (std::fclose(m_file.release()) != 0) {
            return errno != 0 ? errno : EIO;
        }
        return 0;
    }

    const fs::path& path() const { return m_path; }
    void keep() { m_path.clear(); }

private:
    FilePtr m_file;
    fs::path m_path;
};

// Makes the rename itself durable; a folder that cannot be synced still holds the new file.
void SyncFolder(const fs::path& target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (FilePtr dir{std::fopen(folder.c_str(), "r")}) {
        fsync(fileno(dir.get()));
    }
}

constexpr fs::perms kAnyWrite =
    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

// Whether an existing target may be replaced: a folder or a file without any write permission
// (the read-only attribute, honoured even for a privileged user) is refused, and so is a file the
// user may not write.
SystemErrorCode CheckReplaceable(const fs::path& target, const fs::file_status& status) {
    if (fs::is_directory(status)) {
        return syserr::AccessDenied;
    }
    if ((status.permissions() & kAnyWrite) == fs::perms::none) {
        return syserr::AccessDenied;
    }
    if (access(target.c_str(), W_OK) != 0) {
        return SystemErrorFromErrno(errno);
    }
    return syserr::Success;
}

// The new file takes the old one's mode, and its owner and group when we may give them (root).
void KeepModeAndOwner(const fs::path& temp, const fs::path& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0) {
        return;
    }
    ::chmod(temp.c_str(), old.st_mode & 07777);
    if (::geteuid() == 0) {
        [[maybe_unused]] const int ignored = ::chown(temp.c_str(), old.st_uid, old.st_gid);
    }
}

int RenameReplacing(const fs::path& from, const fs::path& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// "Create new" must not replace a file that appeared after the check: the rename itself refuses.
int RenameNoReplace(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // A file system without the flag: a hard link fails just the same when the name is taken.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno;
    }
    ::unlink(from.c_str());
    return 0;
}

// Not atomic, so used only where a temporary file cannot be made: the bytes overwrite the file
// and it is cut to their length.
SystemErrorCode WriteInPlace(const fs::path& target, std::span<const std::uint8_t> bytes) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return SystemErrorFromErrno(errno);
    }
    std::size_t done = 0;
    int err = 0;
    while (done < bytes.size() && err == 0) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR) {
            err = errno;
        } else if (n > 0) {
            done += static_cast<std::size_t>(n);
        }
    }
    if (err == 0 && (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || ::fsync(fd) != 0)) {
        err = errno;
    }
    if (::close(fd) != 0 && err == 0) {
        err = errno;
    }
    return err == 0 ? syserr::Success : SystemErrorFromErrno(err);
}

}  // namespace

FileHead ReadFileHead(const fs::path& path, std::size_t maxBytes) {
    FileHead head;
    int error = 0;
    const auto file = RegularFile::open(path, error);
    if (!file) {
        return head;
    }
    head.bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(maxBytes, file->size())));
    const auto got = file->readAt(0, head.bytes);
    if (!got) {
        head.bytes.clear();
        head.status = FileHead::Status::ReadFailed;
        return head;
    }
    head.bytes.resize(*got);
    head.status = FileHead::Status::Read;
    return head;
}

SystemErrorCode WriteFileAtomically(const fs::path& path, std::span<const std::uint8_t> bytes,
                                    CreateMode mode, const std::function<void()>& beforeRename) {
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        if (fs::path resolved = fs::weakly_canonical(target, ec); !ec) {
            target = resolved;
        }
    }
    const fs::file_status status = fs::status(target, ec);
    const bool exists = fs::exists(status);
    if (exists) {
        if (mode == CreateMode::CreateNew) {
            return syserr::FileExists;
        }
        if (const SystemErrorCode refused = CheckReplaceable(target, status)) {
            return refused;
        }
    }

    TemporaryFile temp;
    if (const int err = temp.create(target)) {
        // A writable file in a folder the user may not write to can still be rewritten in place.
        if (exists && err == EACCES) {
            return WriteInPlace(target, bytes);
        }
        return SystemErrorFromErrno(err);
    }
    if (exists) {
        KeepModeAndOwner(temp.path(), target);
    }
    if (const int err = temp.writeAndClose(bytes)) {
        return SystemErrorFromErrno(err);
    }
    if (beforeRename) {
        beforeRename();
    }
    if (const int err = mode == CreateMode::CreateNew ? RenameNoReplace(temp.path(), target)
                                                      : RenameReplacing(temp.path(), target)) {
        return SystemErrorFromErrno(err);
    }
    temp.keep();
    SyncFolder(target);
    return syserr::Success;
}

}  // namespace kestrel
