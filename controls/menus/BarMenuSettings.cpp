#include "BarMenuSettings.h"

#include "BarMenus.h"
#include "Bitmap.h"
#include "Canvas.h"

#include <type_traits>

namespace {
// Stores a new value and tells the menu; the same value again changes nothing.
template <typename Settings, typename T>
void assignIfChanged(Settings *settings, T &member, const std::type_identity_t<T> &value)
{
    if (member == value)
        return;
    member = value;
    emit settings->changed();
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

} // namespace

ERequireOwner::ERequireOwner(const char *className)
    : Exception(std::string("Tried to create ") + className + " with no owner.")
{}

EInvalidPropertyIndex::EInvalidPropertyIndex(int index)
    : Exception("Invalid property index " + std::to_string(index) + ".")
{}

// ---- TLumFont

TLumFont::TLumFont(QObject *parent) : QObject(parent)
{
    m_font = QFont(QStringLiteral("MS Sans Serif"));
    m_font.setPixelSize(11);
}

void TLumFont::change(const QFont &font)
{
    assignIfChanged(this, m_font, font);
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
    assignIfChanged(this, m_color, value);
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
    assignIfChanged(this, m_border, value);
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
    assignIfChanged(this, m_colors[index], value);
}

void TLumGradientBar::setGradientStyle(int value)
{
    assignIfChanged(this, m_style, value);
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
    assignIfChanged(this, m_transparent, value);
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
    assignIfChanged(this, m_offsetX, value);
}

void TLumBarPicture::setOffsetY(int value)
{
    assignIfChanged(this, m_offsetY, value);
}

void TLumBarPicture::setVertAlignment(int value)
{
    assignIfChanged(this, m_vert, value);
}

void TLumBarPicture::setHorzAlignment(int value)
{
    assignIfChanged(this, m_horz, value);
}

void TLumBarPicture::setVisible(bool value)
{
    assignIfChanged(this, m_visible, value);
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
    assignIfChanged(this, m_drawStyle, value);
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
    assignIfChanged(this, m_shadow, value);
}

void TLumBarCaption::setHighlightColor(TColor value)
{
    assignIfChanged(this, m_highlight, value);
}

void TLumBarCaption::setDepth(int value)
{
    assignIfChanged(this, m_depth, value);
}

void TLumBarCaption::setCaption(const QString &value)
{
    assignIfChanged(this, m_caption, value);
}

void TLumBarCaption::setOffsetY(int value)
{
    assignIfChanged(this, m_offsetY, value);
}

void TLumBarCaption::setAlignment(int value)
{
    assignIfChanged(this, m_alignment, value);
}

void TLumBarCaption::setDirection(int value)
{
    assignIfChanged(this, m_direction, value);
}

void TLumBarCaption::setVisible(bool value)
{
    assignIfChanged(this, m_visible, value);
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
    assignIfChanged(this, m_width, value);
}

void TLumBar::setSpace(int value)
{
    assignIfChanged(this, m_space, value);
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
    assignIfChanged(this, m_side, value);
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
    assignIfChanged(this, m_fade, value);
}

void TLumSeparators::setFadeWidth(int value)
{
    assignIfChanged(this, m_fadeWidth, value);
}

void TLumSeparators::setFadeColor(TColor value)
{
    assignIfChanged(this, m_fadeColor, value);
}

void TLumSeparators::setFlatLines(bool value)
{
    assignIfChanged(this, m_flatLines, value);
}

void TLumSeparators::setFont(const TLumFont *value)
{
    if (value)
        m_font->Assign(*value);
}

void TLumSeparators::setAlignment(int value)
{
    assignIfChanged(this, m_alignment, value);
}

void TLumSeparators::setSeparatorStyle(int value)
{
    assignIfChanged(this, m_separatorStyle, value);
}

void TLumSeparators::setUseSystemFont(bool value)
{
    assignIfChanged(this, m_useSystemFont, value);
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
