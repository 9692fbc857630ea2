#include <gtest/gtest.h>

#include "printer/device_uri.h"
#include "printer/serial_line_value.h"

namespace kestrel {
namespace {

struct ValueFromUriCase {
    std::string_view uri;
    std::optional<std::string> value;
};

class ValueFromUriTest : public ::testing::TestWithParam<ValueFromUriCase> {};

TEST_P(ValueFromUriTest, OptionsGiveValue) {
    EXPECT_EQ(SerialLineValueFromDeviceUri(GetParam().uri), GetParam().value) << GetParam().uri;
}

INSTANTIATE_TEST_SUITE_P(
    Uris, ValueFromUriTest,
    ::testing::Values(
        ValueFromUriCase{"serial:/dev/ttyS0?baud=9600+bits=7+parity=even+flow=soft",
                         "9600,e,7,1,x"},
        ValueFromUriCase{"serial:/dev/ttyS0?baud=19200+bits=8+parity=none+flow=dtrdsr",
                         "19200,n,8,1,p"},
        ValueFromUriCase{"serial:/dev/ttyUSB0?parity=odd&bits=7&baud=38400&flow=hard",
                         "38400,o,7,1,p"},
        ValueFromUriCase{"serial:/dev/ttyS1?baud=4800+stop=2+flow=SOFT", "4800,n,8,2,x"},
        ValueFromUriCase{"serial:/dev/ttyS0", "115200,n,8,1,p"},
        ValueFromUriCase{"serial:/dev/ttyS0?baud=9600,e&stop=1,2,o&flow=soft", "115200,n,8,1,x"},
        ValueFromUriCase{"usb://ZOT/KR-500", std::nullopt}, ValueFromUriCase{"", std::nullopt}));

struct UriWithValueCase {
    const char* label;
    std::string_view uri;
    std::string_view value;
    std::optional<std::string> expected;
};

class UriWithValueTest : public ::testing::TestWithParam<UriWithValueCase> {};

TEST_P(UriWithValueTest, LineOptionsChangeOthersStay) {
    EXPECT_EQ(DeviceUriWithSerialLineValue(GetParam().uri, GetParam().value), GetParam().expected)
        << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    Uris, UriWithValueTest,
    ::testing::Values(
        UriWithValueCase{"replaced in place, others kept",
                         "serial:/dev/ttyS0?baud=9600+bits=7+parity=even+flow=soft+stop=1+"
                         "blocksize=512",
                         "19200,n,8,1,p",
                         "serial:/dev/ttyS0?baud=19200+bits=8+parity=none+flow=dtrdsr+stop=1+"
                         "blocksize=512"},
        UriWithValueCase{"missing options appended", "serial:/dev/ttyS0?stop=2", "9600,e,7,1,x",
                         "serial:/dev/ttyS0?stop=2+baud=9600+bits=7+parity=even+flow=soft"},
        UriWithValueCase{"no options", "serial:/dev/ttyS0", "38400,o,7,1,p",
                         "serial:/dev/ttyS0?baud=38400+bits=7+parity=odd+flow=dtrdsr"},
        UriWithValueCase{"ampersands and case kept", "serial:/dev/ttyS2?BAUD=2400&x&Flow=none",
                         "4800,n,8,1,x",
                         "serial:/dev/ttyS2?BAUD=4800&x&Flow=soft&bits=8&parity=none"},
        UriWithValueCase{"not a serial uri", "usb://ZOT/KR-500", "9600,n,8,1,x", std::nullopt}));

TEST(SerialDevicePath, FromUriOrPath) {
    EXPECT_EQ(SerialDevicePath("serial:/dev/ttyS0?baud=9600"), "/dev/ttyS0");
    EXPECT_EQ(SerialDevicePath("serial:///dev/ttyUSB1"), "/dev/ttyUSB1");
    EXPECT_EQ(SerialDevicePath("/dev/ttyS3"), "/dev/ttyS3");
    EXPECT_EQ(SerialDevicePath("serial:"), std::nullopt);
    EXPECT_EQ(SerialDevicePath("COM3"), std::nullopt);
    EXPECT_EQ(SerialDevicePath("usb://ZOT/KR-500"), std::nullopt);
}

}  // namespace
}  // namespace kestrel
