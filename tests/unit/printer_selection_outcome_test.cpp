#include <gtest/gtest.h>

#include "printer/selection_outcome.h"
#include "settings/profile_state.h"

namespace kestrel {
namespace {

using CS = ConnectionStatus;
constexpr std::uint32_t kKr = mechanism::FullCut;

const std::string kJobs =
    "The print job remains in spooler.\n\nComplete the print after clicking OK button \nand "
    "select again.";
const std::string kNetwork = "The network printer cannot be selected.";
const std::string kFile =
    "Printer port is FILE:.\n\nChange connection port after clicking OK button.";
const std::string kPaused =
    "Pause Printing is set.\n\nRemove the check on Pause Printing after clicking OK button.";
const std::string kOffline =
    "Printer is OFFLINE.\n\nRemove the check on Use Printer Offline after clicking OK button.";
const std::string kSeparator =
    "Separator Page is set.\n\nRemove the check on Separator Page after clicking OK button.";
const std::string kPort =
    "Connection port is not corresponded.\n\nChange conection port after clicking OK button "
    "or\nselect the printer connected to the corresponding port.";
const std::string kOther =
    "A different printer is selected.\n\nPlease select the KR-900, KR-700 or KR-500 printer.";

TEST(SelectionOutcome, StatusGivesOutcome) {
    const struct {
        const char* label;
        CS status;
        std::uint32_t jobs, mechanismId;
        bool debug;
        std::string text;  // empty: accepted
        BoxIcon icon;
        bool systemModal;
    } cases[] = {
        {"parallel idle", CS::Parallel, 0, kKr, false, "", BoxIcon::None, false},
        {"parallel with job", CS::Parallel, 1, kKr, false, kJobs, BoxIcon::PrinterWarning, false},
        {"serial with jobs", CS::Serial, 5, kKr, false, "", BoxIcon::None, false},
        {"usb with jobs", CS::Usb, 2, kKr, false, "", BoxIcon::None, false},
        {"router", CS::PortRouter, 0, kKr, false, "", BoxIcon::None, false},
        {"network", CS::Network, 0, kKr, false, kNetwork, BoxIcon::Stop, true},
        {"file", CS::File, 0, kKr, false, kFile, BoxIcon::PrinterInfo, false},
        {"paused", CS::Paused, 0, kKr, false, kPaused, BoxIcon::PrinterInfo, false},
        {"offline", CS::Offline, 0, kKr, false, kOffline, BoxIcon::PrinterInfo, false},
        {"separator", CS::SeparatorPage, 0, kKr, false, kSeparator, BoxIcon::PrinterInfo, false},
        {"not corresponded", CS::NotCorresponded, 0, kKr, false, kPort, BoxIcon::Stop, true},
        {"a status no rule gives", static_cast<CS>(5), 0, kKr, false, kPort, BoxIcon::Stop, true},
        {"other driver", CS::Parallel, 0, mechanism::Unsupported, false, kOther,
         BoxIcon::PrinterError, false},
        {"debug mode skips port checks of another driver", CS::Network, 3, mechanism::Unsupported,
         true, "", BoxIcon::None, false},
        {"debug mode still checks a supported driver", CS::Paused, 0, kKr, true, kPaused,
         BoxIcon::PrinterInfo, false},
    };
    for (const auto& c : cases) {
        PrinterEntry e;
        e.connectionStatus = c.status;
        e.jobCount = c.jobs;
        e.mechanismId = c.mechanismId;
        const SelectionOutcome o = JudgeSelectedPrinter(e, c.debug);
        EXPECT_EQ(o.accepted, c.text.empty()) << c.label;
        EXPECT_EQ(o.text, c.text) << c.label;
        EXPECT_EQ(o.systemModalStop, c.systemModal) << c.label;
        if (!o.accepted) {
            EXPECT_EQ(o.icon, c.icon) << c.label;
            const MessageBox box = SelectionMessageBox(o);
            EXPECT_EQ(box.systemModal, c.systemModal) << c.label;
            EXPECT_EQ(box.owner, c.systemModal ? Owner::None : Owner::MainWindow) << c.label;
            EXPECT_EQ(box.icon, c.icon) << c.label;
            EXPECT_EQ(box.caption, "KESTREL") << c.label;
            EXPECT_EQ(box.buttons, Buttons::Ok) << c.label;
        }
    }
    PrinterEntry file;
    file.connectionStatus = CS::File;
    file.mechanismId = kKr;
    EXPECT_EQ(SelectionMessageBox(JudgeSelectedPrinter(file, false)).style, kUserIconStyle);
}

TEST(SelectionMessageBox, FixedBoxes) {
    EXPECT_EQ(NotSelectedMessageBox().text,
              "The printer has not been selected.\n\nPlease select the KR-900, KR-700 or KR-500 "
              "printer.");
    EXPECT_EQ(NotSelectedMessageBox().icon, BoxIcon::PrinterWarning);
    EXPECT_EQ(NoDriverMessageBox().text,
              "The KR-900, KR-700 or KR-500 printer driver was not found.\nPlease install the "
              "KR-900,KR-700 or KR-500 printer driver.\n\nProcessing is discontinued.");
    EXPECT_EQ(NoDriverMessageBox().icon, BoxIcon::PrinterError);
}

}  // namespace
}  // namespace kestrel
