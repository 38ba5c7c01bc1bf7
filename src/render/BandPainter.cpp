#include "render/BandPainter.h"

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cerrno>
#include <cstring>
#include <deque>
#include <limits>

namespace zd {

namespace {
constexpr std::size_t kBatchOps = 2048;
// Qt strokes a wide pen's lines sixteen at a time, and traces a thin one's one by one; the
// helpers draw them in the same groups.
constexpr int kLinesPerStroke = 16;
int strokeGroup(const BandPainter::Pen& pen) { return pen.width <= 1 ? 1 : kLinesPerStroke; }
constexpr auto kShowEvery = std::chrono::milliseconds(100);
using Clock = std::chrono::steady_clock;

// How far beyond its geometry a pen may paint: half its width, and a pixel for rounding.
qreal reach(const BandPainter::Pen& pen) { return pen.width / 2.0 + 1; }
} // namespace

struct BandPainter::Op {
    enum Kind : std::uint8_t { Rect, Ellipse, Line, Lines, Polygon, Text } kind = Rect;
    int top = 0, bottom = 0;   // device rows the primitive may touch
    Pen pen;
    Fill fill;
    QRectF geometry;   // a rectangle; an ellipse's centre and radius; a line's ends
    int index = 0, first = 0, count = 0;   // into the batch's lists
};

struct BandPainter::Batch {
    std::vector<Op> ops;
    std::vector<QPolygon> polygons;
    std::vector<Text> texts;
    std::vector<std::pair<QVector<QLineF>, QTransform>> lines;
};

struct BandPainter::Helper {
    int index = 0;
    QImage image;   // the whole picture; only this helper's stripes are kept up to date
    std::deque<std::shared_ptr<const Batch>> queue;
    bool copyIn = false;   // the picture's stripes are still to be taken
    bool fresh = false;    // the stripes were taken in this drawing
    bool busy = false;
    bool dirty = false;    // drawn and not yet in the picture
    Clock::time_point shownAt;
    std::thread thread;
};

BandPainter::BandPainter(int threads, std::function<void()> shown) : m_shown(std::move(shown))
{
    for (int i = 0; i < std::max(threads, 1); ++i) {
        m_helpers.push_back(std::make_unique<Helper>());
        m_helpers.back()->index = i;
    }
    for (auto& h : m_helpers) h->thread = std::thread([this, raw = h.get()] { helperLoop(*raw); });
}

BandPainter::~BandPainter()
{
    {
        std::lock_guard lock(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    for (auto& h : m_helpers) h->thread.join();
}

void BandPainter::begin(QImage& picture)
{
    // The helpers read and write the image's own rows, shared with no copy, by address.
    const Rows rows{picture.bits(), picture.bytesPerLine()};
    std::lock_guard lock(m_lock);
    m_picture = &picture;
    m_rows = rows;
    m_height = picture.height();
    m_ratio = picture.devicePixelRatio();
    m_current = std::make_shared<Batch>();
    for (auto& h : m_helpers) {
        h->copyIn = true;
        h->fresh = false;
        h->dirty = false;
        h->shownAt = Clock::now();
    }
    m_wake.notify_all();
}

int BandPainter::deviceRow(qreal logicalY) const
{
    const qreal row = std::floor(logicalY * m_ratio);
    return static_cast<int>(std::clamp<qreal>(row, -1, m_height));
}

BandPainter::Op BandPainter::spanning(qreal top, qreal bottom, qreal margin) const
{
    Op op;
    op.top = deviceRow(top - margin) - 1;
    op.bottom = deviceRow(bottom + margin) + 1;
    return op;
}

void BandPainter::rect(const QRectF& r, const Pen& pen, const Fill& fill)
{
    Op op = spanning(r.top(), r.bottom(), reach(pen));
    op.kind = Op::Rect;
    op.pen = pen;
    op.fill = fill;
    op.geometry = r;
    add(op);
}

void BandPainter::ellipse(QPointF centre, qreal radius, const Pen& pen, const Fill& fill)
{
    Op op = spanning(centre.y() - radius, centre.y() + radius, reach(pen));
    op.kind = Op::Ellipse;
    op.pen = pen;
    op.fill = fill;
    op.geometry = QRectF(centre.x(), centre.y(), radius, radius);
    add(op);
}

void BandPainter::line(const QLineF& l, const Pen& pen)
{
    Op op = spanning(std::min(l.y1(), l.y2()), std::max(l.y1(), l.y2()), reach(pen));
    op.kind = Op::Line;
    op.pen = pen;
    op.geometry = QRectF(l.p1(), l.p2());
    add(op);
}

void BandPainter::lines(const QVector<QLineF>& segments, const QTransform& toPixels, const Pen& pen)
{
    if (segments.isEmpty()) return;
    const int n = static_cast<int>(segments.size()), group = strokeGroup(pen);
    const Batch* holder = nullptr;   // the batch that holds the segments: each batch its own
    int index = 0;
    for (int first = 0; first < n; first += group) {
        if (holder != m_current.get()) {
            holder = m_current.get();
            index = static_cast<int>(m_current->lines.size());
            m_current->lines.emplace_back(segments, toPixels);
        }
        const int count = std::min(group, n - first);
        qreal top = std::numeric_limits<qreal>::max(), bottom = std::numeric_limits<qreal>::lowest();
        for (int i = first; i < first + count; ++i) {
            const QLineF l = toPixels.map(segments[i]);
            top = std::min({top, l.y1(), l.y2()});
            bottom = std::max({bottom, l.y1(), l.y2()});
        }
        Op op = spanning(top, bottom, reach(pen));
        op.kind = Op::Lines;
        op.pen = pen;
        op.index = index;
        op.first = first;
        op.count = count;
        add(op);
    }
}

void BandPainter::polygon(const QPolygon& points, const Pen& pen, const Fill& fill)
{
    const QRect r = points.boundingRect();
    Op op = spanning(r.top(), r.bottom(), reach(pen));
    op.kind = Op::Polygon;
    op.pen = pen;
    op.fill = fill;
    op.index = static_cast<int>(m_current->polygons.size());
    m_current->polygons.push_back(points);
    add(op);
}

void BandPainter::text(Text t)
{
    // Glyphs may reach beyond their line; a whole line's height either way covers them.
    Op op = spanning(t.box.top(), t.box.bottom(), t.box.height() + 2);
    op.kind = Op::Text;
    op.index = static_cast<int>(m_current->texts.size());
    m_current->texts.push_back(std::move(t));
    add(op);
}

void BandPainter::add(Op op)
{
    if (op.bottom < 0 || op.top >= m_height) return;   // touches no pixel
    op.top = std::max(op.top, 0);
    op.bottom = std::min(op.bottom, m_height - 1);
    m_current->ops.push_back(op);
    if (m_current->ops.size() >= kBatchOps) dispatch();
}

void BandPainter::dispatch()
{
    if (!m_current || m_current->ops.empty()) return;
    {
        std::lock_guard lock(m_lock);
        for (auto& h : m_helpers) h->queue.push_back(m_current);
    }
    m_wake.notify_all();
    m_current = std::make_shared<Batch>();
}

bool BandPainter::idle() const
{
    return std::all_of(m_helpers.begin(), m_helpers.end(),
                       [](const auto& h) { return h->queue.empty() && !h->busy && !h->copyIn; });
}

bool BandPainter::drawn(int waitMs)
{
    if (!active()) return true;
    dispatch();
    std::unique_lock lock(m_lock);
    return m_idle.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return idle(); });
}

void BandPainter::waitIdle(std::unique_lock<std::mutex>& lock)
{
    m_idle.wait(lock, [this] { return idle(); });
}

void BandPainter::end()
{
    if (!active()) return;
    dispatch();
    std::unique_lock lock(m_lock);
    finish(lock, true);
}

void BandPainter::drop(bool keep)
{
    if (!active()) return;
    m_current.reset();
    std::unique_lock lock(m_lock);
    for (auto& h : m_helpers) {
        h->queue.clear();
        if (!keep) h->copyIn = false;
    }
    finish(lock, keep);
}

// Once the helpers are idle the drawing ends, the picture taking their stripes when kept.
void BandPainter::finish(std::unique_lock<std::mutex>& lock, bool keep)
{
    waitIdle(lock);
    for (auto& h : m_helpers) {
        if (keep && h->fresh && h->dirty) putStripes(*h);
        h->dirty = false;
    }
    m_picture = nullptr;
    m_current.reset();
}

void BandPainter::putStripes(Helper& h)
{
    const Rows from{h.image.bits(), h.image.bytesPerLine()};
    std::lock_guard lock(m_pictureLock);
    copyStripes(from, m_rows, h.index);
    h.dirty = false;
    h.shownAt = Clock::now();
}

void BandPainter::copyStripes(Rows from, Rows to, int helper) const
{
    const int helpers = static_cast<int>(m_helpers.size());
    const qsizetype bytes = std::min(from.stride, to.stride);
    for (int top = helper * kStripeRows; top < m_height; top += helpers * kStripeRows)
        for (int y = top; y < std::min(top + kStripeRows, m_height); ++y)
            std::memcpy(to.bits + y * to.stride, from.bits + y * from.stride, bytes);
}

namespace {

bool sameLayout(const QImage& a, const QImage& b)
{
    return a.size() == b.size() && a.format() == b.format() && a.devicePixelRatio() == b.devicePixelRatio()
        && a.dotsPerMeterX() == b.dotsPerMeterX() && a.dotsPerMeterY() == b.dotsPerMeterY();
}

// The window's thread comes first: it answers input while the helpers draw.
void yieldToTheWindow()
{
#ifdef __linux__
    constexpr int kNicer = 4;
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0);
    if (errno == 0) setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice + kNicer);
#endif
}

} // namespace

void BandPainter::helperLoop(Helper& h)
{
    yieldToTheWindow();
    std::unique_lock lock(m_lock);
    for (;;) {
        auto ready = [&] { return m_stop || h.copyIn || !h.queue.empty(); };
        if (h.dirty && h.fresh && m_picture) m_wake.wait_until(lock, h.shownAt + kShowEvery, ready);
        else m_wake.wait(lock, ready);
        if (m_stop) return;
        h.busy = true;
        if (h.copyIn) {
            h.copyIn = false;
            const QImage& picture = *m_picture;
            lock.unlock();
            if (!sameLayout(h.image, picture)) {
                h.image = QImage(picture.size(), picture.format());
                h.image.setDevicePixelRatio(picture.devicePixelRatio());
                h.image.setDotsPerMeterX(picture.dotsPerMeterX());
                h.image.setDotsPerMeterY(picture.dotsPerMeterY());
            }
            copyStripes(m_rows, {h.image.bits(), h.image.bytesPerLine()}, h.index);
            lock.lock();
            h.fresh = true;
        } else if (!h.queue.empty()) {
            std::shared_ptr<const Batch> batch = std::move(h.queue.front());
            h.queue.pop_front();
            lock.unlock();
            drawBatch(h, *batch);
            batch.reset();
            lock.lock();
            h.dirty = true;
        }
        bool shown = false;
        if (h.dirty && h.fresh && m_picture && Clock::now() >= h.shownAt + kShowEvery) {
            lock.unlock();
            putStripes(h);
            lock.lock();
            shown = true;
        }
        h.busy = false;
        m_idle.notify_all();
        if (shown && m_shown) {
            lock.unlock();
            m_shown();
            lock.lock();
        }
    }
}

namespace {

bool touches(int top, int bottom, int helper, int helpers)
{
    const int first = top / BandPainter::kStripeRows, last = bottom / BandPainter::kStripeRows;
    if (last - first + 1 >= helpers) return true;
    for (int s = first; s <= last; ++s)
        if (s % helpers == helper) return true;
    return false;
}

// The painter's pen and brush as the canvas sets them, changed only when they differ.
class Settings {
public:
    explicit Settings(QPainter& p) : m_p(p) {}
    void pen(const BandPainter::Pen& pen)
    {
        if (m_penSet && m_pen == pen) return;
        QPen q(QColor::fromRgb(pen.color));
        q.setWidthF(pen.width);
        q.setCapStyle(Qt::RoundCap);
        q.setJoinStyle(Qt::RoundJoin);
        q.setCosmetic(pen.cosmetic);
        m_p.setPen(q);
        m_pen = pen;
        m_penSet = true;
    }
    void textPen(QRgb fore)
    {
        m_p.setPen(QColor::fromRgb(fore));
        m_penSet = false;
    }
    void fill(const BandPainter::Fill& fill)
    {
        if (m_fillSet && m_fill == fill) return;
        if (fill.solid) m_p.setBrush(QColor::fromRgb(fill.color));
        else m_p.setBrush(Qt::NoBrush);
        m_fill = fill;
        m_fillSet = true;
    }
    void font(const QFont& f)
    {
        if (!(m_p.font() == f)) m_p.setFont(f);
    }

private:
    QPainter& m_p;
    BandPainter::Pen m_pen;
    BandPainter::Fill m_fill;
    bool m_penSet = false, m_fillSet = false;
};

} // namespace

void BandPainter::drawBatch(Helper& h, const Batch& b)
{
    const int n = static_cast<int>(m_helpers.size());
    QPainter p(&h.image);
    Settings set(p);
    for (std::size_t i = 0; i < b.ops.size(); ++i) {
        const Op& op = b.ops[i];
        if (!touches(op.top, op.bottom, h.index, n)) continue;
        switch (op.kind) {
        case Op::Rect:
            set.pen(op.pen);
            set.fill(op.fill);
            p.drawRect(op.geometry);
            break;
        case Op::Ellipse:
            set.pen(op.pen);
            set.fill(op.fill);
            p.drawEllipse(op.geometry.topLeft(), op.geometry.width(), op.geometry.height());
            break;
        case Op::Line:
            set.pen(op.pen);
            p.drawLine(op.geometry.topLeft(), op.geometry.bottomRight());
            break;
        case Op::Lines: {
            const auto& [segments, toPixels] = b.lines[op.index];
            // The following groups of the same lines this helper draws go in the same call.
            int count = op.count;
            for (; i + 1 < b.ops.size(); ++i) {
                const Op& next = b.ops[i + 1];
                if (next.kind != Op::Lines || next.index != op.index || next.first != op.first + count
                    || !touches(next.top, next.bottom, h.index, n))
                    break;
                count += next.count;
            }
            set.pen(op.pen);
            p.setTransform(toPixels);
            p.drawLines(segments.constData() + op.first, count);
            p.resetTransform();
            break;
        }
        case Op::Polygon:
            set.pen(op.pen);
            set.fill(op.fill);
            p.drawPolygon(b.polygons[op.index]);
            break;
        case Op::Text: {
            const Text& t = b.texts[op.index];
            set.font(t.font);
            if (t.opaque) p.fillRect(t.box, QColor::fromRgb(t.back));
            set.textPen(t.fore);
            p.drawText(QPointF(t.box.left(), t.box.top() + t.ascent), t.text);
            break;
        }
        }
    }
}

} // namespace zd
