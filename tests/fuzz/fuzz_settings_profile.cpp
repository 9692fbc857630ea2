// Feeds arbitrary bytes to the readers of the settings the user and the start-up folder supply:
// settings files, the working configuration, the profile, the arguments of `settings set` and the
// text typed into the cut adjustment edit. The first byte picks the reader (its top three bits)
// and the printer, the rest is the input. Whatever it holds, the profile must come out as valid
// indexes, a taken record must respect the bounds, and a file is changed only by a command that
// succeeds, to a record that a second run leaves as it is.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_app.h"
#include "fuzz_support.h"
#include "settings/factory_defaults.h"
#include "settings/page_rules.h"
#include "settings/profile.h"
#include "state/app_state.h"
#include "storage/range_check.h"
#include "storage/settings_file.h"
#include "storage/working_config.h"

namespace {

using namespace kestrel;
using fuzz::Check;
namespace fs = std::filesystem;

void FuzzProfile(std::string_view contents) {
    ProfileState profile;
    ReadProfile(profile, contents);
    Check(static_cast<int>(profile.specIndex) <= 4);
    Check(static_cast<int>(profile.mechanismIndex) <= 5);
    Check(!(profile.egypt && profile.taiwan));
    Check(ReadProfileValue(contents, "SPEC", "SPECKEY", "").size() <= kProfileValueMaxLength);
    // Section and key names taken from the file itself reach deeper into the matching.
    const std::string_view section = contents.substr(0, contents.size() / 3);
    const std::string_view key = contents.substr(contents.size() / 3, contents.size() / 3);
    Check(ReadProfileValue(contents, section, key, "D").size() <= kProfileValueMaxLength);
}

AppState StateFor(std::uint8_t selector) {
    constexpr std::uint32_t kIds[] = {16, 17, 18, 19, 20, 21, 240, 0};
    AppState state;
    state.selectedPrinter().mechanismId = kIds[selector & 7];
    state.profile.taiwan = (selector & 0x08) != 0;
    state.profile.egypt = !state.profile.taiwan && (selector & 0x10) != 0;
    state.profile.mechanismIndex = static_cast<MechanismIndex>(selector % 6);
    state.profile.specIndex = static_cast<SpecIndex>(selector % 5);
    return state;
}

void FuzzSettings(std::uint8_t selector, bool settingsFile, std::span<const std::uint8_t> bytes) {
    AppState state = StateFor(selector);
    if (settingsFile) {
        ApplySettingsFile(state, bytes);
    } else {
        ApplyWorkingConfig(state, bytes);
        ReplaceOutOfRangeSettings(state);
    }
    Check(SettingsInRange(state.settings, state.profile.taiwan));
}

std::optional<std::string> FileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int RunSettingsSet(const fs::path& file, const std::vector<std::string>& assignments) {
    const std::string folder = file.parent_path().string(), path = file.string();
    std::vector<const char*> argv{"kestrel-cli", "--folder", folder.c_str(),
                                  "settings",    "set",      path.c_str()};
    for (const std::string& a : assignments) {
        argv.push_back(a.c_str());
    }
    std::istringstream in;
    std::ostringstream out, err;
    cli::CliApp app(in, out, err);
    app.setPlatformFactory([](const cli::GlobalOptions&, std::ostream&) { return std::nullopt; });
    return app.run(static_cast<int>(argv.size()), argv.data());
}

// `settings set` on a new file or on the factory defaults, one argument per line of the input.
void FuzzSettingsSet(std::uint8_t selector, std::string_view text) {
    static const fs::path file = fuzz::TempFile("f.kcf");
    fs::remove(file);
    if ((selector & 1) != 0) {
        const SettingsRecord& defaults = FactoryDefaultRecord(SpecIndex{}, MechanismIndex{});
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(defaults.data()), defaults.size());
    }
    const auto before = FileText(file);
    std::vector<std::string> assignments;
    for (std::size_t start = 0; start <= text.size() && assignments.size() < 8;) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        assignments.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    const int code = RunSettingsSet(file, assignments);
    Check(code >= cli::kExitOk && code <= cli::kExitUsage);
    const auto after = FileText(file);
    if (code != cli::kExitOk || after == before) {
        Check(after == before);
        return;
    }
    Check(after && after->size() == kSettingsRecordSize);
    SettingsRecord record{};
    std::copy(after->begin(), after->end(), record.begin());
    Check(SettingsInRange(record, true));
    // Each value given is a fixed point: the same command again leaves the file as it is.
    Check(RunSettingsSet(file, assignments) == cli::kExitOk && FileText(file) == after);
}

// What typed text becomes in the cut adjustment edit: at most five characters that filter to
// themselves again, and a value in bounds that the edit shows and reads back unchanged.
void FuzzCutAdjustmentText(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 2) {
        return;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()) + 2, bytes.size() - 2);
    const FilteredText filtered = FilterCutAdjustmentText(text, bytes[0] % 8, bytes[1] % 8);
    Check(filtered.text.size() <= kCutAdjustmentMaxLength);
    Check(filtered.selectionStart >= 0 &&
          filtered.selectionStart <= static_cast<int>(filtered.text.size()));
    Check(filtered.selectionEnd >= 0 &&
          filtered.selectionEnd <= static_cast<int>(filtered.text.size()));
    Check(FilterCutAdjustmentText(filtered.text, 0, 0).text == filtered.text);
    for (const std::string_view typed : {text, std::string_view(filtered.text)}) {
        const std::int16_t tenths = CutAdjustmentFromText(typed);
        Check(tenths >= kBmCutAdjustmentMin && tenths <= kBmCutAdjustmentMax);
        Check(CutAdjustmentFromText(FormatCutAdjustment(tenths)) == tenths);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    const std::string_view text(reinterpret_cast<const char*>(rest.data()), rest.size());
    switch ((data[0] >> 5) % 5) {
        case 0:
            FuzzSettings(data[0], true, rest);
            break;
        case 1:
            FuzzSettings(data[0], false, rest);
            break;
        case 2:
            FuzzProfile(text);
            break;
        case 3:
            FuzzSettingsSet(data[0], text);
            break;
        default:
            FuzzCutAdjustmentText(rest);
            break;
    }
    return 0;
}
