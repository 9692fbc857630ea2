// The PC's serial line: its stored value, the options of a serial: device URI, and the device and
// store it is brought to after a send.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "ports/testing/recording_host_port.h"
#include "printer/device_uri.h"
#include "printer/host_port_config.h"
#include "printer/serial_line_value.h"

namespace kestrel {
namespace {

TEST(SerialLineValue, RunsMapToCodes) {
    // Expected codes in the order baud, parity, data bits, flow, format.
    const std::tuple<std::string, std::uint32_t, std::array<std::uint32_t, 5>> cases[] = {
        {"9600,e,7,1,x", 4, {2, 1, 0, 1, 0}},
        {"19200,n,8,1", 4, {3, 0, 1, 0, 2}},
        // Seven bits without parity is none of the formats: the format code stays.
        {"9600,n,7,1", 4, {2, 0, 0, 0, 4}},
        {"115200,o,8,1,x", 0, {6, 2, 1, 1, 4}},
        {"2400,o,7,1,p", 2, {0, 2, 0, 0, 1}},
        // Missing and unknown pieces take the defaults; letters are matched as written.
        {",,,", 0, {6, 0, 1, 0, 2}},
        {"1200,m,9,2,h", 0, {6, 0, 1, 0, 2}},
        {"9600,E,7,1,X", 3, {2, 0, 0, 0, 3}},
        // An empty field shifts the later values forward.
        {"9600,,7,1,x", 0, {2, 0, 1, 0, 2}},
        // Only the buffer's 49 characters are read: the flow letter at 50 is lost.
        {"4800,o,7,1" + std::string(38, ',') + "x", 3, {1, 2, 0, 1, 1}},
        {"4800,o,7,1" + std::string(39, ',') + "x", 3, {1, 2, 0, 0, 1}},
    };
    for (const auto& [value, formatBefore, expected] : cases) {
        HostPortSettings h{9, 9, 9, 9, formatBefore};
        ReadSerialLineValue(value, h);
        EXPECT_EQ((std::array{h.baudIndex, h.parityCode, h.dataBitsCode, h.flowCode, h.formatCode}),
                  expected)
            << '"' << value << '"';
    }
}

TEST(SerialLineValue, SerialEntryReadsItsValueOthersGetDefaults) {
    HostPortSettings h{0, 0, 0, 1, 0};
    ReadHostPortForEntry(ConnectionStatus::Serial, std::string("9600,e,7,1,x"), h);
    EXPECT_EQ(h, (HostPortSettings{2, 0, 1, 1, 0}));
    ReadHostPortForEntry(ConnectionStatus::Serial, std::nullopt, h);
    EXPECT_EQ(h, kNonSerialHostPort);
    h = {2, 0, 1, 1, 0};
    ReadHostPortForEntry(ConnectionStatus::Usb, std::string("9600,e,7,1,x"), h);
    EXPECT_EQ(h, kNonSerialHostPort);
}

TEST(SerialLineValue, CodesGiveValueAndEveryValidSettingComesBack) {
    EXPECT_EQ(FormatSerialLineValue({7, 1, 0, 0, 2}), ",n,8,1,p");
    EXPECT_EQ(FormatSerialLineValue({2, 2, 3, 2, 0}), "9600,,,1,");
    for (std::uint32_t n = 0; n < 7 * 2 * 3 * 2; ++n) {  // every baud, bits, parity and flow
        const std::uint32_t baud = n / 12, bits = n / 6 % 2, parity = n / 2 % 3, flow = n % 2;
        HostPortSettings back{0, 0, 0, 0, 1};
        ReadSerialLineValue(FormatSerialLineValue({baud, bits, parity, flow, 1}), back);
        EXPECT_EQ(back, (HostPortSettings{baud, bits, parity, flow,
                                          FormatCodeFor(bits, parity).value_or(1)}));
    }
}

TEST(SerialLineValue, ControlTakesOnlyTheMappedFields) {
    const SerialControl system{1200, 6, SerialParity::Even, false, true, true};
    const std::tuple<HostPortSettings, SerialControl, SerialControl> cases[] = {
        {{6, 1, 0, 1, 2},
         {9600, 7, SerialParity::Odd, true, false, false},
         {115200, 8, SerialParity::None, false, true, true}},
        {{0, 1, 1, 0, 3}, system, {2400, 8, SerialParity::Even, true, false, false}},
        {{7, 2, 3, 2, 0}, system, system},  // codes outside the tables leave the device's values
    };
    for (const auto& [host, before, after] : cases) {
        SerialControl control = before;
        ApplyHostPortToControl(host, control);
        EXPECT_EQ(control, after) << host.baudIndex;
    }
}

TEST(DeviceUri, LineOptionsGiveTheSerialValue) {
    const std::pair<std::string_view, std::optional<std::string>> cases[] = {
        {"serial:/dev/ttyS0?baud=9600+bits=7+parity=even+flow=soft", "9600,e,7,1,x"},
        {"serial:/dev/ttyUSB0?parity=odd&bits=7&baud=38400&flow=hard", "38400,o,7,1,p"},
        {"serial:/dev/ttyS1?baud=4800+stop=2+flow=SOFT", "4800,n,8,2,x"},
        {"serial:/dev/ttyS0", "115200,n,8,1,p"},
        {"serial:/dev/ttyS0?baud=9600,e&stop=1,2,o&flow=soft", "115200,n,8,1,x"},
        {"usb://ZOT/KR-500", std::nullopt},
    };
    for (const auto& [uri, value] : cases) {
        EXPECT_EQ(SerialLineValueFromDeviceUri(uri), value) << uri;
    }
}

TEST(DeviceUri, SerialValueChangesTheLineOptionsOnly) {
    const std::tuple<std::string_view, std::string_view, std::optional<std::string>> cases[] = {
        {"serial:/dev/ttyS0?baud=9600+bits=7+parity=even+flow=soft+stop=1+blocksize=512",
         "19200,n,8,1,p",
         "serial:/dev/ttyS0?baud=19200+bits=8+parity=none+flow=dtrdsr+stop=1+blocksize=512"},
        {"serial:/dev/ttyS0?stop=2", "9600,e,7,1,x",
         "serial:/dev/ttyS0?stop=2+baud=9600+bits=7+parity=even+flow=soft"},
        {"serial:/dev/ttyS0", "38400,o,7,1,p",
         "serial:/dev/ttyS0?baud=38400+bits=7+parity=odd+flow=dtrdsr"},
        {"serial:/dev/ttyS2?BAUD=2400&x&Flow=none", "4800,n,8,1,x",
         "serial:/dev/ttyS2?BAUD=4800&x&Flow=soft&bits=8&parity=none"},
        {"usb://ZOT/KR-500", "9600,n,8,1,x", std::nullopt},
    };
    for (const auto& [uri, value, expected] : cases) {
        EXPECT_EQ(DeviceUriWithSerialLineValue(uri, value), expected) << uri;
    }
}

TEST(DeviceUri, SerialDevicePathFromUriOrPath) {
    EXPECT_EQ(SerialDevicePath("serial:/dev/ttyS0?baud=9600"), "/dev/ttyS0");
    EXPECT_EQ(SerialDevicePath("serial:///dev/ttyUSB1"), "/dev/ttyUSB1");
    EXPECT_EQ(SerialDevicePath("/dev/ttyS3"), "/dev/ttyS3");
    EXPECT_EQ(SerialDevicePath("serial:"), std::nullopt);
    EXPECT_EQ(SerialDevicePath("usb://ZOT/KR-500"), std::nullopt);
}

// The PC line of the selected queue goes to the device (when it can be read) and to the store;
// the device is the port name without one trailing colon.
TEST(ConfigureHostPort, DeviceTakesTheLineAndTheStoreItsValue) {
    const SerialControl sent{38400, 7, SerialParity::Odd, true, false, false};
    const std::tuple<std::string, std::string, bool> cases[] = {
        // port, device, device exists
        {"COM3:", "COM3", true},
        {"COM3::", "COM3:", true},
        {"serial:/dev/ttyS0?baud=9600", "serial:/dev/ttyS0?baud=9600", true},
        {"COM9:", "COM9", false},
    };
    for (const auto& [port, device, exists] : cases) {
        AppState state;
        state.printerTable[0].printerName = "KR-900 Serial";
        state.printerTable[0].portName = port;
        state.hostPort = {4, 0, 2, 0, 1};
        testing::RecordingHostPortStore store;
        testing::RecordingSerialLine line;
        if (exists) {
            line.devices[device] = {9600, 8, SerialParity::None, false, true, true};
        }
        EXPECT_TRUE(ConfigureHostPort(state, store, line)) << port;
        EXPECT_EQ(line.reads, std::vector{device}) << port;
        EXPECT_EQ(line.writes,
                  (exists ? decltype(line.writes){{device, sent}} : decltype(line.writes){}))
            << port;
        EXPECT_EQ(store.writes, (decltype(store.writes){{"KR-900 Serial", "38400,o,7,1,p"}}))
            << port;
    }
}

}  // namespace
}  // namespace kestrel
