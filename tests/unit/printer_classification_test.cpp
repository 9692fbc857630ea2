// The selection list: a queue judged by its driver, its port kind from the URI or the spooler's
// port list, and its state; and the list's order by name or port.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "printer/device_uri.h"
#include "printer/printer_driver.h"
#include "printer/printer_sort.h"
#include "printer/queue_classification.h"
#include "printer/spooler_port_rules.h"

namespace kestrel {
namespace {

TEST(Classification, FirstMatchingRuleDecides) {
    using CS = ConnectionStatus;
    using PI = PrinterIcon;
    using PK = PortKind;
    const std::string kr = "ZOT KR-900 Raster";
    const std::string other = "Generic PostScript Printer";
    const std::tuple<QueueInfo, CS, PI> cases[] = {
        // queue: {name, driver, port, kind, paused, offline, separator, jobs}
        {{"parallel", kr, "parallel:/dev/lp0", PK::Parallel}, CS::Parallel, PI::Printer},
        {{"serial", kr, "", PK::Serial, 0, 0, 0, 3}, CS::Serial, PI::Printer},
        {{"usb", kr, "", PK::Usb}, CS::Usb, PI::Printer},
        {{"router", kr, "", PK::PortRouter}, CS::PortRouter, PI::Printer},
        {{"other", kr, "", PK::NotCorresponded}, CS::NotCorresponded, PI::PrinterInfo},
        {{"network before paused", kr, "", PK::Network, 1, 1, 1}, CS::Network, PI::PrinterInfo},
        {{"file before paused", kr, "", PK::File, 1, 1, 1}, CS::File, PI::PrinterInfo},
        {{"paused before offline", kr, "", PK::Usb, 1, 1}, CS::Paused, PI::PrinterInfo},
        {{"offline before separator", kr, "", PK::Serial, 0, 1, 1}, CS::Offline, PI::PrinterInfo},
        {{"separator first", kr, "", PK::Parallel, 0, 0, 1}, CS::SeparatorPage, PI::PrinterInfo},
        // An unsupported driver skips every port check.
        {{"unsupported", other, "", PK::File, 1, 1, 1, 2}, CS::Parallel, PI::PrinterError},
    };
    for (const auto& [queue, status, icon] : cases) {
        const PrinterEntry e = BuildPrinterEntry(queue);
        EXPECT_EQ(std::make_tuple(e.printerName, e.driverName, e.portName, e.jobCount,
                                  e.connectionStatus, e.iconId, e.mechanismId),
                  std::make_tuple(queue.name, queue.driverName, queue.port, queue.jobCount, status,
                                  icon, queue.driverName == kr ? 18u : 240u))
            << queue.name;
    }
    const QueueInfo laser{"laser", other, ""}, kr900{"kr", kr, ""};
    EXPECT_FALSE(BuildPrinterTable(std::vector{laser, laser}).anySupportedDriver);
    EXPECT_TRUE(BuildPrinterTable(std::vector{laser, kr900}).anySupportedDriver);
}

TEST(Classification, DriverNameGivesMechanismUriSchemePortKind) {
    const std::pair<std::uint32_t, std::vector<std::string_view>> cases[] = {
        {18, {"ZOT KR-900 Raster", "ZOT KR-900 Raster (FC)"}},
        {19, {"ZOT KR-900 Raster (BM)", "ZOT KR-900 Raster (BM/FC)"}},
        {20, {"ZOT KR-700 Raster"}},
        {21, {"ZOT KR-500 Raster"}},
        {240, {"zot kr-900 raster", "ZOT KR-900 Raster ", "ZOT KR-900", ""}},
    };
    for (const auto& [id, drivers] : cases) {
        for (const auto driver : drivers) {
            EXPECT_EQ(MechanismIdFromDriver(driver), id) << driver;
        }
    }
    const std::pair<PortKind, std::vector<std::string_view>> uris[] = {
        {PortKind::Usb, {"usb://ZOT/KR-500?serial=1", "kestrel-printer:/srv/tills/7"}},
        {PortKind::Parallel, {"parallel:/dev/lp0"}},
        {PortKind::Serial, {"serial:/dev/ttyS0?baud=9600"}},
        {PortKind::File, {"file:///tmp/out"}},
        {PortKind::Network,
         {"socket://h:9100", "ipp://h/x", "ipps://h/x", "http://h/x", "https://h/x", "lpd://h/q",
          "smb://h/x", "dnssd://x._ipp._tcp.local/", ""}},
        {PortKind::NotCorresponded,
         {"hp:/usb/LaserJet", "capture:/tmp", "USB://upper", "no-scheme"}},
    };
    for (const auto& [kind, list] : uris) {
        for (const auto uri : list) {
            EXPECT_EQ(PortKindFromDeviceUri(uri), kind) << uri;
        }
    }
}

const std::vector<SpoolerPort> kLocalPorts{
    {"LPT1:", "Local Port"},
    {"LPT2:", "Virtual printer port for USB"},
    {"COM1:", "Local Port"},
    {"FILE:", "Print to File"},
    {"USB001", "Virtual printer port for USB"},
    {"NQ001:", "NQ-PortRouter Port"},
    {"http://10.0.0.9/", "NQ-PortRouter Port"},
};

// A port named like no kind keeps the initial kind, parallel.
TEST(SpoolerPortRules, KindFromNameAndPortList) {
    using PK = PortKind;
    const std::tuple<std::string, std::vector<SpoolerPort>, PortKind> cases[] = {
        {"\\\\server\\kr900", kLocalPorts, PK::Network},
        {"FILE:", kLocalPorts, PK::File},
        {"LPT1:", kLocalPorts, PK::Parallel},
        {"LPT2:", kLocalPorts, PK::Usb},
        {"COM7:", {}, PK::Serial},
        {"USB009", {{"USB001", "Virtual printer port for USB"}}, PK::Usb},
        {"USB001", {{"USB001", "Local Port"}}, PK::NotCorresponded},
        {"USB001", {{"USB002", "Local Port"}, {"USB001", "USB port"}}, PK::Usb},
        {"USB001", {{"LPT1:", "Local Port"}}, PK::Parallel},
        {"NQ001:", kLocalPorts, PK::PortRouter},
        {"http://10.0.0.9/", kLocalPorts, PK::NotCorresponded},
        {"NQ002:", {{"NQ002:", "Local Port"}, {"NQ002:", "NQ-PortRouter"}}, PK::PortRouter},
        {"Ne00:", kLocalPorts, PK::Parallel},
        {"lpt1:", {{"lpt1:", "USB"}}, PK::NotCorresponded},  // prefixes match with case
        {"MYFILE:", {{"MYFILE:", "Local Port"}}, PK::NotCorresponded},
    };
    for (const auto& [queuePort, ports, kind] : cases) {
        EXPECT_EQ(PortKindFromSpoolerPorts(queuePort, ports), kind) << queuePort;
    }
}

TEST(CompareAnsiNames, OrdersLikeTheShellComparison) {
    // Letters without case first, then lower case first at the first letter differing in case
    // (not capitals before small letters); hyphen and apostrophe passed over, then counted;
    // symbols before digits before letters.
    const std::pair<std::string_view, std::string_view> lessFirst[] = {
        {"a", "B"},    {"abc", "ABC"},      {"kR", "Kr"},         {"abc", "abd"},
        {"Ab", "abc"}, {"KR900", "KR-900"}, {"KR-900", "KR900x"}, {"o'neil", "oneil2"},
        {"_a", "0a"},  {"9", "a"},          {"Z1", "z2"},         {"", "a"},
    };
    for (const auto& [a, b] : lessFirst) {
        EXPECT_LT(CompareAnsiNames(a, b), 0) << a << " vs " << b;
        EXPECT_GT(CompareAnsiNames(b, a), 0) << b << " vs " << a;
    }
    EXPECT_EQ(CompareAnsiNames("", ""), 0);
}

// A table written as "name:port name:port ...".
std::vector<PrinterEntry> Table(const std::string& rows) {
    std::vector<PrinterEntry> table;
    std::istringstream in(rows);
    for (std::string row; in >> row;) {
        const auto colon = row.find(':');
        table.emplace_back().printerName = row.substr(0, colon);
        table.back().portName = row.substr(colon + 1);
    }
    return table;
}

std::string Text(const std::vector<PrinterEntry>& table) {
    std::string text;
    for (const auto& e : table) {
        text += (text.empty() ? "" : " ") + e.printerName + ":" + e.portName;
    }
    return text;
}

const std::string kDuplicates = "B:p1 A:p2 B:p3 A:p4 B:p5";

// The quicksort places equal keys where its partition puts them, not stably.
TEST(SortPrinterTable, TiesGoWhereThePartitionPutsThem) {
    const auto name = SortColumn::PrinterName;
    const auto rising = SortDirection::Rising;
    const auto falling = SortDirection::Falling;
    const std::tuple<std::string, SortColumn, SortDirection, std::string> cases[] = {
        // Rising: the pivot B/p1 ends last among the Bs, later equal keys are pulled in front.
        {kDuplicates, name, rising, "A:p2 A:p4 B:p3 B:p5 B:p1"},
        // Falling is not the mirror image: the Bs keep p1 first and the As keep p2 first.
        {kDuplicates, name, falling, "B:p1 B:p5 B:p3 A:p2 A:p4"},
        {"n1:USB n2:COM1 n3:USB n4:COM1", SortColumn::PortName, rising,
         "n2:COM1 n4:COM1 n3:USB n1:USB"},
        {"only:x", name, falling, "only:x"},
    };
    for (const auto& [input, column, direction, expected] : cases) {
        auto table = Table(input);
        SortPrinterTable(table, 0, static_cast<std::ptrdiff_t>(table.size()) - 1, column,
                         direction);
        EXPECT_EQ(Text(table), expected) << input;
    }
}

// Each click turns the direction, on an empty table too, and sorts from the order left.
TEST(HeaderClick, EachClickTurnsTheDirectionAndSortsFromTheOrderLeft) {
    auto table = Table(kDuplicates);
    SortDirection direction = SortDirection::Rising;
    std::vector<PrinterEntry> empty;
    SortOnHeaderClick(empty, SortColumn::PrinterName, direction);
    SortOnHeaderClick(table, SortColumn::PrinterName, direction);
    EXPECT_EQ(Text(table), "A:p2 A:p4 B:p3 B:p5 B:p1");
    SortOnHeaderClick(table, SortColumn::PrinterName, direction);
    EXPECT_EQ(Text(table), "B:p1 B:p3 B:p5 A:p2 A:p4");
}

}  // namespace
}  // namespace kestrel
