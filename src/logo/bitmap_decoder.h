// Decodes a bitmap's pixels to blue, green, red, one row at a time: 1, 4 and 8 bits through the
// colour table, 24 bits as stored, and the RLE8 and RLE4 run-length encodings with their
// end-of-line, end-of-bitmap and delta escapes. Pixels the encoded data leaves out (skipped by
// a delta, or after an early end of line or end of bitmap) take colour table entry 0, and
// indexes past the colour table are black.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "logo/packed_bitmap.h"

namespace kestrel {

// One row of width x 3 bytes (blue, green, red), with its index counted from the top of the
// image. Rows arrive in the file's storage order, each exactly once.
using BgrRowSink = std::function<void(std::uint32_t rowFromTop, std::span<const std::uint8_t>)>;

// Expects a bitmap accepted by ReadLogoBitmap; others give no rows.
void DecodeBitmapRows(const PackedBitmap& bitmap, const BgrRowSink& sink);

}  // namespace kestrel
