// The main window as a user meets it: its menu, accelerators and ways out (the recording user
// interface answering the boxes, a print system in memory), the pages showing what the page rules
// say, the cut adjustment edit filtering and converting as it is typed into, and Ctrl+Tab, Tab and
// Shift+Tab walking the frame.
#include <QtTest>
#include <QtWidgets>
#include <functional>

#include "app/frame/settings_frame.h"
#include "app/frame/tab_key_hook.h"
#include "app/pages/settings_page.h"
#include "app/pages/up_down_control.h"
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
    void menuTexts() {
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
        QCOMPARE(texts, (QStringList{"File(&F)", "Load(&O)|Alt+O", "Save(&A)|Alt+A",
                                     "List Printing(&P)|Alt+P", "-", "Exit(&X)|", "Send(&S)",
                                     "Setting(&C)|Alt+C", "Initialize(&I)|Alt+I",
                                     "Logo Registration(&R)|Alt+R", "Help(&H)", "Help(&H)|", "-",
                                     "Version(&V)|Alt+V"}));
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    }

    // The answer's effect on kestrel.ini is the close command's (AppCommands tests); here each way
    // out reaches that question, and only Cancel keeps the window.
    void everyExitAsksTheCloseQuestion() {
        const std::pair<Answer, std::function<void(MainWindow&)>> ways[] = {
            {Answer::No, [](MainWindow& w) { w.action(40001)->trigger(); }},  // File > Exit
            {Answer::Cancel, [](MainWindow& w) { w.frame()->exitButton()->click(); }}};
        for (const auto& [answer, leave] : ways) {
            testing::FlowHarness h;
            QTemporaryDir folder;
            h.state.startupFolder = folder.path().toStdString();
            Shown window(h);
            h.ui.answers = {answer};
            leave(window.w);
            QCOMPARE(h.ui.boxTexts(), std::vector<std::string>{std::string(kCloseQuestion)});
            QCOMPARE(h.ui.boxes[0].buttons, Buttons::YesNoCancel);
            QCOMPARE(window.w.isVisible(), answer == Answer::Cancel);
        }
    }

    void sendByAcceleratorReachesThePrinter() {
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
    }

    void widgetsApplyThePageRules() {
        const std::pair<ProfileState, std::uint32_t> cases[] = {
            {{SpecIndex::OVERSEA, MechanismIndex::STANDARD, false, false, false}, mechanism::KR500},
            {{SpecIndex(2), MechanismIndex::STANDARD, true, false, false}, mechanism::KR700}};
        SettingsRecord record = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
        for (const auto& [profile, mechanismId] : cases) {
            for (const auto page :
                 {SettingsPage::MemorySwitch, SettingsPage::CustomizeValue, SettingsPage::Other}) {
                SettingsPageWidget widget(page, profile, mechanismId, record);
                for (const PageRow& row : PageRows(page, profile, mechanismId)) {
                    auto* label = widget.findChild<QLabel*>(QString("label%1").arg(row.labelId));
                    QWidget* control = widget.findChild<QWidget*>(
                        row.isCutAdjustment() ? QString("cutAdjustmentEdit")
                                              : QString("comboBox%1").arg(row.labelId + 50));
                    QVERIFY2(label && control, std::string(row.setting->label).c_str());
                    QCOMPARE(label->text().toStdString(), std::string(row.setting->label));
                    for (const QWidget* shown : {static_cast<QWidget*>(label), control}) {
                        QCOMPARE(shown->isEnabled(), row.enabled);
                        QCOMPARE(shown->isHidden(), !row.visible);
                    }
                    if (auto* list = qobject_cast<QComboBox*>(control)) {
                        QCOMPARE(std::size_t(list->count()), row.optionCount);
                        const int value = record[row.setting->offset];
                        QCOMPARE(list->currentIndex(), value < list->count() ? value : -1);
                    }
                }
            }
        }
    }

    // The filter and the conversions are core rules (CutAdjustmentEdit tests); here the edit
    // applies them as keys arrive, tidies the text when it loses focus, follows its up-down and
    // shows and collects the record's value.
    void cutAdjustmentEdit() {
        SettingsRecord record{};
        const ProfileState egypt{SpecIndex::OVERSEA, MechanismIndex::STANDARD, true, false, false};
        SettingsPageWidget page(SettingsPage::CustomizeValue, egypt, mechanism::KR700, record);
        page.show();
        auto* edit = page.findChild<QLineEdit*>("cutAdjustmentEdit");
        auto* upDown = page.findChild<UpDownControl*>("cutAdjustmentUpDown");
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, "1a2.34");
        QCOMPARE(edit->text(), "12.3");
        QCOMPARE(edit->cursorPosition(), 4);
        QCOMPARE(BmCutAdjustment(record), 123);
        QCOMPARE(upDown->position(), UpDownPositionOf(123));
        edit->clear();
        QTest::keyClicks(edit, "-35");
        QFocusEvent leave(QEvent::FocusOut);
        QApplication::sendEvent(edit, &leave);
        QCOMPARE(edit->text(), "-34.0");
        QTest::keyClick(edit, Qt::Key_Up);  // a step of the up-down, 0.1 mm
        QCOMPARE(BmCutAdjustment(record), -339);
        QCOMPARE(edit->text(), "-33.9");
        for (const int tenths : {int(kBmCutAdjustmentMin), -1, 0, int(kBmCutAdjustmentMax)}) {
            SetBmCutAdjustment(record, static_cast<std::int16_t>(tenths));
            page.reload(record);
            SettingsRecord collected{};
            page.collect(collected);
            QCOMPARE(int(BmCutAdjustment(collected)), tenths);
        }
    }

    void frameKeysAndTabSwitches() {
        AppState state;
        state.selectedPrinter().mechanismId = mechanism::FullCut;
        state.settings = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::FULLCUT);
        QMainWindow window;
        auto* frame = new SettingsFrame(state, &window);
        window.setCentralWidget(frame);
        const TabKeyHook hook(&window, frame);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTabWidget* tabs = frame->tabControl();
        QCOMPARE((QStringList{tabs->tabText(0), tabs->tabText(1), tabs->tabText(2)}),
                 (QStringList{" Memory Switch  ", "Customize Value", "     Other     "}));
        frame->firstSettingControl()->setFocus();
        // Each key, the page then shown, and the focus then: the page's first setting (f), the tab
        // control (t), Exit (x), or not looked at (-).
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier,
                                    back = Qt::ControlModifier | Qt::ShiftModifier;
        const std::tuple<Qt::Key, Qt::KeyboardModifiers, int, char> steps[] = {
            {Qt::Key_Tab, ctrl, 1, 'f'},  // from a setting, to the new page's first setting
            {Qt::Key_Tab, ctrl, 2, '-'},
            {Qt::Key_Tab, ctrl, 0, '-'},  // wraps to the first page
            {Qt::Key_Backtab, back, 2, '-'},
            {Qt::Key_Backtab, back, 1, 'f'},
            {Qt::Key_Backtab, Qt::ShiftModifier, 1, 't'},
            {Qt::Key_Tab, Qt::NoModifier, 1, 'f'},
            {Qt::Key_Backtab, Qt::ShiftModifier, 1, 't'},
            {Qt::Key_Backtab, Qt::ShiftModifier, 1, 'x'}};
        for (const auto& [key, mods, page, focus] : steps) {
            QTest::keyClick(QApplication::focusWidget(), key, mods);
            QCOMPARE(tabs->currentIndex(), page);
            const QWidget* expected = focus == 'f'   ? frame->firstSettingControl()
                                      : focus == 't' ? static_cast<QWidget*>(tabs->tabBar())
                                                     : frame->exitButton();
            QVERIFY2(focus == '-' || QApplication::focusWidget() == expected, QByteArray(1, focus));
        }
        // Ctrl+Tab with the tab control focused leaves the focus there.
        tabs->tabBar()->setFocus();
        QTest::keyClick(tabs->tabBar(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tabs->tabBar()));
    }

    void tipsFollowTheirSetting() {
        AppState state;
        state.profile.specIndex = SpecIndex::QMRA;  // the Other page's rows move up by one
        SettingsFrame frame(state);
        const auto label = [&](int id) {
            return frame.findChild<QLabel*>(QString("label%1").arg(id));
        };
        frame.tabControl()->setCurrentIndex(2);
        QVERIFY(label(1307)->toolTip().contains("the serial interface is being used"));
        QCOMPARE(frame.exitButton()->toolTip(), "It finishes the KESTREL.");
        QCOMPARE(frame.exitButton()->toolTipDuration(), 30000);

        // "BM Sensor" reaches the record as it is chosen, before any collect.
        QCOMPARE(label(1310)->text(), "BM Sensor");
        state.settings[offset::BmSensor] = 0;
        frame.findChild<QComboBox*>("comboBox1360")->setCurrentIndex(1);
        QCOMPARE(int(state.settings[offset::BmSensor]), 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
