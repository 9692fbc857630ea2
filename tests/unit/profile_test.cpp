#include "settings/profile.h"

#include <gtest/gtest.h>

#include "ports/testing/recording_ui.h"
#include "settings/factory_defaults.h"
#include "storage_test_support.h"

namespace kestrel {
namespace {

struct ValueCase {
    const char* name;
    std::string contents;
    std::string expected;  // for [SPEC] SPECKEY with default "DEF"
};

class ProfileValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ProfileValue, ReadsLikeAPrivateProfile) {
    const ValueCase& c = GetParam();
    EXPECT_EQ(ReadProfileValue(c.contents, "SPEC", "SPECKEY", "DEF"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileValue,
    ::testing::Values(
        ValueCase{"Plain", "[SPEC]\nSPECKEY=QWB\n", "QWB"},
        ValueCase{"SectionAndKeyAnyCase", "[spec]\nSpecKey=QWB", "QWB"},
        ValueCase{"BlanksAndCrLfTrimmed", "  [SPEC]  \r\n\t SPECKEY  =  \t QWB  \r\n", "QWB"},
        ValueCase{"EnclosingQuotesRemoved", "[SPEC]\nSPECKEY=\"QWB\"\n", "QWB"},
        ValueCase{"NoInlineComment", "[SPEC]\nSPECKEY=QWB ; note\n", "QWB ; note"},
        ValueCase{"EmptyValueIsNotDefault", "[SPEC]\nSPECKEY=\n", ""},
        ValueCase{"FirstKeyWins", "[SPEC]\nSPECKEY=QMRA\nSPECKEY=QWB\n", "QMRA"},
        ValueCase{"OnlyFirstSectionSearched", "[SPEC]\nX=1\n[SPEC]\nSPECKEY=QWB\n", "DEF"},
        ValueCase{"KeyInOtherSection", "[DEBUG]\nSPECKEY=QWB\n[SPEC]\nX=1\n", "DEF"},
        ValueCase{"KeyBeforeAnySection", "SPECKEY=QWB\n[SPEC]\n", "DEF"},
        ValueCase{"SectionEndsAtNextSection", "[SPEC]\n[MECH]\nSPECKEY=QWB\n", "DEF"},
        ValueCase{"CommentedKey", "[SPEC]\n;SPECKEY=QWB\n", "DEF"},
        ValueCase{"LineWithoutEquals", "[SPEC]\nSPECKEY\n", "DEF"},
        ValueCase{"EmptyFile", "", "DEF"},
        ValueCase{"CutTo79", "[SPEC]\nSPECKEY=" + std::string(100, 'A') + "\n",
                  std::string(79, 'A')},
        ValueCase{"Exactly79Kept", "[SPEC]\nSPECKEY=" + std::string(78, 'A') + "B\n",
                  std::string(78, 'A') + "B"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ProfileCase {
    const char* name;
    std::string contents;
    ProfileState expected;  // read over a state with mechanism KR500 and both region flags set
};

ProfileState Expect(SpecIndex spec, bool debug, MechanismIndex mech, bool egypt = false,
                    bool taiwan = false) {
    ProfileState p;
    p.specIndex = spec;
    p.debug = debug;
    p.mechanismIndex = mech;
    p.egypt = egypt;
    p.taiwan = taiwan;
    return p;
}

class ProfileTable : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(ProfileTable, SetsTheProfileState) {
    ProfileState profile = Expect(SpecIndex::QDN, true, MechanismIndex::KR500, true, true);
    ReadProfile(profile, GetParam().contents);
    EXPECT_EQ(profile, GetParam().expected);
}

constexpr auto S0 = SpecIndex::OVERSEA;
constexpr auto kKept = MechanismIndex::KR500;  // debug off: the mechanism index is not read

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileTable,
    ::testing::Values(
        ProfileCase{"NoFile", "", Expect(S0, false, kKept)},
        ProfileCase{"Qmra", "[SPEC]\nSPECKEY=QMRA", Expect(SpecIndex::QMRA, false, kKept)},
        ProfileCase{"QwbLowerCase", "[SPEC]\nSPECKEY=qwb", Expect(SpecIndex::QWB, false, kKept)},
        ProfileCase{"Qdn", "[SPEC]\nSPECKEY=QDN", Expect(SpecIndex::QDN, false, kKept)},
        ProfileCase{"Oversea2", "[SPEC]\nSPECKEY=Oversea2 ",
                    Expect(SpecIndex::OVERSEA2, false, kKept)},
        ProfileCase{"MechWordIsNoSpec", "[SPEC]\nSPECKEY=STANDARD", Expect(S0, false, kKept)},
        ProfileCase{"CutValueNoLongerAWord", "[SPEC]\nSPECKEY=QWB" + std::string(76, ' ') + "X",
                    Expect(S0, false, kKept)},
        ProfileCase{"DebugKr700", "[DEBUG]\nDEBUGMODE=ON\nDEBUGMECH=KR700",
                    Expect(S0, true, MechanismIndex::KR700)},
        ProfileCase{"DebugAnyCase", "[debug]\ndebugmode=on\ndebugmech=blkmk_fcut",
                    Expect(S0, true, MechanismIndex::BLKMK_FCUT)},
        ProfileCase{"DebugWithoutMech", "[DEBUG]\nDEBUGMODE=ON",
                    Expect(S0, true, MechanismIndex::STANDARD)},
        ProfileCase{"DebugUnknownMech", "[DEBUG]\nDEBUGMODE=ON\nDEBUGMECH=KR900",
                    Expect(S0, true, MechanismIndex::STANDARD)},
        ProfileCase{"DebugOffIgnoresMech", "[DEBUG]\nDEBUGMODE=OFF\nDEBUGMECH=FULLCUT",
                    Expect(S0, false, kKept)},
        ProfileCase{"EgyptCapitals", "[MECH]\nMECHSPEC=EGYPT", Expect(S0, false, kKept, true)},
        ProfileCase{"Taiwan", "[MECH]\nMECHSPEC=taiwan", Expect(S0, false, kKept, false, true)},
        ProfileCase{"UnknownRegion", "[MECH]\nMECHSPEC=Egypt Taiwan", Expect(S0, false, kKept)},
        ProfileCase{"Example",
                    "[SPEC]\r\nSPECKEY=QWB\r\n[DEBUG]\r\nDEBUGMODE=ON\r\nDEBUGMECH=KR700\r\n",
                    Expect(SpecIndex::QWB, true, MechanismIndex::KR700)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileFile, ReadFromTheStartupFolderAndMissingGivesDefaults) {
    testing::TempFolder folder;
    AppState state;
    state.startupFolder = folder.path().string();
    state.profile = Expect(SpecIndex::QDN, true, MechanismIndex::KR500, true, true);
    ReadProfile(state);
    EXPECT_EQ(state.profile, Expect(S0, false, MechanismIndex::KR500));

    std::ofstream(folder / "kestspec.ini") << "[SPEC]\nSPECKEY=QWB\n[MECH]\nMECHSPEC=Taiwan\n";
    ReadProfile(state);
    EXPECT_EQ(state.profile, Expect(SpecIndex::QWB, false, MechanismIndex::KR500, false, true));
}

TEST(ProfileFile, DebugWithoutMechanismForcesStandardEvenOnAKr700Queue) {
    AppState state = testing::StateFor(mechanism::KR700);
    ReadProfile(state.profile, "[DEBUG]\nDEBUGMODE=ON\n");
    SyncMechanism(state);
    EXPECT_EQ(state.selectedPrinter().mechanismId, mechanism::Standard);
}

TEST(ProfileFile, WithoutDebugUnsupportedOrStandardPrintersGiveMechanismZero) {
    for (const std::uint32_t id : {mechanism::Standard, mechanism::Unsupported}) {
        AppState state = testing::StateFor(id);
        state.profile.mechanismIndex = MechanismIndex::KR700;
        ReadProfile(state.profile, "");
        SyncMechanism(state);
        EXPECT_EQ(state.profile.mechanismIndex, MechanismIndex::STANDARD) << id;
        EXPECT_EQ(state.selectedPrinter().mechanismId, id);
    }
}

TEST(ProfileDebugText, ShownOnlyInDebugModeWithTheExactText) {
    AppState state;
    testing::RecordingUserInterface ui;
    ReadProfile(state.profile, "[SPEC]\nSPECKEY=QWB\n[DEBUG]\nDEBUGMODE=OFF\nDEBUGMECH=KR700");
    ShowProfileDebugText(state, ui);
    EXPECT_TRUE(ui.boxes.empty());

    ReadProfile(state.profile, "[SPEC]\nSPECKEY=QWB\n[DEBUG]\nDEBUGMODE=ON\nDEBUGMECH=KR700");
    ShowProfileDebugText(state, ui);
    ASSERT_EQ(ui.boxes.size(), 1u);
    const MessageBox& box = ui.boxes[0];
    EXPECT_EQ(box.text, "SPEC = QWB[2] \nMECH = KR700[4]");
    EXPECT_EQ(box.style, 0x80u);
    EXPECT_EQ(static_cast<int>(box.icon), 162);
    EXPECT_EQ(box.owner, Owner::MainWindow);
    EXPECT_EQ(box.buttons, Buttons::Ok);
    EXPECT_EQ(box.caption, "KESTREL");

    ReadProfile(state.profile, "[SPEC]\nSPECKEY=OVERSEA2\n[DEBUG]\nDEBUGMODE=ON");
    ShowProfileDebugText(state, ui);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].text, "SPEC = OVERSEA2[4] \nMECH = STANDARD[0]");
}

}  // namespace
}  // namespace kestrel
