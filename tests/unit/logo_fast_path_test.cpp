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
    std::vector<std::uint32_t> widths{575, 576, 4095, 4096, 4097};
    for (std::uint32_t w = 1; w <= 70; ++w) {
        widths.push_back(w);
    }
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
    // Pixels or output too short for the width: the row is left alone.
    std::vector<std::uint8_t> out(2, 0x33);
    DitherBgrRow(std::vector<std::uint8_t>(3 * 16 - 1, 0), 16, 0, out);
    DitherBgrRow(std::vector<std::uint8_t>(3 * 17, 0), 17, 0, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0x33, 0x33}));
}

struct BandedCase {
    const char* name;
    std::int32_t width;
    std::int32_t height;  // negative: top row first
    std::size_t cutTo;    // 0: whole file; else the file's first cutTo bytes
    std::optional<std::uint32_t> offsetField;
    bool refused = false;  // the whole-file reader refuses it, and the banded one leaves it
};

class LogoBandedConversion : public ::testing::TestWithParam<BandedCase> {};

TEST_P(LogoBandedConversion, GivesThePlanesOfTheWholeFileReader) {
    const BandedCase& c = GetParam();
    std::mt19937 random(static_cast<std::uint32_t>(c.width * 7919 + c.height));
    testing::BmpFields f;
    f.width = c.width;
    f.height = c.height;
    f.pixelData = RandomBytes(testing::RowSize(c.width, 24) * std::abs(c.height), random);
    std::vector<std::uint8_t> file = testing::MakeBmp(f);
    if (c.offsetField) {
        file = testing::Patched(file, {{testing::At::PixelOffset, *c.offsetField}});
    }
    if (c.cutTo != 0) {
        file.resize(c.cutTo);
    }
    const testing::ScratchFolder folder;
    const auto path = folder.write("image.bmp", file);

    const std::optional<LogoConversion> banded = ConvertLogoFileInBands(path, false);
    const BitmapRead read = ReadLogoBitmap(path, false);
    if (c.refused) {
        EXPECT_FALSE(banded.has_value());
        EXPECT_EQ(read.result, BitmapReadResult::BMP_BAD_FORMAT);
        return;
    }
    ASSERT_EQ(read.result, BitmapReadResult::BMP_OK);
    const LogoConversion whole = ConvertLogoBitmap(*read.bitmap, false);
    ASSERT_TRUE(banded.has_value());
    ASSERT_EQ(banded->result, whole.result);
    EXPECT_EQ(banded->width, whole.width);
    EXPECT_EQ(banded->planes.rows, whole.planes.rows);
    EXPECT_EQ(banded->planes.plane1, whole.planes.plane1);
    EXPECT_FALSE(banded->planes.plane2.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, LogoBandedConversion,
    ::testing::Values(BandedCase{"OnePixel", 1, 1, 0, {}}, BandedCase{"OneRowShort", 7, 61, 0, {}},
                      BandedCase{"OddWidth", 33, 40, 0, {}}, BandedCase{"TopDown", 45, -30, 0, {}},
                      // 1800-byte rows: several bands, cut inside the second.
                      BandedCase{"SeveralBands", 600, 200, 0, {}},
                      BandedCase{"CutInSecondBand", 600, 200, 54 + 1800 * 100 + 7, {}},
                      BandedCase{"CutInsideHeader", 20, 20, 40, {}, true},
                      BandedCase{"NoPixelBytes", 20, 20, 54, {}},
                      BandedCase{"OffsetInsideFile", 16, 16, 0, 60},
                      BandedCase{"OffsetAtEnd", 16, 16, 0, 54 + 16 * 48},
                      BandedCase{"OffsetPastEnd", 16, 16, 0, 0x7FFFFFF0},
                      BandedCase{"OffsetInsideInfoHeader", 16, 16, 0, 30}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogoBandedConversion, LeavesOtherFilesToTheWholeFileReader) {
    const testing::ScratchFolder folder;
    const auto rgb =
        folder.write("rgb.bmp", testing::Make24Bit(8, 8, [](int, int) { return testing::Bgr{}; }));
    EXPECT_FALSE(ConvertLogoFileInBands(rgb, true).has_value());  // refused for two colours
    EXPECT_FALSE(ConvertLogoFileInBands(folder.path() / "missing.bmp", false).has_value());
    EXPECT_FALSE(ConvertLogoFileInBands(folder.path(), false).has_value());
    const auto palette = folder.write(
        "palette.bmp", testing::MakePalette(8, 8, 8, {{}, {}}, [](int x, int) { return x % 2; }));
    EXPECT_FALSE(ConvertLogoFileInBands(palette, false).has_value());
}

}  // namespace
}  // namespace kestrel
