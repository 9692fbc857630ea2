#include "logo/logo_job.h"

#include <gtest/gtest.h>

#include "logo_test_bitmaps.h"
#include "ports/testing/flow_harness.h"
#include "ports/testing/recording_ui.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

using testing::Bgr;
using testing::Hex;

constexpr Bgr kBlack{0, 0, 0};
constexpr Bgr kWhite{255, 255, 255};
constexpr Bgr kRed{0, 0, 255};

// 10 x 2: the top row black, the bottom row black at even columns.
std::vector<std::uint8_t> TenByTwoMono() {
    return testing::Make24Bit(
        10, 2, [](int x, int y) { return (y == 0 || x % 2 == 0) ? kBlack : kWhite; });
}

// 10 x 2, 8 bits: top row four black, four red, two white; bottom row all red.
std::vector<std::uint8_t> TenByTwoColour() {
    return testing::MakePalette(10, 2, 8, {kBlack, kRed, kWhite}, [](int x, int y) {
        if (y == 1) {
            return 1;
        }
        return x < 4 ? 0 : (x < 8 ? 1 : 2);
    });
}

TEST(LogoDefineCommand, TenByTwoMonochromeForSlotThreeIsTheWorkedCommand) {
    testing::ScratchFolder folder;
    LogoJobBuffer buffer;
    ASSERT_EQ(ConvertLogoFile(folder.write("a.bmp", TenByTwoMono()), 2, buffer),
              BitmapReadResult::BMP_OK);
    EXPECT_EQ(buffer.data,
              Hex("1D 38 4C 0F 00 00 00 30 43 30 22 20 01 10 00 02 00 31 FF C0 AA 80"));
    EXPECT_EQ(buffer.data.size(), 22u);
}

TEST(LogoDefineCommand, TwoColourVariantCarriesSecondPlaneAfter32) {
    testing::ScratchFolder folder;
    LogoJobBuffer buffer;
    buffer.twoColor = true;
    ASSERT_EQ(ConvertLogoFile(folder.write("a.bmp", TenByTwoColour()), 2, buffer),
              BitmapReadResult::BMP_OK);
    EXPECT_EQ(buffer.data, Hex("1D 38 4C 14 00 00 00 30 43 30 22 20 02 10 00 02 00 "
                               "31 F0 00 00 00 32 0F 00 FF C0"));
}

TEST(LogoDefineCommand, LengthAndParameterCountFollowPlaneSize) {
    LogoPlanes planes;
    planes.rows = 300;
    planes.planeSize = 72 * 300;
    planes.plane1.assign(planes.planeSize, 0x5A);
    planes.plane2.emplace(planes.planeSize, 0xA5);
    LogoJobBuffer buffer;
    BuildLogoDefineCommand(planes, 4, buffer);
    const std::uint32_t k = planes.planeSize;
    ASSERT_EQ(buffer.data.size(), 17 + 2 * (k + 1));
    const std::uint32_t p = 10 + 2 * (k + 1);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.data.begin(), buffer.data.begin() + 17),
              (std::vector<std::uint8_t>{0x1D, 0x38, 0x4C, static_cast<std::uint8_t>(p),
                                         static_cast<std::uint8_t>(p >> 8),
                                         static_cast<std::uint8_t>(p >> 16), 0x00, 0x30, 0x43, 0x30,
                                         0x24, 0x20, 0x02, 0x40, 0x02, 0x2C, 0x01}));
    EXPECT_EQ(buffer.data[17], 0x31);
    EXPECT_EQ(buffer.data[17 + k], 0x5A);
    EXPECT_EQ(buffer.data[18 + k], 0x32);
    EXPECT_EQ(buffer.data.back(), 0xA5);
}

struct PrintCase {
    int slot;
    bool twoColor;
    bool cut;
    std::string expected;
};

class LogoPrintJob : public ::testing::TestWithParam<PrintCase> {};

TEST_P(LogoPrintJob, BytesInOrder) {
    const auto& c = GetParam();
    EXPECT_EQ(BuildLogoPrintJob(c.slot, c.twoColor, c.cut), Hex(c.expected));
}

// "Logo5" = 4C 6F 67 6F 35; "(Monochrome)" and "(2Color)" in ASCII.
INSTANTIATE_TEST_SUITE_P(
    Forms, LogoPrintJob,
    ::testing::Values(
        PrintCase{4, false, false,
                  "1D 65 75 43 01 1C 43 01 4C 6F 67 6F 35 28 4D 6F 6E 6F 63 68 72 6F 6D 65 29 "
                  "1C 43 00 0A 1D 28 4C 06 00 30 45 24 20 01 01 0A"},
        PrintCase{4, false, true,
                  "1D 65 75 43 01 1C 43 01 4C 6F 67 6F 35 28 4D 6F 6E 6F 63 68 72 6F 6D 65 29 "
                  "1C 43 00 0A 1D 28 4C 06 00 30 45 24 20 01 01 0A 0A 0A 0A 0A 0A 1B 6D"},
        PrintCase{0, true, false,
                  "1D 65 75 43 01 1C 43 01 4C 6F 67 6F 31 28 32 43 6F 6C 6F 72 29 1C 43 00 0A "
                  "1D 65 75 43 02 1D 28 4C 06 00 30 45 20 20 01 01 1D 65 75 43 01 0A"},
        PrintCase{2, true, true,
                  "1D 65 75 43 01 1C 43 01 4C 6F 67 6F 33 28 32 43 6F 6C 6F 72 29 1C 43 00 0A "
                  "1D 65 75 43 02 1D 28 4C 06 00 30 45 22 20 01 01 1D 65 75 43 01 "
                  "0A 0A 0A 0A 0A 0A 1B 6D"}));

TEST(LogoPrintJob, LengthsOfTheFourForms) {
    EXPECT_EQ(BuildLogoPrintJob(4, false, false).size(), 41u);
    EXPECT_EQ(BuildLogoPrintJob(4, false, true).size(), 48u);
    EXPECT_EQ(BuildLogoPrintJob(4, true, false).size(), 47u);
    EXPECT_EQ(BuildLogoPrintJob(4, true, true).size(), 54u);
}

TEST(LogoDeleteCommand, SlotOne) {
    EXPECT_EQ(BuildLogoDeleteCommand(0), Hex("1D 28 4C 04 00 30 42 20 20"));
    EXPECT_EQ(BuildLogoDeleteCommand(4), Hex("1D 28 4C 04 00 30 42 24 20"));
}

TEST(LogoJobProgress, TextsNameTheLogoNumber) {
    EXPECT_EQ(LogoJobProgressText(LogoJobKind::LogoRegister, 2),
              "Logo 3 is registered to the printer.");
    EXPECT_EQ(LogoJobProgressText(LogoJobKind::LogoPrint, 0), "Logo 1 of the printer is printed.");
    EXPECT_EQ(LogoJobProgressText(LogoJobKind::LogoDelete, 4), "Logo 5 of the printer is deleted.");
}

class LogoJobRun : public ::testing::Test, protected testing::FlowHarness {
protected:
    testing::ScratchFolder folder;
};

TEST_F(LogoJobRun, RegisterSendsTheDefineCommandThenWaits) {
    state.logoTable[2].path = folder.write("logo.bmp", TenByTwoMono()).string();
    ASSERT_TRUE(RunLogoJob(ctx, LogoJobKind::LogoRegister, 2, false, false));
    ASSERT_EQ(ps.jobs.size(), 1u);
    EXPECT_EQ(ps.jobs[0].bytes,
              Hex("1D 38 4C 0F 00 00 00 30 43 30 22 20 01 10 00 02 00 31 FF C0 AA 80"));
    EXPECT_EQ(ps.jobs[0].documentName, "My Document");
    EXPECT_EQ(clock.waits, (std::vector<long long>{1000, 200}));
    EXPECT_EQ(ui.progressTexts, std::vector<std::string>{"Logo 3 is registered to the printer."});
    EXPECT_EQ(ui.cursors, (std::vector<CursorId>{CursorId::Wait, CursorId::Arrow}));
    EXPECT_EQ(ui.progressOpen, 0);
    EXPECT_TRUE(ps.allClosed());
}

TEST_F(LogoJobRun, RegisterUsesTheSlotsTwoColourChoice) {
    state.logoTable[2].path = folder.write("logo.bmp", TenByTwoColour()).string();
    state.logoTable[2].twoColor = true;
    // The job's own two-colour argument is for print jobs only.
    ASSERT_TRUE(RunLogoJob(ctx, LogoJobKind::LogoRegister, 2, false, false));
    ASSERT_EQ(ps.jobs.size(), 1u);
    EXPECT_EQ(ps.jobs[0].bytes.size(), 27u);
    EXPECT_EQ(ps.jobs[0].bytes[12], 0x02);
}

struct RegisterFailure {
    std::string name;
    std::optional<std::vector<std::uint8_t>> file;  // none: no file at the path
    JobError expected;
};

class LogoRegisterFailure : public LogoJobRun,
                            public ::testing::WithParamInterface<RegisterFailure> {};

TEST_P(LogoRegisterFailure, SetsTheBitmapCodeAndNeverOpensTheQueue) {
    const auto& c = GetParam();
    const auto path = folder.path() / "logo.bmp";
    if (c.file) {
        folder.write("logo.bmp", *c.file);
    }
    state.logoTable[0].path = path.string();
    state.logoTable[0].twoColor = true;
    EXPECT_FALSE(RunLogoJob(ctx, LogoJobKind::LogoRegister, 0, false, false));
    EXPECT_EQ(state.lastJobError, c.expected);
    EXPECT_EQ(ps.openCount, 0);
    EXPECT_TRUE(clock.waits.empty());
    EXPECT_EQ(ui.progressOpen, 0);
    EXPECT_EQ(ui.current, CursorId::Arrow);
    EXPECT_TRUE(ui.progressTexts.empty());
}

std::vector<std::uint8_t> WithSizeField(std::uint32_t size) {
    testing::BmpFields f;
    f.pixelData.assign(4, 0);
    f.fileSizeField = size;
    return testing::MakeBmp(f);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, LogoRegisterFailure,
    ::testing::Values(
        RegisterFailure{"missing", std::nullopt, JobError::BitmapNotFound},
        RegisterFailure{"notBm", std::vector<std::uint8_t>(64, 'P'), JobError::BitmapBadFormat},
        // 24 bits cannot be made in two colours.
        RegisterFailure{"twoColour24", testing::Make24Bit(4, 4, [](int, int) { return Bgr{}; }),
                        JobError::BitmapBadFormat},
        RegisterFailure{"sizeFieldBelowHeader", WithSizeField(13), JobError::BitmapUnreadable}),
    [](const auto& info) { return info.param.name; });

struct SendFailure {
    testing::FailStep step;
    JobError expected;
};

class LogoSendFailure : public LogoJobRun, public ::testing::WithParamInterface<SendFailure> {};

TEST_P(LogoSendFailure, LeavesTheChannelsCodeAndDoesNotWait) {
    ps.failAt = GetParam().step;
    EXPECT_FALSE(RunLogoJob(ctx, LogoJobKind::LogoDelete, 1, false, false));
    EXPECT_EQ(state.lastJobError, GetParam().expected);
    EXPECT_TRUE(clock.waits.empty());
    EXPECT_EQ(ui.progressOpen, 0);
    EXPECT_EQ(ui.current, CursorId::Arrow);
    EXPECT_TRUE(ps.allClosed());
}

INSTANTIATE_TEST_SUITE_P(
    Steps, LogoSendFailure,
    ::testing::Values(SendFailure{testing::FailStep::Open, JobError::OpenQueue},
                      SendFailure{testing::FailStep::StartDocument, JobError::StartDocument},
                      SendFailure{testing::FailStep::Write, JobError::Write},
                      SendFailure{testing::FailStep::EndDocument, JobError::EndDocument}));

TEST_F(LogoJobRun, PrintAndDeleteSendTheirBytes) {
    ASSERT_TRUE(RunLogoJob(ctx, LogoJobKind::LogoPrint, 4, false, false));
    ASSERT_TRUE(RunLogoJob(ctx, LogoJobKind::LogoDelete, 0, true, true));
    ASSERT_EQ(ps.jobs.size(), 2u);
    EXPECT_EQ(ps.jobs[0].bytes, BuildLogoPrintJob(4, false, false));
    EXPECT_EQ(ps.jobs[1].bytes, Hex("1D 28 4C 04 00 30 42 20 20"));
    EXPECT_EQ(ui.progressTexts, (std::vector<std::string>{"Logo 5 of the printer is printed.",
                                                          "Logo 1 of the printer is deleted."}));
    EXPECT_EQ(clock.waits, (std::vector<long long>{1000, 200, 1000, 200}));
}

TEST_F(LogoJobRun, UnknownKindDoesNothing) {
    EXPECT_TRUE(RunLogoJob(ctx, static_cast<LogoJobKind>(9), 0, false, false));
    EXPECT_EQ(ps.openCount, 0);
    EXPECT_TRUE(ui.events.empty());
}

}  // namespace
}  // namespace kestrel
