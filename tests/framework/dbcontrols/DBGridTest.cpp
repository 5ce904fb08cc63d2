#include "DBGrid.h"
#include "Catalogue.h"
#include "DBEdit.h"
#include "DataSource.h"
#include "Fields.h"
#include "RowIndicator.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTest>
#include <gtest/gtest.h>
#include <random>

namespace {
struct GridFixture
{
    Catalogue c;
    std::unique_ptr<TSdfDataSet> ds;
    TDataSource source;
    TDBGrid grid;
    GridFixture(const std::string &lines = "Alpha,A1\r\nBeta,B2\r\nGamma,C3\r\n")
    {
        ds = c.open({"Title=20", "Disc=8"}, lines);
        source.setDataSet(ds.get());
        grid.setDataSource(&source);
    }
    QString cell(int row, int column) const { return grid.model()->index(row, column).data().toString(); }
};
} // namespace

TEST(DBGrid, ShowsTheRecordsByPosition)
{
    GridFixture f;
    QAbstractItemModelTester tester(f.grid.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(f.grid.model()->rowCount(), 3);
    EXPECT_EQ(f.grid.model()->columnCount(), 2);
    EXPECT_EQ(f.cell(2, 1), QStringLiteral("C3"));
    EXPECT_EQ(f.grid.model()->headerData(0, Qt::Horizontal), QStringLiteral("Title"));
    EXPECT_EQ(f.grid.currentIndex().row(), 0);
    f.ds->Last();
    EXPECT_EQ(f.grid.currentIndex().row(), 2);
    f.ds->Close();
    EXPECT_EQ(f.grid.model()->rowCount(), 0);
}

TEST(DBGrid, PickingARowMovesTheDataset)
{
    GridFixture f;
    f.grid.setCurrentIndex(f.grid.model()->index(1, 0));
    EXPECT_EQ(f.ds->FieldByName("Title").AsString(), "Beta");
    QTest::keyClick(&f.grid, Qt::Key_Down);
    EXPECT_EQ(f.ds->FieldByName("Title").AsString(), "Gamma");
}

TEST(DBGrid, AMoveTheDatasetRefusesIsReportedAndTheViewStaysWithTheDataset)
{
    GridFixture f;
    std::vector<std::string> reported;
    setExceptionHandler([&](const std::exception &e) { reported.push_back(e.what()); });
    f.ds->BeforeScroll = [](TDataSet &) { throw Exception("No scrolling now"); };
    f.grid.show();
    // A click on the third row: the selection model's signal is where the error is raised.
    const QRect third = f.grid.visualRect(f.grid.model()->index(2, 0));
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, third.center());
    // Shown after the click's events, not from inside them.
    EXPECT_TRUE(reported.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !reported.empty(); }));
    EXPECT_EQ(reported, std::vector<std::string>{"No scrolling now"});
    EXPECT_EQ(f.grid.currentIndex().row(), 0);
    EXPECT_EQ(f.grid.selectionModel()->selectedRows(), QModelIndexList{f.grid.model()->index(0, 0)});
    EXPECT_EQ(f.ds->FieldByName("Title").AsString(), "Alpha");
    // The same by key; and once the dataset lets it, the view moves again.
    QTest::keyClick(&f.grid, Qt::Key_Down);
    EXPECT_EQ(f.grid.currentIndex().row(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reported.size() == 2; }));
    f.ds->BeforeScroll = nullptr;
    QTest::keyClick(&f.grid, Qt::Key_Down);
    EXPECT_EQ(f.grid.currentIndex().row(), 1);
    EXPECT_EQ(f.ds->FieldByName("Title").AsString(), "Beta");
    setExceptionHandler(nullptr);
}

TEST(DBGrid, RecordsBeingInsertedOrEditedShowInTheirRow)
{
    GridFixture f;
    QAbstractItemModelTester tester(f.grid.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    f.ds->Next();
    f.ds->Insert();
    EXPECT_EQ(f.grid.model()->rowCount(), 4);
    EXPECT_EQ(f.cell(1, 0), QString());
    EXPECT_EQ(f.cell(2, 0), QStringLiteral("Beta"));
    EXPECT_EQ(f.grid.model()->headerData(1, Qt::Vertical), QStringLiteral("*"));
    f.ds->FieldByName("Title").setAsString("New");
    EXPECT_EQ(f.cell(1, 0), QStringLiteral("New"));
    f.ds->Post();
    EXPECT_EQ(f.grid.model()->rowCount(), 4);
    EXPECT_EQ(f.cell(1, 0), QStringLiteral("New"));
    EXPECT_EQ(f.grid.currentIndex().row(), 1);
    f.ds->Edit();
    f.ds->FieldByName("Title").setAsString("Newer");
    EXPECT_EQ(f.cell(1, 0), QStringLiteral("Newer"));
    EXPECT_EQ(f.grid.model()->headerData(1, Qt::Vertical), QStringLiteral("I"));
    f.ds->Cancel();
    EXPECT_EQ(f.cell(1, 0), QStringLiteral("New"));
    f.ds->Append();
    EXPECT_EQ(f.grid.model()->rowCount(), 5);
    EXPECT_EQ(f.grid.currentIndex().row(), 4);
    f.ds->Cancel();
    EXPECT_EQ(f.grid.model()->rowCount(), 4);
}

TEST(DBGrid, WithoutPersistentColumnsTheVisibleFieldsShow)
{
    GridFixture f;
    QAbstractItemModelTester tester(f.grid.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    f.ds->FieldByName("Title").setVisible(false);
    EXPECT_EQ(f.grid.model()->columnCount(), 1);
    EXPECT_EQ(f.cell(0, 0), QStringLiteral("A1"));
}

TEST(DBGrid, PersistentColumnsFindTheirFieldsByName)
{
    GridFixture f;
    f.grid.Columns() = {{QStringLiteral("Disc"), QStringLiteral("Disc label"), 50, Qt::AlignCenter, true}};
    f.grid.ColumnsChanged();
    EXPECT_EQ(f.grid.model()->columnCount(), 1);
    EXPECT_EQ(f.cell(0, 0), QStringLiteral("A1"));
    EXPECT_EQ(f.grid.model()->headerData(0, Qt::Horizontal), QStringLiteral("Disc label"));
    EXPECT_EQ(f.grid.model()->index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignCenter);
    EXPECT_TRUE(f.grid.model()->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(f.grid.columnWidth(0), 50);
}

TEST(DBGrid, ColumnsFindTheirFieldsAgainAfterAChangeOrAReopen)
{
    GridFixture f;
    QAbstractItemModelTester tester(f.grid.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    f.grid.Columns() = {{QStringLiteral("Disc"), QStringLiteral("Disc"), 50, Qt::AlignLeft, false},
                        {QStringLiteral("Nothing"), QStringLiteral("Nothing"), 50, Qt::AlignLeft, false}};
    f.grid.ColumnsChanged();
    EXPECT_EQ(f.cell(1, 0), QStringLiteral("B2"));
    EXPECT_EQ(f.cell(1, 1), QString());                      // no field of that name
    f.grid.Columns()[1].FieldName = QStringLiteral("title"); // names match without regard to case
    f.grid.ColumnsChanged();
    EXPECT_EQ(f.cell(1, 1), QStringLiteral("Beta"));
    // Reopened on other fields: new field objects, found by name again. The memory of the old ones
    // is taken by other data, as in a long session, so a column that kept one would show nothing.
    f.ds->Close();
    EXPECT_EQ(f.grid.model()->rowCount(), 0);
    std::vector<std::unique_ptr<char[]>> reused;
    for (int i = 0; i < 16; ++i)
        reused.push_back(std::make_unique<char[]>(sizeof(TField))); // zeroed
    f.c.writeDb("1,2,3\r\n4,5,6\r\n");
    f.ds->setSchema({"Other=3", "Disc=3", "Title=3"});
    f.ds->Open();
    EXPECT_EQ(f.cell(1, 0), QStringLiteral("5"));
    EXPECT_EQ(f.cell(1, 1), QStringLiteral("6"));
}

TEST(DBGrid, KeysAreReportedAsVirtualKeyCodes)
{
    GridFixture f;
    std::vector<int> keys;
    QObject::connect(&f.grid, &TDBGrid::KeyDown,
                     [&](int key, Qt::KeyboardModifiers) { keys.push_back(key); });
    QTest::keyClick(&f.grid, Qt::Key_Insert);
    QTest::keyClick(&f.grid, Qt::Key_F9, Qt::ControlModifier);
    QTest::keyClick(&f.grid, Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(&f.grid, Qt::Key_Return);
    QTest::keyClick(&f.grid, Qt::Key_Enter);
    EXPECT_EQ(keys, (std::vector<int>{45, 17, 120, 16, 46, 13, 13})); // the modifier keys come first
    EXPECT_EQ(f.ds->RecordCount(), 3); // a read-only grid neither inserts nor deletes
}

TEST(DBEdit, ShowsTheFieldAndHandsChangesOverAtPost)
{
    GridFixture f;
    TDBEdit edit;
    edit.setDataSource(&f.source);
    edit.setDataField(QStringLiteral("Disc"));
    EXPECT_EQ(edit.text(), QStringLiteral("A1"));
    f.ds->Next();
    EXPECT_EQ(edit.text(), QStringLiteral("B2"));
    f.ds->Edit();
    edit.setText(QStringLiteral("Z9"));
    EXPECT_TRUE(edit.Modified());
    EXPECT_EQ(f.ds->FieldByName("Disc").AsString(), "B2");
    f.ds->Post();
    EXPECT_EQ(f.ds->Line(1), "Beta,Z9");
    EXPECT_FALSE(edit.Modified());
    f.ds->Edit();
    edit.setText(QStringLiteral("dropped"));
    f.ds->Cancel();
    EXPECT_EQ(edit.text(), QStringLiteral("Z9"));
    edit.setDataField(QStringLiteral("Nothing"));
    EXPECT_EQ(edit.text(), QString());
}

namespace {
// What the model says changed, by kind and row.
struct ChangeLog
{
    std::vector<std::string> entries;
    explicit ChangeLog(QAbstractItemModel *model)
    {
        QObject::connect(model, &QAbstractItemModel::modelReset, [this] { entries.push_back("reset"); });
        QObject::connect(
            model, &QAbstractItemModel::rowsInserted, [this](const QModelIndex &, int first, int last) {
                entries.push_back("insert " + std::to_string(first) + "-" + std::to_string(last));
            });
        QObject::connect(
            model, &QAbstractItemModel::rowsRemoved, [this](const QModelIndex &, int first, int last) {
                entries.push_back("remove " + std::to_string(first) + "-" + std::to_string(last));
            });
        QObject::connect(
            model, &QAbstractItemModel::dataChanged, [this](const QModelIndex &a, const QModelIndex &b) {
                entries.push_back("data " + std::to_string(a.row()) + "-" + std::to_string(b.row()));
            });
        QObject::connect(
            model, &QAbstractItemModel::headerDataChanged, [this](Qt::Orientation o, int first, int last) {
                if (o == Qt::Vertical)
                    entries.push_back("header " + std::to_string(first) + "-" + std::to_string(last));
            });
    }
    // The distinct entries, in the order they first came.
    std::vector<std::string> take()
    {
        std::vector<std::string> distinct;
        for (const std::string &e : entries) {
            if (std::find(distinct.begin(), distinct.end(), e) == distinct.end())
                distinct.push_back(e);
        }
        entries.clear();
        return distinct;
    }
};

std::string manyFilms(int count)
{
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines += "Film " + std::to_string(i) + ",D" + std::to_string(i) + "\r\n";
    return lines;
}

using Changes = std::vector<std::string>;
} // namespace

TEST(DBGrid, SignalsOnlyTheRowsWhoseLookChanged)
{
    GridFixture f(manyFilms(50));
    QAbstractItemModelTester tester(f.grid.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    ChangeLog log(f.grid.model());
    f.grid.setCurrentIndex(f.grid.model()->index(20, 0));
    EXPECT_EQ(log.take(), (Changes{"data 0-0", "header 0-0", "data 20-20", "header 20-20"}));
    QTest::keyClick(&f.grid, Qt::Key_Down);
    EXPECT_EQ(log.take(), (Changes{"data 20-20", "header 20-20", "data 21-21", "header 21-21"}));

    f.ds->Edit();
    f.ds->FieldByName("Title").setAsString("Edited");
    f.ds->Post();
    EXPECT_EQ(log.take(), (Changes{"data 21-21", "header 21-21"}));
    EXPECT_EQ(f.cell(21, 0), QStringLiteral("Edited"));

    // A new record takes a row of its own at once, and keeps it when posted.
    std::vector<int> activeRows;
    QObject::connect(f.grid.gridModel(), &DBGridModel::activeRowChanged,
                     [&](int row) { activeRows.push_back(row); });
    f.ds->Insert();
    f.ds->FieldByName("Title").setAsString("New");
    f.ds->Post();
    EXPECT_EQ(log.take(),
              (Changes{"insert 21-21", "data 22-22", "header 22-22", "data 21-21", "header 21-21"}));
    EXPECT_EQ(activeRows, std::vector<int>(activeRows.size(), 21));
    EXPECT_EQ(f.cell(21, 0), QStringLiteral("New"));
    EXPECT_EQ(f.cell(22, 0), QStringLiteral("Edited"));
    EXPECT_EQ(f.grid.currentIndex().row(), 21);

    f.ds->Insert();
    f.ds->Cancel();
    EXPECT_EQ(log.take(), (Changes{"insert 21-21", "data 22-22", "header 22-22", "data 21-21", "header 21-21",
                                   "remove 21-21"}));

    // A deletion moves the view's current row with the dataset only: one scroll, no more.
    std::vector<std::string> events;
    f.ds->BeforeScroll = [&](TDataSet &) { events.push_back("BeforeScroll"); };
    f.ds->AfterScroll = [&](TDataSet &) { events.push_back("AfterScroll"); };
    f.ds->Delete();
    EXPECT_EQ(log.take(), (Changes{"remove 21-21", "data 21-21", "header 21-21"}));
    EXPECT_EQ(events, (std::vector<std::string>{"BeforeScroll", "AfterScroll"}));
    EXPECT_EQ(f.cell(21, 0), QStringLiteral("Edited"));
    EXPECT_EQ(f.grid.currentIndex().row(), 21);
    EXPECT_EQ(f.ds->FieldByName("Title").AsString(), "Edited");

    // One-call adds reach the grid as row insertions too, though the controls are disabled then.
    f.ds->InsertRecord({"Quick", "Q"});
    f.ds->AppendRecord({"Last", "L"});
    const Changes adds = log.take();
    EXPECT_EQ(std::count(adds.begin(), adds.end(), "reset"), 0);
    EXPECT_EQ(adds.front(), "insert 21-21");
    EXPECT_EQ(f.grid.model()->rowCount(), 52);
    EXPECT_EQ(f.cell(51, 0), QStringLiteral("Last"));
    EXPECT_EQ(f.grid.currentIndex().row(), 51);
}

TEST(DBGrid, RowsFollowTheCatalogueThroughRandomEdits)
{
    GridFixture f(manyFilms(40));
    f.grid.resize(300, 200);
    f.grid.show();
    QAbstractItemModelTester tester(f.grid.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModel *model = f.grid.model();
    std::vector<std::string> titles;
    for (int i = 0; i < 40; ++i)
        titles.push_back("Film " + std::to_string(i));
    int active = 0;
    std::mt19937 random(1306);
    int named = 0;
    for (int step = 0; step < 3000; ++step) {
        const int count = int(titles.size());
        const std::string title = "T" + std::to_string(++named);
        const unsigned op = random() % 12;
        if (op == 0 && count > 0) {
            const int row = int(random() % unsigned(count));
            f.grid.setCurrentIndex(model->index(row, 0));
            active = row;
        } else if (op == 1 && count > 0) {
            QTest::keyClick(&f.grid, random() % 2 ? Qt::Key_PageDown : Qt::Key_Up);
            active = f.grid.currentIndex().row();
        } else if (op == 2 || (op == 3 && count == 0)) {
            f.ds->Insert();
            f.ds->FieldByName("Title").setAsString(title);
            f.ds->Post();
            titles.insert(titles.begin() + std::min(active, count), title);
            active = std::min(active, count);
        } else if (op == 3) {
            f.ds->Append();
            f.ds->FieldByName("Title").setAsString(title);
            f.ds->Post();
            titles.push_back(title);
            active = count;
        } else if (op == 4) {
            f.ds->Insert();
            f.ds->Cancel();
        } else if (op == 5 && count > 0) {
            f.ds->Edit();
            f.ds->FieldByName("Title").setAsString(title);
            f.ds->Post();
            titles[std::size_t(active)] = title;
        } else if (op <= 8 && count > 0) {
            f.ds->Delete();
            titles.erase(titles.begin() + active);
            active = std::min(active, int(titles.size()) - 1);
        } else if (op == 9) {
            f.ds->InsertRecord({title});
            titles.insert(titles.begin() + std::min(std::max(active, 0), count), title);
            active = std::min(std::max(active, 0), count);
        } else if (op == 10) {
            f.ds->AppendRecord({title});
            titles.push_back(title);
            active = count;
        }
        const int rows = int(titles.size());
        ASSERT_EQ(model->rowCount(), rows) << "step " << step;
        ASSERT_EQ(f.grid.verticalHeader()->count(), rows) << "step " << step;
        ASSERT_EQ(f.grid.verticalHeader()->length(), rows * 18) << "step " << step;
        ASSERT_EQ(f.grid.gridModel()->activeRow(), rows > 0 ? active : -1) << "step " << step;
        ASSERT_EQ(f.grid.currentIndex().row(), rows > 0 ? active : -1) << "step " << step;
        if (rows > 0) {
            ASSERT_EQ(f.ds->FieldByName("Title").AsString(), titles[std::size_t(active)]) << "step " << step;
        }
        for (int row = 0; row < rows; row += step % 20 == 0 ? 1 : std::max(rows / 3, 1)) {
            ASSERT_EQ(f.cell(row, 0).toStdString(), titles[std::size_t(row)])
                << "step " << step << " row " << row;
            ASSERT_EQ(f.grid.rowViewportPosition(row) + f.grid.verticalHeader()->offset(), row * 18);
        }
    }
}

TEST(DBGrid, TheIndicatorColumnGainsAndLosesOneRowAtATime)
{
    GridFixture f(manyFilms(30));
    // The stock header's own handling of the rows is replaced, not run beside the indicator's, for
    // every model the header is given.
    auto *indicator = qobject_cast<RowIndicator *>(f.grid.verticalHeader());
    ASSERT_NE(indicator, nullptr);
    EXPECT_TRUE(indicator->TakesRowChanges());
    QStandardItemModel other(3, 1);
    indicator->setModel(&other);
    EXPECT_TRUE(indicator->TakesRowChanges());
    other.insertRow(1);
    EXPECT_EQ(indicator->count(), 4);
    other.removeRows(0, 2);
    EXPECT_EQ(indicator->count(), 2);
    indicator->setModel(f.grid.model());
    EXPECT_TRUE(indicator->TakesRowChanges());
    f.grid.show();
    std::vector<std::pair<int, int>> counts;
    QObject::connect(f.grid.verticalHeader(), &QHeaderView::sectionCountChanged,
                     [&](int before, int after) { counts.emplace_back(before, after); });
    f.grid.setCurrentIndex(f.grid.model()->index(10, 0));
    QCoreApplication::processEvents();
    f.ds->Insert();
    f.ds->Post();
    QCoreApplication::processEvents();
    f.ds->Delete();
    f.ds->Delete();
    QCoreApplication::processEvents();
    EXPECT_EQ(counts, (std::vector<std::pair<int, int>>{{30, 31}, {31, 30}, {30, 29}}));
    EXPECT_EQ(f.grid.verticalHeader()->length(), 29 * 18);
    EXPECT_EQ(f.grid.rowAt(f.grid.rowViewportPosition(28) + 1), 28);
}
