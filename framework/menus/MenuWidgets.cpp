#include "MenuWidgets.h"

#include "Errors.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <optional>
#include <unordered_map>

namespace {
// How a dividing line between two columns is drawn: a shadow and a highlight column of pixels.
constexpr int kBarBreakWidth = 2;
// The arrow of an item with a sub-menu, from the item's right edge.
constexpr int kArrowInset = 12;

std::unordered_map<const TCanvas *, QPointer<QWidget>> &canvases()
{
    static std::unordered_map<const TCanvas *, QPointer<QWidget>> map;
    return map;
}

bool g_keyboard = false;

// Watches what the user did last: the menus show their access keys only after a key.
class InputWatcher : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
            g_keyboard = true;
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            g_keyboard = false;
            break;
        default:
            break;
        }
        return false;
    }
};

void watchInput()
{
    static bool installed = false;
    if (installed || !qApp)
        return;
    installed = true;
    qApp->installEventFilter(new InputWatcher(qApp));
}

// Sizes and metrics of the owner-drawn menus, and the habits of the menus of the program's
// home system: disabled items can be selected, the selection wraps, nothing flashes or fades.
class TMenuStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (auto *menu = qobject_cast<const TMenuWidget *>(widget); menu && menu->OwnerDrawn()) {
            switch (metric) {
            case PM_MenuPanelWidth:
                return TMenuWidget::kFrameWidth;
            case PM_MenuHMargin:
            case PM_MenuVMargin:
            case PM_MenuDesktopFrameWidth:
            case PM_MenuTearoffHeight:
                return 0;
            default:
                break;
            }
        }
        if (auto *bar = qobject_cast<const TMenuBarWidget *>(widget); bar && bar->OwnerDrawn()) {
            switch (metric) {
            case PM_MenuBarPanelWidth:
            case PM_MenuBarItemSpacing:
            case PM_MenuBarHMargin:
            case PM_MenuBarVMargin:
                return 0;
            default:
                break;
            }
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override
    {
        if (type == CT_MenuItem)
            if (auto *menu = qobject_cast<const TMenuWidget *>(widget); menu && menu->OwnerDrawn())
                return menu->qtItemSize();
        if (type == CT_MenuBarItem)
            if (auto *bar = qobject_cast<const TMenuBarWidget *>(widget); bar && bar->OwnerDrawn())
                return bar->qtItemSize();
        if (type == CT_Menu)
            if (auto *menu = qobject_cast<const TMenuWidget *>(widget); menu && menu->OwnerDrawn())
                return size;
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        switch (hint) {
        case SH_Menu_AllowActiveAndDisabled:
        case SH_Menu_SelectionWrap:
        case SH_MenuBar_AltKeyNavigation:
        case SH_Menu_SpaceActivatesItem:
        case SH_Menu_MouseTracking:
        case SH_MenuBar_MouseTracking:
            return 1;
        case SH_Menu_Scrollable:
        case SH_Menu_FlashTriggeredItem:
        case SH_Menu_FadeOutOnHide:
        case SH_Menu_KeyboardSearch:
        case SH_Menu_SupportsSections:
        case SH_MainWindow_SpaceBelowMenuBar:
            return 0;
        default:
            return QProxyStyle::styleHint(hint, option, widget, returnData);
        }
    }
};

QStyle *menuStyle()
{
    static QPointer<TMenuStyle> style;
    if (!style) {
        style = new TMenuStyle;
        style->setParent(qApp);
    }
    return style;
}

void reportLater(const std::exception &error)
{
    if (dynamic_cast<const EAbort *>(&error))
        return;
    // Not from inside a paint event: the error box runs an event loop of its own.
    const std::string message = error.what();
    QTimer::singleShot(0, [message] { handleException(Exception(message)); });
}

// The size of an item, measured by the program's handlers. An error they raise must not unwind
// through Qt's layout code, which asks for the sizes: it is reported after the event, and the item
// stays unmeasured, so that it is measured again the next time its size is asked for. A menu window
// that cannot be laid out is closed before the error shows, rather than asking again on every paint.
std::optional<QSize> guardedItemSize(TMenu &menu, TMenuItem *item, QWidget *menuWindow = nullptr)
{
    // Qt asks for the sizes many times in one event: one box for them, not one per question.
    static bool reportPending = false;
    try {
        return menu.ItemSize(item);
    } catch (const std::exception &error) {
        if (!reportPending && !dynamic_cast<const EAbort *>(&error)) {
            reportPending = true;
            QTimer::singleShot(0,
                               [message = std::string(error.what()), window = QPointer<QWidget>(menuWindow)] {
                                   reportPending = false;
                                   if (window)
                                       window->close();
                                   handleException(Exception(message));
                               });
        }
    }
    return std::nullopt;
}

// A menu window or a menu bar takes the menus' font and has Qt lay its items out anew, asking their
// sizes again and resizing it where it shows. `baseChange` is the Qt class's own changeEvent.
void relayout(QWidget &widget, TMenu &menu, const std::function<void(QEvent *)> &baseChange)
{
    const QFont font = menu.SystemMenuFont();
    if (font != widget.font())
        widget.setFont(font);
    QEvent styleChange(QEvent::StyleChange);
    baseChange(&styleChange);
    widget.updateGeometry();
    widget.update();
}

QColor qcolor(TColor color)
{
    return toQColor(color);
}
} // namespace

namespace MenuWindows {
QWidget *WindowFromCanvas(const TCanvas &canvas)
{
    const auto it = canvases().find(&canvas);
    return it == canvases().end() ? nullptr : it->second.data();
}

void RegisterCanvas(const TCanvas *canvas, QWidget *window)
{
    canvases()[canvas] = window;
}

void UnregisterCanvas(const TCanvas *canvas)
{
    canvases().erase(canvas);
}

QRect ClientRect(const QWidget *window)
{
    if (!window)
        return {};
    if (qobject_cast<const TMenuWidget *>(window)) {
        const int fw = TMenuWidget::kFrameWidth;
        return QRect(0, 0, std::max(0, window->width() - 2 * fw), std::max(0, window->height() - 2 * fw));
    }
    return QRect(QPoint(0, 0), window->size());
}

bool IsLayered(const QWidget *window)
{
    return window && window->property("lumLayered").toBool();
}

void SetLayered(QWidget *window, bool layered)
{
    if (!window)
        return;
    window->setProperty("lumLayered", layered);
    if (!layered)
        window->setWindowOpacity(1.0);
}

void SetLayeredAlpha(QWidget *window, int alpha)
{
    if (window && IsLayered(window))
        window->setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
}

quintptr UserData(const QWidget *window)
{
    return window ? window->property("lumUserData").value<quintptr>() : 0;
}

void SetUserData(QWidget *window, quintptr data)
{
    if (window)
        window->setProperty("lumUserData", QVariant::fromValue(data));
}

void SetRegion(QWidget *window, const QRect &rect)
{
    if (window)
        window->setMask(QRegion(rect));
}

void ClearRegion(QWidget *window)
{
    if (window)
        window->clearMask();
}

std::unique_ptr<TCanvas> WindowCanvas(QWidget *window)
{
    if (auto *menu = qobject_cast<TMenuWidget *>(window)) {
        QImage &image = menu->WindowImage();
        if (image.size() != menu->size()) {
            image = QImage(menu->size(), QImage::Format_RGB32);
            image.fill(qcolor(clMenu));
        }
        return std::make_unique<TCanvas>(image);
    }
    return nullptr;
}

bool LastInputWasKeyboard()
{
    return g_keyboard;
}
} // namespace MenuWindows

// ---- TMenuWidget

TMenuWidget::TMenuWidget(TMenu *menu, TMenuItem *item, QWidget *parent)
    : QMenu(parent), m_menu(menu), m_item(item)
{
    watchInput();
    setObjectName(item->objectName());
    setStyle(menuStyle());
    setSeparatorsCollapsible(false);
    setFont(menu->SystemMenuFont());
    // Qt repaints the rectangles of its own single column; with columns of ours all is repainted.
    connect(this, &QMenu::hovered, this, [this] {
        if (ColumnCount() > 1)
            update();
    });
}

TMenuWidget::~TMenuWidget() = default;

bool TMenuWidget::OwnerDrawn() const
{
    return m_menu->OwnerDraw();
}

void TMenuWidget::setKeyboardCues(bool value)
{
    if (value == m_keyboardCues)
        return;
    m_keyboardCues = value;
    update();
}

void TMenuWidget::Relayout()
{
    m_layoutValid = false;
    relayout(*this, *m_menu, [this](QEvent *event) { QMenu::changeEvent(event); });
}

void TMenuWidget::ensureLayout() const
{
    if (m_layoutValid)
        return;
    m_slots.clear();
    m_barBreaks.clear();
    int x = 0, y = 0, column = 0, columnWidth = 0, height = 0;
    std::size_t columnStart = 0;
    auto closeColumn = [&] {
        for (std::size_t i = columnStart; i < m_slots.size(); ++i)
            m_slots[i].rect.setWidth(columnWidth);
        height = std::max(height, y);
    };
    for (int i = 0; i < m_item->Count(); ++i) {
        TMenuItem *child = m_item->Items(i);
        if (!child->Visible())
            continue;
        const std::optional<QSize> measured =
            guardedItemSize(*m_menu, child, const_cast<TMenuWidget *>(this));
        if (!measured) {
            // Nothing half-built: the menu shows empty and is laid out again when next asked.
            m_slots.clear();
            m_barBreaks.clear();
            m_clientSize = QSize();
            return;
        }
        const QSize size = *measured;
        if (child->Break() != mbNone && !m_slots.empty()) {
            closeColumn();
            x += columnWidth;
            if (child->Break() == mbBarBreak) {
                m_barBreaks.push_back(x);
                x += kBarBreakWidth;
            }
            y = 0;
            columnWidth = 0;
            columnStart = m_slots.size();
            ++column;
        }
        m_slots.push_back({child, QRect(x, y, size.width(), size.height()), column});
        y += size.height();
        columnWidth = std::max(columnWidth, size.width());
    }
    closeColumn();
    m_clientSize = QSize(x + columnWidth, height);
    m_layoutValid = true;
}

int TMenuWidget::ColumnCount() const
{
    ensureLayout();
    return m_slots.empty() ? 1 : m_slots.back().column + 1;
}

const TMenuWidget::Slot *TMenuWidget::slotOf(const TMenuItem *item) const
{
    ensureLayout();
    for (const Slot &slot : m_slots)
        if (slot.item == item)
            return &slot;
    return nullptr;
}

const TMenuWidget::Slot *TMenuWidget::slotAt(const QPoint &clientPos) const
{
    ensureLayout();
    for (const Slot &slot : m_slots)
        if (slot.rect.contains(clientPos))
            return &slot;
    return nullptr;
}

QRect TMenuWidget::ItemRect(const TMenuItem *item) const
{
    const Slot *slot = slotOf(item);
    return slot ? slot->rect.translated(kFrameWidth, kFrameWidth) : QRect();
}

QSize TMenuWidget::sizeHint() const
{
    if (!OwnerDrawn())
        return QMenu::sizeHint();
    ensureLayout();
    return m_clientSize + QSize(2 * kFrameWidth, 2 * kFrameWidth);
}

int TMenuWidget::qtShortcutColumn() const
{
    // QMenu widens its items by the widest shortcut text of the menu's font; the laid-out width
    // already holds the shortcut.
    const QFontMetrics metrics = fontMetrics();
    int widest = 0;
    for (const QAction *action : actions()) {
        if (!action->isVisible() || action->isSeparator() || action->shortcut().isEmpty())
            continue;
        widest = std::max(widest,
                          metrics.horizontalAdvance(action->shortcut().toString(QKeySequence::NativeText)));
    }
    return widest;
}

QSize TMenuWidget::qtItemSize() const
{
    const Slot *slot = slotOf(TMenu::ItemOf(m_styled));
    if (!slot)
        return QSize(0, 0);
    return QSize(std::max(1, slot->rect.width() - qtShortcutColumn()), slot->rect.height());
}

void TMenuWidget::initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const
{
    QMenu::initStyleOption(option, action);
    m_styled = action;
}

TOwnerDrawState TMenuWidget::stateOf(TMenuItem *item) const
{
    TOwnerDrawState state = 0;
    if (item->HasAction() && activeAction() == item->Action())
        state |= ODS::SELECTED;
    if (!item->Enabled())
        state |= ODS::GRAYED | ODS::DISABLED;
    if (item->Checked())
        state |= ODS::CHECKED;
    if (item->Default())
        state |= ODS::DEFAULT;
    if (!m_keyboardCues)
        state |= ODS::NOACCEL;
    return state;
}

void TMenuWidget::paintFrame(TCanvas &canvas)
{
    QRect frame(0, 0, width(), height());
    canvas.DrawEdge(frame, Edge::RAISED, Edge::RECT);
    canvas.Brush = TBrush();
    canvas.Brush.Color = clMenu;
    canvas.FrameRect(frame.adjusted(2, 2, -2, -2));
}

void TMenuWidget::paintEvent(QPaintEvent *event)
{
    if (!OwnerDrawn()) {
        QMenu::paintEvent(event);
        return;
    }
    ensureLayout();
    if (m_window.size() != size()) {
        m_window = QImage(size(), QImage::Format_RGB32);
        m_window.fill(qcolor(clMenu));
    }
    const int fw = kFrameWidth;
    const QRect clientArea(fw, fw, m_clientSize.width(), m_clientSize.height());
    const QRect dirty = event->rect();
    {
        TCanvas window(m_window);
        if (!clientArea.contains(dirty))
            paintFrame(window);
        // What no item covers shows the menu's colour; the dividing lines of the columns.
        QRegion empty = QRegion(clientArea) & QRegion(dirty);
        for (const Slot &slot : m_slots)
            empty -= QRegion(slot.rect.translated(fw, fw));
        window.Brush.Color = clMenu;
        window.FillRegion(empty);
        for (int x : m_barBreaks) {
            for (int y = fw; y < fw + m_clientSize.height(); ++y) {
                window.SetPixel(fw + x, y, clBtnShadow);
                window.SetPixel(fw + x + 1, y, clBtnHighlight);
            }
        }
    }
    if (clientArea.width() > 0 && clientArea.height() > 0) {
        QImage client(m_window.bits() + fw * m_window.bytesPerLine() + fw * 4, clientArea.width(),
                      clientArea.height(), m_window.bytesPerLine(), QImage::Format_RGB32);
        for (const Slot &slot : m_slots) {
            if (!dirty.intersects(slot.rect.translated(fw, fw)))
                continue;
            TCanvas canvas(client);
            // The window shows its colour where an item paints nothing.
            canvas.Brush.Color = clMenu;
            canvas.FillRect(slot.rect);
            const TOwnerDrawState state = stateOf(slot.item);
            MenuWindows::RegisterCanvas(&canvas, this);
            try {
                m_menu->DrawRequest(slot.item, canvas, slot.rect, state);
            } catch (const std::exception &error) {
                reportLater(error);
            }
            MenuWindows::UnregisterCanvas(&canvas);
            if (slot.item->Count() > 0) {
                // The arrow of a sub-menu, in the colour of the item's text.
                const TColor colour = !slot.item->Enabled()          ? clGrayText
                                      : (state & ODS::SELECTED) != 0 ? clHighlightText
                                                                     : clMenuText;
                const int ax = slot.rect.right() + 1 - kArrowInset;
                const int cy = slot.rect.top() + slot.rect.height() / 2;
                for (int i = 0; i < 4; ++i)
                    for (int y = cy - 3 + i; y <= cy + 3 - i; ++y)
                        canvas.SetPixel(ax + i, y, colour);
            }
        }
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_window);
}

void TMenuWidget::forwardMouse(QMouseEvent *event)
{
    auto handle = [this](QMouseEvent *e) {
        switch (e->type()) {
        case QEvent::MouseMove:
            QMenu::mouseMoveEvent(e);
            break;
        case QEvent::MouseButtonPress:
            QMenu::mousePressEvent(e);
            break;
        default:
            QMenu::mouseReleaseEvent(e);
            break;
        }
    };
    const QPoint pos = event->position().toPoint();
    if (!OwnerDrawn() || ColumnCount() <= 1 || !rect().contains(pos)) {
        handle(event);
        return;
    }
    // Over the menu's own columns the menu follows the mouse itself; Qt's rectangles are those of
    // one column. Enter on the item runs it as Qt runs a clicked one, closing the menus.
    const Slot *slot = slotAt(pos - QPoint(kFrameWidth, kFrameWidth));
    QAction *action = slot && !slot->item->IsLine() ? slot->item->Action() : nullptr;
    if (event->type() == QEvent::MouseMove && action != activeAction()) {
        setActiveAction(action);
    } else if (event->type() == QEvent::MouseButtonRelease && action && action->isEnabled() &&
               !action->menu()) {
        setActiveAction(action);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QMenu::keyPressEvent(&enter);
    }
    event->accept();
    update();
}

void TMenuWidget::mouseMoveEvent(QMouseEvent *event)
{
    forwardMouse(event);
}

void TMenuWidget::mousePressEvent(QMouseEvent *event)
{
    forwardMouse(event);
}

void TMenuWidget::mouseReleaseEvent(QMouseEvent *event)
{
    forwardMouse(event);
}

bool TMenuWidget::handleHotkey(QKeyEvent *event)
{
    const QString text = event->text();
    if (text.size() != 1 ||
        (event->modifiers() & ~(Qt::ShiftModifier | Qt::AltModifier | Qt::KeypadModifier)))
        return false;
    const QChar key = text[0].toUpper();
    if (!key.isLetterOrNumber())
        return false;
    std::vector<TMenuItem *> matches;
    for (int i = 0; i < m_item->Count(); ++i) {
        TMenuItem *child = m_item->Items(i);
        if (child->Visible() && !child->IsLine() && child->Hotkey() == key)
            matches.push_back(child);
    }
    if (matches.empty())
        return false;
    TMenuItem *target = matches.front();
    if (matches.size() > 1) {
        // Several items share the key: each press selects the next of them.
        const auto current = std::find(matches.begin(), matches.end(), TMenu::ItemOf(activeAction()));
        if (current != matches.end() && current + 1 != matches.end())
            target = *(current + 1);
        setActiveAction(target->Action());
        return true;
    }
    setActiveAction(target->Action());
    if (QMenu *sub = target->Action()->menu()) {
        for (QAction *action : sub->actions())
            if (action->isVisible() && !action->isSeparator()) {
                sub->setActiveAction(action);
                break;
            }
        return true;
    }
    if (target->Enabled()) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QMenu::keyPressEvent(&enter);
    }
    return true;
}

bool TMenuWidget::handleColumnKey(QKeyEvent *event)
{
    int step = event->key() == Qt::Key_Right ? 1 : event->key() == Qt::Key_Left ? -1 : 0;
    if (step == 0 || ColumnCount() <= 1)
        return false;
    if (isRightToLeft())
        step = -step;
    const Slot *current = slotOf(TMenu::ItemOf(activeAction()));
    if (!current || (step > 0 && current->item->Count() > 0))
        return false;
    const int column = current->column + step;
    const int centre = current->rect.center().y();
    const Slot *best = nullptr;
    for (const Slot &slot : m_slots) {
        if (slot.column != column || slot.item->IsLine())
            continue;
        if (!best || std::abs(slot.rect.center().y() - centre) < std::abs(best->rect.center().y() - centre))
            best = &slot;
    }
    if (!best)
        return false;
    setActiveAction(best->item->Action());
    update();
    return true;
}

void TMenuWidget::keyPressEvent(QKeyEvent *event)
{
    setKeyboardCues(true);
    if (OwnerDrawn() && (handleHotkey(event) || handleColumnKey(event)))
        return;
    QMenu::keyPressEvent(event);
    if (OwnerDrawn() && ColumnCount() > 1)
        update();
}

void TMenuWidget::showEvent(QShowEvent *event)
{
    m_keyboardCues = MenuWindows::LastInputWasKeyboard();
    // A sub-menu of an item in a later column opens beside that item, not where Qt's single
    // column would have it.
    if (auto *parentMenu = qobject_cast<TMenuWidget *>(parentWidget());
        parentMenu && parentMenu->OwnerDrawn() && parentMenu->ColumnCount() > 1) {
        const QRect item = parentMenu->ItemRect(m_item);
        if (!item.isNull())
            move(parentMenu->mapToGlobal(QPoint(item.right() + 1, item.top() - kFrameWidth)));
    }
    QMenu::showEvent(event);
}

void TMenuWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_layoutValid = false;
    QMenu::changeEvent(event);
}

// ---- TMenuBarWidget

TMenuBarWidget::TMenuBarWidget(TMenu *menu, QWidget *parent) : QMenuBar(parent), m_menu(menu)
{
    watchInput();
    setObjectName(QStringLiteral("MenuBar"));
    setNativeMenuBar(false);
    setStyle(menuStyle());
    setFont(menu->SystemMenuFont());
}

bool TMenuBarWidget::OwnerDrawn() const
{
    return m_menu->OwnerDraw();
}

bool TMenuBarWidget::KeyboardCues() const
{
    return MenuWindows::LastInputWasKeyboard() && (hasFocus() || activeAction());
}

QSize TMenuBarWidget::qtItemSize() const
{
    TMenuItem *item = TMenu::ItemOf(m_styled);
    return item ? guardedItemSize(*m_menu, item).value_or(QSize(0, 0)) : QSize(0, 0);
}

void TMenuBarWidget::Relayout()
{
    relayout(*this, *m_menu, [this](QEvent *event) { QMenuBar::changeEvent(event); });
}

void TMenuBarWidget::updateHotkeys()
{
    for (const auto &[id, action] : m_hotkeys)
        releaseShortcut(id);
    m_hotkeys.clear();
    for (QAction *action : actions()) {
        TMenuItem *item = TMenu::ItemOf(action);
        // Captions with an "&" have theirs from Qt already.
        if (!item || item->Hotkey().isNull() || item->HotkeyCaption() == item->Caption())
            continue;
        const QKeySequence sequence(QKeyCombination(Qt::AltModifier, Qt::Key(item->Hotkey().unicode())));
        m_hotkeys.emplace_back(grabShortcut(sequence, Qt::WindowShortcut), action);
    }
}

void TMenuBarWidget::initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const
{
    QMenuBar::initStyleOption(option, action);
    m_styled = action;
}

void TMenuBarWidget::paintEvent(QPaintEvent *event)
{
    if (!OwnerDrawn()) {
        QMenuBar::paintEvent(event);
        return;
    }
    if (m_image.size() != size())
        m_image = QImage(size(), QImage::Format_RGB32);
    {
        TCanvas canvas(m_image);
        canvas.Brush.Color = clMenu;
        canvas.FillRect(m_image.rect());
    }
    const bool cues = KeyboardCues();
    // A menu of the window that is open keeps the window active, as the system's menus do.
    const bool inactive = !window()->isActiveWindow() && !QApplication::activePopupWidget();
    for (QAction *action : actions()) {
        TMenuItem *item = TMenu::ItemOf(action);
        const QRect r = actionGeometry(action);
        if (!item || r.isNull() || !action->isVisible())
            continue;
        QStyleOptionMenuItem option;
        QMenuBar::initStyleOption(&option, action);
        TOwnerDrawState state = 0;
        if (option.state & QStyle::State_Sunken)
            state |= ODS::SELECTED;
        else if (option.state & QStyle::State_Selected)
            state |= ODS::HOTLIGHT;
        if (!item->Enabled())
            state |= ODS::GRAYED | ODS::DISABLED;
        if (item->Checked())
            state |= ODS::CHECKED;
        if (item->Default())
            state |= ODS::DEFAULT;
        if (inactive)
            state |= ODS::INACTIVE;
        if (!cues)
            state |= ODS::NOACCEL;
        TCanvas canvas(m_image);
        canvas.Brush.Color = clMenu;
        canvas.FillRect(r);
        // The items of a menu bar paint on the window the bar belongs to.
        MenuWindows::RegisterCanvas(&canvas, window());
        try {
            m_menu->DrawRequest(item, canvas, r, state);
        } catch (const std::exception &error) {
            reportLater(error);
        }
        MenuWindows::UnregisterCanvas(&canvas);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}

void TMenuBarWidget::openByKeyboard(QAction *action)
{
    if (!action->isEnabled())
        return;
    setActiveAction(action);
    if (QMenu *menu = action->menu()) {
        for (QAction *first : menu->actions())
            if (first->isVisible() && !first->isSeparator()) {
                menu->setActiveAction(first);
                break;
            }
    }
    update();
}

void TMenuBarWidget::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    if (text.size() == 1 && !(event->modifiers() & ~(Qt::AltModifier | Qt::ShiftModifier))) {
        const QChar key = text[0].toUpper();
        for (QAction *action : actions()) {
            TMenuItem *item = TMenu::ItemOf(action);
            if (item && action->isVisible() && item->Hotkey() == key &&
                item->HotkeyCaption() != item->Caption()) {
                openByKeyboard(action);
                return;
            }
        }
    }
    QMenuBar::keyPressEvent(event);
    update();
}

void TMenuBarWidget::mousePressEvent(QMouseEvent *event)
{
    QMenuBar::mousePressEvent(event);
    update();
}

bool TMenuBarWidget::event(QEvent *event)
{
    // The items of an inactive window are painted grey.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)
        update();
    if (event->type() == QEvent::Shortcut) {
        const int id = static_cast<QShortcutEvent *>(event)->shortcutId();
        for (const auto &[hotkey, action] : m_hotkeys)
            if (hotkey == id) {
                openByKeyboard(action);
                return true;
            }
    }
    return QMenuBar::event(event);
}
