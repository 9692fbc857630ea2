#include "platform/cups/termios_serial_line.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <utility>

#include "printer/device_uri.h"

namespace kestrel {
namespace {

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

constexpr std::array<std::pair<std::uint32_t, speed_t>, 7> kSpeeds{{
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
}};

Fd OpenDevice(const std::string& device) {
    const auto path = SerialDevicePath(device);
    if (!path) {
        return Fd(-1);
    }
    // Non-blocking so that a line without carrier does not hang the program here.
    return Fd(::open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
}

}  // namespace

std::optional<SerialControl> TermiosSerialLine::readControl(const std::string& device) {
    const Fd fd = OpenDevice(device);
    termios tio{};
    if (!fd.valid() || ::tcgetattr(fd.get(), &tio) != 0) {
        return std::nullopt;
    }
    SerialControl control;
    const speed_t speed = ::cfgetospeed(&tio);
    for (const auto& [rate, code] : kSpeeds) {
        if (code == speed) {
            control.baudRate = rate;
        }
    }
    control.byteSize = (tio.c_cflag & CSIZE) == CS7 ? 7 : 8;
    if ((tio.c_cflag & PARENB) == 0) {
        control.parity = SerialParity::None;
    } else {
        control.parity = (tio.c_cflag & PARODD) != 0 ? SerialParity::Odd : SerialParity::Even;
    }
    control.dsrOutputFlow = false;
    control.xonXoffOutput = (tio.c_iflag & IXON) != 0;
    control.xonXoffInput = (tio.c_iflag & IXOFF) != 0;
    return control;
}

bool TermiosSerialLine::writeControl(const std::string& device, const SerialControl& control) {
    const Fd fd = OpenDevice(device);
    termios tio{};
    if (!fd.valid() || ::tcgetattr(fd.get(), &tio) != 0) {
        return false;
    }
    for (const auto& [rate, code] : kSpeeds) {
        if (rate == control.baudRate) {
            ::cfsetispeed(&tio, code);
            ::cfsetospeed(&tio, code);
        }
    }
    if (control.byteSize == 7 || control.byteSize == 8) {
        tio.c_cflag = (tio.c_cflag & ~CSIZE) | (control.byteSize == 7 ? CS7 : CS8);
    }
    switch (control.parity) {
        case SerialParity::None:
            tio.c_cflag &= ~(PARENB | PARODD);
            break;
        case SerialParity::Even:
            tio.c_cflag = (tio.c_cflag | PARENB) & ~PARODD;
            break;
        case SerialParity::Odd:
            tio.c_cflag |= PARENB | PARODD;
            break;
    }
    tio.c_iflag = control.xonXoffOutput ? (tio.c_iflag | IXON) : (tio.c_iflag & ~IXON);
    tio.c_iflag = control.xonXoffInput ? (tio.c_iflag | IXOFF) : (tio.c_iflag & ~IXOFF);
    return ::tcsetattr(fd.get(), TCSANOW, &tio) == 0;
}

}  // namespace kestrel
