#include "Codec.h"

#include <QString>
#include <array>

namespace {
// Windows-1251 bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F. The unassigned 0x98 keeps
// its C1 code point so that every byte survives a trip through QString.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char16_t toUnicode(unsigned char b)
{
    if (b < 0x80)
        return b;
    if (b >= 0xC0)
        return char16_t(0x0410 + (b - 0xC0));
    return kHigh[b - 0x80];
}

char fromUnicode(char16_t u)
{
    if (u < 0x80)
        return char(u);
    if (u >= 0x0410 && u <= 0x044F)
        return char(0xC0 + (u - 0x0410));
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == u)
            return char(0x80 + i);
    }
    return '?';
}
} // namespace

namespace Codec {
QString toQString(std::string_view bytes)
{
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    QChar *out = text.data();
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[i] = QChar(toUnicode(static_cast<unsigned char>(bytes[i])));
    return text;
}

std::string fromQString(const QString &text)
{
    std::string bytes(std::size_t(text.size()), '\0');
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[std::size_t(i)] = fromUnicode(text.at(i).unicode());
    return bytes;
}

QString firstUnencodable(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u == u'?' || fromUnicode(u) != '?')
            continue;
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        return text.mid(i, pair ? 2 : 1);
    }
    return QString();
}

std::string toUtf8(std::string_view bytes)
{
    return toQString(bytes).toStdString();
}

char upperAnsi(char c)
{
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z')
        return char(b - 32);
    if (b >= 0xE0)
        return char(b - 32);
    switch (b) {
    case 0x90:
        return char(0x80);
    case 0x83:
        return char(0x81);
    case 0x9A:
        return char(0x8A);
    case 0x9C:
        return char(0x8C);
    case 0x9D:
        return char(0x8D);
    case 0x9E:
        return char(0x8E);
    case 0x9F:
        return char(0x8F);
    case 0xA2:
        return char(0xA1);
    case 0xBC:
        return char(0xA3);
    case 0xB4:
        return char(0xA5);
    case 0xB8:
        return char(0xA8);
    case 0xBA:
        return char(0xAA);
    case 0xBF:
        return char(0xAF);
    case 0xB3:
        return char(0xB2);
    case 0xBE:
        return char(0xBD);
    default:
        return c;
    }
}

bool sameTextAnsi(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upperAnsi(a[i]) != upperAnsi(b[i]))
            return false;
    }
    return true;
}

const std::array<unsigned char, 256> &caseFoldTable()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[std::size_t(b)] = static_cast<unsigned char>(b);
        for (int b = 0; b < 256; ++b) {
            const auto upper = static_cast<unsigned char>(upperAnsi(char(b)));
            if (upper != b)
                t[upper] = static_cast<unsigned char>(b);
        }
        return t;
    }();
    return table;
}
} // namespace Codec
