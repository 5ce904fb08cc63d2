#include "VelFrame.h"

#include "Canvas.h"

TVelFrame::TVelFrame(QObject *owner) : QObject(owner) {}

void TVelFrame::setFrameStyle(int value)
{
    m_style = value;
    emit changed();
}

void TVelFrame::setEdges(int value)
{
    m_edges = value & FrameEdges::All;
    emit changed();
}

void TVelFrame::setHighlight(TColor value)
{
    m_highlight = value;
    emit changed();
}

void TVelFrame::setShadow(TColor value)
{
    m_shadow = value;
    emit changed();
}

void TVelFrame::setSolid(TColor value)
{
    m_solid = value;
    emit changed();
}

void TVelFrame::setFrameWidth(int value)
{
    value &= 0xFF;
    if (value == 0)
        return;
    m_width = value;
    emit changed();
}

void TVelFrame::Assign(const TVelFrame &other)
{
    m_style = other.m_style;
    m_edges = other.m_edges;
    m_highlight = other.m_highlight;
    m_shadow = other.m_shadow;
    m_solid = other.m_solid;
    m_width = other.m_width;
    emit changed();
}

int TVelFrame::FrameSize() const
{
    switch (m_style) {
    case frameNone:
        return 0;
    case frameSolid:
    case frameRaised:
    case frameLowered:
        return m_width;
    default:
        return 2 * m_width;
    }
}

void TVelFrame::drawSet(TCanvas &canvas, int &left, int &top, int &right, int &bottom, TColor first,
                        TColor second) const
{
    --right;
    --bottom;
    for (int i = 0; i < m_width; ++i) {
        if (first != clNone) {
            canvas.Pen.Color = first;
            if (m_edges & FrameEdges::EdgeLeft) {
                canvas.MoveTo(left, bottom);
                canvas.LineTo(left, top);
            }
            if (m_edges & FrameEdges::EdgeTop) {
                canvas.MoveTo(left, top);
                canvas.LineTo(right, top);
            }
        }
        if (second != clNone) {
            canvas.Pen.Color = second;
            if (m_edges & FrameEdges::EdgeRight) {
                canvas.MoveTo(right, top);
                canvas.LineTo(right, bottom);
            }
            if (m_edges & FrameEdges::EdgeBottom) {
                canvas.MoveTo(right, bottom);
                canvas.LineTo(left - 1, bottom);
            }
        }
        ++left;
        ++top;
        --right;
        --bottom;
    }
    ++right;
    ++bottom;
}

void TVelFrame::Draw(TCanvas &canvas, const QRect &rect) const
{
    int left = rect.left(), top = rect.top(), right = rect.left() + rect.width(),
        bottom = rect.top() + rect.height();
    const TPen saved = canvas.Pen;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = TPenStyle::psSolid;
    switch (m_style) {
    case frameSolid:
        drawSet(canvas, left, top, right, bottom, m_solid, m_solid);
        break;
    case frameRaised:
        drawSet(canvas, left, top, right, bottom, m_highlight, m_shadow);
        break;
    case frameLowered:
        drawSet(canvas, left, top, right, bottom, m_shadow, m_highlight);
        break;
    case frameFramedUp:
        drawSet(canvas, left, top, right, bottom, m_highlight, m_shadow);
        drawSet(canvas, left, top, right, bottom, m_shadow, m_highlight);
        break;
    case frameFramedDown:
        drawSet(canvas, left, top, right, bottom, m_shadow, m_highlight);
        drawSet(canvas, left, top, right, bottom, m_highlight, m_shadow);
        break;
    case framePanelUp:
        drawSet(canvas, left, top, right, bottom, m_highlight, clBlack);
        drawSet(canvas, left, top, right, bottom, clNone, m_shadow);
        break;
    case framePanelDown:
        drawSet(canvas, left, top, right, bottom, m_shadow, clNone);
        drawSet(canvas, left, top, right, bottom, clBlack, m_highlight);
        break;
    case frameLightBordered:
        drawSet(canvas, left, top, right, bottom, clNone, m_shadow);
        drawSet(canvas, left, top, right, bottom, m_highlight, m_highlight);
        break;
    default:
        break;
    }
    canvas.Pen = saved;
}
