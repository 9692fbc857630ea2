#include <gtest/gtest.h>

#include "printer/device_uri.h"
#include "printer/printer_driver.h"
#include "printer/queue_classification.h"

namespace kestrel {
namespace {

constexpr std::string_view kKr900 = "ZOT KR-900 Raster";

struct ClassificationCase {
    const char* label;
    QueueInfo queue;
    ConnectionStatus status;
    PrinterIcon icon;
};

QueueInfo Queue(PortKind kind, bool paused = false, bool offline = false, bool separator = false) {
    QueueInfo q;
    q.name = "q";
    q.driverName = std::string(kKr900);
    q.port = "port";
    q.portKind = kind;
    q.paused = paused;
    q.offline = offline;
    q.separatorPage = separator;
    return q;
}

class ClassificationTest : public ::testing::TestWithParam<ClassificationCase> {};

TEST_P(ClassificationTest, FirstMatchingRuleDecides) {
    const auto& c = GetParam();
    const PrinterEntry entry = BuildPrinterEntry(c.queue);
    EXPECT_EQ(entry.connectionStatus, c.status) << c.label;
    EXPECT_EQ(entry.iconId, c.icon) << c.label;
    EXPECT_EQ(entry.mechanismId, mechanism::FullCut) << c.label;
}

using CS = ConnectionStatus;
using PI = PrinterIcon;

INSTANTIATE_TEST_SUITE_P(
    Rules, ClassificationTest,
    ::testing::Values(
        ClassificationCase{"parallel", Queue(PortKind::Parallel), CS::Parallel, PI::Printer},
        ClassificationCase{"serial", Queue(PortKind::Serial), CS::Serial, PI::Printer},
        ClassificationCase{"usb", Queue(PortKind::Usb), CS::Usb, PI::Printer},
        ClassificationCase{"router", Queue(PortKind::PortRouter), CS::PortRouter, PI::Printer},
        ClassificationCase{"network", Queue(PortKind::Network), CS::Network, PI::PrinterInfo},
        ClassificationCase{"file", Queue(PortKind::File), CS::File, PI::PrinterInfo},
        ClassificationCase{"other", Queue(PortKind::NotCorresponded), CS::NotCorresponded,
                           PI::PrinterInfo},
        ClassificationCase{"network before paused", Queue(PortKind::Network, true, true, true),
                           CS::Network, PI::PrinterInfo},
        ClassificationCase{"file before paused", Queue(PortKind::File, true, true, true), CS::File,
                           PI::PrinterInfo},
        ClassificationCase{"paused and offline is paused", Queue(PortKind::Usb, true, true),
                           CS::Paused, PI::PrinterInfo},
        ClassificationCase{"offline before separator", Queue(PortKind::Serial, false, true, true),
                           CS::Offline, PI::PrinterInfo},
        ClassificationCase{"separator before port kind",
                           Queue(PortKind::Parallel, false, false, true), CS::SeparatorPage,
                           PI::PrinterInfo},
        ClassificationCase{"paused on unusable port", Queue(PortKind::NotCorresponded, true),
                           CS::Paused, PI::PrinterInfo}));

TEST(Classification, UnsupportedDriverSkipsEveryPortCheck) {
    QueueInfo q = Queue(PortKind::File, true, true, true);
    q.driverName = "Generic PostScript Printer";
    const PrinterEntry e = BuildPrinterEntry(q);
    EXPECT_EQ(e.mechanismId, mechanism::Unsupported);
    EXPECT_EQ(e.iconId, PrinterIcon::PrinterError);
    EXPECT_EQ(e.connectionStatus, ConnectionStatus::Parallel);
}

TEST(Classification, EntryCarriesNamesPortAndJobCount) {
    QueueInfo q = Queue(PortKind::Serial);
    q.name = "front desk";
    q.port = "serial:/dev/ttyS1?baud=9600";
    q.jobCount = 3;
    const PrinterEntry e = BuildPrinterEntry(q);
    EXPECT_EQ(e.printerName, "front desk");
    EXPECT_EQ(e.portName, "serial:/dev/ttyS1?baud=9600");
    EXPECT_EQ(e.driverName, kKr900);
    EXPECT_EQ(e.jobCount, 3u);
}

TEST(Classification, TableKeepsOrderAndNotesSupportedDrivers) {
    QueueInfo other = Queue(PortKind::Usb);
    other.name = "laser";
    other.driverName = "HP LaserJet";
    QueueInfo kr = Queue(PortKind::Usb);
    kr.name = "kr";
    const std::vector<QueueInfo> onlyOther{other, other};
    EXPECT_FALSE(BuildPrinterTable(onlyOther).anySupportedDriver);
    const std::vector<QueueInfo> both{other, kr};
    const auto fill = BuildPrinterTable(both);
    EXPECT_TRUE(fill.anySupportedDriver);
    ASSERT_EQ(fill.entries.size(), 2u);
    EXPECT_EQ(fill.entries[0].printerName, "laser");
    EXPECT_EQ(fill.entries[1].printerName, "kr");
}

struct DriverCase {
    std::string_view driver;
    std::uint32_t mechanismId;
};

class DriverTableTest : public ::testing::TestWithParam<DriverCase> {};

TEST_P(DriverTableTest, ExactNameGivesMechanism) {
    EXPECT_EQ(MechanismIdFromDriver(GetParam().driver), GetParam().mechanismId)
        << GetParam().driver;
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, DriverTableTest,
    ::testing::Values(DriverCase{"ZOT KR-900 Raster", 18}, DriverCase{"ZOT KR-900 Raster (FC)", 18},
                      DriverCase{"ZOT KR-900 Raster (BM)", 19},
                      DriverCase{"ZOT KR-900 Raster (BM/FC)", 19},
                      DriverCase{"ZOT KR-700 Raster", 20}, DriverCase{"ZOT KR-500 Raster", 21},
                      DriverCase{"zot kr-900 raster", 240}, DriverCase{"ZOT KR-900 Raster ", 240},
                      DriverCase{"ZOT KR-900", 240}, DriverCase{"", 240}));

struct UriCase {
    std::string_view uri;
    PortKind kind;
};

class UriKindTest : public ::testing::TestWithParam<UriCase> {};

TEST_P(UriKindTest, SchemeGivesKind) {
    EXPECT_EQ(PortKindFromDeviceUri(GetParam().uri), GetParam().kind) << GetParam().uri;
}

INSTANTIATE_TEST_SUITE_P(Schemes, UriKindTest,
                         ::testing::Values(UriCase{"usb://ZOT/KR-500?serial=1", PortKind::Usb},
                                           UriCase{"kestrel-printer:/srv/tills/7", PortKind::Usb},
                                           UriCase{"parallel:/dev/lp0", PortKind::Parallel},
                                           UriCase{"serial:/dev/ttyS0?baud=9600", PortKind::Serial},
                                           UriCase{"file:///tmp/out", PortKind::File},
                                           UriCase{"socket://10.0.0.1:9100", PortKind::Network},
                                           UriCase{"ipp://host/printers/x", PortKind::Network},
                                           UriCase{"ipps://host/printers/x", PortKind::Network},
                                           UriCase{"http://host:631/printers/x", PortKind::Network},
                                           UriCase{"https://host/x", PortKind::Network},
                                           UriCase{"lpd://host/queue", PortKind::Network},
                                           UriCase{"smb://server/share", PortKind::Network},
                                           UriCase{"dnssd://Printer._ipp._tcp.local/",
                                                   PortKind::Network},
                                           UriCase{"", PortKind::Network},
                                           UriCase{"hp:/usb/LaserJet", PortKind::NotCorresponded},
                                           UriCase{"capture:/tmp", PortKind::NotCorresponded},
                                           UriCase{"USB://upper", PortKind::NotCorresponded},
                                           UriCase{"no-scheme", PortKind::NotCorresponded}));

}  // namespace
}  // namespace kestrel
