#include "app/frame/tool_tips.h"

#include <QFontMetrics>
#include <QToolTip>
#include <QWidget>

#include "settings/page_rules.h"

namespace kestrel::gui {

void ApplyToolTip(QWidget* widget, int id) {
    const auto text = ToolTipText(id);
    if (!text) {
        widget->setToolTip({});
        return;
    }
    QString tip = QString::fromLatin1(text->data(), static_cast<qsizetype>(text->size()));
    // Qt wraps only rich text, so a tip wider than the limit becomes a table of that width.
    const QFontMetrics metrics(QToolTip::font());
    int widest = 0;
    for (const QString& line : tip.split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    if (widest > kToolTipMaxWidthPx) {
        tip = QStringLiteral("<table width=\"%1\"><tr><td>%2</td></tr></table>")
                  .arg(kToolTipMaxWidthPx)
                  .arg(tip.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    }
    widget->setToolTip(tip);
    widget->setToolTipDuration(kToolTipDisplayMs);
}

}  // namespace kestrel::gui
