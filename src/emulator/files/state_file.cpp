#include "emulator/files/state_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace kestrel::emulator {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kFormat = "kestrel virtual printer 1";

struct Refused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string Hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(bytes.size() * 2, '0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text[2 * i] = kDigits[bytes[i] >> 4];
        text[2 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::vector<std::uint8_t> BytesFromHex(const std::string& text) {
    if (text.size() % 2 != 0) {
        throw Refused("a logo plane of an odd number of hex digits");
    }
    std::vector<std::uint8_t> bytes(text.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = HexDigit(text[2 * i]);
        const int low = HexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            throw Refused("a logo plane that is not hex digits");
        }
        bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return bytes;
}

const char* ParityName(Parity parity) {
    switch (parity) {
        case Parity::Odd:
            return "odd";
        case Parity::Even:
            return "even";
        default:
            return "none";
    }
}

Json ValuesToJson(const SetupValues& v) {
    Json switches = Json::object();
    for (std::size_t i = 0; i < kSwitchNumbers.size(); ++i) {
        std::string bits;
        for (int bit = 8; bit >= 1; --bit) {
            bits += (v.switches[i] >> (bit - 1) & 1) != 0 ? '1' : '0';
        }
        switches[Hex2(static_cast<unsigned>(kSwitchNumbers[i]))] = bits;
    }
    Json customize = Json::object();
    for (std::size_t i = 0; i < kCustomizeNumbers.size(); ++i) {
        customize[Hex2(static_cast<unsigned>(kCustomizeNumbers[i]))] = v.customize[i];
    }
    return Json{{"switches", switches},
                {"customize", customize},
                {"serial",
                 {{"baud", v.serial.baud},
                  {"dataBits", v.serial.dataBits},
                  {"parity", ParityName(v.serial.parity)},
                  {"flow", v.serial.flow == FlowControl::XonXoff ? "XON/XOFF" : "DSR/DTR"}}}};
}

const Json& Member(const Json& object, const char* name) {
    if (!object.is_object() || !object.contains(name)) {
        throw Refused(std::string("no \"") + name + "\"");
    }
    return object.at(name);
}

std::int64_t Integer(const Json& object, const char* name, std::int64_t low, std::int64_t high) {
    const Json& value = Member(object, name);
    if (!value.is_number_integer() || value.get<std::int64_t>() < low ||
        value.get<std::int64_t>() > high) {
        throw Refused(std::string("\"") + name + "\" is not a whole number from " +
                      std::to_string(low) + " to " + std::to_string(high));
    }
    return value.get<std::int64_t>();
}

std::string Text(const Json& object, const char* name) {
    const Json& value = Member(object, name);
    if (!value.is_string()) {
        throw Refused(std::string("\"") + name + "\" is not a text");
    }
    return value.get<std::string>();
}

SetupValues ValuesFromJson(const Json& json) {
    SetupValues v;
    const Json& switches = Member(json, "switches");
    for (std::size_t i = 0; i < kSwitchNumbers.size(); ++i) {
        const std::string name = Hex2(static_cast<unsigned>(kSwitchNumbers[i]));
        const std::string bits = Text(switches, name.c_str());
        if (bits.size() != 8 || bits.find_first_not_of("01") != std::string::npos) {
            throw Refused("switch " + name + " is not eight '0' or '1'");
        }
        for (const char c : bits) {
            v.switches[i] = static_cast<std::uint8_t>(v.switches[i] << 1 | (c == '1' ? 1 : 0));
        }
    }
    const Json& customize = Member(json, "customize");
    for (std::size_t i = 0; i < kCustomizeNumbers.size(); ++i) {
        const std::string name = Hex2(static_cast<unsigned>(kCustomizeNumbers[i]));
        const auto value =
            static_cast<std::int16_t>(Integer(customize, name.c_str(), -32768, 32767));
        if (!CustomizeValueAccepted(kCustomizeNumbers[i], value)) {
            throw Refused("customize value " + name + " cannot be " + std::to_string(value));
        }
        v.customize[i] = value;
    }
    const Json& serial = Member(json, "serial");
    v.serial.baud = static_cast<std::uint32_t>(Integer(serial, "baud", 0, 115200));
    if (std::ranges::find(kBaudRates, v.serial.baud) == kBaudRates.end()) {
        throw Refused("no baud rate " + std::to_string(v.serial.baud));
    }
    v.serial.dataBits = static_cast<std::uint8_t>(Integer(serial, "dataBits", 7, 8));
    const std::string parity = Text(serial, "parity");
    if (parity == "none") {
        v.serial.parity = Parity::None;
    } else if (parity == "odd") {
        v.serial.parity = Parity::Odd;
    } else if (parity == "even") {
        v.serial.parity = Parity::Even;
    } else {
        throw Refused("no parity \"" + parity + "\"");
    }
    const std::string flow = Text(serial, "flow");
    if (flow != "DSR/DTR" && flow != "XON/XOFF") {
        throw Refused("no flow control \"" + flow + "\"");
    }
    v.serial.flow = flow == "XON/XOFF" ? FlowControl::XonXoff : FlowControl::DsrDtr;
    return v;
}

KeyCode KeyFromText(const std::string& text) {
    unsigned kc1 = 0;
    unsigned kc2 = 0;
    char end = 0;
    if (text.size() != 5 || std::sscanf(text.c_str(), "%2X %2X%c", &kc1, &kc2, &end) != 2 ||
        kc1 < 0x20 || kc1 > 0x7E || kc2 < 0x20 || kc2 > 0x7E) {
        throw Refused("no key code \"" + text + "\"");
    }
    return {static_cast<std::uint8_t>(kc1), static_cast<std::uint8_t>(kc2)};
}

PrinterState StateFromJson(const Json& json) {
    if (Text(json, "format") != kFormat) {
        throw Refused("not a state this program writes");
    }
    PrinterState state;
    state.mechanismId = static_cast<std::uint32_t>(Integer(json, "mechanismId", 0, 255));
    state.jobsReceived = static_cast<std::uint64_t>(Integer(json, "jobsReceived", 0, INT64_MAX));
    state.settings = ValuesFromJson(Member(json, "settings"));
    if (const Json& pending = Member(json, "pending"); !pending.is_null()) {
        state.pending = ValuesFromJson(pending);
    }
    const Json& graphics = Member(json, "graphics");
    if (!graphics.is_array()) {
        throw Refused("\"graphics\" is not a list");
    }
    for (const Json& g : graphics) {
        const KeyCode key = KeyFromText(Text(g, "key"));
        NvGraphic graphic;
        graphic.width = static_cast<std::uint16_t>(Integer(g, "width", 1, 65535));
        graphic.height = static_cast<std::uint16_t>(Integer(g, "height", 1, 65535));
        const Json& planes = Member(g, "planes");
        if (!planes.is_array() || planes.size() != 2) {
            throw Refused("a logo without its two planes");
        }
        for (std::size_t i = 0; i < 2; ++i) {
            if (!planes[i].is_string()) {
                throw Refused("a logo plane that is not a text");
            }
            graphic.planes[i] = BytesFromHex(planes[i].get<std::string>());
            if (!graphic.planes[i].empty() &&
                graphic.planes[i].size() != graphic.bytesPerRow() * graphic.height) {
                throw Refused("a logo plane of the wrong size under key " + Text(g, "key"));
            }
        }
        if (graphic.planeCount() == 0 || !state.graphics.emplace(key, std::move(graphic)).second) {
            throw Refused("key " + Text(g, "key") + " without dots, or twice");
        }
    }
    const Json& errors = Member(json, "lastErrors");
    if (!errors.is_array() || errors.size() > kKeptErrors) {
        throw Refused("\"lastErrors\" is not a list of at most " + std::to_string(kKeptErrors));
    }
    for (const Json& e : errors) {
        StreamError error;
        error.offset = static_cast<std::size_t>(Integer(e, "offset", 0, INT64_MAX));
        error.message = Text(e, "message");
        error.cause =
            Text(e, "cause") == "memory" ? StreamError::Cause::Memory : StreamError::Cause::Stream;
        state.lastErrors.push_back(std::move(error));
    }
    state.lastErrorCount = static_cast<std::size_t>(
        Integer(json, "lastErrorCount", static_cast<std::int64_t>(errors.size()), INT64_MAX));
    return state;
}

}  // namespace

Json StateToJson(const PrinterState& state) {
    Json graphics = Json::array();
    for (const auto& [key, g] : state.graphics) {
        graphics.push_back({{"key", Hex2(key.kc1) + " " + Hex2(key.kc2)},
                            {"width", g.width},
                            {"height", g.height},
                            {"planes", {HexBytes(g.planes[0]), HexBytes(g.planes[1])}}});
    }
    Json errors = Json::array();
    for (const StreamError& e : state.lastErrors) {
        errors.push_back({{"offset", e.offset},
                          {"message", e.message},
                          {"cause", e.cause == StreamError::Cause::Memory ? "memory" : "stream"}});
    }
    return Json{{"format", kFormat},
                {"mechanismId", state.mechanismId},
                {"model", ModelName(state.mechanismId)},
                {"jobsReceived", state.jobsReceived},
                {"userSetupMode", state.inUserSetupMode()},
                {"settings", ValuesToJson(state.settings)},
                {"pending", state.pending ? ValuesToJson(*state.pending) : Json()},
                {"graphics", graphics},
                {"lastErrors", errors},
                {"lastErrorCount", state.lastErrorCount}};
}

std::string StateToText(const PrinterState& state) {
    return StateToJson(state).dump(2) + "\n";
}

std::optional<PrinterState> StateFromText(std::string_view text, std::string& why) {
    const Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded()) {
        why = "not JSON";
        return std::nullopt;
    }
    try {
        return StateFromJson(json);
    } catch (const Refused& e) {
        why = e.what();
    } catch (const nlohmann::json::exception& e) {
        why = e.what();
    }
    return std::nullopt;
}

}  // namespace kestrel::emulator
