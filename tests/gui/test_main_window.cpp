// The main window's menu, accelerators and ways out, with the recording user interface answering
// the boxes and a print system in memory.
#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/frame/settings_frame.h"
#include "app/shell/main_window.h"
#include "commands/app_commands.h"
#include "ports/testing/flow_harness.h"
#include "settings/factory_defaults.h"

using namespace kestrel;
using namespace kestrel::gui;

namespace {

// The main window over a flow harness, shown and active.
struct Shown {
    explicit Shown(testing::FlowHarness& h)
        : w(h.state), ctx{h.state, h.ps, h.ui, h.clock, *w.frame(), {}} {
        h.state.settings = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
        w.setContext(&ctx, "KESTREL Version 0.2.0", {});
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
    MainWindow w;
    CommandContext ctx;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void menuTexts();
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

// The answer's effect on kestrel.ini is the close command's (AppCommands tests); here each way out
// reaches that question, and only Cancel keeps the window.
void MainWindowTest::everyExitAsksTheCloseQuestion() {
    const std::pair<const char*, Answer> ways[] = {
        {"Alt+X", Answer::Yes}, {"File>Exit", Answer::No}, {"Exit button", Answer::Cancel}};
    for (const auto& [way, answer] : ways) {
        testing::FlowHarness h;
        QTemporaryDir folder;
        h.state.startupFolder = folder.path().toStdString();
        Shown window(h);
        h.ui.answers = {answer};
        if (way == std::string_view("Alt+X")) {
            QTest::keyClick(&window.w, Qt::Key_X, Qt::AltModifier);
        } else if (way == std::string_view("File>Exit")) {
            window.w.action(40001)->trigger();
        } else {
            window.w.frame()->exitButton()->click();
        }
        QCOMPARE(h.ui.boxTexts(), std::vector<std::string>{std::string(kCloseQuestion)});
        QCOMPARE(h.ui.boxes[0].buttons, Buttons::YesNoCancel);
        QCOMPARE(window.w.isVisible(), answer == Answer::Cancel);
    }
}

void MainWindowTest::sendByAcceleratorReachesThePrinter() {
    testing::FlowHarness h;
    h.ps.queues = {{"KR900", "ZOT KR-900 Raster", "usb://ZOT/KR-900", PortKind::Usb}};
    h.state.printerTable[0].printerName = "KR900";
    h.state.printerTable[0].connectionStatus = ConnectionStatus::Usb;
    Shown window(h);
    QWidget* focus = window.w.frame()->firstSettingControl();
    focus->setFocus();
    QTest::keyClick(&window.w, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(h.ps.jobs.size(), std::size_t(1));
    QCOMPARE(QApplication::focusWidget(), focus);  // given back after the command
    QTest::keyClick(&window.w, Qt::Key_V, Qt::AltModifier);
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
