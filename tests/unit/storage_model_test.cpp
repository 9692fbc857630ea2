// A loaded record is fitted to the printer's model first, then checked against the bounds.
#include <gtest/gtest.h>

#include "storage/model_adjustment.h"
#include "storage/range_check.h"
#include "storage/settings_file.h"
#include "storage/working_config.h"
#include "storage_test_support.h"

namespace kestrel {
namespace {

namespace o = offset;
using testing::PlainRecord;

constexpr auto kFile = AdjustmentRule::SettingsFile;
constexpr auto kWork = AdjustmentRule::WorkingConfig;
constexpr auto S0 = SpecIndex::OVERSEA;

struct AdjustCase {
    std::uint32_t mech;
    bool egypt, taiwan;
    AdjustmentRule rule;
    std::uint8_t speedIn;
    // expected
    std::uint8_t bmSensor;
    std::int16_t cut;
    std::uint8_t pneAndBuzzer, speed;
    bool taiwanAfter;
    SpecIndex spec;
};

// Input: black mark sensor on, cut 2500, near-end detector and buzzer on, speed as given.
const AdjustCase kAdjustCases[] = {
    // mech  eg    tw    rule  in  bm cut pne spd tw     spec
    {16, false, false, kFile, 10, 0, 0, 1, 8, false, S0},
    {17, false, false, kFile, 10, 1, 0, 1, 8, false, S0},
    {240, false, false, kFile, 7, 1, 0, 1, 7, false, S0},
    {18, false, true, kFile, 10, 0, 0, 1, 10, true, S0},  // file rule: the flag keeps the speed
    {20, false, false, kFile, 10, 0, 0, 1, 6, false, S0},
    {20, true, false, kFile, 10, 1, 2500, 1, 6, false, S0},  // Egyptian KR-700 has the sensor
    {20, true, false, kFile, 5, 1, 2500, 1, 5, false, S0},
    {21, true, true, kFile, 10, 0, 0, 0, 3, true, S0},
    {21, false, false, kFile, 2, 0, 0, 0, 2, false, S0},
    {18, false, true, kWork, 10, 0, 0, 1, 10, true, SpecIndex::QDN},  // Taiwan full-cut printer
    {16, false, true, kWork, 10, 0, 0, 1, 8, false, S0},              // flag cleared elsewhere
    {19, false, true, kWork, 10, 1, 0, 1, 8, false, S0},
    {20, false, true, kWork, 10, 0, 0, 1, 6, true, S0},  // KR-700/500 leave the flag alone
    {21, false, true, kWork, 10, 0, 0, 0, 3, true, S0},
};

class ModelAdjustment : public ::testing::TestWithParam<AdjustCase> {};

TEST_P(ModelAdjustment, ClearsWhatTheModelLacksAndLimitsTheSpeed) {
    const AdjustCase& c = GetParam();
    SettingsRecord record = PlainRecord();
    record[o::BmSensor] = record[o::PneDetect] = record[o::Buzzer] = 1;
    record[o::MaxSpeed] = c.speedIn;
    SetBmCutAdjustment(record, 2500);
    record[o::Reserved] = 0x5A;

    SettingsRecord expected = record;
    expected[o::BmSensor] = c.bmSensor;
    expected[o::PneDetect] = expected[o::Buzzer] = c.pneAndBuzzer;
    expected[o::MaxSpeed] = c.speed;
    SetBmCutAdjustment(expected, c.cut);

    ProfileState profile;
    profile.egypt = c.egypt;
    profile.taiwan = c.taiwan;
    AdjustToModel(record, profile, c.mech, c.rule);
    EXPECT_EQ(record, expected);
    EXPECT_EQ(profile.taiwan, c.taiwanAfter);
    EXPECT_EQ(profile.specIndex, c.spec);
    EXPECT_EQ(profile.egypt, c.egypt);
}

INSTANTIATE_TEST_SUITE_P(Table, ModelAdjustment, ::testing::ValuesIn(kAdjustCases));

void Put(SettingsRecord& r, std::size_t at, int value) {
    if (at == o::BmCutAdjustment) {
        SetBmCutAdjustment(r, static_cast<std::int16_t>(value));
    } else {
        r[at] = static_cast<std::uint8_t>(value);
    }
}

TEST(RangeCheck, EveryCheckedByteAcceptsItsMaximumAndRefusesOneMore) {
    const SettingsRecord& maxima = SettingMaxima();
    for (std::size_t i = 0; i <= o::Buzzer; ++i) {
        SettingsRecord r = PlainRecord();
        r[i] = maxima[i];
        EXPECT_TRUE(SettingsInRange(r, false)) << i;
        r[i] = static_cast<std::uint8_t>(maxima[i] + 1);
        EXPECT_FALSE(SettingsInRange(r, false)) << i;
    }
    const struct {
        std::size_t at;
        int value;
        bool taiwan, passes;
    } cases[] = {
        {o::MaxSpeed, 10, true, true},
        {o::MaxSpeed, 11, true, false},
        {o::BmCutAdjustment, -340, false, true},
        {o::BmCutAdjustment, -341, false, false},
        {o::BmCutAdjustment, 2500, false, true},
        {o::BmCutAdjustment, 2501, false, false},
        {o::Font, 1, false, true},
        {o::Font, 2, false, false},
        {o::Reserved, 255, false, true},
    };
    for (const auto& c : cases) {
        SettingsRecord r = PlainRecord();
        Put(r, c.at, c.value);
        EXPECT_EQ(SettingsInRange(r, c.taiwan), c.passes) << c.at << "=" << c.value;
    }
}

// The whole load path in memory, for both loaders: the adjustment comes before the check.
struct LoadCase {
    std::uint32_t mech;
    bool egypt, taiwan;
    std::size_t at;
    int value;
    int fileResult;  // value at `at` after a settings file load, or kDefaults
    int workResult;  // the same after a working configuration load
};
constexpr int kDefaults = -100000;

const LoadCase kLoadCases[] = {
    {16, false, true, o::MaxSpeed, 10, 10, 8},  // file rule keeps Taiwan, working rule drops it
    {16, false, true, o::MaxSpeed, 11, kDefaults, 8},  // lowered before the check
    {18, false, true, o::MaxSpeed, 11, kDefaults, kDefaults},
    {21, false, false, o::PneDetect, 2, 0, 0},  // masked by the model before the check
    {19, false, false, o::PneDetect, 2, kDefaults, kDefaults},
};

class LoadAdjustAndCheck : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadAdjustAndCheck, BothLoaders) {
    const LoadCase& c = GetParam();
    SettingsRecord image = PlainRecord();
    Put(image, c.at, c.value);
    for (const auto rule : {kFile, kWork}) {
        SCOPED_TRACE(rule == kFile ? "file" : "working");
        AppState state = testing::StateFor(c.mech, c.egypt, c.taiwan);
        const SettingsRecord defaults = testing::DefaultsFor(state);
        if (rule == kFile) {
            EXPECT_EQ(ApplySettingsFile(state, testing::Bytes(image)), SettingsFileContent::Taken);
        } else {
            ApplyWorkingConfig(state, testing::Bytes(image));
            ReplaceOutOfRangeSettings(state);
        }
        const int expected = rule == kFile ? c.fileResult : c.workResult;
        if (expected == kDefaults) {
            EXPECT_EQ(state.settings, defaults);
        } else {
            EXPECT_NE(state.settings, defaults);
            EXPECT_EQ(
                c.at == o::BmCutAdjustment ? BmCutAdjustment(state.settings) : state.settings[c.at],
                expected);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, LoadAdjustAndCheck, ::testing::ValuesIn(kLoadCases));

TEST(SettingsFileContent, ShortContentIsRefusedYetTheRecordIsStillChecked) {
    AppState state = testing::StateFor(mechanism::KR500);
    state.settings = PlainRecord();
    state.settings[o::Font] = 2;
    EXPECT_EQ(ApplySettingsFile(state, std::vector<std::uint8_t>(37, 0)),
              SettingsFileContent::TooShort);
    EXPECT_EQ(state.settings, testing::DefaultsFor(testing::StateFor(mechanism::KR500)));
}

}  // namespace
}  // namespace kestrel
