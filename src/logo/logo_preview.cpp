#include "logo/logo_preview.h"

#include <algorithm>

namespace kestrel {

RgbImage RenderLogoPlanes(const LogoPlanes& planes) {
    RgbImage image;
    if (planes.rows == 0) {
        return image;
    }
    const std::uint32_t bytesPerRow = planes.planeSize / planes.rows;
    image.width = bytesPerRow * 8;
    image.height = planes.rows;
    image.rgb.assign(std::size_t{image.width} * image.height * 3, 0xFF);
    auto dotAt = [&](const std::vector<std::uint8_t>& plane, std::size_t x, std::size_t y) {
        const std::size_t at = y * bytesPerRow + x / 8;
        return at < plane.size() && (plane[at] & (0x80u >> (x % 8))) != 0;
    };
    for (std::size_t y = 0; y < image.height; ++y) {
        for (std::size_t x = 0; x < image.width; ++x) {
            std::uint8_t* px = image.rgb.data() + (y * image.width + x) * 3;
            if (dotAt(planes.plane1, x, y)) {
                std::fill_n(px, 3, 0x00);
            } else if (planes.plane2 && dotAt(*planes.plane2, x, y)) {
                px[0] = 0xFF;
                px[1] = 0x00;
                px[2] = 0x00;
            }
        }
    }
    return image;
}

}  // namespace kestrel
