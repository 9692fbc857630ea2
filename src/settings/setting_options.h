// The label and option list behind every byte of the settings record. The stored value is the
// position of the option in its list, so the order of each list is binding: the printer gets the
// position, never the text.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace kestrel {

enum class SettingsPage { MemorySwitch = 200, CustomizeValue = 201, Other = 202 };

struct SettingDescription {
    std::size_t offset;
    std::string_view label;
    SettingsPage page;
    int control;  // dialog control id on its page; 0 where the page builds the row itself
    std::span<const std::string_view> options;  // empty for the cut adjustment
};

// Every setting in record order (bytes 34-35 are one entry, byte 37 has none).
std::span<const SettingDescription> AllSettings();

// Finds a setting by its label, ignoring letter case.
const SettingDescription* FindSetting(std::string_view label);

// The option text of a stored index, or nothing when the index is past the list's end.
std::optional<std::string_view> OptionText(const SettingDescription& setting, unsigned index);

}  // namespace kestrel
