#include <gtest/gtest.h>

#include "printer/device_uri.h"
#include "printer/printer_driver.h"
#include "printer/queue_classification.h"

namespace kestrel {
namespace {

QueueInfo Queue(PortKind kind, bool paused = false, bool offline = false, bool separator = false) {
    QueueInfo q;
    q.name = "q";
    q.driverName = "ZOT KR-900 Raster";
    q.port = "serial:/dev/ttyS1?baud=9600";
    q.portKind = kind;
    q.paused = paused;
    q.offline = offline;
    q.separatorPage = separator;
    q.jobCount = 3;
    return q;
}

TEST(Classification, FirstMatchingRuleDecides) {
    using CS = ConnectionStatus;
    using PI = PrinterIcon;
    using PK = PortKind;
    const struct {
        const char* label;
        QueueInfo queue;
        CS status;
        PI icon;
    } cases[] = {
        {"parallel", Queue(PK::Parallel), CS::Parallel, PI::Printer},
        {"serial", Queue(PK::Serial), CS::Serial, PI::Printer},
        {"usb", Queue(PK::Usb), CS::Usb, PI::Printer},
        {"router", Queue(PK::PortRouter), CS::PortRouter, PI::Printer},
        {"network", Queue(PK::Network), CS::Network, PI::PrinterInfo},
        {"file", Queue(PK::File), CS::File, PI::PrinterInfo},
        {"other", Queue(PK::NotCorresponded), CS::NotCorresponded, PI::PrinterInfo},
        {"network before paused", Queue(PK::Network, true, true, true), CS::Network,
         PI::PrinterInfo},
        {"file before paused", Queue(PK::File, true, true, true), CS::File, PI::PrinterInfo},
        {"paused before offline", Queue(PK::Usb, true, true), CS::Paused, PI::PrinterInfo},
        {"offline before separator", Queue(PK::Serial, false, true, true), CS::Offline,
         PI::PrinterInfo},
        {"separator before port kind", Queue(PK::Parallel, false, false, true), CS::SeparatorPage,
         PI::PrinterInfo},
        {"paused on unusable port", Queue(PK::NotCorresponded, true), CS::Paused, PI::PrinterInfo},
    };
    for (const auto& c : cases) {
        const PrinterEntry e = BuildPrinterEntry(c.queue);
        EXPECT_EQ(e.connectionStatus, c.status) << c.label;
        EXPECT_EQ(e.iconId, c.icon) << c.label;
        EXPECT_EQ(e.mechanismId, mechanism::FullCut) << c.label;
        EXPECT_EQ(e.portName, c.queue.port) << c.label;
        EXPECT_EQ(e.driverName, c.queue.driverName) << c.label;
        EXPECT_EQ(e.jobCount, 3u) << c.label;
    }
}

TEST(Classification, UnsupportedDriverSkipsEveryPortCheck) {
    QueueInfo q = Queue(PortKind::File, true, true, true);
    q.driverName = "Generic PostScript Printer";
    const PrinterEntry e = BuildPrinterEntry(q);
    EXPECT_EQ(e.mechanismId, mechanism::Unsupported);
    EXPECT_EQ(e.iconId, PrinterIcon::PrinterError);
    EXPECT_EQ(e.connectionStatus, ConnectionStatus::Parallel);
}

TEST(Classification, TableKeepsOrderAndNotesSupportedDrivers) {
    QueueInfo other = Queue(PortKind::Usb);
    other.name = "laser";
    other.driverName = "HP LaserJet";
    QueueInfo kr = Queue(PortKind::Usb);
    kr.name = "kr";
    EXPECT_FALSE(BuildPrinterTable(std::vector{other, other}).anySupportedDriver);
    const auto fill = BuildPrinterTable(std::vector{other, kr});
    EXPECT_TRUE(fill.anySupportedDriver);
    ASSERT_EQ(fill.entries.size(), 2u);
    EXPECT_EQ(fill.entries[0].printerName, "laser");
    EXPECT_EQ(fill.entries[1].printerName, "kr");
}

TEST(Classification, ExactDriverNameGivesMechanism) {
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
}

TEST(Classification, UriSchemeGivesPortKind) {
    const std::pair<PortKind, std::vector<std::string_view>> cases[] = {
        {PortKind::Usb, {"usb://ZOT/KR-500?serial=1", "kestrel-printer:/srv/tills/7"}},
        {PortKind::Parallel, {"parallel:/dev/lp0"}},
        {PortKind::Serial, {"serial:/dev/ttyS0?baud=9600"}},
        {PortKind::File, {"file:///tmp/out"}},
        {PortKind::Network,
         {"socket://10.0.0.1:9100", "ipp://host/printers/x", "ipps://host/printers/x",
          "http://host:631/printers/x", "https://host/x", "lpd://host/queue", "smb://server/share",
          "dnssd://Printer._ipp._tcp.local/", ""}},
        {PortKind::NotCorresponded,
         {"hp:/usb/LaserJet", "capture:/tmp", "USB://upper", "no-scheme"}},
    };
    for (const auto& [kind, uris] : cases) {
        for (const auto uri : uris) {
            EXPECT_EQ(PortKindFromDeviceUri(uri), kind) << uri;
        }
    }
}

}  // namespace
}  // namespace kestrel
