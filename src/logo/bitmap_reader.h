// Reads a logo's bitmap file whole into a PackedBitmap and decides whether the requested colour
// mode can be used for it.
//
// Sound limits on what is accepted (anything else is BMP_BAD_FORMAT): header of 12 bytes (core)
// or 40, 52, 56, 64, 108 or 124 bytes (the information header and its longer forms, read through
// their common first 40 bytes), fully present in the file; one plane; 1, 4, 8 or 24 bits per
// pixel; no compression, or RLE8 with 8 bits, or RLE4 with 4 bits; width 1 to 65528 and height 1
// to 65535 (negative heights, rows stored top row first, only uncompressed); at most 256 colours
// for a palette image; a target height of at least one row. Only a regular file is read.
// A logo whose dot planes exceed the printer's NV graphics memory is BMP_TOO_LARGE.
//
// The block holds the file's real bytes; the file size field never sizes it. Bytes the image
// needs beyond the end of the file read as zero.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "logo/packed_bitmap.h"

namespace kestrel {

enum class BitmapReadResult : std::uint32_t {
    BMP_OK = 0,
    BMP_NOT_FOUND = 1,
    BMP_BAD_FORMAT = 2,
    BMP_UNREADABLE = 3,
    BMP_TOO_LARGE = 4,  // the planes would not fit the printer's NV graphics memory
};

struct BitmapRead {
    BitmapReadResult result = BitmapReadResult::BMP_NOT_FOUND;
    std::optional<PackedBitmap> bitmap;  // set on BMP_OK
    bool twoColor = false;               // the colour mode in force
    // The system's reason when a file that is there could not be opened (errno), else 0.
    int systemError = 0;
};

BitmapRead ReadLogoBitmap(const std::filesystem::path& path, bool twoColorRequested);

// The same rules over a whole file already in memory.
BitmapRead ReadLogoBitmapBytes(std::span<const std::uint8_t> file, bool twoColorRequested);

}  // namespace kestrel
