// The settings record: factory defaults, bounds, how the printer and the region flags pick the
// record; and the GS ( E stream that writes it, byte for byte and in the printer's order.
#include <gtest/gtest.h>

#include "settings/factory_defaults.h"
#include "settings/setting_encoder.h"
#include "settings/setting_options.h"
#include "state/app_state.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

namespace o = offset;

// The bytes in which default records differ, per spec row and mechanism column.
struct DefaultRow {
    int spec;
    int mech;
    std::uint8_t powerOn, bmCheck, paperWidth, maxSpeed, pne, bmSensor, bmWithCut;
};

// Written out by hand from the printer's default sheets, not computed.
const DefaultRow kDefaultRows[] = {
    {0, 0, 1, 1, 1, 8, 1, 0, 0}, {0, 1, 1, 0, 1, 8, 1, 1, 1}, {0, 2, 1, 1, 1, 8, 1, 0, 0},
    {0, 3, 1, 0, 1, 8, 1, 1, 1}, {0, 4, 1, 1, 1, 6, 1, 0, 0}, {0, 5, 1, 1, 1, 3, 0, 0, 0},
    {1, 0, 0, 1, 4, 8, 1, 0, 0}, {1, 1, 0, 0, 4, 8, 1, 1, 1}, {1, 2, 0, 1, 4, 8, 1, 0, 0},
    {1, 3, 0, 0, 4, 8, 1, 1, 1}, {1, 4, 0, 1, 4, 6, 1, 0, 0}, {1, 5, 0, 1, 4, 3, 0, 0, 0},
    {2, 0, 0, 1, 4, 8, 1, 0, 0}, {2, 1, 0, 0, 4, 8, 1, 1, 1}, {2, 2, 0, 1, 4, 8, 1, 0, 0},
    {2, 3, 0, 0, 4, 8, 1, 1, 1}, {2, 4, 0, 1, 2, 6, 1, 0, 0}, {2, 5, 0, 1, 2, 3, 0, 0, 0},
    {3, 0, 0, 1, 1, 8, 1, 0, 0}, {3, 1, 0, 0, 1, 8, 1, 1, 1}, {3, 2, 0, 1, 1, 8, 1, 0, 0},
    {3, 3, 0, 0, 1, 8, 1, 1, 1}, {3, 4, 0, 1, 1, 6, 1, 0, 0}, {3, 5, 0, 1, 1, 3, 0, 0, 0},
};

TEST(FactoryDefaults, EveryRecordDiffersFromTheBaseOnlyWhereTheTableSays) {
    const SettingsRecord base = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
    for (const auto& row : kDefaultRows) {
        SCOPED_TRACE(::testing::Message() << "spec " << row.spec << " mech " << row.mech);
        SettingsRecord expected = base;
        expected[o::PowerOnStatus] = row.powerOn;
        expected[o::BmCheckAtPowerOn] = row.bmCheck;
        expected[o::PaperWidth] = row.paperWidth;
        expected[o::MaxSpeed] = row.maxSpeed;
        expected[o::PneDetect] = row.pne;
        expected[o::BmSensor] = row.bmSensor;
        expected[o::BmCheckWithCut] = row.bmWithCut;
        EXPECT_EQ(FactoryDefaultRecord(static_cast<SpecIndex>(row.spec),
                                       static_cast<MechanismIndex>(row.mech)),
                  expected);
    }
    for (int m = 0; m < kMechanismCount; ++m) {  // OVERSEA2: every setting at its first option
        EXPECT_EQ(FactoryDefaultRecord(SpecIndex::OVERSEA2, static_cast<MechanismIndex>(m)),
                  SettingsRecord{});
    }
}

// The largest stored value is the last option; Max Speed keeps its top two for Taiwan.
TEST(FactoryDefaults, MaximaAreTheLastOptionOfEveryList) {
    const SettingsRecord& max = SettingMaxima();
    for (const SettingDescription& s : AllSettings()) {
        if (!s.options.empty()) {
            const std::size_t extra = s.offset == o::MaxSpeed ? 2 : 0;
            EXPECT_EQ(max[s.offset] + 1u + extra, s.options.size()) << s.label;
        }
    }
    EXPECT_EQ(BmCutAdjustment(max), 2500);
    EXPECT_EQ(max[o::Reserved], 0);
}

// From the QWB spec with Buzzer on beforehand: Egypt holds only for the KR-700 (black mark
// defaults), Taiwan only for the full-cutter KR-900 (the QDN row); a flag that does not hold
// clears.
TEST(LoadFactoryDefaults, FlagsAndDefaultsFollowThePrinter) {
    enum Flag { None, Egypt, Taiwan };
    constexpr auto QWB = SpecIndex::QWB;
    const std::tuple<std::uint32_t, Flag, bool, bool, SpecIndex, std::uint8_t, std::uint8_t,
                     std::uint8_t, std::uint8_t>
        cases[] = {
            {20, Egypt, true, false, QWB, 6, 4, 1, 1},
            {18, Egypt, false, false, QWB, 8, 4, 0, 1},
            {18, Taiwan, false, true, SpecIndex::QDN, 10, 1, 0, 1},
            {19, Taiwan, false, false, QWB, 8, 4, 1, 1},
        };
    for (const auto& [mechanismId, flag, egypt, taiwan, spec, maxSpeed, paperWidth, bmSensor, pne] :
         cases) {
        SCOPED_TRACE(::testing::Message() << mechanismId << " flag " << flag);
        AppState state;
        state.profile.specIndex = SpecIndex::QWB;
        state.profile.egypt = flag == Egypt;
        state.profile.taiwan = flag == Taiwan;
        state.selectedPrinter().mechanismId = mechanismId;
        state.settings[o::Buzzer] = 1;
        LoadFactoryDefaults(state);
        EXPECT_EQ(std::make_tuple(state.profile.egypt, state.profile.taiwan,
                                  state.profile.specIndex, state.settings[o::MaxSpeed],
                                  state.settings[o::PaperWidth], state.settings[o::BmSensor],
                                  state.settings[o::PneDetect], state.settings[o::Buzzer]),
                  std::make_tuple(egypt, taiwan, spec, maxSpeed, paperWidth, bmSensor, pne,
                                  std::uint8_t{0}));
    }
}

// In debug mode the profile decides the printer's mechanism, else the printer the profile's.
TEST(SyncMechanism, DebugModeLetsTheProfileDecideTheId) {
    const std::tuple<bool, MechanismIndex, std::uint32_t, std::uint32_t, MechanismIndex> cases[] = {
        {true, MechanismIndex::BLACKMARK, 240, 17, MechanismIndex::BLACKMARK},
        {true, MechanismIndex::KR500, 18, 21, MechanismIndex::KR500},
        {false, MechanismIndex::KR500, 17, 17, MechanismIndex::BLACKMARK},
        {false, MechanismIndex::KR700, 21, 21, MechanismIndex::KR500},
        {false, MechanismIndex::KR700, 240, 240, MechanismIndex::STANDARD},
    };
    for (const auto& [debug, index, idBefore, idAfter, indexAfter] : cases) {
        AppState state;
        state.profile.debug = debug;
        state.profile.mechanismIndex = index;
        state.selectedPrinter().mechanismId = idBefore;
        SyncMechanism(state);
        EXPECT_EQ(state.selectedPrinter().mechanismId, idAfter) << idBefore;
        EXPECT_EQ(state.profile.mechanismIndex, indexAfter) << idBefore;
    }
}

using testing::Hex;

const HostPortSettings kHost8Bit{6, 1, 0, 0, 2};
constexpr auto kSend = SettingJobKind::SendSettings;

// The base record sends the worked example. The cut adjustment goes as customize value 7E after
// the others, before the baud rate. The printer applies each serial command as it arrives: a host
// on 8 bits gets the parity first, one on 7 bits the data length.
TEST(SettingEncoder, WorkedExampleThenCutAdjustmentThenTheHostLinesOrder) {
    const SettingsRecord base = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
    EXPECT_EQ(BuildSettingStream(kSend, base, {}, kHost8Bit), Hex(testing::kSendWorkedExample));
    SettingsRecord r = base;
    SetBmCutAdjustment(r, -340);
    auto expected = BuildSettingStream(kSend, r, {}, kHost8Bit);
    const auto command = Hex("1D 28 45 04 00 05 7E AC FE");
    expected.insert(expected.begin() + 13 + 33 + 30, command.begin(), command.end());
    EXPECT_EQ(BuildSettingStream(kSend, r, {.egypt = true}, kHost8Bit), expected);
    EXPECT_LE(expected.size(), kSettingBufferSize);
    const std::tuple<std::uint8_t, HostPortSettings, std::string> cases[] = {
        {0, kHost8Bit, "1D 28 45 03 00 0B 02 32 1D 28 45 03 00 0B 04 37"},
        {4, {6, 0, 1, 0, 0}, "1D 28 45 03 00 0B 04 38 1D 28 45 03 00 0B 02 31"},
    };
    for (const auto& [format, host, serial] : cases) {
        r = base;
        r[offset::Format] = format;
        const auto stream = BuildSettingStream(kSend, r, {}, host);
        const std::size_t at = 5 + 8 + 33 + 30 + 13;  // after the 115200 baud command
        ASSERT_GE(stream.size(), at + 16);
        EXPECT_EQ(std::vector(stream.begin() + at, stream.begin() + at + 16), Hex(serial))
            << int(format);
    }
}

}  // namespace
}  // namespace kestrel
