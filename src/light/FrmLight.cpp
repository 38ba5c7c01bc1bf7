#include "light/FrmLight.h"

#include "help/Help.h"
#include "light/KeyDigit.h"
#include "light/LightSql.h"
#include "light/OptIndex.h"
#include "light/UpDown.h"
#include "map/ToolPlacement.h"
#include "platform/MsgBox.h"
#include "render/DrawPeregons.h"
#include "render/DrawStations.h"
#include "render/PictureBox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>

namespace zd {

namespace {
const QString kNotFound = QStringLiteral("Объекты соответствующие данному критерию НЕ НАЙДЕНЫ");
const QString kSetParams = QStringLiteral("Установите параметры");
const QString kNoCategory = QStringLiteral("Не отмечена ни одна категория станций");
const QString kBadLength = QStringLiteral("Длина перегона должна быть числом, например 15 или 15.5");

constexpr int kClientWidthTwips = 4260, kClientHeightTwips = 3705;

// A button's caption as words, without the keyboard mnemonic the desk may have put in it
// ("&&" stays a literal "&"): what the criteria and the legend say of the choice.
QString captionOf(const QAbstractButton& b)
{
    QString t = b.text();
    for (qsizetype i = 0; i < t.size(); ++i)
        if (t[i] == u'&') t.remove(i, 1);   // the character after it is kept
    return t;
}
constexpr int kLenMaxChars = 4;

QString indexed(const char* name, int index)
{
    return QLatin1String(name) + u'(' + QString::number(index) + u')';
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption)
{
    auto* f = new QGroupBox(caption, parent);
    f->setObjectName(QLatin1String(name));
    return f;
}

QRadioButton* option(QWidget* parent, const char* name, int index, const QString& caption)
{
    auto* b = new QRadioButton(caption, parent);
    b->setObjectName(indexed(name, index));
    return b;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}
} // namespace

FrmLight::FrmLight(MapHost& host) : QWidget(&host.window(), Qt::Tool), m_host(host)
{
    setObjectName(QStringLiteral("frmLight"));
    setWindowTitle(QStringLiteral("Выбор типа подсветки"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    LoadLight();
}

FrmLight::~FrmLight() = default;

// ---------------------------------------------------------------- the designed controls

void FrmLight::buildControls()
{
    m_tabLight = new QTabWidget(this);
    m_tabLight->setObjectName(QStringLiteral("tabLight"));
    auto* sections = new QWidget;
    auto* stations = new QWidget;
    m_tabLight->addTab(sections, QStringLiteral("Перегоны"));
    m_tabLight->addTab(stations, QStringLiteral("Станции"));

    m_fraTip = frame(sections, "fraTip", QString());
    m_optTipLight[0] = option(m_fraTip, "optTipLight", 0, QStringLiteral("Вид тяги"));
    m_fraEL = frame(sections, "fraEL", QStringLiteral("Вид тяги"));
    m_optEL[0] = option(m_fraEL, "optEL", 0, QStringLiteral("Электр."));
    m_fraRL = frame(sections, "fraRL", QStringLiteral("Кол-во путей"));
    m_optRL[0] = option(m_fraRL, "optRL", 0, QStringLiteral("="));
    m_lblRL_Dig = new QLabel(m_fraRL);
    m_lblRL_Dig->setObjectName(QStringLiteral("lblRL_Dig"));
    m_lblRL_Dig->setAlignment(Qt::AlignCenter);
    m_lblRL_Dig->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_lblRL_Dig->setMinimumWidth(m_lblRL_Dig->fontMetrics().horizontalAdvance(QStringLiteral("00")) + 6);
    m_updRL_Dig = new UpDown(m_fraRL);
    m_updRL_Dig->setObjectName(QStringLiteral("updRL_Dig"));
    m_updRL_Dig->setRange(0, 9);
    m_fraLen = frame(sections, "fraLen", QStringLiteral("Длина перегона (км)"));
    m_optLen[0] = option(m_fraLen, "optLen", 0, QStringLiteral(">"));
    m_txtLen = new QLineEdit(m_fraLen);
    m_txtLen->setObjectName(QStringLiteral("txtLen"));
    m_txtLen->setFixedWidth(m_txtLen->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    m_txtLen->installEventFilter(this);

    m_fraStn = frame(stations, "fraStn", QString());
    auto* chk = new QCheckBox(QStringLiteral("Центры дорог"), m_fraStn);
    chk->setObjectName(indexed("chkStn", 0));
    m_chkStn[0] = chk;

    m_chkLightRus = new QCheckBox(QStringLiteral("Только Россия"), this);
    m_chkLightRus->setObjectName(QStringLiteral("chkLightRus"));
    m_cmdLight_Enter = button(this, "cmdLight_Enter", QStringLiteral("Подсветить"));
    m_cmdLight_Hide = button(this, "cmdLight_Hide", QStringLiteral("Закрыть панель"));
    m_cmdLight_End = button(this, "cmdLight_End", QStringLiteral("Убрать подсветку"));

    connect(m_updRL_Dig, &UpDown::valueChanged, m_lblRL_Dig, qOverload<int>(&QLabel::setNum));
    connect(m_optTipLight[0], &QAbstractButton::toggled, this, [this](bool on) { if (on) optTipLight_Click(0); });
    connect(m_optRL[0], &QAbstractButton::clicked, m_cmdLight_Enter, [this] { m_cmdLight_Enter->setEnabled(true); });
    connect(m_optLen[0], &QAbstractButton::clicked, m_cmdLight_Enter, [this] { m_cmdLight_Enter->setEnabled(true); });
    connect(m_cmdLight_Enter, &QPushButton::clicked, this, &FrmLight::cmdLight_Enter_Click);
    connect(m_cmdLight_Hide, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_cmdLight_End, &QPushButton::clicked, this, &FrmLight::cmdLight_End_Click);
}

// ---------------------------------------------------------------- loading

// Runs once, from the constructor; a later call only places the window again.
void FrmLight::LoadLight()
{
    if (m_tipBox) {
        placeWindow();
        return;
    }
    SetTopmost(*this, true);
    m_dtaLightPer.setDatabase(m_host.database());
    m_dtaLightStn.setDatabase(m_host.database());
    alignLayout();
    createTipOptions();
    createElOptions();
    createRlOptions();
    createLenOptions();
    createStnChecks();
    m_cmdLight_End->setEnabled(false);
    placeWindow();
    SetTopmost(*this, true);
}

// Tab 0: the criterion choice at the left, its three parameter frames one under another to
// its right, the first level with it. Below the tabs: the check box and the button row.
void FrmLight::alignLayout()
{
    auto* sections = new QGridLayout(m_fraTip->parentWidget());
    sections->addWidget(m_fraTip, 0, 0, 3, 1);
    sections->addWidget(m_fraEL, 0, 1);
    sections->addWidget(m_fraRL, 1, 1);
    sections->addWidget(m_fraLen, 2, 1);
    for (int row = 0; row < 3; ++row) sections->setRowStretch(row, 1);
    sections->setColumnStretch(1, 1);

    // Each criterion stands level with its parameter frame.
    m_tipBox = new QVBoxLayout(m_fraTip);
    m_tipBox->setSpacing(0);
    m_elBox = new QHBoxLayout(m_fraEL);
    m_rlBox = new QHBoxLayout(m_fraRL);
    m_rlBox->addStretch(1);
    m_rlBox->addWidget(m_lblRL_Dig);
    m_rlBox->addWidget(m_updRL_Dig);
    m_rlBox->setSpacing(2);
    m_lenBox = new QHBoxLayout(m_fraLen);
    m_lenBox->addStretch(1);
    m_lenBox->addWidget(m_txtLen);

    auto* stations = new QVBoxLayout(m_fraStn->parentWidget());
    stations->addWidget(m_fraStn);
    stations->addStretch(1);
    // Each box's top is the previous one's plus one and a half heights.
    m_stnBox = new QVBoxLayout(m_fraStn);
    m_stnBox->setSpacing(m_chkStn[0]->sizeHint().height() / 2);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_cmdLight_Enter, m_cmdLight_Hide, m_cmdLight_End}) buttons->addWidget(b);
    auto* window = new QVBoxLayout(this);
    window->addWidget(m_tabLight, 1);
    window->addWidget(m_chkLightRus);
    window->addLayout(buttons);
}

void FrmLight::createTipOptions()
{
    m_optTipLight[1] = option(m_fraTip, "optTipLight", 1, QString());
    m_optTipLight[2] = option(m_fraTip, "optTipLight", 2, QString());
    const QString captions[] = {QStringLiteral("Вид тяги"), QStringLiteral("Кол-во путей"),
                                QStringLiteral("Длина перегона")};
    const QGroupBox* frames[] = {m_fraEL, m_fraRL, m_fraLen};
    for (int i = 0; i < 3; ++i) {
        QAbstractButton* b = m_optTipLight[i];
        m_tipBox->addWidget(b, 1, Qt::AlignVCenter);
        b->setText(captions[i]);
        b->show();
        QPalette p = b->palette();
        p.setColor(QPalette::WindowText, frames[i]->palette().color(QPalette::WindowText));
        b->setPalette(p);
        if (i > 0) connect(b, &QAbstractButton::toggled, this, [this, i](bool on) { if (on) optTipLight_Click(i); });
    }
    m_optTipLight[0]->setChecked(true);
}

void FrmLight::createElOptions()
{
    m_optEL[1] = option(m_fraEL, "optEL", 1, QString());
    m_elBox->addWidget(m_optEL[0]);
    m_elBox->addWidget(m_optEL[1]);
    m_elBox->addStretch(1);
    m_optEL[0]->setText(QStringLiteral("Электр."));
    m_optEL[1]->setText(QStringLiteral("Тепл."));
    m_optEL[0]->setChecked(true);
}

void FrmLight::createRlOptions()
{
    const QString captions[] = {QStringLiteral("="), QStringLiteral(">"), QStringLiteral("<")};
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            m_optRL[i] = option(m_fraRL, "optRL", i, QString());
            connect(m_optRL[i], &QAbstractButton::clicked, m_cmdLight_Enter, [this] { m_cmdLight_Enter->setEnabled(true); });
        }
        m_rlBox->insertWidget(i, m_optRL[i]);
        m_optRL[i]->setText(captions[i]);
    }
    m_updRL_Dig->setValue(1);
    m_lblRL_Dig->setNum(m_updRL_Dig->value());
    m_fraRL->setEnabled(false);
}

void FrmLight::createLenOptions()
{
    m_optLen[1] = option(m_fraLen, "optLen", 1, QString());
    connect(m_optLen[1], &QAbstractButton::clicked, m_cmdLight_Enter, [this] { m_cmdLight_Enter->setEnabled(true); });
    m_lenBox->insertWidget(0, m_optLen[0]);
    m_lenBox->insertWidget(1, m_optLen[1]);
    m_optLen[0]->setText(QStringLiteral(">"));
    m_optLen[1]->setText(QStringLiteral("<"));
    m_fraLen->setEnabled(false);
}

void FrmLight::createStnChecks()
{
    const QString captions[] = {QStringLiteral("Центры дорог"), QStringLiteral("Центры отделений"),
                                QStringLiteral("Стыки дорог")};
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            auto* chk = new QCheckBox(m_fraStn);
            chk->setObjectName(indexed("chkStn", i));
            m_chkStn[i] = chk;
        }
        m_stnBox->addWidget(m_chkStn[i]);
        m_chkStn[i]->setText(captions[i]);
    }
    m_chkStn[0]->setChecked(true);
}

// The window's client area is 4260 × 3705 twips, larger when the controls need it; it
// stands at the right edge of the map, two title bars below the map's top.
void FrmLight::placeWindow()
{
    const Dpi dpi = dpiOf(*this);
    const QSize design(dpi.pixelsX(kClientWidthTwips), dpi.pixelsY(kClientHeightTwips));
    setFixedSize(design.expandedTo(layout()->sizeHint()));
    placeToolWindow(*this, m_host, 2, OnScreen::Inside);
}

void FrmLight::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_placed) return;
    m_placed = true;
    placeWindow();   // the window frame is known once shown
}

// ---------------------------------------------------------------- controls

void FrmLight::optTipLight_Click(int index)
{
    m_fraEL->setEnabled(index == 0);
    m_fraRL->setEnabled(index == 1);
    m_fraLen->setEnabled(index == 2);
    m_cmdLight_Enter->setEnabled(index == 0);
    switch (index) {
    case 0: m_optTipLight[0]->setToolTip(QString()); break;
    case 1:
        m_optTipLight[1]->setToolTip(kSetParams);
        if (m_optTipLight[2]) m_optTipLight[2]->setToolTip(QString());
        break;
    case 2:
        m_optTipLight[2]->setToolTip(kSetParams);
        m_optTipLight[1]->setToolTip(QString());
        break;
    default: break;
    }
}

void FrmLight::cmdLight_Enter_Click()
{
    const bool sections = m_tabLight->currentIndex() == 0;
    const QString problem = sections ? sectionProblem() : stationProblem();
    if (!problem.isEmpty()) {
        msgBox(problem, MsgIcon::Exclamation);
        return;
    }
    if (sections) PeregonLight(true);
    else StnLight(true);
    m_cmdLight_End->setEnabled(true);
    m_host.enableEraseItem(true);
    m_host.enableEraseButton(true);
}

void FrmLight::cmdLight_End_Click()
{
    switchOff();
    hide();
    deleteLater();
}

void FrmLight::closeEvent(QCloseEvent* event)
{
    switchOff();
    event->accept();
}

void FrmLight::switchOff()
{
    if (m_host.lightOn(Highlight::Sections)) PeregonLight(false);
    if (m_host.lightOn(Highlight::Stations)) StnLight(false);
}

void FrmLight::redrawHighlight()
{
    if (m_host.lightOn(Highlight::Sections)) PeregonLight(true);
    if (m_host.lightOn(Highlight::Stations)) StnLight(true);
}

bool FrmLight::switchHighlightOff()
{
    if (!m_host.lightOn(Highlight::Sections) && !m_host.lightOn(Highlight::Stations)) return false;
    switchOff();
    return true;
}

void FrmLight::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        m_host.showHelpTopic(kHelpTopicLight);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool FrmLight::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_txtLen && event->type() == QEvent::KeyPress)
        return txtLen_KeyPress(static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

// Typed characters go through KeyDigit; shortcuts, editing and moving keys reach the box
// as they are. Returns true when the key is consumed here.
bool FrmLight::txtLen_KeyPress(QKeyEvent* event)
{
    const bool back = event->key() == Qt::Key_Backspace;
    const QString typed = event->text();
    if (!back) {
        if (typed.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return false;
        if (typed.size() == 1 && (typed[0].unicode() < 32 || typed[0].unicode() == 127)) return false;
        if (typed.size() != 1) return true;   // a character outside the 16-bit range is no digit
    }
    const char16_t key = back ? kKeyBack : typed[0].unicode();
    const char16_t accepted = KeyDigit(key, kLenMaxChars, *m_txtLen, false, u'.');
    if (accepted == key) return false;
    if (accepted != 0) m_txtLen->insert(QString(QChar(accepted)));
    return true;
}

// ---------------------------------------------------------------- criteria

QString FrmLight::sectionProblem() const
{
    if (OptIndex(m_optTipLight) == 2 && !isLengthText(m_txtLen->text().trimmed())) return kBadLength;
    return QString();
}

QString FrmLight::stationProblem() const
{
    return stationCodes().isEmpty() ? kNoCategory : QString();
}

QString FrmLight::sectionCondition() const
{
    if (!sectionProblem().isEmpty()) return QString();
    switch (OptIndex(m_optTipLight)) {
    case 1: return tracksCondition(captionOf(*m_optRL[OptIndex(m_optRL)]), m_lblRL_Dig->text());
    case 2: return lengthCondition(captionOf(*m_optLen[OptIndex(m_optLen)]), m_txtLen->text().trimmed());
    default: return tractionCondition(m_optEL[0]->isChecked());
    }
}

QString FrmLight::stationCodes() const
{
    return lightStnCodes(m_chkStn[0]->isChecked(), m_chkStn[1]->isChecked(), m_chkStn[2]->isChecked());
}

// ---------------------------------------------------------------- highlights

// Settings that cannot be queried keep the highlight that is on as it was (the renderer
// redraws it with the last criterion); with none on they are reported.
void FrmLight::PeregonLight(bool light)
{
    MapState& st = m_host.state();
    if (!light) {
        m_host.enableEraseButton(false);
        const bool wasOn = m_host.lightOn(Highlight::Sections);
        m_host.setLightOn(Highlight::Sections, false);
        if (wasOn && m_perFilter == st.rusFilter) drawSections(st.palette.net);
        return;
    }
    QString condition = sectionCondition();
    if (condition.isEmpty()) {
        if (!m_host.lightOn(Highlight::Sections)) {
            msgBox(sectionProblem(), MsgIcon::Exclamation);
            return;
        }
        condition = m_perCondition;
    }
    // Rows queried under another Russia-only condition belong to a picture already redrawn.
    if (m_host.lightOn(Highlight::Sections) && m_perFilter == st.rusFilter) drawSections(st.palette.net);
    m_host.setLightOn(Highlight::Sections, true);
    if (!m_host.openOrFail(m_dtaLightPer, lightPerSql(condition, st.rusFilter))) {
        m_host.setLightOn(Highlight::Sections, false);
        return;
    }
    if (condition != m_perCondition) m_perCaption = sectionCaption();
    m_perCondition = condition;
    m_perFilter = st.rusFilter;
    if (m_dtaLightPer.rows().recordCount() == 0) {
        msgBox(kNotFound);
        m_host.setLightOn(Highlight::Sections, false);
        return;
    }
    drawSections(m_host.lightOn(Highlight::Sections) ? st.palette.light : st.palette.net);
}

void FrmLight::StnLight(bool light)
{
    MapState& st = m_host.state();
    if (!light) {
        const bool wasOn = m_host.lightOn(Highlight::Stations);
        m_host.setLightOn(Highlight::Stations, false);
        m_host.enableEraseButton(false);
        if (wasOn && m_stnFilter == st.rusFilter) drawStations(st.palette.net);
        return;
    }
    QString codes = stationCodes();
    if (codes.isEmpty()) {
        if (!m_host.lightOn(Highlight::Stations)) {
            msgBox(stationProblem(), MsgIcon::Exclamation);
            return;
        }
        codes = m_stnCodes;
    }
    if (m_host.lightOn(Highlight::Stations) && m_stnFilter == st.rusFilter) drawStations(st.palette.net);
    m_host.setLightOn(Highlight::Stations, true);
    if (!m_host.openOrFail(m_dtaLightStn, lightStnSql(codes, st.rusFilter))) {
        m_host.setLightOn(Highlight::Stations, false);
        return;
    }
    if (codes != m_stnCodes) m_stnCaption = stationCaption();
    m_stnCodes = codes;
    m_stnFilter = st.rusFilter;
    if (m_dtaLightStn.rows().recordCount() == 0) {
        msgBox(kNotFound);
        m_host.setLightOn(Highlight::Stations, false);
        return;
    }
    drawStations(m_host.lightOn(Highlight::Stations) ? st.palette.light : st.palette.net);
}

// The sections, then the frame's station symbols over them, the station highlight over
// those, and the names last.
void FrmLight::drawSections(Color color)
{
    MapState& st = m_host.state();
    PictureBox& pic = m_host.picture();
    RowSet& frameStations = m_host.frameStations();
    DrawPeregons(st, pic, m_dtaLightPer.rows(), color);
    DrawStations(st, pic, frameStations, st.palette.net);
    if (m_host.lightOn(Highlight::Stations)) StnLight(true);
    DrawStnNames(st, pic, frameStations);
}

void FrmLight::drawStations(Color color)
{
    DrawStations(m_host.state(), m_host.picture(), m_dtaLightStn.rows(), color);
}

// As the render's redraw leaves the map: the sections with the frame's symbols over them,
// the station highlight, the names, and the station highlight once more.
void FrmLight::drawHighlightOn(MapPicture& target)
{
    MapState& st = target.state;
    const bool stations = m_host.lightOn(Highlight::Stations);
    if (m_host.lightOn(Highlight::Sections)) {
        DrawPeregons(st, target.canvas, m_dtaLightPer.rows(), st.palette.light);
        DrawStations(st, target.canvas, target.stations, st.palette.net);
        if (stations) DrawStations(st, target.canvas, m_dtaLightStn.rows(), st.palette.light);
        DrawStnNames(st, target.canvas, target.stations);
    }
    if (stations) DrawStations(st, target.canvas, m_dtaLightStn.rows(), st.palette.light);
}

std::vector<LegendEntry> FrmLight::highlightLegend() const
{
    const Color light = m_host.state().palette.light;
    std::vector<LegendEntry> entries;
    if (m_host.lightOn(Highlight::Sections)) entries.push_back({LegendEntry::Section, light, m_perCaption, 0});
    if (m_host.lightOn(Highlight::Stations)) entries.push_back({LegendEntry::Station, light, m_stnCaption, 9});
    return entries;
}

QString FrmLight::sectionCaption() const
{
    switch (OptIndex(m_optTipLight)) {
    case 1: return QStringLiteral("Кол-во путей ") + captionOf(*m_optRL[OptIndex(m_optRL)]) + u' ' + m_lblRL_Dig->text();
    case 2:
        return QStringLiteral("Длина перегона ") + captionOf(*m_optLen[OptIndex(m_optLen)]) + u' ' + m_txtLen->text().trimmed()
            + QStringLiteral(" км");
    default: return QStringLiteral("Вид тяги: ") + captionOf(*m_optEL[OptIndex(m_optEL)]);
    }
}

QString FrmLight::stationCaption() const
{
    QStringList ticked;
    for (const QAbstractButton* c : m_chkStn)
        if (c->isChecked()) ticked << captionOf(*c);
    return ticked.join(QStringLiteral(", "));
}


} // namespace zd
