#include "FindBar.h"
#include "MainForm.h"
#include "ProgramDir.h"
#include "SdfData.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {
const std::string kFive = cp("Казабланка,DVD-001,DVD,,,,Да\r\n"
                             "Под игото,CD-014,DivX,,,,Да\r\n"
                             "Matrix,DVD-002,DVD,,,,Не,Подгорски\r\n"
                             "Alien,CD-020,VHS,,,,Да\r\n"
                             "Време разделно,ПОД-1,DVD,,,,Да\r\n");

struct Window
{
    ProgramDir dir;
    TForm1 form;
    explicit Window(const std::string &db = kFive) : dir(true, true, db)
    {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    TFindBar *bar() const { return form.FindBar(); }
    QLineEdit *text() const { return bar()->findChild<QLineEdit *>(QStringLiteral("FindText")); }
    QString label(const char *name) const
    {
        return bar()->findChild<QLabel *>(QString::fromLatin1(name))->text();
    }
    TDBGrid *grid() const { return form.ui().DBGrid1; }
    std::string title() const { return form.DataSet()->FieldByName(cp("Заглавие")).AsString(); }
    // Typed letter by letter, as a keyboard in the language of the text sends it.
    void type(const char *utf8)
    {
        for (const QChar c : QString::fromUtf8(utf8))
            QTest::sendKeyEvent(QTest::Click, text(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    bool red() const { return text()->palette().color(QPalette::Base) == TFindBar::NoMatchColor(); }
};
} // namespace

TEST(FindBar, OpensUnderTheGridAndClosesLeavingTheWindowAsItWas)
{
    Window w;
    const QRect grid = w.grid()->geometry();
    const QRect panel = w.form.ui().ControlPanel->geometry();
    EXPECT_TRUE(w.bar()->isHidden());
    w.key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(w.bar()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), w.text());
    EXPECT_EQ(w.bar()->geometry().top(), w.grid()->geometry().bottom() + 1);
    EXPECT_EQ(w.bar()->geometry().bottom() + 1, panel.top());
    EXPECT_LT(w.grid()->height(), grid.height());
    w.key(Qt::Key_Escape);
    EXPECT_TRUE(w.bar()->isHidden());
    EXPECT_EQ(QApplication::focusWidget(), w.grid());
    EXPECT_EQ(w.grid()->geometry(), grid);
    EXPECT_EQ(w.form.ui().ControlPanel->geometry(), panel);
    w.form.MenuItem(QStringLiteral("NFind"))->trigger();
    EXPECT_TRUE(w.bar()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), w.text());
}

TEST(FindBar, TypingFindsInTitleLabelFormatAndLentTo)
{
    Window w;
    w.key(Qt::Key_F, Qt::ControlModifier);
    w.type("под");
    EXPECT_EQ(w.title(), cp("Под игото"));
    EXPECT_FALSE(w.red());
    // The next match is a film lent to a "Подгорски", then one on a disc labelled "ПОД-1".
    w.key(Qt::Key_F3);
    EXPECT_EQ(w.title(), "Matrix");
    w.key(Qt::Key_F3);
    EXPECT_EQ(w.title(), cp("Време разделно"));
    EXPECT_TRUE(w.label("FindNote").isEmpty());
    const int boxWidth = w.text()->width();
    w.key(Qt::Key_F3);
    EXPECT_EQ(w.title(), cp("Под игото"));
    EXPECT_EQ(w.label("FindNote"), QString::fromUtf8("Търсенето продължи от началото"));
    // The note takes the room beside the box, which keeps its width.
    w.bar()->layout()->activate();
    EXPECT_EQ(w.text()->width(), boxWidth);
    w.key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(w.title(), cp("Време разделно"));
    EXPECT_EQ(w.label("FindNote"), QString::fromUtf8("Търсенето продължи от края"));
    QTest::mouseClick(w.bar()->findChild<QWidget *>(QStringLiteral("FindPrevious")), Qt::LeftButton);
    EXPECT_EQ(w.title(), "Matrix");
    EXPECT_TRUE(w.label("FindNote").isEmpty());
    // Formats too, in any case; typing goes on from the current film.
    w.text()->clear();
    w.type("vhs");
    EXPECT_EQ(w.title(), "Alien");
}

TEST(FindBar, NoMatchTurnsTheBoxRedAndLeavesTheCurrentFilm)
{
    Window w;
    w.form.DataSet()->MoveToRow(3);
    w.key(Qt::Key_F, Qt::ControlModifier);
    w.type("alienz");
    EXPECT_TRUE(w.red());
    EXPECT_EQ(w.title(), "Alien");
    w.key(Qt::Key_F3);
    EXPECT_TRUE(w.red());
    EXPECT_EQ(w.title(), "Alien");
    w.key(Qt::Key_Backspace);
    EXPECT_FALSE(w.red());
    EXPECT_EQ(w.title(), "Alien");
}

TEST(FindBar, OnlyMatchingFilmsShowWithTheirCount)
{
    // 3 041 films, 12 of them with a title that holds the text.
    std::string db;
    for (int i = 0; i < 3041; ++i)
        db += (i % 260 == 7 ? cp("Филм ПОД номер ") : cp("Филм ")) + std::to_string(i) + ",D,DVD,,,,Да\r\n";
    Window w(db);
    const std::string before = w.dir.readDb();
    w.key(Qt::Key_F, Qt::ControlModifier);
    w.type("под");
    EXPECT_EQ(w.title(), cp("Филм ПОД номер 7"));
    auto *only = w.bar()->findChild<QCheckBox *>(QStringLiteral("FindOnlyMatching"));
    QTest::mouseClick(only, Qt::LeftButton);
    ASSERT_TRUE(only->isChecked());
    EXPECT_EQ(w.grid()->model()->rowCount(), 12);
    EXPECT_EQ(w.label("FindCount"), QString::fromUtf8("12 от 3 041"));
    EXPECT_EQ(w.grid()->gridModel()->ShownPositions().back(), 2867);
    w.key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(w.title(), cp("Филм ПОД номер 2867"));
    // Sorted by title the other way round, the greatest title shows first (digits are letters here).
    QHeaderView *header = w.grid()->horizontalHeader();
    for (int click = 0; click < 2; ++click)
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, header->height() / 2));
    EXPECT_EQ(w.grid()->model()->index(0, 0).data().toString(), QString::fromUtf8("Филм ПОД номер 787"));
    // Unchecked, all films show and the current film stays current.
    QTest::mouseClick(only, Qt::LeftButton);
    EXPECT_EQ(w.grid()->model()->rowCount(), 3041);
    EXPECT_TRUE(w.label("FindCount").isEmpty());
    EXPECT_EQ(w.title(), cp("Филм ПОД номер 2867"));
    // Closing the bar shows every film too, and the catalogue's file stays as it was.
    QTest::mouseClick(only, Qt::LeftButton);
    QTest::mouseClick(w.text(), Qt::LeftButton);
    w.key(Qt::Key_Escape);
    EXPECT_EQ(w.grid()->model()->rowCount(), 3041);
    w.form.DataSet()->Close();
    EXPECT_EQ(w.dir.readDb(), before);
}

// With no film shown, the commands that act on the current film leave the hidden one alone.
TEST(FindBar, AnEmptyFilteredViewOffersNoFilmToEditDeleteOrStart)
{
    Window w;
    w.key(Qt::Key_F, Qt::ControlModifier);
    QTest::mouseClick(w.bar()->findChild<QCheckBox *>(QStringLiteral("FindOnlyMatching")), Qt::LeftButton);
    w.type("няма го");
    ASSERT_EQ(w.grid()->model()->rowCount(), 0);
    w.dir.dialogs.answers = {mrOk};
    w.form.Button03Click();
    w.form.Button2Click();
    w.form.Button04Click();
    EXPECT_TRUE(w.dir.dialogs.questions.empty());
    EXPECT_EQ(w.form.DataSet()->RowCount(), 5);
    // Shown again, the film can be deleted as ever.
    w.key(Qt::Key_Escape);
    w.form.Button03Click();
    EXPECT_EQ(w.dir.dialogs.questions.size(), 1u);
    EXPECT_EQ(w.form.DataSet()->RowCount(), 4);
}
