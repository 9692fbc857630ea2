// A bitmap file's contents behind its 14-byte file header, as one owned block: information
// header, colour table and pixel rows. Every read is bounds-checked; bytes that the file does not
// hold read as zero, so a truncated or over-declared file never reads outside the block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace kestrel {

// Sizes of the two header layouts: the Windows information header (and its longer versions,
// whose first 40 bytes have the same layout) and the old 12-byte core header.
inline constexpr std::uint32_t kInfoHeaderSize = 40;
inline constexpr std::uint32_t kCoreHeaderSize = 12;

// Compression codes of the information header that a logo may use.
inline constexpr std::uint32_t kCompressionNone = 0;
inline constexpr std::uint32_t kCompressionRle8 = 1;
inline constexpr std::uint32_t kCompressionRle4 = 2;

class PackedBitmap {
public:
    // Takes the block (file offset 14 on) and the file header's pixel data offset field.
    PackedBitmap(std::unique_ptr<std::uint8_t[]> data, std::size_t size,
                 std::uint32_t pixelOffsetField);

    PackedBitmap(PackedBitmap&&) noexcept = default;
    PackedBitmap& operator=(PackedBitmap&&) noexcept = default;
    PackedBitmap(const PackedBitmap&) = delete;
    PackedBitmap& operator=(const PackedBitmap&) = delete;

    std::size_t size() const { return m_size; }
    std::span<const std::uint8_t> bytes() const { return {m_data.get(), m_size}; }

    // Bounded little-endian reads at a block offset; missing bytes are zero.
    std::uint8_t byteAt(std::uint64_t offset) const { return offset < m_size ? m_data[offset] : 0; }
    std::uint16_t u16At(std::uint64_t offset) const;
    std::uint32_t u32At(std::uint64_t offset) const;
    void setU32At(std::uint64_t offset, std::uint32_t value);  // ignored outside the block

    // The longest run of real bytes from offset, at most length; empty when none.
    std::span<const std::uint8_t> rangeAt(std::uint64_t offset, std::uint64_t length) const;

    // Derived values.
    std::uint32_t headerSize() const { return u32At(0); }
    // Headers of 40 bytes or more carry the information header's layout; anything shorter is
    // read with the core header's 16-bit fields.
    bool hasInfoLayout() const { return headerSize() >= kInfoHeaderSize; }
    std::int64_t width() const;
    std::int64_t height() const;  // negative: rows stored top row first
    std::uint32_t planes() const;
    std::uint32_t bitCount() const;
    std::uint32_t compression() const;
    std::uint32_t coloursUsedField() const;
    std::uint64_t colourCount() const;
    std::uint32_t colourEntrySize() const { return hasInfoLayout() ? 4 : 3; }
    std::uint64_t colourTableSize() const { return colourCount() * colourEntrySize(); }
    // Where the pixel rows begin. The file header's offset field is followed when it points
    // behind the information header and inside the block; otherwise the rows are taken to start
    // right behind the colour table (its size taken modulo 65536).
    std::uint64_t pixelRowsStart() const { return pixelRowsStartFor(m_size); }
    // The same for a block of blockSize bytes with this block's header; for a reader that keeps
    // only the head of a file in memory.
    std::uint64_t pixelRowsStartFor(std::uint64_t blockSize) const;

    // Blue, green, red of a colour table entry; entries the table does not have are black.
    struct Bgr {
        std::uint8_t b = 0, g = 0, r = 0;
    };
    Bgr colourEntry(std::uint64_t index) const;

private:
    std::unique_ptr<std::uint8_t[]> m_data;
    std::size_t m_size = 0;
    std::uint32_t m_pixelOffsetField = 0;
};

}  // namespace kestrel
