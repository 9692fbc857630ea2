#include "cli/settings_commands.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstring>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "settings/factory_defaults.h"
#include "settings/profile.h"
#include "settings/setting_options.h"
#include "settings/text.h"
#include "storage/atomic_file.h"
#include "storage/working_config.h"

namespace kestrel::cli {
namespace {

// Why a settings file could not be opened, in the words a user acts on.
std::string ReadFailureReason(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        return "no such file";
    }
    if (ec) {
        return ec.message();
    }
    if (std::filesystem::is_directory(status)) {
        return "it is a folder";
    }
    if (!std::filesystem::is_regular_file(status)) {
        return "not a regular file";
    }
    return "permission denied";
}

std::string WriteFailureReason(SystemErrorCode code, int osLevel) {
    if (const auto text = FileAccessErrorMessage(code, osLevel)) {
        return std::string(*text);
    }
    switch (code) {
        case syserr::DiskFull:
            return "the disk is full";
        case syserr::FileNameTooLong:
            return "the name is too long";
        case syserr::PathNotFound:
            return "the folder does not exist";
        default:
            return (code & syserr::UnmappedBit) != 0
                       ? std::strerror(static_cast<int>(code & ~syserr::UnmappedBit))
                       : "system error " + std::to_string(code);
    }
}

std::string CutAdjustmentText(std::int16_t tenths) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::fixed << std::setprecision(1) << tenths / 10.0 << " mm";
    return text.str();
}

std::string ValueText(const SettingDescription& setting, const SettingsRecord& record) {
    if (setting.options.empty()) {
        return CutAdjustmentText(BmCutAdjustment(record));
    }
    const unsigned index = record[setting.offset];
    if (const auto text = OptionText(setting, index)) {
        return std::string(*text);
    }
    return "(" + std::to_string(index) + ": not an option)";
}

std::string Joined(std::span<const std::string_view> items, std::string_view quote = "\"") {
    std::string out;
    for (const auto& item : items) {
        if (!out.empty()) {
            out += ", ";
        }
        out.append(quote).append(item).append(quote);
    }
    return out;
}

std::string AllLabels() {
    std::vector<std::string_view> labels;
    for (const auto& s : AllSettings()) {
        labels.push_back(s.label);
    }
    return Joined(labels);
}

// Parses "-34.0" .. "250.0" (millimetres, one decimal) into tenths of a millimetre.
std::optional<std::int16_t> ParseCutAdjustment(std::string_view text) {
    std::string s(text);
    if (s.size() > 3 && EqualsIgnoreCase(s.substr(s.size() - 2), "mm")) {
        s.resize(s.size() - 2);
    }
    while (!s.empty() && s.back() == ' ') {
        s.pop_back();
    }
    double mm = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), mm);
    // from_chars takes "nan" and "inf"; neither is a distance.
    if (ec != std::errc{} || end != s.data() + s.size() || !std::isfinite(mm)) {
        return std::nullopt;
    }
    const double tenths = std::round(mm * 10.0);
    if (std::abs(mm * 10.0 - tenths) > 1e-6 || tenths < kBmCutAdjustmentMin ||
        tenths > kBmCutAdjustmentMax) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(tenths);
}

}  // namespace

// ---- settings show ----

std::string SettingsShowCommand::usage() const {
    return "settings show [FILE.kcf] [--printer NAME] [--json]";
}

CLI::App* SettingsShowCommand::setup(CLI::App& parent) {
    CLI::App* sub = parent.add_subcommand(
        "show", "Print every setting of a settings file, or of the working configuration");
    sub->add_option("file", m_file, "Settings file (default: the working configuration)");
    sub->add_option("-p,--printer", m_printer,
                    "Read the settings as the program would for this queue's printer (model "
                    "adjustment, bounds, the PC's serial line); without it they are shown as "
                    "stored");
    sub->add_flag("--json", m_json, "Print JSON for scripts");
    return sub;
}

int SettingsShowCommand::execute(CliEnvironment& env) {
    AppState state;
    TerminalUserInterface ui(env.in, env.err, true);
    NoSettingsView view;
    std::string source;

    if (!m_printer.empty()) {
        SessionOptions options;
        options.printer = m_printer;
        options.settingsFile = m_file;
        if (const auto stop = PrepareSession(env, env.platform(), options, state, ui, view)) {
            return *stop;
        }
        source = m_file.empty() ? WorkingConfigPath(state).string() : m_file;
    } else {
        state.startupFolder = env.startupFolder();
        ReadProfile(state);
        source = m_file.empty() ? WorkingConfigPath(state).string() : m_file;
        const FileHead head = ReadFileHead(source, kSettingsRecordSize);
        if (head.status != FileHead::Status::Read) {
            if (!m_file.empty()) {
                env.err << "kestrel-cli: " << source
                        << ": cannot be read: " << ReadFailureReason(source) << '\n';
                return kExitFailed;
            }
            // No working configuration yet: the program would start from the factory defaults.
            LoadFactoryDefaults(state);
            source = "factory defaults (no " + source + ")";
        } else if (head.bytes.size() < kSettingsRecordSize) {
            env.err << "kestrel-cli: " << source << ": " << head.bytes.size()
                    << " bytes, too short for a settings record (38 bytes)\n";
            return kExitFailed;
        } else {
            std::copy_n(head.bytes.begin(), kSettingsRecordSize, state.settings.begin());
        }
    }

    const SettingsRecord& record = state.settings;
    if (m_json) {
        nlohmann::ordered_json settings = nlohmann::ordered_json::array();
        for (const auto& s : AllSettings()) {
            nlohmann::ordered_json item{{"label", s.label}, {"offset", s.offset}};
            if (s.options.empty()) {
                item["value"] = BmCutAdjustment(record);
                item["unit"] = "0.1 mm";
            } else {
                item["index"] = record[s.offset];
            }
            item["text"] = ValueText(s, record);
            settings.push_back(std::move(item));
        }
        nlohmann::ordered_json doc{{"source", source}, {"settings", settings}};
        env.out << doc.dump(2) << '\n';
        return kExitOk;
    }
    env.out << "# " << source << '\n';
    for (const auto& s : AllSettings()) {
        env.out << std::left << std::setw(22) << s.label << ValueText(s, record) << '\n';
    }
    return kExitOk;
}

// ---- settings set ----

std::string SettingsSetCommand::usage() const {
    return "settings set FILE.kcf LABEL=OPTION [LABEL=OPTION...]";
}

CLI::App* SettingsSetCommand::setup(CLI::App& parent) {
    CLI::App* sub = parent.add_subcommand(
        "set", "Change settings in a settings file (created from the factory defaults when new)");
    sub->add_option("file", m_file, "Settings file to edit")->required();
    sub->add_option("assignments", m_assignments,
                    "LABEL=OPTION pairs, e.g. \"Paper Width=58mm/32column\" \"BM Cut "
                    "Adjustment=-2.5\"")
        ->required();
    return sub;
}

int SettingsSetCommand::execute(CliEnvironment& env) {
    AppState state;
    state.startupFolder = env.startupFolder();
    ReadProfile(state);

    const FileHead head = ReadFileHead(m_file, kSettingsRecordSize);
    bool created = false;
    if (head.status == FileHead::Status::Read && head.bytes.size() >= kSettingsRecordSize) {
        std::copy_n(head.bytes.begin(), kSettingsRecordSize, state.settings.begin());
    } else if (head.status == FileHead::Status::CannotOpen) {
        std::error_code ec;
        if (std::filesystem::exists(m_file, ec) || ec) {
            // There, but not readable as a file (a folder, a pipe, no permission, a bad name).
            env.err << "kestrel-cli: " << m_file
                    << ": cannot be read: " << ReadFailureReason(m_file) << '\n';
            return kExitFailed;
        }
        LoadFactoryDefaults(state);
        created = true;
    } else {
        env.err << "kestrel-cli: " << m_file << ": not a settings file (38-byte record)\n";
        return kExitFailed;
    }

    for (const std::string& assignment : m_assignments) {
        const auto eq = assignment.find('=');
        if (eq == std::string::npos) {
            env.err << "kestrel-cli: \"" << assignment << "\" is not LABEL=OPTION\n";
            return kExitUsage;
        }
        const std::string label(Trim(std::string_view(assignment).substr(0, eq)));
        const std::string value(Trim(std::string_view(assignment).substr(eq + 1)));
        const SettingDescription* setting = FindSetting(label);
        if (!setting) {
            env.err << "kestrel-cli: unknown setting \"" << label
                    << "\". Settings are: " << AllLabels() << '\n';
            return kExitUsage;
        }
        if (setting->options.empty()) {
            const auto tenths = ParseCutAdjustment(value);
            if (!tenths) {
                env.err << "kestrel-cli: \"" << setting->label
                        << "\" takes millimetres from -34.0 to 250.0 in steps of 0.1, not \""
                        << value << "\"\n";
                return kExitUsage;
            }
            SetBmCutAdjustment(state.settings, *tenths);
            continue;
        }
        const auto option = std::ranges::find_if(
            setting->options, [&](std::string_view o) { return EqualsIgnoreCase(o, value); });
        if (option == setting->options.end()) {
            env.err << "kestrel-cli: \"" << value << "\" is not an option of \"" << setting->label
                    << "\". Options are: " << Joined(setting->options) << '\n';
            return kExitUsage;
        }
        state.settings[setting->offset] =
            static_cast<std::uint8_t>(option - setting->options.begin());
    }

    const SystemErrorCode code =
        WriteFileAtomically(m_file, state.settings, CreateMode::ReplaceExisting);
    if (code != syserr::Success) {
        env.err << "kestrel-cli: " << m_file
                << ": cannot be written: " << WriteFailureReason(code, state.osLevel) << '\n';
        return kExitFailed;
    }
    env.out << (created ? "Created " : "Updated ") << m_file << '\n';
    return kExitOk;
}

// ---- settings ----

std::string SettingsCommand::usage() const {
    return "settings show|set ...";
}

CLI::App* SettingsCommand::setup(CLI::App& parent) {
    CLI::App* sub = parent.add_subcommand("settings", "Show or edit settings files");
    sub->require_subcommand(1);
    m_showApp = m_show.setup(*sub);
    m_setApp = m_set.setup(*sub);
    return sub;
}

int SettingsCommand::execute(CliEnvironment& env) {
    if (m_showApp->parsed()) {
        return m_show.execute(env);
    }
    if (m_setApp->parsed()) {
        return m_set.execute(env);
    }
    return kExitUsage;
}

}  // namespace kestrel::cli
