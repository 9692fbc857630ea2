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

// A dialog that fills its list and picks the scripted row by queue name each time it runs
// ("" = OK with no row focused; nullopt = Cancel), confirming until the choice is accepted.
class ScriptedDialog final : public PrinterSelectionDialog {
public:
    ScriptedDialog(AppState& state, PrintSystem& ps, HostPortStore& store, UserInterface& ui)
        : m_state(state), m_ps(ps), m_store(store), m_ui(ui) {}
    std::deque<std::optional<std::string>> picks;
    int runs = 0;

    SelectionDialogResult run() override {
        ++runs;
        if (!FillPrinterTable(m_state, m_ps, SortDirection::Rising)) {
            return SelectionDialogResult::NoSupportedDriver;
        }
        while (!picks.empty()) {
            const auto pick = picks.front();
            picks.pop_front();
            if (!pick) {
                return SelectionDialogResult::Cancel;
            }
            std::optional<std::size_t> row;
            for (std::size_t i = 0; i < m_state.printerTable.size(); ++i) {
                if (!pick->empty() && m_state.printerTable[i].printerName == *pick) {
                    row = i;
                }
            }
            if (ConfirmSelection(m_state, m_ps, m_store, m_ui, row)) {
                return SelectionDialogResult::Ok;
            }
        }
        return SelectionDialogResult::Cancel;
    }

private:
    AppState& m_state;
    PrintSystem& m_ps;
    HostPortStore& m_store;
    UserInterface& m_ui;
};

// The row of the printer table that shows the named queue.
std::size_t RowOf(const AppState& state, const std::string& queue) {
    std::size_t row = 0;
    while (row + 1 < state.printerTable.size() && state.printerTable[row].printerName != queue) {
        ++row;
    }
    return row;
}

struct Fixture : FlowHarness {
    RecordingHostPortStore store;
    RecordingSerialLine line;
    ScriptedDialog dialog{state, ps, store, ui};

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

struct LoopCase {
    std::vector<std::optional<std::string>> picks;
    bool debug;
    bool selected;
    std::string selectedName;
    std::vector<std::string> messages;
};

class SelectPrinterLoop : public ::testing::TestWithParam<LoopCase> {};

TEST_P(SelectPrinterLoop, RefusesUntilAUsableQueueIsChosen) {
    const auto& c = GetParam();
    Fixture f;
    f.state.profile.debug = c.debug;
    f.dialog.picks.assign(c.picks.begin(), c.picks.end());
    EXPECT_EQ(SelectPrinter(f.ctx, f.dialog), c.selected);
    EXPECT_EQ(f.ui.boxTexts(), c.messages);
    if (c.selected) {
        EXPECT_EQ(f.state.selectedPrinter().printerName, c.selectedName);
        EXPECT_EQ(f.view.refreshes, 1);  // the working configuration was read and shown
    }
}

const std::string kFile(
    "Printer port is FILE:.\n\nChange connection port after clicking OK button.");
const std::string kJobs(
    "The print job remains in spooler.\n\nComplete the print after clicking OK button \nand "
    "select again.");

INSTANTIATE_TEST_SUITE_P(
    Choices, SelectPrinterLoop,
    ::testing::Values(
        LoopCase{{"KR500"}, false, true, "KR500", {}},
        LoopCase{{std::nullopt}, false, false, "", {}},
        LoopCase{{"ToFile", "Lpt", "KR900"}, false, true, "KR900", {kFile, kJobs}},
        LoopCase{{"Laser", std::nullopt}, false, false, "", {std::string(kDifferentPrinterText)}},
        // Service mode accepts any driver, and OK without a row takes the second entry.
        LoopCase{{"Laser"}, true, true, "Laser", {}}, LoopCase{{""}, true, true, "KR900", {}},
        LoopCase{{"", "KR500"}, false, true, "KR500", {std::string(kNotSelectedText)}}));

TEST(SelectPrinter, NoSupportedDriverEndsStartUpWithItsMessage) {
    Fixture f;
    f.ps.queues = {Queue("Laser", "Generic PostScript Printer", "usb://HP/Laser", PortKind::Usb)};
    EXPECT_FALSE(SelectPrinter(f.ctx, f.dialog));
    EXPECT_EQ(f.ui.boxTexts(), std::vector<std::string>{std::string(kNoDriverText)});
}

TEST(SelectPrinter, DebugOkWithoutRowOnAOneEntryTableTakesThatEntry) {
    Fixture f;
    f.state.profile.debug = true;
    f.ps.queues = {Queue("Only", "ZOT KR-500 Raster", "usb://ZOT/KR-500", PortKind::Usb)};
    f.dialog.picks = {""};
    EXPECT_TRUE(SelectPrinter(f.ctx, f.dialog));
    EXPECT_EQ(f.state.selectedIndex, 0u);
    EXPECT_EQ(f.state.selectedPrinter().printerName, "Only");
}

TEST(ConfirmSelection, HostPortComesFromTheSerialValueOrTheNonSerialDefaults) {
    struct Case {
        std::string queue;
        std::optional<std::string> stored;
        HostPortSettings expected;
    };
    const Case cases[] = {
        {"KR900", "9600,e,7,1,x", {2, 0, 1, 1, 0}},
        {"KR500", "9600,e,7,1,x", kNonSerialHostPort},
    };
    for (const auto& c : cases) {
        Fixture f;
        if (c.stored) {
            f.store.values[c.queue] = *c.stored;
        }
        FillPrinterTable(f.state, f.ps, SortDirection::Rising);
        ASSERT_TRUE(ConfirmSelection(f.state, f.ps, f.store, f.ui, RowOf(f.state, c.queue)));
        EXPECT_EQ(f.state.hostPort, c.expected) << c.queue << " " << c.stored.value_or("-");
    }
}

struct FollowCase {
    std::string queue;
    bool jobLeaves;
    std::optional<std::string> stored;  // the queue's value before the follow-up
    bool storeRefuses;
    kestrel::SerialFollowUp result;
    std::size_t storeWrites;
    std::vector<std::string> messages;
};

class SerialFollowUpTest : public ::testing::TestWithParam<FollowCase> {};

TEST_P(SerialFollowUpTest, LineFollowsOnlyASerialJobThatHasLeftTheQueue) {
    const auto& c = GetParam();
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
    EXPECT_EQ(f.store.writes.size(), c.storeWrites);
    if (c.storeWrites) {
        EXPECT_EQ(f.store.writes[0].second, "19200,n,8,1,p");
        EXPECT_EQ(f.ps.waitedForJobs, std::vector<int>{42});
    }
    if (c.result == kestrel::SerialFollowUp::Unchanged) {
        EXPECT_TRUE(f.ps.waitedForJobs.empty()) << "waited although nothing was to change";
    }
    EXPECT_EQ(f.ui.boxTexts(), c.messages);
    EXPECT_EQ(f.ui.current, CursorId::Arrow);
}

using R = kestrel::SerialFollowUp;
INSTANTIATE_TEST_SUITE_P(
    Queues, SerialFollowUpTest,
    ::testing::Values(FollowCase{"KR900", true, "9600,n,8,1,p", false, R::Followed, 1, {}},
                      FollowCase{"KR900",
                                 false,
                                 "9600,n,8,1,p",
                                 false,
                                 R::JobStillWaiting,
                                 0,
                                 {std::string(kSerialJobStillWaitingText)}},
                      FollowCase{"KR900", false, "19200,n,8,1,p", false, R::Unchanged, 0, {}},
                      FollowCase{"KR900",
                                 true,
                                 "9600,n,8,1,p",
                                 true,
                                 R::NotStored,
                                 1,
                                 {std::string(kSerialLineNotStoredText)}},
                      FollowCase{"KR500", true, std::nullopt, false, R::NotSerial, 0, {}},
                      FollowCase{"Lpt", false, std::nullopt, false, R::NotSerial, 0, {}}));

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
