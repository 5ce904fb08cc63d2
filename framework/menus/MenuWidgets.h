#pragma once
// The widgets that realise the framework's menus: the menu bar of a main menu and the drop-down
// (or pop-up) menu windows. Qt keeps the selection, the keys, the mouse and the opening and closing
// of menus; an owner-drawn menu lays out, measures and paints its items itself, on one image per
// menu window, so that an item may draw beyond its own rectangle as the owner-drawn menus of the
// program expect (the side bar is drawn whole by the first item).
//
// Columns: QMenu starts a new column only when the screen is full. An item with a break starts one
// here: the menu lays out its own columns and, over them, follows the mouse and the Left and Right
// keys itself; selecting, opening sub-menus, running an item and closing stay Qt's.

#include "Menus.h"

#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <memory>

// The menu windows and the window a menu bar sits on, as the owner-drawn menus address them.
namespace MenuWindows {
// The window a paint request's canvas draws on; none for a canvas of one's own.
QWidget *WindowFromCanvas(const TCanvas &canvas);
// The client area: a menu window without its frame, in the window's coordinates.
QRect ClientRect(const QWidget *window);
// Layered windows carry one opacity for the whole window.
bool IsLayered(const QWidget *window);
void SetLayered(QWidget *window, bool layered);
void SetLayeredAlpha(QWidget *window, int alpha);
// A number the program may keep with a window.
quintptr UserData(const QWidget *window);
void SetUserData(QWidget *window, quintptr data);
// The part of the window that shows; a window without region shows whole.
void SetRegion(QWidget *window, const QRect &rect);
void ClearRegion(QWidget *window);
// A canvas over the whole menu window, frame included; none for other windows.
std::unique_ptr<TCanvas> WindowCanvas(QWidget *window);
// The canvas a paint request of `window` draws through, registered while the request runs.
void RegisterCanvas(const TCanvas *canvas, QWidget *window);
void UnregisterCanvas(const TCanvas *canvas);
// The menus show the underlined access keys only after the keyboard was used.
bool LastInputWasKeyboard();
} // namespace MenuWindows

class TMenuWidget : public QMenu
{
    Q_OBJECT

public:
    // The drop-down of `item` (the root item for a pop-up menu).
    TMenuWidget(TMenu *menu, TMenuItem *item, QWidget *parent);
    ~TMenuWidget() override;

    TMenu *Menu() const { return m_menu; }
    TMenuItem *Item() const { return m_item; }
    bool OwnerDrawn() const;
    // The frame of the window around the client area.
    static constexpr int kFrameWidth = 3;
    // An item's rectangle in the window's coordinates; empty for an item not shown.
    QRect ItemRect(const TMenuItem *item) const;
    int ColumnCount() const;
    bool KeyboardCues() const { return m_keyboardCues; }
    void setKeyboardCues(bool value);
    // Forgets the layout; the next showing measures anew where sizes were forgotten.
    void Relayout();
    // The whole window as last painted.
    const QImage &WindowImage() const { return m_window; }
    QImage &WindowImage() { return m_window; }

    QSize sizeHint() const override;
    // Qt's item width: the laid-out width less the shortcut column QMenu adds on its own.
    QSize qtItemSize() const;

protected:
    void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Slot
    {
        TMenuItem *item;
        QRect rect; // client coordinates
        int column;
    };
    void ensureLayout() const;
    const Slot *slotOf(const TMenuItem *item) const;
    const Slot *slotAt(const QPoint &clientPos) const;
    void forwardMouse(QMouseEvent *event);
    bool handleHotkey(QKeyEvent *event);
    bool handleColumnKey(QKeyEvent *event);
    void paintFrame(TCanvas &canvas);
    TOwnerDrawState stateOf(TMenuItem *item) const;
    int qtShortcutColumn() const;

    TMenu *m_menu;
    TMenuItem *m_item;
    mutable std::vector<Slot> m_slots;
    mutable std::vector<int> m_barBreaks; // x of the dividing lines, client coordinates
    mutable QSize m_clientSize;
    mutable bool m_layoutValid = false;
    mutable const QAction *m_styled = nullptr;
    QImage m_window;
    bool m_keyboardCues = false;
};

class TMenuBarWidget : public QMenuBar
{
    Q_OBJECT

public:
    TMenuBarWidget(TMenu *menu, QWidget *parent);

    TMenu *Menu() const { return m_menu; }
    bool OwnerDrawn() const;
    bool KeyboardCues() const;
    QSize qtItemSize() const;
    // Forgets the sizes of the items.
    void Relayout();
    // Lets Alt and a letter open the menu whose access key the menu chose itself.
    void updateHotkeys();

protected:
    void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void openByKeyboard(QAction *action);

    TMenu *m_menu;
    mutable const QAction *m_styled = nullptr;
    std::vector<std::pair<int, QAction *>> m_hotkeys; // shortcut id, menu
    QImage m_image;
};
