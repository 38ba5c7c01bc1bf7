#include "export/ScaleBar.h"

#include "data/Database.h"
#include "export/ExportQueries.h"
#include "render/KmScale.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <cmath>

namespace zd {

QString ScaleBar::label() const
{
    return QLocale(QLocale::Russian).toString(km, 'g', 6) + QStringLiteral(" км");
}

std::optional<ScaleBar> roundScaleBar(double kmPerUnit, double pixelsPerUnit, double maxPixels)
{
    if (!(kmPerUnit > 0) || !(pixelsPerUnit > 0) || !(maxPixels > 0)) return std::nullopt;
    const double kmPerPixel = kmPerUnit / pixelsPerUnit;
    const double most = maxPixels * kmPerPixel;
    double decade = std::pow(10.0, std::floor(std::log10(most)));
    double km = decade;
    for (double step : {5.0, 2.0, 1.0})
        if (step * decade <= most * (1 + 1e-12)) { km = step * decade; break; }
    return ScaleBar{km, km / kmPerPixel};
}

std::optional<double> frameKmPerUnit(const RowSet& frameSections, const Database& db)
{
    if (auto k = kmPerMapUnit(frameSections, kMinFrameSections)) return k;
    auto all = db.query(networkLengthsSql());
    if (!all) return kmPerMapUnit(frameSections, 1);
    return kmPerMapUnit(*all, 1);
}

void drawScaleBar(QPainter& p, QPointF bottomLeft, const ScaleBar& bar)
{
    p.save();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(8);
    p.setFont(font);
    const QFontMetricsF fm(font, p.device());
    const QString text = bar.label();
    const double tick = 6, pad = 4;
    const QRectF ground(bottomLeft.x() - pad, bottomLeft.y() - tick - fm.height() - 2 * pad,
                        std::max(bar.pixels, fm.horizontalAdvance(text)) + 2 * pad, tick + fm.height() + 2 * pad);
    p.fillRect(ground, Qt::white);
    QPen pen(Qt::black);
    pen.setWidthF(1.5);
    p.setPen(pen);
    const double y = bottomLeft.y() - pad;
    const double x0 = bottomLeft.x(), x1 = x0 + bar.pixels;
    p.drawLine(QPointF(x0, y), QPointF(x1, y));
    p.drawLine(QPointF(x0, y), QPointF(x0, y - tick));
    p.drawLine(QPointF(x1, y), QPointF(x1, y - tick));
    p.drawText(QPointF(x0, y - tick - fm.descent() - 1), text);
    p.restore();
}

} // namespace zd
