#include "desk/RenderBusy.h"

#include <QProgressBar>
#include <QStatusBar>

namespace zd {

namespace {
constexpr int kBusyAfterMs = 500;
}

RenderBusy::RenderBusy(QStatusBar& status) : QObject(&status), m_bar(new QProgressBar(&status))
{
    m_bar->setObjectName(QStringLiteral("prbRender"));
    m_bar->setRange(0, 0);   // no steps: a bar that only says work goes on
    m_bar->setMaximumWidth(120);
    // No taller than a line of the status bar, whose height the map's depends on.
    m_bar->setMaximumHeight(status.fontMetrics().height());
    m_bar->setTextVisible(false);
    m_bar->setToolTip(QStringLiteral("Идёт рисование схемы"));
    status.addPermanentWidget(m_bar);
    m_bar->hide();
    m_delay.setSingleShot(true);
    m_delay.setInterval(kBusyAfterMs);
    connect(&m_delay, &QTimer::timeout, m_bar, &QWidget::show);
}

void RenderBusy::started() { m_delay.start(); }

void RenderBusy::ended()
{
    m_delay.stop();
    m_bar->hide();
}

bool RenderBusy::shown() const { return m_bar->isVisible(); }

} // namespace zd
