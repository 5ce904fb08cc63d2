#pragma once
// The bar menus: a main menu and a pop-up menu that measure and paint every item of their tree
// themselves, in a standard or an XP look, with an optional side bar beside the first drop-down
// column (gradient, pictures, rotated caption) and separators drawn as etched, flat or fading lines
// with optional captions. Every drawing routine reaches its menu through IBarMenusIntf, so one set
// of routines serves both menu kinds.

#include "Colors.h"
#include "Errors.h"
#include "LumDrawModule.h"
#include "Menus.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>

class TBitmap;
class TCanvas;
class TLumBar;
class TLumBarProtected;
class TLumSeparators;

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

// What the menus know of the system, computed once from the system's platform and version.
struct TLumStartupFlags
{
    bool Win98Plus = false;
    bool WinXP = false;
    bool Win2K = false;
    bool LayeredWindowsAvailable = false;
};
const TLumStartupFlags &StartupFlags();
// Reads the system again (tests that set the system's flags call it).
void RecomputeStartupFlags();

using TOnBeforeDrawBarEvent =
    std::function<void(QObject *Sender, TCanvas &ACanvas, QRect ARect, bool &DefaultDraw)>;
using TOnAdvancedBeforeDrawBarEvent =
    std::function<void(QObject *Sender, TCanvas &ACanvas, QRect ARect, TBarParts &DrawParts)>;
using TOnAfterDrawBarEvent = std::function<void(QObject *Sender, TCanvas &ACanvas, QRect ARect)>;
using TOnMeasureMenuItemEvent =
    std::function<void(QObject *Sender, TMenuItem *AMenuItem, TCanvas &ACanvas, int &Width, int &Height,
                       bool ABarVisible, bool &DefaultMeasure)>;

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

// The menu side of the bar menus: what the drawing routines ask of the menu they draw for.
class IBarMenusIntf
{
public:
    virtual ~IBarMenusIntf() = default;
    virtual void UpdateItems() = 0;
    virtual void InvalidateBar() = 0;
    virtual TLumMenuStyle EffectiveStyle() const = 0;
    virtual TMenu *Menu() = 0;
    virtual TLumBar *Bar() const = 0;
    virtual TLumSeparators *Separators() const = 0;
    virtual TLumBarProtected *BarCache() const = 0;
    virtual int GetMenuAlpha() const = 0;
    virtual void SetMenuAlpha(int value) = 0;
    virtual bool GetFlatBorder() const = 0;
    virtual void SetFlatBorder(bool value) = 0;
    virtual TLumFont *GetMenuFont() const = 0;
    virtual void SetMenuFont(const TLumFont *value) = 0;
    virtual TLumMenuStyle GetMenuStyle() const = 0;
    virtual void SetMenuStyle(TLumMenuStyle value) = 0;
    virtual bool GetUseSystemFont() const = 0;
    virtual void SetUseSystemFont(bool value) = 0;
    virtual TOnBeforeDrawBarEvent GetOnBeforeDrawBar() const = 0;
    virtual void SetOnBeforeDrawBar(TOnBeforeDrawBarEvent value) = 0;
    virtual TOnAdvancedBeforeDrawBarEvent GetOnAdvancedBeforeDrawBar() const = 0;
    virtual void SetOnAdvancedBeforeDrawBar(TOnAdvancedBeforeDrawBarEvent value) = 0;
    virtual TOnAfterDrawBarEvent GetOnAfterDrawBar() const = 0;
    virtual void SetOnAfterDrawBar(TOnAfterDrawBarEvent value) = 0;
    virtual TOnMeasureMenuItemEvent GetOnMeasureMenuItem() const = 0;
    virtual void SetOnMeasureMenuItem(TOnMeasureMenuItemEvent value) = 0;
    virtual TLumBarMenusDrawModule *GetDrawModule() const = 0;
    virtual void SetDrawModule(TLumBarMenusDrawModule *value) = 0;
};

// The rendered side bar of one menu, and the state of its making: measuring (the bar items add up
// their heights), sized (the bitmap has the menu window's height) and rendered (BarValid).
class TLumBarProtected
{
public:
    explicit TLumBarProtected(IBarMenusIntf *owner);
    ~TLumBarProtected();

    IBarMenusIntf *Owner() const { return m_owner; }
    int BarHeight = 0;
    bool BarValid = false;
    bool Measuring() const { return m_measuring; }
    void setMeasuring(bool value);
    // The bitmap, made on first use.
    TBitmap &BarBitmap();
    bool HasBarBitmap() const { return bool(m_bitmap); }
    // Frees the bitmap and starts measuring again.
    void Invalidate();
    // How often the whole bar was rendered (the benchmarks tell a cache hit by it).
    int RenderCount = 0;

private:
    IBarMenusIntf *m_owner;
    std::unique_ptr<TBitmap> m_bitmap;
    bool m_measuring = true;
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

// The state and behaviour both bar menus share; each menu adds what differs.
class TLumBarMenuCore : public IBarMenusIntf
{
public:
    TLumBarProtected *BarCache() const override { return m_barCache.get(); }
    TLumBar *Bar() const override { return m_bar; }
    void setBar(const TLumBar *value);
    TLumSeparators *Separators() const override { return m_separators; }
    void setSeparators(const TLumSeparators *value);
    TLumMenuStyle EffectiveStyle() const override;
    int GetMenuAlpha() const override { return m_menuAlpha; }
    void SetMenuAlpha(int value) override { m_menuAlpha = value & 0xFF; }
    bool GetFlatBorder() const override { return m_flatBorder; }
    void SetFlatBorder(bool value) override { m_flatBorder = value; }
    TLumFont *GetMenuFont() const override { return m_menuFont; }
    void SetMenuFont(const TLumFont *value) override;
    TLumMenuStyle GetMenuStyle() const override { return m_menuStyle; }
    bool GetUseSystemFont() const override { return m_useSystemFont; }
    TOnBeforeDrawBarEvent GetOnBeforeDrawBar() const override { return m_onBeforeDrawBar; }
    void SetOnBeforeDrawBar(TOnBeforeDrawBarEvent value) override { m_onBeforeDrawBar = std::move(value); }
    TOnAdvancedBeforeDrawBarEvent GetOnAdvancedBeforeDrawBar() const override
    {
        return m_onAdvancedBeforeDrawBar;
    }
    void SetOnAdvancedBeforeDrawBar(TOnAdvancedBeforeDrawBarEvent value) override
    {
        m_onAdvancedBeforeDrawBar = std::move(value);
    }
    TOnAfterDrawBarEvent GetOnAfterDrawBar() const override { return m_onAfterDrawBar; }
    void SetOnAfterDrawBar(TOnAfterDrawBarEvent value) override { m_onAfterDrawBar = std::move(value); }
    TOnMeasureMenuItemEvent GetOnMeasureMenuItem() const override { return m_onMeasureMenuItem; }
    void SetOnMeasureMenuItem(TOnMeasureMenuItemEvent value) override
    {
        m_onMeasureMenuItem = std::move(value);
    }
    TLumBarMenusDrawModule *GetDrawModule() const override { return m_drawModule; }

    // This menu's handlers, as HookItems gives them to the items.
    TMenuMeasureItemEvent MeasureHandler();
    TAdvancedMenuDrawItemEvent DrawHandler();

protected:
    explicit TLumBarMenuCore(QObject *self);
    ~TLumBarMenuCore() override;
    // Stores the module and tells the old and the new one which menu they serve.
    void storeDrawModule(TLumBarMenusDrawModule *value);

    std::unique_ptr<TLumBarProtected> m_barCache;
    TLumBar *m_bar;
    TLumSeparators *m_separators;
    TLumFont *m_menuFont;
    TLumMenuStyle m_menuStyle = msAuto;
    bool m_useSystemFont = true;
    QPointer<TLumBarMenusDrawModule> m_drawModule;
    bool m_flatBorder = false;
    int m_menuAlpha = 255;
    TOnBeforeDrawBarEvent m_onBeforeDrawBar;
    TOnAdvancedBeforeDrawBarEvent m_onAdvancedBeforeDrawBar;
    TOnAfterDrawBarEvent m_onAfterDrawBar;
    TOnMeasureMenuItemEvent m_onMeasureMenuItem;
};

class TLumCustomBarMainMenu : public TMainMenu, public TLumBarMenuCore
{
    Q_OBJECT

public:
    explicit TLumCustomBarMainMenu(QObject *owner = nullptr);
    ~TLumCustomBarMainMenu() override;

    void UpdateItems() override;
    void InvalidateBar() override;
    TMenu *Menu() override { return this; }
    void SetMenuStyle(TLumMenuStyle value) override;
    void SetUseSystemFont(bool value) override;
    void SetDrawModule(TLumBarMenusDrawModule *value) override;
    // Reset: measure the bar anew; Reset or Rebuild: rebuild the menu; else repaint the menu bar.
    virtual void RefreshMenu(bool Reset, bool Rebuild);
    void Loaded() override;
    void MenuChanged(QObject *sender, TMenuItem *source, bool rebuild) override;
};

class TLumBarMainMenu : public TLumCustomBarMainMenu
{
    Q_OBJECT
    Q_PROPERTY(TLumBar *Bar READ Bar)
    Q_PROPERTY(TLumSeparators *Separators READ Separators)
    Q_PROPERTY(TLumFont *MenuFont READ GetMenuFont)
    Q_PROPERTY(int MenuStyle READ menuStyle WRITE setMenuStyle)
    Q_PROPERTY(bool UseSystemFont READ GetUseSystemFont WRITE SetUseSystemFont)
    Q_PROPERTY(QObject *DrawModule READ drawModule WRITE setDrawModule)

public:
    explicit TLumBarMainMenu(QObject *owner = nullptr);

    int menuStyle() const { return GetMenuStyle(); }
    void setMenuStyle(int value) { SetMenuStyle(TLumMenuStyle(value)); }
    QObject *drawModule() const;
    void setDrawModule(QObject *value);
};

class TLumCustomBarPopupMenu : public TPopupMenu, public TLumBarMenuCore
{
    Q_OBJECT

public:
    explicit TLumCustomBarPopupMenu(QObject *owner = nullptr);
    ~TLumCustomBarPopupMenu() override;

    void UpdateItems() override;
    void InvalidateBar() override;
    TMenu *Menu() override { return this; }
    void SetMenuStyle(TLumMenuStyle value) override { m_menuStyle = value; }
    void SetUseSystemFont(bool value) override { m_useSystemFont = value; }
    void SetDrawModule(TLumBarMenusDrawModule *value) override;
    virtual void RefreshMenu(bool Reset, bool Rebuild);
    void Loaded() override;
    void MenuChanged(QObject *sender, TMenuItem *source, bool rebuild) override;
    void Popup(int X, int Y) override;
    void Popup(const QPoint &point) { Popup(point.x(), point.y()); }
};

// The menu that owns an item, when it is a bar menu.
IBarMenusIntf *GetBarMenusIntf(const TMenuItem *item);

// Item classification.
bool IsTopLevelItem(const TMenuItem *item);
bool IsPopupRootItem(const TMenuItem *item);
// The item sits in a later column than the first of its drop-down.
bool IsAfterBreak(const TMenuItem *item);
// The side bar goes beside the item's drop-down.
bool BarApplies(IBarMenusIntf *menu, const TMenuItem *item);
// The text of a separator: its hint while it is enabled.
QString SeparatorCaption(const TMenuItem *item);

// Gives the items (one item, or all of the menu) this menu's measure and draw handlers where they
// have none of their own.
void HookItems(IBarMenusIntf *menu, TMenuItem *item = nullptr);
void MeasureHandler(IBarMenusIntf *menu, TMenuItem *item, TCanvas &canvas, int &width, int &height);
void DrawHandler(IBarMenusIntf *menu, TMenuItem *item, TCanvas &canvas, QRect rect, TOwnerDrawState state);

// An ordinary item in the rectangle without the bar column.
void PaintItem(IBarMenusIntf *menu, TMenuItem *item, TCanvas &canvas, QRect rect, TOwnerDrawState state);
void DrawItemText(TMenuItem *item, TCanvas &canvas, const QString &text, unsigned flags, bool selected,
                  QRect &rect);

// A separator in the rectangle without the bar column and the short-line strip.
void PaintSeparator(IBarMenusIntf *menu, TMenuItem *item, const QString &text, TOwnerDrawState state,
                    QRect rect, TCanvas &canvas);
// One horizontal line whose ends blend from the background into `color` over `fadeWidth` pixels,
// interrupted by the text rectangle when `skipText`.
void FadeLine(TCanvas &canvas, const QRect &textRect, const QRect &lineRect, bool skipText, int fadeWidth,
              TColor color);

// Fills `rect` of the bitmap (written straight into its pixel rows) or, without one, of the canvas.
void FillGradient(TBitmap *bitmap, TCanvas &canvas, const QRect &rect, TColor startColor, TColor endColor,
                  int style);
// Where a picture of the bar goes.
QPoint GetPicturePos(IBarMenusIntf *menu, TLumBarPicture *picture);
// The item's band of the side bar; the whole bar is rendered first when it is not yet.
void DrawBar(IBarMenusIntf *menu, TMenuItem *item, TCanvas &canvas, const QRect &itemRect);

// Windows drawing constants the menus use.
namespace BarMenusConst {
constexpr unsigned DT_RTLREADING = 0x20000;
constexpr unsigned BF_FLAT = 0x4000;
constexpr unsigned ETO_CLIPPED = 4;
} // namespace BarMenusConst
