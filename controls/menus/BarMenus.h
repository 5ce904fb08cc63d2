#pragma once
// The bar menus: a main menu and a pop-up menu that measure and paint every item of their tree
// themselves, in a standard or an XP look, with an optional side bar beside the first drop-down
// column (gradient, pictures, rotated caption) and separators drawn as etched, flat or fading lines
// with optional captions. Every drawing routine reaches its menu through IBarMenusIntf, so one set
// of routines serves both menu kinds.

#include "BarMenuSettings.h"
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
class TLumBarProtected;

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
