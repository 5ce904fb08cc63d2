#include "VelGradient.h"

#include "Canvas.h"
#include "Errors.h"

#include <cmath>
#include <cstdlib>

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long num = static_cast<long long>(a) * b;
    long long q = num / c;
    const long long r = num % c;
    if (2 * std::llabs(r) >= std::llabs(static_cast<long long>(c)))
        q += ((num < 0) != (c < 0)) ? -1 : 1;
    return int(q);
}

int Rd(double x)
{
    return int(std::nearbyint(x));
}

TVelGradient::TVelGradient(QObject *owner) : QObject(owner) {}

void TVelGradient::setBeginColor(TColor value)
{
    m_begin = value;
    emit changed();
}

void TVelGradient::setEndColor(TColor value)
{
    m_end = value;
    emit changed();
}

void TVelGradient::setFillStyle(int value)
{
    m_style = value;
    emit changed();
}

void TVelGradient::setColorCount(int value)
{
    if (value > 1 && value < 256)
        m_count = value;
    emit changed();
}

void TVelGradient::setColorsInBetween(const QStringList &lines)
{
    m_between = lines;
    emit changed();
}

void TVelGradient::Assign(const TVelGradient &other)
{
    m_begin = other.m_begin;
    m_end = other.m_end;
    m_style = other.m_style;
    m_count = other.m_count;
    m_between = other.m_between;
    emit changed();
}

namespace {
TColor stopColor(const QString &text)
{
    const auto color = StringToColorOpt(text);
    if (!color)
        throw Exception("'" + text.toStdString() + "' is not a valid integer value");
    return ColorToRGB(*color);
}

// A filled rectangle given as left, top, width, height; a negative size extends the other way.
void pattern(TCanvas &canvas, int left, int top, int width, int height)
{
    if (width < 0) {
        left += width;
        width = -width;
    }
    if (height < 0) {
        top += height;
        height = -height;
    }
    canvas.FillRect(QRect(left, top, width, height));
}

void line(TCanvas &canvas, int x0, int y0, int x1, int y1)
{
    canvas.MoveTo(x0, y0);
    canvas.LineTo(x1, y1);
}

void ellipse(TCanvas &canvas, int x0, int y0, int x1, int y1)
{
    canvas.Ellipse(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
}
} // namespace

QImage TVelGradient::Render(int W, int H, const QStringList &between, TColor background) const
{
    QStringList stops = between;
    stops.prepend(ColorToString(m_begin));
    stops.append(ColorToString(m_end));
    const int N = int(stops.size()) - 1;
    QImage image(std::max(W, 0), std::max(H, 0), QImage::Format_RGB32);
    TCanvas canvas(image);
    canvas.Brush.Style = TBrushStyle::bsSolid;
    canvas.Brush.Color = background;
    canvas.FillRect(image.rect());
    canvas.Brush.Color = stopColor(stops[0]);
    canvas.FillRect(image.rect());
    canvas.Pen.Style = TPenStyle::psSolid;
    canvas.Pen.Width = 1;

    const int hs = Rd(double(H) / N) + 1, ws = Rd(double(W) / N) + 1;
    const int hs0 = Rd(double(H) / N), ws0 = Rd(double(W) / N);
    for (int r = 0; r < N; ++r) {
        const int C = m_count;
        const TColor c1 = stopColor(stops[r]), c2 = stopColor(stops[r + 1]);
        const int R1 = GetRValue(c1), G1 = GetGValue(c1), B1 = GetBValue(c1);
        const int dR = GetRValue(c2) - R1, dG = GetGValue(c2) - G1, dB = GetBValue(c2) - B1;
        for (int n = 0; n < C; ++n) {
            auto raise = [](int v) { return v == 0 ? 1 : v; };
            const TColor A = RGB(raise(R1 + MulDiv(n, dR, C - 1)), raise(G1 + MulDiv(n, dG, C - 1)),
                                 raise(B1 + MulDiv(n, dB, C - 1)));
            const TColor B = RGB(R1 + MulDiv(C - 1 - n, dR, C - 1), G1 + MulDiv(C - 1 - n, dG, C - 1),
                                 B1 + MulDiv(C - 1 - n, dB, C - 1));
            canvas.Pen.Color = A;
            canvas.Brush.Color = A;
            switch (m_style) {
            case Circle:
            case Spectral: {
                const int xs = ws * r, ys = hs * r;
                for (int j = MulDiv(n, ws, C); j <= MulDiv(n + 2, ws, C); ++j) {
                    if (m_style == Spectral)
                        canvas.Pen.Color = (j % 2 != 0) ? A : B;
                    line(canvas, j + xs, 0, W - j - xs, H);
                }
                for (int i = MulDiv(n, hs, C); i <= MulDiv(n + 2, hs, C); ++i) {
                    if (m_style == Spectral)
                        canvas.Pen.Color = (i % 2 != 0) ? A : B;
                    line(canvas, 0, i + ys, W, H - i - ys);
                }
                break;
            }
            case Horizontal: {
                const int ys = hs * r, y1 = MulDiv(n, hs, C), y2 = MulDiv(n + 2, hs, C);
                pattern(canvas, 0, ys + y1, W, ys + y2 - y1);
                break;
            }
            case Vertical: {
                const int xs = ws * r, x1 = MulDiv(n, ws, C), x2 = MulDiv(n + 2, ws, C);
                pattern(canvas, xs + x1, 0, xs + x2 - x1, H);
                break;
            }
            case LeftBottom: {
                const int xs = ws * r, ys = hs * r, x1 = MulDiv(n, ws, C), y1 = MulDiv(n, hs, C);
                pattern(canvas, xs + x1, ys + y1, W - x1, H - y1);
                break;
            }
            case RoundMiddle: {
                const int xs = Rd(ws / 2.0 * r) + 1, ys = Rd(hs / 2.0 * r) + 1;
                const int x1 = MulDiv(n, Rd(ws / 2.0) + 1, C), y1 = MulDiv(n, Rd(hs / 2.0) + 1, C);
                ellipse(canvas, xs + x1, ys + y1, W - x1 - xs, H - y1 - ys);
                break;
            }
            case SquareMiddle: {
                const int xs = Rd(ws0 / 2.0 * r), ys = Rd(hs0 / 2.0 * r);
                const int x1 = MulDiv(n, Rd(ws0 / 2.0), C), y1 = MulDiv(n, Rd(hs0 / 2.0), C);
                pattern(canvas, xs + x1, ys + y1, W - 2 * x1 - 2 * xs, H - 2 * y1 - 2 * ys);
                break;
            }
            case DoppelFlash: {
                const int xs = ws * r + 1, ys = hs * r + 1, x1 = MulDiv(n, ws, C), y1 = MulDiv(n, hs, C);
                ellipse(canvas, xs + x1, ys + y1, W, H);
                ellipse(canvas, W - x1 - xs, H - y1 - ys, 0, 0);
                break;
            }
            case Singleflash: {
                const int xs = ws0 * r, ys = hs0 * r, x1 = MulDiv(n, ws0, C), y1 = MulDiv(n, hs0, C);
                ellipse(canvas, xs + x1, ys + y1, W, H);
                break;
            }
            case MiddleHBar: {
                const int ys = Rd(hs / 2.0 * r) + 1, a = Rd(hs / 2.0) + 1, b = Rd(hs / 2.0);
                const int yA = H - MulDiv(n, a, C), yB = H - MulDiv(n + 2, a, C);
                pattern(canvas, 0, yA - 1 - ys, W, yB - yA);
                pattern(canvas, 0, ys + MulDiv(n, b, C), W, MulDiv(n + 2, b, C) - MulDiv(n, b, C) + 1);
                break;
            }
            case MiddleVBar: {
                const int xs = Rd(ws / 2.0 * r) + 1, a = Rd(ws / 2.0) + 1, b = Rd(ws / 2.0);
                const int xA = W - MulDiv(n, a, C), xB = W - MulDiv(n + 2, a, C);
                pattern(canvas, xA - 1 - xs, 0, xB - xA, H);
                pattern(canvas, xs + MulDiv(n, b, C), 0, MulDiv(n + 2, b, C) - MulDiv(n, b, C) + 1, H);
                break;
            }
            case VerticalDoppelBar: {
                const int xs = Rd(ws / 3.0 * r) + 1, a = Rd(ws / 3.0) + 1;
                const int x1 = MulDiv(n, a, C), x2 = MulDiv(n + 1, a, C), t = 2 * Rd(W / 3.0);
                pattern(canvas, xs + x1, 0, x2 - x1, H);
                pattern(canvas, t - x2 - xs, 0, x2 - x1, H);
                pattern(canvas, t + xs + x1, 0, x2 - x1, H);
                break;
            }
            case HorizontalDoppelBar: {
                const int ys = Rd(hs / 3.0 * r) + 1, a = Rd(hs / 3.0) + 1;
                const int y1 = MulDiv(n, a, C), y2 = MulDiv(n + 1, a, C), t = 2 * Rd(H / 3.0);
                pattern(canvas, 0, ys + y1, W, y2 - y1);
                pattern(canvas, 0, t - y2 - ys, W, y2 - y1);
                pattern(canvas, 0, t + ys + y1, W, y2 - y1);
                break;
            }
            default:
                break;
            }
        }
    }
    return image;
}
