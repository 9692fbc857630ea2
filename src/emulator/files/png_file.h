// Writing a picture as a PNG file (libpng).
#pragma once

#include <filesystem>

#include "logo/logo_preview.h"

namespace kestrel {

bool WritePngFile(const std::filesystem::path& path, const RgbImage& image);

}  // namespace kestrel
