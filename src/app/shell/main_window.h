// The program's one top-level window: the menu, the accelerators, and the settings frame in its
// client area. It runs every menu command through the core's flows, asks the close question, and
// gives the keyboard focus back to where the user left it after commands, dialogs, task switches
// and minimising.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <string>

#include "commands/command_context.h"

class QAction;

namespace kestrel::gui {

class SettingsFrame;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    struct Commands {
        // Opens the logo dialog; empty while the program has none.
        std::function<void()> logoRegistration;
        // Opens the help guide; false when it could not be shown.
        std::function<bool()> help;
    };

    // The context's view must be this window's frame: create the frame first with frame().
    MainWindow(AppState& state, QWidget* parent = nullptr);
    ~MainWindow() override;

    SettingsFrame* frame() const { return m_frame; }
    // Connects the commands to the world they act on; before it, no command runs.
    void setContext(CommandContext* context, std::string versionText, Commands commands);
    // Fixed to the frame's size and centred on the screen.
    void placeOnScreen();

    // The menu action of a command id (40001, 40003, ...), for tests.
    QAction* action(int commandId) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenu();
    void rememberFocus();
    void restoreFocus();
    // Runs a command with the focus noted before and given back afterwards.
    void runKeepingFocus(const std::function<void()>& command);
    void sendSettings(Owner owner);
    void initializePrinter(Owner owner);
    void showHelp();

    AppState& m_state;
    SettingsFrame* m_frame = nullptr;
    CommandContext* m_context = nullptr;
    std::string m_versionText;
    Commands m_commands;
    QPointer<QWidget> m_focus;
    bool m_helpUnavailable = false;
    std::map<int, QAction*> m_actions;
};

}  // namespace kestrel::gui
