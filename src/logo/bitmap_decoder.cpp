#include "logo/bitmap_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "logo/logo_geometry.h"

namespace kestrel {
namespace {

using Palette = std::array<std::uint8_t, 256 * 3>;

Palette BuildPalette(const PackedBitmap& bitmap) {
    Palette palette{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        const PackedBitmap::Bgr c = bitmap.colourEntry(i);
        palette[i * 3] = c.b;
        palette[i * 3 + 1] = c.g;
        palette[i * 3 + 2] = c.r;
    }
    return palette;
}

struct Geometry {
    std::uint32_t width = 0;
    std::uint32_t rows = 0;
    bool topDown = false;
};

// Hands rows to the sink in storage order, turning storage index into index from the top.
class RowEmitter {
public:
    RowEmitter(const Geometry& g, const BgrRowSink& sink) : m_g(g), m_sink(sink) {}
    void emit(std::uint32_t storageRow, std::span<const std::uint8_t> bgr) const {
        m_sink(m_g.topDown ? storageRow : m_g.rows - 1 - storageRow, bgr);
    }

private:
    const Geometry& m_g;
    const BgrRowSink& m_sink;
};

void ExpandIndexes(std::span<const std::uint8_t> indexes, const Palette& palette,
                   std::uint8_t* bgr) {
    for (const std::uint8_t index : indexes) {
        std::memcpy(bgr, &palette[index * 3u], 3);
        bgr += 3;
    }
}

// Uncompressed rows, each padded to a multiple of four bytes.
void DecodeUncompressed(const PackedBitmap& bitmap, const Geometry& g, const RowEmitter& out) {
    const std::uint32_t bits = bitmap.bitCount();
    const std::uint64_t rowSize = ((static_cast<std::uint64_t>(g.width) * bits + 31) / 32) * 4;
    const std::uint64_t start = bitmap.pixelRowsStart();
    const Palette palette = bits <= 8 ? BuildPalette(bitmap) : Palette{};

    std::vector<std::uint8_t> padded(rowSize);
    std::vector<std::uint8_t> indexes(bits <= 8 ? g.width : 0);
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(g.width) * 3);
    for (std::uint32_t y = 0; y < g.rows; ++y) {
        std::span<const std::uint8_t> row = bitmap.rangeAt(start + y * rowSize, rowSize);
        if (row.size() < rowSize) {
            std::ranges::fill(padded, 0);
            std::ranges::copy(row, padded.begin());
            row = padded;
        }
        switch (bits) {
            case 24:
                out.emit(y, row.first(static_cast<std::size_t>(g.width) * 3));
                continue;
            case 8:
                ExpandIndexes(row.first(g.width), palette, bgr.data());
                break;
            case 4:
                for (std::uint32_t x = 0; x < g.width; ++x) {
                    const std::uint8_t b = row[x / 2];
                    indexes[x] = (x % 2 == 0) ? (b >> 4) : (b & 0x0F);
                }
                ExpandIndexes(indexes, palette, bgr.data());
                break;
            case 1:
                for (std::uint32_t x = 0; x < g.width; ++x) {
                    indexes[x] = (row[x / 8] >> (7 - x % 8)) & 1;
                }
                ExpandIndexes(indexes, palette, bgr.data());
                break;
            default:
                return;
        }
        out.emit(y, bgr);
    }
}

// Run-length encoded rows (bottom row first). Each step consumes at least two bytes of the
// block and no row is emitted twice, so any input ends.
void DecodeRunLength(const PackedBitmap& bitmap, const Geometry& g, const RowEmitter& out,
                     bool fourBit) {
    const Palette palette = BuildPalette(bitmap);
    std::vector<std::uint8_t> indexes(g.width, 0);
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(g.width) * 3);
    std::uint64_t pos = bitmap.pixelRowsStart();
    const std::uint64_t end = bitmap.size();
    std::uint32_t x = 0;
    std::uint32_t y = 0;

    auto finishRow = [&] {
        ExpandIndexes(indexes, palette, bgr.data());
        out.emit(y, bgr);
        std::ranges::fill(indexes, 0);
        ++y;
        x = 0;
    };
    auto put = [&](std::uint8_t index) {
        if (x < g.width) {
            indexes[x] = index;
        }
        ++x;
    };

    while (y < g.rows && pos + 2 <= end) {
        const std::uint8_t count = bitmap.byteAt(pos);
        const std::uint8_t value = bitmap.byteAt(pos + 1);
        pos += 2;
        if (count > 0) {
            // Encoded run; in four-bit data the byte holds two pixels that alternate.
            for (std::uint32_t i = 0; i < count && x < g.width; ++i) {
                put(fourBit ? ((i % 2 == 0) ? (value >> 4) : (value & 0x0F)) : value);
            }
            continue;
        }
        if (value == 0) {  // end of line
            finishRow();
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta: move right and up
            if (pos + 2 > end) {
                break;
            }
            const std::uint8_t dx = bitmap.byteAt(pos);
            const std::uint8_t dy = bitmap.byteAt(pos + 1);
            pos += 2;
            const std::uint32_t keepX = std::min(x + dx, g.width);
            for (std::uint32_t i = 0; i < dy && y < g.rows; ++i) {
                finishRow();
            }
            x = keepX;
        } else {  // absolute run of `value` pixels, padded to a whole number of 16-bit words
            const std::uint32_t pixels = value;
            const std::uint32_t bytes = fourBit ? (pixels + 1) / 2 : pixels;
            for (std::uint32_t i = 0; i < pixels && x < g.width; ++i) {
                const std::uint8_t b = bitmap.byteAt(pos + (fourBit ? i / 2 : i));
                put(fourBit ? ((i % 2 == 0) ? (b >> 4) : (b & 0x0F)) : b);
            }
            pos += bytes + (bytes % 2);
        }
    }
    // Rows the data never finished keep entry 0 where nothing was drawn.
    while (y < g.rows) {
        finishRow();
    }
}

}  // namespace

void DecodeBitmapRows(const PackedBitmap& bitmap, const BgrRowSink& sink) {
    const std::int64_t width = bitmap.width();
    const std::int64_t height = bitmap.height();
    const std::int64_t rows = height < 0 ? -height : height;
    if (!LogoSizeUsable(width, height)) {
        return;
    }
    const Geometry g{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(rows),
                     height < 0};
    const RowEmitter out(g, sink);
    switch (bitmap.compression()) {
        case kCompressionNone:
            DecodeUncompressed(bitmap, g, out);
            break;
        case kCompressionRle8:
            if (bitmap.bitCount() == 8 && !g.topDown) {
                DecodeRunLength(bitmap, g, out, false);
            }
            break;
        case kCompressionRle4:
            if (bitmap.bitCount() == 4 && !g.topDown) {
                DecodeRunLength(bitmap, g, out, true);
            }
            break;
        default:
            break;
    }
}

}  // namespace kestrel
