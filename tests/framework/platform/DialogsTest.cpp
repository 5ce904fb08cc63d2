#include "Dialogs.h"
#include "FakePlatform.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Dialogs, TheProgramClosesTheMessageItShows)
{
    RealDialogs dialogs;
    dialogs.CloseMessage(); // none open: nothing happens
    QString shown;
    // The box closes from code; a box left open is closed by the safety net with a failure.
    whenModal([&shown](QWidget *modal) { shown = static_cast<QMessageBox *>(modal)->text(); }, 2000);
    QTimer::singleShot(100, [&dialogs] { dialogs.CloseMessage(); });
    QElapsedTimer open;
    open.start();
    dialogs.ShowMessage(QStringLiteral("Insert the disc"));
    EXPECT_LT(open.elapsed(), 1500);
    EXPECT_EQ(shown, QStringLiteral("Insert the disc"));
}
