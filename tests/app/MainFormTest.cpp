#include "MainForm.h"
#include "AddEditForm.h"
#include "Colors.h"
#include "ConfigForm.h"
#include "NoxSkinBtn.h"
#include "ProgramDir.h"
#include "SdfData.h"
#include "ui_AddEditForm.h"
#include "ui_MainForm.h"

#include <QHeaderView>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {
QString statusText(TForm1 &form)
{
    return form.findChild<QLabel *>(QStringLiteral("StatusPanel0"))->text();
}

// The program runs from "prog", a copy of the program directory inside it.
void runFromSubfolder(ProgramDir &dir)
{
    QDir(dir.path(QString())).mkdir(QStringLiteral("prog"));
    const QString prog = dir.path(QStringLiteral("prog/"));
    QFile::copy(dir.path(QStringLiteral("format.txt")), prog + QStringLiteral("format.txt"));
    QFile::copy(dir.path(QStringLiteral("db.txt")), prog + QStringLiteral("db.txt"));
    SetProgramDirectory(prog);
}

// Deletes the first film, then moves the catalogue's folder away, so the save at exit cannot
// create its file.
void deleteAndLoseTheFolder(ProgramDir &dir, TForm1 &form)
{
    form.show();
    dir.dialogs.answers = {mrOk};
    form.Button03Click();
    ASSERT_TRUE(QDir(dir.path(QString())).rename(QStringLiteral("prog"), QStringLiteral("gone")));
}

std::vector<int> widths(TForm1 &form)
{
    std::vector<int> out;
    for (const TColumn &c : form.ui().DBGrid1->Columns())
        out.push_back(c.Width);
    return out;
}
} // namespace

TEST(MainWindow, StartsWithTheCatalogue)
{
    ProgramDir dir;
    TForm1 form;
    EXPECT_TRUE(dir.dialogs.errors.empty());
    EXPECT_TRUE(form.DataSet()->Active());
    EXPECT_EQ(form.ui().DBGrid1->model()->rowCount(), 3);
    EXPECT_EQ(form.ui().DBGrid1->model()->columnCount(), 4);
    EXPECT_EQ(form.ui().DBGrid1->model()->data(form.ui().DBGrid1->model()->index(0, 0)),
              QString::fromUtf8("Казабланка"));
    EXPECT_EQ(statusText(form), QString::fromUtf8("Cinaxo Версия: 1.0.2.21"));
    EXPECT_EQ(form.ui().PlayerBox->currentIndex(), 0);
    for (int position : {3, 4, 5, 7})
        EXPECT_FALSE(form.DataSet()->Fields(position)->Visible()) << position;
    EXPECT_TRUE(form.DataSet()->Fields(6)->Visible());
    EXPECT_EQ(form.ui().Button04->ButtonSkin()->SkinBitmap(), dir.path(QStringLiteral("Skin/btnsource.bmp")));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Cinaxo"));
    EXPECT_EQ(form.ui().Button01->geometry(), QRect(8, 8, 73, 22)); // the shipped skin is 88 high
}

TEST(MainWindow, MissingSchemaIsReportedAndTheWindowStaysEmpty)
{
    ProgramDir dir(false, true);
    TForm1 form;
    ASSERT_EQ(dir.dialogs.errors.size(), 1u);
    EXPECT_EQ(dir.dialogs.errors[0],
              QStringLiteral("Cannot open file ") + dir.path(QStringLiteral("format.txt")));
    EXPECT_FALSE(form.DataSet()->Active());
    EXPECT_EQ(statusText(form), QString());
    EXPECT_EQ(form.ui().PlayerBox->currentIndex(), -1);
    EXPECT_TRUE(form.ui().Button01->ButtonSkin()->SkinBitmap().isEmpty());
}

TEST(MainWindow, MissingCatalogueIsOfferedAfreshAndNoKeepsTheError)
{
    const QString offer =
        QString::fromUtf8("Каталогът db.txt не е намерен. Да се създаде ли нов, празен каталог?");
    {
        ProgramDir dir(true, false);
        TForm1 form;
        ASSERT_EQ(dir.dialogs.asked.size(), 1u);
        EXPECT_EQ(dir.dialogs.asked[0].text, offer);
        EXPECT_EQ(dir.dialogs.asked[0].buttons,
                  (QStringList{QString::fromUtf8("Да"), QString::fromUtf8("Не")}));
        EXPECT_EQ(dir.dialogs.asked[0].escape, QString::fromUtf8("Не"));
        ASSERT_EQ(dir.dialogs.errors.size(), 1u);
        EXPECT_EQ(dir.dialogs.errors[0],
                  QStringLiteral("Cannot open file ") + dir.path(QStringLiteral("db.txt")));
        EXPECT_FALSE(form.DataSet()->Active());
        EXPECT_FALSE(QFileInfo::exists(dir.db()));
    }
    ProgramDir dir(true, false);
    dir.dialogs.namedAnswers = {QString::fromUtf8("Да")};
    {
        TForm1 form;
        EXPECT_TRUE(dir.dialogs.errors.empty());
        EXPECT_TRUE(form.DataSet()->Active());
        EXPECT_EQ(form.ui().DBGrid1->model()->rowCount(), 0);
        EXPECT_EQ(statusText(form), QString::fromUtf8("Cinaxo Версия: 1.0.2.21"));
        EXPECT_EQ(dir.read(QStringLiteral("db.txt")), "");
        form.DataSet()->Insert();
        form.DataSet()->Fields(0)->setText(QStringLiteral("Matrix"));
        form.DataSet()->Post();
    }
    EXPECT_EQ(dir.read(QStringLiteral("db.txt")), "Matrix\r\n");
    // A catalogue that is there is not asked about.
    TForm1 again;
    EXPECT_EQ(dir.dialogs.asked.size(), 1u);
}

TEST(MainWindow, ABrokenSkinIsReportedOnceAndTheButtonsKeepTheBuiltInOne)
{
    ProgramDir dir;
    dir.write(QStringLiteral("Skin/btnsource.bmp"), "not a bitmap");
    TForm1 form;
    TAddEditForm record(&form, form.DataSource());
    TConfigForm settings(&form);
    TAddEditForm another(&form, form.DataSource());
    EXPECT_EQ(dir.dialogs.messages, std::vector<QString>{QStringLiteral("Bitmap is not valid skin bitmap")});
    for (TNoxSkinBtn *button : form.findChildren<TNoxSkinBtn *>())
        EXPECT_TRUE(button->ButtonSkin()->SkinBitmap().isEmpty()) << button->objectName().toStdString();
    EXPECT_EQ(form.ui().Button01->height(), 25); // the built-in skin keeps the layout's height
    EXPECT_TRUE(form.DataSet()->Active());
}

TEST(MainWindow, OpensAtItsPlaceWithTheControlPanelsTwoBevels)
{
    ProgramDir dir;
    TForm1 form;
    form.show();
    EXPECT_EQ(form.frameGeometry(), QRect(192, 114, 544, 375));
    QWidget *panel = form.ui().ControlPanel;
    const QImage face = panel->grab().toImage();
    const int r = face.width() - 1, b = face.height() - 1;
    ASSERT_EQ(face.height(), 34);
    const QRgb shadow = toQColor(clBtnShadow).rgb();
    const QRgb light = toQColor(clBtnHighlight).rgb();
    // The outer ring lowered, the inner one raised.
    EXPECT_EQ(face.pixel(0, 10), shadow);
    EXPECT_EQ(face.pixel(10, 0), shadow);
    EXPECT_EQ(face.pixel(r, 10), light);
    EXPECT_EQ(face.pixel(10, b), light);
    EXPECT_EQ(face.pixel(1, 10), light);
    EXPECT_EQ(face.pixel(10, 1), light);
    EXPECT_EQ(face.pixel(r - 1, 10), shadow);
    EXPECT_EQ(face.pixel(10, b - 1), shadow);
    EXPECT_EQ(face.pixel(r, 0), light);
    EXPECT_EQ(face.pixel(0, b), light);
    EXPECT_EQ(form.ui().Panel1->geometry(), QRect(panel->width() - 2 - 238, 2, 238, 30));
    // Made as small as it goes, the player list still stands clear of the buttons.
    form.resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(form.width(), 488);
    EXPECT_GT(form.ui().Panel1->geometry().left(), form.ui().Button03->geometry().right());
}

TEST(MainWindow, ADoubleClickAnywhereInTheGridStartsTheFilm)
{
    ProgramDir dir;
    TForm1 form;
    form.show();
    QWidget *rows = form.ui().DBGrid1->viewport();
    // No player is set, so each start says so.
    QTest::mouseDClick(rows, Qt::LeftButton, {}, QPoint(30, 5));
    EXPECT_EQ(dir.dialogs.messages.size(), 1u);
    QTest::mouseDClick(rows, Qt::LeftButton, {}, QPoint(30, rows->height() - 5));
    EXPECT_EQ(dir.dialogs.messages.size(), 2u);
    QTest::mouseDClick(rows, Qt::RightButton, {}, QPoint(30, rows->height() - 5));
    EXPECT_EQ(dir.dialogs.messages.size(), 2u);
    // The titles and the indicator column are the grid's too; a title's edge keeps its width.
    TDBGrid *grid = form.ui().DBGrid1;
    const int width = grid->columnWidth(0);
    QTest::mouseDClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(width - 1, 5));
    EXPECT_EQ(dir.dialogs.messages.size(), 3u);
    EXPECT_EQ(grid->columnWidth(0), width);
    QTest::mouseDClick(grid->verticalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(dir.dialogs.messages.size(), 4u);
}

TEST(MainWindow, ShortSchemaFailsOnTheHiddenFields)
{
    ProgramDir dir;
    dir.write(QStringLiteral("format.txt"), "A=5\r\nB=5\r\nC=5\r\nD=5\r\nE=5\r\nF=5\r\n");
    TForm1 form;
    ASSERT_EQ(dir.dialogs.errors.size(), 1u);
    EXPECT_EQ(dir.dialogs.errors[0], QStringLiteral("List index out of bounds (7)"));
}

TEST(MainWindow, ColumnWidthsFollowTheWindowWidth)
{
    ProgramDir dir;
    TForm1 form;
    form.resize(544, 375);
    form.FormResize();
    ASSERT_EQ(form.frameGeometry().width(), 544);
    EXPECT_EQ(widths(form), (std::vector<int>{272, 76, 101, 50}));
    form.resize(200, 375);
    form.FormResize();
    EXPECT_EQ(widths(form), (std::vector<int>{100, -10, 15, 50}));
    form.resize(130, 375);
    form.FormResize();
    EXPECT_EQ(widths(form), (std::vector<int>{65, -28, -3, 50}));
    EXPECT_EQ(form.ui().DBGrid1->columnWidth(1), 0);
    // A small width is given as it is, however narrow.
    form.resize(300, 375);
    form.FormResize();
    EXPECT_EQ(form.ui().DBGrid1->columnWidth(1), 15);
    form.resize(252, 375);
    form.FormResize();
    EXPECT_EQ(form.ui().DBGrid1->columnWidth(1), 3);
    EXPECT_EQ(form.ui().DBGrid1->columnWidth(2), 28);
}

TEST(MainWindow, DeleteAsksFirst)
{
    ProgramDir dir;
    TForm1 form;
    dir.dialogs.answers = {mrCancel, mrOk};
    QTest::mouseClick(form.ui().Button03, Qt::LeftButton);
    EXPECT_EQ(form.DataSet()->RecordCount(), 3);
    ASSERT_EQ(dir.dialogs.questions.size(), 1u);
    EXPECT_EQ(dir.dialogs.questions[0].text,
              QString::fromUtf8("Сигурни ли сте, че желаете да изтриете този запис?"));
    EXPECT_EQ(dir.dialogs.questions[0].type, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(dir.dialogs.questions[0].buttons, MsgButtons::mbOKCancel);
    form.MenuItem(QStringLiteral("N8"))->trigger();
    EXPECT_EQ(form.DataSet()->RecordCount(), 2);
    EXPECT_EQ(form.DataSet()->Fields(0)->Text(), QStringLiteral("Smith, John"));
}

TEST(MainWindow, DeleteOnAnEmptyCatalogueAsksThenFails)
{
    ProgramDir dir(true, true, "");
    TForm1 form;
    dir.dialogs.answers = {mrOk};
    EXPECT_EQ(MESSAGE_OF(form.Button03Click()), "DataSet: Cannot perform this operation on an empty dataset");
    EXPECT_EQ(dir.dialogs.questions.size(), 1u);
}

TEST(MainWindow, KeysOfTheGridCallTheCommandsWhateverIsHeld)
{
    ProgramDir dir;
    TForm1 form;
    dir.dialogs.answers = {mrCancel, mrCancel};
    QTest::keyClick(form.ui().DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(form.ui().DBGrid1, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(dir.dialogs.questions.size(), 2u);

    std::vector<TDataSetState> states;
    for (auto [key, modifiers] :
         {std::pair{Qt::Key_Insert, Qt::ShiftModifier}, std::pair{Qt::Key_F9, Qt::ControlModifier}}) {
        whenModal([&](QWidget *modal) {
            states.push_back(form.DataSet()->State());
            EXPECT_NE(qobject_cast<TAddEditForm *>(modal), nullptr);
            static_cast<TAddEditForm *>(modal)->Button02Click();
        });
        QTest::keyClick(form.ui().DBGrid1, key, modifiers);
    }
    EXPECT_EQ(states, (std::vector<TDataSetState>{TDataSetState::dsInsert, TDataSetState::dsEdit}));
    EXPECT_EQ(form.DataSet()->State(), TDataSetState::dsBrowse);
    EXPECT_TRUE(form.findChildren<TAddEditForm *>().empty()); // each dialog is destroyed after use
}

TEST(MainWindow, ButtonsAndMenuItemsOpenTheDialog)
{
    ProgramDir dir;
    TForm1 form;
    int dialogs = 0;
    auto cancelNext = [&] {
        whenModal([&](QWidget *modal) {
            ++dialogs;
            static_cast<TAddEditForm *>(modal)->Button02Click();
        });
    };
    cancelNext();
    QTest::mouseClick(form.ui().Button01, Qt::LeftButton);
    cancelNext();
    QTest::mouseClick(form.ui().Button02, Qt::LeftButton);
    cancelNext();
    form.MenuItem(QStringLiteral("N6"))->trigger();
    cancelNext();
    form.MenuItem(QStringLiteral("N7"))->trigger();
    EXPECT_EQ(dialogs, 4);
    EXPECT_EQ(form.DataSet()->RecordCount(), 3);
}

TEST(MainWindow, EditOnAnEmptyCatalogueAddsARecord)
{
    ProgramDir dir(true, true, "");
    TForm1 form;
    whenModal([&](QWidget *modal) {
        auto *dialog = static_cast<TAddEditForm *>(modal);
        dialog->ui().DBEdit1->setText(QStringLiteral("First"));
        QTest::mouseClick(dialog->ui().Button01, Qt::LeftButton);
    });
    form.Button2Click();
    EXPECT_EQ(form.DataSet()->RecordCount(), 1);
    EXPECT_EQ(form.DataSet()->Line(0), "First");
}

TEST(MainWindow, DialogIsDestroyedWhenAnErrorPasses)
{
    ProgramDir dir;
    TForm1 form;
    form.DataSet()->Close();
    form.DataSet()->setReadOnly(true);
    form.DataSet()->Open();
    EXPECT_EQ(MESSAGE_OF(form.Button2Click()), "DataSet: Cannot modify a read-only dataset");
    EXPECT_TRUE(form.findChildren<TAddEditForm *>().empty());
}

TEST(MainWindow, ExitSavesTheCatalogue)
{
    ProgramDir dir;
    {
        TForm1 form;
        form.show();
        dir.dialogs.answers = {mrOk};
        form.Button03Click();
        form.MenuItem(QStringLiteral("N4"))->trigger();
        EXPECT_FALSE(form.isVisible());
        EXPECT_FALSE(form.DataSet()->Active());
        EXPECT_EQ(dir.read(QStringLiteral("db.txt")), kFilms.substr(kFilms.find("\"Smith")));
    }
    // Closing the window by its border does the same.
    {
        TForm1 form;
        form.show();
        dir.dialogs.answers = {mrOk};
        form.Button03Click();
        form.close();
        EXPECT_EQ(dir.read(QStringLiteral("db.txt")), cp("Matrix,DVD-002,DVD,,,,да\r\n"));
    }
}

TEST(MainWindow, FailedSaveAtExitLetsTheUserRetryOrSaveElsewhere)
{
    ProgramDir dir;
    runFromSubfolder(dir);
    TForm1 form;
    deleteAndLoseTheFolder(dir, form);

    dir.dialogs.namedAnswers = {QString::fromUtf8("Отказ")};
    form.close();
    EXPECT_TRUE(form.isVisible()); // the user stays
    EXPECT_TRUE(form.DataSet()->Active());
    ASSERT_EQ(dir.dialogs.asked.size(), 1u);
    EXPECT_TRUE(dir.dialogs.asked[0].text.contains(QStringLiteral("Cannot create file")));
    EXPECT_EQ(dir.dialogs.asked[0].type, TMsgDlgType::mtError);
    EXPECT_EQ(dir.dialogs.asked[0].buttons,
              (QStringList{QString::fromUtf8("Опитай отново"), QString::fromUtf8("Запиши другаде..."),
                           QString::fromUtf8("Изход без запис"), QString::fromUtf8("Отказ")}));
    EXPECT_EQ(dir.dialogs.asked[0].escape, QString::fromUtf8("Отказ"));
    // Closing the box by its border is Cancel too.
    form.close();
    EXPECT_TRUE(form.isVisible());

    dir.dialogs.namedAnswers = {QString::fromUtf8("Опитай отново"), QString::fromUtf8("Запиши другаде...")};
    dir.dialogs.saveFiles = {dir.path(QStringLiteral("rescued.txt"))};
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(dir.dialogs.asked.size(), 4u);
    EXPECT_EQ(dir.read(QStringLiteral("rescued.txt")), kFilms.substr(kFilms.find("\"Smith")));
    EXPECT_EQ(dir.read(QStringLiteral("gone/db.txt")), kFilms);
}

TEST(MainWindow, QuittingWithoutSavingIsTheUsersChoice)
{
    ProgramDir dir;
    runFromSubfolder(dir);
    TForm1 form;
    deleteAndLoseTheFolder(dir, form);
    dir.dialogs.namedAnswers = {QString::fromUtf8("Изход без запис")};
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.DataSet()->Active());
    EXPECT_EQ(dir.read(QStringLiteral("gone/db.txt")), kFilms);
}
