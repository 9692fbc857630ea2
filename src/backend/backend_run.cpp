#include "backend/backend_run.h"

#include <cups/backend.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>

#include "emulator/files/printer_folder.h"
#include "printer/printer_driver.h"
#include "settings/text.h"
#include "storage/atomic_file.h"

namespace kestrel::backend {
namespace {

namespace fs = std::filesystem;

// The stream errors worth a line each in the scheduler's log; the state keeps them all.
constexpr std::size_t kLoggedErrors = 10;

std::optional<unsigned> Number(const std::string& text, unsigned max) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const unsigned long value = std::stoul(text);
    return value <= max ? std::optional<unsigned>(static_cast<unsigned>(value)) : std::nullopt;
}

// The queue's driver, as its PPD names it: *NickName: "ZOT KR-500 Raster".
std::string NickName(const std::string& ppdFile) {
    std::ifstream in(ppdFile);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("*NickName:")) {
            const std::size_t open = line.find('"');
            const std::size_t close = line.find('"', open + 1);
            if (open != std::string::npos && close != std::string::npos) {
                return line.substr(open + 1, close - open - 1);
            }
        }
    }
    return {};
}

std::vector<std::uint8_t> ReadAll(std::istream& in) {
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int RunBackend(const std::vector<std::string>& args, const BackendEnvironment& environment,
               std::istream& jobStream, std::ostream& out, std::ostream& log) {
    if (args.empty()) {
        // Device discovery: the one device this backend offers, as "class uri make info".
        out << "direct kestrel-printer \"KESTREL\" \"KESTREL virtual KR printer\"\n";
        return CUPS_BACKEND_OK;
    }
    if (args.size() != 5 && args.size() != 6) {
        log << "Usage: kestrel-printer job-id user title copies options [file]\n";
        return CUPS_BACKEND_FAILED;
    }
    const auto folder = emulator::KestrelPrinterFolder(environment.deviceUri);
    if (!folder) {
        log << "ERROR: kestrel-printer: the device URI \"" << environment.deviceUri
            << "\" names no folder; use kestrel-printer:/FOLDER\n";
        return CUPS_BACKEND_STOP;
    }
    const auto jobId = Number(args[0], 999999999);
    if (!jobId) {
        log << "ERROR: kestrel-printer: \"" << args[0] << "\" is not a job id\n";
        return CUPS_BACKEND_FAILED;
    }

    std::vector<std::uint8_t> bytes;
    if (args.size() == 6) {
        // Given the file, the backend makes the copies, as device backends do.
        std::ifstream file(args[5], std::ios::binary);
        if (!file) {
            log << "ERROR: kestrel-printer: cannot read " << args[5] << '\n';
            return CUPS_BACKEND_FAILED;
        }
        const std::vector<std::uint8_t> one = ReadAll(file);
        for (unsigned copy = Number(args[3], 1000).value_or(1); copy > 0; --copy) {
            bytes.insert(bytes.end(), one.begin(), one.end());
        }
    } else {
        bytes = ReadAll(jobStream);
    }

    char stem[32];
    std::snprintf(stem, sizeof stem, "job-%06u", *jobId);
    std::error_code ec;
    fs::create_directories(*folder, ec);
    const fs::path capture = *folder / (std::string(stem) + ".prn");
    if (WriteFileAtomically(capture, bytes, CreateMode::ReplaceExisting) != syserr::Success) {
        log << "ERROR: kestrel-printer: cannot write " << capture.string() << '\n';
        return CUPS_BACKEND_FAILED;
    }

    const std::uint32_t mechanismId = environment.ppdFile.empty()
                                          ? mechanism::Standard
                                          : MechanismIdFromDriver(NickName(environment.ppdFile));
    const emulator::PrinterFiles files{*folder / emulator::kStateFileName, *folder / stem};
    const emulator::ReceivedJob received = emulator::ReceiveJob(files, bytes, mechanismId);

    const auto& errors = received.result.errors;
    for (std::size_t i = 0; i < errors.size() && i < kLoggedErrors; ++i) {
        log << "WARNING: kestrel-printer: offset " << errors[i].offset << ": " << errors[i].message
            << '\n';
    }
    if (errors.size() > kLoggedErrors) {
        log << "WARNING: kestrel-printer: " << errors.size() - kLoggedErrors << " more errors\n";
    }
    for (const fs::path& output : received.outputs) {
        log << "INFO: kestrel-printer: printed " << output.string() << '\n';
    }
    for (const std::string& problem : received.problems) {
        log << "ERROR: kestrel-printer: " << problem << '\n';
    }
    log << "INFO: kestrel-printer: job " << *jobId << " (" << bytes.size() << " bytes) applied to "
        << files.stateFile.string() << '\n';
    return received.problems.empty() ? CUPS_BACKEND_OK : CUPS_BACKEND_FAILED;
}

}  // namespace kestrel::backend
