#include "routewin/FrmRoute.h"

#include "help/Help.h"
#include "map/ToolPlacement.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"
#include "route/RouteFormat.h"
#include "routewin/RouteSource.h"
#include "routewin/RouteTables.h"
#include "routewin/StopField.h"
#include "search/NameIndex.h"
#include "stnfind/DbCombo.h"
#include "stnfind/FindQueries.h"
#include "stnfind/StnListModel.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace zd {

namespace {
const QString kCaption = QStringLiteral("Маршрут");
const QString kPickHint = QStringLiteral("Щёлкните станцию на схеме; Esc — отмена");
const QString kPickMissed = QStringLiteral("Здесь нет станции: щёлкните ближе к станции; Esc — отмена");
constexpr int kFieldWidth = 190;   // pixels, each stop's column
constexpr int kTableWidth = 660;
constexpr int kWindowHeight = 720;
constexpr int kMeasuredRows = 100;   // a long route's columns are sized by its first rows

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QTableView* table(QWidget* parent, const char* name, QStandardItemModel* model)
{
    auto* t = new QTableView(parent);
    t->setObjectName(QLatin1String(name));
    t->setModel(model);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setWordWrap(false);
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 4);
    t->horizontalHeader()->setStretchLastSection(true);
    t->horizontalHeader()->setResizeContentsPrecision(kMeasuredRows);
    return t;
}
} // namespace

FrmRoute::FrmRoute(MapHost& host)
    : QWidget(&host.window(), Qt::Tool), m_host(host), m_source(RouteSource::of(host)),
      m_pick(host, [this](const std::optional<PickedStation>& s) { endPick(s); }, [this] { pickMissed(); })
{
    setObjectName(QStringLiteral("frmRoute"));
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    m_dtaStn.setDatabase(host.database());
    m_model = new StnListModel(m_dtaStn.rows(), this);
    buildControls();
    SetTopmost(*this, true);
    connect(&m_source, &RouteSource::progressed, this, &FrmRoute::showProgress);
    connect(&m_source, &RouteSource::built, this, &FrmRoute::showProgress);
}

FrmRoute::~FrmRoute() = default;

// ---------------------------------------------------------------- controls

void FrmRoute::buildControls()
{
    auto* stops = new QGroupBox(QStringLiteral("Станции маршрута"), this);
    stops->setObjectName(QStringLiteral("fraRoute_Stops"));
    m_stops = new QHBoxLayout(stops);
    m_from = newField("fldRoute_From", QStringLiteral("Откуда"), false);
    m_to = newField("fldRoute_To", QStringLiteral("Куда"), false);
    m_stops->addWidget(m_from);
    m_stops->addWidget(m_to);

    auto* window = new QVBoxLayout(this);
    window->addWidget(stops);
    window->addWidget(buildOptions());
    window->addWidget(buildResult(), 1);
    window->addWidget(buildStatus());
    setMinimumWidth(kTableWidth);
    resize(kTableWidth, kWindowHeight);
}

StopField* FrmRoute::newField(const char* name, const QString& caption, bool removable)
{
    auto* f = new StopField(caption, *m_model, removable, this);
    f->setObjectName(QLatin1String(name));
    f->setMinimumWidth(kFieldWidth);
    // As in the station search: a text that begins no name of the list takes the matcher's best.
    f->combo().setFallback([this](const QString& text) {
        const std::shared_ptr<const search::NameIndex> index = m_host.nameIndex();
        return index ? m_model->matchedRow(*index, text) : -1;
    });
    connect(f, &StopField::pickToggled, this, [this, f](bool on) {
        if (on) startPick(f);
        else if (m_pickField == f) endPick(std::nullopt);
    });
    connect(f, &StopField::removeClicked, this, [this, f] { removeVia(f); });
    return f;
}

QWidget* FrmRoute::buildOptions()
{
    auto* row = new QWidget(this);
    auto* box = new QHBoxLayout(row);
    box->setContentsMargins(0, 0, 0, 0);
    m_cmdAddVia = button(row, "cmdRoute_AddVia", QStringLiteral("Добавить «Через»"));
    m_cmdAddVia->setToolTip(QStringLiteral("Промежуточная станция: маршрут пройдёт через неё (до %1)").arg(kMaxVia));
    m_chkElectric = new QCheckBox(QStringLiteral("Только электрифицированные"), row);
    m_chkElectric->setObjectName(QStringLiteral("chkRoute_Electric"));
    m_chkRus = new QCheckBox(QStringLiteral("Только Россия"), row);
    m_chkRus->setObjectName(QStringLiteral("chkRoute_Rus"));
    m_cmdFind = button(row, "cmdRoute_Find", QStringLiteral("Найти"));
    m_cmdFind->setDefault(true);
    for (QWidget* w : {static_cast<QWidget*>(m_cmdAddVia), static_cast<QWidget*>(m_chkElectric), static_cast<QWidget*>(m_chkRus)})
        box->addWidget(w);
    box->addStretch(1);
    box->addWidget(m_cmdFind);
    connect(m_cmdAddVia, &QPushButton::clicked, this, &FrmRoute::addVia);
    connect(m_cmdFind, &QPushButton::clicked, this, &FrmRoute::find);
    return row;
}

QWidget* FrmRoute::buildResult()
{
    auto* result = new QWidget(this);
    auto* box = new QVBoxLayout(result);
    box->setContentsMargins(0, 0, 0, 0);
    m_lblTotal = new QLabel(result);
    m_lblTotal->setObjectName(QStringLiteral("lblRoute_Total"));
    m_lblTotal->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = m_lblTotal->font();
    bold.setBold(true);
    m_lblTotal->setFont(bold);
    m_sections = new QStandardItemModel(this);
    m_totals = new QStandardItemModel(this);
    auto* split = new QSplitter(Qt::Vertical, result);
    m_tblSections = table(split, "tblRoute_Sections", m_sections);
    m_tblTotals = table(split, "tblRoute_Totals", m_totals);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);

    auto* buttons = new QHBoxLayout;
    m_cmdShow = button(result, "cmdRoute_Show", QStringLiteral("Показать на схеме"));
    m_cmdCopy = button(result, "cmdRoute_Copy", QStringLiteral("Копировать"));
    m_cmdCopy->setToolTip(QStringLiteral("Таблица перегонов в буфер обмена, для электронной таблицы"));
    m_cmdSave = button(result, "cmdRoute_Save", QStringLiteral("Сохранить CSV…"));
    for (QPushButton* b : {m_cmdShow, m_cmdCopy, m_cmdSave}) {
        buttons->addWidget(b);
        b->setEnabled(false);
    }
    buttons->addStretch(1);
    box->addWidget(m_lblTotal);
    box->addWidget(split, 1);
    box->addLayout(buttons);
    connect(m_cmdShow, &QPushButton::clicked, this, &FrmRoute::showOnMap);
    connect(m_cmdCopy, &QPushButton::clicked, this, &FrmRoute::copyTable);
    connect(m_cmdSave, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить маршрут"), QStringLiteral("маршрут.csv"),
                                                          QStringLiteral("Файлы CSV (*.csv)"));
        if (!path.isEmpty()) saveCsv(path);
    });
    return result;
}

QWidget* FrmRoute::buildStatus()
{
    auto* row = new QWidget(this);
    auto* box = new QHBoxLayout(row);
    box->setContentsMargins(0, 0, 0, 0);
    m_lblStatus = new QLabel(row);
    m_lblStatus->setObjectName(QStringLiteral("lblRoute_Status"));
    m_prgRead = new QProgressBar(row);
    m_prgRead->setObjectName(QStringLiteral("prgRoute_Read"));
    m_prgRead->setMaximumWidth(kFieldWidth);
    m_prgRead->hide();
    box->addWidget(m_lblStatus, 1);
    box->addWidget(m_prgRead);
    return row;
}

// ---------------------------------------------------------------- loading

void FrmRoute::LoadRoute()
{
    if (!m_loaded) {
        fillList();
        if (m_host.ended()) return;
        followRussiaOnly();
        m_loaded = true;
        show();
        placeToolWindow(*this, m_host, 0, OnScreen::Inside);   // once shown, the frame is known
    } else {
        show();
    }
    raise();
    activateWindow();
    m_source.start();
    showProgress();
}

// Every station in the Russian order of names, as the station search lists them; only
// Russia's while the map shows only Russia.
void FrmRoute::fillList()
{
    Expected<> opened;
    m_model->refill([&] { opened = m_dtaStn.open(listStnSql(0, m_host.state().rusFilter)); });
    if (!opened) m_host.reportFailure(opened.error());
}

void FrmRoute::followRussiaOnly()
{
    const bool only = m_host.state().rusMode == 1;
    if (m_chkRus->isEnabled()) m_rusChosen = m_chkRus->isChecked();
    m_chkRus->setEnabled(!only);
    m_chkRus->setChecked(only || m_rusChosen);
}

void FrmRoute::markingChanged()
{
    followRussiaOnly();
    if (m_loaded) fillList();
}

void FrmRoute::showProgress()
{
    const bool reading = !m_source.ready() && m_source.percent() > 0;
    m_prgRead->setVisible(reading);
    if (!reading) {
        if (!picking()) m_lblStatus->clear();
        return;
    }
    if (m_source.building()) {
        m_prgRead->setRange(0, 0);   // a busy bar: the build tells no progress
    } else {
        m_prgRead->setRange(0, 100);
        m_prgRead->setValue(m_source.percent());
    }
    if (!picking())
        m_lblStatus->setText(m_source.building() ? QStringLiteral("Построение графа сети…") : QStringLiteral("Чтение сети…"));
}

// ---------------------------------------------------------------- stops

void FrmRoute::addVia()
{
    if (static_cast<int>(m_via.size()) >= kMaxVia) return;
    StopField* f = newField("fldRoute_Via", QStringLiteral("Через"), true);
    m_stops->insertWidget(static_cast<int>(m_via.size()) + 1, f);
    m_via.push_back(f);
    m_cmdAddVia->setEnabled(static_cast<int>(m_via.size()) < kMaxVia);
    f->combo().setFocus();
}

void FrmRoute::removeVia(StopField* field)
{
    const auto it = std::find(m_via.begin(), m_via.end(), field);
    if (it == m_via.end()) return;
    if (m_pickField == field) endPick(std::nullopt);
    m_via.erase(it);
    field->hide();
    field->deleteLater();   // its own button's handler is running
    m_cmdAddVia->setEnabled(true);
}

route::RouteRequest FrmRoute::request() const
{
    route::RouteRequest r;
    r.from = m_from->station();
    r.to = m_to->station();
    for (const StopField* f : m_via)
        if (!f->text().isEmpty()) r.via << f->station();
    r.options.electricOnly = m_chkElectric->isChecked();
    r.options.russiaOnly = m_chkRus->isChecked();
    return r;
}

// ---------------------------------------------------------------- picking on the map

void FrmRoute::startPick(StopField* field)
{
    if (m_pickField && m_pickField != field) {
        const QSignalBlocker quiet(m_pickField->pickButton());
        m_pickField->pickButton().setChecked(false);
    }
    m_pickField = field;
    installEventFilter(this);   // the last filter installed hears the key first
    m_host.setPickMode(&m_pick);
    m_host.picture().setCursor(Qt::CrossCursor);
    m_lblStatus->setText(kPickHint);
}

void FrmRoute::endPick(const std::optional<PickedStation>& station)
{
    if (!m_pickField) return;
    StopField* field = std::exchange(m_pickField, nullptr);
    m_host.setPickMode(nullptr);
    m_host.picture().unsetCursor();
    {
        const QSignalBlocker quiet(field->pickButton());
        field->pickButton().setChecked(false);
    }
    if (station) field->setStation(station->code, station->name);
    m_lblStatus->clear();
    showProgress();
}

void FrmRoute::pickMissed() { m_lblStatus->setText(kPickMissed); }

// ---------------------------------------------------------------- the route

void FrmRoute::find()
{
    endPick(std::nullopt);
    const route::RouteRequest req = request();
    const QPointer<FrmRoute> alive(this);
    setCursor(Qt::WaitCursor);
    m_cmdFind->setEnabled(false);
    const std::shared_ptr<const route::RouteGraph> graph = m_source.waitGraph();
    if (!alive) return;
    m_cmdFind->setEnabled(true);
    unsetCursor();
    if (!graph || m_host.ended()) return;
    route::RouteAnswer answer = route::findRoute(*graph, req);
    showAnswer(answer);
}

void FrmRoute::showAnswer(route::RouteAnswer& answer)
{
    if (answer.status != route::RouteAnswer::Found) {
        clearRoute();
        msgBox(answer.message, MsgIcon::Exclamation, kCaption);
        // The field at fault takes the focus: from, the non-empty via fields, to.
        std::vector<StopField*> fields{m_from};
        for (StopField* f : m_via)
            if (!f->text().isEmpty()) fields.push_back(f);
        fields.push_back(m_to);
        if (answer.stop >= 0 && answer.stop < static_cast<int>(fields.size()))
            fields[static_cast<std::size_t>(answer.stop)]->combo().setFocus();
        return;
    }
    const bool wasDrawn = m_overlayOn;
    if (auto set = m_overlay.setRoute(*m_host.database(), answer.route); !set) {
        m_host.reportFailure(set.error());
        return;
    }
    m_route = std::move(answer.route);
    showRoute();
    // The table shows before the map is drawn again, which takes seconds on a large network.
    if (const MapState& st = m_host.state(); st.processEvents) st.processEvents();
    if (m_host.ended()) return;
    m_overlayOn = true;
    overlayChanged(wasDrawn);
}

void FrmRoute::showRoute()
{
    fillSections(*m_sections, *m_route);
    fillTotals(*m_totals, *m_route);
    m_tblSections->resizeColumnsToContents();
    m_tblTotals->resizeColumnsToContents();
    m_lblTotal->setText(totalLine(*m_route));
    for (QPushButton* b : {m_cmdShow, m_cmdCopy, m_cmdSave}) b->setEnabled(true);
}

void FrmRoute::clearRoute()
{
    const bool wasDrawn = m_overlayOn;
    m_route.reset();
    m_overlay.clear();
    m_overlayOn = false;
    m_sections->clear();
    m_totals->clear();
    m_lblTotal->clear();
    for (QPushButton* b : {m_cmdShow, m_cmdCopy, m_cmdSave}) b->setEnabled(false);
    if (wasDrawn) m_host.redrawFrame();
}

// A route drawn before is on the picture: the frame is drawn again, which draws the new
// one; otherwise the route goes over the picture as it is.
void FrmRoute::overlayChanged(bool wasDrawn)
{
    if (wasDrawn) m_host.redrawFrame();
    else redrawHighlight();
    m_host.enableEraseItem(true);
}

void FrmRoute::redrawHighlight()
{
    if (m_overlayOn) m_overlay.draw(m_host.state(), m_host.picture());
}

bool FrmRoute::switchHighlightOff()
{
    if (m_overlayOn) {
        m_overlayOn = false;
        m_host.redrawFrame();
    }
    return false;
}

void FrmRoute::drawHighlightOn(MapPicture& target)
{
    if (m_overlayOn) m_overlay.draw(target.state, target.canvas);
}

std::vector<LegendEntry> FrmRoute::highlightLegend() const
{
    if (!m_overlayOn || !m_route) return {};
    const auto lines = [](MapState& st, Canvas& pic, RowSet& rows) { RouteOverlay::drawLines(st, pic, rows); };
    const auto stop = [](MapState& st, Canvas& pic, RowSet& rows) {
        if (rows.recordCount() > 0)
            RouteOverlay::drawStop(st, pic, toLong(rows.numberAt(0, rows.column(u"StnX"))), toLong(rows.numberAt(0, rows.column(u"StnY"))));
    };
    return {{LegendEntry::Section, kRouteColor, QStringLiteral("Маршрут ") + routeEnds(*m_route), 0, false, lines},
            {LegendEntry::Station, kRouteColor, QStringLiteral("Станции маршрута: начало, «Через», конец"), kRouteStopSymbol,
             false, stop}};
}

QString FrmRoute::frameTitle() const { return m_overlayOn && m_route ? routeTitle(*m_route) : QString(); }

void FrmRoute::showOnMap()
{
    if (!m_route) return;
    const std::optional<Frame> f = routeFrame(*m_route, m_host.picture().view(), freeMapWidth());
    if (!f) return;
    m_overlayOn = true;
    m_host.showFrame(*f, 1);
    if (!m_host.ended()) m_host.enableEraseItem(true);
}

// The width of the map left of this window, in pixels: all of it unless the window stands
// over its right part.
double FrmRoute::freeMapWidth() const
{
    const PictureBox& map = m_host.picture();
    const QRect onScreen(map.mapToGlobal(QPoint(0, 0)), map.size());
    const QRect window = frameGeometry();
    const int free = window.left() - onScreen.left();
    const bool overRight = isVisible() && window.intersects(onScreen) && window.right() >= onScreen.right();
    return overRight && free > onScreen.width() / 3 ? free : onScreen.width();
}

void FrmRoute::copyTable()
{
    if (m_route) QGuiApplication::clipboard()->setText(route::routeTsv(*m_route));
}

bool FrmRoute::saveCsv(const QString& path)
{
    if (!m_route) return false;
    QSaveFile file(path);
    const QByteArray bytes = route::routeCsv(*m_route).toUtf8();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return true;
    msgBox(QStringLiteral("Не удалось сохранить файл %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()),
           MsgIcon::Exclamation, kCaption);
    return false;
}

// ---------------------------------------------------------------- events

void FrmRoute::closeEvent(QCloseEvent* event)
{
    endPick(std::nullopt);
    if (m_overlayOn && !m_host.ended()) {
        m_overlayOn = false;
        m_host.redrawFrame();
    }
    event->accept();
}

void FrmRoute::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        m_host.showHelpTopic(kHelpTopicRoute);
        return;
    }
    QWidget::keyPressEvent(event);
}

// Esc ends a pick before the window's own Esc, which closes it, hears the key.
bool FrmRoute::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != this || event->type() != QEvent::KeyPress || !picking()
        || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
        return QWidget::eventFilter(watched, event);
    endPick(std::nullopt);
    return true;
}

} // namespace zd
