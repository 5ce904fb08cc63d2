#pragma once
// Finds a text in single-byte text regardless of letter case, through a case-folding table: the
// text looked for is folded once, the text looked through is read as it stands. Candidates are
// found 16 or 32 bytes at a time by their first and last byte in either case, then checked.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

class FoldedSearch
{
public:
    static constexpr std::size_t npos = std::string_view::npos;

    FoldedSearch() = default;
    FoldedSearch(std::string_view needle, const std::array<unsigned char, 256> &fold);

    bool empty() const { return m_needle.empty(); }
    // Where the text first occurs in `haystack`, npos when it does not.
    std::size_t find(std::string_view haystack) const;
    bool foundIn(std::string_view haystack) const { return find(haystack) != npos; }

private:
    bool matchesAt(const unsigned char *at) const;
    std::size_t findScalar(const unsigned char *h, std::size_t from, std::size_t to) const;
    template <bool Two> std::size_t scanWide(const unsigned char *h, std::size_t starts) const;

    std::string m_needle;
    const std::array<unsigned char, 256> *m_fold = nullptr;
    // The first and the last byte of the text, each as a small and as a capital letter.
    unsigned char m_first[2] = {};
    unsigned char m_last[2] = {};
    // For the first and the last byte: a bit to set in a byte read and the two bytes that then fit.
    unsigned char m_screen[2][3] = {};
    bool m_twoCompares = false;
    bool m_wide = false;
};
