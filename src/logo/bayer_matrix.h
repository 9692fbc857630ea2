// The 8 x 8 ordered-dither thresholds 0 to 63, built by the standard Bayer rule
// M(2n) = [[4M, 4M + 2], [4M + 3, 4M + 1]] from M(1) = [0].
#pragma once

#include <array>
#include <cstdint>

namespace kestrel {

using BayerTable = std::array<std::array<std::uint8_t, 8>, 8>;

constexpr BayerTable BuildBayerMatrix() {
    BayerTable m{};
    int n = 1;  // m[0][0] = 0 is M(1)
    while (n < 8) {
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                const auto v = static_cast<std::uint8_t>(4 * m[i][j]);
                m[i][j] = v;
                m[i][j + n] = static_cast<std::uint8_t>(v + 2);
                m[i + n][j] = static_cast<std::uint8_t>(v + 3);
                m[i + n][j + n] = static_cast<std::uint8_t>(v + 1);
            }
        }
        n *= 2;
    }
    return m;
}

// Addressed as BayerMatrix[i][j]: i the matrix row, j the matrix column.
inline constexpr BayerTable BayerMatrix = BuildBayerMatrix();

}  // namespace kestrel
