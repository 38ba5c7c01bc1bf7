#pragma once
// The SQL texts of the highlight by criteria, each built from its fixed pieces.
#include <QString>

namespace zd {

// Station type codes of the three categories.
inline constexpr int kTipDorCentre = 9;    // "Центры дорог"
inline constexpr int kTipOtdCentre = 7;    // "Центры отделений"
inline constexpr int kTipDorJoint = 8;     // "Стыки дорог"

// The code list of the ticked categories in the order centres of railways, centres of
// divisions, railway junctions: " 9 ,  7 ,  8 " with all three; empty with none.
QString lightStnCodes(bool dorCentres, bool otdCentres, bool dorJoints);

// The stations whose type is in the list, with their railway's country.
QString lightStnSql(const QString& codes, const QString& rusFilter);

// Section conditions: traction, number of tracks ("RL  >2"), length in km ("LenPer  <15.5").
QString tractionCondition(bool electric);
QString tracksCondition(const QString& comparison, const QString& tracks);
QString lengthCondition(const QString& comparison, const QString& km);

// The sections meeting the condition, with their railway's country.
QString lightPerSql(const QString& condition, const QString& rusFilter);

// A length the section query can take as it is: digits with at most one "." ("15", "15.5",
// ".5", "15.").
bool isLengthText(const QString& text);

} // namespace zd
