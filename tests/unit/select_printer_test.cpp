#include "commands/select_printer.h"

#include <gtest/gtest.h>

#include <deque>

#include "commands/send_flow.h"
#include "commands/serial_follow_up.h"
#include "ports/testing/flow_harness.h"
#include "ports/testing/recording_host_port.h"
#include "ports/testing/recording_ui.h"
#include "printer/selection_outcome.h"
#include "storage/working_config.h"

namespace kestrel {
namespace {

using namespace testing;

QueueInfo Queue(std::string name, std::string driver, std::string port, PortKind kind) {
    QueueInfo q;
    q.name = std::move(name);
    q.driverName = std::move(driver);
    q.port = std::move(port);
    q.portKind = kind;
    return q;
}

// The row of the printer table that shows the named queue.
std::size_t RowOf(const AppState& state, const std::string& queue) {
    std::size_t row = 0;
    while (row + 1 < state.printerTable.size() && state.printerTable[row].printerName != queue) {
        ++row;
    }
    return row;
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
        while (!picks.empty()) {
            const auto pick = picks.front();
            picks.pop_front();
            if (!pick) {
                return SelectionDialogResult::Cancel;
            }
            std::optional<std::size_t> row;
            if (!pick->empty()) {
                row = RowOf(ctx.state, *pick);
            }
            if (ConfirmSelection(ctx.state, ctx.printSystem, store, ctx.ui, row)) {
                return SelectionDialogResult::Ok;
            }
        }
        return SelectionDialogResult::Cancel;
    }
};

struct Fixture : FlowHarness {
    RecordingHostPortStore store;
    RecordingSerialLine line;
    ScriptedDialog dialog{ctx, store};

    Fixture() {
        state.startupFolder = ::testing::TempDir();
        ps.queues = {
            Queue("KR500", "ZOT KR-500 Raster", "usb://ZOT/KR-500", PortKind::Usb),
            Queue("KR900", "ZOT KR-900 Raster", "serial:/dev/ttyS0?baud=9600", PortKind::Serial),
            Queue("ToFile", "ZOT KR-700 Raster", "file:///tmp/x", PortKind::File),
            Queue("Lpt", "ZOT KR-700 Raster", "parallel:/dev/lp0", PortKind::Parallel),
            Queue("Laser", "Generic PostScript Printer", "usb://HP/Laser", PortKind::Usb),
        };
        ps.queues[3].jobCount = 2;
    }
};

TEST(SelectPrinter, RefusesUntilAUsableQueueIsChosen) {
    const std::string file =
        "Printer port is FILE:.\n\nChange connection port after clicking OK button.";
    const std::string jobs =
        "The print job remains in spooler.\n\nComplete the print after clicking OK button \nand "
        "select again.";
    const struct {
        std::vector<std::optional<std::string>> picks;
        bool debug;
        std::string selected;  // empty: start-up ends
        std::vector<std::string> messages;
        std::vector<QueueInfo> queues;  // empty: the fixture's
    } cases[] = {
        {{"KR500"}, false, "KR500", {}, {}},
        {{std::nullopt}, false, "", {}, {}},
        {{"ToFile", "Lpt", "KR900"}, false, "KR900", {file, jobs}, {}},
        {{"Laser", std::nullopt}, false, "", {std::string(kDifferentPrinterText)}, {}},
        // Service mode accepts any driver, and OK without a row takes the second entry.
        {{"Laser"}, true, "Laser", {}, {}},
        {{""}, true, "KR900", {}, {}},
        {{"", "KR500"}, false, "KR500", {std::string(kNotSelectedText)}, {}},
        {{""}, true, "Only", {}, {Queue("Only", "ZOT KR-500 Raster", "usb://x", PortKind::Usb)}},
        {{"Laser"},
         false,
         "",
         {std::string(kNoDriverText)},
         {Queue("Laser", "Generic PostScript Printer", "usb://HP/Laser", PortKind::Usb)}},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.state.profile.debug = c.debug;
        if (!c.queues.empty()) {
            f.ps.queues = c.queues;
        }
        f.dialog.picks.assign(c.picks.begin(), c.picks.end());
        EXPECT_EQ(SelectPrinter(f.ctx, f.dialog), !c.selected.empty()) << c.selected;
        EXPECT_EQ(f.ui.boxTexts(), c.messages) << c.selected;
        if (!c.selected.empty()) {
            EXPECT_EQ(f.state.selectedPrinter().printerName, c.selected);
            EXPECT_EQ(f.view.refreshes, 1);  // the working configuration was read and shown
        }
    }
}

// The line follows only a serial job that has left the queue, and only when its value changes.
TEST(SerialFollowUp, LineFollowsOnlyASerialJobThatHasLeftTheQueue) {
    using R = kestrel::SerialFollowUp;
    const struct {
        std::string queue;
        bool jobLeaves;
        std::optional<std::string> stored;  // the queue's value before the follow-up
        bool storeRefuses;
        R result;
        std::string message;
    } cases[] = {
        {"KR900", true, "9600,n,8,1,p", false, R::Followed, ""},
        {"KR900", false, "9600,n,8,1,p", false, R::JobStillWaiting,
         std::string(kSerialJobStillWaitingText)},
        {"KR900", false, "19200,n,8,1,p", false, R::Unchanged, ""},
        {"KR900", true, "9600,n,8,1,p", true, R::NotStored, std::string(kSerialLineNotStoredText)},
        {"KR500", true, std::nullopt, false, R::NotSerial, ""},
        {"Lpt", false, std::nullopt, false, R::NotSerial, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.queue + " " + c.stored.value_or("-"));
        Fixture f;
        f.ps.jobsLeave = c.jobLeaves;
        FillPrinterTable(f.state, f.ps, SortDirection::Rising);
        f.state.selectedIndex = RowOf(f.state, c.queue);
        if (c.stored) {
            f.store.values[c.queue] = *c.stored;
        }
        f.store.failWrites = c.storeRefuses;
        f.state.hostPort = {3, 1, 0, 0, 2};
        f.state.lastJobId = 42;
        EXPECT_EQ(FollowSerialPrinter(f.ctx, Owner::MainWindow, f.store, f.line), c.result);
        const bool written = c.result == R::Followed || c.result == R::NotStored;
        EXPECT_EQ(f.store.writes, (written ? decltype(f.store.writes){{c.queue, "19200,n,8,1,p"}}
                                           : decltype(f.store.writes){}));
        const bool waited = c.result != R::Unchanged && c.result != R::NotSerial;
        EXPECT_EQ(f.ps.waitedForJobs, waited ? std::vector<int>{42} : std::vector<int>{});
        EXPECT_EQ(f.ui.boxTexts(),
                  c.message.empty() ? std::vector<std::string>{} : std::vector{c.message});
        EXPECT_EQ(f.ui.current, CursorId::Arrow);
    }
}

// A line stored as seven bits without parity is none of the printer's formats; the send of an
// 8NONE1 record must still bring the PC's line to eight bits without parity.
TEST(SerialFollowUpSeven, SevenBitsWithoutParityFollowTheRecord) {
    Fixture f;
    f.store.values["KR900"] = "9600,n,7,1,p";
    FillPrinterTable(f.state, f.ps, SortDirection::Rising);
    ASSERT_TRUE(ConfirmSelection(f.state, f.ps, f.store, f.ui, RowOf(f.state, "KR900")));
    ReadWorkingConfig(f.state, f.ui, f.view);
    f.state.settings[offset::Format] = 2;  // 8NONE1
    f.ctx.afterSettingsSent = [&](CommandContext& c, Owner o) {
        FollowSerialPrinter(c, o, f.store, f.line);
    };
    f.ui.answers = {Answer::Ok};
    ASSERT_EQ(RunSettingCommand(f.ctx, SettingJobKind::SendSettings, Owner::MainWindow),
              FlowResult::Done);
    ASSERT_FALSE(f.store.writes.empty());
    EXPECT_EQ(f.store.writes.back().second, "9600,n,8,1,p");
}

}  // namespace
}  // namespace kestrel
