#include "logo/logo_preview.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(LogoPreview, FirstColourBlackSecondRedBlankWhiteAtDeclaredWidth) {
    LogoPlanes planes;
    planes.rows = 2;
    planes.planeSize = 4;  // two bytes per row: 16 dots wide
    planes.plane1 = {0x80, 0x00, 0x00, 0x01};
    planes.plane2 = std::vector<std::uint8_t>{0xC0, 0x00, 0x00, 0x00};
    const RgbImage image = RenderLogoPlanes(planes);
    ASSERT_EQ(image.width, 16u);
    ASSERT_EQ(image.height, 2u);
    ASSERT_EQ(image.rgb.size(), 16u * 2u * 3u);
    auto pixel = [&](int x, int y) {
        const auto* p = image.rgb.data() + (y * 16 + x) * 3;
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(pixel(0, 0), (std::array<int, 3>{0, 0, 0}));        // both planes: first wins
    EXPECT_EQ(pixel(1, 0), (std::array<int, 3>{255, 0, 0}));      // second colour
    EXPECT_EQ(pixel(2, 0), (std::array<int, 3>{255, 255, 255}));  // no dot
    EXPECT_EQ(pixel(15, 1), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(pixel(14, 1), (std::array<int, 3>{255, 255, 255}));
}

TEST(LogoPreview, MonochromeHasNoRed) {
    LogoPlanes planes;
    planes.rows = 1;
    planes.planeSize = 1;
    planes.plane1 = {0xAA};
    const RgbImage image = RenderLogoPlanes(planes);
    ASSERT_EQ(image.width, 8u);
    for (int x = 0; x < 8; ++x) {
        const std::uint8_t expected = x % 2 == 0 ? 0 : 255;
        EXPECT_EQ(image.rgb[x * 3], expected);
        EXPECT_EQ(image.rgb[x * 3 + 1], expected);
        EXPECT_EQ(image.rgb[x * 3 + 2], expected);
    }
}

}  // namespace
}  // namespace kestrel
