#include "DeskNetwork.h"

#include "desk/Desk.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>

namespace zdtest {

QString gridNetworkSql()
{
    QString sql = schemaSql() + QStringLiteral(
        "INSERT INTO Contry VALUES('11','Россия');"
        "INSERT INTO Doroga VALUES('1','Московская',2000,1000,42000,31000,'100','Москва','11');");
    auto code = [](int i, int j) { return QStringLiteral("%1").arg(100 + i * 10 + j); };
    for (int i = 0; i <= 8; ++i) {
        for (int j = 0; j <= 6; ++j) {
            const int x = 2000 + 5000 * i, y = 1000 + 5000 * j;
            const bool moscow = x == kMoscowX && y == kMoscowY;
            sql += QStringLiteral("INSERT INTO Stn VALUES('%1','%2',%3,%4,'1',%5,0);")
                       .arg(code(i, j), moscow ? QStringLiteral("Москва") : QStringLiteral("Пункт %1").arg(code(i, j)))
                       .arg(x).arg(y).arg(moscow ? 9 : 7);
            if (i < 8)
                sql += QStringLiteral("INSERT INTO Peregon VALUES('%1','%2',%3,%4,%5,%4,50,'1',2,3);")
                           .arg(code(i, j), code(i + 1, j)).arg(x).arg(y).arg(x + 5000);
            if (j < 6)
                sql += QStringLiteral("INSERT INTO Peregon VALUES('%1','%2',%3,%4,%3,%5,50,'1',1,2);")
                           .arg(code(i, j), code(i, j + 1)).arg(x).arg(y).arg(y + 5000);
        }
    }
    return sql;
}

std::unique_ptr<QSettings> DeskTest::settings() const
{
    return std::make_unique<QSettings>(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
}

void DeskTest::startDesk(const QString& script)
{
    if (!script.isEmpty()) {
        ASSERT_TRUE(writeSqlite(dir.filePath("ZdShort.mdb"), script));
    }
    w = std::make_unique<zd::FrmZdMain>(dir.path());
    w->setEndHandler([this](int code) { endCode = code; });
    w->desk().useSettings(settings());
    w->Form_Activate();
    ASSERT_TRUE(w->startDone());
}

void DeskTest::key(int k, Qt::KeyboardModifiers mods)
{
    QKeyEvent press(QEvent::KeyPress, k, mods);
    QApplication::sendEvent(&pic(), &press);
    QKeyEvent release(QEvent::KeyRelease, k, mods);
    QApplication::sendEvent(&pic(), &release);
    QApplication::processEvents();
}

QString DeskTest::statusMessage() const { return w->statusBar()->currentMessage(); }

QString DeskTest::statusLabel(const char* name) const
{
    QApplication::processEvents();
    return w->statusBar()->findChild<QLabel*>(QLatin1String(name))->text();
}

} // namespace zdtest
