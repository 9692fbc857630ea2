// Small helpers shared by the unit tests: hex bytes, a scratch folder and whole-file access.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <vector>

namespace kestrel::testing {

// Parses "18 1D 28" into bytes; "\"IN\"" style text is not accepted, keep tests in hex.
inline std::vector<std::uint8_t> Hex(const std::string& text) {
    std::vector<std::uint8_t> out;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        out.push_back(static_cast<std::uint8_t>(std::stoul(token, nullptr, 16)));
    }
    return out;
}

// The base default record sent with SendSettings, the Egypt flag clear, a host port at 8 bits.
inline const char* const kSendWorkedExample =
    "18 18 18 18 18 1D 28 45 03 00 01 49 4E "
    "1D 28 45 1C 00 03 01 30 30 32 30 30 31 30 31 02 32 32 32 32 32 32 32 31 08 30 32 31 32 32 "
    "32 32 32 "
    "1D 28 45 19 00 05 01 04 00 02 07 00 03 30 00 05 00 00 06 09 00 61 00 00 74 01 00 76 00 00 "
    "1D 28 45 08 00 0B 01 31 31 35 32 30 30 "
    "1D 28 45 03 00 0B 02 30 1D 28 45 03 00 0B 04 38 1D 28 45 03 00 0B 03 30 "
    "1D 28 45 0A 00 03 7E 30 30 31 31 30 31 31 31 "
    "1D 28 45 0A 00 03 7F 30 32 30 30 30 32 32 31 "
    "1D 28 45 0A 00 03 7D 32 32 32 32 32 32 32 30 "
    "1D 28 45 04 00 02 4F 55 54";

template <typename Bytes>
void WriteAll(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// "a|b|c" into its parts; an empty text gives none.
inline std::vector<std::string> Split(const std::string& joined, char bar = '|') {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < joined.size();) {
        const std::size_t end = std::min(joined.find(bar, at), joined.size());
        out.push_back(joined.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

// A fresh folder under the system's temporary folder, removed (write access restored first)
// when the test ends.
class ScratchFolder {
public:
    ScratchFolder()
        : m_path(std::filesystem::temp_directory_path() /
                 ("kestrel-test-" + std::to_string(std::random_device{}()) + "-" +
                  std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::filesystem::path write(const std::string& name,
                                std::span<const std::uint8_t> bytes) const {
        WriteAll(m_path / name, bytes);
        return m_path / name;
    }
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
            out.push_back(entry.path().filename().string());
        }
        return out;
    }

private:
    std::filesystem::path m_path;
};

}  // namespace kestrel::testing
