#include "Catalogue.h"
#include "ChildWork.h"

#include <QDir>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <thread>

#ifndef CINAXO_SAVE_CHILD
#error "CINAXO_SAVE_CHILD must name the save_child program"
#endif

namespace {
// Starts save_child and waits until it has read the catalogue.
void startChild(QProcess &child, const char *mode, const QString &catalogue)
{
    child.start(QStringLiteral(CINAXO_SAVE_CHILD), {QString::fromLatin1(mode), catalogue});
    ASSERT_TRUE(child.waitForStarted(10000));
    while (!child.canReadLine()) {
        ASSERT_TRUE(child.waitForReadyRead(20000)) << "save_child did not open the catalogue";
    }
    ASSERT_EQ(child.readLine(), "open\n");
}

void kill(QProcess &child)
{
    ::kill(pid_t(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(10000));
}

// What a killed save leaves besides the catalogue: its temporary file.
void removeAllBut(const Catalogue &c, const QString &keep)
{
    QDir dir(c.path(QString()));
    for (const QString &name : dir.entryList(QDir::Files)) {
        if (name != keep)
            dir.remove(name);
    }
}
} // namespace

TEST(KilledSave, FileIsTheOldOrTheNewOneWhenEverTheProcessDies)
{
    Catalogue c;
    // 400,000 films, 22 MB: a save takes tens of milliseconds.
    std::string rest;
    for (int i = 1; i < 400000; ++i)
        rest += "Film number " + std::to_string(i) + ",DVD-" + std::to_string(i % 997) + ",a path\r\n";
    const std::string a = "A\r\n" + rest;
    const std::string b = "BB\r\n" + rest;
    c.writeDb(a);

    std::mt19937 random(20240501);
    int saves = 0, endedA = 0, endedB = 0;
    for (int trial = 0; trial < 100; ++trial) {
        QProcess child;
        startChild(child, "save", c.db());
        // Within the first few saves, at any moment of one.
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 150000));
        kill(child);
        saves += int(child.readAllStandardOutput().count("saved"));
        const std::string now = c.readDb();
        ASSERT_TRUE(now == a || now == b)
            << "trial " << trial << " left " << now.size() << " bytes starting " << now.substr(0, 20);
        (now == a ? endedA : endedB)++;
        removeAllBut(c, QStringLiteral("db.txt"));
    }
    std::printf("100 kills after %d completed saves: %d left A, %d left B\n", saves, endedA, endedB);
    EXPECT_GT(endedA, 0);
    EXPECT_GT(endedB, 0);
}

TEST(KilledSave, JournalHoldsEveryChangeThatWasPosted)
{
    std::string base;
    for (int i = 0; i < 40; ++i)
        base += "Film " + std::to_string(i) + ",D" + std::to_string(i) + ",x\r\n";
    std::mt19937 random(7);
    for (int trial = 0; trial < 8; ++trial) {
        Catalogue c;
        c.writeDb(base);
        QProcess child;
        startChild(child, "journal", c.db());
        const int posted = 1 + int(random() % 60);
        int last = -1;
        while (last + 1 < posted) {
            if (!child.canReadLine()) {
                ASSERT_TRUE(child.waitForReadyRead(10000));
            }
            while (child.canReadLine())
                last = std::stoi(child.readLine().mid(7).toStdString());
        }
        kill(child);
        ASSERT_EQ(c.readDb(), base);

        // The next start finds every change posted, and perhaps the one after.
        auto ds = c.dataSet(childSchema());
        ds->setJournalEnabled(true);
        ds->Open();
        const int pending = ds->PendingJournalChanges();
        EXPECT_GE(pending, last + 1);
        EXPECT_LE(pending, last + 2);
        ds->ApplyJournal();
        ds->Close();
        const std::string recovered = c.readDb();

        // The same changes made here and saved give the same bytes.
        c.writeDb(base);
        auto same = c.dataSet(childSchema());
        same->Open();
        for (int i = 0; i < pending; ++i)
            postChange(*same, i);
        same->Close();
        EXPECT_EQ(recovered, c.readDb()) << "trial " << trial;
    }
}
