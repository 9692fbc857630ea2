#include "emulator/printer_state.h"

#include <algorithm>

#include "emulator/kr_printer.h"
#include "printer/printer_entry.h"
#include "settings/factory_defaults.h"
#include "settings/setting_encoder.h"

namespace kestrel::emulator {

std::optional<std::size_t> SwitchSlot(std::uint8_t number) {
    const auto it = std::ranges::find(kSwitchNumbers, static_cast<SwitchNumber>(number));
    if (it == kSwitchNumbers.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - kSwitchNumbers.begin());
}

std::optional<std::size_t> CustomizeSlot(std::uint8_t number) {
    const auto it = std::ranges::find(kCustomizeNumbers, static_cast<CustomizeNumber>(number));
    if (it == kCustomizeNumbers.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(it - kCustomizeNumbers.begin());
}

bool CustomizeValueAccepted(CustomizeNumber number, std::int16_t value) {
    const auto within = [&](int low, int high) { return value >= low && value <= high; };
    switch (number) {
        case CustomizeNumber::UserNvMemory:
            return within(1, 4);
        case CustomizeNumber::NvGraphicMemory:
            return within(1, 7);
        case CustomizeNumber::PaperColumns:
            return std::ranges::find(kPaperColumns, value) != kPaperColumns.end();
        case CustomizeNumber::PrintDensity:
        case CustomizeNumber::BkDensity:
            return within(-6, 6);
        case CustomizeNumber::MaxSpeed:
            return within(1, 11);
        case CustomizeNumber::LowPower:
            return within(0, 2);
        case CustomizeNumber::PrintColor:
            return value == 0x0001 ||
                   value == 0x0101;  // low byte 1, high byte the colour count - 1
        case CustomizeNumber::BmCutAdjustment:
            return within(-340, 2500);
    }
    return false;
}

std::uint8_t SetupValues::switchByte(SwitchNumber number) const {
    return switches.at(*SwitchSlot(static_cast<std::uint8_t>(number)));
}

std::int16_t SetupValues::value(CustomizeNumber number) const {
    return customize.at(*CustomizeSlot(static_cast<std::uint8_t>(number)));
}

void SetupValues::setValue(CustomizeNumber number, std::int16_t v) {
    customize.at(*CustomizeSlot(static_cast<std::uint8_t>(number))) = v;
}

std::size_t NvGraphic::planeCount() const {
    return static_cast<std::size_t>(
        std::ranges::count_if(planes, [](const auto& p) { return !p.empty(); }));
}

std::size_t PrinterState::graphicsCapacity() const {
    const int blocks = settings.value(CustomizeNumber::NvGraphicMemory) - 1;
    return blocks > 0 ? static_cast<std::size_t>(blocks) * 64 * 1024 : 0;
}

std::size_t PrinterState::graphicsUsed() const {
    std::size_t used = 0;
    for (const auto& [key, graphic] : graphics) {
        used += graphic.storedBytes();
    }
    return used;
}

PrinterState FactoryPrinterState(std::uint32_t mechanismId) {
    // The factory writes the model's defaults the way the program sends them: one user-setup
    // stream with every value, paper width included.
    const auto mechanismIndex =
        mechanismId >= mechanism::Standard && mechanismId <= mechanism::KR500
            ? static_cast<MechanismIndex>(mechanismId - mechanism::Standard)
            : MechanismIndex::STANDARD;
    const SettingsRecord& defaults = FactoryDefaultRecord(SpecIndex::OVERSEA, mechanismIndex);
    const auto stream = BuildSettingStream(SettingJobKind::SendSettings, defaults, ProfileState{},
                                           HostPortSettings{});
    PrinterState blank;
    blank.mechanismId = mechanismId;
    KrPrinter printer(std::move(blank));
    printer.receive(stream);
    PrinterState state = printer.takeState();
    state.jobsReceived = 0;
    return state;
}

std::string ModelName(std::uint32_t mechanismId) {
    switch (mechanismId) {
        case mechanism::Standard:
        case mechanism::BlackMark:
        case mechanism::FullCut:
        case mechanism::BlackMarkFullCut:
            return "KR-900";
        case mechanism::KR700:
            return "KR-700";
        case mechanism::KR500:
            return "KR-500";
        default:
            return "unknown model";
    }
}

}  // namespace kestrel::emulator
