// Listing and classifying every queue of the scheduler at CUPS_SERVER, next to `lpstat -v` on
// the same scheduler in the same run. Both report "per_queue", the time per listed queue.
//
//   source tests/cups/harness.sh; cups_start; bash tests/cups/make_many_queues.sh 1000
//   build/bench/bench_queue_listing
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/cups/cups_print_system.h"
#include "printer/printer_sort.h"
#include "printer/queue_classification.h"

namespace {

void ReportPerQueue(benchmark::State& state, std::size_t queues) {
    state.counters["queues"] = static_cast<double>(queues);
    state.counters["per_queue"] =
        benchmark::Counter(static_cast<double>(queues) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ListAndClassifyQueues(benchmark::State& state) {
    kestrel::CupsPrintSystem system;
    std::size_t queues = 0;
    for (auto _ : state) {
        const auto listed = system.listQueues();
        auto table = kestrel::BuildPrinterTable(listed);
        benchmark::DoNotOptimize(table.entries.data());
        queues = listed.size();
    }
    if (queues == 0) {
        state.SkipWithError("no queues at CUPS_SERVER");
        return;
    }
    ReportPerQueue(state, queues);
}
BENCHMARK(BM_ListAndClassifyQueues)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the selection list does on every fill: list, classify and sort by printer name.
void BM_ListClassifyAndSortQueues(benchmark::State& state) {
    kestrel::CupsPrintSystem system;
    std::size_t queues = 0;
    for (auto _ : state) {
        auto table = kestrel::BuildPrinterTable(system.listQueues());
        kestrel::SortAfterFill(table.entries, kestrel::SortDirection::Rising);
        benchmark::DoNotOptimize(table.entries.data());
        queues = table.entries.size();
    }
    if (queues == 0) {
        state.SkipWithError("no queues at CUPS_SERVER");
        return;
    }
    ReportPerQueue(state, queues);
}
BENCHMARK(BM_ListClassifyAndSortQueues)->Unit(benchmark::kMillisecond)->UseRealTime();

struct PipeCloser {
    void operator()(std::FILE* pipe) const { pclose(pipe); }
};

// The baseline: the CUPS tool listing every queue's device URI, output read to the end.
void BM_LpstatV(benchmark::State& state) {
    std::size_t queues = 0;
    for (auto _ : state) {
        const std::unique_ptr<std::FILE, PipeCloser> pipe(popen("lpstat -v 2>/dev/null", "r"));
        if (!pipe) {
            state.SkipWithError("cannot run lpstat");
            return;
        }
        std::array<char, 65536> buffer{};
        std::size_t lines = 0;
        std::size_t got = 0;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
            for (std::size_t i = 0; i < got; ++i) {
                lines += buffer[i] == '\n' ? 1 : 0;
            }
        }
        queues = lines;
    }
    if (queues == 0) {
        state.SkipWithError("lpstat -v listed no queues");
        return;
    }
    ReportPerQueue(state, queues);
}
BENCHMARK(BM_LpstatV)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
