#pragma once
// The route graph of the main window's network, read and built once for every route window
// it opens: a child of the main window. The rows are read a piece per turn of the event
// loop (a zero timer), so that the windows stay responsive; the graph is then built on the
// engine's worker thread while the timer polls for it.
#include "route/RouteNetwork.h"

#include <QObject>
#include <QTimer>
#include <memory>

namespace zd {

class MapHost;

class RouteSource : public QObject {
    Q_OBJECT
public:
    // Rows read in one turn of the event loop: about 30 ms on the largest networks.
    static constexpr int kPieceRows = 16384;

    // The main window's source, made on first use.
    static RouteSource& of(MapHost& host);

    void start();                 // begins reading, unless it has begun
    bool ready() const { return m_graph != nullptr; }
    bool building() const { return m_reading && m_timer.interval() > 0; }   // all read: the worker builds
    int percent() const;          // of the rows read
    // Waits for the graph with the windows repainting and no user input handled; null when
    // the network cannot be read (already reported through the host).
    std::shared_ptr<const route::RouteGraph> waitGraph();

signals:
    void progressed();            // a piece was read or the build began
    void built();                 // the graph is ready

private:
    RouteSource(MapHost& host, QObject* parent);
    void step();
    void fail(const DbError& error);

    MapHost& m_host;
    std::unique_ptr<route::RouteNetwork> m_network;
    std::shared_ptr<const route::RouteGraph> m_graph;
    QTimer m_timer;
    double m_rows = 0, m_read = 0;   // rows of Stn and Peregon, and how many are read
    bool m_reading = false, m_failed = false;
};

} // namespace zd
