// The five logo slots of the printer's graphics memory and the file chosen for each. Kept for the
// run only: the table is emptied at every start and never stored.
#pragma once

#include <array>
#include <string>

namespace kestrel {

inline constexpr int kLogoSlotCount = 5;

struct LogoEntry {
    bool twoColor = false;
    std::string path;
};

using LogoTable = std::array<LogoEntry, kLogoSlotCount>;

}  // namespace kestrel
