#include "NoxSkinBtn.h"

#include "Application.h"
#include "Canvas.h"
#include "Dialogs.h"

#include <QAccessible>
#include <QBuffer>
#include <QEvent>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QPainter>

TButtonSkin::TButtonSkin(QObject *parent) : QObject(parent) {}

bool TButtonSkin::IsValidSkin(const QString &fileName)
{
    TBitmap bitmap;
    try {
        bitmap.LoadFromFile(fileName);
    } catch (const std::exception &) {
        return false;
    }
    return !bitmap.Empty() && bitmap.Height() % 4 == 0;
}

void TButtonSkin::ApplySkinFile(const QString &fileName)
{
    if (!fileName.isEmpty() && !IsValidSkin(fileName)) {
        Dialogs().ShowMessage(QStringLiteral("Bitmap is not valid skin bitmap"));
        return;
    }
    m_skinBitmap = fileName;
    if (m_button)
        m_button->ReloadSkin();
}

void TButtonSkin::Assign(const TButtonSkin &other)
{
    m_shape = other.m_shape;
    ApplySkinFile(other.m_skinBitmap);
}

TNoxSkinBtn::TNoxSkinBtn(QWidget *parent) : QWidget(parent), m_buttonSkin(new TButtonSkin(this))
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    m_skin = std::make_unique<TBitmap>();
    m_skin->LoadFromResourceName(QStringLiteral("DEFAULT_SKIN"));
    m_buttonSkin->setButton(this);
    m_loading = FormLoading::Active();
    watchParent();
    SetBounds(x(), y(), 50, 16);
}

TNoxSkinBtn::~TNoxSkinBtn() = default;

void TNoxSkinBtn::Loaded()
{
    m_loading = false;
    if (m_face.Width() != width())
        ComposeFace();
}

void TNoxSkinBtn::watchParent()
{
    if (m_watchedParent == parentWidget())
        return;
    if (m_watchedParent)
        m_watchedParent->removeEventFilter(this);
    m_watchedParent = parentWidget();
    if (m_watchedParent)
        m_watchedParent->installEventFilter(this);
}

void TNoxSkinBtn::setCaption(const QString &caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    Invalidate();
    // A screen reader reads the new caption.
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void TNoxSkinBtn::setFontColor(TColor color)
{
    if (m_fontColor == color)
        return;
    m_fontColor = color;
    Invalidate();
}

QSize TNoxSkinBtn::sizeByRule(int width, int height) const
{
    const int w = m_skin->Width(), h = m_skin->Height();
    switch (m_buttonSkin->ButtonShape()) {
    case 1:
        return QSize(w, h / 4 + 1);
    case 0:
    case 2:
        return QSize(width, (h - 4) / 4 + 1);
    default:
        return QSize(width, height);
    }
}

void TNoxSkinBtn::SetBounds(int left, int top, int width, int height)
{
    const QSize size = sizeByRule(width, height).expandedTo(QSize(0, 0));
    m_applyingRule = true;
    setGeometry(left, top, size.width(), size.height());
    m_applyingRule = false;
    if (!m_loading)
        ComposeFace();
}

void TNoxSkinBtn::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_applyingRule)
        return;
    // A resize from outside goes through the same rule as SetBounds.
    const QSize wanted = sizeByRule(width(), height());
    if (wanted != size() || (!m_loading && m_face.Width() != width()))
        SetBounds(x(), y(), width(), height());
}

void TNoxSkinBtn::ReloadSkin()
{
    auto skin = std::make_unique<TBitmap>();
    if (!m_buttonSkin->SkinBitmap().isEmpty())
        skin->LoadFromFile(m_buttonSkin->SkinBitmap());
    else
        skin->LoadFromResourceName(QStringLiteral("DEFAULT_SKIN"));
    m_skin = std::move(skin);
    SetBounds(x(), y(), width(), (m_skin->Height() - 4) / 4);
}

TColor TNoxSkinBtn::ParentColor() const
{
    const QWidget *parent = parentWidget();
    if (!parent)
        return clBtnFace;
    auto toColor = [](const QVariant &value, TColor &out) {
        if (value.metaType().id() == QMetaType::QColor) {
            out = fromQColor(value.value<QColor>());
            return true;
        }
        bool ok = false;
        const qlonglong number = value.toLongLong(&ok);
        if (ok)
            out = TColor(std::uint32_t(number));
        return ok;
    };
    const QMetaObject *meta = parent->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (QString::fromLatin1(property.name()).compare(QLatin1String("color"), Qt::CaseInsensitive) == 0) {
            TColor color;
            if (toColor(property.read(parent), color))
                return color;
            return clBtnFace;
        }
    }
    for (const QByteArray &name : parent->dynamicPropertyNames()) {
        if (QString::fromLatin1(name).compare(QLatin1String("color"), Qt::CaseInsensitive) == 0) {
            TColor color;
            if (toColor(parent->property(name.constData()), color))
                return color;
        }
    }
    return clBtnFace;
}

void TNoxSkinBtn::ComposeFace()
{
    if (width() == 0 || height() == 0 || !parentWidget())
        return;
    const int W = m_skin->Width(), H = m_skin->Height();
    m_face.SetSize(width(), H);
    TCanvas &face = m_face.Canvas();
    face.Brush = TBrush{};
    face.Brush.Color = clBtnFace;
    face.FillRect(QRect(0, 0, width(), H));
    const int shape = m_buttonSkin->ButtonShape();
    const QImage &skin = m_skin->Image();
    if (shape == 0 || shape == 2) {
        const int b = W / 3;
        if (b == 0) {
            // Too narrow to cut into caps and a middle: the skin is stretched across the button.
            face.StretchDraw(QRect(0, 0, width(), H), skin);
        } else {
            const int n = width() / b + 1;
            for (int i = 0; i <= n; ++i)
                face.CopyRect(QRect(b * i, 0, b, H), skin, QRect(b, 0, b, H));
            face.CopyRect(QRect(0, 0, b, H), skin, QRect(0, 0, b, H));
            face.CopyRect(QRect(width() - b, 0, b, H), skin, QRect(W - b, 0, b, H));
        }
    } else if (shape == 1) {
        face.StretchDraw(QRect(0, 0, width(), H), skin);
    }
    if (shape == 1 || shape == 2 || m_buttonSkin->SkinBitmap().isEmpty()) {
        const TColor key = face.Pixel(0, 0);
        face.Brush.Color = ParentColor();
        const int fw = m_face.Width(), fh = m_face.Height();
        const QPoint points[] = {{0, 0},      {fw - 1, 0},      {0, fh / 4},     {fw - 1, fh / 4},
                                 {0, fh / 2}, {fw - 1, fh / 2}, {0, 3 * fh / 4}, {fw - 1, 3 * fh / 4},
                                 {0, fh - 1}, {fw - 1, fh - 1}};
        for (const QPoint &p : points)
            face.FloodFill(p.x(), p.y(), key, TFillStyle::fsSurface);
    }
    Invalidate();
}

QImage TNoxSkinBtn::Render() const
{
    QImage image;
    renderInto(image);
    return image;
}

void TNoxSkinBtn::renderInto(QImage &image) const
{
    if (image.size() != size())
        image = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    TCanvas canvas(image);
    const int bw = width(), bh = height();
    const int shape = m_buttonSkin->ButtonShape();
    if (shape == 2) {
        canvas.SetClipRegion(m_pressed ? Regions::roundRect(2, 1, bw - 1, bh - 1, 14, 14)
                                       : Regions::roundRect(1, 1, bw - 1, bh, 15, 12));
    } else if (shape == 1) {
        canvas.SetClipRegion(Regions::ellipse(0, 0, bw + 1, bh + 1));
    }
    const int fh = m_face.Height();
    int y = 0;
    if (!isEnabled())
        y = -(3 * fh / 4);
    else if (m_hover && m_pressed)
        y = -(fh / 2);
    else if (m_hover)
        y = -(fh / 4);
    canvas.Draw(0, y, m_face.Image());
    canvas.ClearClipRegion();
    DrawCaption(canvas);
}

void TNoxSkinBtn::Invalidate()
{
    m_paintBufferValid = false;
    update();
}

void TNoxSkinBtn::DrawCaption(TCanvas &canvas) const
{
    QRect rect(0, 1, width(), height() - 3);
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Font = TFont(font(), m_fontColor);
    const unsigned flags = DT::SINGLELINE | DT::CENTER | DT::VCENTER;
    if (isEnabled()) {
        canvas.DrawText(m_caption, rect, flags);
    } else {
        QRect moved = rect.translated(1, 1);
        canvas.Font.Color = clBtnHighlight;
        canvas.DrawText(m_caption, moved, flags);
        canvas.Font.Color = clBtnShadow;
        canvas.DrawText(m_caption, rect, flags);
    }
}

void TNoxSkinBtn::paintEvent(QPaintEvent *)
{
    if (!m_paintBufferValid || m_paintBuffer.size() != size()) {
        renderInto(m_paintBuffer);
        m_paintBufferValid = true;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_paintBuffer);
}

void TNoxSkinBtn::setHover(bool hover)
{
    if (m_hover == hover)
        return;
    m_hover = hover;
    Invalidate();
}

bool TNoxSkinBtn::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        setHover(true);
        break;
    case QEvent::Leave:
        setHover(false);
        break;
    case QEvent::ParentChange:
        watchParent();
        ComposeFace();
        break;
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
        Invalidate();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool TNoxSkinBtn::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedParent &&
        (event->type() == QEvent::PaletteChange || event->type() == QEvent::DynamicPropertyChange))
        ComposeFace();
    return QWidget::eventFilter(watched, event);
}

void TNoxSkinBtn::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        Invalidate();
    }
    emit OnMouseDown(event->button(), event->position().toPoint());
}

void TNoxSkinBtn::mouseMoveEvent(QMouseEvent *event)
{
    // While the button holds the mouse, leaving and coming back are told by the position.
    if (event->buttons() & Qt::LeftButton)
        setHover(rect().contains(event->position().toPoint()));
    QWidget::mouseMoveEvent(event);
}

void TNoxSkinBtn::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = m_pressed && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton) {
        m_pressed = false;
        Invalidate();
    }
    emit OnMouseUp(event->button(), event->position().toPoint());
    if (wasPressed && isEnabled() && rect().contains(event->position().toPoint()))
        emit OnClick();
}

void TNoxSkinBtn::ReadSkinImage(QIODevice &stream)
{
    m_face.LoadFromStream(stream);
    Invalidate();
}

void TNoxSkinBtn::WriteSkinImage(QIODevice &stream) const
{
    m_face.SaveToStream(stream);
}

QByteArray TNoxSkinBtn::skinImageBytes() const
{
    return m_face.SaveToBytes();
}

void TNoxSkinBtn::setSkinImageBytes(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    ReadSkinImage(buffer);
}
