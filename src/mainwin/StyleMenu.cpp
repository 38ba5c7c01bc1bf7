#include "mainwin/StyleMenu.h"

#include "desk/Desk.h"
#include "mainwin/FrmZdMain.h"

#include <QActionGroup>
#include <QMenu>
#include <QPainter>
#include <QSettings>

namespace zd {

namespace {

const QString kStyleKey = QStringLiteral("view/style");
const QString kScreenValue = QStringLiteral("screen");

QSettings settings() { return QSettings(QStringLiteral("zdschema"), QStringLiteral("zdschema")); }

// A station ring on two crossing lines, in 16 × 16 pixels.
QIcon screenIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(128, 128, 0), 2));
    p.drawLine(1, 13, 15, 3);
    p.drawLine(2, 3, 14, 14);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 8), 3.5, 3.5);
    return QIcon(pm);
}

} // namespace

StyleMenu::StyleMenu(FrmZdMain& window) : QObject(&window), m_window(window)
{
    QMenu& view = window.extraMenu(QStringLiteral("mnuView"));
    view.addSeparator();
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    auto item = [&](const char* name, const QString& caption, MapStyle style) {
        QAction* a = view.addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, style] { choose(style); });
        return a;
    };
    m_classic = item("mnuView_Classic", QStringLiteral("&Классический"), MapStyle::Classic);
    m_screen = item("mnuView_Screen", QStringLiteral("Для &экрана"), MapStyle::Screen);

    m_toggle = new QAction(screenIcon(), QStringLiteral("Для экрана"), this);
    m_toggle->setObjectName(QStringLiteral("tlbView_Screen"));
    m_toggle->setToolTip(QStringLiteral("Карта для экрана: крупные подписи без наложений, заметная подсветка"));
    m_toggle->setCheckable(true);
    connect(m_toggle, &QAction::triggered, this,
            [this](bool on) { choose(on ? MapStyle::Screen : MapStyle::Classic); });
    window.addToolbarAction(m_toggle);

    window.state().style = saved();
    showChecks(window.state().style);
}

void StyleMenu::choose(MapStyle style)
{
    showChecks(style);
    save(style);
    if (m_window.state().style == style) return;
    m_window.state().style = style;
    m_window.redrawFrame();
    m_window.desk().markingChanged();   // the overview is drawn in the map's style too
}

void StyleMenu::showChecks(MapStyle style)
{
    m_classic->setChecked(style == MapStyle::Classic);
    m_screen->setChecked(style == MapStyle::Screen);
    m_toggle->setChecked(style == MapStyle::Screen);
}

MapStyle StyleMenu::saved()
{
    return settings().value(kStyleKey).toString() == kScreenValue ? MapStyle::Screen : MapStyle::Classic;
}

void StyleMenu::save(MapStyle style)
{
    settings().setValue(kStyleKey, style == MapStyle::Screen ? kScreenValue : QStringLiteral("classic"));
}

} // namespace zd
