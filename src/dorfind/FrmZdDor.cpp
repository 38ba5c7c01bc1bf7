#include "dorfind/FrmZdDor.h"

#include "dorfind/DorQueries.h"
#include "dorfind/RectOverlap.h"
#include "help/Help.h"
#include "map/ToolPlacement.h"
#include "render/DrawPeregons.h"
#include "render/DrawStations.h"
#include "render/PictureBox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zd {

namespace {

constexpr int kClientWidthTwips = 4740, kClientHeightTwips = 4395;

// A grey rectangle round one column of the window.
class Shape : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setPen(QColor(128, 128, 128));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

template <class W>
W* named(W* w, const char* name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QLabel* boldLabel(const QString& text, const char* name)
{
    auto* l = named(new QLabel(text), name);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

} // namespace

FrmZdDor::FrmZdDor(MapHost& host) : QWidget(&host.window(), Qt::Tool), m_host(host)
{
    setObjectName(QStringLiteral("frmZdDor"));
    setWindowTitle(QStringLiteral("Поиск дороги"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    const Dpi dpi = dpiOf(*this);
    resize(dpi.pixelsX(kClientWidthTwips), dpi.pixelsY(kClientHeightTwips));
}

FrmZdDor::~FrmZdDor() = default;

// ---------------------------------------------------------------- controls

void FrmZdDor::buildControls()
{
    auto* columns = new QHBoxLayout;
    columns->addWidget(buildNameColumn(), 1);
    columns->addWidget(buildCentreColumn(), 1);
    auto* root = new QVBoxLayout(this);
    root->addLayout(columns, 1);
    root->addWidget(buildButtons());
}

QWidget* FrmZdDor::buildNameColumn()
{
    auto* shape = named(new Shape, "Shape1");
    m_chkFindRus = named(new QCheckBox(QStringLiteral("Только Россия")), "chkFindRus");
    m_dbcListDor = named(new QComboBox, "dbcListDor");
    m_dbcListDor->setEditable(true);
    m_dbcListDor->setInsertPolicy(QComboBox::NoInsert);
    m_dbcListDor->setMaxVisibleItems(20);
    auto* col = new QVBoxLayout(shape);
    col->addWidget(boldLabel(QStringLiteral(" Название дороги"), "lblFindDor1"));
    col->addWidget(m_chkFindRus);
    col->addWidget(m_dbcListDor);
    col->addStretch(1);
    connect(m_chkFindRus, &QCheckBox::clicked, this, &FrmZdDor::LoadFindDor);
    connect(m_dbcListDor, &QComboBox::activated, this, &FrmZdDor::dbcListDor_Click);
    connect(m_dbcListDor->lineEdit(), &QLineEdit::textEdited, this, [this] { m_lblFindDor3->clear(); });
    return shape;
}

QWidget* FrmZdDor::buildCentreColumn()
{
    auto* shape = named(new Shape, "Shape2");
    m_lblFindDor3 = named(new QLabel, "lblFindDor3");
    m_lblFindDor3->setWordWrap(true);
    m_dblListDor = named(new QListWidget, "dblListDor");
    auto* col = new QVBoxLayout(shape);
    col->addWidget(boldLabel(QStringLiteral("Центр дороги"), "lblFindDor2"));
    col->addWidget(m_lblFindDor3);
    col->addWidget(named(new QLabel(QStringLiteral("Центры отделений")), "lblFindDor4"));
    col->addWidget(m_dblListDor, 1);
    return shape;
}

QWidget* FrmZdDor::buildButtons()
{
    auto* fra = named(new QGroupBox(QStringLiteral("Выделение дороги")), "fraDorVib");
    auto button = [](const QString& caption, const char* name, const QString& tip, bool enabled) {
        auto* b = named(new QPushButton(caption), name);
        b->setToolTip(tip);
        b->setEnabled(enabled);
        b->setAutoDefault(false);
        return b;
    };
    m_cmdGab = button(QStringLiteral("Габариты дороги"), "cmdDorVib_Gab",
                      QStringLiteral("Высвечивание выделенной дороги во весь кадр"), false);
    m_cmdAll = button(QStringLiteral("На схеме"), "cmdDorVib_All", QStringLiteral("Показать дорогу на полной схеме"), false);
    m_cmdLight = button(QStringLiteral("Выделить дорогу"), "cmdDorVib_Light", QString(), true);
    m_cmdOff = button(QStringLiteral("Погасить выделение"), "cmdDorVib_Off", QString(), false);
    auto* grid = new QGridLayout(fra);
    grid->addWidget(m_cmdGab, 0, 0);
    grid->addWidget(m_cmdAll, 1, 0);
    grid->addWidget(m_cmdLight, 0, 1);
    grid->addWidget(m_cmdOff, 1, 1);
    connect(m_cmdGab, &QPushButton::clicked, this, &FrmZdDor::FragDor);
    connect(m_cmdAll, &QPushButton::clicked, this, &FrmZdDor::cmdDorVib_All_Click);
    connect(m_cmdLight, &QPushButton::clicked, this, &FrmZdDor::cmdDorVib_Light_Click);
    connect(m_cmdOff, &QPushButton::clicked, this, &FrmZdDor::cmdDorVib_Off_Click);
    return fra;
}

// ---------------------------------------------------------------- the list

void FrmZdDor::LoadFindDor()
{
    for (DataSource* ds : {&m_dtaFindDor, &m_dtaCentrOtd, &m_dtaDorVib_Stn, &m_dtaDorVib_Per})
        ds->setDatabase(m_host.database());
    // The window's own "Только Россия" narrows its list whatever the map shows.
    const bool russia = m_host.state().rusMode == 1 || m_chkFindRus->isChecked();
    if (!m_host.openOrFail(m_dtaFindDor, findDorSql(russia))) return;
    fillListDor();
    placeWindow();
    SetTopmost(*this, true);
    show();
    placeWindow();   // the window's frame is known once it is shown
}

// The list follows the rows of dtaFindDor: an entry's index is its row's bookmark.
void FrmZdDor::fillListDor()
{
    const QString text = m_dbcListDor->currentText();
    RowSet& rows = m_dtaFindDor.rows();
    const int naz = rows.column(u"NazDor");
    QStringList names;
    names.reserve(rows.recordCount());
    for (int r = 0; r < rows.recordCount(); ++r) names << rows.textAt(r, naz);
    m_dbcListDor->clear();
    m_dbcListDor->addItems(names);
    m_dbcListDor->setCurrentIndex(-1);
    m_dbcListDor->setEditText(text);
}

// The right edge of the window on the right edge of the map, its top two title-bar
// heights below the map's top.
void FrmZdDor::placeWindow() { placeToolWindow(*this, m_host, 2); }

QPoint FrmZdDor::picScreenPos() const { return m_host.picture().mapToGlobal(QPoint(0, 0)); }

void FrmZdDor::dbcListDor_Click(int index)
{
    if (index < 0 || index >= m_dtaFindDor.rows().recordCount()) return;
    Dor_Selected(index);
    m_cmdAll->setEnabled(true);
}

void FrmZdDor::Dor_Selected(int selDor)
{
    RowSet& rows = m_dtaFindDor.rows();
    rows.setBookmark(selDor);
    if (rows.eof()) return;
    // A railway without a centre is still the one picked: a NULL centre reads as empty
    // text, so the label does not keep the previous railway's, and the buttons act on this one.
    m_lblFindDor3->setText(rows.text(rows.column(u"NazCentr")));
    m_selKodDor = rows.text(rows.column(u"KodDor"));
    m_selNazDor = rows.text(rows.column(u"NazDor"));
    if (!m_host.openOrFail(m_dtaCentrOtd, centrOtdSql(m_selKodDor, m_host.state().rusFilter))) return;
    RowSet& centres = m_dtaCentrOtd.rows();
    const int naz = centres.column(u"NazStn");
    m_dblListDor->clear();
    for (int r = 0; r < centres.recordCount(); ++r) m_dblListDor->addItem(centres.textAt(r, naz));
    auto corner = [&](const char16_t* name) { return toLong(rows.number(rows.column(name))); };
    // Corners stored the wrong way round still describe the railway's rectangle.
    const std::int32_t xl = corner(u"XL"), yl = corner(u"YL"), xr = corner(u"XR"), yr = corner(u"YR");
    m_dorRect = frameOfCorners(xl, yl, xr, yr);
    m_picked = true;
}

// ---------------------------------------------------------------- the map

// A rectangle without width or height would give the map a scale of nothing.
void FrmZdDor::FragDor()
{
    if (!m_picked || m_dorRect.x1 == m_dorRect.x2 || m_dorRect.y1 == m_dorRect.y2) return;
    m_host.showFrame(m_dorRect, 1);
}

void FrmZdDor::DorLight(bool light)
{
    const Palette& pal = m_host.state().palette;
    if (!m_lightKodDor.isEmpty()) drawRailway(pal.net);
    m_host.setLightOn(Highlight::Railway, light);
    if (!light) {
        m_lightKodDor.clear();
        m_lightNazDor.clear();
        return;
    }
    m_lightKodDor = m_selKodDor;
    m_lightNazDor = m_selNazDor;
    const std::int16_t mode = m_host.state().rusMode;
    if (!m_host.openOrFail(m_dtaDorVib_Stn, dorStationsSql(m_selKodDor, mode))) return;
    if (!m_host.openOrFail(m_dtaDorVib_Per, dorSectionsSql(m_selKodDor, mode))) return;
    if (m_dtaDorVib_Stn.rows().recordCount() == 0 || m_dtaDorVib_Per.rows().recordCount() == 0) return;
    drawRailway(pal.light);
    DorOver();
}

// Sections, then station symbols, then names, over the picture as it is.
void FrmZdDor::drawRailway(Color color) { drawRailwayOn(m_host.state(), m_host.picture(), color); }

void FrmZdDor::drawRailwayOn(MapState& st, Canvas& pic, Color color)
{
    RowSet& stations = m_dtaDorVib_Stn.rows();
    RowSet& sections = m_dtaDorVib_Per.rows();
    if (stations.recordCount() == 0 || sections.recordCount() == 0) return;
    DrawPeregons(st, pic, sections, color);
    DrawStations(st, pic, stations, color);
    DrawStnNames(st, pic, stations);
}

// The window's outer rectangle is taken from the screen into the map's pixels, then
// into map units through the map's frame origin and scale.
void FrmZdDor::DorOver()
{
    const PictureBox& pic = m_host.picture();
    const QRect g = frameGeometry();
    const QPointF a = pic.toUser(pic.mapFromGlobal(g.topLeft()));
    const QPointF b = pic.toUser(pic.mapFromGlobal(g.topLeft() + QPoint(g.width(), g.height())));
    const Frame& d = m_dorRect;
    if (RectOverlap(float(a.x()), float(a.y()), float(b.x()), float(b.y()), float(d.x1), float(d.y1), float(d.x2),
                    float(d.y2)) == 0)
        return;
    const QPoint p = picScreenPos();
    const QRect main = m_host.window().frameGeometry();
    const bool onLeftHalf = g.left() - main.left() <= main.width() / 2.0;
    move(onLeftHalf ? p.x() + pic.width() - g.width() : p.x(), g.top());
}

// ---------------------------------------------------------------- buttons and keys

void FrmZdDor::cmdDorVib_Light_Click()
{
    DorLight(true);
    m_cmdOff->setEnabled(true);
    m_cmdGab->setEnabled(true);
}

void FrmZdDor::cmdDorVib_Off_Click() { DorLight(false); }

void FrmZdDor::cmdDorVib_All_Click()
{
    m_host.wholeScheme();
    cmdDorVib_Light_Click();
}

void FrmZdDor::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        m_host.showHelpTopic(kHelpTopicDor);
        return;
    }
    QWidget::keyPressEvent(event);
}

void FrmZdDor::closeEvent(QCloseEvent* event)
{
    cmdDorVib_Off_Click();
    event->accept();
}

void FrmZdDor::markingChanged()
{
    if (isVisible()) LoadFindDor();
}

void FrmZdDor::redrawHighlight()
{
    if (m_host.lightOn(Highlight::Railway)) DorLight(true);
}

void FrmZdDor::drawHighlightOn(MapPicture& target)
{
    if (m_host.lightOn(Highlight::Railway) && !m_lightKodDor.isEmpty())
        drawRailwayOn(target.state, target.canvas, target.state.palette.light);
}

std::vector<LegendEntry> FrmZdDor::highlightLegend() const
{
    if (!m_host.lightOn(Highlight::Railway) || m_lightKodDor.isEmpty()) return {};
    return {{LegendEntry::Section, m_host.state().palette.light, QStringLiteral("Дорога: ") + m_lightNazDor, 0}};
}

QString FrmZdDor::frameTitle() const { return m_host.lightOn(Highlight::Railway) ? m_lightNazDor : QString(); }

bool FrmZdDor::switchHighlightOff()
{
    if (!m_host.lightOn(Highlight::Railway)) return false;
    DorLight(false);
    return true;
}

} // namespace zd
