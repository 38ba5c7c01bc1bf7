// Every input of fuzz/regress once broke the loader (a crash, a leak, a hang or undefined
// behaviour found by the fuzz target). Each is opened here as ZdShort.mdb: the loader must
// either give a database whose frame queries run, or an error naming the file and a cause.
#include "TestDb.h"
#include "data/Database.h"
#include "data/Queries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cctype>
#include <gtest/gtest.h>

using namespace zd;

namespace {

const QString kRegressDir = QStringLiteral(ZD_SOURCE_DIR "/fuzz/regress");

std::vector<std::string> regressInputs()
{
    std::vector<std::string> names;
    for (const QString& n : QDir(kRegressDir).entryList(QDir::Files, QDir::Name))
        if (n != QLatin1String("README.md")) names.push_back(n.toStdString());
    return names;
}

std::string rowName(const ::testing::TestParamInfo<std::string>& info)
{
    std::string s = info.param;
    for (char& c : s)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return s;
}

class LoaderRegress : public ::testing::TestWithParam<std::string> {};

} // namespace

TEST_P(LoaderRegress, OpensOrReportsWithoutHarm)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ZdShort.mdb"));
    ASSERT_TRUE(QFile::copy(kRegressDir + u'/' + QString::fromStdString(GetParam()), path));

    auto opened = Database::open(path);
    if (!opened) {
        EXPECT_EQ(opened.error().file, QDir(dir.path()).absoluteFilePath(QStringLiteral("ZdShort.mdb")));
        EXPECT_FALSE(opened.error().cause.isEmpty());
        return;
    }
    const FrameBounds whole{0, -1000, 84000, 36000};
    for (int rusMode : {0, 1}) {
        auto sections = (*opened)->query(frameSectionsSql(whole, rusFilter(rusMode)));
        EXPECT_TRUE(sections.ok()) << sections.error().message().toStdString();
        auto stations = (*opened)->query(frameStationsSql(whole, rusFilter(rusMode), true));
        EXPECT_TRUE(stations.ok()) << stations.error().message().toStdString();
    }
}

// A view is a query the file brings along; one that never ends held the start-up for good.
// Only stored tables are read, so a view in place of a table is a missing table.
TEST(LoaderSources, AViewStandingForATableIsAMissingTable)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ZdShort.mdb"));
    QString script = zdtest::sampleNetworkSql();
    script += QStringLiteral("ALTER TABLE Stn RENAME TO StnRows;"
                             "CREATE VIEW Stn AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c)"
                             " SELECT x AS KodStn, x AS NazStn, x AS StnX, x AS StnY, '1' AS KodDor,"
                             " 9 AS TipStn, 0 AS StnBranch FROM c;");
    ASSERT_TRUE(zdtest::writeSqlite(path, script));
    auto opened = Database::open(path);
    ASSERT_FALSE(opened.ok());
    EXPECT_TRUE(opened.error().cause.contains(QStringLiteral("Stn"))) << opened.error().message().toStdString();
}

// Without its inputs the parameterised test above has no row and would pass unseen.
TEST(LoaderRegressInputs, AreKeptInTheRepository)
{
    EXPECT_FALSE(regressInputs().empty()) << "no saved input in " << kRegressDir.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Saved, LoaderRegress, ::testing::ValuesIn(regressInputs()), rowName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(LoaderRegress);
