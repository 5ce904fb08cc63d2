#include "FoldedSearch.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

FoldedSearch::FoldedSearch(std::string_view needle, const std::array<unsigned char, 256> &fold)
    : m_fold(&fold)
{
    m_needle.resize(needle.size());
    for (std::size_t i = 0; i < needle.size(); ++i)
        m_needle[i] = char(fold[static_cast<unsigned char>(needle[i])]);
    if (m_needle.empty())
        return;
    // Each small letter has one capital in the code page; a byte without case stands for itself.
    const auto variants = [&fold](unsigned char folded, unsigned char(&out)[2]) {
        out[0] = out[1] = folded;
        for (int b = 0; b < 256; ++b) {
            if (b != folded && fold[std::size_t(b)] == folded)
                out[1] = static_cast<unsigned char>(b);
        }
    };
    variants(static_cast<unsigned char>(m_needle.front()), m_first);
    variants(static_cast<unsigned char>(m_needle.back()), m_last);
}

bool FoldedSearch::matchesAt(const unsigned char *at) const
{
    const std::array<unsigned char, 256> &fold = *m_fold;
    const auto *needle = reinterpret_cast<const unsigned char *>(m_needle.data());
    for (std::size_t k = 0; k < m_needle.size(); ++k) {
        if (fold[at[k]] != needle[k])
            return false;
    }
    return true;
}

std::size_t FoldedSearch::findScalar(const unsigned char *h, std::size_t from, std::size_t to) const
{
    const std::array<unsigned char, 256> &fold = *m_fold;
    const auto first = static_cast<unsigned char>(m_needle.front());
    const auto last = static_cast<unsigned char>(m_needle.back());
    const std::size_t tail = m_needle.size() - 1;
    for (std::size_t i = from; i < to; ++i) {
        if (fold[h[i]] == first && fold[h[i + tail]] == last && matchesAt(h + i))
            return i;
    }
    return npos;
}

std::size_t FoldedSearch::find(std::string_view haystack) const
{
    const std::size_t m = m_needle.size();
    if (m == 0)
        return 0;
    if (haystack.size() < m)
        return npos;
    const auto *h = reinterpret_cast<const unsigned char *>(haystack.data());
    // Places where the text could start.
    const std::size_t starts = haystack.size() - m + 1;
#ifdef __SSE2__
    if (starts >= 16) {
        const __m128i first0 = _mm_set1_epi8(char(m_first[0]));
        const __m128i first1 = _mm_set1_epi8(char(m_first[1]));
        const __m128i last0 = _mm_set1_epi8(char(m_last[0]));
        const __m128i last1 = _mm_set1_epi8(char(m_last[1]));
        // One bit for each of 16 starts from `i` whose first and last bytes fit.
        const auto candidates = [&](std::size_t i) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(h + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(h + i + m - 1));
            const __m128i fa = _mm_or_si128(_mm_cmpeq_epi8(a, first0), _mm_cmpeq_epi8(a, first1));
            const __m128i fb = _mm_or_si128(_mm_cmpeq_epi8(b, last0), _mm_cmpeq_epi8(b, last1));
            return unsigned(_mm_movemask_epi8(_mm_and_si128(fa, fb)));
        };
        const auto check = [&](std::size_t i, unsigned bits) {
            while (bits != 0) {
                const unsigned bit = unsigned(__builtin_ctz(bits));
                if (matchesAt(h + i + bit))
                    return i + bit;
                bits &= bits - 1;
            }
            return npos;
        };
        std::size_t i = 0;
        for (; i + 16 <= starts; i += 16) {
            const std::size_t at = check(i, candidates(i));
            if (at != npos)
                return at;
        }
        if (i < starts) {
            // The last starts: one more block that ends with them, less the starts already seen.
            const std::size_t j = starts - 16;
            return check(j, candidates(j) & (0xFFFFu << (i - j)));
        }
        return npos;
    }
#endif
    return findScalar(h, 0, starts);
}
