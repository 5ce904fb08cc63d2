#include "Catalogue.h"

#include <gtest/gtest.h>

namespace {
const std::vector<std::string> kSchema{"Title=20", "Disc=8"};
const std::string kThree = "Alpha,A1\r\nBeta,B2\r\nGamma,C3\r\n";

std::string title(TDataSet &ds)
{
    return ds.FieldByName("Title").AsString();
}

std::vector<std::string> titlesForward(TDataSet &ds)
{
    std::vector<std::string> out;
    for (ds.First(); !ds.Eof(); ds.Next())
        out.push_back(title(ds));
    return out;
}

std::vector<std::string> lines(const TFixedFormatDataSet &ds)
{
    std::vector<std::string> out;
    for (int i = 0; i < ds.LineCount(); ++i)
        out.emplace_back(ds.Line(i));
    return out;
}
} // namespace

TEST(SdfCursor, EmptyFileGivesAnEmptyDataset)
{
    Catalogue c;
    auto ds = c.open(kSchema, "");
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_TRUE(ds->Bof());
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->RecordCount(), 0);
    EXPECT_EQ(ds->RecNo(), -1);
    ds->Last();
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_TRUE(ds->FieldByName("Title").IsNull());
}

TEST(SdfCursor, WalksForwardAndBackward)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    EXPECT_EQ(titlesForward(*ds), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(title(*ds), "Gamma");
    ds->Last();
    EXPECT_TRUE(ds->Eof());
    ds->Prior();
    EXPECT_EQ(title(*ds), "Beta");
    EXPECT_FALSE(ds->Bof());
    EXPECT_EQ(ds->MoveBy(-5), -1);
    EXPECT_TRUE(ds->Bof());
    EXPECT_EQ(title(*ds), "Alpha");
    EXPECT_EQ(ds->MoveBy(2), 2);
    EXPECT_EQ(title(*ds), "Gamma");
}

TEST(SdfCursor, RecordNumbersAreRecordIds)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    EXPECT_EQ(ds->RecNo(), 1);
    ds->setRecNo(3);
    EXPECT_EQ(title(*ds), "Gamma");
    ds->setRecNo(0);
    ds->setRecNo(4);
    EXPECT_EQ(title(*ds), "Gamma");

    int scrolls = 0;
    ds->BeforeScroll = [&](TDataSet &) { ++scrolls; };
    ds->setRecNo(3); // the current record: nothing happens
    EXPECT_EQ(scrolls, 0);

    // An added record gets the next ID wherever it stands; IDs behind a deleted line stay.
    ds->setRecNo(2);
    ds->Insert();
    ds->FieldByName("Title").setAsString("New");
    ds->Post();
    EXPECT_EQ(title(*ds), "New");
    EXPECT_EQ(ds->RecNo(), 4);
    EXPECT_EQ(lines(*ds), (std::vector<std::string>{"Alpha,A1", "New", "Beta,B2", "Gamma,C3"}));
    ds->setRecNo(1);
    ds->Delete();
    EXPECT_EQ(title(*ds), "New");
    EXPECT_EQ(ds->RecNo(), 4);
    ds->Next();
    EXPECT_EQ(ds->RecNo(), 2);
}

TEST(SdfCursor, BookmarksFindTheirRecordAfterLinesMove)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    ds->Last();
    const auto gamma = ds->GetBookmark();
    ds->First();
    ds->Insert();
    ds->FieldByName("Title").setAsString("Zero");
    ds->Post();
    ds->GotoBookmark(gamma);
    EXPECT_EQ(title(*ds), "Gamma");
    ds->Delete();
    EXPECT_EQ(MESSAGE_OF(ds->GotoBookmark(gamma)), "Bookmark not found");
    EXPECT_EQ(title(*ds), "Beta");
}

TEST(SdfFilter, RejectedRecordsAreSkippedButStillCounted)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree + "Delta,D4\r\n");
    std::vector<int> seenNumbers;
    ds->OnFilterRecord = [&](TDataSet &d, bool &accept) {
        EXPECT_EQ(d.State(), TDataSetState::dsFilter);
        seenNumbers.push_back(d.RecNo());
        accept = d.FieldByName("Title").AsString().find('e') != std::string::npos;
    };
    ds->setFiltered(true);
    EXPECT_EQ(titlesForward(*ds), (std::vector<std::string>{"Beta", "Delta"}));
    EXPECT_EQ(seenNumbers, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(ds->RecordCount(), 4);
    ds->Last();
    EXPECT_EQ(title(*ds), "Delta");
    ds->Prior();
    EXPECT_EQ(title(*ds), "Beta");
    ds->Prior();
    EXPECT_TRUE(ds->Bof());
    EXPECT_EQ(title(*ds), "Beta");
}

TEST(SdfFilter, FilterThatRejectsEverythingShowsNoRecord)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    ds->OnFilterRecord = [](TDataSet &, bool &accept) { accept = false; };
    ds->setFiltered(true);
    ds->First();
    EXPECT_TRUE(ds->Eof());
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_EQ(ds->RecordCount(), 3);
}

TEST(SdfFilter, AnErrorInTheFilterIsReportedAndTheFetchGoesOn)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    std::vector<std::string> reported;
    setExceptionHandler([&](const std::exception &e) { reported.push_back(e.what()); });
    ds->OnFilterRecord = [](TDataSet &d, bool &accept) {
        accept = d.RecNo() != 2;
        if (d.RecNo() == 1)
            throw Exception("filter broke");
    };
    ds->setFiltered(true);
    EXPECT_EQ(titlesForward(*ds), (std::vector<std::string>{"Alpha", "Gamma"}));
    setExceptionHandler(nullptr);
    EXPECT_EQ(reported, (std::vector<std::string>{"filter broke"}));
}

TEST(SdfSearch, FindsByOneOrMoreFields)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree + "Beta,Z9\r\n");
    EXPECT_TRUE(ds->Locate("Title", "Beta", {}));
    EXPECT_EQ(ds->RecNo(), 2);
    EXPECT_TRUE(ds->Locate("Title,Disc", std::vector<std::string>{" Beta ", "Z9"}, {}));
    EXPECT_EQ(ds->RecNo(), 4);
    EXPECT_TRUE(ds->Locate("\"Disc\" Title", std::vector<std::string>{"C3", "Gamma"}, {}));
    EXPECT_EQ(ds->RecNo(), 3);
}

TEST(SdfSearch, CaseRulesAndPartialKeys)
{
    Catalogue c;
    auto ds = c.open(kSchema, cp("Alpha,A1\r\nЯбълка,B2\r\n"));
    EXPECT_FALSE(ds->Locate("Title", "ALPHA", {}));
    EXPECT_TRUE(ds->Locate("Title", "ALPHA", {.caseInsensitive = true}));
    // Only the letters a to z change case; Cyrillic compares as it is.
    EXPECT_FALSE(ds->Locate("Title", cp("ЯБЪЛКА"), {.caseInsensitive = true}));
    EXPECT_TRUE(ds->Locate("Title", cp("Ябълка"), {.caseInsensitive = true}));
    EXPECT_FALSE(ds->Locate("Title", "Alp", {}));
    EXPECT_TRUE(ds->Locate("Title", "alp", {.caseInsensitive = true, .partialKey = true}));
    EXPECT_EQ(ds->RecNo(), 1);
    EXPECT_TRUE(ds->Locate("Title", "", {.partialKey = true}));
}

TEST(SdfSearch, NotFoundLeavesTheRecordWhereItWas)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    ds->First();
    ds->Insert(); // a new line in front of Alpha shifts every position
    ds->FieldByName("Title").setAsString("Zero");
    ds->Post();
    ds->Last();
    EXPECT_FALSE(ds->Locate("Title", "Omega", {}));
    EXPECT_EQ(title(*ds), "Gamma");
    EXPECT_FALSE(ds->Locate("", "Omega", {}));
    EXPECT_EQ(title(*ds), "Gamma");
}

TEST(SdfSearch, UnknownFieldNamesFail)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    EXPECT_EQ(MESSAGE_OF(ds->Locate("Title;Disc", "x", {})), "DataSet: Field 'Title;Disc' not found");
}

TEST(SdfEditing, InsertGoesInFrontOfTheActiveRecordAndAppendToTheEnd)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    ds->setRecNo(2);
    ds->Insert();
    ds->FieldByName("Title").setAsString("Inserted");
    ds->Post();
    ds->Append();
    ds->FieldByName("Title").setAsString("Appended");
    ds->Post();
    EXPECT_EQ(title(*ds), "Appended");
    ds->First();
    ds->InsertRecord({"First", "F"});
    ds->AppendRecord({"Last", "L"});
    EXPECT_EQ(lines(*ds), (std::vector<std::string>{"First,F", "Alpha,A1", "Inserted", "Beta,B2", "Gamma,C3",
                                                    "Appended", "Last,L"}));
    EXPECT_TRUE(ds->Changed());
}

TEST(SdfEditing, InsertIntoAnEmptyDatasetMakesTheOnlyLine)
{
    Catalogue c;
    auto ds = c.open(kSchema, "");
    ds->Edit(); // with no record an edit becomes an insert
    EXPECT_EQ(ds->State(), TDataSetState::dsInsert);
    EXPECT_EQ(ds->RecNo(), -1);
    ds->FieldByName("Disc").setAsString("D");
    ds->Post();
    EXPECT_EQ(lines(*ds), (std::vector<std::string>{",D"}));
    EXPECT_EQ(ds->RecNo(), 1);
}

TEST(SdfEditing, FieldWritesFillEarlierSlotsAndLeaveLaterOnesNull)
{
    Catalogue c;
    auto ds = c.open({"A=3", "B=3", "C=3", "D=3"}, "");
    ds->Insert();
    ds->FieldByName("C").setAsString("xyz1");
    EXPECT_FALSE(ds->FieldByName("A").IsNull());
    EXPECT_EQ(ds->FieldByName("A").AsString(), "");
    EXPECT_TRUE(ds->FieldByName("D").IsNull());
    EXPECT_EQ(ds->FieldByName("C").AsString(), "xyz");
    ds->Post();
    EXPECT_EQ(ds->Line(0), ",,xyz");
}

TEST(SdfEditing, CancelDropsTheChanges)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    ds->Next();
    ds->Edit();
    ds->FieldByName("Title").setAsString("Changed");
    ds->Cancel();
    EXPECT_EQ(title(*ds), "Beta");
    ds->Insert();
    ds->Cancel();
    EXPECT_EQ(title(*ds), "Beta");
    EXPECT_FALSE(ds->Changed());
    EXPECT_EQ(ds->LineCount(), 3);
}

TEST(SdfEditing, DeleteMovesToTheNextOrTheNewLastRecord)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    ds->Next();
    ds->Delete();
    EXPECT_EQ(title(*ds), "Gamma");
    ds->Delete();
    EXPECT_EQ(title(*ds), "Alpha");
    ds->Delete();
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_EQ(MESSAGE_OF(ds->Delete()), "DataSet: Cannot perform this operation on an empty dataset");
}

TEST(SdfEditing, DeleteWhileInsertingCancelsTheNewRecord)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    ds->Insert();
    ds->Delete();
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds->LineCount(), 3);
    EXPECT_FALSE(ds->Changed());
}

TEST(SdfEditing, WritesOutsideEditingAndToReadOnlyFieldsFail)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    EXPECT_EQ(MESSAGE_OF(ds->FieldByName("Title").setAsString("x")),
              "DataSet: Dataset not in edit or insert mode");
    EXPECT_EQ(MESSAGE_OF(ds->Post()), "DataSet: Dataset not in edit or insert mode");
    ds->FieldByName("Title").setReadOnly(true);
    ds->FieldByName("Title").setDisplayLabel("Film");
    ds->Edit();
    EXPECT_EQ(MESSAGE_OF(ds->FieldByName("Title").setAsString("x")), "Field 'Film' cannot be modified");
    EXPECT_EQ(title(*ds), "Alpha");
}

TEST(SdfEditing, TextTheCodePageCannotHoldIsRefusedNamingTheField)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    ds->Edit();
    TField &field = ds->FieldByName("Title");
    EXPECT_EQ(MESSAGE_OF(field.setText(QString::fromUtf8("Amélie"))),
              "Field 'Title' cannot hold the character 'é'");
    EXPECT_EQ(field.Text(), QStringLiteral("Alpha"));
    field.setText(QString::fromUtf8("Амели — №1"));
    ds->Post();
    EXPECT_EQ(ds->Line(0), cp("Амели — №1,A1"));
}

TEST(SdfEditing, ReadOnlyDatasetRefusesChangesButDeletes)
{
    Catalogue c;
    c.writeDb(kThree);
    auto ds = c.dataSet(kSchema);
    ds->setReadOnly(true);
    ds->Open();
    for (auto op : {&TDataSet::Edit, &TDataSet::Insert, &TDataSet::Append})
        EXPECT_EQ(MESSAGE_OF((ds.get()->*op)()), "DataSet: Cannot modify a read-only dataset");
    ds->Delete();
    EXPECT_EQ(ds->LineCount(), 2);
    ds->Close();
    EXPECT_EQ(c.readDb(), kThree);
}

TEST(SdfSettings, PublishedSettingsAreRefusedWhileOpen)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    const std::string refused = "DataSet: Cannot perform this operation on an open dataset";
    EXPECT_EQ(MESSAGE_OF(ds->setSchema({})), refused);
    EXPECT_EQ(MESSAGE_OF(ds->setFileName(QStringLiteral("x"))), refused);
    EXPECT_EQ(MESSAGE_OF(ds->setFileMustExist(false)), refused);
    EXPECT_EQ(MESSAGE_OF(ds->setReadOnly(true)), refused);
    EXPECT_EQ(MESSAGE_OF(ds->setTrimSpace(false)), refused);
    EXPECT_EQ(MESSAGE_OF(ds->setDelimiter(';')), refused);
    EXPECT_EQ(MESSAGE_OF(ds->setFirstLineAsSchema(true)), refused);
    EXPECT_EQ(ds->Delimiter(), ',');
    EXPECT_EQ(ds->Schema(), kSchema);
    ds->Close();
    ds->setDelimiter(';');
    EXPECT_EQ(ds->Delimiter(), ';');
}

TEST(SdfSettings, ReopeningRereadsTheFileAndRenumbers)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    ds->AppendRecord({"Delta"});
    ds->Close();
    c.writeDb("Other\r\n");
    ds->Open();
    EXPECT_EQ(ds->LineCount(), 1);
    EXPECT_EQ(ds->RecNo(), 1);
    EXPECT_FALSE(ds->Changed());
}

TEST(SdfPositions, RowsReadByPositionLeaveTheCursorAlone)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    ds->Next();
    auto row = ds->NewRowBuffer();
    ASSERT_TRUE(ds->ReadRecordAt(2, row.get()));
    EXPECT_EQ(ds->FieldValueIn(row.get(), ds->FieldByName("Disc")), "C3");
    EXPECT_FALSE(ds->ReadRecordAt(3, row.get()));
    EXPECT_FALSE(ds->ReadRecordAt(-1, row.get()));
    EXPECT_EQ(title(*ds), "Beta");
    EXPECT_EQ(ds->ActiveRow(), 1);
    ds->Next();
    EXPECT_EQ(ds->ActiveRow(), 2);
    ds->First();
    ds->Insert();
    EXPECT_EQ(ds->ActiveRow(), 0);
    ds->Cancel();
    ds->Append();
    EXPECT_EQ(ds->ActiveRow(), 3);
}

// Views that look through many records read their stored values in place, as the fields read them.
TEST(SdfPositions, StoredValuesAreTheFieldValues)
{
    const std::vector<std::string> schema{"Title=20", "Disc=4", "Note=10"};
    for (const bool fixed : {false, true}) {
        Catalogue c;
        c.writeDb(fixed ? "Alpha               A1  one       \r\nB                   Disc\r\nxy\r\n"
                        : "Alpha,A1,one\r\n\"Beta, the\"  ,B2\r\n  Gamma with a long title,C3xx9,x\r\n");
        std::unique_ptr<TFixedFormatDataSet> ds;
        if (fixed)
            ds = std::make_unique<TFixedFormatDataSet>();
        else
            ds = std::make_unique<TSdfDataSet>();
        ds->setSchema(schema);
        ds->setFileName(c.db());
        ds->Open();
        auto row = ds->NewRowBuffer();
        for (int position = 0; position < ds->RowCount(); ++position) {
            ASSERT_TRUE(ds->ReadRecordAt(position, row.get()));
            const std::string_view stored = ds->StoredRecordAt(position);
            std::string_view values[3];
            ds->StoredValues(stored, values, 3);
            for (const char *name : {"Title", "Disc", "Note"}) {
                const TField &field = ds->FieldByName(name);
                EXPECT_EQ(values[field.FieldNo() - 1], ds->FieldValueIn(row.get(), field))
                    << (fixed ? "fixed " : "delimited ") << position << " " << name;
            }
        }
        EXPECT_TRUE(ds->StoredRecordAt(ds->RowCount()).empty());
        EXPECT_TRUE(ds->StoredRecordAt(-1).empty());
    }
}
