// Reading files that come from outside: only a regular file is read. A named pipe, a device such
// as /dev/zero or a socket would block the program or feed it without end, so it is refused
// before a byte is read, and the open never waits on a pipe without a writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace kestrel {

class RegularFile {
public:
    // Opens path for reading. Fails with the errno value: ENOENT and EACCES from the system,
    // EISDIR for a folder, EINVAL for anything else that is not a regular file.
    static std::optional<RegularFile> open(const std::filesystem::path& path, int& error);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    // The file's length when it was opened.
    std::uint64_t size() const { return m_size; }
    // Reads up to buffer.size() bytes from offset on; fewer at the end of the file. Returns
    // nothing on a read error.
    std::optional<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const;

private:
    RegularFile(int fd, std::uint64_t size) : m_fd(fd), m_size(size) {}
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

}  // namespace kestrel
