#pragma once
// A canvas over a 32-bit image that keeps the drawing rules the components are written for:
// rectangles and lines exclude their right and bottom edge and their end point, shapes fill their
// bounding box, hatch brushes leave the background alone, flood fills follow a surface, text is
// laid out with the flags of the program's text drawing, and nothing is antialiased.
//
// Widgets paint through a canvas over an image of their own size that is then copied to the screen.

#include "Colors.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>

class TBitmap;

enum class TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
enum class TPenStyle { psSolid, psClear };
enum class TFillStyle { fsSurface, fsBorder };

struct TBrush
{
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
    // An 8 by 8 pattern; its pixels are used as they are (tiled from the image's origin).
    QImage Bitmap;
};

struct TPen
{
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = TPenStyle::psSolid;
};

// A font as the components give it: a face, a height in pixels, a style and a colour.
struct TFont
{
    QFont Font = QFont(QStringLiteral("DejaVu Sans"));
    TColor Color = clWindowText;
    // Angle of the text's baseline in tenths of a degree, counter-clockwise.
    int Orientation = 0;
    TFont();
    TFont(const QFont &font, TColor color);
    void setPixelHeight(int pixels) { Font.setPixelSize(pixels); }
};

// Text drawing flags, with the values the program's text drawing gives them.
namespace DT {
constexpr unsigned LEFT = 0x0;
constexpr unsigned CENTER = 0x1;
constexpr unsigned RIGHT = 0x2;
constexpr unsigned VCENTER = 0x4;
constexpr unsigned BOTTOM = 0x8;
constexpr unsigned WORDBREAK = 0x10;
constexpr unsigned SINGLELINE = 0x20;
constexpr unsigned EXPANDTABS = 0x40;
constexpr unsigned NOCLIP = 0x100;
constexpr unsigned CALCRECT = 0x400;
constexpr unsigned NOPREFIX = 0x800;
constexpr unsigned HIDEPREFIX = 0x100000;
} // namespace DT

// Edges of a 3D frame.
namespace Edge {
constexpr unsigned RAISEDOUTER = 0x1;
constexpr unsigned SUNKENOUTER = 0x2;
constexpr unsigned RAISEDINNER = 0x4;
constexpr unsigned SUNKENINNER = 0x8;
constexpr unsigned RAISED = RAISEDOUTER | RAISEDINNER;
constexpr unsigned SUNKEN = SUNKENOUTER | SUNKENINNER;
constexpr unsigned ETCHED = SUNKENOUTER | RAISEDINNER;
constexpr unsigned BUMP = RAISEDOUTER | SUNKENINNER;
constexpr unsigned LEFT = 0x1;
constexpr unsigned TOP = 0x2;
constexpr unsigned RIGHT = 0x4;
constexpr unsigned BOTTOM = 0x8;
constexpr unsigned RECT = LEFT | TOP | RIGHT | BOTTOM;
constexpr unsigned ADJUST = 0x2000;
} // namespace Edge

// Regions built from the same shapes the canvas draws. Like the system's regions they cover their
// box without its right and bottom edge.
namespace Regions {
QRegion rect(int left, int top, int right, int bottom);
QRegion ellipse(int left, int top, int right, int bottom);
QRegion roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
} // namespace Regions

class TCanvas
{
public:
    explicit TCanvas(QImage &image);

    QImage &Image() { return m_image; }
    TBrush Brush;
    TPen Pen;
    TFont Font;

    // Direct pixel access; reads outside the image give clNone.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Clipping: a region, or none.
    void SetClipRegion(const QRegion &region);
    void ClearClipRegion();
    bool HasClipRegion() const { return m_clipped; }

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    QPoint PenPos() const { return m_penPos; }
    void FillRect(const QRect &rect);
    void FrameRect(const QRect &rect);
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    void FillRegion(const QRegion &region);
    void FloodFill(int x, int y, TColor color, TFillStyle style);
    void DrawEdge(QRect &rect, unsigned edge, unsigned flags);
    // Top-left in one colour, bottom-right in the other, `width` rings inward; rect shrinks.
    void Frame3D(QRect &rect, TColor topColor, TColor bottomColor, int width);

    void Draw(int x, int y, const QImage &image);
    void StretchDraw(const QRect &dest, const QImage &image);
    void CopyRect(const QRect &dest, const QImage &source, const QRect &sourceRect);
    // Copies the pixels of `image` that are not of `transparent`.
    void DrawTransparent(int x, int y, const QImage &image, TColor transparent);

    int TextWidth(const QString &text) const;
    int TextHeight(const QString &text) const;
    void TextOut(int x, int y, const QString &text);
    void TextRect(const QRect &rect, int x, int y, const QString &text);
    // Lays out and draws `text` in `rect` by the flags; with CALCRECT it only measures and sets
    // rect's right and bottom. Returns the height of the text.
    int DrawText(const QString &text, QRect &rect, unsigned flags);

private:
    bool visible(int x, int y) const;
    void plot(int x, int y, QRgb rgb);
    bool brushPixel(int x, int y, QRgb &rgb) const;
    void fillSpans(const QRegion &region, bool useBrush, QRgb solid);
    void drawOutline(const QRegion &shape);
    void drawTextLine(int x, int baseline, const QString &shown, int underline, const QRect &clip,
                      bool clipped);

    QImage &m_image;
    QRegion m_clip;
    bool m_clipped = false;
    QPoint m_penPos;
};
