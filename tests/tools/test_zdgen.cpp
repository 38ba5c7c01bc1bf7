#include "data/Database.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zd;

namespace {

QString generate(const QTemporaryDir& dir, const QString& name, int stations, int seed)
{
    const QString out = dir.filePath(name);
    QProcess p;
    p.start(QStringLiteral(ZD_BUILD_DIR "/zdgen"),
            {"--stations", QString::number(stations), "--seed", QString::number(seed), "--out", out});
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return out;
}

QByteArray digest(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

TEST(Generator, SameSeedSameFileOtherSeedOtherFile)
{
    QTemporaryDir dir;
    const QString a = generate(dir, "a.mdb", 2000, 5), b = generate(dir, "b.mdb", 2000, 5);
    const QString c = generate(dir, "c.mdb", 2000, 6);
    EXPECT_EQ(digest(a), digest(b));
    EXPECT_NE(digest(a), digest(c));
}

TEST(Generator, ConnectedNetworkInsideTheSchemeWithTheMixOfCodes)
{
    QTemporaryDir dir;
    auto db = Database::open(generate(dir, "net.mdb", 2000, 1));
    ASSERT_TRUE(db.ok()) << db.error().message().toStdString();
    struct Rule { const char* name; const char* sql; double value; };
    const Rule rules[] = {
        {"stations", "SELECT count(*) FROM Stn", 2000},
        {"distinct codes", "SELECT count(DISTINCT KodStn) FROM Stn", 2000},
        {"outside the scheme", "SELECT count(*) FROM Stn WHERE StnX NOT BETWEEN 0 AND 84000 OR StnY NOT BETWEEN -1000 AND 36000", 0},
        {"types 1 to 9", "SELECT count(DISTINCT TipStn) FROM Stn WHERE TipStn BETWEEN 1 AND 9", 9},
        {"some branching", "SELECT count(*) > 0 FROM Stn WHERE StnBranch = 1", 1},
        {"section ends elsewhere than their stations", "SELECT count(*) FROM Peregon p"
         " LEFT JOIN Stn a ON a.KodStn = p.KodStn1 AND a.StnX = p.Stn1X AND a.StnY = p.Stn1Y"
         " LEFT JOIN Stn b ON b.KodStn = p.KodStn2 AND b.StnX = p.Stn2X AND b.StnY = p.Stn2Y"
         " WHERE a.KodStn IS NULL OR b.KodStn IS NULL", 0},
        {"stations without sections",
         "SELECT count(*) FROM Stn WHERE KodStn NOT IN (SELECT KodStn1 FROM Peregon UNION SELECT KodStn2 FROM Peregon)", 0},
        {"track codes", "SELECT count(DISTINCT RL) FROM Peregon WHERE RL BETWEEN 0 AND 2", 3},
        {"traction codes", "SELECT count(DISTINCT EL) FROM Peregon WHERE EL BETWEEN 0 AND 4", 5},
        {"Russian railways", "SELECT count(*) > 0 FROM Doroga WHERE KodContry = '11'", 1},
    };
    for (const Rule& r : rules) {
        auto rs = (*db)->query(QString::fromUtf8(r.sql));
        ASSERT_TRUE(rs.ok()) << r.sql;
        EXPECT_EQ(rs->number(0), r.value) << r.name;
    }
    // The union of the section ends is one piece.
    auto per = (*db)->query("SELECT KodStn1, KodStn2 FROM Peregon");
    ASSERT_TRUE(per.ok());
    QHash<QString, QString> parent;
    std::function<QString(const QString&)> root = [&](const QString& k) {
        QString r = parent.value(k, k);
        return r == k ? k : (parent[k] = root(r));
    };
    for (per->moveFirst(); !per->eof(); per->moveNext()) parent[root(per->text(0))] = root(per->text(1));
    QSet<QString> roots;
    for (auto it = parent.cbegin(); it != parent.cend(); ++it) roots.insert(root(it.key()));
    EXPECT_EQ(roots.size(), 1);
}
