#include "Catalogue.h"
#include "FileSizeLimit.h"
#include "Journal.h"
#include "Unprivileged.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace {
const std::vector<std::string> kSchema{"Title=20", "Disc=8"};
const std::string kThree = "Alpha,A1\r\nBeta,B2\r\nGamma,C3\r\n";

std::unique_ptr<TSdfDataSet> journalled(const Catalogue &c)
{
    auto ds = c.dataSet(kSchema);
    ds->setBackupFolder(c.path(QStringLiteral("data")));
    ds->setJournalEnabled(true);
    return ds;
}

QString journalOf(const Catalogue &c)
{
    return c.db() + QStringLiteral(".journal");
}

std::string readFile(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll().toStdString();
}

void copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(from, to)) << from.toStdString();
}
} // namespace

TEST(HostileFiles, FifoAndDevicesAreRefusedWithoutWaiting)
{
    Catalogue c;
    ASSERT_EQ(::mkfifo(QFile::encodeName(c.db()).constData(), 0644), 0);
    auto ds = c.dataSet(kSchema);
    const std::string notRegular = "Cannot open file " + c.db().toStdString() + ": it is not a regular file";
    EXPECT_EQ(MESSAGE_OF(ds->Open()), notRegular);
    EXPECT_FALSE(ds->Active());

    QFile::remove(c.db());
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), c.db()));
    EXPECT_EQ(MESSAGE_OF(ds->Open()), notRegular);

    const QString schema = c.path(QStringLiteral("format.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(schema).constData(), 0644), 0);
    EXPECT_EQ(MESSAGE_OF(ds->LoadSchemaFromFile(schema)),
              "Cannot open file " + schema.toStdString() + ": it is not a regular file");
}

TEST(HostileFiles, SchemaOfManyNamesIsReadInOnePass)
{
    Catalogue c;
    c.writeDb("Casablanca,DVD-001,a longer value\r\n");
    std::vector<std::string> names, zeroWide;
    for (int i = 0; i < 100000; ++i) {
        names.push_back("Name" + std::to_string(i));
        zeroWide.push_back("Name" + std::to_string(i) + "=0");
    }
    // Every name takes the longest line's width, 33: far more than a record holds.
    auto wide = c.dataSet(names);
    EXPECT_EQ(MESSAGE_OF(wide->Open()),
              "DataSet: Record too wide: its fields take 3300000 characters, and no "
              "more than 65529 fit in a record");

    auto empty = c.dataSet(zeroWide);
    empty->Open();
    EXPECT_EQ(empty->FieldCount(), 100000);
    EXPECT_EQ(empty->Fields(99999)->FieldName(), "Name99999");
    empty->Close();

    zeroWide.push_back("NAME5=0");
    auto twice = c.dataSet(zeroWide);
    EXPECT_EQ(MESSAGE_OF(twice->Open()), "DataSet: Duplicate field name 'NAME5'");
}

TEST(HostileFiles, BlankSchemaLinesArePassedOverButAreNoSchema)
{
    Catalogue c;
    c.writeDb(kThree);
    c.write(QStringLiteral("format.txt"), "\r\nTitle=20\r\n  \t\r\n\r\nDisc=8\r\n");
    auto ds = c.dataSet({});
    ds->LoadSchemaFromFile(c.path(QStringLiteral("format.txt")));
    ds->Open();
    EXPECT_EQ(ds->FieldCount(), 2);
    EXPECT_EQ(ds->Fields(1)->FieldName(), "Disc");
    ds->Close();

    c.write(QStringLiteral("format.txt"), "\r\n \r\n");
    ds->LoadSchemaFromFile(c.path(QStringLiteral("format.txt")));
    EXPECT_EQ(MESSAGE_OF(ds->Open()), "DataSet: Field name missing in line 1 of the schema");
    EXPECT_FALSE(ds->Active());
}

TEST(HostileFiles, NulByteTellsTheLineWhereTheTextEnded)
{
    Catalogue c;
    std::string text;
    for (int i = 1; i < 10; ++i)
        text += "Film " + std::to_string(i) + ",D\r\n";
    text += std::string("Film 10,D\0 and the rest\r\nFilm 11,D\r\n", 36);
    auto ds = c.open(kSchema, text);
    EXPECT_EQ(ds->NulLine(), 10);
    EXPECT_EQ(ds->LineCount(), 10);
    EXPECT_EQ(ds->Line(9), "Film 10,D");
    ds->Close();

    auto clean = c.open(kSchema, kThree);
    EXPECT_EQ(clean->NulLine(), 0);
}

TEST(SafeSave, LongLineIsWrittenWhole)
{
    Catalogue c;
    const std::string longLine(3 * 1024 * 1024 + 17, 'x');
    auto ds = c.open(kSchema, "Alpha,A1\r\n" + longLine + "\r\nGamma,C3\r\n");
    ds->Delete();
    ds->Close();
    EXPECT_EQ(c.readDb(), longLine + "\r\nGamma,C3\r\n");
}

TEST(SafeSave, FileKeepsItsOwnerGroupAndMode)
{
    Catalogue c;
    c.writeDb(kThree);
    const QByteArray path = QFile::encodeName(c.db());
    ASSERT_EQ(::chmod(path.constData(), 0640), 0);
    struct stat before;
    unprivileged::handOver(c.db());
    ASSERT_EQ(::stat(path.constData(), &before), 0);
    auto ds = c.open(kSchema, c.readDb());
    ds->Delete();
    ds->Close();
    ASSERT_EQ(c.readDb(), "Beta,B2\r\nGamma,C3\r\n");
    struct stat after;
    ASSERT_EQ(::stat(path.constData(), &after), 0);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    if (unprivileged::asRoot()) {
        EXPECT_EQ(after.st_uid, unprivileged::kNobody);
    }
}

TEST(SafeSave, FolderThatCannotBeWrittenGetsTheFileWrittenInPlaceAfterACopy)
{
    Catalogue c;
    c.writeDb(kThree);
    const QString data = c.path(QStringLiteral("data"));
    QDir().mkpath(data);
    unprivileged::handOver(data);
    unprivileged::handOver(c.db());
    const QString folder = c.path(QString());
    // Readable by all, writable by nobody but root.
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), unprivileged::asRoot() ? 0755 : 0555), 0);
    unprivileged::run([&] {
        auto ds = c.dataSet(kSchema);
        ds->setBackupFolder(data);
        ds->setJournalEnabled(true);
        ds->Open();
        ds->Delete();
        // The journal cannot lie beside the catalogue either: it goes to the data folder.
        EXPECT_EQ(QFileInfo(ds->JournalFileName()).absolutePath(), data);
        EXPECT_TRUE(QFile::exists(ds->JournalFileName()));
        ds->Close();
        EXPECT_EQ(c.readDb(), "Beta,B2\r\nGamma,C3\r\n");
        EXPECT_TRUE(ds->BackupCopy().isEmpty());
        // The copy goes once the new text is complete; nothing else is left.
        EXPECT_EQ(QDir(data).entryList(QDir::Files), QStringList());
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("db.txt")});

        // A write that fails half-way says where the old text is.
        ds->Open();
        for (int i = 0; i < 100; ++i)
            ds->AppendRecord({"Film " + std::to_string(i), "D"});
        {
            FileSizeLimit limit(200);
            EXPECT_EQ(MESSAGE_OF(ds->Close()), "Stream write error");
        }
        ASSERT_FALSE(ds->BackupCopy().isEmpty());
        EXPECT_EQ(QFileInfo(ds->BackupCopy()).absolutePath(), data);
        EXPECT_EQ(readFile(ds->BackupCopy()), "Beta,B2\r\nGamma,C3\r\n");
        EXPECT_TRUE(ds->Active());
        ds->Close();
        EXPECT_EQ(ds->LineCount(), 0);
        EXPECT_EQ(c.readDb().substr(0, 29), "Beta,B2\r\nGamma,C3\r\nFilm 0,D\r\n");
    });
    ::chmod(QFile::encodeName(folder).constData(), 0700);
}

TEST(SafeSave, ChangesByAnotherProgramAreNoticed)
{
    Catalogue c;
    auto ds = c.open(kSchema, kThree);
    EXPECT_FALSE(ds->FileChangedOnDisk());
    {
        // A new time stamp on the same text is no change.
        QFile file(c.db());
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime);
    }
    EXPECT_FALSE(ds->FileChangedOnDisk());
    // The same size, another text, and the old time stamp back.
    const QDateTime stamp = QFileInfo(c.db()).lastModified();
    c.writeDb("Alphx,A1\r\nBeta,B2\r\nGamma,C3\r\n");
    {
        QFile file(c.db());
        file.open(QIODevice::ReadWrite);
        file.setFileTime(stamp, QFileDevice::FileModificationTime);
    }
    EXPECT_TRUE(ds->FileChangedOnDisk());
    // Our own save makes the file ours again.
    ds->SaveUnderName(c.db());
    EXPECT_FALSE(ds->FileChangedOnDisk());
    EXPECT_EQ(c.readDb(), kThree);
    // Replaced by another file of other length.
    c.write(QStringLiteral("new.txt"), "Other\r\n");
    ASSERT_TRUE(::rename(QFile::encodeName(c.path(QStringLiteral("new.txt"))).constData(),
                         QFile::encodeName(c.db()).constData()) == 0);
    EXPECT_TRUE(ds->FileChangedOnDisk());
    // Gone: nothing there that a save would write over.
    QFile::remove(c.db());
    EXPECT_FALSE(ds->FileChangedOnDisk());
}

TEST(Journal, RecoveryGivesTheCatalogueTheRunWouldHaveSaved)
{
    Catalogue c;
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "Film " + std::to_string(i) + ",D" + std::to_string(i % 7) + "\r\n";
    c.writeDb(text);
    auto ds = journalled(c);
    ds->Open();
    std::mt19937 random(12);
    int changes = 0;
    for (int step = 0; step < 400; ++step) {
        const int rows = ds->RowCount();
        const int kind = int(random() % 4);
        if (rows > 0)
            ds->MoveToRow(int(random() % unsigned(rows)));
        const std::string value = "V" + std::to_string(step) + (step % 5 == 0 ? ", with a comma" : "");
        if (kind == 0 && rows > 0) {
            ds->Delete();
        } else if (kind == 1 && rows > 0) {
            ds->Edit();
            ds->Fields(int(random() % 2))->setAsString(value);
            ds->Post();
        } else if (kind == 2) {
            ds->Insert();
            ds->Fields(0)->setAsString(value);
            ds->Post();
        } else {
            ds->AppendRecord({value, "Z"});
        }
        ++changes;
    }
    // The run crashes here: its catalogue is still the old text, its journal holds every change.
    Catalogue after;
    after.writeDb(c.readDb());
    ASSERT_EQ(after.readDb(), text);
    copyFile(journalOf(c), journalOf(after));
    ds->Close();
    const std::string saved = c.readDb();
    ASSERT_NE(saved, text);
    EXPECT_FALSE(QFile::exists(journalOf(c))) << "a save removes the journal";

    auto next = journalled(after);
    next->Open();
    EXPECT_EQ(next->PendingJournalChanges(), changes);
    EXPECT_EQ(next->ApplyJournal(), changes);
    EXPECT_TRUE(next->Changed());
    EXPECT_EQ(next->RowCount(), next->LineCount());
    next->Close();
    EXPECT_EQ(after.readDb(), saved);
    EXPECT_FALSE(QFile::exists(journalOf(after)));
}

TEST(Journal, AppliedChangesStayJournalledAndATornLineIsLeftOut)
{
    Catalogue c;
    c.writeDb(kThree);
    auto ds = journalled(c);
    ds->Open();
    ds->Delete();
    ds->AppendRecord({"Delta", "D4"});
    // The run crashes while it writes a third change.
    Catalogue crashed;
    crashed.writeDb(kThree);
    copyFile(journalOf(c), journalOf(crashed));
    {
        QFile journal(journalOf(crashed));
        journal.open(QIODevice::Append);
        journal.write("R 0 Cut of");
    }
    ds->DiscardChanges();
    EXPECT_FALSE(QFile::exists(journalOf(c))) << "the journal goes with the changes";
    ds->Close();
    EXPECT_EQ(c.readDb(), kThree);

    auto first = journalled(crashed);
    first->Open();
    EXPECT_EQ(first->PendingJournalChanges(), 2);
    first->ApplyJournal();
    EXPECT_EQ(first->Line(0), "Beta,B2");
    // That run crashes too, after one more change: all three come back.
    first->Edit();
    first->Fields(1)->setAsString("X");
    first->Post();
    Catalogue again;
    again.writeDb(crashed.readDb());
    copyFile(journalOf(crashed), journalOf(again));
    first->DiscardChanges();
    first->Close();

    auto second = journalled(again);
    second->Open();
    EXPECT_EQ(second->PendingJournalChanges(), 3);
    second->ApplyJournal();
    second->Close();
    EXPECT_EQ(again.readDb(), "Beta,X\r\nGamma,C3\r\nDelta,D4\r\n");
}

TEST(Journal, ForeignOrUnansweredJournalIsKeptAside)
{
    Catalogue c;
    c.writeDb(kThree);
    auto ds = journalled(c);
    ds->Open();
    ds->Delete();
    const QString aside = c.path(QStringLiteral("kept.journal"));
    copyFile(journalOf(c), aside);
    ds->DiscardChanges();
    ds->Close();

    // The catalogue changed since the journal was written: it cannot apply.
    c.writeDb(kThree + "Delta,D4\r\n");
    copyFile(aside, journalOf(c));
    ds->Open();
    EXPECT_EQ(ds->PendingJournalChanges(), 0);
    ASSERT_FALSE(ds->ForeignJournal().isEmpty());
    EXPECT_FALSE(QFile::exists(journalOf(c)));
    EXPECT_EQ(readFile(ds->ForeignJournal()), c.read(QStringLiteral("kept.journal")));
    ds->Close();

    // A journal nobody decided on is not written over by the next change.
    c.writeDb(kThree);
    copyFile(aside, journalOf(c));
    ds->Open();
    EXPECT_EQ(ds->PendingJournalChanges(), 1);
    ds->Last();
    ds->Delete();
    ASSERT_FALSE(ds->ForeignJournal().isEmpty());
    EXPECT_EQ(readFile(ds->ForeignJournal()), c.read(QStringLiteral("kept.journal")));
    EXPECT_TRUE(QFile::exists(journalOf(c)));
    ds->Close();

    // Given up: the journal is deleted; a read-only dataset keeps none.
    c.writeDb(kThree);
    copyFile(aside, journalOf(c));
    ds->Open();
    ds->DiscardJournal();
    EXPECT_FALSE(QFile::exists(journalOf(c)));
    ds->Close();
    ds->setReadOnly(true);
    ds->Open();
    ds->Delete();
    EXPECT_FALSE(QFile::exists(journalOf(c)));
}

TEST(Journal, BlankLinesDroppedInOnePassAreJournalledToo)
{
    Catalogue c;
    const std::string text = "A,1\r\n \r\nB,2\r\n\r\n\t\r\nC,3\r\n";
    c.writeDb(text);
    auto ds = journalled(c);
    ds->Open();
    ds->DropBlankLines();
    ds->AppendRecord({"D", "4"});
    Catalogue after;
    after.writeDb(text);
    copyFile(journalOf(c), journalOf(after));
    ds->Close();
    EXPECT_EQ(c.readDb(), "A,1\r\nB,2\r\nC,3\r\nD,4\r\n");

    auto next = journalled(after);
    next->Open();
    EXPECT_EQ(next->PendingJournalChanges(), 4);
    next->ApplyJournal();
    next->Close();
    EXPECT_EQ(after.readDb(), c.readDb());
}

TEST(Journal, APowerCutInTheLastLineKeepsExactlyTheLinesBeforeIt)
{
    Catalogue c;
    const QString name = c.path(QStringLiteral("cut.journal"));
    FileState base;
    base.stamp.size = 30;
    base.hash = 0xABCDEF;
    const std::vector<Journal::Entry> written{{Journal::Op::Replace, 0, "Alpha,X"},
                                              {Journal::Op::Delete, 2, ""},
                                              {Journal::Op::Insert, 1, "\"Smith, John\",CD-002"}};
    {
        Journal journal;
        journal.start(name, base);
        for (const Journal::Entry &e : written)
            journal.record(e.op, e.index, e.line);
    }
    const std::string whole = readFile(name);
    const std::size_t lastLine = whole.rfind('\n', whole.size() - 2) + 1;
    auto entriesOf = [&](const std::string &bytes) {
        Catalogue cut;
        cut.write(QStringLiteral("cut.journal"), bytes);
        const Journal::Contents contents = Journal::read(cut.path(QStringLiteral("cut.journal")));
        EXPECT_EQ(contents.baseSize, 30);
        EXPECT_EQ(contents.baseHash, 0xABCDEFu);
        std::vector<std::string> lines;
        for (const Journal::Entry &e : contents.entries)
            lines.push_back(char(e.op) + std::to_string(e.index) + e.line);
        return lines;
    };
    std::vector<std::string> before, all;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const std::string line = char(written[i].op) + std::to_string(written[i].index) + written[i].line;
        all.push_back(line);
        if (i + 1 < written.size())
            before.push_back(line);
    }
    EXPECT_EQ(entriesOf(whole), all);
    // Cut at every byte of the last line, and the same lengths with the unwritten rest turned to the
    // zeros a file system can leave after a power cut.
    for (std::size_t cut = lastLine; cut < whole.size(); ++cut) {
        EXPECT_EQ(entriesOf(whole.substr(0, cut)), before) << "cut at " << cut;
        EXPECT_EQ(entriesOf(whole.substr(0, cut) + std::string(whole.size() - cut, '\0')), before)
            << "zeros from " << cut;
    }
}

TEST(Journal, LinesReachTheDiskWithinASecondWithOneSyncForABurst)
{
    Catalogue c;
    Journal::Clock::time_point clock{};
    Journal journal;
    journal.setClock([&] { return clock; });
    journal.start(c.path(QStringLiteral("db.txt.journal")), FileState{});
    using std::chrono::milliseconds;
    // A burst: the lines wait for one sync.
    for (int i = 0; i < 100; ++i) {
        journal.record(Journal::Op::Delete, i);
        clock += milliseconds(5);
    }
    EXPECT_TRUE(journal.syncPending());
    EXPECT_EQ(journal.syncCount(), 0);
    // A second after the last sync, the next line is synced as it is recorded, with those before it.
    clock += milliseconds(500);
    journal.record(Journal::Op::Delete, 100);
    EXPECT_FALSE(journal.syncPending());
    EXPECT_EQ(journal.syncCount(), 1);
    // A line after which nothing is recorded is synced by the event loop, within the second.
    clock += milliseconds(200);
    journal.record(Journal::Op::Delete, 101);
    EXPECT_TRUE(journal.syncPending());
    QElapsedTimer waited;
    waited.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !journal.syncPending(); }, 3000));
    EXPECT_LE(waited.elapsed(), 1000);
    EXPECT_EQ(journal.syncCount(), 2);
    // Stopping syncs what waits.
    clock += milliseconds(10);
    journal.record(Journal::Op::Delete, 102);
    journal.stop();
    EXPECT_EQ(journal.syncCount(), 3);
}
