#pragma once
// A background shared by effect labels: a gradient, a texture, a solid colour or a brush pattern,
// painted behind a label or inside the letters of its caption. It keeps the list of its labels and
// repaints them when it changes.

#include "Canvas.h"
#include "VelGradient.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class TVelFont3D;
class TVelLabel;

enum TVelImageStyle { isTile, isCenter, isStretched };
enum TVelBackStyle { bGradient, bTexture, bSolidcolor, bBrushFillUseCurrent, bBrushFillSolidColor };

class TVelTexture : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QImage Image READ Image WRITE setImage)
    Q_PROPERTY(int ImageStyle READ ImageStyle WRITE setImageStyle)
    Q_PROPERTY(uint TransparentColor READ TransparentColor WRITE setTransparentColor)
    Q_PROPERTY(uint TransparentBackground READ TransparentBackground WRITE setTransparentBackground)

public:
    explicit TVelTexture(QObject *owner = nullptr);
    const QImage &Image() const { return m_image; }
    void setImage(const QImage &image);
    int ImageStyle() const { return m_style; }
    void setImageStyle(int value);
    TColor TransparentColor() const { return m_transparent; }
    void setTransparentColor(TColor value);
    TColor TransparentBackground() const { return m_transparentBackground; }
    void setTransparentBackground(TColor value);
    void Assign(const TVelTexture &other);
    void Paint(TCanvas &canvas, int width, int height, TColor background) const;

signals:
    void changed();

private:
    QImage m_image;
    int m_style = isTile;
    TColor m_transparent = clNone;
    TColor m_transparentBackground = clBtnFace;
};

class TVelBrushFill : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int BrushStyle READ BrushStyle WRITE setBrushStyle)
    Q_PROPERTY(uint BrushColor READ BrushColor WRITE setBrushColor)

public:
    explicit TVelBrushFill(QObject *owner = nullptr);
    int BrushStyle() const { return int(m_style); }
    void setBrushStyle(int value);
    TColor BrushColor() const { return m_color; }
    void setBrushColor(TColor value);
    void Assign(const TVelBrushFill &other);

signals:
    void changed();

private:
    TBrushStyle m_style = TBrushStyle::bsSolid;
    TColor m_color = clBtnFace;
};

class TVelBackground : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TVelTexture *Texture READ Texture)
    Q_PROPERTY(TVelGradient *Gradient READ Gradient)
    Q_PROPERTY(TVelBrushFill *BrushFill READ BrushFill)
    Q_PROPERTY(uint SolidColor READ SolidColor WRITE setSolidColor)
    Q_PROPERTY(int BackgroundStyle READ BackgroundStyle WRITE setBackgroundStyle)

public:
    explicit TVelBackground(QObject *owner = nullptr);
    ~TVelBackground() override;

    TVelTexture *Texture() const { return m_texture; }
    void setTexture(const TVelTexture &texture);
    TVelGradient *Gradient() const { return m_gradient; }
    void setGradient(const TVelGradient &gradient);
    TVelBrushFill *BrushFill() const { return m_brushFill; }
    void setBrushFill(const TVelBrushFill &brushFill);
    TColor SolidColor() const { return m_solidColor; }
    void setSolidColor(TColor value);
    int BackgroundStyle() const { return m_style; }
    void setBackgroundStyle(int value);

    std::function<void(QObject *sender)> OnChanged;

    // The client list; a label may stand in it twice.
    void AddClient(TVelLabel *label);
    void RemoveClient(TVelLabel *label);
    const std::vector<TVelLabel *> &Clients() const { return m_clients; }

    void PaintArea(TCanvas &canvas, int width, int height) const;
    QImage AreaImage(int width, int height) const;
    // The caption with its letters filled by this background.
    void PaintCaption(const TVelFont3D &font3D, const QFont &font, TColor fontColor, TCanvas &canvas,
                      QRect rect, const QString &text, unsigned flags) const;

private:
    void Changed();

    TVelTexture *m_texture;
    TVelGradient *m_gradient;
    TVelBrushFill *m_brushFill;
    TColor m_solidColor = clBtnFace;
    int m_style = bGradient;
    std::vector<TVelLabel *> m_clients;
};
