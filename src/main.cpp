#include "mainwin/FrmZdMain.h"
#include "platform/MsgBox.h"

#include "desk/Desk.h"

#include <QApplication>
#include <QSettings>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The settings of every part of the program live under these names; window titles
    // still name the program by its title.
    QApplication::setOrganizationName(QStringLiteral("zdschema"));
    QApplication::setApplicationName(QStringLiteral("zdschema"));
    QApplication::setApplicationDisplayName(zd::kAppTitle);
    zd::FrmZdMain main(QCoreApplication::applicationDirPath());
    main.desk().useSettings(std::make_unique<QSettings>(QStringLiteral("zdschema"), QStringLiteral("zdschema")));
    main.show();
    return app.exec();
}
