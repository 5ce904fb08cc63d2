#include "DBGrid.h"
#include "Catalogue.h"
#include "DBEdit.h"
#include "DataSource.h"
#include "Fields.h"

#include <QAbstractItemModelTester>
#include <QTest>
#include <gtest/gtest.h>

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
