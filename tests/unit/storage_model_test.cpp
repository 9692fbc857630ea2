#include <gtest/gtest.h>

#include "settings/factory_defaults.h"
#include "storage/model_adjustment.h"
#include "storage/range_check.h"
#include "storage/settings_file.h"
#include "storage/working_config.h"
#include "storage_test_support.h"

namespace kestrel {
namespace {

namespace o = offset;
using testing::PlainRecord;
using testing::StateFor;

constexpr auto kFile = AdjustmentRule::SettingsFile;
constexpr auto kWork = AdjustmentRule::WorkingConfig;

struct AdjustCase {
    std::uint32_t mech;
    bool egypt, taiwan;
    AdjustmentRule rule;
    std::uint8_t speedIn;
    // expected
    std::uint8_t bmSensor;
    std::int16_t cut;
    std::uint8_t pne, buzzer, speed;
    bool taiwanAfter;
    SpecIndex spec;
};

constexpr auto S0 = SpecIndex::OVERSEA;
constexpr auto QDN = SpecIndex::QDN;

// Input: black mark sensor on, cut 2500, near-end detector and buzzer on, speed as given.
const AdjustCase kAdjustCases[] = {
    // mech  eg  tw  rule  in   bm  cut   pne buz spd tw   spec
    {16, false, false, kFile, 10, 0, 0, 1, 1, 8, false, S0},
    {17, false, false, kFile, 10, 1, 0, 1, 1, 8, false, S0},
    {18, false, false, kFile, 10, 0, 0, 1, 1, 8, false, S0},
    {19, false, false, kFile, 10, 1, 0, 1, 1, 8, false, S0},
    {240, false, false, kFile, 10, 1, 0, 1, 1, 8, false, S0},
    {19, false, false, kFile, 7, 1, 0, 1, 1, 7, false, S0},
    {16, false, true, kFile, 10, 0, 0, 1, 1, 10, true, S0},  // file rule: flag keeps the speed
    {18, false, true, kFile, 10, 0, 0, 1, 1, 10, true, S0},
    {20, false, false, kFile, 10, 0, 0, 1, 1, 6, false, S0},
    {20, true, false, kFile, 10, 1, 2500, 1, 1, 6, false, S0},  // Egyptian KR-700 has the sensor
    {20, true, false, kFile, 5, 1, 2500, 1, 1, 5, false, S0},
    {21, true, true, kFile, 10, 0, 0, 0, 0, 3, true, S0},
    {21, false, false, kFile, 2, 0, 0, 0, 0, 2, false, S0},
    {16, false, false, kWork, 10, 0, 0, 1, 1, 8, false, S0},
    {17, false, false, kWork, 10, 1, 0, 1, 1, 8, false, S0},
    {18, false, true, kWork, 10, 0, 0, 1, 1, 10, true, QDN},  // Taiwan full-cut printer
    {16, false, true, kWork, 10, 0, 0, 1, 1, 8, false, S0},   // flag cleared elsewhere
    {17, false, true, kWork, 10, 1, 0, 1, 1, 8, false, S0},
    {19, false, true, kWork, 10, 1, 0, 1, 1, 8, false, S0},
    {240, false, true, kWork, 10, 1, 0, 1, 1, 8, false, S0},
    {20, false, true, kWork, 10, 0, 0, 1, 1, 6, true, S0},  // KR-700/500 leave the flag alone
    {20, true, false, kWork, 10, 1, 2500, 1, 1, 6, false, S0},
    {21, false, true, kWork, 10, 0, 0, 0, 0, 3, true, S0},
};

class ModelAdjustment : public ::testing::TestWithParam<AdjustCase> {};

TEST_P(ModelAdjustment, ClearsWhatTheModelLacksAndLimitsTheSpeed) {
    const AdjustCase& c = GetParam();
    SettingsRecord record = PlainRecord();
    record[o::BmSensor] = 1;
    record[o::PneDetect] = 1;
    record[o::Buzzer] = 1;
    record[o::MaxSpeed] = c.speedIn;
    SetBmCutAdjustment(record, 2500);
    record[o::Reserved] = 0x5A;

    SettingsRecord expected = record;
    expected[o::BmSensor] = c.bmSensor;
    expected[o::PneDetect] = c.pne;
    expected[o::Buzzer] = c.buzzer;
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

TEST(RangeCheck, EveryCheckedByteAcceptsItsMaximumAndRefusesOneMore) {
    const SettingsRecord& maxima = SettingMaxima();
    for (std::size_t i = 0; i <= o::Buzzer; ++i) {
        SettingsRecord r = PlainRecord();
        r[i] = maxima[i];
        EXPECT_TRUE(SettingsInRange(r, false)) << i;
        r[i] = static_cast<std::uint8_t>(maxima[i] + 1);
        EXPECT_FALSE(SettingsInRange(r, false)) << i;
    }
}

TEST(RangeCheck, SpeedCutFontAndReservedByte) {
    const struct {
        std::size_t at;
        int value;
        bool taiwan, passes;
    } cases[] = {
        {o::MaxSpeed, 8, false, true},
        {o::MaxSpeed, 9, false, false},
        {o::MaxSpeed, 10, true, true},
        {o::MaxSpeed, 11, true, false},
        {o::PaperWidth, 6, false, false},
        {o::PaperWidth, 255, true, false},
        {o::BmCutAdjustment, -340, false, true},
        {o::BmCutAdjustment, -341, false, false},
        {o::BmCutAdjustment, 2500, false, true},
        {o::BmCutAdjustment, 2501, false, false},
        {o::BmCutAdjustment, -32768, false, false},
        {o::BmCutAdjustment, 32767, false, false},
        {o::Font, 1, false, true},
        {o::Font, 2, false, false},
        {o::Reserved, 255, false, true},
    };
    for (const auto& c : cases) {
        SettingsRecord r = PlainRecord();
        if (c.at == o::BmCutAdjustment) {
            SetBmCutAdjustment(r, static_cast<std::int16_t>(c.value));
        } else {
            r[c.at] = static_cast<std::uint8_t>(c.value);
        }
        EXPECT_EQ(SettingsInRange(r, c.taiwan), c.passes) << c.at << "=" << c.value;
    }
}

// The whole load path in memory: adjustment first, then the range check, for both loaders.
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
    {16, false, false, o::MaxSpeed, 9, 8, 8},  // lowered before the check
    {19, false, false, o::MaxSpeed, 9, 8, 8},
    {18, false, true, o::MaxSpeed, 10, 10, 10},
    {18, false, true, o::MaxSpeed, 11, kDefaults, kDefaults},
    {16, false, true, o::MaxSpeed, 10, 10, 8},  // file rule keeps Taiwan, working rule drops it
    {16, false, true, o::MaxSpeed, 11, kDefaults, 8},
    {21, false, false, o::MaxSpeed, 255, 3, 3},
    {21, false, false, o::PneDetect, 2, 0, 0},  // masked by the model before the check
    {19, false, false, o::PneDetect, 2, kDefaults, kDefaults},
    {20, true, false, o::BmCutAdjustment, 2501, kDefaults, kDefaults},
    {20, false, false, o::BmCutAdjustment, 2501, 0, 0},
    {17, false, false, o::BmSensor, 2, kDefaults, kDefaults},
    {16, false, false, o::BmSensor, 2, 0, 0},
    {240, false, false, o::PaperWidth, 6, kDefaults, kDefaults},
    {20, true, false, o::Font, 2, kDefaults, kDefaults},
    {21, false, false, o::Reserved, 9, 9, 9},
};

class LoadAdjustAndCheck : public ::testing::TestWithParam<LoadCase> {};

int ValueAt(const SettingsRecord& r, std::size_t at) {
    return at == o::BmCutAdjustment ? BmCutAdjustment(r) : r[at];
}

TEST_P(LoadAdjustAndCheck, BothLoaders) {
    const LoadCase& c = GetParam();
    SettingsRecord image = PlainRecord();
    if (c.at == o::BmCutAdjustment) {
        SetBmCutAdjustment(image, static_cast<std::int16_t>(c.value));
    } else {
        image[c.at] = static_cast<std::uint8_t>(c.value);
    }
    const auto bytes = testing::Bytes(image);
    for (const auto rule : {kFile, kWork}) {
        AppState state = StateFor(c.mech, c.egypt, c.taiwan);
        const SettingsRecord defaults = testing::DefaultsFor(state);
        if (rule == kFile) {
            EXPECT_EQ(ApplySettingsFile(state, bytes), SettingsFileContent::Taken);
        } else {
            ApplyWorkingConfig(state, bytes);
            ReplaceOutOfRangeSettings(state);
        }
        const int expected = rule == kFile ? c.fileResult : c.workResult;
        if (expected == kDefaults) {
            EXPECT_EQ(state.settings, defaults) << (rule == kFile ? "file" : "working");
        } else {
            EXPECT_NE(state.settings, defaults);
            EXPECT_EQ(ValueAt(state.settings, c.at), expected)
                << (rule == kFile ? "file" : "working");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, LoadAdjustAndCheck, ::testing::ValuesIn(kLoadCases));

}  // namespace
}  // namespace kestrel
