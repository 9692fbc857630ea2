#include "app/frame/tab_key_hook.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "app/frame/settings_frame.h"

namespace kestrel::gui {

TabKeyHook::TabKeyHook(QWidget* mainWindow, SettingsFrame* frame, QObject* parent)
    : QObject(parent), m_mainWindow(mainWindow), m_frame(frame) {
    qApp->installEventFilter(this);
}

TabKeyHook::~TabKeyHook() {
    qApp->removeEventFilter(this);
}

bool TabKeyHook::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+Tab reaches a widget first as a shortcut override; taking it there keeps the tab
    // widget's own Ctrl+Tab from turning the page a second time.
    const bool press = event->type() == QEvent::KeyPress;
    if ((!press && event->type() != QEvent::ShortcutOverride) || !m_frame || !m_mainWindow) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) {
        return QObject::eventFilter(watched, event);
    }
    if (QApplication::activeWindow() != m_mainWindow || !watched->isWidgetType()) {
        return false;
    }
    // Each key press passes the filter once per widget from the focus up; act on the first.
    if (watched != QApplication::focusWidget()) {
        return false;
    }
    const Qt::KeyboardModifiers mods = key->modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    const bool shift = mods.testFlag(Qt::ShiftModifier) || key->key() == Qt::Key_Backtab;
    QTabWidget* tabs = m_frame->tabControl();
    QWidget* focus = QApplication::focusWidget();
    const bool tabsHaveFocus = focus == tabs || focus == tabs->tabBar();

    if (ctrl) {
        if (!press) {
            event->accept();  // claim the key so it arrives as a key press
            return true;
        }
        const int n = tabs->currentIndex();
        const int next = shift ? (n == 0 ? 2 : n - 1) : (n == 2 ? 0 : n + 1);
        tabs->setCurrentIndex(next);
        if (!tabsHaveFocus) {
            if (QWidget* first = m_frame->firstSettingControl()) {
                first->setFocus(Qt::TabFocusReason);
            }
        }
        return true;
    }
    if (!press) {
        return false;
    }
    if (shift) {
        if (tabsHaveFocus) {
            m_frame->exitButton()->setFocus(Qt::BacktabFocusReason);
            return true;
        }
        if (focus && focus == m_frame->firstSettingControl()) {
            tabs->tabBar()->setFocus(Qt::BacktabFocusReason);
            return true;
        }
        return false;
    }
    if (tabsHaveFocus) {
        if (QWidget* first = m_frame->firstSettingControl()) {
            first->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return false;
}

}  // namespace kestrel::gui
