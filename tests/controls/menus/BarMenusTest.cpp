#include "BarMenus.h"
#include "Bitmap.h"
#include "Canvas.h"
#include "MenuWidgets.h"
#include "OsFlags.h"

#include <QApplication>
#include <QMainWindow>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class FakeOsFlags : public IOsFlags
{
public:
    FakeOsFlags() { SetOsFlags(this); }
    ~FakeOsFlags() override { SetOsFlags(nullptr); }
    TOSVersionInfo Version() const override { return version; }
    bool LayeredWindowsAvailable() const override { return layered; }
    TOSVersionInfo version;
    bool layered = true;
};

// The classic colours, as RGB values.
const TColor kMenu = 0xC8D0D4;
const TColor kShadow = 0x808080;
const TColor kHighlightLine = 0xFFFFFF;
const TColor kSelection = 0x6A240A;

class BarMenus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SysColors::resetToClassic();
        RecomputeStartupFlags();
    }
    void TearDown() override
    {
        // The menus go before their pending repaints could call handlers of finished tests.
        qDeleteAll(owner.findChildren<TMenu *>(Qt::FindDirectChildrenOnly));
        QApplication::processEvents();
        RecomputeStartupFlags();
    }

    // A pop-up menu of the window `owner` with the given captions ("-" for separators).
    TLumCustomBarPopupMenu *popup(const QStringList &captions, TLumMenuStyle style = msWindowsXP)
    {
        auto *menu = new TLumCustomBarPopupMenu(&owner);
        menu->SetMenuStyle(style);
        for (const QString &caption : captions)
            add(menu->Items(), caption);
        return menu;
    }
    static TMenuItem *add(TMenuItem *parent, const QString &caption, const QString &hint = QString())
    {
        auto *item = new TMenuItem;
        item->setCaption(caption);
        item->setHint(hint);
        parent->Add(item);
        return item;
    }
    // Opens the menu and returns the picture of its window.
    QImage open(TLumCustomBarPopupMenu *menu)
    {
        menu->Popup(100, 100);
        for (int i = 0; i < 100 && !menu->Widget()->isVisible(); ++i)
            QTest::qWait(10);
        return menu->Widget()->grab().toImage();
    }
    QImage repaint(TLumCustomBarPopupMenu *menu) { return menu->Widget()->grab().toImage(); }
    static TColor at(const QImage &image, int x, int y) { return fromQColor(image.pixelColor(x, y)); }

    FakeOsFlags flags;
    QWidget owner;
};

QRect inkBox(const QImage &image, const QRect &area, TColor colour)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (fromQColor(image.pixelColor(x, y)) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

TColor blend(TColor p, TColor c, int k, int fw)
{
    auto mix = [&](int pc, int cc) { return pc + k * (cc - pc) / fw; };
    return RGB(mix(GetRValue(p), GetRValue(c)), mix(GetGValue(p), GetGValue(c)),
               mix(GetBValue(p), GetBValue(c)));
}
} // namespace

TEST_F(BarMenus, SettingsWithoutAMenuAndWrongColourIndexesAreRefused)
{
    auto expectError = [](const std::function<void()> &make, const char *text) {
        try {
            make();
            ADD_FAILURE() << "no error for " << text;
        } catch (const Exception &error) {
            EXPECT_STREQ(error.what(), text);
        }
    };
    expectError([] { TLumBar bar(nullptr); }, "Tried to create TLumBar with no owner.");
    expectError([] { TLumSeparators separators(nullptr); }, "Tried to create TLumSeparators with no owner.");
    expectError([] { TLumBarPicture picture(nullptr); }, "Tried to create TLumBarPicture with no owner.");
    expectError([] { TLumBarProtected cache(nullptr); }, "Tried to create TLumBarProtected with no owner.");
    TLumCustomBarPopupMenu menu;
    expectError([&] { menu.Bar()->GetGradientColor(2); }, "Invalid property index 2.");
    expectError([&] { menu.Bar()->SetGradientColor(-1, clRed); }, "Invalid property index -1.");
}

TEST_F(BarMenus, AssignCopiesTheSettingsAndDottedPathsReachThem)
{
    TLumCustomBarPopupMenu menu, other;
    TLumBar *bar = menu.Bar();
    TLumSeparators *separators = menu.Separators();

    // Separators copy their font, alignment, style and gradient, but not the fading.
    other.Separators()->setFade(true);
    other.Separators()->setSeparatorStyle(ssCaption);
    other.Separators()->setGradientEnd(clRed);
    separators->Assign(other.Separators());
    EXPECT_FALSE(separators->Fade());
    EXPECT_EQ(separators->SeparatorStyle(), ssCaption);
    EXPECT_EQ(separators->GradientEnd(), clRed);
    // The bar copies its sub-objects but their visibility stays.
    other.Bar()->setWidth(20);
    other.Bar()->BarCaption()->setCaption(QStringLiteral("X"));
    other.Bar()->BarCaption()->setVisible(false);
    bar->Assign(other.Bar());
    EXPECT_EQ(bar->Width(), 20);
    EXPECT_EQ(bar->BarCaption()->Caption(), QStringLiteral("X"));
    EXPECT_TRUE(bar->BarCaption()->Visible());
    // Dotted paths reach the settings by name.
    QMainWindow window;
    TLumBarMainMenu main(&window);
    main.property("Bar").value<TLumBar *>()->setProperty("Visible", false);
    EXPECT_FALSE(main.Bar()->Visible());
}

TEST_F(BarMenus, StartupFlagsFollowTheSystem)
{
    const struct
    {
        int platform, major, minor;
        bool win98, xp, w2k;
    } systems[] = {
        {VER_PLATFORM_WIN32_NT, 10, 0, true, false, true},
        {VER_PLATFORM_WIN32_NT, 5, 1, true, true, true},
        {VER_PLATFORM_WIN32_NT, 6, 0, true, false, true},
        {VER_PLATFORM_WIN32_NT, 4, 0, false, false, false},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, true, false, false},
    };
    TLumCustomBarPopupMenu menu;
    for (const auto &s : systems) {
        flags.version = {s.platform, s.major, s.minor};
        RecomputeStartupFlags();
        EXPECT_EQ(StartupFlags().Win98Plus, s.win98) << s.major << "." << s.minor;
        EXPECT_EQ(StartupFlags().WinXP, s.xp) << s.major << "." << s.minor;
        EXPECT_EQ(StartupFlags().Win2K, s.w2k) << s.major << "." << s.minor;
        EXPECT_EQ(menu.EffectiveStyle(), s.xp ? msWindowsXP : msStandard);
    }
}

TEST_F(BarMenus, SeparatorHeightsAndWidths)
{
    auto *menu = popup({QStringLiteral("Item"), QStringLiteral("-")});
    menu->Bar()->setVisible(false);
    TMenuItem *item = menu->Items()->Items(0);
    TMenuItem *line = menu->Items()->Items(1);
    EXPECT_EQ(menu->ItemSize(line).height(), 9);
    const QSize xp = menu->ItemSize(item);
    EXPECT_EQ(xp.height() % 2, 0);
    menu->SetMenuStyle(msStandard);
    menu->UpdateItems();
    EXPECT_EQ(menu->ItemSize(line).height(), 12);
    // The XP look is two pixels wider.
    EXPECT_EQ(menu->ItemSize(item).width() + 2, xp.width());
    line->setHint(QStringLiteral("Caption"));
    EXPECT_EQ(menu->ItemSize(line).height(), 14);
    line->setEnabled(false);
    EXPECT_EQ(menu->ItemSize(line).height(), 12);
    const int normal = menu->ItemSize(item).width();
    menu->Separators()->setSeparatorStyle(ssShortLine);
    menu->UpdateItems();
    EXPECT_EQ(menu->ItemSize(item).width(), normal + 10);
}

TEST_F(BarMenus, BarWidensTheFirstColumnAndSumsItsHeight)
{
    auto *menu = popup({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")});
    TMenuItem *two = menu->Items()->Items(1);
    TMenuItem *three = menu->Items()->Items(2);
    const int withBar = menu->ItemSize(two).width();
    menu->Bar()->setVisible(false);
    menu->UpdateItems();
    EXPECT_EQ(menu->ItemSize(two).width() + 33, withBar);
    menu->Bar()->setVisible(true);
    three->setBreak(mbBreak);
    menu->UpdateItems();
    menu->BarCache()->setMeasuring(true);
    const int first = menu->ItemSize(menu->Items()->Items(0)).height();
    EXPECT_EQ(menu->ItemSize(two).width(), withBar);
    EXPECT_EQ(menu->BarCache()->BarHeight, 2 * first);
    // The item after the break gets no bar.
    const int after = menu->ItemSize(three).width();
    EXPECT_LT(after, withBar);
    EXPECT_FALSE(IsAfterBreak(two));
    EXPECT_TRUE(IsAfterBreak(three));
}

TEST_F(BarMenus, MainWindowSeparatorFadesInOver32Pixels)
{
    auto *menu = popup({QStringLiteral("An item wide enough for both ends"), QStringLiteral("-")});
    menu->Bar()->setVisible(false);
    menu->Separators()->setFade(true);
    const QImage shot = open(menu);
    const QRect r = menu->Widget()->ItemRect(menu->Items()->Items(1));
    ASSERT_EQ(r.height(), 9);
    const int right = r.left() + r.width(); // the right edge, outside
    for (const auto &[dy, colour] : {std::pair{4, kShadow}, std::pair{5, kHighlightLine}}) {
        const int y = r.top() + dy;
        EXPECT_EQ(at(shot, r.left(), y), kMenu) << dy;
        EXPECT_EQ(at(shot, r.left() + 16, y), blend(kMenu, colour, 16, 32)) << dy;
        EXPECT_EQ(at(shot, r.left() + 31, y), blend(kMenu, colour, 31, 32)) << dy;
        EXPECT_EQ(at(shot, r.left() + 32, y), colour) << dy;
        EXPECT_EQ(at(shot, right - 32, y), colour) << dy;
        EXPECT_EQ(at(shot, right - 10, y), blend(kMenu, colour, 10, 32)) << dy;
    }
    EXPECT_EQ(at(shot, r.left() + 40, r.top() + 3), kMenu);
    EXPECT_EQ(at(shot, r.left() + 40, r.top() + 6), kMenu);
}

TEST_F(BarMenus, ShortLineEtchedSeparatorKeepsTwelvePixelsFree)
{
    auto *menu = popup({QStringLiteral("Item"), QStringLiteral("-"), QStringLiteral("Item")}, msStandard);
    menu->Bar()->setVisible(false);
    menu->Separators()->setSeparatorStyle(ssShortLine);
    const QImage shot = open(menu);
    const QRect r = menu->Widget()->ItemRect(menu->Items()->Items(1));
    ASSERT_EQ(r.height(), 12);
    const int y = r.top() + 5, right = r.left() + r.width();
    EXPECT_EQ(at(shot, r.left() + 11, y), kMenu);
    EXPECT_EQ(at(shot, r.left() + 12, y), kShadow);
    EXPECT_EQ(at(shot, r.left() + 12, y + 1), kHighlightLine);
    EXPECT_EQ(at(shot, right - 13, y), kShadow);
    EXPECT_EQ(at(shot, right - 12, y), kMenu);
}

TEST_F(BarMenus, CaptionSeparatorIsAGradientBandWithTheTextAtTheRight)
{
    auto *menu = popup({QStringLiteral("A long item caption"), QStringLiteral("-")});
    menu->Bar()->setVisible(false);
    menu->Separators()->setSeparatorStyle(ssCaption);
    menu->Separators()->setAlignment(taRightJustify);
    menu->Items()->Items(1)->setHint(QStringLiteral("Hi"));
    const QImage shot = open(menu);
    const QRect r = menu->Widget()->ItemRect(menu->Items()->Items(1));
    ASSERT_EQ(r.height(), 14);
    EXPECT_EQ(at(shot, r.left(), r.top()), clGray);
    const int w = r.width();
    EXPECT_EQ(at(shot, r.left() + w / 2, r.bottom()),
              RGB(128 + 64 * (w / 2) / w, 128 + 64 * (w / 2) / w, 128 + 64 * (w / 2) / w));
    const QRect text = inkBox(shot, r, RGB(0, 0, 0));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GT(text.left(), r.left() + w / 2);
    EXPECT_GE(text.right(), r.right() - 10);
}

TEST_F(BarMenus, CaptionedSeparatorLinesStopAtTheText)
{
    auto *menu = popup({QStringLiteral("A long item caption"), QStringLiteral("-")});
    menu->Bar()->setVisible(false);
    TMenuItem *line = menu->Items()->Items(1);
    line->setHint(QStringLiteral("Hi"));
    const QImage shot = open(menu);
    const QRect r = menu->Widget()->ItemRect(line);
    const QRect text = inkBox(shot, r, RGB(0, 0, 0));
    ASSERT_FALSE(text.isEmpty());
    // Etched halves on the sixth row, interrupted around the centred text.
    EXPECT_EQ(at(shot, r.left() + 2, r.top() + 6), kShadow);
    EXPECT_EQ(at(shot, r.left() + 2, r.top() + 7), kHighlightLine);
    EXPECT_EQ(at(shot, r.right() - 2, r.top() + 6), kShadow);
    EXPECT_EQ(at(shot, text.left() - 1, r.top() + 6), kMenu);
    EXPECT_NEAR((text.left() + text.right()) / 2, r.center().x(), 3);
    // Disabled, the text goes.
    line->setEnabled(false);
    menu->Widget()->hide();
    const QImage again = open(menu);
    EXPECT_TRUE(inkBox(again, menu->Widget()->ItemRect(line), RGB(0, 0, 0)).isEmpty());
}

TEST_F(BarMenus, XpCheckCellIsFramedOrFilled)
{
    TImageList images;
    auto *menu = popup({QStringLiteral("Checked"), QStringLiteral("Other")});
    menu->Bar()->setVisible(false);
    menu->setImages(&images);
    TMenuItem *item = menu->Items()->Items(0);
    item->setChecked(true);
    QImage shot = open(menu);
    const QRect r = menu->Widget()->ItemRect(item);
    ASSERT_EQ(r.height(), 20); // the list's 16 and 3, made even
    // The cell is two pixels in; its frame one pixel around it.
    const int left = r.left(), top = r.top();
    EXPECT_EQ(at(shot, left + 1, top + 10), kSelection);
    EXPECT_EQ(at(shot, left + 10, top + 1), kSelection);
    EXPECT_EQ(at(shot, left + 18, top + 10), kSelection);
    EXPECT_EQ(at(shot, left, top + 10), kMenu);
    EXPECT_EQ(at(shot, left + 3, top + 3), kMenu);
    // The check mark in the button text colour.
    EXPECT_FALSE(inkBox(shot, QRect(left + 2, top + 2, 16, 16), 0).isEmpty());

    menu->Widget()->setActiveAction(item->Action());
    shot = repaint(menu);
    EXPECT_EQ(at(shot, left, top + 10), kSelection);
    EXPECT_EQ(at(shot, left + 3, top + 3), kMenu);
    EXPECT_EQ(at(shot, left + 18, top + 10), kSelection);
    EXPECT_EQ(at(shot, r.right(), top + 10), kSelection);
}

TEST_F(BarMenus, StandardLookSinksCheckedAndRaisesSelectedGlyphs)
{
    TImageList images;
    images.Add(QImage(16, 16, QImage::Format_ARGB32));
    auto *menu = popup({QStringLiteral("Checked"), QStringLiteral("Image")}, msStandard);
    menu->Bar()->setVisible(false);
    menu->setImages(&images);
    TMenuItem *checked = menu->Items()->Items(0);
    TMenuItem *image = menu->Items()->Items(1);
    checked->setChecked(true);
    image->setImageIndex(0);
    menu->Widget()->setActiveAction(image->Action());
    const QImage shot = open(menu);
    menu->Widget()->setActiveAction(image->Action());
    const QImage selected = repaint(menu);
    // Checked: the cell one pixel in, shadow above and left, highlight below and right.
    const QRect c = menu->Widget()->ItemRect(checked);
    const int cy = c.top() + 1 + (c.height() - 16) / 2 - 1;
    EXPECT_EQ(at(shot, c.left() + 5, cy), kShadow);
    EXPECT_EQ(at(shot, c.left() + 1, cy + 5), kShadow);
    EXPECT_EQ(at(shot, c.left() + 5, cy + 17), kHighlightLine);
    EXPECT_EQ(at(shot, c.left() + 18, cy + 5), kHighlightLine);
    EXPECT_EQ(at(shot, c.left(), cy + 5), kMenu);
    // Selected with a glyph: raised around the cell from the item's left edge.
    const QRect s = menu->Widget()->ItemRect(image);
    const int sy = s.top() + (s.height() - 16) / 2 - 1;
    EXPECT_EQ(at(selected, s.left() + 5, sy), kHighlightLine);
    EXPECT_EQ(at(selected, s.left(), sy + 5), kHighlightLine);
    EXPECT_EQ(at(selected, s.left() + 5, sy + 18), kShadow);
    EXPECT_EQ(at(selected, s.left() + 18, sy + 5), kShadow);
    EXPECT_EQ(at(selected, s.left() + 25, s.top() + 2), kSelection);
}

TEST_F(BarMenus, DisabledCaptionIsDrawnTwice)
{
    auto *menu = popup({QStringLiteral("Disabled")});
    menu->Bar()->setVisible(false);
    menu->Items()->Items(0)->setEnabled(false);
    const QImage shot = open(menu);
    const QRect r = menu->Widget()->ItemRect(menu->Items()->Items(0));
    const QRect light = inkBox(shot, r, kHighlightLine);
    const QRect dark = inkBox(shot, r, kShadow);
    ASSERT_FALSE(dark.isEmpty());
    EXPECT_EQ(light.topLeft(), dark.topLeft() + QPoint(1, 1));
    EXPECT_EQ(light.bottomRight(), dark.bottomRight() + QPoint(1, 1));
}

TEST_F(BarMenus, ShortcutEndsBeforeTheRightEdge)
{
    auto *menu = popup({QStringLiteral("Open")});
    menu->Bar()->setVisible(false);
    TMenuItem *item = menu->Items()->Items(0);
    item->setShortCut(QKeySequence(Qt::Key_F9));
    const QImage shot = open(menu);
    const QRect r = menu->Widget()->ItemRect(item);
    const QRect ink = inkBox(shot, r, 0);
    const int edge = r.left() + r.width();
    // Right-aligned in a rectangle ending ten pixels before the content's last column.
    EXPECT_LE(ink.right(), edge - 12);
    EXPECT_GE(ink.right(), edge - 14);
}

TEST_F(BarMenus, DefaultBarOnEitherSide)
{
    auto *menu = popup({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")});
    QImage shot = open(menu);
    const int H = MenuWindows::ClientRect(menu->Widget()).height();
    const QRect first = menu->Widget()->ItemRect(menu->Items()->Items(0));
    const int x0 = first.left(), y0 = first.top();
    auto expected = [&](int row) {
        return RGB(175 - 175 * row / H, 189 - 189 * row / H, 216 - 216 * row / H);
    };
    EXPECT_EQ(menu->BarCache()->BarHeight, H);
    for (int row : {0, H / 2, H - 1}) {
        EXPECT_EQ(at(shot, x0, y0 + row), expected(row)) << row;
        EXPECT_EQ(at(shot, x0 + 31, y0 + row), expected(row)) << row;
        EXPECT_EQ(at(shot, x0 + 32, y0 + row), kMenu) << row;
    }
    menu->Widget()->hide();
    menu->Bar()->setSide(sRight);
    menu->InvalidateBar();
    shot = open(menu);
    const int right = first.left() + first.width();
    EXPECT_EQ(at(shot, right - 32, y0 + 5), expected(5));
    EXPECT_EQ(at(shot, right - 1, y0 + 5), expected(5));
    EXPECT_EQ(at(shot, right - 33, y0 + 5), kMenu);
    EXPECT_EQ(at(shot, x0 + 1, y0 + 5), kMenu);
}

TEST_F(BarMenus, BarIsRenderedOnceAndCopiedBandByBand)
{
    auto *menu = popup({QStringLiteral("One"), QStringLiteral("Two")});
    open(menu);
    EXPECT_EQ(menu->BarCache()->RenderCount, 1);
    EXPECT_TRUE(menu->BarCache()->BarValid);
    menu->Widget()->setActiveAction(menu->Items()->Items(1)->Action());
    repaint(menu);
    menu->Widget()->hide();
    open(menu);
    EXPECT_EQ(menu->BarCache()->RenderCount, 1);
    menu->Bar()->setWidth(20);
    menu->InvalidateBar();
    menu->UpdateItems();
    menu->Widget()->hide();
    open(menu);
    EXPECT_EQ(menu->BarCache()->RenderCount, 2);
    EXPECT_EQ(menu->BarCache()->BarBitmap().Width(), 20);
}

TEST_F(BarMenus, OpaqueTiledPictureHidesTheGradientATransparentOneShowsIt)
{
    auto *menu = popup({QStringLiteral("One"), QStringLiteral("Two")});
    TLumBarBackPicture *back = menu->Bar()->BarBackPicture();
    TBitmap &tile = back->Picture();
    tile.SetSize(4, 4);
    tile.Canvas().Brush.Color = clLime;
    tile.Canvas().FillRect(QRect(0, 0, 4, 4));
    tile.Canvas().SetPixel(0, 3, clRed);
    back->setDrawStyle(dsTile);
    back->setTransparent(false);
    QImage shot = open(menu);
    const QPoint origin = menu->Widget()->ItemRect(menu->Items()->Items(0)).topLeft();
    EXPECT_EQ(at(shot, origin.x() + 1, origin.y() + 1), clLime);
    EXPECT_EQ(at(shot, origin.x() + 0, origin.y() + 3), clRed);
    EXPECT_EQ(at(shot, origin.x() + 4, origin.y() + 7), clRed);
    // Transparent: the red corner colour lets the gradient through.
    menu->Widget()->hide();
    back->setTransparent(true);
    menu->InvalidateBar();
    shot = open(menu);
    EXPECT_EQ(at(shot, origin.x() + 1, origin.y() + 1), clLime);
    const int H = menu->BarCache()->BarHeight;
    EXPECT_EQ(at(shot, origin.x(), origin.y() + 3),
              RGB(175 - 175 * 3 / H, 189 - 189 * 3 / H, 216 - 216 * 3 / H));
}

TEST_F(BarMenus, BarEventsDecideWhatIsDrawn)
{
    auto *menu = popup({QStringLiteral("One"), QStringLiteral("Two")});
    menu->Bar()->setBorder(clRed);
    QImage shot = open(menu);
    const QPoint origin = menu->Widget()->ItemRect(menu->Items()->Items(0)).topLeft();
    EXPECT_EQ(at(shot, origin.x(), origin.y() + 5), clRed);

    // Without the background picture part there is no border either.
    menu->Widget()->hide();
    menu->SetOnAdvancedBeforeDrawBar(
        [](QObject *, TCanvas &, QRect, TBarParts &parts) { parts &= ~bpBackPicture; });
    menu->InvalidateBar();
    shot = open(menu);
    EXPECT_EQ(at(shot, origin.x(), origin.y() + 5),
              RGB(175 - 175 * 5 / menu->BarCache()->BarHeight, 189 - 189 * 5 / menu->BarCache()->BarHeight,
                  216 - 216 * 5 / menu->BarCache()->BarHeight));

    // DefaultDraw cleared: none of the parts, but what the handler painted shows.
    menu->Widget()->hide();
    QObject *sender = nullptr;
    menu->SetOnBeforeDrawBar([&](QObject *s, TCanvas &canvas, QRect rect, bool &defaultDraw) {
        sender = s;
        canvas.Brush.Color = clBlue;
        canvas.FillRect(QRect(0, 0, rect.width(), 10));
        defaultDraw = false;
    });
    int after = 0;
    menu->SetOnAfterDrawBar([&](QObject *, TCanvas &, QRect) { ++after; });
    menu->InvalidateBar();
    shot = open(menu);
    EXPECT_EQ(sender, menu);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(at(shot, origin.x() + 3, origin.y() + 3), clBlue);
    // Below the handler's stripe the bitmap is as it was made: white, no gradient.
    EXPECT_EQ(at(shot, origin.x() + 3, origin.y() + 12), clWhite);
}

TEST_F(BarMenus, CaptionEndsAboveABottomPicture)
{
    QStringList items;
    for (int i = 0; i < 8; ++i)
        items << QStringLiteral("Item %1").arg(i);
    auto *menu = popup(items);
    TLumBarPicture *picture = menu->Bar()->BarPicture();
    picture->Picture().SetSize(32, 20);
    picture->Picture().Canvas().Brush.Color = clBlue;
    picture->Picture().Canvas().FillRect(QRect(0, 0, 32, 20));
    picture->setTransparent(false);
    menu->Bar()->BarCaption()->setCaption(QStringLiteral("Bar"));
    const QImage shot = open(menu);
    const QPoint origin = menu->Widget()->ItemRect(menu->Items()->Items(0)).topLeft();
    const int H = menu->BarCache()->BarHeight;
    EXPECT_EQ(at(shot, origin.x() + 16, origin.y() + H - 1), clBlue);
    EXPECT_EQ(at(shot, origin.x() + 16, origin.y() + H - 20), clBlue);
    const QRect caption = inkBox(shot, QRect(origin, QSize(32, H)), clWhite);
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_LT(caption.bottom(), origin.y() + H - 20 - 6 + 1);
    EXPECT_GT(caption.height(), caption.width()); // written upwards
}

TEST_F(BarMenus, BarGoesOnlyBesideTheFirstColumnOfTheFirstVisibleDropDown)
{
    QMainWindow window;
    TLumBarMainMenu main(&window);
    main.BeginLoading();
    main.SetMenuStyle(msWindowsXP);
    TMenuItem *hidden = add(main.Items(), QStringLiteral("Hidden"));
    add(hidden, QStringLiteral("H1"));
    hidden->setVisible(false);
    TMenuItem *shown = add(main.Items(), QStringLiteral("Shown"));
    TMenuItem *s1 = add(shown, QStringLiteral("S1"));
    TMenuItem *s2 = add(shown, QStringLiteral("S2"));
    s2->setBreak(mbBreak);
    TMenuItem *other = add(main.Items(), QStringLiteral("Other"));
    TMenuItem *o1 = add(other, QStringLiteral("S1"));
    main.SetWindow(&window);
    main.Loaded();
    EXPECT_FALSE(hidden->Visible());
    EXPECT_TRUE(BarApplies(&main, s1));
    EXPECT_FALSE(BarApplies(&main, o1));
    EXPECT_EQ(main.ItemSize(s1).width(), main.ItemSize(o1).width() + 33);
    EXPECT_LT(main.ItemSize(s2).width(), main.ItemSize(s1).width());
    EXPECT_EQ(s1->OnAdvancedDrawItem, main.DrawHandler());
}

TEST_F(BarMenus, ItemsWithTheirOwnHandlersKeepThem)
{
    auto *menu = new TLumCustomBarPopupMenu(&owner);
    menu->BeginLoading();
    auto *own = new TMenuItem;
    own->setCaption(QStringLiteral("Own"));
    int drawn = 0, measured = 0;
    own->OnDrawItem = TMenuDrawItemEvent([&](TMenuItem *, TCanvas &canvas, QRect rect, bool) {
        canvas.Brush.Color = clRed;
        canvas.FillRect(rect);
        ++drawn;
    });
    own->OnMeasureItem = TMenuMeasureItemEvent([&](TMenuItem *, TCanvas &, int &, int &) { ++measured; });
    menu->Items()->Add(own);
    add(menu->Items(), QStringLiteral("Hooked"));
    menu->Loaded();
    EXPECT_FALSE(own->OnAdvancedDrawItem);
    EXPECT_EQ(menu->Items()->Items(1)->OnAdvancedDrawItem, menu->DrawHandler());
    const QImage shot = open(menu);
    EXPECT_EQ(drawn, 1);
    EXPECT_EQ(measured, 1);
    const QRect r = menu->Widget()->ItemRect(own);
    // Right of the side bar that the hooked item draws whole.
    EXPECT_EQ(at(shot, r.right() - 1, r.top() + 1), clRed);
    // Hooking again changes nothing.
    HookItems(menu);
    EXPECT_FALSE(own->OnAdvancedDrawItem);
}

TEST_F(BarMenus, OpacityOnlyBelowFullAlphaAndFlatBorder)
{
    auto *menu = popup({QStringLiteral("One")});
    open(menu);
    EXPECT_FALSE(MenuWindows::IsLayered(menu->Widget()));
    EXPECT_EQ(menu->Widget()->windowOpacity(), 1.0);
    menu->Widget()->hide();

    auto *translucent = popup({QStringLiteral("One")});
    translucent->SetMenuAlpha(200);
    translucent->SetFlatBorder(true);
    const QImage shot = open(translucent);
    EXPECT_TRUE(MenuWindows::IsLayered(translucent->Widget()));
    EXPECT_NEAR(translucent->Widget()->windowOpacity(), 200 / 255.0, 0.01);
    EXPECT_EQ(translucent->Widget()->mask(), QRegion(translucent->Widget()->rect()));
    EXPECT_EQ(at(shot, 0, 5), kShadow);
    EXPECT_EQ(at(shot, 1, 5), ColorToRGB(clBtnFace));
    EXPECT_EQ(at(shot, shot.width() - 1, 5), kShadow);
    translucent->Widget()->hide();

    // Without layered windows nothing is touched.
    flags.layered = false;
    RecomputeStartupFlags();
    auto *plain = popup({QStringLiteral("One")});
    plain->SetMenuAlpha(100);
    open(plain);
    EXPECT_FALSE(MenuWindows::IsLayered(plain->Widget()));
    plain->Widget()->hide();

    // A main menu makes a layered drop-down opaque again.
    flags.layered = true;
    RecomputeStartupFlags();
    QMainWindow window;
    TLumBarMainMenu main(&window);
    TMenuItem *file = add(main.Items(), QStringLiteral("File"));
    add(file, QStringLiteral("Open"));
    main.SetWindow(&window);
    main.Loaded();
    QWidget *drop = file->Action()->menu();
    MenuWindows::SetLayered(drop, true);
    MenuWindows::SetLayeredAlpha(drop, 128);
    drop->resize(drop->sizeHint());
    drop->grab();
    EXPECT_FALSE(MenuWindows::IsLayered(drop));
    EXPECT_EQ(drop->windowOpacity(), 1.0);
}

namespace {
// Paints every item itself in one colour and makes items 30 pixels high.
class SolidModule : public TLumBarMenusDrawModule
{
public:
    using TLumBarMenusDrawModule::TLumBarMenusDrawModule;
    void DrawMenuItem(TMenuItem *, TCanvas &canvas, QRect rect, TOwnerDrawState, bool barVisible,
                      bool &defaultDraw) override
    {
        canvas.Brush.Color = clGreen;
        canvas.FillRect(rect);
        drawnRect = rect;
        sawBar = barVisible;
        defaultDraw = false;
    }
    void MeasureMenuItem(TMenuItem *, TCanvas &, int &, int &height, bool, bool &) override { height = 30; }
    QRect drawnRect;
    bool sawBar = false;
};
} // namespace

TEST_F(BarMenus, DrawModuleTakesOverMeasuringAndPainting)
{
    auto *menu = popup({QStringLiteral("One"), QStringLiteral("Two")});
    auto *module = new SolidModule(&owner);
    menu->SetDrawModule(module);
    EXPECT_EQ(module->Menu(), menu);
    const QImage shot = open(menu);
    const QRect r = menu->Widget()->ItemRect(menu->Items()->Items(1));
    EXPECT_EQ(r.height(), 30);
    // The module gets the rectangle without the bar column; the bar is still drawn.
    EXPECT_TRUE(module->sawBar);
    EXPECT_EQ(module->drawnRect.left(), 33);
    EXPECT_EQ(at(shot, r.left() + 40, r.top() + 5), clGreen);
    EXPECT_NE(at(shot, r.left(), r.top() + 5), clGreen);
    menu->Widget()->hide();
    delete module;
    EXPECT_EQ(menu->GetDrawModule(), nullptr);
    menu->UpdateItems();
    EXPECT_NE(menu->ItemSize(menu->Items()->Items(1)).height(), 30);
}

TEST_F(BarMenus, AccessKeysAreUnderlinedOnlyAfterTheKeyboard)
{
    auto *menu = popup({QStringLiteral("File")});
    menu->Bar()->setVisible(false);
    TMenuItem *item = menu->Items()->Items(0);
    const QImage mouse = open(menu);
    const QRect r = menu->Widget()->ItemRect(item);
    const QRect plain = inkBox(mouse, r, 0);
    menu->Widget()->setKeyboardCues(true);
    const QRect underlined = inkBox(repaint(menu), r, 0);
    EXPECT_GT(underlined.bottom(), plain.bottom());
    menu->Widget()->hide();
    // Before Windows 2000 the underline always shows.
    flags.version = {VER_PLATFORM_WIN32_NT, 4, 0};
    RecomputeStartupFlags();
    open(menu);
    menu->Widget()->setKeyboardCues(false);
    EXPECT_EQ(inkBox(repaint(menu), r, 0).bottom(), underlined.bottom());
}
