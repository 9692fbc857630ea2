#include "app/shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include "app/frame/settings_frame.h"
#include "app/ui/qt_user_interface.h"
#include "commands/app_commands.h"
#include "commands/send_flow.h"
#include "storage/settings_file.h"

namespace kestrel::gui {

MainWindow::MainWindow(AppState& state, QWidget* parent) : QMainWindow(parent), m_state(state) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("KESTREL"));
    setWindowIcon(IconFor(PrinterIcon::Printer));
    // A fixed window: no sizing frame and no maximize button.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    m_frame = new SettingsFrame(state, this);
    setCentralWidget(m_frame);
    buildMenu();
    connect(m_frame, &SettingsFrame::settingRequested, this, [this] {
        if (m_context) {
            sendSettings(Owner::SettingsFrame);
        }
    });
    connect(m_frame, &SettingsFrame::initRequested, this, [this] {
        if (m_context) {
            initializePrinter(Owner::SettingsFrame);
        }
    });
    connect(m_frame, &SettingsFrame::exitRequested, this, &QWidget::close);
}

MainWindow::~MainWindow() = default;

void MainWindow::setContext(CommandContext* context, std::string versionText, Commands commands) {
    m_context = context;
    m_versionText = std::move(versionText);
    m_commands = std::move(commands);
}

void MainWindow::buildMenu() {
    struct Item {
        int menu;
        int id;
        const char* text;
        QKeySequence key;  // shown beside the text, as the accelerator
        std::function<void()> run;
    };
    const auto alt = [](Qt::Key key) { return QKeySequence(Qt::ALT | key); };
    const Item items[] = {
        {0, 40003, "Load(&O)", alt(Qt::Key_O),
         [this] {
             runKeepingFocus([this] { LoadSettingsFile(m_state, m_context->ui, *m_frame); });
         }},
        {0, 40004, "Save(&A)", alt(Qt::Key_A),
         [this] {
             runKeepingFocus([this] { SaveSettingsFile(m_state, m_context->ui, *m_frame); });
         }},
        {0, 40020, "List Printing(&P)", alt(Qt::Key_P),
         [this] {
             runKeepingFocus([this] {
                 RunSettingCommand(*m_context, SettingJobKind::PrintSettingsList,
                                   Owner::MainWindow);
             });
         }},
        {0, 0, nullptr, {}, {}},
        {0, 40001, "Exit(&X)", {}, [this] { close(); }},
        {1, 40005, "Setting(&C)", alt(Qt::Key_C), [this] { sendSettings(Owner::MainWindow); }},
        {1, 40006, "Initialize(&I)", alt(Qt::Key_I),
         [this] { initializePrinter(Owner::MainWindow); }},
        {1, 40021, "Logo Registration(&R)", alt(Qt::Key_R),
         [this] {
             runKeepingFocus([this] {
                 if (m_commands.logoRegistration) {
                     m_commands.logoRegistration();
                     activateWindow();
                 }
             });
         }},
        {2, 40008, "Help(&H)", {}, [this] { showHelp(); }},
        {2, 0, nullptr, {}, {}},
        {2, 40009, "Version(&V)", alt(Qt::Key_V),
         [this] { runKeepingFocus([this] { ShowVersion(*m_context, m_versionText); }); }},
    };
    QMenu* menus[] = {menuBar()->addMenu(QStringLiteral("File(&F)")),
                      menuBar()->addMenu(QStringLiteral("Send(&S)")),
                      menuBar()->addMenu(QStringLiteral("Help(&H)"))};
    for (const Item& item : items) {
        QMenu* menu = menus[item.menu];
        if (!item.text) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromLatin1(item.text));
        action->setObjectName(QStringLiteral("action%1").arg(item.id));
        action->setShortcut(item.key);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, run = item.run] {
            if (m_context) {
                run();
            }
        });
        m_actions[item.id] = action;
    }
    // Alt+X closes too, though the Exit item shows no hint.
    auto* exitKey = new QAction(this);
    exitKey->setObjectName(QStringLiteral("exitAccelerator"));
    exitKey->setShortcut(alt(Qt::Key_X));
    exitKey->setShortcutContext(Qt::WindowShortcut);
    connect(exitKey, &QAction::triggered, this, [this] { close(); });
    addAction(exitKey);
}

QAction* MainWindow::action(int commandId) const {
    const auto it = m_actions.find(commandId);
    return it == m_actions.end() ? nullptr : it->second;
}

void MainWindow::placeOnScreen() {
    adjustSize();
    setFixedSize(sizeHint());
    const QRect screen =
        (this->screen() ? this->screen() : QApplication::primaryScreen())->availableGeometry();
    move(screen.x() + (screen.width() - width()) / 2,
         screen.y() + (screen.height() - height()) / 2);
}

void MainWindow::rememberFocus() {
    if (QWidget* focus = QApplication::focusWidget(); focus && focus->window() == this) {
        m_focus = focus;
    }
}

void MainWindow::restoreFocus() {
    if (m_focus) {
        m_focus->setFocus();
    }
}

void MainWindow::runKeepingFocus(const std::function<void()>& command) {
    rememberFocus();
    command();
    restoreFocus();
}

void MainWindow::sendSettings(Owner owner) {
    runKeepingFocus([this, owner] {
        const FlowResult result =
            RunSettingCommand(*m_context, SettingJobKind::SendSettings, owner);
        if (result != FlowResult::Cancelled || owner == Owner::SettingsFrame) {
            activateWindow();
        }
    });
}

void MainWindow::initializePrinter(Owner owner) {
    runKeepingFocus(
        [this, owner] { RunSettingCommand(*m_context, SettingJobKind::InitializePrinter, owner); });
}

void MainWindow::showHelp() {
    runKeepingFocus([this] {
        // Once the guide could not be shown, the command does nothing, without a message and
        // without trying again.
        if (!m_helpUnavailable && (!m_commands.help || !m_commands.help())) {
            m_helpUnavailable = true;
        }
        activateWindow();
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    rememberFocus();
    if (!m_context || ConfirmClose(*m_context)) {
        event->accept();
        return;
    }
    event->ignore();
    restoreFocus();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        rememberFocus();
    } else if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if (isMinimized()) {
            rememberFocus();
        } else if (change->oldState().testFlag(Qt::WindowMinimized)) {
            // The window manager gives the focus to the window only after the restore.
            QTimer::singleShot(10, this, [this] { restoreFocus(); });
        }
    }
    QMainWindow::changeEvent(event);
}

}  // namespace kestrel::gui
