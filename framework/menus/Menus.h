#pragma once
// The framework's menus: a tree of menu items under a main menu (a window's menu bar) or a pop-up
// menu, realised on QMenuBar, QMenu and QAction so that keys, mouse and accessibility stay Qt's.
// An owner-drawn menu has its items measured and painted by the program: each item gets a measure
// request (the default size, then OnMeasureItem) and paint requests (the colours set on a canvas,
// then OnAdvancedDrawItem or OnDrawItem).

#include "Canvas.h"
#include "ImgList.h"

#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QWidget;
class TBitmap;
class TMenu;
class TMenuBarWidget;
class TMenuItem;
class TMenuWidget;

// The owner-draw state of an item being painted.
namespace ODS {
constexpr unsigned SELECTED = 0x0001;
constexpr unsigned GRAYED = 0x0002;
constexpr unsigned DISABLED = 0x0004;
constexpr unsigned CHECKED = 0x0008;
constexpr unsigned FOCUS = 0x0010;
constexpr unsigned DEFAULT = 0x0020;
constexpr unsigned HOTLIGHT = 0x0040;
constexpr unsigned INACTIVE = 0x0080;
constexpr unsigned NOACCEL = 0x0100;
constexpr unsigned NOFOCUSRECT = 0x0200;
} // namespace ODS
using TOwnerDrawState = unsigned;

// Where an item starts a new column of its drop-down: not, plainly, or after a dividing line.
enum TMenuBreak { mbNone, mbBreak, mbBarBreak };

// An event handler that can be compared with another, as method pointers can: two handlers are the
// same when they name the same object and the same handler of it. A handler without an object is
// equal to none.
template <typename Signature> class TMenuEvent
{
public:
    TMenuEvent() = default;
    TMenuEvent(std::function<Signature> call, const void *object = nullptr, int id = 0)
        : m_call(std::move(call)), m_object(object), m_id(id)
    {}
    explicit operator bool() const { return bool(m_call); }
    template <typename... Args> void operator()(Args &&...args) const { m_call(std::forward<Args>(args)...); }
    bool operator==(const TMenuEvent &other) const
    {
        return m_object && m_object == other.m_object && m_id == other.m_id;
    }

private:
    std::function<Signature> m_call;
    const void *m_object = nullptr;
    int m_id = 0;
};

using TMenuMeasureItemEvent = TMenuEvent<void(TMenuItem *Sender, TCanvas &ACanvas, int &Width, int &Height)>;
using TMenuDrawItemEvent = TMenuEvent<void(TMenuItem *Sender, TCanvas &ACanvas, QRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent =
    TMenuEvent<void(TMenuItem *Sender, TCanvas &ACanvas, QRect ARect, TOwnerDrawState State)>;

namespace MenuSystem {
// The size the system gives an item on the menu bar (its non-client metrics).
constexpr int kMenuBarItemWidth = 18;
constexpr int kMenuBarItemHeight = 18;
// Windows 98 and later paint a selected menu-bar item without the highlight colours; the menus
// of the owner-drawn families set this from the system they run on.
bool Win98Plus();
void SetWin98Plus(bool value);
} // namespace MenuSystem

// "Ctrl+N", "Shift+Del", "F9", "Ins", "Enter": a shortcut as menus show it.
QString ShortCutToText(const QKeySequence &shortcut);

class TMenuItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
    Q_PROPERTY(bool RadioItem READ RadioItem WRITE setRadioItem)
    Q_PROPERTY(bool Default READ Default WRITE setDefault)
    Q_PROPERTY(int Break READ Break WRITE setBreak)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE setImageIndex)
    Q_PROPERTY(QKeySequence ShortCut READ ShortCut WRITE setShortCut)

public:
    // The owner is the component that keeps the item alive until it is put into a menu.
    explicit TMenuItem(QObject *owner = nullptr);
    ~TMenuItem() override;

    QString Caption() const { return m_caption; }
    void setCaption(const QString &value);
    QString Hint() const { return m_hint; }
    void setHint(const QString &value);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool value);
    bool Visible() const { return m_visible; }
    void setVisible(bool value);
    bool Checked() const { return m_checked; }
    void setChecked(bool value);
    bool RadioItem() const { return m_radioItem; }
    void setRadioItem(bool value);
    bool Default() const { return m_default; }
    void setDefault(bool value);
    int Break() const { return m_break; }
    void setBreak(int value);
    int ImageIndex() const { return m_imageIndex; }
    void setImageIndex(int value);
    QKeySequence ShortCut() const { return m_shortCut; }
    void setShortCut(const QKeySequence &value);
    // The item's own glyph, made on first use.
    TBitmap &Bitmap();
    // Copies `bitmap` in; none frees the item's glyph.
    void setBitmap(const TBitmap *bitmap);
    bool BitmapEmpty() const;
    TCustomImageList *SubMenuImages() const { return m_subMenuImages; }
    void setSubMenuImages(TCustomImageList *images);

    // The tree.
    TMenuItem *Parent() const { return m_parent; }
    int Count() const { return int(m_items.size()); }
    TMenuItem *Items(int index) const;
    void Add(TMenuItem *item);
    void Insert(int index, TMenuItem *item);
    void Remove(TMenuItem *item);
    void Delete(int index);
    void Clear();
    int IndexOf(const TMenuItem *item) const;
    int MenuIndex() const;
    void setMenuIndex(int value);
    QObject *Owner() const { return m_owner; }
    // The menu of the tree, and the component the item sits in: the menu for the items of its
    // root, the parent item for the others.
    TMenu *GetParentMenu() const;
    QObject *GetParentComponent() const;
    // The image list for the item: the sub-menu images of the nearest ancestor that has some,
    // else the menu's.
    TCustomImageList *GetImageList() const;
    bool IsLine() const { return m_caption == QLatin1String("-"); }

    std::function<void(QObject *Sender)> OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

    virtual void Click();
    // The measure request: the canvas holds the system menu font; Width and Height come in as the
    // system proposes them and leave as the item's size.
    void MeasureItem(TCanvas &canvas, int &width, int &height);
    // The paint request after the colours were set: the item's handler, or the framework's look.
    void AdvancedDrawItem(TCanvas &canvas, const QRect &rect, TOwnerDrawState state, bool topLevel);

    // The access key: the letter after an "&" of the caption, or the one the menu chose for it.
    QChar Hotkey() const { return m_hotkey; }
    // The caption with its access key marked by "&".
    QString HotkeyCaption() const;
    // The action that stands for the item in the realised menus (made on first use).
    QAction *Action();
    bool HasAction() const { return m_action != nullptr; }

protected:
    // A change of the item: the tree's menu learns of it; `rebuild` when sizes may change.
    void MenuChanged(bool rebuild);

private:
    friend class TMenu;
    friend class TMainMenu;
    void DrawItem(TCanvas &canvas, const QRect &rect, bool selected, bool topLevel);
    void updateAction();
    void setParentItem(TMenuItem *parent);
    void childrenChanged();

    QString m_caption;
    QString m_hint;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_checked = false;
    bool m_radioItem = false;
    bool m_default = false;
    int m_break = mbNone;
    int m_imageIndex = -1;
    QKeySequence m_shortCut;
    std::unique_ptr<TBitmap> m_bitmap;
    QPointer<TCustomImageList> m_subMenuImages;
    QObject *m_owner;
    TMenuItem *m_parent = nullptr;
    TMenu *m_menu = nullptr; // set on the root item
    std::vector<TMenuItem *> m_items;
    QAction *m_action = nullptr;
    QPointer<TMenuWidget> m_widget;
    QChar m_hotkey;
    int m_hotkeyAt = -1;
    // The size of the last measure request; measured again after a rebuild.
    QSize m_measured;
    bool m_measuredValid = false;
};

class TMenu : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool OwnerDraw READ OwnerDraw WRITE setOwnerDraw)
    Q_PROPERTY(bool AutoHotkeys READ AutoHotkeys WRITE setAutoHotkeys)

public:
    explicit TMenu(QObject *owner = nullptr);
    ~TMenu() override;

    TMenuItem *Items() const { return m_items; }
    bool OwnerDraw() const { return m_ownerDraw; }
    void setOwnerDraw(bool value);
    TCustomImageList *Images() const { return m_images; }
    void setImages(TCustomImageList *images);
    // Gives every item without an "&" in its caption an access key of its own among its siblings.
    bool AutoHotkeys() const { return m_autoHotkeys; }
    void setAutoHotkeys(bool value);

    // While the menu is built from a window layout it is loading; Loaded ends that.
    void BeginLoading() { m_loading = true; }
    bool Loading() const { return m_loading; }
    bool Designing() const { return false; }
    Q_INVOKABLE virtual void Loaded();

    // The window that shows the menu bar of a main menu; none for a pop-up menu.
    virtual QWidget *WindowHandle() const { return nullptr; }
    bool IsRightToLeft() const;
    // The font the system gives menus: the font of the window that owns the menu.
    QFont SystemMenuFont() const;

    // A change of an item (or, without a source, of the whole tree).
    virtual void MenuChanged(QObject *sender, TMenuItem *source, bool rebuild);
    // Re-creates the realised menus, so that every item is measured again when next shown.
    void RebuildMenu();

    // The realised drop-down of an item with sub-items (the pop-up menu's own for its root).
    TMenuWidget *MenuWidget(TMenuItem *item);
    // The item an action stands for.
    static TMenuItem *ItemOf(const QAction *action);

    // The size of an item as the realised menus lay it out (measured once until a rebuild).
    QSize ItemSize(TMenuItem *item);
    // Sets the colours and the font of the paint request and paints the item.
    void DrawRequest(TMenuItem *item, TCanvas &canvas, const QRect &rect, TOwnerDrawState state);
    bool IsTopLevel(const TMenuItem *item) const;

protected:
    // The owner window's font is the menus' font: a new one has every item measured again.
    bool eventFilter(QObject *watched, QEvent *event) override;
    virtual QWidget *widgetParent() const;
    // Brings the realised widgets in line with the tree.
    virtual void syncItems(TMenuItem *item);
    void syncTree(TMenuItem *item);
    void invalidateSizes(TMenuItem *item);
    virtual void relayout();
    void assignHotkeys(TMenuItem *parent);
    // Frees the items without rebuilding anything on the way (destructors call it first).
    void releaseItems();
    bool destroying() const { return m_destroying; }

private:
    friend class TMenuItem;

    TMenuItem *m_items;
    bool m_ownerDraw = false;
    bool m_autoHotkeys = true;
    bool m_loading = false;
    bool m_destroying = false;
    QPointer<TCustomImageList> m_images;
};

class TMainMenu : public TMenu
{
    Q_OBJECT

public:
    explicit TMainMenu(QObject *owner = nullptr);
    ~TMainMenu() override;

    // Shows the menu as the menu bar of `window`.
    void SetWindow(QMainWindow *window);
    QWidget *WindowHandle() const override;
    TMenuBarWidget *MenuBar();
    // Repaints the menu bar.
    void DrawMenuBar();

protected:
    QWidget *widgetParent() const override;
    void syncItems(TMenuItem *item) override;
    void relayout() override;

private:
    QPointer<QMainWindow> m_window;
    QPointer<TMenuBarWidget> m_bar;
};

class TPopupMenu : public TMenu
{
    Q_OBJECT

public:
    explicit TPopupMenu(QObject *owner = nullptr);
    ~TPopupMenu() override;

    // Shows the menu with its top-left corner at the screen point (X, Y) and returns at once.
    virtual void Popup(int X, int Y);
    QObject *PopupComponent() const { return m_popupComponent; }
    void setPopupComponent(QObject *component) { m_popupComponent = component; }
    std::function<void(QObject *Sender)> OnPopup;
    // The realised menu window.
    TMenuWidget *Widget() { return MenuWidget(Items()); }

protected:
    QWidget *widgetParent() const override;

private:
    QPointer<QObject> m_popupComponent;
};
