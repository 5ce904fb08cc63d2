#include "Lending.h"
#include "LendForm.h"
#include "MainForm.h"
#include "ProgramDir.h"
#include "SdfData.h"
#include "ui_LendForm.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {
QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Two films on the disc CD-002 (its label written in two ways), two films lent.
const std::string kDiscs = cp("Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"
                              "Matrix,CD-002,DVD,,,,Да\r\n"
                              "\"Smith, John\", cd-002 ,DivX,,,,Да\r\n"
                              "Под игото,CD-014,DivX,,,,Не,Мария\r\n"
                              "Amelie,CD-020,DivX,,,,Не,Иван\r\n"
                              "Без етикет,,DivX\r\n");

QStringList itemsOf(TLendForm &dialog)
{
    QStringList items;
    for (int i = 0; i < dialog.ui().NameBox->count(); ++i)
        items << dialog.ui().NameBox->itemText(i);
    return items;
}

// Lends the current film through the "Даден на..." item: the dialog gets `name` and Save, or Cancel
// when the name is null; `seen` gets the dialog's list and box text.
void lend(TForm1 &form, const QString &name, QStringList *seen = nullptr, const char *item = "N19")
{
    whenModal([name, seen](QWidget *modal) {
        auto *dialog = qobject_cast<TLendForm *>(modal);
        ASSERT_NE(dialog, nullptr);
        if (seen)
            *seen = itemsOf(*dialog) << dialog->ui().NameBox->currentText();
        dialog->ui().NameBox->setEditText(name);
        QTest::mouseClick(name.isNull() ? dialog->ui().Button02 : dialog->ui().Button01, Qt::LeftButton);
    });
    form.MenuItem(QString::fromLatin1(item))->trigger();
}

std::string fileAfterClose(ProgramDir &dir, TForm1 &form)
{
    form.DataSet()->Close();
    return dir.readDb();
}
} // namespace

TEST(Lending, OneFilmOfADisc)
{
    ProgramDir dir(true, true, kDiscs);
    TForm1 form;
    form.DataSet()->MoveToRow(1);
    dir.dialogs.answers = {mrNo};
    QStringList seen;
    lend(form, u("  Петър "), &seen);
    // The names the catalogue knows, from its end back; the box shows the film's own (none).
    EXPECT_EQ(seen, (QStringList{u("Иван"), u("Мария"), QString()}));
    ASSERT_EQ(dir.dialogs.questions.size(), 1u);
    EXPECT_EQ(dir.dialogs.questions[0].text, u("Дискът съдържа още 1 филм. Да се отбележи ли и той?"));
    EXPECT_EQ(dir.dialogs.questions[0].type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(dir.dialogs.questions[0].buttons, MsgButtons::mbYes | MsgButtons::mbNo | MsgButtons::mbCancel);
    EXPECT_EQ(form.DataSet()->ActiveRow(), 1);
    EXPECT_EQ(fileAfterClose(dir, form), cp("Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"
                                            "Matrix,CD-002,DVD,,,,Не,Петър\r\n"
                                            "\"Smith, John\", cd-002 ,DivX,,,,Да\r\n"
                                            "Под игото,CD-014,DivX,,,,Не,Мария\r\n"
                                            "Amelie,CD-020,DivX,,,,Не,Иван\r\n"
                                            "Без етикет,,DivX\r\n"));
}

TEST(Lending, AWholeDiscAndItsReturn)
{
    ProgramDir dir(true, true, kDiscs);
    TForm1 form;
    form.DataSet()->MoveToRow(2);
    dir.dialogs.answers = {mrYes};
    lend(form, u("Петър"), nullptr, "GridLend");
    EXPECT_EQ(form.DataSet()->ActiveRow(), 2);
    EXPECT_EQ(form.DataSet()->Line(1), cp("Matrix,CD-002,DVD,,,,Не,Петър"));
    EXPECT_EQ(form.DataSet()->Line(2), cp("\"Smith, John\",cd-002,DivX,,,,Не,Петър"));
    // The name given last leads the list; a name is there once, whatever its case.
    form.DataSet()->MoveToRow(0);
    QStringList seen;
    lend(form, QString(), &seen);
    EXPECT_EQ(seen, (QStringList{u("Петър"), u("Иван"), u("Мария"), QString()}));
    // Back home, both films; the question counts the films still lent.
    form.DataSet()->MoveToRow(1);
    dir.dialogs.answers = {mrYes};
    form.MenuItem(QStringLiteral("GridReturn"))->trigger();
    ASSERT_EQ(dir.dialogs.questions.size(), 2u);
    EXPECT_EQ(dir.dialogs.questions[1].text, u("Дискът съдържа още 1 филм. Да се отбележи ли и той?"));
    // A disc already home asks nothing.
    form.MenuItem(QStringLiteral("N20"))->trigger();
    EXPECT_EQ(dir.dialogs.questions.size(), 2u);
    EXPECT_EQ(fileAfterClose(dir, form), cp("Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"
                                            "Matrix,CD-002,DVD,,,,Да\r\n"
                                            "\"Smith, John\",cd-002,DivX,,,,Да\r\n"
                                            "Под игото,CD-014,DivX,,,,Не,Мария\r\n"
                                            "Amelie,CD-020,DivX,,,,Не,Иван\r\n"
                                            "Без етикет,,DivX\r\n"));
}

TEST(Lending, ReturnOfAFilmWithoutALabelAndOfOneFilm)
{
    ProgramDir dir(true, true, kDiscs);
    TForm1 form;
    form.DataSet()->MoveToRow(5);
    lend(form, u("Ани"));
    EXPECT_TRUE(dir.dialogs.questions.empty()); // no label, no disc to ask about
    EXPECT_EQ(form.DataSet()->Line(5), cp("Без етикет,,DivX,,,,Не,Ани"));
    form.DataSet()->MoveToRow(3);
    form.N20Click();
    EXPECT_EQ(form.DataSet()->Line(3), cp("Под игото,CD-014,DivX,,,,Да"));
    EXPECT_EQ(form.DataSet()->Fields(0)->Text(), u("Под игото"));
}

TEST(Lending, CancelledOrRefusedNamesChangeNothing)
{
    ProgramDir dir(true, true, kDiscs);
    TForm1 form;
    form.DataSet()->MoveToRow(4);
    whenModal([](QWidget *modal) {
        auto *dialog = static_cast<TLendForm *>(modal);
        EXPECT_EQ(dialog->windowTitle(), u("Даден на"));
        EXPECT_EQ(dialog->ui().NameBox->currentText(), u("Иван")); // the film's own borrower
        QTest::mouseClick(dialog->ui().Button02, Qt::LeftButton);
    });
    form.N19Click();
    // An empty name, one too long for its field and one outside Windows-1251 are refused where
    // they are typed; the dialog stays until a name can be stored.
    whenModal([&dir](QWidget *modal) {
        auto *dialog = static_cast<TLendForm *>(modal);
        for (const QString &name : {QStringLiteral("   "), QString(51, QLatin1Char('x')), u("Ана 😀")}) {
            dialog->ui().NameBox->setEditText(name);
            QTest::mouseClick(dialog->ui().Button01, Qt::LeftButton);
            EXPECT_TRUE(dialog->isVisible());
        }
        ASSERT_EQ(dir.dialogs.messages.size(), 3u);
        EXPECT_EQ(dir.dialogs.messages[0], u("Напишете името на човека, на когото давате диска."));
        EXPECT_EQ(dir.dialogs.messages[1], u("Даден: 51 знака, а полето побира 50"));
        EXPECT_EQ(dir.dialogs.messages[2],
                  u("Даден: знакът „😀“ (U+1F600) не се побира в кодовата таблица Windows-1251"));
        dialog->ui().NameBox->setEditText(u("Ана"));
        QTest::keyClick(dialog->ui().NameBox->lineEdit(), Qt::Key_Return);
    });
    form.N19Click();
    EXPECT_EQ(form.DataSet()->Line(4), cp("Amelie,CD-020,DivX,,,,Не,Ана"));
    // Cancel at the question about the disc leaves every film as it was.
    form.DataSet()->MoveToRow(1);
    dir.dialogs.answers = {mrCancel};
    lend(form, u("Петър"));
    dir.dialogs.answers = {mrCancel};
    form.N20Click();
    EXPECT_EQ(dir.dialogs.questions.size(), 1u);
    EXPECT_EQ(form.DataSet()->Line(1), cp("Matrix,CD-002,DVD,,,,Да"));
}

TEST(Lending, AFilmThatCannotBeStoredPutsTheOthersBack)
{
    ProgramDir dir(true, true, kDiscs);
    TForm1 form;
    form.DataSet()->MoveToRow(1);
    int posts = 0;
    form.DataSet()->BeforePost = [&posts](TDataSet &) {
        if (++posts == 2)
            throw EDatabaseError("Disk full");
    };
    EXPECT_EQ(
        MESSAGE_OF(MarkFilms(*form.DataSet(), OtherFilmsToMark(*form.DataSet(), u("Петър")), u("Петър"))),
        "Disk full");
    EXPECT_EQ(form.DataSet()->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(form.DataSet()->ActiveRow(), 1);
    form.DataSet()->BeforePost = nullptr;
    EXPECT_EQ(fileAfterClose(dir, form), kDiscs);
}

TEST(Lending, DuplicatesAreSoughtByTitleAndLabelWithoutCaseOrBlanks)
{
    ProgramDir dir(true, true, kDiscs);
    TForm1 form;
    TDataSet &films = *form.DataSet();
    EXPECT_EQ(FindDuplicateFilm(films, u(" smith, JOHN"), u("CD-002 "), -1), 2);
    EXPECT_EQ(FindDuplicateFilm(films, u("под ИГОТО"), u("cd-014"), -1), 3);
    EXPECT_EQ(FindDuplicateFilm(films, u("под ИГОТО"), u("cd-014"), 3), -1);
    EXPECT_EQ(FindDuplicateFilm(films, u("Под игото"), u("CD-015"), -1), -1);
    EXPECT_EQ(FindDuplicateFilm(films, u("Без етикет"), QString(), -1), 5);
    EXPECT_EQ(FindDuplicateFilm(films, QString(), u("DVD-001"), -1), -1);
}

TEST(Lending, TheQuestionCountsTheOtherFilmsOfTheDisc)
{
    ProgramDir dir(true, true, cp("A,X\r\nB,X\r\nC,x\r\nD,Y\r\n"));
    TForm1 form;
    dir.dialogs.answers = {mrYes};
    lend(form, u("Иван"));
    ASSERT_EQ(dir.dialogs.questions.size(), 1u);
    EXPECT_EQ(dir.dialogs.questions[0].text, u("Дискът съдържа още 2 филма. Да се отбележат ли и те?"));
    EXPECT_EQ(fileAfterClose(dir, form),
              cp("A,X,,,,,Не,Иван\r\nB,X,,,,,Не,Иван\r\nC,x,,,,,Не,Иван\r\nD,Y\r\n"));
}

TEST(Lending, AWindowThatOnlyReadsTheCatalogueLendsAndImportsNothing)
{
    ProgramDir dir(true, true, kDiscs);
    TForm1 first;
    dir.dialogs.answers = {mrYes}; // the second window opens the catalogue to read only
    TForm1 second;
    ASSERT_TRUE(second.CatalogueReadOnly());
    for (const char *item : {"N17", "N19", "N20", "GridLend", "GridReturn"})
        EXPECT_FALSE(second.MenuItem(QString::fromLatin1(item))->isEnabled()) << item;
    EXPECT_TRUE(second.MenuItem(QStringLiteral("N16"))->isEnabled());
    second.DataSet()->MoveToRow(3);
    second.N19Click();
    second.N20Click();
    second.N17Click();
    EXPECT_EQ(dir.dialogs.messages, std::vector<QString>(3, u("Каталогът е отворен само за четене.")));
    EXPECT_TRUE(dir.dialogs.fileDialogs.empty());
    EXPECT_EQ(second.DataSet()->Line(3), cp("Под игото,CD-014,DivX,,,,Не,Мария"));
    EXPECT_FALSE(second.DataSet()->Changed());
}
