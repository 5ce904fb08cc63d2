#include "VelBackground.h"

#include "VelFont3D.h"
#include "VelLabel.h"

TVelTexture::TVelTexture(QObject *owner) : QObject(owner) {}

void TVelTexture::setImage(const QImage &image)
{
    m_image = image.convertToFormat(QImage::Format_RGB32);
    emit changed();
}

void TVelTexture::setImageStyle(int value)
{
    m_style = value;
    emit changed();
}

void TVelTexture::setTransparentColor(TColor value)
{
    m_transparent = value;
    emit changed();
}

void TVelTexture::setTransparentBackground(TColor value)
{
    m_transparentBackground = value;
    emit changed();
}

void TVelTexture::Assign(const TVelTexture &other)
{
    m_image = other.m_image;
    m_style = other.m_style;
    m_transparent = other.m_transparent;
    m_transparentBackground = other.m_transparentBackground;
    emit changed();
}

void TVelTexture::Paint(TCanvas &canvas, int width, int height, TColor) const
{
    if (m_image.isNull() || m_image.width() == 0 || m_image.height() == 0)
        return;
    QImage picture = m_image;
    if (m_transparent != clNone) {
        const QRgb key = toQColor(m_transparent).rgb() & 0xFFFFFF;
        const QRgb replacement = toQColor(m_transparentBackground).rgb();
        for (int y = 0; y < picture.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                if ((line[x] & 0xFFFFFF) == key)
                    line[x] = replacement;
            }
        }
    }
    const int w = picture.width(), h = picture.height();
    switch (m_style) {
    case isTile:
        for (int c = 0; c <= width / w; ++c)
            for (int r = 0; r <= height / h; ++r)
                canvas.Draw(c * w, r * h, picture);
        break;
    case isStretched:
        canvas.StretchDraw(QRect(0, 0, width, height), picture);
        break;
    default:
        canvas.Draw(w < width ? (width - w) / 2 : 0, h < height ? (height - h) / 2 : 0, picture);
        break;
    }
}

TVelBrushFill::TVelBrushFill(QObject *owner) : QObject(owner) {}

void TVelBrushFill::setBrushStyle(int value)
{
    m_style = TBrushStyle(value);
    emit changed();
}

void TVelBrushFill::setBrushColor(TColor value)
{
    m_color = value;
    emit changed();
}

void TVelBrushFill::Assign(const TVelBrushFill &other)
{
    m_style = other.m_style;
    m_color = other.m_color;
    emit changed();
}

TVelBackground::TVelBackground(QObject *owner)
    : QObject(owner), m_texture(new TVelTexture(this)), m_gradient(new TVelGradient(this)),
      m_brushFill(new TVelBrushFill(this))
{
    connect(m_texture, &TVelTexture::changed, this, &TVelBackground::Changed);
    connect(m_gradient, &TVelGradient::changed, this, &TVelBackground::Changed);
    connect(m_brushFill, &TVelBrushFill::changed, this, &TVelBackground::Changed);
}

TVelBackground::~TVelBackground()
{
    disconnect(m_texture, nullptr, this, nullptr);
    disconnect(m_gradient, nullptr, this, nullptr);
    disconnect(m_brushFill, nullptr, this, nullptr);
    // The labels drop their references, so none reaches into a background that is gone.
    const std::vector<TVelLabel *> clients = m_clients;
    m_clients.clear();
    for (TVelLabel *label : clients)
        label->BackgroundRemoved(this);
}

void TVelBackground::setTexture(const TVelTexture &texture)
{
    m_texture->Assign(texture);
}

void TVelBackground::setGradient(const TVelGradient &gradient)
{
    m_gradient->Assign(gradient);
}

void TVelBackground::setBrushFill(const TVelBrushFill &brushFill)
{
    m_brushFill->Assign(brushFill);
}

void TVelBackground::setSolidColor(TColor value)
{
    m_solidColor = value;
    Changed();
}

void TVelBackground::setBackgroundStyle(int value)
{
    m_style = value;
    Changed();
}

void TVelBackground::AddClient(TVelLabel *label)
{
    m_clients.push_back(label);
}

void TVelBackground::RemoveClient(TVelLabel *label)
{
    const auto it = std::find(m_clients.begin(), m_clients.end(), label);
    if (it != m_clients.end())
        m_clients.erase(it);
}

void TVelBackground::Changed()
{
    for (TVelLabel *label : m_clients)
        label->Invalidate();
    if (OnChanged)
        OnChanged(this);
}

void TVelBackground::PaintArea(TCanvas &canvas, int width, int height) const
{
    switch (m_style) {
    case bGradient:
        canvas.Draw(0, 0, m_gradient->Render(width, height, m_gradient->ColorsInBetween(), m_solidColor));
        break;
    case bTexture:
        m_texture->Paint(canvas, width, height, m_solidColor);
        break;
    case bBrushFillUseCurrent:
    case bBrushFillSolidColor: {
        QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
        image.fill(Qt::white);
        TCanvas pattern(image);
        pattern.Brush.Style = TBrushStyle(m_brushFill->BrushStyle());
        pattern.Brush.Color = m_brushFill->BrushColor();
        pattern.FillRect(image.rect());
        if (m_style == bBrushFillSolidColor) {
            const QRgb solid = toQColor(m_solidColor).rgb();
            for (int y = 0; y < image.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    if ((line[x] & 0xFFFFFF) == 0xFFFFFF)
                        line[x] = solid;
                }
            }
        }
        canvas.Draw(0, 0, image);
        break;
    }
    default:
        canvas.Brush = TBrush{};
        canvas.Brush.Color = m_solidColor;
        canvas.FillRect(QRect(0, 0, width, height));
        break;
    }
}

QImage TVelBackground::AreaImage(int width, int height) const
{
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(image);
    PaintArea(canvas, width, height);
    return image;
}

void TVelBackground::PaintCaption(const TVelFont3D &font3D, const QFont &font, TColor fontColor,
                                  TCanvas &canvas, QRect rect, const QString &text, unsigned flags) const
{
    const int W = std::max(rect.width(), 0), H = std::max(rect.height(), 0);
    // B: the label's pixels from (0, 0) on, in the text rectangle's size.
    QImage b = canvas.Image().copy(0, 0, W, H).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    rect.adjust(font3D.Repetitionwidth(), 0, -font3D.Repetitionwidth(), 0);
    TCanvas bc(b);
    bc.Font = TFont(font, fontColor);
    bc.Brush.Style = TBrushStyle::bsClear;
    if (font3D.ThreeDimensional())
        rect = font3D.DrawCopies(bc, rect, text, flags, true, 0);
    bc.Font.Color = fontColor;

    QImage a = AreaImage(W, H);
    QImage t(W, H, QImage::Format_RGB32);
    t.fill(Qt::white);
    TCanvas tc(t);
    tc.Font = TFont(font, fontColor);
    tc.Brush.Style = TBrushStyle::bsClear;
    QRect textRect = rect;
    tc.DrawText(text, textRect, flags);
    const QRgb face = toQColor(fontColor).rgb() & 0xFFFFFF;
    if (font3D.MaskFont()) {
        for (int y = 0; y < H; ++y) {
            auto *line = reinterpret_cast<QRgb *>(t.scanLine(y));
            for (int x = 0; x < W; ++x)
                line[x] = (line[x] & 0xFFFFFF) == face ? 0xFFFFFFFFu : 0xFF000000u;
        }
    }
    // T over A, except where T shows the font colour; there A keeps the background.
    for (int y = 0; y < H; ++y) {
        const auto *tl = reinterpret_cast<const QRgb *>(t.constScanLine(y));
        auto *al = reinterpret_cast<QRgb *>(a.scanLine(y));
        for (int x = 0; x < W; ++x) {
            if ((tl[x] & 0xFFFFFF) != face)
                al[x] = tl[x];
        }
    }
    // A over B, except where A has the colour of its top-left pixel.
    if (W > 0 && H > 0) {
        const QRgb key = a.pixel(0, 0) & 0xFFFFFF;
        for (int y = 0; y < H; ++y) {
            const auto *al = reinterpret_cast<const QRgb *>(a.constScanLine(y));
            auto *bl = reinterpret_cast<QRgb *>(b.scanLine(y));
            for (int x = 0; x < W; ++x) {
                if ((al[x] & 0xFFFFFF) != key)
                    bl[x] = al[x] | 0xFF000000u;
            }
        }
    }
    canvas.Draw(0, 0, b);
}
