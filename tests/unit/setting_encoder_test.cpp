#include "settings/setting_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "settings/factory_defaults.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

using testing::Hex;

const HostPortSettings kHost8Bit{6, 1, 0, 0, 2};
const HostPortSettings kHost7Bit{6, 0, 1, 0, 0};

SettingsRecord Base() {
    return FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
}

TEST(SettingEncoder, BaseRecordSendMatchesTheWorkedExampleByteForByte) {
    const auto expected = Hex(testing::kSendWorkedExample);
    ASSERT_EQ(expected.size(), 167u);
    EXPECT_EQ(BuildSettingStream(SettingJobKind::SendSettings, Base(), {}, kHost8Bit), expected);
}

TEST(SettingEncoder, EgyptFlagAddsCutAdjustmentAsCustomizeValue7E) {
    ProfileState egypt;
    egypt.egypt = true;
    SettingsRecord r = Base();
    SetBmCutAdjustment(r, -340);
    const auto stream = BuildSettingStream(SettingJobKind::SendSettings, r, egypt, kHost8Bit);
    EXPECT_EQ(stream.size(), 176u);
    EXPECT_LE(stream.size(), kSettingBufferSize);
    const auto command = Hex("1D 28 45 04 00 05 7E AC FE");
    EXPECT_NE(std::ranges::search(stream, command).begin(), stream.end());
    // It follows the customize values and precedes the baud rate.
    const auto plain = BuildSettingStream(SettingJobKind::SendSettings, r, {}, kHost8Bit);
    std::vector<std::uint8_t> spliced(plain.begin(), plain.begin() + 13 + 33 + 30);
    spliced.insert(spliced.end(), command.begin(), command.end());
    spliced.insert(spliced.end(), plain.begin() + 13 + 33 + 30, plain.end());
    EXPECT_EQ(stream, spliced);
}

TEST(SettingEncoder, InitializeSendsSevenCustomizeValuesAndNoPaperWidth) {
    const auto stream =
        BuildSettingStream(SettingJobKind::InitializePrinter, Base(), {}, kHost8Bit);
    // Customize command starts after CAN x5, enter (8) and switches (33).
    const std::size_t at = 5 + 8 + 33;
    EXPECT_EQ(std::vector<std::uint8_t>(stream.begin() + at, stream.begin() + at + 6),
              Hex("1D 28 45 16 00 05"));
    std::vector<std::uint8_t> numbers;
    for (std::size_t i = at + 6; i < at + 6 + 7 * 3; i += 3) {
        numbers.push_back(stream[i]);
    }
    EXPECT_EQ(numbers, Hex("01 02 05 06 61 74 76"));
    EXPECT_EQ(stream.size(), 164u);
}

struct SerialOrderCase {
    std::uint8_t format;
    HostPortSettings host;
    std::string first;
    std::string second;
};

class SerialOrder : public ::testing::TestWithParam<SerialOrderCase> {};

TEST_P(SerialOrder, DataLengthAndParityFollowTheHostLine) {
    const auto& c = GetParam();
    SettingsRecord r = Base();
    r[offset::Format] = c.format;
    const auto stream = BuildSettingStream(SettingJobKind::SendSettings, r, {}, c.host);
    const std::size_t at = 5 + 8 + 33 + 30 + 13;  // after the 115200 baud command
    EXPECT_EQ(std::vector<std::uint8_t>(stream.begin() + at, stream.begin() + at + 8),
              Hex(c.first));
    EXPECT_EQ(std::vector<std::uint8_t>(stream.begin() + at + 8, stream.begin() + at + 16),
              Hex(c.second));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SerialOrder,
    ::testing::Values(
        // 8-bit host: parity first.
        SerialOrderCase{2, kHost8Bit, "1D 28 45 03 00 0B 02 30", "1D 28 45 03 00 0B 04 38"},
        SerialOrderCase{0, kHost8Bit, "1D 28 45 03 00 0B 02 32", "1D 28 45 03 00 0B 04 37"},
        SerialOrderCase{1, kHost8Bit, "1D 28 45 03 00 0B 02 31", "1D 28 45 03 00 0B 04 37"},
        // 7-bit host: data length first.
        SerialOrderCase{2, kHost7Bit, "1D 28 45 03 00 0B 04 38", "1D 28 45 03 00 0B 02 30"},
        SerialOrderCase{3, kHost7Bit, "1D 28 45 03 00 0B 04 38", "1D 28 45 03 00 0B 02 32"},
        SerialOrderCase{4, kHost7Bit, "1D 28 45 03 00 0B 04 38", "1D 28 45 03 00 0B 02 31"}));

TEST(SettingEncoder, BaudCommandCarriesTheRateAsText) {
    const std::vector<std::string> expected{
        "1D 28 45 06 00 0B 01 32 34 30 30",      "1D 28 45 06 00 0B 01 34 38 30 30",
        "1D 28 45 06 00 0B 01 39 36 30 30",      "1D 28 45 07 00 0B 01 31 39 32 30 30",
        "1D 28 45 07 00 0B 01 33 38 34 30 30",   "1D 28 45 07 00 0B 01 35 37 36 30 30",
        "1D 28 45 08 00 0B 01 31 31 35 32 30 30"};
    for (std::uint8_t baud = 0; baud < 7; ++baud) {
        SettingsRecord r = Base();
        r[offset::Baudrate] = baud;
        const auto stream = BuildSettingStream(SettingJobKind::SendSettings, r, {}, kHost8Bit);
        const auto command = Hex(expected[baud]);
        EXPECT_EQ(
            std::vector<std::uint8_t>(stream.begin() + 76, stream.begin() + 76 + command.size()),
            command)
            << int(baud);
    }
}

TEST(SettingEncoder, FontBPositionIsKeptUnlessSpecIsOversea) {
    SettingsRecord r = Base();
    r[offset::FontB] = 1;
    const std::size_t fontBAt = 167 - 9 - 3 * 15 + 7 + 4;  // switch 7E, position 5
    for (int spec = 0; spec < kSpecCount; ++spec) {
        ProfileState p;
        p.specIndex = static_cast<SpecIndex>(spec);
        const auto stream = BuildSettingStream(SettingJobKind::SendSettings, r, p, kHost8Bit);
        EXPECT_EQ(stream[fontBAt], spec == 0 ? '1' : '2') << spec;
    }
}

TEST(SettingEncoder, CustomizeValuesEncodeSignedAndColourValues) {
    SettingsRecord r = Base();
    r[offset::PrintDensity] = 0;  // 70% -> -6
    r[offset::BkDensity] = 12;    // 130% -> 6
    r[offset::PrintColor] = 1;    // Two -> 257
    r[offset::PaperWidth] = 5;    // 32 columns
    r[offset::MaxSpeed] = 10;     // 11
    const auto stream = BuildSettingStream(SettingJobKind::SendSettings, r, {}, kHost8Bit);
    const std::size_t at = 5 + 8 + 33 + 6;
    EXPECT_EQ(std::vector<std::uint8_t>(stream.begin() + at, stream.begin() + at + 24),
              Hex("01 04 00 02 07 00 03 20 00 05 FA FF 06 0B 00 61 00 00 74 01 01 76 06 00"));
}

}  // namespace
}  // namespace kestrel
