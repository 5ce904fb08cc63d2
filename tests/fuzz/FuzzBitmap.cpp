// The bitmap reader: any bytes as a BMP file, from memory and from a stream. A bitmap that loads
// saves as a 24-bit BMP that loads back to the same pixels.

#include "Bitmap.h"
#include "FuzzTarget.h"
#include "SanitizerDefaults.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    Bmp::Decoded decoded;
    try {
        decoded = Bmp::decode(bytes);
    } catch (const EInvalidGraphic &) {
        return 0;
    }
    FUZZ_CHECK(!decoded.image.isNull());
    FUZZ_CHECK(decoded.image.width() <= Bmp::kMaxSide && decoded.image.height() <= Bmp::kMaxSide);

    const QByteArray saved = Bmp::encode24(decoded.image);
    const Bmp::Decoded again = Bmp::decode(saved);
    FUZZ_CHECK(again.image.size() == decoded.image.size());
    for (int y = 0; y < again.image.height(); ++y) {
        for (int x = 0; x < again.image.width(); ++x)
            FUZZ_CHECK((again.image.pixel(x, y) & 0xFFFFFF) == (decoded.image.pixel(x, y) & 0xFFFFFF));
    }

    // A stream holds the bitmap and whatever follows it.
    QByteArray streamed = saved + QByteArray("tail");
    QBuffer buffer(&streamed);
    buffer.open(QIODevice::ReadOnly);
    TBitmap bitmap;
    bitmap.LoadFromStream(buffer);
    FUZZ_CHECK(bitmap.Image().size() == decoded.image.size());
    FUZZ_CHECK(buffer.pos() == saved.size());
    return 0;
}
