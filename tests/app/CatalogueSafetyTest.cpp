#include "AddEditForm.h"
#include "CatalogueSession.h"
#include "MainForm.h"
#include "ProgramDir.h"
#include "SdfData.h"
#include "ui_MainForm.h"

#include <QLockFile>
#include <QStatusBar>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const std::string kWithoutFirst = kFilms.substr(kFilms.find("\"Smith"));

void deleteFirstFilm(ProgramDir &dir, TForm1 &form)
{
    const int before = form.DataSet()->RecordCount();
    dir.dialogs.answers.push_back(mrOk);
    form.Button03Click();
    ASSERT_EQ(form.DataSet()->RecordCount(), before - 1);
}

// The catalogue of the program directory, as the main window opens it, without the window.
struct Session
{
    explicit Session(ProgramDir &dir) : dir(dir) { session.Open(dir.folder() + QLatin1Char('/')); }
    TSdfDataSet &data() { return *session.DataSet(); }
    void deleteFirstFilm()
    {
        data().First();
        data().Delete();
    }
    ProgramDir &dir;
    CatalogueSession session;
};

QStringList captions(std::initializer_list<const char *> utf8)
{
    QStringList out;
    for (const char *caption : utf8)
        out << QString::fromUtf8(caption);
    return out;
}

QString journalOf(const ProgramDir &dir)
{
    return dir.path(QStringLiteral("db.txt.journal"));
}
} // namespace

TEST(CatalogueSafety, SecondWindowOnTheCatalogueIsReadOnlyOrQuits)
{
    ProgramDir dir;
    TForm1 first;
    EXPECT_FALSE(first.CatalogueReadOnly());
    EXPECT_TRUE(dir.dialogs.asked.empty());

    // Closed without a choice, the box opens the catalogue read-only too.
    {
        TForm1 closed;
        EXPECT_TRUE(closed.CatalogueReadOnly());
    }
    dir.dialogs.namedAnswers = {QString::fromUtf8("Само за четене")};
    {
        TForm1 second;
        ASSERT_EQ(dir.dialogs.asked.size(), 2u);
        EXPECT_EQ(dir.dialogs.asked[1].text,
                  QString::fromUtf8("Каталогът вече е отворен от друг прозорец на Cinaxo.\n\n"
                                    "„Само за четене“ го отваря, без да може да се променя; „Изход“ "
                                    "затваря програмата."));
        EXPECT_EQ(dir.dialogs.asked[1].buttons, captions({"Само за четене", "Изход"}));
        EXPECT_TRUE(second.CatalogueReadOnly());
        EXPECT_EQ(second.ui().DBGrid1->model()->rowCount(), 3);
        for (TNoxSkinBtn *button : {second.ui().Button01, second.ui().Button02, second.ui().Button03})
            EXPECT_FALSE(button->isEnabled());
        EXPECT_TRUE(second.ui().Button04->isEnabled());
        for (const char *item : {"N6", "N7", "N8", "N23", "GridAddFromDisc"})
            EXPECT_FALSE(second.MenuItem(QString::fromLatin1(item))->isEnabled()) << item;
        EXPECT_EQ(second.findChild<QLabel *>(QStringLiteral("StatusPanel1"))->text(),
                  QString::fromUtf8("Само за четене"));
        QTest::keyClick(second.ui().DBGrid1, Qt::Key_Delete);
        QTest::keyClick(second.ui().DBGrid1, Qt::Key_F9);
        EXPECT_EQ(dir.dialogs.messages,
                  std::vector<QString>(2, QString::fromUtf8("Каталогът е отворен само за четене.")));
        EXPECT_EQ(second.DataSet()->RecordCount(), 3);
        second.close();
    }
    EXPECT_EQ(dir.read(QStringLiteral("db.txt")), kFilms);

    dir.dialogs.namedAnswers = {QString::fromUtf8("Изход")};
    {
        TForm1 third;
        EXPECT_TRUE(third.QuitRequested());
        EXPECT_FALSE(third.DataSet()->Active());
        EXPECT_TRUE(dir.dialogs.errors.empty());
    }

    // The first window still has the catalogue as its own.
    deleteFirstFilm(dir, first);
    first.close();
    EXPECT_EQ(dir.read(QStringLiteral("db.txt")), kWithoutFirst);
}

TEST(CatalogueSafety, LockOfAProcessThatIsGoneIsTakenOver)
{
    ProgramDir dir;
    const QString lockName = dir.path(QStringLiteral("db.txt.lock"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(lockName);
        ::_exit(lock.tryLock(0) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(QFile::exists(lockName));

    Session open(dir);
    EXPECT_TRUE(dir.dialogs.asked.empty());
    EXPECT_FALSE(open.session.ReadOnly());
}

TEST(CatalogueSafety, ChangesOfAnotherProgramAreNeverOverwrittenUnasked)
{
    const std::string theirs = cp("Чужд,X-1\r\n");
    const QStringList buttons =
        captions({"Запиши върху него", "Запиши другаде...", "Изход без запис", "Отказ"});
    // Closed without a choice, the box goes back to the program. A copy elsewhere that is cancelled
    // or fails asks again.
    for (const QString &answer : buttons + QStringList{QString()}) {
        SCOPED_TRACE(answer.toStdString());
        ProgramDir dir;
        Session open(dir);
        open.deleteFirstFilm();
        dir.write(QStringLiteral("db.txt"), theirs);
        if (!answer.isEmpty())
            dir.dialogs.namedAnswers = {answer};
        if (answer == buttons[1]) {
            dir.dialogs.namedAnswers.push_front(buttons[1]);
            dir.dialogs.namedAnswers.push_front(buttons[1]);
            dir.dialogs.saveFiles = {QString(), dir.path(QStringLiteral("no/such/folder/x.txt"))};
        }
        dir.dialogs.saveFiles.push_back(dir.path(QStringLiteral("ours.txt")));
        const bool quits = open.session.Quit();
        ASSERT_EQ(dir.dialogs.asked.size(), answer == buttons[1] ? 3u : 1u);
        EXPECT_TRUE(dir.dialogs.asked[0].text.startsWith(
            QString::fromUtf8("Файлът %1 е променен от друга програма, след като Cinaxo го прочете.\n\n")
                .arg(QDir::toNativeSeparators(dir.path(QStringLiteral("db.txt"))))));
        EXPECT_EQ(dir.dialogs.asked[0].buttons, buttons);
        EXPECT_EQ(dir.dialogs.asked[0].escape, buttons[3]);
        EXPECT_EQ(quits, !answer.isEmpty() && answer != buttons[3]);
        EXPECT_EQ(dir.dialogs.errors.size(), answer == buttons[1] ? 1u : 0u);
        EXPECT_EQ(dir.read(QStringLiteral("db.txt")), answer == buttons[0] ? kWithoutFirst : theirs);
        EXPECT_EQ(dir.read(QStringLiteral("ours.txt")), answer == buttons[1] ? kWithoutFirst : "<missing>");
        if (!quits)
            continue;
        // The next start, which shows the other program's db.txt, says once where ours went.
        open.session.DataSet()->Close();
        dir.dialogs.questions.clear();
        for (int start = 0; start < 2; ++start) {
            CatalogueSession next;
            next.Open(dir.folder() + QLatin1Char('/'));
        }
        EXPECT_EQ(dir.dialogs.questions.size(), answer == buttons[1] ? 1u : 0u);
        if (answer == buttons[1]) {
            EXPECT_TRUE(dir.dialogs.questions[0].text.contains(
                QDir::toNativeSeparators(dir.path(QStringLiteral("ours.txt")))));
        }
    }
}

TEST(CatalogueSafety, NulByteOpensTheCatalogueReadOnly)
{
    std::string db;
    for (int i = 1; i < 10; ++i)
        db += "Film " + std::to_string(i) + ",D\r\n";
    db += std::string("Film 10\0,D\r\nFilm 11,D\r\n", 22);
    ProgramDir dir(true, true, db);
    Session open(dir);
    ASSERT_EQ(dir.dialogs.questions.size(), 1u);
    EXPECT_EQ(dir.dialogs.questions[0].text,
              QString::fromUtf8("Файлът db.txt съдържа нулев байт на ред 10 и е прочетен само дотам.\n"
                                "Каталогът е отворен само за четене, за да не се загубят записите след "
                                "този ред."));
    EXPECT_TRUE(open.session.ReadOnly());
    EXPECT_FALSE(open.session.CanUndo());
    EXPECT_EQ(open.data().LineCount(), 10);
    EXPECT_TRUE(open.session.RefuseWhenReadOnly());
    EXPECT_TRUE(open.session.Quit());
    EXPECT_EQ(dir.read(QStringLiteral("db.txt")), db);
    EXPECT_FALSE(QFile::exists(journalOf(dir)));
}

TEST(CatalogueSafety, ChangesOfARunThatCrashedAreOfferedBack)
{
    // Yes applies them, No gives them up, and a box closed otherwise keeps them for the next start.
    const QString yes = QString::fromUtf8("Да");
    const QString no = QString::fromUtf8("Не");
    for (const QString &answer : {yes, no, QString()}) {
        SCOPED_TRACE(answer.toStdString());
        ProgramDir dir;
        std::string journal;
        {
            TForm1 crashed;
            deleteFirstFilm(dir, crashed);
            journal = dir.read(QStringLiteral("db.txt.journal"));
            crashed.DataSet()->DiscardChanges();
        }
        // What the crash left: the old catalogue and the journal.
        dir.write(QStringLiteral("db.txt.journal"), journal);
        if (!answer.isEmpty())
            dir.dialogs.namedAnswers = {answer};
        TForm1 form;
        ASSERT_EQ(dir.dialogs.asked.size(), 1u);
        EXPECT_EQ(
            dir.dialogs.asked[0].text,
            QString::fromUtf8("Намерени са незаписани промени от предишното пускане. Да се възстановят ли?"));
        EXPECT_EQ(dir.dialogs.asked[0].buttons, (QStringList{yes, no}));
        EXPECT_EQ(form.ui().DBGrid1->model()->rowCount(), answer == yes ? 2 : 3);
        EXPECT_EQ(QFile::exists(journalOf(dir)), answer != no);
        form.close();
        EXPECT_EQ(dir.read(QStringLiteral("db.txt")), answer == yes ? kWithoutFirst : kFilms);
        EXPECT_EQ(QFile::exists(journalOf(dir)), answer.isEmpty());
    }
}

TEST(CatalogueSafety, SignalsToStopEndThroughTheSave)
{
    for (int signalNumber : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signalNumber);
        ProgramDir dir;
        TForm1 form;
        form.show();
        deleteFirstFilm(dir, form);
        std::raise(signalNumber);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 5000));
        EXPECT_EQ(dir.read(QStringLiteral("db.txt")), kWithoutFirst);
    }
    // A dialog that is open is cancelled first.
    ProgramDir dir;
    TForm1 form;
    form.show();
    deleteFirstFilm(dir, form);
    whenModal([](QWidget *) { std::raise(SIGTERM); });
    form.Button2Click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 5000));
    EXPECT_TRUE(form.findChildren<TAddEditForm *>().empty());
    EXPECT_EQ(dir.read(QStringLiteral("db.txt")), kWithoutFirst);
}

TEST(CatalogueSafety, SessionCommitSavesAndStaysOpen)
{
    ProgramDir dir;
    Session open(dir);
    open.deleteFirstFilm();
    ASSERT_TRUE(QFile::exists(journalOf(dir)));
    open.session.CommitData(true);
    EXPECT_EQ(dir.read(QStringLiteral("db.txt")), kWithoutFirst);
    EXPECT_TRUE(open.data().Active());
    EXPECT_FALSE(open.data().Changed());
    EXPECT_FALSE(QFile::exists(journalOf(dir)));
    // The save was ours: leaving later asks nothing.
    open.deleteFirstFilm();
    EXPECT_TRUE(open.session.Quit());
    EXPECT_TRUE(dir.dialogs.asked.empty());
    EXPECT_EQ(dir.read(QStringLiteral("db.txt")), cp("Matrix,DVD-002,DVD,,,,да\r\n"));
}

TEST(CatalogueSafety, WithoutWindowsTheCatalogueIsSavedUnasked)
{
    ProgramDir dir;
    Session open(dir);
    open.data().setBackupFolder(dir.path(QStringLiteral("data")));
    open.deleteFirstFilm();
    open.session.SaveWithoutWindows();
    EXPECT_EQ(dir.read(QStringLiteral("db.txt")), kWithoutFirst);
    EXPECT_FALSE(open.data().Active());

    // Another program's changes stay; ours go beside the user's data, and standard error says so.
    ProgramDir other;
    Session second(other);
    second.data().setBackupFolder(other.path(QStringLiteral("data")));
    second.deleteFirstFilm();
    other.write(QStringLiteral("db.txt"), "Theirs\r\n");
    ::testing::internal::CaptureStderr();
    second.session.SaveWithoutWindows();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(other.read(QStringLiteral("db.txt")), "Theirs\r\n");
    const QStringList copies = QDir(other.path(QStringLiteral("data"))).entryList(QDir::Files);
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(other.read(QStringLiteral("data/") + copies[0]), kWithoutFirst);
    EXPECT_NE(said.find("was changed by another program"), std::string::npos) << said;
    EXPECT_TRUE(other.dialogs.asked.empty());
}

TEST(CatalogueSafety, ErrorOfACommandInTheGridIsShownAndTheProgramGoesOn)
{
    ProgramDir dir;
    dir.write(QStringLiteral("format.txt"), "A=5\r\nB=5\r\n");
    TForm1 form;
    ASSERT_EQ(dir.dialogs.errors.size(), 1u);
    QTest::keyClick(form.ui().DBGrid1, Qt::Key_Return);
    ASSERT_EQ(dir.dialogs.errors.size(), 2u);
    EXPECT_EQ(dir.dialogs.errors[1], QStringLiteral("List index out of bounds (3)"));
}

TEST(CatalogueSafety, SchemaOfBlankLinesIsRefusedByItsLine)
{
    ProgramDir dir;
    dir.write(QStringLiteral("format.txt"), "\r\n");
    TForm1 form;
    ASSERT_EQ(dir.dialogs.errors.size(), 1u);
    EXPECT_EQ(dir.dialogs.errors[0], QStringLiteral("DataSet: Field name missing in line 1 of the schema"));
    EXPECT_FALSE(form.DataSet()->Active());
}
