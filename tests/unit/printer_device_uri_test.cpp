#include <gtest/gtest.h>

#include "printer/device_uri.h"
#include "printer/serial_line_value.h"

namespace kestrel {
namespace {

TEST(DeviceUri, LineOptionsGiveTheSerialValue) {
    const std::pair<std::string_view, std::optional<std::string>> cases[] = {
        {"serial:/dev/ttyS0?baud=9600+bits=7+parity=even+flow=soft", "9600,e,7,1,x"},
        {"serial:/dev/ttyS0?baud=19200+bits=8+parity=none+flow=dtrdsr", "19200,n,8,1,p"},
        {"serial:/dev/ttyUSB0?parity=odd&bits=7&baud=38400&flow=hard", "38400,o,7,1,p"},
        {"serial:/dev/ttyS1?baud=4800+stop=2+flow=SOFT", "4800,n,8,2,x"},
        {"serial:/dev/ttyS0", "115200,n,8,1,p"},
        {"serial:/dev/ttyS0?baud=9600,e&stop=1,2,o&flow=soft", "115200,n,8,1,x"},
        {"usb://ZOT/KR-500", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [uri, value] : cases) {
        EXPECT_EQ(SerialLineValueFromDeviceUri(uri), value) << uri;
    }
}

TEST(DeviceUri, SerialValueChangesTheLineOptionsOnly) {
    const struct {
        std::string_view uri, value;
        std::optional<std::string> expected;
    } cases[] = {
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
    for (const auto& c : cases) {
        EXPECT_EQ(DeviceUriWithSerialLineValue(c.uri, c.value), c.expected) << c.uri;
    }
}

TEST(DeviceUri, SerialDevicePathFromUriOrPath) {
    EXPECT_EQ(SerialDevicePath("serial:/dev/ttyS0?baud=9600"), "/dev/ttyS0");
    EXPECT_EQ(SerialDevicePath("serial:///dev/ttyUSB1"), "/dev/ttyUSB1");
    EXPECT_EQ(SerialDevicePath("/dev/ttyS3"), "/dev/ttyS3");
    EXPECT_EQ(SerialDevicePath("serial:"), std::nullopt);
    EXPECT_EQ(SerialDevicePath("COM3"), std::nullopt);
    EXPECT_EQ(SerialDevicePath("usb://ZOT/KR-500"), std::nullopt);
}

}  // namespace
}  // namespace kestrel
