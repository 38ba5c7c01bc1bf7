#include "light/LightSql.h"

#include <QRegularExpression>

namespace zd {

QString lightStnCodes(bool dorCentres, bool otdCentres, bool dorJoints)
{
    const std::pair<bool, int> categories[] = {
        {dorCentres, kTipDorCentre}, {otdCentres, kTipOtdCentre}, {dorJoints, kTipDorJoint}};
    QString list, separator;
    for (const auto& [ticked, code] : categories) {
        if (!ticked) continue;
        list += separator + QStringLiteral(" ") + QString::number(code) + QStringLiteral(" ");
        separator = QStringLiteral(", ");
    }
    return list;
}

QString lightStnSql(const QString& codes, const QString& rusFilter)
{
    return QStringLiteral("SELECT Stn.KodStn,Stn.NazStn, Stn.StnX, Stn.StnY,Stn.TipStn, Stn.KodDor, "
                          "Doroga.KodDor, Doroga.KodContry FROM Stn, Doroga "
                          "WHERE Stn.KodDor = Doroga.KodDor AND TipStn IN (")
        + codes + QStringLiteral(")") + rusFilter;
}

QString tractionCondition(bool electric)
{
    return electric ? QStringLiteral("(EL = 3 OR EL = 4)") : QStringLiteral("EL = 2");
}

QString tracksCondition(const QString& comparison, const QString& tracks)
{
    return QStringLiteral("RL  ") + comparison + tracks;
}

QString lengthCondition(const QString& comparison, const QString& km)
{
    return QStringLiteral("LenPer  ") + comparison + km;
}

QString lightPerSql(const QString& condition, const QString& rusFilter)
{
    return QStringLiteral("SELECT KodStn1, KodStn2, Stn1X, Stn1Y, Stn2X, Stn2Y, LenPer, Peregon.KodDor, RL, EL, "
                          "Doroga.KodDor, Doroga.KodContry FROM Peregon, Doroga "
                          "WHERE   Peregon.KodDor = Doroga.KodDor AND ")
        + condition + rusFilter;
}

bool isLengthText(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    return number.match(text).hasMatch();
}

} // namespace zd
