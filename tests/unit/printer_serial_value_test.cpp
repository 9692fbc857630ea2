#include <gtest/gtest.h>

#include <array>
#include <string>

#include "printer/serial_line_value.h"

namespace kestrel {
namespace {

TEST(SerialLineValue, RunsMapToCodes) {
    // Expected codes in the order baud, parity, data bits, flow, format.
    const struct {
        std::string value;
        std::uint32_t formatBefore;
        std::array<std::uint32_t, 5> expected;
    } cases[] = {
        {"9600,e,7,1,x", 4, {2, 1, 0, 1, 0}},
        {"19200,n,8,1", 4, {3, 0, 1, 0, 2}},
        // Seven bits without parity is none of the formats: the format code stays.
        {"9600,n,7,1", 4, {2, 0, 0, 0, 4}},
        {"9600,n,7,1", 1, {2, 0, 0, 0, 1}},
        {"115200,o,8,1,x", 0, {6, 2, 1, 1, 4}},
        {"57600,e,8,1,p", 0, {5, 1, 1, 0, 3}},
        {"2400,o,7,1,p", 2, {0, 2, 0, 0, 1}},
        {"4800,n,8,1,x", 0, {1, 0, 1, 1, 2}},
        {"38400,n,8,1,p", 0, {4, 0, 1, 0, 2}},
        // Missing and unknown pieces take the defaults; letters are matched as written.
        {",,,", 0, {6, 0, 1, 0, 2}},
        {"", 0, {6, 0, 1, 0, 2}},
        {"1200,m,9,2,h", 0, {6, 0, 1, 0, 2}},
        {"9600,E,7,1,X", 3, {2, 0, 0, 0, 3}},
        // An empty field shifts the later values forward.
        {"9600,,7,1,x", 0, {2, 0, 1, 0, 2}},
        {",,9600,e,7,1,x", 0, {2, 1, 0, 1, 0}},
        {"9600,e,7,,x", 3, {2, 1, 0, 0, 0}},
        // Only the buffer's 49 characters are read: the flow letter at 50 is lost.
        {"4800,o,7,1" + std::string(38, ',') + "x", 3, {1, 2, 0, 1, 1}},
        {"4800,o,7,1" + std::string(39, ',') + "x", 3, {1, 2, 0, 0, 1}},
    };
    for (const auto& c : cases) {
        HostPortSettings h{9, 9, 9, 9, c.formatBefore};
        ReadSerialLineValue(c.value, h);
        EXPECT_EQ((std::array{h.baudIndex, h.parityCode, h.dataBitsCode, h.flowCode, h.formatCode}),
                  c.expected)
            << '"' << c.value << '"';
    }
}

TEST(SerialLineValue, SerialEntryReadsItsValueOthersGetDefaults) {
    HostPortSettings h{0, 0, 0, 1, 0};
    ReadHostPortForEntry(ConnectionStatus::Serial, std::string("9600,e,7,1,x"), h);
    EXPECT_EQ(h, (HostPortSettings{2, 0, 1, 1, 0}));
    ReadHostPortForEntry(ConnectionStatus::Serial, std::nullopt, h);
    EXPECT_EQ(h, kNonSerialHostPort);
    for (const auto status :
         {ConnectionStatus::Parallel, ConnectionStatus::Usb, ConnectionStatus::PortRouter}) {
        h = {2, 0, 1, 1, 0};
        ReadHostPortForEntry(status, std::string("9600,e,7,1,x"), h);
        EXPECT_EQ(h, kNonSerialHostPort);
    }
}

TEST(SerialLineValue, CodesGiveValueAndEveryValidSettingComesBack) {
    EXPECT_EQ(FormatSerialLineValue({4, 0, 2, 0, 0}), "38400,o,7,1,p");
    EXPECT_EQ(FormatSerialLineValue({6, 1, 1, 0, 3}), "115200,e,8,1,p");
    EXPECT_EQ(FormatSerialLineValue({7, 1, 0, 0, 2}), ",n,8,1,p");
    EXPECT_EQ(FormatSerialLineValue({2, 2, 3, 2, 0}), "9600,,,1,");
    for (std::uint32_t baud = 0; baud <= 6; ++baud) {
        for (std::uint32_t bits = 0; bits <= 1; ++bits) {
            for (std::uint32_t parity = 0; parity <= 2; ++parity) {
                for (std::uint32_t flow = 0; flow <= 1; ++flow) {
                    const HostPortSettings h{baud, bits, parity, flow, 1};
                    HostPortSettings back{0, 0, 0, 0, 1};
                    ReadSerialLineValue(FormatSerialLineValue(h), back);
                    EXPECT_EQ(back, (HostPortSettings{baud, bits, parity, flow,
                                                      FormatCodeFor(bits, parity).value_or(1)}));
                }
            }
        }
    }
}

TEST(SerialLineValue, ControlTakesOnlyTheMappedFields) {
    const SerialControl system{1200, 6, SerialParity::Even, false, true, true};
    const struct {
        HostPortSettings host;
        SerialControl before, after;
    } cases[] = {
        {{4, 0, 2, 0, 1}, system, {38400, 7, SerialParity::Odd, true, false, false}},
        {{6, 1, 0, 1, 2},
         {9600, 7, SerialParity::Odd, true, false, false},
         {115200, 8, SerialParity::None, false, true, true}},
        {{0, 1, 1, 0, 3}, system, {2400, 8, SerialParity::Even, true, false, false}},
        {{7, 2, 3, 2, 0}, system, system},  // codes outside the tables leave the device's values
    };
    for (const auto& c : cases) {
        SerialControl control = c.before;
        ApplyHostPortToControl(c.host, control);
        EXPECT_EQ(control, c.after) << c.host.baudIndex;
    }
}

}  // namespace
}  // namespace kestrel
