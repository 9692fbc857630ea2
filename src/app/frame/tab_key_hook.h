// The Tab key's path through the main window: Ctrl+Tab and Ctrl+Shift+Tab turn the pages over
// (wrapping), Tab from the tab control enters the page, Shift+Tab from the page's first setting
// returns to the tab control and from the tab control goes to Exit. It watches the whole program
// as an application event filter but acts only while the main window is the active window, so
// dialogs and message boxes keep Qt's own Tab handling.
#pragma once

#include <QObject>
#include <QPointer>

namespace kestrel::gui {

class SettingsFrame;

class TabKeyHook : public QObject {
    Q_OBJECT

public:
    // Installs itself on the application; removed when destroyed.
    TabKeyHook(QWidget* mainWindow, SettingsFrame* frame, QObject* parent = nullptr);
    ~TabKeyHook() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_mainWindow;
    QPointer<SettingsFrame> m_frame;
};

}  // namespace kestrel::gui
