// Where a virtual printer keeps itself, and one job received by it: the state file is read (or the
// printer starts as it left the factory), the job applied, the state written back, and what the
// job printed written beside it: a text page per settings list, a PNG per length of paper.
//
// Two processes may drive one printer (two queues on one folder, a backend and a tool): a job
// holds an exclusive lock on the state file's folder from reading to writing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/kr_printer.h"

namespace kestrel::emulator {

struct PrinterFiles {
    std::filesystem::path stateFile;
    // Printouts are this path with "-list.txt" (settings lists) or ".png" (paper) added; a job
    // that prints more than once numbers the later ones ("-2.png").
    std::filesystem::path outputStem;
};

// The state file's name in a printer folder.
inline constexpr std::string_view kStateFileName = "printer.json";

// The folder of a device URI "kestrel-printer:/folder" (also "kestrel-printer:///folder"),
// %-escapes decoded; nothing for any other URI or a relative path.
std::optional<std::filesystem::path> KestrelPrinterFolder(std::string_view deviceUri);

// A queue's printer: in the folder of its kestrel-printer: device URI, else in the capture folder
// as "<queue>.printer.json" (the name %-escaped where it is not a plain file name).
PrinterFiles QueuePrinterFiles(std::string_view queueName, std::string_view deviceUri,
                               const std::filesystem::path& captureFolder,
                               std::string_view jobStem);

struct LoadedPrinter {
    PrinterState state;
    bool fresh = false;                  // no state file yet: as it left the factory
    std::optional<std::string> problem;  // the file could not be used (then fresh as well)
};

// A printer never written to is the factory state of mechanismIdForNew.
LoadedPrinter LoadPrinter(const std::filesystem::path& stateFile, std::uint32_t mechanismIdForNew);

struct ReceivedJob {
    JobResult result;
    std::vector<std::filesystem::path> outputs;
    std::vector<std::string> problems;  // files that could not be read or written
};

ReceivedJob ReceiveJob(const PrinterFiles& files, std::span<const std::uint8_t> job,
                       std::uint32_t mechanismIdForNew);

}  // namespace kestrel::emulator
