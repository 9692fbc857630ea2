// Sizes shared by the reader, the conversion and the define command.
#pragma once

#include <cstdint>

namespace kestrel {

// The define command carries the logo's width (a whole number of bytes, in dots) and height in
// 16-bit fields, so a logo is at most 8191 bytes wide and 65535 rows high.
inline constexpr std::int64_t kMaxLogoWidth = 8191 * 8;
inline constexpr std::int64_t kMaxLogoHeight = 65535;

// Whether a bitmap of this width and height (rows, either sign) can become a logo at all.
inline bool LogoSizeUsable(std::int64_t width, std::int64_t height) {
    const std::int64_t rows = height < 0 ? -height : height;
    return width >= 1 && width <= kMaxLogoWidth && rows >= 1 && rows <= kMaxLogoHeight;
}

// The height the logo gets: the bitmap is redrawn width for width, with its height scaled by
// height / width * width in double precision, which falls one row short for some sizes
// (7 x 61 gives 60 rows).
inline std::uint32_t LogoTargetHeight(std::uint32_t width, std::uint32_t height) {
    if (width == 0) {
        return 0;
    }
    const volatile double ratio = static_cast<double>(height) / static_cast<double>(width);
    const volatile double scaled = ratio * static_cast<double>(width);
    return static_cast<std::uint32_t>(scaled);
}

inline std::uint32_t LogoBytesPerRow(std::uint32_t width) {
    return (width + 7) / 8;
}

// The largest NV graphics memory a KR printer offers; a logo's planes must fit in it.
inline constexpr std::uint64_t kNvGraphicsMemoryBytes = 384 * 1024;

// The bytes a logo's dot planes take of the NV graphics memory (one plane, or two in two colours).
inline std::uint64_t LogoPlaneBytes(std::uint32_t width, std::uint32_t height, bool twoColor) {
    return std::uint64_t{LogoBytesPerRow(width)} * LogoTargetHeight(width, height) *
           (twoColor ? 2u : 1u);
}

inline bool LogoFitsGraphicsMemory(std::uint32_t width, std::uint32_t height, bool twoColor) {
    return LogoPlaneBytes(width, height, twoColor) <= kNvGraphicsMemoryBytes;
}

}  // namespace kestrel
