#include <gtest/gtest.h>

#include "ports/testing/recording_host_port.h"
#include "printer/host_port_config.h"

namespace kestrel {
namespace {

AppState SerialState(std::string port) {
    AppState state;
    state.printerTable[0].printerName = "KR-900 Serial";
    state.printerTable[0].portName = std::move(port);
    state.printerTable[0].connectionStatus = ConnectionStatus::Serial;
    state.hostPort = {4, 0, 2, 0, 1};  // 38400, 7 bits, odd, hardware handshake
    return state;
}

TEST(ConfigureHostPort, WindowsPortNameLosesItsColonForTheDevice) {
    AppState state = SerialState("COM3:");
    testing::RecordingHostPortStore store;
    testing::RecordingSerialLine line;
    line.devices["COM3"] = SerialControl{9600, 8, SerialParity::None, false, true, true};
    ConfigureHostPort(state, store, line);

    ASSERT_EQ(line.writes.size(), 1u);
    EXPECT_EQ(line.writes[0].first, "COM3");
    EXPECT_EQ(line.writes[0].second,
              (SerialControl{38400, 7, SerialParity::Odd, true, false, false}));
    ASSERT_EQ(store.writes.size(), 1u);
    EXPECT_EQ(store.writes[0].first, "KR-900 Serial");
    EXPECT_EQ(store.writes[0].second, "38400,o,7,1,p");
}

TEST(ConfigureHostPort, DeviceUriIsPassedWhole) {
    AppState state = SerialState("serial:/dev/ttyS0?baud=9600");
    state.hostPort = {3, 1, 0, 1, 2};
    testing::RecordingHostPortStore store;
    testing::RecordingSerialLine line;
    line.devices["serial:/dev/ttyS0?baud=9600"] = SerialControl{};
    ConfigureHostPort(state, store, line);
    ASSERT_EQ(line.writes.size(), 1u);
    EXPECT_EQ(line.writes[0].second.baudRate, 19200u);
    EXPECT_EQ(store.values["KR-900 Serial"], "19200,n,8,1,x");
}

TEST(ConfigureHostPort, UnreadableDeviceIsNotWrittenButValueIsStored) {
    AppState state = SerialState("COM9:");
    testing::RecordingHostPortStore store;
    testing::RecordingSerialLine line;  // no devices
    ConfigureHostPort(state, store, line);
    EXPECT_EQ(line.reads, std::vector<std::string>{"COM9"});
    EXPECT_TRUE(line.writes.empty());
    EXPECT_EQ(store.values["KR-900 Serial"], "38400,o,7,1,p");
}

TEST(ConfigureHostPort, FailuresChangeNothingInTheState) {
    AppState state = SerialState("COM1:");
    testing::RecordingHostPortStore store;
    store.failWrites = true;
    testing::RecordingSerialLine line;
    line.devices["COM1"] = SerialControl{};
    line.failWrites = true;
    state.serialSettingsChanged = true;
    ConfigureHostPort(state, store, line);
    EXPECT_EQ(store.writes.size(), 1u);
    EXPECT_TRUE(state.serialSettingsChanged);
    EXPECT_EQ(state.hostPort, (HostPortSettings{4, 0, 2, 0, 1}));
}

TEST(SerialDeviceName, OnlyOneTrailingColonGoes) {
    EXPECT_EQ(SerialDeviceName("COM3:"), "COM3");
    EXPECT_EQ(SerialDeviceName("COM3::"), "COM3:");
    EXPECT_EQ(SerialDeviceName("COM3"), "COM3");
    EXPECT_EQ(SerialDeviceName(""), "");
}

}  // namespace
}  // namespace kestrel
