// The core's boxes, file dialogs, busy cursor and progress window as Qt widgets. Each box is
// modal to the window its owner names; the windows register themselves while they exist.
#pragma once

#include <QIcon>
#include <QPointer>
#include <QWidget>
#include <map>

#include "ports/user_interface.h"
#include "printer/printer_entry.h"

namespace kestrel::gui {

// The program's printer icons 160, 162, 163 and 164, drawn as SVG in the resources.
QIcon IconFor(BoxIcon icon);
QIcon IconFor(PrinterIcon icon);

class QtUserInterface final : public UserInterface {
public:
    // The widget a box of that owner is modal to. Without one (or once it has gone) a box is modal
    // to the window on top: the active modal dialog, else the active window.
    void setOwnerWidget(Owner owner, QWidget* widget);
    QWidget* ownerWidget(Owner owner) const;

    Answer showMessage(const MessageBox& box) override;
    std::optional<std::string> openFileDialog(const FileDialogOptions& options) override;
    std::optional<std::string> saveFileDialog(const FileDialogOptions& options) override;
    CursorId setCursor(CursorId cursor) override;
    std::unique_ptr<ProgressWindow> openProgressWindow(Owner owner) override;

private:
    std::map<Owner, QPointer<QWidget>> m_owners;
    CursorId m_cursor = CursorId::Arrow;
};

}  // namespace kestrel::gui
