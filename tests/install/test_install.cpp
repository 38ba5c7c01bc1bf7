// The installed tree: `cmake --install` into a folder of its own, and the program run
// from another folder finds its network, help and pointer file under share/zdschema.
#include "TestDb.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Ran { int code; QByteArray out, err; };

Ran run(const QString& program, const QStringList& args, const QString& cwd)
{
    QProcess p;
    p.setWorkingDirectory(cwd);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    const bool ended = p.waitForFinished(120000);
    EXPECT_TRUE(ended) << program.toStdString() << " did not end";
    if (!ended) p.kill();
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

class InstalledTree : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        prefix = new QTemporaryDir;
        const Ran installed = run(QStringLiteral("cmake"),
                                  {QStringLiteral("--install"), QStringLiteral(ZD_BUILD_DIR), QStringLiteral("--prefix"), prefix->path()},
                                  prefix->path());
        ASSERT_EQ(installed.code, 0) << installed.err.toStdString();
    }
    static void TearDownTestSuite() { delete prefix; }
    static QString at(const char* rel) { return prefix->filePath(QLatin1String(rel)); }
    static inline QTemporaryDir* prefix = nullptr;
    QTemporaryDir elsewhere;
};

TEST_F(InstalledTree, HoldsTheProgramItsFilesAndTheMenuEntry)
{
    for (const char* rel : {"bin/zdschema", "share/zdschema/ZdShort.mdb", "share/zdschema/ZDHELP.HLP",
                            "share/zdschema/handgrab.cur", "share/applications/zdschema.desktop",
                            "share/icons/hicolor/scalable/apps/zdschema.svg"}) {
        SCOPED_TRACE(rel);
        EXPECT_TRUE(QFileInfo(at(rel)).isFile());
    }
    EXPECT_TRUE(QFileInfo(at("bin/zdschema")).isExecutable());
    QFile desktop(at("share/applications/zdschema.desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(desktop.readAll());
    EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=zdschema %f\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nIcon=zdschema\n")));
}

// Ran from another folder, the program opens the installed demo network and paints its
// first frame; a file of the command line is opened instead, a missing one is said.
TEST_F(InstalledTree, RunsFromAnotherFolder)
{
    const QString program = at("bin/zdschema");
    const Ran demo = run(program, {QStringLiteral("--startup-report")}, elsewhere.path());
    ASSERT_EQ(demo.code, 0) << demo.err.toStdString();
    const QJsonObject report = QJsonDocument::fromJson(demo.out).object();
    EXPECT_GT(report.value(QStringLiteral("first_frame_ms")).toDouble(), 0) << demo.out.toStdString();
    EXPECT_GE(report.value(QStringLiteral("load_ms")).toDouble(), 0);

    ASSERT_TRUE(zdtest::writeSqlite(elsewhere.filePath("own.db"), zdtest::sampleNetworkSql()));
    const Ran own = run(program, {QStringLiteral("--startup-report"), QStringLiteral("own.db")}, elsewhere.path());
    EXPECT_EQ(own.code, 0) << own.err.toStdString();

    const Ran missing = run(program, {QStringLiteral("--startup-report"), QStringLiteral("none.db")}, elsewhere.path());
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(QString::fromUtf8(missing.err).contains(
        QStringLiteral("Отсутствует файл базы данных ") + QDir(elsewhere.path()).filePath("none.db")))
        << missing.err.toStdString();
}

} // namespace
