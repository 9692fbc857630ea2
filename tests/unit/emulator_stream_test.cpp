// The virtual printer reading streams: the settings sent come back from its state, and streams cut
// short or wrong give errors with offsets, never a crash, and no setting from a broken setup.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "emulator/kr_printer.h"
#include "emulator/settings_decoder.h"
#include "emulator/settings_list_page.h"
#include "emulator/stream_parser.h"
#include "logo/logo_job.h"
#include "settings/factory_defaults.h"
#include "settings/setting_encoder.h"
#include "test_helpers.h"

namespace kestrel::emulator {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::Hex;
namespace o = offset;

Bytes DefineStream(int slot, std::uint32_t bytesPerRow, std::uint32_t rows, bool twoColor) {
    LogoPlanes planes;
    planes.rows = rows;
    planes.planeSize = bytesPerRow * rows;
    for (std::uint32_t i = 0; i < planes.planeSize; ++i) {
        planes.plane1.push_back(static_cast<std::uint8_t>(i * 37 + 5));
    }
    if (twoColor) {
        planes.plane2 = Bytes(planes.planeSize, 0x5A);
    }
    LogoJobBuffer buffer;
    BuildLogoDefineCommand(planes, slot, buffer);
    return buffer.data;
}

// Streams the program sends, each valid as a whole; the print jobs print the logos defined.
std::vector<Bytes> ValidStreams() {
    const SettingsRecord& base = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
    return {
        BuildSettingStream(SettingJobKind::SendSettings, base, {.egypt = true},
                           {.dataBitsCode = 1}),
        BuildSettingStream(SettingJobKind::InitializePrinter, base, {.specIndex = SpecIndex::QWB},
                           {}),
        Bytes(kSettingsListStream.begin(), kSettingsListStream.end()),
        DefineStream(2, 2, 2, false),
        DefineStream(4, 3, 5, true),
        BuildLogoPrintJob(2, false, true),
        BuildLogoPrintJob(4, true, false),
        BuildLogoDeleteCommand(0),
    };
}

TEST(EmulatorStream, EveryPrefixOfAValidStreamIsAnErrorAtTheCommandItCuts) {
    KrPrinter withLogos(FactoryPrinterState(18));
    for (const Bytes& define : {DefineStream(2, 2, 2, false), DefineStream(4, 3, 5, true)}) {
        ASSERT_TRUE(withLogos.receive(define).errors.empty());
    }
    const PrinterState start = withLogos.takeState();
    for (const Bytes& stream : ValidStreams()) {
        const auto whole = ParseStream(stream);
        std::vector<std::size_t> starts;
        for (const StreamItem& item : whole) {
            ASSERT_FALSE(std::holds_alternative<Malformed>(item.command));
            starts.push_back(item.offset);
        }
        const bool setup =
            whole.size() > 5 && std::holds_alternative<EnterUserSetup>(whole[5].command);
        for (std::size_t length = 0; length < stream.size(); ++length) {
            const std::span prefix(stream.data(), length);
            KrPrinter printer(start);
            const JobResult job = printer.receive(prefix);
            const auto cut = std::ranges::upper_bound(starts, length) - 1;
            // Text cut short is shorter text.
            const bool boundary =
                length == 0 || *cut == length ||
                std::holds_alternative<PrintText>(
                    whole[static_cast<std::size_t>(cut - starts.begin())].command);
            if (!boundary) {
                ASSERT_FALSE(job.errors.empty()) << "prefix of " << length;
                EXPECT_EQ(job.errors.front().offset, *cut) << "prefix of " << length;
            }
            if (setup) {
                // Without the closing GS ( E fn 2 the printer keeps the settings it had.
                EXPECT_EQ(printer.state().settings, start.settings) << "prefix of " << length;
                EXPECT_EQ(job.errors.empty(), length <= 5) << "prefix of " << length;
            } else if (boundary) {
                EXPECT_TRUE(job.errors.empty()) << "prefix of " << length;
            }
        }
    }
}

const std::string kEnter = "1D 28 45 03 00 01 49 4E ";
const std::string kLeave = " 1D 28 45 04 00 02 4F 55 54";

TEST(EmulatorStream, CommandsThePrinterRefuseAreNamedAtTheirOffset) {
    const std::tuple<std::string, std::size_t, const char*> cases[] = {
        // the message: part of the error
        {"1D 28 45 03 00 01 49 4F", 0, "must be \"IN\""},
        {"1D 28 45 01 00 09", 0, "no function 9"},
        {"1D 28 45 00 00", 0, "no function number"},
        {"1D 28 45 0A 00 03 03 30 30 30 30 30 30 30 30", 0, "no switch 03"},
        {"1D 28 45 0A 00 03 01 30 30 33 30 30 30 30 30", 0, "position 3"},
        {"1D 28 45 09 00 03 01 30 30 30 30 30 30 30", 0, "groups"},
        {"1D 28 45 04 00 05 7E AB FE", 0, "cannot be -341"},
        {"1D 28 45 04 00 05 04 00 00", 0, "no customize value 04"},
        {"1D 28 45 06 00 0B 01 31 32 30 30", 0, "no baud rate \"1200\""},
        {"1D 28 45 03 00 0B 02 33", 0, "parity must be one of"},
        {"1D 28 45 03 00 0B 04 39", 0, "data length"},
        {"18 1D 28 45 FF FF 03", 1, "cut short"},
        {"0A 1D", 1, "cut short"},
        {"1D 21", 0, "GS '!'"},
        {"1D 38 4C FF FF FF FF 30 43", 0, "cut short"},
        {"1D 38 4C 10 00 00 00 30 43 30 22 20 01 10 00 02 00 31 00 00 00 00 00", 0,
         "take 15 parameter bytes, the command gives 16"},
        {"1D 38 4C 0C 00 00 00 30 43 30 22 20 03 08 00 01 00 31 00", 0, "3 colours"},
        {"1D 38 4C 0C 00 00 00 30 43 30 22 20 01 08 00 01 00 33 FF", 0, "colour 33"},
        {"1D 28 4C 04 00 30 42 1F 20", 0, "key code 1F 20"},
        {"1D 28 4C 06 00 30 45 20 20 03 01", 0, "scale 3 x 1"},
        {"1D 28 4C 02 00 30 30", 0, "no function 48"},
        {"41 00 01 02 42", 1, "3 bytes from 00 on"},
        {"1D 65 75 43 03", 0, "colour 3 is not 1 or 2"},
        {"1D 28 45 03 00 0B 03 31", 0, "not in user-setup mode"},
        {kEnter + "1D 28 41 02 00 00 02" + kLeave, 8, "in user-setup mode"},
        {kEnter + "1D 28 45 03 00 0B 03 31", 16, "ends in user-setup mode"},
        {"1D 28 4C 06 00 30 45 21 20 01 01", 0, "no NV graphics under key 21 20"},
    };
    for (const auto& [hex, offset, message] : cases) {
        SCOPED_TRACE(hex);
        KrPrinter printer(FactoryPrinterState(18));
        const PrinterState before = printer.state();
        const JobResult job = printer.receive(Hex(hex));
        ASSERT_FALSE(job.errors.empty());
        EXPECT_EQ(job.errors.front().offset, offset);
        EXPECT_NE(job.errors.front().message.find(message), std::string::npos)
            << job.errors.front().message;
        EXPECT_EQ(printer.state().settings, before.settings);
    }
}

TEST(EmulatorStream, ValuesWrittenInUserSetupModeWaitForItsEnd) {
    KrPrinter printer(FactoryPrinterState(18));
    const SetupValues factory = printer.state().settings;
    // Job 1 enters and writes XON/XOFF but never leaves: nothing changes, the mode stays.
    EXPECT_FALSE(printer.receive(Hex(kEnter + "1D 28 45 03 00 0B 03 31")).errors.empty());
    EXPECT_TRUE(printer.state().inUserSetupMode());
    EXPECT_EQ(printer.state().settings, factory);
    // Job 2 enters again, which starts over: its leave puts in force only what it wrote.
    ASSERT_TRUE(printer.receive(Hex(kEnter + "1D 28 45 03 00 0B 04 37" + kLeave)).errors.empty());
    EXPECT_EQ(printer.state().settings.serial.flow, FlowControl::DsrDtr);
    EXPECT_EQ(printer.state().settings.serial.dataBits, 7);
    // A switch written as 2 leaves the bit as the printer has it.
    const auto job = [&](const std::string& switches) {
        return printer.receive(Hex(kEnter + "1D 28 45 0A 00 03 7D " + switches + kLeave)).errors;
    };
    ASSERT_TRUE(job("31 30 31 30 31 30 31 30").empty());
    ASSERT_TRUE(job("32 31 32 32 32 32 32 31").empty());
    EXPECT_EQ(printer.state().settings.switchByte(SwitchNumber::Ext7D), 0b11101011);
    EXPECT_EQ(SwitchBits(0b11101011), "11101011");  // as the settings list shows it, bit 8 first
}

TEST(EmulatorStream, TextWrapsAtThePaperColumns) {
    Bytes text(49, 'A');
    text.push_back(0x0A);
    const JobResult job = KrPrinter(FactoryPrinterState(18)).receive(text);
    ASSERT_EQ(std::make_tuple(job.errors.size(), job.printouts.size()), std::make_tuple(0u, 1u));
    std::vector<std::string> lines;
    for (const PrintedBlock& block : job.printouts[0].blocks) {
        lines.push_back(std::get<PrintedLine>(block).text);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{std::string(48, 'A'), "A"}));
}

TEST(EmulatorStream, ALogoThatDoesNotFitTheGraphicsMemoryIsRefused) {
    KrPrinter printer(FactoryPrinterState(18));
    // NV Graphic Memory "64KByte": one 48 KB logo fits, a second does not, a replacement does.
    ASSERT_TRUE(
        printer.receive(Hex(kEnter + "1D 28 45 04 00 05 02 02 00" + kLeave)).errors.empty());
    ASSERT_TRUE(printer.receive(DefineStream(0, 96, 512, false)).errors.empty());
    const auto full = printer.receive(DefineStream(1, 96, 512, false)).errors;
    ASSERT_EQ(full.size(), 1u);
    EXPECT_EQ(full[0].message,
              "NV graphics memory full: key 21 20 needs 49152 bytes, 16384 of 65536 are free");
    EXPECT_TRUE(printer.receive(DefineStream(0, 96, 600, false)).errors.empty());
    EXPECT_EQ(printer.state().graphics.size(), 1u);
    EXPECT_EQ(printer.state().graphics.begin()->second.height, 600);
}

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

TEST(EmulatorRoundTrip, FactoryDefaultAndRandomRecordsComeBackFromThePrinter) {
    const HostPortSettings eightBits{.dataBitsCode = 1};
    // Every profile state that changes the stream; the host port decides the serial order.
    const std::tuple<ProfileState, std::uint32_t, HostPortSettings> profiles[] = {
        {{}, mechanism::FullCut, eightBits},
        {{.egypt = true}, mechanism::KR700, eightBits},
        {{.specIndex = SpecIndex::QDN, .taiwan = true}, mechanism::FullCut, eightBits},
        {{.specIndex = SpecIndex::QWB}, mechanism::KR500, eightBits},
        {{}, mechanism::Standard, {.dataBitsCode = 0, .parityCode = 1}},
    };
    std::vector<SettingsRecord> records;
    for (int n = 0; n < kSpecCount * kMechanismCount; ++n) {
        records.push_back(FactoryDefaultRecord(static_cast<SpecIndex>(n / kMechanismCount),
                                               static_cast<MechanismIndex>(n % kMechanismCount)));
    }
    std::mt19937 random(20240610);
    for (int i = 0; i < 300; ++i) {
        const auto cut = static_cast<std::int16_t>(
            kBmCutAdjustmentMin +
            static_cast<int>(random() % (kBmCutAdjustmentMax - kBmCutAdjustmentMin + 1)));
        records.push_back(
            Record([&](std::size_t, unsigned top) { return random() % (top + 1); }, cut));
    }
    for (const auto& [profile, mechanismId, hostPort] : profiles) {
        for (const SettingsRecord& record : records) {
            for (const auto kind :
                 {SettingJobKind::SendSettings, SettingJobKind::InitializePrinter}) {
                // The printer last took a record with every byte at another option, so a byte the
                // stream fails to write shows.
                const SettingsRecord before =
                    Record([&](std::size_t i, unsigned top) { return (record[i] + 1) % (top + 1); },
                           BmCutAdjustment(record) == 0 ? 123 : 0);
                KrPrinter setup(FactoryPrinterState(mechanismId));
                setup.receive(BuildSettingStream(SettingJobKind::SendSettings, before,
                                                 {.egypt = true}, eightBits));
                KrPrinter printer(setup.takeState());
                const JobResult job =
                    printer.receive(BuildSettingStream(kind, record, profile, hostPort));
                ASSERT_TRUE(job.errors.empty()) << job.errors.front().message;
                // Carried: all but the reserved byte; an initialization keeps the paper width of
                // the printer's guide; Font B only for OVERSEA; the cut adjustment only for Egypt.
                RecordBytes carried;
                carried.set().reset(o::Reserved);
                carried.set(o::PaperWidth, kind != SettingJobKind::InitializePrinter);
                carried.set(o::FontB, profile.specIndex == SpecIndex::OVERSEA);
                carried.set(o::BmCutAdjustment, profile.egypt);
                carried.set(o::BmCutAdjustment + 1, profile.egypt);
                ASSERT_EQ(CarriedBytes(printer.written()), carried);
                const DecodedSettings decoded = DecodeSettings(printer.state().settings);
                for (std::size_t i = 0; i < o::Reserved; ++i) {
                    ASSERT_TRUE(decoded.known.test(i)) << "byte " << i;
                    ASSERT_EQ(decoded.record[i], carried.test(i) ? record[i] : before[i])
                        << "byte " << i << (carried.test(i) ? " (sent)" : " (not sent)");
                }
            }
        }
    }
}

}  // namespace
}  // namespace kestrel::emulator
