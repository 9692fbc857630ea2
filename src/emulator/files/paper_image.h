// A printout as it comes out of the printer, as a picture: text lines in the printer's 12 x 24 dot
// character cells, logos dot for dot (first colour black, second colour red), on paper at least
// 576 dots wide (80 mm paper), left-aligned as the printer prints them.
#pragma once

#include "emulator/kr_printer.h"
#include "logo/logo_preview.h"

namespace kestrel::emulator {

inline constexpr std::uint32_t kPaperDots = 576;
inline constexpr std::uint32_t kCharacterWidth = 12;
inline constexpr std::uint32_t kLineHeight = 30;  // 24-dot characters and the default spacing
inline constexpr std::uint32_t kPaperMargin = 8;  // blank paper above and below the print

// Settings lists are text pages of their own and are not drawn here.
RgbImage RenderPrintout(const Printout& printout);

// Whether the printout holds anything this picture shows (text lines or logos).
bool HasPaperPrint(const Printout& printout);

}  // namespace kestrel::emulator
