#include "logo/raster_conversion.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>
#include <span>

#include "logo/bayer_matrix.h"
#include "logo/bitmap_decoder.h"
#include "logo/logo_geometry.h"

namespace kestrel {
namespace {

// Writes image rows, given top row first or in any order, into the planes.
class PlaneWriter {
public:
    PlaneWriter(LogoPlanes& planes, std::uint32_t width, bool twoColor)
        : m_planes(planes),
          m_width(width),
          m_bytesPerRow(LogoBytesPerRow(width)),
          m_twoColor(twoColor) {}

    void writeRow(std::uint32_t rowFromTop, const std::uint8_t* bgr) {
        std::uint8_t* out1 = m_planes.plane1.data() + std::size_t{rowFromTop} * m_bytesPerRow;
        if (m_twoColor) {
            std::uint8_t* out2 = m_planes.plane2->data() + std::size_t{rowFromTop} * m_bytesPerRow;
            splitRow(bgr, out1, out2);
        } else {
            ditherRow(m_planes.rows - 1 - rowFromTop, bgr, out1);
        }
    }

private:
    // A dot where the grey level is 0 or below the pixel's threshold, that is where the sum
    // R + G + B lies below max(12, 12 x threshold). The image column selects the matrix row and
    // the row counted from the bottom the matrix column. The row is done in simple passes over
    // arrays (sums, then 0/1 flags, then bytes) that the compiler can vectorise.
    void ditherRow(std::uint32_t rowFromBottom, const std::uint8_t* bgr, std::uint8_t* out) {
        const std::uint32_t padded = m_bytesPerRow * 8;
        if (m_sums.size() != padded) {
            m_sums.assign(padded, 0xFFFF);  // columns past the width never print
            m_flags.assign(padded, 0);
            m_limits.assign(std::size_t{8} * padded, 0);
            for (std::size_t column = 0; column < 8; ++column) {
                for (std::size_t x = 0; x < padded; ++x) {
                    const int t = BayerMatrix[x % 8][column];
                    m_limits[column * padded + x] =
                        static_cast<std::uint16_t>(std::max(12, 12 * t));
                }
            }
        }
        std::uint16_t* sums = m_sums.data();
        for (std::uint32_t x = 0; x < m_width; ++x) {
            sums[x] = static_cast<std::uint16_t>(bgr[3 * x] + bgr[3 * x + 1] + bgr[3 * x + 2]);
        }
        const std::uint16_t* limits = m_limits.data() + std::size_t{rowFromBottom % 8} * padded;
        std::uint8_t* flags = m_flags.data();
        for (std::uint32_t x = 0; x < padded; ++x) {
            flags[x] = sums[x] < limits[x] ? 1 : 0;
        }
        for (std::uint32_t bx = 0; bx < m_bytesPerRow; ++bx) {
            out[bx] = PackFlags(flags + std::size_t{bx} * 8);
        }
    }

    // Eight 0/1 flags to one byte, the first flag in bit 7.
    static std::uint8_t PackFlags(const std::uint8_t* flags) {
        if constexpr (std::endian::native == std::endian::little) {
            std::uint64_t v = 0;
            std::memcpy(&v, flags, 8);
            return static_cast<std::uint8_t>((v * 0x8040201008040201ULL) >> 56);
        } else {
            unsigned byte = 0;
            for (unsigned j = 0; j < 8; ++j) {
                byte |= static_cast<unsigned>(flags[j]) << (7 - j);
            }
            return static_cast<std::uint8_t>(byte);
        }
    }

    // Exact colour split: black to the first plane, anything but black and white to the second.
    void splitRow(const std::uint8_t* bgr, std::uint8_t* out1, std::uint8_t* out2) const {
        for (std::uint32_t x = 0; x < m_width; ++x) {
            const std::uint8_t* p = bgr + std::size_t{x} * 3;
            const bool black = (p[0] | p[1] | p[2]) == 0;
            const bool white = (p[0] & p[1] & p[2]) == 0xFF;
            const auto bit = static_cast<std::uint8_t>(0x80u >> (x % 8));
            if (black) {
                out1[x / 8] = static_cast<std::uint8_t>(out1[x / 8] | bit);
            } else if (!white) {
                out2[x / 8] = static_cast<std::uint8_t>(out2[x / 8] | bit);
            }
        }
    }

    LogoPlanes& m_planes;
    std::uint32_t m_width;
    std::uint32_t m_bytesPerRow;
    bool m_twoColor;
    std::vector<std::uint16_t> m_sums;
    std::vector<std::uint8_t> m_flags;
    std::vector<std::uint16_t> m_limits;  // per matrix column, one limit per image column
};

// Brings the bitmap's rows to the target height: unchanged, or with two rows AND-merged.
class RowReducer {
public:
    RowReducer(PlaneWriter& writer, std::uint32_t width, std::uint32_t height,
               std::uint32_t targetHeight)
        : m_writer(writer),
          m_reduce(targetHeight < height),
          m_merged(m_reduce ? MergedRowFromTop(height) : 0) {
        if (m_reduce) {
            m_pending.resize(std::size_t{width} * 3);
        }
    }

    void take(std::uint32_t rowFromTop, std::span<const std::uint8_t> bgr) {
        ++m_rowsTaken;
        if (!m_reduce || rowFromTop < m_merged) {
            m_writer.writeRow(rowFromTop, bgr.data());
        } else if (rowFromTop > m_merged + 1) {
            m_writer.writeRow(rowFromTop - 1, bgr.data());
        } else if (!m_havePending) {
            std::ranges::copy(bgr, m_pending.begin());
            m_havePending = true;
        } else {
            for (std::size_t i = 0; i < m_pending.size(); ++i) {
                m_pending[i] &= bgr[i];
            }
            m_writer.writeRow(m_merged, m_pending.data());
        }
    }

    std::uint32_t rowsTaken() const { return m_rowsTaken; }

private:
    PlaneWriter& m_writer;
    bool m_reduce;
    std::uint32_t m_merged;
    std::vector<std::uint8_t> m_pending;
    bool m_havePending = false;
    std::uint32_t m_rowsTaken = 0;
};

LogoConversion Unreadable() {
    return LogoConversion{};
}

}  // namespace

LogoConversion ConvertLogoBitmap(const PackedBitmap& bitmap, bool twoColor) {
    const std::int64_t width = bitmap.width();
    const std::int64_t height = bitmap.height() < 0 ? -bitmap.height() : bitmap.height();
    if (width < 1 || width > kMaxLogoWidth || height < 1 || height > kMaxLogoHeight) {
        return Unreadable();
    }
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);
    const std::uint32_t rows = LogoTargetHeight(w, h);
    if (rows == 0) {
        return Unreadable();
    }

    LogoConversion conversion;
    LogoPlanes& planes = conversion.planes;
    planes.rows = rows;
    planes.planeSize = LogoBytesPerRow(w) * rows;
    try {
        planes.plane1.assign(planes.planeSize, 0);
        if (twoColor) {
            planes.plane2.emplace(planes.planeSize, 0);
        }
        PlaneWriter writer(planes, w, twoColor);
        RowReducer reducer(writer, w, h, rows);
        DecodeBitmapRows(bitmap, [&](std::uint32_t rowFromTop, std::span<const std::uint8_t> bgr) {
            reducer.take(rowFromTop, bgr);
        });
        if (reducer.rowsTaken() != h) {
            return Unreadable();
        }
    } catch (const std::bad_alloc&) {
        return Unreadable();
    }
    conversion.result = BitmapReadResult::BMP_OK;
    conversion.width = w;
    return conversion;
}

}  // namespace kestrel
