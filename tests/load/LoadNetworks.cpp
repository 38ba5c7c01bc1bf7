#include "LoadNetworks.h"

#include "TestDb.h"

namespace zdtest {

QString secondNetworkSql()
{
    return sampleNetworkSql() + QStringLiteral(
        "INSERT INTO Doroga VALUES('3','Северная',2000,6000,4000,8000,'300','Ярославль','11');"
        "INSERT INTO Stn VALUES('300','Ярославль',3000,7000,'3',9,0),('301','Данилов',3500,7500,'3',5,0);"
        "INSERT INTO Peregon VALUES('300','301',3000,7000,3500,7500,70,'3',2,3);");
}

QString chainNetworkSql(int n)
{
    return sampleNetworkSql() + QStringLiteral(
        "WITH RECURSIVE k(i) AS (SELECT 1000 UNION ALL SELECT i + 1 FROM k WHERE i < %1) "
        "INSERT INTO Stn SELECT i, 'Станция ' || i, i % 80000, (i / 80000) * 10, '1', 1, 0 FROM k;"
        "WITH RECURSIVE k(i) AS (SELECT 1000 UNION ALL SELECT i + 1 FROM k WHERE i < %1) "
        "INSERT INTO Peregon SELECT i, i + 1, i % 80000, (i / 80000) * 10, (i + 1) % 80000, ((i + 1) / 80000) * 10, "
        "5, '1', 1, 2 FROM k;").arg(1000 + n);
}

} // namespace zdtest
