#include "Csv.h"

#include <gtest/gtest.h>
#include <random>

namespace {
using Records = std::vector<std::vector<std::string>>;

struct Read
{
    Records records;
    Csv::Reader::Fault fault = Csv::Reader::Fault::None;
    int faultLine = 0;
};

Read readAll(std::string_view text)
{
    Read read;
    Csv::Reader reader(text);
    std::vector<std::string> values;
    while (reader.next(values))
        read.records.push_back(values);
    read.fault = reader.fault();
    if (read.fault != Csv::Reader::Fault::None)
        read.faultLine = reader.line();
    return read;
}

std::string writeAll(const Records &records)
{
    std::string out;
    for (const auto &record : records)
        Csv::appendRecord(out, std::vector<std::string_view>(record.begin(), record.end()));
    return out;
}
} // namespace

TEST(Csv, ReadsRecordsAndQuotedValues)
{
    const struct
    {
        std::string text;
        Records records;
    } cases[] = {
        {"", {}},
        {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
        {"a,b\nc,d", {{"a", "b"}, {"c", "d"}}},
        {"a,b\rc,d\r", {{"a", "b"}, {"c", "d"}}},
        // Empty values keep their places; an empty line is a record of one empty value.
        {",a,\r\n\r\n,", {{"", "a", ""}, {""}, {"", ""}}},
        {"\"Smith, John\",\"say \"\"hi\"\"\",\"\"\r\n", {{"Smith, John", "say \"hi\"", ""}}},
        {"\"two\r\nlines\",x\r\n", {{"two\r\nlines", "x"}}},
        // A quote inside an unquoted value is part of it, blanks around values too.
        {"a\"b, \"c\" ,d\"\r\n", {{"a\"b", " \"c\" ", "d\""}}},
        {"\xcf\xe5\xf2\xfa\xf0,\xd0\x9f\r\n", {{"\xcf\xe5\xf2\xfa\xf0", "\xd0\x9f"}}},
        {std::string("a\0b,c", 5), {{std::string("a\0b", 3), "c"}}},
    };
    for (const auto &c : cases) {
        const Read read = readAll(c.text);
        EXPECT_EQ(read.fault, Csv::Reader::Fault::None) << c.text;
        EXPECT_EQ(read.records, c.records) << c.text;
    }
}

TEST(Csv, FaultsStopTheReadingAndNameTheirLine)
{
    const struct
    {
        std::string text;
        Csv::Reader::Fault fault;
        int line;
        std::size_t recordsBefore;
    } cases[] = {
        {"a\r\n\"open\r\nstill open,\r\n", Csv::Reader::Fault::OpenQuote, 2, 1},
        {"\"", Csv::Reader::Fault::OpenQuote, 1, 0},
        {"a,b\n\"x\"y,c\n", Csv::Reader::Fault::TextAfterQuote, 2, 1},
        {"\"multi\nline\" x\n", Csv::Reader::Fault::TextAfterQuote, 2, 0},
        {"\"a\"\"\r\n", Csv::Reader::Fault::OpenQuote, 1, 0},
    };
    for (const auto &c : cases) {
        const Read read = readAll(c.text);
        EXPECT_EQ(read.fault, c.fault) << c.text;
        EXPECT_EQ(read.faultLine, c.line) << c.text;
        EXPECT_EQ(read.records.size(), c.recordsBefore) << c.text;
    }
}

TEST(Csv, CountsRecordsAndTheirFirstLines)
{
    Csv::Reader reader("h1,h2\r\n\"a\r\nb\",c\r\nd,e\r\n");
    std::vector<std::string> values;
    std::vector<std::pair<int, int>> seen;
    while (reader.next(values))
        seen.emplace_back(reader.record(), reader.line());
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1, 1}, {2, 2}, {3, 4}}));
}

TEST(Csv, WritesQuotesOnlyWhereNeeded)
{
    std::string out;
    Csv::appendRecord(out, {"plain", "a,b", "say \"hi\"", "two\nlines", "", "\xcf\xe5"});
    EXPECT_EQ(out, "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",,\xcf\xe5\r\n");
    EXPECT_EQ(Csv::quoted("\r"), "\"\r\"");
    EXPECT_EQ(Csv::quoted(" x "), " x ");
}

// Records of values made of the characters that matter, written and read back.
TEST(Csv, RandomRecordsReadBackAsWritten)
{
    std::mt19937 random(16);
    const std::string alphabet = std::string(",\"\r\n a\xcf", 7) + std::string(1, '\0');
    for (int round = 0; round < 2000; ++round) {
        Records records(1 + random() % 5);
        for (auto &record : records) {
            record.resize(1 + random() % 6);
            for (auto &value : record) {
                const std::size_t length = random() % 7;
                for (std::size_t i = 0; i < length; ++i)
                    value += alphabet[random() % alphabet.size()];
            }
        }
        const std::string text = writeAll(records);
        const Read read = readAll(text);
        ASSERT_EQ(read.fault, Csv::Reader::Fault::None) << text;
        ASSERT_EQ(read.records, records) << text;
    }
}
