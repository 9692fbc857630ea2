#include "logo/raster_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <set>

#include "logo/bayer_matrix.h"
#include "logo/bitmap_decoder.h"
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
    if (read.result != BitmapReadResult::BMP_OK) {
        return {};
    }
    return ConvertLogoBitmap(*read.bitmap, read.twoColor);
}

bool Dot(const LogoConversion& c, const std::vector<std::uint8_t>& plane, int x, int row) {
    const std::uint32_t bytesPerRow = c.planes.planeSize / c.planes.rows;
    return (plane.at(row * bytesPerRow + x / 8) & (0x80 >> (x % 8))) != 0;
}

TEST(LogoBayerMatrix, StandardEightByEight) {
    const std::array<int, 8> firstRow{0, 32, 8, 40, 2, 34, 10, 42};
    const std::array<int, 8> firstColumn{0, 48, 12, 60, 3, 51, 15, 63};
    std::set<int> values;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(BayerMatrix[0][i], firstRow[i]);
        EXPECT_EQ(BayerMatrix[i][0], firstColumn[i]);
        for (int j = 0; j < 8; ++j) {
            values.insert(BayerMatrix[i][j]);
        }
    }
    EXPECT_EQ(values.size(), 64u);
    EXPECT_EQ(*values.rbegin(), 63);
}

TEST(LogoDither, MidGreyPrints31Of64InEveryBlock) {
    const auto c = Convert(testing::Make24Bit(24, 16, [](int, int) { return kMidGrey; }), false);
    ASSERT_EQ(c.result, BitmapReadResult::BMP_OK);
    for (int bx = 0; bx < 3; ++bx) {
        for (int by = 0; by < 2; ++by) {
            int dots = 0;
            for (int x = 0; x < 8; ++x) {
                for (int y = 0; y < 8; ++y) {
                    dots += Dot(c, c.planes.plane1, bx * 8 + x, by * 8 + y);
                }
            }
            EXPECT_EQ(dots, 31) << bx << "," << by;
        }
    }
}

struct GreyCase {
    Bgr colour;
    int dotsPer64;
};

class LogoGreyLevels : public ::testing::TestWithParam<GreyCase> {};

TEST_P(LogoGreyLevels, DotsPerBlock) {
    const Bgr colour = GetParam().colour;
    const auto c = Convert(testing::Make24Bit(8, 8, [&](int, int) { return colour; }), false);
    int dots = 0;
    for (const std::uint8_t byte : c.planes.plane1) {
        dots += std::popcount(byte);
    }
    EXPECT_EQ(dots, GetParam().dotsPer64);
}

// g = (R + G + B) / 12: 0 prints everywhere, 63 nowhere, g from 1 to 62 at 63 - g positions.
INSTANTIATE_TEST_SUITE_P(Levels, LogoGreyLevels,
                         ::testing::Values(GreyCase{kBlack, 64}, GreyCase{Bgr{3, 4, 4}, 64},
                                           GreyCase{Bgr{4, 4, 4}, 62}, GreyCase{kMidGrey, 31},
                                           GreyCase{Bgr{248, 248, 248}, 1},
                                           GreyCase{Bgr{252, 252, 252}, 0}, GreyCase{kWhite, 0},
                                           GreyCase{Bgr{0, 0, 10}, 64}));

class LogoDitherPhase : public ::testing::TestWithParam<int> {};

// The matrix is anchored at the bottom-left pixel: the top row of an image of height H uses
// matrix column (H - 1) mod 8.
TEST_P(LogoDitherPhase, TopRowUsesColumnOfHeightMinusOne) {
    const int height = GetParam();
    const auto c =
        Convert(testing::Make24Bit(16, height, [](int, int) { return kMidGrey; }), false);
    ASSERT_EQ(c.planes.rows, static_cast<std::uint32_t>(height));
    for (int row = 0; row < height; ++row) {
        const int column = (height - 1 - row) % 8;
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(Dot(c, c.planes.plane1, x, row), BayerMatrix[x % 8][column] > 32)
                << "x " << x << " row " << row;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Heights, LogoDitherPhase, ::testing::Values(1, 5, 8, 11, 16, 21));

TEST(LogoDither, TopDownRowsDitherLikeBottomUp) {
    auto colourAt = [](int x, int y) {
        return Bgr{static_cast<std::uint8_t>(x * 20), static_cast<std::uint8_t>(y * 30), 90};
    };
    const auto bottomUp = Convert(testing::Make24Bit(12, 7, colourAt), false);
    // The same pixels stored top row first.
    auto file = testing::Make24Bit(12, 7, colourAt);
    testing::BmpFields f;
    f.width = 12;
    f.height = -7;
    const std::size_t rowSize = testing::RowSize(12, 24);
    for (int y = 0; y < 7; ++y) {
        const auto* row = file.data() + 54 + (6 - y) * rowSize;
        f.pixelData.insert(f.pixelData.end(), row, row + rowSize);
    }
    const auto topDown = Convert(testing::MakeBmp(f), false);
    EXPECT_EQ(topDown.planes.plane1, bottomUp.planes.plane1);
}

TEST(LogoDither, ColumnsPastTheWidthStayBlank) {
    const auto c = Convert(testing::Make24Bit(10, 3, [](int, int) { return kBlack; }), false);
    EXPECT_EQ(c.width, 10u);
    EXPECT_EQ(c.planes.planeSize, 6u);
    EXPECT_EQ(c.planes.plane1, (std::vector<std::uint8_t>{0xFF, 0xC0, 0xFF, 0xC0, 0xFF, 0xC0}));
    EXPECT_FALSE(c.planes.plane2);
}

struct SplitCase {
    Bgr colour;
    bool first;
    bool second;
};

class LogoColourSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LogoColourSplit, ExactComparisonWithoutDither) {
    const auto& s = GetParam();
    const auto file = testing::MakePalette(8, 8, 8, {s.colour}, [](int, int) { return 0; });
    const auto c = Convert(file, true);
    ASSERT_TRUE(c.planes.plane2);
    EXPECT_EQ(c.planes.plane1, std::vector<std::uint8_t>(8, s.first ? 0xFF : 0x00));
    EXPECT_EQ(*c.planes.plane2, std::vector<std::uint8_t>(8, s.second ? 0xFF : 0x00));
}

INSTANTIATE_TEST_SUITE_P(Colours, LogoColourSplit,
                         ::testing::Values(SplitCase{kBlack, true, false},
                                           SplitCase{kWhite, false, false},
                                           SplitCase{Bgr{0, 0, 10}, false, true},
                                           SplitCase{kMidGrey, false, true},
                                           SplitCase{Bgr{255, 255, 254}, false, true},
                                           SplitCase{Bgr{1, 0, 0}, false, true}));

TEST(LogoColourSplit, FourBitFileSplitsPerPixel) {
    const auto file =
        testing::MakePalette(8, 1, 4, {kBlack, kRed, kWhite}, [](int x, int) { return x % 3; });
    const auto c = Convert(file, true);
    ASSERT_TRUE(c.planes.plane2);
    EXPECT_EQ(c.planes.plane1, std::vector<std::uint8_t>{0b10010010});
    EXPECT_EQ(*c.planes.plane2, std::vector<std::uint8_t>{0b01001001});
}

TEST(LogoHeight, SevenBySixtyOneGivesSixtyRowsAndSixtyKeepsThem) {
    EXPECT_EQ(
        Convert(testing::Make24Bit(7, 61, [](int, int) { return kWhite; }), false).planes.rows,
        60u);
    EXPECT_EQ(
        Convert(testing::Make24Bit(7, 60, [](int, int) { return kWhite; }), false).planes.rows,
        60u);
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

// Run-length data for a 4 x 3 image, palette 0 black, 1 white, 2 red:
//   bottom row: run of three 1s, end of line;
//   middle row: delta 2 right, one 2, end of line;
//   top row:    absolute 0 1 2 (padded), end of bitmap.
// Pixels the data leaves out take entry 0.
struct RleCase {
    std::string name;
    std::uint16_t bits;
    std::uint32_t compression;
    std::vector<std::uint8_t> data;
    std::vector<Bgr> middleRow = {kBlack, kBlack, kRed, kBlack};
};

class LogoRunLength : public ::testing::TestWithParam<RleCase> {};

TEST_P(LogoRunLength, EscapesDecode) {
    const auto& c = GetParam();
    testing::BmpFields f;
    f.width = 4;
    f.height = 3;
    f.bitCount = c.bits;
    f.compression = c.compression;
    f.coloursUsed = 3;
    f.palette = {kBlack, kWhite, kRed};
    f.pixelData = c.data;
    const BitmapRead read = ReadLogoBitmapBytes(testing::MakeBmp(f), false);
    ASSERT_EQ(read.result, BitmapReadResult::BMP_OK);
    std::vector<std::vector<Bgr>> rows(3);
    DecodeBitmapRows(*read.bitmap, [&](std::uint32_t row, std::span<const std::uint8_t> bgr) {
        for (std::size_t x = 0; x < 4; ++x) {
            rows.at(row).push_back({bgr[x * 3], bgr[x * 3 + 1], bgr[x * 3 + 2]});
        }
    });
    EXPECT_EQ(rows[0], (std::vector<Bgr>{kBlack, kWhite, kRed, kBlack}));
    EXPECT_EQ(rows[1], c.middleRow);
    EXPECT_EQ(rows[2], (std::vector<Bgr>{kWhite, kWhite, kWhite, kBlack}));
}

INSTANTIATE_TEST_SUITE_P(
    Streams, LogoRunLength,
    ::testing::Values(RleCase{"rle8", 8, 1, {0x03, 0x01, 0x00, 0x00, 0x00, 0x02, 0x02,
                                             0x00, 0x01, 0x02, 0x00, 0x00, 0x00, 0x03,
                                             0x00, 0x01, 0x02, 0x00, 0x00, 0x01}},
                      // Delta straight up a row keeps the column: from (3, bottom) to (3, middle).
                      RleCase{"rle8DeltaUp",
                              8,
                              1,
                              {0x03, 0x01, 0x00, 0x02, 0x00, 0x01, 0x01, 0x02, 0x00, 0x00, 0x00,
                               0x03, 0x00, 0x01, 0x02, 0x00, 0x00, 0x01},
                              {kBlack, kBlack, kBlack, kRed}},
                      RleCase{"rle4",
                              4,
                              2,
                              {0x03, 0x11, 0x00, 0x00, 0x00, 0x02, 0x02, 0x00, 0x01, 0x20, 0x00,
                               0x00, 0x00, 0x03, 0x01, 0x20, 0x00, 0x01}}),
    [](const auto& info) { return info.param.name; });

TEST(LogoRunLength, DataEndingEarlyLeavesEntryZero) {
    testing::BmpFields f;
    f.width = 3;
    f.height = 2;
    f.bitCount = 8;
    f.compression = 1;
    f.coloursUsed = 2;
    f.palette = {kRed, kWhite};
    f.pixelData = {0x02, 0x01};  // two white pixels, then nothing
    const BitmapRead read = ReadLogoBitmapBytes(testing::MakeBmp(f), false);
    ASSERT_EQ(read.result, BitmapReadResult::BMP_OK);
    int rowsSeen = 0;
    DecodeBitmapRows(*read.bitmap, [&](std::uint32_t row, std::span<const std::uint8_t> bgr) {
        ++rowsSeen;
        const std::vector<std::uint8_t> got(bgr.begin(), bgr.end());
        const std::vector<std::uint8_t> bottom{255, 255, 255, 255, 255, 255, 0, 0, 255};
        const std::vector<std::uint8_t> top{0, 0, 255, 0, 0, 255, 0, 0, 255};
        EXPECT_EQ(got, row == 1 ? bottom : top);
    });
    EXPECT_EQ(rowsSeen, 2);
}

}  // namespace
}  // namespace kestrel
