#include "commands/logo_commands.h"

#include <gtest/gtest.h>

#include "logo_test_bitmaps.h"
#include "ports/testing/flow_harness.h"
#include "ports/testing/recording_ui.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

using testing::Hex;

const std::string kPrintQuestion =
    "The logo is printed.\n\nPlease check that the printer is connected\nand click OK button.";

class LogoCommandFlow : public ::testing::Test, protected testing::FlowHarness {
protected:
    testing::ScratchFolder folder;

    std::vector<MessageBox> questions() const {
        std::vector<MessageBox> out;
        for (const auto& box : ui.boxes) {
            if (box.buttons == Buttons::OkCancel) {
                out.push_back(box);
            }
        }
        return out;
    }
};

TEST_F(LogoCommandFlow, RegisterMissingFileGivesCodeFiveAndTheComposedMessage) {
    state.logoTable[1].path = (folder.path() / "gone.bmp").string();
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::Regist, 1), FlowResult::Failed);
    EXPECT_EQ(state.lastJobError, JobError::BitmapNotFound);
    EXPECT_EQ(ps.openCount, 0);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text,
              "The logo is registered.\n\nPlease check that the printer is connected\nand click "
              "OK button.");
    EXPECT_EQ(ui.boxes[0].icon, BoxIcon::Question);
    EXPECT_EQ(ui.boxes[0].owner, Owner::LogoDialog);
    EXPECT_EQ(ui.boxes[1].text, "Reading failure of BITMAP file.\n\n" + state.logoTable[1].path +
                                    "\nThe BITMAP file doesn't exist.");
    EXPECT_EQ(ui.boxes[1].icon, BoxIcon::PrinterError);
    EXPECT_EQ(ui.boxes[1].style, kUserIconStyle);
    EXPECT_EQ(ui.boxes[1].buttons, Buttons::Ok);
    EXPECT_EQ(ui.boxes[1].owner, Owner::LogoDialog);
}

TEST_F(LogoCommandFlow, RegisterWithEmptyPathOnlyAsksForAFile) {
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::Regist, 0), FlowResult::Failed);
    EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{"Please specify the BITMAP file.\n"});
    EXPECT_EQ(ui.boxes[0].icon, BoxIcon::PrinterError);
    EXPECT_EQ(ps.openCount, 0);
}

TEST_F(LogoCommandFlow, RegisterSendsTheSlotsFile) {
    state.logoTable[3].path =
        folder.write("l.bmp", testing::Make24Bit(8, 1, [](int, int) { return testing::Bgr{}; }))
            .string();
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::Regist, 3), FlowResult::Done);
    ASSERT_EQ(ps.jobs.size(), 1u);
    EXPECT_EQ(ps.jobs[0].bytes, Hex("1D 38 4C 0C 00 00 00 30 43 30 23 20 01 08 00 01 00 31 FF"));
}

struct CancelCase {
    LogoCommand command;
    std::string path;
};

class LogoCommandCancel : public LogoCommandFlow,
                          public ::testing::WithParamInterface<LogoCommand> {};

TEST_P(LogoCommandCancel, SendsNothing) {
    state.logoTable[0].path = "/somewhere/logo.bmp";
    ui.answers = {Answer::Cancel};
    EXPECT_EQ(RunLogoCommand(ctx, GetParam(), 0), FlowResult::Cancelled);
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ps.openCount, 0);
    EXPECT_TRUE(ui.progressTexts.empty());
}

INSTANTIATE_TEST_SUITE_P(Commands, LogoCommandCancel,
                         ::testing::Values(LogoCommand::Delete, LogoCommand::Regist,
                                           LogoCommand::Print, LogoCommand::ConfirmationPrint));

TEST_F(LogoCommandFlow, ConfirmationPrintWhenEverySendFailsAsksOnceThenTenMessages) {
    ps.failAt = testing::FailStep::Open;
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::ConfirmationPrint, 0), FlowResult::Failed);
    ASSERT_EQ(ui.boxes.size(), 11u);
    EXPECT_EQ(ui.boxes[0].text, kPrintQuestion);
    for (std::size_t i = 1; i < ui.boxes.size(); ++i) {
        EXPECT_EQ(ui.boxes[i].text,
                  "The printer cannot be opened.\nThe output device might be used by other "
                  "applications.");
    }
    EXPECT_EQ(ps.openCount, 0);
}

TEST_F(LogoCommandFlow, ConfirmationPrintSendsTenJobsCuttingOnlyAfterTheLast) {
    state.logoTable[2].twoColor = true;  // the slot's choice does not matter here
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::ConfirmationPrint, 2), FlowResult::Done);
    EXPECT_EQ(questions().size(), 1u);
    ASSERT_EQ(ps.jobs.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(ps.jobs[i].bytes, BuildLogoPrintJob(i % 5, i >= 5, i == 9)) << i;
    }
}

TEST_F(LogoCommandFlow, PrintUsesTheSlotsTwoColourChoiceAndCuts) {
    state.logoTable[4].twoColor = true;
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::Print, 4), FlowResult::Done);
    ASSERT_EQ(ps.jobs.size(), 1u);
    EXPECT_EQ(ps.jobs[0].bytes.size(), 54u);
    EXPECT_EQ(questions().at(0).text, kPrintQuestion);
    // The command-line tool's print without the cut: the same flow, the job without the cut.
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::Print, 4, false), FlowResult::Done);
    ASSERT_EQ(ps.jobs.size(), 2u);
    EXPECT_EQ(ps.jobs[1].bytes, BuildLogoPrintJob(4, true, false));
}

TEST_F(LogoCommandFlow, DeleteAsksItsQuestionAndSendsTheDeleteCommand) {
    EXPECT_EQ(RunLogoCommand(ctx, LogoCommand::Delete, 0), FlowResult::Done);
    EXPECT_EQ(questions().at(0).text,
              "The logo is deleted.\n\nPlease check that the printer is connected\nand click OK "
              "button.");
    ASSERT_EQ(ps.jobs.size(), 1u);
    EXPECT_EQ(ps.jobs[0].bytes, Hex("1D 28 4C 04 00 30 42 20 20"));
}

struct MessageCase {
    JobError code;
    std::string expected;
};

class LogoFailureMessage : public ::testing::TestWithParam<MessageCase> {};

TEST_P(LogoFailureMessage, TextByCode) {
    EXPECT_EQ(LogoJobFailureMessage(GetParam().code, "C:\\logos\\a.bmp"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, LogoFailureMessage,
    ::testing::Values(
        MessageCase{JobError::StartDocument, "Printer Error!!  Check the printer."},
        MessageCase{JobError::Write,
                    "Transmission failure of setting value.\nPlease restart of a printer and send "
                    "again."},
        MessageCase{JobError::EndDocument,
                    "The printer cannot be closed.\nPlease reboot the computer."},
        MessageCase{JobError::BitmapBadFormat,
                    "Reading failure of BITMAP file.\n\nC:\\logos\\a.bmp\nThe BITMAP file format "
                    "is different. "},
        MessageCase{JobError::BitmapUnreadable,
                    "Reading failure of BITMAP file.\n\nC:\\logos\\a.bmp\nThe BITMAP file cannot "
                    "be read."},
        MessageCase{JobError::None, ""}));

}  // namespace
}  // namespace kestrel
