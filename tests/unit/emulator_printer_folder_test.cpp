// The virtual printer's folder: its state file, the printer folder a URI names, and the paper a
// printed logo comes out on.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <fstream>

#include "emulator/files/paper_image.h"
#include "emulator/files/printer_folder.h"
#include "emulator/files/state_file.h"
#include "logo/bitmap_reader.h"
#include "logo/logo_job.h"
#include "logo/logo_preview.h"
#include "logo/raster_conversion.h"
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

// A printer comes back as it was written; a file with values it cannot hold is refused.
TEST(EmulatorStateFile, AFileWithValuesThePrinterCannotHoldIsRefused) {
    const PrinterState worn = WornPrinter();
    ASSERT_TRUE(worn.inUserSetupMode() && worn.lastErrors.size() == 2);
    const std::string good = StateToText(worn);
    std::string why;
    EXPECT_EQ(StateFromText(good, why), worn) << why;
    const std::tuple<const char*, std::string> cases[] = {
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
        {"a missing member", Replaced(good, "\"jobsReceived\"", "\"jobs\"")},
        {"a value of the wrong kind", Replaced(good, "\"dataBits\": 8", "\"dataBits\": \"8\"")},
    };
    for (const auto& [name, text] : cases) {
        std::string why;
        EXPECT_FALSE(StateFromText(text, why)) << name;
        EXPECT_FALSE(why.empty()) << name;
    }
    for (const char* key : {"\"20 20\"", "\"7E 7E\""}) {  // the key codes' ends
        std::string why;
        EXPECT_TRUE(StateFromText(Replaced(good, "\"22 20\"", key), why)) << key << why;
    }
}

// A state that is no printer's, or no file at all, is kept aside; the job finds a new printer.
TEST(EmulatorStateFile, AJobOnAnUnreadableStateStartsAfreshAndKeepsTheFileAside) {
    for (const bool folder : {false, true}) {
        testing::ScratchFolder scratch;
        const PrinterFiles files{scratch / "printer.json", scratch / "job-000001"};
        if (folder) {
            fs::create_directory(files.stateFile);
        } else {
            std::ofstream(files.stateFile) << "{ \"format\": \"kestrel virtual printer 1\" }";
        }
        const ReceivedJob job = ReceiveJob(files, Hex("1D 28 41 02 00 00 02"), 21);
        ASSERT_EQ(job.problems.size(), 1u);
        EXPECT_NE(job.problems[0].find(folder ? "cannot be read" : "not a printer state"),
                  std::string::npos)
            << job.problems[0];
        EXPECT_TRUE(fs::exists(scratch / "printer.json.unreadable"));
        const LoadedPrinter now = LoadPrinter(files.stateFile, 18);
        ASSERT_FALSE(now.problem) << *now.problem;
        EXPECT_EQ(std::make_tuple(now.state.mechanismId, now.state.jobsReceived),
                  std::make_tuple(21u, 1u));
        ASSERT_EQ(job.outputs, std::vector<fs::path>{scratch / "job-000001-list.txt"});
        const auto list = testing::ReadAll(job.outputs[0]);
        EXPECT_EQ(std::string(list.begin(), list.end()).substr(0, 21), "KR-500 settings list\n");
    }
}

TEST(EmulatorStateFile, OnlyAnAbsoluteLocalFolderIsAPrinterFolder) {
    const std::tuple<const char*, std::optional<fs::path>> cases[] = {
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
    for (const auto& [uri, folder] : cases) {
        EXPECT_EQ(KestrelPrinterFolder(uri), folder) << uri;
    }
    EXPECT_EQ(
        QueuePrinterFiles("KR-900 on COM1", "serial:/dev/ttyS0", "/cap", "job-000002").stateFile,
        fs::path("/cap/KR-900%20on%20COM1.printer.json"));
}

// The picture in an RGB PNG file; width 0 when it cannot be read.
RgbImage ReadPng(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    RgbImage png{};
    if (png_image_begin_read_from_file(&image, path.c_str())) {
        image.format = PNG_FORMAT_RGB;
        png.rgb.resize(PNG_IMAGE_SIZE(image));
        if (png_image_finish_read(&image, nullptr, png.rgb.data(), 0, nullptr)) {
            png.width = image.width;
            png.height = image.height;
        }
    }
    png_image_free(&image);
    return png;
}

// One mono and two two-colour logos (one run-length coded) go through the printer to paper.
TEST(EmulatorVirtualPrinter, ALogoRegisteredAndPrintedComesBackAsTheSameDots) {
    const fs::path suite = fs::path(KESTREL_TESTDATA_DIR) / "bmpsuite" / "good";
    const std::pair<const char*, bool> cases[] = {
        {"pal1.bmp", false}, {"pal8.bmp", true}, {"pal4rle.bmp", true}};
    testing::ScratchFolder scratch;
    int slot = 0;
    for (const auto& [file, twoColor] : cases) {
        SCOPED_TRACE(file);
        const BitmapRead read = ReadLogoBitmap((suite / file).string(), twoColor);
        ASSERT_EQ(read.result, BitmapReadResult::BMP_OK);
        const LogoPlanes expected = ConvertLogoBitmap(*read.bitmap, read.twoColor).planes;
        LogoJobBuffer define;
        BuildLogoDefineCommand(expected, slot, define);
        const PrinterFiles files{scratch / "printer.json", scratch / file};
        ASSERT_TRUE(ReceiveJob(files, define.data, mechanism::FullCut).outputs.empty());
        const ReceivedJob print =
            ReceiveJob(files, BuildLogoPrintJob(slot++, twoColor, true), mechanism::FullCut);
        ASSERT_EQ(print.outputs.size(), 1u);

        // The paper shows the stored planes under the caption line, dot for dot.
        const RgbImage paper = ReadPng(print.outputs[0]);
        const RgbImage dots = RenderLogoPlanes(expected);
        const std::uint32_t top = kPaperMargin + kLineHeight;
        ASSERT_GE(paper.height, top + dots.height);
        ASSERT_GE(paper.width, dots.width);
        for (std::uint32_t y = 0; y < dots.height; ++y) {
            ASSERT_TRUE(std::equal(dots.rgb.begin() + y * dots.width * 3,
                                   dots.rgb.begin() + (y + 1) * dots.width * 3,
                                   paper.rgb.begin() + ((top + y) * paper.width) * 3))
                << "row " << y;
        }
    }
}

// A glyph wider than its 12-dot cell is cut at the cell's edge, not drawn into the next cell or,
// at the paper's right edge, onto the next dot row.
TEST(EmulatorPaper, CharactersStayInTheirCells) {
    Printout printout;  // every printable character in the odd cells, the even ones blank
    for (char c = '!'; c <= '~';) {
        std::string line;
        for (int column = 0; column < 48; ++column) {
            line += column % 2 == 0 || c > '~' ? ' ' : c++;
        }
        printout.blocks.push_back(PrintedLine{line});
    }
    const RgbImage paper = RenderPrintout(printout);
    ASSERT_EQ(paper.width, kPaperDots);
    std::size_t inked = 0, astray = 0;  // dots inked, and of them in a blank cell
    for (std::size_t i = 0; i < paper.rgb.size(); i += 3) {
        const bool ink = paper.rgb[i] != 0xFF;
        inked += ink;
        astray += ink && (i / 3 % paper.width / kCharacterWidth) % 2 == 0;
    }
    EXPECT_GT(inked, 0u);
    EXPECT_EQ(astray, 0u);
}

}  // namespace
}  // namespace kestrel::emulator
