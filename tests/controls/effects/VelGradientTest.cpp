#include "VelGradient.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(Rounding, MulDivHalvesAwayFromZeroAndRdToEven)
{
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(2, 65, 32), 4);
    EXPECT_EQ(MulDiv(1, 5, 0), -1);
    EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);
    EXPECT_EQ(Rd(0.5), 0);
    EXPECT_EQ(Rd(1.5), 2);
    EXPECT_EQ(Rd(2.5), 2);
    EXPECT_EQ(Rd(-0.5), 0);
    EXPECT_EQ(Rd(2.51), 3);
}

namespace {
QRgb rgb(TColor c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The colour of step n of a segment from c1 to c2 in C steps, zero components raised to 1.
TColor stepColor(TColor c1, TColor c2, int n, int C)
{
    auto comp = [&](int a, int b) {
        const int v = a + MulDiv(n, b - a, C - 1);
        return v == 0 ? 1 : v;
    };
    return RGB(comp(GetRValue(c1), GetRValue(c2)), comp(GetGValue(c1), GetGValue(c2)),
               comp(GetBValue(c1), GetBValue(c2)));
}
} // namespace

TEST(VelGradient, HorizontalBandsStepDownTheArea)
{
    TVelGradient g;
    g.setBeginColor(RGB(200, 0, 0));
    g.setEndColor(RGB(0, 0, 200));
    const QImage image = g.Render(10, 64, {}, clYellow);
    // One segment of 65 rows; step n covers rows MulDiv(n, 65, 32) up to MulDiv(n + 2, 65, 32).
    for (int row = 0; row < 64; ++row) {
        int last = 0;
        for (int n = 0; n < 32; ++n)
            if (MulDiv(n, 65, 32) <= row)
                last = n;
        EXPECT_EQ(image.pixel(5, row), rgb(stepColor(RGB(200, 0, 0), RGB(0, 0, 200), last, 32))) << row;
    }
    EXPECT_EQ(image.pixel(0, 0), qRgb(200, 1, 1)); // zero components raised to 1
    EXPECT_EQ(image.pixel(0, 63), qRgb(1, 1, 200));
}

TEST(VelGradient, AnInBetweenColourMakesTwoSegments)
{
    TVelGradient g;
    g.setBeginColor(clBlack);
    g.setEndColor(clWhite);
    g.setColorCount(2);
    const QImage image = g.Render(4, 40, {QStringLiteral("clRed")}, clNone);
    // hs = Rd(40 / 2) + 1 = 21: segment 0 over rows 0 to 20, segment 1 from row 21.
    EXPECT_EQ(image.pixel(0, 0), qRgb(1, 1, 1)); // black raised to (1, 1, 1)
    EXPECT_EQ(image.pixel(0, 12), qRgb(255, 1, 1));
    EXPECT_EQ(image.pixel(0, 22), qRgb(255, 1, 1));
    EXPECT_EQ(image.pixel(0, 39), qRgb(255, 255, 255));
}

TEST(VelGradient, ColorCountLimitsAndChangeSignals)
{
    TVelGradient g;
    QSignalSpy changes(&g, &TVelGradient::changed);
    for (int bad : {1, 0, 256})
        g.setColorCount(bad);
    EXPECT_EQ(g.ColorCount(), 32);
    EXPECT_EQ(changes.count(), 3);
    g.setColorCount(255);
    EXPECT_EQ(g.ColorCount(), 255);
}

TEST(VelGradient, ABadColourLineFailsThePaint)
{
    TVelGradient g;
    try {
        g.Render(10, 10, {QStringLiteral("clRed"), QStringLiteral("reddish")}, clNone);
        FAIL() << "painted";
    } catch (const std::exception &e) {
        EXPECT_STREQ(e.what(), "'reddish' is not a valid integer value");
    }
}

TEST(VelGradient, SpectralRaysAlternateBetweenTheStepAndItsMirror)
{
    TVelGradient g;
    g.setBeginColor(clRed);
    g.setEndColor(clBlue);
    g.setColorCount(2);
    g.setFillStyle(Spectral);
    const QImage image = g.Render(40, 40, {}, clNone);
    int red = 0, blue = 0;
    for (int x = 0; x < 40; ++x) {
        red += image.pixel(x, 0) == qRgb(255, 1, 1);
        blue += image.pixel(x, 0) == qRgb(0, 0, 255) || image.pixel(x, 0) == qRgb(1, 1, 255);
    }
    EXPECT_GT(red, 0);
    EXPECT_GT(blue, 0);
}

TEST(VelGradient, EachStylePutsTheStopsInItsPlaces)
{
    // Red to blue in two steps on 40 x 20: the first step is red with its zero parts raised to 1,
    // the last is blue likewise. What no step covers keeps the first stop as given.
    const QRgb begin = qRgb(255, 1, 1), end = qRgb(1, 1, 255), unpainted = qRgb(255, 0, 0);
    const QRgb mirror = qRgb(0, 0, 255); // the last step unraised, which spectral rays take turns with
    struct Case
    {
        int style;
        std::vector<std::pair<QPoint, QRgb>> pixels;
    } cases[] = {
        {Circle, {{{5, 5}, begin}, {{34, 5}, end}, {{5, 15}, end}, {{34, 15}, begin}}},
        {Horizontal, {{{20, 10}, begin}, {{20, 11}, end}, {{0, 0}, begin}, {{39, 19}, end}}},
        {Vertical, {{{20, 10}, begin}, {{21, 10}, end}, {{0, 19}, begin}, {{39, 0}, end}}},
        {LeftBottom, {{{20, 19}, begin}, {{39, 10}, begin}, {{21, 11}, end}, {{39, 19}, end}}},
        {RoundMiddle, {{{0, 0}, unpainted}, {{20, 2}, begin}, {{1, 10}, begin}, {{20, 10}, end}}},
        {SquareMiddle,
         {{{9, 10}, begin}, {{10, 5}, end}, {{29, 14}, end}, {{30, 10}, begin}, {{20, 15}, begin}}},
        {Spectral, {{{0, 0}, mirror}, {{1, 0}, begin}, {{2, 0}, mirror}, {{3, 0}, begin}}},
        {DoppelFlash,
         {{{0, 0}, unpainted}, {{3, 3}, end}, {{20, 10}, begin}, {{36, 16}, end}, {{39, 0}, unpainted}}},
        {Singleflash, {{{0, 0}, unpainted}, {{20, 5}, begin}, {{30, 15}, end}, {{39, 15}, end}}},
        {MiddleHBar,
         {{{20, 0}, unpainted}, {{20, 1}, end}, {{20, 16}, end}, {{20, 17}, begin}, {{20, 18}, unpainted}}},
        {MiddleVBar,
         {{{0, 10}, unpainted}, {{1, 10}, begin}, {{6, 10}, end}, {{31, 10}, end}, {{32, 10}, begin}}},
        {VerticalDoppelBar,
         {{{8, 10}, begin}, {{9, 10}, end}, {{16, 10}, end}, {{17, 10}, begin}, {{35, 10}, end}}},
        {HorizontalDoppelBar,
         {{{20, 4}, begin}, {{20, 5}, end}, {{20, 8}, end}, {{20, 9}, begin}, {{20, 19}, end}}},
    };
    ASSERT_EQ(std::size(cases), std::size_t(HorizontalDoppelBar + 1));
    for (const Case &c : cases) {
        TVelGradient g;
        g.setBeginColor(clRed);
        g.setEndColor(clBlue);
        g.setColorCount(2);
        g.setFillStyle(c.style);
        const QImage image = g.Render(40, 20, {}, clYellow);
        for (const auto &[point, colour] : c.pixels)
            EXPECT_EQ(image.pixel(point), colour)
                << "style " << c.style << " at " << point.x() << "," << point.y();
    }
}
