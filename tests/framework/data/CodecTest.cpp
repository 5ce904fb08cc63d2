#include "Codec.h"

#include <QString>
#include <QStringDecoder>
#include <array>
#include <gtest/gtest.h>

TEST(Codec, EveryByteSurvivesTheTripThroughQString)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    EXPECT_EQ(Codec::fromQString(Codec::toQString(all)), all);
}

TEST(Codec, AgreesWithQtsWindows1251Decoder)
{
    QStringDecoder decoder("windows-1251");
    if (!decoder.isValid())
        GTEST_SKIP() << "this Qt has no windows-1251 decoder";
    for (int b = 0x80; b < 256; ++b) {
        if (b == 0x98)
            continue; // unassigned in Windows-1251
        const char byte = char(b);
        EXPECT_EQ(Codec::toQString(std::string_view(&byte, 1)), decoder.decode(QByteArrayView(&byte, 1)))
            << "byte " << b;
    }
}

TEST(Codec, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(Codec::fromQString(QStringLiteral("a\u00e9\u4e2d")), "a??");
}

TEST(Codec, FindsTheFirstCharacterTheCodePageCannotHold)
{
    EXPECT_EQ(Codec::firstUnencodable(QString::fromUtf8("Казабланка — „1942“ №1 €")), QString());
    EXPECT_EQ(Codec::firstUnencodable(QString::fromUtf8("Amélie — 天使")), QString::fromUtf8("é"));
    EXPECT_EQ(Codec::firstUnencodable(QString::fromUtf8("Film 天使")), QString::fromUtf8("天"));
    // A character beyond the first plane is both of its UTF-16 units.
    EXPECT_EQ(Codec::firstUnencodable(QString::fromUtf8("a\U0001F3AC")), QString::fromUtf8("\U0001F3AC"));
    EXPECT_EQ(Codec::firstUnencodable(QString()), QString());
}

TEST(Codec, NamesCompareWithoutLetterCaseInLatinAndCyrillic)
{
    EXPECT_TRUE(Codec::sameTextAnsi("Title", "TITLE"));
    EXPECT_TRUE(Codec::sameTextAnsi(Codec::fromQString(QStringLiteral("Заглавие")),
                                    Codec::fromQString(QStringLiteral("ЗАГЛАВИЕ"))));
    EXPECT_TRUE(Codec::sameTextAnsi(Codec::fromQString(QStringLiteral("ёї")),
                                    Codec::fromQString(QStringLiteral("ЁЇ"))));
    EXPECT_FALSE(Codec::sameTextAnsi("Title", "Titles"));
    EXPECT_FALSE(Codec::sameTextAnsi("Title", "Tible"));
}

// Every letter of the code page with a case partner, as Unicode pairs them: capital to small
// folds both bytes to the small one; every other byte stays itself.
TEST(Codec, CaseFoldingPairsEveryLatinAndCyrillicLetter)
{
    const std::array<unsigned char, 256> &fold = Codec::caseFoldTable();
    int pairs = 0;
    std::array<bool, 256> paired{};
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QString text = Codec::toQString(std::string_view(&byte, 1));
        const QString lower = text.toLower();
        if (lower == text)
            continue;
        const std::string small = Codec::fromQString(lower);
        ASSERT_EQ(small.size(), 1u);
        ASSERT_NE(small, "?") << "byte " << b << " has no small letter in the code page";
        const auto s = static_cast<unsigned char>(small[0]);
        EXPECT_EQ(fold[std::size_t(b)], s) << "capital " << text.toStdString();
        EXPECT_EQ(fold[s], s) << "small " << lower.toStdString();
        paired[std::size_t(b)] = paired[s] = true;
        ++pairs;
    }
    // A-Z, А-Я, and Ђ Ѓ Љ Њ Ќ Ћ Џ Ў Ј Ґ Ё Є Ї І Ѕ.
    EXPECT_EQ(pairs, 26 + 32 + 15);
    for (int b = 0; b < 256; ++b) {
        if (!paired[std::size_t(b)]) {
            EXPECT_EQ(fold[std::size_t(b)], b) << "byte " << b;
        }
    }
}
