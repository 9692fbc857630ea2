// Tooltips of the frame's buttons and the pages' labels: the text of the string table entry of
// the control, shown for 30 seconds and wrapped at 400 pixels.
#pragma once

class QWidget;

namespace kestrel::gui {

// Gives the widget the tooltip of the id; a widget whose id has no tip gets none.
void ApplyToolTip(QWidget* widget, int id);

}  // namespace kestrel::gui
