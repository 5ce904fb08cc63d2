#include "FoldedSearch.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define CINAXO_FIND_AVX2 1
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
    for (int k = 0; k < 2; ++k) {
        const unsigned char(&cases)[2] = k == 0 ? m_first : m_last;
        const auto differ = static_cast<unsigned char>(cases[0] ^ cases[1]);
        const bool single = (differ & (differ - 1)) == 0;
        m_screen[k][0] = single ? differ : 0;
        m_screen[k][1] = static_cast<unsigned char>(cases[0] | m_screen[k][0]);
        m_screen[k][2] = single ? m_screen[k][1] : cases[1];
    }
    m_twoCompares = m_screen[0][1] != m_screen[0][2] || m_screen[1][1] != m_screen[1][2];
#ifdef CINAXO_FIND_AVX2
    m_wide = __builtin_cpu_supports("avx2");
#endif
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

namespace {
#ifdef __SSE2__
// One case of a letter differs from the other in one bit for most letters of the code page: that
// bit set in both the byte and the letter, one comparison finds either case. Other bytes that
// differ in that bit only are let through too; the check that follows turns them away.
struct BytePair
{
    __m128i set;
    __m128i target;
    explicit BytePair(const unsigned char (&cases)[2])
    {
        const unsigned char differ = cases[0] ^ cases[1];
        set = _mm_set1_epi8(char(differ));
        target = _mm_set1_epi8(char(cases[0] | differ));
        single = (differ & (differ - 1)) == 0;
        other = _mm_set1_epi8(char(cases[1]));
        first = _mm_set1_epi8(char(cases[0]));
    }
    __m128i matches(__m128i bytes) const
    {
        if (single)
            return _mm_cmpeq_epi8(_mm_or_si128(bytes, set), target);
        return _mm_or_si128(_mm_cmpeq_epi8(bytes, first), _mm_cmpeq_epi8(bytes, other));
    }
    bool single;
    __m128i other;
    __m128i first;
};
#endif
} // namespace

#ifdef CINAXO_FIND_AVX2
// The same screening, 32 starts at a time, on processors that have the wider registers. `Two`: a
// byte of the pair needs two comparisons, its cases differing in more than one bit.
template <bool Two>
__attribute__((target("avx2"))) std::size_t FoldedSearch::scanWide(const unsigned char *h,
                                                                   std::size_t starts) const
{
    const __m256i firstSet = _mm256_set1_epi8(char(m_screen[0][0]));
    const __m256i firstOne = _mm256_set1_epi8(char(m_screen[0][1]));
    const __m256i firstOther = _mm256_set1_epi8(char(m_screen[0][2]));
    const __m256i lastSet = _mm256_set1_epi8(char(m_screen[1][0]));
    const __m256i lastOne = _mm256_set1_epi8(char(m_screen[1][1]));
    const __m256i lastOther = _mm256_set1_epi8(char(m_screen[1][2]));
    const unsigned char *const tail = h + m_needle.size() - 1;
    const std::size_t lastBlock = starts - 32;
    std::size_t i = 0;
    for (bool more = true; more;) {
        // The last starts: one more block that ends with them, less the starts already seen.
        unsigned keep = 0xFFFFFFFFu;
        std::size_t at = i;
        if (i > lastBlock) {
            if (i >= starts)
                break;
            keep <<= (i - lastBlock);
            at = lastBlock;
            more = false;
        }
        const __m256i a =
            _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(h + at)), firstSet);
        const __m256i b =
            _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(tail + at)), lastSet);
        __m256i fa = _mm256_cmpeq_epi8(a, firstOne);
        __m256i fb = _mm256_cmpeq_epi8(b, lastOne);
        if constexpr (Two) {
            fa = _mm256_or_si256(fa, _mm256_cmpeq_epi8(a, firstOther));
            fb = _mm256_or_si256(fb, _mm256_cmpeq_epi8(b, lastOther));
        }
        unsigned bits = unsigned(_mm256_movemask_epi8(_mm256_and_si256(fa, fb))) & keep;
        while (bits != 0) {
            const unsigned bit = unsigned(__builtin_ctz(bits));
            if (matchesAt(h + at + bit))
                return at + bit;
            bits &= bits - 1;
        }
        i += 32;
    }
    return npos;
}
#endif

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
#ifdef CINAXO_FIND_AVX2
    if (m_wide && starts >= 32)
        return m_twoCompares ? scanWide<true>(h, starts) : scanWide<false>(h, starts);
#endif
#ifdef __SSE2__
    if (starts >= 16) {
        const BytePair first(m_first);
        const BytePair last(m_last);
        const unsigned char *const tail = h + m - 1;
        // One bit for each of 16 starts from `i` whose first and last bytes fit.
        const auto candidates = [&](std::size_t i) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(h + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(tail + i));
            return unsigned(_mm_movemask_epi8(_mm_and_si128(first.matches(a), last.matches(b))));
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
        const std::size_t lastBlock = starts - 16;
        std::size_t i = 0;
        for (; i <= lastBlock; i += 16) {
            const unsigned bits = candidates(i);
            if (bits != 0) {
                const std::size_t at = check(i, bits);
                if (at != npos)
                    return at;
            }
        }
        if (i < starts) {
            // The last starts: one more block that ends with them, less the starts already seen.
            return check(lastBlock, candidates(lastBlock) & (0xFFFFu << (i - lastBlock)));
        }
        return npos;
    }
#endif
    return findScalar(h, 0, starts);
}
