#include "printer/serial_line_value.h"

#include <array>
#include <string>
#include <vector>

#include "settings/setting_encoder.h"

namespace kestrel {
namespace {

constexpr std::array<std::uint32_t, 7> kBaudRates{2400, 4800, 9600, 19200, 38400, 57600, 115200};
constexpr std::array<std::string_view, 3> kParityTexts{"n", "e", "o"};
constexpr std::array<std::string_view, 2> kDataBitsTexts{"7", "8"};
constexpr std::array<std::string_view, 2> kFlowTexts{"p", "x"};

constexpr std::uint32_t kBaud115200 = 6;
constexpr std::uint32_t kEightBits = 1;

std::vector<std::string_view> NonEmptyRuns(std::string_view value) {
    std::vector<std::string_view> runs;
    std::size_t pos = 0;
    while (pos < value.size()) {
        const std::size_t comma = value.find(',', pos);
        const std::size_t end = comma == std::string_view::npos ? value.size() : comma;
        if (end > pos) {
            runs.push_back(value.substr(pos, end - pos));
        }
        pos = end + 1;
    }
    return runs;
}

template <std::size_t N>
std::optional<std::uint32_t> IndexOf(const std::array<std::string_view, N>& table,
                                     std::string_view text) {
    for (std::size_t i = 0; i < N; ++i) {
        if (table[i] == text) {
            return static_cast<std::uint32_t>(i);
        }
    }
    return std::nullopt;
}

template <std::size_t N>
std::string_view TextOf(const std::array<std::string_view, N>& table, std::uint32_t code) {
    return code < N ? table[code] : std::string_view{};
}

}  // namespace

std::optional<std::uint32_t> FormatCodeFor(std::uint32_t dataBitsCode, std::uint32_t parityCode) {
    for (std::uint8_t format = 0; format < kFormatCount; ++format) {
        const FormatCodes codes = FormatToCodes(format);
        if (codes.dataBitsCode == dataBitsCode && codes.parityCode == parityCode) {
            return format;
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> BaudIndexOf(std::string_view text) {
    for (std::uint32_t i = 0; i < kBaudRates.size(); ++i) {
        if (std::to_string(kBaudRates[i]) == text) {
            return i;
        }
    }
    return std::nullopt;
}

void ReadSerialLineValue(std::string_view value, HostPortSettings& hostPort) {
    if (value.size() >= kSerialLineValueBuffer) {
        value = value.substr(0, kSerialLineValueBuffer - 1);
    }
    const auto runs = NonEmptyRuns(value);
    const auto run = [&](std::size_t i) { return i < runs.size() ? runs[i] : std::string_view{}; };
    // Runs: baud, parity, data bits, stop bits (not used), flow control.
    hostPort.baudIndex = BaudIndexOf(run(0)).value_or(kBaud115200);
    hostPort.parityCode = IndexOf(kParityTexts, run(1)).value_or(0);
    hostPort.dataBitsCode = run(2) == "7" ? 0 : kEightBits;
    hostPort.flowCode = run(4) == "x" ? 1 : 0;
    if (const auto format = FormatCodeFor(hostPort.dataBitsCode, hostPort.parityCode)) {
        hostPort.formatCode = *format;
    }
}

void ReadHostPortForEntry(ConnectionStatus status, const std::optional<std::string>& value,
                          HostPortSettings& hostPort) {
    if (status == ConnectionStatus::Serial) {
        ReadSerialLineValue(value ? std::string_view(*value) : kMissingSerialLineValue, hostPort);
        return;
    }
    hostPort.baudIndex = kBaud115200;
    hostPort.dataBitsCode = kEightBits;
    hostPort.parityCode = 0;
    hostPort.flowCode = 0;
    if (const auto format = FormatCodeFor(hostPort.dataBitsCode, hostPort.parityCode)) {
        hostPort.formatCode = *format;
    }
}

std::string FormatSerialLineValue(const HostPortSettings& hostPort) {
    std::string value;
    if (const auto rate = BaudRateOfIndex(hostPort.baudIndex)) {
        value += std::to_string(*rate);
    }
    value += ',';
    value += TextOf(kParityTexts, hostPort.parityCode);
    value += ',';
    value += TextOf(kDataBitsTexts, hostPort.dataBitsCode);
    value += ",1,";
    value += TextOf(kFlowTexts, hostPort.flowCode);
    return value;
}

std::optional<std::uint32_t> BaudRateOfIndex(std::uint32_t baudIndex) {
    if (baudIndex < kBaudRates.size()) {
        return kBaudRates[baudIndex];
    }
    return std::nullopt;
}

void ApplyHostPortToControl(const HostPortSettings& hostPort, SerialControl& control) {
    if (const auto rate = BaudRateOfIndex(hostPort.baudIndex)) {
        control.baudRate = *rate;
    }
    if (hostPort.dataBitsCode <= 1) {
        control.byteSize = hostPort.dataBitsCode == 0 ? 7 : 8;
    }
    switch (hostPort.parityCode) {
        case 0:
            control.parity = SerialParity::None;
            break;
        case 1:
            control.parity = SerialParity::Even;
            break;
        case 2:
            control.parity = SerialParity::Odd;
            break;
        default:
            break;
    }
    if (hostPort.flowCode == 0) {
        control.dsrOutputFlow = true;
        control.xonXoffOutput = false;
        control.xonXoffInput = false;
    } else if (hostPort.flowCode == 1) {
        control.dsrOutputFlow = false;
        control.xonXoffOutput = true;
        control.xonXoffInput = true;
    }
}

}  // namespace kestrel
