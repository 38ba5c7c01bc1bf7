#include "data/Database.h"
#include "data/RowSet.h"
#include "platform/MsgBox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

// Opens the network database beside the program and reports what it holds.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(zd::kAppTitle);
    const QString dbPath = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ZdShort.mdb"));
    if (!QFileInfo::exists(dbPath)) {
        zd::msgBox(QStringLiteral("Отсутствует файл базы данных ") + QDir::toNativeSeparators(dbPath), zd::MsgIcon::Critical);
        return 1;
    }
    auto db = zd::Database::open(dbPath);
    if (!db) {
        zd::msgBox(db.error().message(), zd::MsgIcon::Critical);
        return 1;
    }
    for (const char* table : {"Stn", "Peregon", "Doroga", "Contry"}) {
        auto rs = (*db)->query(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table));
        std::printf("%s: %s\n", table, rs ? qPrintable(rs->textAt(0, 0)) : "?");
    }
    return 0;
}
