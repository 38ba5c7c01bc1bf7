#include "RouteTestNet.h"

#include "TestDb.h"
#include "route/NetworkRows.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zdtest {

QString routeCountriesSql()
{
    return QStringLiteral("INSERT INTO Contry VALUES('11','Россия'),('21','Беларусь');"
                          "INSERT INTO Doroga VALUES('1','Октябрьская',0,0,0,0,'','','11'),('2','Белорусская',0,0,0,0,'','','21');");
}

QString networkSql(const std::vector<NetStation>& stations, const std::vector<NetSection>& sections)
{
    QString sql = routeCountriesSql();
    auto at = [&](const char* code) {
        for (const NetStation& s : stations)
            if (qstrcmp(s.code, code) == 0) return s;
        ADD_FAILURE() << "no position for " << code;
        return NetStation{code, 0, 0};
    };
    for (const NetStation& s : stations)
        if (s.inStn)
            sql += QStringLiteral("INSERT INTO Stn VALUES('%1','%2',%3,%4,'1',5,0);")
                       .arg(QLatin1String(s.code), s.name ? QString::fromUtf8(s.name) : QStringLiteral("Станция ") + QLatin1String(s.code))
                       .arg(s.x).arg(s.y);
    for (const NetSection& p : sections) {
        const NetStation a = at(p.a), b = at(p.b);
        sql += QStringLiteral("INSERT INTO Peregon VALUES('%1','%2',%3,%4,%5,%6,%7,'%8',%9,%10);")
                   .arg(QLatin1String(p.a), QLatin1String(p.b)).arg(a.x).arg(a.y).arg(b.x).arg(b.y)
                   .arg(QLatin1String(p.km), QLatin1String(p.dor)).arg(p.rl).arg(p.el);
    }
    return sql;
}

std::shared_ptr<const zd::route::RouteGraph> routeGraph(const QString& inserts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("net.db"));
    if (!writeSqlite(path, schemaSql() + inserts)) return nullptr;
    auto db = zd::Database::open(path);
    EXPECT_TRUE(db.ok()) << (db ? "" : db.error().message().toStdString());
    if (!db) return nullptr;
    auto rows = zd::route::readNetwork(**db);
    EXPECT_TRUE(rows.ok());
    return rows ? zd::route::RouteGraph::build(std::move(*rows)) : nullptr;
}

void expectJoined(const zd::route::Route& r)
{
    ASSERT_EQ(r.stations.size(), r.sections.size() + 1);
    double sum = 0;
    for (std::size_t i = 0; i < r.sections.size(); ++i) {
        const auto& s = r.sections[i];
        EXPECT_EQ(s.fromCode, r.stations[i].code) << "section " << i;
        EXPECT_EQ(s.toCode, r.stations[i + 1].code) << "section " << i;
        if (i > 0) {
            EXPECT_EQ(s.x1, r.sections[i - 1].x2) << "section " << i;
            EXPECT_EQ(s.y1, r.sections[i - 1].y2) << "section " << i;
        }
        sum += s.km;
    }
    EXPECT_NEAR(r.km, sum, 1e-6);
}

QString stationCodes(const zd::route::Route& r)
{
    QStringList codes;
    for (const auto& s : r.stations) codes << s.code;
    return codes.join(u' ');
}

} // namespace zdtest
