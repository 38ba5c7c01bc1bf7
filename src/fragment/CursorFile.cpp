#include "fragment/CursorFile.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace zd {

namespace {

struct HotSpot { int x = 0, y = 0; };

// The file starts with a 6-byte directory header (reserved 0, type 2 for cursors, count)
// followed by 16-byte entries; bytes 4..7 of an entry hold the hot spot of its image.
std::optional<HotSpot> readHotSpot(const QByteArray& head)
{
    if (head.size() < 22) return std::nullopt;
    const auto* b = reinterpret_cast<const uchar*>(head.constData());
    if (qFromLittleEndian<quint16>(b) != 0 || qFromLittleEndian<quint16>(b + 2) != 2
        || qFromLittleEndian<quint16>(b + 4) == 0)
        return std::nullopt;
    return HotSpot{qFromLittleEndian<quint16>(b + 10), qFromLittleEndian<quint16>(b + 12)};
}

} // namespace

std::optional<QCursor> loadCursorFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const std::optional<HotSpot> hot = readHotSpot(file.read(22));
    file.close();
    if (!hot) return std::nullopt;
    const QImage image(path, "cur");
    if (image.isNull()) return std::nullopt;
    const int x = qBound(0, hot->x, image.width() - 1), y = qBound(0, hot->y, image.height() - 1);
    return QCursor(QPixmap::fromImage(image), x, y);
}

} // namespace zd
