#include "logo/raster_conversion.h"

#include <algorithm>
#include <new>
#include <utility>

#include "logo/bitmap_decoder.h"
#include "logo/dither_row.h"
#include "logo/logo_geometry.h"

namespace kestrel {

LogoPlaneBuilder::LogoPlaneBuilder(std::uint32_t width, std::uint32_t height, bool twoColor)
    : m_width(width),
      m_height(height),
      m_targetRows(LogoTargetHeight(width, height)),
      m_bytesPerRow(LogoBytesPerRow(width)),
      m_twoColor(twoColor) {
    if (m_targetRows == 0) {
        return;
    }
    LogoPlanes& planes = m_conversion.planes;
    planes.rows = m_targetRows;
    planes.planeSize = m_bytesPerRow * m_targetRows;
    planes.plane1.assign(planes.planeSize, 0);
    if (twoColor) {
        planes.plane2.emplace(planes.planeSize, 0);
    }
    m_reduce = m_targetRows < height;
    if (m_reduce) {
        m_merged = MergedRowFromTop(height);
        m_pending.resize(std::size_t{width} * 3);
    }
}

void LogoPlaneBuilder::takeRow(std::uint32_t rowFromTop, std::span<const std::uint8_t> bgr) {
    if (!usable() || rowFromTop >= m_height || bgr.size() / 3 < m_width) {
        return;
    }
    ++m_rowsTaken;
    if (!m_reduce || rowFromTop < m_merged) {
        writeRow(rowFromTop, bgr);
    } else if (rowFromTop > m_merged + 1) {
        writeRow(rowFromTop - 1, bgr);
    } else if (!m_havePending) {
        std::copy_n(bgr.begin(), m_pending.size(), m_pending.begin());
        m_havePending = true;
    } else {
        for (std::size_t i = 0; i < m_pending.size(); ++i) {
            m_pending[i] &= bgr[i];
        }
        writeRow(m_merged, m_pending);
    }
}

LogoConversion LogoPlaneBuilder::finish() {
    if (!usable() || m_rowsTaken != m_height) {
        return LogoConversion{};
    }
    m_conversion.result = BitmapReadResult::BMP_OK;
    m_conversion.width = m_width;
    return std::move(m_conversion);
}

void LogoPlaneBuilder::writeRow(std::uint32_t targetRow, std::span<const std::uint8_t> bgr) {
    LogoPlanes& planes = m_conversion.planes;
    const std::size_t at = std::size_t{targetRow} * m_bytesPerRow;
    if (m_twoColor) {
        splitRow(bgr.data(), planes.plane1.data() + at, planes.plane2->data() + at);
    } else {
        DitherBgrRow(bgr, m_width, planes.rows - 1 - targetRow,
                     std::span(planes.plane1).subspan(at, m_bytesPerRow));
    }
}

// Exact colour split: black to the first plane, anything but black and white to the second.
void LogoPlaneBuilder::splitRow(const std::uint8_t* bgr, std::uint8_t* out1,
                                std::uint8_t* out2) const {
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

LogoConversion ConvertLogoBitmap(const PackedBitmap& bitmap, bool twoColor) {
    const std::int64_t width = bitmap.width();
    const std::int64_t height = bitmap.height() < 0 ? -bitmap.height() : bitmap.height();
    if (!LogoSizeUsable(width, height)) {
        return LogoConversion{};
    }
    try {
        LogoPlaneBuilder builder(static_cast<std::uint32_t>(width),
                                 static_cast<std::uint32_t>(height), twoColor);
        if (!builder.usable()) {
            return LogoConversion{};
        }
        DecodeBitmapRows(bitmap, [&](std::uint32_t rowFromTop, std::span<const std::uint8_t> bgr) {
            builder.takeRow(rowFromTop, bgr);
        });
        return builder.finish();
    } catch (const std::bad_alloc&) {
        return LogoConversion{};
    }
}

}  // namespace kestrel
