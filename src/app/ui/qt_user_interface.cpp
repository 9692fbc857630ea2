#include "app/ui/qt_user_interface.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace kestrel::gui {
namespace {

QString FromLocal(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// The modeless window shown while a job is built and sent. The job blocks the event loop, so the
// window paints itself before the job starts and whenever its text changes.
class QtProgressWindow final : public ProgressWindow {
public:
    explicit QtProgressWindow(QWidget* owner) : m_dialog(owner) {
        m_dialog.setWindowTitle(FromLocal(kCaption));
        m_dialog.setWindowIcon(IconFor(PrinterIcon::Printer));
        m_dialog.setObjectName(QStringLiteral("progressWindow"));
        auto* layout = new QHBoxLayout(&m_dialog);
        auto* icon = new QLabel(&m_dialog);
        icon->setPixmap(IconFor(PrinterIcon::Printer).pixmap(32, 32));
        m_text = new QLabel(&m_dialog);
        m_text->setAlignment(Qt::AlignCenter);
        m_text->setMinimumWidth(220);
        layout->addWidget(icon);
        layout->addWidget(m_text, 1);
        m_dialog.setModal(false);
        // It only tells what is going on: the window the user works in keeps the activation and
        // its focus.
        m_dialog.setAttribute(Qt::WA_ShowWithoutActivating);
        m_dialog.setWindowFlag(Qt::WindowDoesNotAcceptFocus);
        m_dialog.show();
        paint();
    }

    void setText(std::string_view text) override {
        m_text->setText(FromLocal(text));
        paint();
    }

private:
    void paint() {
        m_dialog.repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

    QDialog m_dialog;
    QLabel* m_text = nullptr;
};

QString DialogFilter(const FileDialogOptions& options) {
    QString filter = FromLocal(options.filterText);
    if (!filter.contains(QLatin1Char('('))) {
        filter += QStringLiteral(" (%1)").arg(FromLocal(options.filterPattern));
    }
    return filter;
}

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogOptions& options,
                                         bool save) {
    QFileDialog dialog(parent, FromLocal(options.title), FromLocal(options.initialFolder),
                       DialogFilter(options));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(options.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The core asks its own overwrite question; a second one from the dialog would be wrong.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!options.defaultExtension.empty()) {
        dialog.setDefaultSuffix(FromLocal(options.defaultExtension));
    }
    if (!options.fileName.empty()) {
        dialog.selectFile(FromLocal(options.fileName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst().toLocal8Bit().toStdString();
}

}  // namespace

void QtUserInterface::setOwnerWidget(Owner owner, QWidget* widget) {
    m_owners[owner] = widget;
}

QWidget* QtUserInterface::ownerWidget(Owner owner) const {
    if (owner == Owner::None) {
        return nullptr;
    }
    if (const auto it = m_owners.find(owner); it != m_owners.end() && it->second) {
        return it->second.data();
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    return QApplication::activeWindow();
}

Answer QtUserInterface::showMessage(const MessageBox& box) {
    QMessageBox message(box.systemModal ? nullptr : ownerWidget(box.owner));
    message.setObjectName(QStringLiteral("messageBox"));
    message.setWindowTitle(FromLocal(box.caption));
    message.setText(FromLocal(box.text));
    message.setTextFormat(Qt::PlainText);
    message.setWindowIcon(IconFor(PrinterIcon::Printer));
    switch (box.icon) {
        case BoxIcon::None:
            break;
        case BoxIcon::Question:
            message.setIcon(QMessageBox::Question);
            break;
        case BoxIcon::Stop:
            message.setIcon(QMessageBox::Critical);
            break;
        case BoxIcon::Information:
            message.setIcon(QMessageBox::Information);
            break;
        default:
            message.setIconPixmap(IconFor(box.icon).pixmap(48, 48));
            break;
    }
    if (box.systemModal) {
        // Stays over every window of the program until it is answered.
        message.setWindowModality(Qt::ApplicationModal);
        message.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    switch (box.buttons) {
        case Buttons::Ok:
            message.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            message.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            message.setDefaultButton(QMessageBox::Ok);
            break;
        case Buttons::YesNo:
            message.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            message.setDefaultButton(QMessageBox::Yes);
            message.setEscapeButton(QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            message.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            message.setDefaultButton(QMessageBox::Yes);
            break;
    }
    // A box over a job must take the arrow while it waits for the user.
    const bool busy = m_cursor == CursorId::Wait;
    if (busy) {
        QGuiApplication::restoreOverrideCursor();
    }
    const int pressed = message.exec();
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    switch (pressed) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Ok:
            return Answer::Ok;
        default:
            return box.buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

std::optional<std::string> QtUserInterface::openFileDialog(const FileDialogOptions& options) {
    return RunFileDialog(ownerWidget(options.owner), options, false);
}

std::optional<std::string> QtUserInterface::saveFileDialog(const FileDialogOptions& options) {
    return RunFileDialog(ownerWidget(options.owner), options, true);
}

CursorId QtUserInterface::setCursor(CursorId cursor) {
    const CursorId previous = m_cursor;
    if (cursor == previous) {
        return previous;
    }
    if (cursor == CursorId::Wait) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
    m_cursor = cursor;
    return previous;
}

std::unique_ptr<ProgressWindow> QtUserInterface::openProgressWindow(Owner owner) {
    return std::make_unique<QtProgressWindow>(ownerWidget(owner));
}

}  // namespace kestrel::gui
