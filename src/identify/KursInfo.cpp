#include "identify/KursInfo.h"

#include "data/Queries.h"
#include "identify/AnalGeom.h"
#include "identify/FrmKursInf.h"
#include "identify/SuperTxt.h"
#include "render/DrawStations.h"
#include "render/PictureBox.h"
#include "render/StnLabel.h"
#include "render/View.h"

#include <QWidget>
#include <cmath>

namespace zd {

namespace {
constexpr std::int32_t kCarryChars = 10;
const Color kBlack = rgb(0, 0, 0);
const Color kRed = rgb(255, 0, 0);

QString kindLine(int tip)
{
    switch (tip) {
    case 9: return QStringLiteral("Центр дороги");
    case 7: return QStringLiteral("Центр отделения");
    case 8: return QStringLiteral("Стык дорог");
    default: return {};
    }
}

QString tracksLine(int rl)
{
    return rl == 0 ? QStringLiteral("кол-во путей не опр.") : QStringLiteral("кол-во путей = ") + QString::number(rl);
}

QString tractionLine(int el)
{
    if (el == 2) return QStringLiteral("вид тяги  - тепл.");
    if (el == 0) return QStringLiteral("вид тяги  - не опр.");
    return QStringLiteral("вид тяги  - электр.");
}

float num(const RowSet& rs, int row, int col) { return static_cast<float>(rs.numberAt(row, col)); }
} // namespace

struct KursInfo::Line {
    QString text;
    int size;
    bool bold;
    Color color;
};

QString railwayLine(RowSet& doroga, const QString& kodDor)
{
    doroga.moveFirst();
    if (!doroga.findFirst(QStringLiteral("KodDor = ") + quoted(kodDor))) return {};
    return QStringLiteral("дор ") + doroga.text(doroga.column(u"NazDor"));
}

std::int32_t cursorSearchHalf(float kadrScale, double scaleHeight)
{
    return toLong(std::sqrt(static_cast<double>(kadrScale)) * scaleHeight / 50);
}

KursInfo::KursInfo() = default;
KursInfo::~KursInfo() = default;

Expected<> KursInfo::show(CursorScene& scene, RowSet& sections, Canvas& surface, float x, float y)
{
    const double h = surface.scaleHeight();
    const float tol = static_cast<float>(std::fabs(h) / 100);
    const std::int32_t d = cursorSearchHalf(scene.st.kadrScale, h);
    const bool generalised = scene.st.kadrScale < kGenScale && scene.genOn;
    if (auto opened = scene.dtaStn.open(cursorStationsSql(toLong(x), toLong(y), d, generalised)); !opened)
        return opened;
    if (!m_popup) m_popup = std::make_unique<FrmKursInf>();
    if (scene.dtaStn.rows().recordCount() > 0) {
        station(scene, surface, x, y);
        return {};
    }
    const int c1x = sections.column(u"Stn1X"), c1y = sections.column(u"Stn1Y");
    const int c2x = sections.column(u"Stn2X"), c2y = sections.column(u"Stn2Y");
    for (int r = 0; r < sections.recordCount(); ++r) {
        // A section with an end without coordinates is not on the map (DrawPeregons skips it).
        if (sections.isNullAt(r, c1x) || sections.isNullAt(r, c1y) || sections.isNullAt(r, c2x)
            || sections.isNullAt(r, c2y))
            continue;
        if (PointOnSegment(x, y, num(sections, r, c1x), num(sections, r, c1y), num(sections, r, c2x),
                           num(sections, r, c2y), tol) == 1) {
            m_popup->setLayoutTwips(2055, 1545);
            place(scene, x, y);
            return section(scene, sections, r, surface);
        }
    }
    return {};
}

void KursInfo::station(CursorScene& scene, Canvas& surface, float x, float y)
{
    m_popup->setLayoutTwips(1080, 540);
    RowSet& rs = scene.dtaStn.rows();
    rs.moveFirst();
    const int tip = toInt16(rs.number(rs.column(u"TipStn")));
    surface.setAutoRedraw(false);
    DrawStnSymbol(scene.st, surface, toLong(rs.number(rs.column(u"StnX"))), toLong(rs.number(rs.column(u"StnY"))),
                  static_cast<std::int16_t>(tip), scene.st.palette.find);
    m_obj = Station;
    place(scene, x, y);
    const QString kind = kindLine(tip);
    if (!kind.isEmpty()) m_popup->setLayoutTwips(1280, 740);
    const QString name = shownStnName(scene.st, rs.text(rs.column(u"NazStn")));
    std::vector<Line> lines{{QStringLiteral("ст ") + name, 10, true, kBlack}};
    if (!kind.isEmpty()) lines.push_back({kind, 8, false, kBlack});
    lines.push_back({railwayLine(scene.dtaDoroga.rows(), rs.text(rs.column(u"KodDor"))), 8, false, kRed});
    print(lines);
}

// A code without a station leaves the name line as it was (the second end shows the
// first end's line then) and marks nothing.
Expected<> KursInfo::section(CursorScene& scene, RowSet& sections, int row, Canvas& surface)
{
    m_obj = Section;
    auto text = [&](const char* col) { return sections.textAt(row, sections.column(QString::fromLatin1(col))); };
    auto number = [&](const char* col) { return toLong(sections.numberAt(row, sections.column(QString::fromLatin1(col)))); };
    auto from = markEnd(scene, surface, text("KodStn1"));
    if (!from) return from.error();
    auto to = markEnd(scene, surface, text("KodStn2"));
    if (!to) return to.error();
    const QString name1 = *from ? (*from)->nameLine : QString();
    const QString name2 = *to ? (*to)->nameLine : name1;
    if (*from && *to) {
        surface.setAutoRedraw(false);
        surface.setDrawWidth(scene.st.kadrScale >= 0.6f ? 2 : 1);
        surface.line((*from)->x, (*from)->y, (*to)->x, (*to)->y, scene.st.palette.find);
    }
    print(std::vector<Line>{{QStringLiteral("        Перегон"), 8, false, kBlack},
           {name1, 10, true, kBlack},
           {name2, 10, true, kBlack},
           {QStringLiteral("длина(км) = ") + text("LenPer"), 8, false, kBlack},
           {tracksLine(number("RL")), 8, false, kBlack},
           {tractionLine(number("EL")), 8, false, kBlack},
           {railwayLine(scene.dtaDoroga.rows(), text("Peregon.KodDor")), 8, false, kRed}});
    return {};
}

// Finds the end station by its code and marks it; nothing when no station has the code.
Expected<std::optional<KursInfo::End>> KursInfo::markEnd(CursorScene& scene, Canvas& surface, const QString& kod)
{
    if (auto opened = scene.dtaStn.open(stationByCodeSql(kod)); !opened) return opened.error();
    RowSet& rs = scene.dtaStn.rows();
    rs.moveFirst();
    if (rs.eof()) return std::optional<End>();
    const QString name = shownStnName(scene.st, rs.text(rs.column(u"NazStn")));
    const End end{QStringLiteral("ст ") + name, toLong(rs.number(rs.column(u"StnX"))), toLong(rs.number(rs.column(u"StnY")))};
    surface.setAutoRedraw(false);
    DrawStnSymbol(scene.st, surface, end.x, end.y, toInt16(rs.number(rs.column(u"TipStn"))), scene.st.palette.find);
    return std::optional<End>(end);
}

// The popup stays clear of the pointer: right-aligned with the map, or left-aligned when
// the pointer is in the frame's top-right corner or a tool window covers the right half.
void KursInfo::place(CursorScene& scene, float x, float y)
{
    PictureBox& map = scene.mainPic;
    const Dpi dpi = map.dpi();
    const QPoint origin = map.mapToGlobal(QPoint(0, 0));
    const double mapLeft = dpi.twipsX(origin.x()), mapTop = dpi.twipsY(origin.y());
    const double mapWidth = map.widthTwips();
    const double popupWidth = m_popup->windowWidthTwips();
    const double himetric = 1440.0 / 2540.0;
    const double wMap = popupWidth * himetric / (map.widthTwips() / map.scaleWidth());
    const double hMap = m_popup->windowHeightTwips() * himetric / (map.heightTwips() / map.scaleHeight());
    const bool corner = static_cast<float>(scene.st.kadr.x2 - 1.8 * wMap) < x
        && static_cast<float>(scene.st.kadr.y1 + 2 * hMap) > y;
    double left = corner ? mapLeft : mapLeft + mapWidth - popupWidth;
    for (const QWidget* w : scene.toolWindows) {
        if (!w || !w->isVisible()) continue;
        left = mapWidth / 2 < dpi.twipsX(w->frameGeometry().left()) ? mapLeft : mapLeft + mapWidth - popupWidth;
    }
    m_popup->placeTwips(left, mapTop + 600);
    m_popup->show();
}

void KursInfo::print(const std::vector<Line>& lines)
{
    PictureBox& box = m_popup->text();
    box.setForeColor(kBlack);
    bool first = true;
    m_lines.clear();
    for (const Line& l : lines) {
        m_lines << l.text;
        box.setFontSize(l.size);
        box.setFontBold(l.bold);
        box.setForeColor(l.color);
        const QString wrapped = WrapText(box, l.text, static_cast<float>(box.scaleWidth()), CarryLimit{kCarryChars},
                                         first ? kTrue : kFalse);
        first = false;
        for (const QString& part : wrapped.split(u'\n')) box.print(part);
    }
}

void KursInfo::end(Canvas& surface)
{
    if (m_obj <= Nothing) return;
    m_obj = Nothing;
    surface.clearScreenLayer();
    surface.setAutoRedraw(true);
    if (m_popup) m_popup->hide();
}

} // namespace zd
