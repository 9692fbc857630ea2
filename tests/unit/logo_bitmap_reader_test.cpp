#include "logo/bitmap_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "logo_test_bitmaps.h"

namespace kestrel {
namespace {

using R = BitmapReadResult;
using testing::At;
using Fields = std::initializer_list<std::pair<std::size_t, std::int64_t>>;

// An 8 x 2 file of the given depth (palette images with their whole table), with some fields
// changed; a core header when headerSize is 12.
std::vector<std::uint8_t> Small(std::uint16_t bits, Fields fields = {}, std::uint32_t header = 40) {
    testing::BmpFields f;
    f.width = 8;
    f.height = 2;
    f.bitCount = bits;
    f.headerSize = header;
    f.palette.assign(bits <= 8 ? std::size_t{1} << bits : 0, {});
    f.pixelData.assign(testing::RowSize(8, bits) * 2, 0);
    return testing::Patched(testing::MakeBmp(f), fields);
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> file, std::size_t size) {
    file.resize(size);
    return file;
}

// A tiny RLE8 file (its pixel data ends the bitmap at once) that declares width x height.
std::vector<std::uint8_t> Declaring(std::int64_t width, std::int64_t height) {
    return Small(8, {{At::Compression, 1}, {At::Width, width}, {At::Height, height}});
}

struct ReadCase {
    std::string name;
    std::vector<std::uint8_t> file;
    bool twoColorRequested;
    R expected;
    bool twoColorInForce = false;
    // On BMP_OK when colours is set: the completed colour count and where the pixel rows start
    // (block offset).
    std::optional<std::uint64_t> colours = std::nullopt;
    std::uint64_t rowsStart = 0;
};

constexpr bool kMono = false, kTwo = true;
const R kOk = R::BMP_OK, kBad = R::BMP_BAD_FORMAT, kLarge = R::BMP_TOO_LARGE;

// clang-format off
const ReadCase kCases[] = {
    // Colour mode by depth: 24 bits cannot split, one bit has only one colour to print.
    {"mono24", Small(24), kMono, kOk},
    {"twoColour24", Small(24), kTwo, kBad},
    {"twoColour1MadeMono", Small(1), kTwo, kOk, false},
    {"twoColour4", Small(4), kTwo, kOk, true},
    // The file header. A size field far beyond the file is accepted, the missing bytes zero.
    {"notBm", std::vector<std::uint8_t>(20, 'P'), kMono, kBad},
    {"thirteenBytes", Cut(Small(24), 13), kMono, kBad},
    {"sizeField13", Small(24, {{At::FileSize, 13}}), kMono, R::BMP_UNREADABLE},
    {"sizeField14", Small(24, {{At::FileSize, 14}}), kMono, kOk},
    {"pixelsCutOff", Cut(Small(24), 60), kMono, kOk},
    // Headers: fully present, of a known size.
    {"headerCutOff", Cut(Small(24), 14 + 39), kMono, kBad},
    {"headerSize20", Small(24, {{At::HeaderSize, 20}}), kMono, kBad},
    {"coreHeader", Small(8, {}, 12), kTwo, kOk, true},
    // Sizes: not zero, and within the define command's 16-bit fields.
    {"width0", Small(24, {{At::Width, 0}}), kMono, kBad},
    {"height0", Small(24, {{At::Height, 0}}), kMono, kBad},
    {"width65528", Small(24, {{At::Width, 65528}}), kMono, kOk},
    {"width65529", Small(24, {{At::Width, 65529}}), kMono, kBad},
    {"height65535", Small(24, {{At::Height, 65535}}), kMono, kOk},
    {"height65536", Small(24, {{At::Height, 65536}}), kMono, kBad},
    {"heightMostNegative", Small(24, {{At::Height, INT32_MIN}}), kMono, kBad},
    {"topDown", Small(24, {{At::Height, -2}}), kMono, kOk},
    // 49 x 1: 1 / 49 * 49 falls short of one row.
    {"noRowLeft", Small(24, {{At::Width, 49}, {At::Height, 1}}), kMono, kBad},
    // Depths and compressions (the corpus has the other depths, bit fields and top-down RLE).
    {"rle4", Small(4, {{At::Compression, 2}}), kTwo, kOk, true},
    {"rle8On4Bits", Small(4, {{At::Compression, 1}}), kMono, kBad},
    {"rle4On8Bits", Small(8, {{At::Compression, 2}}), kMono, kBad},
    {"colours257", Small(8, {{At::ColoursUsed, 257}}), kMono, kBad},
    // The planes must fit the printer's 384 KB of NV graphics memory, decided before any
    // conversion: 256 bytes x 1536 rows is exactly 384 KB.
    {"memoryFull", Declaring(2048, 1536), kMono, kOk},
    {"memoryFullTwoColour", Declaring(2048, 768), kTwo, kOk, true},
    {"rowPastMemory", Declaring(2048, 1537), kMono, kLarge},
    {"largestDeclared", Declaring(65528, 65535), kTwo, kLarge},
    // Where the pixel rows start: at the offset field when it points behind the header (and,
    // for an information header, which states its colour count, behind the colour table) and
    // inside the block; else right behind the colour table.
    {"eightBitsOpenCount", Small(8, {{At::PixelOffset, 0}}), kMono, kOk, false, 256, 40 + 1024},
    {"eightBits20", Small(8, {{At::PixelOffset, 0}, {At::ColoursUsed, 20}}), kMono, kOk, false, 20, 40 + 80},
    {"fourBitsOpenCount", Small(4, {{At::PixelOffset, 0}}), kMono, kOk, false, 16, 40 + 64},
    {"oneBitOpenCount", Small(1, {{At::PixelOffset, 0}}), kMono, kOk, false, 2, 40 + 8},
    {"rgbNoTable", Small(24, {{At::PixelOffset, 0}}), kMono, kOk, false, 0, 40},
    {"rgbUnusedTable", Small(24, {{At::PixelOffset, 0}, {At::ColoursUsed, 3}}), kMono, kOk, false, 3, 40 + 12},
    {"coreThreeByteEntries", Small(4, {{At::PixelOffset, 0}}, 12), kMono, kOk, false, 16, 12 + 48},
    // A core header cannot state its colour count: a short table is found only by the field.
    {"coreShortTable", Small(8, {{At::PixelOffset, 14 + 12 + 6}}, 12), kMono, kOk, false, 256, 12 + 6},
    {"offsetInsidePixels", Small(8, {{At::PixelOffset, 14 + 1064 + 8}}), kMono, kOk, false, 256, 1064 + 8},
    {"offsetAtTheBlockEnd", Small(8, {{At::PixelOffset, 14 + 1064 + 16}}), kMono, kOk, false, 256, 1064 + 16},
    {"offsetPastTheBlock", Small(8, {{At::PixelOffset, 14 + 1064 + 17}}), kMono, kOk, false, 256, 1064},
    {"offsetInsideHeader", Small(8, {{At::PixelOffset, 14 + 20}}), kMono, kOk, false, 256, 1064},
    // Followed, it would read palette bytes as pixels.
    {"offsetInColourTable", Small(8, {{At::PixelOffset, 14 + 40 + 4}, {At::ColoursUsed, 3}}), kMono, kOk, false, 3, 40 + 12},
};
// clang-format on

TEST(LogoBitmapRead, ResultColourModeAndLayout) {
    const testing::ScratchFolder folder;
    for (const ReadCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const BitmapRead read = ReadLogoBitmap(folder.write("f.bmp", c.file), c.twoColorRequested);
        // The file and the memory reader agree.
        EXPECT_EQ(ReadLogoBitmapBytes(c.file, c.twoColorRequested).result, c.expected);
        ASSERT_EQ(read.result, c.expected);
        ASSERT_EQ(read.bitmap.has_value(), c.expected == R::BMP_OK);
        if (!read.bitmap) {
            continue;
        }
        EXPECT_EQ(read.twoColor, c.twoColorInForce);
        // Sized by the real bytes (at least the longest header), never by the size field.
        EXPECT_EQ(read.bitmap->size(), std::max<std::size_t>(c.file.size() - 14, 124));
        if (c.colours) {
            const PackedBitmap& b = *read.bitmap;
            // An information header's open count is completed in place.
            EXPECT_EQ(
                std::tuple(b.width(), b.height(), b.colourCount(), b.coloursUsedField(),
                           b.pixelRowsStart()),
                std::tuple(8, 2, *c.colours, b.hasInfoLayout() ? *c.colours : 0, c.rowsStart));
        }
    }
}

// A named pipe would block and a device never ends: neither is read.
TEST(LogoBitmapReadFile, OnlyRegularFilesAreRead) {
    const testing::ScratchFolder dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.bmp").c_str(), 0600), 0);
    const std::pair<std::filesystem::path, R> cases[] = {
        {"/dev/zero", R::BMP_UNREADABLE},
        {dir / "pipe.bmp", R::BMP_UNREADABLE},
        {dir.path(), R::BMP_NOT_FOUND},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(ReadLogoBitmap(path, false).result, expected) << path;
    }
}

}  // namespace
}  // namespace kestrel
