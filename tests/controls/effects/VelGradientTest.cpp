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

TEST(VelGradient, EveryStyleFillsTheWholeArea)
{
    for (int style = Circle; style <= HorizontalDoppelBar; ++style) {
        TVelGradient g;
        g.setBeginColor(clRed);
        g.setEndColor(clBlue);
        g.setFillStyle(style);
        const QImage image = g.Render(60, 30, {QStringLiteral("clLime")}, clYellow);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 60; ++x)
                ASSERT_NE(image.pixel(x, y), qRgb(255, 255, 0))
                    << "style " << style << " at " << x << "," << y;
    }
}
