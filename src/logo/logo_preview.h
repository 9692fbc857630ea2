// The logo as the printer would print it, as an RGB picture: first-colour dots black, second-
// colour dots red, no dot white. The picture has the declared width (a whole number of bytes),
// so the blank columns the printer adds are shown too.
#pragma once

#include <cstdint>
#include <vector>

#include "logo/raster_conversion.h"

namespace kestrel {

struct RgbImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgb;  // rows top first, three bytes red, green, blue per pixel
};

RgbImage RenderLogoPlanes(const LogoPlanes& planes);

}  // namespace kestrel
