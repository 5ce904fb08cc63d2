#pragma once
// Bitmaps that load from BMP files, streams and the program's built-in resources, and save as
// complete 24-bit BMP files. Pixels live in a 32-bit image that a TCanvas draws on.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <memory>

#include "Errors.h"

class QIODevice;
class TCanvas;

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// "Bitmap image is not valid" and the reasons a BMP file is refused.
class EInvalidGraphic : public Exception
{
public:
    using Exception::Exception;
};

namespace Bmp {
// The largest image a file may claim; a bigger claim is refused before anything is allocated.
constexpr int kMaxSide = 16384;
constexpr qint64 kMaxPixels = qint64(64) * 1024 * 1024;

struct Decoded
{
    QImage image;
    TPixelFormat format = TPixelFormat::pf24bit;
};
// Throws EInvalidGraphic for anything that is not a complete, sane BMP file.
Decoded decode(const QByteArray &bytes);
QByteArray encode24(const QImage &image);
} // namespace Bmp

class TBitmap
{
public:
    TBitmap();
    ~TBitmap();
    TBitmap(const TBitmap &) = delete;
    TBitmap &operator=(const TBitmap &) = delete;

    void LoadFromFile(const QString &fileName);
    void LoadFromStream(QIODevice &stream);
    void LoadFromBytes(const QByteArray &bytes);
    // A bitmap resource of the program, such as "DEFAULT_SKIN".
    void LoadFromResourceName(const QString &name);
    void SaveToStream(QIODevice &stream) const;
    QByteArray SaveToBytes() const;
    void Assign(const TBitmap &other);

    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    bool Empty() const { return m_image.isNull() || m_image.width() == 0 || m_image.height() == 0; }
    void SetSize(int width, int height);
    TPixelFormat PixelFormat() const { return m_format; }
    void setPixelFormat(TPixelFormat format) { m_format = format; }

    const QImage &Image() const { return m_image; }
    QImage &Image() { return m_image; }
    TCanvas &Canvas();

private:
    void adopt(Bmp::Decoded decoded);

    QImage m_image;
    TPixelFormat m_format = TPixelFormat::pf24bit;
    std::unique_ptr<TCanvas> m_canvas;
};
