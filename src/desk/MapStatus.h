#pragma once
// The main window's status bar: the pointer's position in map units, the frame's scale
// ("1 см ≈ N км"), the numbers of stations and sections drawn, the marking mode and the hint
// of the armed tool; a refused move is said in it for a while. The scale of a large frame is
// estimated on a worker thread, so that the window answers at once when the frame is shown.
#include <QFutureWatcher>
#include <QObject>
#include <QPointF>
#include <QString>
#include <atomic>
#include <optional>

class QLabel;

namespace zd {

class FrmZdMain;

class MapStatus : public QObject {
    Q_OBJECT
public:
    explicit MapStatus(FrmZdMain& main);

    void networkOpened();                            // the whole network's estimate goes
    void frameShown();                               // scale and numbers of the new frame
    // Stops the estimate of the scale on the worker: the frame's rows are about to change.
    void stopEstimate();
    void pointerAt(std::optional<QPointF> mapPoint); // nothing: the pointer left the map
    void refresh();                                  // marking mode and hint
    void say(const QString& line);                   // a refused move, for a few seconds

    // The frame's scale in km per cm of the screen, when it can be estimated.
    std::optional<double> frameKmPerCm() const { return m_kmPerCm; }

private:
    QLabel* label(const char* name, bool permanent);
    std::optional<double> kmPerUnit(std::optional<double> frameKmPerUnit);
    void showScale(std::optional<double> frameKmPerUnit, float kadrScale);
    QString hint() const;

    FrmZdMain& m_main;
    QLabel *m_hint, *m_position, *m_scale, *m_counts, *m_mode;
    std::optional<std::optional<double>> m_networkKm;   // outer: estimated yet
    std::optional<double> m_kmPerCm;
    QFutureWatcher<std::optional<double>> m_estimate;
    std::atomic<bool> m_stopEstimate{false};
    float m_estimateScale = 0;             // of the frame whose km per unit are estimated
    unsigned m_frame = 0, m_estimateFrame = 0;   // frames shown; the one estimated
};

} // namespace zd
