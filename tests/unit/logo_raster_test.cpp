// From bitmap to dot planes (dither, colour split, height) and back to a preview picture.
#include "logo/raster_conversion.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <set>

#include "logo/bayer_matrix.h"
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

// The standard 8 x 8 matrix: its first row and column, and each of 0 to 63 once.
TEST(LogoBayerMatrix, StandardEightByEight) {
    std::set<int> values;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(BayerMatrix[0][i], (std::array{0, 32, 8, 40, 2, 34, 10, 42}[i]));
        EXPECT_EQ(BayerMatrix[i][0], (std::array{0, 48, 12, 60, 3, 51, 15, 63}[i]));
        values.insert(BayerMatrix[i].begin(), BayerMatrix[i].end());
    }
    EXPECT_EQ(std::tuple(values.size(), *values.begin(), *values.rbegin()),
              std::tuple(std::size_t{64}, 0, 63));
}

// g = (R + G + B) / 12: 0 prints everywhere, 63 nowhere, g from 1 to 62 at 63 - g positions.
TEST(LogoDither, DotsPerBlockByGreyLevel) {
    const std::pair<Bgr, int> cases[] = {
        {kBlack, 64},   {Bgr{3, 4, 4}, 64},      {Bgr{4, 4, 4}, 62},
        {kMidGrey, 31}, {Bgr{248, 248, 248}, 1}, {Bgr{252, 252, 252}, 0},
        {kWhite, 0},    {Bgr{0, 0, 10}, 64},
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
        {kBlack, true, false},
        {kWhite, false, false},
        {Bgr{0, 0, 10}, false, true},
        {kMidGrey, false, true},
        {Bgr{255, 255, 254}, false, true},
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
    ASSERT_EQ(c.planes.rows, 60u);
    for (int row = 0; row < 60; ++row) {
        EXPECT_EQ(c.planes.plane1[row], row == 29 ? 0xFE : 0x00) << row;
        EXPECT_EQ((*c.planes.plane2)[row], row == 30 ? 0xFE : 0x00) << row;
    }
}

// The preview: first colour black (it wins over the second), second red, no dot white, at the
// planes' byte width.
TEST(LogoPreview, FirstColourBlackSecondRedBlankWhite) {
    auto picture = [](const LogoPlanes& planes) {
        const RgbImage image = RenderLogoPlanes(planes);
        EXPECT_EQ(image.rgb.size(), std::size_t{image.width} * image.height * 3);
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

}  // namespace
}  // namespace kestrel
