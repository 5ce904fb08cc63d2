#include "VelFont3D.h"

#include "Canvas.h"

TVelFont3D::TVelFont3D(QObject *owner) : QObject(owner) {}

void TVelFont3D::setThreeDimensional(bool value)
{
    m_threeDimensional = value;
    change();
}

void TVelFont3D::setMaskFont(bool value)
{
    m_maskFont = value;
    change();
}

void TVelFont3D::setHighlight(TColor value)
{
    m_highlight = value;
    change();
}

void TVelFont3D::setShadow(TColor value)
{
    m_shadow = value;
    change();
}

void TVelFont3D::setRepetitionColor(TColor value)
{
    m_repetitionColor = value;
    change();
}

void TVelFont3D::setRepetition(int value)
{
    m_repetition = value;
    change();
}

void TVelFont3D::setRepetitionwidth(int value)
{
    value &= 0xFF;
    if (value == m_repetitionWidth)
        return;
    m_repetitionWidth = value;
    change();
}

void TVelFont3D::setOffset(int value)
{
    value &= 0xFF;
    if (value != 0)
        m_offset = value;
    change();
}

void TVelFont3D::setStyle3D(int value)
{
    m_style = value;
    change();
}

void TVelFont3D::Assign(const TVelFont3D &other)
{
    m_threeDimensional = other.m_threeDimensional;
    m_maskFont = other.m_maskFont;
    m_highlight = other.m_highlight;
    m_shadow = other.m_shadow;
    m_repetitionColor = other.m_repetitionColor;
    m_repetition = other.m_repetition;
    m_repetitionWidth = other.m_repetitionWidth;
    m_offset = other.m_offset;
    m_style = other.m_style;
    change();
}

namespace {
void copy(TCanvas &canvas, TColor color, const QRect &rect, const QString &text, unsigned flags)
{
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Font.Color = color;
    QRect r = rect;
    canvas.DrawText(text, r, flags);
}
} // namespace

QRect TVelFont3D::DrawCopies(TCanvas &canvas, QRect rect, const QString &text, unsigned flags,
                             bool fromBackground, unsigned copyFlags) const
{
    const int o = m_offset;
    if (m_repetition != repeatNone) {
        if (!fromBackground)
            rect.adjust(m_repetitionWidth, m_repetitionWidth, -m_repetitionWidth, -m_repetitionWidth);
        if (m_repetition == repeatOnShadow) {
            const int first = fromBackground ? m_repetitionWidth : o;
            rect.translate(first, first);
            for (int i = 0; i < m_repetitionWidth; ++i) {
                copy(canvas, m_repetitionColor, rect, text, flags | copyFlags);
                rect.translate(-1, -1);
            }
        } else if (m_repetition == repeatOnHighLight) {
            if (!fromBackground)
                rect.translate(-o, -o);
            for (int i = 0; i < m_repetitionWidth; ++i) {
                copy(canvas, m_repetitionColor, rect, text, flags | copyFlags);
                rect.translate(1, 1);
            }
        }
    }
    switch (m_style) {
    case fontRaised:
    case fontInset:
    case fontOnlyShadow:
    case fontOnlyHighlight: {
        const TColor first = (m_style == fontRaised || m_style == fontOnlyHighlight) ? m_highlight : m_shadow;
        const TColor second = (m_style == fontRaised || m_style == fontOnlyShadow) ? m_shadow : m_highlight;
        rect.translate(-o, -o);
        if (m_style != fontOnlyShadow)
            copy(canvas, first, rect, text, flags | copyFlags);
        rect.translate(2 * o, 2 * o);
        if (m_style != fontOnlyHighlight)
            copy(canvas, second, rect, text, flags | copyFlags);
        rect.translate(-o, -o);
        break;
    }
    case fontOutLineShadow:
        for (const QPoint d : {QPoint(-1, -1), QPoint(1, -1), QPoint(1, 1), QPoint(-1, 1)})
            copy(canvas, m_shadow, rect.translated(d), text, flags | copyFlags);
        break;
    default:
        break;
    }
    return rect;
}

void TVelFont3D::Draw(TCanvas &canvas, const QFont &font, TColor fontColor, QRect rect, const QString &text,
                      unsigned flags, bool enabled) const
{
    canvas.Font = TFont(font, fontColor);
    const unsigned copyFlags = flags | DT::NOCLIP;
    if (!enabled) {
        copy(canvas, clBtnHighlight, rect, text, copyFlags);
        rect.translate(-1, -1);
        copy(canvas, clGrayText, rect, text, copyFlags);
        return;
    }
    if (m_threeDimensional)
        rect = DrawCopies(canvas, rect, text, flags, false, DT::NOCLIP);
    copy(canvas, fontColor, rect, text, copyFlags);
}
