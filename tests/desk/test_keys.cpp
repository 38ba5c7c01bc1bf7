// Mnemonics and shortcuts of the menus, and the keys of the tool windows.
#include "DeskNetwork.h"

#include "dorfind/FrmZdDor.h"
#include "light/FrmLight.h"
#include "stnfind/FrmZdFind.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSet>
#include <algorithm>

using namespace zd;
using namespace zdtest;

namespace {

class Keys : public DeskTest {
protected:
    void SetUp() override
    {
        DeskTest::SetUp();
        startDesk();
    }
};

QChar mnemonicOf(const QString& text)
{
    const qsizetype i = text.indexOf(u'&');
    return i >= 0 && i + 1 < text.size() && text.at(i + 1) != u'&' ? text.at(i + 1).toLower() : QChar();
}

// Every visible menu and item has a mnemonic, none shared with a sibling, and no two
// commands share a shortcut.
TEST_F(Keys, MnemonicsAndShortcutsAreUnique)
{
    std::vector<QList<QAction*>> levels{w->menuBar()->actions()};
    for (QMenu* m : w->menuBar()->findChildren<QMenu*>()) levels.push_back(m->actions());
    QSet<QKeySequence> shortcuts;
    for (const QList<QAction*>& level : levels) {
        QSet<QChar> seen;
        for (QAction* a : level) {
            if (a->isSeparator() || !a->isVisible() || a->objectName().startsWith("mnuBookmarks_Item")) continue;
            SCOPED_TRACE(a->objectName().toStdString());
            const QChar m = mnemonicOf(a->text());
            EXPECT_FALSE(m.isNull()) << a->text().toStdString();
            EXPECT_FALSE(seen.contains(m)) << a->text().toStdString();
            seen.insert(m);
            if (a->shortcut().isEmpty()) continue;
            EXPECT_FALSE(shortcuts.contains(a->shortcut())) << a->shortcut().toString().toStdString();
            shortcuts.insert(a->shortcut());
        }
    }
    EXPECT_EQ(w->menuItem("mnuBookmarks_Add")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(w->menuItem("mnuView_Redraw")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_FALSE(shortcuts.contains(QKeySequence(Qt::CTRL | Qt::Key_F))) << "the quick search's";
}

// F5 draws the same frame again without a history entry.
TEST_F(Keys, RedrawKeepsTheHistory)
{
    showFrame(Frame{17000, 11000, 27000, 21000});
    const int count = w->history().count();
    pic().clearPicture();
    trigger("mnuView_Redraw");
    EXPECT_EQ(w->history().count(), count);
    EXPECT_TRUE(colourAt(kMoscowX, kMoscowY, zd::toQColor(w->state().palette.net)));
}

// Esc closes each tool window; its buttons have mnemonics, none shared.
TEST_F(Keys, ToolWindowsCloseWithEscape)
{
    const std::pair<const char*, std::function<QWidget*()>> tools[] = {
        {"find", [this] { trigger("mnuZdFind_Stn"); return static_cast<QWidget*>(w->findWindow()); }},
        {"railways", [this] { trigger("mnuZdFind_Dor"); return static_cast<QWidget*>(w->dorWindow()); }},
        {"light", [this] { trigger("mnuZdLight_Peregon"); return static_cast<QWidget*>(w->lightWindow()); }},
    };
    for (const auto& [name, open] : tools) {
        SCOPED_TRACE(name);
        QWidget* tool = open();
        ASSERT_NE(tool, nullptr);
        ASSERT_TRUE(tool->isVisible());
        QSet<QChar> seen;
        for (QAbstractButton* b : tool->findChildren<QAbstractButton*>()) {
            const QString text = b->text();
            const QChar m = mnemonicOf(text);
            if (!std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); })) continue;
            EXPECT_FALSE(m.isNull()) << text.toStdString();
            EXPECT_FALSE(seen.contains(m)) << text.toStdString();
            seen.insert(m);
        }
        QPointer<QWidget> closing = tool;   // a tool window closed is gone
        QWidget* focus = tool->findChildren<QWidget*>().value(0, tool);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(focus, &esc);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(!closing || !closing->isVisible());
    }
}

} // namespace
