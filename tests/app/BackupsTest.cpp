#include "Backups.h"
#include "CatalogueSession.h"
#include "MainForm.h"
#include "ProgramDir.h"
#include "RestoreForm.h"
#include "SdfData.h"

#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {
QDateTime at(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm"));
}

QStringList copiesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// The catalogue of the program directory with its first film deleted and the session closed: one save.
void saveWithoutFirstFilm(ProgramDir &dir)
{
    CatalogueSession session;
    session.Open(dir.folder() + QLatin1Char('/'));
    session.DataSet()->First();
    session.DataSet()->Delete();
    ASSERT_TRUE(session.Quit());
}
} // namespace

TEST(Backups, KeepTheTenNewestAndTheNewestOfEachMonth)
{
    struct Case
    {
        const char *what;
        std::vector<const char *> dates;
        std::vector<bool> keep;
    };
    const std::vector<bool> ten(10, true);
    std::vector<const char *> elevenInMarch;
    static const char *march[] = {"2026-03-01 10:00", "2026-03-02 10:00", "2026-03-03 10:00",
                                  "2026-03-04 10:00", "2026-03-05 10:00", "2026-03-06 10:00",
                                  "2026-03-07 10:00", "2026-03-08 10:00", "2026-03-09 10:00",
                                  "2026-03-10 10:00", "2026-03-11 10:00"};
    elevenInMarch.assign(std::begin(march), std::end(march));
    std::vector<bool> dropOldest(11, true);
    dropOldest[0] = false;
    // The same eleven and one of February, listed first: February is the newest of its month.
    std::vector<const char *> withFebruary = {"2026-02-28 23:59"};
    withFebruary.insert(withFebruary.end(), elevenInMarch.begin(), elevenInMarch.end());
    std::vector<bool> keepFebruary = {true};
    keepFebruary.insert(keepFebruary.end(), dropOldest.begin(), dropOldest.end());
    // Two of January beyond the ten: only the later one stays; a year apart is another month.
    std::vector<const char *> twoJanuaries = {"2026-01-05 08:00", "2026-01-20 08:00", "2025-01-20 08:00"};
    twoJanuaries.insert(twoJanuaries.end(), elevenInMarch.begin(), elevenInMarch.end());
    std::vector<bool> keepLaterJanuary = {false, true, true};
    keepLaterJanuary.insert(keepLaterJanuary.end(), dropOldest.begin(), dropOldest.end());
    const Case cases[] = {
        {"none", {}, {}},
        {"ten of one month", std::vector<const char *>(march, march + 10), ten},
        {"eleven of one month: the oldest goes", elevenInMarch, dropOldest},
        {"the newest of an older month stays", withFebruary, keepFebruary},
        {"of a month only its newest", twoJanuaries, keepLaterJanuary},
    };
    for (const Case &c : cases) {
        std::vector<QDateTime> dates;
        for (const char *date : c.dates)
            dates.push_back(at(date));
        EXPECT_EQ(BackupsToKeep(dates), c.keep) << c.what;
    }
}

TEST(Backups, ASaveKeepsOneCopyOfTheOldTextAndNoneWhenThereWasNoFile)
{
    ProgramDir dir;
    saveWithoutFirstFilm(dir);
    QStringList copies = copiesIn(dir.backups());
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(copies[0].startsWith(QStringLiteral("db-")));
    EXPECT_EQ(dir.read(QStringLiteral("backups/") + copies[0]), kFilms);
    EXPECT_NE(dir.readDb(), kFilms);

    // Another program took db.txt away: the save makes it anew and there is nothing to copy.
    ProgramDir gone;
    CatalogueSession session;
    session.Open(gone.folder() + QLatin1Char('/'));
    session.DataSet()->First();
    session.DataSet()->Delete();
    QFile::remove(gone.db());
    gone.dialogs.namedAnswers.push_back(QString::fromUtf8("Запиши върху него"));
    ASSERT_TRUE(session.Quit());
    EXPECT_TRUE(copiesIn(gone.backups()).isEmpty());
    EXPECT_NE(gone.readDb(), "<missing>");
}

TEST(Backups, RestoreAsksThenPutsTheCopyBackAndKeepsWhatItReplaced)
{
    ProgramDir dir;
    saveWithoutFirstFilm(dir);
    const std::string saved = dir.readDb();
    TForm1 form;
    ASSERT_EQ(form.DataSet()->RecordCount(), 2);
    TRestoreForm restore(*form.Session(), BackupsFolder(), dir.path(QStringLiteral("format.txt")), &form);
    auto *list = restore.findChild<QTreeWidget *>(QStringLiteral("BackupList"));
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("3"));
    auto *button = restore.findChild<QPushButton *>(QStringLiteral("RestoreButton"));

    dir.dialogs.namedAnswers.push_back(QString::fromUtf8("Не"));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(dir.readDb(), saved);

    dir.dialogs.namedAnswers.push_back(QString::fromUtf8("Да"));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(dir.readDb(), kFilms);
    EXPECT_EQ(form.DataSet()->RecordCount(), 3);
    // The copy it replaced is listed first.
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(dir.read(list->topLevelItem(0)->data(0, Qt::UserRole).toString().mid(dir.folder().size() + 1)),
              saved);
}
