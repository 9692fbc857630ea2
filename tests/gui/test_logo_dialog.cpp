// The logo dialog's own behaviour: its buttons reach the logo commands with the slot's controls,
// Refer starts where the slot's text says, the table outlives the dialog, Escape keeps it open,
// and the preview shows the file's dots.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/logo/logo_dialog.h"
#include "ports/testing/flow_harness.h"

using namespace kestrel;
using namespace kestrel::gui;

namespace {

const QString kBitmap = QStringLiteral(KESTREL_TESTDATA_DIR "/bmpsuite/good/pal8.bmp");

struct Harness : testing::FlowHarness {
    Harness() {
        ps.queues = {{"KR900", "ZOT KR-900 Raster", "usb://ZOT/KR-900", PortKind::Usb}};
        state.printerTable[0].printerName = "KR900";
    }
    template <typename T>
    T* find(QDialog& dialog, const QString& name) {
        return dialog.findChild<T*>(name);
    }
};

}  // namespace

class LogoDialogTest : public QObject {
    Q_OBJECT

private slots:
    void referStartsWhereTheSlotSays_data();
    void referStartsWhereTheSlotSays();
    void buttonsRunTheirCommands();
    void tableOutlivesTheDialogAndEscapeKeepsItOpen();
    void previewShowsTheDotsAndTheSize();
};

void LogoDialogTest::referStartsWhereTheSlotSays_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::newRow("no extension") << "/logos/shop"
                                  << "/logos/shop/"
                                  << "";
    QTest::newRow("a bitmap") << "/logos/a.bmp"
                              << "/logos/"
                              << "/logos/a.bmp";
    QTest::newRow("a folder") << "/logos/"
                              << "/logos/"
                              << "";
}

void LogoDialogTest::referStartsWhereTheSlotSays() {
    QFETCH(QString, typed);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    Harness h;
    h.ui.fileAnswers = {std::string("/photos/cafe.bmp")};
    LogoDialog dialog(h.ctx);
    h.find<QLineEdit>(dialog, QStringLiteral("pathEdit2"))->setText(typed);
    h.find<QPushButton>(dialog, QStringLiteral("referButton2"))->click();
    QCOMPARE(h.ui.dialogs.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(h.ui.dialogs[0].initialFolder), folder);
    QCOMPARE(QString::fromStdString(h.ui.dialogs[0].fileName), name);
    QCOMPARE(h.find<QLineEdit>(dialog, QStringLiteral("pathEdit2"))->text(),
             QStringLiteral("/photos/cafe.bmp"));
}

void LogoDialogTest::buttonsRunTheirCommands() {
    struct Case {
        const char* button;
        const char* path;  // of slot 1
        Answer answer;
        std::size_t jobs;
        std::vector<std::string> boxes;  // first line of each box
    } const cases[] = {
        {"registButton1", "", Answer::Ok, 0, {"Please specify the BITMAP file.\n"}},
        {"registButton1",
         KESTREL_TESTDATA_DIR "/bmpsuite/good/pal8.bmp",
         Answer::Ok,
         1,
         {"The logo is registered."}},
        {"printButton1", "", Answer::Cancel, 0, {"The logo is printed."}},
        {"confirmationPrintButton", "", Answer::Cancel, 0, {"The logo is printed."}},
        {"deleteButton1", "", Answer::Ok, 1, {"The logo is deleted."}},
    };
    for (const Case& c : cases) {
        Harness h;
        h.ui.answers = {c.answer};
        LogoDialog dialog(h.ctx);
        h.find<QLineEdit>(dialog, QStringLiteral("pathEdit1"))->setText(QString::fromUtf8(c.path));
        h.find<QPushButton>(dialog, QString::fromLatin1(c.button))->click();
        QCOMPARE(h.ps.jobs.size(), c.jobs);
        std::vector<std::string> firstLines;
        for (const std::string& text : h.ui.boxTexts()) {
            firstLines.push_back(text.substr(0, text.find('\n') + (text.ends_with('\n') ? 1 : 0)));
        }
        QCOMPARE(firstLines, c.boxes);
    }
    // Every send of a confirmation print fails: one question, then one message a job.
    Harness h;
    h.ps.failAt = testing::FailStep::Open;
    LogoDialog dialog(h.ctx);
    h.find<QPushButton>(dialog, QStringLiteral("confirmationPrintButton"))->click();
    QCOMPARE(h.ui.boxes.size(), std::size_t(11));
    QCOMPARE(h.ui.boxes[0].buttons, Buttons::OkCancel);
}

void LogoDialogTest::tableOutlivesTheDialogAndEscapeKeepsItOpen() {
    Harness h;
    {
        LogoDialog dialog(h.ctx);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        h.find<QLineEdit>(dialog, QStringLiteral("pathEdit3"))->setText(QStringLiteral("/x.bmp"));
        h.find<QCheckBox>(dialog, QStringLiteral("twoColorCheckBox3"))->setChecked(true);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.close();
        QVERIFY(dialog.isVisible());
        h.find<QPushButton>(dialog, QStringLiteral("exitButton"))->click();
        QVERIFY(!dialog.isVisible());
    }
    LogoDialog again(h.ctx);
    QCOMPARE(h.find<QLineEdit>(again, QStringLiteral("pathEdit3"))->text(),
             QStringLiteral("/x.bmp"));
    QVERIFY(h.find<QCheckBox>(again, QStringLiteral("twoColorCheckBox3"))->isChecked());
}

void LogoDialogTest::previewShowsTheDotsAndTheSize() {
    Harness h;
    LogoDialog dialog(h.ctx);
    h.find<QLineEdit>(dialog, QStringLiteral("pathEdit1"))->setText(kBitmap);
    auto* text = h.find<QLabel>(dialog, QStringLiteral("previewText1"));
    QTRY_VERIFY(text->text().contains(QStringLiteral("127 x 64 dots, monochrome")));
    QVERIFY(!h.find<QLabel>(dialog, QStringLiteral("preview1"))->pixmap().isNull());
    h.find<QCheckBox>(dialog, QStringLiteral("twoColorCheckBox1"))->setChecked(true);
    QTRY_VERIFY(text->text().contains(QStringLiteral("two colours")));
    h.find<QLineEdit>(dialog, QStringLiteral("pathEdit1"))->setText(kBitmap + "-missing");
    QTRY_COMPARE(text->text(), QStringLiteral("The BITMAP file doesn't exist."));
    QVERIFY(h.find<QLabel>(dialog, QStringLiteral("preview1"))->pixmap().isNull());
}

QTEST_MAIN(LogoDialogTest)
#include "test_logo_dialog.moc"
