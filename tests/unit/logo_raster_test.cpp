// From bitmap to dot planes and back to a preview; the row-at-a-time paths against plain ones.
#include "logo/raster_conversion.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "logo/banded_file_conversion.h"
#include "logo/bayer_matrix.h"
#include "logo/dither_row.h"
#include "logo/logo_preview.h"
#include "logo_test_bitmaps.h"

namespace kestrel {
namespace {

using testing::Bgr;

constexpr Bgr kBlack{0, 0, 0};
constexpr Bgr kWhite{255, 255, 255};
constexpr Bgr kRed{0, 0, 255};
constexpr Bgr kMidGrey{128, 128, 128};

LogoConversion Convert(const std::vector<std::uint8_t>& file, bool twoColor) {
    const BitmapRead read = ReadLogoBitmapBytes(file, twoColor);
    EXPECT_EQ(read.result, BitmapReadResult::BMP_OK);
    return read.bitmap ? ConvertLogoBitmap(*read.bitmap, read.twoColor) : LogoConversion{};
}

LogoConversion Plain(int width, int height, Bgr colour) {
    return Convert(testing::Make24Bit(width, height, [=](int, int) { return colour; }), false);
}

// g = (R + G + B) / 12: 0 prints everywhere, 63 nowhere, g from 1 to 62 at 63 - g positions.
TEST(LogoDither, DotsPerBlockByGreyLevel) {
    const std::pair<Bgr, int> cases[] = {
        {Bgr{3, 4, 4}, 64},      {Bgr{4, 4, 4}, 62},      {kMidGrey, 31},
        {Bgr{248, 248, 248}, 1}, {Bgr{252, 252, 252}, 0},
    };
    for (const auto& [colour, dotsPer64] : cases) {
        int dots = 0;
        for (const std::uint8_t byte : Plain(8, 8, colour).planes.plane1) {
            dots += std::popcount(byte);
        }
        EXPECT_EQ(dots, dotsPer64) << int{colour.r};
    }
}

// The matrix is anchored at the bottom-left pixel: the top row of an image of height H uses
// matrix column (H - 1) mod 8.
TEST(LogoDither, TopRowUsesColumnOfHeightMinusOne) {
    for (const int height : {1, 5, 8, 11, 16, 21}) {
        const auto c = Plain(16, height, kMidGrey);
        ASSERT_EQ(c.planes.rows, static_cast<std::uint32_t>(height));
        for (int row = 0; row < height; ++row) {
            for (int x = 0; x < 16; ++x) {
                const bool dot = (c.planes.plane1.at(row * 2 + x / 8) & (0x80 >> (x % 8))) != 0;
                ASSERT_EQ(dot, BayerMatrix[x % 8][(height - 1 - row) % 8] > 32)
                    << x << "," << row << " of " << height;
            }
        }
    }
}

// Two colours: exact comparison without dither, black to the first plane, anything but black
// and white to the second.
TEST(LogoColourSplit, ExactComparisonWithoutDither) {
    const std::tuple<Bgr, bool, bool> cases[] = {
        {kBlack, true, false},        {kWhite, false, false},
        {Bgr{0, 0, 10}, false, true}, {Bgr{255, 255, 254}, false, true},
        {Bgr{1, 0, 0}, false, true},
    };
    for (const auto& [colour, first, second] : cases) {
        const auto c =
            Convert(testing::MakePalette(8, 8, 8, {colour}, [](int, int) { return 0; }), true);
        ASSERT_TRUE(c.planes.plane2);
        EXPECT_EQ(c.planes.plane1, std::vector<std::uint8_t>(8, first ? 0xFF : 0x00));
        EXPECT_EQ(*c.planes.plane2, std::vector<std::uint8_t>(8, second ? 0xFF : 0x00));
    }
}

// 7 x 61 loses one row: rows 29 and 30 from the top are merged by AND of their colours, so
// blue AND green gives black; the rows below move up by one.
TEST(LogoHeight, DroppedRowIsMergedByAnd) {
    const std::vector<Bgr> palette{kWhite, Bgr{255, 0, 0}, Bgr{0, 255, 0}, kRed};
    auto indexAt = [](int, int y) { return y == 29 ? 1 : y == 30 ? 2 : y == 31 ? 3 : 0; };
    const auto c = Convert(testing::MakePalette(7, 61, 8, palette, indexAt), true);
    std::vector<std::uint8_t> first(60, 0), second(60, 0);
    first[29] = second[30] = 0xFE;
    EXPECT_EQ(std::tie(c.planes.rows, c.planes.plane1, c.planes.plane2),
              std::tuple(60u, first, second));
}

// Rows past the height or shorter than the width are not taken, so the planes stay incomplete.
TEST(LogoPlaneBuilder, RowsOutsideTheBitmapAreNotTaken) {
    const std::vector<std::uint8_t> row(8 * 3, 0), shortRow(8 * 3 - 1, 0);
    const std::pair<std::uint32_t, std::span<const std::uint8_t>> rejected[] = {{2, row},
                                                                                {1, shortRow}};
    for (const auto& [at, bgr] : rejected) {
        LogoPlaneBuilder builder(8, 2, false);
        builder.takeRow(0, row);
        builder.takeRow(at, bgr);
        EXPECT_EQ(builder.finish().result, BitmapReadResult::BMP_UNREADABLE) << at;
    }
}

// The preview: first colour black (it wins over the second), second red, no dot white, at the
// planes' byte width.
TEST(LogoPreview, FirstColourBlackSecondRedBlankWhite) {
    auto picture = [](const LogoPlanes& planes) {
        const RgbImage image = RenderLogoPlanes(planes);
        std::string out;
        for (std::size_t i = 0; i < image.rgb.size(); i += 3) {
            const int colour = image.rgb[i] << 16 | image.rgb[i + 1] << 8 | image.rgb[i + 2];
            out += colour == 0 ? '#' : colour == 0xFF0000 ? 'r' : colour == 0xFFFFFF ? '.' : '?';
            out += (i / 3 + 1) % image.width == 0 ? "\n" : "";
        }
        return out;
    };
    EXPECT_EQ(picture({2, {0x80, 0x00, 0x00, 0x01}, std::vector<std::uint8_t>{0xC0, 0, 0, 0}, 4}),
              "#r..............\n...............#\n");
    EXPECT_EQ(picture({1, {0xAA}, std::nullopt, 1}), "#.#.#.#.\n");
    EXPECT_EQ(picture({}), "");
}

// Random bytes, many of them near the sums where a dot flips (multiples of 12 around 3 x 4k).
std::vector<std::uint8_t> RandomBytes(std::size_t count, std::mt19937& random) {
    std::vector<std::uint8_t> bytes(count);
    for (std::uint8_t& b : bytes) {
        b = (random() % 2 == 0) ? static_cast<std::uint8_t>(random())
                                : static_cast<std::uint8_t>(4 * (random() % 64) + random() % 3);
    }
    return bytes;
}

// Stale contents must not survive: every byte of the row is written.
TEST(LogoDitherRow, VectorRowMatchesPixelwiseForEveryWidthAndMatrixColumn) {
    std::mt19937 random(11);
    std::vector<std::uint32_t> widths{575, 576, 4095, 4096, 4097};
    for (std::uint32_t w = 1; w <= 70; ++w) {
        widths.push_back(w);
    }
    for (const std::uint32_t width : widths) {
        const std::vector<std::uint8_t> bgr = RandomBytes(std::size_t{width} * 3, random);
        for (std::uint32_t row = 0; row < 8; ++row) {
            std::vector<std::uint8_t> fast((width + 7) / 8, 0xA5), plain((width + 7) / 8, 0x5A);
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

// 24-bit files: width, height (negative: top row first), the file cut to its first bytes (0:
// whole), the offset field, and whether the whole-file reader refuses it (the banded one then
// leaves it). 1800-byte rows make several bands.
TEST(LogoBandedConversion, GivesThePlanesOfTheWholeFileReader) {
    const struct {
        std::int32_t width, height;
        std::size_t cutTo;
        std::optional<std::uint32_t> offsetField;
        bool refused = false;
    } cases[] = {{1, 1, 0, {}},           {7, 61, 0, {}},
                 {33, 40, 0, {}},         {45, -30, 0, {}},
                 {600, 200, 0, {}},       {600, 200, 54 + 1800 * 100 + 7, {}},
                 {20, 20, 40, {}, true},  {20, 20, 54, {}},
                 {16, 16, 0, 60},         {16, 16, 0, 54 + 16 * 48},
                 {16, 16, 0, 0x7FFFFFF0}, {16, 16, 0, 30}};
    const testing::ScratchFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " cut " << c.cutTo);
        std::mt19937 random(static_cast<std::uint32_t>(c.width * 7919 + c.height));
        testing::BmpFields f;
        f.width = c.width;
        f.height = c.height;
        f.pixelData = RandomBytes(testing::RowSize(c.width, 24) * std::abs(c.height), random);
        std::vector<std::uint8_t> file = testing::MakeBmp(f);
        if (c.offsetField) {
            file = testing::Patched(file, {{testing::At::PixelOffset, *c.offsetField}});
        }
        file.resize(c.cutTo ? c.cutTo : file.size());
        const auto path = folder.write("image.bmp", file);
        const std::optional<LogoConversion> banded = ConvertLogoFileInBands(path, false);
        const BitmapRead read = ReadLogoBitmap(path, false);
        ASSERT_EQ(read.result,
                  c.refused ? BitmapReadResult::BMP_BAD_FORMAT : BitmapReadResult::BMP_OK);
        ASSERT_EQ(banded.has_value(), !c.refused);
        if (!c.refused) {
            const LogoConversion whole = ConvertLogoBitmap(*read.bitmap, false);
            EXPECT_EQ(std::tie(banded->result, banded->width, banded->planes.rows,
                               banded->planes.plane1, banded->planes.plane2),
                      std::tie(whole.result, whole.width, whole.planes.rows, whole.planes.plane1,
                               whole.planes.plane2));
        }
    }
}

}  // namespace
}  // namespace kestrel
