#include "logo/banded_file_conversion.h"

#include "storage/regular_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <new>
#include <vector>

#include "logo/bitmap_reader.h"

namespace kestrel {
namespace {

constexpr std::uint64_t kFileHeaderSize = 14;
// The file header and the longest information header: every field the checks read.
constexpr std::uint64_t kHeadSize = kFileHeaderSize + 124;
// The loaded block is never shorter than the longest information header.
constexpr std::uint64_t kMinBlockSize = 124;
constexpr std::size_t kBandBytes = 128 * 1024;

}  // namespace

std::optional<LogoConversion> ConvertLogoFileInBands(const std::filesystem::path& path,
                                                     bool twoColorRequested) {
    int error = 0;
    const auto file = RegularFile::open(path, error);
    if (!file || file->size() < kFileHeaderSize) {
        return std::nullopt;
    }
    const std::uint64_t fileLength = file->size();
    std::array<std::uint8_t, kHeadSize> head{};
    const auto headLength = static_cast<std::size_t>(std::min(fileLength, kHeadSize));
    if (file->readAt(0, std::span(head).first(headLength)) != headLength) {
        return std::nullopt;
    }
    // The header fields lie in the head, so the checks over it decide as over the whole file.
    const BitmapRead read =
        ReadLogoBitmapBytes(std::span(head).first(headLength), twoColorRequested);
    if (read.result != BitmapReadResult::BMP_OK || read.bitmap->bitCount() != 24 ||
        read.bitmap->compression() != kCompressionNone) {
        return std::nullopt;
    }
    const PackedBitmap& header = *read.bitmap;

    // Where the rows begin in the block the whole-file reader would load (the file behind its
    // 14-byte header, at least kMinBlockSize long); what lies past the file's end reads as zero.
    const std::uint64_t bodyLength = fileLength - kFileHeaderSize;
    const std::uint64_t start = header.pixelRowsStartFor(std::max(bodyLength, kMinBlockSize));
    std::uint64_t remaining = start < bodyLength ? bodyLength - start : 0;
    std::uint64_t offset = kFileHeaderSize + start;

    const auto width = static_cast<std::uint32_t>(header.width());
    const bool topDown = header.height() < 0;
    const auto rows = static_cast<std::uint32_t>(topDown ? -header.height() : header.height());
    const std::size_t rowSize = ((std::size_t{width} * 24 + 31) / 32) * 4;
    const std::size_t rowBytes = std::size_t{width} * 3;
    try {
        LogoPlaneBuilder builder(width, rows, false);
        if (!builder.usable()) {
            return LogoConversion{};
        }
        const std::size_t bandRows = std::max<std::size_t>(1, kBandBytes / rowSize);
        std::vector<std::uint8_t> band(bandRows * rowSize);
        for (std::uint32_t y = 0; y < rows;) {
            const auto count =
                static_cast<std::uint32_t>(std::min<std::size_t>(bandRows, rows - y));
            const std::size_t wanted = count * rowSize;
            std::size_t got = 0;
            if (remaining > 0) {
                const auto toRead =
                    static_cast<std::size_t>(std::min<std::uint64_t>(wanted, remaining));
                got = file->readAt(offset, std::span(band).first(toRead)).value_or(0);
                offset += got;
                // A file cut short while being read ends where the read ended.
                remaining = got < toRead ? 0 : remaining - toRead;
            }
            std::memset(band.data() + got, 0, wanted - got);
            for (std::uint32_t i = 0; i < count; ++i, ++y) {
                builder.takeRow(topDown ? y : rows - 1 - y,
                                std::span(band).subspan(i * rowSize, rowBytes));
            }
        }
        return builder.finish();
    } catch (const std::bad_alloc&) {
        return LogoConversion{};
    }
}

}  // namespace kestrel
