#include "Canvas.h"
#include "VelFont3D.h"
#include "VelFrame.h"

#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

namespace {
const TColor kLight = clLime, kDark = clBlue;

struct Surface
{
    QImage image;
    TCanvas canvas{image};
    explicit Surface(int w = 100, int h = 20) : image(w, h, QImage::Format_RGB32)
    {
        SysColors::resetToClassic();
        image.fill(Qt::white);
    }
    TColor at(int x, int y) const { return canvas.Pixel(x, y); }
};

Surface framed(int style, int width = 1, int edges = FrameEdges::All)
{
    Surface s;
    TVelFrame frame;
    frame.setHighlight(kLight);
    frame.setShadow(kDark);
    frame.setFrameStyle(style);
    frame.setFrameWidth(width);
    frame.setEdges(edges);
    frame.Draw(s.canvas, QRect(0, 0, 100, 20));
    return s;
}
} // namespace

TEST(VelFrame, RaisedRingOnAHundredByTwenty)
{
    Surface s = framed(frameRaised);
    for (int y = 1; y <= 18; ++y)
        EXPECT_EQ(s.at(0, y), kLight) << y;
    for (int x = 0; x <= 98; ++x)
        EXPECT_EQ(s.at(x, 0), kLight) << x;
    for (int y = 0; y <= 18; ++y)
        EXPECT_EQ(s.at(99, y), kDark) << y;
    for (int x = 0; x <= 99; ++x)
        EXPECT_EQ(s.at(x, 19), kDark) << x; // the bottom, drawn last, owns both lower corners
    EXPECT_EQ(s.at(1, 1), clWhite);
}

TEST(VelFrame, FramedUpIsTwoRaisedRingsAroundTwoLowered)
{
    Surface s = framed(frameFramedUp, 2);
    EXPECT_EQ(s.at(0, 5), kLight);
    EXPECT_EQ(s.at(1, 5), kLight);
    EXPECT_EQ(s.at(2, 5), kDark);
    EXPECT_EQ(s.at(3, 5), kDark);
    EXPECT_EQ(s.at(4, 5), clWhite);
    EXPECT_EQ(s.at(98, 5), kDark);
    EXPECT_EQ(s.at(97, 5), kLight);
    EXPECT_EQ(s.at(96, 5), kLight);
    TVelFrame frame;
    frame.setFrameStyle(frameFramedUp);
    frame.setFrameWidth(2);
    EXPECT_EQ(frame.FrameSize(), 4);
}

TEST(VelFrame, PanelUpHasABlackOuterEdgeAndAShadowInside)
{
    Surface s = framed(framePanelUp);
    EXPECT_EQ(s.at(0, 5), kLight);
    EXPECT_EQ(s.at(99, 5), clBlack);
    EXPECT_EQ(s.at(50, 19), clBlack);
    EXPECT_EQ(s.at(1, 5), clWhite); // the inner ring has no left side
    EXPECT_EQ(s.at(98, 5), kDark);
    EXPECT_EQ(s.at(50, 18), kDark);
}

TEST(VelFrame, LoweredAndDownStylesTurnTheColoursRound)
{
    // One ring per set of colours on 100 x 20, each one pixel further in: the first colour on the
    // left and top, the second on the right and bottom.
    struct Case
    {
        int style;
        int size;
        std::vector<std::pair<QPoint, TColor>> pixels;
    } cases[] = {
        {frameLowered,
         1,
         {{{0, 5}, kDark}, {{50, 0}, kDark}, {{99, 5}, kLight}, {{50, 19}, kLight}, {{1, 5}, clWhite}}},
        {frameFramedDown,
         2,
         {{{0, 5}, kDark},
          {{50, 0}, kDark},
          {{99, 5}, kLight},
          {{50, 19}, kLight},
          {{1, 5}, kLight},
          {{50, 1}, kLight},
          {{98, 5}, kDark},
          {{50, 18}, kDark},
          {{2, 5}, clWhite}}},
        {framePanelDown,
         2,
         {{{0, 5}, kDark},
          {{50, 0}, kDark},
          {{99, 5}, clWhite},
          {{50, 19}, clWhite},
          {{1, 5}, clBlack},
          {{50, 1}, clBlack},
          {{98, 5}, kLight},
          {{50, 18}, kLight},
          {{2, 5}, clWhite}}},
        {frameLightBordered,
         2,
         {{{0, 5}, clWhite},
          {{50, 0}, clWhite},
          {{99, 5}, kDark},
          {{50, 19}, kDark},
          {{1, 5}, kLight},
          {{50, 1}, kLight},
          {{98, 5}, kLight},
          {{50, 18}, kLight},
          {{2, 5}, clWhite}}},
    };
    for (const Case &c : cases) {
        Surface s = framed(c.style);
        for (const auto &[point, colour] : c.pixels)
            EXPECT_EQ(s.at(point.x(), point.y()), colour)
                << "style " << c.style << " at " << point.x() << "," << point.y();
        TVelFrame frame;
        frame.setFrameStyle(c.style);
        EXPECT_EQ(frame.FrameSize(), c.size) << "style " << c.style;
    }
}

TEST(VelFrame, EdgesChooseTheSides)
{
    Surface s = framed(frameRaised, 1, FrameEdges::EdgeLeft | FrameEdges::EdgeRight);
    EXPECT_EQ(s.at(0, 10), kLight);
    EXPECT_EQ(s.at(99, 10), kDark);
    EXPECT_EQ(s.at(50, 0), clWhite);
    EXPECT_EQ(s.at(50, 19), clWhite);
}

TEST(VelFrame, NoneDrawsNothingAndWidthZeroIsIgnored)
{
    Surface s = framed(frameNone, 3);
    EXPECT_EQ(s.at(0, 0), clWhite);
    TVelFrame frame;
    frame.setFrameStyle(frameNone);
    EXPECT_EQ(frame.FrameSize(), 0);
    frame.setFrameStyle(frameSolid);
    frame.setFrameWidth(3);
    QSignalSpy changes(&frame, &TVelFrame::changed);
    frame.setFrameWidth(0);
    EXPECT_EQ(frame.FrameWidth(), 3);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(frame.FrameSize(), 3);
}

namespace {
// The pixels that plain text covers when drawn at `rect`: 3D copies are the same shape moved.
std::vector<QPoint> ink(const QFont &font, const QRect &rect)
{
    Surface s(80, 40);
    TVelFont3D plain;
    plain.setThreeDimensional(false);
    plain.Draw(s.canvas, font, clBlack, rect, QStringLiteral("Ag"), DT::LEFT, true);
    std::vector<QPoint> out;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x)
            if (s.at(x, y) == clBlack)
                out.emplace_back(x, y);
    return out;
}

// What the drawing must look like: each copy's ink in its colour, later copies over earlier ones.
QImage expected(const QFont &font, const QRect &rect, std::vector<std::pair<QPoint, TColor>> copies)
{
    Surface s(80, 40);
    for (const auto &[offset, color] : copies)
        for (const QPoint &p : ink(font, rect.translated(offset)))
            s.canvas.SetPixel(p.x(), p.y(), color);
    return s.image;
}

QImage drawn(const QFont &font, const QRect &rect, const std::function<void(TVelFont3D &)> &setUp,
             bool enabled = true)
{
    Surface s(80, 40);
    TVelFont3D font3D;
    font3D.setHighlight(kLight);
    font3D.setShadow(kDark);
    setUp(font3D);
    font3D.Draw(s.canvas, font, clRed, rect, QStringLiteral("Ag"), DT::LEFT, enabled);
    return s.image;
}

QFont testFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    return font;
}
} // namespace

TEST(VelFont3D, DefaultDrawsAHighlightUpAndLeftThenTheFace)
{
    const QRect r(10, 5, 60, 30);
    EXPECT_EQ(drawn(testFont(), r, [](TVelFont3D &) {}),
              expected(testFont(), r, {{QPoint(-1, -1), kLight}, {QPoint(0, 0), clRed}}));
}

TEST(VelFont3D, EachStylePutsItsCopies)
{
    const QRect r(10, 5, 60, 30);
    const QFont f = testFont();
    EXPECT_EQ(drawn(f, r, [](TVelFont3D &t) { t.setStyle3D(fontOnlyShadow); }),
              expected(f, r, {{QPoint(1, 1), kDark}, {QPoint(0, 0), clRed}}));
    EXPECT_EQ(drawn(f, r,
                    [](TVelFont3D &t) {
                        t.setStyle3D(fontRaised);
                        t.setOffset(2);
                    }),
              expected(f, r, {{QPoint(-2, -2), kLight}, {QPoint(2, 2), kDark}, {QPoint(0, 0), clRed}}));
    EXPECT_EQ(drawn(f, r, [](TVelFont3D &t) { t.setStyle3D(fontInset); }),
              expected(f, r, {{QPoint(-1, -1), kDark}, {QPoint(1, 1), kLight}, {QPoint(0, 0), clRed}}));
    EXPECT_EQ(drawn(f, r,
                    [](TVelFont3D &t) {
                        t.setStyle3D(fontOutLineShadow);
                        t.setOffset(3);
                    }),
              expected(f, r,
                       {{QPoint(-1, -1), kDark},
                        {QPoint(1, -1), kDark},
                        {QPoint(1, 1), kDark},
                        {QPoint(-1, 1), kDark},
                        {QPoint(0, 0), clRed}}));
    EXPECT_EQ(drawn(f, r, [](TVelFont3D &t) { t.setThreeDimensional(false); }),
              expected(f, r, {{QPoint(0, 0), clRed}}));
}

TEST(VelFont3D, RepetitionStacksCopiesBehindTheFace)
{
    const QRect r(10, 5, 60, 30);
    const QFont f = testFont();
    // Shrunk by 3, so the text starts 3 right and down; copies at +1, 0, -1, shadow -1, face -2.
    EXPECT_EQ(drawn(f, r,
                    [](TVelFont3D &t) {
                        t.setStyle3D(fontOnlyShadow);
                        t.setRepetition(repeatOnShadow);
                        t.setRepetitionwidth(3);
                        t.setRepetitionColor(clGray);
                    }),
              expected(f, r,
                       {{QPoint(4, 4), clGray},
                        {QPoint(3, 3), clGray},
                        {QPoint(2, 2), clGray},
                        {QPoint(2, 2), kDark},
                        {QPoint(1, 1), clRed}}));
    // Width 0: no copies, but everything is moved by the offset.
    EXPECT_EQ(drawn(f, r,
                    [](TVelFont3D &t) {
                        t.setStyle3D(fontOnlyShadow);
                        t.setRepetition(repeatOnShadow);
                    }),
              expected(f, r, {{QPoint(2, 2), kDark}, {QPoint(1, 1), clRed}}));
}

TEST(VelFont3D, HighlightRepetitionStacksCopiesUpAndLeftOfTheFace)
{
    const QRect r(10, 5, 60, 30);
    const QFont f = testFont();
    // Shrunk by 3 and moved back by the offset: copies at +2, +3, +4, then the shadow at +6 and
    // the face at +5, so the stack runs up and to the left of the face.
    EXPECT_EQ(drawn(f, r,
                    [](TVelFont3D &t) {
                        t.setStyle3D(fontOnlyShadow);
                        t.setRepetition(repeatOnHighLight);
                        t.setRepetitionwidth(3);
                        t.setRepetitionColor(clGray);
                    }),
              expected(f, r,
                       {{QPoint(2, 2), clGray},
                        {QPoint(3, 3), clGray},
                        {QPoint(4, 4), clGray},
                        {QPoint(6, 6), kDark},
                        {QPoint(5, 5), clRed}}));
}

TEST(VelFont3D, DisabledLookIgnoresTheStyle)
{
    SysColors::resetToClassic();
    const QRect r(10, 5, 60, 30);
    const QFont f = testFont();
    EXPECT_EQ(
        drawn(
            f, r, [](TVelFont3D &t) { t.setStyle3D(fontRaised); }, false),
        expected(f, r,
                 {{QPoint(0, 0), ColorToRGB(clBtnHighlight)}, {QPoint(-1, -1), ColorToRGB(clGrayText)}}));
}

TEST(VelFont3D, SettersAndTheirExceptions)
{
    TVelFont3D font3D;
    QSignalSpy changes(&font3D, &TVelFont3D::changed);
    font3D.setOffset(4);
    font3D.setOffset(0);
    EXPECT_EQ(font3D.Offset(), 4);
    EXPECT_EQ(changes.count(), 2); // 0 is ignored but still signals
    font3D.setRepetitionwidth(0);
    EXPECT_EQ(changes.count(), 2); // unchanged: silent
    font3D.setRepetitionwidth(5);
    EXPECT_EQ(font3D.DrawingWidth(), 2 * 4 + 5);
    font3D.setShadow(font3D.Shadow());
    EXPECT_EQ(changes.count(), 4);
}
