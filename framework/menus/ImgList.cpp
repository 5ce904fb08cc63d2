#include "ImgList.h"

#include "Canvas.h"

TCustomImageList::TCustomImageList(QObject *owner) : QObject(owner) {}

void TCustomImageList::setWidth(int value)
{
    if (value == m_width || value < 1)
        return;
    m_width = value;
    m_images.clear();
}

void TCustomImageList::setHeight(int value)
{
    if (value == m_height || value < 1)
        return;
    m_height = value;
    m_images.clear();
}

int TCustomImageList::Add(const QImage &image)
{
    if (image.isNull())
        return -1;
    const QImage source = image.convertToFormat(QImage::Format_ARGB32);
    const int first = Count();
    const int pieces = std::max(1, source.width() / m_width);
    for (int i = 0; i < pieces; ++i) {
        QImage piece(m_width, m_height, QImage::Format_ARGB32);
        piece.fill(Qt::transparent);
        for (int y = 0; y < std::min(m_height, source.height()); ++y)
            for (int x = 0; x < m_width && i * m_width + x < source.width(); ++x)
                piece.setPixel(x, y, source.pixel(i * m_width + x, y));
        m_images.push_back(piece);
    }
    return first;
}

int TCustomImageList::AddMasked(const QImage &image, TColor maskColor)
{
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = toQColor(maskColor).rgb() & 0xFFFFFF;
    for (int y = 0; y < masked.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key)
                line[x] = 0;
    }
    return Add(masked);
}

QImage TCustomImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return m_images[std::size_t(index)];
}

void TCustomImageList::Draw(TCanvas &canvas, int x, int y, int index, bool enabled) const
{
    if (index < 0 || index >= Count())
        return;
    const QImage &image = m_images[std::size_t(index)];
    if (enabled) {
        canvas.Draw(x, y, image);
        return;
    }
    // The shape of the image, once in the highlight colour one pixel down and right, then in the
    // shadow colour on top.
    for (const auto &[dx, colour] : {std::pair{1, clBtnHighlight}, std::pair{0, clBtnShadow}}) {
        for (int py = 0; py < image.height(); ++py) {
            const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(py));
            for (int px = 0; px < image.width(); ++px)
                if (qAlpha(line[px]) != 0)
                    canvas.SetPixel(x + px + dx, y + py + dx, colour);
        }
    }
}
