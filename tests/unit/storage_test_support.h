// Real folders and files for the storage tests, removed when the test ends.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "settings/factory_defaults.h"
#include "state/app_state.h"

namespace kestrel::testing {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder() : m_path(fs::temp_directory_path() / ("kestrel-test-" + Random())) {
        fs::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return m_path; }
    fs::path operator/(const std::string& name) const { return m_path / name; }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(m_path)) {
            out.push_back(entry.path().filename().string());
        }
        return out;
    }

private:
    static std::string Random() { return std::to_string(std::random_device{}()); }
    fs::path m_path;
};

template <typename Bytes>
void WriteAll(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::uint8_t> Bytes(const SettingsRecord& record) {
    return {record.begin(), record.end()};
}

inline AppState StateFor(std::uint32_t mechanismId, bool egypt = false, bool taiwan = false) {
    AppState state;
    state.selectedPrinter().mechanismId = mechanismId;
    state.profile.egypt = egypt;
    state.profile.taiwan = taiwan;
    return state;
}

// The record LoadFactoryDefaults gives for this printer and profile.
inline SettingsRecord DefaultsFor(AppState state) {
    LoadFactoryDefaults(state);
    return state.settings;
}

// A sound record that no model adjustment changes (no black mark, slow speed) and that differs
// from every default record (print density 3).
inline SettingsRecord PlainRecord() {
    SettingsRecord r = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
    r[offset::MaxSpeed] = 2;
    r[offset::PrintDensity] = 3;
    r[offset::PneDetect] = 0;
    r[offset::Buzzer] = 0;
    return r;
}

}  // namespace kestrel::testing
