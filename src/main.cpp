#include "mainwin/FrmZdMain.h"
#include "platform/MsgBox.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(zd::kAppTitle);
    zd::FrmZdMain main(QCoreApplication::applicationDirPath());
    main.show();
    return app.exec();
}
