#include "Menus.h"

#include "Bitmap.h"
#include "Errors.h"
#include "ImgList.h"
#include "MenuWidgets.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QMainWindow>
#include <algorithm>

namespace {
bool g_win98Plus = true;

// The first QWidget among `object` and its parents.
QWidget *widgetOf(QObject *object)
{
    for (; object; object = object->parent())
        if (auto *widget = qobject_cast<QWidget *>(object))
            return widget;
    return nullptr;
}

// The position of the access key an "&" marks in a caption, -1 when none does.
int explicitHotkey(const QString &caption)
{
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return -1;
}
} // namespace

namespace MenuSystem {
bool Win98Plus()
{
    return g_win98Plus;
}

void SetWin98Plus(bool value)
{
    g_win98Plus = value;
}
} // namespace MenuSystem

QString ShortCutToText(const QKeySequence &shortcut)
{
    if (shortcut.isEmpty())
        return {};
    const QKeyCombination combination = shortcut[0];
    const Qt::Key key = combination.key();
    QString name;
    switch (key) {
    case Qt::Key_Backspace:
        name = QStringLiteral("BkSp");
        break;
    case Qt::Key_Tab:
        name = QStringLiteral("Tab");
        break;
    case Qt::Key_Escape:
        name = QStringLiteral("Esc");
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        name = QStringLiteral("Enter");
        break;
    case Qt::Key_Space:
        name = QStringLiteral("Space");
        break;
    case Qt::Key_PageUp:
        name = QStringLiteral("PgUp");
        break;
    case Qt::Key_PageDown:
        name = QStringLiteral("PgDn");
        break;
    case Qt::Key_End:
        name = QStringLiteral("End");
        break;
    case Qt::Key_Home:
        name = QStringLiteral("Home");
        break;
    case Qt::Key_Left:
        name = QStringLiteral("Left");
        break;
    case Qt::Key_Up:
        name = QStringLiteral("Up");
        break;
    case Qt::Key_Right:
        name = QStringLiteral("Right");
        break;
    case Qt::Key_Down:
        name = QStringLiteral("Down");
        break;
    case Qt::Key_Insert:
        name = QStringLiteral("Ins");
        break;
    case Qt::Key_Delete:
        name = QStringLiteral("Del");
        break;
    default:
        if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
            name = QStringLiteral("F%1").arg(int(key - Qt::Key_F1) + 1);
        else
            name = QKeySequence(key).toString(QKeySequence::PortableText);
    }
    QString text;
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (modifiers & Qt::ShiftModifier)
        text += QStringLiteral("Shift+");
    if (modifiers & Qt::ControlModifier)
        text += QStringLiteral("Ctrl+");
    if (modifiers & Qt::AltModifier)
        text += QStringLiteral("Alt+");
    return text + name;
}

// ---- TMenuItem

TMenuItem::TMenuItem(QObject *owner) : QObject(owner), m_owner(owner) {}

TMenuItem::~TMenuItem()
{
    // The children go first, while this item can still take their leave.
    while (!m_items.empty())
        delete m_items.back();
    delete m_widget.data();
    if (m_parent) {
        TMenuItem *parent = m_parent;
        parent->m_items.erase(std::find(parent->m_items.begin(), parent->m_items.end(), this));
        m_parent = nullptr;
        parent->childrenChanged();
    }
}

void TMenuItem::setCaption(const QString &value)
{
    if (value == m_caption)
        return;
    m_caption = value;
    if (m_parent)
        if (TMenu *menu = GetParentMenu())
            menu->assignHotkeys(m_parent);
    MenuChanged(true);
}

void TMenuItem::setHint(const QString &value)
{
    if (value == m_hint)
        return;
    m_hint = value;
    // A separator's hint is its caption.
    MenuChanged(IsLine());
}

void TMenuItem::setEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    MenuChanged(IsLine());
}

void TMenuItem::setVisible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    MenuChanged(true);
}

void TMenuItem::setChecked(bool value)
{
    if (value == m_checked)
        return;
    m_checked = value;
    MenuChanged(false);
}

void TMenuItem::setRadioItem(bool value)
{
    if (value == m_radioItem)
        return;
    m_radioItem = value;
    MenuChanged(false);
}

void TMenuItem::setDefault(bool value)
{
    if (value == m_default)
        return;
    m_default = value;
    MenuChanged(true);
}

void TMenuItem::setBreak(int value)
{
    if (value == m_break)
        return;
    m_break = value;
    MenuChanged(true);
}

void TMenuItem::setImageIndex(int value)
{
    if (value == m_imageIndex)
        return;
    m_imageIndex = value;
    MenuChanged(true);
}

void TMenuItem::setShortCut(const QKeySequence &value)
{
    if (value == m_shortCut)
        return;
    m_shortCut = value;
    MenuChanged(true);
}

TBitmap &TMenuItem::Bitmap()
{
    if (!m_bitmap)
        m_bitmap = std::make_unique<TBitmap>();
    return *m_bitmap;
}

void TMenuItem::setBitmap(const TBitmap *bitmap)
{
    if (bitmap)
        Bitmap().Assign(*bitmap);
    else
        m_bitmap.reset();
    MenuChanged(true);
}

bool TMenuItem::BitmapEmpty() const
{
    return !m_bitmap || m_bitmap->Empty();
}

void TMenuItem::setSubMenuImages(TCustomImageList *images)
{
    if (images == m_subMenuImages)
        return;
    m_subMenuImages = images;
    MenuChanged(true);
}

TMenuItem *TMenuItem::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError::outOfBounds(index);
    return m_items[std::size_t(index)];
}

void TMenuItem::Add(TMenuItem *item)
{
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem *item)
{
    if (!item || item->m_parent)
        throw Exception("Menu inserted twice");
    if (index < 0 || index > Count())
        throw EListError::outOfBounds(index);
    m_items.insert(m_items.begin() + index, item);
    item->setParentItem(this);
    childrenChanged();
    if (TMenu *menu = GetParentMenu())
        menu->MenuChanged(menu->Items(), item, true);
}

void TMenuItem::Remove(TMenuItem *item)
{
    const int index = IndexOf(item);
    if (index < 0)
        throw Exception("Sub-menu is not in menu");
    Delete(index);
}

void TMenuItem::Delete(int index)
{
    TMenuItem *item = Items(index);
    m_items.erase(m_items.begin() + index);
    item->setParentItem(nullptr);
    childrenChanged();
}

void TMenuItem::Clear()
{
    while (!m_items.empty())
        delete m_items.back();
}

int TMenuItem::IndexOf(const TMenuItem *item) const
{
    const auto it = std::find(m_items.begin(), m_items.end(), item);
    return it == m_items.end() ? -1 : int(it - m_items.begin());
}

int TMenuItem::MenuIndex() const
{
    return m_parent ? m_parent->IndexOf(this) : -1;
}

void TMenuItem::setMenuIndex(int value)
{
    if (!m_parent)
        return;
    TMenuItem *parent = m_parent;
    const int current = parent->IndexOf(this);
    value = std::clamp(value, 0, parent->Count() - 1);
    if (value == current)
        return;
    parent->m_items.erase(parent->m_items.begin() + current);
    parent->m_items.insert(parent->m_items.begin() + value, this);
    parent->childrenChanged();
}

void TMenuItem::setParentItem(TMenuItem *parent)
{
    m_parent = parent;
    setParent(parent ? static_cast<QObject *>(parent) : m_owner);
    if (m_action)
        m_action->setParent(this);
}

void TMenuItem::childrenChanged()
{
    if (TMenu *menu = GetParentMenu(); menu && !menu->m_destroying) {
        menu->syncItems(this);
        if (m_parent)
            menu->syncItems(m_parent);
        menu->invalidateSizes(menu->Items());
        menu->relayout();
    }
}

TMenu *TMenuItem::GetParentMenu() const
{
    const TMenuItem *item = this;
    while (item->m_parent)
        item = item->m_parent;
    return item->m_menu;
}

QObject *TMenuItem::GetParentComponent() const
{
    if (!m_parent)
        return nullptr;
    if (m_parent->m_menu)
        return m_parent->m_menu;
    return m_parent;
}

TCustomImageList *TMenuItem::GetImageList() const
{
    for (const TMenuItem *item = m_parent; item; item = item->m_parent)
        if (item->m_subMenuImages)
            return item->m_subMenuImages;
    TMenu *menu = GetParentMenu();
    return menu ? menu->Images() : nullptr;
}

void TMenuItem::Click()
{
    if (OnClick)
        OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas &canvas, int &width, int &height)
{
    TMenu *menu = GetParentMenu();
    const bool topLevel = menu && menu->IsTopLevel(this);
    if (topLevel) {
        width = MenuSystem::kMenuBarItemWidth;
        height = MenuSystem::kMenuBarItemHeight;
    }
    TCustomImageList *images = GetImageList();
    bool glyph = false;
    if (IsLine()) {
        height = 5;
        width = -2;
    } else if (images && (m_imageIndex > -1 || !topLevel)) {
        width = images->Width();
        if (!topLevel)
            height = images->Height();
        glyph = true;
    } else if (!BitmapEmpty()) {
        width = 16;
        if (!topLevel)
            height = 16;
        glyph = true;
    } else {
        width = -7;
    }
    if (glyph && !topLevel)
        width += 15;
    if (!topLevel)
        height += 3;
    QString text = HotkeyCaption();
    if (!m_shortCut.isEmpty())
        text += QLatin1Char('\t') + ShortCutToText(m_shortCut);
    QRect r(0, 0, 0, 0);
    canvas.DrawText(text, r, DT::EXPANDTABS | DT::SINGLELINE | DT::NOCLIP | DT::CALCRECT);
    width += r.width() + 7;
    if (OnMeasureItem)
        OnMeasureItem(this, canvas, width, height);
}

void TMenuItem::AdvancedDrawItem(TCanvas &canvas, const QRect &rect, TOwnerDrawState state, bool topLevel)
{
    TMenu *menu = GetParentMenu();
    if (menu && menu->OwnerDraw() && OnAdvancedDrawItem)
        OnAdvancedDrawItem(this, canvas, rect, state);
    else if (OnDrawItem)
        OnDrawItem(this, canvas, rect, (state & ODS::SELECTED) != 0);
    else
        DrawItem(canvas, rect, (state & ODS::SELECTED) != 0, topLevel);
}

void TMenuItem::DrawItem(TCanvas &canvas, const QRect &rect, bool selected, bool topLevel)
{
    // The framework's own plain look: the background, the caption after the glyph column, the
    // shortcut at the right, disabled items in grey, a tick for a checked item.
    canvas.FillRect(rect);
    if (IsLine()) {
        QRect line(rect.left(), rect.top() + rect.height() / 2 - 1, rect.width(), 2);
        canvas.DrawEdge(line, Edge::ETCHED, Edge::TOP);
        return;
    }
    if (!m_enabled)
        canvas.Font.Color = selected ? clBtnFace : clGrayText;
    canvas.Brush.Style = TBrushStyle::bsClear;
    QRect text = rect.adjusted(topLevel ? 6 : 20, 0, topLevel ? -6 : -10, 0);
    canvas.DrawText(HotkeyCaption(), text, DT::SINGLELINE | DT::VCENTER);
    if (!m_shortCut.isEmpty() && !topLevel)
        canvas.DrawText(ShortCutToText(m_shortCut), text, DT::SINGLELINE | DT::VCENTER | DT::RIGHT);
    if (m_checked && !topLevel) {
        QRect mark(rect.left(), rect.top(), 20, rect.height());
        canvas.DrawText(QString(QChar(0x2713)), mark, DT::SINGLELINE | DT::VCENTER | DT::CENTER);
    }
    canvas.Brush.Style = TBrushStyle::bsSolid;
}

QString TMenuItem::HotkeyCaption() const
{
    if (m_hotkey.isNull() || explicitHotkey(m_caption) >= 0)
        return m_caption;
    // The first character of the caption that is the access key, counted without escaped "&&".
    for (int i = 0; i < m_caption.size(); ++i) {
        if (m_caption[i] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        if (m_caption[i].toUpper() == m_hotkey && i == m_hotkeyAt)
            return m_caption.left(i) + QLatin1Char('&') + m_caption.mid(i);
    }
    return m_caption;
}

QAction *TMenuItem::Action()
{
    if (!m_action) {
        m_action = new QAction(this);
        m_action->setShortcutVisibleInContextMenu(true);
        m_action->setIconVisibleInMenu(false);
        connect(m_action, &QAction::triggered, this, [this] {
            try {
                Click();
            } catch (const std::exception &error) {
                handleException(error);
            }
        });
        updateAction();
    }
    return m_action;
}

void TMenuItem::updateAction()
{
    if (!m_action)
        return;
    m_action->setObjectName(objectName());
    m_action->setSeparator(IsLine());
    QString text = IsLine() ? QString() : m_caption;
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    m_action->setText(text);
    m_action->setEnabled(m_enabled);
    m_action->setVisible(m_visible);
    m_action->setShortcut(m_shortCut);
    m_action->setStatusTip(m_hint);
}

void TMenuItem::MenuChanged(bool rebuild)
{
    if (TMenu *menu = GetParentMenu())
        menu->MenuChanged(menu->Items(), this, rebuild);
    else
        updateAction();
}

// ---- TMenu

TMenu::TMenu(QObject *owner) : QObject(owner), m_items(new TMenuItem(this))
{
    m_items->m_menu = this;
    m_items->setObjectName(QStringLiteral("Items"));
    if (QWidget *window = widgetOf(owner))
        window->installEventFilter(this);
}

bool TMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LayoutDirectionChange)
        RebuildMenu();
    return QObject::eventFilter(watched, event);
}

TMenu::~TMenu()
{
    releaseItems();
    delete m_items;
}

void TMenu::releaseItems()
{
    m_destroying = true;
    m_items->Clear();
}

void TMenu::setOwnerDraw(bool value)
{
    if (value == m_ownerDraw)
        return;
    m_ownerDraw = value;
    RebuildMenu();
}

void TMenu::setImages(TCustomImageList *images)
{
    if (images == m_images)
        return;
    m_images = images;
    RebuildMenu();
}

void TMenu::setAutoHotkeys(bool value)
{
    if (value == m_autoHotkeys)
        return;
    m_autoHotkeys = value;
    RebuildMenu();
}

void TMenu::Loaded()
{
    m_loading = false;
    syncTree(m_items);
    relayout();
}

bool TMenu::IsRightToLeft() const
{
    const QWidget *owner = widgetOf(parent());
    return owner ? owner->layoutDirection() == Qt::RightToLeft : QApplication::isRightToLeft();
}

QFont TMenu::SystemMenuFont() const
{
    if (const QWidget *owner = widgetOf(parent()))
        return owner->font();
    return QApplication::font("QMenu");
}

void TMenu::MenuChanged(QObject *, TMenuItem *source, bool rebuild)
{
    if (m_loading || m_destroying)
        return;
    if (source)
        source->updateAction();
    if (rebuild) {
        invalidateSizes(m_items);
        relayout();
    } else if (source && source->m_parent && source->m_parent->m_widget) {
        source->m_parent->m_widget->update();
    }
}

void TMenu::RebuildMenu()
{
    if (m_loading || m_destroying)
        return;
    invalidateSizes(m_items);
    syncTree(m_items);
    relayout();
}

TMenuWidget *TMenu::MenuWidget(TMenuItem *item)
{
    if (!item)
        return nullptr;
    if (!item->m_widget) {
        QWidget *parent =
            item == m_items || item->m_parent == m_items ? widgetParent() : MenuWidget(item->m_parent);
        item->m_widget = new TMenuWidget(this, item, parent);
    }
    return item->m_widget;
}

TMenuItem *TMenu::ItemOf(const QAction *action)
{
    return action ? qobject_cast<TMenuItem *>(action->parent()) : nullptr;
}

bool TMenu::IsTopLevel(const TMenuItem *item) const
{
    return item && item->m_parent == m_items && qobject_cast<const TMainMenu *>(this);
}

QSize TMenu::ItemSize(TMenuItem *item)
{
    if (!item->m_measuredValid) {
        QImage scratch(1, 1, QImage::Format_RGB32);
        TCanvas canvas(scratch);
        canvas.Font = TFont(SystemMenuFont(), clMenuText);
        // The system proposes the height of a line of the menu font.
        int width = 0, height = canvas.TextHeight(QString());
        item->MeasureItem(canvas, width, height);
        // Like the system, an owner-drawn item gets two average characters more room.
        const int average = QFontMetrics(SystemMenuFont()).averageCharWidth();
        width = std::max(0, width + 2 * average);
        if (IsTopLevel(item))
            height = MenuSystem::kMenuBarItemHeight;
        item->m_measured = QSize(width, std::max(0, height));
        item->m_measuredValid = true;
    }
    return item->m_measured;
}

void TMenu::DrawRequest(TMenuItem *item, TCanvas &canvas, const QRect &rect, TOwnerDrawState state)
{
    const bool topLevel = IsTopLevel(item);
    canvas.Font = TFont(SystemMenuFont(), clMenuText);
    canvas.Brush = TBrush();
    canvas.Pen = TPen();
    if ((state & ODS::SELECTED) && (!topLevel || !MenuSystem::Win98Plus())) {
        canvas.Brush.Color = clHighlight;
        canvas.Font.Color = clHighlightText;
    } else {
        canvas.Brush.Color = clMenu;
        canvas.Font.Color = MenuSystem::Win98Plus() && (state & ODS::INACTIVE) ? clGrayText : clMenuText;
    }
    item->AdvancedDrawItem(canvas, rect, state, topLevel);
}

QWidget *TMenu::widgetParent() const
{
    return widgetOf(parent());
}

void TMenu::syncItems(TMenuItem *item)
{
    if (m_loading || !item)
        return;
    assignHotkeys(item);
    const bool hasWidget = item->m_widget || item->Count() > 0;
    if (!hasWidget)
        return;
    TMenuWidget *widget = MenuWidget(item);
    QList<QAction *> wanted;
    for (TMenuItem *child : item->m_items)
        wanted << child->Action();
    if (widget->actions() != wanted) {
        for (QAction *action : widget->actions())
            widget->removeAction(action);
        widget->addActions(wanted);
    }
    for (TMenuItem *child : item->m_items) {
        child->updateAction();
        child->Action()->setMenu(child->Count() > 0 ? MenuWidget(child) : nullptr);
    }
    widget->Relayout();
}

void TMenu::syncTree(TMenuItem *item)
{
    syncItems(item);
    for (TMenuItem *child : item->m_items)
        if (child->Count() > 0 || child->m_widget)
            syncTree(child);
}

void TMenu::invalidateSizes(TMenuItem *item)
{
    item->m_measuredValid = false;
    for (TMenuItem *child : item->m_items)
        invalidateSizes(child);
}

void TMenu::relayout()
{
    std::function<void(TMenuItem *)> walk = [&](TMenuItem *item) {
        if (item->m_widget)
            item->m_widget->Relayout();
        for (TMenuItem *child : item->m_items)
            walk(child);
    };
    walk(m_items);
}

void TMenu::assignHotkeys(TMenuItem *parent)
{
    // Captions with an "&" keep theirs; the others take, when the menu chooses keys, the first
    // free letter that starts a word, else the first free letter or digit.
    std::vector<QChar> used;
    for (TMenuItem *item : parent->m_items) {
        item->m_hotkey = QChar();
        item->m_hotkeyAt = -1;
        const int at = explicitHotkey(item->m_caption);
        if (at >= 0) {
            item->m_hotkey = item->m_caption[at].toUpper();
            item->m_hotkeyAt = at;
            used.push_back(item->m_hotkey);
        }
    }
    if (!m_autoHotkeys)
        return;
    for (TMenuItem *item : parent->m_items) {
        if (!item->m_hotkey.isNull() || item->IsLine())
            continue;
        const QString &caption = item->m_caption;
        std::vector<int> candidates;
        for (int i = 0; i < caption.size(); ++i) {
            if (caption[i] == QLatin1Char('&')) {
                ++i;
                continue;
            }
            if (caption[i].isLetterOrNumber() && (i == 0 || caption[i - 1].isSpace()))
                candidates.push_back(i);
        }
        for (int i = 0; i < caption.size(); ++i) {
            if (caption[i] == QLatin1Char('&')) {
                ++i;
                continue;
            }
            if (caption[i].isLetterOrNumber())
                candidates.push_back(i);
        }
        for (int i : candidates) {
            const QChar key = caption[i].toUpper();
            if (std::find(used.begin(), used.end(), key) == used.end()) {
                item->m_hotkey = key;
                item->m_hotkeyAt = i;
                used.push_back(key);
                break;
            }
        }
    }
}

// ---- TMainMenu

TMainMenu::TMainMenu(QObject *owner) : TMenu(owner) {}

TMainMenu::~TMainMenu()
{
    // The drop-downs go with the items, before the menu bar that parents them.
    releaseItems();
}

void TMainMenu::SetWindow(QMainWindow *window)
{
    m_window = window;
    if (window)
        window->setMenuBar(MenuBar());
}

QWidget *TMainMenu::WindowHandle() const
{
    return m_window;
}

TMenuBarWidget *TMainMenu::MenuBar()
{
    if (!m_bar) {
        m_bar = new TMenuBarWidget(this, m_window ? m_window.data() : widgetOf(parent()));
        syncItems(Items());
    }
    return m_bar;
}

void TMainMenu::DrawMenuBar()
{
    if (m_bar)
        m_bar->update();
}

QWidget *TMainMenu::widgetParent() const
{
    return m_bar;
}

void TMainMenu::syncItems(TMenuItem *item)
{
    if (item != Items()) {
        TMenu::syncItems(item);
        return;
    }
    if (Loading())
        return;
    assignHotkeys(item);
    TMenuBarWidget *bar = MenuBar();
    QList<QAction *> wanted;
    for (int i = 0; i < item->Count(); ++i)
        wanted << item->Items(i)->Action();
    if (bar->actions() != wanted) {
        for (QAction *action : bar->actions())
            bar->removeAction(action);
        bar->addActions(wanted);
    }
    for (int i = 0; i < item->Count(); ++i) {
        TMenuItem *child = item->Items(i);
        child->updateAction();
        child->Action()->setMenu(child->Count() > 0 ? MenuWidget(child) : nullptr);
    }
    bar->updateHotkeys();
    bar->Relayout();
}

void TMainMenu::relayout()
{
    TMenu::relayout();
    if (m_bar)
        m_bar->Relayout();
}

// ---- TPopupMenu

TPopupMenu::TPopupMenu(QObject *owner) : TMenu(owner) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int X, int Y)
{
    if (OnPopup)
        OnPopup(this);
    syncTree(Items());
    Widget()->popup(QPoint(X, Y));
}

QWidget *TPopupMenu::widgetParent() const
{
    return widgetOf(parent());
}
