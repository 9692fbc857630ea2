#include "commands/logo_refer.h"

#include <gtest/gtest.h>

#include "ports/testing/recording_ui.h"

namespace kestrel {
namespace {

TEST(LogoRefer, StartFolderAndNameFollowWhatWasTyped) {
    struct Case {
        const char* typed;
        const char* folder;
        const char* name;
    } const cases[] = {
        {"/logos/shop", "/logos/shop/", ""},  // no extension: taken as a folder
        {"/logos/a.bmp", "/logos/", "/logos/a.bmp"},
        {"/logos/A.BmP", "/logos/", "/logos/A.BmP"},
        {"/logos/", "/logos/", ""},
        {"/logos/shop.v2", "/logos/shop.v2/", ""},  // dots and all
        {"/logos/.bmp", "/logos/", ""},             // no name
        {"", "/last/", ""},                         // the folder used last
        {"a.bmp", "", "a.bmp"},
    };
    for (const Case& c : cases) {
        const ReferStart start = ReferStartFor(c.typed, "/last/");
        EXPECT_EQ(start.initialFolder, c.folder) << c.typed;
        EXPECT_EQ(start.fileName, c.name) << c.typed;
    }
}

TEST(LogoRefer, ChoiceBecomesTheSlotsPathAndTheNextStartFolder) {
    AppState state;
    testing::RecordingUserInterface ui;
    state.logoTable[1].path = "/logos/shop";
    ui.fileAnswers = {std::nullopt, std::string("/photos/cafe.bmp")};
    EXPECT_FALSE(ReferLogoFile(state, ui, 1));
    EXPECT_EQ(state.logoTable[1].path, "");  // a folder typed as the path is not a file
    EXPECT_EQ(state.logoInitialDir, "/logos/shop/");
    EXPECT_EQ(ReferLogoFile(state, ui, 1), "/photos/cafe.bmp");
    EXPECT_EQ(state.logoTable[1].path, "/photos/cafe.bmp");
    EXPECT_EQ(state.logoInitialDir, "/photos/");
    const FileDialogOptions& options = ui.dialogs.at(0);
    EXPECT_EQ(options.title, "Open logo file");
    EXPECT_EQ(options.filterText, "Logo file(*.bmp)");
    EXPECT_EQ(options.defaultExtension, "bmp");
    EXPECT_TRUE(options.mustExist);
}

TEST(LogoRefer, PathsLongerThanTheTableHoldsAreNamed) {
    LogoTable table;
    table[3].path = std::string(kMaxLogoPathLength, 'a');
    EXPECT_FALSE(LogoPathTooLongText(table));
    table[3].path += 'a';
    const auto text = LogoPathTooLongText(table);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Logo4"), std::string::npos);
    EXPECT_NE(text->find("260 characters"), std::string::npos);
}

TEST(LogoRefer, PreviewLineGivesSizeOrReason) {
    LogoConversion conversion;
    conversion.width = 20;
    conversion.planes.rows = 10;
    conversion.planes.planeSize = 30;
    conversion.planes.plane2 = std::vector<std::uint8_t>(30);
    EXPECT_EQ(LogoPreviewText(BitmapReadResult::BMP_OK, conversion),
              "20 x 10 dots, two colours, 60 bytes of 384 KB NV graphics memory");
    EXPECT_EQ(LogoPreviewText(BitmapReadResult::BMP_NOT_FOUND, {}),
              "The BITMAP file doesn't exist.");
    EXPECT_EQ(LogoPreviewText(BitmapReadResult::BMP_BAD_FORMAT, {}),
              "The BITMAP file format is different. ");
}

}  // namespace
}  // namespace kestrel
