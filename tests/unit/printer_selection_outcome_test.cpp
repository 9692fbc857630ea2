#include <gtest/gtest.h>

#include "printer/selection_outcome.h"
#include "settings/profile_state.h"

namespace kestrel {
namespace {

struct OutcomeCase {
    const char* label;
    ConnectionStatus status;
    std::uint32_t jobs;
    std::uint32_t mechanismId;
    bool debug;
    bool accepted;
    std::string_view text;
    BoxIcon icon;
    bool systemModal;
};

using CS = ConnectionStatus;
constexpr std::uint32_t kKr = mechanism::FullCut;
constexpr std::uint32_t kOther = mechanism::Unsupported;

class OutcomeTest : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(OutcomeTest, StatusGivesOutcome) {
    const auto& c = GetParam();
    PrinterEntry e;
    e.connectionStatus = c.status;
    e.jobCount = c.jobs;
    e.mechanismId = c.mechanismId;
    const SelectionOutcome o = JudgeSelectedPrinter(e, c.debug);
    EXPECT_EQ(o.accepted, c.accepted) << c.label;
    EXPECT_EQ(o.text, c.text) << c.label;
    if (!c.accepted) {
        EXPECT_EQ(o.icon, c.icon) << c.label;
        EXPECT_EQ(o.systemModalStop, c.systemModal) << c.label;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, OutcomeTest,
    ::testing::Values(
        OutcomeCase{"parallel idle", CS::Parallel, 0, kKr, false, true, "", BoxIcon::None, false},
        OutcomeCase{"parallel with job", CS::Parallel, 1, kKr, false, false,
                    "The print job remains in spooler.\n\nComplete the print after clicking OK "
                    "button \nand select again.",
                    BoxIcon::PrinterWarning, false},
        OutcomeCase{"serial with jobs", CS::Serial, 5, kKr, false, true, "", BoxIcon::None, false},
        OutcomeCase{"usb with jobs", CS::Usb, 2, kKr, false, true, "", BoxIcon::None, false},
        OutcomeCase{"router", CS::PortRouter, 0, kKr, false, true, "", BoxIcon::None, false},
        OutcomeCase{"network", CS::Network, 0, kKr, false, false,
                    "The network printer cannot be selected.", BoxIcon::Stop, true},
        OutcomeCase{"file", CS::File, 0, kKr, false, false,
                    "Printer port is FILE:.\n\nChange connection port after clicking OK button.",
                    BoxIcon::PrinterInfo, false},
        OutcomeCase{"paused", CS::Paused, 0, kKr, false, false,
                    "Pause Printing is set.\n\nRemove the check on Pause Printing after clicking "
                    "OK button.",
                    BoxIcon::PrinterInfo, false},
        OutcomeCase{"offline", CS::Offline, 0, kKr, false, false,
                    "Printer is OFFLINE.\n\nRemove the check on Use Printer Offline after "
                    "clicking OK button.",
                    BoxIcon::PrinterInfo, false},
        OutcomeCase{"separator", CS::SeparatorPage, 0, kKr, false, false,
                    "Separator Page is set.\n\nRemove the check on Separator Page after clicking "
                    "OK button.",
                    BoxIcon::PrinterInfo, false},
        OutcomeCase{"not corresponded", CS::NotCorresponded, 0, kKr, false, false,
                    "Connection port is not corresponded.\n\nChange conection port after "
                    "clicking OK button or\nselect the printer connected to the corresponding "
                    "port.",
                    BoxIcon::Stop, true},
        OutcomeCase{"a status no rule gives is not usable", static_cast<CS>(5), 0, kKr, false,
                    false,
                    "Connection port is not corresponded.\n\nChange conection port after "
                    "clicking OK button or\nselect the printer connected to the corresponding "
                    "port.",
                    BoxIcon::Stop, true},
        OutcomeCase{"other driver", CS::Parallel, 0, kOther, false, false,
                    "A different printer is selected.\n\nPlease select the KR-900, KR-700 or "
                    "KR-500 printer.",
                    BoxIcon::PrinterError, false},
        OutcomeCase{"other driver in debug mode skips port checks", CS::Network, 3, kOther, true,
                    true, "", BoxIcon::None, false},
        OutcomeCase{"debug mode still checks a supported driver", CS::Paused, 0, kKr, true, false,
                    "Pause Printing is set.\n\nRemove the check on Pause Printing after clicking "
                    "OK button.",
                    BoxIcon::PrinterInfo, false}));

TEST(SelectionMessageBox, StopBoxesAreSystemModalWithoutOwner) {
    PrinterEntry e;
    e.mechanismId = kKr;
    e.connectionStatus = CS::Network;
    const MessageBox stop = SelectionMessageBox(JudgeSelectedPrinter(e, false));
    EXPECT_TRUE(stop.systemModal);
    EXPECT_EQ(stop.owner, Owner::None);
    EXPECT_EQ(stop.icon, BoxIcon::Stop);
    EXPECT_EQ(stop.caption, "KESTREL");
    EXPECT_EQ(stop.buttons, Buttons::Ok);

    e.connectionStatus = CS::File;
    const MessageBox info = SelectionMessageBox(JudgeSelectedPrinter(e, false));
    EXPECT_FALSE(info.systemModal);
    EXPECT_EQ(info.owner, Owner::MainWindow);
    EXPECT_EQ(info.icon, BoxIcon::PrinterInfo);
    EXPECT_EQ(info.style, kUserIconStyle);
}

TEST(SelectionMessageBox, FixedBoxes) {
    const MessageBox none = NotSelectedMessageBox();
    EXPECT_EQ(none.text,
              "The printer has not been selected.\n\nPlease select the KR-900, KR-700 or KR-500 "
              "printer.");
    EXPECT_EQ(none.icon, BoxIcon::PrinterWarning);
    const MessageBox driver = NoDriverMessageBox();
    EXPECT_EQ(driver.text,
              "The KR-900, KR-700 or KR-500 printer driver was not found.\nPlease install the "
              "KR-900,KR-700 or KR-500 printer driver.\n\nProcessing is discontinued.");
    EXPECT_EQ(driver.icon, BoxIcon::PrinterError);
}

}  // namespace
}  // namespace kestrel
