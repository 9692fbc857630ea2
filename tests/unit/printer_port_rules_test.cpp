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

class PortRulesTest : public ::testing::TestWithParam<PortRuleCase> {};

TEST_P(PortRulesTest, KindFromNameAndPortList) {
    const auto& c = GetParam();
    EXPECT_EQ(PortKindFromSpoolerPorts(c.queuePort, c.ports), c.kind) << c.label;
}

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

INSTANTIATE_TEST_SUITE_P(
    Rules, PortRulesTest,
    ::testing::Values(
        PortRuleCase{"unc name is network", "\\\\server\\kr900", kLocalPorts, PortKind::Network},
        PortRuleCase{"file port", "FILE:", kLocalPorts, PortKind::File},
        PortRuleCase{"plain parallel", "LPT1:", kLocalPorts, PortKind::Parallel},
        PortRuleCase{"parallel name described as usb", "LPT2:", kLocalPorts, PortKind::Usb},
        PortRuleCase{"parallel not in list", "LPT9:", kLocalPorts, PortKind::Parallel},
        PortRuleCase{"usb description on a later duplicate still counts",
                     "LPT1:",
                     {{"LPT1:", "Local Port"}, {"LPT1:", "USB printing support"}},
                     PortKind::Usb},
        PortRuleCase{"serial needs no list", "COM7:", {}, PortKind::Serial},
        PortRuleCase{"usb port described as usb", "USB001", kLocalPorts, PortKind::Usb},
        PortRuleCase{"usb name scans every usb-named port",
                     "USB009",
                     {{"USB001", "Virtual printer port for USB"}},
                     PortKind::Usb},
        PortRuleCase{"usb-named ports without usb description",
                     "USB001",
                     {{"USB001", "Local Port"}},
                     PortKind::NotCorresponded},
        PortRuleCase{"usb description after a plain one wins",
                     "USB001",
                     {{"USB002", "Local Port"}, {"USB001", "USB port"}},
                     PortKind::Usb},
        PortRuleCase{"no usb-named port stays initial",
                     "USB001",
                     {{"LPT1:", "Local Port"}},
                     PortKind::Parallel},
        PortRuleCase{"port router", "NQ001:", kLocalPorts, PortKind::PortRouter},
        PortRuleCase{"router description on an http port", "http://10.0.0.9/", kLocalPorts,
                     PortKind::NotCorresponded},
        PortRuleCase{"other description", "IP_10.0.0.5", kLocalPorts, PortKind::NotCorresponded},
        PortRuleCase{"no description", "Bare", kLocalPorts, PortKind::NotCorresponded},
        PortRuleCase{"router after a plain duplicate",
                     "NQ002:",
                     {{"NQ002:", "Local Port"}, {"NQ002:", "NQ-PortRouter"}},
                     PortKind::PortRouter},
        PortRuleCase{"other name not in list stays initial", "Ne00:", kLocalPorts,
                     PortKind::Parallel},
        PortRuleCase{"prefixes are matched with case",
                     "lpt1:",
                     {{"lpt1:", "USB"}},
                     PortKind::NotCorresponded},
        PortRuleCase{"file prefix only at start",
                     "MYFILE:",
                     {{"MYFILE:", "Local Port"}},
                     PortKind::NotCorresponded}));

}  // namespace
}  // namespace kestrel
