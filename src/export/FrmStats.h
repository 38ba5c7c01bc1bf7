#pragma once
// The statistics window "Статистика": what the current frame (as the map queries it,
// "Только Россия" honoured) or a chosen railway holds, counted again whenever the frame
// changes while the window is open; copied tab-separated or saved as CSV.
#include "export/Stats.h"
#include "map/MapHost.h"

#include <QElapsedTimer>
#include <QWidget>

class QComboBox;
class QLabel;
class QProgressBar;
class QRadioButton;
class QTreeWidget;

namespace zd {

class FrmStats : public QWidget, public MapTool {
    Q_OBJECT
public:
    explicit FrmStats(MapHost& host);

    // --- MapTool
    const QWidget* toolWindow() const override { return this; }
    void frameRendered() override { if (isVisible()) recount(); }
    void markingChanged() override { if (isVisible()) recount(); }

    // Shows the window and counts what it is set to.
    void LoadStats();
    void recount();
    const NetworkStats& stats() const { return m_stats; }

    void copyToClipboard() const;
    // Writes the CSV to the path (UTF-8, a header row) through a temporary file; the
    // Russian message of a failure, or empty.
    QString saveCsv(const QString& path) const;

private:
    void buildControls();
    void fillRailways();
    void showStats();
    void saveClicked();
    bool keepGoing();

    MapHost& m_host;
    QRadioButton *m_optFrame = nullptr, *m_optRailway = nullptr;
    QComboBox* m_railway = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_scope = nullptr;
    QProgressBar* m_progress = nullptr;
    NetworkStats m_stats;
    QElapsedTimer m_counting;
    bool m_busy = false;
};

} // namespace zd
