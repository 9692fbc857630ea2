// The row-at-a-time paths against the plain ones: the vector dither against the pixel-by-pixel
// dither, and the banded file conversion against loading the whole file.
#include <gtest/gtest.h>

#include <random>

#include "logo/banded_file_conversion.h"
#include "logo/dither_row.h"
#include "logo/raster_conversion.h"
#include "logo_test_bitmaps.h"

namespace kestrel {
namespace {

// Random bytes, many of them near the sums where a dot flips (multiples of 12 around 3 x 4k).
std::vector<std::uint8_t> RandomBytes(std::size_t count, std::mt19937& random) {
    std::vector<std::uint8_t> bytes(count);
    for (std::uint8_t& b : bytes) {
        b = (random() % 2 == 0) ? static_cast<std::uint8_t>(random())
                                : static_cast<std::uint8_t>(4 * (random() % 64) + random() % 3);
    }
    return bytes;
}

TEST(LogoDitherRow, VectorRowMatchesPixelwiseForEveryWidthAndMatrixColumn) {
    std::mt19937 random(11);
    std::vector<std::uint32_t> widths;
    for (std::uint32_t w = 1; w <= 70; ++w) {
        widths.push_back(w);
    }
    widths.insert(widths.end(), {575, 576, 4095, 4096, 4097});
    for (const std::uint32_t width : widths) {
        const std::vector<std::uint8_t> bgr = RandomBytes(std::size_t{width} * 3, random);
        for (std::uint32_t row = 0; row < 8; ++row) {
            // Stale contents must not survive: every byte of the row is written.
            std::vector<std::uint8_t> fast((width + 7) / 8, 0xA5);
            std::vector<std::uint8_t> plain((width + 7) / 8, 0x5A);
            DitherBgrRow(bgr, width, row, fast);
            DitherBgrRowPixelwise(bgr, width, row, plain);
            ASSERT_EQ(fast, plain) << "width " << width << " row " << row;
        }
    }
}

TEST(LogoDitherRow, ExtremesPrintAllOrNothingAndPadIsBlank) {
    const std::uint32_t width = 37;
    std::vector<std::uint8_t> out((width + 7) / 8);
    DitherBgrRow(std::vector<std::uint8_t>(width * 3, 0), width, 0, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xF8}));
    DitherBgrRow(std::vector<std::uint8_t>(width * 3, 0xFF), width, 0, out);
    EXPECT_EQ(out, std::vector<std::uint8_t>(5, 0));
}

TEST(LogoDitherRow, RowsTooShortForTheWidthAreLeftAlone) {
    std::vector<std::uint8_t> out(2, 0x33);
    DitherBgrRow(std::vector<std::uint8_t>(3 * 16 - 1, 0), 16, 0, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0x33, 0x33}));
    DitherBgrRow(std::vector<std::uint8_t>(3 * 17, 0), 17, 0, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0x33, 0x33}));
}

LogoConversion WholeFile(const std::filesystem::path& path, bool twoColor) {
    const BitmapRead read = ReadLogoBitmap(path, twoColor);
    if (read.result != BitmapReadResult::BMP_OK) {
        return {};
    }
    return ConvertLogoBitmap(*read.bitmap, read.twoColor);
}

std::vector<std::uint8_t> RandomImage(std::int32_t width, std::int32_t height, bool topDown,
                                      std::mt19937& random) {
    testing::BmpFields f;
    f.width = width;
    f.height = topDown ? -height : height;
    f.pixelData = RandomBytes(testing::RowSize(width, 24) * height, random);
    return testing::MakeBmp(f);
}

struct BandedCase {
    const char* name;
    std::int32_t width;
    std::int32_t height;
    bool topDown;
    std::size_t cutTo;  // 0: whole file; else the file's first cutTo bytes
    std::optional<std::uint32_t> offsetField;
    bool refused = false;  // the whole-file reader refuses it, and the banded one leaves it
};

class LogoBandedConversion : public ::testing::TestWithParam<BandedCase> {};

TEST_P(LogoBandedConversion, GivesThePlanesOfTheWholeFileReader) {
    const BandedCase& c = GetParam();
    std::mt19937 random(static_cast<std::uint32_t>(c.width * 7919 + c.height));
    std::vector<std::uint8_t> file = RandomImage(c.width, c.height, c.topDown, random);
    if (c.offsetField) {
        for (int i = 0; i < 4; ++i) {
            file[10 + i] = static_cast<std::uint8_t>(*c.offsetField >> (8 * i));
        }
    }
    if (c.cutTo != 0) {
        file.resize(c.cutTo);
    }
    const testing::ScratchFolder folder;
    const auto path = folder.write("image.bmp", file);

    const std::optional<LogoConversion> banded = ConvertLogoFileInBands(path, false);
    if (c.refused) {
        EXPECT_FALSE(banded.has_value());
        EXPECT_EQ(ReadLogoBitmap(path, false).result, BitmapReadResult::BMP_BAD_FORMAT);
        return;
    }
    const LogoConversion whole = WholeFile(path, false);
    ASSERT_TRUE(banded.has_value());
    ASSERT_EQ(banded->result, whole.result);
    EXPECT_EQ(banded->width, whole.width);
    EXPECT_EQ(banded->planes.rows, whole.planes.rows);
    EXPECT_EQ(banded->planes.planeSize, whole.planes.planeSize);
    EXPECT_EQ(banded->planes.plane1, whole.planes.plane1);
    EXPECT_FALSE(banded->planes.plane2.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, LogoBandedConversion,
    ::testing::Values(BandedCase{"OnePixel", 1, 1, false, 0, {}},
                      BandedCase{"OneRowShort", 7, 61, false, 0, {}},
                      BandedCase{"OddWidth", 33, 40, false, 0, {}},
                      BandedCase{"TopDown", 45, 30, true, 0, {}},
                      // 1800-byte rows: several bands, cut inside the second.
                      BandedCase{"SeveralBands", 600, 200, false, 0, {}},
                      BandedCase{"CutInSecondBand", 600, 200, false, 54 + 1800 * 100 + 7, {}},
                      BandedCase{"CutInsideHeader", 20, 20, false, 40, {}, true},
                      BandedCase{"NoPixelBytes", 20, 20, false, 54, {}},
                      BandedCase{"OffsetInsideFile", 16, 16, false, 0, 60},
                      BandedCase{"OffsetAtEnd", 16, 16, false, 0, 54 + 16 * 48},
                      BandedCase{"OffsetPastEnd", 16, 16, false, 0, 0x7FFFFFF0},
                      BandedCase{"OffsetInsideInfoHeader", 16, 16, false, 0, 30}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogoBandedConversion, LeavesOtherFilesToTheWholeFileReader) {
    const testing::ScratchFolder folder;
    std::mt19937 random(3);
    const auto image = folder.write("rgb.bmp", RandomImage(8, 8, false, random));
    EXPECT_FALSE(ConvertLogoFileInBands(image, true).has_value());  // refused for two colours
    EXPECT_FALSE(ConvertLogoFileInBands(folder.path() / "missing.bmp", false).has_value());
    EXPECT_FALSE(ConvertLogoFileInBands(folder.path(), false).has_value());
    const auto palette =
        folder.write("palette.bmp", testing::MakePalette(8, 8, 8, {{0, 0, 0}, {255, 255, 255}},
                                                         [](int x, int y) { return (x + y) % 2; }));
    EXPECT_FALSE(ConvertLogoFileInBands(palette, false).has_value());
    std::vector<std::uint8_t> bad = RandomImage(8, 8, false, random);
    bad[28] = 32;  // 32 bits per pixel
    EXPECT_FALSE(ConvertLogoFileInBands(folder.write("bad.bmp", bad), false).has_value());
}

}  // namespace
}  // namespace kestrel
