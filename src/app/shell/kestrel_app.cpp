#include "app/shell/kestrel_app.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QUrl>
#include <iostream>
#include <memory>
#include <mutex>
#include <sstream>

#include "app/frame/settings_frame.h"
#include "app/frame/tab_key_hook.h"
#include "app/logo/logo_dialog.h"
#include "app/selection/printer_selection_dialog.h"
#include "app/shell/main_window.h"
#include "app/shell/program_options.h"
#include "app/ui/qt_user_interface.h"
#include "commands/app_commands.h"
#include "commands/select_printer.h"
#include "commands/serial_follow_up.h"
#include "platform/single_instance.h"
#include "ports/clock.h"
#include "settings/factory_defaults.h"
#include "settings/profile.h"

namespace kestrel::gui {
namespace {

void ShowStartupMessage(QtUserInterface& ui, std::string text, BoxIcon icon) {
    MessageBox box;
    box.text = std::move(text);
    box.icon = icon;
    box.owner = Owner::None;
    box.systemModal = true;  // no window of the program exists yet, so it must be seen
    ui.showMessage(box);
}

// The help guide: installed beside the program's data, else the guide this build
// made in its build folder.
QString HelpIndexPath() {
    const QString installed =
        QApplication::applicationDirPath() + QStringLiteral("/../share/kestrel/help/index.html");
    if (QFileInfo::exists(installed)) {
        return QFileInfo(installed).canonicalFilePath();
    }
    return QStringLiteral(KESTREL_HELP_BUILD_DIR "/index.html");
}

bool OpenHelp() {
    const QString path = HelpIndexPath();
    return QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace

int RunKestrel(int argc, char** argv) {
    // Help and version need no display, so they are answered before Qt starts.
    const ProgramOptions early = ParseProgramOptions({argv + 1, argv + argc});
    if (early.help || early.version) {
        std::cout << (early.help ? ProgramUsage() : VersionText(KESTREL_VERSION) + "\n");
        return 0;
    }
    QApplication app(argc, argv);
    // Qt has taken its own options (-platform, -display, ...) out of the
    // arguments.
    std::vector<std::string> args;
    for (const QString& arg : QApplication::arguments().mid(1)) {
        args.push_back(arg.toLocal8Bit().toStdString());
    }
    const ProgramOptions options = ParseProgramOptions(args);
    if (!options.error.empty()) {
        std::cerr << "kestrel: " << options.error << "\n\n" << ProgramUsage();
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("kestrel"));
    QApplication::setApplicationVersion(QStringLiteral(KESTREL_VERSION));
    QApplication::setWindowIcon(IconFor(PrinterIcon::Printer));
    QtUserInterface ui;

    AppState state;
    state.startupFolder = QDir::currentPath().toLocal8Bit().toStdString();
    state.logoInitialDir = state.startupFolder;
    const std::string versionText = VersionText(KESTREL_VERSION);
    ReadProfile(state);

    const SingleInstanceLock lock(SingleInstanceName(state.profile.debug));
    if (!lock.held()) {
        ShowStartupMessage(ui, std::string(kAlreadyStartedText), BoxIcon::Information);
        return 0;
    }
    state.osLevel = 0;  // Linux: a new serial line takes effect at the next job, no restart

    std::ostringstream platformError;
    std::optional<Platform> platform = MakePlatform(options.platform, platformError, "kestrel");
    if (!platform) {
        std::cerr << platformError.str();
        ShowStartupMessage(ui, platformError.str(), BoxIcon::Stop);
        return 1;
    }
    // The selection dialog watches the queues from a thread of its own, on a
    // print system of its own, so a slow server never holds up the dialog.
    std::shared_ptr<Platform> pollPlatform;
    {
        std::ostringstream ignored;
        if (auto second = MakePlatform(options.platform, ignored, "kestrel")) {
            pollPlatform = std::make_shared<Platform>(std::move(*second));
        }
    }
    std::function<std::vector<QueueInfo>()> poll;
    if (pollPlatform) {
        poll = [pollPlatform] { return pollPlatform->printSystem->listQueues(); };
    }

    SystemClock clock;
    MainWindow window(state);
    ui.setOwnerWidget(Owner::MainWindow, &window);
    ui.setOwnerWidget(Owner::SettingsFrame, window.frame());
    CommandContext ctx{state, *platform->printSystem, ui, clock, *window.frame(), {}};
    ctx.afterSettingsSent = [&platform](CommandContext& c, Owner owner) {
        FollowSerialPrinter(c, owner, *platform->hostPortStore, *platform->serialLine);
    };
    state.serialSettingsChanged = false;
    state.selectedPrinter().connectionStatus = ConnectionStatus::Parallel;
    window.placeOnScreen();
    window.show();
    // Painted and on the screen before the selection dialog is built over it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    SortDirection direction = SortDirection::Rising;
    PrinterSelectionWindow selection(state, *platform->printSystem, *platform->hostPortStore, ui,
                                     direction, poll, &window);
    const bool chosen = SelectPrinter(ctx, selection);
    if (!chosen) {
        return 0;  // the main window goes with this scope, before the loop ever runs
    }
    window.activateWindow();
    SyncMechanism(state);
    ShowProfileDebugText(state, ui);
    // The chosen printer decides which rows the pages offer.
    window.frame()->rebuildVisiblePage();
    window.frame()->refreshVisiblePage(state.settings);
    window.frame()->settingButton()->setFocus();

    const auto logoRegistration = [&ctx, &ui, &window] {
        LogoDialog dialog(ctx, &window);
        ui.setOwnerWidget(Owner::LogoDialog, &dialog);
        dialog.exec();
        ui.setOwnerWidget(Owner::LogoDialog, nullptr);
    };
    window.setContext(&ctx, versionText, {logoRegistration, &OpenHelp});
    const TabKeyHook hook(&window, window.frame());
    return QApplication::exec();
}

}  // namespace kestrel::gui
