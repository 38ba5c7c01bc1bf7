#include "HostileDb.h"

#include "TestDb.h"

#include <QStringList>
#include <ostream>

namespace hostile {

namespace {

QString q(const QString& s) { return QString(s).replace(u'\'', QStringLiteral("''")); }

// "UPDATE table SET c1 = v, c2 = v ..." over every number column of the table.
QString setNumbers(const char* table, const QString& value, const QString& where)
{
    QStringList sets;
    for (const Column& c : columns())
        if (c.number && qstrcmp(c.table, table) == 0) sets << QStringLiteral("%1 = %2").arg(QLatin1String(c.name), value);
    return QStringLiteral("UPDATE %1 SET %2%3;").arg(QLatin1String(table), sets.join(u", "), where);
}

} // namespace

const std::vector<Column>& columns()
{
    static const std::vector<Column> cols = {
        {"Stn", "KodStn", false},     {"Stn", "NazStn", false},      {"Stn", "StnX", true},
        {"Stn", "StnY", true},        {"Stn", "KodDor", false},      {"Stn", "TipStn", true},
        {"Stn", "StnBranch", true},   {"Peregon", "KodStn1", false}, {"Peregon", "KodStn2", false},
        {"Peregon", "Stn1X", true},   {"Peregon", "Stn1Y", true},    {"Peregon", "Stn2X", true},
        {"Peregon", "Stn2Y", true},   {"Peregon", "LenPer", true},   {"Peregon", "KodDor", false},
        {"Peregon", "RL", true},      {"Peregon", "EL", true},       {"Doroga", "KodDor", false},
        {"Doroga", "NazDor", false},  {"Doroga", "XL", true},        {"Doroga", "YL", true},
        {"Doroga", "XR", true},       {"Doroga", "YR", true},        {"Doroga", "KodCentr", false},
        {"Doroga", "NazCentr", false}, {"Doroga", "KodContry", false}, {"Contry", "KodContry", false},
        {"Contry", "NazContry", false},
    };
    return cols;
}

const std::vector<Odd>& oddNumberTexts()
{
    static const std::vector<Odd> v = {
        {"abc", "'abc'"}, {"12abc", "'12abc'"}, {"emptytext", "''"},
        {"blank5", "' 5'"}, {"1e3", "'1e3'"}, {"0x10", "'0x10'"},
    };
    return v;
}

const std::vector<Odd>& extremeCoordinates()
{
    static const std::vector<Odd> v = {
        {"int32max", "2147483647"},          {"int32min", "-2147483648"},
        {"1e12", "1e12"},                    {"int64max", "9223372036854775807"},
        {"int64min", "-9223372036854775808"}, {"far1e6", "1000000"},
        {"farneg", "-500000"},               {"1e308", "1e308"},
    };
    return v;
}

QString baseNetworkSql()
{
    return zdtest::schemaSql() + QStringLiteral(
        "INSERT INTO Contry VALUES('11','Россия'),('21','Беларусь'),('31','Латвия');"
        "INSERT INTO Doroga VALUES('1','Октябрьская',1000,1000,5000,5000,'100','Санкт-Петербург','11'),"
        " ('2','Белорусская',6000,1000,9000,5000,'200','Минск','21'),"
        " ('3','Московская',40000,15000,45000,20000,'300','Центральная','11'),"
        " ('4','Латвийская',60000,25000,70000,30000,NULL,NULL,'31');"
        "INSERT INTO Stn VALUES('100','Санкт-Петербург',1000,1000,'1',9,0),"
        " ('101','Бологое',3000,3000,'1',8,0), ('102','Малая Вишера',2000,2000,'1',5,1),"
        " ('103','Чудово',2500,2500,'1',7,0), ('200','Минск',7000,3000,'2',9,0),"
        " ('201','Орша',8000,2000,'2',1,0), ('300','Центральная',42000,17500,'3',9,0),"
        " ('301','Северная',42000,16000,'3',7,0), ('302','Южная',43000,19000,'3',8,1),"
        " ('303','Полевая',41000,18000,'3',5,0), ('400','Рига',65000,27000,'4',9,0),"
        " ('401','Елгава',66000,28000,'4',4,0);"
        "INSERT INTO Peregon VALUES('100','102',1000,1000,2000,2000,120.5,'1',2,3),"
        " ('102','103',2000,2000,2500,2500,50,'1',2,4), ('103','101',2500,2500,3000,3000,60,'1',2,4),"
        " ('101','200',3000,3000,7000,3000,600,'2',1,2), ('200','201',7000,3000,8000,2000,212,'2',0,1),"
        " ('300','301',42000,17500,42000,16000,80,'3',1,2), ('300','302',42000,17500,43000,19000,90,'3',2,3),"
        " ('300','303',42000,17500,41000,18000,70,'3',0,0), ('400','401',65000,27000,66000,28000,40,'4',1,2),"
        " ('301','101',42000,16000,3000,3000,2000,'3',2,4);");
}

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::vector<Case> allCases()
{
    std::vector<Case> cases;
    const QString base = baseNetworkSql();
    cases.push_back({"base", base, false});

    // NULL in every column in turn, all rows.
    for (const Column& c : columns()) {
        const std::string col = std::string(c.table) + "_" + c.name;
        // Without the station coordinates or the railway codes nothing joins or lies in a frame.
        const bool empty = col == "Stn_StnX" || col == "Stn_StnY" || col == "Stn_KodDor" || col == "Peregon_KodDor"
                        || col == "Doroga_KodDor";
        cases.push_back({"null_" + col,
                         base + QStringLiteral("UPDATE %1 SET %2 = NULL;").arg(QLatin1String(c.table), QLatin1String(c.name)),
                         empty});
    }

    // Text in the number columns: of every other row of one table, and of every row of all.
    for (const Odd& v : oddNumberTexts()) {
        for (const char* table : {"Stn", "Peregon", "Doroga"})
            cases.push_back({std::string("text_") + v.tag + "_" + table,
                             base + setNumbers(table, QLatin1String(v.sql), QStringLiteral(" WHERE rowid % 2 = 0")), false});
        QString all = base;
        for (const char* table : {"Stn", "Peregon", "Doroga"}) all += setNumbers(table, QLatin1String(v.sql), QString());
        // No station is then a centre, a junction or branching: on the whole scheme the
        // generalised network is empty.
        cases.push_back({std::string("text_") + v.tag + "_everywhere", all, true});
    }

    // Coordinates far outside the scheme and at the 32-bit limits and beyond: a station on
    // both axes (Полевая), one on X only (Южная), their sections, a railway's corner.
    for (const Odd& v : extremeCoordinates()) {
        const QString x = QLatin1String(v.sql);
        cases.push_back({std::string("coord_") + v.tag,
                         base + QStringLiteral(
                             "UPDATE Stn SET StnX = %1, StnY = %1 WHERE KodStn = '303';"
                             "UPDATE Stn SET StnX = %1 WHERE KodStn = '302';"
                             "UPDATE Peregon SET Stn2X = %1, Stn2Y = %1 WHERE KodStn2 = '303';"
                             "UPDATE Peregon SET Stn2X = %1 WHERE KodStn2 = '302';"
                             "UPDATE Doroga SET XR = %1, YR = %1 WHERE KodDor = '3';"
                             "UPDATE Doroga SET XL = %1 WHERE KodDor = '4';").arg(x),
                         false});
    }

    // Sections of no length: both ends the same point, lengths 0, negative, huge; codes far
    // outside their ranges.
    cases.push_back({"zero_length_sections",
                     base + QStringLiteral(
                         "UPDATE Peregon SET Stn2X = Stn1X, Stn2Y = Stn1Y, LenPer = 0 WHERE KodStn2 = '303';"
                         "UPDATE Peregon SET LenPer = -5 WHERE KodStn2 = '302';"
                         "UPDATE Peregon SET LenPer = 1e12 WHERE KodStn2 = '301';"
                         "UPDATE Peregon SET LenPer = -1e300 WHERE KodStn1 = '301';"
                         "INSERT INTO Peregon VALUES('300','300',42000,17500,42000,17500,-5,'3',1,2),"
                         " ('201','201',8000,2000,8000,2000,0,'2',0,0);"
                         "INSERT INTO Stn VALUES('304','Двойник',42000,17500,'3',5,0);"),
                     false});
    cases.push_back({"codes_out_of_range",
                     base + QStringLiteral(
                         "UPDATE Stn SET TipStn = 1e12 WHERE KodStn = '303';"
                         "UPDATE Stn SET TipStn = -32769, StnBranch = 1e12 WHERE KodStn = '302';"
                         "UPDATE Stn SET TipStn = 32768 WHERE KodStn = '301';"
                         "UPDATE Stn SET TipStn = 9.5, StnBranch = -1 WHERE KodStn = '103';"
                         "UPDATE Peregon SET RL = 1e12, EL = -1e12 WHERE KodStn2 = '301';"
                         "UPDATE Peregon SET RL = -3, EL = 99999 WHERE KodStn2 = '302';"
                         "UPDATE Peregon SET RL = 2.5, EL = 3.7 WHERE KodStn2 = '303';"),
                     false});

    // Codes: duplicates, quotes, Cyrillic, the LIKE wildcards.
    cases.push_back({"codes_duplicate",
                     base + QStringLiteral(
                         "INSERT INTO Stn VALUES('300','Центральная-2',41500,17000,'3',7,0),"
                         " ('300','Центральная-3',NULL,NULL,'3',5,0);"
                         "INSERT INTO Doroga VALUES('3','Московская-2',0,0,84000,36000,'300','Центральная','11');"
                         "INSERT INTO Contry VALUES('11','Россия-2');"
                         "INSERT INTO Peregon VALUES('300','301',42000,17500,42000,16000,80,'3',1,2);"),
                     false});
    {
        QString s = base;
        const char* codes[] = {"'", "''", "\"", "a'b", "' OR '1'='1", "%", "_", "%'_"};
        int i = 0;
        for (const char* code : codes) {
            const QString c = q(QString::fromUtf8(code));
            const int x = 40000 + 500 * i, y = 15000 + 300 * i;
            s += QStringLiteral("INSERT INTO Stn VALUES('%1','Кавычка-%2',%3,%4,'%1',9,1);").arg(c).arg(i).arg(x).arg(y);
            s += QStringLiteral("INSERT INTO Doroga VALUES('%1','Дорога %1',%2,%3,%4,%5,'%1','Кавычка-%6','%1');")
                     .arg(c).arg(x - 100).arg(y - 100).arg(x + 100).arg(y + 100).arg(i);
            s += QStringLiteral("INSERT INTO Contry VALUES('%1','Страна %1');").arg(c);
            s += QStringLiteral("INSERT INTO Peregon VALUES('%1','300',%2,%3,42000,17500,10,'%1',1,2);").arg(c).arg(x).arg(y);
            ++i;
        }
        cases.push_back({"codes_quotes_and_wildcards", s, false});
    }
    cases.push_back({"codes_cyrillic",
                     base + QStringLiteral(
                         "UPDATE Stn SET KodStn = 'Ц' || KodStn, KodDor = 'Д' || KodDor;"
                         "UPDATE Peregon SET KodStn1 = 'Ц' || KodStn1, KodStn2 = 'Ц' || KodStn2, KodDor = 'Д' || KodDor;"
                         "UPDATE Doroga SET KodDor = 'Д' || KodDor, KodCentr = 'Ц' || KodCentr, KodContry = 'С' || KodContry;"
                         "UPDATE Contry SET KodContry = 'С' || KodContry;"),
                     false});

    // Names: 255 characters, Cyrillic and ASCII; line breaks; nothing.
    {
        const QString cyr = QString(255, QChar(0x0416));   // Ж
        const QString lat = QString(255, u'W');
        for (const auto& [tag, name] : {std::pair{"cyrillic", cyr}, std::pair{"ascii", lat}})
            cases.push_back({std::string("names_255_") + tag,
                             base + QStringLiteral(
                                 "UPDATE Stn SET NazStn = '%1' WHERE KodStn IN ('300','301','100','101');"
                                 "UPDATE Doroga SET NazDor = '%1', NazCentr = '%1';"
                                 "UPDATE Contry SET NazContry = '%1';").arg(name),
                             false});
        cases.push_back({"names_line_breaks",
                         base + QStringLiteral(
                             "UPDATE Stn SET NazStn = 'Цен' || char(10) || 'тральная' WHERE KodStn = '300';"
                             "UPDATE Stn SET NazStn = char(13) || char(10) WHERE KodStn = '301';"
                             "UPDATE Stn SET NazStn = '' WHERE KodStn = '302';"
                             "UPDATE Stn SET NazStn = 'Полевая' || char(10) WHERE KodStn = '303';"
                             "UPDATE Stn SET NazStn = char(9) || 'Рига' || char(0) || 'x' WHERE KodStn = '400';"
                             "UPDATE Doroga SET NazDor = 'Москов' || char(10) || 'ская', NazCentr = char(10) WHERE KodDor = '3';"
                             "UPDATE Doroga SET NazDor = '' WHERE KodDor = '2';"),
                         false});
    }

    // Railways without stations, with inverted or zero extents.
    cases.push_back({"railway_without_stations",
                     base + QStringLiteral("INSERT INTO Doroga VALUES('5','Пустая',20000,20000,30000,30000,'500','Нигде','11'),"
                                           " ('6','Пустая без центра',20000,20000,30000,30000,NULL,NULL,'11');"),
                     false});
    cases.push_back({"railway_inverted_extents",
                     base + QStringLiteral("UPDATE Doroga SET XL = XR, XR = XL, YL = YR, YR = YL WHERE KodDor = '3';"
                                           "UPDATE Doroga SET XL = XR, XR = XL WHERE KodDor = '1';"
                                           "UPDATE Doroga SET YL = YR, YR = YL WHERE KodDor = '2';"),
                     false});
    cases.push_back({"railway_zero_extents",
                     base + QStringLiteral("UPDATE Doroga SET XR = XL, YR = YL WHERE KodDor = '3';"
                                           "UPDATE Doroga SET XR = XL WHERE KodDor = '1';"
                                           "UPDATE Doroga SET YR = YL WHERE KodDor = '2';"),
                     false});

    // Each table empty in turn, then all.
    for (const char* table : {"Stn", "Peregon", "Doroga", "Contry"})
        cases.push_back({std::string("empty_") + table, base + QStringLiteral("DELETE FROM %1;").arg(QLatin1String(table)),
                         qstrcmp(table, "Contry") != 0});
    cases.push_back({"empty_all", zdtest::schemaSql(), true});
    return cases;
}

} // namespace hostile
