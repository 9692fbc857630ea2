// Everything the core shows to or asks of the user: message boxes, file dialogs, the busy cursor
// and the progress window. Every box has the caption "KESTREL".
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

inline constexpr std::string_view kCaption = "KESTREL";

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// A box shows either one of the program's printer icons (160, 162, 163, 164) or a system icon.
enum class BoxIcon : std::uint16_t {
    None = 0,
    Question = 1,
    Stop = 2,
    Information = 3,
    Printer = 160,
    PrinterError = 162,
    PrinterInfo = 163,
    PrinterWarning = 164,
};

// The window a box belongs to (it is modal to that window).
enum class Owner { None, MainWindow, SettingsFrame, LogoDialog, SelectionDialog };

// Cursor ids as the original platform numbers them.
enum class CursorId : std::uint16_t { Arrow = 32512, Wait = 32514 };

// Style word of a box with one of the program's own icons and an OK button.
inline constexpr std::uint32_t kUserIconStyle = 0x80;

struct MessageBox {
    std::string text;
    Buttons buttons = Buttons::Ok;
    BoxIcon icon = BoxIcon::None;
    Owner owner = Owner::MainWindow;
    bool systemModal = false;
    std::uint32_t style = 0;
    std::string caption{kCaption};
};

struct FileDialogOptions {
    std::string title;
    std::string filterText;     // "POS Utility(*.kcf)"
    std::string filterPattern;  // "*.kcf"
    std::string defaultExtension;
    std::string initialFolder;
    std::string fileName;  // starting contents of the name field
    bool mustExist = false;
    Owner owner = Owner::MainWindow;
};

// The modeless progress window shown while a job is built and sent; closed when destroyed.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    virtual void setText(std::string_view text) = 0;
};

class UserInterface {
public:
    virtual ~UserInterface() = default;
    virtual Answer showMessage(const MessageBox& box) = 0;
    virtual std::optional<std::string> openFileDialog(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> saveFileDialog(const FileDialogOptions& options) = 0;
    // Sets the cursor and returns the previous one.
    virtual CursorId setCursor(CursorId cursor) = 0;
    virtual std::unique_ptr<ProgressWindow> openProgressWindow(Owner owner) = 0;
};

// A box with one of the program's printer icons, caption "KESTREL" and one OK button.
Answer ReportMessage(UserInterface& ui, std::uint32_t style, std::string_view text, BoxIcon icon,
                     Owner owner);

CursorId SetBusyCursor(UserInterface& ui, CursorId cursor);

// A question box with the question icon.
Answer AskQuestion(UserInterface& ui, std::string_view text, Buttons buttons, Owner owner);

}  // namespace kestrel
