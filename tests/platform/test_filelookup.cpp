#include "platform/FileLookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zd;

TEST(FileLookup, NamesAreMatchedWithoutCaseAndWildcardsNeverMatch)
{
    QTemporaryDir dir;
    QFile f(dir.filePath("ZDHELP.HLP"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QDir(dir.path()).mkdir("sub.dir");
    struct Case { const char* name; QString path; bool exists; };
    const Case cases[] = {
        {"exact", dir.filePath("ZDHELP.HLP"), true},
        {"other case", dir.filePath("ZdHelp.hlp"), true},
        {"doubled separator", dir.path() + "//ZdHelp.hlp", true},
        {"wildcard", dir.filePath("*.HLP"), false},
        {"star dot inside", dir.filePath("ZDHELP*.HLP"), false},
        {"empty", QString(), false},
        {"missing", dir.filePath("ZdShort.mdb"), false},
        {"a directory", dir.filePath("SUB.DIR"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fileExists(c.path), c.exists);
    }
    EXPECT_EQ(findFile(dir.filePath("zdhelp.hlp")), dir.filePath("ZDHELP.HLP"));
}
