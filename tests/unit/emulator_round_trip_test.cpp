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

HostPortSettings SevenBitPort() {
    HostPortSettings port;
    port.dataBitsCode = 0;
    port.parityCode = 1;
    return port;
}

HostPortSettings EightBitPort() {
    HostPortSettings port;
    port.dataBitsCode = 1;
    return port;
}

// Every profile state that changes the stream.
std::vector<ProfileCase> Profiles() {
    ProfileState egypt;
    egypt.egypt = true;
    ProfileState taiwan;
    taiwan.taiwan = true;
    taiwan.specIndex = SpecIndex::QDN;
    ProfileState qwb;
    qwb.specIndex = SpecIndex::QWB;
    return {
        {"OVERSEA", {}, mechanism::FullCut, EightBitPort()},
        {"Egypt", egypt, mechanism::KR700, EightBitPort()},
        {"Taiwan", taiwan, mechanism::FullCut, EightBitPort()},
        {"QWB", qwb, mechanism::KR500, EightBitPort()},
        {"7-bit host port", {}, mechanism::Standard, SevenBitPort()},
    };
}

// A record another job left in the printer: every byte a different option than `record`, so a
// byte the stream fails to write shows.
SettingsRecord Other(const SettingsRecord& record) {
    SettingsRecord other = record;
    const SettingsRecord& maxima = SettingMaxima();
    for (std::size_t i = 0; i < o::BmCutAdjustment; ++i) {
        const unsigned max = i == o::MaxSpeed ? 10 : maxima[i];
        other[i] = static_cast<std::uint8_t>((record[i] + 1) % (max + 1));
    }
    other[o::Font] = record[o::Font] ^ 1;
    SetBmCutAdjustment(other, BmCutAdjustment(record) == 0 ? 123 : 0);
    return other;
}

SettingsRecord RandomRecord(std::mt19937& random) {
    SettingsRecord record{};
    const SettingsRecord& maxima = SettingMaxima();
    for (std::size_t i = 0; i < o::BmCutAdjustment; ++i) {
        const unsigned max = i == o::MaxSpeed ? 10 : maxima[i];
        record[i] = static_cast<std::uint8_t>(random() % (max + 1));
    }
    record[o::Font] = static_cast<std::uint8_t>(random() % 2);
    SetBmCutAdjustment(
        record, static_cast<std::int16_t>(
                    kBmCutAdjustmentMin +
                    static_cast<int>(random() % (kBmCutAdjustmentMax - kBmCutAdjustmentMin + 1))));
    return record;
}

// The bytes a stream of this kind carries under this profile.
RecordBytes ExpectedCarried(SettingJobKind kind, const ProfileState& profile) {
    RecordBytes carried;
    for (std::size_t i = 0; i < kSettingsRecordSize; ++i) {
        carried.set(i);
    }
    carried.reset(o::Reserved);
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

// A printer of the case's model that last took `before` (sent with every value).
KrPrinter PrinterHolding(const ProfileCase& c, const SettingsRecord& before) {
    KrPrinter printer(FactoryPrinterState(c.mechanismId));
    ProfileState everything;
    everything.egypt = true;  // carries the cut adjustment too
    const auto setup =
        BuildSettingStream(SettingJobKind::SendSettings, before, everything, EightBitPort());
    EXPECT_TRUE(printer.receive(setup).errors.empty());
    return KrPrinter(printer.takeState());
}

// Sends the record and checks the decoded state against it; returns the number of bytes checked.
int CheckRoundTrip(const ProfileCase& c, SettingJobKind kind, const SettingsRecord& record) {
    const SettingsRecord before = Other(record);
    KrPrinter printer = PrinterHolding(c, before);
    const auto stream = BuildSettingStream(kind, record, c.profile, c.hostPort);
    const JobResult job = printer.receive(stream);
    EXPECT_TRUE(job.errors.empty()) << job.errors.front().message;
    EXPECT_FALSE(printer.state().inUserSetupMode());

    const RecordBytes carried = CarriedBytes(printer.written());
    EXPECT_EQ(carried, ExpectedCarried(kind, c.profile));
    const DecodedSettings decoded = DecodeSettings(printer.state().settings);
    int checked = 0;
    for (std::size_t i = 0; i < o::Reserved; ++i) {
        const std::uint8_t expected = carried.test(i) ? record[i] : before[i];
        EXPECT_TRUE(decoded.known.test(i)) << "byte " << i;
        EXPECT_EQ(decoded.record[i], expected)
            << c.name << ", byte " << i << (carried.test(i) ? " (sent)" : " (not sent)");
        checked += carried.test(i) ? 1 : 0;
    }
    return checked;
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
        records.push_back(RandomRecord(random));
    }

    int streams = 0;
    for (const ProfileCase& c : Profiles()) {
        for (const SettingsRecord& record : records) {
            for (const SettingJobKind kind :
                 {SettingJobKind::SendSettings, SettingJobKind::InitializePrinter}) {
                ASSERT_GT(CheckRoundTrip(c, kind, record), 30);
                ++streams;
                if (::testing::Test::HasFailure()) {
                    return;  // one record's report is enough to read
                }
            }
        }
    }
    EXPECT_EQ(streams, 330 * 5 * 2);
}

}  // namespace
}  // namespace kestrel::emulator
