#include "MapWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace zdtest {

void typeText(QWidget* target, const QString& text)
{
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        int key = Qt::Key_unknown;
        if (u >= 'a' && u <= 'z') key = u - 'a' + Qt::Key_A;
        else if (u >= 32 && u < 127) key = u;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &release);
    }
}

void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

void clickAt(QWidget* target, QPoint at, Qt::MouseButton button)
{
    sendMouse(target, QEvent::MouseButtonPress, at, button);
    sendMouse(target, QEvent::MouseButtonRelease, at, button);
}

void dragOn(QWidget* target, QPoint from, QPoint to, Qt::MouseButton button)
{
    sendMouse(target, QEvent::MouseButtonPress, from, button);
    sendMouse(target, QEvent::MouseMove, (from + to) / 2, button);
    sendMouse(target, QEvent::MouseMove, to, button);
    sendMouse(target, QEvent::MouseButtonRelease, to, button);
}

void doubleClickAt(QWidget* target, QPoint at)
{
    clickAt(target, at);
    sendMouse(target, QEvent::MouseButtonDblClick, at);
    sendMouse(target, QEvent::MouseButtonRelease, at);
}

void wheelAt(QWidget* target, QPoint at, int angleDelta)
{
    QWheelEvent e(QPointF(at), QPointF(target->mapToGlobal(at)), {}, {0, angleDelta}, Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &e);
}

bool colourNear(const QImage& image, QPoint at, const QColor& colour, int radius)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (image.valid(at.x() + dx, at.y() + dy) && image.pixelColor(at.x() + dx, at.y() + dy) == colour)
                return true;
    return false;
}

void MapWindowTest::SetUp()
{
    zd::setMsgHandler([this](const zd::MsgRequest& r) { boxes.push_back(r); });
}

void MapWindowTest::TearDown()
{
    w.reset();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    zd::setMsgHandler({});
}

void MapWindowTest::start(const QString& script)
{
    if (!script.isEmpty()) ASSERT_TRUE(writeSqlite(dir.filePath("ZdShort.mdb"), script));
    w = std::make_unique<zd::FrmZdMain>(dir.path());
    w->setEndHandler([this](int code) { endCode = code; });
    w->Form_Activate();
}

QStringList MapWindowTest::takeBoxes()
{
    QStringList texts;
    for (const zd::MsgRequest& r : boxes) texts << r.text;
    boxes.clear();
    return texts;
}

} // namespace zdtest
