// The station list read in name order from the loaded index gives the rows, and the order
// of stations of one name, that sorting the joined rows gave.
#include "TestDb.h"

#include "data/Database.h"
#include "data/Queries.h"
#include "data/SqlFunctions.h"
#include "stnfind/FindQueries.h"

#include <QHash>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace zd;

namespace {

// 2,400 stations on a Russian railway and a foreign one, their names from a few spellings
// (case, ё, Latin, hyphens) so that many stations share a name, of all four categories,
// stored in no order of name, railway or place.
QString sharedNamesNetworkSql()
{
    return zdtest::sampleNetworkSql() + QStringLiteral(
        "WITH RECURSIVE k(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM k WHERE i < 2399) "
        "INSERT INTO Stn SELECT 5000 + i, "
        " CASE i % 7 WHEN 0 THEN 'Орёл' WHEN 1 THEN 'Орел' WHEN 2 THEN 'орел' WHEN 3 THEN 'Ивановка' "
        " WHEN 4 THEN 'Ивановка-2' WHEN 5 THEN 'Zelenaya' ELSE 'Ёлкино' END, "
        " (i * 7919) % 3001, (i * 104729) % 2003, CASE i % 3 WHEN 0 THEN '1' ELSE '2' END, 5 + i % 5, 0 FROM k;");
}

// The order of a sort of the joined rows: the railways first, each one's stations by
// place, then a sort by name that keeps that order among equal names.
QString sortedJoinSql(const QString& where)
{
    return QStringLiteral("SELECT Stn.KodStn FROM Doroga CROSS JOIN Stn WHERE +Stn.KodDor = Doroga.KodDor ")
         + where + QStringLiteral(" ORDER BY Doroga.KodDor, Stn.StnX, Stn.StnY, Stn.TipStn, Stn.StnBranch, Stn.KodStn");
}

QStringList codes(RowSet rows)
{
    QStringList out;
    const int kod = rows.column(u"KodStn");
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) out << rows.text(kod);
    return out;
}

TEST(StationListOrder, EachCategoryReadInNameOrderAsTheSortedJoinGaveIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("net.db"));
    ASSERT_TRUE(zdtest::writeSqlite(path, sharedNamesNetworkSql()));
    auto db = Database::open(path);
    ASSERT_TRUE(db) << db.error().message().toStdString();
    const char* categories[] = {"", " AND Stn.TipStn = 9", " AND Stn.TipStn = 8", " AND Stn.TipStn = 7"};
    for (int area = 0; area < 4; ++area) {
        for (bool russia : {false, true}) {
            SCOPED_TRACE(testing::Message() << "category " << area << (russia ? ", Russia only" : ""));
            const QString filter = russia ? QStringLiteral(" AND Doroga.KodContry = '11'") : QString();
            auto list = (*db)->query(listStnSql(area, russia ? rusFilter(1) : QString()));
            ASSERT_TRUE(list);
            // The expected order: the join in railway and place order, stably sorted by name.
            auto joined = (*db)->query(sortedJoinSql(QLatin1String(categories[area]) + filter));
            ASSERT_TRUE(joined);
            QStringList expected = codes(*joined);
            auto names = (*db)->query(QStringLiteral("SELECT KodStn, NazStn FROM Stn"));
            QHash<QString, QByteArray> nameOf;
            for (names->moveFirst(); !names->eof(); names->moveNext())
                nameOf[names->text(0)] = names->text(1).toUtf8();
            std::stable_sort(expected.begin(), expected.end(), [&](const QString& a, const QString& b) {
                return russianCompare(nameOf[a], nameOf[b]) < 0;
            });
            EXPECT_EQ(codes(*list), expected);
            EXPECT_GT(expected.size(), area == 0 ? 700 : 2);
        }
    }
}

} // namespace
