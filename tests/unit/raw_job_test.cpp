#include "printer/raw_job.h"

#include <gtest/gtest.h>

#include "ports/testing/fake_print_system.h"

namespace kestrel {
namespace {

using testing::FailStep;
using testing::FakePrintSystem;

const std::vector<std::uint8_t> kBytes{0x18, 0x18, 0x1D, 0x28, 0x41};

struct FailCase {
    FailStep step;
    JobError code;
    int documentsStarted;
    int writes;
};

class RawJobFailure : public ::testing::TestWithParam<FailCase> {};

TEST_P(RawJobFailure, EachStepGivesItsCodeAndClosesWhatItOpened) {
    const auto& c = GetParam();
    FakePrintSystem ps;
    ps.failAt = c.step;
    AppState state;
    state.selectedPrinter().printerName = "KR500";
    EXPECT_FALSE(SendRawJob(ps, state, kBytes));
    EXPECT_EQ(state.lastJobError, c.code);
    EXPECT_EQ(ps.documentsStarted, c.documentsStarted);
    EXPECT_EQ(ps.writeCalls, c.writes);
    EXPECT_TRUE(ps.allClosed()) << ps.openCount << "/" << ps.closeCount;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, RawJobFailure,
    ::testing::Values(FailCase{FailStep::Open, JobError::OpenQueue, 0, 0},
                      FailCase{FailStep::StartDocument, JobError::StartDocument, 0, 0},
                      FailCase{FailStep::Write, JobError::Write, 1, 1},
                      FailCase{FailStep::EndDocument, JobError::EndDocument, 1, 1}));

TEST(RawJob, ShortWriteIsReportedAsCloseFailure) {
    FakePrintSystem ps;
    ps.shortWrite = kBytes.size() - 1;
    AppState state;
    EXPECT_FALSE(SendRawJob(ps, state, kBytes));
    EXPECT_EQ(state.lastJobError, JobError::EndDocument);
    EXPECT_TRUE(ps.allClosed());
}

TEST(RawJob, SuccessWritesOnceAsMyDocumentAndKeepsAnEarlierCode) {
    FakePrintSystem ps;
    AppState state;
    state.selectedPrinter().printerName = "KR500";
    state.lastJobError = JobError::Write;
    EXPECT_TRUE(SendRawJob(ps, state, kBytes));
    EXPECT_EQ(state.lastJobError, JobError::Write);
    ASSERT_EQ(ps.jobs.size(), 1u);
    EXPECT_EQ(ps.jobs[0].queue, "KR500");
    EXPECT_EQ(ps.jobs[0].documentName, "My Document");
    EXPECT_EQ(ps.jobs[0].bytes, kBytes);
    EXPECT_TRUE(ps.jobs[0].ended);
    EXPECT_EQ(ps.writeCalls, 1);
    EXPECT_TRUE(ps.allClosed());
}

TEST(RawJob, DeletedQueueFailsAtOpenWithoutADocument) {
    FakePrintSystem ps;
    QueueInfo other;
    other.name = "Other";
    ps.queues = {other};
    AppState state;
    state.selectedPrinter().printerName = "Gone";
    EXPECT_FALSE(SendRawJob(ps, state, kBytes));
    EXPECT_EQ(state.lastJobError, JobError::OpenQueue);
    EXPECT_TRUE(ps.jobs.empty());
}

TEST(RawJob, FailureMessagesCoverTheChannelCodesOnly) {
    EXPECT_EQ(RawJobFailureMessage(JobError::StartDocument), "Printer Error!!  Check the printer.");
    EXPECT_EQ(RawJobFailureMessage(JobError::OpenQueue),
              "The printer cannot be opened.\nThe output device might be used by other "
              "applications.");
    EXPECT_EQ(RawJobFailureMessage(JobError::Write),
              "Transmission failure of setting value.\nPlease restart of a printer and send "
              "again.");
    EXPECT_EQ(RawJobFailureMessage(JobError::EndDocument),
              "The printer cannot be closed.\nPlease reboot the computer.");
    EXPECT_FALSE(RawJobFailureMessage(JobError::None));
    EXPECT_FALSE(RawJobFailureMessage(JobError::BitmapNotFound));
}

}  // namespace
}  // namespace kestrel
