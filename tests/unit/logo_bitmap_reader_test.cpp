#include "logo/bitmap_reader.h"

#include <gtest/gtest.h>

#include "logo_test_bitmaps.h"

namespace kestrel {
namespace {

using R = BitmapReadResult;
using testing::BmpFields;
using testing::MakeBmp;

BmpFields Small24() {
    BmpFields f;
    f.width = 4;
    f.height = 2;
    f.pixelData.assign(testing::RowSize(4, 24) * 2, 0);
    return f;
}

BmpFields Small(std::uint16_t bits) {
    BmpFields f;
    f.width = 8;
    f.height = 2;
    f.bitCount = bits;
    if (bits <= 8) {
        f.palette.assign(std::size_t{1} << bits, {});
    }
    f.pixelData.assign(testing::RowSize(8, bits) * 2, 0);
    return f;
}

struct ReadCase {
    std::string name;
    std::vector<std::uint8_t> file;
    bool twoColorRequested;
    R expected;
    bool twoColorInForce = false;
};

class LogoBitmapRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(LogoBitmapRead, ResultAndColourMode) {
    const auto& c = GetParam();
    testing::ScratchFolder folder;
    const BitmapRead read = ReadLogoBitmap(folder.write("f.bmp", c.file), c.twoColorRequested);
    EXPECT_EQ(read.result, c.expected);
    EXPECT_EQ(read.bitmap.has_value(), c.expected == R::BMP_OK);
    if (c.expected == R::BMP_OK) {
        EXPECT_EQ(read.twoColor, c.twoColorInForce);
    }
    // The file and the memory reader agree.
    EXPECT_EQ(ReadLogoBitmapBytes(c.file, c.twoColorRequested).result, c.expected);
}

BmpFields With(BmpFields f, const std::function<void(BmpFields&)>& change) {
    change(f);
    return f;
}

std::vector<std::uint8_t> Truncated(std::vector<std::uint8_t> file, std::size_t size) {
    file.resize(size);
    return file;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogoBitmapRead,
    ::testing::Values(
        // Colour-mode decision by bit count.
        ReadCase{"mono24", MakeBmp(Small(24)), false, R::BMP_OK, false},
        ReadCase{"twoColour24", MakeBmp(Small(24)), true, R::BMP_BAD_FORMAT},
        ReadCase{"twoColour1MadeMono", MakeBmp(Small(1)), true, R::BMP_OK, false},
        ReadCase{"twoColour4", MakeBmp(Small(4)), true, R::BMP_OK, true},
        ReadCase{"twoColour8", MakeBmp(Small(8)), true, R::BMP_OK, true},
        ReadCase{"mono8", MakeBmp(Small(8)), false, R::BMP_OK, false},
        // The file header.
        ReadCase{"notBm", std::vector<std::uint8_t>{'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0,
                                                    0,   0,   0,   0, 0, 0, 0, 0, 0, 0},
                 false, R::BMP_BAD_FORMAT},
        ReadCase{"thirteenBytes", Truncated(MakeBmp(Small24()), 13), false, R::BMP_BAD_FORMAT},
        ReadCase{"sizeFieldBelow14",
                 MakeBmp(With(Small24(), [](BmpFields& f) { f.fileSizeField = 13; })), false,
                 R::BMP_UNREADABLE},
        // A size field far beyond the file: accepted, the missing bytes read as zero.
        ReadCase{"sizeField4G",
                 MakeBmp(With(Small24(), [](BmpFields& f) { f.fileSizeField = 0xFFFFFFFF; })),
                 false, R::BMP_OK},
        ReadCase{"sizeFieldOnlyHeaders",
                 MakeBmp(With(Small24(), [](BmpFields& f) { f.fileSizeField = 54; })), false,
                 R::BMP_OK},
        ReadCase{"pixelsCutOff", Truncated(MakeBmp(Small24()), 60), false, R::BMP_OK},
        // Headers.
        ReadCase{"headerCutOff", Truncated(MakeBmp(Small24()), 14 + 39), false, R::BMP_BAD_FORMAT},
        ReadCase{"headerSize20", MakeBmp(With(Small24(), [](BmpFields& f) { f.headerSize = 20; })),
                 false, R::BMP_BAD_FORMAT},
        ReadCase{"coreHeader", MakeBmp(With(Small(8), [](BmpFields& f) { f.headerSize = 12; })),
                 true, R::BMP_OK, true},
        ReadCase{"v5Header", MakeBmp(With(Small(8), [](BmpFields& f) { f.headerSize = 124; })),
                 false, R::BMP_OK},
        ReadCase{"twoPlanes", MakeBmp(With(Small24(), [](BmpFields& f) { f.planes = 2; })), false,
                 R::BMP_BAD_FORMAT},
        // Sizes: not zero, and within the define command's 16-bit fields.
        ReadCase{"width0", MakeBmp(With(Small24(), [](BmpFields& f) { f.width = 0; })), false,
                 R::BMP_BAD_FORMAT},
        ReadCase{"height0", MakeBmp(With(Small24(), [](BmpFields& f) { f.height = 0; })), false,
                 R::BMP_BAD_FORMAT},
        ReadCase{"negativeWidth", MakeBmp(With(Small24(), [](BmpFields& f) { f.width = -4; })),
                 false, R::BMP_BAD_FORMAT},
        ReadCase{"width65528", MakeBmp(With(Small24(), [](BmpFields& f) { f.width = 65528; })),
                 false, R::BMP_OK},
        ReadCase{"width65529", MakeBmp(With(Small24(), [](BmpFields& f) { f.width = 65529; })),
                 false, R::BMP_BAD_FORMAT},
        ReadCase{"height65536", MakeBmp(With(Small24(), [](BmpFields& f) { f.height = 65536; })),
                 false, R::BMP_BAD_FORMAT},
        ReadCase{"heightMostNegative",
                 MakeBmp(With(Small24(), [](BmpFields& f) { f.height = INT32_MIN; })), false,
                 R::BMP_BAD_FORMAT},
        ReadCase{"topDown", MakeBmp(With(Small24(), [](BmpFields& f) { f.height = -2; })), false,
                 R::BMP_OK},
        // 49 x 1: 1 / 49 * 49 falls short of one row.
        ReadCase{"noRowLeft",
                 MakeBmp(With(Small24(),
                              [](BmpFields& f) {
                                  f.width = 49;
                                  f.height = 1;
                              })),
                 false, R::BMP_BAD_FORMAT},
        // Depths and compressions.
        ReadCase{"bits16", MakeBmp(Small(16)), false, R::BMP_BAD_FORMAT},
        ReadCase{"bits32", MakeBmp(Small(32)), false, R::BMP_BAD_FORMAT},
        ReadCase{"bits2", MakeBmp(Small(2)), false, R::BMP_BAD_FORMAT},
        ReadCase{"bitFields", MakeBmp(With(Small(24), [](BmpFields& f) { f.compression = 3; })),
                 false, R::BMP_BAD_FORMAT},
        ReadCase{"rle8", MakeBmp(With(Small(8), [](BmpFields& f) { f.compression = 1; })), false,
                 R::BMP_OK},
        ReadCase{"rle8On4Bits", MakeBmp(With(Small(4), [](BmpFields& f) { f.compression = 1; })),
                 false, R::BMP_BAD_FORMAT},
        ReadCase{"rle4TopDown",
                 MakeBmp(With(Small(4),
                              [](BmpFields& f) {
                                  f.compression = 2;
                                  f.height = -2;
                              })),
                 false, R::BMP_BAD_FORMAT},
        ReadCase{"colours257", MakeBmp(With(Small(8), [](BmpFields& f) { f.coloursUsed = 257; })),
                 false, R::BMP_BAD_FORMAT}),
    [](const auto& info) { return info.param.name; });

TEST(LogoBitmapRead, MissingPathIsNotFound) {
    testing::ScratchFolder folder;
    EXPECT_EQ(ReadLogoBitmap(folder.path() / "none.bmp", false).result, R::BMP_NOT_FOUND);
    EXPECT_EQ(ReadLogoBitmap(folder.path(), false).result, R::BMP_NOT_FOUND);
}

TEST(LogoBitmapRead, BlockIsSizedByTheFileNotItsSizeField) {
    BmpFields f = Small24();
    f.fileSizeField = 0xFFFFFFFF;
    const auto file = MakeBmp(f);
    testing::ScratchFolder folder;
    const BitmapRead read = ReadLogoBitmap(folder.write("f.bmp", file), false);
    ASSERT_EQ(read.result, R::BMP_OK);
    EXPECT_LE(read.bitmap->size(), std::max<std::size_t>(file.size(), 14 + 124));
    EXPECT_EQ(read.bitmap->byteAt(0xFFFFFFF0u), 0);
}

struct ColourCountCase {
    std::uint16_t bits;
    std::uint32_t coloursUsed;
    std::uint64_t expectedCount;
    std::uint64_t expectedStart;  // block offset of the pixel rows
};

class LogoColourCount : public ::testing::TestWithParam<ColourCountCase> {};

TEST_P(LogoColourCount, CompletedCountPlacesThePixelRows) {
    const auto& c = GetParam();
    BmpFields f = Small(c.bits);
    f.coloursUsed = c.coloursUsed;
    f.palette.assign(c.expectedCount, {});
    f.offsetField = 0;  // no usable offset: the rows follow the colour table
    const BitmapRead read = ReadLogoBitmapBytes(MakeBmp(f), false);
    ASSERT_EQ(read.result, R::BMP_OK);
    EXPECT_EQ(read.bitmap->colourCount(), c.expectedCount);
    EXPECT_EQ(read.bitmap->coloursUsedField(), c.bits == 24 ? c.coloursUsed : c.expectedCount);
    EXPECT_EQ(read.bitmap->pixelRowsStart(), c.expectedStart);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, LogoColourCount,
    ::testing::Values(ColourCountCase{8, 0, 256, 40 + 1024}, ColourCountCase{8, 20, 20, 40 + 80},
                      ColourCountCase{4, 0, 16, 40 + 64}, ColourCountCase{1, 0, 2, 40 + 8},
                      ColourCountCase{24, 0, 0, 40}, ColourCountCase{24, 3, 3, 40 + 12}));

TEST(LogoBitmapRead, CoreHeaderUsesThreeByteEntries) {
    BmpFields f = Small(4);
    f.headerSize = 12;
    f.offsetField = 0;
    const BitmapRead read = ReadLogoBitmapBytes(MakeBmp(f), false);
    ASSERT_EQ(read.result, R::BMP_OK);
    EXPECT_EQ(read.bitmap->width(), 8);
    EXPECT_EQ(read.bitmap->height(), 2);
    EXPECT_EQ(read.bitmap->colourTableSize(), 48u);
    EXPECT_EQ(read.bitmap->pixelRowsStart(), 12u + 48u);
}

TEST(LogoBitmapRead, OffsetFieldSkipsAGapBeforeThePixels) {
    BmpFields f = Small(8);
    f.gapBeforePixels = 100;
    const BitmapRead read = ReadLogoBitmapBytes(MakeBmp(f), false);
    ASSERT_EQ(read.result, R::BMP_OK);
    EXPECT_EQ(read.bitmap->pixelRowsStart(), 40u + 1024u + 100u);
}

TEST(LogoBitmapRead, OffsetFieldInsideTheHeaderIsIgnored) {
    BmpFields f = Small(8);
    f.offsetField = 14 + 20;
    const BitmapRead read = ReadLogoBitmapBytes(MakeBmp(f), false);
    ASSERT_EQ(read.result, R::BMP_OK);
    EXPECT_EQ(read.bitmap->pixelRowsStart(), 40u + 1024u);
}

}  // namespace
}  // namespace kestrel
