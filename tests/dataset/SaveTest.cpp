#include "Catalogue.h"
#include "FileSizeLimit.h"
#include "Unprivileged.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <random>

namespace {
const std::vector<std::string> kSchema{"Title=20", "Disc=8"};
const std::string kThree = "Alpha,A1\r\nBeta,B2\r\nGamma,C3\r\n";
} // namespace

TEST(SdfSave, UntouchedCatalogueKeepsItsBytesAndTime)
{
    Catalogue c;
    c.writeDb("Alpha,A1\nBeta");
    const QDateTime past = QDateTime::currentDateTime().addDays(-3);
    {
        QFile file(c.db());
        file.open(QIODevice::ReadWrite);
        file.setFileTime(past, QFileDevice::FileModificationTime);
    }
    {
        auto ds = c.dataSet(kSchema);
        ds->Open();
        ds->Last();
        ds->Edit();
        ds->FieldByName("Title").setAsString("Changed");
        ds->Cancel();
        ds->Insert();
        ds->Cancel();
    }
    EXPECT_EQ(c.readDb(), "Alpha,A1\nBeta");
    EXPECT_EQ(QFileInfo(c.db()).lastModified().toSecsSinceEpoch(), past.toSecsSinceEpoch());
}

TEST(SdfSave, AnyPostRewritesTheWholeFileWithCrLf)
{
    Catalogue c;
    c.writeDb("Alpha,A1\n  spaced , x \rGamma");
    {
        auto ds = c.dataSet(kSchema);
        ds->Open();
        ds->Edit();
        ds->Post();
    }
    // Lines never replaced keep their text; only the line ends change.
    EXPECT_EQ(c.readDb(), "Alpha,A1\r\n  spaced , x \r\nGamma\r\n");
}

TEST(SdfSave, DeletingTheOnlyRecordWritesAnEmptyFile)
{
    Catalogue c;
    auto ds = c.open(kSchema, "Alpha\r\n");
    ds->Delete();
    ds->Close();
    EXPECT_EQ(c.readDb(), "");
}

TEST(SdfSave, MissingFile)
{
    Catalogue c;
    auto ds = c.dataSet(kSchema);
    EXPECT_EQ(MESSAGE_OF(ds->Open()), "Cannot open file " + c.db().toStdString());
    EXPECT_FALSE(ds->Active());
    EXPECT_EQ(c.readDb(), "<missing>");

    ds->setFileMustExist(false);
    ds->Open();
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_EQ(c.readDb(), "");

    auto nowhere = c.dataSet(kSchema);
    nowhere->setFileMustExist(false);
    nowhere->setFileName(c.path(QStringLiteral("no/such/dir/db.txt")));
    EXPECT_EQ(MESSAGE_OF(nowhere->Open()),
              "Cannot create file " + c.path(QStringLiteral("no/such/dir/db.txt")).toStdString());
}

TEST(SdfSave, FailedWriteKeepsTheOldFileAndTheChanges)
{
    Catalogue c;
    c.writeDb(kThree);
    auto ds = c.dataSet(kSchema);
    ds->Open();
    ds->AppendRecord({std::string(20, 'x'), std::string(8, 'y')});
    for (int i = 0; i < 60; ++i)
        ds->AppendRecord({"Film " + std::to_string(i), "D"});
    {
        FileSizeLimit limit(512);
        EXPECT_EQ(MESSAGE_OF(ds->Close()), "Stream write error");
    }
    EXPECT_EQ(c.readDb(), kThree);
    EXPECT_TRUE(ds->Active());
    EXPECT_EQ(ds->LineCount(), 64);
    // Nothing is left behind but the catalogue itself.
    EXPECT_EQ(QDir(c.path(QString())).entryList(QDir::Files), QStringList{QStringLiteral("db.txt")});
    ds->Close();
    EXPECT_FALSE(ds->Active());
    const std::string start = kThree + std::string(20, 'x') + "," + std::string(8, 'y') + "\r\nFilm 0,D\r\n";
    EXPECT_EQ(c.readDb().substr(0, start.size()), start);
}

TEST(SdfSave, FileThatCannotBeCreatedKeepsTheChangesForAnotherPlace)
{
    Catalogue c;
    QDir(c.path(QString())).mkdir(QStringLiteral("sub"));
    const QString file = c.path(QStringLiteral("sub/db.txt"));
    c.write(QStringLiteral("sub/db.txt"), kThree);
    auto ds = c.dataSet(kSchema);
    ds->setFileName(file);
    ds->Open();
    ds->Delete();
    ASSERT_TRUE(QDir(c.path(QString())).rename(QStringLiteral("sub"), QStringLiteral("gone")));
    EXPECT_EQ(MESSAGE_OF(ds->Close()), "Cannot create file " + file.toStdString());
    EXPECT_EQ(c.read(QStringLiteral("gone/db.txt")), kThree);
    ds->SaveUnderName(c.db());
    EXPECT_EQ(ds->FileName(), c.db());
    EXPECT_FALSE(ds->Changed());
    EXPECT_EQ(c.readDb(), "Beta,B2\r\nGamma,C3\r\n");
    ds->Close();
}

TEST(SdfSave, CatalogueThatCannotBeReplacedStaysAsItWas)
{
    // A folder has taken the catalogue's name since it was read: no user, root included, may put
    // a file in its place.
    Catalogue c;
    c.writeDb(kThree);
    auto ds = c.dataSet(kSchema);
    ds->Open();
    ds->Delete();
    ASSERT_TRUE(QFile::remove(c.db()));
    ASSERT_TRUE(QDir(c.path(QString())).mkpath(QStringLiteral("db.txt/inside")));
    c.write(QStringLiteral("db.txt/inside/kept.txt"), "kept");
    EXPECT_EQ(MESSAGE_OF(ds->Close()), "Cannot create file " + c.db().toStdString());
    EXPECT_TRUE(ds->Active());
    EXPECT_EQ(ds->LineCount(), 2);
    EXPECT_TRUE(QFileInfo(c.db()).isDir());
    EXPECT_EQ(c.read(QStringLiteral("db.txt/inside/kept.txt")), "kept");
    EXPECT_TRUE(QDir(c.path(QString())).entryList(QDir::Files).isEmpty()); // no temporary file left
    ds->SaveUnderName(c.path(QStringLiteral("rescued.txt")));
    EXPECT_EQ(c.read(QStringLiteral("rescued.txt")), "Beta,B2\r\nGamma,C3\r\n");
}

TEST(SdfSave, ReadOnlyFileIsNotReplaced)
{
    Catalogue c;
    c.writeDb(kThree);
    QFile::setPermissions(c.db(), QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    // The folder may be written; the file may not (root runs this part as nobody).
    unprivileged::handOver(c.path(QString()));
    unprivileged::run([&] {
        auto ds = c.dataSet(kSchema);
        ds->Open();
        ds->Delete();
        EXPECT_EQ(MESSAGE_OF(ds->Close()), "Cannot create file " + c.db().toStdString());
        EXPECT_EQ(c.readDb(), kThree);
        EXPECT_TRUE(ds->Active());
        ds->DiscardChanges();
    });
}

TEST(SdfSave, DestroyingTheDatasetSaves)
{
    Catalogue c;
    {
        auto ds = c.open(kSchema, kThree);
        ds->Delete();
    }
    EXPECT_EQ(c.readDb(), "Beta,B2\r\nGamma,C3\r\n");
}

TEST(SdfMaintenance, DropBlankLinesAndRewriteAllLines)
{
    Catalogue c;
    auto ds = c.open({"A=3", "B=3"}, "  \r\n abcdef , x,extra,,\r\n\t\r\n\"q,r\"\r\n");
    ds->DropBlankLines();
    EXPECT_EQ(ds->LineCount(), 2);
    EXPECT_TRUE(ds->Changed());
    ds->RewriteAllLines();
    EXPECT_EQ(c.readDb(), "abc,x\r\n\"q,r\"\r\n");
    EXPECT_EQ(ds->LineRecordId(0), 2);
    EXPECT_EQ(ds->LineRecordId(1), 4);
    ds->Close();
    ds->setSchema({"A=3", "B=3"});
    EXPECT_EQ(MESSAGE_OF(ds->RewriteAllLines()),
              "DataSet: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(c.readDb(), "abc,x\r\n\"q,r\"\r\n");
}

TEST(SdfMaintenance, DropBlankLinesEndsAsDeletingThemOneByOneWould)
{
    // The old way, on a plain vector: from the last line to the first, each blank line deleted
    // with the cursor on it, the cursor stepping back when it falls off the end.
    auto reference = [](std::vector<std::string> &lines, int &cursor) {
        for (int i = int(lines.size()) - 1; i >= 0; --i) {
            if (lines[std::size_t(i)].find_first_not_of(" \t") == std::string::npos) {
                cursor = i;
                lines.erase(lines.begin() + i);
                if (cursor >= int(lines.size()))
                    --cursor;
            }
        }
    };
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> lines;
        std::string file;
        const int count = int(random() % 12);
        for (int i = 0; i < count; ++i) {
            lines.push_back(random() % 3 == 0 ? std::string(random() % 3, ' ') + (random() % 2 ? "\t" : "")
                                              : "film" + std::to_string(i));
            file += lines.back() + "\r\n";
        }
        Catalogue c;
        auto ds = c.open(kSchema, file);
        ds->Last();
        int cursor = ds->Cursor();
        reference(lines, cursor);
        ds->DropBlankLines();
        ASSERT_EQ(ds->LineCount(), int(lines.size())) << file;
        for (int i = 0; i < ds->LineCount(); ++i)
            ASSERT_EQ(ds->Line(i), lines[std::size_t(i)]) << file;
        EXPECT_EQ(ds->Cursor(), cursor) << file;
        EXPECT_EQ(ds->Changed(), int(lines.size()) != count) << file;
    }
}
