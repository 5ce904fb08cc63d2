#include "VelLabel.h"
#include "Canvas.h"
#include "FakePlatform.h"
#include "VelBackground.h"
#include "VelCommandLabel.h"
#include "VelFont3D.h"
#include "VelFrame.h"

#include "Mouse.h"
#include <QMouseEvent>
#include <QTest>
#include <functional>

#include <gtest/gtest.h>

namespace {
QImage coded(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 10, y * 10, 77));
    return image;
}

QImage area(TVelBackground &background, int w = 40, int h = 20)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    TCanvas canvas(image);
    background.PaintArea(canvas, w, h);
    return image;
}
} // namespace

TEST(VelBackground, TextureTilesCentresAndReplacesItsTransparentColour)
{
    TVelBackground b;
    b.setBackgroundStyle(bTexture);
    b.Texture()->setImage(coded(16, 16));
    QImage tiled = area(b);
    EXPECT_EQ(tiled.pixel(0, 0), qRgb(0, 0, 77));
    EXPECT_EQ(tiled.pixel(16, 0), qRgb(0, 0, 77));
    EXPECT_EQ(tiled.pixel(32, 16), qRgb(0, 0, 77));
    EXPECT_EQ(tiled.pixel(39, 19), qRgb(70, 30, 77));

    b.Texture()->setImage(coded(10, 10));
    b.Texture()->setImageStyle(isCenter);
    QImage centred = area(b);
    EXPECT_EQ(centred.pixel(15, 5), qRgb(0, 0, 77));
    EXPECT_EQ(centred.pixel(24, 14), qRgb(90, 90, 77));
    EXPECT_EQ(centred.pixel(14, 5), qRgb(1, 2, 3)); // the rest is not painted

    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 255));
    picture.setPixel(1, 0, qRgb(0, 0, 0));
    b.Texture()->setImage(picture);
    b.Texture()->setImageStyle(isStretched);
    b.Texture()->setTransparentColor(clFuchsia);
    b.Texture()->setTransparentBackground(clWhite);
    QImage stretched = area(b);
    EXPECT_EQ(stretched.pixel(5, 10), qRgb(255, 255, 255));
    EXPECT_EQ(stretched.pixel(30, 10), qRgb(0, 0, 0));

    b.Texture()->setImage(QImage());
    EXPECT_EQ(area(b).pixel(0, 0), qRgb(1, 2, 3));
}

TEST(VelBackground, BrushFillsOnWhiteOrOnTheSolidColour)
{
    TVelBackground b;
    b.setBackgroundStyle(bBrushFillUseCurrent);
    b.BrushFill()->setBrushStyle(int(TBrushStyle::bsCross));
    b.BrushFill()->setBrushColor(clBlue);
    QImage white = area(b);
    EXPECT_EQ(white.pixel(0, 3), qRgb(0, 0, 255));
    EXPECT_EQ(white.pixel(3, 7), qRgb(0, 0, 255));
    EXPECT_EQ(white.pixel(3, 3), qRgb(255, 255, 255));
    b.setBackgroundStyle(bBrushFillSolidColor);
    b.setSolidColor(clYellow);
    QImage yellow = area(b);
    EXPECT_EQ(yellow.pixel(0, 3), qRgb(0, 0, 255));
    EXPECT_EQ(yellow.pixel(3, 3), qRgb(255, 255, 0));
    b.setBackgroundStyle(bSolidcolor);
    b.setSolidColor(clRed);
    EXPECT_EQ(area(b).pixel(20, 10), qRgb(255, 0, 0));
}

TEST(VelBackground, ClientsAreRepaintedAndMayStandTwice)
{
    auto *b = new TVelBackground;
    TVelLabel label;
    label.setBackground(b);
    label.setFontBackground(b);
    EXPECT_EQ(b->Clients().size(), 2u);
    int changes = 0;
    b->OnChanged = [&](QObject *sender) {
        EXPECT_EQ(sender, b);
        ++changes;
    };
    b->Gradient()->setBeginColor(clRed);
    EXPECT_EQ(changes, 1);
    label.setFontBackground(nullptr);
    EXPECT_EQ(b->Clients().size(), 1u);
    label.setFontBackground(b);
    delete b; // the label drops both references
    EXPECT_EQ(label.Background(), nullptr);
    EXPECT_EQ(label.FontBackground(), nullptr);
    label.Render();
}

TEST(VelBackground, LabelsThatGoFirstLeaveTheList)
{
    TVelBackground b;
    {
        TVelLabel label;
        label.setBackground(&b);
    }
    EXPECT_TRUE(b.Clients().empty());
}

TEST(VelLabel, TextRectangleKeepsClearOfTheFrame)
{
    TVelLabel label;
    label.resize(100, 30);
    EXPECT_EQ(label.Frame()->FrameStyle(), frameNone);
    EXPECT_EQ(label.TextRect(), QRect(0, 1, 100, 28));
    label.Frame()->setFrameStyle(frameRaised);
    label.Frame()->setFrameWidth(2);
    EXPECT_EQ(label.TextRect(), QRect(2, 4, 94, 22)); // 2 from the left, 4 from each other side
    EXPECT_EQ(label.TextFlags(), DT::LEFT | DT::EXPANDTABS);
    label.setAlignment(TVelLabel::taCenter);
    label.setWordWrap(true);
    EXPECT_EQ(label.TextFlags(), DT::CENTER | DT::WORDBREAK | DT::EXPANDTABS);
}

TEST(VelLabel, TransparentLabelDrawsOnlyItsCaption)
{
    TVelLabel label;
    label.resize(113, 33);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(24);
    font.setBold(true);
    label.setFont(font);
    label.setCaption(QStringLiteral("Cinaxo"));
    label.setFontColor(clWhite);
    label.setTransparent(true);
    label.Font3D()->setShadow(clBlack);
    label.Font3D()->setStyle3D(fontOnlyShadow);
    const QImage image = label.Render();
    QRect white, black;
    int clear = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) == 0)
                ++clear;
            else if (p == qRgb(255, 255, 255))
                white |= QRect(x, y, 1, 1);
            else if (p == qRgb(0, 0, 0))
                black |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(white.isEmpty());
    EXPECT_EQ(black.right(), white.right() + 1); // the shadow lies one pixel right and down
    EXPECT_EQ(black.bottom(), white.bottom() + 1);
    EXPECT_GT(clear, image.width() * image.height() / 2); // nothing behind the text is painted
}

TEST(VelLabel, LayersGoColourBackgroundTextFrame)
{
    SysColors::resetToClassic();
    TVelBackground b;
    b.setBackgroundStyle(bTexture);
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(qRgb(0, 128, 0));
    b.Texture()->setImage(dot);
    b.Texture()->setImageStyle(isCenter);
    TVelLabel label;
    label.resize(40, 20);
    label.setColor(clYellow);
    label.setBackground(&b);
    label.Frame()->setFrameStyle(frameSolid);
    label.Frame()->setSolid(clRed);
    const QImage image = label.Render();
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));    // frame on top
    EXPECT_EQ(image.pixel(5, 15), qRgb(255, 255, 0)); // colour under the background
    EXPECT_EQ(image.pixel(19, 9), qRgb(0, 128, 0));   // the background's centred dot
}

TEST(VelLabel, AmpersandsAlwaysMarkMnemonics)
{
    TVelLabel label;
    label.resize(60, 20);
    label.setShowAccelChar(false);
    label.setFontColor(clBlack);
    label.setColor(clWhite);
    label.Font3D()->setThreeDimensional(false);
    label.setCaption(QStringLiteral("&a"));
    const QImage marked = label.Render();
    label.setCaption(QStringLiteral("a"));
    const QImage plain = label.Render();
    EXPECT_NE(marked, plain);
    label.setCaption(QStringLiteral("&&a"));
    EXPECT_NE(label.Render(), plain);
}

TEST(VelLabel, FilledLettersShowTheBackgroundInsideTheCaption)
{
    TVelBackground fill;
    fill.setBackgroundStyle(bSolidcolor);
    fill.setSolidColor(clRed);
    TVelLabel label;
    label.resize(80, 30);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(24);
    font.setBold(true);
    label.setFont(font);
    label.setCaption(QStringLiteral("HH"));
    label.setColor(clWhite);
    label.Font3D()->setThreeDimensional(false);
    label.setFontBackground(&fill);
    auto count = [](const QImage &image, QRgb colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == colour;
        return n;
    };
    // Without the mask, letters of any colour are filled.
    label.setFontColor(clBlack);
    label.Font3D()->setMaskFont(false);
    const QImage plain = label.Render();
    EXPECT_GT(count(plain, qRgb(255, 0, 0)), 20);
    EXPECT_EQ(count(plain, qRgb(0, 0, 0)), 0);
    EXPECT_EQ(plain.pixel(79, 29), qRgb(255, 255, 255));
    label.setEnabled(false);
    EXPECT_EQ(label.Render(), plain); // the enabled state plays no part here
}

TEST(VelCommandLabel, ColoursFollowHoverPressAndRelease)
{
    FakeShell shell;
    QWidget window;
    auto *label = new TVelCommandLabel(&window);
    label->resize(100, 16);
    label->Loaded();
    EXPECT_EQ(label->NormalColor(), clBlue);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isActiveWindow(); }));
    enter(label);
    EXPECT_EQ(label->FontColor(), clRed);
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(label->FontColor(), clBlue);
    EXPECT_EQ(shell.opened.size(), 1u); // on the press, before the release
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(label->FontColor(), clPurple);
    leave(label);
    EXPECT_EQ(label->FontColor(), clPurple);
    enter(label);
    leave(label);
    EXPECT_EQ(label->FontColor(), clPurple); // pressed once, followed for good
}

TEST(VelCommandLabel, HoverInAnInactiveWindowKeepsTheColour)
{
    TVelCommandLabel label;
    label.show();
    enter(&label);
    EXPECT_EQ(label.FontColor(), clBlue);
    leave(&label);
    EXPECT_EQ(label.FontColor(), clBlack); // never loaded from a layout: the resting colour is black
}

TEST(VelCommandLabel, TargetsOfEachCommand)
{
    TVelCommandLabel label;
    label.setCaption(QStringLiteral("http://cinaxo.example.org"));
    label.setCaptionValue(QStringLiteral("cinaxo.example.org"));
    EXPECT_EQ(label.Target(), QStringLiteral("cinaxo.example.org"));
    label.setCaption(QStringLiteral("Home page"));
    EXPECT_EQ(label.Target(), QStringLiteral("http://cinaxo.example.org"));
    label.setCaptionValue(QStringLiteral("http://x.org"));
    EXPECT_EQ(label.Target(), QStringLiteral("http://http://x.org"));
    label.setCommand(runMAIL);
    label.setCaptionValue(QStringLiteral("a@example.org"));
    EXPECT_EQ(label.Target(), QStringLiteral("mailto:a@example.org"));
    label.setCommand(runNothing);
    EXPECT_EQ(label.Target(), QStringLiteral("a@example.org"));
    label.setCommand(runFTP);
    EXPECT_EQ(label.Target(), QStringLiteral("ftp://a@example.org"));
    label.setCommand(runFILE);
    EXPECT_EQ(label.Target(), QStringLiteral("file:a@example.org"));
}

TEST(VelCommandLabel, EventCommandFiresTheEventInsteadOfTheShell)
{
    FakeShell shell;
    TVelCommandLabel label;
    label.resize(100, 16);
    label.show();
    label.setCommand(runEVENT);
    int fired = 0;
    label.RunEvent = [&](QObject *sender) {
        EXPECT_EQ(sender, &label);
        ++fired;
    };
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(fired, 1);
    EXPECT_TRUE(shell.opened.empty());
    label.setCaption(QStringLiteral("event page"));
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(fired, 1);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], label.CaptionValue());
}

TEST(VelCommandLabel, DisabledLabelIgnoresPresses)
{
    FakeShell shell;
    TVelCommandLabel label;
    label.resize(100, 16);
    label.show();
    label.setEnabled(false);
    int events = 0;
    QObject::connect(&label, &TVelCommandLabel::OnClick, [&] { ++events; });
    QObject::connect(&label, &TVelCommandLabel::OnMouseDown, [&] { ++events; });
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(events, 0);
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_FALSE(label.Followed());
}

TEST(VelLabel, PaintShowsEveryChangeOfLook)
{
    SysColors::resetToClassic();
    TVelBackground b;
    b.setBackgroundStyle(bGradient);
    TVelLabel label;
    label.resize(60, 24);
    label.setCaption(QStringLiteral("Cinaxo"));
    label.setBackground(&b);
    // The label paints from a buffer it keeps: every change must reach what the window shows.
    QImage shown = label.grab().toImage();
    const std::pair<const char *, std::function<void()>> changes[] = {
        {"caption", [&] { label.setCaption(QStringLiteral("Cinaxo 2")); }},
        {"alignment", [&] { label.setAlignment(TVelLabel::taRightJustify); }},
        {"font colour", [&] { label.setFontColor(clRed); }},
        {"3D style", [&] { label.Font3D()->setStyle3D(fontInset); }},
        {"frame", [&] { label.Frame()->setFrameStyle(frameSolid); }},
        {"background", [&] { b.Gradient()->setBeginColor(clLime); }},
        {"disabled", [&] { label.setEnabled(false); }},
        {"size", [&] { label.resize(70, 24); }},
    };
    for (const auto &[what, change] : changes) {
        change();
        const QImage now = label.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        EXPECT_NE(now, shown) << what;
        EXPECT_EQ(now, label.Render()) << what;
        shown = now;
    }
}
