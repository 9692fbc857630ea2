// Send, Initialize and Print the List: the raw job, what it changes in the program, and the
// question and failure boxes around it.
#include "commands/setting_job.h"

#include <gtest/gtest.h>

#include "commands/send_flow.h"
#include "ports/testing/flow_harness.h"
#include "printer/raw_job.h"
#include "settings/factory_defaults.h"

namespace kestrel {
namespace {

using namespace testing;
namespace o = offset;
constexpr auto kSend = SettingJobKind::SendSettings;
constexpr auto kInit = SettingJobKind::InitializePrinter;
constexpr auto kList = SettingJobKind::PrintSettingsList;

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

TEST(RawJob, AShortWriteFailsAtTheCloseAndClosesWhatItOpened) {
    FakePrintSystem ps;
    ps.shortWrite = 4;
    AppState state;
    state.selectedPrinter().printerName = "KR500";
    EXPECT_FALSE(SendRawJob(ps, state, std::vector<std::uint8_t>(5, 0x18)));
    EXPECT_EQ(std::make_tuple(state.lastJobError, ps.allClosed()),
              std::make_tuple(JobError::EndDocument, true));
}

// The page is written once as a RAW job; the PC's line takes the baud, format and flow just sent,
// and unchanged values leave the flag down.
TEST(SendSettingJob, SendWritesThePageOnceAndTheHostLineFollowsIt) {
    const std::tuple<std::uint8_t, std::uint8_t, std::uint8_t, HostPortSettings> cases[] = {
        {3, 2, 1, {3, 1, 0, 1, 2}},    {6, 0, 0, {6, 0, 1, 0, 0}}, {6, 1, 0, {6, 0, 2, 0, 1}},
        {6, 2, 0, kNonSerialHostPort}, {6, 3, 0, {6, 1, 1, 0, 3}}, {6, 4, 0, {6, 1, 2, 0, 4}},
    };
    for (const auto& [baud, format, protocol, after] : cases) {
        SCOPED_TRACE(::testing::Message() << int(baud) << " " << int(format));
        Fixture f;
        f.state.lastJobError = JobError::Write;  // an earlier code is kept
        f.view.page[o::Baudrate] = baud;
        f.view.page[o::Format] = format;
        f.view.page[o::Protocol] = protocol;
        ASSERT_TRUE(SendSettingJob(f.ctx, kSend, Owner::MainWindow));
        ASSERT_EQ(f.ps.jobs.size(), 1u);
        EXPECT_EQ(f.ps.jobs[0].queue + "/" + f.ps.jobs[0].documentName, "KR500/My Document");
        EXPECT_EQ(f.ps.jobs[0].bytes,
                  BuildSettingStream(kSend, f.view.page, f.state.profile, kNonSerialHostPort));
        EXPECT_EQ(std::tie(f.state.settings, f.state.lastJobError, f.clock.waits, f.ui.cursors),
                  std::make_tuple(f.view.page, JobError::Write, std::vector<long long>{2000, 1000},
                                  std::vector{CursorId::Wait, CursorId::Arrow}));
        EXPECT_EQ(f.ui.progressTexts, std::vector<std::string>{
                                          "The contents of a setting are written in the printer."});
        EXPECT_EQ(std::make_tuple(f.ui.progressOpen, f.view.collects, f.view.refreshes,
                                  f.state.hostPort, f.state.serialSettingsChanged),
                  std::make_tuple(0, 1, 1, after, after != kNonSerialHostPort));
    }
}

// A failed job closes what it opened and changes nothing but the record, which already holds what
// was to be sent: the page, or the defaults of all.
TEST(SettingCommand, AsksThenSendsAndReportsByLastJobError) {
    const std::tuple<SettingJobKind, Answer, FailStep, FlowResult, std::string, int> cases[] = {
        // box: the one after the question
        {kSend, Answer::Ok, FailStep::None, FlowResult::Done, "", 1},
        {kSend, Answer::Cancel, FailStep::None, FlowResult::Cancelled, "", 0},
        {kSend, Answer::Ok, FailStep::Open, FlowResult::Failed,
         "The printer cannot be opened.\nThe output device might be used by other applications.",
         0},
        {kInit, Answer::Ok, FailStep::Write, FlowResult::Failed,
         "Transmission failure of setting value.\nPlease restart of a printer and send again.", 1},
        {kList, Answer::Ok, FailStep::EndDocument, FlowResult::Failed,
         "The printer cannot be closed.\nPlease reboot the computer.", 1},
        {kList, Answer::Ok, FailStep::None, FlowResult::Done, "", 1},
    };
    for (const auto& [kind, answer, fail, result, box, jobs] : cases) {
        SCOPED_TRACE(box);
        Fixture f;
        f.ui.answers = {answer};
        f.ps.failAt = fail;
        f.state.serialSettingsChanged = true;
        f.view.page[o::Baudrate] = 2;
        f.state.settings[o::PaperWidth] = f.state.lastSentPaperWidth = 5;
        const SettingsRecord pageBefore = f.view.page, recordBefore = f.state.settings;
        EXPECT_EQ(RunSettingCommand(f.ctx, kind, Owner::MainWindow), result);
        ASSERT_EQ(f.ui.boxes.size(), box.empty() ? 1u : 2u);
        EXPECT_EQ(std::tie(f.ui.boxes[0].text, f.ui.boxes[0].buttons, f.ui.boxes[0].icon),
                  std::make_tuple(SettingJobQuestion(kind), Buttons::OkCancel, BoxIcon::Question));
        if (!box.empty()) {
            EXPECT_EQ(std::make_tuple(f.ui.boxes[1].text, f.ui.boxes[1].icon, f.ui.boxes[1].style),
                      std::make_tuple(box, BoxIcon::PrinterError, kUserIconStyle));
        }
        EXPECT_EQ(static_cast<int>(f.ps.jobs.size()), jobs);
        // The serial-change flag is cleared after every successful send or initialization.
        EXPECT_EQ(f.state.serialSettingsChanged, kind == kList || result != FlowResult::Done);
        if (result == FlowResult::Failed) {
            EXPECT_EQ(std::make_tuple(f.ps.allClosed(), f.clock.waits.size(), f.view.refreshes,
                                      f.ui.progressOpen, f.ui.current, f.view.page,
                                      f.state.hostPort, f.state.settings),
                      std::make_tuple(
                          true, 0u, 0, 0, CursorId::Arrow, pageBefore, kNonSerialHostPort,
                          kind == kSend ? pageBefore
                          : kind == kInit
                              ? FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::KR500)
                              : recordBefore));
        }
    }
}

TEST(SettingCommand, SendRecordsTheLastSentPaperWidthInitializeKeepsIt) {
    Fixture f;
    f.view.page[o::PaperWidth] = 5;  // 58mm/32column, not the default
    f.view.page[o::Buzzer] = 1;
    ASSERT_EQ(RunSettingCommand(f.ctx, kSend, Owner::MainWindow), FlowResult::Done);
    EXPECT_EQ(f.state.lastSentPaperWidth, 5);
    ASSERT_EQ(RunSettingCommand(f.ctx, kInit, Owner::MainWindow), FlowResult::Done);
    SettingsRecord expected = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::KR500);
    expected[o::PaperWidth] = 5;
    EXPECT_EQ(std::tie(f.state.lastSentPaperWidth, f.state.settings, f.view.page),
              std::tie(expected[o::PaperWidth], expected, expected));
    EXPECT_EQ(f.view.collects, 1);  // only the send reads the page
}

}  // namespace
}  // namespace kestrel
