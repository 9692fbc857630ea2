// The main window's menu, accelerators and close question, with the recording user interface
// answering the boxes and a print system in memory.
#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "app/frame/settings_frame.h"
#include "app/shell/main_window.h"
#include "commands/app_commands.h"
#include "ports/testing/flow_harness.h"
#include "settings/factory_defaults.h"
#include "storage/working_config.h"

using namespace kestrel;
using namespace kestrel::gui;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void menuTexts();
    void everyExitAsksTheCloseQuestion_data();
    void everyExitAsksTheCloseQuestion();
    void sendByAcceleratorReachesThePrinter();
    void helpThatCannotOpenIsNotTriedAgain();
};

void MainWindowTest::menuTexts() {
    AppState state;
    MainWindow window(state);
    QStringList texts;
    for (QAction* menu : window.menuBar()->actions()) {
        texts << menu->text();
        for (QAction* item : menu->menu()->actions()) {
            texts << (item->isSeparator()
                          ? QStringLiteral("-")
                          : item->text() + QLatin1Char('|') + item->shortcut().toString());
        }
    }
    QCOMPARE(texts,
             (QStringList{"File(&F)", "Load(&O)|Alt+O", "Save(&A)|Alt+A", "List Printing(&P)|Alt+P",
                          "-", "Exit(&X)|", "Send(&S)", "Setting(&C)|Alt+C", "Initialize(&I)|Alt+I",
                          "Logo Registration(&R)|Alt+R", "Help(&H)", "Help(&H)|", "-",
                          "Version(&V)|Alt+V"}));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

void MainWindowTest::everyExitAsksTheCloseQuestion_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("answer");
    for (const char* way : {"Alt+X", "File>Exit", "Exit button"}) {
        QTest::addRow("%s, Yes", way) << way << int(Answer::Yes);
        QTest::addRow("%s, No", way) << way << int(Answer::No);
        QTest::addRow("%s, Cancel", way) << way << int(Answer::Cancel);
    }
}

void MainWindowTest::everyExitAsksTheCloseQuestion() {
    QFETCH(QString, way);
    QFETCH(int, answer);
    QTemporaryDir folder;
    testing::FlowHarness h;
    h.state.startupFolder = folder.path().toStdString();
    h.state.settings = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
    const std::string ini = WorkingConfigPath(h.state).string();
    std::ofstream(ini, std::ios::binary) << "old";
    MainWindow window(h.state);
    CommandContext ctx{h.state, h.ps, h.ui, h.clock, *window.frame(), {}};
    window.setContext(&ctx, "KESTREL Version 0.2.0", {});
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    h.ui.answers.push_back(static_cast<Answer>(answer));

    if (way == QLatin1String("Alt+X")) {
        QTest::keyClick(&window, Qt::Key_X, Qt::AltModifier);
    } else if (way == QLatin1String("File>Exit")) {
        window.action(40001)->trigger();
    } else {
        window.frame()->exitButton()->click();
    }
    QCOMPARE(h.ui.boxTexts(), std::vector<std::string>{std::string(kCloseQuestion)});
    QCOMPARE(h.ui.boxes[0].buttons, Buttons::YesNoCancel);
    QCOMPARE(window.isVisible(), static_cast<Answer>(answer) == Answer::Cancel);
    std::ifstream in(ini, std::ios::binary);
    const std::string stored((std::istreambuf_iterator<char>(in)), {});
    QCOMPARE(stored.size(), static_cast<Answer>(answer) == Answer::Yes ? kSettingsRecordSize : 3);
}

void MainWindowTest::sendByAcceleratorReachesThePrinter() {
    testing::FlowHarness h;
    h.ps.queues = {{"KR900", "ZOT KR-900 Raster", "usb://ZOT/KR-900", PortKind::Usb}};
    h.state.printerTable[0].printerName = "KR900";
    h.state.printerTable[0].connectionStatus = ConnectionStatus::Usb;
    h.state.settings = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
    MainWindow window(h.state);
    CommandContext ctx{h.state, h.ps, h.ui, h.clock, *window.frame(), {}};
    window.setContext(&ctx, "KESTREL Version 0.2.0", {});
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget* focus = window.frame()->firstSettingControl();
    focus->setFocus();
    QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(h.ps.jobs.size(), std::size_t(1));
    QCOMPARE(QApplication::focusWidget(), focus);  // given back after the command
    QTest::keyClick(&window, Qt::Key_V, Qt::AltModifier);
    QCOMPARE(h.ui.boxes.back().text, std::string("KESTREL Version 0.2.0"));
    QCOMPARE(h.ui.boxes.back().icon, BoxIcon::Printer);
}

void MainWindowTest::helpThatCannotOpenIsNotTriedAgain() {
    testing::FlowHarness h;
    MainWindow window(h.state);
    CommandContext ctx{h.state, h.ps, h.ui, h.clock, *window.frame(), {}};
    int tries = 0;
    window.setContext(&ctx, {}, {{}, [&tries] { return ++tries, false; }});
    window.action(40008)->trigger();
    window.action(40008)->trigger();
    QCOMPARE(tries, 1);
    QVERIFY(h.ui.boxes.empty());
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
