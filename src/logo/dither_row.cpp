#include "logo/dither_row.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "logo/bayer_matrix.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrel {
namespace {

// The sums a pixel must stay below to print: [matrix column][image column mod 8].
using LimitTable = std::array<std::array<std::int16_t, 8>, 8>;

constexpr LimitTable BuildLimits() {
    LimitTable limits{};
    for (std::size_t column = 0; column < 8; ++column) {
        for (std::size_t x = 0; x < 8; ++x) {
            limits[column][x] =
                static_cast<std::int16_t>(std::max(12, 12 * BayerMatrix[x][column]));
        }
    }
    return limits;
}

constexpr LimitTable kLimits = BuildLimits();

bool SizesFit(std::span<const std::uint8_t> bgr, std::uint32_t width, std::span<std::uint8_t> out) {
    return bgr.size() / 3 >= width && out.size() >= (std::size_t{width} + 7) / 8;
}

// Pixels from `first` (a multiple of 8) to the width, one at a time.
void DitherTail(const std::uint8_t* bgr, std::uint32_t first, std::uint32_t width,
                const std::array<std::int16_t, 8>& limits, std::uint8_t* out) {
    for (std::uint32_t x0 = first; x0 < width; x0 += 8) {
        unsigned byte = 0;
        const std::uint32_t end = std::min(width, x0 + 8);
        for (std::uint32_t x = x0; x < end; ++x) {
            const std::uint8_t* p = bgr + std::size_t{x} * 3;
            const int sum = p[0] + p[1] + p[2];
            byte |= static_cast<unsigned>(sum < limits[x % 8]) << (7 - x % 8);
        }
        out[x0 / 8] = static_cast<std::uint8_t>(byte);
    }
}

#if defined(__SSE2__)
// Bit order of a byte reversed: the vector compare yields the leftmost pixel in bit 0.
constexpr std::array<std::uint8_t, 256> BuildReversed() {
    std::array<std::uint8_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned r = 0;
        for (unsigned bit = 0; bit < 8; ++bit) {
            r |= ((i >> bit) & 1u) << (7 - bit);
        }
        table[i] = static_cast<std::uint8_t>(r);
    }
    return table;
}

constexpr std::array<std::uint8_t, 256> kReversed = BuildReversed();

// Sixteen pixels (48 bytes) at a time: the bytes are sorted into three vectors holding one
// channel each by four rounds of interleaving, widened to 16 bits, summed and compared.
std::uint32_t DitherSixteens(const std::uint8_t* bgr, std::uint32_t width,
                             const std::array<std::int16_t, 8>& limits, std::uint8_t* out) {
    const __m128i limit = _mm_loadu_si128(reinterpret_cast<const __m128i*>(limits.data()));
    const __m128i zero = _mm_setzero_si128();
    const auto high = [](__m128i v) { return _mm_unpackhi_epi64(v, v); };
    std::uint32_t x = 0;
    for (; x + 16 <= width; x += 16, bgr += 48) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr + 16));
        __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgr + 32));
        for (int round = 0; round < 4; ++round) {
            const __m128i na = _mm_unpacklo_epi8(a, high(b));
            const __m128i nb = _mm_unpacklo_epi8(high(a), c);
            const __m128i nc = _mm_unpacklo_epi8(b, high(c));
            a = na;
            b = nb;
            c = nc;
        }
        const __m128i low =
            _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)),
                          _mm_unpacklo_epi8(c, zero));
        const __m128i upper =
            _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)),
                          _mm_unpackhi_epi8(c, zero));
        const __m128i dots =
            _mm_packs_epi16(_mm_cmplt_epi16(low, limit), _mm_cmplt_epi16(upper, limit));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(dots));
        out[x / 8] = kReversed[mask & 0xFFu];
        out[x / 8 + 1] = kReversed[mask >> 8];
    }
    return x;
}
#endif

}  // namespace

void DitherBgrRowPixelwise(std::span<const std::uint8_t> bgr, std::uint32_t width,
                           std::uint32_t rowFromBottom, std::span<std::uint8_t> out) {
    if (!SizesFit(bgr, width, out)) {
        return;
    }
    DitherTail(bgr.data(), 0, width, kLimits[rowFromBottom % 8], out.data());
}

void DitherBgrRow(std::span<const std::uint8_t> bgr, std::uint32_t width,
                  std::uint32_t rowFromBottom, std::span<std::uint8_t> out) {
    if (!SizesFit(bgr, width, out)) {
        return;
    }
    const std::array<std::int16_t, 8>& limits = kLimits[rowFromBottom % 8];
    std::uint32_t done = 0;
#if defined(__SSE2__)
    done = DitherSixteens(bgr.data(), width, limits, out.data());
#endif
    DitherTail(bgr.data() + std::size_t{done} * 3, 0, width - done, limits, out.data() + done / 8);
}

}  // namespace kestrel
