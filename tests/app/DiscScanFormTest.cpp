// The disc scan window driven offscreen: a folder posed as a volume is scanned off the GUI thread,
// its films reviewed, ticked, corrected and added, or the scan stopped and nothing added.

#include "DiscScanForm.h"
#include "MainForm.h"
#include "NoxSkinBtn.h"
#include "ProgramDir.h"
#include "ScanFilmModel.h"
#include "SdfData.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

void makeFile(const QString &path)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("not a film");
}

bool scanned(TDiscScanForm &window)
{
    return QTest::qWaitFor([&] { return !window.Scanning(); }, 10000);
}

QString cell(TScanFilmModel &films, int row, int column, int role = Qt::DisplayRole)
{
    return films.data(films.index(row, column), role).toString();
}

bool ticked(TScanFilmModel &films, int row)
{
    return films.data(films.index(row, TScanFilmModel::colTitle), Qt::CheckStateRole).toInt() == Qt::Checked;
}
} // namespace

TEST(DiscScanForm, ReviewedFilmsAreAddedAtTheEndAsTicked)
{
    ProgramDir dir;
    QTemporaryDir mounts;
    const QString disc = mounts.filePath(QStringLiteral("DVD-002"));
    makeFile(disc + QStringLiteral("/Amelie/amelie.avi"));
    makeFile(disc + QStringLiteral("/Amelie/amelie.srt"));
    makeFile(disc + QStringLiteral("/Brazil/brazil.avi"));
    makeFile(disc + QStringLiteral("/Matrix/matrix.avi"));
    makeFile(disc + u("/日本/film.mkv"));
    dir.volumes.volumes = {{disc, QStringLiteral("DVD-002")}};
    {
        TForm1 form;
        TDiscScanForm window(&form, *form.DataSet());
        QTimer::singleShot(0, &window, [&] {
            QTest::mouseClick(window.findChild<TNoxSkinBtn *>(QStringLiteral("ScanButton")), Qt::LeftButton);
            ASSERT_TRUE(window.Scanning());
            ASSERT_TRUE(scanned(window));
            TScanFilmModel &films = *window.Films();
            ASSERT_EQ(films.rowCount(), 4);
            EXPECT_EQ(window.LabelEdit()->text(), QStringLiteral("DVD-002"));
            EXPECT_EQ(window.StatusLabel()->text(), u("Намерени филми: 4"));
            const struct
            {
                const char *title;
                bool ticked;
                const char *note;
            } rows[] = {
                {"Amelie", true, ""},
                {"Brazil", true, ""},
                // As the duplicate warning sees it: the same title and label, whatever the letter case.
                {"Matrix", false, "вече е в каталога"},
                {"日本", false,
                 "Заглавие: знакът „日“ (U+65E5) не се побира в кодовата таблица Windows-1251; "
                 "Видео: знакът „日“ (U+65E5) не се побира в кодовата таблица Windows-1251"},
            };
            for (int row = 0; row < 4; ++row) {
                EXPECT_EQ(cell(films, row, TScanFilmModel::colTitle), u(rows[row].title));
                EXPECT_EQ(ticked(films, row), rows[row].ticked) << row;
                EXPECT_EQ(cell(films, row, TScanFilmModel::colNote), u(rows[row].note)) << row;
                EXPECT_EQ(cell(films, row, TScanFilmModel::colLabel), QStringLiteral("DVD-002"));
            }
            EXPECT_EQ(cell(films, 0, TScanFilmModel::colSubtitles),
                      disc + QStringLiteral("/Amelie/amelie.srt"));
            // A row that cannot be stored cannot be ticked, until every value can.
            EXPECT_FALSE(films.setData(films.index(3, 0), Qt::Checked, Qt::CheckStateRole));
            EXPECT_TRUE(films.setData(films.index(3, 0), u("Япония"), Qt::EditRole));
            EXPECT_FALSE(films.setData(films.index(3, 0), Qt::Checked, Qt::CheckStateRole));
            EXPECT_TRUE(cell(films, 3, TScanFilmModel::colNote).startsWith(u("Видео:")));
            // A film already in the catalogue may be ticked by the user.
            EXPECT_TRUE(films.setData(films.index(2, 0), Qt::Checked, Qt::CheckStateRole));
            // A value wider than its field unticks its row.
            EXPECT_TRUE(films.setData(films.index(0, TScanFilmModel::colFormat),
                                      QString(21, QLatin1Char('x')), Qt::EditRole));
            EXPECT_FALSE(ticked(films, 0));
            EXPECT_EQ(cell(films, 0, TScanFilmModel::colNote), u("Формат: 21 знака, а полето побира 20"));
            EXPECT_TRUE(films.setData(films.index(0, TScanFilmModel::colFormat), QStringLiteral("DivX"),
                                      Qt::EditRole));
            EXPECT_TRUE(films.setData(films.index(0, 0), Qt::Checked, Qt::CheckStateRole));
            EXPECT_TRUE(films.setData(films.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
            // One label for the whole disc, given before the films are added.
            window.LabelEdit()->setText(QStringLiteral("CD-030"));
            QTest::mouseClick(window.findChild<TNoxSkinBtn *>(QStringLiteral("Button01")), Qt::LeftButton);
        });
        window.Execute();
        EXPECT_EQ(form.DataSet()->RowCount(), 5);
        EXPECT_EQ(form.DataSet()->ActiveRow(), 3);
    }
    const auto line = [](const QString &text) { return Codec::fromQString(text); };
    EXPECT_EQ(dir.readDb(),
              kFilms +
                  line(u("Amelie,CD-030,DivX,%1/Amelie/amelie.avi,,%1/Amelie/amelie.srt,Да\r\n").arg(disc)) +
                  line(u("Matrix,CD-030,AVI,%1/Matrix/matrix.avi,,,Да\r\n").arg(disc)));
}

TEST(DiscScanForm, StopEndsTheScanAtOnceAndCancelAddsNothing)
{
    ProgramDir dir;
    QTemporaryDir disc;
    for (int i = 0; i < 2000; ++i)
        makeFile(disc.filePath(QStringLiteral("F%1/film.avi").arg(i)));
    {
        TForm1 form;
        TDiscScanForm window(&form, *form.DataSet());
        QTimer::singleShot(0, &window, [&] {
            window.StartScan(disc.path(), QStringLiteral("CD-040"));
            QTest::mouseClick(window.findChild<TNoxSkinBtn *>(QStringLiteral("StopButton")), Qt::LeftButton);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !window.Scanning(); }, 1000));
            EXPECT_TRUE(window.StatusLabel()->text().endsWith(u("(сканирането е спряно)")))
                << window.StatusLabel()->text().toStdString();
            EXPECT_LT(window.Films()->rowCount(), 2000);
            QTest::mouseClick(window.findChild<TNoxSkinBtn *>(QStringLiteral("Button02")), Qt::LeftButton);
        });
        window.Execute();
        EXPECT_EQ(form.DataSet()->RowCount(), 3);
        EXPECT_FALSE(form.DataSet()->Changed());
    }
    EXPECT_EQ(dir.readDb(), kFilms);
}
