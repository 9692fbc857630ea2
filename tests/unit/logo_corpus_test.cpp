// The logo reader and decoder against a corpus of others' bitmaps and reference PNG decodings.
// Every file is named below, so a file added to the corpus fails until it is decided.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "logo/bitmap_decoder.h"
#include "logo/bitmap_reader.h"
#include "logo/raster_conversion.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using R = BitmapReadResult;

const fs::path kSuite = fs::path(KESTREL_TESTDATA_DIR) / "bmpsuite";

struct Folder {
    std::string name;
    std::string read;     // BMP_OK; in good/ and q/ decoded like the reference
    std::string refused;  // BMP_BAD_FORMAT
};

// clang-format off
const Folder kFolders[] = {
    // Every supported kind decodes; 16- and 32-bit files (and their bit-field masks) are refused.
    {"good",
     "pal1 pal1bg pal1wb pal4 pal4gs pal4rle pal8-0 pal8 pal8gs pal8nonsquare pal8os2 pal8rle "
     "pal8topdown pal8v4 pal8v5 pal8w124 pal8w125 pal8w126 rgb24 rgb24pal",
     "rgb16-565 rgb16-565pal rgb16 rgb16bfdef rgb32 rgb32bf rgb32bfdef"},
    // Questionable files: a missing palette entry or an undrawn RLE pixel is entry 0 or black;
    // the offset field finds pixels behind a gap; colour profiles are not applied.
    {"q",
     "pal1p1 pal4rlecut pal4rletrns pal8offs pal8os2-hs pal8os2-sz pal8os2sp pal8os2v2-40sz "
     "pal8os2v2-sz pal8os2v2 pal8rlecut pal8rletrns rgb24largepal rgb24lprof rgb24prof rgb24prof2",
     "pal1huff pal1huffmsb pal2 pal2color pal8os2v2-16 pal8oversizepal rgb16-231 rgb16-3103 "
     "rgb16faketrns rgb24jpeg rgb24png rgb24rle24 rgb32-111110 rgb32-7187 rgb32-xbgr "
     "rgb32fakealpha rgb32h52 rgba16-1924 rgba16-4444 rgba16-5551 rgba32-1 rgba32-1010102 "
     "rgba32-61754 rgba32-81284 rgba32 rgba32abf rgba32h56"},
    // No correct rendering exists: each gives its code in either colour mode, without a crash.
    {"bad",
     "badbitssize baddens1 baddens2 badfilesize badrle badrle4 badrle4bis badrle4ter badrlebis "
     "badrleter pal8badindex shortfile",
     "badbitcount badheadersize badpalettesize badplanes badwidth reallybig rgb16-880 rletopdown"},
};
// clang-format on

std::set<std::string> Bmps(const std::string& names) {
    std::set<std::string> out;
    for (const std::string& name : testing::Split(names, ' ')) {
        out.insert(name + ".bmp");
    }
    return out;
}

// The reference decoding, red, green, blue, rows top first.
std::vector<std::uint8_t> LoadPng(const fs::path& path, std::uint32_t& width) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<std::uint8_t> rgb;
    if (png_image_begin_read_from_file(&image, path.c_str())) {
        image.format = PNG_FORMAT_RGB;
        rgb.resize(PNG_IMAGE_SIZE(image));
        width = image.width;
        png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr);
    }
    return rgb;
}

// The same from the decoder; each row must come exactly once.
std::vector<std::uint8_t> Decode(const PackedBitmap& bitmap) {
    const auto width = static_cast<std::size_t>(bitmap.width());
    const auto rows = static_cast<std::size_t>(std::abs(bitmap.height()));
    std::vector<std::uint8_t> rgb(width * rows * 3, 0);
    std::vector<int> seen(rows, 0);
    DecodeBitmapRows(bitmap, [&](std::uint32_t row, std::span<const std::uint8_t> bgr) {
        ++seen.at(row);
        for (std::size_t i = 0; i < width * 3; i += 3) {
            std::copy_n(std::make_reverse_iterator(bgr.begin() + i + 3), 3,
                        rgb.begin() + row * width * 3 + i);
        }
    });
    EXPECT_EQ(seen, std::vector<int>(rows, 1)) << "rows missing or repeated";
    return rgb;
}

TEST(LogoCorpus, EveryFileGivesItsCodeAndReadFilesDecodeLikeTheirReference) {
    for (const Folder& folder : kFolders) {
        const std::set<std::string> readable = Bmps(folder.read);
        std::set<std::string> files, decided = Bmps(folder.read + " " + folder.refused);
        for (const auto& entry : fs::directory_iterator(kSuite / folder.name)) {
            files.insert(entry.path().filename().string());
        }
        EXPECT_EQ(files, decided) << folder.name;
        const bool bad = folder.name == "bad";
        for (const std::string& name : files) {
            SCOPED_TRACE(folder.name + "/" + name);
            for (const bool twoColor : bad ? std::vector{false, true} : std::vector{false}) {
                const BitmapRead read = ReadLogoBitmap(kSuite / folder.name / name, twoColor);
                ASSERT_EQ(read.result, readable.contains(name) ? R::BMP_OK : R::BMP_BAD_FORMAT);
                if (read.result != R::BMP_OK) {
                    continue;
                }
                const LogoConversion conversion = ConvertLogoBitmap(*read.bitmap, read.twoColor);
                ASSERT_EQ(conversion.result, R::BMP_OK);
                EXPECT_EQ(conversion.planes.plane2.has_value(), read.twoColor);
                if (bad) {
                    continue;
                }
                std::uint32_t width = 0;
                const auto reference =
                    LoadPng(kSuite / "ref" / folder.name / (name + ".rgb.png"), width);
                ASSERT_FALSE(reference.empty());
                EXPECT_EQ(width, conversion.width);
                EXPECT_TRUE(Decode(*read.bitmap) == reference) << "pixels unlike the reference";
            }
        }
    }
}

}  // namespace
}  // namespace kestrel
