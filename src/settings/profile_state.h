// Which model and region variant is in force. Read once from the profile at start-up; the region
// flags are reconciled with the selected printer later and can only be cleared after that.
#pragma once

#include <cstdint>

namespace kestrel {

// Region or customer spec: selects the row of the factory default table.
enum class SpecIndex : std::uint16_t { OVERSEA = 0, QMRA = 1, QWB = 2, QDN = 3, OVERSEA2 = 4 };

// Mechanism variant: selects the column of the factory default table.
enum class MechanismIndex : std::uint16_t {
    STANDARD = 0,
    BLACKMARK = 1,
    FULLCUT = 2,
    BLKMK_FCUT = 3,
    KR700 = 4,
    KR500 = 5,
};

// Mechanism ids as carried by a printer entry: 16 + mechanism index for the supported printers.
namespace mechanism {
inline constexpr std::uint32_t Standard = 16;
inline constexpr std::uint32_t BlackMark = 17;
inline constexpr std::uint32_t FullCut = 18;
inline constexpr std::uint32_t BlackMarkFullCut = 19;
inline constexpr std::uint32_t KR700 = 20;
inline constexpr std::uint32_t KR500 = 21;
inline constexpr std::uint32_t Unsupported = 240;
}  // namespace mechanism

struct ProfileState {
    SpecIndex specIndex = SpecIndex::OVERSEA;
    MechanismIndex mechanismIndex = MechanismIndex::STANDARD;
    bool egypt = false;
    bool taiwan = false;
    bool debug = false;

    bool operator==(const ProfileState&) const = default;
};

}  // namespace kestrel
