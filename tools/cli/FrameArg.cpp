#include "FrameArg.h"

namespace zd::cli {

std::optional<Frame> takeFrame(Args& args)
{
    const std::optional<QString> text = args.take(QStringLiteral("--frame"));
    if (!text) return Frame{};
    const QStringList parts = text->split(u',');
    std::int32_t v[4] = {};
    bool ok = parts.size() == 4;
    for (int i = 0; ok && i < 4; ++i) v[i] = parts[i].trimmed().toInt(&ok);
    const Frame f{v[0], v[1], v[2], v[3]};
    if (!ok || !frameLargeEnough(f) || f.x1 >= f.x2 || f.y1 >= f.y2) {
        err(QStringLiteral("Неверный кадр: --frame %1 (нужно X1,Y1,X2,Y2 целыми числами, X1 < X2, Y1 < Y2, "
                           "стороны не меньше %2)").arg(*text).arg(kMinFrameExtent));
        return std::nullopt;
    }
    return f;
}

bool argsDone(const Args& args, const QString& usage)
{
    QString problem;
    if (args.missingValue()) problem = QStringLiteral("Параметру не задано значение");
    else if (!args.unknownOption().isEmpty()) problem = QStringLiteral("Неизвестный параметр: %1").arg(args.unknownOption());
    else if (!args.rest().isEmpty()) problem = QStringLiteral("Лишний аргумент: %1").arg(args.rest().first());
    if (problem.isEmpty()) return true;
    err(problem);
    err(usage);
    return false;
}

} // namespace zd::cli
