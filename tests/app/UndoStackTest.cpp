#include "CatalogueSession.h"
#include "CatalogueTransfer.h"
#include "Journal.h"
#include "Lending.h"
#include "MainForm.h"
#include "ProgramDir.h"
#include "SdfData.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QTest>
#include <gtest/gtest.h>
#include <random>

namespace {
using Lines = std::vector<std::string>;

Lines linesOf(const TSdfDataSet &data)
{
    Lines out;
    for (int i = 0; i < data.LineCount(); ++i)
        out.emplace_back(data.Line(i));
    return out;
}

// What a start after a crash now would show: db.txt with the journal applied.
Lines recovered(const ProgramDir &dir)
{
    LineList lines;
    const FileState state = lines.load(dir.db());
    const Journal::Contents journal = Journal::read(dir.path(QStringLiteral("db.txt.journal")));
    if (journal.exists) {
        EXPECT_TRUE(journal.appliesTo(state));
        std::int32_t nextId = lines.count();
        EXPECT_EQ(Journal::apply(journal.entries, lines, nextId), int(journal.entries.size()));
    }
    Lines out;
    for (int i = 0; i < lines.count(); ++i)
        out.emplace_back(lines.at(i));
    return out;
}
} // namespace

// Adds, edits, deletes, discs lent and returned, imports, saves, undos and redos in a random order,
// against the history of the catalogue's lines: after each of them the catalogue, the changed flag
// and what a crash would leave to recover are those of the step the history stands on.
TEST(UndoStack, RandomChangesUndosAndRedosMatchTheHistoryAndTheJournal)
{
    ProgramDir dir;
    CatalogueSession session;
    session.Open(dir.folder() + QLatin1Char('/'));
    TSdfDataSet &data = *session.DataSet();
    std::vector<Lines> history{linesOf(data)};
    std::size_t done = 0, clean = 0;
    constexpr std::size_t kNowhere = std::size_t(-1);
    std::mt19937 random(20261209);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    auto changed = [&](Lines now) {
        if (clean != kNowhere && clean > done)
            clean = kNowhere;
        history.resize(done + 1);
        history.push_back(std::move(now));
        ++done;
    };
    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE(step);
        Lines model = history[done];
        const int rows = data.RowCount();
        const std::string film = "Film " + std::to_string(step);
        switch (pick(rows > 0 ? 9 : 3)) {
        case 0: { // add
            if (rows > 0)
                data.MoveToRow(pick(rows));
            data.Insert();
            data.Fields(0)->setText(QString::fromStdString(film));
            data.Fields(1)->setText(QStringLiteral("D-%1").arg(pick(4)));
            data.Post();
            model.insert(model.begin() + data.ActiveRow(),
                         film + ",D-" + data.Fields(1)->Text().mid(2).toStdString());
            changed(model);
            break;
        }
        case 1: // an import of a few films, one step
        {
            std::string csv = "Заглавие,Етикет\n";
            const int count = 1 + pick(4);
            for (int i = 0; i < count; ++i)
                csv += film + "-" + std::to_string(i) + ",I-" + std::to_string(step) + "\n";
            const ImportPlan plan = PlanImport(data, csv);
            ChangeStep batch(session);
            ApplyImport(data, plan);
            for (int i = 0; i < count; ++i)
                model.push_back(film + "-" + std::to_string(i) + ",I-" + std::to_string(step));
            changed(model);
            break;
        }
        case 2: // undo
        case 3:
            session.Undo();
            done -= done > 0 ? 1 : 0;
            break;
        case 4: // redo
            session.Redo();
            done += done + 1 < history.size() ? 1 : 0;
            break;
        case 5: { // edit
            const int row = pick(rows);
            data.MoveToRow(row);
            data.Edit();
            data.Fields(2)->setText(QString::fromStdString("X" + std::to_string(step)));
            data.Post();
            model[std::size_t(row)] = std::string(data.Line(row));
            EXPECT_NE(model[std::size_t(row)], history[done][std::size_t(row)]);
            changed(model);
            break;
        }
        case 6: { // delete
            const int row = pick(rows);
            data.MoveToRow(row);
            data.Delete();
            model.erase(model.begin() + row);
            changed(model);
            break;
        }
        case 7: { // a whole disc lent or returned, one step
            data.MoveToRow(pick(rows));
            const QString name = pick(2) ? QStringLiteral("Ivan") : QString();
            const std::vector<int> others = OtherFilmsToMark(data, name);
            const Lines before = linesOf(data);
            {
                ChangeStep batch(session);
                MarkFilms(data, others, name);
            }
            if (linesOf(data) != before)
                changed(linesOf(data));
            break;
        }
        case 8: // the session manager's save
            session.CommitData(true);
            clean = done;
            break;
        }
        ASSERT_EQ(linesOf(data), history[done]);
        EXPECT_EQ(data.Changed(), done != clean);
        EXPECT_EQ(session.CanUndo(), done > 0);
        EXPECT_EQ(session.CanRedo(), done + 1 < history.size());
        ASSERT_EQ(recovered(dir), history[done]);
    }
}

namespace {
struct Window
{
    ProgramDir dir;
    TForm1 form;
    Window()
    {
        form.show();
        QApplication::setActiveWindow(&form);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    bool enabled(const char *item) { return form.MenuItem(QString::fromLatin1(item))->isEnabled(); }
    void key(Qt::Key key) { QTest::keyClick(form.ui().DBGrid1, key, Qt::ControlModifier); }
};
} // namespace

TEST(UndoStack, CtrlZTakesADeleteBackToItsRowAndCtrlYDoesItAgain)
{
    Window w;
    EXPECT_FALSE(w.enabled("N21"));
    EXPECT_FALSE(w.enabled("N22"));
    TDBGrid *grid = w.form.ui().DBGrid1;
    grid->setCurrentIndex(grid->model()->index(1, 0));
    w.dir.dialogs.answers = {mrOk};
    w.form.Button03Click();
    ASSERT_EQ(grid->model()->rowCount(), 2);
    grid->setCurrentIndex(grid->model()->index(0, 0));
    EXPECT_TRUE(w.enabled("N21"));
    w.key(Qt::Key_Z);
    EXPECT_EQ(grid->model()->rowCount(), 3);
    // The film that came back is the current one.
    EXPECT_EQ(grid->currentIndex().row(), 1);
    EXPECT_EQ(w.form.DataSet()->Fields(0)->Text(), QStringLiteral("Smith, John"));
    EXPECT_FALSE(w.enabled("N21"));
    EXPECT_TRUE(w.enabled("N22"));
    w.key(Qt::Key_Y);
    EXPECT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(w.dir.read(QStringLiteral("db.txt")), kFilms);
    w.form.MenuItem(QStringLiteral("N21"))->trigger();
    EXPECT_EQ(grid->model()->rowCount(), 3);
}

TEST(UndoStack, ACatalogueUndoneToItsStartIsNotWrittenAndTheExitAsksNothing)
{
    Window w;
    w.dir.dialogs.answers = {mrOk};
    w.form.Button03Click();
    w.key(Qt::Key_Z);
    EXPECT_FALSE(w.form.DataSet()->Changed());
    EXPECT_FALSE(QFile::exists(w.dir.path(QStringLiteral("db.txt.journal"))));
    // Even another program's text is no reason to ask: nothing of ours is left to write.
    w.dir.write(QStringLiteral("db.txt"), "Theirs\r\n");
    w.form.close();
    EXPECT_FALSE(w.form.isVisible());
    EXPECT_TRUE(w.dir.dialogs.asked.empty());
    EXPECT_EQ(w.dir.dialogs.questions.size(), 1u); // the delete's
    EXPECT_EQ(w.dir.read(QStringLiteral("db.txt")), "Theirs\r\n");
}

TEST(UndoStack, AReadOnlyWindowOffersNothingToUndo)
{
    Window first;
    first.dir.dialogs.answers = {mrOk};
    first.form.Button03Click();
    TForm1 second;
    ASSERT_TRUE(second.CatalogueReadOnly());
    for (const char *item : {"N21", "N22"})
        EXPECT_FALSE(second.MenuItem(QString::fromLatin1(item))->isEnabled()) << item;
    EXPECT_FALSE(second.Session()->CanUndo());
    second.Session()->Undo();
    EXPECT_EQ(second.DataSet()->RecordCount(), 3);
}
