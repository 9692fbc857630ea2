// Builders of small bitmap files for the logo tests (the scratch folder is in test_helpers.h).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "test_helpers.h"

namespace kestrel::testing {

struct Bgr {
    std::uint8_t b = 0, g = 0, r = 0;
    bool operator==(const Bgr&) const = default;
};

// The fields of a file that a test wants to control; the rest follow from them.
struct BmpFields {
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 40;
    std::uint32_t coloursUsed = 0;
    std::vector<Bgr> palette;             // written in the header's entry size
    std::vector<std::uint8_t> pixelData;  // exactly as stored
};

inline void PutLe(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

inline std::vector<std::uint8_t> MakeBmp(const BmpFields& f) {
    std::vector<std::uint8_t> body;
    const bool core = f.headerSize == 12;  // 16-bit sizes, three-byte colour entries
    PutLe(body, f.headerSize, 4);
    PutLe(body, static_cast<std::uint32_t>(f.width), core ? 2 : 4);
    PutLe(body, static_cast<std::uint32_t>(f.height), core ? 2 : 4);
    PutLe(body, 1, 2);  // planes
    PutLe(body, f.bitCount, 2);
    if (!core) {
        for (const std::uint64_t field :
             {std::uint64_t{f.compression}, std::uint64_t{f.pixelData.size()}, std::uint64_t{2835},
              std::uint64_t{2835}, std::uint64_t{f.coloursUsed}, std::uint64_t{0}}) {
            PutLe(body, field, 4);
        }
        body.resize(f.headerSize, 0);
    }
    for (const Bgr& c : f.palette) {
        body.insert(body.end(), {c.b, c.g, c.r});
        if (!core) {
            body.push_back(0);
        }
    }
    const std::size_t offset = 14 + body.size();
    body.insert(body.end(), f.pixelData.begin(), f.pixelData.end());
    std::vector<std::uint8_t> file{'B', 'M'};
    PutLe(file, 14 + body.size(), 4);
    PutLe(file, 0, 4);
    PutLe(file, offset, 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// Offsets of the fields of a file with an information header, and the file with some changed.
struct At {
    static constexpr std::size_t FileSize = 2, PixelOffset = 10, HeaderSize = 14, Width = 18,
                                 Height = 22, Compression = 30, ColoursUsed = 46;
};
inline std::vector<std::uint8_t> Patched(
    std::vector<std::uint8_t> file,
    std::initializer_list<std::pair<std::size_t, std::int64_t>> fields) {
    for (const auto& [at, value] : fields) {
        for (int i = 0; i < 4; ++i) {
            file.at(at + i) =
                static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
        }
    }
    return file;
}

inline std::size_t RowSize(std::int32_t width, int bits) {
    return ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
}

// The file of f with bottom-up rows whose pixel (x, row from the top) holds valueAt's value: a
// palette index, or blue | green << 8 | red << 16 at 24 bits.
inline std::vector<std::uint8_t> WithPixels(BmpFields f,
                                            const std::function<std::uint32_t(int, int)>& valueAt) {
    const std::size_t rowSize = RowSize(f.width, f.bitCount);
    f.pixelData.assign(rowSize * f.height, 0);
    for (int y = 0; y < f.height; ++y) {
        std::uint8_t* row = f.pixelData.data() + (f.height - 1 - y) * rowSize;
        for (int x = 0; x < f.width; ++x) {
            const std::uint32_t v = valueAt(x, y);
            const int bit = x * f.bitCount;            // leftmost pixel in the high bits
            for (int b = 0; b < f.bitCount; b += 8) {  // 24 bits: blue, green, red
                row[(bit + b) / 8] |= static_cast<std::uint8_t>(
                    f.bitCount == 24 ? v >> b : v << (8 - f.bitCount - bit % 8));
            }
        }
    }
    return MakeBmp(f);
}

inline std::vector<std::uint8_t> Make24Bit(std::int32_t width, std::int32_t height,
                                           const std::function<Bgr(int, int)>& colourAt) {
    BmpFields f;
    f.width = width;
    f.height = height;
    return WithPixels(f, [&](int x, int y) {
        const Bgr c = colourAt(x, y);
        return std::uint32_t{c.b} | std::uint32_t{c.g} << 8 | std::uint32_t{c.r} << 16;
    });
}

// A 1-, 4- or 8-bit palette file.
inline std::vector<std::uint8_t> MakePalette(std::int32_t width, std::int32_t height, int bits,
                                             std::vector<Bgr> palette,
                                             const std::function<int(int, int)>& indexAt) {
    BmpFields f;
    f.width = width;
    f.height = height;
    f.bitCount = static_cast<std::uint16_t>(bits);
    f.coloursUsed = static_cast<std::uint32_t>(palette.size());
    f.palette = std::move(palette);
    return WithPixels(f, [&](int x, int y) { return static_cast<std::uint32_t>(indexAt(x, y)); });
}

}  // namespace kestrel::testing
