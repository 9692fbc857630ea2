// The selection dialog and the logo dialog: what they show, the order, the keys and the mouse, and
// what their buttons reach. The logo buttons reach the logo commands with the slot's controls, the
// table outlives the dialog, Escape keeps it open, and the preview shows the file's dots.
#include <QtTest>
#include <QtWidgets>
#include <atomic>
#include <functional>
#include <memory>

#include "app/logo/logo_dialog.h"
#include "app/selection/printer_selection_dialog.h"
#include "app/ui/qt_user_interface.h"
#include "ports/testing/fake_print_system.h"
#include "ports/testing/flow_harness.h"
#include "ports/testing/recording_host_port.h"
#include "ports/testing/recording_ui.h"
#include "printer/selection_outcome.h"

using namespace kestrel;
using namespace kestrel::gui;

namespace {

const QString kBitmap = QStringLiteral(KESTREL_TESTDATA_DIR "/bmpsuite/good/pal8.bmp");

struct Harness : testing::FlowHarness {
    Harness() {
        ps.queues = {{"KR900", "ZOT KR-900 Raster", "usb://ZOT/KR-900", PortKind::Usb}};
        state.printerTable[0].printerName = "KR900";
    }
};

template <typename T = QLineEdit>
T* Child(QObject& parent, const char* name) {
    return parent.findChild<T*>(QString::fromLatin1(name));
}

std::vector<QueueInfo> FourQueues() {
    return {{"Office", "Generic PCL", "ipp://office/ipp", PortKind::Network},
            {"KR900-B", "ZOT KR-900 Raster", "usb://ZOT/KR-900", PortKind::Usb},
            {"KR500-File", "ZOT KR-500 Raster", "file:///tmp/kr500", PortKind::File},
            {"KR900-A", "ZOT KR-900 Raster (BM)", "serial:/dev/ttyS0", PortKind::Serial}};
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

class DialogsTest : public QObject {
    Q_OBJECT

    AppState m_state;
    testing::FakePrintSystem m_printSystem;
    testing::RecordingUserInterface m_ui;
    testing::RecordingHostPortStore m_store;
    SortDirection m_direction = SortDirection::Rising;
    std::unique_ptr<gui::PrinterSelectionWindow> m_dialog;
    QTreeWidget* m_list = nullptr;

    void open(std::function<std::vector<QueueInfo>()> poll = {}) {
        m_dialog = std::make_unique<gui::PrinterSelectionWindow>(
            m_state, m_printSystem, m_store, m_ui, m_direction, std::move(poll), nullptr);
        m_list = m_dialog->findChild<QTreeWidget*>("printerList");
        QVERIFY(m_list);
    }

    // Runs the dialog; steps drive it once it is open, and whatever they leave open is cancelled.
    SelectionDialogResult run(std::function<void()> steps) {
        gui::PrinterSelectionWindow& dialog = *m_dialog;
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
        open();
        const auto result = run([&] {
            QCOMPARE(RowNames(m_list), QStringList({"KR500-File", "KR900-A", "KR900-B", "Office"}));
            QCOMPARE(m_list->topLevelItem(1)->text(1), "serial:/dev/ttyS0");
            const PrinterIcon icons[] = {PrinterIcon::PrinterInfo, PrinterIcon::Printer,
                                         PrinterIcon::Printer, PrinterIcon::PrinterError};
            for (int i = 0; i < 4; ++i) {
                const QImage shown = m_list->topLevelItem(i)->icon(0).pixmap(16).toImage();
                QVERIFY(!shown.isNull());
                QCOMPARE(shown, gui::IconFor(icons[i]).pixmap(16).toImage());
            }
            QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
            QTRY_VERIFY(m_list->hasFocus());
            QVERIFY(!m_list->currentIndex().isValid());
            QVERIFY(m_list->selectionModel()->selectedIndexes().isEmpty());
            QVERIFY(m_list->columnWidth(0) >=
                    m_list->fontMetrics().horizontalAdvance("KR500-File"));
        });
        QCOMPARE(result, SelectionDialogResult::Cancel);
    }

    void headerClicksTurnTheOrderOverAndKeepTheChoice() {
        open();
        run([&] {
            QHeaderView* header = m_list->header();
            m_list->setCurrentItem(m_list->topLevelItem(1));  // KR900-A
            // Name falling, then port rising: file, ipp, serial, usb.
            const std::pair<int, QStringList> clicks[] = {
                {0, {"Office", "KR900-B", "KR900-A", "KR500-File"}},
                {1, {"KR500-File", "Office", "KR900-A", "KR900-B"}}};
            for (const auto& [column, order] : clicks) {
                QTest::mouseClick(
                    header->viewport(), Qt::LeftButton, {},
                    {header->sectionViewportPosition(column) + 4, header->height() / 2});
                QCOMPARE(RowNames(m_list), order);
                QCOMPARE(ChosenName(m_list), "KR900-A");
            }
        });
        QCOMPARE(m_direction, SortDirection::Rising);
    }

    void okNeedsAChosenRowAndTypingChoosesOne() {
        open();
        auto* ok = m_dialog->findChild<QPushButton*>("okButton");
        const auto result = run([&] {
            QTest::mouseClick(ok, Qt::LeftButton);
            // The keyboard cursor on a row without its highlight is not a choice either.
            m_list->selectionModel()->setCurrentIndex(m_list->model()->index(2, 0),
                                                      QItemSelectionModel::NoUpdate);
            QTest::mouseClick(ok, Qt::LeftButton);
            QCOMPARE(m_ui.boxTexts(), std::vector<std::string>(2, std::string(kNotSelectedText)));
            QVERIFY(m_dialog->isVisible());
            QTest::keyClicks(m_list, "kr900-b");
            QTest::keyClick(m_list, Qt::Key_Return);
        });
        QCOMPARE(result, SelectionDialogResult::Ok);
        QCOMPARE(m_state.selectedPrinter().printerName, "KR900-B");
    }

    // A queue added while open joins the list and keeps the choice; with no supported queue left
    // the dialog closes.
    void queuesChangingWhileOpenRebuildTheList() {
        std::atomic<int> phase = 0;
        open([&phase] {
            auto queues = FourQueues();
            queues.push_back(
                {"KR700", "ZOT KR-700 Raster", "parallel:/dev/lp0", PortKind::Parallel});
            queues.resize(phase == 0 ? 4 : phase == 1 ? 5 : 1);
            return queues;
        });
        const auto result = run([&] {
            QTest::keyClicks(m_list, "KR900-B");
            phase = 1;
            QTRY_COMPARE(RowNames(m_list),
                         QStringList({"KR500-File", "KR700", "KR900-A", "KR900-B", "Office"}));
            QCOMPARE(ChosenName(m_list), "KR900-B");
            phase = 2;
            QTRY_VERIFY(!m_dialog->isVisible());
        });
        QCOMPARE(result, SelectionDialogResult::NoSupportedDriver);
    }

    void buttonsRunTheirCommands() {
        const std::tuple<const char*, QString, Answer, std::size_t, const char*> cases[] = {
            {"registButton1", kBitmap, Answer::Ok, 1, "The logo is registered."},
            {"printButton1", {}, Answer::Cancel, 0, "The logo is printed."},
            {"confirmationPrintButton", {}, Answer::Cancel, 0, "The logo is printed."},
            {"deleteButton1", {}, Answer::Ok, 1, "The logo is deleted."},
        };
        for (const auto& [button, path, answer, jobs, box] : cases) {
            Harness h;
            h.ui.answers = {answer};
            LogoDialog dialog(h.ctx);
            Child(dialog, "pathEdit1")->setText(path);
            Child<QPushButton>(dialog, button)->click();
            QCOMPARE(h.ps.jobs.size(), jobs);
            QCOMPARE(h.ui.boxes.size(), std::size_t(1));
            QVERIFY2(h.ui.boxes[0].text.starts_with(box), button);
        }
    }

    void tableOutlivesTheDialogAndEscapeKeepsItOpen() {
        Harness h;
        {
            LogoDialog dialog(h.ctx);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            Child(dialog, "pathEdit3")->setText("/x.bmp");
            Child<QCheckBox>(dialog, "twoColorCheckBox3")->setChecked(true);
            QTest::keyClick(&dialog, Qt::Key_Escape);
            dialog.close();
            QVERIFY(dialog.isVisible());
            Child<QPushButton>(dialog, "exitButton")->click();
            QVERIFY(!dialog.isVisible());
        }
        LogoDialog again(h.ctx);
        QCOMPARE(Child(again, "pathEdit3")->text(), "/x.bmp");
        QVERIFY(Child<QCheckBox>(again, "twoColorCheckBox3")->isChecked());
    }

    void previewShowsTheDotsAndTheSize() {
        Harness h;
        LogoDialog dialog(h.ctx);
        Child(dialog, "pathEdit1")->setText(kBitmap);
        auto* text = Child<QLabel>(dialog, "previewText1");
        QTRY_VERIFY(text->text().contains("127 x 64 dots, monochrome"));
        QVERIFY(!Child<QLabel>(dialog, "preview1")->pixmap().isNull());
        Child<QCheckBox>(dialog, "twoColorCheckBox1")->setChecked(true);
        QTRY_VERIFY(text->text().contains("two colours"));
        Child(dialog, "pathEdit1")->setText(kBitmap + "-missing");
        QTRY_COMPARE(text->text(), "The BITMAP file doesn't exist.");
        QVERIFY(Child<QLabel>(dialog, "preview1")->pixmap().isNull());
    }
};

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
