#include "quicksearch/QuickSearch.h"

#include "map/MapHost.h"
#include "platform/MsgBox.h"
#include "quicksearch/NameCompleter.h"
#include "render/DrawStations.h"
#include "render/PictureBox.h"
#include "stnfind/FindZone.h"

#include <QShortcut>

namespace zd {

namespace {
constexpr int kPopupPlaces = 20;
constexpr int kFieldChars = 28;   // the field's width, in average characters
const QString kNotOnMap = QStringLiteral("Станция не нанесена на схему: у неё нет координат");
} // namespace

QuickSearch::QuickSearch(MapHost& host)
    : m_host(host), m_completer(new NameCompleter(host, *this, kPopupPlaces))
{
    setObjectName(QStringLiteral("txtQuickSearch"));
    setPlaceholderText(QStringLiteral("Станция или дорога"));
    setToolTip(QStringLiteral("Быстрый поиск станции или дороги (Ctrl+F)"));
    setClearButtonEnabled(true);
    setFixedWidth(fontMetrics().averageCharWidth() * kFieldChars);
    m_completer->setFilter([this] {
        search::Filter f;
        f.russiaOnly = m_host.state().rusMode == 1;
        return f;
    });
    connect(m_completer, &NameCompleter::chosen, this, &QuickSearch::showPlace);
    connect(m_completer, &NameCompleter::escaped, this, &QuickSearch::giveFocusToMap);
    // From any window of the program: the tool windows stand over the map.
    auto* find = new QShortcut(QKeySequence::Find, &host.window());
    find->setContext(Qt::ApplicationShortcut);
    connect(find, &QShortcut::activated, this, &QuickSearch::focusField);
}

void QuickSearch::focusField()
{
    m_host.window().activateWindow();
    setFocus(Qt::ShortcutFocusReason);
    selectAll();
}

void QuickSearch::giveFocusToMap() { m_host.picture().setFocus(Qt::OtherFocusReason); }

void QuickSearch::showPlace(const search::Place& place)
{
    if (place.kind == search::Kind::Station) showStation(place);
    else showRailway(place);
    giveFocusToMap();
}

void QuickSearch::showStation(const search::Place& place)
{
    if (!place.hasXY) {
        msgBox(kNotOnMap, MsgIcon::Information);
        return;
    }
    MapState& st = m_host.state();
    m_host.chooseStation(QPointF(place.x, place.y));
    m_host.showFrame(fragFrame(place.x, place.y, st.scheme), 1);
    if (m_host.ended()) return;
    DrawStnSymbol(st, m_host.picture(), toLong(place.x), toLong(place.y), toInt16(place.tipStn), st.palette.find);
}

// As "Габариты дороги" frames it; a rectangle without width or height is no frame.
void QuickSearch::showRailway(const search::Place& place)
{
    const Frame f = frameOfCorners(toLong(place.xl), toLong(place.yl), toLong(place.xr), toLong(place.yr));
    if (!place.hasXY || f.x1 == f.x2 || f.y1 == f.y2) return;
    m_host.showFrame(f, 1);
}

} // namespace zd
