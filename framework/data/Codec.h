#pragma once
// The one place where the program's single-byte text (Windows-1251) meets QString.

#include <array>
#include <string>
#include <string_view>

class QString;

namespace Codec {
QString toQString(std::string_view bytes);
// Characters that Windows-1251 cannot hold become '?'.
std::string fromQString(const QString &text);
// The first character of `text` that Windows-1251 cannot hold (both units of a character beyond
// the first plane), or an empty text when it can hold them all.
QString firstUnencodable(const QString &text);

// The bytes as UTF-8, for messages.
std::string toUtf8(std::string_view bytes);

// Letter case of Windows-1251 (Latin and Cyrillic), as names of fields are compared.
char upperAnsi(char c);
bool sameTextAnsi(std::string_view a, std::string_view b);
// Letter case folded away: every capital letter of Windows-1251 (Latin and Cyrillic) to its small
// letter, every other byte to itself. Finding compares the stored bytes through it.
const std::array<unsigned char, 256> &caseFoldTable();
} // namespace Codec
