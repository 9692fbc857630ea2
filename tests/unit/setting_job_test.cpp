#include "commands/setting_job.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "commands/send_flow.h"
#include "ports/testing/flow_harness.h"
#include "settings/factory_defaults.h"

namespace kestrel {
namespace {

using namespace testing;
namespace o = offset;

// A program with a KR-500 on a non-serial port, the base settings on its page.
struct Fixture : FlowHarness {
    Fixture() {
        state.selectedPrinter().printerName = "KR500";
        state.selectedPrinter().mechanismId = mechanism::KR500;
        state.hostPort = kNonSerialHostPort;
        LoadFactoryDefaults(state);
        view.page = state.settings;
        state.lastSentPaperWidth = state.settings[o::PaperWidth];
    }
};

TEST(SendSettingJob, SendCollectsThePageSendsItAndFollowsWithTheHostPort) {
    Fixture f;
    f.view.page[o::Baudrate] = 3;  // 19200
    f.view.page[o::Protocol] = 1;  // XON/XOFF
    ASSERT_TRUE(SendSettingJob(f.ctx, SettingJobKind::SendSettings, Owner::MainWindow));

    EXPECT_EQ(f.state.settings, f.view.page);
    ASSERT_EQ(f.ps.jobs.size(), 1u);
    EXPECT_EQ(f.ps.jobs[0].bytes, BuildSettingStream(SettingJobKind::SendSettings, f.view.page,
                                                     f.state.profile, kNonSerialHostPort));
    EXPECT_EQ(f.clock.waits, (std::vector<long long>{2000, 1000}));
    EXPECT_EQ(f.ui.progressTexts,
              std::vector<std::string>{"The contents of a setting are written in the printer."});
    EXPECT_EQ(f.ui.progressOpen, 0);
    EXPECT_EQ(f.ui.cursors, (std::vector<CursorId>{CursorId::Wait, CursorId::Arrow}));
    EXPECT_EQ(f.view.collects, 1);
    EXPECT_EQ(f.view.refreshes, 1);
    EXPECT_EQ(f.state.hostPort, (HostPortSettings{3, 1, 0, 1, 2}));
    EXPECT_TRUE(f.state.serialSettingsChanged);
}

TEST(SendSettingJob, SevenBitHostGetsDataLengthFirstThenFollowsTheNewFormat) {
    Fixture f;
    f.state.hostPort = {6, 0, 1, 0, 0};  // 7EVEN1
    f.view.page[o::Format] = 2;          // 8NONE1
    ASSERT_TRUE(SendSettingJob(f.ctx, SettingJobKind::SendSettings, Owner::MainWindow));
    const auto& bytes = f.ps.jobs.at(0).bytes;
    const std::vector<std::uint8_t> dataLength{0x1D, 0x28, 0x45, 0x03, 0x00, 0x0B, 0x04, '8'};
    const std::vector<std::uint8_t> parity{0x1D, 0x28, 0x45, 0x03, 0x00, 0x0B, 0x02, '0'};
    const auto d = std::ranges::search(bytes, dataLength).begin();
    const auto p = std::ranges::search(bytes, parity).begin();
    ASSERT_NE(d, bytes.end());
    ASSERT_NE(p, bytes.end());
    EXPECT_LT(d, p);
    EXPECT_EQ(f.state.hostPort.dataBitsCode, 1u);
    EXPECT_EQ(f.state.hostPort.parityCode, 0u);
    EXPECT_EQ(f.state.hostPort.formatCode, 2u);
    EXPECT_TRUE(f.state.serialSettingsChanged);
}

TEST(SendSettingJob, UnchangedSerialValuesLeaveTheFlagDown) {
    Fixture f;
    ASSERT_TRUE(SendSettingJob(f.ctx, SettingJobKind::SendSettings, Owner::MainWindow));
    EXPECT_EQ(f.state.hostPort, kNonSerialHostPort);
    EXPECT_FALSE(f.state.serialSettingsChanged);
}

class FailedJob : public ::testing::TestWithParam<SettingJobKind> {};

TEST_P(FailedJob, ChangesNothingButTheRecordAndLeavesNoWindowOpen) {
    Fixture f;
    f.ps.failAt = FailStep::Write;
    f.view.page[o::Baudrate] = 2;
    f.state.settings[o::PaperWidth] = 5;
    f.state.lastSentPaperWidth = 5;
    const SettingsRecord pageBefore = f.view.page;
    EXPECT_FALSE(SendSettingJob(f.ctx, GetParam(), Owner::SettingsFrame));
    EXPECT_EQ(f.state.lastJobError, JobError::Write);
    EXPECT_TRUE(f.clock.waits.empty());
    EXPECT_EQ(f.view.refreshes, 0);
    EXPECT_EQ(f.view.page, pageBefore);
    EXPECT_EQ(f.state.hostPort, kNonSerialHostPort);
    EXPECT_FALSE(f.state.serialSettingsChanged);
    EXPECT_EQ(f.ui.progressOpen, 0);
    EXPECT_EQ(f.ui.current, CursorId::Arrow);
    if (GetParam() == SettingJobKind::InitializePrinter) {
        // The record already holds the factory defaults, paper width included.
        EXPECT_EQ(f.state.settings,
                  FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::KR500));
    } else if (GetParam() == SettingJobKind::SendSettings) {
        EXPECT_EQ(f.state.settings, f.view.page);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, FailedJob,
                         ::testing::Values(SettingJobKind::SendSettings,
                                           SettingJobKind::InitializePrinter,
                                           SettingJobKind::PrintSettingsList));

TEST(SendSettingJob, InitializationKeepsThePaperWidthLastSent) {
    Fixture f;
    f.state.settings[o::Buzzer] = 1;
    f.state.lastSentPaperWidth = 5;  // 58mm/32column, not the default
    ASSERT_TRUE(SendSettingJob(f.ctx, SettingJobKind::InitializePrinter, Owner::MainWindow));
    SettingsRecord expected = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::KR500);
    expected[o::PaperWidth] = 5;
    EXPECT_EQ(f.state.settings, expected);
    EXPECT_EQ(f.view.page, expected);
    EXPECT_EQ(f.view.collects, 0);
    EXPECT_EQ(f.ui.progressTexts,
              std::vector<std::string>{
                  "It has returned to the initial value at the time of factory default."});
    // The stream carries the defaults and no paper width entry.
    const auto stream =
        BuildSettingStream(SettingJobKind::InitializePrinter,
                           FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::KR500),
                           f.state.profile, kNonSerialHostPort);
    EXPECT_EQ(f.ps.jobs.at(0).bytes, stream);
}

TEST(SendSettingJob, ListPrintTouchesNothing) {
    Fixture f;
    f.view.page[o::Baudrate] = 0;
    const AppState before = f.state;
    ASSERT_TRUE(SendSettingJob(f.ctx, SettingJobKind::PrintSettingsList, Owner::MainWindow));
    EXPECT_EQ(f.ps.jobs.at(0).bytes,
              std::vector<std::uint8_t>(kSettingsListStream.begin(), kSettingsListStream.end()));
    EXPECT_EQ(f.state.settings, before.settings);
    EXPECT_EQ(f.state.hostPort, before.hostPort);
    EXPECT_FALSE(f.state.serialSettingsChanged);
    EXPECT_EQ(f.view.collects + f.view.refreshes, 0);
    EXPECT_EQ(f.ui.progressTexts, std::vector<std::string>{"The setting list is printed."});
}

struct FlowCase {
    SettingJobKind kind;
    Answer answer;
    FailStep fail;
    FlowResult result;
    std::vector<std::string> boxes;  // after the question
    int jobs;
};

class SettingCommand : public ::testing::TestWithParam<FlowCase> {};

TEST_P(SettingCommand, AsksThenSendsAndReportsByLastJobError) {
    const auto& c = GetParam();
    Fixture f;
    f.ui.answers = {c.answer};
    f.ps.failAt = c.fail;
    f.state.serialSettingsChanged = true;
    EXPECT_EQ(RunSettingCommand(f.ctx, c.kind, Owner::MainWindow), c.result);
    ASSERT_GE(f.ui.boxes.size(), 1u);
    EXPECT_EQ(f.ui.boxes[0].text, SettingJobQuestion(c.kind));
    EXPECT_EQ(f.ui.boxes[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(f.ui.boxes[0].icon, BoxIcon::Question);
    std::vector<std::string> rest;
    for (std::size_t i = 1; i < f.ui.boxes.size(); ++i) {
        rest.push_back(f.ui.boxes[i].text);
        EXPECT_EQ(f.ui.boxes[i].icon, BoxIcon::PrinterError);
        EXPECT_EQ(f.ui.boxes[i].style, kUserIconStyle);
        EXPECT_EQ(f.ui.boxes[i].caption, "KESTREL");
    }
    EXPECT_EQ(rest, c.boxes);
    EXPECT_EQ(static_cast<int>(f.ps.jobs.size()), c.jobs);
    // The serial-change flag is cleared after every successful send or initialization.
    const bool settingJob = c.kind != SettingJobKind::PrintSettingsList;
    EXPECT_EQ(f.state.serialSettingsChanged, !(settingJob && c.result == FlowResult::Done));
}

INSTANTIATE_TEST_SUITE_P(
    Flows, SettingCommand,
    ::testing::Values(
        FlowCase{SettingJobKind::SendSettings, Answer::Ok, FailStep::None, FlowResult::Done, {}, 1},
        FlowCase{SettingJobKind::SendSettings,
                 Answer::Cancel,
                 FailStep::None,
                 FlowResult::Cancelled,
                 {},
                 0},
        FlowCase{SettingJobKind::SendSettings,
                 Answer::Ok,
                 FailStep::Open,
                 FlowResult::Failed,
                 {"The printer cannot be opened.\nThe output device might be used by other "
                  "applications."},
                 0},
        FlowCase{SettingJobKind::InitializePrinter,
                 Answer::Ok,
                 FailStep::StartDocument,
                 FlowResult::Failed,
                 {"Printer Error!!  Check the printer."},
                 0},
        FlowCase{SettingJobKind::PrintSettingsList,
                 Answer::Ok,
                 FailStep::EndDocument,
                 FlowResult::Failed,
                 {"The printer cannot be closed.\nPlease reboot the computer."},
                 1},
        FlowCase{SettingJobKind::PrintSettingsList,
                 Answer::Ok,
                 FailStep::None,
                 FlowResult::Done,
                 {},
                 1}));

TEST(SettingCommand, SendRecordsTheLastSentPaperWidthInitializeDoesNot) {
    Fixture f;
    f.view.page[o::PaperWidth] = 3;
    ASSERT_EQ(RunSettingCommand(f.ctx, SettingJobKind::SendSettings, Owner::MainWindow),
              FlowResult::Done);
    EXPECT_EQ(f.state.lastSentPaperWidth, 3);
    ASSERT_EQ(RunSettingCommand(f.ctx, SettingJobKind::InitializePrinter, Owner::MainWindow),
              FlowResult::Done);
    EXPECT_EQ(f.state.lastSentPaperWidth, 3);
    EXPECT_EQ(f.state.settings[o::PaperWidth], 3);
}

}  // namespace
}  // namespace kestrel
