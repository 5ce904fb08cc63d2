#pragma once
// A gradient of colour stops blended in ColorCount steps per pair, laid out in one of thirteen
// shapes, painted into an area of a given size.

#include "Colors.h"

#include <QImage>
#include <QObject>
#include <QStringList>

enum TVelFillStyle {
    Circle,
    Horizontal,
    Vertical,
    LeftBottom,
    RoundMiddle,
    SquareMiddle,
    Spectral,
    DoppelFlash,
    Singleflash,
    MiddleHBar,
    MiddleVBar,
    VerticalDoppelBar,
    HorizontalDoppelBar
};

// Multiplies and divides without overflow, rounding halves away from zero; -1 when c is 0.
int MulDiv(int a, int b, int c);
// Rounds to the nearest integer, halves to the even neighbour.
int Rd(double x);

class TVelGradient : public QObject
{
    Q_OBJECT
    Q_PROPERTY(uint BeginColor READ BeginColor WRITE setBeginColor)
    Q_PROPERTY(uint EndColor READ EndColor WRITE setEndColor)
    Q_PROPERTY(int FillStyle READ FillStyle WRITE setFillStyle)
    Q_PROPERTY(int ColorCount READ ColorCount WRITE setColorCount)
    Q_PROPERTY(QStringList ColorsInBetween READ ColorsInBetween WRITE setColorsInBetween)

public:
    explicit TVelGradient(QObject *owner = nullptr);

    TColor BeginColor() const { return m_begin; }
    void setBeginColor(TColor value);
    TColor EndColor() const { return m_end; }
    void setEndColor(TColor value);
    int FillStyle() const { return m_style; }
    void setFillStyle(int value);
    int ColorCount() const { return m_count; }
    void setColorCount(int value);
    const QStringList &ColorsInBetween() const { return m_between; }
    void setColorsInBetween(const QStringList &lines);
    void Assign(const TVelGradient &other);

    // Renders W x H; a line of `between` that names no colour throws EConvertError.
    QImage Render(int width, int height, const QStringList &between, TColor background) const;

signals:
    void changed();

private:
    TColor m_begin = clBtnShadow;
    TColor m_end = clBtnHighlight;
    int m_style = Horizontal;
    int m_count = 32;
    QStringList m_between;
};
