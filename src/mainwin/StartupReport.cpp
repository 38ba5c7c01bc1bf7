#include "mainwin/StartupReport.h"

#include "mainwin/FrmZdMain.h"
#include "mainwin/NetworkOpener.h"
#include "platform/MsgBox.h"
#include "render/PictureBox.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace zd {

StartupReport::StartupReport(FrmZdMain& main, const QElapsedTimer& launch)
    : QObject(&main), m_main(main), m_launch(launch)
{
    setMsgHandler([](const MsgRequest& r) { std::fprintf(stderr, "%s\n", qUtf8Printable(r.text)); });
    connect(&main.opener(), &NetworkOpener::loadStarted, this, [this] { m_loadStart = m_launch.elapsed(); });
    connect(&main.opener(), &NetworkOpener::loadEnded, this, [this] { m_loadEnd = m_launch.elapsed(); });
    QCoreApplication::instance()->installEventFilter(this);
}

bool StartupReport::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && !m_done) painted(watched);
    return false;
}

// Every paint of a widget counts as a repaint of its window: the gaps are measured from
// the start of the load to its end, the end is the first paint of the map after a frame.
void StartupReport::painted(QObject* widget)
{
    const qint64 now = m_launch.elapsed();
    if (m_loadStart >= 0 && m_loadEnd < 0) {
        if (m_lastPaint >= 0) m_largestGap = std::max(m_largestGap, now - std::max(m_lastPaint, m_loadStart));
        ++m_paints;
    }
    m_lastPaint = now;
    if (widget == static_cast<QObject*>(&m_main.picZdMain()) && m_main.history().count() >= 1) {
        m_done = true;
        const qint64 firstFrame = now;
        std::printf("{\"load_ms\": %lld, \"first_frame_ms\": %lld, \"largest_repaint_gap_ms\": %lld, \"repaints_during_load\": %d}\n",
                    static_cast<long long>(m_loadEnd - m_loadStart), static_cast<long long>(firstFrame),
                    static_cast<long long>(m_largestGap), m_paints);
        std::fflush(stdout);
        QTimer::singleShot(0, &m_main, [this] { m_main.mnuFiles_End_Click(); });
    }
}

} // namespace zd
