// zdcli stats: what a frame or a railway holds — stations by type, sections and their
// kilometres by traction, tracks, railway and country — as the statistics window counts it.
#include "Cli.h"
#include "Commands.h"
#include "FrameArg.h"

#include "export/Stats.h"

namespace zd::cli {

namespace {
const QString kUsageText = QStringLiteral(
    "Использование: zdcli stats --db ФАЙЛ [--frame X1,Y1,X2,Y2 | --railway КОД] [--russia] [--format text|csv|json]");
}

int runStats(const QStringList& arguments)
{
    Args args(arguments);
    Args rest = args;
    rest.take(QStringLiteral("--db"));
    const auto format = takeFormat(rest);
    const std::optional<Frame> frame = takeFrame(rest);
    const std::optional<QString> railway = rest.take(QStringLiteral("--railway"));
    const bool russia = rest.flag(QStringLiteral("--russia"));
    if (!format || !frame || !argsDone(rest, kUsageText)) return kUsage;
    StatsScope scope;
    scope.frame = FrameBounds{frame->x1, frame->y1, frame->x2, frame->y2};
    if (railway) {
        scope.kind = StatsScope::Railway;
        scope.kodDor = *railway;
    }
    const std::shared_ptr<Database> network = openDatabase(args);
    if (!network) return kFailed;
    auto stats = countStats(*network, scope, russia);
    if (!stats) {
        err(stats.error().message());
        return kFailed;
    }
    const QString text = *format == Format::Json ? statsJson(*stats) : *format == Format::Csv ? statsCsv(*stats) : statsText(*stats);
    out(text.endsWith(u'\n') ? text.chopped(1) : text);
    if (stats->stations == 0 && stats->sections == 0) {
        err(railway ? QStringLiteral("У дороги %1 нет ни станций, ни перегонов").arg(*railway)
                    : QStringLiteral("В кадре нет ни станций, ни перегонов"));
        return kFailed;
    }
    return kOk;
}

} // namespace zd::cli
