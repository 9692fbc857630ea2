// The logo jobs' bytes and runs, and the logo dialog's commands and file choice.
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

// 576 dots x 600 rows in two colours: the length 10 + 2 (k + 1) = 0x01518C needs its third byte.
TEST(LogoDefineCommand, LengthAndParameterCountFollowPlaneSize) {
    const std::vector<std::uint8_t> plane1(72 * 600, 0x5A), plane2(72 * 600, 0xA5);
    LogoJobBuffer buffer;
    BuildLogoDefineCommand({600, plane1, plane2, 72 * 600}, 4, buffer);
    auto expected = Hex("1D 38 4C 8C 51 01 00 30 43 30 24 20 02 40 02 58 02 31");
    expected.insert(expected.end(), plane1.begin(), plane1.end());
    expected.push_back(0x32);
    expected.insert(expected.end(), plane2.begin(), plane2.end());
    EXPECT_TRUE(buffer.data == expected);
}

// "Logo5" = 4C 6F 67 6F 35; "(Monochrome)" and "(2Color)" in ASCII.
TEST(LogoPrintJob, BytesInOrder) {
    const std::tuple<int, bool, bool, std::string> cases[] = {
        {4, false, false,
         "1D 65 75 43 01 1C 43 01 4C 6F 67 6F 35 28 4D 6F 6E 6F 63 68 72 6F 6D 65 29 "
         "1C 43 00 0A 1D 28 4C 06 00 30 45 24 20 01 01 0A"},
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
    std::vector<std::vector<std::uint8_t>> sent() const {
        std::vector<std::vector<std::uint8_t>> out;
        for (const auto& job : ps.jobs) {
            out.push_back(job.bytes);
        }
        return out;
    }
    testing::ScratchFolder folder;
};

// The job's own two-colour argument is for print jobs only: the slot's choice decides.
TEST_F(LogoFlow, RegisterSendsTheDefineCommandInTheSlotsColourModeThenWaits) {
    state.logoTable[2].path = folder.write("logo.bmp", kTenByTwoMono).string();
    ASSERT_TRUE(RunLogoJob(ctx, LogoJobKind::LogoRegister, 2, false, true));
    EXPECT_EQ(clock.waits, (std::vector<long long>{1000, 200}));
    EXPECT_EQ(ui.progressTexts, std::vector<std::string>{"Logo 3 is registered to the printer."});
    EXPECT_EQ(ui.cursors, (std::vector<CursorId>{CursorId::Wait, CursorId::Arrow}));
    EXPECT_EQ(ui.progressOpen, 0);
    state.logoTable[2] = {true, folder.write("logo.bmp", kTenByTwoColour).string()};
    ASSERT_TRUE(RunLogoJob(ctx, LogoJobKind::LogoRegister, 2, false, false));
    EXPECT_EQ(sent(), (std::vector{Hex(kTenByTwoMonoDefine), Hex(kTenByTwoColourDefine)}));
    EXPECT_EQ(ps.jobs.at(0).documentName, "My Document");
    EXPECT_TRUE(ps.allClosed());
}

TEST_F(LogoFlow, RegisterFailureSetsTheBitmapCodeAndNeverOpensTheQueue) {
    const std::tuple<const char*, std::vector<std::uint8_t>, JobError> cases[] = {
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
        state.logoTable[0].path = folder.write(name, file).string();
        EXPECT_FALSE(RunLogoJob(ctx, LogoJobKind::LogoRegister, 0, false, false));
        EXPECT_EQ(state.lastJobError, expected) << name;
    }
    EXPECT_EQ(ps.openCount, 0);
    EXPECT_TRUE(clock.waits.empty());
    EXPECT_TRUE(ui.progressTexts.empty());
}

TEST_F(LogoFlow, RegisterCommandWithoutFileOrWithAMissingOneAndCancelledQuestions) {
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::Regist, 0), FlowResult::Failed);
    EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{"Please specify the BITMAP file.\n"});
    EXPECT_EQ(ui.boxes[0].icon, BoxIcon::PrinterError);
    ui.boxes.clear();
    state.logoTable[1].path = (folder.path() / "gone.bmp").string();
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::Regist, 1), FlowResult::Failed);
    EXPECT_EQ(state.lastJobError, JobError::BitmapNotFound);
    ASSERT_EQ(ui.boxes.size(), 2u);
    const MessageBox &question = ui.boxes[0], &failure = ui.boxes[1];
    EXPECT_EQ(std::tie(question.text, question.icon, question.owner),
              std::tuple(Question("registered"), BoxIcon::Question, Owner::LogoDialog));
    EXPECT_EQ(std::tie(failure.text, failure.icon, failure.style, failure.buttons, failure.owner),
              std::tuple(LogoJobFailureMessage(JobError::BitmapNotFound, state.logoTable[1].path),
                         BoxIcon::PrinterError, kUserIconStyle, Buttons::Ok, Owner::LogoDialog));
    // A cancelled question sends nothing.
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
    std::vector<std::vector<std::uint8_t>> expected;
    for (int i = 0; i < 10; ++i) {
        expected.push_back(BuildLogoPrintJob(i % 5, i >= 5, i == 9));
    }
    EXPECT_EQ(sent(), expected);
    // Every send failing: each of the ten reports its failure, with no wait.
    ui.boxes.clear();
    clock.waits.clear();
    ps.failAt = testing::FailStep::Open;
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::ConfirmationPrint, 0), FlowResult::Failed);
    const std::vector<std::string> texts = ui.boxTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), texts.back()), 10) << texts.back();
    EXPECT_EQ(texts.size(), 11u);
    EXPECT_TRUE(clock.waits.empty());
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
    EXPECT_EQ(sent(),
              (std::vector{BuildLogoPrintJob(4, true, true), BuildLogoPrintJob(4, true, false),
                           Hex(kDeleteSlot1), Hex("1D 28 4C 04 00 30 42 24 20")}));
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
    // A folder typed as the path is not a file.
    EXPECT_EQ(std::tie(state.logoTable[1].path, state.logoInitialDir),
              std::tuple("", "/logos/shop/"));
    EXPECT_EQ(ReferLogoFile(state, ui, 1), "/photos/cafe.bmp");
    EXPECT_EQ(std::tie(state.logoTable[1].path, state.logoInitialDir),
              std::tuple("/photos/cafe.bmp", "/photos/"));
    const FileDialogOptions& d = ui.dialogs.at(0);
    EXPECT_EQ(std::tuple(d.title, d.filterText, d.defaultExtension, d.mustExist),
              std::tuple("Open logo file", "Logo file(*.bmp)", "bmp", true));
}

TEST(LogoRefer, PathTooLongAndPreviewLine) {
    LogoTable table;
    table[3].path = std::string(kMaxLogoPathLength, 'a');
    EXPECT_FALSE(LogoPathTooLongText(table));
    table[3].path += 'a';
    const std::string text = LogoPathTooLongText(table).value_or("");
    EXPECT_NE(text.find("Logo4"), std::string::npos) << text;
    EXPECT_NE(text.find("(" + std::to_string(kMaxLogoPathLength + 1) + " characters)"),
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
