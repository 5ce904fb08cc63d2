#include "Catalogue.h"
#include "DataSource.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {
const std::vector<std::string> kSchema{"Title=20", "Disc=8"};
const std::string kThree = "Alpha,A1\r\nBeta,B2\r\nGamma,C3\r\n";

const char *stateName(TDataSetState s)
{
    switch (s) {
    case TDataSetState::dsInactive:
        return "inactive";
    case TDataSetState::dsBrowse:
        return "browse";
    case TDataSetState::dsEdit:
        return "edit";
    case TDataSetState::dsInsert:
        return "insert";
    case TDataSetState::dsCalcFields:
        return "calc";
    case TDataSetState::dsFilter:
        return "filter";
    case TDataSetState::dsBlockRead:
        return "blockread";
    }
    return "?";
}

// Records every event with the state the dataset was in when it fired.
struct Recorder
{
    std::vector<std::string> log;
    void attach(TDataSet &ds)
    {
        auto on = [this](const char *name) {
            return
                [this, name](TDataSet &d) { log.push_back(std::string(name) + ":" + stateName(d.State())); };
        };
        ds.BeforeOpen = on("BeforeOpen");
        ds.AfterOpen = on("AfterOpen");
        ds.BeforeClose = on("BeforeClose");
        ds.AfterClose = on("AfterClose");
        ds.BeforeInsert = on("BeforeInsert");
        ds.AfterInsert = on("AfterInsert");
        ds.BeforeEdit = on("BeforeEdit");
        ds.AfterEdit = on("AfterEdit");
        ds.BeforePost = on("BeforePost");
        ds.AfterPost = on("AfterPost");
        ds.BeforeCancel = on("BeforeCancel");
        ds.AfterCancel = on("AfterCancel");
        ds.BeforeDelete = on("BeforeDelete");
        ds.AfterDelete = on("AfterDelete");
        ds.BeforeScroll = on("BeforeScroll");
        ds.AfterScroll = on("AfterScroll");
        ds.OnNewRecord = on("OnNewRecord");
    }
    std::vector<std::string> take() { return std::exchange(log, {}); }
};

using Log = std::vector<std::string>;
} // namespace

TEST(DataSetEvents, EachOperationFiresItsEventsInOrder)
{
    Catalogue c;
    c.writeDb(kThree);
    auto ds = c.dataSet(kSchema);
    Recorder r;
    r.attach(*ds);
    ds->Open();
    EXPECT_EQ(r.take(), (Log{"BeforeOpen:inactive", "AfterOpen:browse"}));
    ds->Next();
    EXPECT_EQ(r.take(), (Log{"BeforeScroll:browse", "AfterScroll:browse"}));
    ds->Edit();
    EXPECT_EQ(r.take(), (Log{"BeforeEdit:browse", "AfterEdit:edit"}));
    ds->FieldByName("Title").setAsString("B");
    ds->Post();
    EXPECT_EQ(r.take(), (Log{"BeforePost:edit", "AfterPost:browse"}));
    ds->Insert();
    EXPECT_EQ(r.take(), (Log{"BeforeInsert:browse", "BeforeScroll:browse", "OnNewRecord:insert",
                             "AfterInsert:insert", "AfterScroll:insert"}));
    ds->Cancel();
    EXPECT_EQ(r.take(), (Log{"BeforeCancel:insert", "AfterCancel:browse"}));
    ds->Delete();
    EXPECT_EQ(r.take(), (Log{"BeforeDelete:browse", "BeforeScroll:browse", "AfterDelete:browse",
                             "AfterScroll:browse"}));
    ds->Close();
    EXPECT_EQ(r.take(), (Log{"BeforeClose:browse", "AfterClose:inactive"}));
}

TEST(DataSetEvents, MovingAwayFromAChangedRecordPostsIt)
{
    Catalogue c;
    // The recorder outlives the dataset, whose close at the end fires events too.
    Recorder r;
    auto ds = c.open(kSchema, kThree);
    r.attach(*ds);
    ds->Edit();
    ds->FieldByName("Title").setAsString("Changed");
    r.take();
    ds->Next();
    EXPECT_EQ(r.take(),
              (Log{"BeforePost:edit", "AfterPost:browse", "BeforeScroll:browse", "AfterScroll:browse"}));
    EXPECT_EQ(ds->Line(0), "Changed,A1");
    ds->Edit();
    r.take();
    ds->Next(); // unchanged: cancelled
    EXPECT_EQ(r.take(),
              (Log{"BeforeCancel:edit", "AfterCancel:browse", "BeforeScroll:browse", "AfterScroll:browse"}));
}

TEST(DataSetEvents, PendingControlEditsArePushedBeforePost)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    TDataSource source;
    source.setDataSet(ds.get());
    QObject::connect(&source, &TDataSource::updateRecordRequested,
                     [&] { ds->FieldByName("Disc").setAsString("Typed"); });
    ds->Edit();
    ds->Post();
    EXPECT_EQ(ds->Line(0), "Alpha,Typed");
}

TEST(DataSetErrors, PostErrorEventCanRetryAbortOrFail)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    int calls = 0;
    ds->OnPostError = [&](TDataSet &d, const EDatabaseError &e, TDataAction &action) {
        ++calls;
        EXPECT_EQ(std::string(e.what()), "Field 'Title' cannot hold a double quote followed by ','");
        d.FieldByName("Title").setAsString("Fixed");
        action = TDataAction::daRetry;
    };
    ds->Edit();
    // An odd value that a control wrote earlier; the post refuses it.
    ds->FieldByName("Disc").setAsString("D");
    const std::string odd = "\",x";
    ds->Close();
    c.writeDb(odd + "\r\n");
    ds->Open();
    ds->Edit();
    ds->Post();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ds->Line(0), "Fixed");

    ds->OnPostError = [](TDataSet &, const EDatabaseError &, TDataAction &action) {
        action = TDataAction::daAbort;
    };
    ds->Close();
    c.writeDb(odd + "\r\n");
    ds->Open();
    ds->Edit();
    EXPECT_THROW(ds->Post(), EAbort);
    EXPECT_EQ(ds->State(), TDataSetState::dsEdit);

    ds->OnPostError = nullptr;
    EXPECT_THROW(ds->Post(), EDatabaseError);
    EXPECT_EQ(ds->State(), TDataSetState::dsEdit);
}

TEST(DataSetErrors, DeleteAndEditErrorEventsSeeAVanishedRecord)
{
    Catalogue c;
    auto ds = c.open(kSchema, "   \r\nBeta\r\n");
    ds->DropBlankLines(); // the active row's line is gone; the buffers were not re-read
    std::vector<std::string> seen;
    auto fail = [&](TDataSet &, const EDatabaseError &e, TDataAction &) { seen.push_back(e.what()); };
    ds->OnEditError = fail;
    ds->OnDeleteError = fail;
    EXPECT_EQ(MESSAGE_OF(ds->Edit()), "Bookmark not found");
    EXPECT_EQ(MESSAGE_OF(ds->Delete()), "Bookmark not found");
    EXPECT_EQ(seen, (std::vector<std::string>{"Bookmark not found", "Bookmark not found"}));
    EXPECT_EQ(ds->LineCount(), 1);
}

TEST(DataSetErrors, AbortIsSilent)
{
    std::vector<std::string> shown;
    setExceptionHandler([&](const std::exception &e) { shown.push_back(e.what()); });
    handleException(EAbort());
    handleException(Exception("shown"));
    setExceptionHandler(nullptr);
    EXPECT_EQ(shown, (std::vector<std::string>{"shown"}));
}

TEST(DataSetFields, ValidationSeesTheNewValueAndCanRefuseIt)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    TField &titleField = ds->FieldByName("Title");
    std::string seen, before;
    titleField.OnValidate = [&](TField &f, const std::string &value) {
        seen = value;
        before = f.AsString();
        if (value.empty())
            throw EDatabaseError("Title required");
    };
    ds->Edit();
    titleField.setAsString("Omega");
    EXPECT_EQ(seen, "Omega");
    EXPECT_EQ(before, "Alpha");
    EXPECT_EQ(MESSAGE_OF(titleField.setAsString("")), "Title required");
    EXPECT_EQ(titleField.AsString(), "Omega");
}

TEST(DataSetFields, CalculatedFieldsAreComputedForEveryRecord)
{
    Catalogue c;
    c.writeDb(kThree);
    auto ds = c.dataSet(kSchema);
    TField &both = ds->AddCalculatedField("Both", 12);
    std::vector<std::string> states;
    ds->OnCalcFields = [&](TDataSet &d) {
        states.push_back(stateName(d.State()));
        d.FieldByName("Both").setAsString(d.FieldByName("Title").AsString() + "/" +
                                          d.FieldByName("Disc").AsString());
        EXPECT_EQ(MESSAGE_OF(d.FieldByName("Title").setAsString("x")),
                  "DataSet: Dataset not in edit or insert mode");
    };
    ds->Open();
    EXPECT_EQ(both.AsString(), "Alpha/A1");
    EXPECT_EQ(both.FieldNo(), 0);
    ds->Last();
    EXPECT_EQ(both.AsString(), "Gamma/C3");
    ds->Edit();
    ds->FieldByName("Title").setAsString("G");
    EXPECT_EQ(both.AsString(), "G/C3");
    ds->Post();
    EXPECT_EQ(ds->Line(2), "G,C3");
    EXPECT_EQ(states.front(), "calc");
    auto row = ds->NewRowBuffer();
    ASSERT_TRUE(ds->ReadRecordAt(1, row.get()));
    EXPECT_EQ(ds->FieldValueIn(row.get(), both), "Beta/B2");
    ds->Close();
    ds->Open(); // the calculated field lives on across opens
    EXPECT_EQ(ds->FieldByName("Both").AsString(), "Alpha/A1");
}

TEST(DataSetFields, FieldsByIndexAndName)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    EXPECT_EQ(ds->Fields(1)->FieldName(), "Disc");
    EXPECT_EQ(MESSAGE_OF(ds->Fields(7)), "List index out of bounds (7)");
    EXPECT_EQ(&ds->FieldByName("TITLE"), ds->Fields(0));
    EXPECT_EQ(ds->FindField("Nothing"), nullptr);
    ds->Close();
    EXPECT_EQ(ds->FieldCount(), 0);
}

TEST(DataSetSignals, DisabledControlsHearOneChangeAtTheEnd)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    TDataSource source;
    source.setDataSet(ds.get());
    QSignalSpy changes(&source, &TDataSource::dataSetChanged);
    ds->Next();
    EXPECT_EQ(changes.count(), 1);
    ds->DisableControls();
    ds->Next();
    ds->Prior();
    EXPECT_EQ(changes.count(), 1);
    ds->EnableControls();
    EXPECT_EQ(changes.count(), 2);
    ds->Locate("Title", "Gamma", {});
    EXPECT_EQ(changes.count(), 3);
}
