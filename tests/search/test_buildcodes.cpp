// Station codes of any script: the index is built, and the names of those stations are
// found as any other.
#include "TestDb.h"
#include "data/Database.h"
#include "search/IndexBuild.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zd;
using namespace zd::search;

TEST(SearchBuild, CodesWithLettersOfAnyScript)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("c.db"));
    ASSERT_TRUE(zdtest::writeSqlite(file, zdtest::schemaSql() + QStringLiteral(
        "INSERT INTO Contry VALUES('11','Россия');"
        "INSERT INTO Doroga VALUES('1','Октябрьская',0,0,1,1,'1',NULL,'11');"
        "INSERT INTO Stn VALUES('АБ-1','Тосно',1,1,'1',5,0),('Ё 7','Любань',2,2,'1',5,0),"
        " ('ΔΣ','Ушаки',3,3,'1',5,0),('12','Саблино',4,4,'1',5,0);")));
    auto db = Database::open(file);
    ASSERT_TRUE(db.ok());
    auto built = buildIndex(**db);
    ASSERT_TRUE(built.ok()) << built.error().message().toStdString();
    const NameIndex& ix = **built;
    for (const auto& [typed, code] : {std::pair{u"Тосно", "АБ-1"}, {u"lyuban", "Ё 7"}, {u"Ушаки", "ΔΣ"}, {u"12", "12"}}) {
        const std::vector<Hit> hits = ix.find(typed, 1);
        ASSERT_EQ(hits.size(), 1u) << code;
        EXPECT_EQ(ix.place(hits[0].entry).code, QString::fromUtf8(code));
    }
}
