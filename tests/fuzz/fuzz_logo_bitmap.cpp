// Bitmap files from users and the internet through the logo readers and the raster conversion, in
// both colour modes: the reader of a file in memory, the reader of a file on disk and the banded
// conversion of a large 24-bit file must all come to the same result and the same dot planes.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

#include "fuzz_support.h"
#include "logo/banded_file_conversion.h"
#include "logo/bitmap_reader.h"
#include "logo/raster_conversion.h"

namespace {

using namespace kestrel;
using fuzz::Check;

// Keeps each input quick: a tiny file may declare a 65528 x 65535 image whose missing pixels
// read as zero, which is valid but takes seconds to convert.
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 18;

bool SamePlanes(const LogoConversion& a, const LogoConversion& b) {
    return a.result == b.result && a.width == b.width && a.planes.rows == b.planes.rows &&
           a.planes.plane1 == b.planes.plane1 && a.planes.plane2 == b.planes.plane2 &&
           a.planes.planeSize == b.planes.planeSize;
}

void Run(std::span<const std::uint8_t> file, const std::filesystem::path& path, bool twoColor) {
    const BitmapRead read = ReadLogoBitmapBytes(file, twoColor);
    const BitmapRead fromDisk = ReadLogoBitmap(path, twoColor);
    Check(fromDisk.result == read.result && fromDisk.twoColor == read.twoColor);
    if (read.result != BitmapReadResult::BMP_OK) {
        const auto banded = ConvertLogoFileInBands(path, twoColor);
        Check(!banded || banded->result == read.result);
        return;
    }
    Check(twoColor || !read.twoColor);
    const PackedBitmap& bitmap = *read.bitmap;
    const std::int64_t rows = bitmap.height() < 0 ? -bitmap.height() : bitmap.height();
    Check(fromDisk.bitmap->width() == bitmap.width() &&
          fromDisk.bitmap->height() == bitmap.height());
    if (bitmap.width() * rows > kMaxPixels) {
        return;
    }
    const LogoConversion conversion = ConvertLogoBitmap(bitmap, read.twoColor);
    const LogoPlanes& planes = conversion.planes;
    Check(conversion.result != BitmapReadResult::BMP_OK ||
          (planes.plane1.size() == planes.planeSize && planes.plane2.has_value() == read.twoColor &&
           (!planes.plane2 || planes.plane2->size() == planes.planeSize)));
    Check(SamePlanes(ConvertLogoBitmap(*fromDisk.bitmap, read.twoColor), conversion));
    if (const auto banded = ConvertLogoFileInBands(path, twoColor)) {
        Check(SamePlanes(*banded, conversion));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path path = kestrel::fuzz::TempFile("logo.bmp");
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const std::span<const std::uint8_t> file(data, size);
    Run(file, path, false);
    Run(file, path, true);
    return 0;
}
