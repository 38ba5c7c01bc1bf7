#pragma once
// The "Закладки" menu: "Добавить закладку…" (the current frame and marking mode under a
// name), the bookmarks of the open network, and "Упорядочить…" (rename, delete).
#include "desk/BookmarkStore.h"

#include <QDialog>
#include <QObject>
#include <memory>

class QAction;
class QListWidget;
class QMenu;

namespace zd {

class Desk;
class FrmZdMain;

class BookmarksMenu : public QObject {
    Q_OBJECT
public:
    BookmarksMenu(FrmZdMain& main, Desk& desk);
    ~BookmarksMenu() override;

    void networkOpened();   // the list of the network's file
    void addCurrent();      // asks for the name (the dialog "Новая закладка", not blocking)
    // The current frame and mode as a bookmark; refused with a message when the frame lies
    // outside the scheme. True when it was added.
    bool add(const QString& name);
    void organise();        // the dialog "Закладки" (not blocking)
    void showBookmark(int index);

    const std::vector<Bookmark>& list() const { return m_list; }
    void setList(std::vector<Bookmark> list);   // kept, and the menu rebuilt

private:
    void rebuildMenu();
    QString suggestedName() const;

    FrmZdMain& m_main;
    Desk& m_desk;
    QMenu* m_menu;
    QAction *m_add, *m_organise, *m_listEnd;
    std::vector<QAction*> m_items;
    std::vector<Bookmark> m_list;
};

// Rename (edit a name in place) and delete bookmarks; the list is taken on "OK".
class DlgBookmarks : public QDialog {
    Q_OBJECT
public:
    DlgBookmarks(const std::vector<Bookmark>& list, QWidget* parent);
    std::vector<Bookmark> result() const;
    QListWidget& names() { return *m_names; }
    void deleteCurrent();

private:
    std::vector<Bookmark> m_list;
    QListWidget* m_names;
};

} // namespace zd
