#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "SanitizerDefaults.h"

int main(int argc, char **argv)
{
    // Test discovery runs the programs without CTest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
