// The logo reader and decoder against a corpus of bitmap files made by others, with reference
// decodings made by another decoder (PNG, rows top first). Every file of the corpus has a row in
// the tables below, so a file added to the corpus fails until it is decided.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <filesystem>
#include <map>
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

struct Decision {
    R result;
    // On BMP_OK: the reference decoding to match, relative to ref/ (empty: the file's own).
    std::string reference;
};

const Decision kDecode{R::BMP_OK, ""};
const Decision kRefuse{R::BMP_BAD_FORMAT, ""};

// good/: every file of a kind the logo reader supports decodes like its reference; 16- and
// 32-bit files (and their bit-field masks) are refused.
const std::map<std::string, Decision> kGood = {
    {"pal1.bmp", kDecode},          {"pal1bg.bmp", kDecode},   {"pal1wb.bmp", kDecode},
    {"pal4.bmp", kDecode},          {"pal4gs.bmp", kDecode},   {"pal4rle.bmp", kDecode},
    {"pal8-0.bmp", kDecode},        {"pal8.bmp", kDecode},     {"pal8gs.bmp", kDecode},
    {"pal8nonsquare.bmp", kDecode}, {"pal8os2.bmp", kDecode},  {"pal8rle.bmp", kDecode},
    {"pal8topdown.bmp", kDecode},   {"pal8v4.bmp", kDecode},   {"pal8v5.bmp", kDecode},
    {"pal8w124.bmp", kDecode},      {"pal8w125.bmp", kDecode}, {"pal8w126.bmp", kDecode},
    {"rgb24.bmp", kDecode},         {"rgb24pal.bmp", kDecode}, {"rgb16-565.bmp", kRefuse},
    {"rgb16-565pal.bmp", kRefuse},  {"rgb16.bmp", kRefuse},    {"rgb16bfdef.bmp", kRefuse},
    {"rgb32.bmp", kRefuse},         {"rgb32bf.bmp", kRefuse},  {"rgb32bfdef.bmp", kRefuse},
};

// q/: questionable files, each decided here.
const std::map<std::string, Decision> kQuestionable = {
    {"pal1huff.bmp", kRefuse},         // OS/2 header with Huffman 1D compression
    {"pal1huffmsb.bmp", kRefuse},      // the same
    {"pal1p1.bmp", kDecode},           // one palette entry; index 1 lies past it and is black
    {"pal2.bmp", kRefuse},             // 2 bits per pixel
    {"pal2color.bmp", kRefuse},        // the same
    {"pal4rlecut.bmp", kDecode},       // early end of line / bitmap: entry 0
    {"pal4rletrns.bmp", kDecode},      // delta escapes: entry 0
    {"pal8offs.bmp", kDecode},         // pixel data behind a gap, found by the offset field
    {"pal8os2-hs.bmp", kDecode},       // size fields that do not match the file
    {"pal8os2-sz.bmp", kDecode},       // the same
    {"pal8os2sp.bmp", kDecode},        // short core colour table, found by the offset field
    {"pal8os2v2-16.bmp", kRefuse},     // 16-byte OS/2 header
    {"pal8os2v2-40sz.bmp", kDecode},   // file size field counts only the headers
    {"pal8os2v2-sz.bmp", kDecode},     // 64-byte OS/2 header, read through its first 40 bytes
    {"pal8os2v2.bmp", kDecode},        // the same
    {"pal8oversizepal.bmp", kRefuse},  // 300 colours for 8 bits
    {"pal8rlecut.bmp", kDecode},       // early end of line / bitmap: entry 0
    {"pal8rletrns.bmp", kDecode},      // delta escapes: entry 0
    {"rgb16-231.bmp", kRefuse},        // 16 and 32 bits, bit fields, JPEG, PNG, RLE24: refused
    {"rgb16-3103.bmp", kRefuse},
    {"rgb16faketrns.bmp", kRefuse},
    {"rgb24jpeg.bmp", kRefuse},
    {"rgb24largepal.bmp", kDecode},  // 24 bits behind an unused 300-entry table
    {"rgb24lprof.bmp", kDecode},     // colour profiles are not applied
    {"rgb24png.bmp", kRefuse},
    {"rgb24prof.bmp", kDecode},
    {"rgb24prof2.bmp", kDecode},  // the raw pixel data, as the reference holds it
    {"rgb24rle24.bmp", kRefuse},
    {"rgb32-111110.bmp", kRefuse},
    {"rgb32-7187.bmp", kRefuse},
    {"rgb32-xbgr.bmp", kRefuse},
    {"rgb32fakealpha.bmp", kRefuse},
    {"rgb32h52.bmp", kRefuse},
    {"rgba16-1924.bmp", kRefuse},
    {"rgba16-4444.bmp", kRefuse},
    {"rgba16-5551.bmp", kRefuse},
    {"rgba32-1.bmp", kRefuse},
    {"rgba32-1010102.bmp", kRefuse},
    {"rgba32-61754.bmp", kRefuse},
    {"rgba32-81284.bmp", kRefuse},
    {"rgba32.bmp", kRefuse},
    {"rgba32abf.bmp", kRefuse},
    {"rgba32h56.bmp", kRefuse},
};

// bad/: no correct rendering exists; each gives its code, and nothing crashes or hangs.
const std::map<std::string, R> kBad = {
    {"badbitcount.bmp", R::BMP_BAD_FORMAT},
    {"badbitssize.bmp", R::BMP_OK},
    {"baddens1.bmp", R::BMP_OK},
    {"baddens2.bmp", R::BMP_OK},
    {"badfilesize.bmp", R::BMP_OK},
    {"badheadersize.bmp", R::BMP_BAD_FORMAT},
    {"badpalettesize.bmp", R::BMP_BAD_FORMAT},
    {"badplanes.bmp", R::BMP_BAD_FORMAT},
    {"badrle.bmp", R::BMP_OK},
    {"badrle4.bmp", R::BMP_OK},
    {"badrle4bis.bmp", R::BMP_OK},
    {"badrle4ter.bmp", R::BMP_OK},
    {"badrlebis.bmp", R::BMP_OK},
    {"badrleter.bmp", R::BMP_OK},
    {"badwidth.bmp", R::BMP_BAD_FORMAT},
    {"pal8badindex.bmp", R::BMP_OK},
    {"reallybig.bmp", R::BMP_BAD_FORMAT},
    {"rgb16-880.bmp", R::BMP_BAD_FORMAT},
    {"rletopdown.bmp", R::BMP_BAD_FORMAT},
    {"shortfile.bmp", R::BMP_OK},
};

struct RgbImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgb;
};

std::optional<RgbImage> LoadPng(const fs::path& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return std::nullopt;
    }
    image.format = PNG_FORMAT_RGB;
    RgbImage out;
    out.width = image.width;
    out.height = image.height;
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    return out;
}

// The file decoded to red, green, blue, rows top first.
std::optional<RgbImage> Decode(const PackedBitmap& bitmap) {
    RgbImage out;
    out.width = static_cast<std::uint32_t>(bitmap.width());
    out.height =
        static_cast<std::uint32_t>(bitmap.height() < 0 ? -bitmap.height() : bitmap.height());
    out.rgb.assign(std::size_t{out.width} * out.height * 3, 0);
    std::vector<int> seen(out.height, 0);
    DecodeBitmapRows(bitmap, [&](std::uint32_t row, std::span<const std::uint8_t> bgr) {
        ++seen.at(row);
        for (std::size_t x = 0; x < out.width; ++x) {
            std::uint8_t* px = out.rgb.data() + (std::size_t{row} * out.width + x) * 3;
            px[0] = bgr[x * 3 + 2];
            px[1] = bgr[x * 3 + 1];
            px[2] = bgr[x * 3];
        }
    });
    if (std::ranges::any_of(seen, [](int n) { return n != 1; })) {
        return std::nullopt;
    }
    return out;
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(kSuite / folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

template <typename Table>
void ExpectEveryFileDecided(const std::string& folder, const Table& table) {
    const std::set<std::string> files = FilesIn(folder);
    std::set<std::string> decided;
    for (const auto& [name, decision] : table) {
        decided.insert(name);
    }
    EXPECT_EQ(files, decided) << folder;
}

// Reads the file, converts it in both colour modes, and compares its decoding with the reference.
void CheckDecision(const std::string& folder, const std::string& name, const Decision& decision) {
    SCOPED_TRACE(folder + "/" + name);
    const fs::path path = kSuite / folder / name;
    const BitmapRead read = ReadLogoBitmap(path, false);
    ASSERT_EQ(read.result, decision.result);
    if (read.result != R::BMP_OK) {
        return;
    }
    const fs::path refPath =
        kSuite / "ref" /
        (decision.reference.empty() ? folder + "/" + name + ".rgb.png" : decision.reference);
    const auto reference = LoadPng(refPath);
    ASSERT_TRUE(reference) << refPath;
    const auto decoded = Decode(*read.bitmap);
    ASSERT_TRUE(decoded) << "rows missing or repeated";
    ASSERT_EQ(decoded->width, reference->width);
    ASSERT_EQ(decoded->height, reference->height);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < decoded->rgb.size(); i += 3) {
        differing += !std::equal(decoded->rgb.begin() + i, decoded->rgb.begin() + i + 3,
                                 reference->rgb.begin() + i);
    }
    EXPECT_EQ(differing, 0u) << "pixels unlike the reference";

    const LogoConversion mono = ConvertLogoBitmap(*read.bitmap, false);
    ASSERT_EQ(mono.result, R::BMP_OK);
    EXPECT_EQ(mono.width, decoded->width);
    EXPECT_EQ(mono.planes.plane1.size(), mono.planes.planeSize);
}

TEST(LogoCorpus, GoodFilesDecodeLikeTheirReferenceOrAreRefused) {
    ExpectEveryFileDecided("good", kGood);
    int decoded = 0;
    for (const auto& [name, decision] : kGood) {
        CheckDecision("good", name, decision);
        decoded += decision.result == R::BMP_OK;
    }
    EXPECT_EQ(decoded, 20);
}

TEST(LogoCorpus, QuestionableFilesFollowTheirDecision) {
    ExpectEveryFileDecided("q", kQuestionable);
    for (const auto& [name, decision] : kQuestionable) {
        CheckDecision("q", name, decision);
    }
}

TEST(LogoCorpus, BadFilesGiveTheirCodeInEitherColourMode) {
    ExpectEveryFileDecided("bad", kBad);
    for (const auto& [name, expected] : kBad) {
        SCOPED_TRACE(name);
        for (const bool twoColor : {false, true}) {
            const BitmapRead read = ReadLogoBitmap(kSuite / "bad" / name, twoColor);
            // A one-bit file asked for two colours is made in monochrome; the others keep their
            // code.
            ASSERT_EQ(read.result, expected);
            if (read.result == R::BMP_OK) {
                const LogoConversion conversion = ConvertLogoBitmap(*read.bitmap, read.twoColor);
                EXPECT_EQ(conversion.result, R::BMP_OK);
                EXPECT_EQ(conversion.planes.plane2.has_value(), read.twoColor);
            }
        }
    }
}

}  // namespace
}  // namespace kestrel
