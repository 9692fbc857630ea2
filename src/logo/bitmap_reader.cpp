#include "logo/bitmap_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <new>
#include <vector>

#include "logo/logo_geometry.h"

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
    const std::int64_t rows = height < 0 ? -height : height;
    if (width < 1 || width > kMaxLogoWidth || rows < 1 || rows > kMaxLogoHeight) {
        return false;
    }
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
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return Fail(BitmapReadResult::BMP_NOT_FOUND);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Fail(BitmapReadResult::BMP_NOT_FOUND);
    }
    std::array<std::uint8_t, kFileHeaderSize> headerBytes{};
    in.read(reinterpret_cast<char*>(headerBytes.data()), headerBytes.size());
    if (in.gcount() != static_cast<std::streamsize>(headerBytes.size())) {
        return Fail(BitmapReadResult::BMP_BAD_FORMAT);
    }
    const auto header = ParseFileHeader(headerBytes);
    if (!header) {
        return Fail(BitmapReadResult::BMP_BAD_FORMAT);
    }
    if (header->fileSize < kFileHeaderSize) {
        return Fail(BitmapReadResult::BMP_UNREADABLE);
    }

    // The block is sized from the file's real length, never from its size field alone.
    const std::uint64_t fileLength = std::filesystem::file_size(path, error);
    try {
        std::size_t realBytes = 0;
        std::size_t blockSize = 0;
        std::unique_ptr<std::uint8_t[]> block;
        if (!error && fileLength >= kFileHeaderSize) {
            block =
                AllocateBlock(static_cast<std::size_t>(fileLength - kFileHeaderSize), blockSize);
            in.read(reinterpret_cast<char*>(block.get()),
                    static_cast<std::streamsize>(fileLength - kFileHeaderSize));
            realBytes = static_cast<std::size_t>(in.gcount());
            std::memset(block.get() + realBytes, 0, blockSize - realBytes);
        } else {
            // No length to go by (a pipe, say): read what arrives.
            std::vector<std::uint8_t> data;
            std::array<char, 65536> chunk{};
            while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
                data.insert(data.end(), chunk.begin(), chunk.begin() + in.gcount());
            }
            realBytes = data.size();
            block = AllocateBlock(realBytes, blockSize);
            if (realBytes > 0) {
                std::memcpy(block.get(), data.data(), realBytes);
            }
        }
        return Finish(PackedBitmap(std::move(block), blockSize, header->pixelOffset), realBytes,
                      twoColorRequested);
    } catch (const std::bad_alloc&) {
        return Fail(BitmapReadResult::BMP_UNREADABLE);
    }
}

}  // namespace kestrel
