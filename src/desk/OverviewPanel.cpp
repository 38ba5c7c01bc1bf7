#include "desk/OverviewPanel.h"

#include "data/Queries.h"
#include "desk/Desk.h"
#include "desk/Navigation.h"
#include "mainwin/FrmZdMain.h"
#include "render/Canvas.h"
#include "render/DrawPeregons.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace zd {

namespace {
const QColor kFrameColour(200, 0, 0);
constexpr int kResizeSettleMs = 250;
} // namespace

OverviewMap::OverviewMap(FrmZdMain& main, Desk& desk, QWidget* parent) : QWidget(parent), m_main(main), m_desk(desk)
{
    setObjectName(QStringLiteral("picOverview"));
    setMinimumSize(160, 70);
    setCursor(Qt::PointingHandCursor);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    m_resized.setSingleShot(true);
    m_resized.setInterval(kResizeSettleMs);
    connect(&m_resized, &QTimer::timeout, this, [this] {
        rebuild();
        update();
    });
}

// The panel takes the scheme's shape, so that the whole scheme fills it.
int OverviewMap::heightForWidth(int w) const
{
    const Frame& s = m_main.state().scheme;
    return s.x2 > s.x1 ? int(std::lround(double(w) * (double(s.y2) - s.y1) / (double(s.x2) - s.x1))) : w / 2;
}

void OverviewMap::invalidate()
{
    m_image = QImage();
    update();
}

bool OverviewMap::current() const
{
    return !m_image.isNull() && m_image.size() == size() * devicePixelRatioF()
        && m_builtMode == m_main.state().rusMode;
}

// The lines of every section, in the marking mode, by the map's own section drawing, from
// a query of its own (the main map's rows and scales stay those of its frame). Station
// symbols and names would be specks at this size; leaving them out keeps the picture quick.
void OverviewMap::rebuild()
{
    auto db = m_main.database();
    // Not inside a render of the map (its drawing lets paint events through): the render's
    // end asks for a paint again.
    if (!db || m_main.rendering() || m_main.ended() || width() < 2 || height() < 2) return;
    Canvas canvas(size(), Dpi{double(logicalDpiX()), double(logicalDpiY())}, devicePixelRatioF());
    MapState st = m_main.state();
    st.kadr = letterboxed(st.scheme, QSizeF(size()));
    canvas.setScale(st.kadr);
    st.kadrScale = canvas.view().kadrScale();
    st.mainPic = nullptr;
    st.mainPeregons = nullptr;
    st.polyDraw = nullptr;
    st.processEvents = nullptr;
    st.keepDrawing = nullptr;
    DataSource sections;
    sections.setDatabase(db);
    if (auto opened = sections.open(overviewSectionsSql(rusFilter(st.rusMode))); !opened) {
        m_main.reportFailure(opened.error());
        return;
    }
    canvas.clearPicture();
    DrawPeregons(st, canvas, sections.rows(), st.palette.net);
    m_view = canvas.view();
    m_image = canvas.image();
    m_builtMode = st.rusMode;
    ++m_builds;
}

QRectF OverviewMap::frameRect() const
{
    const Frame& k = m_main.state().kadr;
    return QRectF(m_view.toPixel(k.x1, k.y1), m_view.toPixel(k.x2, k.y2)).normalized();
}

// A new size draws the scheme again once the panel has stopped changing size (on a large
// network that takes a good part of a whole render); until then the old picture stays.
void OverviewMap::paintEvent(QPaintEvent*)
{
    if (!m_image.isNull() && m_builtMode == m_main.state().rusMode && m_image.size() != size() * devicePixelRatioF())
        m_resized.start();
    else if (!current())
        rebuild();
    QPainter p(this);
    if (m_image.isNull()) {
        p.fillRect(rect(), palette().window());
        return;
    }
    p.drawImage(QPointF(0, 0), m_image);
    QRectF r = frameRect().translated(m_dragBy);
    // A frame far smaller than the panel is still seen.
    if (r.width() < 5 || r.height() < 5) r = QRectF(r.center() - QPointF(2.5, 2.5), QSizeF(5, 5));
    p.setPen(QPen(kFrameColour, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void OverviewMap::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || m_image.isNull()) return;
    m_dragBy = {};
    if (frameRect().contains(e->position())) m_grab = e->position();
}

void OverviewMap::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_grab) return;
    m_dragBy = e->position() - *m_grab;
    update();
}

// A drag of the rectangle moves the frame by as much; a click elsewhere centres it there.
void OverviewMap::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || m_image.isNull()) return;
    const bool grabbed = m_grab.has_value();
    const QPointF by = m_dragBy;
    m_grab.reset();
    m_dragBy = {};
    update();
    if (grabbed && by.manhattanLength() < 2) return;   // a click on the frame itself
    const QPointF centre = grabbed ? frameRect().center() + by : e->position();
    const QPointF at = m_view.toUser(centre);
    if (!m_desk.canNavigate()) return;
    if (auto f = centredAt(m_main.state().kadr, at.x(), at.y())) m_desk.go(*f);
}

OverviewPanel::OverviewPanel(FrmZdMain& main, Desk& desk) : QDockWidget(QStringLiteral("Обзор"), &main)
{
    setObjectName(QStringLiteral("dockOverview"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    auto* body = new QWidget(this);
    m_map = new OverviewMap(main, desk, body);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(2, 2, 2, 2);
    column->addWidget(m_map);
    column->addStretch(1);
    setWidget(body);
}

} // namespace zd
