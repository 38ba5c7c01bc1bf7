#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test program runs with a QApplication on the offscreen platform, so that
// window tests and offscreen renders work without a display. The program's settings go
// to a folder of this run's own: never the user's, never another test program's.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("zdschema"));
    QApplication::setApplicationName(QStringLiteral("zdschema"));
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settings;
    for (const QSettings::Format f : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(f, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
