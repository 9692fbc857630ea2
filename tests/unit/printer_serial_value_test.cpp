#include <gtest/gtest.h>

#include <array>
#include <string>

#include "printer/serial_line_value.h"

namespace kestrel {
namespace {

// Expected codes in the order baud, parity, data bits, flow, format.
struct ParseCase {
    std::string value;
    std::uint32_t formatBefore;
    std::array<std::uint32_t, 5> expected;
};

std::array<std::uint32_t, 5> Codes(const HostPortSettings& h) {
    return {h.baudIndex, h.parityCode, h.dataBitsCode, h.flowCode, h.formatCode};
}

class ParseValueTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseValueTest, RunsMapToCodes) {
    const auto& c = GetParam();
    HostPortSettings h{9, 9, 9, 9, c.formatBefore};
    ReadSerialLineValue(c.value, h);
    EXPECT_EQ(Codes(h), c.expected) << '"' << c.value << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParseValueTest,
    ::testing::Values(ParseCase{"9600,e,7,1,x", 4, {2, 1, 0, 1, 0}},
                      ParseCase{"19200,n,8,1", 4, {3, 0, 1, 0, 2}},
                      // Seven bits without parity is none of the formats: the format code stays.
                      ParseCase{"9600,n,7,1", 4, {2, 0, 0, 0, 4}},
                      ParseCase{"9600,n,7,1", 1, {2, 0, 0, 0, 1}},
                      ParseCase{"115200,o,8,1,x", 0, {6, 2, 1, 1, 4}},
                      ParseCase{"57600,e,8,1,p", 0, {5, 1, 1, 0, 3}},
                      ParseCase{"2400,o,7,1,p", 2, {0, 2, 0, 0, 1}},
                      ParseCase{"4800,n,8,1,x", 0, {1, 0, 1, 1, 2}},
                      ParseCase{"38400,n,8,1,p", 0, {4, 0, 1, 0, 2}},
                      // Missing and unknown pieces take the defaults.
                      ParseCase{",,,", 0, {6, 0, 1, 0, 2}}, ParseCase{"", 0, {6, 0, 1, 0, 2}},
                      ParseCase{"1200,m,9,2,h", 0, {6, 0, 1, 0, 2}},
                      // Letters are matched as written.
                      ParseCase{"9600,E,7,1,X", 3, {2, 0, 0, 0, 3}},
                      // An empty field shifts the later values forward.
                      ParseCase{"9600,,7,1,x", 0, {2, 0, 1, 0, 2}},
                      ParseCase{",,9600,e,7,1,x", 0, {2, 1, 0, 1, 0}},
                      ParseCase{"9600,e,7,,x", 3, {2, 1, 0, 0, 0}},
                      // Only the buffer's 49 characters are read: the flow letter at 50 is lost.
                      ParseCase{"4800,o,7,1" + std::string(38, ',') + "x", 3, {1, 2, 0, 1, 1}},
                      ParseCase{"4800,o,7,1" + std::string(39, ',') + "x", 3, {1, 2, 0, 0, 1}}));

TEST(HostPortForEntry, SerialReadsValueOthersGetDefaults) {
    HostPortSettings h{0, 0, 0, 1, 0};
    ReadHostPortForEntry(ConnectionStatus::Serial, std::string("9600,e,7,1,x"), h);
    EXPECT_EQ(h, (HostPortSettings{2, 0, 1, 1, 0}));

    h = {0, 0, 0, 1, 0};
    ReadHostPortForEntry(ConnectionStatus::Serial, std::nullopt, h);
    EXPECT_EQ(h, kNonSerialHostPort);

    for (const auto status :
         {ConnectionStatus::Parallel, ConnectionStatus::Usb, ConnectionStatus::PortRouter}) {
        h = {2, 0, 1, 1, 0};
        ReadHostPortForEntry(status, std::string("9600,e,7,1,x"), h);
        EXPECT_EQ(h, kNonSerialHostPort);
    }
}

struct FormatCase {
    HostPortSettings host;
    std::string_view value;
};

class FormatValueTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatValueTest, CodesGiveValue) {
    EXPECT_EQ(FormatSerialLineValue(GetParam().host), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Values, FormatValueTest,
                         ::testing::Values(FormatCase{{4, 0, 2, 0, 0}, "38400,o,7,1,p"},
                                           FormatCase{{2, 1, 0, 1, 2}, "9600,n,8,1,x"},
                                           FormatCase{{6, 1, 1, 0, 3}, "115200,e,8,1,p"},
                                           FormatCase{{0, 1, 0, 1, 2}, "2400,n,8,1,x"},
                                           FormatCase{{7, 1, 0, 0, 2}, ",n,8,1,p"},
                                           FormatCase{{2, 2, 3, 2, 0}, "9600,,,1,"}));

TEST(SerialLineValue, EveryValidSettingSurvivesFormatThenParse) {
    for (std::uint32_t baud = 0; baud <= 6; ++baud) {
        for (std::uint32_t bits = 0; bits <= 1; ++bits) {
            for (std::uint32_t parity = 0; parity <= 2; ++parity) {
                for (std::uint32_t flow = 0; flow <= 1; ++flow) {
                    const HostPortSettings h{baud, bits, parity, flow, 1};
                    HostPortSettings back{0, 0, 0, 0, 1};
                    ReadSerialLineValue(FormatSerialLineValue(h), back);
                    EXPECT_EQ(back.baudIndex, baud);
                    EXPECT_EQ(back.dataBitsCode, bits);
                    EXPECT_EQ(back.parityCode, parity);
                    EXPECT_EQ(back.flowCode, flow);
                    EXPECT_EQ(back.formatCode, FormatCodeFor(bits, parity).value_or(1));
                }
            }
        }
    }
}

struct ControlCase {
    const char* label;
    HostPortSettings host;
    SerialControl before;
    SerialControl after;
};

class ControlMappingTest : public ::testing::TestWithParam<ControlCase> {};

TEST_P(ControlMappingTest, SetsOnlyTheMappedFields) {
    SerialControl control = GetParam().before;
    ApplyHostPortToControl(GetParam().host, control);
    EXPECT_EQ(control, GetParam().after) << GetParam().label;
}

const SerialControl kSystem{1200, 6, SerialParity::Even, false, true, true};

INSTANTIATE_TEST_SUITE_P(
    Mapping, ControlMappingTest,
    ::testing::Values(ControlCase{"38400 7 odd hardware",
                                  {4, 0, 2, 0, 1},
                                  kSystem,
                                  {38400, 7, SerialParity::Odd, true, false, false}},
                      ControlCase{"115200 8 none xon",
                                  {6, 1, 0, 1, 2},
                                  {9600, 7, SerialParity::Odd, true, false, false},
                                  {115200, 8, SerialParity::None, false, true, true}},
                      ControlCase{"2400 8 even",
                                  {0, 1, 1, 0, 3},
                                  kSystem,
                                  {2400, 8, SerialParity::Even, true, false, false}},
                      ControlCase{"codes outside the tables leave the device's values",
                                  {7, 2, 3, 2, 0},
                                  kSystem,
                                  kSystem}));

}  // namespace
}  // namespace kestrel
