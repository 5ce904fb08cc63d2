#include "VelLabel.h"

#include "Canvas.h"
#include "VelBackground.h"
#include "VelFont3D.h"
#include "VelFrame.h"

#include <QAccessible>
#include <QEvent>
#include <QPainter>

TVelLabel::TVelLabel(QWidget *parent)
    : QWidget(parent), m_font3D(new TVelFont3D(this)), m_frame(new TVelFrame(this))
{
    m_frame->setFrameStyle(frameNone);
    connect(m_font3D, &TVelFont3D::changed, this, &TVelLabel::Invalidate);
    connect(m_frame, &TVelFrame::changed, this, &TVelLabel::Invalidate);
}

TVelLabel::~TVelLabel()
{
    if (m_fontBackground)
        m_fontBackground->RemoveClient(this);
    if (m_background)
        m_background->RemoveClient(this);
}

void TVelLabel::setCaption(const QString &caption)
{
    m_caption = caption;
    Invalidate();
    // A screen reader reads the new caption.
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void TVelLabel::setAlignment(int alignment)
{
    m_alignment = alignment;
    Invalidate();
}

void TVelLabel::setColor(TColor color)
{
    m_color = color;
    Invalidate();
}

void TVelLabel::setFontColor(TColor color)
{
    m_fontColor = color;
    Invalidate();
}

void TVelLabel::setTransparent(bool value)
{
    m_transparent = value;
    Invalidate();
}

void TVelLabel::setWordWrap(bool value)
{
    m_wordWrap = value;
    Invalidate();
}

void TVelLabel::setFont3D(const TVelFont3D &font3D)
{
    // The label keeps its own object and takes the other's settings.
    m_font3D->Assign(font3D);
}

void TVelLabel::setFrame(const TVelFrame &frame)
{
    m_frame->Assign(frame);
}

void TVelLabel::setBackground(TVelBackground *background)
{
    if (m_background)
        m_background->RemoveClient(this);
    if (background)
        background->AddClient(this);
    m_background = background;
    Invalidate();
}

void TVelLabel::setFontBackground(TVelBackground *background)
{
    if (m_fontBackground)
        m_fontBackground->RemoveClient(this);
    if (background)
        background->AddClient(this);
    m_fontBackground = background;
    Invalidate();
}

void TVelLabel::BackgroundRemoved(TVelBackground *background)
{
    if (m_background == background) {
        m_background = nullptr;
        Invalidate();
    }
    if (m_fontBackground == background) {
        m_fontBackground = nullptr;
        Invalidate();
    }
}

unsigned TVelLabel::TextFlags() const
{
    unsigned flags = m_alignment == taRightJustify ? DT::RIGHT
                     : m_alignment == taCenter     ? DT::CENTER
                                                   : DT::LEFT;
    if (m_wordWrap)
        flags |= DT::WORDBREAK;
    return flags | DT::EXPANDTABS;
}

QRect TVelLabel::TextRect() const
{
    const int size = m_frame->FrameSize();
    const int width = m_frame->FrameWidth();
    // Windows edges: left, top, right, bottom, the last two exclusive.
    int left = size, top = size, right = this->width() - size, bottom = height() - size;
    top += width;
    right -= size;
    bottom -= width;
    return QRect(left, top, right - left, bottom - top);
}

void TVelLabel::PaintOn(TCanvas &canvas) const
{
    const QRect client(0, 0, width(), height());
    if (!m_transparent) {
        canvas.Brush = TBrush{};
        canvas.Brush.Color = m_color;
        canvas.FillRect(client);
        if (m_background)
            m_background->PaintArea(canvas, width(), height());
    }
    canvas.Brush.Style = TBrushStyle::bsClear;
    const QRect rect = TextRect();
    if (m_fontBackground)
        m_fontBackground->PaintCaption(*m_font3D, font(), m_fontColor, canvas, rect, m_caption, TextFlags());
    else
        m_font3D->Draw(canvas, font(), m_fontColor, rect, m_caption, TextFlags(), isEnabled());
    m_frame->Draw(canvas, client);
}

QImage TVelLabel::Render() const
{
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    TCanvas canvas(image);
    PaintOn(canvas);
    return image;
}

void TVelLabel::Invalidate()
{
    m_paintBufferValid = false;
    update();
}

void TVelLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::PaletteChange)
        Invalidate();
    QWidget::changeEvent(event);
}

void TVelLabel::paintEvent(QPaintEvent *)
{
    if (!m_paintBufferValid || m_paintBuffer.size() != size()) {
        if (m_paintBuffer.size() != size())
            m_paintBuffer = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        m_paintBuffer.fill(Qt::transparent);
        TCanvas canvas(m_paintBuffer);
        PaintOn(canvas);
        m_paintBufferValid = true;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_paintBuffer);
}
