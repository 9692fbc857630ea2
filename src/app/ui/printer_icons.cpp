// The program's printer icons, drawn as SVG and carried in the program's resources.
#include "app/ui/qt_user_interface.h"

#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QSvgRenderer>
#include <map>

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
    // Drawn straight from the SVG at the sizes the program shows (list rows, title bars, boxes):
    // going through Qt's icon and image plugins would cost the start-up several milliseconds.
    static std::map<PrinterIcon, QIcon> cache;
    if (const auto it = cache.find(icon); it != cache.end()) {
        return it->second;
    }
    RegisterKestrelResources();
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(static_cast<int>(icon)));
    QIcon drawn;
    for (const int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        drawn.addPixmap(pixmap);
    }
    return cache[icon] = drawn;
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
