#include "Application.h"

#include <QStandardPaths>
#include <gtest/gtest.h>

// The windows run under the program's own application object, whose error box and event-loop net
// the tests see.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    app.setTitle(QStringLiteral("Cinaxo"));
    return RUN_ALL_TESTS();
}
