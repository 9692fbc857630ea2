#include "cli/decode_command.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <ostream>

#include "emulator/kr_printer.h"
#include "emulator/settings_decoder.h"
#include "emulator/settings_list_page.h"
#include "emulator/stream_description.h"
#include "emulator/stream_parser.h"
#include "settings/setting_options.h"

namespace kestrel::cli {
namespace {

using namespace kestrel::emulator;

std::optional<std::vector<std::uint8_t>> ReadWhole(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

// The settings the stream put in force, one entry per setting (the cut adjustment once).
std::vector<const SettingDescription*> SettingsSet(const RecordBytes& carried) {
    std::vector<const SettingDescription*> set;
    for (const SettingDescription& s : AllSettings()) {
        if (carried.test(s.offset)) {
            set.push_back(&s);
        }
    }
    return set;
}

}  // namespace

CLI::App* DecodeCommand::setup(CLI::App& parent) {
    CLI::App* sub = parent.add_subcommand(
        "decode",
        "Read a captured job (a --dry-run file, a capture) as the printer would: every command in "
        "words with its offset, and the settings it sets; exit status 1 when it is malformed");
    sub->add_option("file", m_file, "The job's bytes")->required();
    sub->add_flag("--json", m_json, "Print JSON for scripts");
    return sub;
}

int DecodeCommand::execute(CliEnvironment& env) {
    const auto bytes = ReadWhole(m_file);
    if (!bytes) {
        env.err << "kestrel-cli: " << m_file << ": cannot be read\n";
        return kExitFailed;
    }
    const std::vector<StreamItem> items = ParseStream(*bytes);
    KrPrinter printer(FactoryPrinterState(0));
    const JobResult job = printer.receive(items, bytes->size());
    const RecordBytes carried = CarriedBytes(printer.written());
    const DecodedSettings decoded = DecodeSettings(printer.state().settings);
    const auto set = SettingsSet(carried);

    if (m_json) {
        nlohmann::ordered_json commands = nlohmann::ordered_json::array();
        for (const StreamItem& item : items) {
            commands.push_back({{"offset", item.offset},
                                {"length", item.length},
                                {"command", CommandName(item)},
                                {"description", DescribeCommand(item)}});
        }
        nlohmann::ordered_json settings = nlohmann::ordered_json::array();
        for (const SettingDescription* s : set) {
            nlohmann::ordered_json entry{{"label", s->label}, {"offset", s->offset}};
            if (s->options.empty()) {
                entry["value"] = BmCutAdjustment(decoded.record);
            } else {
                entry["index"] = decoded.record[s->offset];
            }
            entry["text"] = SettingValueText(s->offset, decoded.record);
            settings.push_back(std::move(entry));
        }
        nlohmann::ordered_json errors = nlohmann::ordered_json::array();
        for (const StreamError& e : job.errors) {
            errors.push_back(
                {{"offset", e.offset},
                 {"message", e.message},
                 {"cause", e.cause == StreamError::Cause::Memory ? "memory" : "stream"}});
        }
        nlohmann::ordered_json doc{{"file", m_file},
                                   {"size", bytes->size()},
                                   {"commands", commands},
                                   {"settings", settings},
                                   {"errors", errors}};
        env.out << doc.dump(2) << '\n';
    } else {
        env.out << m_file << ": " << bytes->size() << " bytes, " << items.size()
                << (items.size() == 1 ? " command\n" : " commands\n");
        for (const StreamItem& item : items) {
            const auto lines = DescribeCommand(item);
            const std::size_t indent = 8 + CommandName(item).size() + 2;
            env.out << std::setw(6) << item.offset << "  " << lines.front() << '\n';
            for (std::size_t i = 1; i < lines.size(); ++i) {
                env.out << std::string(indent, ' ') << lines[i] << '\n';
            }
        }
        if (!set.empty()) {
            env.out << "Settings the printer takes from this stream:\n";
            for (const SettingDescription* s : set) {
                env.out << "  " << std::left << std::setw(22) << s->label << std::right << ' '
                        << SettingValueText(s->offset, decoded.record) << '\n';
            }
        }
    }
    // The decoding printer starts empty: a logo the stream prints but does not define may well
    // be in the real printer's memory, so that is a note, not a fault of the stream.
    bool malformed = false;
    for (const StreamError& e : job.errors) {
        const bool memory = e.cause == StreamError::Cause::Memory;
        malformed = malformed || !memory;
        env.err << "kestrel-cli: " << m_file << ": offset " << e.offset << ": "
                << (memory ? "note: in an empty printer: " : "") << e.message << '\n';
    }
    return malformed ? kExitFailed : kExitOk;
}

}  // namespace kestrel::cli
