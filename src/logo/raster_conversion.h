// Turns a bitmap into the dot planes the printer stores as a logo. One pixel is one dot; the
// image is not scaled to the paper. Monochrome: ordered dither of each pixel's grey level with
// the Bayer matrix, anchored at the image's bottom-left pixel. Two colours: pure black to the
// first colour, every other colour except pure white to the second, without dither.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "logo/bitmap_reader.h"

namespace kestrel {

// Rows top row first; in a row, bytes left to right; bit 7 is the leftmost dot; 1 prints.
struct LogoPlanes {
    std::uint32_t rows = 0;
    std::vector<std::uint8_t> plane1;                 // first colour, the only plane in monochrome
    std::optional<std::vector<std::uint8_t>> plane2;  // second colour
    std::uint32_t planeSize = 0;                      // bytesPerRow x rows
};

struct LogoConversion {
    BitmapReadResult result = BitmapReadResult::BMP_UNREADABLE;
    LogoPlanes planes;        // set on BMP_OK
    std::uint32_t width = 0;  // logo width in dots, the bitmap's width
};

// The grey level 0 to 63 of a colour.
inline std::uint32_t GreyLevel(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r + g + b) / 12;
}

// When the target height is one row short of the bitmap's, two rows from the top (counted from
// 0) are merged into one by a bitwise AND of their colour values: rows k and k + 1 with
// k = (height - 2) / 2. This is where the midpoint line-stepping of the platform's stretching
// copy drops its one row when shrinking by one, and AND is its default (black-on-white) merge.
inline std::uint32_t MergedRowFromTop(std::uint32_t height) {
    return (height - 2) / 2;
}

// Fails with BMP_UNREADABLE when the planes cannot be had (or the bitmap gives no rows).
LogoConversion ConvertLogoBitmap(const PackedBitmap& bitmap, bool twoColor);

// Builds the planes of a width x height bitmap from its blue/green/red rows (width x 3 bytes
// each), handed in any order, each exactly once. Shared by the conversion of a loaded bitmap and
// by readers that hand rows over as they come.
class LogoPlaneBuilder {
public:
    // Throws std::bad_alloc when the planes cannot be had. A size that gives no logo (see
    // usable()) takes no rows.
    LogoPlaneBuilder(std::uint32_t width, std::uint32_t height, bool twoColor);

    bool usable() const { return m_targetRows > 0; }
    void takeRow(std::uint32_t rowFromTop, std::span<const std::uint8_t> bgr);
    // The planes, or BMP_UNREADABLE unless every row was taken.
    LogoConversion finish();

private:
    void writeRow(std::uint32_t targetRow, std::span<const std::uint8_t> bgr);
    void splitRow(const std::uint8_t* bgr, std::uint8_t* out1, std::uint8_t* out2) const;

    LogoConversion m_conversion;
    std::uint32_t m_width;
    std::uint32_t m_height;
    std::uint32_t m_targetRows;
    std::uint32_t m_bytesPerRow;
    bool m_twoColor;
    // One row short: rows m_merged and m_merged + 1 from the top are AND-merged.
    bool m_reduce = false;
    std::uint32_t m_merged = 0;
    std::vector<std::uint8_t> m_pending;
    bool m_havePending = false;
    std::uint32_t m_rowsTaken = 0;
};

}  // namespace kestrel
