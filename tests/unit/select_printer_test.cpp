// Choosing the printer: what the selection says about each queue, the dialog's loop until a usable
// queue is chosen, and the serial line's follow-up after a send.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "commands/select_printer.h"
#include "commands/serial_follow_up.h"
#include "ports/testing/flow_harness.h"
#include "ports/testing/recording_host_port.h"
#include "ports/testing/recording_ui.h"
#include "printer/selection_outcome.h"
#include "settings/profile_state.h"
#include "test_helpers.h"

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
    const std::tuple<CS, std::uint32_t, std::uint32_t, bool, std::string, BoxIcon> cases[] = {
        // an empty text: accepted
        {CS::Parallel, 0, kKr, false, "", BoxIcon::None},
        {CS::Parallel, 1, kKr, false, kJobs, BoxIcon::PrinterWarning},
        {CS::Serial, 5, kKr, false, "", BoxIcon::None},
        {CS::Network, 0, kKr, false, kNetwork, BoxIcon::Stop},
        {CS::File, 0, kKr, false, kFile, BoxIcon::PrinterInfo},
        {CS::Paused, 0, kKr, false, kPaused, BoxIcon::PrinterInfo},
        {CS::Offline, 0, kKr, false, kOffline, BoxIcon::PrinterInfo},
        {CS::SeparatorPage, 0, kKr, false, kSeparator, BoxIcon::PrinterInfo},
        {CS::NotCorresponded, 0, kKr, false, kPort, BoxIcon::Stop},
        {CS::Parallel, 0, mechanism::Unsupported, false, kOther, BoxIcon::PrinterError},
        // Debug mode skips the port checks of another driver only.
        {CS::Network, 3, mechanism::Unsupported, true, "", BoxIcon::None},
        {CS::Paused, 0, kKr, true, kPaused, BoxIcon::PrinterInfo},
    };
    for (const auto& [status, jobs, mechanismId, debug, text, icon] : cases) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(status) << " " << text);
        PrinterEntry e;
        e.connectionStatus = status;
        e.jobCount = jobs;
        e.mechanismId = mechanismId;
        const SelectionOutcome o = JudgeSelectedPrinter(e, debug);
        const bool stop = icon == BoxIcon::Stop;
        EXPECT_EQ(std::make_tuple(o.accepted, std::string(o.text), o.systemModalStop),
                  std::make_tuple(text.empty(), text, stop));
        if (!o.accepted) {
            const MessageBox box = SelectionMessageBox(o);
            EXPECT_EQ(std::make_tuple(o.icon, box.icon, box.systemModal, box.owner, box.style,
                                      box.caption, box.buttons),
                      std::make_tuple(icon, icon, stop, stop ? Owner::None : Owner::MainWindow,
                                      stop ? 0u : kUserIconStyle, "KESTREL", Buttons::Ok));
        }
    }
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

using namespace testing;

// The row of the printer table that shows the named queue.
std::size_t RowOf(const AppState& state, const std::string& queue) {
    return static_cast<std::size_t>(
        std::ranges::find(state.printerTable, queue, &PrinterEntry::printerName) -
        state.printerTable.begin());
}

// A dialog that fills its list and picks the scripted row by queue name each time it runs
// ("" = OK with no row focused; nullopt = Cancel), confirming until the choice is accepted.
struct ScriptedDialog final : PrinterSelectionDialog {
    ScriptedDialog(CommandContext& ctx, HostPortStore& store) : ctx(ctx), store(store) {}
    CommandContext& ctx;
    HostPortStore& store;
    std::deque<std::optional<std::string>> picks;

    SelectionDialogResult run() override {
        if (!FillPrinterTable(ctx.state, ctx.printSystem, SortDirection::Rising)) {
            return SelectionDialogResult::NoSupportedDriver;
        }
        while (!picks.empty() && picks.front()) {
            const std::string pick = *picks.front();
            picks.pop_front();
            const auto row = pick.empty() ? std::nullopt : std::optional(RowOf(ctx.state, pick));
            if (ConfirmSelection(ctx.state, ctx.printSystem, store, ctx.ui, row)) {
                return SelectionDialogResult::Ok;
            }
        }
        return SelectionDialogResult::Cancel;
    }
};

const QueueInfo kLaser{"Laser", "Generic PostScript Printer", "usb://HP/Laser", PortKind::Usb};

struct Fixture : FlowHarness {
    RecordingHostPortStore store;
    RecordingSerialLine line;
    ScriptedDialog dialog{ctx, store};
    // Its own folder: a kestrel.ini left in the shared temporary folder would change the record.
    testing::ScratchFolder folder;

    Fixture() {
        state.startupFolder = folder.path().string();
        ps.queues = {
            {"KR500", "ZOT KR-500 Raster", "usb://ZOT/KR-500", PortKind::Usb},
            {"KR900", "ZOT KR-900 Raster", "serial:/dev/ttyS0?baud=9600", PortKind::Serial},
            {"ToFile", "ZOT KR-700 Raster", "file:///tmp/x", PortKind::File},
            {"Lpt", "ZOT KR-700 Raster", "parallel:/dev/lp0", PortKind::Parallel, 0, 0, 0, 2},
            kLaser,
        };
    }
};

TEST(SelectPrinter, RefusesUntilAUsableQueueIsChosen) {
    const std::tuple<std::vector<std::optional<std::string>>, bool, std::string,
                     std::vector<std::string>, std::vector<QueueInfo>>
        cases[] = {
            // no queue selected: start-up ends; no queues: the fixture's
            {{std::nullopt}, false, "", {}, {}},
            {{"ToFile", "Lpt", "KR900"}, false, "KR900", {kFile, kJobs}, {}},
            // In service mode OK without a row takes the second entry.
            {{""}, true, "KR900", {}, {}},
            {{"", "KR500"}, false, "KR500", {std::string(kNotSelectedText)}, {}},
            {{""}, true, "Only", {}, {{"Only", "ZOT KR-500 Raster", "usb://x", PortKind::Usb}}},
            {{"Laser"}, false, "", {std::string(kNoDriverText)}, {kLaser}},
        };
    for (const auto& [picks, debug, selected, messages, queues] : cases) {
        Fixture f;
        f.state.profile.debug = debug;
        if (!queues.empty()) {
            f.ps.queues = queues;
        }
        f.dialog.picks.assign(picks.begin(), picks.end());
        EXPECT_EQ(SelectPrinter(f.ctx, f.dialog), !selected.empty()) << selected;
        EXPECT_EQ(f.ui.boxTexts(), messages) << selected;
        if (!selected.empty()) {
            EXPECT_EQ(f.state.selectedPrinter().printerName, selected);
            EXPECT_EQ(f.view.refreshes, 1);  // the working configuration was read and shown
        }
    }
}

TEST(SerialFollowUp, LineFollowsOnlyASerialJobThatHasLeftTheQueue) {
    using R = kestrel::SerialFollowUp;
    const std::tuple<std::string, bool, std::optional<std::string>, R> cases[] = {
        // stored: the queue's value before the follow-up
        {"KR900", true, "9600,n,8,1,p", R::Followed},
        {"KR900", false, "9600,n,8,1,p", R::JobStillWaiting},
        {"KR900", false, "19200,n,8,1,p", R::Unchanged},
        {"KR900", true, "9600,n,8,1,p", R::NotStored},  // the store refuses the new value
        {"KR500", true, std::nullopt, R::NotSerial},
    };
    for (const auto& [queue, jobLeaves, stored, result] : cases) {
        SCOPED_TRACE(queue + " " + stored.value_or("-"));
        Fixture f;
        f.ps.jobsLeave = jobLeaves;
        FillPrinterTable(f.state, f.ps, SortDirection::Rising);
        f.state.selectedIndex = RowOf(f.state, queue);
        if (stored) {
            f.store.values[queue] = *stored;
        }
        f.store.failWrites = result == R::NotStored;
        f.state.hostPort = {3, 1, 0, 0, 2};
        f.state.lastJobId = 42;
        EXPECT_EQ(FollowSerialPrinter(f.ctx, Owner::MainWindow, f.store, f.line), result);
        const bool written = result == R::Followed || result == R::NotStored;
        EXPECT_EQ(f.store.writes, (written ? decltype(f.store.writes){{queue, "19200,n,8,1,p"}}
                                           : decltype(f.store.writes){}));
        const bool waited = result != R::Unchanged && result != R::NotSerial;
        EXPECT_EQ(f.ps.waitedForJobs, waited ? std::vector<int>{42} : std::vector<int>{});
        const std::string_view box = result == R::JobStillWaiting ? kSerialJobStillWaitingText
                                     : result == R::NotStored     ? kSerialLineNotStoredText
                                                                  : "";
        EXPECT_EQ(f.ui.boxTexts(),
                  box.empty() ? std::vector<std::string>{} : std::vector{std::string(box)});
        EXPECT_EQ(f.ui.current, CursorId::Arrow);
    }
}

}  // namespace
}  // namespace kestrel
