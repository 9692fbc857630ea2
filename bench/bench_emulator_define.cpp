// The virtual printer taking a 2 MB logo define stream (the five logos of a full NV graphics
// memory, redefined over and over, as a fleet roll-out sends them), beside reading the same
// stream's file from disk. Decoding and applying it must take less than two reads of the file.
// After the benchmarks the program prints that ratio, measured as the best of several runs each.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "emulator/kr_printer.h"
#include "logo/logo_job.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kStreamBytes = 2 * 1024 * 1024;

// Five 512 x 1216 logos fill the 384 KB memory; the stream cycles through the five keys.
Bytes DefineStream() {
    kestrel::LogoPlanes planes;
    planes.rows = 1216;
    planes.planeSize = 64 * planes.rows;
    planes.plane1.resize(planes.planeSize);
    for (std::size_t i = 0; i < planes.plane1.size(); ++i) {
        planes.plane1[i] = static_cast<std::uint8_t>(i * 131 + (i >> 9));
    }
    Bytes stream;
    for (int n = 0; stream.size() < kStreamBytes; ++n) {
        kestrel::LogoJobBuffer buffer;
        kestrel::BuildLogoDefineCommand(planes, n % 5, buffer);
        stream.insert(stream.end(), buffer.data.begin(), buffer.data.end());
    }
    return stream;
}

const fs::path& StreamFile() {
    static const fs::path path = [] {
        const fs::path file = fs::temp_directory_path() / "kestrel-bench-define.prn";
        const Bytes stream = DefineStream();
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(stream.data()),
                   static_cast<std::streamsize>(stream.size()));
        return file;
    }();
    return path;
}

Bytes ReadFile(const fs::path& path) {
    Bytes bytes(fs::file_size(path));
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::size_t done = 0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    bytes.resize(done);
    return bytes;
}

const kestrel::emulator::PrinterState& Factory() {
    static const auto state = kestrel::emulator::FactoryPrinterState(18);
    return state;
}

bool DecodeAndApply(const Bytes& stream) {
    kestrel::emulator::KrPrinter printer(Factory());
    const auto job = printer.receive(stream);
    return job.errors.empty() && printer.state().graphics.size() == 5;
}

void BM_ReadStreamFile(benchmark::State& state) {
    const fs::path& file = StreamFile();
    for (auto _ : state) {
        Bytes bytes = ReadFile(file);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(file)));
}

void BM_DecodeAndApply(benchmark::State& state) {
    const Bytes stream = ReadFile(StreamFile());
    for (auto _ : state) {
        if (!DecodeAndApply(stream)) {
            state.SkipWithError("the printer refused the stream");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(stream.size()));
}

BENCHMARK(BM_ReadStreamFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeAndApply)->Unit(benchmark::kMicrosecond);

template <class F>
double BestMicroseconds(F&& run) {
    double best = 1e300;
    for (int i = 0; i < 50; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const Bytes stream = ReadFile(StreamFile());
    const double read = BestMicroseconds([] { benchmark::DoNotOptimize(ReadFile(StreamFile())); });
    const double apply =
        BestMicroseconds([&] { benchmark::DoNotOptimize(DecodeAndApply(stream)); });
    std::printf(
        "define stream of %zu bytes: read %.0f us, decode and apply %.0f us: %.2f of two "
        "reads (%s)\n",
        stream.size(), read, apply, apply / (2 * read), apply < 2 * read ? "faster" : "SLOWER");
    return apply < 2 * read ? 0 : 1;
}
