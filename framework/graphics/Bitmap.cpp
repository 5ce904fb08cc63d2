#include "Bitmap.h"

#include "Canvas.h"
#include "Files.h"

#include <QFile>
#include <QIODevice>
#include <cstring>

namespace {
quint32 u32(const QByteArray &b, qint64 at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(b.constData()) + at;
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
quint16 u16(const QByteArray &b, qint64 at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(b.constData()) + at;
    return quint16(p[0] | (p[1] << 8));
}
[[noreturn]] void invalid()
{
    throw EInvalidGraphic("Bitmap image is not valid");
}
int maskShift(quint32 mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}
int maskScale(quint32 value, quint32 mask)
{
    if (!mask)
        return 0;
    const int shift = maskShift(mask);
    const quint32 max = mask >> shift;
    return int(((value & mask) >> shift) * 255 / max);
}
void put16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}
void put32(QByteArray &b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}
} // namespace

namespace Bmp {
Decoded decode(const QByteArray &bytes)
{
    const qint64 size = bytes.size();
    if (size < 14 + 12 || bytes[0] != 'B' || bytes[1] != 'M')
        invalid();
    const quint32 offBits = u32(bytes, 10);
    const quint32 headerSize = u32(bytes, 14);
    if (headerSize != 12 && headerSize < 40)
        invalid();
    if (14 + qint64(headerSize) > size)
        invalid();
    qint64 width, height;
    int planes, bpp;
    quint32 compression = 0, colorsUsed = 0;
    if (headerSize == 12) {
        width = u16(bytes, 18);
        height = qint16(u16(bytes, 20));
        planes = u16(bytes, 22);
        bpp = u16(bytes, 24);
    } else {
        width = qint32(u32(bytes, 18));
        height = qint32(u32(bytes, 22));
        planes = u16(bytes, 26);
        bpp = u16(bytes, 28);
        compression = u32(bytes, 30);
        colorsUsed = u32(bytes, 46);
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (planes != 1 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        width * height > kMaxPixels)
        invalid();
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        invalid();
    // Bit fields: masks after an info header, or inside a larger one.
    quint32 rMask = 0, gMask = 0, bMask = 0;
    qint64 paletteAt = 14 + headerSize;
    if (compression == 3) {
        if (bpp != 16 && bpp != 32)
            invalid();
        const qint64 masksAt = 14 + 40;
        if (masksAt + 12 > size)
            invalid();
        rMask = u32(bytes, masksAt);
        gMask = u32(bytes, masksAt + 4);
        bMask = u32(bytes, masksAt + 8);
        if (headerSize == 40)
            paletteAt += 12;
    } else if (compression != 0) {
        invalid(); // run-length encoded and embedded formats are not read
    } else if (bpp == 16) {
        rMask = 0x7C00, gMask = 0x03E0, bMask = 0x001F;
    }
    QList<QRgb> palette;
    if (bpp <= 8) {
        const qint64 entries = colorsUsed ? qint64(colorsUsed) : (qint64(1) << bpp);
        if (entries > 256)
            invalid();
        const int entrySize = headerSize == 12 ? 3 : 4;
        if (paletteAt + entries * entrySize > size)
            invalid();
        for (qint64 i = 0; i < entries; ++i) {
            const auto *p =
                reinterpret_cast<const unsigned char *>(bytes.constData()) + paletteAt + i * entrySize;
            palette.append(qRgb(p[2], p[1], p[0]));
        }
        paletteAt += entries * entrySize;
    }
    const qint64 stride = ((width * bpp + 31) / 32) * 4;
    qint64 dataAt = offBits >= paletteAt && offBits < size ? qint64(offBits) : paletteAt;
    if (dataAt + stride * height > size) {
        // The last row may lack its padding; anything shorter is a truncated file.
        if (dataAt + stride * (height - 1) + (width * bpp + 7) / 8 > size)
            invalid();
    }
    Decoded out;
    out.image = QImage(int(width), int(height), QImage::Format_RGB32);
    if (out.image.isNull())
        invalid();
    const auto *base = reinterpret_cast<const unsigned char *>(bytes.constData()) + dataAt;
    for (qint64 row = 0; row < height; ++row) {
        const unsigned char *src = base + row * stride;
        auto *dst = reinterpret_cast<QRgb *>(out.image.scanLine(int(topDown ? row : height - 1 - row)));
        for (qint64 x = 0; x < width; ++x) {
            QRgb c;
            switch (bpp) {
            case 1:
            case 4:
            case 8: {
                const qint64 bit = x * bpp;
                const int index = (src[bit / 8] >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1);
                c = index < palette.size() ? palette[index] : qRgb(0, 0, 0);
                break;
            }
            case 16: {
                const quint32 v = quint32(src[x * 2]) | (quint32(src[x * 2 + 1]) << 8);
                c = qRgb(maskScale(v, rMask), maskScale(v, gMask), maskScale(v, bMask));
                break;
            }
            case 24:
                c = qRgb(src[x * 3 + 2], src[x * 3 + 1], src[x * 3]);
                break;
            default: {
                const quint32 v = quint32(src[x * 4]) | (quint32(src[x * 4 + 1]) << 8) |
                                  (quint32(src[x * 4 + 2]) << 16) | (quint32(src[x * 4 + 3]) << 24);
                c = compression == 3 ? qRgb(maskScale(v, rMask), maskScale(v, gMask), maskScale(v, bMask))
                                     : qRgb(src[x * 4 + 2], src[x * 4 + 1], src[x * 4]);
                break;
            }
            }
            dst[x] = c;
        }
    }
    switch (bpp) {
    case 1:
        out.format = TPixelFormat::pf1bit;
        break;
    case 4:
        out.format = TPixelFormat::pf4bit;
        break;
    case 8:
        out.format = TPixelFormat::pf8bit;
        break;
    case 16:
        out.format = TPixelFormat::pf16bit;
        break;
    case 24:
        out.format = TPixelFormat::pf24bit;
        break;
    default:
        out.format = TPixelFormat::pf32bit;
        break;
    }
    return out;
}

QByteArray encode24(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const int stride = ((width * 24 + 31) / 32) * 4;
    const quint32 dataSize = quint32(stride) * quint32(height);
    QByteArray out;
    out.reserve(int(54 + dataSize));
    out.append("BM");
    put32(out, 54 + dataSize);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, quint32(width));
    put32(out, quint32(height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, dataSize);
    put32(out, 3780);
    put32(out, 3780);
    put32(out, 0);
    put32(out, 0);
    QByteArray row(stride, '\0');
    for (int y = height - 1; y >= 0; --y) {
        const auto *src = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            row[x * 3] = char(qBlue(src[x]));
            row[x * 3 + 1] = char(qGreen(src[x]));
            row[x * 3 + 2] = char(qRed(src[x]));
        }
        out.append(row);
    }
    return out;
}
} // namespace Bmp

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

void TBitmap::adopt(Bmp::Decoded decoded)
{
    m_image = std::move(decoded.image);
    m_format = decoded.format;
}

void TBitmap::LoadFromBytes(const QByteArray &bytes)
{
    adopt(Bmp::decode(bytes));
}

void TBitmap::LoadFromFile(const QString &fileName)
{
    QFile file;
    Files::openRegularFile(file, fileName);
    // A BMP larger than the largest image it may describe is not read into memory at all, even
    // when it grows while it is read.
    constexpr qint64 kMaxFileSize = Bmp::kMaxPixels * 4 + 65536;
    if (file.size() > kMaxFileSize)
        throw EInvalidGraphic("Bitmap image is not valid");
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize)
        throw EInvalidGraphic("Bitmap image is not valid");
    LoadFromBytes(bytes);
}

void TBitmap::LoadFromStream(QIODevice &stream)
{
    // The file header says how long the bitmap is; read exactly that much.
    const QByteArray header = stream.peek(14);
    if (header.size() < 14 || header[0] != 'B' || header[1] != 'M')
        throw EInvalidGraphic("Bitmap image is not valid");
    const quint32 size = u32(header, 2);
    if (size < 14 || size > quint32(Bmp::kMaxPixels * 4 + 65536))
        throw EInvalidGraphic("Bitmap image is not valid");
    const QByteArray bytes = stream.read(size);
    LoadFromBytes(bytes);
}

void TBitmap::LoadFromResourceName(const QString &name)
{
    QFile file(QStringLiteral(":/bitmaps/") + name + QStringLiteral(".bmp"));
    if (!file.open(QIODevice::ReadOnly))
        throw EInvalidGraphic("Resource " + name.toStdString() + " not found");
    LoadFromBytes(file.readAll());
}

QByteArray TBitmap::SaveToBytes() const
{
    return Bmp::encode24(m_image.isNull() ? QImage(0, 0, QImage::Format_RGB32) : m_image);
}

void TBitmap::SaveToStream(QIODevice &stream) const
{
    const QByteArray bytes = SaveToBytes();
    if (stream.write(bytes) != bytes.size())
        throw EWriteError("Stream write error");
}

void TBitmap::Assign(const TBitmap &other)
{
    m_image = other.m_image.copy();
    m_format = other.m_format;
}

void TBitmap::SetSize(int width, int height)
{
    if (width == Width() && height == Height() && !m_image.isNull())
        return;
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    image.fill(Qt::white);
    m_image = std::move(image);
}

TCanvas &TBitmap::Canvas()
{
    // The canvas draws on m_image wherever its pixels come from later.
    if (!m_canvas)
        m_canvas = std::make_unique<TCanvas>(m_image);
    return *m_canvas;
}
