#include "NoxSkinBtn.h"
#include "Canvas.h"
#include "FakeDialogs.h"

#include "Mouse.h"
#include <QBuffer>
#include <QEnterEvent>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include <gtest/gtest.h>

namespace {
// A skin whose pixels tell where they came from: red is the column, green the row.
QImage codedSkin(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x, y, 200));
    return image;
}

class Window : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(uint Color READ color WRITE setColor)
public:
    uint color() const { return m_color; }
    void setColor(uint c) { m_color = c; }
    uint m_color = clRed;
};

struct Fixture
{
    QTemporaryDir dir;
    FakeDialogs dialogs;
    Window window;
    Fixture() { SysColors::resetToClassic(); }
    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    QString skin(const QImage &image, const QString &name = QStringLiteral("skin.bmp"))
    {
        return file(name, Bmp::encode24(image));
    }
    TNoxSkinBtn *button()
    {
        auto *b = new TNoxSkinBtn(&window);
        return b;
    }
};

QRgb facePixel(const TNoxSkinBtn &b, int x, int y)
{
    return b.Face().Image().pixel(x, y);
}

} // namespace

TEST(SkinButton, BuiltInSkinGivesA25PixelButtonWithCornersInTheParentColour)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    EXPECT_EQ(b->size(), QSize(50, 25));
    EXPECT_EQ(b->Face().Width(), 50);
    EXPECT_EQ(b->Face().Height(), 100);
    for (int strip = 0; strip < 4; ++strip) {
        EXPECT_EQ(facePixel(*b, 0, strip * 25), qRgb(255, 0, 0)) << strip;
        EXPECT_EQ(facePixel(*b, 49, strip * 25 + 24), qRgb(255, 0, 0)) << strip;
    }
    EXPECT_NE(facePixel(*b, 25, 12), qRgb(255, 0, 0));
}

TEST(SkinButton, ParentWithoutAColourGivesButtonFace)
{
    Fixture f;
    QWidget plain;
    auto *b = new TNoxSkinBtn(&plain);
    EXPECT_EQ(b->ParentColor(), clBtnFace);
    EXPECT_EQ(facePixel(*b, 0, 0), toQColor(clBtnFace).rgb());
    plain.setProperty("COLOR", QColor(0, 255, 0));
    EXPECT_EQ(facePixel(*b, 0, 0), qRgb(0, 255, 0)); // a changed parent colour recomposes
}

TEST(SkinButton, FaceIsTiledFromCapsAndMiddle)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    b->ButtonSkin()->ApplySkinFile(f.skin(codedSkin(62, 100)));
    b->SetBounds(0, 0, 73, 25);
    ASSERT_EQ(b->Face().Width(), 73);
    for (int x = 0; x < 73; ++x) {
        int column;
        if (x < 20)
            column = x; // left cap
        else if (x >= 53)
            column = 42 + (x - 53); // right cap at 73 - 20
        else
            column = 20 + x % 20; // the middle piece, copied at 0, 20, 40, 60, 80
        EXPECT_EQ(qRed(facePixel(*b, x, 30)), column) << "x " << x;
        EXPECT_EQ(qGreen(facePixel(*b, x, 30)), 30);
    }
    // With a skin file and shape 0 the file's own corners show.
    EXPECT_EQ(facePixel(*b, 0, 0), qRgb(0, 0, 200));
}

TEST(SkinButton, NarrowButtonShowsTheRightCapOverTheLeft)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    b->ButtonSkin()->ApplySkinFile(f.skin(codedSkin(62, 100)));
    b->SetBounds(0, 0, 15, 25);
    for (int x = 0; x < 15; ++x)
        EXPECT_EQ(qRed(facePixel(*b, x, 0)), 42 + 5 + x) << x;
}

TEST(SkinButton, StripsFollowTheState)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    b->ButtonSkin()->ApplySkinFile(f.skin(codedSkin(62, 100)));
    auto row = [&] { return qGreen(b->Render().pixel(30, 3)); };
    EXPECT_EQ(row(), 3);
    enter(b);
    EXPECT_EQ(row(), 25 + 3);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(row(), 50 + 3);
    leave(b);
    EXPECT_EQ(row(), 3); // pressed but not over it: normal
    enter(b);
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(row(), 25 + 3);
    b->setEnabled(false);
    EXPECT_EQ(row(), 75 + 3);
}

TEST(SkinButton, ClickOnlyWhenReleasedOverTheButton)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    QSignalSpy clicks(b, &TNoxSkinBtn::OnClick);
    enter(b);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 5), QPointF(200, 5), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(b, &move);
    EXPECT_FALSE(b->Hover());
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(200, 5));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(b->Pressed());
}

TEST(SkinButton, RightButtonDoesNotPress)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    QSignalSpy clicks(b, &TNoxSkinBtn::OnClick);
    enter(b);
    QTest::mousePress(b, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(b->Pressed());
    QTest::mouseRelease(b, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 0);
}

TEST(SkinButton, BadSkinFilesAreReportedOnceAndChangeNothing)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    b->SetBounds(0, 0, 73, 25);
    const QByteArray before = b->Face().SaveToBytes();
    QByteArray absurd = Bmp::encode24(codedSkin(4, 4));
    absurd[18] = 0, absurd[19] = 0, absurd[20] = 1, absurd[21] = 0; // width 65536
    absurd[22] = 0, absurd[23] = 0, absurd[24] = 1, absurd[25] = 0; // height 65536
    const QString files[] = {
        f.dir.filePath(QStringLiteral("missing.bmp")),
        f.file(QStringLiteral("text.bmp"), "hello"),
        f.skin(codedSkin(62, 99), QStringLiteral("odd.bmp")),
        f.file(QStringLiteral("cut.bmp"), Bmp::encode24(codedSkin(62, 100)).left(500)),
        f.file(QStringLiteral("absurd.bmp"), absurd),
    };
    for (const QString &file : files) {
        f.dialogs.messages.clear();
        b->ButtonSkin()->ApplySkinFile(file);
        ASSERT_EQ(f.dialogs.messages.size(), 1u) << file.toStdString();
        EXPECT_EQ(f.dialogs.messages[0], QStringLiteral("Bitmap is not valid skin bitmap"));
        EXPECT_TRUE(b->ButtonSkin()->SkinBitmap().isEmpty());
        EXPECT_EQ(b->Face().SaveToBytes(), before);
    }
}

TEST(SkinButton, EmptySkinNameGoesBackToTheBuiltInSkin)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    b->ButtonSkin()->ApplySkinFile(f.skin(codedSkin(62, 80)));
    EXPECT_EQ(b->height(), 20);
    b->ButtonSkin()->ApplySkinFile(QString());
    EXPECT_EQ(b->height(), 25);
    EXPECT_EQ(facePixel(*b, 0, 0), qRgb(255, 0, 0));
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(SkinButton, ShapeChangesShowAtTheNextSizeChange)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    b->ButtonSkin()->ApplySkinFile(f.skin(codedSkin(62, 100)));
    b->SetBounds(0, 0, 73, 25);
    b->ButtonSkin()->setButtonShape(2);
    EXPECT_EQ(facePixel(*b, 0, 0), qRgb(0, 0, 200));
    b->SetBounds(0, 0, 74, 25);
    EXPECT_EQ(facePixel(*b, 0, 0), qRgb(255, 0, 0)); // shape 2 fills the corners
    // The rounded clip leaves the corner pixel of the button unpainted.
    EXPECT_EQ(qAlpha(b->Render().pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(b->Render().pixel(37, 12)), 255);
}

TEST(SkinButton, EllipseShapeTakesTheSkinsSize)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    b->ButtonSkin()->setButtonShape(1);
    b->ButtonSkin()->ApplySkinFile(f.skin(codedSkin(40, 100)));
    EXPECT_EQ(b->size(), QSize(40, 26));
}

TEST(SkinButton, SkinNarrowerThanThreePixelsIsStretched)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    b->ButtonSkin()->ApplySkinFile(f.skin(codedSkin(2, 8)));
    b->SetBounds(0, 0, 10, 2);
    EXPECT_EQ(b->Face().Width(), 10);
    EXPECT_EQ(qRed(facePixel(*b, 9, 1)), 1);
}

TEST(SkinButton, DisabledCaptionIsEngraved)
{
    Fixture f;
    SysColors::set(clBtnHighlight, clWhite);
    SysColors::set(clBtnShadow, RGB(128, 128, 128));
    TNoxSkinBtn *b = f.button();
    b->ButtonSkin()->setButtonShape(5); // a plain face of clBtnFace
    b->SetBounds(0, 0, 73, 25);
    b->setCaption(QStringLiteral("Add"));
    b->setEnabled(false);
    const QImage image = b->Render();
    QRect light, dark;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(255, 255, 255))
                light |= QRect(x, y, 1, 1);
            if (image.pixel(x, y) == qRgb(128, 128, 128))
                dark |= QRect(x, y, 1, 1);
        }
    }
    ASSERT_FALSE(dark.isEmpty());
    // The light copy lies one pixel right and down; the dark one covers it except at its edge.
    EXPECT_EQ(light.right(), dark.right() + 1);
    EXPECT_EQ(light.bottom(), dark.bottom() + 1);
    SysColors::resetToClassic();
}

TEST(SkinButton, FaceTravelsThroughAStreamAsABitmap)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    b->SetBounds(0, 0, 73, 25);
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    b->WriteSkinImage(out);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    TNoxSkinBtn *other = f.button();
    other->BeginLoading();
    other->SetBounds(0, 0, 73, 25);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    other->ReadSkinImage(in);
    other->Loaded();
    EXPECT_EQ(other->Face().Image(), b->Face().Image());
}

TEST(SkinButton, EllipseShapeClipsTheFaceToTheEllipse)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    b->ButtonSkin()->setButtonShape(1);
    b->ButtonSkin()->ApplySkinFile(f.skin(codedSkin(40, 100)));
    ASSERT_EQ(b->size(), QSize(40, 26));
    const QImage image = b->Render();
    for (const QPoint corner : {QPoint(0, 0), QPoint(39, 0), QPoint(0, 25), QPoint(39, 25), QPoint(3, 2)})
        EXPECT_EQ(qAlpha(image.pixel(corner)), 0) << corner.x() << "," << corner.y();
    for (const QPoint inside : {QPoint(20, 13), QPoint(0, 13), QPoint(39, 13), QPoint(20, 0), QPoint(20, 25)})
        EXPECT_EQ(qAlpha(image.pixel(inside)), 255) << inside.x() << "," << inside.y();
}

TEST(SkinButton, RoundedShapeClipsTighterWhilePressed)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    b->ButtonSkin()->setButtonShape(2);
    b->SetBounds(0, 0, 73, 25);
    enter(b);
    const QImage up = b->Render();
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    const QImage down = b->Render();
    // Up, the face shows from column 1 and down to row 23; pressed, from column 2 and to row 22.
    EXPECT_EQ(qAlpha(up.pixel(1, 12)), 255);
    EXPECT_EQ(qAlpha(down.pixel(1, 12)), 0);
    EXPECT_EQ(qAlpha(down.pixel(2, 12)), 255);
    EXPECT_EQ(qAlpha(up.pixel(36, 23)), 255);
    EXPECT_EQ(qAlpha(down.pixel(36, 23)), 0);
    EXPECT_EQ(qAlpha(down.pixel(36, 22)), 255);
    for (const QImage &image : {up, down}) {
        EXPECT_EQ(qAlpha(image.pixel(36, 0)), 0); // the top row never shows
        EXPECT_EQ(qAlpha(image.pixel(36, 1)), 255);
        EXPECT_EQ(qAlpha(image.pixel(70, 12)), 255);
        EXPECT_EQ(qAlpha(image.pixel(71, 12)), 0);
    }
}

TEST(SkinButton, CaptionIsCentredAboveTheBottomEdge)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    b->ButtonSkin()->setButtonShape(5); // a plain face of clBtnFace
    b->setCaption(QStringLiteral("Add"));
    b->setFontColor(clBlack);
    auto ink = [](const QImage &image) {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == qRgb(0, 0, 0))
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    for (const QSize size : {QSize(73, 25), QSize(94, 40)}) {
        b->SetBounds(0, 0, size.width(), size.height());
        ASSERT_EQ(b->size(), size);
        const QRect caption = ink(b->Render());
        ASSERT_FALSE(caption.isEmpty());
        // The same text centred on its own in rows 1 to height - 3, the face above its bottom edge.
        QImage reference(size, QImage::Format_RGB32);
        reference.fill(Qt::white);
        TCanvas canvas(reference);
        canvas.Brush.Style = TBrushStyle::bsClear;
        canvas.Font = TFont(b->font(), clBlack);
        QRect rect(0, 1, size.width(), size.height() - 3);
        canvas.DrawText(QStringLiteral("Add"), rect, DT::SINGLELINE | DT::CENTER | DT::VCENTER);
        EXPECT_EQ(caption, ink(reference)) << size.height();
    }
}

TEST(SkinButton, PaintShowsEveryChangeOfLook)
{
    Fixture f;
    TNoxSkinBtn *b = f.button();
    b->SetBounds(0, 0, 73, 25);
    // The button paints from a buffer it keeps: every change must reach what the window shows.
    QImage shown = b->grab().toImage();
    const std::pair<const char *, std::function<void()>> changes[] = {
        {"caption", [&] { b->setCaption(QStringLiteral("Add")); }},
        {"font colour", [&] { b->setFontColor(clRed); }},
        {"hover", [&] { enter(b); }},
        {"pressed", [&] { QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5)); }},
        {"released", [&] { QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5)); }},
        {"skin", [&] { b->ButtonSkin()->ApplySkinFile(f.skin(codedSkin(62, 100))); }},
        {"size", [&] { b->SetBounds(0, 0, 90, 25); }},
        {"font", [&] { b->setFont(QFont(QStringLiteral("DejaVu Sans"), 14)); }},
        {"disabled", [&] { b->setEnabled(false); }},
    };
    for (const auto &[what, change] : changes) {
        change();
        const QImage now = b->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        EXPECT_NE(now, shown) << what;
        EXPECT_EQ(now, b->Render()) << what;
        shown = now;
    }
}

#include "NoxSkinBtnTest.moc"
