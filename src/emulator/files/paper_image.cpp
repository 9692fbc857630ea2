#include "emulator/files/paper_image.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

namespace kestrel::emulator {
namespace {

// The printer's ROM font is not ours to copy; a monospaced system font drawn without
// anti-aliasing into the same 12 x 24 cells looks as the paper does.
std::optional<std::string> MonospaceFontFile() {
    static const std::optional<std::string> file = []() -> std::optional<std::string> {
        struct ConfigDone {
            void operator()(FcConfig* c) const { FcConfigDestroy(c); }
        };
        struct PatternDone {
            void operator()(FcPattern* p) const { FcPatternDestroy(p); }
        };
        std::unique_ptr<FcConfig, ConfigDone> config(FcInitLoadConfigAndFonts());
        std::unique_ptr<FcPattern, PatternDone> pattern(
            FcNameParse(reinterpret_cast<const FcChar8*>("monospace:style=Bold")));
        if (!config || !pattern) {
            return std::nullopt;
        }
        FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern);
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        std::unique_ptr<FcPattern, PatternDone> match(
            FcFontMatch(config.get(), pattern.get(), &result));
        FcChar8* path = nullptr;
        if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &path) != FcResultMatch) {
            return std::nullopt;
        }
        return std::string(reinterpret_cast<const char*>(path));
    }();
    return file;
}

class CellFont {
public:
    CellFont() {
        const auto file = MonospaceFontFile();
        FT_Library library = nullptr;
        if (!file || FT_Init_FreeType(&library) != 0) {
            return;
        }
        m_library.reset(library);
        FT_Face face = nullptr;
        if (FT_New_Face(library, file->c_str(), 0, &face) != 0) {
            return;
        }
        m_face.reset(face);
        // 20-pixel em: a monospaced face advances about 12 dots, the cell of the printer's font.
        if (FT_Set_Pixel_Sizes(face, 0, 20) != 0) {
            m_face.reset();
        }
    }

    // Draws the character with its cell's top-left corner at (x, y).
    void draw(RgbImage& image, std::uint32_t x, std::uint32_t y, char c) const {
        if (!m_face ||
            FT_Load_Char(m_face.get(), static_cast<unsigned char>(c),
                         FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0) {
            return;
        }
        const FT_GlyphSlot glyph = m_face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO) {
            return;
        }
        const long baseline = static_cast<long>(y) + 2 + (m_face->size->metrics.ascender >> 6);
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const unsigned char* bits = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
                if ((bits[col / 8] & (0x80u >> (col % 8))) == 0) {
                    continue;
                }
                const long px = static_cast<long>(x) + glyph->bitmap_left + col;
                const long py = baseline - glyph->bitmap_top + row;
                if (px >= 0 && py >= 0 && px < static_cast<long>(x + kCharacterWidth) &&
                    px < static_cast<long>(image.width) && py < static_cast<long>(image.height)) {
                    std::fill_n(image.rgb.data() + (static_cast<std::size_t>(py) * image.width +
                                                    static_cast<std::size_t>(px)) *
                                                       3,
                                3, 0x00);
                }
            }
        }
    }

private:
    struct LibraryDone {
        void operator()(FT_Library l) const { FT_Done_FreeType(l); }
    };
    struct FaceDone {
        void operator()(FT_Face f) const { FT_Done_Face(f); }
    };
    // The face goes before the library it came from.
    std::unique_ptr<FT_LibraryRec_, LibraryDone> m_library;
    std::unique_ptr<FT_FaceRec_, FaceDone> m_face;
};

RgbImage GraphicImage(const NvGraphic& graphic) {
    LogoPlanes planes;
    planes.rows = graphic.height;
    planes.planeSize = static_cast<std::uint32_t>(graphic.bytesPerRow() * graphic.height);
    planes.plane1 = graphic.planes[0].empty() ? std::vector<std::uint8_t>(planes.planeSize, 0)
                                              : graphic.planes[0];
    if (!graphic.planes[1].empty()) {
        planes.plane2 = graphic.planes[1];
    }
    return RenderLogoPlanes(planes);
}

}  // namespace

bool HasPaperPrint(const Printout& printout) {
    return std::ranges::any_of(printout.blocks, [](const PrintedBlock& b) {
        return !std::holds_alternative<PrintedSettingsList>(b);
    });
}

RgbImage RenderPrintout(const Printout& printout) {
    std::uint32_t width = kPaperDots;
    std::uint32_t height = 2 * kPaperMargin;
    for (const PrintedBlock& block : printout.blocks) {
        if (const auto* line = std::get_if<PrintedLine>(&block)) {
            width = std::max<std::uint32_t>(
                width, static_cast<std::uint32_t>(line->text.size()) * kCharacterWidth);
            height += kLineHeight;
        } else if (const auto* g = std::get_if<PrintedGraphic>(&block)) {
            width = std::max<std::uint32_t>(
                width, static_cast<std::uint32_t>(g->graphic.bytesPerRow() * 8) * g->scaleX);
            height += std::uint32_t{g->graphic.height} * g->scaleY;
        }
    }
    RgbImage image;
    image.width = width;
    image.height = height;
    image.rgb.assign(std::size_t{width} * height * 3, 0xFF);

    const CellFont font;
    std::uint32_t y = kPaperMargin;
    for (const PrintedBlock& block : printout.blocks) {
        if (const auto* line = std::get_if<PrintedLine>(&block)) {
            for (std::size_t i = 0; i < line->text.size(); ++i) {
                font.draw(image, static_cast<std::uint32_t>(i) * kCharacterWidth, y, line->text[i]);
            }
            y += kLineHeight;
        } else if (const auto* g = std::get_if<PrintedGraphic>(&block)) {
            const RgbImage dots = GraphicImage(g->graphic);
            for (std::uint32_t row = 0; row < dots.height * g->scaleY; ++row) {
                for (std::uint32_t col = 0; col < dots.width * g->scaleX; ++col) {
                    const std::uint8_t* from =
                        dots.rgb.data() +
                        (std::size_t{row / g->scaleY} * dots.width + col / g->scaleX) * 3;
                    std::copy_n(from, 3,
                                image.rgb.data() + (std::size_t{y + row} * width + col) * 3);
                }
            }
            y += std::uint32_t{g->graphic.height} * g->scaleY;
        }
    }
    return image;
}

}  // namespace kestrel::emulator
