#include "Colors.h"

#include <QPalette>
#include <array>

namespace {
constexpr std::array<TColor, kSystemColorCount> kClassic = {
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
    0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080,
    0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000, 0xE1FFFF};

std::array<TColor, kSystemColorCount> &table()
{
    static std::array<TColor, kSystemColorCount> colors = kClassic;
    return colors;
}

struct Named
{
    const char *name;
    TColor color;
};
constexpr Named kNames[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
    {"clNone", clNone},
    {"clDefault", clDefault},
};
} // namespace

namespace SysColors {
void resetToClassic()
{
    table() = kClassic;
}

void set(TColor systemColor, TColor rgb)
{
    const TColor index = systemColor & ~kSystemColor;
    if ((systemColor & kSystemColor) && index < TColor(kSystemColorCount))
        table()[index] = rgb & 0xFFFFFF;
}

void fillFromPalette(const QPalette &p)
{
    auto from = [&](QPalette::ColorGroup g, QPalette::ColorRole r) { return fromQColor(p.color(g, r)); };
    const auto A = QPalette::Active;
    set(clBtnFace, from(A, QPalette::Button));
    set(clMenu, from(A, QPalette::Window));
    set(clWindow, from(A, QPalette::Base));
    set(clWindowText, from(A, QPalette::WindowText));
    set(clBtnText, from(A, QPalette::ButtonText));
    set(clMenuText, from(A, QPalette::WindowText));
    set(clHighlight, from(A, QPalette::Highlight));
    set(clHighlightText, from(A, QPalette::HighlightedText));
    set(clBtnShadow, from(A, QPalette::Dark));
    set(clBtnHighlight, from(A, QPalette::Light));
    set(cl3DDkShadow, from(A, QPalette::Shadow));
    set(cl3DLight, from(A, QPalette::Midlight));
    set(clGrayText, from(QPalette::Disabled, QPalette::Text));
    set(clInfoBk, from(A, QPalette::ToolTipBase));
    set(clInfoText, from(A, QPalette::ToolTipText));
}
} // namespace SysColors

TColor ColorToRGB(TColor color)
{
    if ((color & kSystemColor) != 0) {
        const TColor index = color & 0xFF;
        return index < TColor(kSystemColorCount) ? table()[index] : clBlack;
    }
    return color;
}

QColor toQColor(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor fromQColor(const QColor &color)
{
    return RGB(color.red(), color.green(), color.blue());
}

std::optional<TColor> StringToColorOpt(const QString &text)
{
    for (const Named &n : kNames) {
        if (text.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return n.color;
    }
    // Numbers as the framework writes them: decimal, or hexadecimal after '$' or '0x'.
    QString t = text.trimmed();
    bool ok = false;
    qint64 value = 0;
    if (t.startsWith(QLatin1Char('$')))
        value = t.mid(1).toLongLong(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = t.mid(2).toLongLong(&ok, 16);
    else
        value = t.toLongLong(&ok, 10);
    if (!ok || value < INT32_MIN || value > UINT32_MAX)
        return std::nullopt;
    return TColor(std::uint32_t(value));
}

QString ColorToString(TColor color)
{
    for (const Named &n : kNames) {
        if (n.color == color)
            return QLatin1String(n.name);
    }
    return QLatin1Char('$') + QStringLiteral("%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}
