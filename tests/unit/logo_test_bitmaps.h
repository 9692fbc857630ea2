// Builders of small bitmap files for the logo tests, and a scratch folder that removes itself.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

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
    std::uint16_t planes = 1;
    std::uint32_t coloursUsed = 0;
    std::vector<Bgr> palette;             // written in the header's entry size
    std::vector<std::uint8_t> pixelData;  // exactly as stored
    std::optional<std::uint32_t> fileSizeField;
    std::optional<std::uint32_t> offsetField;
    std::size_t gapBeforePixels = 0;  // bytes of 0xEE between colour table and pixels
};

inline void PutLe(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

inline std::vector<std::uint8_t> MakeBmp(const BmpFields& f) {
    std::vector<std::uint8_t> body;
    if (f.headerSize == 12) {
        PutLe(body, 12, 4);
        PutLe(body, static_cast<std::uint16_t>(f.width), 2);
        PutLe(body, static_cast<std::uint16_t>(f.height), 2);
        PutLe(body, f.planes, 2);
        PutLe(body, f.bitCount, 2);
    } else {
        PutLe(body, f.headerSize, 4);
        PutLe(body, static_cast<std::uint32_t>(f.width), 4);
        PutLe(body, static_cast<std::uint32_t>(f.height), 4);
        PutLe(body, f.planes, 2);
        PutLe(body, f.bitCount, 2);
        PutLe(body, f.compression, 4);
        PutLe(body, f.pixelData.size(), 4);
        PutLe(body, 2835, 4);
        PutLe(body, 2835, 4);
        PutLe(body, f.coloursUsed, 4);
        PutLe(body, 0, 4);
        body.resize(f.headerSize, 0);
    }
    for (const Bgr& c : f.palette) {
        body.push_back(c.b);
        body.push_back(c.g);
        body.push_back(c.r);
        if (f.headerSize != 12) {
            body.push_back(0);
        }
    }
    const std::size_t offset = 14 + body.size();
    body.insert(body.end(), f.gapBeforePixels, 0xEE);
    body.insert(body.end(), f.pixelData.begin(), f.pixelData.end());
    std::vector<std::uint8_t> file{'B', 'M'};
    PutLe(file, f.fileSizeField.value_or(static_cast<std::uint32_t>(14 + body.size())), 4);
    PutLe(file, 0, 4);
    PutLe(file, f.offsetField.value_or(static_cast<std::uint32_t>(offset + f.gapBeforePixels)), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

inline std::size_t RowSize(std::int32_t width, int bits) {
    return ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
}

// A 24-bit bottom-up file whose pixel (x, row from the top) has the colour colourAt gives.
inline std::vector<std::uint8_t> Make24Bit(std::int32_t width, std::int32_t height,
                                           const std::function<Bgr(int, int)>& colourAt) {
    BmpFields f;
    f.width = width;
    f.height = height;
    const std::size_t rowSize = RowSize(width, 24);
    f.pixelData.assign(rowSize * height, 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = f.pixelData.data() + (height - 1 - y) * rowSize;
        for (int x = 0; x < width; ++x) {
            const Bgr c = colourAt(x, y);
            row[x * 3] = c.b;
            row[x * 3 + 1] = c.g;
            row[x * 3 + 2] = c.r;
        }
    }
    return MakeBmp(f);
}

// An 8-bit (or 4-bit) bottom-up palette file whose pixel (x, row from the top) has the index
// indexAt gives.
inline std::vector<std::uint8_t> MakePalette(std::int32_t width, std::int32_t height, int bits,
                                             std::vector<Bgr> palette,
                                             const std::function<int(int, int)>& indexAt) {
    BmpFields f;
    f.width = width;
    f.height = height;
    f.bitCount = static_cast<std::uint16_t>(bits);
    f.coloursUsed = static_cast<std::uint32_t>(palette.size());
    f.palette = std::move(palette);
    const std::size_t rowSize = RowSize(width, bits);
    f.pixelData.assign(rowSize * height, 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = f.pixelData.data() + (height - 1 - y) * rowSize;
        for (int x = 0; x < width; ++x) {
            const auto index = static_cast<std::uint8_t>(indexAt(x, y));
            if (bits == 8) {
                row[x] = index;
            } else if (bits == 4) {
                row[x / 2] |= (x % 2 == 0) ? (index << 4) : index;
            } else {
                row[x / 8] |= (index & 1) << (7 - x % 8);
            }
        }
    }
    return MakeBmp(f);
}

class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device rd;
        m_path = std::filesystem::temp_directory_path() /
                 ("kestrel-logo-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::filesystem::path write(const std::string& name,
                                std::span<const std::uint8_t> bytes) const {
        const auto path = m_path / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}  // namespace kestrel::testing
