#include "mainwin/FrmZdMain.h"
#include "mainwin/StartupReport.h"
#include "platform/FileLookup.h"
#include "platform/MsgBox.h"

#include "desk/Desk.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSettings>
#include <cstdio>

// zdschema [--startup-report] [FILE]: FILE is the network to open instead of ZdShort.mdb
// beside the program.
int main(int argc, char** argv)
{
    QElapsedTimer launch;
    launch.start();
    QApplication app(argc, argv);
    // The settings of every part of the program live under these names; window titles
    // still name the program by its title.
    QApplication::setOrganizationName(QStringLiteral("zdschema"));
    QApplication::setApplicationName(QStringLiteral("zdschema"));
    QApplication::setApplicationDisplayName(zd::kAppTitle);
    QApplication::setDesktopFileName(QStringLiteral("zdschema"));
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool report = args.removeAll(QStringLiteral("--startup-report")) > 0;
    if (args.size() > 1) {
        std::fprintf(stderr, "%s\n", "Использование: zdschema [--startup-report] [ФАЙЛ]");
        return 2;
    }
    zd::FrmZdMain main(zd::programFilesDir(QCoreApplication::applicationDirPath()));
    if (!args.isEmpty()) main.setStartFile(QFileInfo(args.first()).absoluteFilePath());
    if (report) new zd::StartupReport(main, launch);
    else main.desk().useSettings(std::make_unique<QSettings>(QStringLiteral("zdschema"), QStringLiteral("zdschema")));
    main.show();
    return app.exec();
}
