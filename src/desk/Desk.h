#pragma once
// The desk around the map: the status bar, the overview panel, the bookmarks, the keys on
// the map and in the menus, and the window's place between runs. The main window owns one
// and tells it when a frame was shown, the marking changed or a network was opened; the
// desk reaches the map through the main window's commands alone.
#include "render/View.h"

#include <QObject>
#include <QPointF>
#include <memory>

class QSettings;
class QWidget;

namespace zd {

class BookmarksMenu;
class FrmZdMain;
class MapStatus;
class OverviewPanel;
class PictureBox;
class RenderBusy;

class Desk : public QObject {
    Q_OBJECT
public:
    explicit Desk(FrmZdMain& main);
    ~Desk() override;

    // Where bookmarks and the window's place are kept; none (the default) keeps nothing.
    void useSettings(std::unique_ptr<QSettings> settings);
    QSettings* settings() const { return m_settings.get(); }

    // --- what the main window tells
    void networkOpened();
    void frameShown();
    void markingChanged();
    void frameRowsChanging();                 // the frame's rows are replaced or go
    void renderStarted();                     // a busy bar if it lasts
    void renderEnded();
    void toolWindowLoaded(QWidget& window);   // Esc closes it, its buttons get mnemonics
    void restoreWindow();                     // after the window was laid over the screen
    void saveWindow();

    // --- moving about: each shows a new frame, or refuses it quietly with a line in the
    // status bar when the frame would hold no row or the zoom is at its limit.
    bool go(const Frame& f);
    void wheel(QPointF pixel, int notches);   // > 0 nearer, about the map point at pixel
    void zoomKey(bool near);                  // about the frame's centre
    void pan(int dx, int dy);                 // by quarters of the frame
    // The frame may be changed now: no render and no gesture under way.
    bool canNavigate() const;

    MapStatus& status() { return *m_status; }
    OverviewPanel& overview() { return *m_overview; }
    BookmarksMenu& bookmarks() { return *m_bookmarks; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool mapKey(int key, Qt::KeyboardModifiers mods);
    void refreshSoon();

    FrmZdMain& m_main;
    PictureBox* m_pic;   // the map, whose events are seen here
    std::unique_ptr<QSettings> m_settings;
    MapStatus* m_status = nullptr;
    RenderBusy* m_busy = nullptr;
    OverviewPanel* m_overview = nullptr;
    std::unique_ptr<BookmarksMenu> m_bookmarks;
    bool m_refreshDue = false;
};

} // namespace zd
