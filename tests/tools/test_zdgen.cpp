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
    auto stn = (*db)->query("SELECT KodStn, StnX, StnY, TipStn, StnBranch FROM Stn");
    auto per = (*db)->query("SELECT KodStn1, KodStn2, Stn1X, Stn1Y, Stn2X, Stn2Y, RL, EL FROM Peregon");
    ASSERT_TRUE(stn.ok() && per.ok());
    EXPECT_EQ(stn->recordCount(), 2000);

    QHash<QString, QPair<double, double>> pos;
    QSet<int> types;
    int branches = 0;
    for (stn->moveFirst(); !stn->eof(); stn->moveNext()) {
        const double x = stn->number(1), y = stn->number(2);
        EXPECT_TRUE(x >= 0 && x <= 84000 && y >= -1000 && y <= 36000);
        pos.insert(stn->text(0), {x, y});
        types.insert(static_cast<int>(stn->number(3)));
        branches += stn->number(4) == 1;
    }
    EXPECT_EQ(pos.size(), 2000);   // codes are unique
    for (int t = 1; t <= 9; ++t) EXPECT_TRUE(types.contains(t)) << t;
    EXPECT_GT(branches, 0);

    // Union of the section ends: one component.
    QHash<QString, QString> parent;
    std::function<QString(const QString&)> root = [&](const QString& k) {
        QString r = parent.value(k, k);
        return r == k ? k : (parent[k] = root(r));
    };
    QSet<int> rl, el;
    for (per->moveFirst(); !per->eof(); per->moveNext()) {
        const QString a = per->text(0), b = per->text(1);
        ASSERT_TRUE(pos.contains(a) && pos.contains(b));
        EXPECT_EQ(pos[a], qMakePair(per->number(2), per->number(3)));
        EXPECT_EQ(pos[b], qMakePair(per->number(4), per->number(5)));
        parent[root(a)] = root(b);
        rl.insert(static_cast<int>(per->number(6)));
        el.insert(static_cast<int>(per->number(7)));
    }
    QSet<QString> roots;
    for (auto it = pos.cbegin(); it != pos.cend(); ++it) roots.insert(root(it.key()));
    EXPECT_EQ(roots.size(), 1);
    EXPECT_EQ(rl, (QSet<int>{0, 1, 2}));
    EXPECT_EQ(el, (QSet<int>{0, 1, 2, 3, 4}));
    auto russia = (*db)->query("SELECT count(*) FROM Doroga WHERE KodContry = '11'");
    ASSERT_TRUE(russia.ok());
    EXPECT_GT(russia->number(0), 0);
}
