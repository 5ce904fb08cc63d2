#include "Catalogue.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::string> values(TDataSet &ds)
{
    std::vector<std::string> out;
    for (int i = 0; i < ds.FieldCount(); ++i)
        out.push_back(ds.Fields(i)->AsString());
    return out;
}

// The line an edited record is stored as, after `edit` ran on it.
template <typename Edit>
std::string storedLine(const std::vector<std::string> &schema, const std::string &line, Edit edit)
{
    Catalogue c;
    auto ds = c.open(schema, line + "\r\n");
    ds->Edit();
    edit(*ds);
    ds->Post();
    return std::string(ds->Line(0));
}
} // namespace

TEST(SdfLineFormat, TheDatasetReadsAndWritesThroughTheLineFormat)
{
    const std::vector<std::string> schema{"Title=10", "Label=5", "C=10"};
    Catalogue c;
    auto ds = c.open(schema, "  Casablanca 1942,A12  ,extra,more\r\nx\r\n");
    EXPECT_EQ(ds->RecordWidth(), 25);
    EXPECT_EQ(values(*ds), (std::vector<std::string>{"Casablanca", "A12", "extra"}));
    ds->Next();
    EXPECT_FALSE(ds->FieldByName("Label").IsNull()); // a missing value is empty, not null
    ds->Close();
    ds->setTrimSpace(false);
    ds->Open();
    EXPECT_EQ(values(*ds), (std::vector<std::string>{"Casablanca", "A12  ", "extra     "}));
    EXPECT_EQ(storedLine(schema, "a", [](TDataSet &ds) { ds.FieldByName("C").setAsString("  x, y  "); }),
              "a,,\"x, y\"");
}

TEST(SdfLineFormat, ValuesThatCannotReadBackAreRefused)
{
    Catalogue c;
    auto ds = c.open({"A=20", "B=20"}, "x,y\r\n");
    ds->Edit();
    EXPECT_EQ(MESSAGE_OF(ds->FieldByName("A").setAsString("two\r\nlines")),
              "Field 'A' cannot hold a line break or a NUL character");
    EXPECT_EQ(MESSAGE_OF(ds->FieldByName("A").setAsString(std::string("nul\0byte", 8))),
              "Field 'A' cannot hold a line break or a NUL character");
    EXPECT_EQ(MESSAGE_OF(ds->FieldByName("A").setAsString("say \"hi\", then")),
              "Field 'A' cannot hold a double quote followed by ','");
    EXPECT_EQ(ds->FieldByName("A").AsString(), "x");
    // Without the delimiter the quote is harmless.
    ds->FieldByName("A").setAsString("say \"hi\"");
    ds->Post();
    EXPECT_EQ(ds->Line(0), "say \"hi\",y");
}

TEST(SdfLineFormat, AnOddLineIsNotStoredBackCorrupted)
{
    // An unterminated quote reads as the rest of the line, which no line can hold again.
    Catalogue c;
    auto ds = c.open({"A=20", "B=20"}, "\",abc\r\n");
    EXPECT_EQ(ds->FieldByName("A").AsString(), "\",abc");
    ds->Edit();
    EXPECT_EQ(MESSAGE_OF(ds->Post()), "Field 'A' cannot hold a double quote followed by ','");
    EXPECT_EQ(ds->State(), TDataSetState::dsEdit);
    EXPECT_EQ(ds->Line(0), "\",abc");
}

TEST(SdfSchema, EmptySchemaAndEmptyFileGiveOneLineField)
{
    Catalogue c;
    auto ds = c.open({}, "");
    ASSERT_EQ(ds->FieldDefs().size(), 1u);
    EXPECT_EQ(ds->FieldDefs()[0].Name, "Line");
    EXPECT_EQ(ds->FieldDefs()[0].Size, 250);
    EXPECT_TRUE(ds->IsEmpty());
}

TEST(SdfSchema, EmptySchemaNamesTheColumnsOfTheFirstLine)
{
    Catalogue c;
    auto ds = c.open({}, "a,b,c\r\nlonger line here\r\n");
    ASSERT_EQ(ds->FieldDefs().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ds->FieldDefs()[std::size_t(i)].Name, "Field" + std::to_string(i + 1));
        EXPECT_EQ(ds->FieldDefs()[std::size_t(i)].Size, 16);
    }
    EXPECT_EQ(ds->FieldByName("Field1").AsString(), "a");
}

TEST(SdfSchema, FirstLineAsSchemaTakesQuotedNamesAndHidesTheHeader)
{
    Catalogue c;
    c.writeDb("Title,\"Disc label\",\r\nCasablanca,A1\r\n");
    auto ds = c.dataSet({"ignored=3"});
    ds->setFirstLineAsSchema(true);
    ds->Open();
    ASSERT_EQ(ds->FieldDefs().size(), 2u);
    EXPECT_EQ(ds->FieldDefs()[1].Name, "Disc label");
    EXPECT_EQ(ds->FieldByName("Title").AsString(), "Casablanca");
    ds->Prior();
    EXPECT_EQ(ds->FieldByName("Title").AsString(), "Casablanca");
    ds->Last();
    EXPECT_EQ(ds->FieldByName("Title").AsString(), "Casablanca");
}

TEST(SdfSchema, TheHeaderLineIsNeverTheCursorsLine)
{
    Catalogue c;
    c.writeDb("Title,Label\r\nCasablanca,A1\r\nMatrix,A2\r\n");
    auto ds = c.dataSet({});
    ds->setFirstLineAsSchema(true);
    ds->Open();
    // A failed step back from the first film stays on it.
    ds->Next();
    ds->Prior();
    ds->Prior();
    EXPECT_TRUE(ds->Bof());
    EXPECT_EQ(ds->FieldByName("Title").AsString(), "Casablanca");
    ds->Next();
    EXPECT_EQ(ds->FieldByName("Title").AsString(), "Matrix");
    // An insert in front of the first film, after such a step, stays behind the header.
    ds->Prior();
    ds->Prior();
    ds->Insert();
    ds->FieldByName("Title").setAsString("New");
    ds->Post();
    // Record number 1 is the header's; going there shows the first film.
    ds->setRecNo(1);
    EXPECT_EQ(ds->FieldByName("Title").AsString(), "New");
    ds->Close();
    EXPECT_EQ(c.readDb(), "Title,Label\r\nNew\r\nCasablanca,A1\r\nMatrix,A2\r\n");
    // Deleting every film and adding one keeps the header first.
    ds->Open();
    while (!ds->IsEmpty())
        ds->Delete();
    ds->Insert();
    ds->FieldByName("Title").setAsString("Only");
    ds->Post();
    ds->Close();
    EXPECT_EQ(c.readDb(), "Title,Label\r\nOnly\r\n");
}

TEST(SdfSchema, HeaderOnlyFileOpensEmpty)
{
    Catalogue c;
    c.writeDb("Title,Label\r\n");
    auto ds = c.dataSet({});
    ds->setFirstLineAsSchema(true);
    ds->Open();
    EXPECT_EQ(ds->FieldCount(), 2);
    EXPECT_TRUE(ds->IsEmpty());
}

TEST(SdfSchema, BlankFirstLineSwitchesFirstLineAsSchemaOff)
{
    Catalogue c;
    c.writeDb("  \r\na,b\r\n");
    auto ds = c.dataSet({"A=3", "B=3"});
    ds->setFirstLineAsSchema(true);
    ds->Open();
    EXPECT_FALSE(ds->FirstLineAsSchema());
    EXPECT_EQ(ds->FieldDefs()[0].Name, "A");
    ds->Close();
    EXPECT_FALSE(ds->FirstLineAsSchema());
}

TEST(SdfSchema, ANameWithoutAWidthTakesTheLongestLine)
{
    Catalogue c;
    c.writeDb("abcdefghij\r\nabc\r\n");
    auto ds = c.dataSet({"Title=40", "Plain", "Bad=7 "});
    ds->Open();
    const TFieldDefs &defs = ds->FieldDefs();
    ASSERT_EQ(defs.size(), 3u);
    EXPECT_EQ(defs[0].Size, 40);
    EXPECT_EQ(defs[1].Size, 10);
    EXPECT_EQ(defs[2].Size, 10);
}

TEST(SdfSchema, RepeatedNameTakesTheFirstWidthAndFailsAsDuplicate)
{
    Catalogue c;
    c.writeDb("x\r\n");
    auto ds = c.dataSet({"A=4", "a=9"});
    EXPECT_EQ(MESSAGE_OF(ds->Open()), "DataSet: Duplicate field name 'a'");
    EXPECT_FALSE(ds->Active());
}

TEST(SdfSchema, OpenFailures)
{
    Catalogue c;
    c.writeDb("x\r\n");
    EXPECT_EQ(MESSAGE_OF(c.dataSet({"=5"})->Open()), "DataSet: Field name missing");
    EXPECT_EQ(MESSAGE_OF(c.dataSet({"A=-1"})->Open()), "Invalid field size");
    EXPECT_EQ(MESSAGE_OF(c.dataSet({"A=8193"})->Open()), "Invalid field size");
    EXPECT_EQ(MESSAGE_OF(c.dataSet({"A=8192"})->Open()), "<no error>");
    c.writeDb(std::string(8193, 'x') + "\r\n");
    EXPECT_EQ(MESSAGE_OF(c.dataSet({"A"})->Open()), "Invalid field size");
    EXPECT_EQ(MESSAGE_OF(c.dataSet({"A=10"})->Open()), "<no error>");
}

TEST(SdfSchema, RecordTooWideForTheBufferIsRefused)
{
    Catalogue c;
    c.writeDb("x\r\n");
    std::vector<std::string> schema;
    for (int i = 0; i < 8; ++i)
        schema.push_back("F" + std::to_string(i) + "=8192");
    auto ds = c.dataSet(schema);
    EXPECT_EQ(
        MESSAGE_OF(ds->Open()),
        "DataSet: Record too wide: its fields take 65536 characters, and no more than 65529 fit in a record");
    EXPECT_FALSE(ds->Active());
    schema.back() = "F7=8185";
    EXPECT_EQ(MESSAGE_OF(c.dataSet(schema)->Open()), "<no error>");
}

TEST(SdfSchema, LineEndsOfEveryKindAndNulEndsTheText)
{
    for (const std::string &text : {std::string("a\nb\n"), std::string("a\rb"), std::string("a\r\nb\r\n"),
                                    std::string("a\r\nb\0c\r\nd", 9)}) {
        Catalogue c;
        auto ds = c.open({"A=3"}, text);
        ASSERT_EQ(ds->LineCount(), 2);
        EXPECT_EQ(ds->Line(0), "a");
        EXPECT_EQ(ds->Line(1), "b");
    }
    Catalogue c;
    auto ds = c.open({"A=3"}, "a\r\n\r\n\n\rb");
    EXPECT_EQ(ds->LineCount(), 5);
}

TEST(FixedFormat, RecordTextIsTheLineAndShortLinesEndInNulls)
{
    Catalogue c;
    c.writeDb("abcde12\r\nxy\r\n");
    TFixedFormatDataSet ds;
    ds.setSchema({"A=5", "B=2"});
    ds.setFileName(c.db());
    ds.Open();
    EXPECT_EQ(ds.FieldByName("A").AsString(), "abcde");
    EXPECT_EQ(ds.FieldByName("B").AsString(), "12");
    ds.Next();
    EXPECT_EQ(ds.FieldByName("A").AsString(), "xy");
    EXPECT_TRUE(ds.FieldByName("B").IsNull());
    ds.Edit();
    ds.FieldByName("B").setAsString("Z");
    ds.Post();
    EXPECT_EQ(ds.Line(1), "xy   Z ");
}
