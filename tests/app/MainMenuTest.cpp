#include "BarMenus.h"
#include "MainForm.h"
#include "MenuWidgets.h"
#include "ProgramDir.h"
#include "SdfData.h"
#include "ui_MainForm.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {
QStringList captionsOf(TMenuItem *parent)
{
    QStringList captions;
    for (int i = 0; i < parent->Count(); ++i)
        captions << parent->Items(i)->Caption();
    return captions;
}
} // namespace

TEST(MainMenu, IsABarMenuSetUpAsTheLayoutSays)
{
    ProgramDir dir;
    TForm1 form;
    TLumBarMainMenu *menu = form.MainMenu1();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(form.menuBar(), menu->MenuBar());
    EXPECT_TRUE(menu->OwnerDraw());
    EXPECT_FALSE(menu->Loading());
    EXPECT_FALSE(menu->Bar()->Visible());
    EXPECT_TRUE(menu->Separators()->Fade());
    EXPECT_EQ(menu->GetMenuStyle(), msWindowsXP);
    EXPECT_EQ(captionsOf(menu->Items()), QString::fromUtf8("Файл|Запис|Помощ").split(QLatin1Char('|')));
    // Moving films in and out of the catalogue comes before Exit, which stays last; lending follows
    // the record commands, then finding, and taking changes back and doing them again come last.
    EXPECT_EQ(captionsOf(menu->Items()->Items(0)),
              QString::fromUtf8("Програмни настройки|-|Експорт...|Импорт...|-|Възстанови от копие...|-|Изход")
                  .split(QLatin1Char('|')));
    EXPECT_EQ(
        captionsOf(menu->Items()->Items(1)),
        QString::fromUtf8(
            "Добави|Редакция|Изтрий|-|Стартирай|-|Даден на...|Върнат|-|Добави от диск...|-|Търсене...|-|"
            "Отмени|Повтори")
            .split(QLatin1Char('|')));
    // Every item measures and paints through the menu.
    TMenuItem *line = menu->Items()->Items(0)->Items(1);
    EXPECT_EQ(line->OnAdvancedDrawItem, menu->DrawHandler());
    EXPECT_EQ(menu->ItemSize(line).height(), 9);
}

TEST(MainMenu, FileMenuShowsItsFadingSeparator)
{
    ProgramDir dir;
    SysColors::resetToClassic();
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TMenuItem *file = form.MainMenu1()->Items()->Items(0);
    form.menuBar()->setActiveAction(file->Action());
    auto *drop = static_cast<TMenuWidget *>(file->Action()->menu());
    ASSERT_TRUE(QTest::qWaitFor([&] { return drop->isVisible(); }));
    ASSERT_TRUE(drop->isVisible());
    const QImage shot = drop->grab().toImage();
    const QRect line = drop->ItemRect(file->Items(1));
    ASSERT_EQ(line.height(), 9);
    EXPECT_EQ(fromQColor(shot.pixelColor(line.left() + line.width() / 2, line.top() + 4)), TColor(0x808080));
    EXPECT_EQ(fromQColor(shot.pixelColor(line.left() + line.width() / 2, line.top() + 5)), TColor(0xFFFFFF));
    EXPECT_EQ(fromQColor(shot.pixelColor(line.left(), line.top() + 4)), TColor(0xC8D0D4));
    drop->hide();
}

TEST(MainMenu, RightClickOnAFilmMakesItCurrentAndOffersTheRecordCommands)
{
    ProgramDir dir;
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TDBGrid *grid = form.ui().DBGrid1;
    const QRect third = grid->visualRect(grid->model()->index(2, 0));
    QContextMenuEvent click(QContextMenuEvent::Mouse, third.center(),
                            grid->viewport()->mapToGlobal(third.center()));
    QApplication::sendEvent(grid->viewport(), &click);
    EXPECT_EQ(form.DataSet()->Fields(0)->Text(), QStringLiteral("Matrix"));
    TLumCustomBarPopupMenu *menu = form.GridMenu();
    TMenuWidget *popup = menu->Widget();
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }));
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->pos(), grid->viewport()->mapToGlobal(third.center()));
    EXPECT_EQ(captionsOf(menu->Items()),
              QString::fromUtf8("Добави|Редакция|Изтрий|-|Стартирай|-|Даден на...|Върнат|-|Добави от диск...")
                  .split(QLatin1Char('|')));
    EXPECT_EQ(menu->EffectiveStyle(), msWindowsXP);
    EXPECT_TRUE(menu->Separators()->Fade());
    EXPECT_TRUE(menu->Bar()->Visible());
    EXPECT_EQ(menu->Bar()->BarCaption()->Caption(), QStringLiteral("Cinaxo"));
    popup->grab();
    EXPECT_TRUE(menu->BarCache()->BarValid);
    EXPECT_EQ(menu->BarCache()->BarHeight, MenuWindows::ClientRect(popup).height());
    // "Изтрий" calls the delete command: it asks first.
    dir.dialogs.answers = {mrOk};
    form.MenuItem(QStringLiteral("GridDelete"))->trigger();
    ASSERT_EQ(dir.dialogs.questions.size(), 1u);
    EXPECT_EQ(form.DataSet()->RecordCount(), 2);
    popup->hide();
}

TEST(MainMenu, TheMenuKeyAndShiftF10OpenTheRecordMenuAtTheCurrentFilm)
{
    ProgramDir dir;
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TDBGrid *grid = form.ui().DBGrid1;
    grid->setFocus();
    TMenuWidget *popup = form.GridMenu()->Widget();
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), grid->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(grid, &key);
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }));
    EXPECT_TRUE(popup->isVisible());
    const QRect cell = grid->visualRect(grid->currentIndex());
    EXPECT_EQ(popup->pos().y(), grid->viewport()->mapToGlobal(cell.bottomLeft()).y());
    popup->hide();
    QTest::keyClick(grid, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }));
    EXPECT_TRUE(popup->isVisible());
    popup->hide();
    // F10 alone does not.
    QTest::keyClick(grid, Qt::Key_F10);
    EXPECT_FALSE(popup->isVisible());
}
