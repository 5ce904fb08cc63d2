#include "Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {
QRgb toRgb(TColor color)
{
    const TColor c = ColorToRGB(color);
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Hatch patterns, one byte per row, the highest bit at x mod 8 == 0.
constexpr unsigned char kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF}, // horizontal
    {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}, // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // forward diagonal, top left to bottom right
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // backward diagonal
    {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0xFF}, // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // diagonal cross
};

struct Span
{
    int y, x0, x1; // x1 inclusive
};

// The pixels of an ellipse that fills the box [left, right) x [top, bottom).
std::vector<Span> ellipseSpans(int left, int top, int right, int bottom)
{
    std::vector<Span> spans;
    const int w = right - left, h = bottom - top;
    if (w <= 0 || h <= 0)
        return spans;
    const double a = w / 2.0, b = h / 2.0;
    for (int j = 0; j < h; ++j) {
        const double cy = (j + 0.5 - b) / b;
        const double t = 1.0 - cy * cy;
        if (t < 0)
            continue;
        const double dx = a * std::sqrt(t);
        const int i0 = int(std::ceil(a - dx - 0.5));
        const int i1 = int(std::floor(a + dx - 0.5));
        if (i0 <= i1)
            spans.push_back({top + j, left + std::max(i0, 0), left + std::min(i1, w - 1)});
    }
    return spans;
}

std::vector<Span> roundRectSpans(int left, int top, int right, int bottom, int cw, int ch)
{
    std::vector<Span> spans;
    const int w = right - left, h = bottom - top;
    if (w <= 0 || h <= 0)
        return spans;
    cw = std::clamp(cw, 0, w);
    ch = std::clamp(ch, 0, h);
    // Inset of each row of the corner ellipse from its box's left edge.
    std::vector<int> inset(std::size_t(std::max(ch, 1)), 0);
    if (cw > 0 && ch > 0) {
        std::vector<int> found(std::size_t(ch), cw / 2);
        for (const Span &s : ellipseSpans(0, 0, cw, ch))
            found[std::size_t(s.y)] = s.x0;
        inset = found;
    }
    const int upper = ch / 2, lower = ch - ch / 2;
    for (int j = 0; j < h; ++j) {
        int in = 0;
        if (ch > 0 && j < upper)
            in = inset[std::size_t(j)];
        else if (ch > 0 && j >= h - lower)
            in = inset[std::size_t(ch - (h - j))];
        if (left + in <= right - 1 - in)
            spans.push_back({top + j, left + in, right - 1 - in});
    }
    return spans;
}

QRegion spansToRegion(const std::vector<Span> &spans)
{
    QRegion region;
    for (const Span &s : spans)
        region += QRect(s.x0, s.y, s.x1 - s.x0 + 1, 1);
    return region;
}

struct Prefixed
{
    QString shown;
    int underline = -1;
};

Prefixed stripPrefix(const QString &text, unsigned flags)
{
    Prefixed out;
    if (flags & DT::NOPREFIX) {
        out.shown = text;
        return out;
    }
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
                out.shown += QLatin1Char('&');
                ++i;
                continue;
            }
            if (i + 1 < text.size() && out.underline < 0 && !(flags & DT::HIDEPREFIX))
                out.underline = int(out.shown.size());
            continue;
        }
        out.shown += text[i];
    }
    return out;
}

QFont renderFont(const QFont &font)
{
    QFont f = font;
    f.setKerning(false);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}
} // namespace

TFont::TFont()
{
    Font.setPixelSize(11);
}

TFont::TFont(const QFont &font, TColor color) : Font(font), Color(color) {}

namespace Regions {
QRegion rect(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return {};
    return QRegion(left, top, right - left, bottom - top);
}

QRegion ellipse(int left, int top, int right, int bottom)
{
    return spansToRegion(ellipseSpans(left, top, right - 1, bottom - 1));
}

QRegion roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    return spansToRegion(roundRectSpans(left, top, right - 1, bottom - 1, cornerWidth, cornerHeight));
}
} // namespace Regions

TCanvas::TCanvas(QImage &image) : m_image(image) {}

bool TCanvas::visible(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height())
        return false;
    return !m_clipped || m_clip.contains(QPoint(x, y));
}

void TCanvas::plot(int x, int y, QRgb rgb)
{
    if (visible(x, y))
        reinterpret_cast<QRgb *>(m_image.scanLine(y))[x] = rgb | 0xFF000000u;
}

TColor TCanvas::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height())
        return clNone;
    const QRgb c = reinterpret_cast<const QRgb *>(m_image.constScanLine(y))[x];
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    plot(x, y, toRgb(color));
}

void TCanvas::SetClipRegion(const QRegion &region)
{
    m_clip = region;
    m_clipped = true;
}

void TCanvas::ClearClipRegion()
{
    m_clip = QRegion();
    m_clipped = false;
}

bool TCanvas::brushPixel(int x, int y, QRgb &rgb) const
{
    switch (Brush.Style) {
    case TBrushStyle::bsClear:
        return false;
    case TBrushStyle::bsSolid:
        if (!Brush.Bitmap.isNull()) {
            const int w = Brush.Bitmap.width(), h = Brush.Bitmap.height();
            rgb = Brush.Bitmap.pixel(((x % w) + w) % w, ((y % h) + h) % h);
            return true;
        }
        rgb = toRgb(Brush.Color);
        return true;
    default: {
        const int style = int(Brush.Style) - int(TBrushStyle::bsHorizontal);
        const unsigned char row = kHatch[style][((y % 8) + 8) % 8];
        if (!(row & (0x80 >> (((x % 8) + 8) % 8))))
            return false;
        rgb = toRgb(Brush.Color);
        return true;
    }
    }
}

void TCanvas::fillSpans(const QRegion &region, bool useBrush, QRgb solid)
{
    for (const QRect &r : region) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                QRgb rgb = solid;
                if (!useBrush || brushPixel(x, y, rgb))
                    plot(x, y, rgb);
            }
        }
    }
}

void TCanvas::MoveTo(int x, int y)
{
    m_penPos = QPoint(x, y);
}

void TCanvas::LineTo(int x1, int y1)
{
    const int x0 = m_penPos.x(), y0 = m_penPos.y();
    m_penPos = QPoint(x1, y1);
    if (Pen.Style == TPenStyle::psClear)
        return;
    const QRgb rgb = toRgb(Pen.Color);
    // Bresenham's line, without its end point.
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy, x = x0, y = y0;
    while (x != x1 || y != y1) {
        plot(x, y, rgb);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void TCanvas::FillRect(const QRect &rect)
{
    fillSpans(QRegion(rect.normalized()), true, 0);
}

void TCanvas::FrameRect(const QRect &rect)
{
    if (rect.isEmpty())
        return;
    QRgb rgb;
    if (!brushPixel(rect.left(), rect.top(), rgb) && Brush.Style == TBrushStyle::bsClear)
        return;
    QRegion ring(rect);
    ring -= QRegion(rect.adjusted(1, 1, -1, -1));
    fillSpans(ring, true, 0);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    if (Pen.Style == TPenStyle::psClear) {
        FillRect(QRect(left, top, right - left - 1, bottom - top - 1));
        return;
    }
    FillRect(QRect(left + 1, top + 1, right - left - 2, bottom - top - 2));
    const QRgb pen = toRgb(Pen.Color);
    QRegion ring(left, top, right - left, bottom - top);
    ring -= QRegion(left + 1, top + 1, right - left - 2, bottom - top - 2);
    fillSpans(ring, false, pen);
}

void TCanvas::drawOutline(const QRegion &shape)
{
    // The outline is every pixel of the shape with a neighbour outside it.
    fillSpans(shape, true, 0);
    if (Pen.Style == TPenStyle::psClear)
        return;
    const QRgb pen = toRgb(Pen.Color);
    for (const QRect &r : shape) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                if (!shape.contains(QPoint(x - 1, y)) || !shape.contains(QPoint(x + 1, y)) ||
                    !shape.contains(QPoint(x, y - 1)) || !shape.contains(QPoint(x, y + 1)))
                    plot(x, y, pen);
            }
        }
    }
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    drawOutline(spansToRegion(ellipseSpans(left, top, right, bottom)));
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    drawOutline(spansToRegion(roundRectSpans(left, top, right, bottom, cornerWidth, cornerHeight)));
}

void TCanvas::FillRegion(const QRegion &region)
{
    fillSpans(region, true, 0);
}

void TCanvas::FloodFill(int x, int y, TColor color, TFillStyle style)
{
    const int w = m_image.width(), h = m_image.height();
    if (x < 0 || y < 0 || x >= w || y >= h)
        return;
    const QRgb key = toRgb(color) & 0xFFFFFF;
    auto pixelAt = [&](int px, int py) {
        return reinterpret_cast<const QRgb *>(m_image.constScanLine(py))[px] & 0xFFFFFF;
    };
    auto inside = [&](int px, int py) {
        const QRgb c = pixelAt(px, py);
        return style == TFillStyle::fsSurface ? c == key : c != key;
    };
    if (!inside(x, y))
        return;
    // Four-connected, row by row; the pixels are marked first and painted afterwards so that a
    // brush of the key colour cannot make the fill run on forever.
    std::vector<unsigned char> mark(std::size_t(w) * std::size_t(h), 0);
    std::vector<QPoint> stack{QPoint(x, y)};
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        int x0 = p.x();
        const int py = p.y();
        if (mark[std::size_t(py) * std::size_t(w) + std::size_t(x0)] || !inside(x0, py))
            continue;
        while (x0 > 0 && inside(x0 - 1, py) && !mark[std::size_t(py) * std::size_t(w) + std::size_t(x0 - 1)])
            --x0;
        int x1 = x0;
        for (; x1 < w && inside(x1, py) && !mark[std::size_t(py) * std::size_t(w) + std::size_t(x1)]; ++x1) {
            mark[std::size_t(py) * std::size_t(w) + std::size_t(x1)] = 1;
            if (py > 0 && inside(x1, py - 1))
                stack.push_back(QPoint(x1, py - 1));
            if (py + 1 < h && inside(x1, py + 1))
                stack.push_back(QPoint(x1, py + 1));
        }
    }
    for (int py = 0; py < h; ++py) {
        for (int px = 0; px < w; ++px) {
            QRgb rgb;
            if (mark[std::size_t(py) * std::size_t(w) + std::size_t(px)] && brushPixel(px, py, rgb))
                plot(px, py, rgb);
        }
    }
}

void TCanvas::DrawEdge(QRect &rect, unsigned edge, unsigned flags)
{
    struct Ring
    {
        unsigned bit;
        TColor light, dark;
    };
    const Ring rings[2][2] = {
        {{Edge::RAISEDOUTER, cl3DLight, cl3DDkShadow}, {Edge::SUNKENOUTER, clBtnShadow, clBtnHighlight}},
        {{Edge::RAISEDINNER, clBtnHighlight, clBtnShadow}, {Edge::SUNKENINNER, cl3DDkShadow, cl3DLight}}};
    QRect r = rect;
    for (const auto &level : rings) {
        const Ring *ring = (edge & level[0].bit) ? &level[0] : (edge & level[1].bit) ? &level[1] : nullptr;
        if (!ring)
            continue;
        const QRgb light = toRgb(ring->light), dark = toRgb(ring->dark);
        // Bottom and right first, so the top-left colour wins at the two shared corners.
        if (flags & Edge::BOTTOM)
            fillSpans(QRegion(r.left(), r.bottom(), r.width(), 1), false, dark);
        if (flags & Edge::RIGHT)
            fillSpans(QRegion(r.right(), r.top(), 1, r.height()), false, dark);
        if (flags & Edge::TOP)
            fillSpans(QRegion(r.left(), r.top(), r.width() - ((flags & Edge::RIGHT) ? 1 : 0), 1), false,
                      light);
        if (flags & Edge::LEFT)
            fillSpans(QRegion(r.left(), r.top(), 1, r.height() - ((flags & Edge::BOTTOM) ? 1 : 0)), false,
                      light);
        r.adjust((flags & Edge::LEFT) ? 1 : 0, (flags & Edge::TOP) ? 1 : 0, (flags & Edge::RIGHT) ? -1 : 0,
                 (flags & Edge::BOTTOM) ? -1 : 0);
    }
    if (flags & Edge::ADJUST)
        rect = r;
}

void TCanvas::Frame3D(QRect &rect, TColor topColor, TColor bottomColor, int width)
{
    // Windows coordinates: right and bottom are exclusive, and the frame is drawn one inside them.
    int left = rect.left(), top = rect.top(), right = rect.right(), bottom = rect.bottom();
    const TPen saved = Pen;
    Pen.Width = 1;
    Pen.Style = TPenStyle::psSolid;
    while (width-- > 0) {
        Pen.Color = topColor;
        MoveTo(left, bottom);
        LineTo(left, top);
        LineTo(right, top);
        Pen.Color = bottomColor;
        MoveTo(right, top);
        LineTo(right, bottom);
        LineTo(left - 1, bottom);
        ++left;
        ++top;
        --right;
        --bottom;
    }
    Pen = saved;
    rect = QRect(QPoint(left, top), QPoint(right, bottom));
}

void TCanvas::Draw(int x, int y, const QImage &image)
{
    CopyRect(QRect(x, y, image.width(), image.height()), image, image.rect());
}

void TCanvas::StretchDraw(const QRect &dest, const QImage &image)
{
    CopyRect(dest, image, image.rect());
}

void TCanvas::CopyRect(const QRect &dest, const QImage &source, const QRect &sourceRect)
{
    if (dest.isEmpty() || sourceRect.isEmpty() || source.isNull())
        return;
    // Pixels that a source with an alpha channel never painted are left out.
    const bool alpha = source.hasAlphaChannel();
    const QImage src =
        source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32_Premultiplied
            ? source
            : source.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    for (int dy = 0; dy < dest.height(); ++dy) {
        const int sy = sourceRect.top() + int(qint64(dy) * sourceRect.height() / dest.height());
        if (sy < 0 || sy >= src.height())
            continue;
        const auto *line = reinterpret_cast<const QRgb *>(src.constScanLine(sy));
        for (int dx = 0; dx < dest.width(); ++dx) {
            const int sx = sourceRect.left() + int(qint64(dx) * sourceRect.width() / dest.width());
            if (sx >= 0 && sx < src.width() && (!alpha || qAlpha(line[sx]) != 0))
                plot(dest.left() + dx, dest.top() + dy, line[sx]);
        }
    }
}

void TCanvas::DrawTransparent(int x, int y, const QImage &image, TColor transparent)
{
    const QRgb key = toRgb(transparent) & 0xFFFFFF;
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    for (int sy = 0; sy < src.height(); ++sy) {
        const auto *line = reinterpret_cast<const QRgb *>(src.constScanLine(sy));
        for (int sx = 0; sx < src.width(); ++sx) {
            if ((line[sx] & 0xFFFFFF) != key)
                plot(x + sx, y + sy, line[sx]);
        }
    }
}

int TCanvas::TextWidth(const QString &text) const
{
    return QFontMetrics(renderFont(Font.Font)).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString &) const
{
    return QFontMetrics(renderFont(Font.Font)).height();
}

void TCanvas::drawTextLine(int x, int top, const QString &shown, int underline, const QRect &clip,
                           bool clipped)
{
    const QFont font = renderFont(Font.Font);
    const QFontMetrics fm(font);
    if (Brush.Style == TBrushStyle::bsSolid) {
        QRegion back(x, top, fm.horizontalAdvance(shown), fm.height());
        if (clipped)
            back &= QRegion(clip);
        fillSpans(back, false, toRgb(Brush.Color));
    }
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QRegion region = m_clipped ? m_clip : QRegion(m_image.rect());
    if (clipped)
        region &= QRegion(clip);
    painter.setClipRegion(region);
    painter.setFont(font);
    painter.setPen(toQColor(Font.Color));
    if (Font.Orientation != 0) {
        painter.translate(x, top);
        painter.rotate(-Font.Orientation / 10.0);
        painter.drawText(QPoint(0, fm.ascent()), shown);
        return;
    }
    painter.drawText(QPoint(x, top + fm.ascent()), shown);
    if (underline >= 0 && underline < shown.size()) {
        const int ux = x + fm.horizontalAdvance(shown.left(underline));
        const int uw = fm.horizontalAdvance(shown.at(underline));
        const int uy = top + fm.ascent() + std::max(1, fm.underlinePos());
        painter.fillRect(QRect(ux, uy, uw, std::max(1, fm.lineWidth())), toQColor(Font.Color));
    }
}

void TCanvas::TextOut(int x, int y, const QString &text)
{
    drawTextLine(x, y, text, -1, QRect(), false);
}

void TCanvas::TextRect(const QRect &rect, int x, int y, const QString &text)
{
    drawTextLine(x, y, text, -1, rect, true);
}

int TCanvas::DrawText(const QString &text, QRect &rect, unsigned flags)
{
    const QFontMetrics fm(renderFont(Font.Font));
    QString source = text;
    if (flags & DT::EXPANDTABS) {
        QString expanded;
        for (const QChar c : source) {
            if (c == QLatin1Char('\t')) {
                do
                    expanded += QLatin1Char(' ');
                while (expanded.size() % 8 != 0);
            } else {
                expanded += c;
            }
        }
        source = expanded;
    }
    QStringList paragraphs;
    if (flags & DT::SINGLELINE)
        paragraphs << source;
    else
        paragraphs = source.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    std::vector<Prefixed> lines;
    for (const QString &paragraph : paragraphs) {
        if (!(flags & DT::WORDBREAK) || (flags & DT::SINGLELINE)) {
            lines.push_back(stripPrefix(paragraph, flags));
            continue;
        }
        // Words go on a line while they fit; a word wider than the rectangle keeps a line of its own.
        const QStringList words = paragraph.split(QLatin1Char(' '));
        QString current;
        for (const QString &word : words) {
            const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
            if (!current.isEmpty() &&
                fm.horizontalAdvance(stripPrefix(candidate, flags).shown) > rect.width()) {
                lines.push_back(stripPrefix(current, flags));
                current = word;
            } else {
                current = candidate;
            }
        }
        lines.push_back(stripPrefix(current, flags));
    }
    const int lineHeight = fm.height();
    const int total = lineHeight * int(lines.size());
    if (flags & DT::CALCRECT) {
        int widest = 0;
        for (const Prefixed &line : lines)
            widest = std::max(widest, fm.horizontalAdvance(line.shown));
        rect.setWidth(widest);
        rect.setHeight(total);
        return total;
    }
    int y = rect.top();
    if (flags & DT::SINGLELINE) {
        if (flags & DT::VCENTER)
            y = rect.top() + (rect.height() - lineHeight) / 2;
        else if (flags & DT::BOTTOM)
            y = rect.top() + rect.height() - lineHeight;
    }
    for (const Prefixed &line : lines) {
        const int w = fm.horizontalAdvance(line.shown);
        int x = rect.left();
        if (flags & DT::CENTER)
            x = rect.left() + (rect.width() - w) / 2;
        else if (flags & DT::RIGHT)
            x = rect.left() + rect.width() - w;
        drawTextLine(x, y, line.shown, line.underline, rect, !(flags & DT::NOCLIP));
        y += lineHeight;
    }
    return total;
}
