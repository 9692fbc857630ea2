// The settings pages' rows by model and region, the cut adjustment's field, and kestspec.ini.
#include "settings/page_rules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ports/testing/recording_ui.h"
#include "settings/profile.h"
#include "state/app_state.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

constexpr auto S0 = SpecIndex::OVERSEA;

ProfileState ProfileOf(SpecIndex spec, bool debug = false,
                       MechanismIndex mech = MechanismIndex::STANDARD, bool egypt = false,
                       bool taiwan = false) {
    return {spec, mech, egypt, taiwan, debug};
}

// Labels of rows greyed out and hidden, all three pages, joined by '|'.
TEST(PageRules, RowsFollowModelAndRegion) {
    const struct {
        ProfileState profile;
        std::uint32_t mechanismId;
        std::size_t maxSpeedOptions;
        std::string disabled, hidden, firstRowAfterPneDetect;
    } variants[] = {
        // clang-format off
        {ProfileOf(S0), mechanism::KR500, 4, "BM Check at Power-on|Error|PNE Detect|BM Sensor|BM Check with Cut|Buzzer|BM Cut Adjustment", "Font|BM Cut Adjustment", "Font-B"},
        {ProfileOf(S0, false, MechanismIndex::STANDARD, true), mechanism::KR700, 7, "Error", "Font", "Font-B"},
        {ProfileOf(S0, false, MechanismIndex::STANDARD, false, true), mechanism::FullCut, 11, "BM Check at Power-on|Error|BM Sensor|BM Check with Cut|BM Cut Adjustment", "Font|BM Cut Adjustment", "Font-B"},
        {ProfileOf(S0), mechanism::Standard, 9, "BM Check at Power-on|Error|Cutter Mode|BM Sensor|BM Check with Cut|BM Cut Adjustment", "Font|BM Cut Adjustment", "Font-B"},
        {ProfileOf(SpecIndex::QWB), mechanism::BlackMark, 9, "Error|Cutter Mode|BM Cut Adjustment", "Font-B|BM Cut Adjustment", "Batch (COM IF)"},
        // clang-format on
    };
    for (const auto& v : variants) {
        SCOPED_TRACE(v.mechanismId);
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
                EXPECT_EQ(row.optionCount, row.setting->offset == offset::MaxSpeed
                                               ? v.maxSpeedOptions
                                               : row.setting->options.size())
                    << label;
                if (label == "PNE Detect") {
                    EXPECT_EQ(rows.at(i + 1).setting->label, v.firstRowAfterPneDetect);
                }
            }
        }
        const auto labels = [](const std::string& joined) {
            const auto parts = testing::Split(joined);
            return std::set<std::string>(parts.begin(), parts.end());
        };
        EXPECT_EQ(disabled, labels(v.disabled));
        EXPECT_EQ(hidden, labels(v.hidden));
    }
}

// Moved rows keep their setting's tooltip and take the label of their place.
TEST(PageRules, OtherPageRowsShiftButTipsFollowTheirSetting) {
    const auto rows = PageRows(SettingsPage::Other, ProfileOf(SpecIndex::QMRA), mechanism::FullCut);
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(rows[12].labelId, 1313);
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
}

TEST(CutAdjustmentEdit, TextToTenthsAndBack) {
    struct Case {
        const char* text;
        std::int16_t tenths;
    } const cases[] = {{"250.0", 2500}, {"-35", -340},  {"", 0},      {"-", 0},
                       {"12.", 120},    {"12.39", 123}, {"-0.5", -5}, {"999999999999", 2500},
                       {" 7.2x", 72},   {"12./", 120}};
    for (const Case& c : cases) {
        EXPECT_EQ(CutAdjustmentFromText(c.text), c.tenths) << c.text;
    }
    EXPECT_EQ(FormatCutAdjustment(-340), "-34.0");
    EXPECT_EQ(FormatCutAdjustment(-5), "-0.5");
    EXPECT_EQ(UpDownPositionOf(2500), 5000);
    EXPECT_EQ(CutAdjustmentFromUpDown(0), -340);
    // Showing and reading back never changes a value the page can hold.
    for (int t = kBmCutAdjustmentMin; t <= kBmCutAdjustmentMax; ++t) {
        const auto tenths = static_cast<std::int16_t>(t);
        ASSERT_EQ(CutAdjustmentFromText(FormatCutAdjustment(tenths)), tenths);
        ASSERT_EQ(CutAdjustmentFromUpDown(UpDownPositionOf(tenths)), tenths);
    }
}

TEST(ProfileValue, ReadsLikeAPrivateProfile) {
    const std::pair<std::string, std::string> cases[] = {
        {"[SPEC]\nSPECKEY=QWB\n", "QWB"},
        {"[spec]\nSpecKey=QWB", "QWB"},  // section and key in any case
        {"  [SPEC]  \r\n\t SPECKEY  =  \t QWB  \r\n", "QWB"},
        {"[SPEC]\nSPECKEY=\"QWB\"\n", "QWB"},
        {"[SPEC]\nSPECKEY='QWB'\n", "QWB"},
        {"[SPEC]\nSPECKEY=\"QWB'\n", "\"QWB'"},
        {"[SPEC]\nSPECKEY=QWB ; note\n", "QWB ; note"},  // no inline comment
        {"[SPEC]\nSPECKEY=\n", ""},                      // an empty value is not the default
        {"[SPEC]\nSPECKEY=QMRA\nSPECKEY=QWB\n", "QMRA"},
        {"[SPEC]\nX=1\n[SPEC]\nSPECKEY=QWB\n", "DEF"},  // only the first section is searched
        {"SPECKEY=QWB\n[DEBUG]\nSPECKEY=QWB\n[SPEC]\nX=1\n", "DEF"},
        {"[SPEC]\n[MECH]\nSPECKEY=QWB\n", "DEF"},
        {"[SPEC]\n;SPECKEY=QWB\nSPECKEY\n", "DEF"},
        {"[SPEC]\nSPECKEY=" + std::string(100, 'A') + "\n", std::string(79, 'A')},
    };
    for (const auto& [contents, expected] : cases) {
        EXPECT_EQ(ReadProfileValue(contents, "SPEC", "SPECKEY", "DEF"), expected) << contents;
    }
}

constexpr auto kKept = MechanismIndex::KR500;  // debug off: the mechanism index is not read

// Each read starts over a state with mechanism KR500 and both region flags set.
TEST(Profile, SetsTheProfileState) {
    const std::pair<std::string, ProfileState> cases[] = {
        {"", ProfileOf(S0, false, kKept)},
        {"[SPEC]\nSPECKEY=qwb", ProfileOf(SpecIndex::QWB, false, kKept)},
        {"[SPEC]\nSPECKEY=STANDARD", ProfileOf(S0, false, kKept)},
        {"[debug]\ndebugmode=on\ndebugmech=blkmk_fcut",
         ProfileOf(S0, true, MechanismIndex::BLKMK_FCUT)},
        {"[DEBUG]\nDEBUGMODE=ON", ProfileOf(S0, true, MechanismIndex::STANDARD)},
        {"[DEBUG]\nDEBUGMODE=ON\nDEBUGMECH=KR900", ProfileOf(S0, true, MechanismIndex::STANDARD)},
        {"[DEBUG]\nDEBUGMODE=OFF\nDEBUGMECH=FULLCUT", ProfileOf(S0, false, kKept)},
        {"[MECH]\nMECHSPEC=EGYPT", ProfileOf(S0, false, kKept, true)},
        {"[MECH]\nMECHSPEC=taiwan", ProfileOf(S0, false, kKept, false, true)},
        {"[MECH]\nMECHSPEC=Egypt Taiwan", ProfileOf(S0, false, kKept)},
    };
    for (const auto& [contents, expected] : cases) {
        ProfileState profile = ProfileOf(SpecIndex::QDN, true, MechanismIndex::KR500, true, true);
        ReadProfile(profile, contents);
        EXPECT_EQ(profile, expected) << contents;
    }
}

// The file is read from the start-up folder. (A missing or unreadable one gives the defaults: see
// the storage file tests.)
TEST(Profile, DebugTextShownOnlyInDebugMode) {
    testing::ScratchFolder folder;
    AppState state;
    state.startupFolder = folder.path().string();
    testing::RecordingUserInterface ui;
    const std::string spec = "[SPEC]\nSPECKEY=QWB\n[DEBUG]\nDEBUGMECH=KR700\nDEBUGMODE=";
    std::ofstream(folder / "kestspec.ini") << spec + "OFF";
    ReadProfile(state);
    EXPECT_EQ(state.profile, ProfileOf(SpecIndex::QWB));
    ShowProfileDebugText(state, ui);
    EXPECT_TRUE(ui.boxes.empty());

    ReadProfile(state.profile, spec + "ON");
    ShowProfileDebugText(state, ui);
    ReadProfile(state.profile, "[SPEC]\nSPECKEY=OVERSEA2\n[DEBUG]\nDEBUGMODE=ON");
    ShowProfileDebugText(state, ui);
    EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{"SPEC = QWB[2] \nMECH = KR700[4]",
                                                       "SPEC = OVERSEA2[4] \nMECH = STANDARD[0]"}));
    const MessageBox& b = ui.boxes[0];
    EXPECT_EQ(std::tuple(b.style, static_cast<int>(b.icon), b.owner, b.buttons, b.caption),
              std::tuple(0x80u, 162, Owner::MainWindow, Buttons::Ok, "KESTREL"));
}

}  // namespace
}  // namespace kestrel
