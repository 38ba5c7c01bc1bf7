#include "desk/DeskKeys.h"

#include "mainwin/FrmZdMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeyEvent>
#include <QSet>

namespace zd {

namespace {

enum class Scope { Window, Map };   // Map: shown only, the map's key filter does the work

struct MenuKey {
    const char* name;
    const char* caption;   // the classic caption with its mnemonic
    QKeyCombination key;
    Scope scope;
};

constexpr QKeyCombination kNone{};

const MenuKey kMenuKeys[] = {
    {"mnuFiles", "&Файлы", kNone, Scope::Window},
    {"mnuFiles_Access", "БД &Access", kNone, Scope::Window},
    {"mnuFiles__DBF", "БД_&DBF", kNone, Scope::Window},
    {"mnuFiles_End", "В&ыход", Qt::CTRL | Qt::Key_Q, Scope::Window},
    {"mnuMagist", "&Кадр", kNone, Scope::Window},
    {"mnuMagist_Frag", "&Фрагмент", kNone, Scope::Window},
    {"mnuMagist_Sdvig", "&Сдвиг кадра", kNone, Scope::Window},
    {"mnuMagist_Far", "&Дальше", QKeyCombination(Qt::Key_Minus), Scope::Map},
    {"mnuMagist_Near", "&Ближе", QKeyCombination(Qt::Key_Plus), Scope::Map},
    {"mnuKadrFore", "&Вперед", Qt::ALT | Qt::Key_Right, Scope::Map},
    {"mnuKadrBack", "&Назад", Qt::ALT | Qt::Key_Left, Scope::Map},
    {"mnuMagist_Frag0", "&Общая схема", QKeyCombination(Qt::Key_Home), Scope::Map},
    {"mnuZdLight", "&Выделение", kNone, Scope::Window},
    {"mnuZdLight_Rus", "&России", kNone, Scope::Window},
    {"mnuZdLight_RusAll", "&Все страны", kNone, Scope::Window},
    {"mnuZdLight_RusBlank", "&Обозначить СНГ", kNone, Scope::Window},
    {"mnuZdLight_RusOnly", "&Только Россия", kNone, Scope::Window},
    {"mnuZdLight_Peregon", "&Перегонов и станций", Qt::CTRL | Qt::Key_L, Scope::Window},
    {"mnuZdLight_Erase", "&Убрать подсветку", Qt::CTRL | Qt::SHIFT | Qt::Key_L, Scope::Window},
    {"mnuZdGen", "&Генерализация станций", Qt::CTRL | Qt::Key_G, Scope::Window},
    {"mnuZdFind", "&Поиск ", kNone, Scope::Window},
    {"mnuZdFind_Stn", "Поиск &станций", Qt::CTRL | Qt::SHIFT | Qt::Key_F, Scope::Window},
    {"mnuZdFind_Dor", "Поиск &дорог", Qt::CTRL | Qt::SHIFT | Qt::Key_D, Scope::Window},
    {"mnuInstr_Convert", "&DBF - Access", kNone, Scope::Window},
    {"mnuHelp", "&Справка", kNone, Scope::Window},
    {"mnuHelp_About", "&О программе", kNone, Scope::Window},
    {"mnuHelp_Instr", "&Инструкция", QKeyCombination(Qt::Key_F1), Scope::Map},
};

// Every button, option and check box whose caption has no mnemonic gets the first letter
// not yet taken in the window.
void addMnemonics(QWidget& window)
{
    const QList<QAbstractButton*> buttons = window.findChildren<QAbstractButton*>();
    QSet<QChar> taken;
    for (QAbstractButton* b : buttons) {
        const qsizetype amp = b->text().indexOf(u'&');
        if (amp >= 0 && amp + 1 < b->text().size()) taken.insert(b->text().at(amp + 1).toLower());
    }
    for (QAbstractButton* b : buttons) {
        QString text = b->text();
        if (text.contains(u'&')) continue;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i).toLower();
            if (!c.isLetter() || taken.contains(c)) continue;
            taken.insert(c);
            b->setText(text.insert(i, u'&'));
            break;
        }
    }
}

// The captions are those a window has when it is shown (some are set after it was made).
class ToolWindowKeys : public QObject {
public:
    explicit ToolWindowKeys(QWidget& window) : QObject(&window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_window && event->type() == QEvent::Show) addMnemonics(m_window);
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape
            || static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier)
            return false;
        m_window.close();
        return true;
    }

private:
    QWidget& m_window;
};

} // namespace

void addMenuKeys(FrmZdMain& main)
{
    for (const MenuKey& k : kMenuKeys) {
        QAction* a = main.menuItem(QLatin1String(k.name));
        if (!a) continue;
        a->setText(QString::fromUtf8(k.caption));
        if (k.key == kNone) continue;
        a->setShortcut(QKeySequence(k.key));
        // A menu's own widget never has the focus outside the open menu: the key is shown,
        // and works while the menu is open.
        if (k.scope == Scope::Map) a->setShortcutContext(Qt::WidgetShortcut);
    }
}

void addToolWindowKeys(QWidget& window)
{
    window.installEventFilter(new ToolWindowKeys(window));
    if (window.isVisible()) addMnemonics(window);
}

} // namespace zd
