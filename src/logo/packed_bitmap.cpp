#include "logo/packed_bitmap.h"

#include <algorithm>
#include <utility>

namespace kestrel {

PackedBitmap::PackedBitmap(std::unique_ptr<std::uint8_t[]> data, std::size_t size,
                           std::uint32_t pixelOffsetField)
    : m_data(std::move(data)), m_size(size), m_pixelOffsetField(pixelOffsetField) {}

std::uint16_t PackedBitmap::u16At(std::uint64_t offset) const {
    return static_cast<std::uint16_t>(byteAt(offset) | (byteAt(offset + 1) << 8));
}

std::uint32_t PackedBitmap::u32At(std::uint64_t offset) const {
    return static_cast<std::uint32_t>(u16At(offset)) |
           (static_cast<std::uint32_t>(u16At(offset + 2)) << 16);
}

void PackedBitmap::setU32At(std::uint64_t offset, std::uint32_t value) {
    for (std::uint64_t i = 0; i < 4; ++i) {
        if (offset + i < m_size) {
            m_data[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
}

std::span<const std::uint8_t> PackedBitmap::rangeAt(std::uint64_t offset,
                                                    std::uint64_t length) const {
    if (offset >= m_size) {
        return {};
    }
    const std::uint64_t available = m_size - offset;
    return {m_data.get() + offset, static_cast<std::size_t>(std::min(available, length))};
}

std::int64_t PackedBitmap::width() const {
    return hasInfoLayout() ? static_cast<std::int32_t>(u32At(4)) : u16At(4);
}

std::int64_t PackedBitmap::height() const {
    return hasInfoLayout() ? static_cast<std::int32_t>(u32At(8)) : u16At(6);
}

std::uint32_t PackedBitmap::planes() const {
    return hasInfoLayout() ? u16At(12) : u16At(8);
}

std::uint32_t PackedBitmap::bitCount() const {
    return hasInfoLayout() ? u16At(14) : u16At(10);
}

std::uint32_t PackedBitmap::compression() const {
    return hasInfoLayout() ? u32At(16) : kCompressionNone;
}

std::uint32_t PackedBitmap::coloursUsedField() const {
    return hasInfoLayout() ? u32At(32) : 0;
}

std::uint64_t PackedBitmap::colourCount() const {
    if (hasInfoLayout() && coloursUsedField() != 0) {
        return coloursUsedField();
    }
    switch (bitCount()) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

std::uint64_t PackedBitmap::pixelRowsStartFor(std::uint64_t blockSize) const {
    const std::uint64_t header = headerSize();
    const std::uint64_t tableEnd = header + colourTableSize() % 65536;
    // An offset inside the colour table would read palette bytes as pixels. Only a core header,
    // which cannot state its colour count, may end its table early: the offset is all that says
    // the table is short.
    const std::uint64_t earliest = hasInfoLayout() ? tableEnd : header;
    if (m_pixelOffsetField >= 14) {
        const std::uint64_t fromField = m_pixelOffsetField - 14u;
        if (fromField >= earliest && fromField <= blockSize) {
            return fromField;
        }
    }
    return tableEnd;
}

PackedBitmap::Bgr PackedBitmap::colourEntry(std::uint64_t index) const {
    if (index >= colourCount()) {
        return {};
    }
    const std::uint64_t at = headerSize() + index * colourEntrySize();
    return {byteAt(at), byteAt(at + 1), byteAt(at + 2)};
}

}  // namespace kestrel
