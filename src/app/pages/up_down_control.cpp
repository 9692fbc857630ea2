#include "app/pages/up_down_control.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kestrel::gui {

UpDownControl::UpDownControl(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton** button : {&m_up, &m_down}) {
        *button = new QToolButton(this);
        (*button)->setArrowType(button == &m_up ? Qt::UpArrow : Qt::DownArrow);
        (*button)->setAutoRepeat(true);
        (*button)->setFocusPolicy(Qt::NoFocus);
        (*button)->setFixedSize(16, 11);
        layout->addWidget(*button);
    }
    m_up->setObjectName(QStringLiteral("upButton"));
    m_down->setObjectName(QStringLiteral("downButton"));
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDownControl::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    m_position = std::clamp(m_position, m_minimum, m_maximum);
}

void UpDownControl::setPosition(int position) {
    m_position = std::clamp(position, m_minimum, m_maximum);
}

void UpDownControl::step(int delta) {
    const int next = std::clamp(m_position + delta, m_minimum, m_maximum);
    if (next != m_position) {
        m_position = next;
        emit positionChanged(m_position);
    }
}

}  // namespace kestrel::gui
