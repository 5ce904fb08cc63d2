#pragma once
// A push button whose face is painted from a skin bitmap of four strips: normal, mouse over,
// pressed and disabled. The face is composed once per size, skin or parent colour; a paint copies
// one strip and draws the caption over it.

#include "Bitmap.h"
#include "Colors.h"

#include <QPointer>
#include <QWidget>

class QIODevice;
class TNoxSkinBtn;

class TButtonSkin : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int ButtonShape READ ButtonShape WRITE setButtonShape)
    Q_PROPERTY(QString SkinBitmap READ SkinBitmap WRITE ApplySkinFile)

public:
    explicit TButtonSkin(QObject *parent = nullptr);

    int ButtonShape() const { return m_shape; }
    // Stored only: the face changes at the next size change or skin load.
    void setButtonShape(int shape) { m_shape = shape & 0xFF; }
    const QString &SkinBitmap() const { return m_skinBitmap; }
    // Validates and applies a skin file; an empty name means the built-in skin.
    void ApplySkinFile(const QString &fileName);
    static bool IsValidSkin(const QString &fileName);
    void Assign(const TButtonSkin &other);

    TNoxSkinBtn *Button() const { return m_button; }
    void setButton(TNoxSkinBtn *button) { m_button = button; }

private:
    int m_shape = 0;
    QString m_skinBitmap;
    QPointer<TNoxSkinBtn> m_button;
};

class TNoxSkinBtn : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(TButtonSkin *ButtonSkin READ ButtonSkin)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(uint FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(QByteArray SkinImage READ skinImageBytes WRITE setSkinImageBytes)

public:
    explicit TNoxSkinBtn(QWidget *parent = nullptr);
    ~TNoxSkinBtn() override;

    TButtonSkin *ButtonSkin() const { return m_buttonSkin; }
    const QString &Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    TColor FontColor() const { return m_fontColor; }
    void setFontColor(TColor color);

    // The bounds setter with the size rule of the skin.
    void SetBounds(int left, int top, int width, int height);
    void ReloadSkin();
    void ComposeFace();
    void ReadSkinImage(QIODevice &stream);
    void WriteSkinImage(QIODevice &stream) const;

    // While a window is built from its layout, size changes do not compose the face.
    void BeginLoading() { m_loading = true; }
    // The window is complete: a face that loading did not give the button is composed now.
    Q_INVOKABLE void Loaded();
    bool IsLoading() const { return m_loading; }

    bool Hover() const { return m_hover; }
    bool Pressed() const { return m_pressed; }
    const TBitmap &Face() const { return m_face; }
    const TBitmap &SkinSource() const { return *m_skin; }
    // The button as painted now, the caption included, on transparent pixels where it is clipped.
    QImage Render() const;
    // The look changed: the paint buffer is drawn anew at the next paint.
    void Invalidate();
    // The parent's colour: its property "color" (any letter case), or clBtnFace.
    TColor ParentColor() const;

signals:
    void OnClick();
    void OnMouseDown(Qt::MouseButton button, QPoint pos);
    void OnMouseUp(Qt::MouseButton button, QPoint pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QSize sizeByRule(int width, int height) const;
    void setHover(bool hover);
    void DrawCaption(class TCanvas &canvas) const;
    void renderInto(QImage &image) const;
    QByteArray skinImageBytes() const;
    void setSkinImageBytes(const QByteArray &bytes);
    void watchParent();

    TButtonSkin *m_buttonSkin;
    std::unique_ptr<TBitmap> m_skin;
    TBitmap m_face;
    QString m_caption;
    TColor m_fontColor = clBtnText;
    bool m_hover = false;
    bool m_pressed = false;
    bool m_loading = false;
    bool m_applyingRule = false;
    QPointer<QWidget> m_watchedParent;
    // What the last paint showed, kept until the size or the look changes.
    QImage m_paintBuffer;
    bool m_paintBufferValid = false;
};
