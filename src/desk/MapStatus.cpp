#include "desk/MapStatus.h"

#include "desk/Navigation.h"
#include "fragment/Fragment.h"
#include "mainwin/FrmZdMain.h"
#include "mainwin/MapPointer.h"
#include "render/KmScale.h"

#include <QLabel>
#include <QLocale>
#include <QStatusBar>

namespace zd {

namespace {
// Fewer sections than this in the frame give too rough a median: the network's is used.
constexpr int kMinFrameSections = 5;
constexpr int kSayMs = 5000;

const char* const kModeNames[] = {"Все страны", "Только Россия", "Обозначить СНГ"};
} // namespace

MapStatus::MapStatus(FrmZdMain& main) : QObject(&main), m_main(main)
{
    main.statusBar()->setObjectName(QStringLiteral("stbZdMain"));
    m_hint = label("lblStatusHint", false);
    m_position = label("lblStatusPos", true);
    m_scale = label("lblStatusScale", true);
    m_counts = label("lblStatusCount", true);
    m_mode = label("lblStatusMode", true);
    m_position->setMinimumWidth(m_position->fontMetrics().horizontalAdvance(QStringLiteral("X 000000  Y 000000")));
}

QLabel* MapStatus::label(const char* name, bool permanent)
{
    auto* l = new QLabel(m_main.statusBar());
    l->setObjectName(QLatin1String(name));
    if (permanent) m_main.statusBar()->addPermanentWidget(l);
    else m_main.statusBar()->addWidget(l, 1);
    return l;
}

void MapStatus::networkOpened() { m_networkKm.reset(); }

std::optional<double> MapStatus::kmPerUnit()
{
    if (auto k = kmPerMapUnit(m_main.frameSections(), kMinFrameSections)) return k;
    if (!m_networkKm) {
        auto db = m_main.database();
        Expected<std::optional<double>> k = db ? networkKmPerUnit(*db) : Expected<std::optional<double>>(std::nullopt);
        if (!k) {
            m_main.reportFailure(k.error());
            return std::nullopt;
        }
        m_networkKm = *k;
    }
    return *m_networkKm;
}

void MapStatus::frameShown()
{
    const std::optional<double> k = kmPerUnit();
    m_kmPerCm = k ? std::optional(kmPerCm(*k, m_main.state().kadrScale)) : std::nullopt;
    m_scale->setText(m_kmPerCm ? scaleText(*m_kmPerCm) : QString());
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    m_counts->setText(QStringLiteral("Станций: %1, перегонов: %2")
                          .arg(ru.toString(m_main.frameStations().recordCount()),
                               ru.toString(m_main.frameSections().recordCount())));
    refresh();
}

void MapStatus::pointerAt(std::optional<QPointF> p)
{
    m_position->setText(p ? QStringLiteral("X %1  Y %2").arg(qRound(p->x())).arg(qRound(p->y())) : QString());
}

QString MapStatus::hint() const
{
    if (m_main.pointer().pick()) return QStringLiteral("Укажите место на карте, Esc — отмена");
    switch (m_main.mapMode()) {
    case 1:
        return m_main.fragment().frameComplete()
            ? QStringLiteral("Рамку можно подвинуть или растянуть, Enter — применить, Esc — отмена")
            : QStringLiteral("Тяните рамку…, Enter — применить, Esc — отмена");
    case 2:
        return QStringLiteral("Тяните карту…, отпустите кнопку — новый кадр, Esc — отмена");
    default:
        return QStringLiteral("Кнопка мыши — сведения об объекте, колесо — масштаб, средняя кнопка — сдвиг");
    }
}

void MapStatus::refresh()
{
    const int mode = m_main.state().rusMode;
    m_mode->setText(mode >= 0 && mode < 3 ? QString::fromUtf8(kModeNames[mode]) : QString());
    m_hint->setText(hint());
}

void MapStatus::say(const QString& line) { m_main.statusBar()->showMessage(line, kSayMs); }

} // namespace zd
