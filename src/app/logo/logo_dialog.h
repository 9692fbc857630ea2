// The "Logo Registration" dialog: five logo slots, each with its bitmap file, its two-colour
// choice, the Refer, Delete, Regist and Print commands and a preview of how the printer will
// print it; and the confirmation print of all five. Only Exit closes it. The paths and choices
// are the program's logo table, kept while the program runs.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "commands/command_context.h"
#include "commands/logo_commands.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace kestrel::gui {

class LogoPreviewer;

class LogoDialog : public QDialog {
    Q_OBJECT

public:
    LogoDialog(CommandContext& ctx, QWidget* parent = nullptr);
    ~LogoDialog() override;

    // The slots' controls from the logo table, and back.
    void loadLogoControls();
    void saveLogoControls();

public slots:
    // Escape does nothing: only Exit closes the dialog.
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Slot {
        QCheckBox* twoColor = nullptr;
        QLineEdit* path = nullptr;
        QLabel* preview = nullptr;
        QLabel* previewText = nullptr;
        QTimer* previewDelay = nullptr;
    };

    QWidget* buildSlot(int index);
    void refer(int index);
    void run(LogoCommand command, int index);
    void exit();
    void schedulePreview(int index);
    void showPreview(int index, const QImage& image, const QString& text);

    CommandContext& m_ctx;
    std::array<Slot, kLogoSlotCount> m_slots;
    std::unique_ptr<LogoPreviewer> m_previewer;
    bool m_exiting = false;
};

}  // namespace kestrel::gui
