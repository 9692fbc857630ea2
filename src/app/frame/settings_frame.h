// The settings frame: the tab control with the three settings pages and the Setting, Init and Exit
// buttons. It fills the main window's client area and is the program's SettingsView, so the send,
// save and working-file flows collect the page on show and make it show the record again.
#pragma once

#include <QWidget>
#include <memory>

#include "ports/settings_view.h"
#include "state/app_state.h"

class QPushButton;
class QTabWidget;

namespace kestrel::gui {

class SettingsFrame : public QWidget, public SettingsView {
    Q_OBJECT

public:
    explicit SettingsFrame(AppState& state, QWidget* parent = nullptr);
    ~SettingsFrame() override;

    void collectVisiblePage(SettingsRecord& record) override;
    void refreshVisiblePage(const SettingsRecord& record) override;

    // Builds the page on show again, for a profile that changed after the printer was chosen.
    void rebuildVisiblePage();

    int currentPageIndex() const;
    QTabWidget* tabControl() const;
    QPushButton* settingButton() const;
    QPushButton* initButton() const;
    QPushButton* exitButton() const;
    // The first setting of the page on show (Power on Status, User NV Memory, ACK Pulse Width).
    QWidget* firstSettingControl() const;

signals:
    // Emitted by the buttons; the frame notes the focus before and gives it back afterwards, so
    // receivers connected directly run their flow in between.
    void settingRequested();
    void initRequested();
    void exitRequested();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kestrel::gui
