#include "desk/MapStatus.h"

#include "desk/Navigation.h"
#include "fragment/Fragment.h"
#include "mainwin/FrmZdMain.h"
#include "mainwin/MapPointer.h"
#include "render/KmScale.h"

#include <QLabel>
#include <QLocale>
#include <QPromise>
#include <QStatusBar>
#include <QThreadPool>

namespace zd {

namespace {
// Fewer sections than this in the frame give too rough a median: the network's is used.
constexpr int kMinFrameSections = 5;
// From this many sections on, the frame's scale is estimated on a worker (0.2 s at a million).
constexpr int kEstimateAsideSections = 50000;
constexpr int kSayMs = 5000;

const char* const kModeNames[] = {"Все страны", "Только Россия", "Обозначить СНГ"};
} // namespace

MapStatus::MapStatus(FrmZdMain& main) : QObject(&main), m_main(main)
{
    // A stopped estimate gives no result; one whose frame is no longer shown is dropped.
    connect(&m_estimate, &QFutureWatcher<std::optional<double>>::finished, this, [this] {
        if (m_estimateFrame == m_frame && m_estimate.future().resultCount() > 0)
            showScale(m_estimate.result(), m_estimateScale);
    });
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

// The frame's own estimate, else the whole network's.
std::optional<double> MapStatus::kmPerUnit(std::optional<double> frameKmPerUnit)
{
    if (frameKmPerUnit) return frameKmPerUnit;
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
    stopEstimate();
    ++m_frame;
    const RowSet& sections = m_main.frameSections();
    const float kadrScale = m_main.state().kadrScale;
    if (sections.recordCount() < kEstimateAsideSections) {
        showScale(kmPerMapUnit(sections, kMinFrameSections), kadrScale);
    } else {
        // The rows stay as they are until the next frame, which first stops the worker.
        m_kmPerCm.reset();
        m_scale->clear();
        auto promise = std::make_shared<QPromise<std::optional<double>>>();
        m_estimate.setFuture(promise->future());
        QThreadPool::globalInstance()->start([promise, &sections, stop = &m_stopEstimate] {
            promise->start();
            const std::optional<double> k = kmPerMapUnit(sections, kMinFrameSections, stop);
            if (!stop->load()) promise->addResult(k);
            promise->finish();
        });
        m_estimateScale = kadrScale;
        m_estimateFrame = m_frame;
    }
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    m_counts->setText(QStringLiteral("Станций: %1, перегонов: %2")
                          .arg(ru.toString(m_main.frameStations().recordCount()),
                               ru.toString(m_main.frameSections().recordCount())));
    refresh();
}

void MapStatus::stopEstimate()
{
    if (m_estimate.isFinished()) return;
    m_stopEstimate = true;
    m_estimate.waitForFinished();
    m_stopEstimate = false;
}

void MapStatus::showScale(std::optional<double> frameKmPerUnit, float kadrScale)
{
    const std::optional<double> k = kmPerUnit(frameKmPerUnit);
    m_kmPerCm = k ? std::optional(kmPerCm(*k, kadrScale)) : std::nullopt;
    m_scale->setText(m_kmPerCm ? scaleText(*m_kmPerCm) : QString());
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
