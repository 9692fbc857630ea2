// Converts an uncompressed 24-bit logo file without loading it whole: the headers are checked
// as ReadLogoBitmap checks them, then the pixel rows are read in bands of about 128
// kilobytes, one buffer reused, and handed to the plane builder. A large file then costs one pass
// of the kernel's copy into memory that stays in cache, instead of a freshly mapped block as big as
// the file.
#pragma once

#include <filesystem>
#include <optional>

#include "logo/raster_conversion.h"

namespace kestrel {

// The conversion ReadLogoBitmap followed by ConvertLogoBitmap gives, for a regular file of known
// length holding an acceptable uncompressed 24-bit image. Empty for every other file (other
// depths, compression, files that cannot be opened, read or used), which the whole-file reader
// then handles with its own result code.
std::optional<LogoConversion> ConvertLogoFileInBands(const std::filesystem::path& path,
                                                     bool twoColorRequested);

}  // namespace kestrel
