#include "logo/bitmap_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "logo/logo_geometry.h"
#include "storage/regular_file.h"

namespace kestrel {
namespace {

constexpr std::size_t kFileHeaderSize = 14;

struct FileHeader {
    std::uint32_t fileSize = 0;
    std::uint32_t pixelOffset = 0;
};

std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::optional<FileHeader> ParseFileHeader(std::span<const std::uint8_t> header) {
    if (header.size() < kFileHeaderSize || header[0] != 'B' || header[1] != 'M') {
        return std::nullopt;
    }
    return FileHeader{ReadU32(header.data() + 2), ReadU32(header.data() + 10)};
}

BitmapRead Fail(BitmapReadResult result) {
    BitmapRead read;
    read.result = result;
    return read;
}

bool KnownHeaderSize(std::uint32_t size) {
    static constexpr std::array<std::uint32_t, 7> kSizes{12, 40, 52, 56, 64, 108, 124};
    return std::ranges::find(kSizes, size) != kSizes.end();
}

// The checks that keep the conversion on images it can draw and the define command can carry.
bool UsableLayout(const PackedBitmap& bitmap, std::size_t realBytes) {
    const std::uint32_t header = bitmap.headerSize();
    if (!KnownHeaderSize(header)) {
        return false;
    }
    const std::size_t fieldsRead = bitmap.hasInfoLayout() ? kInfoHeaderSize : kCoreHeaderSize;
    if (realBytes < fieldsRead || bitmap.planes() != 1) {
        return false;
    }
    const std::int64_t width = bitmap.width();
    const std::int64_t height = bitmap.height();
    if (!LogoSizeUsable(width, height)) {
        return false;
    }
    const std::int64_t rows = height < 0 ? -height : height;
    const std::uint32_t bits = bitmap.bitCount();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
        return false;
    }
    switch (bitmap.compression()) {
        case kCompressionNone:
            break;
        case kCompressionRle8:
        case kCompressionRle4:
            if (bits != (bitmap.compression() == kCompressionRle8 ? 8u : 4u) || height < 0) {
                return false;
            }
            break;
        default:
            return false;
    }
    if (bits <= 8 && bitmap.coloursUsedField() > 256) {
        return false;
    }
    return LogoTargetHeight(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(rows)) >
           0;
}

// Steps common to the file and the memory reader, once the block is loaded.
BitmapRead Finish(PackedBitmap bitmap, std::size_t realBytes, bool twoColorRequested) {
    if (!UsableLayout(bitmap, realBytes)) {
        return Fail(BitmapReadResult::BMP_BAD_FORMAT);
    }
    // A palette image that leaves its colour count open uses the whole table its depth allows.
    if (bitmap.hasInfoLayout() && bitmap.coloursUsedField() == 0 && bitmap.bitCount() != 24) {
        bitmap.setU32At(32, 1u << bitmap.bitCount());
    }
    bool twoColor = false;
    if (twoColorRequested) {
        switch (bitmap.bitCount()) {
            case 1:
                twoColor = false;  // a one-bit image has only one colour to print
                break;
            case 4:
            case 8:
                twoColor = true;
                break;
            default:
                return Fail(BitmapReadResult::BMP_BAD_FORMAT);
        }
    }
    // Refused before any conversion: a logo the printer cannot hold is never worth the time and
    // memory of drawing it (a small compressed file may declare 65528 x 65535 dots).
    if (!LogoFitsGraphicsMemory(static_cast<std::uint32_t>(bitmap.width()),
                                static_cast<std::uint32_t>(std::abs(bitmap.height())), twoColor)) {
        return Fail(BitmapReadResult::BMP_TOO_LARGE);
    }
    BitmapRead read;
    read.result = BitmapReadResult::BMP_OK;
    read.bitmap.emplace(std::move(bitmap));
    read.twoColor = twoColor;
    return read;
}

// A block of at least the longest header's size, so the header fields can always be read and
// completed in place; bytes past the real data stay zero.
std::unique_ptr<std::uint8_t[]> AllocateBlock(std::size_t realBytes, std::size_t& blockSize) {
    blockSize = std::max<std::size_t>(realBytes, 124);
    auto block = std::make_unique_for_overwrite<std::uint8_t[]>(blockSize);
    std::memset(block.get() + realBytes, 0, blockSize - realBytes);
    return block;
}

}  // namespace

BitmapRead ReadLogoBitmapBytes(std::span<const std::uint8_t> file, bool twoColorRequested) {
    const auto header = ParseFileHeader(file);
    if (!header) {
        return Fail(BitmapReadResult::BMP_BAD_FORMAT);
    }
    if (header->fileSize < kFileHeaderSize) {
        return Fail(BitmapReadResult::BMP_UNREADABLE);
    }
    const std::span<const std::uint8_t> body = file.subspan(kFileHeaderSize);
    try {
        std::size_t blockSize = 0;
        auto block = AllocateBlock(body.size(), blockSize);
        if (!body.empty()) {
            std::memcpy(block.get(), body.data(), body.size());
        }
        return Finish(PackedBitmap(std::move(block), blockSize, header->pixelOffset), body.size(),
                      twoColorRequested);
    } catch (const std::bad_alloc&) {
        return Fail(BitmapReadResult::BMP_UNREADABLE);
    }
}

BitmapRead ReadLogoBitmap(const std::filesystem::path& path, bool twoColorRequested) {
    int error = 0;
    const auto file = RegularFile::open(path, error);
    if (!file) {
        // A folder counts as no file; a pipe or a device exists but cannot be read as one. A
        // file that is there but cannot be opened keeps the system's reason.
        BitmapRead read = Fail(error == EINVAL ? BitmapReadResult::BMP_UNREADABLE
                                               : BitmapReadResult::BMP_NOT_FOUND);
        if (error != EINVAL && error != ENOENT && error != EISDIR) {
            read.systemError = error;
        }
        return read;
    }
    std::array<std::uint8_t, kFileHeaderSize> headerBytes{};
    if (file->readAt(0, headerBytes) != headerBytes.size()) {
        return Fail(BitmapReadResult::BMP_BAD_FORMAT);
    }
    const auto header = ParseFileHeader(headerBytes);
    if (!header) {
        return Fail(BitmapReadResult::BMP_BAD_FORMAT);
    }
    if (header->fileSize < kFileHeaderSize) {
        return Fail(BitmapReadResult::BMP_UNREADABLE);
    }

    // The block is sized from the file's real length, never from its size field.
    try {
        const auto bodyLength = static_cast<std::size_t>(file->size() - kFileHeaderSize);
        std::size_t blockSize = 0;
        auto block = AllocateBlock(bodyLength, blockSize);
        const auto got = file->readAt(kFileHeaderSize, std::span(block.get(), bodyLength));
        if (!got) {
            return Fail(BitmapReadResult::BMP_UNREADABLE);
        }
        std::memset(block.get() + *got, 0, blockSize - *got);
        return Finish(PackedBitmap(std::move(block), blockSize, header->pixelOffset), *got,
                      twoColorRequested);
    } catch (const std::bad_alloc&) {
        return Fail(BitmapReadResult::BMP_UNREADABLE);
    }
}

}  // namespace kestrel
