#include "identify/SuperTxt.h"

#include "data/ZdTypes.h"
#include "render/Canvas.h"

#include <QStringList>

namespace zd {

namespace {

QString trimmedEnd(QString s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == u' ') --n;
    s.truncate(n);
    return s;
}

QString trimmedStart(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && s.at(i) == u' ') ++i;
    return s.mid(i);
}

// The line that overflowed, shortened to what goes on the current output line.
template <typename Width>
QString cutOverflow(QString line, const CarryLimit& carry, qsizetype lastBlank,
                    float lastBlankWidth, const Width& width)
{
    line.chop(1);
    if (lastBlank > 0) {
        if (const auto* chars = std::get_if<std::int32_t>(&carry)) {
            if (line.size() - lastBlank <= *chars) line.truncate(lastBlank);
        } else if (const auto* limit = std::get_if<double>(&carry)) {
            if (double(width(line)) - lastBlankWidth <= *limit) line.truncate(lastBlank);
        }
    }
    return line;
}

} // namespace

QString WrapText(const TextMeasure& measure, const QString& text, float maxWidth,
                 const CarryLimit& carry)
{
    // Widths are compared as the 32-bit values the picture reports.
    const auto width = [&measure](const QString& s) { return static_cast<float>(measure(s)); };
    if (width(text) <= maxWidth) return text;

    QStringList lines{QString()};
    QString rest = text, line;
    qsizetype lastBlank = 0;
    float lastBlankWidth = 0;
    while (!rest.isEmpty()) {
        const QChar seen = line.isEmpty() ? rest.at(0) : rest.at(line.size() - 1);
        if (seen == u' ') {
            lastBlank = line.size();
            lastBlankWidth = width(line);
        }
        if (width(line) <= maxWidth) {
            if (line.size() < rest.size()) {
                line += rest.at(line.size());
            } else {
                lines.last() = line;
                rest.clear();
            }
            continue;
        }
        line = cutOverflow(line, carry, lastBlank, lastBlankWidth, width);
        if (line.isEmpty()) {   // narrower than one character: it gets a line of its own
            line = rest.left(1);
            if (rest.size() == 1) {
                lines.last() = line;
                break;
            }
        }
        lines.last() = trimmedEnd(line);
        lines.append(QString());
        rest = trimmedStart(rest.mid(line.size()));
        line.clear();
        lastBlank = 0;
        lastBlankWidth = 0;
    }
    return lines.join(u'\n');
}

QString WrapText(Canvas& target, const QString& text, float maxWidth, const CarryLimit& carry,
                 std::int16_t clear)
{
    if (clear == kTrue) {
        target.setCurrentY(target.scaleTop());
        target.clearPicture();
    }
    return WrapText([&target](const QString& s) { return target.textWidth(s); }, text, maxWidth,
                    carry);
}

} // namespace zd
