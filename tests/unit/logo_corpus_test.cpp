// The logo reader and decoder against a corpus of bitmap files made by others, with reference
// decodings made by another decoder (PNG, rows top first). Every file of the corpus is named in
// the table below, so a file added to the corpus fails until it is decided.
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

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using R = BitmapReadResult;

const fs::path kSuite = fs::path(KESTREL_TESTDATA_DIR) / "bmpsuite";

struct Folder {
    std::string name;
    std::set<std::string> read;     // BMP_OK; in good/ and q/ decoded like the reference
    std::set<std::string> refused;  // BMP_BAD_FORMAT
};

const Folder kFolders[] = {
    // Every supported kind decodes; 16- and 32-bit files (and their bit-field masks) are refused.
    {"good",
     {"pal1.bmp",     "pal1bg.bmp",   "pal1wb.bmp",      "pal4.bmp",   "pal4gs.bmp",
      "pal4rle.bmp",  "pal8-0.bmp",   "pal8.bmp",        "pal8gs.bmp", "pal8nonsquare.bmp",
      "pal8os2.bmp",  "pal8rle.bmp",  "pal8topdown.bmp", "pal8v4.bmp", "pal8v5.bmp",
      "pal8w124.bmp", "pal8w125.bmp", "pal8w126.bmp",    "rgb24.bmp",  "rgb24pal.bmp"},
     {"rgb16-565.bmp", "rgb16-565pal.bmp", "rgb16.bmp", "rgb16bfdef.bmp", "rgb32.bmp",
      "rgb32bf.bmp", "rgb32bfdef.bmp"}},
    // Questionable files. Read: one palette entry (index 1 past it is black); RLE cut short or
    // with delta escapes (entry 0 where nothing is drawn); pixels behind a gap or a short core
    // table, found by the offset field; size fields unlike the file; a 64-byte OS/2 header read
    // through its first 40 bytes; 24 bits behind an unused 300-entry table; colour profiles
    // not applied. Refused: Huffman, 2 bits, a 16-byte OS/2 header, 300 colours for 8 bits,
    // 16 and 32 bits, bit fields, JPEG, PNG, RLE24.
    {"q",
     {"pal1p1.bmp", "pal4rlecut.bmp", "pal4rletrns.bmp", "pal8offs.bmp", "pal8os2-hs.bmp",
      "pal8os2-sz.bmp", "pal8os2sp.bmp", "pal8os2v2-40sz.bmp", "pal8os2v2-sz.bmp", "pal8os2v2.bmp",
      "pal8rlecut.bmp", "pal8rletrns.bmp", "rgb24largepal.bmp", "rgb24lprof.bmp", "rgb24prof.bmp",
      "rgb24prof2.bmp"},
     {"pal1huff.bmp",      "pal1huffmsb.bmp",     "pal2.bmp",         "pal2color.bmp",
      "pal8os2v2-16.bmp",  "pal8oversizepal.bmp", "rgb16-231.bmp",    "rgb16-3103.bmp",
      "rgb16faketrns.bmp", "rgb24jpeg.bmp",       "rgb24png.bmp",     "rgb24rle24.bmp",
      "rgb32-111110.bmp",  "rgb32-7187.bmp",      "rgb32-xbgr.bmp",   "rgb32fakealpha.bmp",
      "rgb32h52.bmp",      "rgba16-1924.bmp",     "rgba16-4444.bmp",  "rgba16-5551.bmp",
      "rgba32-1.bmp",      "rgba32-1010102.bmp",  "rgba32-61754.bmp", "rgba32-81284.bmp",
      "rgba32.bmp",        "rgba32abf.bmp",       "rgba32h56.bmp"}},
    // No correct rendering exists: each gives its code in either colour mode, and nothing
    // crashes or hangs.
    {"bad",
     {"badbitssize.bmp", "baddens1.bmp", "baddens2.bmp", "badfilesize.bmp", "badrle.bmp",
      "badrle4.bmp", "badrle4bis.bmp", "badrle4ter.bmp", "badrlebis.bmp", "badrleter.bmp",
      "pal8badindex.bmp", "shortfile.bmp"},
     {"badbitcount.bmp", "badheadersize.bmp", "badpalettesize.bmp", "badplanes.bmp", "badwidth.bmp",
      "reallybig.bmp", "rgb16-880.bmp", "rletopdown.bmp"}},
};

// The reference decoding, red, green, blue, rows top first.
std::vector<std::uint8_t> LoadPng(const fs::path& path, std::uint32_t& width) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<std::uint8_t> rgb;
    if (png_image_begin_read_from_file(&image, path.c_str())) {
        image.format = PNG_FORMAT_RGB;
        rgb.resize(PNG_IMAGE_SIZE(image));
        width = image.width;
        if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
            png_image_free(&image);
            rgb.clear();
        }
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
            std::uint8_t* px = rgb.data() + row * width * 3 + i;
            px[0] = bgr[i + 2];
            px[1] = bgr[i + 1];
            px[2] = bgr[i];
        }
    });
    EXPECT_TRUE(std::ranges::all_of(seen, [](int n) { return n == 1; })) << "rows missing";
    return rgb;
}

TEST(LogoCorpus, EveryFileGivesItsCodeAndReadFilesDecodeLikeTheirReference) {
    for (const Folder& folder : kFolders) {
        std::set<std::string> files, decided = folder.read;
        for (const auto& entry : fs::directory_iterator(kSuite / folder.name)) {
            files.insert(entry.path().filename().string());
        }
        decided.insert(folder.refused.begin(), folder.refused.end());
        EXPECT_EQ(files, decided) << folder.name;
        const bool bad = folder.name == "bad";
        for (const std::string& name : files) {
            SCOPED_TRACE(folder.name + "/" + name);
            for (const bool twoColor : bad ? std::vector{false, true} : std::vector{false}) {
                const BitmapRead read = ReadLogoBitmap(kSuite / folder.name / name, twoColor);
                ASSERT_EQ(read.result, folder.read.contains(name) ? R::BMP_OK : R::BMP_BAD_FORMAT);
                if (read.result != R::BMP_OK) {
                    continue;
                }
                const LogoConversion conversion = ConvertLogoBitmap(*read.bitmap, read.twoColor);
                ASSERT_EQ(conversion.result, R::BMP_OK);
                EXPECT_EQ(conversion.width, read.bitmap->width());
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
