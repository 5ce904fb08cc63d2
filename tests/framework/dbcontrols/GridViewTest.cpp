#include "Catalogue.h"
#include "Codec.h"
#include "DBGrid.h"
#include "DataSource.h"

#include <QAbstractItemModelTester>
#include <QCollator>
#include <QHeaderView>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace {
std::string ansi(const char *utf8)
{
    return Codec::fromQString(QString::fromUtf8(utf8));
}

// Title, disc, format, lent to, and a note that finding does not look in.
const std::vector<std::string> kSchema{"Title=30", "Disc=8", "Format=8", "LentTo=20", "Note=20"};

struct ViewFixture
{
    Catalogue c;
    std::unique_ptr<TSdfDataSet> ds;
    TDataSource source;
    TDBGrid grid;
    DBGridModel *model;
    std::unique_ptr<QAbstractItemModelTester> tester;
    explicit ViewFixture(const std::string &lines)
    {
        ds = c.open(kSchema, lines);
        source.setDataSet(ds.get());
        grid.setDataSource(&source);
        model = grid.gridModel();
        model->setFindFields({QStringLiteral("Title"), QStringLiteral("Disc"), QStringLiteral("Format"),
                              QStringLiteral("LentTo")});
        tester = std::make_unique<QAbstractItemModelTester>(
            model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    std::vector<std::string> titles() const
    {
        std::vector<std::string> out;
        for (int row = 0; row < model->rowCount(); ++row)
            out.push_back(Codec::fromQString(model->index(row, 0).data().toString()));
        return out;
    }
    std::string title() const { return ds->FieldByName("Title").AsString(); }
    void find(const char *utf8) { model->setFindText(QString::fromUtf8(utf8)); }
    void clickTitle(int column)
    {
        QHeaderView *header = grid.horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
};

std::string films()
{
    return ansi("Под игото,D1,DVD,Иван,matrix\r\n"
                "The Matrix,D2,DivX,,\r\n"
                "Казабланка,ПОДАРЪК,VHS,,\r\n"
                "Alien,D4,mpeg,Подгорски,\r\n"
                "Време разделно,D5,DVD,,\r\n");
}
} // namespace

TEST(GridFind, FindsInEachFieldInEitherCaseButNotInOthers)
{
    ViewFixture f(films());
    f.grid.resize(400, 200);
    f.find("под");
    // Title, disc label and lent-to name; the note of the first film does not count for "matrix".
    EXPECT_EQ(f.model->findRow(0, false), 0);
    EXPECT_EQ(f.model->findRow(1, false), 2);
    EXPECT_EQ(f.model->findRow(3, false), 3);
    f.find("MATRIX");
    EXPECT_EQ(f.model->findRow(0, false), 1);
    EXPECT_FALSE(f.model->rowMatches(0));
    f.find("mpeg");
    EXPECT_EQ(f.model->findRow(0, false), 3);
    f.find("divx");
    EXPECT_EQ(f.model->findRow(0, false), 1);
    f.find("ВРЕМЕ Р");
    EXPECT_EQ(f.model->findRow(0, true), 4);
    f.find("нищо такова");
    EXPECT_EQ(f.model->findRow(0, false), -1);
    EXPECT_EQ(f.model->findRow(4, true), -1);
}

TEST(GridFind, NextAndPreviousWrapAroundAndSayTheyDid)
{
    ViewFixture f(films());
    f.find("DVD");
    bool wrapped = true;
    EXPECT_EQ(f.model->findRow(1, false, &wrapped), 4);
    EXPECT_FALSE(wrapped);
    EXPECT_EQ(f.model->findRow(5 % 5, false, &wrapped), 0);
    EXPECT_FALSE(wrapped);
    EXPECT_EQ(f.model->findRow(4 + 1, false, &wrapped), 0);
    EXPECT_TRUE(wrapped);
    EXPECT_EQ(f.model->findRow(3, true, &wrapped), 0);
    EXPECT_FALSE(wrapped);
    EXPECT_EQ(f.model->findRow(-1, true, &wrapped), 4);
    EXPECT_TRUE(wrapped);
}

TEST(GridFilter, ShowsMatchesInCatalogueOrderAndKeepsTheCurrentFilm)
{
    ViewFixture f(films());
    f.ds->MoveToRow(3);
    f.find("под");
    f.model->setFilterOn(true);
    EXPECT_EQ(f.titles(), (std::vector<std::string>{ansi("Под игото"), ansi("Казабланка"), "Alien"}));
    EXPECT_EQ(f.model->ShownPositions(), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(f.title(), "Alien");
    EXPECT_EQ(f.grid.currentIndex().row(), 2);
    // Picking a row moves the catalogue to its film.
    f.grid.setCurrentIndex(f.model->index(1, 0));
    EXPECT_EQ(f.title(), ansi("Казабланка"));
    EXPECT_EQ(f.ds->ActiveRow(), 2);
    f.find("dvd");
    EXPECT_EQ(f.model->ShownPositions(), (std::vector<int>{0, 4}));
    // The current film was filtered away: the next one shown becomes current.
    EXPECT_EQ(f.title(), ansi("Време разделно"));
    // Sorted, the view's order changes; the films the filter lets through stay in catalogue order.
    f.model->setSort(0, Qt::AscendingOrder);
    EXPECT_EQ(f.model->ShownPositions(), (std::vector<int>{4, 0}));
    EXPECT_EQ(f.model->FilteredPositions(), (std::vector<int>{0, 4}));
    f.find("нищо такова");
    EXPECT_EQ(f.model->rowCount(), 0);
    EXPECT_EQ(f.model->FilteredPositions(), std::vector<int>());
    f.find("dvd");
    f.model->setSort(-1, Qt::AscendingOrder);
    f.model->setFilterOn(false);
    EXPECT_EQ(f.model->FilteredPositions(), std::nullopt);
    EXPECT_EQ(f.model->rowCount(), 5);
    EXPECT_EQ(f.title(), ansi("Време разделно"));
    EXPECT_EQ(f.grid.currentIndex().row(), 4);
    EXPECT_EQ(f.model->ShownPositions(), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(GridFilter, EditDeleteAndAddWorkOnTheFilteredView)
{
    ViewFixture f(films());
    f.find("под");
    f.model->setFilterOn(true);
    f.grid.setCurrentIndex(f.model->index(1, 0));
    // Edited so that it no longer matches, the film stays where it is until the text changes.
    f.ds->Edit();
    f.ds->FieldByName("Disc").setAsString("D3");
    f.ds->Post();
    EXPECT_EQ(f.titles(), (std::vector<std::string>{ansi("Под игото"), ansi("Казабланка"), "Alien"}));
    EXPECT_EQ(f.grid.currentIndex().row(), 1);
    // Deleted, the next film shown takes its row, not the next one in the catalogue.
    f.grid.setCurrentIndex(f.model->index(0, 0));
    f.ds->Delete();
    EXPECT_EQ(f.titles(), (std::vector<std::string>{ansi("Казабланка"), "Alien"}));
    EXPECT_EQ(f.title(), ansi("Казабланка"));
    EXPECT_EQ(f.grid.currentIndex().row(), 0);
    EXPECT_EQ(f.model->ShownPositions(), (std::vector<int>{1, 2}));
    // Added in front of the current film, the new one shows there, matching or not.
    f.grid.setCurrentIndex(f.model->index(1, 0));
    f.ds->Insert();
    EXPECT_EQ(f.model->rowCount(), 3);
    EXPECT_EQ(f.grid.currentIndex().row(), 1);
    f.ds->FieldByName("Title").setAsString("Heat");
    f.ds->Post();
    EXPECT_EQ(f.titles(), (std::vector<std::string>{ansi("Казабланка"), "Heat", "Alien"}));
    EXPECT_EQ(f.model->ShownPositions(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(f.title(), "Heat");
    f.ds->Append();
    f.ds->FieldByName("Title").setAsString(ansi("Подземие"));
    f.ds->Post();
    EXPECT_EQ(f.model->ShownPositions(), (std::vector<int>{1, 2, 3, 5}));
    // The same text again changes nothing; a new text filters afresh.
    f.find("под");
    EXPECT_EQ(f.model->ShownPositions(), (std::vector<int>{1, 2, 3, 5}));
    f.find("ПОД");
    EXPECT_EQ(f.titles(), (std::vector<std::string>{"Alien", ansi("Подземие")}));
    f.ds->Close();
    // Lines not edited stay as they were.
    EXPECT_EQ(f.c.readDb(), ansi("The Matrix,D2,DivX,,\r\n"
                                 "Казабланка,D3,VHS\r\n"
                                 "Heat\r\n"
                                 "Alien,D4,mpeg,Подгорски,\r\n"
                                 "Време разделно,D5,DVD,,\r\n"
                                 "Подземие\r\n"));
}

TEST(GridSort, ClicksSortUpDownAndBackToCatalogueOrder)
{
    // Equal titles differ by disc, so that their order shows.
    ViewFixture f(ansi("ябълка,1\r\nАбв,2\r\nюг,3\r\nабв,4\r\nZulu,5\r\nёж,6\r\nАбв,7\r\nalpha,8\r\n"));
    f.grid.resize(500, 300);
    f.grid.show();
    const std::string before = f.c.readDb();
    const std::vector<std::string> catalogue = f.titles();
    std::vector<int> order(catalogue.size());
    for (int i = 0; i < int(order.size()); ++i)
        order[std::size_t(i)] = i;
    QCollator collator{QLocale(QLocale::Bulgarian)};
    const auto key = [&](int i) { return Codec::toQString(catalogue[std::size_t(i)]); };
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return collator.compare(key(a), key(b)) < 0; });
    std::vector<int> down = order;
    std::stable_sort(down.begin(), down.end(),
                     [&](int a, int b) { return collator.compare(key(a), key(b)) > 0; });
    f.ds->MoveToRow(2);

    f.clickTitle(0);
    EXPECT_EQ(f.model->ShownPositions(), order);
    EXPECT_TRUE(f.grid.horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(f.grid.horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    EXPECT_EQ(f.title(), ansi("юг"));
    EXPECT_EQ(f.model->positionOfRow(f.grid.currentIndex().row()), 2);
    f.clickTitle(0);
    EXPECT_EQ(f.model->ShownPositions(), down);
    EXPECT_EQ(f.grid.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    f.clickTitle(0);
    EXPECT_EQ(f.titles(), catalogue);
    EXPECT_FALSE(f.grid.horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(f.title(), ansi("юг"));
    EXPECT_EQ(f.grid.currentIndex().row(), 2);
    // Another column sorts up at once.
    f.clickTitle(1);
    f.clickTitle(1);
    EXPECT_EQ(f.model->ShownPositions(), (std::vector<int>{7, 6, 5, 4, 3, 2, 1, 0}));
    f.clickTitle(0);
    EXPECT_EQ(f.model->ShownPositions(), order);
    f.ds->Close();
    EXPECT_EQ(f.c.readDb(), before);
}

TEST(GridSort, ANewFilmTakesItsSortedPlaceWhenStored)
{
    ViewFixture f(ansi("Б,1\r\nГ,2\r\nА,3\r\n"));
    f.model->setSort(0, Qt::AscendingOrder);
    f.ds->MoveToRow(1);
    f.ds->Insert();
    f.ds->FieldByName("Title").setAsString(ansi("В"));
    f.ds->Post();
    EXPECT_EQ(f.titles(), (std::vector<std::string>{ansi("А"), ansi("Б"), ansi("В"), ansi("Г")}));
    EXPECT_EQ(f.title(), ansi("В"));
    EXPECT_EQ(f.grid.currentIndex().row(), 2);
    // The catalogue keeps the order the film was added in.
    EXPECT_EQ(f.ds->Line(1), ansi("В"));
    // An edited film stays in its row until the next sort.
    f.ds->Edit();
    f.ds->FieldByName("Title").setAsString(ansi("Я"));
    f.ds->Post();
    EXPECT_EQ(f.grid.currentIndex().row(), 2);
    f.model->setSort(0, Qt::DescendingOrder);
    EXPECT_EQ(f.titles(), (std::vector<std::string>{ansi("Я"), ansi("Г"), ansi("Б"), ansi("А")}));
    EXPECT_EQ(f.grid.currentIndex().row(), 0);
}

TEST(GridFilter, FindingFilteringAndSortingLeaveTheFileAlone)
{
    ViewFixture f(films());
    const std::string before = f.c.readDb();
    f.find("под");
    f.model->setFilterOn(true);
    f.model->setSort(0, Qt::DescendingOrder);
    // Bulgarian collation puts Cyrillic letters before Latin ones.
    EXPECT_EQ(f.titles(), (std::vector<std::string>{"Alien", ansi("Под игото"), ansi("Казабланка")}));
    f.grid.setCurrentIndex(f.model->index(2, 0));
    f.model->findRow(0, false);
    f.model->setFilterOn(false);
    f.model->setSort(-1, Qt::AscendingOrder);
    f.ds->Close();
    EXPECT_EQ(f.c.readDb(), before);
}

// A long random run of edits on a filtered view, against a plain list: the view shows the films
// that matched when the text was set and the films added since, in catalogue order.
TEST(GridFilter, FilteredRowsFollowRandomEdits)
{
    std::string lines;
    for (int i = 0; i < 30; ++i)
        lines += (i % 3 ? "Film " : "Key film ") + std::to_string(i) + "\r\n";
    ViewFixture f(lines);
    f.grid.resize(300, 200);
    f.grid.show();
    struct Film
    {
        std::string title;
        bool shown;
    };
    std::vector<Film> catalogue;
    for (int i = 0; i < 30; ++i)
        catalogue.push_back({(i % 3 ? "Film " : "Key film ") + std::to_string(i), i % 3 == 0});
    f.find("KEY");
    bool capitals = true;
    f.model->setFilterOn(true);
    std::mt19937 random(1406);
    int named = 0;
    for (int step = 0; step < 1500; ++step) {
        std::vector<int> shown;
        for (int i = 0; i < int(catalogue.size()); ++i) {
            if (catalogue[std::size_t(i)].shown)
                shown.push_back(i);
        }
        const int active = f.ds->ActiveRow();
        const unsigned op = random() % 10;
        const std::string title = (random() % 2 ? "key " : "other ") + std::to_string(++named);
        if (op <= 2 && !shown.empty()) {
            f.grid.setCurrentIndex(f.model->index(int(random() % shown.size()), 0));
        } else if (op == 3) {
            f.ds->Insert();
            f.ds->FieldByName("Title").setAsString(title);
            f.ds->Post();
            const int at = shown.empty() ? active : std::max(active, 0);
            catalogue.insert(catalogue.begin() + std::min(at, int(catalogue.size())), {title, true});
        } else if (op == 4) {
            f.ds->Append();
            f.ds->FieldByName("Title").setAsString(title);
            f.ds->Post();
            catalogue.push_back({title, true});
        } else if (op <= 6 && !shown.empty()) {
            f.ds->Edit();
            f.ds->FieldByName("Title").setAsString(title);
            f.ds->Post();
            catalogue[std::size_t(active)].title = title;
        } else if (op <= 8 && !shown.empty()) {
            f.ds->Delete();
            catalogue.erase(catalogue.begin() + active);
        } else if (op == 9) {
            // The text set again filters afresh.
            capitals = !capitals;
            f.find(capitals ? "KEY" : "key");
            for (Film &film : catalogue)
                film.shown = film.title.find("ey") != std::string::npos;
        }
        std::vector<int> expected;
        std::vector<std::string> titles;
        for (int i = 0; i < int(catalogue.size()); ++i) {
            if (catalogue[std::size_t(i)].shown) {
                expected.push_back(i);
                titles.push_back(catalogue[std::size_t(i)].title);
            }
        }
        ASSERT_EQ(f.model->ShownPositions(), expected) << "step " << step << " op " << op;
        ASSERT_EQ(f.titles(), titles) << "step " << step;
        if (!expected.empty()) {
            ASSERT_NE(std::find(expected.begin(), expected.end(), f.ds->ActiveRow()), expected.end())
                << "step " << step << " op " << op;
            ASSERT_EQ(f.model->positionOfRow(f.grid.currentIndex().row()), f.ds->ActiveRow())
                << "step " << step;
        }
    }
}
