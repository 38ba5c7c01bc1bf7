#pragma once
// Drawing a large picture on helper threads with the pixels one thread would give.
//
// Each helper owns every n-th stripe of rows and keeps a copy of the whole picture. It draws,
// in the order they were recorded, every primitive that may touch one of its stripes, with
// the same coordinates on an image of the same size, so that its stripes come out exactly as
// they would on the picture itself; only its stripes go back into the picture. The window's
// thread records the primitives and goes on with the next rows meanwhile.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QPolygon>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <QVector>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace zd {

class BandPainter {
public:
    // A pen of the program: round caps and joins, width in pixels; cosmetic under a transform.
    struct Pen {
        QRgb color = 0;
        int width = 1;
        bool cosmetic = false;
        bool operator==(const Pen&) const = default;
    };
    // A solid fill, or none.
    struct Fill {
        bool solid = false;
        QRgb color = 0;
        bool operator==(const Fill&) const = default;
    };
    struct Text {
        QFont font;
        QString text;
        QRectF box;       // the text's line: its background when opaque
        qreal ascent = 0;
        bool opaque = false;
        QRgb back = 0, fore = 0;
    };

    static constexpr int kStripeRows = 128;

    // `shown` is called on a helper thread each time its stripes have gone into the picture.
    BandPainter(int threads, std::function<void()> shown);
    ~BandPainter();
    BandPainter(const BandPainter&) = delete;
    BandPainter& operator=(const BandPainter&) = delete;

    // From here on the primitives go to the helpers; nothing but lockPicture() may touch the
    // picture until end() or drop().
    void begin(QImage& picture);
    bool active() const { return m_picture != nullptr; }

    void rect(const QRectF& r, const Pen& pen, const Fill& fill);
    void ellipse(QPointF centre, qreal radius, const Pen& pen, const Fill& fill);
    void line(const QLineF& l, const Pen& pen);
    void lines(const QVector<QLineF>& segments, const QTransform& toPixels, const Pen& pen);
    void polygon(const QPolygon& points, const Pen& pen, const Fill& fill);
    void text(Text t);

    // Everything recorded is drawn: waits at most `waitMs` for it.
    bool drawn(int waitMs);
    // Waits for the rest and puts the stripes into the picture.
    void end();
    // Forgets what no helper has started; with `keep` the picture takes what was drawn.
    void drop(bool keep);

    // Held while the picture is read during drawing: the helpers put their stripes in under it.
    std::mutex& pictureLock() { return m_pictureLock; }

private:
    struct Op;
    struct Batch;
    struct Helper;

    void add(Op op);
    void dispatch();
    void helperLoop(Helper& h);
    void drawBatch(Helper& h, const Batch& b);
    struct Rows {
        uchar* bits = nullptr;
        qsizetype stride = 0;
    };
    void copyStripes(Rows from, Rows to, int helper) const;
    void putStripes(Helper& h);
    bool idle() const;
    void waitIdle(std::unique_lock<std::mutex>& lock);
    void finish(std::unique_lock<std::mutex>& lock, bool keep);
    int deviceRow(qreal logicalY) const;
    Op spanning(qreal top, qreal bottom, qreal margin) const;

    QImage* m_picture = nullptr;
    Rows m_rows;
    int m_height = 0;
    qreal m_ratio = 1;
    std::shared_ptr<Batch> m_current;
    std::function<void()> m_shown;

    std::mutex m_lock;   // the queues and the helpers' state
    std::condition_variable m_wake, m_idle;
    std::vector<std::unique_ptr<Helper>> m_helpers;
    std::uint64_t m_session = 0;
    bool m_stop = false;
    std::mutex m_pictureLock;
};

} // namespace zd
