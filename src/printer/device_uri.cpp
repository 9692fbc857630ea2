#include "printer/device_uri.h"

#include <array>
#include <vector>

#include "printer/serial_line_value.h"

namespace kestrel {
namespace {

constexpr std::string_view kSerialScheme = "serial:";

struct UriOption {
    std::string name;
    std::string value;
    bool hasValue = true;  // "name=value" rather than a bare "name"
};

struct SerialUri {
    std::string device;  // everything before '?'
    std::vector<UriOption> options;
    char separator = '+';
};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// The serial backend separates options with '+' or '&'.
std::optional<SerialUri> ParseSerialUri(std::string_view uri) {
    if (!uri.starts_with(kSerialScheme)) {
        return std::nullopt;
    }
    SerialUri parsed;
    const std::size_t query = uri.find('?');
    parsed.device = std::string(uri.substr(0, query));
    if (query == std::string_view::npos) {
        return parsed;
    }
    std::string_view rest = uri.substr(query + 1);
    if (const std::size_t sep = rest.find_first_of("+&"); sep != std::string_view::npos) {
        parsed.separator = rest[sep];
    }
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of("+&");
        const std::string_view item = rest.substr(0, end);
        if (!item.empty()) {
            const std::size_t eq = item.find('=');
            const bool hasValue = eq != std::string_view::npos;
            parsed.options.push_back({std::string(item.substr(0, eq)),
                                      hasValue ? std::string(item.substr(eq + 1)) : std::string(),
                                      hasValue});
        }
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
    return parsed;
}

const std::string* FindOption(const SerialUri& uri, std::string_view name) {
    for (const auto& option : uri.options) {
        if (EqualNoCase(option.name, name)) {
            return &option.value;
        }
    }
    return nullptr;
}

void SetOption(SerialUri& uri, std::string_view name, std::string value) {
    for (auto& option : uri.options) {
        if (EqualNoCase(option.name, name)) {
            option.value = std::move(value);
            option.hasValue = true;
            return;
        }
    }
    uri.options.push_back({std::string(name), std::move(value), true});
}

}  // namespace

PortKind PortKindFromDeviceUri(std::string_view uri) {
    if (uri.empty()) {
        return PortKind::Network;
    }
    const std::size_t colon = uri.find(':');
    if (colon == std::string_view::npos) {
        return PortKind::NotCorresponded;
    }
    const std::string_view scheme = uri.substr(0, colon);
    // The virtual KR printer of the kestrel-printer backend is driven as a printer on USB: a
    // local port with no line settings to follow.
    if (scheme == "usb" || scheme == "kestrel-printer") {
        return PortKind::Usb;
    }
    if (scheme == "parallel") {
        return PortKind::Parallel;
    }
    if (scheme == "serial") {
        return PortKind::Serial;
    }
    if (scheme == "file") {
        return PortKind::File;
    }
    constexpr std::array<std::string_view, 8> kNetwork{"socket", "ipp", "ipps", "http",
                                                       "https",  "lpd", "smb",  "dnssd"};
    for (const std::string_view net : kNetwork) {
        if (scheme == net) {
            return PortKind::Network;
        }
    }
    return PortKind::NotCorresponded;
}

std::optional<std::string> SerialDevicePath(std::string_view port) {
    if (port.starts_with('/')) {
        return std::string(port);
    }
    const auto uri = ParseSerialUri(port);
    if (!uri) {
        return std::nullopt;
    }
    std::string_view path = std::string_view(uri->device).substr(kSerialScheme.size());
    while (path.starts_with("//")) {
        path.remove_prefix(1);  // serial:///dev/ttyS0
    }
    if (path.empty()) {
        return std::nullopt;
    }
    return std::string(path);
}

std::optional<std::string> SerialLineValueFromDeviceUri(std::string_view uri) {
    const auto parsed = ParseSerialUri(uri);
    if (!parsed) {
        return std::nullopt;
    }
    const auto option = [&](std::string_view name) -> std::string_view {
        const std::string* v = FindOption(*parsed, name);
        return v ? std::string_view(*v) : std::string_view{};
    };
    // Only a number is taken for a numeric field: a comma in an option would shift the later
    // fields of the value and lose the line's flow control.
    const auto number = [&](std::string_view name, std::string_view missing) {
        const std::string_view v = option(name);
        return v.empty() || v.find_first_not_of("0123456789") != std::string_view::npos ? missing
                                                                                        : v;
    };
    std::string value;
    value += number("baud", "115200");
    value += ',';
    const std::string_view parity = option("parity");
    value += EqualNoCase(parity, "even") ? "e" : EqualNoCase(parity, "odd") ? "o" : "n";
    value += ',';
    value += option("bits") == "7" ? "7" : "8";
    value += ',';
    value += number("stop", "1");
    value += ',';
    value += EqualNoCase(option("flow"), "soft") ? "x" : "p";
    return value;
}

std::optional<std::string> DeviceUriWithSerialLineValue(std::string_view uri,
                                                        std::string_view value) {
    auto parsed = ParseSerialUri(uri);
    if (!parsed) {
        return std::nullopt;
    }
    HostPortSettings line;
    ReadSerialLineValue(value, line);
    if (const auto rate = BaudRateOfIndex(line.baudIndex)) {
        SetOption(*parsed, "baud", std::to_string(*rate));
    }
    SetOption(*parsed, "bits", line.dataBitsCode == 0 ? "7" : "8");
    constexpr std::array<std::string_view, 3> kParity{"none", "even", "odd"};
    SetOption(*parsed, "parity", std::string(kParity.at(line.parityCode)));
    SetOption(*parsed, "flow", line.flowCode == 1 ? "soft" : "dtrdsr");
    std::string out = parsed->device;
    for (std::size_t i = 0; i < parsed->options.size(); ++i) {
        out += i == 0 ? '?' : parsed->separator;
        out += parsed->options[i].name;
        if (parsed->options[i].hasValue) {
            out += '=';
            out += parsed->options[i].value;
        }
    }
    return out;
}

}  // namespace kestrel
