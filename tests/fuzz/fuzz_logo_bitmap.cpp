// Bitmap files from users and the internet through the logo reader and the raster conversion,
// in both colour modes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "logo/bitmap_reader.h"
#include "logo/raster_conversion.h"

namespace {

// Keeps each input quick: a tiny file may declare a 65528 x 65535 image whose missing pixels
// read as zero, which is valid but takes seconds to convert.
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 18;

void Run(std::span<const std::uint8_t> file, bool twoColor) {
    const kestrel::BitmapRead read = kestrel::ReadLogoBitmapBytes(file, twoColor);
    if (read.result != kestrel::BitmapReadResult::BMP_OK) {
        return;
    }
    const kestrel::PackedBitmap& bitmap = *read.bitmap;
    const std::int64_t rows = bitmap.height() < 0 ? -bitmap.height() : bitmap.height();
    if (bitmap.width() * rows > kMaxPixels) {
        return;
    }
    const kestrel::LogoConversion conversion = kestrel::ConvertLogoBitmap(bitmap, read.twoColor);
    if (conversion.result == kestrel::BitmapReadResult::BMP_OK &&
        conversion.planes.plane1.size() != conversion.planes.planeSize) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    Run(file, false);
    Run(file, true);
    return 0;
}
