#include <QHeaderView>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <mutex>

#include "app/selection/printer_selection_dialog.h"
#include "app/ui/qt_user_interface.h"
#include "ports/testing/fake_print_system.h"
#include "ports/testing/recording_host_port.h"
#include "ports/testing/recording_ui.h"
#include "printer/selection_outcome.h"

using namespace kestrel;

namespace {

QueueInfo Queue(std::string name, std::string driver, std::string port, PortKind kind) {
    return QueueInfo{std::move(name), std::move(driver), std::move(port), kind};
}

std::vector<QueueInfo> FourQueues() {
    return {Queue("Office", "Generic PCL", "ipp://office/ipp", PortKind::Network),
            Queue("KR900-B", "ZOT KR-900 Raster", "usb://ZOT/KR-900", PortKind::Usb),
            Queue("KR500-File", "ZOT KR-500 Raster", "file:///tmp/kr500", PortKind::File),
            Queue("KR900-A", "ZOT KR-900 Raster (BM)", "serial:/dev/ttyS0", PortKind::Serial)};
}

QStringList RowNames(const QTreeWidget* list) {
    QStringList names;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        names << list->topLevelItem(i)->text(0);
    }
    return names;
}

QString ChosenName(const QTreeWidget* list) {
    const QModelIndex current = list->currentIndex();
    return current.isValid() && list->selectionModel()->isSelected(current)
               ? current.data().toString()
               : QString();
}

}  // namespace

class SelectionDialogTest : public QObject {
    Q_OBJECT

    AppState m_state;
    testing::FakePrintSystem m_printSystem;
    testing::RecordingUserInterface m_ui;
    testing::RecordingHostPortStore m_store;
    SortDirection m_direction = SortDirection::Rising;

    // Runs the dialog; steps drive it once it is open, and whatever they leave open is cancelled.
    SelectionDialogResult runWith(gui::PrinterSelectionWindow& dialog,
                                  std::function<void()> steps) {
        QTimer::singleShot(0, &dialog, [&dialog, steps] {
            const auto closeLeftOpen = qScopeGuard([&dialog] {
                if (dialog.isVisible()) {
                    dialog.reject();
                }
            });
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            steps();
        });
        return dialog.run();
    }

private slots:
    void init() {
        m_state = AppState{};
        m_ui = testing::RecordingUserInterface{};
        m_printSystem.queues = FourQueues();
        m_direction = SortDirection::Rising;
    }

    void fillShowsEveryQueueWithItsIconAndNoChoice() {
        gui::PrinterSelectionWindow dialog(m_state, m_printSystem, m_store, m_ui, m_direction, {},
                                           nullptr);
        auto* list = dialog.findChild<QTreeWidget*>("printerList");
        QVERIFY(list);
        const auto result = runWith(dialog, [&] {
            QCOMPARE(RowNames(list), QStringList({"KR500-File", "KR900-A", "KR900-B", "Office"}));
            QCOMPARE(list->topLevelItem(1)->text(1), "serial:/dev/ttyS0");
            const PrinterIcon icons[] = {PrinterIcon::PrinterInfo, PrinterIcon::Printer,
                                         PrinterIcon::Printer, PrinterIcon::PrinterError};
            for (int i = 0; i < 4; ++i) {
                const QImage shown = list->topLevelItem(i)->icon(0).pixmap(16).toImage();
                QVERIFY(!shown.isNull());
                QCOMPARE(shown, gui::IconFor(icons[i]).pixmap(16).toImage());
            }
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QTRY_VERIFY(list->hasFocus());
            QVERIFY(!list->currentIndex().isValid());
            QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());
            QVERIFY(list->columnWidth(0) >= list->fontMetrics().horizontalAdvance("KR500-File"));
        });
        QCOMPARE(result, SelectionDialogResult::Cancel);
    }

    void headerClicksTurnTheOrderOverAndKeepTheChoice() {
        gui::PrinterSelectionWindow dialog(m_state, m_printSystem, m_store, m_ui, m_direction, {},
                                           nullptr);
        auto* list = dialog.findChild<QTreeWidget*>("printerList");
        runWith(dialog, [&] {
            QHeaderView* header = list->header();
            const auto clickHeader = [header](int column) {
                QTest::mouseClick(
                    header->viewport(), Qt::LeftButton, {},
                    {header->sectionViewportPosition(column) + 4, header->height() / 2});
            };
            list->setCurrentItem(list->topLevelItem(1));  // KR900-A
            clickHeader(0);
            QCOMPARE(RowNames(list), QStringList({"Office", "KR900-B", "KR900-A", "KR500-File"}));
            QCOMPARE(ChosenName(list), "KR900-A");
            clickHeader(1);  // by port, rising: file, ipp, serial, usb
            QCOMPARE(RowNames(list), QStringList({"KR500-File", "Office", "KR900-A", "KR900-B"}));
            QCOMPARE(ChosenName(list), "KR900-A");
        });
        QCOMPARE(m_direction, SortDirection::Rising);
    }

    void okNeedsAChosenRowAndTypingChoosesOne() {
        gui::PrinterSelectionWindow dialog(m_state, m_printSystem, m_store, m_ui, m_direction, {},
                                           nullptr);
        auto* list = dialog.findChild<QTreeWidget*>("printerList");
        auto* ok = dialog.findChild<QPushButton*>("okButton");
        const auto result = runWith(dialog, [&] {
            QTest::mouseClick(ok, Qt::LeftButton);
            // The keyboard cursor on a row without its highlight is not a choice either.
            list->selectionModel()->setCurrentIndex(list->model()->index(2, 0),
                                                    QItemSelectionModel::NoUpdate);
            QTest::mouseClick(ok, Qt::LeftButton);
            QCOMPARE(m_ui.boxTexts(), std::vector<std::string>(2, std::string(kNotSelectedText)));
            QVERIFY(dialog.isVisible());
            QTest::keyClicks(list, "kr900-b");
            QTest::keyClick(list, Qt::Key_Return);
        });
        QCOMPARE(result, SelectionDialogResult::Ok);
        QCOMPARE(m_state.selectedPrinter().printerName, "KR900-B");

        // The next run reads the queues again and starts with nothing chosen.
        m_printSystem.queues.pop_back();
        runWith(dialog, [&] {
            QCOMPARE(RowNames(list), QStringList({"KR500-File", "KR900-B", "Office"}));
            QVERIFY(list->selectionModel()->selectedIndexes().isEmpty());
        });
    }

    void queuesChangingWhileOpenRebuildTheList() {
        std::mutex mutex;
        std::vector<QueueInfo> polled = FourQueues();
        const auto setPolled = [&](std::vector<QueueInfo> queues) {
            const std::lock_guard lock(mutex);
            polled = std::move(queues);
        };
        gui::PrinterSelectionWindow dialog(
            m_state, m_printSystem, m_store, m_ui, m_direction,
            [&] {
                const std::lock_guard lock(mutex);
                return polled;
            },
            nullptr);
        auto* list = dialog.findChild<QTreeWidget*>("printerList");
        const auto result = runWith(dialog, [&] {
            QTest::keyClicks(list, "KR900-B");
            auto more = FourQueues();
            more.push_back(
                Queue("KR700", "ZOT KR-700 Raster", "parallel:/dev/lp0", PortKind::Parallel));
            setPolled(more);
            QTRY_COMPARE(RowNames(list),
                         QStringList({"KR500-File", "KR700", "KR900-A", "KR900-B", "Office"}));
            QCOMPARE(ChosenName(list), "KR900-B");
            setPolled({FourQueues().front()});
            QTRY_VERIFY(!dialog.isVisible());
        });
        QCOMPARE(result, SelectionDialogResult::NoSupportedDriver);
    }
};

QTEST_MAIN(SelectionDialogTest)
#include "test_selection_dialog.moc"
