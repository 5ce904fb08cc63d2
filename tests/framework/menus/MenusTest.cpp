#include "Menus.h"
#include "Bitmap.h"
#include "Canvas.h"
#include "MenuWidgets.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class Menus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SysColors::resetToClassic();
        MenuSystem::SetWin98Plus(true);
    }
    void TearDown() override { QApplication::processEvents(); }
};

TMenuItem *addItem(TMenuItem *parent, const QString &caption, QObject *owner = nullptr)
{
    auto *item = new TMenuItem(owner);
    item->setCaption(caption);
    parent->Add(item);
    return item;
}

// A canvas with a font whose widths the tests can compute.
struct MeasureCanvas
{
    QImage image{1, 1, QImage::Format_RGB32};
    TCanvas canvas{image};
    MeasureCanvas() { canvas.Font.Font.setPixelSize(11); }
    int width(const QString &text) { return canvas.TextWidth(text); }
};
} // namespace

TEST_F(Menus, TreeKnowsParentsIndexesAndComponents)
{
    TMainMenu menu;
    TMenuItem *file = addItem(menu.Items(), QStringLiteral("File"));
    TMenuItem *open = addItem(file, QStringLiteral("Open"));
    TMenuItem *exit = addItem(file, QStringLiteral("Exit"));
    EXPECT_EQ(open->Parent(), file);
    EXPECT_EQ(open->GetParentMenu(), &menu);
    EXPECT_EQ(file->GetParentComponent(), &menu);
    EXPECT_EQ(open->GetParentComponent(), file);
    EXPECT_EQ(exit->MenuIndex(), 1);
    exit->setMenuIndex(0);
    EXPECT_EQ(file->Items(0), exit);
    EXPECT_TRUE(menu.IsTopLevel(file));
    EXPECT_FALSE(menu.IsTopLevel(open));
    try {
        file->Items(5);
        FAIL() << "no error";
    } catch (const EListError &error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (5)");
    }
    delete open;
    EXPECT_EQ(file->Count(), 1);
}

TEST_F(Menus, DefaultMeasureFollowsTheGlyphAndTheText)
{
    TPopupMenu menu;
    TMenuItem *plain = addItem(menu.Items(), QStringLiteral("Plain"));
    TMenuItem *line = addItem(menu.Items(), QStringLiteral("-"));
    TMenuItem *withKey = addItem(menu.Items(), QStringLiteral("Key"));
    withKey->setShortCut(QKeySequence(Qt::CTRL | Qt::Key_N));
    TMenuItem *glyph = addItem(menu.Items(), QStringLiteral("Glyph"));
    glyph->Bitmap().SetSize(10, 10);
    MeasureCanvas m;

    int w = 0, h = 13;
    plain->MeasureItem(m.canvas, w, h);
    EXPECT_EQ(w, -7 + m.width(QStringLiteral("Plain")) + 7);
    EXPECT_EQ(h, 16); // the proposed height and 3
    w = 0, h = 13;
    line->MeasureItem(m.canvas, w, h);
    EXPECT_EQ(h, 5 + 3);
    EXPECT_EQ(w, -2 + m.width(QStringLiteral("-")) + 7);
    w = 0, h = 13;
    withKey->MeasureItem(m.canvas, w, h);
    // The caption with its access key, a tab to the next stop of eight characters, the shortcut.
    EXPECT_EQ(withKey->HotkeyCaption(), QStringLiteral("&Key"));
    EXPECT_EQ(w, -7 + m.width(QStringLiteral("Key    Ctrl+N")) + 7);
    w = 0, h = 13;
    glyph->MeasureItem(m.canvas, w, h);
    EXPECT_EQ(w, 16 + 15 + m.width(QStringLiteral("Glyph")) + 7);
    EXPECT_EQ(h, 16 + 3);

    TImageList images;
    images.setWidth(20);
    images.setHeight(18);
    menu.setImages(&images);
    w = 0, h = 13;
    plain->MeasureItem(m.canvas, w, h);
    EXPECT_EQ(w, 20 + 15 + m.width(QStringLiteral("Plain")) + 7);
    EXPECT_EQ(h, 18 + 3);
    plain->OnMeasureItem = TMenuMeasureItemEvent([](TMenuItem *, TCanvas &, int &width, int &height) {
        width = 100;
        height = 7;
    });
    plain->MeasureItem(m.canvas, w, h);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 7);
}

TEST_F(Menus, MenuBarItemsTakeTheSystemSize)
{
    TMainMenu menu;
    TMenuItem *file = addItem(menu.Items(), QStringLiteral("File"));
    MeasureCanvas m;
    int w = 0, h = 13;
    file->MeasureItem(m.canvas, w, h);
    EXPECT_EQ(h, MenuSystem::kMenuBarItemHeight);
    EXPECT_EQ(w, -7 + m.width(QStringLiteral("File")) + 7);
}

TEST_F(Menus, PaintRequestSetsTheColoursAndCallsTheHandler)
{
    TMainMenu menu;
    menu.setOwnerDraw(true);
    TMenuItem *file = addItem(menu.Items(), QStringLiteral("File"));
    TMenuItem *open = addItem(file, QStringLiteral("Open"));
    TColor brush = 0, font = 0;
    TOwnerDrawState seen = 0;
    auto record = TAdvancedMenuDrawItemEvent([&](TMenuItem *, TCanvas &canvas, QRect, TOwnerDrawState state) {
        brush = canvas.Brush.Color;
        font = canvas.Font.Color;
        seen = state;
    });
    open->OnAdvancedDrawItem = record;
    file->OnAdvancedDrawItem = record;
    QImage image(50, 20, QImage::Format_RGB32);
    TCanvas canvas(image);

    menu.DrawRequest(open, canvas, QRect(0, 0, 50, 20), ODS::SELECTED);
    EXPECT_EQ(brush, clHighlight);
    EXPECT_EQ(font, clHighlightText);
    EXPECT_EQ(seen, ODS::SELECTED);
    menu.DrawRequest(open, canvas, QRect(0, 0, 50, 20), 0);
    EXPECT_EQ(brush, clMenu);
    EXPECT_EQ(font, clMenuText);
    // A selected item on the menu bar keeps the menu colours on Windows 98 and later.
    menu.DrawRequest(file, canvas, QRect(0, 0, 50, 20), ODS::SELECTED);
    EXPECT_EQ(brush, clMenu);
    menu.DrawRequest(file, canvas, QRect(0, 0, 50, 20), ODS::INACTIVE);
    EXPECT_EQ(font, clGrayText);
    MenuSystem::SetWin98Plus(false);
    menu.DrawRequest(file, canvas, QRect(0, 0, 50, 20), ODS::SELECTED);
    EXPECT_EQ(brush, clHighlight);

    // OnDrawItem serves when there is no advanced handler or the menu is not owner-drawn.
    bool plain = false;
    open->OnDrawItem = TMenuDrawItemEvent([&](TMenuItem *, TCanvas &, QRect, bool) { plain = true; });
    menu.setOwnerDraw(false);
    menu.DrawRequest(open, canvas, QRect(0, 0, 50, 20), 0);
    EXPECT_TRUE(plain);
}

TEST_F(Menus, HandlersCompareByObjectAndId)
{
    int object = 0;
    TAdvancedMenuDrawItemEvent a([](TMenuItem *, TCanvas &, QRect, TOwnerDrawState) {}, &object, 1);
    TAdvancedMenuDrawItemEvent b([](TMenuItem *, TCanvas &, QRect, TOwnerDrawState) {}, &object, 1);
    TAdvancedMenuDrawItemEvent c([](TMenuItem *, TCanvas &, QRect, TOwnerDrawState) {}, &object, 2);
    TAdvancedMenuDrawItemEvent anonymous([](TMenuItem *, TCanvas &, QRect, TOwnerDrawState) {});
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == c);
    EXPECT_FALSE(anonymous == anonymous);
}

TEST_F(Menus, ActionsFollowTheItems)
{
    QMainWindow window;
    TMainMenu menu(&window);
    menu.SetWindow(&window);
    TMenuItem *file = addItem(menu.Items(), QStringLiteral("File"));
    TMenuItem *open = addItem(file, QStringLiteral("Open"));
    TMenuItem *line = addItem(file, QStringLiteral("-"));
    TMenuItem *exit = addItem(file, QStringLiteral("Exit"));
    QMenuBar *bar = window.menuBar();
    ASSERT_EQ(bar, menu.MenuBar());
    ASSERT_EQ(bar->actions().size(), 1);
    EXPECT_EQ(bar->actions()[0]->text(), QStringLiteral("File"));
    QMenu *drop = bar->actions()[0]->menu();
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(drop->actions(), (QList<QAction *>{open->Action(), line->Action(), exit->Action()}));
    EXPECT_TRUE(line->Action()->isSeparator());
    exit->setEnabled(false);
    EXPECT_FALSE(exit->Action()->isEnabled());
    open->setVisible(false);
    EXPECT_FALSE(open->Action()->isVisible());
    exit->setMenuIndex(0);
    EXPECT_EQ(drop->actions()[0], exit->Action());
    int clicks = 0;
    open->OnClick = [&](QObject *sender) {
        EXPECT_EQ(sender, open);
        ++clicks;
    };
    open->Action()->trigger();
    EXPECT_EQ(clicks, 1);
}

TEST_F(Menus, AccessKeysAreChosenAmongSiblings)
{
    TPopupMenu menu;
    TMenuItem *a = addItem(menu.Items(), QStringLiteral("Програмни настройки"));
    TMenuItem *b = addItem(menu.Items(), QStringLiteral("Помощ"));
    TMenuItem *c = addItem(menu.Items(), QStringLiteral("E&xit"));
    TMenuItem *d = addItem(menu.Items(), QStringLiteral("Xylophone"));
    EXPECT_EQ(a->Hotkey(), QChar(0x041F)); // П
    EXPECT_EQ(a->HotkeyCaption(), QString::fromUtf8("&Програмни настройки"));
    // "П" is taken; the next word starts with "н"... none left at word starts, so "о".
    EXPECT_EQ(b->HotkeyCaption(), QString::fromUtf8("П&омощ"));
    EXPECT_EQ(c->Hotkey(), QLatin1Char('X'));
    EXPECT_EQ(c->HotkeyCaption(), QStringLiteral("E&xit"));
    EXPECT_EQ(d->HotkeyCaption(), QStringLiteral("X&ylophone"));
    // The action keeps the caption as it was given.
    EXPECT_EQ(b->Action()->text(), QString::fromUtf8("Помощ"));
    menu.setAutoHotkeys(false);
    EXPECT_EQ(b->HotkeyCaption(), QString::fromUtf8("Помощ"));
}

TEST_F(Menus, ShortcutsReadAsTheSystemWritesThem)
{
    EXPECT_EQ(ShortCutToText(QKeySequence(Qt::Key_Insert)), QStringLiteral("Ins"));
    EXPECT_EQ(ShortCutToText(QKeySequence(Qt::Key_F9)), QStringLiteral("F9"));
    EXPECT_EQ(ShortCutToText(QKeySequence(Qt::SHIFT | Qt::Key_Delete)), QStringLiteral("Shift+Del"));
    EXPECT_EQ(ShortCutToText(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N)), QStringLiteral("Ctrl+Alt+N"));
    EXPECT_EQ(ShortCutToText(QKeySequence(Qt::Key_Return)), QStringLiteral("Enter"));
    EXPECT_EQ(ShortCutToText(QKeySequence()), QString());
}

TEST_F(Menus, ItemsAreMeasuredOnceUntilARebuild)
{
    QWidget owner;
    TPopupMenu menu(&owner);
    menu.setOwnerDraw(true);
    TMenuItem *item = addItem(menu.Items(), QStringLiteral("One"));
    int measured = 0;
    item->OnMeasureItem = TMenuMeasureItemEvent([&](TMenuItem *, TCanvas &, int &, int &) { ++measured; });
    menu.Popup(10, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.Widget()->isVisible(); }));
    menu.Widget()->grab();
    const int first = measured;
    EXPECT_EQ(first, 1);
    menu.Widget()->hide();
    menu.Popup(10, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.Widget()->isVisible(); }));
    menu.Widget()->grab();
    EXPECT_EQ(measured, first);
    menu.RebuildMenu();
    menu.Widget()->grab();
    EXPECT_EQ(measured, first + 1);
    menu.Widget()->hide();
}

TEST_F(Menus, AFailedMeasureIsReportedOnceAfterTheEventAndMeasuredAgainLater)
{
    QWidget owner;
    TPopupMenu menu(&owner);
    menu.setOwnerDraw(true);
    TMenuItem *a = addItem(menu.Items(), QStringLiteral("A"));
    TMenuItem *b = addItem(menu.Items(), QStringLiteral("B"));
    bool failing = true;
    for (TMenuItem *item : {a, b}) {
        item->OnMeasureItem = TMenuMeasureItemEvent([&, item](TMenuItem *, TCanvas &, int &w, int &h) {
            if (failing && item == b)
                throw Exception("Cannot measure B");
            w = 60;
            h = 20;
        });
    }
    std::vector<std::string> reported;
    setExceptionHandler([&](const std::exception &e) { reported.push_back(e.what()); });
    // Qt's layout code asks for the sizes: nothing may unwind through it.
    menu.Popup(10, 10);
    TMenuWidget *widget = menu.Widget();
    // One box for the many questions of the showing, after it; the menu that cannot be laid out
    // closes first.
    EXPECT_TRUE(reported.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !reported.empty(); }));
    QTest::qWait(50);
    EXPECT_EQ(reported, std::vector<std::string>{"Cannot measure B"});
    EXPECT_FALSE(widget->isVisible());
    // No half-built layout was kept: once the handler measures, the menu is laid out whole without
    // a rebuild.
    failing = false;
    const int extra = 2 * QFontMetrics(menu.SystemMenuFont()).averageCharWidth();
    EXPECT_EQ(widget->ItemRect(a), QRect(3, 3, 60 + extra, 20));
    EXPECT_EQ(widget->ItemRect(b), QRect(3, 23, 60 + extra, 20));
    menu.Popup(10, 10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return widget->isVisible(); }));
    EXPECT_EQ(widget->size(), QSize(60 + extra + 6, 40 + 6));
    widget->hide();
    EXPECT_EQ(reported.size(), 1u);
    setExceptionHandler(nullptr);
}

TEST_F(Menus, OwnerDrawnItemsPaintOnTheRealMenu)
{
    QWidget owner;
    TPopupMenu menu(&owner);
    menu.setOwnerDraw(true);
    TMenuItem *a = addItem(menu.Items(), QStringLiteral("A"));
    TMenuItem *b = addItem(menu.Items(), QStringLiteral("B"));
    for (TMenuItem *item : {a, b}) {
        item->OnMeasureItem = TMenuMeasureItemEvent([](TMenuItem *, TCanvas &, int &w, int &h) {
            w = 60;
            h = 20;
        });
        item->OnAdvancedDrawItem =
            TAdvancedMenuDrawItemEvent([](TMenuItem *sender, TCanvas &canvas, QRect rect, TOwnerDrawState) {
                canvas.Brush.Color = sender->Caption() == QLatin1String("A") ? clRed : clBlue;
                canvas.FillRect(rect);
                // The window under the canvas is the menu's.
                EXPECT_NE(MenuWindows::WindowFromCanvas(canvas), nullptr);
            });
    }
    menu.Popup(10, 10);
    TMenuWidget *widget = menu.Widget();
    ASSERT_TRUE(QTest::qWaitFor([&] { return widget->isVisible(); }));
    const int extra = 2 * QFontMetrics(menu.SystemMenuFont()).averageCharWidth();
    EXPECT_EQ(widget->size(), QSize(60 + extra + 6, 40 + 6));
    EXPECT_EQ(widget->ItemRect(b), QRect(3, 23, 60 + extra, 20));
    // Qt keeps the same rectangles, so its hover and clicks land where the items are drawn.
    EXPECT_EQ(widget->actionGeometry(b->Action()), widget->ItemRect(b));
    const QImage shot = widget->grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(10, 30), QColor(Qt::blue));
    // The frame: a raised edge and a ring of the menu colour.
    EXPECT_EQ(fromQColor(shot.pixelColor(0, 10)), ColorToRGB(cl3DLight));
    EXPECT_EQ(fromQColor(shot.pixelColor(1, 10)), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(fromQColor(shot.pixelColor(2, 10)), ColorToRGB(clMenu));
    EXPECT_EQ(fromQColor(shot.pixelColor(shot.width() - 1, 10)), ColorToRGB(cl3DDkShadow));
    widget->hide();
}

TEST_F(Menus, ABreakStartsASecondColumnThatTheMouseAndKeysReach)
{
    QWidget owner;
    TPopupMenu menu(&owner);
    menu.setOwnerDraw(true);
    std::vector<TMenuItem *> items;
    for (const char *caption : {"One", "Two", "Three", "Four"}) {
        TMenuItem *item = addItem(menu.Items(), QString::fromLatin1(caption));
        item->OnMeasureItem = TMenuMeasureItemEvent([](TMenuItem *, TCanvas &, int &w, int &h) {
            w = 40;
            h = 18;
        });
        items.push_back(item);
    }
    items[2]->setBreak(mbBarBreak);
    int clicked = -1;
    for (int i = 0; i < 4; ++i)
        items[std::size_t(i)]->OnClick = [&clicked, i](QObject *) { clicked = i; };
    menu.Popup(10, 10);
    TMenuWidget *widget = menu.Widget();
    ASSERT_TRUE(QTest::qWaitFor([&] { return widget->isVisible(); }));
    const int w = 40 + 2 * QFontMetrics(menu.SystemMenuFont()).averageCharWidth();
    EXPECT_EQ(widget->ColumnCount(), 2);
    EXPECT_EQ(widget->ItemRect(items[2]), QRect(3 + w + 2, 3, w, 18));
    EXPECT_EQ(widget->ItemRect(items[3]), QRect(3 + w + 2, 21, w, 18));
    EXPECT_EQ(widget->size(), QSize(2 * w + 2 + 6, 36 + 6));

    // The keys: Right goes to the next column.
    widget->setActiveAction(items[1]->Action());
    QTest::keyClick(widget, Qt::Key_Right);
    EXPECT_EQ(widget->activeAction(), items[3]->Action());
    QTest::keyClick(widget, Qt::Key_Left);
    EXPECT_EQ(widget->activeAction(), items[1]->Action());

    // The mouse: a click on the second column's second item runs it.
    const QPoint at = widget->ItemRect(items[3]).center();
    QTest::mouseMove(widget, at);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(clicked, 3);
}

TEST_F(Menus, AccessKeysWorkInAnOpenMenuAndOnTheMenuBar)
{
    QMainWindow window;
    TMainMenu menu(&window);
    menu.setOwnerDraw(true);
    menu.SetWindow(&window);
    TMenuItem *file = addItem(menu.Items(), QString::fromUtf8("Файл"));
    addItem(file, QString::fromUtf8("Програмни настройки"));
    TMenuItem *exit = addItem(file, QString::fromUtf8("Изход"));
    bool exited = false;
    exit->OnClick = [&](QObject *) { exited = true; };
    window.resize(300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QMenu *drop = file->Action()->menu();
    QTest::sendKeyEvent(QTest::Click, &window, Qt::Key(0x0424), QString::fromUtf8("ф"), Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return drop->isVisible(); }));
    ASSERT_TRUE(drop->isVisible());
    // The first item is selected, as after any opening by the keyboard.
    EXPECT_EQ(drop->activeAction(), file->Items(0)->Action());
    QTest::sendKeyEvent(QTest::Click, drop, Qt::Key(0x0418), QString::fromUtf8("и"), Qt::NoModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !drop->isVisible(); }));
    EXPECT_TRUE(exited);
}
