#include "ports/user_interface.h"

namespace kestrel {

Answer ReportMessage(UserInterface& ui, std::uint32_t style, std::string_view text, BoxIcon icon,
                     Owner owner) {
    MessageBox box;
    box.text = std::string(text);
    box.buttons = Buttons::Ok;
    box.icon = icon;
    box.owner = owner;
    box.style = style;
    return ui.showMessage(box);
}

CursorId SetBusyCursor(UserInterface& ui, CursorId cursor) {
    return ui.setCursor(cursor);
}

Answer AskQuestion(UserInterface& ui, std::string_view text, Buttons buttons, Owner owner) {
    MessageBox box;
    box.text = std::string(text);
    box.buttons = buttons;
    box.icon = BoxIcon::Question;
    box.owner = owner;
    return ui.showMessage(box);
}

}  // namespace kestrel
