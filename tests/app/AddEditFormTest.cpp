#include "AddEditForm.h"
#include "MainForm.h"
#include "ProgramDir.h"
#include "SdfData.h"
#include "ui_AddEditForm.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {
// Runs the dialog in `mode`, lets `fill` work on it while it is shown, then presses `button`.
void runDialog(TForm1 &form, int mode, std::function<void(TAddEditForm &)> fill, bool save)
{
    whenModal([&, fill, save](QWidget *modal) {
        auto &dialog = *static_cast<TAddEditForm *>(modal);
        fill(dialog);
        QTest::mouseClick(save ? dialog.ui().Button01 : dialog.ui().Button02, Qt::LeftButton);
    });
    mode == TAddEditForm::emAdd ? form.Button1Click() : form.Button2Click();
}

void pick(TAddEditForm &dialog, int index)
{
    dialog.ui().ComboBox1->setCurrentIndex(index);
    emit dialog.ui().ComboBox1->activated(index);
}
} // namespace

TEST(RecordDialog, AddsAFilmInFrontOfTheCurrentOne)
{
    ProgramDir dir;
    TForm1 form;
    form.DataSet()->Next();
    runDialog(
        form, TAddEditForm::emAdd,
        [](TAddEditForm &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("AddEditForm"));
            EXPECT_EQ(d.ui().ComboBox1->currentIndex(), -1);
            EXPECT_TRUE(d.ui().DBEdit1->text().isEmpty());
            d.ui().DBEdit1->setText(QString::fromUtf8("Нов филм, втори"));
            d.ui().DBEdit3->setText(QStringLiteral("DivX"));
            pick(d, 1);
        },
        true);
    EXPECT_EQ(form.DataSet()->RecordCount(), 4);
    EXPECT_EQ(form.DataSet()->Line(1), cp("\"Нов филм, втори\",,DivX,,,,Не"));
    EXPECT_EQ(form.DataSet()->Fields(0)->Text(), QString::fromUtf8("Нов филм, втори"));
}

TEST(RecordDialog, AddWithoutAPickLeavesAvailabilityEmpty)
{
    ProgramDir dir;
    TForm1 form;
    runDialog(
        form, TAddEditForm::emAdd, [](TAddEditForm &d) { d.ui().DBEdit1->setText(QStringLiteral("X")); },
        true);
    EXPECT_EQ(form.DataSet()->Line(0), "X");
}

TEST(RecordDialog, EditsTheCurrentFilm)
{
    ProgramDir dir;
    TForm1 form;
    runDialog(
        form, TAddEditForm::emEdit,
        [](TAddEditForm &d) {
            EXPECT_EQ(d.ui().DBEdit1->text(), QString::fromUtf8("Казабланка"));
            EXPECT_EQ(d.ui().ComboBox1->currentIndex(), 0);
            d.ui().DBEdit7->setText(QString::fromUtf8("Мария"));
            pick(d, 1);
        },
        true);
    EXPECT_EQ(form.DataSet()->Line(0), cp("Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Не,Мария"));
}

TEST(RecordDialog, CancelKeepsTheRecord)
{
    ProgramDir dir;
    TForm1 form;
    runDialog(
        form, TAddEditForm::emEdit,
        [](TAddEditForm &d) { d.ui().DBEdit1->setText(QStringLiteral("Changed")); }, false);
    EXPECT_EQ(form.DataSet()->Fields(0)->Text(), QString::fromUtf8("Казабланка"));
    EXPECT_FALSE(form.DataSet()->Changed());
    runDialog(
        form, TAddEditForm::emAdd, [](TAddEditForm &d) { d.ui().DBEdit1->setText(QStringLiteral("New")); },
        false);
    EXPECT_EQ(form.DataSet()->RecordCount(), 3);
}

TEST(RecordDialog, AvailabilityListFindsTheValueWithoutRegardToCase)
{
    ProgramDir dir(true, true, cp("A,,,,,,Да\r\nB,,,,,,да\r\nC,,,,,,Може\r\n"));
    TForm1 form;
    std::vector<int> indexes;
    for (int row = 0; row < 3; ++row) {
        form.DataSet()->MoveToRow(row);
        runDialog(
            form, TAddEditForm::emEdit,
            [&](TAddEditForm &d) { indexes.push_back(d.ui().ComboBox1->currentIndex()); }, true);
    }
    EXPECT_EQ(indexes, (std::vector<int>{0, 0, -1}));
    EXPECT_EQ(form.DataSet()->Line(2), cp("C,,,,,,Може")); // no pick keeps the old value
}

TEST(RecordDialog, FileChoosersFillThePaths)
{
    ProgramDir dir;
    TForm1 form;
    dir.dialogs.files = {QStringLiteral("/media/cdrom/My Films/film one.avi"), QString(),
                         QStringLiteral("/media/cdrom/My Films/film one.srt")};
    runDialog(
        form, TAddEditForm::emEdit,
        [](TAddEditForm &d) {
            QTest::mouseClick(d.ui().Button03, Qt::LeftButton);
            QTest::mouseClick(d.ui().Button04, Qt::LeftButton); // cancelled
            QTest::mouseClick(d.ui().Button05, Qt::LeftButton);
        },
        true);
    ASSERT_EQ(dir.dialogs.fileDialogs.size(), 3u);
    EXPECT_EQ(dir.dialogs.fileDialogs[0].filter, QString::fromUtf8("Всички файлове |*.*"));
    EXPECT_TRUE(dir.dialogs.fileDialogs[0].title.isEmpty());
    // The one dialog remembers the folder of the last choice.
    EXPECT_EQ(dir.dialogs.fileDialogs[1].folder, QStringLiteral("/media/cdrom/My Films"));
    EXPECT_EQ(form.DataSet()->Line(0), cp("Казабланка,DVD-001,DVD,/media/cdrom/My Films/film "
                                          "one.avi,,/media/cdrom/My Films/film one.srt,Да"));
}

TEST(RecordDialog, LayoutKeepsItsPlaces)
{
    ProgramDir dir;
    TForm1 form;
    TAddEditForm dialog(&form, form.DataSource());
    EXPECT_EQ(dialog.size(), QSize(421, 388));
    EXPECT_EQ(dialog.ui().PageControl1->geometry(), QRect(8, 8, 401, 345));
    EXPECT_EQ(dialog.ui().DBEdit1->geometry(), QRect(8, 25, 369, 21));
    EXPECT_EQ(dialog.ui().GroupBox1->title(), QString::fromUtf8(" Наличен "));
    EXPECT_FALSE(dialog.ui().DBEdit4->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.ui().Button01->pos(), QPoint(272, 360));
    EXPECT_EQ(dialog.ui().PageControl1->tabText(0), QString::fromUtf8("Информация"));
}

TEST(RecordDialog, ANewFilmEnteredTwiceAsksAndNoKeepsTheDialog)
{
    ProgramDir dir;
    TForm1 form;
    bool stayed = false;
    whenModal([&](QWidget *modal) {
        auto &d = *static_cast<TAddEditForm *>(modal);
        d.ui().DBEdit1->setText(QStringLiteral("  matrix "));
        d.ui().DBEdit2->setText(QStringLiteral("dvd-002"));
        d.ui().DBEdit3->setText(QStringLiteral("DivX"));
        pick(d, 1);
        dir.dialogs.answers = {mrNo};
        QTest::mouseClick(d.ui().Button01, Qt::LeftButton);
        stayed = d.isVisible() && d.ui().DBEdit1->text() == QStringLiteral("  matrix ") &&
                 d.ui().DBEdit3->text() == QStringLiteral("DivX") && d.ui().ComboBox1->currentIndex() == 1;
        dir.dialogs.answers = {mrYes};
        QTest::mouseClick(d.ui().Button01, Qt::LeftButton);
    });
    form.Button1Click();
    EXPECT_TRUE(stayed);
    ASSERT_EQ(dir.dialogs.questions.size(), 2u);
    EXPECT_EQ(dir.dialogs.questions[0].text,
              QString::fromUtf8("Такъв филм вече има в каталога. Да се запише ли все пак?"));
    EXPECT_EQ(dir.dialogs.questions[0].buttons, MsgButtons::mbYes | MsgButtons::mbNo);
    form.DataSet()->Close();
    EXPECT_EQ(dir.readDb(), cp("matrix,dvd-002,DivX,,,,Не\r\n") + kFilms);
}

TEST(RecordDialog, AnEditedFilmEnteredTwiceAsksButNotAboutItself)
{
    ProgramDir dir;
    TForm1 form;
    // Saving a film unchanged does not find it twice.
    runDialog(
        form, TAddEditForm::emEdit, [](TAddEditForm &) {}, true);
    EXPECT_TRUE(dir.dialogs.questions.empty());
    runDialog(
        form, TAddEditForm::emEdit,
        [&](TAddEditForm &d) {
            d.ui().DBEdit1->setText(QStringLiteral("MATRIX"));
            d.ui().DBEdit2->setText(QStringLiteral("DVD-002"));
            dir.dialogs.answers = {mrNo};
            QTest::mouseClick(d.ui().Button01, Qt::LeftButton);
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(d.ui().DBEdit1->text(), QStringLiteral("MATRIX"));
            // Another label makes it another film.
            d.ui().DBEdit2->setText(QStringLiteral("DVD-003"));
        },
        true);
    EXPECT_EQ(dir.dialogs.questions.size(), 1u);
    form.DataSet()->Close();
    EXPECT_EQ(dir.readDb(), cp("MATRIX,DVD-003,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n") +
                                kFilms.substr(kFilms.find("\"Smith")));
}

TEST(RecordDialog, OpensAtItsPlaceWithTheFocusInTheTitleBox)
{
    ProgramDir dir;
    TForm1 form;
    form.show();
    for (int mode : {TAddEditForm::emAdd, TAddEditForm::emEdit}) {
        runDialog(
            form, mode,
            [](TAddEditForm &d) {
                EXPECT_EQ(d.pos(), QPoint(212, 102));
                ASSERT_EQ(d.focusWidget(), d.ui().DBEdit1);
                // The keys the user types go where the focus is once the dialog is active.
                QTest::keyClicks(d.focusWidget(), QStringLiteral("Typed"));
                EXPECT_EQ(d.ui().DBEdit1->text().right(5), QStringLiteral("Typed"));
            },
            false);
    }
}

TEST(RecordDialog, BoxesTakeNoMoreThanTheirFieldHolds)
{
    ProgramDir dir;
    TForm1 form;
    runDialog(
        form, TAddEditForm::emAdd,
        [](TAddEditForm &d) {
            EXPECT_EQ(d.ui().DBEdit1->maxLength(), 100);
            EXPECT_EQ(d.ui().DBEdit2->maxLength(), 20);
            EXPECT_EQ(d.ui().editVideo->maxLength(), 255);
            QTest::keyClicks(d.ui().DBEdit1, QString(120, QLatin1Char('x')));
            // Where the box stops taking characters, the user is told why.
            EXPECT_EQ(QToolTip::text(), QString::fromUtf8("Полето „Заглавие“ побира най-много 100 знака."));
            QApplication::clipboard()->setText(QStringLiteral("/media/cdrom/") +
                                               QString(277, QLatin1Char('d')) + QStringLiteral(".avi"));
            d.ui().editVideo->setFocus();
            QTest::keyClick(d.ui().editVideo, Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(QToolTip::text(), QString::fromUtf8("Полето „Видео“ побира най-много 255 знака."));
            d.ui().editVideo->clear();
        },
        true);
    EXPECT_EQ(form.DataSet()->Line(0), std::string(100, 'x'));
}

TEST(RecordDialog, AValueTheCatalogueWouldNotGiveBackIsRefusedAndTheRestKept)
{
    ProgramDir dir;
    TForm1 form;
    runDialog(
        form, TAddEditForm::emAdd,
        [&](TAddEditForm &d) {
            d.ui().DBEdit1->setText(QString::fromUtf8("Операция \"Шменти капели\", 2"));
            d.ui().DBEdit2->setText(QStringLiteral("CD-7"));
            QTest::mouseClick(d.ui().Button01, Qt::LeftButton);
            EXPECT_TRUE(d.isVisible());
            ASSERT_EQ(dir.dialogs.messages.size(), 1u);
            EXPECT_TRUE(dir.dialogs.messages[0].startsWith(
                QString::fromUtf8("Полето „Заглавие“ не може да съдържа кавичка, следвана от запетая")));
            EXPECT_EQ(d.ui().DBEdit1->selectedText(), QStringLiteral("\","));
            EXPECT_EQ(d.ui().DBEdit2->text(), QStringLiteral("CD-7"));
            EXPECT_TRUE(dir.dialogs.errors.empty());
            d.ui().DBEdit1->setText(QString::fromUtf8("Операция \"Шменти капели\" 2"));
        },
        true);
    EXPECT_EQ(form.DataSet()->RecordCount(), 4);
    EXPECT_EQ(form.DataSet()->Line(0), cp("Операция \"Шменти капели\" 2,CD-7"));
}

TEST(RecordDialog, AFilmTheCatalogueCannotStoreKeepsTheDialogOpen)
{
    ProgramDir dir;
    TForm1 form;
    int posts = 0;
    form.DataSet()->BeforePost = [&posts](TDataSet &) {
        if (++posts == 1)
            throw EDatabaseError("Disk full");
    };
    bool reopened = false;
    runDialog(
        form, TAddEditForm::emAdd,
        [&](TAddEditForm &d) {
            d.ui().DBEdit1->setText(QString::fromUtf8("Нов"));
            // After the error, the same dialog comes back with what was typed.
            whenModal([&](QWidget *modal) {
                reopened = true;
                auto &again = *static_cast<TAddEditForm *>(modal);
                EXPECT_EQ(again.ui().DBEdit1->text(), QString::fromUtf8("Нов"));
                QTest::mouseClick(again.ui().Button01, Qt::LeftButton);
            });
        },
        true);
    EXPECT_TRUE(reopened);
    EXPECT_EQ(dir.dialogs.errors, std::vector<QString>{QStringLiteral("Disk full")});
    EXPECT_EQ(form.DataSet()->RecordCount(), 4);
    EXPECT_EQ(form.DataSet()->Line(0), cp("Нов"));
}

TEST(RecordDialog, TextTheCatalogueCannotHoldIsRefusedAndTheRestKept)
{
    ProgramDir dir;
    TForm1 form;
    runDialog(
        form, TAddEditForm::emAdd,
        [&](TAddEditForm &d) {
            d.ui().DBEdit1->setText(QString::fromUtf8("Amélie"));
            d.ui().DBEdit2->setText(QStringLiteral("CD-7"));
            d.ui().DBEdit7->setText(QString::fromUtf8("天使"));
            QTest::mouseClick(d.ui().Button01, Qt::LeftButton);
            EXPECT_TRUE(d.isVisible());
            ASSERT_EQ(dir.dialogs.messages.size(), 1u);
            EXPECT_TRUE(dir.dialogs.messages[0].startsWith(
                QString::fromUtf8("Полето „Заглавие“ не може да съдържа знака „é“")));
            EXPECT_EQ(d.focusWidget(), d.ui().DBEdit1);
            EXPECT_EQ(d.ui().DBEdit1->selectedText(), QString::fromUtf8("é"));
            d.ui().DBEdit1->setText(QString::fromUtf8("Амели"));
            QTest::mouseClick(d.ui().Button01, Qt::LeftButton);
            ASSERT_EQ(dir.dialogs.messages.size(), 2u);
            EXPECT_TRUE(dir.dialogs.messages[1].startsWith(
                QString::fromUtf8("Полето „Даден“ не може да съдържа знака „天“")));
            EXPECT_EQ(d.ui().DBEdit2->text(), QStringLiteral("CD-7"));
            d.ui().DBEdit7->setText(QString::fromUtf8("Мария"));
        },
        true);
    EXPECT_EQ(form.DataSet()->Line(0), cp("Амели,CD-7,,,,,,Мария"));
}

TEST(RecordDialog, ChosenPathsTheFieldCannotHoldAreRefused)
{
    ProgramDir dir;
    TForm1 form;
    const QString longPath =
        QStringLiteral("/media/cdrom/") + QString(250, QLatin1Char('d')) + QStringLiteral(".avi");
    dir.dialogs.files = {QString::fromUtf8("/media/cdrom/Amélie — 天使.avi"), longPath,
                         QString::fromUtf8("/media/cdrom/Амели — №1.avi")};
    runDialog(
        form, TAddEditForm::emEdit,
        [&](TAddEditForm &d) {
            QTest::mouseClick(d.ui().Button03, Qt::LeftButton);
            EXPECT_EQ(d.ui().editVideo->text(), QStringLiteral("D:\\VIDEO_TS\\VTS_01_1.VOB"));
            QTest::mouseClick(d.ui().Button03, Qt::LeftButton);
            EXPECT_EQ(d.ui().editVideo->text(), QStringLiteral("D:\\VIDEO_TS\\VTS_01_1.VOB"));
            QTest::mouseClick(d.ui().Button05, Qt::LeftButton);
        },
        true);
    ASSERT_EQ(dir.dialogs.messages.size(), 2u);
    EXPECT_TRUE(dir.dialogs.messages[0].contains(QString::fromUtf8("знака „é“, който полето „Видео“")));
    EXPECT_TRUE(dir.dialogs.messages[1].contains(QString::fromUtf8("е дълъг 267 знака, а полето „Видео“ "
                                                                   "побира най-много 255")));
    EXPECT_EQ(form.DataSet()->Line(0),
              cp("Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,/media/cdrom/Амели — №1.avi,Да"));
}
