// The side bar: rendered once into the menu's bar bitmap, then copied band by band.

#include "BarMenus.h"
#include "BarMenusPrivate.h"
#include "Bitmap.h"
#include "MenuWidgets.h"

#include <cstring>

namespace {
QRgb rgbOf(int r, int g, int b)
{
    return qRgb(r, g, b);
}

void fillRow(QImage &image, int y, int left, int width, QRgb colour)
{
    if (y < 0 || y >= image.height())
        return;
    auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
    for (int x = std::max(left, 0); x < std::min(left + width, image.width()); ++x)
        line[x] = colour;
}

void drawBackPicture(IBarMenusIntf *menu, TBitmap &bitmap, const QRect &whole)
{
    TLumBarBackPicture *back = menu->Bar()->BarBackPicture();
    TCanvas &canvas = bitmap.Canvas();
    if (!back->PictureEmpty()) {
        TBitmap &picture = back->Picture();
        const int pw = picture.Width(), ph = picture.Height();
        switch (back->DrawStyle()) {
        case dsNormal: {
            const QPoint at = GetPicturePos(menu, back);
            back->DrawAt(canvas, at.x(), at.y());
            break;
        }
        case dsTile: {
            if (pw < 1 || ph < 1)
                break;
            int px = 0, py = 0;
            if (back->HorzAlignment() != haLeft) {
                px = bitmap.Width() % pw - pw;
                if (back->HorzAlignment() == haCenter)
                    px /= 2;
            }
            if (back->VertAlignment() != vaTop) {
                py = bitmap.Height() % ph - ph;
                if (back->VertAlignment() == vaMiddle)
                    py /= 2;
            }
            int y0 = back->OffsetY() + py;
            while (y0 > 0)
                y0 -= ph;
            int x0 = back->OffsetX() + px;
            while (x0 > 0)
                x0 -= pw;
            for (int x = x0; x <= bitmap.Width(); x += pw)
                for (int y = y0; y <= bitmap.Height(); y += ph)
                    back->DrawAt(canvas, x, y);
            break;
        }
        case dsStretch: {
            TBitmap stretched;
            stretched.SetSize(whole.width(), whole.height());
            stretched.Canvas().StretchDraw(whole, picture.Image());
            // The stretched copy keeps the picture's transparent corner colour.
            const bool transparent = back->Transparent();
            if (transparent) {
                const QRgb corner = picture.Image().pixel(0, ph - 1);
                canvas.DrawTransparent(0, 0, stretched.Image(),
                                       RGB(qRed(corner), qGreen(corner), qBlue(corner)));
            } else {
                canvas.Draw(0, 0, stretched.Image());
            }
            break;
        }
        default:
            break;
        }
    }
    // The border belongs to the background picture's part.
    if (menu->Bar()->Border() != clNone) {
        const TBrush saved = canvas.Brush;
        canvas.Brush = TBrush();
        canvas.Brush.Color = menu->Bar()->Border();
        canvas.FrameRect(whole);
        canvas.Brush = saved;
    }
}

void drawCaption(IBarMenusIntf *menu, TBitmap &bitmap, const QRect &whole)
{
    TLumBarCaption *caption = menu->Bar()->BarCaption();
    TCanvas &canvas = bitmap.Canvas();
    const TFont savedFont = canvas.Font;
    const TBrush savedBrush = canvas.Brush;
    canvas.Font = caption->Font()->Value();
    const QString text = caption->Caption();
    const int tw = canvas.TextWidth(text);
    const int th = canvas.TextHeight(text);
    canvas.Font.Orientation = caption->Direction() == dUpToDown ? -900 : 900;
    const int W = menu->Bar()->Width();
    const int barHeight = menu->BarCache()->BarHeight;
    int x = roundEven((W - th) / 2.0 - 0.5);
    int y = 0;
    switch (caption->Alignment()) {
    case vaTop:
        y = caption->OffsetY() + tw;
        break;
    case vaBottom: {
        y = barHeight - caption->OffsetY();
        TLumBarPicture *picture = menu->Bar()->BarPicture();
        if (picture->VertAlignment() == vaBottom)
            y -= picture->Picture().Height();
        break;
    }
    default:
        y = roundEven((barHeight + tw) / 2.0 - 0.5);
        break;
    }
    if (caption->Direction() == dUpToDown) {
        y -= tw;
        x += th + 1;
    }
    canvas.Brush.Style = TBrushStyle::bsClear;
    const QRect clip = whole.adjusted(0, 0, 0, 1);
    const TColor face = canvas.Font.Color;
    const int depth = caption->Depth();
    if (caption->HighlightColor() != clNone) {
        canvas.Font.Color = caption->HighlightColor();
        canvas.TextRect(clip, x - depth, y + depth, text);
    }
    if (caption->ShadowColor() != clNone) {
        canvas.Font.Color = caption->ShadowColor();
        canvas.TextRect(clip, x + depth, y - depth, text);
    }
    canvas.Font.Color = face;
    canvas.TextRect(clip, x, y, text);
    canvas.Font = savedFont;
    canvas.Brush = savedBrush;
}
} // namespace

void FillGradient(TBitmap *bitmap, TCanvas &canvas, const QRect &rect, TColor startColor, TColor endColor,
                  int style)
{
    const int W = rect.width(), H = rect.height();
    const TColor start = ColorToRGB(startColor), end = ColorToRGB(endColor);
    QImage *image = nullptr;
    if (bitmap) {
        bitmap->setPixelFormat(TPixelFormat::pf32bit);
        if (bitmap->Image().format() != QImage::Format_RGB32)
            bitmap->Image() = bitmap->Image().convertToFormat(QImage::Format_RGB32);
        image = &bitmap->Image();
    }
    auto put = [&](int x, int y, int r, int g, int b) {
        if (image) {
            if (x >= 0 && y >= 0 && x < image->width() && y < image->height())
                reinterpret_cast<QRgb *>(image->scanLine(y))[x] = rgbOf(r, g, b);
        } else {
            canvas.SetPixel(x, y, RGB(r, g, b));
        }
    };
    if (start == end) {
        if (image) {
            for (int y = rect.top(); y < rect.top() + H; ++y)
                fillRow(*image, y, rect.left(), W,
                        rgbOf(GetRValue(start), GetGValue(start), GetBValue(start)));
        } else {
            canvas.Brush.Color = start;
            canvas.FillRect(rect);
        }
        return;
    }
    if (H < 1 || W < 1)
        return;
    const int sr = GetRValue(start), sg = GetGValue(start), sb = GetBValue(start);
    const int dr = GetRValue(end) - sr, dg = GetGValue(end) - sg, db = GetBValue(end) - sb;
    switch (style) {
    case gsHorizontal: {
        for (int x = rect.left(); x < rect.left() + W; ++x) {
            const int t = x - rect.left();
            put(x, rect.top(), sr + dr * t / W, sg + dg * t / W, sb + db * t / W);
        }
        // The first row, copied into the others.
        for (int y = rect.top() + 1; y < rect.top() + H; ++y) {
            if (image) {
                if (y < 0 || y >= image->height() || rect.top() < 0 || rect.top() >= image->height())
                    continue;
                const auto *from = reinterpret_cast<const QRgb *>(image->constScanLine(rect.top()));
                auto *to = reinterpret_cast<QRgb *>(image->scanLine(y));
                const int x0 = std::max(rect.left(), 0), x1 = std::min(rect.left() + W, image->width());
                if (x1 > x0)
                    std::memcpy(to + x0, from + x0, std::size_t(x1 - x0) * sizeof(QRgb));
            } else {
                for (int x = rect.left(); x < rect.left() + W; ++x) {
                    const TColor c = canvas.Pixel(x, rect.top());
                    if (c != clNone)
                        canvas.SetPixel(x, y, c);
                }
            }
        }
        break;
    }
    case gsVertical:
        for (int y = rect.top(); y < rect.top() + H; ++y) {
            const int t = y - rect.top();
            const int r = sr + dr * t / H, g = sg + dg * t / H, b = sb + db * t / H;
            if (image) {
                fillRow(*image, y, rect.left(), W, rgbOf(r, g, b));
            } else {
                for (int x = rect.left(); x < rect.left() + W; ++x)
                    canvas.SetPixel(x, y, RGB(r, g, b));
            }
        }
        break;
    case gsDiagonalLeftRight:
    case gsDiagonalRightLeft:
        for (int y = rect.top(); y < rect.top() + H; ++y) {
            for (int x = rect.left(); x < rect.left() + W; ++x) {
                const int t = int((double(y - rect.top()) / H + double(x - rect.left()) / W) * 512);
                const int px = style == gsDiagonalLeftRight ? x : rect.left() + W - 1 - x + rect.left();
                put(px, y, sr + dr * t / 1024, sg + dg * t / 1024, sb + db * t / 1024);
            }
        }
        break;
    default:
        break;
    }
}

QPoint GetPicturePos(IBarMenusIntf *menu, TLumBarPicture *picture)
{
    const int H = menu->BarCache()->BarHeight;
    const int W = menu->Bar()->Width();
    const int pw = picture->Picture().Width(), ph = picture->Picture().Height();
    int x = 0, y = 0;
    switch (picture->VertAlignment()) {
    case vaTop:
        y = picture->OffsetY();
        break;
    case vaBottom:
        y = H + picture->OffsetY() - ph;
        break;
    default:
        y = (H - ph) / 2 + picture->OffsetY();
        break;
    }
    switch (picture->HorzAlignment()) {
    case haLeft:
        x = picture->OffsetX();
        break;
    case haRight:
        x = W + picture->OffsetX() - pw;
        break;
    default:
        x = (W - pw) / 2 + picture->OffsetX();
        break;
    }
    return QPoint(x, y);
}

void DrawBar(IBarMenusIntf *menu, TMenuItem *item, TCanvas &canvas, const QRect &itemRect)
{
    TLumBar *bar = menu->Bar();
    TLumBarProtected *cache = menu->BarCache();
    const int W = bar->Width();
    if (cache->Measuring())
        if (QWidget *window = MenuWindows::WindowFromCanvas(canvas))
            cache->BarHeight = MenuWindows::ClientRect(window).height();
    TBitmap &bitmap = cache->BarBitmap();
    if (cache->Measuring()) {
        cache->setMeasuring(false);
        if (bitmap.Height() != cache->BarHeight || bitmap.Width() != W) {
            bitmap.SetSize(W, cache->BarHeight);
            cache->BarValid = false;
        }
    }
    const bool right = bar->Side() == sRight;
    if (cache->BarValid) {
        const int x = right ? itemRect.left() + itemRect.width() - W : itemRect.left();
        canvas.CopyRect(QRect(x, itemRect.top(), W, itemRect.height()), bitmap.Image(),
                        QRect(0, itemRect.top(), W, itemRect.height()));
        return;
    }
    QObject *sender = item->GetParentMenu();
    const QRect whole(0, 0, bitmap.Width(), bitmap.Height());
    bool defaultDraw = true;
    if (const TOnBeforeDrawBarEvent before = menu->GetOnBeforeDrawBar())
        before(sender, bitmap.Canvas(), whole, defaultDraw);
    if (defaultDraw) {
        TBarParts parts = bpGradient;
        if (bar->BarPicture()->Visible())
            parts |= bpPicture;
        if (bar->BarBackPicture()->Visible())
            parts |= bpBackPicture;
        if (bar->BarCaption()->Visible())
            parts |= bpCaption;
        if (const TOnAdvancedBeforeDrawBarEvent advanced = menu->GetOnAdvancedBeforeDrawBar())
            advanced(sender, bitmap.Canvas(), whole, parts);
        TLumBarBackPicture *back = bar->BarBackPicture();
        const bool covered = !back->Transparent() &&
                             (back->DrawStyle() == dsTile || back->DrawStyle() == dsStretch) &&
                             !back->PictureEmpty();
        if ((parts & bpGradient) && !covered)
            FillGradient(&bitmap, bitmap.Canvas(), whole, bar->GradientStart(), bar->GradientEnd(),
                         bar->GradientStyle());
        if (parts & bpBackPicture)
            drawBackPicture(menu, bitmap, whole);
        if ((parts & bpPicture) && !bar->BarPicture()->PictureEmpty()) {
            const QPoint at = GetPicturePos(menu, bar->BarPicture());
            bar->BarPicture()->DrawAt(bitmap.Canvas(), at.x(), at.y());
        }
        if (parts & bpCaption)
            drawCaption(menu, bitmap, whole);
    }
    // The whole band shows at once, whichever item rendered it.
    canvas.Draw(right ? itemRect.width() - W : 0, 0, bitmap.Image());
    if (const TOnAfterDrawBarEvent after = menu->GetOnAfterDrawBar())
        after(sender, bitmap.Canvas(), whole);
    cache->BarValid = true;
    ++cache->RenderCount;
}
