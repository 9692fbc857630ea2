// The monochrome dither of one row of blue/green/red pixels into packed dots.
//
// A pixel prints where its grey level (R + G + B) / 12 is 0 or below the Bayer threshold of its
// position, that is where R + G + B lies below max(12, 12 x threshold). The image column picks
// the matrix row and the row counted from the image's bottom picks the matrix column.
#pragma once

#include <cstdint>
#include <span>

namespace kestrel {

// Dots of a row `width` pixels wide into out, bit 7 of out[0] the leftmost dot; every byte of
// the row is written, with the columns past the width left blank. Does nothing unless bgr holds
// width x 3 bytes and out (width + 7) / 8 bytes.
void DitherBgrRow(std::span<const std::uint8_t> bgr, std::uint32_t width,
                  std::uint32_t rowFromBottom, std::span<std::uint8_t> out);

// The same one pixel at a time, without vector instructions; what the fast row is checked by.
void DitherBgrRowPixelwise(std::span<const std::uint8_t> bgr, std::uint32_t width,
                           std::uint32_t rowFromBottom, std::span<std::uint8_t> out);

}  // namespace kestrel
