// The GS ( E stream that writes a settings record into the printer, byte for byte and in the
// printer's order; which bytes each kind of stream carries is checked through the virtual printer.
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
constexpr auto kSend = SettingJobKind::SendSettings;

SettingsRecord Base() {
    return FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& v, std::size_t at, std::size_t n) {
    return {v.begin() + static_cast<std::ptrdiff_t>(std::min(at, v.size())),
            v.begin() + static_cast<std::ptrdiff_t>(std::min(at + n, v.size()))};
}

TEST(SettingEncoder, BaseRecordSendMatchesTheWorkedExampleByteForByte) {
    const auto expected = Hex(testing::kSendWorkedExample);
    ASSERT_EQ(expected.size(), 167u);
    EXPECT_EQ(BuildSettingStream(kSend, Base(), {}, kHost8Bit), expected);
}

// The cut adjustment goes as customize value 7E after the others, before the baud rate.
TEST(SettingEncoder, EgyptFlagAddsTheCutAdjustment) {
    ProfileState egypt;
    egypt.egypt = true;
    SettingsRecord r = Base();
    SetBmCutAdjustment(r, -340);
    auto expected = BuildSettingStream(kSend, r, {}, kHost8Bit);
    const auto command = Hex("1D 28 45 04 00 05 7E AC FE");
    expected.insert(expected.begin() + 13 + 33 + 30, command.begin(), command.end());
    EXPECT_EQ(BuildSettingStream(kSend, r, egypt, kHost8Bit), expected);
    EXPECT_LE(expected.size(), kSettingBufferSize);
}

// The printer applies each serial command as it arrives: a host on 8 bits gets the parity first.
TEST(SettingEncoder, DataLengthAndParityFollowTheHostLine) {
    const struct {
        std::uint8_t format;
        HostPortSettings host;
        std::string first, second;
    } cases[] = {
        {2, kHost8Bit, "1D 28 45 03 00 0B 02 30", "1D 28 45 03 00 0B 04 38"},
        {0, kHost8Bit, "1D 28 45 03 00 0B 02 32", "1D 28 45 03 00 0B 04 37"},
        {1, kHost8Bit, "1D 28 45 03 00 0B 02 31", "1D 28 45 03 00 0B 04 37"},
        {3, kHost7Bit, "1D 28 45 03 00 0B 04 38", "1D 28 45 03 00 0B 02 32"},
        {4, kHost7Bit, "1D 28 45 03 00 0B 04 38", "1D 28 45 03 00 0B 02 31"},
    };
    for (const auto& c : cases) {
        SettingsRecord r = Base();
        r[offset::Format] = c.format;
        const auto stream = BuildSettingStream(kSend, r, {}, c.host);
        const std::size_t at = 5 + 8 + 33 + 30 + 13;  // after the 115200 baud command
        EXPECT_EQ(Slice(stream, at, 8), Hex(c.first)) << int(c.format);
        EXPECT_EQ(Slice(stream, at + 8, 8), Hex(c.second)) << int(c.format);
    }
}

TEST(SettingEncoder, CustomizeValuesAndBaudRateOfAnotherRecord) {
    SettingsRecord r = Base();
    r[offset::PrintDensity] = 0;  // 70% -> -6
    r[offset::BkDensity] = 12;    // 130% -> 6
    r[offset::PrintColor] = 1;    // Two -> 257
    r[offset::PaperWidth] = 5;    // 32 columns
    r[offset::MaxSpeed] = 10;     // 11
    r[offset::Baudrate] = 0;      // 2400, as text
    const auto stream = BuildSettingStream(kSend, r, {}, kHost8Bit);
    EXPECT_EQ(Slice(stream, 5 + 8 + 33 + 6, 24),
              Hex("01 04 00 02 07 00 03 20 00 05 FA FF 06 0B 00 61 00 00 74 01 01 76 06 00"));
    EXPECT_EQ(Slice(stream, 76, 11), Hex("1D 28 45 06 00 0B 01 32 34 30 30"));
}

}  // namespace
}  // namespace kestrel
