// A KR printer receiving jobs: each stream is read command by command and applied to the printer's
// state as the printer would apply it. What the job prints (text lines, logos, the settings list)
// comes back with the job's errors.
//
// User-setup mode: fn 1 starts from the values in force, fn 3, 5 and 11 write into the pending
// values, fn 2 puts them in force (and resets the printer). Setup commands outside the mode and
// print commands inside it are ignored with an error. A job that ends in the mode leaves the
// printer in it, the values in force unchanged.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "emulator/printer_state.h"
#include "emulator/stream_commands.h"

namespace kestrel::emulator {

// Which settings the printer took from setup streams: switch bits written as '0' or '1', customize
// values and serial items, each only once its setup was left.
struct WrittenSettings {
    std::array<std::uint8_t, kSwitchNumbers.size()> switchBits{};
    std::array<bool, kCustomizeNumbers.size()> customize{};
    std::array<bool, 4> serial{};  // by SerialItem - 1

    void merge(const WrittenSettings& other);
    bool serialItem(SerialItem item) const { return serial.at(static_cast<std::size_t>(item) - 1); }
    bool operator==(const WrittenSettings&) const = default;
};

struct PrintedLine {
    std::string text;
};
// A logo as it comes out: the planes the print colour lays down, scaled by the print command.
struct PrintedGraphic {
    NvGraphic graphic;
    std::uint8_t scaleX = 1;
    std::uint8_t scaleY = 1;
};
struct PrintedSettingsList {
    std::string text;
};
using PrintedBlock = std::variant<PrintedLine, PrintedGraphic, PrintedSettingsList>;

// The paper between two cuts (or to the end of the job).
struct Printout {
    std::vector<PrintedBlock> blocks;
    bool cut = false;
};

struct JobResult {
    std::vector<Printout> printouts;
    std::vector<StreamError> errors;  // every error of the job, in stream order
};

class KrPrinter {
public:
    explicit KrPrinter(PrinterState state);

    JobResult receive(std::span<const std::uint8_t> stream);
    // The same for a stream already parsed (its bytes still alive).
    JobResult receive(std::span<const StreamItem> items, std::size_t streamSize);

    const PrinterState& state() const { return m_state; }
    PrinterState takeState() { return std::move(m_state); }
    // Settings taken since this object was made.
    const WrittenSettings& written() const { return m_written; }

private:
    struct Job;
    void apply(const StreamItem& item, Job& job);
    void applySetup(const StreamCommand& command, Job& job, std::size_t offset);
    void applyPrint(const StreamCommand& command, Job& job, std::size_t offset);
    void define(const DefineGraphic& command, Job& job, std::size_t offset);
    void printGraphic(const PrintGraphic& command, Job& job, std::size_t offset);

    PrinterState m_state;
    WrittenSettings m_written;
    WrittenSettings m_pendingWritten;
};

}  // namespace kestrel::emulator
