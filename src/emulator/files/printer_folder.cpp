#include "emulator/files/printer_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "emulator/files/paper_image.h"
#include "emulator/files/png_file.h"
#include "emulator/files/state_file.h"
#include "settings/text.h"
#include "storage/atomic_file.h"

namespace kestrel::emulator {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kScheme = "kestrel-printer:";

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = LowerAscii(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || HexValue(text[i + 1]) < 0 || HexValue(text[i + 2]) < 0) {
            return std::nullopt;
        }
        const char c = static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
        if (c == '\0') {
            return std::nullopt;
        }
        out += c;
        i += 2;
    }
    return out;
}

// A queue name as one plain file name.
std::string FileNameOf(std::string_view name) {
    std::string out;
    for (const char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                           (c == '.' && !out.empty());
        if (plain) {
            out += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            out += escaped;
        }
    }
    return out;
}

std::optional<std::string> ReadText(const fs::path& file, bool& missing) {
    std::error_code ec;
    missing = !fs::exists(file, ec) && !ec;
    if (missing || !fs::is_regular_file(file, ec)) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof()) {
        return std::nullopt;
    }
    return std::move(text).str();
}

// An exclusive lock on the folder that holds the state file, released when this goes.
class StateLock {
public:
    explicit StateLock(const fs::path& folder) {
        m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd >= 0) {
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~StateLock() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

bool WriteBytes(const fs::path& file, std::string_view text) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    return WriteFileAtomically(file, {data, text.size()}, CreateMode::ReplaceExisting) ==
           syserr::Success;
}

fs::path Numbered(const fs::path& stem, int n, std::string_view suffix) {
    fs::path file = stem;
    file += (n > 1 ? "-" + std::to_string(n) : std::string()) + std::string(suffix);
    return file;
}

}  // namespace

std::optional<fs::path> KestrelPrinterFolder(std::string_view uri) {
    if (uri.size() < kScheme.size() || !EqualsIgnoreCase(uri.substr(0, kScheme.size()), kScheme)) {
        return std::nullopt;
    }
    std::string_view rest = uri.substr(kScheme.size());
    if (rest.starts_with("//")) {  // an authority: only this machine
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        const std::string_view host = rest.substr(0, slash);
        if (slash == std::string_view::npos ||
            (!host.empty() && !EqualsIgnoreCase(host, "localhost"))) {
            return std::nullopt;
        }
        rest.remove_prefix(slash);
    }
    const auto path = PercentDecoded(rest);
    if (!path || path->empty() || path->front() != '/') {
        return std::nullopt;
    }
    return fs::path(*path).lexically_normal();
}

PrinterFiles QueuePrinterFiles(std::string_view queueName, std::string_view deviceUri,
                               const fs::path& captureFolder, std::string_view jobStem) {
    if (const auto folder = KestrelPrinterFolder(deviceUri)) {
        return {*folder / kStateFileName, *folder / jobStem};
    }
    return {captureFolder / (FileNameOf(queueName) + ".printer.json"), captureFolder / jobStem};
}

LoadedPrinter LoadPrinter(const fs::path& stateFile, std::uint32_t mechanismIdForNew) {
    bool missing = false;
    const auto text = ReadText(stateFile, missing);
    if (text) {
        std::string why;
        if (auto state = StateFromText(*text, why)) {
            return {std::move(*state), false, std::nullopt};
        }
        return {FactoryPrinterState(mechanismIdForNew), true,
                stateFile.string() + ": not a printer state (" + why + ")"};
    }
    return {FactoryPrinterState(mechanismIdForNew), true,
            missing ? std::nullopt : std::optional(stateFile.string() + ": cannot be read")};
}

ReceivedJob ReceiveJob(const PrinterFiles& files, std::span<const std::uint8_t> job,
                       std::uint32_t mechanismIdForNew) {
    ReceivedJob received;
    std::error_code ec;
    fs::create_directories(files.stateFile.parent_path(), ec);
    const StateLock lock(files.stateFile.parent_path());
    if (!lock.held()) {
        received.problems.push_back(files.stateFile.parent_path().string() + ": cannot be locked");
    }
    LoadedPrinter loaded = LoadPrinter(files.stateFile, mechanismIdForNew);
    if (loaded.problem) {
        // Kept aside for a look, not overwritten: the printer starts afresh.
        fs::path aside = files.stateFile;
        aside += ".unreadable";
        fs::rename(files.stateFile, aside, ec);
        received.problems.push_back(*loaded.problem + "; kept as " + aside.string() +
                                    ", the printer starts as it left the factory");
    }
    KrPrinter printer(std::move(loaded.state));
    received.result = printer.receive(job);
    if (!WriteBytes(files.stateFile, StateToText(printer.state()))) {
        received.problems.push_back(files.stateFile.string() + ": cannot be written");
    }

    int lists = 0;
    int papers = 0;
    for (const Printout& printout : received.result.printouts) {
        for (const PrintedBlock& block : printout.blocks) {
            if (const auto* list = std::get_if<PrintedSettingsList>(&block)) {
                const fs::path file = Numbered(files.outputStem, ++lists, "-list.txt");
                if (WriteBytes(file, list->text)) {
                    received.outputs.push_back(file);
                } else {
                    received.problems.push_back(file.string() + ": cannot be written");
                }
            }
        }
        if (HasPaperPrint(printout)) {
            const fs::path file = Numbered(files.outputStem, ++papers, ".png");
            if (WritePngFile(file, RenderPrintout(printout))) {
                received.outputs.push_back(file);
            } else {
                received.problems.push_back(file.string() + ": cannot be written");
            }
        }
    }
    return received;
}

}  // namespace kestrel::emulator
