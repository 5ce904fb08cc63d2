#pragma once
// The frame an effect label draws around itself: one-pixel rings repeated inwards, in nine styles,
// on any of the four edges.

#include "Colors.h"

#include <QObject>
#include <QRect>

class TCanvas;

enum TVelFrameStyle {
    frameSolid,
    frameRaised,
    frameLowered,
    frameNone,
    frameFramedUp,
    frameFramedDown,
    framePanelUp,
    framePanelDown,
    frameLightBordered
};
namespace FrameEdges {
constexpr int EdgeLeft = 1, EdgeRight = 2, EdgeTop = 4, EdgeBottom = 8, All = 15;
}

class TVelFrame : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int FrameStyle READ FrameStyle WRITE setFrameStyle)
    Q_PROPERTY(int Edges READ Edges WRITE setEdges)
    Q_PROPERTY(uint Highlight READ Highlight WRITE setHighlight)
    Q_PROPERTY(uint Shadow READ Shadow WRITE setShadow)
    Q_PROPERTY(uint Solid READ Solid WRITE setSolid)
    Q_PROPERTY(int FrameWidth READ FrameWidth WRITE setFrameWidth)

public:
    explicit TVelFrame(QObject *owner = nullptr);

    int FrameStyle() const { return m_style; }
    void setFrameStyle(int value);
    int Edges() const { return m_edges; }
    void setEdges(int value);
    TColor Highlight() const { return m_highlight; }
    void setHighlight(TColor value);
    TColor Shadow() const { return m_shadow; }
    void setShadow(TColor value);
    TColor Solid() const { return m_solid; }
    void setSolid(TColor value);
    int FrameWidth() const { return m_width; }
    void setFrameWidth(int value);
    void Assign(const TVelFrame &other);

    // Pixels the frame takes on each side.
    int FrameSize() const;
    // Draws around `rect` (right and bottom exclusive, as a QRect's size says).
    void Draw(TCanvas &canvas, const QRect &rect) const;

signals:
    void changed();

private:
    void drawSet(TCanvas &canvas, int &left, int &top, int &right, int &bottom, TColor first,
                 TColor second) const;

    int m_style = frameRaised;
    int m_edges = FrameEdges::All;
    TColor m_highlight = clBtnHighlight;
    TColor m_shadow = clBtnShadow;
    TColor m_solid = 0;
    int m_width = 1;
};
