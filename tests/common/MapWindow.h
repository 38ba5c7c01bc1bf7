#pragma once
// The main window on a database of the test's own: message boxes recorded instead of
// shown, the end of the program recorded instead of quitting, and the user's events
// (clicks, drags, double clicks, the wheel, typing) sent to the real widgets.
#include "TestDb.h"
#include "mainwin/FrmZdMain.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"

#include <QAction>
#include <QColor>
#include <QEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace zdtest {

// Key events carrying the characters, one press and release each; Cyrillic keys carry
// their text with no key code of their own.
void typeText(QWidget* target, const QString& text);

// Mouse events on a widget at a pixel of it.
void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton);
void clickAt(QWidget* target, QPoint at, Qt::MouseButton button = Qt::LeftButton);
void dragOn(QWidget* target, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton);
void doubleClickAt(QWidget* target, QPoint at);   // press, release, double click, release
void wheelAt(QWidget* target, QPoint at, int angleDelta);

// Whether the colour is at the pixel or one beside it (a line one pixel wide falls on
// either side of a point between pixel rows).
bool colourNear(const QImage& image, QPoint at, const QColor& colour, int radius = 1);

class MapWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the window over a database written from the script (empty: no file at all).
    void start(const QString& script = sampleNetworkSql());
    // The frame shown zoomed, as the frame commands show it.
    void showFrame(const zd::Frame& f) { w->showFrame(f, 1); }

    zd::PictureBox& pic() { return w->picZdMain(); }
    QPoint px(double x, double y) { return pic().toPixel(x, y).toPoint(); }
    bool colourAt(double x, double y, const QColor& c) { return colourNear(pic().image(), px(x, y), c); }
    void trigger(const char* name) { w->menuItem(QLatin1String(name))->trigger(); }   // a menu item
    void press(const char* key) { w->button(QLatin1String(key))->trigger(); }         // a toolbar button
    bool itemOn(const char* name) { return w->menuItem(QLatin1String(name))->isEnabled(); }
    bool buttonOn(const char* key) { return w->button(QLatin1String(key))->isEnabled(); }
    // Message boxes shown since the last call, their texts.
    QStringList takeBoxes();

    QTemporaryDir dir;
    std::unique_ptr<zd::FrmZdMain> w;
    std::vector<zd::MsgRequest> boxes;
    int endCode = -1;
};

} // namespace zdtest
