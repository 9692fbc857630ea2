// What the fuzz targets share: a check that stops the run at once, and a file of their own.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace kestrel::fuzz {

inline void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// NAME in a new private temporary folder.
inline std::filesystem::path TempFile(const char* name) {
    std::string folder = (std::filesystem::temp_directory_path() / "kestrel-fuzz-XXXXXX").string();
    Check(mkdtemp(folder.data()) != nullptr);
    return std::filesystem::path(folder) / name;
}

}  // namespace kestrel::fuzz
