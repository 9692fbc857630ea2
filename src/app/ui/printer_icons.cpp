// The program's printer icons, drawn as SVG and carried in the program's resources.
#include "app/ui/qt_user_interface.h"

#include <QString>

// The icons live in a static library, whose resource table the linker drops unless something
// asks for it by name. (Outside any namespace: the resource's init function is global.)
static void RegisterKestrelResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(kestrel);
        return true;
    }();
    (void)registered;
}

namespace kestrel::gui {

QIcon IconFor(PrinterIcon icon) {
    RegisterKestrelResources();
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(static_cast<int>(icon)));
}

QIcon IconFor(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Printer:
            return IconFor(PrinterIcon::Printer);
        case BoxIcon::PrinterError:
            return IconFor(PrinterIcon::PrinterError);
        case BoxIcon::PrinterInfo:
            return IconFor(PrinterIcon::PrinterInfo);
        case BoxIcon::PrinterWarning:
            return IconFor(PrinterIcon::PrinterWarning);
        case BoxIcon::None:
        case BoxIcon::Question:
        case BoxIcon::Stop:
        case BoxIcon::Information:
            break;
    }
    return {};
}

}  // namespace kestrel::gui
