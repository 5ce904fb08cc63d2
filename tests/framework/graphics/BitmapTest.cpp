#include "Bitmap.h"
#include "Canvas.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
quint32 le32(const QByteArray &b, int at)
{
    return quint32(quint8(b[at])) | (quint32(quint8(b[at + 1])) << 8) | (quint32(quint8(b[at + 2])) << 16) |
           (quint32(quint8(b[at + 3])) << 24);
}

void setLe32(QByteArray &b, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

QByteArray sample()
{
    QImage image(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.setPixel(x, y, qRgb(10 * x, 20 * y, 7));
    return Bmp::encode24(image);
}

std::string loadError(const QByteArray &bytes)
{
    TBitmap bitmap;
    try {
        bitmap.LoadFromBytes(bytes);
    } catch (const std::exception &e) {
        return e.what();
    }
    return "<loaded>";
}
} // namespace

TEST(Bitmap, SavesACompleteTwentyFourBitFile)
{
    const QByteArray bytes = sample();
    ASSERT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(bytes, 2), quint32(bytes.size()));
    EXPECT_EQ(le32(bytes, 10), 54u);
    EXPECT_EQ(le32(bytes, 14), 40u);
    EXPECT_EQ(le32(bytes, 18), 3u);
    EXPECT_EQ(le32(bytes, 22), 2u);
    EXPECT_EQ(bytes.size(), 54 + 2 * 12); // rows of 9 bytes padded to 12
    TBitmap bitmap;
    bitmap.LoadFromBytes(bytes);
    EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(bitmap.Image().pixel(2, 1), qRgb(20, 20, 7));
    EXPECT_EQ(bitmap.SaveToBytes(), bytes);
}

TEST(Bitmap, LoadsFromStreamsExactlyOneBitmap)
{
    QByteArray two = sample() + QByteArray("after");
    QBuffer buffer(&two);
    buffer.open(QIODevice::ReadOnly);
    TBitmap bitmap;
    bitmap.LoadFromStream(buffer);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(buffer.readAll(), QByteArray("after"));
}

TEST(Bitmap, BuiltInSkinIsAPalettedImageWithSilverCorners)
{
    TBitmap bitmap;
    bitmap.LoadFromResourceName(QStringLiteral("DEFAULT_SKIN"));
    EXPECT_EQ(bitmap.Width(), 62);
    EXPECT_EQ(bitmap.Height(), 100);
    EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf8bit);
    for (int strip = 0; strip < 4; ++strip) {
        EXPECT_EQ(bitmap.Image().pixel(0, strip * 25), qRgb(192, 192, 192));
        EXPECT_EQ(bitmap.Image().pixel(61, strip * 25 + 24), qRgb(192, 192, 192));
        EXPECT_NE(bitmap.Image().pixel(31, strip * 25 + 12), qRgb(192, 192, 192));
    }
}

TEST(Bitmap, HostileFilesAreRefusedWithoutHugeAllocations)
{
    const std::string invalid = "Bitmap image is not valid";
    EXPECT_EQ(loadError(QByteArray("not a bitmap at all, not even close")), invalid);
    EXPECT_EQ(loadError(sample().left(60)), invalid); // cut in its pixels
    QByteArray huge = sample();
    setLe32(huge, 18, 65536);
    setLe32(huge, 22, 65536);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(loadError(huge), invalid);
    QByteArray zero = sample();
    setLe32(zero, 22, 0);
    EXPECT_EQ(loadError(zero), invalid);
    QByteArray depth = sample();
    depth[28] = 7;
    EXPECT_EQ(loadError(depth), invalid);
    QByteArray rle = sample();
    rle[30] = 1;
    EXPECT_EQ(loadError(rle), invalid);
    QByteArray palette = sample();
    palette[28] = 8;
    setLe32(palette, 46, 100000);
    EXPECT_EQ(loadError(palette), invalid);
}

TEST(Bitmap, TopDownAndPalettedFilesRead)
{
    // 2 x 2, 1 bit per pixel, top-down: black and white checks.
    QByteArray b("BM");
    auto put32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i)
            b.append(char((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [&](quint16 v) {
        b.append(char(v & 0xFF));
        b.append(char(v >> 8));
    };
    put32(14 + 40 + 8 + 8);
    put32(0);
    put32(14 + 40 + 8);
    put32(40);
    put32(2);
    put32(quint32(-2));
    put16(1);
    put16(1);
    put32(0);
    put32(8);
    put32(0);
    put32(0);
    put32(2);
    put32(0);
    put32(0x000000);
    put32(0xFFFFFF);
    b.append(QByteArray::fromHex("40000000"
                                 "80000000"));
    TBitmap bitmap;
    bitmap.LoadFromBytes(b);
    EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf1bit);
    EXPECT_EQ(bitmap.Image().pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(bitmap.Image().pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(bitmap.Image().pixel(0, 1), qRgb(255, 255, 255));
}

TEST(Bitmap, MissingFile)
{
    QTemporaryDir dir;
    TBitmap bitmap;
    const QString name = dir.filePath(QStringLiteral("none.bmp"));
    EXPECT_THROW(bitmap.LoadFromFile(name), EFOpenError);
    EXPECT_TRUE(bitmap.Empty());
}

TEST(BitmapFile, FifoAndDevicesAreRefusedWithoutWaiting)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("btnsource.bmp"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    TBitmap bitmap;
    EXPECT_THROW(bitmap.LoadFromFile(fifo), EFOpenError);
    EXPECT_THROW(bitmap.LoadFromFile(QStringLiteral("/dev/zero")), EFOpenError);
    EXPECT_TRUE(bitmap.Empty());
}
