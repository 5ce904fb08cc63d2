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

[[noreturn]] void cannotAssign(const QObject *source, const QObject *target)
{
    throw Exception(std::string("Cannot assign a ") + (source ? source->metaObject()->className() : "nil") +
                    " to a " + target->metaObject()->className());
}

QObject *ownerObject(IBarMenusIntf *owner, QObject *parent)
{
    return parent ? parent : dynamic_cast<QObject *>(owner);
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

ERequireOwner::ERequireOwner(const char *className)
    : Exception(std::string("Tried to create ") + className + " with no owner.")
{}

EInvalidPropertyIndex::EInvalidPropertyIndex(int index)
    : Exception("Invalid property index " + std::to_string(index) + ".")
{}

const TLumStartupFlags &StartupFlags()
{
    return flagsStore();
}

void RecomputeStartupFlags()
{
    flagsStore() = computeFlags();
}

// ---- TLumFont

TLumFont::TLumFont(QObject *parent) : QObject(parent)
{
    m_font = QFont(QStringLiteral("MS Sans Serif"));
    m_font.setPixelSize(11);
}

void TLumFont::change(const QFont &font)
{
    if (font == m_font)
        return;
    m_font = font;
    emit changed();
}

void TLumFont::setName(const QString &value)
{
    QFont font = m_font;
    font.setFamily(value);
    change(font);
}

void TLumFont::setHeight(int value)
{
    QFont font = m_font;
    font.setPixelSize(std::max(1, std::abs(value)));
    change(font);
}

int TLumFont::Size() const
{
    return int(std::lround(m_font.pixelSize() * 72.0 / 96.0));
}

void TLumFont::setSize(int value)
{
    setHeight(-int(std::lround(value * 96.0 / 72.0)));
}

void TLumFont::setColor(TColor value)
{
    if (value == m_color)
        return;
    m_color = value;
    emit changed();
}

void TLumFont::setBold(bool value)
{
    QFont font = m_font;
    font.setBold(value);
    change(font);
}

void TLumFont::setItalic(bool value)
{
    QFont font = m_font;
    font.setItalic(value);
    change(font);
}

void TLumFont::setUnderline(bool value)
{
    QFont font = m_font;
    font.setUnderline(value);
    change(font);
}

void TLumFont::setStrikeOut(bool value)
{
    QFont font = m_font;
    font.setStrikeOut(value);
    change(font);
}

void TLumFont::setFont(const QFont &font)
{
    change(font);
}

TFont TLumFont::Value() const
{
    return TFont(m_font, m_color);
}

void TLumFont::Assign(const TLumFont &other)
{
    if (other.m_font == m_font && other.m_color == m_color)
        return;
    m_font = other.m_font;
    m_color = other.m_color;
    emit changed();
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

// ---- TLumGradientBar

TLumGradientBar::TLumGradientBar(IBarMenusIntf *owner)
    : TLumGradientBar(owner, "TLumGradientBar", 0xD8BDAF, clBlack, gsVertical)
{}

TLumGradientBar::TLumGradientBar(IBarMenusIntf *owner, const char *className, TColor start, TColor end,
                                 TGradientStyle style)
    : QObject(ownerObject(owner, nullptr)), m_owner(owner), m_colors{start, end}, m_style(style)
{
    if (!owner)
        throw ERequireOwner(className);
}

void TLumGradientBar::setBorder(TColor value)
{
    if (value == m_border)
        return;
    m_border = value;
    change();
}

TColor TLumGradientBar::GetGradientColor(int index) const
{
    if (index != 0 && index != 1)
        throw EInvalidPropertyIndex(index);
    return m_colors[index];
}

void TLumGradientBar::SetGradientColor(int index, TColor value)
{
    if (index != 0 && index != 1)
        throw EInvalidPropertyIndex(index);
    if (value == m_colors[index])
        return;
    m_colors[index] = value;
    change();
}

void TLumGradientBar::setGradientStyle(int value)
{
    if (value == m_style)
        return;
    m_style = value;
    change();
}

void TLumGradientBar::Assign(const QObject *source)
{
    const auto *other = qobject_cast<const TLumGradientBar *>(source);
    if (!other)
        cannotAssign(source, this);
    m_colors[0] = other->m_colors[0];
    m_colors[1] = other->m_colors[1];
    m_style = other->m_style;
    m_border = other->m_border;
    change();
}

// ---- TLumBarPicture

TLumBarPicture::TLumBarPicture(IBarMenusIntf *owner)
    : TLumBarPicture(owner, "TLumBarPicture", vaBottom, haCenter)
{}

TLumBarPicture::TLumBarPicture(IBarMenusIntf *owner, const char *className, TVertAlignment vert,
                               THorzAlignment horz)
    : QObject(ownerObject(owner, nullptr)), m_owner(owner), m_vert(vert), m_horz(horz)
{
    if (!owner)
        throw ERequireOwner(className);
}

TLumBarPicture::~TLumBarPicture() = default;

void TLumBarPicture::setTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    change();
}

TBitmap &TLumBarPicture::Picture()
{
    if (!m_picture)
        m_picture = std::make_unique<TBitmap>();
    return *m_picture;
}

void TLumBarPicture::setPicture(const TBitmap *bitmap)
{
    if (bitmap)
        Picture().Assign(*bitmap);
    else
        m_picture.reset();
    change();
}

bool TLumBarPicture::PictureEmpty() const
{
    return !m_picture || m_picture->Empty();
}

void TLumBarPicture::setOffsetX(int value)
{
    if (value == m_offsetX)
        return;
    m_offsetX = value;
    change();
}

void TLumBarPicture::setOffsetY(int value)
{
    if (value == m_offsetY)
        return;
    m_offsetY = value;
    change();
}

void TLumBarPicture::setVertAlignment(int value)
{
    if (value == m_vert)
        return;
    m_vert = value;
    change();
}

void TLumBarPicture::setHorzAlignment(int value)
{
    if (value == m_horz)
        return;
    m_horz = value;
    change();
}

void TLumBarPicture::setVisible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    change();
}

void TLumBarPicture::Assign(const QObject *source)
{
    auto *other = qobject_cast<const TLumBarPicture *>(source);
    if (!other)
        cannotAssign(source, this);
    if (other->m_picture)
        Picture().Assign(*other->m_picture);
    else
        m_picture.reset();
    m_transparent = other->m_transparent;
    m_offsetX = other->m_offsetX;
    m_offsetY = other->m_offsetY;
    m_vert = other->m_vert;
    m_horz = other->m_horz;
    change();
}

void TLumBarPicture::DrawAt(TCanvas &canvas, int x, int y)
{
    if (PictureEmpty())
        return;
    const QImage &image = m_picture->Image();
    if (!m_transparent) {
        canvas.Draw(x, y, image);
        return;
    }
    // The colour of the bottom-left pixel is the transparent one.
    const QRgb corner = image.pixel(0, image.height() - 1);
    canvas.DrawTransparent(x, y, image, RGB(qRed(corner), qGreen(corner), qBlue(corner)));
}

TLumBarBackPicture::TLumBarBackPicture(IBarMenusIntf *owner)
    : TLumBarPicture(owner, "TLumBarBackPicture", vaTop, haLeft)
{}

void TLumBarBackPicture::setDrawStyle(int value)
{
    if (value == m_drawStyle)
        return;
    m_drawStyle = value;
    change();
}

// ---- TLumBarCaption

TLumBarCaption::TLumBarCaption(IBarMenusIntf *owner) : QObject(ownerObject(owner, nullptr))
{
    if (!owner)
        throw ERequireOwner("TLumBarCaption");
    m_font = new TLumFont(this);
    m_font->setName(QStringLiteral("Tahoma"));
    m_font->setSize(14);
    m_font->setColor(clWhite);
    m_font->setBold(true);
    m_font->setItalic(true);
    connect(m_font, &TLumFont::changed, this, &TLumBarCaption::changed);
}

void TLumBarCaption::setFont(const TLumFont *value)
{
    if (value)
        m_font->Assign(*value);
}

void TLumBarCaption::setShadowColor(TColor value)
{
    if (value == m_shadow)
        return;
    m_shadow = value;
    change();
}

void TLumBarCaption::setHighlightColor(TColor value)
{
    if (value == m_highlight)
        return;
    m_highlight = value;
    change();
}

void TLumBarCaption::setDepth(int value)
{
    if (value == m_depth)
        return;
    m_depth = value;
    change();
}

void TLumBarCaption::setCaption(const QString &value)
{
    if (value == m_caption)
        return;
    m_caption = value;
    change();
}

void TLumBarCaption::setOffsetY(int value)
{
    if (value == m_offsetY)
        return;
    m_offsetY = value;
    change();
}

void TLumBarCaption::setAlignment(int value)
{
    if (value == m_alignment)
        return;
    m_alignment = value;
    change();
}

void TLumBarCaption::setDirection(int value)
{
    if (value == m_direction)
        return;
    m_direction = value;
    change();
}

void TLumBarCaption::setVisible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    change();
}

void TLumBarCaption::Assign(const QObject *source)
{
    auto *other = qobject_cast<const TLumBarCaption *>(source);
    if (!other)
        cannotAssign(source, this);
    m_font->Assign(*other->m_font);
    m_caption = other->m_caption;
    m_offsetY = other->m_offsetY;
    m_alignment = other->m_alignment;
    m_depth = other->m_depth;
    m_shadow = other->m_shadow;
    m_highlight = other->m_highlight;
    m_direction = other->m_direction;
    change();
}

// ---- TLumBar

TLumBar::TLumBar(IBarMenusIntf *owner) : TLumGradientBar(owner, "TLumBar", 0xD8BDAF, clBlack, gsVertical)
{
    m_picture = new TLumBarPicture(owner);
    m_picture->setParent(this);
    m_backPicture = new TLumBarBackPicture(owner);
    m_backPicture->setParent(this);
    m_caption = new TLumBarCaption(owner);
    m_caption->setParent(this);
    m_picture->setObjectName(QStringLiteral("BarPicture"));
    m_backPicture->setObjectName(QStringLiteral("BarBackPicture"));
    m_caption->setObjectName(QStringLiteral("BarCaption"));
    for (QObject *part : {static_cast<QObject *>(m_picture), static_cast<QObject *>(m_backPicture),
                          static_cast<QObject *>(m_caption)})
        connect(part, SIGNAL(changed()), this, SIGNAL(changed()));
}

void TLumBar::setWidth(int value)
{
    if (value == m_width)
        return;
    m_width = value;
    change();
}

void TLumBar::setSpace(int value)
{
    if (value == m_space)
        return;
    m_space = value;
    change();
}

void TLumBar::setVisible(bool value)
{
    m_visible = value;
    IBarMenusIntf *menu = OwnerMenu();
    if (!value) {
        menu->BarCache()->Invalidate();
        menu->BarCache()->BarValid = false;
    }
    if (auto *main = dynamic_cast<TLumCustomBarMainMenu *>(menu); main && main->WindowHandle())
        main->RefreshMenu(false, true);
    change();
}

void TLumBar::setSide(int value)
{
    if (value == m_side)
        return;
    m_side = value;
    change();
}

void TLumBar::setBarPicture(const TLumBarPicture *value)
{
    m_picture->Assign(value);
}

void TLumBar::setBarBackPicture(const TLumBarBackPicture *value)
{
    m_backPicture->Assign(value);
}

void TLumBar::setBarCaption(const TLumBarCaption *value)
{
    m_caption->Assign(value);
}

void TLumBar::Assign(const QObject *source)
{
    if (auto *other = qobject_cast<const TLumBar *>(source)) {
        m_width = other->m_width;
        setVisible(other->m_visible);
        m_side = other->m_side;
        m_space = other->m_space;
        m_picture->Assign(other->m_picture);
        m_backPicture->Assign(other->m_backPicture);
        m_caption->Assign(other->m_caption);
    }
    TLumGradientBar::Assign(source);
}

// ---- TLumSeparators

TLumSeparators::TLumSeparators(IBarMenusIntf *owner)
    : TLumGradientBar(owner, "TLumSeparators", clGray, clSilver, gsHorizontal)
{
    m_font = new TLumFont(this);
    connect(m_font, &TLumFont::changed, this, &TLumSeparators::changed);
}

void TLumSeparators::setFade(bool value)
{
    if (value == m_fade)
        return;
    m_fade = value;
    change();
}

void TLumSeparators::setFadeWidth(int value)
{
    if (value == m_fadeWidth)
        return;
    m_fadeWidth = value;
    change();
}

void TLumSeparators::setFadeColor(TColor value)
{
    if (value == m_fadeColor)
        return;
    m_fadeColor = value;
    change();
}

void TLumSeparators::setFlatLines(bool value)
{
    if (value == m_flatLines)
        return;
    m_flatLines = value;
    change();
}

void TLumSeparators::setFont(const TLumFont *value)
{
    if (value)
        m_font->Assign(*value);
}

void TLumSeparators::setAlignment(int value)
{
    if (value == m_alignment)
        return;
    m_alignment = value;
    change();
}

void TLumSeparators::setSeparatorStyle(int value)
{
    if (value == m_separatorStyle)
        return;
    m_separatorStyle = value;
    change();
}

void TLumSeparators::setUseSystemFont(bool value)
{
    if (value == m_useSystemFont)
        return;
    m_useSystemFont = value;
    change();
}

void TLumSeparators::Assign(const QObject *source)
{
    if (auto *other = qobject_cast<const TLumSeparators *>(source)) {
        m_font->Assign(*other->m_font);
        m_alignment = other->m_alignment;
        m_separatorStyle = other->m_separatorStyle;
        m_useSystemFont = other->m_useSystemFont;
    }
    TLumGradientBar::Assign(source);
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
