#pragma once
// The "Обзор" panel: the sections of the whole scheme drawn small (once, kept until the
// marking mode, the network or the panel's size changes) with the current frame
// as a rectangle over it. A click recentres the map there; dragging the rectangle pans.
#include "render/View.h"

#include <QDockWidget>
#include <QImage>
#include <QPointF>
#include <QTimer>
#include <optional>

namespace zd {

class Desk;
class FrmZdMain;

class OverviewMap : public QWidget {
    Q_OBJECT
public:
    OverviewMap(FrmZdMain& main, Desk& desk, QWidget* parent);

    void invalidate();            // drawn again when next shown
    void rebuild();               // draws the whole scheme now (when visible and sized)
    const QImage& image() const { return m_image; }
    View view() const { return m_view; }
    QRectF frameRect() const;     // the current frame, pixels of the panel
    int builds() const { return m_builds; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int w) const override;
    QSize sizeHint() const override { return QSize(360, heightForWidth(360)); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool current() const;

    FrmZdMain& m_main;
    Desk& m_desk;
    QImage m_image;
    View m_view;
    std::int16_t m_builtMode = -1;
    int m_builds = 0;
    std::optional<QPointF> m_grab;   // the press inside the rectangle, pixels
    QPointF m_dragBy;                // how far the rectangle has been dragged, pixels
    QTimer m_resized;                // the size has settled
};

class OverviewPanel : public QDockWidget {
    Q_OBJECT
public:
    OverviewPanel(FrmZdMain& main, Desk& desk);
    OverviewMap& map() { return *m_map; }

private:
    OverviewMap* m_map;
};

} // namespace zd
