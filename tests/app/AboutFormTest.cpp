#include "AboutForm.h"
#include "FakePlatform.h"
#include "MainForm.h"
#include "ProgramDir.h"
#include "VelFont3D.h"
#include "ui_AboutForm.h"

#include <QTest>
#include <gtest/gtest.h>

TEST(AboutWindow, VersionLineGetsOneClosingBracket)
{
    ProgramDir dir;
    TForm1 form;
    AboutForm = new TAboutForm(&form);
    EXPECT_EQ(AboutForm->ui().Info1->Caption(), QStringLiteral("( 1.0.2.21"));
    for (int i = 0; i < 3; ++i) {
        whenModal([](QWidget *modal) {
            EXPECT_EQ(modal, AboutForm);
            QTest::mouseClick(AboutForm->ui().Button1, Qt::LeftButton);
        });
        form.MenuItem(QStringLiteral("N14"))->trigger();
    }
    EXPECT_EQ(AboutForm->ui().Info1->Caption(), QStringLiteral("( 1.0.2.21 )"));
    EXPECT_EQ(AboutForm->result(), QDialog::Accepted);
    AboutForm = nullptr;
}

TEST(AboutWindow, LayoutAndLinks)
{
    ProgramDir dir;
    TAboutForm about;
    EXPECT_EQ(about.windowTitle(), QString::fromUtf8("За програмата"));
    EXPECT_EQ(about.size(), QSize(349, 233));
    EXPECT_EQ(about.ui().VelLabel1->geometry(), QRect(48, 8, 113, 33));
    EXPECT_TRUE(about.ui().VelLabel1->Transparent());
    EXPECT_EQ(about.ui().VelLabel1->Font3D()->Style3D(), fontOnlyShadow);
    EXPECT_EQ(about.ui().VelLabel1->Font3D()->Shadow(), clBlack);
    EXPECT_EQ(about.ui().VelLabel1->FontColor(), clWhite);
    EXPECT_EQ(about.ui().Panel1->palette().color(QPalette::Window), QColor(0, 0, 255));
    EXPECT_EQ(about.ui().Button1->text(), QString::fromUtf8("ОК"));
    EXPECT_EQ(about.ui().VelCommandLabel1->NormalColor(), clBlue);
    about.show();
    QTest::mouseClick(about.ui().VelCommandLabel1, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseClick(about.ui().VelCommandLabel2, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(dir.shell.opened.size(), 2u);
    EXPECT_EQ(dir.shell.opened[0], QStringLiteral("http://cinaxo.example.org/"));
    EXPECT_EQ(dir.shell.opened[1], QStringLiteral("mailto:cinaxo@example.org"));
}
