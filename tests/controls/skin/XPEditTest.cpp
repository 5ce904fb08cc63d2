#include "XP_Color.h"
#include "XP_Edit.h"

#include "Mouse.h"
#include <QEnterEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Look
{
    QRgb outer, inner, middle;
};

Look look(TqzXPEdit &edit)
{
    const QImage image = edit.grab().toImage();
    return {image.pixel(0, 0), image.pixel(1, 1), image.pixel(image.width() - 10, image.height() / 2)};
}
} // namespace

TEST(XPColor, EveryAssignmentNotifies)
{
    TqzXPColor colors;
    int calls = 0;
    QObject *sender = nullptr;
    colors.OnChange = [&](QObject *s) {
        ++calls;
        sender = s;
    };
    colors.setBorderColor(colors.BorderColor());
    colors.setBackColor(clRed);
    colors.setBackHiColor(clRed);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(sender, &colors);
}

TEST(XPEdit, RestsFlatAndLightsUpUnderTheMouse)
{
    SysColors::resetToClassic();
    QWidget window;
    auto *edit = new TqzXPEdit(&window);
    edit->setGeometry(0, 0, 120, 21);
    EXPECT_EQ(edit->Colors()->BackHiColor(), clWindow);
    const QRgb face = toQColor(clBtnFace).rgb();
    Look rest = look(*edit);
    EXPECT_EQ(rest.outer, face);
    EXPECT_EQ(rest.inner, face);
    EXPECT_EQ(rest.middle, face); // BackColor is clBtnFace
    enter(edit);
    Look lit = look(*edit);
    EXPECT_EQ(lit.outer, qRgb(8, 36, 107));
    EXPECT_EQ(lit.inner, qRgb(255, 255, 255));
    EXPECT_EQ(lit.middle, qRgb(255, 255, 255));
    leave(edit);
    EXPECT_EQ(look(*edit).outer, face);
}

TEST(XPEdit, FocusKeepsTheHighlightAfterTheMouseLeaves)
{
    QWidget window;
    auto *edit = new TqzXPEdit(&window);
    edit->setReadOnly(true);
    edit->setGeometry(0, 0, 120, 21);
    window.show();
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }));
    enter(edit);
    leave(edit);
    EXPECT_TRUE(edit->Highlighted());
    EXPECT_EQ(look(*edit).outer, qRgb(8, 36, 107));
}

TEST(XPEdit, WhiteInBothLooksWhenBothBackgroundsAreWindow)
{
    SysColors::resetToClassic();
    QWidget window;
    auto *edit = new TqzXPEdit(&window);
    edit->setGeometry(0, 0, 120, 21);
    edit->Colors()->setBackColor(clWindow);
    EXPECT_EQ(look(*edit).middle, qRgb(255, 255, 255));
    enter(edit);
    EXPECT_EQ(look(*edit).middle, qRgb(255, 255, 255));
}

TEST(XPEdit, AssigningTheSameColourStillRepaints)
{
    QWidget window;
    auto *edit = new TqzXPEdit(&window);
    const int before = edit->RepaintRequests();
    edit->Colors()->setBorderColor(edit->Colors()->BorderColor());
    EXPECT_EQ(edit->RepaintRequests(), before + 1);
}
