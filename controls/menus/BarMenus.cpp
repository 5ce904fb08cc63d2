#include "BarMenus.h"

#include "Bitmap.h"
#include "Canvas.h"
#include "LumDrawModule.h"
#include "MenuWidgets.h"
#include "OsFlags.h"

#include <cmath>

namespace {
TLumStartupFlags computeFlags()
{
    const TOSVersionInfo version = OsFlags().Version();
    TLumStartupFlags flags;
    flags.Win98Plus = version.MajorVersion > 4 || (version.MajorVersion == 4 && version.MinorVersion > 0);
    const bool nt = version.PlatformId == VER_PLATFORM_WIN32_NT;
    flags.WinXP = nt && version.MajorVersion > 4 && version.MinorVersion > 0;
    flags.Win2K = nt && version.MajorVersion > 4;
    flags.LayeredWindowsAvailable = OsFlags().LayeredWindowsAvailable();
    MenuSystem::SetWin98Plus(flags.Win98Plus);
    return flags;
}

TLumStartupFlags &flagsStore()
{
    static TLumStartupFlags flags = computeFlags();
    return flags;
}

// The first visible item of a menu's root.
TMenuItem *firstVisibleRootItem(TMenu *menu)
{
    TMenuItem *root = menu->Items();
    for (int i = 0; i < root->Count(); ++i)
        if (root->Items(i)->Visible())
            return root->Items(i);
    return nullptr;
}

// Hides and shows again the first root item, keeping its visibility: the menu is rebuilt.
void rebuildThroughFirstItem(TMenu *menu)
{
    if (menu->Items()->Count() == 0)
        return;
    TMenuItem *first = menu->Items()->Items(0);
    const bool visible = first->Visible();
    first->setVisible(!visible);
    first->setVisible(visible);
}

// The item's draw handler leaves it for the time of the painting and comes back in any case.
class HandlerAway
{
public:
    explicit HandlerAway(TMenuItem *item) : m_item(item), m_saved(item->OnAdvancedDrawItem)
    {
        item->OnAdvancedDrawItem = {};
    }
    ~HandlerAway() { m_item->OnAdvancedDrawItem = m_saved; }
    HandlerAway(const HandlerAway &) = delete;
    HandlerAway &operator=(const HandlerAway &) = delete;

private:
    TMenuItem *m_item;
    TAdvancedMenuDrawItemEvent m_saved;
};

void applyOpacity(IBarMenusIntf *menu, QWidget *window)
{
    if (!StartupFlags().LayeredWindowsAvailable || !window)
        return;
    if (qobject_cast<TPopupMenu *>(menu->Menu())) {
        if (!MenuWindows::IsLayered(window) && menu->GetMenuAlpha() < 255) {
            MenuWindows::SetLayered(window, true);
            MenuWindows::SetLayeredAlpha(window, menu->GetMenuAlpha());
        }
    } else if (MenuWindows::IsLayered(window)) {
        MenuWindows::SetLayeredAlpha(window, 255);
        MenuWindows::SetLayered(window, false);
    }
}

void paintFlatBorder(IBarMenusIntf *menu, QWidget *window)
{
    TMenu *owner = menu->Menu();
    if (!window || owner->Designing() || !menu->GetFlatBorder() || window == owner->WindowHandle())
        return;
    const quintptr data = MenuWindows::UserData(window);
    if (!(data & 1)) {
        // Once per window; the mark is set even when the region cannot be.
        struct Mark
        {
            QWidget *window;
            quintptr data;
            ~Mark() { MenuWindows::SetUserData(window, data | 1); }
        } mark{window, data};
        if (qobject_cast<TPopupMenu *>(owner))
            MenuWindows::SetRegion(window, QRect(0, 0, window->width(), window->height()));
        else
            MenuWindows::ClearRegion(window);
    }
    if (std::unique_ptr<TCanvas> canvas = MenuWindows::WindowCanvas(window)) {
        const TBrush saved = canvas->Brush;
        canvas->Brush = TBrush();
        canvas->Brush.Color = clBtnShadow;
        QRect r(0, 0, window->width(), window->height());
        canvas->FrameRect(r);
        canvas->Brush.Color = clBtnFace;
        canvas->FrameRect(r.adjusted(1, 1, -1, -1));
        canvas->Brush = saved;
    }
}
} // namespace

const TLumStartupFlags &StartupFlags()
{
    return flagsStore();
}

void RecomputeStartupFlags()
{
    flagsStore() = computeFlags();
}

// ---- TLumBarProtected

TLumBarProtected::TLumBarProtected(IBarMenusIntf *owner) : m_owner(owner)
{
    if (!owner)
        throw ERequireOwner("TLumBarProtected");
}

TLumBarProtected::~TLumBarProtected() = default;

void TLumBarProtected::setMeasuring(bool value)
{
    m_measuring = value;
    if (value)
        BarHeight = 0;
}

TBitmap &TLumBarProtected::BarBitmap()
{
    if (!m_bitmap)
        m_bitmap = std::make_unique<TBitmap>();
    return *m_bitmap;
}

void TLumBarProtected::Invalidate()
{
    m_bitmap.reset();
    setMeasuring(true);
}

// ---- TLumBarMenuCore

TLumBarMenuCore::TLumBarMenuCore(QObject *self) : m_barCache(std::make_unique<TLumBarProtected>(this))
{
    m_bar = new TLumBar(this);
    m_bar->setParent(self);
    m_bar->setObjectName(QStringLiteral("Bar"));
    m_separators = new TLumSeparators(this);
    m_separators->setParent(self);
    m_separators->setObjectName(QStringLiteral("Separators"));
    m_menuFont = new TLumFont(self);
    m_menuFont->setObjectName(QStringLiteral("MenuFont"));
}

TLumBarMenuCore::~TLumBarMenuCore()
{
    storeDrawModule(nullptr);
    delete m_menuFont;
    delete m_separators;
    delete m_bar;
}

void TLumBarMenuCore::setBar(const TLumBar *value)
{
    m_bar->Assign(value);
}

void TLumBarMenuCore::setSeparators(const TLumSeparators *value)
{
    m_separators->Assign(value);
}

TLumMenuStyle TLumBarMenuCore::EffectiveStyle() const
{
    if (m_menuStyle != msAuto)
        return m_menuStyle;
    return StartupFlags().WinXP ? msWindowsXP : msStandard;
}

void TLumBarMenuCore::SetMenuFont(const TLumFont *value)
{
    if (value)
        m_menuFont->Assign(*value);
}

TMenuMeasureItemEvent TLumBarMenuCore::MeasureHandler()
{
    return TMenuMeasureItemEvent(
        [this](TMenuItem *sender, TCanvas &canvas, int &width, int &height) {
            ::MeasureHandler(this, sender, canvas, width, height);
        },
        static_cast<IBarMenusIntf *>(this), 1);
}

TAdvancedMenuDrawItemEvent TLumBarMenuCore::DrawHandler()
{
    return TAdvancedMenuDrawItemEvent(
        [this](TMenuItem *sender, TCanvas &canvas, QRect rect, TOwnerDrawState state) {
            ::DrawHandler(this, sender, canvas, rect, state);
        },
        static_cast<IBarMenusIntf *>(this), 2);
}

void TLumBarMenuCore::storeDrawModule(TLumBarMenusDrawModule *value)
{
    if (m_drawModule)
        m_drawModule->setMenu(nullptr);
    m_drawModule = value;
    if (value)
        value->setMenu(this);
}

// ---- TLumCustomBarMainMenu

TLumCustomBarMainMenu::TLumCustomBarMainMenu(QObject *owner) : TMainMenu(owner), TLumBarMenuCore(this)
{
    setOwnerDraw(true);
    connect(m_menuFont, &TLumFont::changed, this, [this] { RefreshMenu(false, false); });
}

TLumCustomBarMainMenu::~TLumCustomBarMainMenu()
{
    // The items' handlers point here.
    releaseItems();
}

void TLumCustomBarMainMenu::UpdateItems()
{
    RebuildMenu();
}

void TLumCustomBarMainMenu::InvalidateBar()
{
    m_barCache->Invalidate();
    RebuildMenu();
}

void TLumCustomBarMainMenu::SetMenuStyle(TLumMenuStyle value)
{
    if (value == m_menuStyle)
        return;
    m_menuStyle = value;
    RefreshMenu(false, false);
    RefreshMenu(true, true);
}

void TLumCustomBarMainMenu::SetUseSystemFont(bool value)
{
    if (value == m_useSystemFont)
        return;
    m_useSystemFont = value;
    RefreshMenu(false, false);
}

void TLumCustomBarMainMenu::SetDrawModule(TLumBarMenusDrawModule *value)
{
    storeDrawModule(value);
    HookItems(this);
    rebuildThroughFirstItem(this);
    RefreshMenu(true, true);
}

void TLumCustomBarMainMenu::RefreshMenu(bool Reset, bool Rebuild)
{
    if (Reset) {
        m_barCache->setMeasuring(true);
        m_barCache->BarValid = false;
    }
    if (Reset || Rebuild)
        UpdateItems();
    else if (WindowHandle())
        DrawMenuBar();
}

void TLumCustomBarMainMenu::Loaded()
{
    TMainMenu::Loaded();
    setOwnerDraw(true);
    HookItems(this);
    rebuildThroughFirstItem(this);
    RefreshMenu(false, false);
}

void TLumCustomBarMainMenu::MenuChanged(QObject *sender, TMenuItem *source, bool rebuild)
{
    TMainMenu::MenuChanged(sender, source, rebuild);
}

TLumBarMainMenu::TLumBarMainMenu(QObject *owner) : TLumCustomBarMainMenu(owner) {}

QObject *TLumBarMainMenu::drawModule() const
{
    return GetDrawModule();
}

void TLumBarMainMenu::setDrawModule(QObject *value)
{
    SetDrawModule(qobject_cast<TLumBarMenusDrawModule *>(value));
}

// ---- TLumCustomBarPopupMenu

TLumCustomBarPopupMenu::TLumCustomBarPopupMenu(QObject *owner) : TPopupMenu(owner), TLumBarMenuCore(this)
{
    setOwnerDraw(true);
}

TLumCustomBarPopupMenu::~TLumCustomBarPopupMenu()
{
    releaseItems();
}

void TLumCustomBarPopupMenu::UpdateItems()
{
    RebuildMenu();
}

void TLumCustomBarPopupMenu::InvalidateBar()
{
    m_barCache->Invalidate();
}

void TLumCustomBarPopupMenu::SetDrawModule(TLumBarMenusDrawModule *value)
{
    storeDrawModule(value);
    InvalidateBar();
}

void TLumCustomBarPopupMenu::RefreshMenu(bool Reset, bool Rebuild)
{
    if (Reset) {
        m_barCache->setMeasuring(true);
        m_barCache->BarValid = false;
    }
    if (Reset || Rebuild)
        UpdateItems();
}

void TLumCustomBarPopupMenu::Loaded()
{
    TPopupMenu::Loaded();
    setOwnerDraw(true);
    HookItems(this);
}

void TLumCustomBarPopupMenu::MenuChanged(QObject *sender, TMenuItem *source, bool rebuild)
{
    HookItems(this, source);
    if (source && source->Parent() == Items()) {
        m_barCache->setMeasuring(true);
        m_barCache->BarValid = false;
    }
    TPopupMenu::MenuChanged(sender, source, rebuild);
}

void TLumCustomBarPopupMenu::Popup(int X, int Y)
{
    m_barCache->setMeasuring(true);
    TPopupMenu::Popup(X, Y);
}

// ---- Items

IBarMenusIntf *GetBarMenusIntf(const TMenuItem *item)
{
    if (!item)
        return nullptr;
    QObject *menu = item->Parent() ? item->GetParentMenu() : item->Owner();
    if (auto *popup = qobject_cast<TLumCustomBarPopupMenu *>(menu))
        return popup;
    if (auto *main = qobject_cast<TLumCustomBarMainMenu *>(menu))
        return main;
    return nullptr;
}

bool IsTopLevelItem(const TMenuItem *item)
{
    return qobject_cast<TMainMenu *>(item->GetParentComponent()) != nullptr;
}

bool IsPopupRootItem(const TMenuItem *item)
{
    return qobject_cast<TPopupMenu *>(item->GetParentComponent()) != nullptr;
}

bool IsAfterBreak(const TMenuItem *item)
{
    const TMenuItem *parent = item->Parent();
    if (!parent)
        return false;
    for (int i = item->MenuIndex(); i >= 0; --i) {
        const TMenuItem *sibling = parent->Items(i);
        if (sibling->Visible() && sibling->Break() != mbNone)
            return true;
    }
    return false;
}

bool BarApplies(IBarMenusIntf *menu, const TMenuItem *item)
{
    if (!menu->Bar()->Visible() || !item->Parent())
        return false;
    TMenu *owner = menu->Menu();
    if (qobject_cast<TPopupMenu *>(owner))
        return item->Parent() == owner->Items();
    return item->Parent() == firstVisibleRootItem(owner);
}

QString SeparatorCaption(const TMenuItem *item)
{
    if (!item->IsLine())
        return QString();
    return item->Enabled() ? item->Hint() : QString();
}

void HookItems(IBarMenusIntf *menu, TMenuItem *item)
{
    TMenu *owner = menu->Menu();
    auto *core = dynamic_cast<TLumBarMenuCore *>(menu);
    if (owner->Loading() || !core)
        return;
    const TAdvancedMenuDrawItemEvent draw = core->DrawHandler();
    auto hook = [&](TMenuItem *it) {
        if (it->OnAdvancedDrawItem == draw)
            return;
        if (!it->OnMeasureItem)
            it->OnMeasureItem = core->MeasureHandler();
        if (!it->OnAdvancedDrawItem && !it->OnDrawItem)
            it->OnAdvancedDrawItem = draw;
    };
    if (item) {
        hook(item);
        return;
    }
    std::function<void(TMenuItem *)> walk = [&](TMenuItem *parent) {
        for (int i = 0; i < parent->Count(); ++i) {
            hook(parent->Items(i));
            walk(parent->Items(i));
        }
    };
    walk(owner->Items());
}

void MeasureHandler(IBarMenusIntf *menu, TMenuItem *item, TCanvas &canvas, int &width, int &height)
{
    const bool barVisible = BarApplies(menu, item);
    const TLumMenuStyle style = menu->EffectiveStyle();
    const bool topLevel = IsTopLevelItem(item);
    if (item->IsLine()) {
        height = !SeparatorCaption(item).isEmpty() ? 14 : style == msWindowsXP ? 9 : 12;
    } else if (!topLevel) {
        if (!menu->Menu()->Images() && item->BitmapEmpty())
            width += 15;
        if (style == msWindowsXP) {
            if (height % 2 != 0)
                ++height;
            width += 2;
        }
    }
    bool defaultMeasure = true;
    if (const TOnMeasureMenuItemEvent event = menu->GetOnMeasureMenuItem())
        event(menu->Menu(), item, canvas, width, height, barVisible, defaultMeasure);
    if (defaultMeasure)
        if (TLumBarMenusDrawModule *module = menu->GetDrawModule())
            module->MeasureMenuItem(item, canvas, width, height, barVisible, defaultMeasure);
    if (defaultMeasure && menu->Separators()->SeparatorStyle() == ssShortLine && !topLevel)
        width += 10;
    if (barVisible && !IsAfterBreak(item)) {
        width += menu->Bar()->Width() + menu->Bar()->Space();
        TLumBarProtected *cache = menu->BarCache();
        if (cache->Measuring() && item->Visible())
            cache->BarHeight += height;
    }
}

void DrawHandler(IBarMenusIntf *menu, TMenuItem *item, TCanvas &canvas, QRect rect, TOwnerDrawState state)
{
    QWidget *window = MenuWindows::WindowFromCanvas(canvas);
    TLumBar *bar = menu->Bar();
    applyOpacity(menu, window);
    {
        HandlerAway away(item);
        const bool barVisible = BarApplies(menu, item) && !IsAfterBreak(item);
        QRect content = rect;
        if (barVisible) {
            const int band = bar->Width() + bar->Space();
            content.setWidth(content.width() - band);
            if (bar->Side() == sLeft)
                content.translate(band, 0);
        }
        if (!menu->GetUseSystemFont())
            canvas.Font = menu->GetMenuFont()->Value();
        bool defaultDraw = true;
        if (TLumBarMenusDrawModule *module = menu->GetDrawModule())
            module->DrawMenuItem(item, canvas, content, state, barVisible, defaultDraw);
        if (defaultDraw) {
            if (menu->Separators()->SeparatorStyle() == ssShortLine && !IsTopLevelItem(item))
                content.setWidth(content.width() - 10);
            if (item->IsLine())
                PaintSeparator(menu, item, SeparatorCaption(item), state, content, canvas);
            else
                PaintItem(menu, item, canvas, content, state);
        }
    }
    if (BarApplies(menu, item) && !IsAfterBreak(item))
        DrawBar(menu, item, canvas, rect);
    paintFlatBorder(menu, window);
}
