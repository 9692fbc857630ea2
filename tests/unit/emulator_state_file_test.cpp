// The virtual printer's state file: a printer survives being written and read, a file holding
// anything the printer could not hold is refused, and a job that meets such a file keeps it aside
// and starts the printer afresh.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "emulator/files/printer_folder.h"
#include "emulator/files/state_file.h"
#include "logo_test_bitmaps.h"
#include "test_helpers.h"

namespace kestrel::emulator {
namespace {

namespace fs = std::filesystem;
using testing::Hex;

// A printer that has been through a bit: a logo, a setup left half-done, errors.
PrinterState WornPrinter() {
    KrPrinter printer(FactoryPrinterState(20));
    printer.receive(Hex("1D 38 4C 0F 00 00 00 30 43 30 22 20 01 10 00 02 00 31 FF C0 80 40"));
    printer.receive(Hex("1D 28 45 03 00 01 49 4E 1D 28 45 03 00 0B 03 31 07"));
    return printer.takeState();
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(EmulatorStateFile, APrinterComesBackAsItWasWritten) {
    const PrinterState state = WornPrinter();
    ASSERT_TRUE(state.inUserSetupMode());
    ASSERT_EQ(state.lastErrors.size(), 2u);
    std::string why;
    const auto read = StateFromText(StateToText(state), why);
    ASSERT_TRUE(read) << why;
    EXPECT_EQ(*read, state);
}

TEST(EmulatorStateFile, AFileWithValuesThePrinterCannotHoldIsRefused) {
    const std::string good = StateToText(WornPrinter());
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"not JSON", "{\"format\": "},
        {"another format",
         Replaced(good, "kestrel virtual printer 1", "kestrel virtual printer 2")},
        {"density out of range", Replaced(good, "\"05\": 0", "\"05\": 7")},
        {"paper of 50 columns", Replaced(good, "\"03\": 48", "\"03\": 50")},
        {"switch of nine bits", Replaced(good, "\"7D\": \"00000000\"", "\"7D\": \"000000000\"")},
        {"switch character 2", Replaced(good, "\"7D\": \"00000000\"", "\"7D\": \"00000002\"")},
        {"1200 baud", Replaced(good, "\"baud\": 115200", "\"baud\": 1200")},
        {"a plane one byte short", Replaced(good, "ffc08040", "ffc080")},
        {"a plane not hex", Replaced(good, "ffc08040", "ffc0804g")},
        {"seven bits below", Replaced(good, "\"dataBits\": 8", "\"dataBits\": 6")},
        {"key code 1F 20", Replaced(good, "\"22 20\"", "\"1F 20\"")},
        {"key code 7F 20", Replaced(good, "\"22 20\"", "\"7F 20\"")},
        {"key code 22 1F", Replaced(good, "\"22 20\"", "\"22 1F\"")},
        {"key code 22 7F", Replaced(good, "\"22 20\"", "\"22 7F\"")},
        {"a missing member", Replaced(good, "\"jobsReceived\"", "\"jobs\"")},
        {"a value of the wrong kind", Replaced(good, "\"dataBits\": 8", "\"dataBits\": \"8\"")},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_FALSE(StateFromText(c.text, why)) << c.name;
        EXPECT_FALSE(why.empty()) << c.name;
    }
    for (const char* key : {"\"20 20\"", "\"7E 7E\""}) {  // the key codes' ends
        std::string why;
        EXPECT_TRUE(StateFromText(Replaced(good, "\"22 20\"", key), why)) << key << why;
    }
}

TEST(EmulatorStateFile, AJobOnAnUnreadableStateStartsAfreshAndKeepsTheFileAside) {
    testing::ScratchFolder scratch;
    const PrinterFiles files{scratch.path() / "printer.json", scratch.path() / "job-000001"};
    std::ofstream(files.stateFile) << "{ \"format\": \"kestrel virtual printer 1\" }";
    const ReceivedJob job = ReceiveJob(files, Hex("1D 28 41 02 00 00 02"), 21);
    ASSERT_EQ(job.problems.size(), 1u);
    EXPECT_NE(job.problems[0].find("not a printer state"), std::string::npos) << job.problems[0];
    EXPECT_TRUE(fs::exists(scratch.path() / "printer.json.unreadable"));

    const LoadedPrinter now = LoadPrinter(files.stateFile, 18);
    ASSERT_FALSE(now.problem) << *now.problem;
    EXPECT_EQ(now.state.mechanismId, 21u);
    EXPECT_EQ(now.state.jobsReceived, 1u);
    ASSERT_EQ(job.outputs, std::vector<fs::path>{scratch.path() / "job-000001-list.txt"});
    std::ifstream page(job.outputs[0]);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(page), {}).substr(0, 21),
              "KR-500 settings list\n");
}

TEST(EmulatorStateFile, OnlyAnAbsoluteLocalFolderIsAPrinterFolder) {
    const struct {
        const char* uri;
        std::optional<fs::path> folder;
    } cases[] = {
        {"kestrel-printer:/srv/tills/7", fs::path("/srv/tills/7")},
        {"kestrel-printer:///srv/tills/7", fs::path("/srv/tills/7")},
        {"kestrel-printer://localhost/srv/till%207/", fs::path("/srv/till 7/")},
        {"KESTREL-PRINTER:/srv/../tmp/x", fs::path("/tmp/x")},
        {"kestrel-printer:srv/tills", std::nullopt},
        {"kestrel-printer://printserver/srv", std::nullopt},
        {"kestrel-printer:/srv/%00x", std::nullopt},
        {"kestrel-printer:/srv/%4", std::nullopt},
        {"usb://ZOT/KR-500", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KestrelPrinterFolder(c.uri), c.folder) << c.uri;
    }
    EXPECT_EQ(
        QueuePrinterFiles("KR-900 on COM1", "serial:/dev/ttyS0", "/cap", "job-000002").stateFile,
        fs::path("/cap/KR-900%20on%20COM1.printer.json"));
}

}  // namespace
}  // namespace kestrel::emulator
