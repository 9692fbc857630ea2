#include "settings/page_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace kestrel {
namespace {

struct Variant {
    const char* name;
    ProfileState profile;
    std::uint32_t mechanismId;
    std::size_t maxSpeedOptions;
    std::string disabled;  // labels of rows greyed out, all three pages, joined by '|'
    std::string hidden;
    std::string firstRowAfterPneDetect;
};

ProfileState Profile(SpecIndex spec, bool egypt = false, bool taiwan = false) {
    ProfileState p;
    p.specIndex = spec;
    p.egypt = egypt;
    p.taiwan = taiwan;
    return p;
}

std::set<std::string> Labels(const std::string& joined) {
    std::set<std::string> out;
    for (std::size_t at = 0; at < joined.size();) {
        const std::size_t bar = std::min(joined.find('|', at), joined.size());
        out.insert(joined.substr(at, bar - at));
        at = bar + 1;
    }
    return out;
}

constexpr auto S0 = SpecIndex::OVERSEA;
// clang-format off
const Variant kVariants[] = {
    {"KR500", Profile(S0), mechanism::KR500, 4, "BM Check at Power-on|Error|PNE Detect|BM Sensor|BM Check with Cut|Buzzer|BM Cut Adjustment", "Font|BM Cut Adjustment", "Font-B"},
    {"KR700Egypt", Profile(S0, true), mechanism::KR700, 7, "Error", "Font", "Font-B"},
    {"KR900FullCutTaiwan", Profile(S0, false, true), mechanism::FullCut, 11, "BM Check at Power-on|Error|BM Sensor|BM Check with Cut|BM Cut Adjustment", "Font|BM Cut Adjustment", "Font-B"},
    {"KR900Standard", Profile(S0), mechanism::Standard, 9, "BM Check at Power-on|Error|Cutter Mode|BM Sensor|BM Check with Cut|BM Cut Adjustment", "Font|BM Cut Adjustment", "Font-B"},
    {"Spec2BlackMark", Profile(SpecIndex::QWB), mechanism::BlackMark, 9, "Error|Cutter Mode|BM Cut Adjustment", "Font-B|BM Cut Adjustment", "Batch (COM IF)"},
};
// clang-format on

class PageRulesTest : public ::testing::TestWithParam<Variant> {};

TEST_P(PageRulesTest, RowsFollowModelAndRegion) {
    const Variant& v = GetParam();
    std::set<std::string> disabled, hidden;
    for (const SettingsPage page :
         {SettingsPage::MemorySwitch, SettingsPage::CustomizeValue, SettingsPage::Other}) {
        const auto rows = PageRows(page, v.profile, v.mechanismId);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const PageRow& row = rows[i];
            const std::string label(row.setting->label);
            if (!row.enabled)
                disabled.insert(label);
            if (!row.visible)
                hidden.insert(label);
            if (row.setting->offset == offset::MaxSpeed) {
                EXPECT_EQ(row.optionCount, v.maxSpeedOptions);
            } else {
                EXPECT_EQ(row.optionCount, row.setting->options.size()) << label;
            }
            if (label == "PNE Detect") {
                EXPECT_EQ(rows.at(i + 1).setting->label, v.firstRowAfterPneDetect);
            }
        }
    }
    EXPECT_EQ(disabled, Labels(v.disabled));
    EXPECT_EQ(hidden, Labels(v.hidden));
}

INSTANTIATE_TEST_SUITE_P(Variants, PageRulesTest, ::testing::ValuesIn(kVariants),
                         [](const auto& info) { return std::string(info.param.name); });

// Moved rows keep their setting's tooltip; labels stand in id order on every page.
TEST(PageRules, OtherPageRowsShiftButTipsFollowTheirSetting) {
    const auto rows = PageRows(SettingsPage::Other, Profile(SpecIndex::QMRA), mechanism::FullCut);
    ASSERT_EQ(rows.size(), 13u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].labelId, 1301 + static_cast<int>(i));
    }
    EXPECT_EQ(rows[6].setting->offset, offset::BatchComIf);
    EXPECT_EQ(rows[6].tipId, 1308);
    EXPECT_EQ(rows[12].setting->offset, offset::FontB);
    EXPECT_EQ(rows[12].tipId, 1307);
    const auto memory = PageRows(SettingsPage::MemorySwitch, {}, mechanism::FullCut);
    EXPECT_EQ(memory[8].setting->label, "Cover Open Error");
    EXPECT_EQ(memory[9].labelId, 1110);
    for (const auto page :
         {SettingsPage::MemorySwitch, SettingsPage::CustomizeValue, SettingsPage::Other}) {
        for (const PageRow& row : PageRows(page, {}, mechanism::FullCut)) {
            EXPECT_TRUE(ToolTipText(row.tipId).has_value()) << row.tipId;
        }
    }
}

TEST(CutAdjustmentEdit, FilterKeepsANumberAndMovesTheCaret) {
    struct Case {
        const char* typed;
        int caret;
        const char* kept;
        int caretAfter;
    } const cases[] = {
        {"1a", 2, "1", 1},        {"12.34", 5, "12.3", 4},     {"-1-2", 4, "-12", 3},
        {"1-", 2, "1", 1},        {"1..2", 4, "1.2", 3},       {"x", 0, "", 0},
        {"250.0", 5, "250.0", 5}, {"12345678", 8, "12345", 5}, {"a1", 1, "1", 0},
    };
    for (const Case& c : cases) {
        const FilteredText out = FilterCutAdjustmentText(c.typed, c.caret, c.caret);
        EXPECT_EQ(out.text, c.kept) << c.typed;
        EXPECT_EQ(out.selectionStart, c.caretAfter) << c.typed;
        EXPECT_EQ(out.selectionEnd, c.caretAfter) << c.typed;
    }
    // Typing 1a2.34 a key at a time leaves 12.3.
    std::string text;
    int caret = 0;
    for (const char key : std::string("1a2.34")) {
        text += key;
        const FilteredText out = FilterCutAdjustmentText(text, caret + 1, caret + 1);
        text = out.text;
        caret = out.selectionStart;
    }
    EXPECT_EQ(text, "12.3");
    EXPECT_EQ(caret, 4);
}

TEST(CutAdjustmentEdit, TextToTenthsAndBack) {
    struct Case {
        const char* text;
        std::int16_t tenths;
    } const cases[] = {{"250.0", 2500}, {"-35", -340}, {"", 0},
                       {"-", 0},        {"abc", 0},    {"12.", 120},
                       {"12.39", 123},  {"-0.5", -5},  {"999999999999", 2500},
                       {" 7.2x", 72},   {"12./", 120}, {"12.a", 120},
                       {"5.", 50}};
    for (const Case& c : cases) {
        EXPECT_EQ(CutAdjustmentFromText(c.text), c.tenths) << c.text;
    }
    EXPECT_EQ(FormatCutAdjustment(-340), "-34.0");
    EXPECT_EQ(FormatCutAdjustment(-5), "-0.5");
    EXPECT_EQ(UpDownPositionOf(2500), 5000);
    EXPECT_EQ(CutAdjustmentFromUpDown(0), -340);
    EXPECT_EQ(CutAdjustmentFromUpDown(5000), 2500);
    // Showing and reading back never changes a value the page can hold.
    for (int t = kBmCutAdjustmentMin; t <= kBmCutAdjustmentMax; ++t) {
        const auto tenths = static_cast<std::int16_t>(t);
        ASSERT_EQ(CutAdjustmentFromText(FormatCutAdjustment(tenths)), tenths);
        ASSERT_EQ(CutAdjustmentFromUpDown(UpDownPositionOf(tenths)), tenths);
    }
}

}  // namespace
}  // namespace kestrel
