#include <gtest/gtest.h>

#include <vector>

#include "printer/spooler_port_rules.h"

namespace kestrel {
namespace {

struct PortRuleCase {
    const char* label;
    std::string queuePort;
    std::vector<SpoolerPort> ports;
    PortKind kind;
};

const std::vector<SpoolerPort> kLocalPorts{
    {"LPT1:", "Local Port"},
    {"LPT2:", "Virtual printer port for USB"},
    {"COM1:", "Local Port"},
    {"FILE:", "Print to File"},
    {"USB001", "Virtual printer port for USB"},
    {"NQ001:", "NQ-PortRouter Port"},
    {"http://10.0.0.9/", "NQ-PortRouter Port"},
    {"IP_10.0.0.5", "Standard TCP/IP Port"},
    {"Bare", ""},
};

TEST(SpoolerPortRules, KindFromNameAndPortList) {
    const PortRuleCase cases[] = {
        {"unc name is network", "\\\\server\\kr900", kLocalPorts, PortKind::Network},
        {"file port", "FILE:", kLocalPorts, PortKind::File},
        {"plain parallel", "LPT1:", kLocalPorts, PortKind::Parallel},
        {"parallel name described as usb", "LPT2:", kLocalPorts, PortKind::Usb},
        {"parallel not in list", "LPT9:", kLocalPorts, PortKind::Parallel},
        {"usb description on a later duplicate still counts",
         "LPT1:",
         {{"LPT1:", "Local Port"}, {"LPT1:", "USB printing support"}},
         PortKind::Usb},
        {"serial needs no list", "COM7:", {}, PortKind::Serial},
        {"usb port described as usb", "USB001", kLocalPorts, PortKind::Usb},
        {"usb name scans every usb-named port",
         "USB009",
         {{"USB001", "Virtual printer port for USB"}},
         PortKind::Usb},
        {"usb-named ports without usb description",
         "USB001",
         {{"USB001", "Local Port"}},
         PortKind::NotCorresponded},
        {"usb description after a plain one wins",
         "USB001",
         {{"USB002", "Local Port"}, {"USB001", "USB port"}},
         PortKind::Usb},
        {"no usb-named port stays initial",
         "USB001",
         {{"LPT1:", "Local Port"}},
         PortKind::Parallel},
        {"port router", "NQ001:", kLocalPorts, PortKind::PortRouter},
        {"router description on an http port", "http://10.0.0.9/", kLocalPorts,
         PortKind::NotCorresponded},
        {"other description", "IP_10.0.0.5", kLocalPorts, PortKind::NotCorresponded},
        {"no description", "Bare", kLocalPorts, PortKind::NotCorresponded},
        {"router after a plain duplicate",
         "NQ002:",
         {{"NQ002:", "Local Port"}, {"NQ002:", "NQ-PortRouter"}},
         PortKind::PortRouter},
        {"other name not in list stays initial", "Ne00:", kLocalPorts, PortKind::Parallel},
        {"prefixes are matched with case", "lpt1:", {{"lpt1:", "USB"}}, PortKind::NotCorresponded},
        {"file prefix only at start",
         "MYFILE:",
         {{"MYFILE:", "Local Port"}},
         PortKind::NotCorresponded}};
    for (const auto& c : cases) {
        EXPECT_EQ(PortKindFromSpoolerPorts(c.queuePort, c.ports), c.kind) << c.label;
    }
}

}  // namespace
}  // namespace kestrel
