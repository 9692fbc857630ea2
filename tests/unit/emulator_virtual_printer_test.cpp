// The virtual print system's printers, driven through kestrel-cli as a user drives them: each
// queue keeps its printer's state beside the captures, `virtual show` reports it, a settings list
// comes out as a text page and a printed logo as a PNG with the same dots that were registered.
#include <gtest/gtest.h>
#include <png.h>
#include <nlohmann/json.hpp>

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

struct VirtualCli {
    testing::ScratchFolder scratch;
    fs::path config = scratch.path() / "printers.ini";
    fs::path capture = scratch.path() / "jobs";
    std::string out;
    std::string err;

    VirtualCli() {
        std::ofstream(config) << "capture = jobs\n\n[KR900]\ndriver = ZOT KR-900 Raster\nport = "
                                 "usb://ZOT/KR-900\n\n[KR500 till 2]\ndriver = ZOT KR-500 "
                                 "Raster\nport = usb://ZOT/KR-500\n";
    }

    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"kestrel-cli", "--print-system", "virtual", "--virtual-config",
                                   config.string(), "--folder", scratch.path().string()});
        std::vector<const char*> argv;
        for (const std::string& a : args) {
            argv.push_back(a.c_str());
        }
        std::istringstream in;
        std::ostringstream o;
        std::ostringstream e;
        testing::RecordingClock clock;
        cli::CliApp app(in, o, e);
        app.setClock(clock);
        const int status = app.run(static_cast<int>(argv.size()), argv.data());
        out = o.str();
        err = e.str();
        return status;
    }

    nlohmann::json show(const std::string& queue) {
        EXPECT_EQ(run({"virtual", "show", "--printer", queue, "--json"}), 0) << err;
        return nlohmann::json::parse(out);
    }

    // The newest output of the given suffix.
    fs::path newest(const std::string& suffix) const {
        fs::path found;
        for (const auto& entry : fs::directory_iterator(capture)) {
            const std::string name = entry.path().filename().string();
            if (name.ends_with(suffix) && (found.empty() || name > found.filename().string())) {
                found = entry.path();
            }
        }
        return found;
    }
};

std::string SettingText(const nlohmann::json& shown, const std::string& label) {
    for (const auto& s : shown["settings"]) {
        if (s["label"] == label) {
            return s["text"].get<std::string>();
        }
    }
    return "(no such setting)";
}

TEST(EmulatorVirtualPrinter, EachQueueKeepsWhatItWasSent) {
    VirtualCli cli;
    EXPECT_TRUE(cli.show("KR500 till 2")["fresh"]);
    EXPECT_EQ(SettingText(cli.show("KR500 till 2"), "Max Speed"), "4");  // as it left the factory

    const std::string kcf = (cli.scratch.path() / "till.kcf").string();
    ASSERT_EQ(cli.run({"settings", "set", kcf, "Paper Width=58mm/32column", "Auto LF=Enable",
                       "Baudrate=9600BPS", "Format=7ODD1", "Protocol=XON/XOFF"}),
              0)
        << cli.err;
    ASSERT_EQ(cli.run({"send", "--printer", "KR500 till 2", "--settings", kcf, "--yes"}), 0)
        << cli.err;
    const auto shown = cli.show("KR500 till 2");
    EXPECT_FALSE(shown["fresh"]);
    EXPECT_TRUE(fs::exists(cli.capture / "KR500%20till%202.printer.json"));
    for (const auto& [label, text] :
         std::vector<std::pair<std::string, std::string>>{{"Paper Width", "58mm/32column"},
                                                          {"Auto LF", "Enable"},
                                                          {"Baudrate", "9600BPS"},
                                                          {"Format", "7ODD1"},
                                                          {"Protocol", "XON/XOFF"}}) {
        EXPECT_EQ(SettingText(shown, label), text) << label;
    }
    EXPECT_EQ(shown["state"]["jobsReceived"], 1);
    // The other queue's printer got nothing.
    EXPECT_TRUE(cli.show("KR900")["fresh"]);

    // Initialization: factory defaults again, but the paper width stays.
    ASSERT_EQ(cli.run({"init", "--printer", "KR500 till 2", "--yes"}), 0) << cli.err;
    const auto initialized = cli.show("KR500 till 2");
    EXPECT_EQ(SettingText(initialized, "Auto LF"), "Disable");
    EXPECT_EQ(SettingText(initialized, "Baudrate"), "115200BPS");
    EXPECT_EQ(SettingText(initialized, "Paper Width"), "58mm/32column");

    ASSERT_EQ(cli.run({"list-print", "--printer", "KR500 till 2", "--yes"}), 0) << cli.err;
    std::ifstream list(cli.newest("-list.txt"));
    const std::string page{std::istreambuf_iterator<char>(list), {}};
    EXPECT_TRUE(page.starts_with("KR-500 settings list\n")) << page;
    EXPECT_NE(page.find("  Paper Width             58mm/32column\n"), std::string::npos) << page;
    EXPECT_NE(page.find("  Extended switch 7E      00110101\n"), std::string::npos) << page;

    ASSERT_EQ(cli.run({"virtual", "show", "--printer", "KR500 till 2"}), 0);
    EXPECT_NE(cli.out.find("  Auto LF                 Disable\n"), std::string::npos) << cli.out;
    EXPECT_EQ(cli.run({"virtual", "show", "--printer", "Nowhere"}), 1);
}

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

TEST(EmulatorVirtualPrinter, ALogoRegisteredAndPrintedComesBackAsTheSameDots) {
    const fs::path suite = fs::path(KESTREL_TESTDATA_DIR) / "bmpsuite" / "good";
    struct Case {
        const char* file;
        bool twoColor;
    };
    // The bitmap reader's kinds are tested with the reader; here one mono and two two-colour
    // logos (one run-length coded) go through the printer to paper.
    const std::vector<Case> cases = {
        {"pal1.bmp", false}, {"pal8.bmp", true}, {"pal4rle.bmp", true}};
    VirtualCli cli;
    int slot = 0;
    for (const Case& c : cases) {
        slot = slot % 5 + 1;
        const std::string path = (suite / c.file).string();
        const std::string name = std::string(c.file) + (c.twoColor ? " two-colour" : " mono");
        const BitmapRead read = ReadLogoBitmap(path, c.twoColor);
        ASSERT_EQ(read.result, BitmapReadResult::BMP_OK) << name;
        const LogoConversion expected = ConvertLogoBitmap(*read.bitmap, read.twoColor);
        ASSERT_EQ(expected.planes.plane2.has_value(), c.twoColor) << name;

        std::vector<std::string> colour;
        if (c.twoColor) {
            colour.push_back("--two-color");
        }
        std::vector<std::string> reg{"logo",   "register",           "--printer", "KR900",
                                     "--slot", std::to_string(slot), "--yes"};
        reg.insert(reg.end(), colour.begin(), colour.end());
        reg.push_back(path);
        ASSERT_EQ(cli.run(reg), 0) << name << ": " << cli.err;
        std::vector<std::string> print{
            "logo", "print", "--printer", "KR900", "--slot", std::to_string(slot), "--yes"};
        print.insert(print.end(), colour.begin(), colour.end());
        ASSERT_EQ(cli.run(print), 0) << name << ": " << cli.err;

        // The printer holds the planes that were registered ...
        const auto loaded =
            emulator::LoadPrinter(cli.capture / "KR900.printer.json", mechanism::FullCut);
        ASSERT_FALSE(loaded.fresh) << name;
        const auto& stored =
            loaded.state.graphics.at(KeyCode{static_cast<std::uint8_t>(0x1F + slot), 0x20});
        EXPECT_EQ(stored.planes[0], expected.planes.plane1) << name;
        EXPECT_EQ(stored.planes[1], expected.planes.plane2.value_or(std::vector<std::uint8_t>{}))
            << name;
        EXPECT_TRUE(loaded.state.lastErrors.empty()) << name;

        // ... and the paper shows them under the caption line, dot for dot.
        const Png paper = ReadPng(cli.newest(".png"));
        const RgbImage dots = RenderLogoPlanes(expected.planes);
        const std::uint32_t top = emulator::kPaperMargin + emulator::kLineHeight;
        ASSERT_GE(paper.height, top + dots.height) << name;
        ASSERT_GE(paper.width, dots.width) << name;
        std::size_t differing = 0;
        for (std::uint32_t y = 0; y < dots.height; ++y) {
            differing += !std::equal(dots.rgb.begin() + y * dots.width * 3,
                                     dots.rgb.begin() + (y + 1) * dots.width * 3,
                                     paper.rgb.begin() + ((top + y) * paper.width) * 3);
        }
        EXPECT_EQ(differing, 0u) << name << ": rows differ";
        // The caption line above holds print, the paper above it none.
        const auto inked = [&](std::uint32_t y0, std::uint32_t y1) {
            return std::any_of(paper.rgb.begin() + y0 * paper.width * 3,
                               paper.rgb.begin() + y1 * paper.width * 3,
                               [](std::uint8_t v) { return v != 0xFF; });
        };
        EXPECT_FALSE(inked(0, emulator::kPaperMargin)) << name;
        EXPECT_TRUE(inked(emulator::kPaperMargin, top)) << name << ": no caption";
    }
}

}  // namespace
}  // namespace kestrel
