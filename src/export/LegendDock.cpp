#include "export/LegendDock.h"

#include "export/Legend.h"
#include "render/PictureBox.h"

#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QScrollArea>

namespace zd {

LegendDock::LegendDock(MapHost& host) : QDockWidget(QStringLiteral("Условные обозначения"), &host.window()), m_host(host)
{
    setObjectName(QStringLiteral("dckLegend"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("picLegend"));
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* scroll = new QScrollArea;
    scroll->setWidget(m_picture);
    scroll->setWidgetResizable(true);
    setWidget(scroll);
    if (auto* main = qobject_cast<QMainWindow*>(&host.window())) main->addDockWidget(Qt::RightDockWidgetArea, this);
}

void LegendDock::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    refresh();
}

void LegendDock::refresh()
{
    if (!isVisible() || m_host.ended() || !m_host.database()) return;
    std::vector<LegendEntry> highlights;
    for (const MapTool* t : m_host.mapTools()) {
        const auto entries = t->highlightLegend();
        highlights.insert(highlights.end(), entries.begin(), entries.end());
    }
    const PictureBox& map = m_host.picture();
    auto legend = Legend::make(m_host.state(), map.view(), *m_host.database(), legendEntries(m_host.state(), highlights));
    if (!legend) return m_host.reportFailure(legend.error());
    QImage image(legend->size().toSize(), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(map.dpi().x / 0.0254));
    image.setDotsPerMeterY(qRound(map.dpi().y / 0.0254));
    image.fill(Qt::white);
    QPainter p(&image);
    legend->draw(p, QPointF(0, 0));
    p.end();
    m_picture->setPixmap(QPixmap::fromImage(image));
    widget()->setMinimumWidth(image.width() + 24);   // the legend's width and a scroll bar
}

} // namespace zd
