// The printer selection dialog over a print server with many queues: how long it takes to open
// (list, classify, sort, show), to sort again on a header click, and to accept a queue typed by
// its first letters (which reads that queue's state once more). Run against a scheduler that
// holds the queues; bench/selection_dialog_many_queues.sh makes a private one with 1,000:
//
//   QT_QPA_PLATFORM=offscreen CUPS_SERVER=... build/bench/bench_selection_dialog [--queue NAME]
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <chrono>
#include <cstring>
#include <sstream>

#include "app/selection/printer_selection_dialog.h"
#include "app/ui/qt_user_interface.h"
#include "platform/platform.h"

namespace {

using Clock = std::chrono::steady_clock;
QString g_queue = QStringLiteral("bench-0500");

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void BM_SelectionDialogManyQueues(benchmark::State& state) {
    std::ostringstream err;
    auto platform = kestrel::MakePlatform({}, err, "bench");
    if (!platform) {
        state.SkipWithError(err.str().c_str());
        return;
    }
    kestrel::gui::QtUserInterface ui;
    double openMs = 0, sortMs = 0, acceptMs = 0;
    int rows = 0;
    bool chosen = true;
    for (auto _ : state) {
        kestrel::AppState app;
        kestrel::SortDirection direction = kestrel::SortDirection::Rising;
        const auto start = Clock::now();
        kestrel::gui::PrinterSelectionWindow dialog(
            app, *platform->printSystem, *platform->hostPortStore, ui, direction, {}, nullptr);
        Clock::time_point shown, sorted;
        QTimer::singleShot(0, &dialog, [&] {
            shown = Clock::now();
            auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("printerList"));
            rows = list->topLevelItemCount();
            QHeaderView* header = list->header();
            const QPoint middle(header->sectionViewportPosition(0) + header->sectionSize(0) / 2,
                                header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
            sorted = Clock::now();
            QTest::keyClicks(list, g_queue);
            QTest::keyClick(list, Qt::Key_Return);
        });
        const auto result = dialog.run();
        const auto accepted = Clock::now();
        chosen = chosen && result == kestrel::SelectionDialogResult::Ok &&
                 app.selectedPrinter().printerName == g_queue.toStdString();
        openMs += Ms(shown - start);
        sortMs += Ms(sorted - shown);
        acceptMs += Ms(accepted - sorted);
        state.SetIterationTime(std::chrono::duration<double>(accepted - start).count());
    }
    if (!chosen) {
        state.SkipWithError("the typed queue was not the one accepted");
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["queues"] = rows;
    state.counters["open_ms"] = openMs / n;
    state.counters["header_sort_ms"] = sortMs / n;
    state.counters["accept_ms"] = acceptMs / n;
}
BENCHMARK(BM_SelectionDialogManyQueues)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--queue") == 0) {
            g_queue = QString::fromLocal8Bit(argv[i + 1]);
        }
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
