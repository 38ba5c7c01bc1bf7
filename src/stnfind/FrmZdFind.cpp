#include "stnfind/FrmZdFind.h"

#include "data/Queries.h"
#include "help/Help.h"
#include "identify/AnalGeom.h"
#include "map/ToolPlacement.h"
#include "map/ZoneOutline.h"
#include "platform/MsgBox.h"
#include "render/DrawPeregons.h"
#include "render/DrawStations.h"
#include "render/PictureBox.h"
#include "search/NameIndex.h"
#include "stnfind/DbCombo.h"
#include "stnfind/FindZone.h"
#include "stnfind/StnListModel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <limits>

namespace zd {

namespace {
const QString kFindCaption = QStringLiteral("Поиск станций");
const QString kChooseFromList = QStringLiteral("Выберите станцию из списка");
const QString kNoStation = QStringLiteral("Не определена станция поиска\r\nВыбор из списка двойным щелчком");
const QString kNoCoordinates = QStringLiteral("Станция не нанесена на схему: у неё нет координат");
const QString kOutOfFrame = QStringLiteral("Станция за кадром");
const QString kDorPrefix = QStringLiteral("дор. ");
const char* const kAreaCaptions[] = {"Все станции", "Центры дорог", "Стыки дорог", "Центры отделений"};
constexpr int kAreaGap = 30;       // twips between the option buttons
constexpr double kPreviewFontSize = 6.75;
constexpr double kDialogFontSize = 8;

// A value that is a number, written as digits or stored as one.
bool isNumber(const RowSet& rs, int col)
{
    if (rs.isNull(col)) return false;
    bool ok = false;
    rs.text(col).trimmed().toDouble(&ok);
    return ok;
}
} // namespace

FrmZdFind::FrmZdFind(MapHost& host) : QWidget(&host.window(), Qt::Tool), m_host(host)
{
    setObjectName(QStringLiteral("frmZdFind"));
    setWindowTitle(QStringLiteral("Поиск станции"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_model = new StnListModel(m_dtaStn.rows(), this);
    buildControls();
    SetTopmost(*this, true);
}

FrmZdFind::~FrmZdFind() = default;

// ---------------------------------------------------------------- controls

QRect FrmZdFind::twips(int left, int top, int width, int height) const
{
    return dpiOf(*this).pixelRect(left, top, width, height);
}

void FrmZdFind::buildControls()
{
    QFont small = font();   // the controls are sized for an 8-point dialog font
    small.setPointSizeF(kDialogFontSize);
    setFont(small);
    setFixedSize(twips(0, 0, 4785, 5220).size());
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };

    m_fraStn = new QGroupBox(this);
    named(m_fraStn, "fraFind_Stn")->setGeometry(twips(45, 60, 2640, 2445));
    m_lblNazDor = new QLabel(m_fraStn);
    named(m_lblNazDor, "lblFind_NazDor")->setGeometry(twips(90, 270, 2490, 315));
    m_dbcStn = new DbCombo(*m_model, m_fraStn);
    named(m_dbcStn, "dbcFind_Stn")->setGeometry(twips(75, 555, 2505, 1740));
    const QString tip = QStringLiteral("Выбрать двойным щелчком");
    for (QWidget* w : {static_cast<QWidget*>(m_dbcStn), static_cast<QWidget*>(&m_dbcStn->textBox()),
                       static_cast<QWidget*>(&m_dbcStn->list())})
        w->setToolTip(tip);

    m_fraArea = new QGroupBox(QStringLiteral("Зона поиска"), this);
    named(m_fraArea, "fraArea_Find")->setGeometry(twips(2715, 45, 2040, 1575));
    m_optArea[0] = new QRadioButton(QString::fromUtf8(kAreaCaptions[0]), m_fraArea);
    named(m_optArea[0], "optFind_Area")->setGeometry(twips(60, 270, 1920, 210));
    m_optArea[0]->setProperty("index", 0);
    auto* line = new QFrame(m_fraArea);
    named(line, "Line1")->setGeometry(twips(45, 1215, 1995, 30));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    m_chkRus = new QCheckBox(QStringLiteral("Только Россия"), m_fraArea);
    named(m_chkRus, "chkFindRus")->setGeometry(twips(75, 1275, 1800, 255));

    m_lblNoStn = new QLabel(this);
    named(m_lblNoStn, "lblFind_NoStn")->setGeometry(twips(2775, 1725, 1950, 330));
    m_cmdAll = new QPushButton(QStringLiteral("Вся схема"), this);
    named(m_cmdAll, "cmdFind_All")->setGeometry(twips(2745, 2190, 1005, 270));
    m_cmdAll->setEnabled(false);
    m_cmdFrag = new QPushButton(QStringLiteral("Фрагмент"), this);
    named(m_cmdFrag, "cmdFind_Frag")->setGeometry(twips(3720, 2190, 945, 255));

    m_picFind = new PictureBox(this);
    named(m_picFind, "picFind")->setGeometry(twips(45, 2580, 4680, 2610));
    m_picFind->setFontFamily(QStringLiteral("MS Serif"));
    m_picFind->setFontSize(kPreviewFontSize);
    m_picFind->setPreview(true);
    m_picFind->setBackColor(m_host.picture().backColor());
    m_picFind->installEventFilter(this);

    watchAreaButton(m_optArea[0]);
    connect(m_chkRus, &QCheckBox::clicked, this, &FrmZdFind::ListStn);
    connect(m_dbcStn, &DbCombo::textChanged, m_lblNazDor, &QLabel::clear);
    connect(m_dbcStn, &DbCombo::rowActivated, this, &FrmZdFind::Stn_Selected);
    m_dbcStn->setFallback([this](const QString& text) { return matchedRow(text); });
    connect(m_cmdFrag, &QPushButton::clicked, this, &FrmZdFind::cmdFind_Frag_Click);
    connect(m_cmdAll, &QPushButton::clicked, this, &FrmZdFind::ViewAll);
}

// Buttons 1 to 3 of the category: copies of button 0, each 30 twips below the previous.
void FrmZdFind::createAreaButtons()
{
    const QRadioButton& first = *m_optArea[0];
    const int gap = twips(0, 0, 0, kAreaGap).height();
    for (int k = 1; k < 4; ++k) {
        const QRect prev = m_optArea[k - 1]->geometry();
        auto* b = new QRadioButton(first.text(), m_fraArea);
        b->setObjectName(first.objectName());
        b->setProperty("index", k);
        b->setFont(first.font());
        b->setGeometry(prev.x(), prev.y() + prev.height() + gap, prev.width(), prev.height());
        b->show();
        watchAreaButton(b);
        m_optArea[k] = b;
    }
}

// A category button refills the list when it becomes the chosen one, however that comes
// about (the mouse, the arrow keys, assistive technology), and when the chosen one is
// clicked again.
void FrmZdFind::watchAreaButton(QRadioButton* b)
{
    connect(b, &QRadioButton::toggled, this, [this](bool on) {
        if (on && m_loaded) ListStn();
    });
    connect(b, &QRadioButton::pressed, this, [this, b] { m_pressedChecked = b->isChecked(); });
    connect(b, &QRadioButton::clicked, this, [this] {
        if (m_pressedChecked) ListStn();
        m_pressedChecked = false;
    });
}

// ---------------------------------------------------------------- loading and the list

void FrmZdFind::readListAhead(MapHost& host)
{
    if (const std::shared_ptr<Database> db = host.database()) db->readAhead(listStnSql(0, host.state().rusFilter));
}

void FrmZdFind::LoadFind()
{
    if (!m_loaded) {
        if (!bindDataSources()) return;
        createAreaButtons();
        for (int k = 0; k < 4; ++k) m_optArea[k]->setText(QString::fromUtf8(kAreaCaptions[k]));
        m_optArea[0]->setChecked(true);
        m_loaded = true;
        ListStn();
        if (m_host.ended()) return;
        show();
        placeToolWindow(*this, m_host, 0);   // once shown, the window's frame is known
    } else {
        ListStn();
        if (m_host.ended()) return;
        show();
    }
    raise();
    activateWindow();
}

// The window's data sources read the database the main window has open (DbPath).
bool FrmZdFind::bindDataSources()
{
    std::shared_ptr<Database> db = m_host.database();
    if (!db) {
        Expected<std::shared_ptr<Database>> opened = Database::open(m_host.dbPath());
        if (!opened) {
            m_host.reportFailure(opened.error());
            return false;
        }
        db = opened.value();
    }
    for (DataSource* d : {&m_dtaStn, &m_dtaDoroga, &m_dtaStnPic, &m_dtaPerPic}) d->setDatabase(db);
    return m_host.openOrFail(m_dtaDoroga, QStringLiteral("Doroga"));
}

int FrmZdFind::areaIndex() const
{
    for (int k = 0; k < 4; ++k)
        if (m_optArea[k] && m_optArea[k]->isChecked()) return k;
    return -1;
}

int FrmZdFind::matchedRow(const QString& text) const
{
    const std::shared_ptr<const search::NameIndex> index = m_host.nameIndex();
    return index ? m_model->matchedRow(*index, text) : -1;
}

void FrmZdFind::ListStn()
{
    const QString kodStn = m_hasRow ? chosen().kodStn : QString();
    // The window's own "Только Россия" narrows its list whatever the map shows.
    const QString filter = m_chkRus->isChecked() ? rusFilter(1) : m_host.state().rusFilter;
    const QString sql = listStnSql(areaIndex(), filter);
    Expected<> opened;
    m_model->refill([&] { opened = m_dtaStn.open(sql); });
    if (!opened) {
        m_hasRow = false;
        m_host.reportFailure(opened.error());
        return;
    }
    keepChoice(kodStn);
}

// A new list keeps the chosen station when it still holds it; otherwise no station is
// chosen any more, so that "Фрагмент" cannot go to whatever row came first.
void FrmZdFind::keepChoice(const QString& kodStn)
{
    RowSet& rs = rsFindStn();
    const QString criteria = QStringLiteral("KodStn = ") + quoted(kodStn);
    m_hasRow = m_hasRow && rs.findFirst(criteria);
    if (!m_hasRow) {
        rs.moveFirst();
        m_lblNazDor->clear();
    }
    if (m_hasRow && !m_lblNazDor->text().trimmed().isEmpty()) m_dbcStn->selectRow(rs.bookmark());
    else m_dbcStn->selectByText();
}

// ---------------------------------------------------------------- the choice

FrmZdFind::Station FrmZdFind::chosen() const
{
    const RowSet& rs = m_dtaStn.rows();
    Station s;
    const int cx = rs.column(u"StnX"), cy = rs.column(u"StnY");
    s.name = rs.text(rs.column(u"NazStn"));
    s.kodStn = rs.text(rs.column(u"KodStn"));
    s.kodDor = rs.text(rs.column(u"Stn.KodDor"));
    s.placed = isNumber(rs, cx) && isNumber(rs, cy);
    s.x = rs.number(cx);
    s.y = rs.number(cy);
    s.ix = toLong(s.x);
    s.iy = toLong(s.y);
    s.tip = toInt16(rs.number(rs.column(u"TipStn")));
    return s;
}

void FrmZdFind::Stn_Selected(int selStn)
{
    RowSet& rs = rsFindStn();
    if (selStn < 0 || selStn >= rs.recordCount()) {
        msgBox(kChooseFromList);
        return;
    }
    const int before = rs.bookmark();
    const bool hadRow = m_hasRow;
    rs.setBookmark(selStn);
    m_hasRow = true;
    const Station s = chosen();
    if (s.name.trimmed() != m_dbcStn->text().trimmed()) {
        msgBox(kChooseFromList);
        return;
    }
    if (!s.placed) {
        rs.setBookmark(before);
        m_hasRow = hadRow;
        msgBox(kNoCoordinates, MsgIcon::Information, kFindCaption);
        return;
    }
    showRailway(s.kodDor);
    MapState& st = m_host.state();
    if (m_prevStnX != 0 && m_prevStnY != 0)
        DrawStnSymbol(st, m_host.picture(), m_prevStnX, m_prevStnY, m_prevStnTip, st.palette.net);
    markOnMap(s, st.palette.find);
    m_host.chooseStation(QPointF(s.x, s.y));
    if (!findZone(s) || !drawPreview(s)) return;
    RamView();
    FindOver();
    m_cmdAll->setEnabled(m_host.kadrZoomed() > 0);
    const Frame& k = st.kadr;
    const float margin = 0;
    const bool inFrame = PointInRect(static_cast<float>(s.x), static_cast<float>(s.y), k.x1, k.y1, k.x2, k.y2, margin) == 1;
    m_lblNoStn->setText(inFrame ? QString() : kOutOfFrame);
    m_prevStnX = s.ix;
    m_prevStnY = s.iy;
    m_prevStnTip = s.tip;
}

void FrmZdFind::showRailway(const QString& kodDor)
{
    RowSet& dor = m_dtaDoroga.rows();
    dor.moveFirst();
    const bool found = dor.findFirst(dorCriteria(kodDor));
    m_lblNazDor->setText(kDorPrefix + (found ? dor.text(dor.column(u"NazDor")) : QString()));
}

void FrmZdFind::markOnMap(const Station& s, Color color)
{
    DrawStnSymbol(m_host.state(), m_host.picture(), s.ix, s.iy, s.tip, color);
}

// The zone grows until it holds more than eight stations; its rows stay in dtaFind_StnPic.
bool FrmZdFind::findZone(const Station& s)
{
    MapState& st = m_host.state();
    Expected<> opened;
    const ZoneSearch found = growZone(s.x, s.y, st.scheme, [&](const Zone& z) {
        opened = m_dtaStnPic.open(zoneStationsSql(z, st.rusFilter));
        if (!opened) return std::numeric_limits<int>::max();   // ends the growth
        m_dtaStnPic.rows().moveLast();
        m_dtaStnPic.rows().moveFirst();
        return m_dtaStnPic.rows().recordCount();
    });
    if (!opened) {
        m_host.reportFailure(opened.error());
        return false;
    }
    m_zone = found.zone;
    return true;
}

bool FrmZdFind::drawPreview(const Station& s)
{
    MapState& st = m_host.state();
    PictureBox& pic = *m_picFind;
    pic.setScale(m_zone.x1, m_zone.y1, m_zone.x2, m_zone.y2);
    if (!m_host.openOrFail(m_dtaPerPic, zoneSectionsSql(m_zone, st.rusFilter))) return false;
    pic.clearPicture();
    DrawPeregons(st, pic, m_dtaPerPic.rows(), st.palette.net);
    DrawStations(st, pic, m_dtaStnPic.rows(), st.palette.net);
    DrawStnNames(st, pic, m_dtaStnPic.rows());
    DrawStnSymbol(st, pic, s.ix, s.iy, s.tip, st.palette.find);
    m_previewDrawn = true;
    return true;
}

// ---------------------------------------------------------------- bringing it into view

void FrmZdFind::cmdFind_Frag_Click()
{
    if (m_lblNazDor->text().trimmed().isEmpty()) {
        msgBox(kNoStation, MsgIcon::Information, kFindCaption);
        return;
    }
    FragStn();
}

void FrmZdFind::FragStn()
{
    if (!m_hasRow) return;
    const Station s = chosen();
    if (!s.placed) return;
    MapState& st = m_host.state();
    m_host.showFrame(fragFrame(s.x, s.y, st.scheme), 1);
    if (m_host.ended()) return;
    markOnMap(s, st.palette.find);
    m_host.zoneOutline().show();
}

void FrmZdFind::ViewAll()
{
    MapState& st = m_host.state();
    m_host.showFrame(st.scheme, 0);
    if (m_host.ended()) return;
    if (m_hasRow) {
        const Station s = chosen();
        if (s.placed) markOnMap(s, st.palette.find);
    }
    RamView();
    FindOver();
}

void FrmZdFind::RamView()
{
    m_host.zoneOutline().showZone(m_host.picture().view(), Frame{m_zone.x1, m_zone.y1, m_zone.x2, m_zone.y2});
}

void FrmZdFind::FindOver()
{
    if (!m_hasRow) return;
    const Station s = chosen();
    if (!s.placed) return;
    const PictureBox& pic = m_host.picture();
    const MapOnScreen map{pic.mapToGlobal(QPoint(0, 0)), pic.view()};
    const QRect window = frameGeometry();
    if (coversPoint(window, map, s.x, s.y)) move(leftOffStation(window, map), window.y());
}

void FrmZdFind::frameRendered()
{
    m_lblNoStn->clear();
    RamView();
}

void FrmZdFind::markingChanged()
{
    if (isVisible()) ListStn();
}

// ---------------------------------------------------------------- events

void FrmZdFind::closeEvent(QCloseEvent* event)
{
    m_host.zoneOutline().hide();
    event->accept();
}

void FrmZdFind::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        m_host.showHelpTopic(kHelpTopicFind);
        return;
    }
    QWidget::keyPressEvent(event);
}

void FrmZdFind::picFind_MouseDown(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_previewDrawn) return;
    const QPointF at = m_picFind->toUser(event->position());
    m_host.showObjectAt(m_dtaPerPic.rows(), *m_picFind, static_cast<float>(at.x()), static_cast<float>(at.y()));
}

void FrmZdFind::picFind_MouseUp()
{
    if (m_host.kursInfObj() > 0) m_host.endObjectAt(*m_picFind);
}

bool FrmZdFind::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_picFind) {
        if (event->type() == QEvent::MouseButtonPress) picFind_MouseDown(static_cast<QMouseEvent*>(event));
        else if (event->type() == QEvent::MouseButtonRelease) picFind_MouseUp();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zd
