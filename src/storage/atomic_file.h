// The two file accesses of the settings files: reading the head of a file, and writing a whole
// small file so that a crash, a full disk or a killed process never leaves it half-written: the
// bytes go to a temporary file in the same folder, reach the disk, and only then replace the
// target by a rename.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

#include "storage/file_errors.h"

namespace kestrel {

struct FileHead {
    enum class Status { Read, CannotOpen, ReadFailed };
    Status status = Status::CannotOpen;
    std::vector<std::uint8_t> bytes;  // at most the bytes asked for, fewer at the end of the file
};

// Reads up to maxBytes from the start of an existing regular file.
FileHead ReadFileHead(const std::filesystem::path& path, std::size_t maxBytes);

enum class CreateMode {
    CreateNew,        // fails with FileExists when the target is there
    ReplaceExisting,  // replaces a writable target; a read-only one is refused (AccessDenied)
};

// Writes bytes as the whole content of path. Returns Success, or the code of the first failure,
// in which case the target is as it was. A symbolic link is followed: the file it names is
// replaced. beforeRename runs after the temporary file is on disk and closed, just before it takes
// the target's place (tests use it to stop the process there).
SystemErrorCode WriteFileAtomically(const std::filesystem::path& path,
                                    std::span<const std::uint8_t> bytes, CreateMode mode,
                                    const std::function<void()>& beforeRename = {});

}  // namespace kestrel
