#pragma once
// How an effect label draws its caption: raised, inset, shadowed, highlighted or outlined text
// with an optional stack of repeated copies, and the drawing itself.

#include "Colors.h"

#include <QObject>
#include <QRect>
#include <functional>

class TCanvas;
class QFont;

enum TVelStyle3D { fontRaised, fontInset, fontOnlyShadow, fontOnlyHighlight, fontOutLineShadow };
enum TVelRepeat { repeatOnShadow, repeatOnHighLight, repeatNone };

class TVelFont3D : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int DrawingWidth READ DrawingWidth)
    Q_PROPERTY(bool ThreeDimensional READ ThreeDimensional WRITE setThreeDimensional)
    Q_PROPERTY(bool MaskFont READ MaskFont WRITE setMaskFont)
    Q_PROPERTY(uint Highlight READ Highlight WRITE setHighlight)
    Q_PROPERTY(uint Shadow READ Shadow WRITE setShadow)
    Q_PROPERTY(uint RepetitionColor READ RepetitionColor WRITE setRepetitionColor)
    Q_PROPERTY(int Repetition READ Repetition WRITE setRepetition)
    Q_PROPERTY(int Repetitionwidth READ Repetitionwidth WRITE setRepetitionwidth)
    Q_PROPERTY(int Offset READ Offset WRITE setOffset)
    Q_PROPERTY(int Style3D READ Style3D WRITE setStyle3D)

public:
    explicit TVelFont3D(QObject *owner = nullptr);

    int DrawingWidth() const { return 2 * m_offset + m_repetitionWidth; }
    bool ThreeDimensional() const { return m_threeDimensional; }
    void setThreeDimensional(bool value);
    bool MaskFont() const { return m_maskFont; }
    void setMaskFont(bool value);
    TColor Highlight() const { return m_highlight; }
    void setHighlight(TColor value);
    TColor Shadow() const { return m_shadow; }
    void setShadow(TColor value);
    TColor RepetitionColor() const { return m_repetitionColor; }
    void setRepetitionColor(TColor value);
    int Repetition() const { return m_repetition; }
    void setRepetition(int value);
    int Repetitionwidth() const { return m_repetitionWidth; }
    void setRepetitionwidth(int value);
    int Offset() const { return m_offset; }
    void setOffset(int value);
    int Style3D() const { return m_style; }
    void setStyle3D(int value);
    void Assign(const TVelFont3D &other);

    // Draws `text` in `rect` (a copy is worked on) with the label's font and colour.
    void Draw(TCanvas &canvas, const QFont &font, TColor fontColor, QRect rect, const QString &text,
              unsigned flags, bool enabled) const;
    // The 3D copies of step 4 without the face, as the filled-letter caption draws them; returns
    // the rectangle where the face goes. `fromBackground` selects that caption's small differences.
    QRect DrawCopies(TCanvas &canvas, QRect rect, const QString &text, unsigned flags, bool fromBackground,
                     unsigned copyFlags) const;

signals:
    void changed();

private:
    void change() { emit changed(); }

    bool m_threeDimensional = true;
    bool m_maskFont = true;
    TColor m_highlight = clBtnHighlight;
    TColor m_shadow = clBtnShadow;
    TColor m_repetitionColor = 0;
    int m_repetition = repeatNone;
    int m_repetitionWidth = 0;
    int m_offset = 1;
    int m_style = fontOnlyHighlight;
};
