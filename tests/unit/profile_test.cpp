// The profile kestspec.ini: spec row, debug mechanism and region, read like a private profile.
#include "settings/profile.h"

#include <gtest/gtest.h>

#include "ports/testing/recording_ui.h"
#include "storage_test_support.h"

namespace kestrel {
namespace {

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

constexpr auto S0 = SpecIndex::OVERSEA;
constexpr auto kKept = MechanismIndex::KR500;  // debug off: the mechanism index is not read

// Each read starts over a state with mechanism KR500 and both region flags set.
TEST(Profile, SetsTheProfileState) {
    const std::pair<std::string, ProfileState> cases[] = {
        {"", Expect(S0, false, kKept)},
        {"[SPEC]\nSPECKEY=qwb", Expect(SpecIndex::QWB, false, kKept)},
        {"[SPEC]\nSPECKEY=Oversea2 ", Expect(SpecIndex::OVERSEA2, false, kKept)},
        {"[SPEC]\nSPECKEY=STANDARD", Expect(S0, false, kKept)},
        {"[debug]\ndebugmode=on\ndebugmech=blkmk_fcut",
         Expect(S0, true, MechanismIndex::BLKMK_FCUT)},
        {"[DEBUG]\nDEBUGMODE=ON", Expect(S0, true, MechanismIndex::STANDARD)},
        {"[DEBUG]\nDEBUGMODE=ON\nDEBUGMECH=KR900", Expect(S0, true, MechanismIndex::STANDARD)},
        {"[DEBUG]\nDEBUGMODE=OFF\nDEBUGMECH=FULLCUT", Expect(S0, false, kKept)},
        {"[MECH]\nMECHSPEC=EGYPT", Expect(S0, false, kKept, true)},
        {"[MECH]\nMECHSPEC=taiwan", Expect(S0, false, kKept, false, true)},
        {"[MECH]\nMECHSPEC=Egypt Taiwan", Expect(S0, false, kKept)},
        {"[SPEC]\r\nSPECKEY=QDN\r\n[DEBUG]\r\nDEBUGMODE=ON\r\nDEBUGMECH=KR700\r\n",
         Expect(SpecIndex::QDN, true, MechanismIndex::KR700)},
    };
    for (const auto& [contents, expected] : cases) {
        ProfileState profile = Expect(SpecIndex::QDN, true, MechanismIndex::KR500, true, true);
        ReadProfile(profile, contents);
        EXPECT_EQ(profile, expected) << contents;
    }
}

// (A missing or unreadable file gives the defaults: see the storage file tests.)
TEST(Profile, ReadFromTheStartupFolder) {
    testing::TempFolder folder;
    AppState state;
    state.startupFolder = folder.path().string();
    std::ofstream(folder / "kestspec.ini") << "[SPEC]\nSPECKEY=QWB\n[MECH]\nMECHSPEC=Taiwan\n";
    ReadProfile(state);
    EXPECT_EQ(state.profile, Expect(SpecIndex::QWB, false, MechanismIndex::STANDARD, false, true));
}

TEST(Profile, DebugTextShownOnlyInDebugMode) {
    AppState state;
    testing::RecordingUserInterface ui;
    const std::string spec = "[SPEC]\nSPECKEY=QWB\n[DEBUG]\nDEBUGMECH=KR700\nDEBUGMODE=";
    ReadProfile(state.profile, spec + "OFF");
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
