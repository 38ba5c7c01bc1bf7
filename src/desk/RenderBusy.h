#pragma once
// A render that takes longer than half a second shows a busy bar in the status bar until it
// ends. The bar shows and moves when the render lets the window repaint.
#include <QObject>
#include <QTimer>

class QProgressBar;
class QStatusBar;

namespace zd {

class RenderBusy : public QObject {
    Q_OBJECT
public:
    explicit RenderBusy(QStatusBar& status);
    void started();
    void ended();
    bool shown() const;

private:
    QTimer m_delay;
    QProgressBar* m_bar;
};

} // namespace zd
