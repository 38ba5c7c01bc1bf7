#include "light/UpDown.h"

#include <algorithm>

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace zd {

namespace {
QToolButton* arrowButton(QWidget* parent, Qt::ArrowType arrow)
{
    auto* b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    return b;
}
} // namespace

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    m_up = arrowButton(this, Qt::UpArrow);
    m_down = arrowButton(this, Qt::DownArrow);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(m_up);
    box->addWidget(m_down);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
    updateButtons();
}

void UpDown::setValue(int value)
{
    value = std::clamp(value, m_min, m_max);
    if (value == m_value) return;
    m_value = value;
    updateButtons();
    emit valueChanged(m_value);
}

void UpDown::setRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    const int old = m_value;
    m_value = std::clamp(m_value, m_min, m_max);
    updateButtons();
    if (m_value != old) emit valueChanged(m_value);
}

void UpDown::stepBy(int steps) { setValue(m_value + steps); }

void UpDown::updateButtons()
{
    m_up->setEnabled(m_value < m_max);
    m_down->setEnabled(m_value > m_min);
}

void UpDown::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up: stepBy(1); break;
    case Qt::Key_Down: stepBy(-1); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void UpDown::wheelEvent(QWheelEvent* event)
{
    const int dy = event->angleDelta().y();
    if (dy != 0) stepBy(dy > 0 ? 1 : -1);
    event->accept();
}

} // namespace zd
