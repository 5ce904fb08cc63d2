// Painting an ordinary menu item in the XP or the standard look.

#include "BarMenus.h"
#include "BarMenusPrivate.h"
#include "Bitmap.h"
#include "ImgList.h"

namespace {
// The marks of checked items without an image, loaded once.
const TBitmap &mark(bool radio)
{
    static TBitmap radioMark, checkMark;
    TBitmap &bitmap = radio ? radioMark : checkMark;
    if (bitmap.Empty())
        bitmap.LoadFromResourceName(radio ? QStringLiteral("LUMRADIOITEM") : QStringLiteral("OBM_CHECK"));
    return bitmap;
}

// A monochrome mark takes the font colour for its black pixels and leaves the others alone;
// a coloured one leaves out the colour of its bottom-left pixel.
void drawMark(TCanvas &canvas, const TBitmap &bitmap, int x, int y)
{
    const QImage &image = bitmap.Image();
    if (bitmap.PixelFormat() == TPixelFormat::pf1bit) {
        for (int py = 0; py < image.height(); ++py)
            for (int px = 0; px < image.width(); ++px)
                if ((image.pixel(px, py) & 0xFFFFFF) == 0)
                    canvas.SetPixel(x + px, y + py, canvas.Font.Color);
        return;
    }
    const QRgb corner = image.pixel(0, image.height() - 1);
    canvas.DrawTransparent(x, y, image, RGB(qRed(corner), qGreen(corner), qBlue(corner)));
}

// The two-colour pattern of the face and highlight colours behind a checked glyph.
QImage patternOf(TColor face, TColor highlight)
{
    QImage pattern(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, toQColor((x + y) % 2 ? face : highlight).rgb());
    return pattern;
}
} // namespace

void DrawItemText(TMenuItem *item, TCanvas &canvas, const QString &text, unsigned flags, bool selected,
                  QRect &rect)
{
    TMenu *menu = item->GetParentMenu();
    if (menu && menu->IsRightToLeft())
        flags |= DT::RIGHT | BarMenusConst::DT_RTLREADING;
    QString shown = text;
    // An empty text is measured as a line's height.
    if ((flags & DT::CALCRECT) && (shown.isEmpty() || shown == QLatin1String("&")))
        shown += QLatin1Char(' ');
    if (shown == QLatin1String("-"))
        return;
    canvas.Brush.Style = TBrushStyle::bsClear;
    if (item->Default())
        canvas.Font.Font.setBold(true);
    if (!item->Enabled()) {
        if (!selected) {
            rect.translate(1, 1);
            canvas.Font.Color = clBtnHighlight;
            canvas.DrawText(shown, rect, flags);
            rect.translate(-1, -1);
        }
        canvas.Font.Color =
            selected && ColorToRGB(clHighlight) == ColorToRGB(clBtnShadow) ? clBtnHighlight : clBtnShadow;
    }
    canvas.DrawText(shown, rect, flags);
}

void PaintItem(IBarMenusIntf *menu, TMenuItem *item, TCanvas &canvas, QRect rect, TOwnerDrawState state)
{
    const TLumStartupFlags &system = StartupFlags();
    const bool selected = state & ODS::SELECTED;
    const bool hot = state & ODS::HOTLIGHT;
    const bool topLevel = IsTopLevelItem(item);
    const bool xp = menu->EffectiveStyle() == msWindowsXP;
    TCustomImageList *images = item->GetImageList();
    WRect area = WRect::from(rect);

    if (menu->Separators()->SeparatorStyle() == ssShortLine && !topLevel)
        canvas.FillRect(QRect(area.Right, area.Top, 10, area.Height()));

    if (selected && (!topLevel || !system.Win98Plus)) {
        canvas.Brush.Color = clHighlight;
        canvas.Font.Color = clHighlightText;
    } else {
        canvas.Font.Color = system.Win98Plus && (state & ODS::INACTIVE) ? clGrayText : clMenuText;
        canvas.Brush.Color = topLevel && system.WinXP ? clBtnFace : clMenu;
    }

    // 1, 2: the background and the glyph cell.
    if (!selected)
        canvas.FillRect(area.q());
    WRect glyph{area.Left + 1, area.Top + 1, area.Left + 1, area.Top + 1};
    WRect save;
    const bool validImage = images && item->ImageIndex() >= 0 && item->ImageIndex() < images->Count();
    const bool drawImage = images && (validImage || (item->Checked() && item->BitmapEmpty()));
    bool drawGlyph = false;

    if (drawImage || !item->BitmapEmpty()) {
        drawGlyph = true;
        glyph.Right = glyph.Left + (drawImage ? images->Width() : 16);
        glyph.Bottom = glyph.Top + (drawImage ? images->Height() : 16);
        glyph.offset(0, (area.Height() - glyph.Height()) / 2 - 1);
        if (xp) {
            save = area;
            save.Right = glyph.Right + 5;
            if (item->Checked()) {
                const TColor brush = canvas.Brush.Color;
                canvas.Brush.Color = clHighlight;
                if (selected)
                    canvas.FillRect(save.q());
                glyph.offset(1, 0);
                if (!selected) {
                    WRect frame = glyph;
                    frame.inflate(1, 1);
                    canvas.FrameRect(frame.q());
                } else {
                    canvas.Brush.Color = clMenu;
                    canvas.FillRect(glyph.q());
                }
                canvas.Brush.Color = brush;
            } else {
                canvas.FillRect(save.q());
                glyph.offset(1, 0);
            }
        } else if (item->Checked()) {
            glyph.Right += 1;
            glyph.Bottom += 1;
            const TBrush brush = canvas.Brush;
            if (selected) {
                canvas.Brush.Color = clBtnFace;
            } else {
                canvas.Brush.Bitmap = patternOf(clBtnFace, clBtnHighlight);
            }
            canvas.FillRect(glyph.q());
            canvas.Brush = brush;
            glyph.Left += 1;
            glyph.Top += 1;
        }
        if (validImage) {
            images->Draw(canvas, glyph.Left, glyph.Top, item->ImageIndex(), item->Enabled());
        } else if (drawImage) {
            const TBitmap &bitmap = mark(item->RadioItem());
            const TColor font = canvas.Font.Color;
            canvas.Font.Color = clBtnText;
            int x = glyph.Left + (glyph.Width() - bitmap.Width()) / 2;
            int y = glyph.Top + (glyph.Height() - bitmap.Height()) / 2;
            if (!xp) {
                ++x;
                ++y;
            } else if (!item->RadioItem()) {
                ++x;
            }
            drawMark(canvas, bitmap, x, y);
            canvas.Font.Color = font;
        } else {
            const WRect kept = glyph;
            const TBitmap &bitmap = item->Bitmap();
            if (bitmap.Width() < glyph.Width()) {
                glyph.Left = glyph.Left + (glyph.Width() - bitmap.Width()) / 2 + 1;
                glyph.Right = glyph.Left + bitmap.Width();
            }
            if (bitmap.Height() < glyph.Height()) {
                glyph.Top = glyph.Top + (glyph.Height() - bitmap.Height()) / 2 + 1;
                glyph.Bottom = glyph.Top + bitmap.Height();
            }
            canvas.StretchDraw(glyph.q(), bitmap.Image());
            glyph = kept;
        }
        if (item->Checked()) {
            glyph.Right -= 1;
            glyph.Bottom -= 1;
        }
    } else if (images && !topLevel) {
        glyph.Right = glyph.Left + images->Width();
        glyph.Bottom = glyph.Top + images->Height();
    }

    // 6, 7: the glyph cell's frame of the standard look.
    glyph.Left -= 1;
    glyph.Top -= 1;
    glyph.Right += 2;
    glyph.Bottom += 2;
    if (!xp && (item->Checked() || (selected && drawGlyph))) {
        QRect edge = glyph.q();
        canvas.DrawEdge(edge, item->Checked() ? Edge::SUNKENOUTER : Edge::RAISEDINNER, Edge::RECT);
    }

    // 8: the selection.
    if (xp && selected) {
        save = area;
        if (drawGlyph) {
            area.Left = glyph.Right + 1;
            save.Left = glyph.Right - 1;
        }
        canvas.Brush.Color = clHighlight;
        canvas.FillRect(save.q());
    } else if (!xp && selected) {
        if (drawGlyph)
            area.Left = glyph.Right + 1;
        if (!(system.Win98Plus && topLevel))
            canvas.Brush.Color = clHighlight;
        canvas.FillRect(area.q());
    }

    // 9: items on the menu bar.
    if (topLevel) {
        if (xp) {
            if (selected || hot)
                canvas.Brush.Color = clHighlight;
            canvas.FillRect(area.q());
        } else if (system.Win98Plus) {
            QRect edge = area.q();
            if (selected)
                canvas.DrawEdge(edge, Edge::SUNKENOUTER, Edge::RECT);
            else if (hot)
                canvas.DrawEdge(edge, Edge::RAISEDINNER, Edge::RECT);
            if (!selected)
                area.offset(0, -1);
        }
    }

    // 10, 11: where the text goes.
    if (!selected || !drawGlyph)
        area.Left = glyph.Right + 1;
    area.Left += xp && !topLevel ? 4 : 2;
    area.Right -= 1;

    unsigned flags = DT::LEFT | DT::EXPANDTABS | DT::SINGLELINE;
    if (system.Win2K && (state & ODS::NOACCEL))
        flags |= DT::HIDEPREFIX;
    save = area;
    if (state & ODS::DEFAULT) {
        QFont font = canvas.Font.Font;
        font.setBold(true);
        font.setItalic(false);
        font.setUnderline(false);
        font.setStrikeOut(false);
        canvas.Font.Font = font;
    }
    const QString caption = item->HotkeyCaption();
    QRect text = area.q();
    DrawItemText(item, canvas, caption, flags | DT::CALCRECT | DT::NOCLIP, selected, text);
    text.translate(0, (save.Height() - text.height()) / 2);
    if (topLevel) {
        if (xp) {
            if (!(state & ODS::INACTIVE) && (selected || hot))
                canvas.Font.Color = clHighlightText;
            text.translate(0, -1);
        } else if (system.Win98Plus && selected) {
            text.translate(1, 0);
        }
    }
    DrawItemText(item, canvas, caption, flags, selected, text);

    // 17: the shortcut, ending 10 pixels before the right edge.
    if (!item->ShortCut().isEmpty() && !topLevel) {
        WRect shortcut = WRect::from(text);
        shortcut.Left = shortcut.Right;
        shortcut.Right = save.Right - 10;
        QRect r = shortcut.q();
        DrawItemText(item, canvas, ShortCutToText(item->ShortCut()), DT::RIGHT, selected, r);
    }
}
