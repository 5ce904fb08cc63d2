#pragma once
// A label that paints its caption itself, in layers: a colour and a background, the caption through
// a 3D font (or filled with a second background), and a frame.

#include "Colors.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class TCanvas;
class TVelBackground;
class TVelFont3D;
class TVelFrame;

class TVelLabel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(uint Color READ Color WRITE setColor)
    Q_PROPERTY(uint FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(TVelFont3D *Font3D READ Font3D)
    Q_PROPERTY(TVelFrame *Frame READ Frame)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE setWordWrap)
    Q_PROPERTY(bool ShowAccelChar READ ShowAccelChar WRITE setShowAccelChar)

public:
    enum { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

    explicit TVelLabel(QWidget *parent = nullptr);
    ~TVelLabel() override;

    const QString &Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    int Alignment() const { return m_alignment; }
    void setAlignment(int alignment);
    TColor Color() const { return m_color; }
    void setColor(TColor color);
    TColor FontColor() const { return m_fontColor; }
    void setFontColor(TColor color);
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool value);
    bool WordWrap() const { return m_wordWrap; }
    void setWordWrap(bool value);
    // Kept, but an ampersand always marks a mnemonic.
    bool ShowAccelChar() const { return m_showAccelChar; }
    void setShowAccelChar(bool value) { m_showAccelChar = value; }

    TVelFont3D *Font3D() const { return m_font3D; }
    void setFont3D(const TVelFont3D &font3D);
    TVelFrame *Frame() const { return m_frame; }
    void setFrame(const TVelFrame &frame);
    TVelBackground *Background() const { return m_background; }
    void setBackground(TVelBackground *background);
    TVelBackground *FontBackground() const { return m_fontBackground; }
    void setFontBackground(TVelBackground *background);
    // A background is going away: every reference to it is dropped.
    void BackgroundRemoved(TVelBackground *background);

    // The text rectangle and flags the caption is drawn with.
    QRect TextRect() const;
    unsigned TextFlags() const;
    // Paints the layers onto `canvas`, which covers the label's client area.
    void PaintOn(TCanvas &canvas) const;
    QImage Render() const;
    // The look changed: the paint buffer is drawn anew at the next paint.
    void Invalidate();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString m_caption;
    int m_alignment = taLeftJustify;
    TColor m_color = clBtnFace;
    TColor m_fontColor = clWindowText;
    bool m_transparent = false;
    bool m_wordWrap = false;
    bool m_showAccelChar = true;
    TVelFont3D *m_font3D;
    TVelFrame *m_frame;
    TVelBackground *m_background = nullptr;
    TVelBackground *m_fontBackground = nullptr;
    // What the last paint showed, kept until the size or the look changes.
    QImage m_paintBuffer;
    bool m_paintBufferValid = false;
};
