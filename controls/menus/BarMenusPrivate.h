#pragma once
// What the drawing routines of the bar menus share: rectangles as the drawing rules count them
// (right and bottom edges outside), and the edges, marks and rounding they use.

#include "Canvas.h"

#include <QRect>
#include <cmath>

struct WRect
{
    int Left = 0, Top = 0, Right = 0, Bottom = 0;

    static WRect from(const QRect &r)
    {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    QRect q() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    void offset(int dx, int dy)
    {
        Left += dx;
        Right += dx;
        Top += dy;
        Bottom += dy;
    }
    void inflate(int dx, int dy)
    {
        Left -= dx;
        Right += dx;
        Top -= dy;
        Bottom += dy;
    }
};

// Rounds to the nearest integer, halves to the even neighbour.
inline int roundEven(double value)
{
    return int(std::nearbyint(value));
}

// A 3D edge on the sides of `flags`; with the flat flag a raised outer edge is a line in the
// shadow colour (and an inner one in the face colour).
void DrawEdgeEx(TCanvas &canvas, const WRect &rect, unsigned edge, unsigned flags);
