#pragma once
// The settings objects of the bar menus: the side bar with its gradient, pictures and caption, the
// separators and the fonts. Each is a QObject whose properties a layout sets by name; every change
// is told through its changed() signal, so the menu can draw anew.

#include "Colors.h"
#include "Errors.h"

#include <QFont>
#include <QObject>
#include <QString>
#include <memory>

class IBarMenusIntf;
class TBitmap;
class TCanvas;
struct TFont;

// "Tried to create %s with no owner.": a settings object of a bar menu made without its menu.
class ERequireOwner : public Exception
{
public:
    explicit ERequireOwner(const char *className);
};

// "Invalid property index %d.": a gradient colour other than the start (0) or the end (1).
class EInvalidPropertyIndex : public Exception
{
public:
    explicit EInvalidPropertyIndex(int index);
};

enum TLumMenuStyle { msAuto, msStandard, msWindowsXP };
enum TGradientStyle { gsHorizontal, gsVertical, gsDiagonalLeftRight, gsDiagonalRightLeft };
enum TSide { sLeft, sRight };
enum TVertAlignment { vaTop, vaBottom, vaMiddle };
enum THorzAlignment { haLeft, haRight, haCenter };
enum TDrawStyle { dsNormal, dsTile, dsStretch };
enum TDirection { dDownToUp, dUpToDown };
enum TSeparatorStyle { ssNormal, ssShortLine, ssCaption };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBarPart : unsigned { bpGradient = 1, bpPicture = 2, bpBackPicture = 4, bpCaption = 8 };
using TBarParts = unsigned;

// A font with change notification. Height as the layouts give it: negative is the height of the
// characters in pixels.
class TLumFont : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE setName)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(int Size READ Size WRITE setSize)
    Q_PROPERTY(uint Color READ Color WRITE setColor)
    Q_PROPERTY(bool Bold READ Bold WRITE setBold)
    Q_PROPERTY(bool Italic READ Italic WRITE setItalic)
    Q_PROPERTY(bool Underline READ Underline WRITE setUnderline)
    Q_PROPERTY(bool StrikeOut READ StrikeOut WRITE setStrikeOut)

public:
    explicit TLumFont(QObject *parent = nullptr);

    QString Name() const { return m_font.family(); }
    void setName(const QString &value);
    int Height() const { return -m_font.pixelSize(); }
    void setHeight(int value);
    // In points at 96 pixels per inch.
    int Size() const;
    void setSize(int value);
    TColor Color() const { return m_color; }
    void setColor(TColor value);
    bool Bold() const { return m_font.bold(); }
    void setBold(bool value);
    bool Italic() const { return m_font.italic(); }
    void setItalic(bool value);
    bool Underline() const { return m_font.underline(); }
    void setUnderline(bool value);
    bool StrikeOut() const { return m_font.strikeOut(); }
    void setStrikeOut(bool value);
    bool FixedPitch() const { return m_font.fixedPitch(); }

    const QFont &Font() const { return m_font; }
    void setFont(const QFont &font);
    // The font as a canvas takes it.
    TFont Value() const;
    void Assign(const TLumFont &other);

signals:
    void changed();

private:
    void change(const QFont &font);

    QFont m_font;
    TColor m_color = clWindowText;
};

class TLumGradientBar : public QObject
{
    Q_OBJECT
    Q_PROPERTY(uint Border READ Border WRITE setBorder)
    Q_PROPERTY(uint GradientStart READ GradientStart WRITE setGradientStart)
    Q_PROPERTY(uint GradientEnd READ GradientEnd WRITE setGradientEnd)
    Q_PROPERTY(int GradientStyle READ GradientStyle WRITE setGradientStyle)

public:
    explicit TLumGradientBar(IBarMenusIntf *owner);

    IBarMenusIntf *OwnerMenu() const { return m_owner; }
    TColor Border() const { return m_border; }
    void setBorder(TColor value);
    // The gradient colours by index: 0 the start, 1 the end.
    TColor GetGradientColor(int index) const;
    void SetGradientColor(int index, TColor value);
    TColor GradientStart() const { return GetGradientColor(0); }
    void setGradientStart(TColor value) { SetGradientColor(0, value); }
    TColor GradientEnd() const { return GetGradientColor(1); }
    void setGradientEnd(TColor value) { SetGradientColor(1, value); }
    int GradientStyle() const { return m_style; }
    void setGradientStyle(int value);
    virtual void Assign(const QObject *source);

signals:
    void changed();

protected:
    TLumGradientBar(IBarMenusIntf *owner, const char *className, TColor start, TColor end,
                    TGradientStyle style);
    void change() { emit changed(); }

private:
    IBarMenusIntf *m_owner;
    TColor m_border = clNone;
    TColor m_colors[2];
    int m_style;
};

class TLumBarPicture : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(int OffsetX READ OffsetX WRITE setOffsetX)
    Q_PROPERTY(int OffsetY READ OffsetY WRITE setOffsetY)
    Q_PROPERTY(int VertAlignment READ VertAlignment WRITE setVertAlignment)
    Q_PROPERTY(int HorzAlignment READ HorzAlignment WRITE setHorzAlignment)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)

public:
    explicit TLumBarPicture(IBarMenusIntf *owner);
    ~TLumBarPicture() override;

    bool Transparent() const { return m_transparent; }
    void setTransparent(bool value);
    // The picture, made on first read.
    TBitmap &Picture();
    // Copies `bitmap` in; none frees the picture.
    void setPicture(const TBitmap *bitmap);
    bool PictureEmpty() const;
    int OffsetX() const { return m_offsetX; }
    void setOffsetX(int value);
    int OffsetY() const { return m_offsetY; }
    void setOffsetY(int value);
    int VertAlignment() const { return m_vert; }
    void setVertAlignment(int value);
    int HorzAlignment() const { return m_horz; }
    void setHorzAlignment(int value);
    bool Visible() const { return m_visible; }
    void setVisible(bool value);
    virtual void Assign(const QObject *source);
    // Draws the picture with its top-left corner at (x, y), its bottom-left colour left out when
    // it is transparent.
    void DrawAt(TCanvas &canvas, int x, int y);

signals:
    void changed();

protected:
    TLumBarPicture(IBarMenusIntf *owner, const char *className, TVertAlignment vert, THorzAlignment horz);
    void change() { emit changed(); }

private:
    IBarMenusIntf *m_owner;
    bool m_transparent = true;
    std::unique_ptr<TBitmap> m_picture;
    int m_offsetX = 0;
    int m_offsetY = 0;
    int m_vert;
    int m_horz;
    bool m_visible = true;
};

class TLumBarBackPicture : public TLumBarPicture
{
    Q_OBJECT
    Q_PROPERTY(int DrawStyle READ DrawStyle WRITE setDrawStyle)

public:
    explicit TLumBarBackPicture(IBarMenusIntf *owner);

    int DrawStyle() const { return m_drawStyle; }
    void setDrawStyle(int value);

private:
    int m_drawStyle = dsNormal;
};

class TLumBarCaption : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TLumFont *Font READ Font)
    Q_PROPERTY(uint ShadowColor READ ShadowColor WRITE setShadowColor)
    Q_PROPERTY(uint HighlightColor READ HighlightColor WRITE setHighlightColor)
    Q_PROPERTY(int Depth READ Depth WRITE setDepth)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int OffsetY READ OffsetY WRITE setOffsetY)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(int Direction READ Direction WRITE setDirection)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)

public:
    explicit TLumBarCaption(IBarMenusIntf *owner);

    TLumFont *Font() const { return m_font; }
    void setFont(const TLumFont *value);
    TColor ShadowColor() const { return m_shadow; }
    void setShadowColor(TColor value);
    TColor HighlightColor() const { return m_highlight; }
    void setHighlightColor(TColor value);
    int Depth() const { return m_depth; }
    void setDepth(int value);
    QString Caption() const { return m_caption; }
    void setCaption(const QString &value);
    int OffsetY() const { return m_offsetY; }
    void setOffsetY(int value);
    int Alignment() const { return m_alignment; }
    void setAlignment(int value);
    int Direction() const { return m_direction; }
    void setDirection(int value);
    bool Visible() const { return m_visible; }
    void setVisible(bool value);
    void Assign(const QObject *source);

signals:
    void changed();

private:
    void change() { emit changed(); }

    TLumFont *m_font;
    TColor m_shadow = clNone;
    TColor m_highlight = clNone;
    int m_depth = 1;
    QString m_caption;
    int m_offsetY = 6;
    int m_alignment = vaBottom;
    int m_direction = dDownToUp;
    bool m_visible = true;
};

class TLumBar : public TLumGradientBar
{
    Q_OBJECT
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int Space READ Space WRITE setSpace)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(int Side READ Side WRITE setSide)
    Q_PROPERTY(TLumBarPicture *BarPicture READ BarPicture)
    Q_PROPERTY(TLumBarBackPicture *BarBackPicture READ BarBackPicture)
    Q_PROPERTY(TLumBarCaption *BarCaption READ BarCaption)

public:
    explicit TLumBar(IBarMenusIntf *owner);

    int Width() const { return m_width; }
    void setWidth(int value);
    int Space() const { return m_space; }
    void setSpace(int value);
    bool Visible() const { return m_visible; }
    void setVisible(bool value);
    int Side() const { return m_side; }
    void setSide(int value);
    TLumBarPicture *BarPicture() const { return m_picture; }
    void setBarPicture(const TLumBarPicture *value);
    TLumBarBackPicture *BarBackPicture() const { return m_backPicture; }
    void setBarBackPicture(const TLumBarBackPicture *value);
    TLumBarCaption *BarCaption() const { return m_caption; }
    void setBarCaption(const TLumBarCaption *value);
    void Assign(const QObject *source) override;

private:
    int m_width = 32;
    int m_space = 1;
    bool m_visible = true;
    int m_side = sLeft;
    TLumBarPicture *m_picture;
    TLumBarBackPicture *m_backPicture;
    TLumBarCaption *m_caption;
};

class TLumSeparators : public TLumGradientBar
{
    Q_OBJECT
    Q_PROPERTY(bool Fade READ Fade WRITE setFade)
    Q_PROPERTY(int FadeWidth READ FadeWidth WRITE setFadeWidth)
    Q_PROPERTY(uint FadeColor READ FadeColor WRITE setFadeColor)
    Q_PROPERTY(bool FlatLines READ FlatLines WRITE setFlatLines)
    Q_PROPERTY(TLumFont *Font READ Font)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(int SeparatorStyle READ SeparatorStyle WRITE setSeparatorStyle)
    Q_PROPERTY(bool UseSystemFont READ UseSystemFont WRITE setUseSystemFont)

public:
    explicit TLumSeparators(IBarMenusIntf *owner);

    bool Fade() const { return m_fade; }
    void setFade(bool value);
    int FadeWidth() const { return m_fadeWidth; }
    void setFadeWidth(int value);
    TColor FadeColor() const { return m_fadeColor; }
    void setFadeColor(TColor value);
    bool FlatLines() const { return m_flatLines; }
    void setFlatLines(bool value);
    TLumFont *Font() const { return m_font; }
    void setFont(const TLumFont *value);
    int Alignment() const { return m_alignment; }
    void setAlignment(int value);
    int SeparatorStyle() const { return m_separatorStyle; }
    void setSeparatorStyle(int value);
    bool UseSystemFont() const { return m_useSystemFont; }
    void setUseSystemFont(bool value);
    void Assign(const QObject *source) override;

private:
    bool m_fade = false;
    int m_fadeWidth = 32;
    TColor m_fadeColor = clBtnShadow;
    bool m_flatLines = false;
    TLumFont *m_font;
    int m_alignment = taCenter;
    int m_separatorStyle = ssNormal;
    bool m_useSystemFont = true;
};
