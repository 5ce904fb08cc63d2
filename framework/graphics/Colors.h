#pragma once
// Colours as the program stores them: 0x00BBGGRR, or a system colour by index with the top bit set,
// resolved through one table that the application fills from its palette and tests fix.

#include <QColor>
#include <QString>
#include <cstdint>
#include <optional>

class QPalette;

using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor kSystemColor = 0x80000000;
constexpr TColor clScrollBar = kSystemColor | 0;
constexpr TColor clBackground = kSystemColor | 1;
constexpr TColor clActiveCaption = kSystemColor | 2;
constexpr TColor clInactiveCaption = kSystemColor | 3;
constexpr TColor clMenu = kSystemColor | 4;
constexpr TColor clWindow = kSystemColor | 5;
constexpr TColor clWindowFrame = kSystemColor | 6;
constexpr TColor clMenuText = kSystemColor | 7;
constexpr TColor clWindowText = kSystemColor | 8;
constexpr TColor clCaptionText = kSystemColor | 9;
constexpr TColor clActiveBorder = kSystemColor | 10;
constexpr TColor clInactiveBorder = kSystemColor | 11;
constexpr TColor clAppWorkSpace = kSystemColor | 12;
constexpr TColor clHighlight = kSystemColor | 13;
constexpr TColor clHighlightText = kSystemColor | 14;
constexpr TColor clBtnFace = kSystemColor | 15;
constexpr TColor clBtnShadow = kSystemColor | 16;
constexpr TColor clGrayText = kSystemColor | 17;
constexpr TColor clBtnText = kSystemColor | 18;
constexpr TColor clInactiveCaptionText = kSystemColor | 19;
constexpr TColor clBtnHighlight = kSystemColor | 20;
constexpr TColor cl3DDkShadow = kSystemColor | 21;
constexpr TColor cl3DLight = kSystemColor | 22;
constexpr TColor clInfoText = kSystemColor | 23;
constexpr TColor clInfoBk = kSystemColor | 24;
constexpr int kSystemColorCount = 25;

namespace SysColors {
// The classic Windows values; the program starts from these.
void resetToClassic();
// Takes what the desktop's palette says about window, button, highlight and text colours.
void fillFromPalette(const QPalette &palette);
void set(TColor systemColor, TColor rgb);
} // namespace SysColors

// A colour as plain 0x00BBGGRR; system colours through the table. clNone and clDefault pass unchanged.
TColor ColorToRGB(TColor color);
QColor toQColor(TColor color);
TColor fromQColor(const QColor &color);
inline int GetRValue(TColor c)
{
    return int(c & 0xFF);
}
inline int GetGValue(TColor c)
{
    return int((c >> 8) & 0xFF);
}
inline int GetBValue(TColor c)
{
    return int((c >> 16) & 0xFF);
}
inline TColor RGB(int r, int g, int b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}

// "clRed", "clBtnFace", "$00FF0000", "255", "-2147483633" to a colour and back.
std::optional<TColor> StringToColorOpt(const QString &text);
QString ColorToString(TColor color);
