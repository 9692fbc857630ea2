// The logo jobs' bytes, a job's run, and the logo dialog's commands and file choice.
#include "logo/logo_job.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "commands/logo_commands.h"
#include "commands/logo_refer.h"
#include "logo_test_bitmaps.h"
#include "ports/testing/flow_harness.h"
#include "ports/testing/recording_ui.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

using testing::At;
using testing::Bgr;
using testing::Hex;

// 10 x 2: the top row black, the bottom row black at even columns; for slot 3.
const std::vector<std::uint8_t> kTenByTwoMono = testing::Make24Bit(10, 2, [](int x, int y) {
    return (y == 0 || x % 2 == 0) ? Bgr{} : Bgr{255, 255, 255};
});
const std::string kTenByTwoMonoDefine =
    "1D 38 4C 0F 00 00 00 30 43 30 22 20 01 10 00 02 00 31 FF C0 AA 80";

// 10 x 2, 8 bits: top row four black, four red, two white; bottom row all red.
const std::vector<std::uint8_t> kTenByTwoColour =
    testing::MakePalette(10, 2, 8, {{}, {0, 0, 255}, {255, 255, 255}},
                         [](int x, int y) { return y == 1 ? 1 : (x < 4 ? 0 : (x < 8 ? 1 : 2)); });
const std::string kTenByTwoColourDefine =
    "1D 38 4C 14 00 00 00 30 43 30 22 20 02 10 00 02 00 31 F0 00 00 00 32 0F 00 FF C0";

const std::string kDeleteSlot1 = "1D 28 4C 04 00 30 42 20 20";

std::string Question(const std::string& what) {
    return "The logo is " + what +
           ".\n\nPlease check that the printer is connected\nand click OK button.";
}

// 576 dots x 600 rows in two colours: the length needs its third byte.
TEST(LogoDefineCommand, LengthAndParameterCountFollowPlaneSize) {
    LogoPlanes planes{600, std::vector<std::uint8_t>(72 * 600, 0x5A),
                      std::vector<std::uint8_t>(72 * 600, 0xA5), 72 * 600};
    LogoJobBuffer buffer;
    BuildLogoDefineCommand(planes, 4, buffer);
    const std::size_t k = planes.planeSize;
    ASSERT_EQ(buffer.data.size(), 17 + 2 * (k + 1));  // 10 + 2 (k + 1) = 0x01518C
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.data.begin(), buffer.data.begin() + 17),
              Hex("1D 38 4C 8C 51 01 00 30 43 30 24 20 02 40 02 58 02"));
    EXPECT_EQ(buffer.data[17], 0x31);
    EXPECT_EQ(buffer.data[17 + k], 0x5A);
    EXPECT_EQ(buffer.data[18 + k], 0x32);
    EXPECT_EQ(buffer.data.back(), 0xA5);
}

// "Logo5" = 4C 6F 67 6F 35; "(Monochrome)" and "(2Color)" in ASCII.
TEST(LogoPrintJob, BytesInOrder) {
    const std::tuple<int, bool, bool, std::string> cases[] = {
        {4, false, false,
         "1D 65 75 43 01 1C 43 01 4C 6F 67 6F 35 28 4D 6F 6E 6F 63 68 72 6F 6D 65 29 "
         "1C 43 00 0A 1D 28 4C 06 00 30 45 24 20 01 01 0A"},
        {0, true, false,
         "1D 65 75 43 01 1C 43 01 4C 6F 67 6F 31 28 32 43 6F 6C 6F 72 29 1C 43 00 0A "
         "1D 65 75 43 02 1D 28 4C 06 00 30 45 20 20 01 01 1D 65 75 43 01 0A"},
        {2, true, true,
         "1D 65 75 43 01 1C 43 01 4C 6F 67 6F 33 28 32 43 6F 6C 6F 72 29 1C 43 00 0A "
         "1D 65 75 43 02 1D 28 4C 06 00 30 45 22 20 01 01 1D 65 75 43 01 "
         "0A 0A 0A 0A 0A 0A 1B 6D"},
    };
    for (const auto& [slot, twoColor, cut, expected] : cases) {
        EXPECT_EQ(BuildLogoPrintJob(slot, twoColor, cut), Hex(expected)) << slot;
    }
}

class LogoFlow : public ::testing::Test, protected testing::FlowHarness {
protected:
    testing::ScratchFolder folder;
};

TEST_F(LogoFlow, RegisterSendsTheDefineCommandInTheSlotsColourModeThenWaits) {
    state.logoTable[2].path = folder.write("logo.bmp", kTenByTwoMono).string();
    ASSERT_TRUE(RunLogoJob(ctx, LogoJobKind::LogoRegister, 2, false, true));
    EXPECT_EQ(clock.waits, (std::vector<long long>{1000, 200}));
    EXPECT_EQ(ui.progressTexts, std::vector<std::string>{"Logo 3 is registered to the printer."});
    EXPECT_EQ(ui.cursors, (std::vector<CursorId>{CursorId::Wait, CursorId::Arrow}));
    EXPECT_EQ(ui.progressOpen, 0);
    // The job's own two-colour argument is for print jobs only.
    state.logoTable[2].path = folder.write("logo.bmp", kTenByTwoColour).string();
    state.logoTable[2].twoColor = true;
    ASSERT_TRUE(RunLogoJob(ctx, LogoJobKind::LogoRegister, 2, false, false));
    ASSERT_EQ(ps.jobs.size(), 2u);
    EXPECT_EQ(ps.jobs[0].bytes, Hex(kTenByTwoMonoDefine));
    EXPECT_EQ(ps.jobs[0].documentName, "My Document");
    EXPECT_EQ(ps.jobs[1].bytes, Hex(kTenByTwoColourDefine));
    EXPECT_TRUE(ps.allClosed());
}

TEST_F(LogoFlow, RegisterFailureSetsTheBitmapCodeAndNeverOpensTheQueue) {
    const std::tuple<const char*, std::vector<std::uint8_t>, JobError> cases[] = {
        {"missing", {}, JobError::BitmapNotFound},
        // 24 bits cannot be made in two colours.
        {"twoColour24", kTenByTwoMono, JobError::BitmapBadFormat},
        {"sizeField13", testing::Patched(kTenByTwoColour, {{At::FileSize, 13}}),
         JobError::BitmapUnreadable},
        // Two planes of 256 bytes x 769 rows pass the 384 KB of NV graphics memory.
        {"pastMemory", testing::Patched(kTenByTwoColour, {{At::Width, 2048}, {At::Height, 769}}),
         JobError::LogoTooLarge},
    };
    state.logoTable[0].twoColor = true;
    for (const auto& [name, file, expected] : cases) {
        state.logoTable[0].path = (folder.path() / name).string();
        if (!file.empty()) {
            folder.write(name, file);
        }
        EXPECT_FALSE(RunLogoJob(ctx, LogoJobKind::LogoRegister, 0, false, false));
        EXPECT_EQ(state.lastJobError, expected) << name;
    }
    EXPECT_EQ(ps.openCount, 0);
    EXPECT_TRUE(clock.waits.empty());
    EXPECT_EQ(ui.progressOpen, 0);
    EXPECT_EQ(ui.current, CursorId::Arrow);
    EXPECT_TRUE(ui.progressTexts.empty());
}

TEST_F(LogoFlow, RegisterCommandWithoutFileOrWithAMissingOne) {
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::Regist, 0), FlowResult::Failed);
    EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{"Please specify the BITMAP file.\n"});
    EXPECT_EQ(ui.boxes[0].icon, BoxIcon::PrinterError);
    ui.boxes.clear();
    state.logoTable[1].path = (folder.path() / "gone.bmp").string();
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::Regist, 1), FlowResult::Failed);
    EXPECT_EQ(state.lastJobError, JobError::BitmapNotFound);
    EXPECT_EQ(ps.openCount, 0);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, Question("registered"));
    EXPECT_EQ(ui.boxes[0].icon, BoxIcon::Question);
    EXPECT_EQ(ui.boxes[0].owner, Owner::LogoDialog);
    const MessageBox& failure = ui.boxes[1];
    EXPECT_EQ(failure.text,
              LogoJobFailureMessage(JobError::BitmapNotFound, state.logoTable[1].path));
    EXPECT_EQ(std::tuple(failure.icon, failure.style, failure.buttons, failure.owner),
              std::tuple(BoxIcon::PrinterError, kUserIconStyle, Buttons::Ok, Owner::LogoDialog));
}

TEST_F(LogoFlow, ACancelledQuestionSendsNothing) {
    state.logoTable[0].path = "/somewhere/logo.bmp";
    for (const LogoCommand command : {LogoCommand::Delete, LogoCommand::Regist, LogoCommand::Print,
                                      LogoCommand::ConfirmationPrint}) {
        ui.boxes.clear();
        ui.answers = {Answer::Cancel};
        EXPECT_EQ(RunLogoCommand(ctx, command, 0), FlowResult::Cancelled);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].buttons, Buttons::OkCancel);
    }
    EXPECT_EQ(ps.openCount, 0);
    EXPECT_TRUE(ui.progressTexts.empty());
}

TEST_F(LogoFlow, ConfirmationPrintAsksOnceSendsTenJobsCuttingOnlyAfterTheLast) {
    state.logoTable[2].twoColor = true;  // the slot's choice does not matter here
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::ConfirmationPrint, 2), FlowResult::Done);
    EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{Question("printed")});
    ASSERT_EQ(ps.jobs.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(ps.jobs[i].bytes, BuildLogoPrintJob(i % 5, i >= 5, i == 9)) << i;
    }
    // Every send failing: each of the ten reports its failure, with no wait, the progress window
    // closed and the cursor back.
    ui.boxes.clear();
    clock.waits.clear();
    ps.failAt = testing::FailStep::Open;
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::ConfirmationPrint, 0), FlowResult::Failed);
    const std::vector<std::string> texts = ui.boxTexts();
    ASSERT_EQ(texts.size(), 11u);
    EXPECT_EQ(std::count(texts.begin(), texts.end(),
                         "The printer cannot be opened.\nThe output device might be used by other "
                         "applications."),
              10);
    EXPECT_TRUE(clock.waits.empty());
    EXPECT_EQ(ui.progressOpen, 0);
    EXPECT_EQ(ui.current, CursorId::Arrow);
    EXPECT_TRUE(ps.allClosed());
}

// Print uses the slot's two-colour choice (the command-line tool's print without the cut goes
// through the same flow); delete its slot. Each reports and waits.
TEST_F(LogoFlow, PrintAndDeleteSendTheirBytes) {
    state.logoTable[4].twoColor = true;
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::Print, 4), FlowResult::Done);
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::Print, 4, false), FlowResult::Done);
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::Delete, 0), FlowResult::Done);
    ASSERT_TRUE(RunLogoJob(ctx, LogoJobKind::LogoDelete, 4, false, false));
    EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{Question("printed"), Question("printed"),
                                                       Question("deleted")}));
    ASSERT_EQ(ps.jobs.size(), 4u);
    EXPECT_EQ(ps.jobs[0].bytes, BuildLogoPrintJob(4, true, true));
    EXPECT_EQ(ps.jobs[1].bytes, BuildLogoPrintJob(4, true, false));
    EXPECT_EQ(ps.jobs[2].bytes, Hex(kDeleteSlot1));
    EXPECT_EQ(ps.jobs[3].bytes, Hex("1D 28 4C 04 00 30 42 24 20"));
    EXPECT_EQ(ui.progressTexts,
              (std::vector<std::string>{
                  "Logo 5 of the printer is printed.", "Logo 5 of the printer is printed.",
                  "Logo 1 of the printer is deleted.", "Logo 5 of the printer is deleted."}));
    EXPECT_EQ(clock.waits, (std::vector<long long>{1000, 200, 1000, 200, 1000, 200, 1000, 200}));
    // A kind that is none of the three does nothing; a slot outside the table is refused.
    EXPECT_TRUE(RunLogoJob(ctx, static_cast<LogoJobKind>(9), 0, false, false));
    EXPECT_THROW(RunLogoJob(ctx, LogoJobKind::LogoDelete, 5, false, false), std::out_of_range);
    EXPECT_THROW(RunLogoJob(ctx, LogoJobKind::LogoPrint, -1, false, false), std::out_of_range);
    EXPECT_EQ(ps.jobs.size(), 4u);
}

TEST(LogoFailureMessage, TextByCode) {
    const std::string reading = "Reading failure of BITMAP file.\n\nC:\\logos\\a.bmp\nThe ";
    const std::tuple<JobError, int, std::string> cases[] = {
        // The send channel's codes keep its own messages.
        {JobError::StartDocument, 0, "Printer Error!!  Check the printer."},
        {JobError::BitmapBadFormat, 0, reading + "BITMAP file format is different. "},
        {JobError::BitmapNotFound, 0, reading + "BITMAP file doesn't exist."},
        {JobError::BitmapUnreadable, 0, reading + "BITMAP file cannot be read."},
        {JobError::BitmapUnreadable, EACCES,
         reading + "BITMAP file cannot be read.\nPermission denied."},
        {JobError::LogoTooLarge, 0,
         reading + "logo is too large for the printer's NV graphics memory (384 KB)."},
        {JobError::None, 0, ""},
    };
    for (const auto& [code, systemError, expected] : cases) {
        EXPECT_EQ(LogoJobFailureMessage(code, "C:\\logos\\a.bmp", systemError), expected);
    }
}

TEST(LogoRefer, StartFolderAndNameFollowWhatWasTyped) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/logos/shop", "/logos/shop/", ""},  // no extension: taken as a folder
        {"/logos/a.bmp", "/logos/", "/logos/a.bmp"},
        {"/logos/A.BmP", "/logos/", "/logos/A.BmP"},
        {"/logos/", "/logos/", ""},
        {"/logos/shop.v2", "/logos/shop.v2/", ""},  // dots and all
        {"/logos/.bmp", "/logos/", ""},             // no name
        {"", "/last/", ""},                         // the folder used last
        {"a.bmp", "", "a.bmp"},
    };
    for (const auto& [typed, folder, name] : cases) {
        const ReferStart start = ReferStartFor(typed, "/last/");
        EXPECT_EQ(start.initialFolder, folder) << typed;
        EXPECT_EQ(start.fileName, name) << typed;
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
    const FileDialogOptions& d = ui.dialogs.at(0);
    EXPECT_EQ(std::tuple(d.title, d.filterText, d.defaultExtension, d.mustExist),
              std::tuple("Open logo file", "Logo file(*.bmp)", "bmp", true));
}

TEST(LogoRefer, PathTooLongAndPreviewLine) {
    LogoTable table;
    table[3].path = std::string(kMaxLogoPathLength, 'a');
    EXPECT_FALSE(LogoPathTooLongText(table));
    table[3].path += 'a';
    const auto text = LogoPathTooLongText(table);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Logo4"), std::string::npos);
    EXPECT_NE(text->find("(" + std::to_string(kMaxLogoPathLength + 1) + " characters)"),
              std::string::npos);

    LogoConversion conversion{BitmapReadResult::BMP_OK, {10, {}, std::nullopt, 30}, 20};
    EXPECT_EQ(LogoPreviewText(BitmapReadResult::BMP_OK, conversion),
              "20 x 10 dots, monochrome, 30 bytes of 384 KB NV graphics memory");
    conversion.planes.plane2 = std::vector<std::uint8_t>(30);
    EXPECT_EQ(LogoPreviewText(BitmapReadResult::BMP_OK, conversion),
              "20 x 10 dots, two colours, 60 bytes of 384 KB NV graphics memory");
    // The reason alone, without the heading and path of the job message.
    EXPECT_EQ(LogoPreviewText(BitmapReadResult::BMP_NOT_FOUND, {}),
              "The BITMAP file doesn't exist.");
}

}  // namespace
}  // namespace kestrel
