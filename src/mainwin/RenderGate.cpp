#include "mainwin/RenderGate.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <utility>

namespace zd {

namespace {

// Input that may start a command.
bool startsCommand(QEvent::Type t)
{
    switch (t) {
    case QEvent::MouseButtonPress: case QEvent::MouseButtonDblClick: case QEvent::KeyPress:
    case QEvent::Wheel: case QEvent::Shortcut: case QEvent::TouchBegin: case QEvent::TabletPress:
        return true;
    default:
        return false;
    }
}

// Input that follows it and must keep its place after it.
bool followsInput(QEvent::Type t)
{
    switch (t) {
    case QEvent::MouseButtonRelease: case QEvent::MouseMove: case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: case QEvent::TouchUpdate: case QEvent::TouchEnd:
    case QEvent::TabletMove: case QEvent::TabletRelease: case QEvent::HoverMove:
    case QEvent::Enter: case QEvent::Leave:
        return true;
    default:
        return false;
    }
}

// A key that only types into a text field of the main window: the field answers it at once.
// Enter, Escape and the keys that move between fields or choose in a list may start commands.
bool typesText(const QEvent* event, const QWidget* main)
{
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return: case Qt::Key_Enter: case Qt::Key_Escape: case Qt::Key_Tab: case Qt::Key_Backtab:
    case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_PageUp: case Qt::Key_PageDown:
        return false;
    default:
        break;
    }
    if (key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) return false;
    const QWidget* w = QApplication::focusWidget();
    if (!w || w->window() != main) return false;
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w)
        || qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w);
}

} // namespace

RenderGate::~RenderGate()
{
    if (m_active) qApp->removeEventFilter(this);
}

void RenderGate::open()
{
    if (m_active) return;
    m_active = true;
    qApp->installEventFilter(this);
}

void RenderGate::close()
{
    if (!m_active) return;
    m_active = false;
    qApp->removeEventFilter(this);
    for (auto& [receiver, event] : std::exchange(m_held, {}))
        if (receiver) QCoreApplication::postEvent(receiver, event.release());
}

bool RenderGate::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    const bool holding = !m_held.empty();
    if (!startsCommand(t) && !(holding && followsInput(t))) return false;
    if (!holding && typesText(event, m_main)) return false;
    // A dialog of its own runs its own loop: what it is given is its own.
    if (QApplication::activeModalWidget()) return false;
    m_held.emplace_back(watched, std::unique_ptr<QEvent>(event->clone()));
    return true;
}

} // namespace zd
