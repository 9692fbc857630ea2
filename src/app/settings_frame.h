// The settings frame that fills the main window: a tab control with the three settings pages
// (one page exists at a time), and the Setting, Init and Exit buttons. It is the SettingsView of
// the windowed program: the flows collect the page on show into the record before they use it
// and have it reload afterwards.
#pragma once

#include <QWidget>

#include "ports/settings_view.h"
#include "state/app_state.h"

class QPushButton;
class QTabWidget;

namespace kestrel::app {

class SettingsFrame : public QWidget, public SettingsView {
    Q_OBJECT
public:
    // The pages read the profile and the selected printer from state whenever they reload, so a
    // frame made before the printer is chosen shows the right rows after the first reload.
    explicit SettingsFrame(AppState& state, QWidget* parent = nullptr);
    ~SettingsFrame() override;

    void collectVisiblePage(SettingsRecord& record) override;
    void refreshVisiblePage(const SettingsRecord& record) override;

    int currentPageIndex() const;
    QTabWidget* tabControl() const;
    QPushButton* settingButton() const;
    QPushButton* initButton() const;
    QPushButton* exitButton() const;
    // The first setting control of the page on show (Power on Status, User NV Memory, ACK Pulse
    // Width).
    QWidget* firstSettingControl() const;

signals:
    void settingRequested();
    void initRequested();
    void exitRequested();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace kestrel::app
