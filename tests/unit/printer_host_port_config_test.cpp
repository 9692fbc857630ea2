#include <gtest/gtest.h>

#include "ports/testing/recording_host_port.h"
#include "printer/host_port_config.h"
#include "printer/serial_line_value.h"

namespace kestrel {
namespace {

// The PC line of the selected queue goes to the device (when it can be read) and to the store.
TEST(ConfigureHostPort, DeviceTakesTheLineAndTheStoreItsValue) {
    const SerialControl k9600{9600, 8, SerialParity::None, false, true, true};
    const struct {
        std::string port, device;
        bool deviceExists, storeFails;
        HostPortSettings host;
        std::string value;
    } cases[] = {
        {"COM3:", "COM3", true, false, {4, 0, 2, 0, 1}, "38400,o,7,1,p"},
        {"serial:/dev/ttyS0?baud=9600",
         "serial:/dev/ttyS0?baud=9600",
         true,
         false,
         {3, 1, 0, 1, 2},
         "19200,n,8,1,x"},
        {"COM9:", "COM9", false, false, {4, 0, 2, 0, 1}, "38400,o,7,1,p"},
        {"COM1:", "COM1", true, true, {4, 0, 2, 0, 1}, "38400,o,7,1,p"},
    };
    for (const auto& c : cases) {
        AppState state;
        state.printerTable[0].printerName = "KR-900 Serial";
        state.printerTable[0].portName = c.port;
        state.hostPort = c.host;
        state.serialSettingsChanged = true;
        testing::RecordingHostPortStore store;
        store.failWrites = c.storeFails;
        testing::RecordingSerialLine line;
        if (c.deviceExists) {
            line.devices[c.device] = k9600;
        }
        EXPECT_EQ(ConfigureHostPort(state, store, line), !c.storeFails) << c.port;
        EXPECT_EQ(line.reads, std::vector<std::string>{c.device}) << c.port;
        SerialControl expected = k9600;
        ApplyHostPortToControl(c.host, expected);
        EXPECT_EQ(line.writes, (c.deviceExists ? decltype(line.writes){{c.device, expected}}
                                               : decltype(line.writes){}))
            << c.port;
        EXPECT_EQ(store.writes, (decltype(store.writes){{"KR-900 Serial", c.value}})) << c.port;
        EXPECT_TRUE(state.serialSettingsChanged) << c.port;
        EXPECT_EQ(state.hostPort, c.host) << c.port;
    }
}

TEST(SerialDeviceName, OnlyOneTrailingColonGoes) {
    EXPECT_EQ(SerialDeviceName("COM3:"), "COM3");
    EXPECT_EQ(SerialDeviceName("COM3::"), "COM3:");
    EXPECT_EQ(SerialDeviceName("COM3"), "COM3");
    EXPECT_EQ(SerialDeviceName(""), "");
}

}  // namespace
}  // namespace kestrel
