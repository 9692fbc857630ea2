// The pages and the frame as a user meets them: the widgets show what the page rules say, the cut
// adjustment edit filters and converts as it is typed into, and Ctrl+Tab, Tab and Shift+Tab walk
// the frame.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include "app/frame/settings_frame.h"
#include "app/frame/tab_key_hook.h"
#include "app/pages/settings_page.h"
#include "app/pages/up_down_control.h"
#include "settings/factory_defaults.h"

using namespace kestrel;
using namespace kestrel::gui;

namespace {

ProfileState Profile(SpecIndex spec, bool egypt, bool taiwan) {
    ProfileState p;
    p.specIndex = spec;
    p.egypt = egypt;
    p.taiwan = taiwan;
    return p;
}

}  // namespace

class SettingsPagesTest : public QObject {
    Q_OBJECT

private slots:
    void widgetsApplyThePageRules_data();
    void widgetsApplyThePageRules();
    void cutAdjustmentEdit();
    void frameKeysAndTabSwitches();
    void tipsFollowTheirSetting();
};

void SettingsPagesTest::widgetsApplyThePageRules_data() {
    QTest::addColumn<int>("spec");
    QTest::addColumn<bool>("egypt");
    QTest::addColumn<bool>("taiwan");
    QTest::addColumn<int>("mechanismId");
    QTest::newRow("KR-500") << 0 << false << false << int(mechanism::KR500);
    QTest::newRow("KR-700 Egypt") << 0 << true << false << int(mechanism::KR700);
    QTest::newRow("KR-900 FULLCUT Taiwan") << 0 << false << true << int(mechanism::FullCut);
    QTest::newRow("spec index 2") << 2 << false << false << int(mechanism::BlackMark);
}

void SettingsPagesTest::widgetsApplyThePageRules() {
    QFETCH(int, spec);
    QFETCH(bool, egypt);
    QFETCH(bool, taiwan);
    QFETCH(int, mechanismId);
    const ProfileState profile = Profile(static_cast<SpecIndex>(spec), egypt, taiwan);
    SettingsRecord record = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
    for (const auto page :
         {SettingsPage::MemorySwitch, SettingsPage::CustomizeValue, SettingsPage::Other}) {
        SettingsPageWidget widget(page, profile, static_cast<std::uint32_t>(mechanismId), record);
        for (const PageRow& row :
             PageRows(page, profile, static_cast<std::uint32_t>(mechanismId))) {
            auto* label = widget.findChild<QLabel*>(QStringLiteral("label%1").arg(row.labelId));
            QVERIFY(label);
            QCOMPARE(label->text().toStdString(), std::string(row.setting->label));
            QCOMPARE(label->isEnabled(), row.enabled);
            QCOMPARE(label->isHidden(), !row.visible);
            QWidget* control = row.isCutAdjustment()
                                   ? widget.findChild<QWidget*>(QStringLiteral("cutAdjustmentEdit"))
                                   : widget.findChild<QComboBox*>(
                                         QStringLiteral("comboBox%1").arg(row.labelId + 50));
            QVERIFY(control);
            QCOMPARE(control->isEnabled(), row.enabled);
            QCOMPARE(control->isHidden(), !row.visible);
            if (auto* list = qobject_cast<QComboBox*>(control)) {
                QCOMPARE(std::size_t(list->count()), row.optionCount);
                const int value = record[row.setting->offset];
                QCOMPARE(list->currentIndex(), value < list->count() ? value : -1);
            }
        }
    }
}

// The filter and the conversions are core rules (CutAdjustmentEdit tests); here the edit applies
// them as keys arrive, tidies the text when it loses focus, follows its up-down and shows and
// collects the record's value.
void SettingsPagesTest::cutAdjustmentEdit() {
    SettingsRecord record{};
    SettingsPageWidget page(SettingsPage::CustomizeValue, Profile(SpecIndex::OVERSEA, true, false),
                            mechanism::KR700, record);
    page.show();
    auto* edit = page.findChild<QLineEdit*>(QStringLiteral("cutAdjustmentEdit"));
    auto* upDown = page.findChild<UpDownControl*>(QStringLiteral("cutAdjustmentUpDown"));
    QVERIFY(edit && upDown);
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("1a2.34"));
    QCOMPARE(edit->text(), QStringLiteral("12.3"));
    QCOMPARE(edit->cursorPosition(), 4);
    QCOMPARE(BmCutAdjustment(record), 123);
    QCOMPARE(upDown->position(), UpDownPositionOf(123));
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("-35"));
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(edit, &leave);
    QCOMPARE(edit->text(), QStringLiteral("-34.0"));
    QTest::keyClick(edit, Qt::Key_Up);  // a step of the up-down, 0.1 mm
    QCOMPARE(BmCutAdjustment(record), -339);
    QCOMPARE(edit->text(), QStringLiteral("-33.9"));

    for (const int tenths :
         std::initializer_list<int>{kBmCutAdjustmentMin, -1, 0, kBmCutAdjustmentMax}) {
        SetBmCutAdjustment(record, static_cast<std::int16_t>(tenths));
        page.reload(record);
        SettingsRecord collected{};
        page.collect(collected);
        QCOMPARE(int(BmCutAdjustment(collected)), tenths);
    }
}

void SettingsPagesTest::frameKeysAndTabSwitches() {
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
    QCOMPARE(tabs->tabText(0), QStringLiteral(" Memory Switch  "));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Customize Value"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("     Other     "));
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, mods);
    };

    // From a setting, Ctrl+Tab turns the page and lands on the new page's first setting.
    frame->firstSettingControl()->setFocus();
    press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(frame->currentPageIndex(), 1);
    QCOMPARE(QApplication::focusWidget(), frame->firstSettingControl());
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("comboBox1251"));
    // A choice on the Customize Value page survives a visit to the Other page.
    auto* paperWidth = frame->findChild<QComboBox*>(QStringLiteral("comboBox1253"));
    const int last = paperWidth->count() - 1;
    paperWidth->setCurrentIndex(last);
    press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 2);
    press(Qt::Key_Tab, Qt::ControlModifier);  // wraps to the first page
    QCOMPARE(tabs->currentIndex(), 0);
    press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);  // and back round
    QCOMPARE(tabs->currentIndex(), 2);
    press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs->currentIndex(), 1);
    QCOMPARE(frame->findChild<QComboBox*>(QStringLiteral("comboBox1253"))->currentIndex(), last);
    QCOMPARE(int(state.settings[offset::PaperWidth]), last);

    // Shift+Tab: first setting -> tab control -> Exit; Tab: tab control -> first setting.
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tabs->tabBar()));
    press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), frame->firstSettingControl());
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(frame->exitButton()));
    // Ctrl+Tab with the tab control focused leaves the focus there.
    tabs->tabBar()->setFocus();
    press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 2);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tabs->tabBar()));
}

void SettingsPagesTest::tipsFollowTheirSetting() {
    AppState state;
    state.profile.specIndex = SpecIndex::QMRA;  // the Other page's rows move up by one
    SettingsFrame frame(state);
    frame.tabControl()->setCurrentIndex(2);
    const auto tip = [&](int label) {
        return frame.findChild<QLabel*>(QStringLiteral("label%1").arg(label))->toolTip();
    };
    QVERIFY(tip(1307).contains(QStringLiteral("the serial interface is being used")));
    QCOMPARE(frame.exitButton()->toolTip(), QStringLiteral("It finishes the KESTREL."));
    QCOMPARE(frame.exitButton()->toolTipDuration(), 30000);
    frame.tabControl()->setCurrentIndex(1);
    QVERIFY(tip(1210).isEmpty());  // the range text has none

    // "BM Sensor" reaches the record as it is chosen, before any collect.
    frame.tabControl()->setCurrentIndex(2);
    auto* sensor = frame.findChild<QComboBox*>(QStringLiteral("comboBox1360"));
    QCOMPARE(frame.findChild<QLabel*>(QStringLiteral("label1310"))->text(),
             QStringLiteral("BM Sensor"));
    state.settings[offset::BmSensor] = 0;
    sensor->setCurrentIndex(1);
    QCOMPARE(int(state.settings[offset::BmSensor]), 1);
}

QTEST_MAIN(SettingsPagesTest)
#include "test_settings_pages.moc"
