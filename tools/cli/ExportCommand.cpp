// zdcli export: the frame drawn as the map window draws it, with the renderer on a canvas
// of the size, into a PNG, SVG or PDF file, without a window.
#include "Cli.h"
#include "Commands.h"
#include "FrameArg.h"

#include "export/ExportRender.h"

#include <QRegularExpression>

namespace zd::cli {

namespace {

const QString kUsageText = QStringLiteral(
    "Использование: zdcli export --db ФАЙЛ --out ФАЙЛ.png|svg|pdf [--frame X1,Y1,X2,Y2] [--size ШxВ] "
    "[--page A4|A3] [--portrait] [--legend] [--scale-bar] [--title ТЕКСТ] [--russia|--cis]");

struct Request {
    ExportTarget target;
    ExportOptions options;
    Frame frame;
    std::int16_t rusMode = 0;
};

// The picture's size: --size W x H, or 1600 wide at the frame's aspect ratio.
bool takeSize(Args& args, Request& r)
{
    const std::optional<QString> size = args.take(QStringLiteral("--size"));
    if (!size) {
        const double aspect = (static_cast<double>(r.frame.x2) - r.frame.x1) / (static_cast<double>(r.frame.y2) - r.frame.y1);
        r.target.pixels = QSize(1600, std::max(1, qRound(1600 / aspect)));
        return true;
    }
    const auto m = QRegularExpression(QStringLiteral("^(\\d{1,9})[xXх×](\\d{1,9})$")).match(size->trimmed());
    if (!m.hasMatch()) {
        err(QStringLiteral("Неверный размер: --size %1 (нужно ШИРИНАxВЫСОТА в пикселях)").arg(*size));
        return false;
    }
    r.target.pixels = QSize(m.captured(1).toInt(), m.captured(2).toInt());
    return true;
}

bool takePage(Args& args, Request& r)
{
    const QString page = args.take(QStringLiteral("--page")).value_or(QStringLiteral("A4")).toUpper();
    if (page != QLatin1String("A4") && page != QLatin1String("A3")) {
        err(QStringLiteral("Неверный формат страницы: --page %1 (A4 или A3)").arg(page));
        return false;
    }
    r.target.page = page == QLatin1String("A3") ? QPageSize::A3 : QPageSize::A4;
    r.target.orientation = args.flag(QStringLiteral("--portrait")) ? QPageLayout::Portrait : QPageLayout::Landscape;
    return true;
}

bool takeRequest(Args& args, Request& r)
{
    r.target.path = args.take(QStringLiteral("--out")).value_or(QString());
    const std::optional<Frame> frame = takeFrame(args);
    if (!frame) return false;
    r.frame = *frame;
    if (!takeSize(args, r) || !takePage(args, r)) return false;
    r.options.legend = args.flag(QStringLiteral("--legend"));
    r.options.scaleBar = args.flag(QStringLiteral("--scale-bar"));
    r.options.title = args.take(QStringLiteral("--title")).value_or(QString());
    const bool russia = args.flag(QStringLiteral("--russia")), cis = args.flag(QStringLiteral("--cis"));
    if (russia && cis) {
        err(QStringLiteral("Параметры --russia и --cis несовместимы"));
        return false;
    }
    r.rusMode = russia ? 1 : cis ? 2 : 0;
    if (r.target.path.isEmpty()) {
        err(QStringLiteral("Не указан файл: --out ФАЙЛ.png|svg|pdf"));
        return false;
    }
    return true;
}

} // namespace

int runExport(const QStringList& arguments)
{
    Args args(arguments);
    Request r;
    Args rest = args;
    rest.take(QStringLiteral("--db"));
    if (!takeRequest(rest, r) || !argsDone(rest, kUsageText)) return kUsage;
    if (const QString problem = exportProblem(r.target); !problem.isEmpty()) {
        err(problem);
        return kFailed;
    }
    const std::shared_ptr<Database> network = openDatabase(args);
    if (!network) return kFailed;
    ExportScene scene;
    scene.db = network;
    scene.state.kadr = r.frame;
    scene.state.rusMode = r.rusMode;
    auto written = writeExport(r.target, scene, r.options);
    if (!written) {
        err(written.error().message());
        return kFailed;
    }
    if (r.options.scaleBar && !written->noBar.isEmpty()) err(written->noBar);
    return kOk;
}

} // namespace zd::cli
