#pragma once
// How far the loading of a network has come, written by the loading thread and read by the
// window's thread: the table being copied and its rows, or the index being built. Also
// carries the request to stop.
#include <QString>
#include <atomic>

namespace zd {

class LoadProgress {
public:
    enum class Phase { Opening, Rows, Indexes };

    // --- written by the loader
    void beginTable(const char* table, long long totalRows);   // table: a name of schema::tables()
    void rowDone() { m_row.fetch_add(1, std::memory_order_relaxed); }
    void beginIndexes(int count);
    void indexDone() { m_row.fetch_add(1, std::memory_order_relaxed); }

    // --- read from any thread
    Phase phase() const { return m_phase.load(); }
    long long row() const { return m_row.load(std::memory_order_relaxed); }
    long long total() const { return m_total.load(); }
    // "Загрузка сети: Stn 420 000 из 2 000 000"
    QString text() const;

    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

private:
    std::atomic<Phase> m_phase{Phase::Opening};
    std::atomic<int> m_table{-1};
    std::atomic<long long> m_row{0}, m_total{0};
    std::atomic<bool> m_cancelled{false};
};

// The cause a cancelled load ends with.
inline const QString kLoadCancelled = QStringLiteral("загрузка отменена");

} // namespace zd
