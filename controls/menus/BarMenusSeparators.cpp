// Separators: etched, flat or fading lines, optionally interrupted by a caption, or a gradient band
// carrying the caption.

#include "BarMenus.h"
#include "BarMenusPrivate.h"

void DrawEdgeEx(TCanvas &canvas, const WRect &rect, unsigned edge, unsigned flags)
{
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return;
    if (!(flags & BarMenusConst::BF_FLAT)) {
        QRect r = rect.q();
        canvas.DrawEdge(r, edge, flags);
        return;
    }
    // Flat: the outer ring in the shadow colour, the inner one in the face colour.
    WRect r = rect;
    const unsigned outer = edge & (Edge::RAISEDOUTER | Edge::SUNKENOUTER);
    const unsigned inner = edge & (Edge::RAISEDINNER | Edge::SUNKENINNER);
    for (const auto &[present, colour] :
         {std::pair{outer != 0, clBtnShadow}, std::pair{inner != 0, clBtnFace}}) {
        if (!present || r.Width() <= 0 || r.Height() <= 0)
            continue;
        const TBrush saved = canvas.Brush;
        canvas.Brush = TBrush();
        canvas.Brush.Color = colour;
        if (flags & Edge::TOP)
            canvas.FillRect(QRect(r.Left, r.Top, r.Width(), 1));
        if (flags & Edge::BOTTOM)
            canvas.FillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1));
        if (flags & Edge::LEFT)
            canvas.FillRect(QRect(r.Left, r.Top, 1, r.Height()));
        if (flags & Edge::RIGHT)
            canvas.FillRect(QRect(r.Right - 1, r.Top, 1, r.Height()));
        canvas.Brush = saved;
        if (flags & Edge::TOP)
            ++r.Top;
        if (flags & Edge::BOTTOM)
            --r.Bottom;
        if (flags & Edge::LEFT)
            ++r.Left;
        if (flags & Edge::RIGHT)
            --r.Right;
    }
}

void FadeLine(TCanvas &canvas, const QRect &textRect, const QRect &lineRect, bool skipText, int fadeWidth,
              TColor color)
{
    const WRect T = WRect::from(textRect);
    const WRect R = WRect::from(lineRect);
    const int y = std::max(R.Top, T.Top);
    const int mid = R.Left + (R.Right - R.Left) / 2;
    int f = mid, g = mid;
    if (skipText) {
        f = std::min(mid, T.Left) - 1;
        g = std::max(mid, T.Right);
    }
    const TColor c = ColorToRGB(color);
    const int cr = GetRValue(c), cg = GetGValue(c), cb = GetBValue(c);
    // Without a width to fade over, the line is drawn in full colour.
    const int fw = std::max(fadeWidth, 0);
    auto blend = [&](int x, int k) {
        if (fw == 0) {
            canvas.SetPixel(x, y, color);
            return;
        }
        const TColor p = canvas.Pixel(x, y);
        const int pr = GetRValue(p), pg = GetGValue(p), pb = GetBValue(p);
        canvas.SetPixel(x, y, RGB(pr + k * (cr - pr) / fw, pg + k * (cg - pg) / fw, pb + k * (cb - pb) / fw));
    };
    for (int x = R.Left; x <= f; ++x) {
        if (x < R.Left + fw)
            blend(x, x - R.Left);
        else
            canvas.SetPixel(x, y, color);
    }
    for (int x = g; x <= R.Right; ++x) {
        if (x > R.Right - fw)
            blend(x, R.Right - x);
        else
            canvas.SetPixel(x, y, color);
    }
}

void PaintSeparator(IBarMenusIntf *menu, TMenuItem *, const QString &text, TOwnerDrawState, QRect rect,
                    TCanvas &canvas)
{
    TLumSeparators *separators = menu->Separators();
    const int style = separators->SeparatorStyle();
    WRect R = WRect::from(rect);
    if (style == ssShortLine) {
        R.Right += 10;
        R.Left += 12;
        R.Right -= 12;
    }
    const QString shown = QLatin1Char(' ') + text + QLatin1Char(' ');
    if (!text.isEmpty() && style == ssCaption) {
        unsigned flags = DT::SINGLELINE | DT::VCENTER | DT::NOPREFIX;
        if (separators->Alignment() == taRightJustify)
            flags |= DT::RIGHT;
        else if (separators->Alignment() == taCenter)
            flags |= DT::CENTER;
        if (!separators->UseSystemFont())
            canvas.Font = separators->Font()->Value();
        canvas.Brush.Color = separators->GradientStart();
        FillGradient(nullptr, canvas, R.q(), separators->GradientStart(), separators->GradientEnd(),
                     separators->GradientStyle());
        canvas.Brush.Style = TBrushStyle::bsClear;
        QRect band = R.q();
        canvas.DrawText(shown, band, flags);
        return;
    }
    if (!text.isEmpty()) {
        canvas.Brush.Style = TBrushStyle::bsClear;
        WRect T = R;
        T.Bottom -= 1;
        const unsigned flags = DT::CENTER | DT::VCENTER | DT::SINGLELINE | DT::NOPREFIX;
        QRect measured = T.q();
        canvas.DrawText(shown, measured, flags | DT::CALCRECT);
        T = WRect::from(measured);
        if (separators->Alignment() == taRightJustify)
            T.offset(R.Width() - T.Width(), 0);
        else if (separators->Alignment() == taCenter)
            T.offset(roundEven((R.Width() - T.Width()) / 2.0 - 0.5), 0);
        R.Top += 6;
        const int right = R.Right;
        if (separators->Fade()) {
            R.offset(0, 1);
            FadeLine(canvas, T.q(), R.q(), true, separators->FadeWidth(), separators->FadeColor());
            if (!separators->FlatLines()) {
                R.offset(0, 1);
                FadeLine(canvas, T.q(), R.q(), true, separators->FadeWidth(), clBtnHighlight);
            }
        } else {
            const unsigned edge = separators->FlatLines() ? Edge::RAISEDOUTER : Edge::ETCHED;
            const unsigned flagsEdge =
                separators->FlatLines() ? BarMenusConst::BF_FLAT | Edge::TOP : Edge::TOP;
            R.Right = T.Left;
            if (separators->FlatLines())
                R.offset(0, 1);
            DrawEdgeEx(canvas, R, edge, flagsEdge);
            R.Right = right;
            R.Left = T.Right;
            DrawEdgeEx(canvas, R, edge, flagsEdge);
        }
        QRect textRect = T.q();
        canvas.DrawText(shown, textRect, flags);
        return;
    }
    R.Top += 5;
    if (separators->Fade()) {
        if (!separators->FlatLines())
            FadeLine(canvas, QRect(), R.q(), false, separators->FadeWidth(), clBtnHighlight);
        R.offset(0, -1);
        FadeLine(canvas, QRect(), R.q(), false, separators->FadeWidth(), separators->FadeColor());
    } else if (separators->FlatLines()) {
        DrawEdgeEx(canvas, R, Edge::RAISEDOUTER, BarMenusConst::BF_FLAT | Edge::TOP);
    } else {
        DrawEdgeEx(canvas, R, Edge::ETCHED, Edge::TOP);
    }
}
