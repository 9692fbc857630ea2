#include "app/logo/logo_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "app/logo/logo_previewer.h"
#include "commands/logo_refer.h"

namespace kestrel::gui {
namespace {

constexpr QSize kPreviewSize(176, 96);

QString FromLocal(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

LogoDialog::LogoDialog(CommandContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_previewer(std::make_unique<LogoPreviewer>()) {
    setObjectName(QStringLiteral("logoDialog"));
    setWindowTitle(QStringLiteral("Logo Registration"));
    // No close box: the slots are saved by Exit.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    auto* grid = new QGridLayout(this);
    // Created in the order Tab walks them: slot by slot, then the confirmation group.
    for (int index = 0; index < kLogoSlotCount; ++index) {
        grid->addWidget(buildSlot(index), index % 3, index / 3);
    }
    auto* confirmation = new QGroupBox(QStringLiteral("Logo confirmation print/Exit"), this);
    auto* buttons = new QHBoxLayout(confirmation);
    auto* print = new QPushButton(QStringLiteral("Confirmation print"), confirmation);
    auto* exit = new QPushButton(QStringLiteral("Exit"), confirmation);
    print->setObjectName(QStringLiteral("confirmationPrintButton"));
    exit->setObjectName(QStringLiteral("exitButton"));
    buttons->addStretch(1);
    buttons->addWidget(print);
    buttons->addWidget(exit);
    grid->addWidget(confirmation, 2, 1);
    for (QPushButton* button : {print, exit}) {
        button->setAutoDefault(false);
    }
    connect(print, &QPushButton::clicked, this, [this] { run(LogoCommand::ConfirmationPrint, 0); });
    connect(exit, &QPushButton::clicked, this, &LogoDialog::exit);
    connect(m_previewer.get(), &LogoPreviewer::ready, this, &LogoDialog::showPreview);
    loadLogoControls();
}

LogoDialog::~LogoDialog() = default;

QWidget* LogoDialog::buildSlot(int index) {
    Slot& slot = m_slots[static_cast<std::size_t>(index)];
    const int number = index + 1;
    auto* group = new QGroupBox(QStringLiteral("Logo%1").arg(number), this);
    group->setObjectName(QStringLiteral("logoGroup%1").arg(number));
    auto* layout = new QGridLayout(group);
    slot.twoColor = new QCheckBox(QStringLiteral("2Color"), group);
    slot.path = new QLineEdit(group);
    auto* referButton = new QPushButton(QStringLiteral("Refer"), group);
    auto* deleteButton = new QPushButton(QStringLiteral("Delete"), group);
    auto* registButton = new QPushButton(QStringLiteral("Regist"), group);
    auto* printButton = new QPushButton(QStringLiteral("Print"), group);
    slot.twoColor->setObjectName(QStringLiteral("twoColorCheckBox%1").arg(number));
    slot.path->setObjectName(QStringLiteral("pathEdit%1").arg(number));
    slot.path->setMinimumWidth(180);
    referButton->setObjectName(QStringLiteral("referButton%1").arg(number));
    deleteButton->setObjectName(QStringLiteral("deleteButton%1").arg(number));
    registButton->setObjectName(QStringLiteral("registButton%1").arg(number));
    printButton->setObjectName(QStringLiteral("printButton%1").arg(number));

    slot.preview = new QLabel(group);
    slot.preview->setObjectName(QStringLiteral("preview%1").arg(number));
    slot.preview->setFixedSize(kPreviewSize);
    slot.preview->setAlignment(Qt::AlignCenter);
    slot.preview->setFrameShape(QFrame::StyledPanel);
    slot.preview->setStyleSheet(QStringLiteral("background: white"));
    slot.previewText = new QLabel(group);
    slot.previewText->setObjectName(QStringLiteral("previewText%1").arg(number));
    slot.previewText->setWordWrap(true);
    slot.previewText->setMinimumHeight(slot.previewText->fontMetrics().height() * 2);

    layout->addWidget(slot.twoColor, 0, 0);
    layout->addWidget(slot.path, 0, 1, 1, 3);
    layout->addWidget(referButton, 0, 4);
    layout->addWidget(deleteButton, 1, 1);
    layout->setColumnStretch(2, 1);
    layout->addWidget(registButton, 1, 3);
    layout->addWidget(printButton, 1, 4);
    layout->addWidget(slot.preview, 0, 5, 2, 1);
    layout->addWidget(slot.previewText, 2, 0, 1, 6);

    for (QPushButton* button : {referButton, deleteButton, registButton, printButton}) {
        button->setAutoDefault(false);
    }
    connect(referButton, &QPushButton::clicked, this, [this, index] { refer(index); });
    connect(deleteButton, &QPushButton::clicked, this,
            [this, index] { run(LogoCommand::Delete, index); });
    connect(registButton, &QPushButton::clicked, this,
            [this, index] { run(LogoCommand::Regist, index); });
    connect(printButton, &QPushButton::clicked, this,
            [this, index] { run(LogoCommand::Print, index); });

    // The preview follows the path as it is typed, a moment after the last key.
    slot.previewDelay = new QTimer(this);
    slot.previewDelay->setSingleShot(true);
    slot.previewDelay->setInterval(250);
    connect(slot.previewDelay, &QTimer::timeout, this, [this, index] { schedulePreview(index); });
    connect(slot.path, &QLineEdit::textChanged, slot.previewDelay, qOverload<>(&QTimer::start));
    connect(slot.twoColor, &QCheckBox::toggled, this, [this, index] { schedulePreview(index); });
    return group;
}

void LogoDialog::loadLogoControls() {
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        const LogoEntry& entry = m_ctx.state.logoTable[i];
        m_slots[i].twoColor->setChecked(entry.twoColor);
        m_slots[i].path->setText(FromLocal(entry.path));
        schedulePreview(static_cast<int>(i));
    }
}

void LogoDialog::saveLogoControls() {
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        LogoEntry& entry = m_ctx.state.logoTable[i];
        entry.twoColor = m_slots[i].twoColor->isChecked();
        entry.path = m_slots[i].path->text().toLocal8Bit().toStdString();
    }
}

void LogoDialog::refer(int index) {
    const QPointer<QWidget> focus = QApplication::focusWidget();
    saveLogoControls();
    if (const auto chosen = ReferLogoFile(m_ctx.state, m_ctx.ui, index)) {
        m_slots[static_cast<std::size_t>(index)].path->setText(FromLocal(*chosen));
    }
    if (focus) {
        focus->setFocus();
    }
}

void LogoDialog::run(LogoCommand command, int index) {
    const QPointer<QWidget> focus = QApplication::focusWidget();
    saveLogoControls();
    // A path the table cannot hold is refused whole rather than cut to a different file.
    if (const auto tooLong = LogoPathTooLongText(m_ctx.state.logoTable)) {
        ReportMessage(m_ctx.ui, kUserIconStyle, *tooLong, BoxIcon::PrinterError, Owner::LogoDialog);
    } else {
        RunLogoCommand(m_ctx, command, index);
    }
    // The progress window and the boxes have had the activation: take it back with the focus.
    activateWindow();
    if (focus) {
        focus->setFocus();
    }
}

void LogoDialog::exit() {
    saveLogoControls();
    m_exiting = true;
    accept();
}

void LogoDialog::closeEvent(QCloseEvent* event) {
    if (m_exiting) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

void LogoDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    const QRect screen =
        (this->screen() ? this->screen() : QApplication::primaryScreen())->availableGeometry();
    move(screen.x() + (screen.width() - width()) / 2,
         screen.y() + (screen.height() - height()) / 2);
}

void LogoDialog::schedulePreview(int index) {
    const Slot& slot = m_slots[static_cast<std::size_t>(index)];
    slot.previewDelay->stop();
    m_previewer->request(index, slot.path->text(), slot.twoColor->isChecked());
}

void LogoDialog::showPreview(int index, const QImage& image, const QString& text) {
    const Slot& slot = m_slots[static_cast<std::size_t>(index)];
    slot.preview->setPixmap(
        image.isNull()
            ? QPixmap()
            : QPixmap::fromImage(
                  image.width() > kPreviewSize.width() || image.height() > kPreviewSize.height()
                      ? image.scaled(kPreviewSize, Qt::KeepAspectRatio, Qt::FastTransformation)
                      : image));
    slot.previewText->setText(text);
}

}  // namespace kestrel::gui
