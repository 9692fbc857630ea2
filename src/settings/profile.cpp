#include "settings/profile.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <optional>

#include "ports/user_interface.h"
#include "settings/text.h"
#include "state/app_state.h"
#include "storage/regular_file.h"

namespace kestrel {
namespace {

constexpr std::array<std::string_view, 5> kSpecWords{"OVERSEA", "QMRA", "QWB", "QDN", "OVERSEA2"};
constexpr std::array<std::string_view, 6> kMechanismWords{"STANDARD",   "BLACKMARK", "FULLCUT",
                                                          "BLKMK_FCUT", "KR700",     "KR500"};

// A profile larger than this is not a profile; reading stops there.
constexpr std::size_t kProfileReadLimit = 1u << 20;

// Position of the first word that matches, or 0 when none does.
template <std::size_t N>
std::size_t WordIndex(const std::array<std::string_view, N>& words, std::string_view value) {
    for (std::size_t i = 0; i < N; ++i) {
        if (EqualsIgnoreCase(words[i], value)) {
            return i;
        }
    }
    return 0;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    const auto close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(line.substr(1, close - 1));
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

std::string ReadProfileValue(std::string_view contents, std::string_view section,
                             std::string_view key, std::string_view defaultValue) {
    bool inSection = false;
    bool sectionSeen = false;
    while (!contents.empty()) {
        const auto end = contents.find('\n');
        const std::string_view line = Trim(contents.substr(0, end));
        contents = end == std::string_view::npos ? std::string_view{} : contents.substr(end + 1);

        if (const auto name = SectionName(line)) {
            if (inSection) {
                break;  // only the first section of that name is searched
            }
            inSection = !sectionSeen && EqualsIgnoreCase(*name, section);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection) {
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos ||
            !EqualsIgnoreCase(Trim(line.substr(0, equals)), key)) {
            continue;
        }
        const std::string_view value = Unquote(Trim(line.substr(equals + 1)));
        return std::string(value.substr(0, kProfileValueMaxLength));
    }
    return std::string(defaultValue.substr(0, kProfileValueMaxLength));
}

void ReadProfile(ProfileState& profile, std::string_view contents) {
    const std::string spec = ReadProfileValue(contents, "SPEC", "SPECKEY", "OVERSEA");
    profile.specIndex = static_cast<SpecIndex>(WordIndex(kSpecWords, spec));

    const std::string debugMode = ReadProfileValue(contents, "DEBUG", "DEBUGMODE", "OFF");
    profile.debug = EqualsIgnoreCase(debugMode, "ON");
    if (profile.debug) {
        const std::string mech = ReadProfileValue(contents, "DEBUG", "DEBUGMECH", "STANDARD");
        profile.mechanismIndex = static_cast<MechanismIndex>(WordIndex(kMechanismWords, mech));
    }

    const std::string region = ReadProfileValue(contents, "MECH", "MECHSPEC", "");
    profile.egypt = EqualsIgnoreCase(region, "Egypt");
    profile.taiwan = EqualsIgnoreCase(region, "Taiwan");
}

void ReadProfile(AppState& state) {
    std::string contents;
    int error = 0;
    if (const auto file = RegularFile::open(
            std::filesystem::path(state.startupFolder) / kProfileFileName, error)) {
        contents.resize(kProfileReadLimit);
        const auto got = file->readAt(
            0, std::span(reinterpret_cast<std::uint8_t*>(contents.data()), contents.size()));
        contents.resize(got.value_or(0));
    }
    ReadProfile(state.profile, contents);
}

std::string_view SpecName(SpecIndex spec) {
    return kSpecWords.at(static_cast<std::size_t>(spec) % kSpecWords.size());
}

std::string_view MechanismName(MechanismIndex mechanism) {
    return kMechanismWords.at(static_cast<std::size_t>(mechanism) % kMechanismWords.size());
}

void ShowProfileDebugText(AppState& state, UserInterface& ui) {
    const ProfileState& p = state.profile;
    if (!p.debug) {
        return;
    }
    std::string text = "SPEC = ";
    text += SpecName(p.specIndex);
    text += "[" + std::to_string(static_cast<int>(p.specIndex)) + "] ";
    text += "\nMECH = ";
    text += MechanismName(p.mechanismIndex);
    text += "[" + std::to_string(static_cast<int>(p.mechanismIndex)) + "]";
    ReportMessage(ui, kUserIconStyle, text, BoxIcon::PrinterError, Owner::MainWindow);
}

}  // namespace kestrel
