#include "CatalogueTransfer.h"
#include "Csv.h"
#include "DBGrid.h"
#include "FindBar.h"
#include "MainForm.h"
#include "ProgramDir.h"
#include "SdfData.h"
#include "ui_MainForm.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {
QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Cyrillic values, values with commas and quotes, a film with only a title.
const std::string kMixed = cp("Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"
                              "\"Smith, John\",CD-002,DivX,,,,Не,Иван\r\n"
                              "Кажи \"здрасти\",CD-003,<b>&'x'\r\n"
                              "Matrix\r\n");
const std::string kHeader = "Заглавие,Етикет,Формат,Видео,Аудио,Субтитри,Наличен,Даден\r\n";

std::vector<int> all(TDataSet &films)
{
    std::vector<int> rows;
    for (int row = 0; row < films.RowCount(); ++row)
        rows.push_back(row);
    return rows;
}

ImportPlan plan(TForm1 &form, const std::string &csv)
{
    return PlanImport(*form.DataSet(), csv);
}

std::vector<int> rowsOf(const ImportPlan &plan)
{
    std::vector<int> rows;
    for (const ImportRefusal &refusal : plan.refused)
        rows.push_back(refusal.row);
    return rows;
}
} // namespace

TEST(Export, CsvHoldsTheFieldNamesAndEveryValueInUtf8)
{
    ProgramDir dir(true, true, kMixed);
    TForm1 form;
    // No positions: the whole catalogue.
    EXPECT_EQ(ExportCsv(*form.DataSet(), {}),
              kHeader + "Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да,\r\n"
                        "\"Smith, John\",CD-002,DivX,,,,Не,Иван\r\n"
                        "\"Кажи \"\"здрасти\"\"\",CD-003,<b>&'x',,,,,\r\n"
                        "Matrix,,,,,,,\r\n");
    // The rows asked for, in the order asked.
    EXPECT_EQ(ExportCsv(*form.DataSet(), {3, 1}),
              kHeader + "Matrix,,,,,,,\r\n\"Smith, John\",CD-002,DivX,,,,Не,Иван\r\n");
    EXPECT_EQ(ExportCsv(*form.DataSet(), {0, 1, 2, 3}), ExportCsv(*form.DataSet(), {}));
}

TEST(Export, AnEmptyCatalogueGivesTheHeaderAlone)
{
    ProgramDir dir(true, true, "");
    TForm1 form;
    EXPECT_EQ(ExportCsv(*form.DataSet(), {}), kHeader);
    const std::string html = ExportHtml(*form.DataSet(), {});
    EXPECT_NE(html.find("</tr></thead>\n<tbody>\n</tbody>\n</table>"), std::string::npos);
}

TEST(Export, HtmlEscapesWhatMarkupWouldRead)
{
    ProgramDir dir(true, true, kMixed);
    TForm1 form;
    const std::string html = ExportHtml(*form.DataSet(), {2, 3});
    EXPECT_EQ(html.substr(0, 40), "<!DOCTYPE html>\n<html lang=\"bg\">\n<head>\n");
    const std::string table = html.substr(html.find("<table>"));
    EXPECT_EQ(table,
              "<table>\n<thead><tr><th>Заглавие</th><th>Етикет</th><th>Формат</th><th>Видео</th>"
              "<th>Аудио</th><th>Субтитри</th><th>Наличен</th><th>Даден</th></tr></thead>\n<tbody>\n"
              "<tr><td>Кажи &quot;здрасти&quot;</td><td>CD-003</td><td>&lt;b&gt;&amp;&#39;x&#39;</td>"
              "<td></td><td></td><td></td><td></td><td></td></tr>\n"
              "<tr><td>Matrix</td><td></td><td></td><td></td><td></td><td></td><td></td><td></td></tr>\n"
              "</tbody>\n</table>\n</body>\n</html>\n");
}

TEST(Export, TheMenuItemWritesTheChosenFileInTheFormOfItsName)
{
    ProgramDir dir(true, true, kMixed);
    TForm1 form;
    dir.dialogs.saveFiles = {dir.path(QStringLiteral("films.csv")), dir.path(QStringLiteral("films.HTML")),
                             QString()};
    QAction *exportItem = form.MenuItem(QStringLiteral("N16"));
    exportItem->trigger();
    exportItem->trigger();
    exportItem->trigger(); // cancelled
    EXPECT_EQ(dir.dialogs.saveDialogs, (std::vector<QString>(3, u("Експорт"))));
    EXPECT_EQ(dir.read(QStringLiteral("films.csv")), ExportCsv(*form.DataSet(), all(*form.DataSet())));
    EXPECT_EQ(dir.read(QStringLiteral("films.HTML")), ExportHtml(*form.DataSet(), all(*form.DataSet())));
    // A file that cannot be written is reported.
    dir.dialogs.saveFiles = {dir.path(QStringLiteral("no/such/folder/films.csv"))};
    exportItem->trigger();
    ASSERT_EQ(dir.dialogs.messages.size(), 1u);
    EXPECT_TRUE(dir.dialogs.messages[0].startsWith(
        u("Файлът %1 не можа да бъде записан:\n").arg(dir.path(QStringLiteral("no/such/folder/films.csv")))));
    EXPECT_FALSE(form.DataSet()->Changed());
}

TEST(Export, WithTheFindFilterOnOnlyTheShownFilmsAreWritten)
{
    ProgramDir dir(true, true, kMixed);
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.FindClick();
    auto *text = form.FindBar()->findChild<QLineEdit *>(QStringLiteral("FindText"));
    auto *only = form.FindBar()->findChild<QCheckBox *>(QStringLiteral("FindOnlyMatching"));
    // "Smith, John" (DivX) and Matrix, in catalogue order.
    QTest::keyClicks(text, QStringLiteral("I"));
    QTest::mouseClick(only, Qt::LeftButton);
    ASSERT_TRUE(only->isChecked());
    dir.dialogs.saveFiles = {dir.path(QStringLiteral("some.csv"))};
    form.N16Click();
    EXPECT_EQ(dir.read(QStringLiteral("some.csv")), ExportCsv(*form.DataSet(), {1, 3}));
    EXPECT_EQ(dir.read(QStringLiteral("some.csv")).substr(kHeader.size(), 14), "\"Smith, John\",");

    // A filter that shows nothing writes nothing, rather than the whole catalogue.
    QTest::keyClicks(text, QStringLiteral("zzz"));
    dir.dialogs.saveFiles = {dir.path(QStringLiteral("none.csv"))};
    form.N16Click();
    EXPECT_EQ(dir.dialogs.saveDialogs.size(), 1u);
    ASSERT_EQ(dir.dialogs.messages.size(), 1u);
    EXPECT_EQ(dir.dialogs.messages[0],
              u("Търсенето не показва нито един филм: няма какво да се експортира."));
    EXPECT_FALSE(QFile::exists(dir.path(QStringLiteral("none.csv"))));

    QTest::mouseClick(only, Qt::LeftButton);
    dir.dialogs.saveFiles = {dir.path(QStringLiteral("all.csv"))};
    form.N16Click();
    EXPECT_EQ(dir.read(QStringLiteral("all.csv")), ExportCsv(*form.DataSet(), all(*form.DataSet())));
}

TEST(Export, FilmsAreWrittenInTheOrderTheGridShowsThem)
{
    ProgramDir dir(true, true, kMixed);
    TForm1 form;
    QAbstractItemModel *grid = form.ui().DBGrid1->model();
    form.ui().DBGrid1->gridModel()->setSort(0, Qt::DescendingOrder);
    auto exportedTitles = [&] {
        dir.dialogs.saveFiles = {dir.path(QStringLiteral("sorted.csv"))};
        form.N16Click();
        const std::string csv = dir.read(QStringLiteral("sorted.csv"));
        Csv::Reader reader(csv);
        std::vector<std::string> values;
        QStringList titles;
        reader.next(values); // the header
        while (reader.next(values))
            titles << QString::fromStdString(values.at(0));
        return titles;
    };
    auto shownTitles = [&] {
        QStringList titles;
        for (int row = 0; row < grid->rowCount(); ++row)
            titles << grid->index(row, 0).data().toString();
        return titles;
    };
    ASSERT_EQ(shownTitles().size(), 4);
    ASSERT_NE(shownTitles().front(), u("Казабланка"));
    EXPECT_EQ(exportedTitles(), shownTitles());
    // Sorted and filtered: the films the filter lets through, as sorted.
    form.ui().DBGrid1->gridModel()->setFindText(QStringLiteral("a"));
    form.ui().DBGrid1->gridModel()->setFilterOn(true);
    ASSERT_LT(shownTitles().size(), 4);
    EXPECT_EQ(exportedTitles(), shownTitles());
}

TEST(Import, ColumnsAreMatchedByNameInAnyOrderAndOthersIgnored)
{
    ProgramDir dir(true, true, cp("Казабланка,DVD-001,DVD\r\n"));
    TForm1 form;
    const ImportPlan p = plan(form, "\xEF\xBB\xBF"
                                    "Бележка, етикет ,ЗАГЛАВИЕ,Наличен\r\n"
                                    "x,CD-9,\"Нов, филм\",Да\r\n"
                                    "\r\n"
                                    "y, CD-10 ,  Друг  ,\r\n"
                                    "only a note,,,\n");
    EXPECT_TRUE(p.failure.isEmpty());
    EXPECT_TRUE(p.refused.empty());
    ASSERT_EQ(p.films.size(), 2u);
    EXPECT_EQ(ImportSummary(p), u("Ще бъдат добавени 2 филма."));
    ApplyImport(*form.DataSet(), p);
    EXPECT_EQ(form.DataSet()->ActiveRow(), 1); // the first film added
    form.DataSet()->Close();
    EXPECT_EQ(dir.readDb(), cp("Казабланка,DVD-001,DVD\r\n\"Нов, филм\",CD-9,,,,,Да\r\nДруг,CD-10\r\n"));
}

TEST(Import, RowsThatCannotBeStoredAreNamedWithTheirNumbers)
{
    ProgramDir dir;
    TForm1 form;
    const std::string csv = "Заглавие,Етикет\r\n"              // row 1
                            "Добър,A\r\n"                      // 2
                            + std::string(101, 'T') + ",B\r\n" // 3: too wide
                            + "Емоджи 😀,C\r\n"                 // 4: outside Windows-1251
                            + "\"Кавички\",\"a\"\",b\"\r\n"    // 5: a quote before a comma
                            + "\"на два\nреда\",D\r\n"         // 6: a line break
                            + "Три,E,F\r\n"                    // 8: a value too many
                            + "\r\n"                           // 9: empty, passed over
                            + "Лош \xff байт,G\r\n"            // 10: not UTF-8
                            + "Добър 2,\"\"\r\n";              // 11
    const ImportPlan p = plan(form, csv);
    EXPECT_TRUE(p.failure.isEmpty());
    EXPECT_EQ(p.films.size(), 2u);
    EXPECT_EQ(rowsOf(p), (std::vector<int>{3, 4, 5, 6, 7, 9}));
    EXPECT_EQ(ImportSummary(p),
              u("Ще бъдат добавени 2 филма.\n\n"
                "Тези редове не могат да бъдат записани и ще бъдат пропуснати:\n"
                "ред 3: Заглавие: 101 знака, а полето побира 100\n"
                "ред 4: Заглавие: знакът „😀“ (U+1F600) не се побира в кодовата таблица Windows-1251\n"
                "ред 5: Етикет: кавичка, следвана от запетая, в стойност със запетая\n"
                "ред 6: Заглавие: стойност на повече от един ред\n"
                "ред 7: 3 стойности, а колоните са 2\n"
                "ред 9: Заглавие: не е текст в UTF-8"));
    // Through the menu item: the user sees the same and says yes.
    const QString file = dir.path(QStringLiteral("in.csv"));
    dir.write(QStringLiteral("in.csv"), csv);
    dir.dialogs.files = {file};
    dir.dialogs.answers = {mrYes};
    form.MenuItem(QStringLiteral("N17"))->trigger();
    ASSERT_EQ(dir.dialogs.questions.size(), 1u);
    EXPECT_EQ(dir.dialogs.questions[0].text, ImportSummary(p) + u("\n\nДа се добавят ли?"));
    EXPECT_EQ(dir.dialogs.questions[0].buttons, MsgButtons::mbYes | MsgButtons::mbNo);
    EXPECT_EQ(dir.dialogs.fileDialogs[0].title, u("Импорт"));
    form.DataSet()->Close();
    EXPECT_EQ(dir.readDb(), kFilms + cp("Добър,A\r\nДобър 2\r\n"));
}

TEST(Import, NothingIsAddedWhenTheUserSaysNoOrTheFileCannotBeRead)
{
    ProgramDir dir;
    TForm1 form;
    const struct
    {
        std::string csv;
        const char *message;
    } files[] = {
        {"", "Файлът не може да бъде внесен: първият му ред трябва да назовава колоните."},
        {"Name,Disc no\r\nA,B\r\n",
         "Файлът не може да бъде внесен: никоя негова колона не носи името на поле от каталога (Заглавие, "
         "Етикет, Формат, Видео, Аудио, Субтитри, Наличен, Даден)."},
        {"Заглавие,заглавие\r\n", "Файлът не може да бъде внесен: колоната „Заглавие“ е дадена два пъти."},
        {"Заглавие\r\nA\r\n\"B\r\nC\r\n",
         "Файлът не може да бъде внесен: стойността в кавички, започната на ред 3, не е затворена до края на "
         "файла."},
        {"Заглавие\r\nA\r\n\"B\"C\r\n", "Файлът не може да бъде внесен: на ред 3 след затварящите кавички на "
                                        "стойност има други знаци преди запетаята."},
        {"Заглавие\r\n\r\n,\r\n", "Във файла няма филми, които да бъдат добавени."},
        {"Заглавие\r\n" + std::string(101, 'x') + "\r\n",
         "Във файла няма филми, които да бъдат добавени.\n\n"
         "Тези редове не могат да бъдат записани и ще бъдат пропуснати:\n"
         "ред 2: Заглавие: 101 знака, а полето побира 100"},
    };
    for (const auto &file : files) {
        dir.write(QStringLiteral("in.csv"), file.csv);
        dir.dialogs.files = {dir.path(QStringLiteral("in.csv"))};
        dir.dialogs.messages.clear();
        form.N17Click();
        ASSERT_EQ(dir.dialogs.messages.size(), 1u) << file.csv;
        EXPECT_EQ(dir.dialogs.messages[0], u(file.message));
    }
    EXPECT_TRUE(dir.dialogs.questions.empty());
    // A file that is not there; the user's No.
    dir.dialogs.files = {dir.path(QStringLiteral("none.csv"))};
    form.N17Click();
    EXPECT_TRUE(dir.dialogs.messages.back().startsWith(
        u("Файлът %1 не може да бъде прочетен:\n").arg(dir.path(QStringLiteral("none.csv")))));
    dir.write(QStringLiteral("in.csv"), "Заглавие\r\nA\r\n");
    dir.dialogs.files = {dir.path(QStringLiteral("in.csv"))};
    dir.dialogs.answers = {mrNo};
    form.N17Click();
    EXPECT_EQ(dir.dialogs.questions.size(), 1u);
    EXPECT_EQ(form.DataSet()->RowCount(), 3);
    EXPECT_FALSE(form.DataSet()->Changed());
    form.DataSet()->Close();
    EXPECT_EQ(dir.readDb(), kFilms);
}

TEST(Import, AFilmThatFailsTakesTheOthersBackOut)
{
    ProgramDir dir;
    TForm1 form;
    const ImportPlan p = plan(form, "Заглавие\r\nA\r\nB\r\nC\r\n");
    ASSERT_EQ(p.films.size(), 3u);
    int posts = 0;
    form.DataSet()->BeforePost = [&posts](TDataSet &) {
        if (++posts == 3)
            throw EDatabaseError("Disk full");
    };
    EXPECT_EQ(MESSAGE_OF(ApplyImport(*form.DataSet(), p)), "Disk full");
    EXPECT_EQ(form.DataSet()->RowCount(), 3);
    EXPECT_FALSE(form.DataSet()->Changed());
    EXPECT_FALSE(form.DataSet()->ControlsDisabled());
    EXPECT_EQ(form.ui().DBGrid1->model()->rowCount(), 3);
    form.DataSet()->Close();
    EXPECT_EQ(dir.readDb(), kFilms);
}

TEST(Import, AnExportReadBackIntoAnEmptyCatalogueGivesTheSameFile)
{
    const std::string films = kMixed + cp("\"\"\"Цитат\"\" с кавички\",,,,,,Не\r\n");
    std::string csv;
    {
        ProgramDir dir(true, true, films);
        TForm1 form;
        csv = ExportCsv(*form.DataSet(), all(*form.DataSet()));
    }
    ProgramDir dir(true, true, "");
    {
        TForm1 form;
        const ImportPlan p = plan(form, csv);
        EXPECT_TRUE(p.refused.empty());
        ApplyImport(*form.DataSet(), p);
    }
    EXPECT_EQ(dir.readDb(), films);
}

TEST(Import, WhatASpreadsheetWritesIsRead)
{
    ProgramDir dir;
    TForm1 form;
    const struct
    {
        std::string csv;
        bool windows1251;
    } files[] = {
        // Semicolons, the catalogue's own code page, English names.
        {cp("Title;Disc;Format;Lent to\r\n\"Смит; Джон\";CD-9;DivX;Иван\r\n"), true},
        // Tabs after the UTF-8 mark.
        {"\xEF\xBB\xBFtitle\tdisc label\tformat\tLENT TO\r\nСмит; Джон\tCD-9\tDivX\tИван\r\n", false},
        // Commas in UTF-8 without the mark, a semicolon only inside a value.
        {"Заглавие,Етикет,Формат,Даден\r\nСмит; Джон,CD-9,DivX,Иван\r\n", false},
    };
    for (const auto &file : files) {
        const ImportPlan p = plan(form, file.csv);
        EXPECT_TRUE(p.failure.isEmpty()) << p.failure.toStdString();
        EXPECT_TRUE(p.refused.empty()) << ImportSummary(p).toStdString();
        ASSERT_EQ(p.films.size(), 1u) << file.csv;
        EXPECT_EQ(p.films[0],
                  (std::vector<std::string>{cp("Смит; Джон"), "CD-9", "DivX", "", "", "", "", cp("Иван")}))
            << file.csv;
        EXPECT_EQ(p.windows1251, file.windows1251);
        EXPECT_EQ(ImportSummary(p).contains(u("Windows-1251")), file.windows1251);
    }
}

TEST(Import, FilmsTheCatalogueHasAreCountedAndAddedOnlyWhenAsked)
{
    ProgramDir dir;
    TForm1 form;
    // Two of the three films are in the catalogue already, in other letter case and with blanks.
    dir.write(QStringLiteral("in.csv"),
              "Title,Disc\r\nнов,X-1\r\n казабланка ,dvd-001\r\nMatrix,dvd-002\r\n");
    const struct
    {
        const char *answer;
        int known;
        int rows;
    } choices[] = {{"Отказ", 2, 3}, {"Само новите", 2, 4}, {"Всички", 3, 7}};
    for (const auto &choice : choices) {
        dir.dialogs.files = {dir.path(QStringLiteral("in.csv"))};
        dir.dialogs.namedAnswers = {u(choice.answer)};
        dir.dialogs.asked.clear();
        form.N17Click();
        ASSERT_EQ(dir.dialogs.asked.size(), 1u);
        EXPECT_TRUE(dir.dialogs.asked[0].text.startsWith(
            u("Ще бъдат добавени 3 филма.\n%1 от тях вече са в каталога (същото заглавие и етикет).")
                .arg(choice.known)))
            << dir.dialogs.asked[0].text.toStdString();
        EXPECT_EQ(form.DataSet()->RowCount(), choice.rows) << choice.answer;
    }
    EXPECT_EQ(form.DataSet()->Line(3), cp("нов,X-1"));
}
