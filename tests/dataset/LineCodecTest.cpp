#include "LineCodec.h"

#include <climits>
#include <gtest/gtest.h>

namespace {
TFieldDefs defsOf(const std::vector<int> &widths)
{
    TFieldDefs defs;
    for (int width : widths)
        defs.push_back({"F" + std::to_string(defs.size()), TFieldType::ftString, width});
    return defs;
}

std::size_t widthOf(const std::vector<int> &widths)
{
    std::size_t total = 0;
    for (int width : widths)
        total += std::size_t(width);
    return total;
}

// The values a delimited line gives, each slot without the spaces that pad it.
std::vector<std::string> decode(const std::vector<int> &widths, const std::string &line)
{
    std::string record(widthOf(widths), '?');
    LineCodec::delimitedToRecord(line, defsOf(widths), ',', record.data(), record.size());
    std::vector<std::string> values;
    std::size_t slot = 0;
    for (int width : widths) {
        std::string value = record.substr(slot, std::size_t(width));
        value.erase(value.find_last_not_of(' ') + 1);
        values.push_back(value);
        slot += std::size_t(width);
    }
    return values;
}

// The delimited line of a record whose slots hold `values`, each padded or cut to its width.
std::string encode(const std::vector<int> &widths, const std::vector<std::string> &values)
{
    std::string record;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        std::string value = i < values.size() ? values[i] : std::string();
        value.resize(std::size_t(widths[i]), ' ');
        record += value;
    }
    record.push_back('\0');
    return LineCodec::recordToDelimited(record.data(), record.size() - 1, defsOf(widths), ',');
}
} // namespace

TEST(SdfLineFormat, DelimitedLinesToValues)
{
    struct Case
    {
        std::vector<int> widths;
        std::string line;
        std::vector<std::string> values;
    } cases[] = {
        {{10, 5}, "  Casablanca 1942,A12,extra", {"Casablanca", "A12"}}, // blanks skipped, values cut
        {{10, 5}, "\tx,\ty", {"x", "y"}},                                // every byte up to a space is blank
        {{20, 20}, "\"Smith, John\",B", {"Smith, John", "B"}},
        {{20, 20}, "\"a\"\"b\",c", {"a\"\"b", "c"}}, // doubled quotes stay as they are
        {{20, 20}, "\"  padded\",x", {"  padded", "x"}},
        {{20, 20}, "a\"b,c", {"a\"b", "c"}},
        {{20, 20}, "\"a\"b\",c", {"a\"b", "c"}},      // the quote that closes is followed by the delimiter
        {{8, 8}, "\"abc\" ,def", {"\"abc\" ,d", ""}}, // unterminated: the rest of the line
        {{5, 5, 5}, "x", {"x", "", ""}},
        {{5, 5, 5}, "1,2,3,4,5", {"1", "2", "3"}},
        {{5, 5, 5}, ",,z", {"", "", "z"}},
        {{5, 5}, "", {"", ""}},
        {{3}, "\"a,b\"", {"a,b"}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(decode(c.widths, c.line), c.values) << c.line;
        // Read in place, the values are the same parts of the line, first fields only when asked.
        for (std::size_t count = 1; count <= c.widths.size(); ++count) {
            std::vector<std::string_view> inPlace(count, "?");
            LineCodec::delimitedValues(c.line, defsOf(c.widths), ',', inPlace.data(), count);
            for (std::size_t i = 0; i < count; ++i) {
                std::string_view value = inPlace[i];
                if (!value.empty()) {
                    EXPECT_GE(value.data(), c.line.data()) << c.line;
                    EXPECT_LE(value.data() + value.size(), c.line.data() + c.line.size()) << c.line;
                }
                while (!value.empty() && value.back() == ' ')
                    value.remove_suffix(1);
                EXPECT_EQ(value, c.values[i]) << c.line << " field " << i;
            }
        }
    }
}

TEST(SdfLineFormat, SlotsArePaddedWithSpaces)
{
    std::string record(6, '?');
    LineCodec::delimitedToRecord("a,b", defsOf({3, 3}), ',', record.data(), record.size());
    EXPECT_EQ(record, "a  b  ");
    LineCodec::delimitedToRecord("x;y", defsOf({3, 3}), ';', record.data(), record.size());
    EXPECT_EQ(record, "x  y  ");
}

TEST(SdfLineFormat, ValuesToDelimitedLines)
{
    struct Case
    {
        std::vector<std::string> values;
        std::string line;
    } cases[] = {
        {{"a", "b", "", ""}, "a,b"}, // trailing empty values are left out
        {{"", "", "", ""}, ""},
        {{"  padded ", "b"}, "padded,b"}, // outer blanks go
        {{"a", "", "  x, y  "}, "a,,\"x, y\""},
        {{"a", "abcdefghijklmnopqrstUVW"}, "a,abcdefghijklmnopqrst"}, // cut to the width
        {{"\"quoted\" word", "y"}, "\"\"quoted\" word\",y"},          // a leading quote is quoted
        {{"say \"hi\"", "y"}, "say \"hi\",y"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(encode({20, 20, 20, 20}, c.values), c.line) << c.line;
}

TEST(SdfLineFormat, LinesReadBackAsTheyWere)
{
    const std::vector<int> widths{20, 20, 20};
    for (const char *line :
         {"\"Smith, John\",B", "a\"b,c", "a\"\"b,c", "x,,z", "", "just one", "\"\"quoted\" word\",y"})
        EXPECT_EQ(encode(widths, decode(widths, line)), std::string(line)) << line;
    // Quotes that are not needed are not written again; the values stay the same.
    EXPECT_EQ(encode(widths, decode(widths, "\"a\"\"b\",c")), "a\"\"b,c");
}

TEST(FixedLineFormat, TheLineIsTheRecordTextAndShortLinesEndInNuls)
{
    char record[7];
    LineCodec::fixedToRecord("abcde12XYZ", record, 7);
    EXPECT_EQ(std::string(record, 7), "abcde12");
    EXPECT_EQ(LineCodec::recordToFixed(record, 7), "abcde12");
    LineCodec::fixedToRecord("xy", record, 7);
    EXPECT_EQ(std::string(record, 7), std::string("xy\0\0\0\0\0", 7));
    EXPECT_EQ(LineCodec::recordToFixed(record, 7), "xy");
}

TEST(SdfSchema, WidthParsing)
{
    struct Case
    {
        const char *text;
        bool ok;
        int width;
    } cases[] = {
        {"40", true, 40},
        {" 40", true, 40},
        {"+3", true, 3},
        {"-1", true, -1},
        {"$10", true, 16},
        {"x1F", true, 31},
        {"0x1f", true, 31},
        {"0X10", true, 16},
        {"2147483647", true, INT_MAX},
        {"-2147483648", true, INT_MIN},
        {"2147483648", false, 0},
        {"7 ", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"$", false, 0},
        {"0x", false, 0},
        {"1 2", false, 0},
        {"12a", false, 0},
        {"$fg", false, 0},
        {"--1", false, 0},
    };
    for (const Case &c : cases) {
        int width = -99;
        EXPECT_EQ(LineCodec::parseWidth(c.text, width), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(width, c.width) << '"' << c.text << '"';
        }
    }
}

TEST(SdfSchema, SchemaLinesToFieldDefinitions)
{
    struct Case
    {
        std::vector<std::string> schema;
        std::vector<std::pair<std::string, int>> defs;
    } cases[] = {
        {{" Title = 40", "Plain", "Trailing=7 ", "Hex=$10", "", "  ", "Signed=+3"},
         {{"Title", 40}, {"Plain", 10}, {"Trailing", 10}, {"Hex", 16}, {"Signed", 3}}},
        {{"A=4", "a=9"}, {{"A", 4}, {"a", 4}}}, // a repeated name takes the first width
        {{}, {{"Line", 10}}},
        {{"=5"}, {{"", 10}}}, // refused as a missing name when the fields are made
        {{"Big=8193", "Neg=-1"}, {{"Big", 8193}, {"Neg", -1}}},
    };
    for (const Case &c : cases) {
        std::vector<std::pair<std::string, int>> got;
        for (const TFieldDef &def : LineCodec::schemaFieldDefs(c.schema, 10))
            got.emplace_back(def.Name, def.Size);
        EXPECT_EQ(got, c.defs) << (c.schema.empty() ? std::string("<empty>") : c.schema[0]);
    }
}

TEST(SdfSchema, HeaderLineColumns)
{
    struct Case
    {
        std::string header;
        std::vector<std::string> columns;
    } cases[] = {
        {"a,b,c", {"a", "b", "c"}},
        {"Title,\"Disc label\",", {"Title", "Disc label"}},
        {"  a , b", {"a ", "b"}},
        {"a,,b", {"a", "", "b"}},
        {"\"q\" x,y", {"q", "y"}},
        {"\"open, quote", {"\"open, quote"}},
        {"", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LineCodec::splitHeader(c.header, ','), c.columns) << c.header;
}

TEST(SdfSearch, NameLists)
{
    struct Case
    {
        std::string text;
        std::vector<std::string> names;
    } cases[] = {
        {"Title,Disc", {"Title", "Disc"}},
        {"  Title   Disc  ", {"Title", "Disc"}},
        {"Title , Disc", {"Title", "Disc"}},
        {"\"Disc label\",Title", {"Disc label", "Title"}},
        {"\"a\"\"b\"", {"a\"b"}},
        {"a,", {"a", ""}},
        {"", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LineCodec::splitNameList(c.text), c.names) << c.text;
}
