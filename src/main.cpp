#include "mainwin/FrmZdMain.h"
#include "platform/MsgBox.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The settings of every part of the program live under these names; window titles
    // still name the program by its title.
    QApplication::setOrganizationName(QStringLiteral("zdschema"));
    QApplication::setApplicationName(QStringLiteral("zdschema"));
    QApplication::setApplicationDisplayName(zd::kAppTitle);
    zd::FrmZdMain main(QCoreApplication::applicationDirPath());
    main.show();
    return app.exec();
}
