#include "export/ExportRender.h"

#include "export/Legend.h"
#include "render/Canvas.h"
#include "render/RenderFrame.h"
#include "render/ScreenStyle.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageWriter>
#include <QPainter>
#include <QRegion>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cmath>

namespace zd {

namespace {
constexpr int kGap = 8;

DbError failure(const QString& cause) { return DbError{QString(), cause}; }

struct Layout {
    QRect title, map;
    QPoint legend;
};

// The map's area of a page: what the title and the legend leave, or the largest rectangle
// of the aspect ratio inside it, centred.
QRect mapArea(QRect room, double aspect, bool keepAspect)
{
    if (!keepAspect || !(aspect > 0) || room.isEmpty()) return room;
    QSize fit(room.width(), qRound(room.width() / aspect));
    if (fit.height() > room.height()) fit = QSize(qRound(room.height() * aspect), room.height());
    fit = fit.expandedTo(QSize(1, 1));
    return QRect(room.left() + (room.width() - fit.width()) / 2, room.top() + (room.height() - fit.height()) / 2,
                 fit.width(), fit.height());
}

View viewOf(const Frame& f, QSize pixels, Dpi dpi) { return View::ofFrame(f, QSizeF(pixels), dpi); }

double frameAspect(const ExportScene& s)
{
    if (s.aspect > 0) return s.aspect;
    const Frame& k = s.state.kadr;
    const double h = static_cast<double>(k.y2) - k.y1;
    return h != 0 ? (static_cast<double>(k.x2) - k.x1) / h : 0;
}

// SVG has no clipping here: what the sections reaching out of the frame drew beyond the
// map's area is painted over.
void whiteAround(QPainter& p, QRect page, QRect map)
{
    const QRegion outside = QRegion(page.adjusted(-kGap, -kGap, kGap, kGap)).subtracted(QRegion(map));
    for (const QRect& r : outside) p.fillRect(r, Qt::white);
}

void drawTitle(QPainter& p, QRect band, const QString& title)
{
    p.save();
    p.fillRect(band, Qt::white);
    p.setPen(Qt::black);
    p.setFont(exportFont(12, true));
    p.drawText(band, Qt::AlignCenter, title);
    p.restore();
}

// The frame renderer and the highlights on a canvas of the area.
Expected<FrameDrawn> drawMap(QPainter& p, QRect area, Dpi dpi, const ExportScene& scene, MapState& st,
                             DataSource& sections, DataSource& stations)
{
    Canvas canvas(area.size(), dpi);
    canvas.setBackColor(scene.back);
    st.mainPic = &canvas;
    st.mainPeregons = &sections.rows();
    st.polyDraw = nullptr;
    st.processEvents = nullptr;
    st.keepDrawing = nullptr;
    sections.setDatabase(scene.db);
    stations.setDatabase(scene.db);
    p.save();
    p.translate(area.topLeft());
    p.setClipRect(QRect(QPoint(0, 0), area.size()));
    canvas.paintOn(&p);
    if (st.style == MapStyle::Screen) screen::holdPainting(st, canvas);   // the scene goes on the page once
    Expected<FrameDrawn> drawn = renderFrame(st, canvas, sections, stations, scene.genOn);
    if (drawn && *drawn != FrameDrawn::NoSections && scene.drawHighlights) {
        MapPicture target{st, canvas, sections.rows(), stations.rows()};
        scene.drawHighlights(target);
    }
    screen::releasePainting(canvas);
    canvas.paintOn(nullptr);
    p.restore();
    return drawn;
}
// How much the composition is enlarged: the screen's map fitted into the page.
double zoomOf(QSize page, QSize screenMap)
{
    if (screenMap.isEmpty() || page.isEmpty()) return 1;
    return std::min(double(page.width()) / screenMap.width(), double(page.height()) / screenMap.height());
}

Expected<ExportDrawn> drawComposition(QPainter& p, QSize page, Dpi dpi, const ExportScene& scene, const ExportOptions& o,
                                      bool keepAspect)
{
    ExportDrawn out;
    QRect room(QPoint(0, 0), page);
    QRect titleBand;
    if (!o.title.isEmpty()) {
        const QFontMetricsF fm(exportFont(12, true), p.device());
        titleBand = QRect(0, 0, page.width(), static_cast<int>(std::ceil(fm.height() * 1.6)));
        room.setTop(titleBand.bottom() + 1);
    }
    std::optional<Legend> legend;
    const std::vector<LegendEntry> entries = legendEntries(scene.state, scene.highlights);
    if (o.legend) {
        // Symbol sizes follow the map's size: measured once on the whole room, then on the
        // map's own area.
        for (int pass = 0; pass < 2; ++pass) {
            QRect r = room;
            if (legend) r.setRight(room.right() - static_cast<int>(legend->size().width()) - kGap);
            auto made = Legend::make(scene.state, viewOf(scene.state.kadr, mapArea(r, frameAspect(scene), keepAspect).size(), dpi),
                                     *scene.db, entries);
            if (!made) return made.error();
            legend = std::move(*made);
        }
        room.setRight(room.right() - static_cast<int>(legend->size().width()) - kGap);
    }
    out.map = mapArea(room, frameAspect(scene), keepAspect);
    if (out.map.width() < 1 || out.map.height() < 1) return failure(QStringLiteral("Размер изображения слишком мал для карты"));

    MapState st = scene.state;
    DataSource sections, stations;
    auto drawn = drawMap(p, out.map, dpi, scene, st, sections, stations);
    if (!drawn) return drawn.error();
    if (*drawn == FrameDrawn::NoSections) return failure(QStringLiteral("В выбранном фрагменте отсутствуют элементы схемы"));
    whiteAround(p, QRect(QPoint(0, 0), page), out.map);

    if (o.scaleBar) {
        const std::optional<double> k = frameKmPerUnit(sections.rows(), *scene.db);
        out.bar = k ? roundScaleBar(*k, std::fabs(viewOf(st.kadr, out.map.size(), dpi).pixelsPerUnitX()), out.map.width() / 4.0)
                    : std::nullopt;
        if (out.bar) drawScaleBar(p, QPointF(out.map.left() + 12, out.map.bottom() - 8), *out.bar);
        else out.noBar = kNoScaleReason;
    }
    if (legend) legend->draw(p, QPointF(out.map.right() + 1 + kGap, out.map.top()));
    if (!titleBand.isEmpty()) drawTitle(p, titleBand, o.title);
    if (o.legend || !o.title.isEmpty()) {
        p.save();
        p.setPen(QColor(96, 96, 96));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(out.map).adjusted(0.5, 0.5, -0.5, -0.5));
        p.restore();
    }
    return out;
}

} // namespace

QString defaultTitle(const MapState& st, const QStringList& toolTitles)
{
    for (const QString& t : toolTitles)
        if (!t.isEmpty()) return t;
    return st.kadr == st.scheme ? QStringLiteral("Общая схема") : QStringLiteral("Фрагмент схемы");
}

Expected<ExportDrawn> drawExport(QPainter& p, QSize page, Dpi dpi, const ExportScene& scene, const ExportOptions& o,
                                 bool keepAspect)
{
    if (!scene.db) return failure(QStringLiteral("Нет открытой базы данных"));
    const double zoom = zoomOf(page, scene.screenMap);
    p.save();
    p.scale(zoom, zoom);
    auto drawn = drawComposition(p, (QSizeF(page) / zoom).toSize(), dpi, scene, o, keepAspect);
    p.restore();
    if (drawn) {
        const QRectF map(QPointF(drawn->map.topLeft()) * zoom, QSizeF(drawn->map.size()) * zoom);
        drawn->map = map.toRect();
        if (drawn->bar) drawn->bar->pixels *= zoom;
    }
    return drawn;
}

std::optional<ExportFormat> exportFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png")) return ExportFormat::Png;
    if (suffix == QLatin1String("svg")) return ExportFormat::Svg;
    if (suffix == QLatin1String("pdf")) return ExportFormat::Pdf;
    return std::nullopt;
}

QString exportProblem(const ExportTarget& t)
{
    const auto format = exportFormatOf(t.path);
    if (!format)
        return QStringLiteral("Неизвестный формат файла «%1»: имя должно кончаться на .png, .svg или .pdf")
            .arg(QFileInfo(t.path).fileName());
    const QSize s = t.pixels;
    if (*format != ExportFormat::Pdf && (s.width() < 1 || s.height() < 1 || s.width() > kMaxExportPixels || s.height() > kMaxExportPixels))
        return QStringLiteral("Недопустимый размер изображения %1×%2: каждая сторона от 1 до %3 пикселей")
            .arg(s.width()).arg(s.height()).arg(kMaxExportPixels);
    return QString();
}

namespace {

QString writeFailure(const QString& path, QFileDevice::FileError error)
{
    const QString why = error == QFileDevice::OpenError
        ? QStringLiteral("файл нельзя создать (нет такой папки или нет права записи в неё)")
        : QStringLiteral("запись прервалась (нет места на диске или устройство недоступно)");
    return QStringLiteral("Не удалось записать файл %1: %2").arg(QDir::toNativeSeparators(path), why);
}

Expected<ExportDrawn> paintPng(QSaveFile& file, const ExportTarget& t, const ExportScene& scene, const ExportOptions& o)
{
    QImage image(t.pixels, QImage::Format_RGB32);
    if (image.isNull())
        return failure(QStringLiteral("Недостаточно памяти для изображения %1×%2").arg(t.pixels.width()).arg(t.pixels.height()));
    const Dpi dpi = scene.dpi;
    image.setDotsPerMeterX(qRound(dpi.x / 0.0254));
    image.setDotsPerMeterY(qRound(dpi.y / 0.0254));
    image.fill(Qt::white);
    QPainter p(&image);
    auto drawn = drawExport(p, t.pixels, dpi, scene, o, false);
    p.end();
    if (!drawn) return drawn;
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) return failure(writeFailure(t.path, QFileDevice::WriteError));
    return drawn;
}

Expected<ExportDrawn> paintSvg(QSaveFile& file, const ExportTarget& t, const ExportScene& scene, const ExportOptions& o)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(t.pixels);
    svg.setViewBox(QRect(QPoint(0, 0), t.pixels));
    svg.setResolution(96);
    svg.setTitle(o.title.isEmpty() ? defaultTitle(scene.state, {}) : o.title);
    QPainter p(&svg);
    auto drawn = drawExport(p, t.pixels, Dpi{96, 96}, scene, o, false);
    p.end();
    return drawn;
}

Expected<ExportDrawn> paintPdf(QSaveFile& file, const ExportTarget& t, const ExportScene& scene, const ExportOptions& o)
{
    QPdfWriter pdf(&file);
    pdf.setResolution(96);   // the map's line widths and font sizes as on a screen
    pdf.setPageLayout(QPageLayout(QPageSize(t.page), t.orientation, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    pdf.setTitle(o.title.isEmpty() ? defaultTitle(scene.state, {}) : o.title);
    pdf.setCreator(QStringLiteral("Схема ж.д. сети СНГ"));
    QPainter p(&pdf);
    auto drawn = drawExport(p, QSize(pdf.width(), pdf.height()), Dpi{96, 96}, scene, o, true);
    p.end();
    return drawn;
}

// QSaveFile's commit does not see a write that failed in the final flush (a full disk): the
// data is flushed and checked first.
Expected<> finishSaving(QSaveFile& file, const QString& path)
{
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return failure(writeFailure(path, QFileDevice::WriteError));
    }
    if (!file.commit()) return failure(writeFailure(path, QFileDevice::WriteError));
    return {};
}

} // namespace

Expected<> saveFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return failure(writeFailure(path, QFileDevice::OpenError));
    file.write(bytes);
    return finishSaving(file, path);
}

Expected<ExportDrawn> writeExport(const ExportTarget& t, const ExportScene& scene, const ExportOptions& o)
{
    if (const QString problem = exportProblem(t); !problem.isEmpty()) return failure(problem);
    QSaveFile file(t.path);
    if (!file.open(QIODevice::WriteOnly)) return failure(writeFailure(t.path, QFileDevice::OpenError));
    Expected<ExportDrawn> drawn = failure(QString());
    switch (*exportFormatOf(t.path)) {
    case ExportFormat::Png: drawn = paintPng(file, t, scene, o); break;
    case ExportFormat::Svg: drawn = paintSvg(file, t, scene, o); break;
    case ExportFormat::Pdf: drawn = paintPdf(file, t, scene, o); break;
    }
    if (!drawn) {
        file.cancelWriting();
        return drawn;
    }
    if (auto done = finishSaving(file, t.path); !done) return done.error();
    return drawn;
}

} // namespace zd
