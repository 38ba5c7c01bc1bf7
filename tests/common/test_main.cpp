#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

// Every test program runs with a QApplication on the offscreen platform, so that
// window tests and offscreen renders work without a display.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);   // settings of the tests' own, never the user's
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
