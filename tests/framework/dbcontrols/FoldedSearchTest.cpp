#include "FoldedSearch.h"
#include "Codec.h"

#include <QString>
#include <gtest/gtest.h>
#include <string>

namespace {
std::string ansi(const char *utf8)
{
    return Codec::fromQString(QString::fromUtf8(utf8));
}

std::size_t findIn(const std::string &needle, const std::string &haystack)
{
    return FoldedSearch(needle, Codec::caseFoldTable()).find(haystack);
}
} // namespace

// Each letter pair, both ways, at every place of a short and a long text: the long one is read
// sixteen places at a time, the short one a byte at a time.
TEST(FoldedSearch, FindsEachCasePairBothWaysAnywhere)
{
    const std::array<unsigned char, 256> &fold = Codec::caseFoldTable();
    for (int b = 1; b < 256; ++b) {
        const auto small = char(fold[std::size_t(b)]);
        if (small == char(b))
            continue;
        const char capital = char(b);
        for (const std::size_t length : {std::size_t(5), std::size_t(40)}) {
            for (std::size_t at = 0; at + 2 <= length; ++at) {
                std::string text(length, '.');
                text[at] = capital;
                text[at + 1] = small;
                ASSERT_EQ(findIn({small, capital}, text), at) << "byte " << b << " at " << at;
                ASSERT_EQ(findIn({capital, capital}, text), at) << "byte " << b << " at " << at;
                ASSERT_EQ(findIn({small}, text), at) << "byte " << b << " at " << at;
            }
        }
    }
}

TEST(FoldedSearch, FindsWordsInEitherCaseAndNothingElse)
{
    const std::string title = ansi("Филми: Под игото, The MATRIX и ЁЖ");
    EXPECT_EQ(findIn(ansi("под"), title), title.find(ansi("Под")));
    EXPECT_EQ(findIn(ansi("matrix"), title), title.find("MATRIX"));
    EXPECT_EQ(findIn(ansi("ёж"), title), title.find(ansi("ЁЖ")));
    EXPECT_EQ(findIn(ansi("ПОД ИГОТО"), title), title.find(ansi("Под игото")));
    EXPECT_EQ(findIn(ansi("игото,"), title), title.find(ansi("игото,")));
    // Letters that only look alike are no match: Latin "o" is not Cyrillic "о", "е" is not "ё".
    EXPECT_EQ(findIn("Pod", title), FoldedSearch::npos);
    EXPECT_EQ(findIn(ansi("еж"), title), FoldedSearch::npos);
    EXPECT_EQ(findIn(ansi("matrixx"), title), FoldedSearch::npos);
    EXPECT_EQ(findIn(title + "!", title), FoldedSearch::npos);
    EXPECT_EQ(findIn(title, title), 0u);
    EXPECT_EQ(findIn("x", ""), FoldedSearch::npos);
}

TEST(FoldedSearch, FindsTheFirstOccurrenceWhenSeveralFit)
{
    std::string text(100, '-');
    text.replace(30, 3, "abC");
    text.replace(70, 3, "ABC");
    EXPECT_EQ(findIn("abc", text), 30u);
    EXPECT_EQ(findIn("abc", text.substr(31)), 39u);
    // Near misses in the same block before the match.
    EXPECT_EQ(findIn("abd", "abcabcabcabcabcabcabdxyz"), 18u);
}
