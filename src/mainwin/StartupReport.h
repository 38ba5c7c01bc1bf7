#pragma once
// "zdschema --startup-report": the program starts as ever, then says on standard output
// how long it took to the first painted frame and the largest gap between two repaints of
// its windows while the network loaded, and ends. Message boxes go to standard error.
// What the benchmark and the installation's test read.
#include <QElapsedTimer>
#include <QObject>

namespace zd {

class FrmZdMain;

class StartupReport : public QObject {
    Q_OBJECT
public:
    // launch: started when the program was.
    StartupReport(FrmZdMain& main, const QElapsedTimer& launch);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void painted(QObject* widget);
    void finish();

    FrmZdMain& m_main;
    const QElapsedTimer& m_launch;
    qint64 m_loadStart = -1, m_loadEnd = -1, m_lastPaint = -1, m_largestGap = 0;
    int m_paints = 0;
    bool m_done = false;
};

} // namespace zd
