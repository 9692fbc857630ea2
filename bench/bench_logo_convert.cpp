// Logo conversion of whole 24-bit files (read, decode, dither, define command), in MB/s of file
// input, beside a memcpy of the same number of bytes measured in the same run, with two parts
// of it alone: the file's bytes read in bands as the conversion reads them, and the conversion
// of a file already in memory. Run with --benchmark_repetitions=N: each figure then also gets
// its fastest repetition ("_min") beside mean and median. Read that row by its time: its rate
// column is the lowest rate of the repetitions, not the rate of the fastest one.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "logo/logo_job.h"

namespace {

namespace fs = std::filesystem;

void PutLe(std::vector<char>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>(value >> (8 * i)));
    }
}

// A 24-bit file with a smooth gradient and some noise, so the dither sees every grey level.
fs::path WriteImage(std::uint32_t width, std::uint32_t height) {
    const fs::path path = fs::temp_directory_path() / ("kestrel-bench-" + std::to_string(width) +
                                                       "x" + std::to_string(height) + ".bmp");
    if (fs::exists(path)) {
        return path;
    }
    const std::uint32_t rowSize = (width * 3 + 3) / 4 * 4;
    std::vector<char> file{'B', 'M'};
    PutLe(file, 54 + rowSize * height, 4);
    PutLe(file, 0, 4);
    PutLe(file, 54, 4);
    for (const std::uint32_t v : {40u, width, height}) {
        PutLe(file, v, 4);
    }
    PutLe(file, 1, 2);
    PutLe(file, 24, 2);
    for (int i = 0; i < 6; ++i) {
        PutLe(file, 0, 4);
    }
    std::minstd_rand noise(7);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < rowSize; ++x) {
            file.push_back(static_cast<char>((x * 255 / rowSize + y % 64 + noise() % 16) & 0xFF));
        }
    }
    std::ofstream(path, std::ios::binary)
        .write(file.data(), static_cast<std::streamsize>(file.size()));
    return path;
}

void BM_ConvertLogoFile(benchmark::State& state) {
    const fs::path path = WriteImage(static_cast<std::uint32_t>(state.range(0)),
                                     static_cast<std::uint32_t>(state.range(1)));
    const auto bytes = static_cast<std::int64_t>(fs::file_size(path));
    for (auto _ : state) {
        kestrel::LogoJobBuffer buffer;
        if (kestrel::ConvertLogoFile(path, 0, buffer) != kestrel::BitmapReadResult::BMP_OK) {
            state.SkipWithError("conversion failed");
            break;
        }
        benchmark::DoNotOptimize(buffer.data.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

// The conversion alone, of a file already read: shows what the file read costs above.
void BM_ConvertLogoBitmap(benchmark::State& state) {
    const fs::path path = WriteImage(static_cast<std::uint32_t>(state.range(0)),
                                     static_cast<std::uint32_t>(state.range(1)));
    const kestrel::BitmapRead read = kestrel::ReadLogoBitmap(path, false);
    if (read.result != kestrel::BitmapReadResult::BMP_OK) {
        state.SkipWithError("read failed");
        return;
    }
    for (auto _ : state) {
        const kestrel::LogoConversion conversion = kestrel::ConvertLogoBitmap(*read.bitmap, false);
        benchmark::DoNotOptimize(conversion.planes.plane1.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
}

// The file's bytes alone, read through the stream in the conversion's 128 KB bands into one
// reused buffer: the part of the conversion no faster dither can remove.
void BM_ReadFileInBands(benchmark::State& state) {
    const fs::path path = WriteImage(static_cast<std::uint32_t>(state.range(0)),
                                     static_cast<std::uint32_t>(state.range(1)));
    const auto bytes = static_cast<std::int64_t>(fs::file_size(path));
    std::vector<char> band(128 * 1024);
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::int64_t got = 0;
        while (in.read(band.data(), static_cast<std::streamsize>(band.size())) || in.gcount() > 0) {
            got += in.gcount();
        }
        if (got != bytes) {
            state.SkipWithError("short read");
            break;
        }
        benchmark::DoNotOptimize(band.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_MemcpySameBytes(benchmark::State& state) {
    const std::size_t bytes = 54 + std::size_t((state.range(0) * 3 + 3) / 4 * 4) * state.range(1);
    std::vector<char> from(bytes, 1);
    std::vector<char> to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

double MinimumOf(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::ranges::min_element(values);
}

// A 58 mm logo, an 80 mm one, a long 80 mm one and a picture far larger than any printer's.
void Sizes(benchmark::internal::Benchmark* b) {
    for (const auto& [width, height] :
         {std::pair{384, 200}, {576, 1000}, {576, 2000}, {4096, 4096}}) {
        b->Args({width, height});
    }
    b->ComputeStatistics("min", MinimumOf)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_ConvertLogoFile)->Apply(Sizes);
BENCHMARK(BM_ReadFileInBands)->Apply(Sizes);
BENCHMARK(BM_ConvertLogoBitmap)->Apply(Sizes);
BENCHMARK(BM_MemcpySameBytes)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
