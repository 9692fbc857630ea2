#include "emulator/files/png_file.h"

#include <png.h>

namespace kestrel {

bool WritePngFile(const std::filesystem::path& path, const RgbImage& image) {
    if (image.width == 0 || image.height == 0 ||
        image.rgb.size() != std::size_t{image.width} * image.height * 3) {
        return false;
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = image.width;
    png.height = image.height;
    png.format = PNG_FORMAT_RGB;
    const bool ok = png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(),
                                            static_cast<png_int_32>(image.width * 3), nullptr) != 0;
    png_image_free(&png);
    return ok;
}

}  // namespace kestrel
