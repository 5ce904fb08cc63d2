#include "Canvas.h"

#include <gtest/gtest.h>

namespace {
// A white 40 x 20 image and a canvas on it, with the classic system colours.
struct Surface
{
    QImage image;
    TCanvas canvas{image};
    explicit Surface(TColor background = clWhite, QSize size = QSize(40, 20))
        : image(size, QImage::Format_RGB32)
    {
        SysColors::resetToClassic();
        image.fill(toQColor(background));
    }
    TColor at(int x, int y) const { return canvas.Pixel(x, y); }
    int count(TColor color) const
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += at(x, y) == color;
        return n;
    }
    QRect bounds(TColor color) const
    {
        QRect r;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (at(x, y) == color)
                    r |= QRect(x, y, 1, 1);
        return r;
    }
};
} // namespace

TEST(Colors, SystemColoursResolveThroughTheTable)
{
    SysColors::resetToClassic();
    EXPECT_EQ(ColorToRGB(clBtnFace), 0xC8D0D4u);
    SysColors::set(clBtnFace, RGB(1, 2, 3));
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(1, 2, 3));
    EXPECT_EQ(toQColor(clBtnFace), QColor(1, 2, 3));
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
    EXPECT_EQ(toQColor(clBlue), QColor(0, 0, 255));
    SysColors::resetToClassic();
}

TEST(Colors, NamesAndNumbers)
{
    EXPECT_EQ(StringToColorOpt(QStringLiteral("clRed")), clRed);
    EXPECT_EQ(StringToColorOpt(QStringLiteral("clbtnface")), clBtnFace);
    EXPECT_EQ(StringToColorOpt(QStringLiteral("$00FF0000")), clBlue);
    EXPECT_EQ(StringToColorOpt(QStringLiteral("255")), clRed);
    EXPECT_EQ(StringToColorOpt(QStringLiteral("-2147483633")), clBtnFace);
    EXPECT_FALSE(StringToColorOpt(QStringLiteral("reddish")).has_value());
    EXPECT_EQ(ColorToString(clYellow), QStringLiteral("clYellow"));
    EXPECT_EQ(ColorToString(0x123456), QStringLiteral("$00123456"));
}

TEST(Canvas, LinesLeaveOutTheirEndPoint)
{
    Surface s;
    s.canvas.Pen.Color = clBlack;
    s.canvas.MoveTo(2, 3);
    s.canvas.LineTo(10, 3);
    EXPECT_EQ(s.bounds(clBlack), QRect(2, 3, 8, 1)); // x 2 to 9: the end point 10 stays white
    s.canvas.MoveTo(0, 0);
    s.canvas.LineTo(4, 4);
    EXPECT_EQ(s.at(3, 3), clBlack);
    EXPECT_EQ(s.at(4, 4), clWhite);
    EXPECT_EQ(s.canvas.PenPos(), QPoint(4, 4));
}

TEST(Canvas, RectangleOutlinesInsideItsRightAndBottomEdge)
{
    Surface s;
    s.canvas.Pen.Color = clBlack;
    s.canvas.Brush.Color = clRed;
    s.canvas.Rectangle(2, 2, 8, 6);
    EXPECT_EQ(s.bounds(clBlack), QRect(2, 2, 6, 4));
    EXPECT_EQ(s.bounds(clRed), QRect(3, 3, 4, 2));
    EXPECT_EQ(s.at(8, 6), clWhite);
}

TEST(Canvas, FrameRectDrawsARingInTheBrushColour)
{
    Surface s;
    s.canvas.Brush.Color = clBlue;
    s.canvas.FrameRect(QRect(1, 1, 5, 4));
    EXPECT_EQ(s.count(clBlue), 2 * 5 + 2 * 2);
    EXPECT_EQ(s.at(2, 2), clWhite);
}

TEST(Canvas, HatchBrushesPaintOnlyTheirLines)
{
    for (const TColor background : {clWhite, clYellow}) {
        Surface s(background);
        s.canvas.Brush.Color = clNavy;
        s.canvas.Brush.Style = TBrushStyle::bsHorizontal;
        s.canvas.FillRect(QRect(0, 0, 16, 16));
        EXPECT_EQ(s.at(0, 7), clNavy);
        EXPECT_EQ(s.at(15, 15), clNavy);
        EXPECT_EQ(s.at(3, 3), background); // the background stays as it was
        EXPECT_EQ(s.count(clNavy), 32);
    }
    Surface s;
    s.canvas.Brush.Color = clBlack;
    s.canvas.Brush.Style = TBrushStyle::bsFDiagonal;
    s.canvas.FillRect(QRect(0, 0, 8, 8));
    EXPECT_EQ(s.at(0, 0), clBlack);
    EXPECT_EQ(s.at(5, 5), clBlack);
    EXPECT_EQ(s.at(5, 4), clWhite);
    s.canvas.Brush.Style = TBrushStyle::bsClear;
    s.canvas.FillRect(QRect(0, 0, 40, 20));
    EXPECT_EQ(s.count(clBlack), 8);
}

TEST(Canvas, FloodFillFollowsTheSurfaceOnly)
{
    Surface s;
    s.canvas.Brush.Color = clBlack;
    s.canvas.FillRect(QRect(10, 0, 1, 20)); // a wall
    s.canvas.Brush.Color = clRed;
    s.canvas.FloodFill(0, 0, clWhite, TFillStyle::fsSurface);
    EXPECT_EQ(s.count(clRed), 10 * 20);
    EXPECT_EQ(s.at(11, 0), clWhite);
    s.canvas.FloodFill(10, 5, clWhite, TFillStyle::fsSurface); // not of that colour: nothing
    EXPECT_EQ(s.count(clRed), 10 * 20);
    s.canvas.Brush.Color = clBlue;
    s.canvas.FloodFill(11, 0, clWhite, TFillStyle::fsSurface);
    EXPECT_EQ(s.count(clBlue), 29 * 20);
}

TEST(Canvas, FloodFillWithTheKeyColourEnds)
{
    Surface s;
    s.canvas.Brush.Color = clWhite;
    s.canvas.FloodFill(0, 0, clWhite, TFillStyle::fsSurface);
    EXPECT_EQ(s.count(clWhite), 40 * 20);
}

TEST(Canvas, ClipRegionLimitsEveryDrawing)
{
    Surface s;
    s.canvas.SetClipRegion(Regions::rect(5, 5, 10, 10));
    s.canvas.Brush.Color = clRed;
    s.canvas.FillRect(QRect(0, 0, 40, 20));
    EXPECT_EQ(s.bounds(clRed), QRect(5, 5, 5, 5));
    s.canvas.ClearClipRegion();
    s.canvas.SetPixel(0, 0, clRed);
    EXPECT_EQ(s.at(0, 0), clRed);
}

TEST(Canvas, EllipseFillsItsBoundingBox)
{
    Surface s;
    s.canvas.Pen.Color = clBlack;
    s.canvas.Brush.Color = clRed;
    s.canvas.Ellipse(2, 2, 12, 8);
    const QRect all = s.bounds(clBlack) | s.bounds(clRed);
    EXPECT_EQ(all, QRect(2, 2, 10, 6));
    EXPECT_EQ(s.at(7, 5), clRed);    // the middle is brush
    EXPECT_EQ(s.at(2, 2), clWhite);  // the box's corner is outside
    EXPECT_EQ(s.at(2, 5), clBlack);  // the leftmost column is outline
    EXPECT_EQ(s.at(11, 4), clBlack); // and so is the rightmost
}

TEST(Canvas, RegionsOfShapesAreOnePixelSmallerThanTheirBox)
{
    EXPECT_EQ(Regions::rect(0, 0, 10, 5).boundingRect(), QRect(0, 0, 10, 5));
    EXPECT_EQ(Regions::ellipse(0, 0, 11, 7).boundingRect(), QRect(0, 0, 10, 6));
    const QRegion rounded = Regions::roundRect(1, 1, 72, 25, 15, 12);
    EXPECT_EQ(rounded.boundingRect(), QRect(1, 1, 70, 23));
    EXPECT_FALSE(rounded.contains(QPoint(1, 1))); // the corner is cut
    EXPECT_TRUE(rounded.contains(QPoint(36, 1))); // the top edge is not
    EXPECT_TRUE(rounded.contains(QPoint(1, 12))); // nor the left edge's middle
}

TEST(Canvas, StretchedCopiesTakeTheNearestPixel)
{
    QImage source(2, 1, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(255, 0, 0));
    source.setPixel(1, 0, qRgb(0, 0, 255));
    Surface s;
    s.canvas.StretchDraw(QRect(0, 0, 4, 2), source);
    EXPECT_EQ(s.at(1, 1), clRed);
    EXPECT_EQ(s.at(2, 0), clBlue);
    EXPECT_EQ(s.at(4, 0), clWhite);
    s.canvas.DrawTransparent(10, 0, source, clRed);
    EXPECT_EQ(s.at(10, 0), clWhite);
    EXPECT_EQ(s.at(11, 0), clBlue);
}

TEST(Canvas, EdgesAndFramesLightTopLeftDarkBottomRight)
{
    Surface s;
    QRect r(0, 0, 10, 6);
    s.canvas.DrawEdge(r, Edge::RAISEDINNER, Edge::RECT | Edge::ADJUST);
    EXPECT_EQ(r, QRect(1, 1, 8, 4));
    EXPECT_EQ(s.at(0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(s.at(9, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(s.at(0, 5), ColorToRGB(clBtnShadow));
    EXPECT_EQ(s.at(9, 5), ColorToRGB(clBtnShadow));

    Surface f(clWhite, QSize(100, 20));
    QRect frame(0, 0, 100, 20);
    f.canvas.Frame3D(frame, clRed, clBlue, 1);
    EXPECT_EQ(frame, QRect(1, 1, 98, 18));
    EXPECT_EQ(f.at(0, 0), clRed);
    EXPECT_EQ(f.at(98, 0), clRed);
    EXPECT_EQ(f.at(99, 0), clBlue);
    EXPECT_EQ(f.at(0, 19), clBlue);
    EXPECT_EQ(f.at(0, 18), clRed);
}

TEST(CanvasText, MeasuresAndPlacesSingleLines)
{
    Surface s;
    s.canvas.Font.Font.setPixelSize(11);
    s.canvas.Font.Color = clBlack;
    QRect calc(0, 0, 0, 0);
    const int height = s.canvas.DrawText(QStringLiteral("Wide"), calc, DT::CALCRECT | DT::SINGLELINE);
    EXPECT_EQ(calc.width(), s.canvas.TextWidth(QStringLiteral("Wide")));
    EXPECT_EQ(height, s.canvas.TextHeight(QStringLiteral("Wide")));
    EXPECT_EQ(s.count(clBlack), 0); // measuring draws nothing

    QRect box(0, 0, 40, 20);
    s.canvas.Brush.Style = TBrushStyle::bsClear;
    s.canvas.DrawText(QStringLiteral("I"), box, DT::SINGLELINE | DT::CENTER | DT::VCENTER);
    const QRect ink = s.bounds(clBlack);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), 20, 2);
    EXPECT_NEAR(ink.center().y(), 10, 3);
}

TEST(CanvasText, WordBreakAndLineBreaksMakeLines)
{
    Surface s;
    s.canvas.Font.Font.setPixelSize(11);
    const int line = s.canvas.TextHeight(QStringLiteral("x"));
    QRect narrow(0, 0, s.canvas.TextWidth(QStringLiteral("word word")) - 1, 0);
    EXPECT_EQ(s.canvas.DrawText(QStringLiteral("word word"), narrow, DT::WORDBREAK | DT::CALCRECT), 2 * line);
    QRect wide(0, 0, 200, 0);
    EXPECT_EQ(s.canvas.DrawText(QStringLiteral("word word"), wide, DT::WORDBREAK | DT::CALCRECT), line);
    QRect breaks(0, 0, 200, 0);
    EXPECT_EQ(s.canvas.DrawText(QStringLiteral("a\r\nb\nc"), breaks, DT::CALCRECT), 3 * line);
    QRect single(0, 0, 200, 0);
    EXPECT_EQ(s.canvas.DrawText(QStringLiteral("a\nb"), single, DT::CALCRECT | DT::SINGLELINE), line);
}

TEST(CanvasText, MnemonicsAreUnderlinedUnlessHidden)
{
    auto inkHeight = [](unsigned flags, const QString &text) {
        Surface s;
        s.canvas.Font.Font.setPixelSize(11);
        s.canvas.Font.Color = clBlack;
        s.canvas.Brush.Style = TBrushStyle::bsClear;
        QRect r(0, 0, 40, 20);
        s.canvas.DrawText(text, r, DT::SINGLELINE | flags);
        return s.bounds(clBlack);
    };
    const QRect shown = inkHeight(0, QStringLiteral("&a"));
    const QRect hidden = inkHeight(DT::HIDEPREFIX, QStringLiteral("&a"));
    const QRect plain = inkHeight(0, QStringLiteral("a"));
    EXPECT_GT(shown.bottom(), plain.bottom()); // the underline goes below the letter
    EXPECT_EQ(hidden, plain);
    Surface s;
    s.canvas.Font.Font.setPixelSize(11);
    QRect r(0, 0, 0, 0);
    s.canvas.DrawText(QStringLiteral("a&&b"), r, DT::CALCRECT | DT::SINGLELINE);
    EXPECT_EQ(r.width(), s.canvas.TextWidth(QStringLiteral("a&b")));
    s.canvas.DrawText(QStringLiteral("a&&b"), r, DT::CALCRECT | DT::SINGLELINE | DT::NOPREFIX);
    EXPECT_EQ(r.width(), s.canvas.TextWidth(QStringLiteral("a&&b")));
}

TEST(CanvasText, TextIsClippedToItsRectangleUnlessNoClip)
{
    auto ink = [](unsigned flags) {
        Surface s;
        s.canvas.Font.Font.setPixelSize(11);
        s.canvas.Font.Color = clBlack;
        s.canvas.Brush.Style = TBrushStyle::bsClear;
        QRect r(0, 0, 4, 20);
        s.canvas.DrawText(QStringLiteral("MMMM"), r, DT::SINGLELINE | flags);
        return s.bounds(clBlack);
    };
    EXPECT_LE(ink(0).right(), 3);
    EXPECT_GT(ink(DT::NOCLIP).right(), 3);
}

TEST(CanvasText, RotatedTextRunsUpwards)
{
    Surface s;
    QImage tall(20, 60, QImage::Format_RGB32);
    tall.fill(Qt::white);
    TCanvas canvas(tall);
    canvas.Font.Font.setPixelSize(11);
    canvas.Font.Color = clBlack;
    canvas.Font.Orientation = 900;
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.TextOut(2, 55, QStringLiteral("Cinaxo"));
    QRect ink;
    for (int y = 0; y < tall.height(); ++y)
        for (int x = 0; x < tall.width(); ++x)
            if (canvas.Pixel(x, y) == clBlack)
                ink |= QRect(x, y, 1, 1);
    EXPECT_GT(ink.height(), ink.width() * 2);
}
