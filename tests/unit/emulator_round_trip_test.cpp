// The setting streams the program sends, read back by the virtual printer: the settings decoded
// from the printer's state are the record that was sent, for every byte the stream carries, and
// the bytes it does not carry keep what the printer had.
#include <gtest/gtest.h>

#include <random>

#include "emulator/kr_printer.h"
#include "emulator/settings_decoder.h"
#include "settings/factory_defaults.h"
#include "settings/setting_encoder.h"

namespace kestrel::emulator {
namespace {

namespace o = offset;

struct ProfileCase {
    const char* name;
    ProfileState profile;
    std::uint32_t mechanismId;
    HostPortSettings hostPort;  // before the job: decides the serial command order
};

const HostPortSettings kEightBits{.dataBitsCode = 1};

// Every profile state that changes the stream.
const ProfileCase kProfiles[] = {
    {"OVERSEA", {}, mechanism::FullCut, kEightBits},
    {"Egypt", {.egypt = true}, mechanism::KR700, kEightBits},
    {"Taiwan", {.specIndex = SpecIndex::QDN, .taiwan = true}, mechanism::FullCut, kEightBits},
    {"QWB", {.specIndex = SpecIndex::QWB}, mechanism::KR500, kEightBits},
    {"7-bit host port", {}, mechanism::Standard, {.dataBitsCode = 0, .parityCode = 1}},
};

// Each byte from `pick(i, top)` for every option 0..top of the byte; the cut adjustment apart.
template <typename Pick>
SettingsRecord Record(Pick pick, std::int16_t cutAdjustment) {
    SettingsRecord record{};
    for (std::size_t i = 0; i < o::BmCutAdjustment; ++i) {
        record[i] =
            static_cast<std::uint8_t>(pick(i, i == o::Font       ? 1u
                                              : i == o::MaxSpeed ? 10u
                                                                 : unsigned{SettingMaxima()[i]}));
    }
    SetBmCutAdjustment(record, cutAdjustment);
    return record;
}

// A record another job left in the printer: every byte a different option than `record`, so a
// byte the stream fails to write shows.
SettingsRecord Other(const SettingsRecord& record) {
    return Record([&](std::size_t i, unsigned top) { return (record[i] + 1) % (top + 1); },
                  BmCutAdjustment(record) == 0 ? 123 : 0);
}

// The bytes a stream of this kind carries under this profile.
RecordBytes ExpectedCarried(SettingJobKind kind, const ProfileState& profile) {
    RecordBytes carried;
    carried.set().reset(o::Reserved);
    if (kind == SettingJobKind::InitializePrinter) {
        carried.reset(o::PaperWidth);  // the printer keeps the width of its paper guide
    }
    if (profile.specIndex != SpecIndex::OVERSEA) {
        carried.reset(o::FontB);
    }
    if (!profile.egypt) {
        carried.reset(o::BmCutAdjustment).reset(o::BmCutAdjustment + 1);
    }
    return carried;
}

// Sends the record to a printer that last took Other(record) with every value, and checks the
// decoded state against it; returns the number of bytes the stream carried.
int CheckRoundTrip(const ProfileCase& c, SettingJobKind kind, const SettingsRecord& record) {
    const SettingsRecord before = Other(record);
    KrPrinter setup(FactoryPrinterState(c.mechanismId));
    EXPECT_TRUE(setup
                    .receive(BuildSettingStream(SettingJobKind::SendSettings, before,
                                                {.egypt = true}, kEightBits))
                    .errors.empty());
    KrPrinter printer(setup.takeState());
    const JobResult job = printer.receive(BuildSettingStream(kind, record, c.profile, c.hostPort));
    EXPECT_TRUE(job.errors.empty()) << job.errors.front().message;
    EXPECT_FALSE(printer.state().inUserSetupMode());

    const RecordBytes carried = CarriedBytes(printer.written());
    EXPECT_EQ(carried, ExpectedCarried(kind, c.profile));
    const DecodedSettings decoded = DecodeSettings(printer.state().settings);
    for (std::size_t i = 0; i < o::Reserved; ++i) {
        EXPECT_TRUE(decoded.known.test(i)) << "byte " << i;
        EXPECT_EQ(decoded.record[i], carried.test(i) ? record[i] : before[i])
            << c.name << ", byte " << i << (carried.test(i) ? " (sent)" : " (not sent)");
    }
    return static_cast<int>(carried.count());
}

TEST(EmulatorRoundTrip, FactoryDefaultAndRandomRecordsComeBackFromThePrinter) {
    std::vector<SettingsRecord> records;
    for (int spec = 0; spec < kSpecCount; ++spec) {
        for (int mech = 0; mech < kMechanismCount; ++mech) {
            records.push_back(FactoryDefaultRecord(static_cast<SpecIndex>(spec),
                                                   static_cast<MechanismIndex>(mech)));
        }
    }
    std::mt19937 random(20240610);
    for (int i = 0; i < 300; ++i) {
        const auto cut = static_cast<std::int16_t>(
            kBmCutAdjustmentMin +
            static_cast<int>(random() % (kBmCutAdjustmentMax - kBmCutAdjustmentMin + 1)));
        records.push_back(
            Record([&](std::size_t, unsigned top) { return random() % (top + 1); }, cut));
    }
    for (const ProfileCase& c : kProfiles) {
        for (const SettingsRecord& record : records) {
            for (const auto kind :
                 {SettingJobKind::SendSettings, SettingJobKind::InitializePrinter}) {
                ASSERT_GT(CheckRoundTrip(c, kind, record), 30);
                if (::testing::Test::HasFailure()) {
                    return;  // one record's report is enough to read
                }
            }
        }
    }
}

}  // namespace
}  // namespace kestrel::emulator
