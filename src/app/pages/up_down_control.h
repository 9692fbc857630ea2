// A pair of arrow buttons that steps a position within a range, standing beside the edit it
// belongs to. It never writes the edit itself: its owner turns the position into text.
#pragma once

#include <QWidget>

class QToolButton;

namespace kestrel::gui {

class UpDownControl : public QWidget {
    Q_OBJECT

public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int position() const { return m_position; }
    // Moves without telling: for the owner showing a value it already holds.
    void setPosition(int position);
    // One step up (+1) or down (-1), as a click or an arrow key in the edit does.
    void step(int delta);

signals:
    // The user moved the position.
    void positionChanged(int position);

private:
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
};

}  // namespace kestrel::gui
