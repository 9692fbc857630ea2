// What the three settings pages show for the printer in use: which setting stands in which row,
// which rows are greyed out or hidden, how many options a list offers, and how the black mark cut
// adjustment edit turns typed text into tenths of a millimetre and back. The pages only apply
// these rules to their widgets.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/profile_state.h"
#include "settings/setting_options.h"
#include "settings/settings_record.h"

namespace kestrel {

// The tab captions, blanks included: the tab control draws them as they are.
inline constexpr std::array<std::string_view, 3> kPageCaptions{
    " Memory Switch  ", "Customize Value", "     Other     "};

// The page behind a tab index (0, 1, 2).
SettingsPage PageAtIndex(int index);

struct PageRow {
    const SettingDescription* setting;  // the record byte(s) the row edits
    int labelId;                        // the label control of the row's position
    int tipId;                          // the setting's own tooltip, whichever row it stands in
    std::size_t optionCount;            // options offered, from the start of the setting's list
    bool enabled = true;
    bool visible = true;

    bool isCutAdjustment() const { return setting->offset == offset::BmCutAdjustment; }
};

// The rows of a page from top to bottom for the profile in force and the selected printer's
// mechanism id (16-21, 240 for any other printer).
std::vector<PageRow> PageRows(SettingsPage page, const ProfileState& profile,
                              std::uint32_t mechanismId);

// The range text beside the cut adjustment edit.
inline constexpr std::string_view kCutAdjustmentRangeText = "[-34 ... 250]mm";
// Longest text the edit takes (with the Egypt variant, the only one that shows it).
inline constexpr int kCutAdjustmentMaxLength = 5;
// The up-down control's position is the value in tenths + 2500, so 0 to 5000.
inline constexpr int kUpDownOffset = 2500;
inline constexpr int kUpDownMax = 5000;

struct FilteredText {
    std::string text;
    int selectionStart;
    int selectionEnd;
};

// The edit's text filter: of the first five characters keeps, left to right, digits before any
// decimal point, one decimal point, one digit after it, and a minus sign in the first position.
// The selection moves one place to the left (not below 0) for every character dropped.
FilteredText FilterCutAdjustmentText(std::string_view text, int selectionStart, int selectionEnd);

// The edit's text as a decimal number in tenths, truncated toward zero and clamped to -340..2500;
// an empty or non-numeric text gives 0.
std::int16_t CutAdjustmentFromText(std::string_view text);

// Tenths of a millimetre as the edit shows them: one decimal ("12.0", "-0.5").
std::string FormatCutAdjustment(std::int16_t tenths);

int UpDownPositionOf(std::int16_t tenths);
std::int16_t CutAdjustmentFromUpDown(int position);

// A list with no selection hands back 255.
inline constexpr std::uint8_t kNoSelection = 255;

// The tooltip of a frame button (1000-1002) or a page label (11xx, 12xx, 13xx); none for others.
std::optional<std::string_view> ToolTipText(int id);

inline constexpr int kToolTipDisplayMs = 30000;
inline constexpr int kToolTipMaxWidthPx = 400;

}  // namespace kestrel
