// The virtual print system's printer driven through kestrel-cli: a registered and printed logo
// comes out as a PNG with the same dots. Settings jobs and `virtual show` through a real scheduler
// are the CUPS suite's (test_virtual_printer.sh).
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "cli/cli_app.h"
#include "emulator/files/paper_image.h"
#include "emulator/files/printer_folder.h"
#include "logo/bitmap_reader.h"
#include "logo/logo_preview.h"
#include "logo/raster_conversion.h"
#include "logo_test_bitmaps.h"
#include "ports/testing/recording_ui.h"
#include "settings/profile_state.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using emulator::KeyCode;

// kestrel-cli on a virtual print system with one KR-900 queue; returns the exit status.
struct VirtualCli {
    testing::ScratchFolder scratch;
    fs::path config = scratch.path() / "printers.ini";
    fs::path capture = scratch.path() / "jobs";
    std::string err;

    VirtualCli() {
        std::ofstream(config)
            << "capture = jobs\n[KR900]\ndriver = ZOT KR-900 Raster\nkind = usb\n";
    }

    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"kestrel-cli", "--print-system", "virtual", "--virtual-config",
                                   config.string(), "--folder", scratch.path().string()});
        std::vector<const char*> argv;
        for (const std::string& a : args) {
            argv.push_back(a.c_str());
        }
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream e;
        testing::RecordingClock clock;
        cli::CliApp app(in, out, e);
        app.setClock(clock);
        const int status = app.run(static_cast<int>(argv.size()), argv.data());
        err = e.str();
        return status;
    }
};

struct Png {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgb;
};

Png ReadPng(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Png png;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return png;
    }
    image.format = PNG_FORMAT_RGB;
    png.width = image.width;
    png.height = image.height;
    png.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, png.rgb.data(), 0, nullptr)) {
        png = {};
    }
    png_image_free(&image);
    return png;
}

// One mono and two two-colour logos (one run-length coded) go through the printer to paper.
TEST(EmulatorVirtualPrinter, ALogoRegisteredAndPrintedComesBackAsTheSameDots) {
    const fs::path suite = fs::path(KESTREL_TESTDATA_DIR) / "bmpsuite" / "good";
    const std::pair<const char*, bool> cases[] = {
        {"pal1.bmp", false}, {"pal8.bmp", true}, {"pal4rle.bmp", true}};
    VirtualCli cli;
    int slot = 0;
    for (const auto& [file, twoColor] : cases) {
        SCOPED_TRACE(file);
        const std::string path = (suite / file).string();
        const std::string key = std::to_string(++slot);
        const BitmapRead read = ReadLogoBitmap(path, twoColor);
        ASSERT_EQ(read.result, BitmapReadResult::BMP_OK);
        const LogoPlanes expected = ConvertLogoBitmap(*read.bitmap, read.twoColor).planes;
        const auto job = [&](std::vector<std::string> args) {
            args.insert(args.end(), {"--printer", "KR900", "--slot", key, "--yes"});
            if (twoColor) {
                args.push_back("--two-color");
            }
            return cli.run(args);
        };
        ASSERT_EQ(job({"logo", "register", path}), 0) << cli.err;
        ASSERT_EQ(job({"logo", "print"}), 0) << cli.err;

        // The printer holds the planes that were registered ...
        const auto loaded =
            emulator::LoadPrinter(cli.capture / "KR900.printer.json", mechanism::FullCut);
        const auto& stored =
            loaded.state.graphics.at(KeyCode{static_cast<std::uint8_t>(0x1F + slot), 0x20});
        EXPECT_EQ(stored.planes[0], expected.plane1);
        EXPECT_EQ(stored.planes[1], expected.plane2.value_or(std::vector<std::uint8_t>{}));
        EXPECT_TRUE(loaded.state.lastErrors.empty());

        // ... and the paper shows them under the caption line, dot for dot; above it no print.
        fs::path newest;  // the job's PNG
        for (const auto& entry : fs::directory_iterator(cli.capture)) {
            if (entry.path().extension() == ".png" && entry.path() > newest) {
                newest = entry.path();
            }
        }
        const Png paper = ReadPng(newest);
        const RgbImage dots = RenderLogoPlanes(expected);
        const std::uint32_t top = emulator::kPaperMargin + emulator::kLineHeight;
        ASSERT_GE(paper.height, top + dots.height);
        ASSERT_GE(paper.width, dots.width);
        for (std::uint32_t y = 0; y < dots.height; ++y) {
            ASSERT_TRUE(std::equal(dots.rgb.begin() + y * dots.width * 3,
                                   dots.rgb.begin() + (y + 1) * dots.width * 3,
                                   paper.rgb.begin() + ((top + y) * paper.width) * 3))
                << "row " << y;
        }
        const auto inked = [&](std::uint32_t y0, std::uint32_t y1) {
            return std::any_of(paper.rgb.begin() + y0 * paper.width * 3,
                               paper.rgb.begin() + y1 * paper.width * 3,
                               [](std::uint8_t v) { return v != 0xFF; });
        };
        EXPECT_FALSE(inked(0, emulator::kPaperMargin));
        EXPECT_TRUE(inked(emulator::kPaperMargin, top)) << "no caption";
    }
}

}  // namespace
}  // namespace kestrel
