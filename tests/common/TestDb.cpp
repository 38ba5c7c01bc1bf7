#include "TestDb.h"

#include "data/Schema.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace zdtest {

QString schemaSql() { return QString::fromStdString(zd::schema::fileSchemaSql()); }

QString sampleNetworkSql()
{
    return schemaSql() + QStringLiteral(
        "INSERT INTO Contry VALUES('11','Россия'),('21','Беларусь');"
        "INSERT INTO Doroga VALUES('1','Октябрьская',1000,1000,5000,5000,'100','Санкт-Петербург','11'),"
        " ('2','Белорусская',6000,1000,9000,5000,'200','Минск','21');"
        "INSERT INTO Stn VALUES('100','Санкт-Петербург',1000,1000,'1',9,0),"
        " ('101','Бологое',3000,3000,'1',8,0),"
        " ('102','Малая Вишера',2000,2000,'1',5,1),"
        " ('103','Чудово',2500,2500,'1',5,0),"
        " ('200','Минск',7000,3000,'2',9,0),"
        " ('201','Орша',8000,2000,'2',1,0);"
        "INSERT INTO Peregon VALUES('100','102',1000,1000,2000,2000,120.5,'1',2,3),"
        " ('102','101',2000,2000,3000,3000,210,'1',2,4),"
        " ('101','200',3000,3000,7000,3000,600,'2',1,2),"
        " ('200','201',7000,3000,8000,2000,212,'2',0,1);");
}

bool writeSqlite(const QString& path, const QString& script)
{
    QFile::remove(path);
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK;
    char* msg = nullptr;
    ok = ok && sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, &msg) == SQLITE_OK;
    EXPECT_TRUE(ok) << (msg ? msg : "cannot write test database");
    sqlite3_free(msg);
    sqlite3_close(db);
    return ok;
}

} // namespace zdtest
