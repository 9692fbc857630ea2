#include "storage/atomic_file.h"

#include "storage/regular_file.h"

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
        return SystemErrorFromErrno(err);
    }
    if (exists) {
        fs::permissions(temp.path(), status.permissions(), ec);  // the new file keeps the old mode
    }
    if (const int err = temp.writeAndClose(bytes)) {
        return SystemErrorFromErrno(err);
    }
    if (beforeRename) {
        beforeRename();
    }
    fs::rename(temp.path(), target, ec);
    if (ec) {
        return SystemErrorFromErrno(ec.value());
    }
    temp.keep();
    SyncFolder(target);
    return syserr::Success;
}

}  // namespace kestrel
