#include "XP_Edit.h"

#include "Canvas.h"
#include "XP_Color.h"

#include <QPainter>

TqzXPEdit::TqzXPEdit(QWidget *parent) : QLineEdit(parent), m_colors(new TqzXPColor(this))
{
    // The frame is ours: two one-pixel rings over the edges, the outer one where a border would be.
    setFrame(false);
    setTextMargins(2, 1, 2, 1);
    resize(width(), 21);
    m_colors->setBackHiColor(clWindow);
    m_colors->OnChange = [this](QObject *sender) { ColorsChanged(sender); };
    setColor(m_colors->BackColor());
}

void TqzXPEdit::setColor(TColor color)
{
    if (m_color == color)
        return;
    m_color = color;
    QPalette p = palette();
    p.setColor(QPalette::Base, toQColor(color));
    setPalette(p);
}

void TqzXPEdit::ColorsChanged(QObject *)
{
    ++m_repaints;
    DrawFrame();
    update();
}

void TqzXPEdit::DrawFrame()
{
    // The background follows the look; painting draws the rings in paintEvent.
    setColor(Highlighted() ? m_colors->BackHiColor() : m_colors->BackColor());
    update();
}

void TqzXPEdit::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    QImage rings(size(), QImage::Format_ARGB32_Premultiplied);
    rings.fill(Qt::transparent);
    TCanvas canvas(rings);
    QRect r = rect();
    canvas.Brush.Style = TBrushStyle::bsSolid;
    if (Highlighted()) {
        canvas.Brush.Color = m_colors->BorderColor();
        canvas.FrameRect(r);
        r.adjust(1, 1, -1, -1);
        canvas.Brush.Color = m_colors->BackHiColor();
        canvas.FrameRect(r);
    } else {
        canvas.Brush.Color = clBtnFace;
        canvas.FrameRect(r);
        r.adjust(1, 1, -1, -1);
        canvas.FrameRect(r);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, rings);
}

void TqzXPEdit::enterEvent(QEnterEvent *event)
{
    QLineEdit::enterEvent(event);
    m_hover = true;
    DrawFrame();
}

void TqzXPEdit::leaveEvent(QEvent *event)
{
    QLineEdit::leaveEvent(event);
    m_hover = false;
    DrawFrame();
}

void TqzXPEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    DrawFrame();
}

void TqzXPEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    DrawFrame();
}
