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
    void referStartsWhereTheSlotSays();
    void buttonsRunTheirCommands();
    void tableOutlivesTheDialogAndEscapeKeepsItOpen();
    void previewShowsTheDotsAndTheSize();
};

// Where Refer starts for each text is a core rule (LogoRefer tests); the dialog hands it the
// slot's text and shows the choice in that slot.
void LogoDialogTest::referStartsWhereTheSlotSays() {
    Harness h;
    h.ui.fileAnswers = {std::string("/photos/cafe.bmp")};
    LogoDialog dialog(h.ctx);
    auto* path = h.find<QLineEdit>(dialog, QStringLiteral("pathEdit2"));
    path->setText(QStringLiteral("/logos/a.bmp"));
    h.find<QPushButton>(dialog, QStringLiteral("referButton2"))->click();
    QCOMPARE(h.ui.dialogs.size(), std::size_t(1));
    QCOMPARE(h.ui.dialogs[0].initialFolder, std::string("/logos/"));
    QCOMPARE(h.ui.dialogs[0].fileName, std::string("/logos/a.bmp"));
    QCOMPARE(path->text(), QStringLiteral("/photos/cafe.bmp"));
}

void LogoDialogTest::buttonsRunTheirCommands() {
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
        h.find<QLineEdit>(dialog, QStringLiteral("pathEdit1"))->setText(path);
        h.find<QPushButton>(dialog, QString::fromLatin1(button))->click();
        QCOMPARE(h.ps.jobs.size(), jobs);
        QCOMPARE(h.ui.boxes.size(), std::size_t(1));
        QVERIFY2(h.ui.boxes[0].text.starts_with(box), button);
    }
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
