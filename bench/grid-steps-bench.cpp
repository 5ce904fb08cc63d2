// Measures what a person feels in the main window's grid on a small and a large catalogue side by
// side, in one process: the keys Ctrl+End, Down and PageDown, adding, editing and deleting one film,
// and a batch of 10,000 films added at the top and deleted again with the grid attached. Each
// figure of the keys and the single edits is the median of RUNS rounds that alternate between the
// two windows; every step includes the repaint it causes. Prints one name=value line per figure.
//
//   cinaxo-grid-steps SMALL_PROGRAM_DIR LARGE_PROGRAM_DIR [RUNS [steps]]
//
// With "steps" the batches are left out (they take minutes where every edit rebuilds the grid).
//
// Runs on whatever platform Qt is given (QT_QPA_PLATFORM=offscreen, or a real X server).

#include "Application.h"
#include "DBGrid.h"
#include "DataSet.h"
#include "Dialogs.h"
#include "MainForm.h"
#include "NoBoxes.h"
#include "SdfData.h"
#include "ui_MainForm.h"

#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {
// Lets the window handle everything pending, its repaints included.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

double msOf(const std::function<void()> &step)
{
    settle();
    QElapsedTimer clock;
    clock.start();
    step();
    settle();
    return double(clock.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Window
{
    std::string name;
    std::unique_ptr<TForm1> form;
    TDBGrid *grid = nullptr;
    TSdfDataSet *ds = nullptr;
    std::vector<std::pair<std::string, std::vector<double>>> samples;

    void add(const std::string &figure, double ms)
    {
        for (auto &[name, values] : samples) {
            if (name == figure) {
                values.push_back(ms);
                return;
            }
        }
        samples.push_back({figure, {ms}});
    }

    void row(int row)
    {
        grid->setCurrentIndex(grid->model()->index(row, 0));
        settle();
    }

    void round()
    {
        TField &title = *ds->Fields(0);
        const int middle = ds->RowCount() / 2;
        row(0);
        add("ctrl_end_ms", msOf([&] { QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier); }));
        row(middle);
        add("down_ms", msOf([&] { QTest::keyClick(grid, Qt::Key_Down); }));
        add("pagedown_ms", msOf([&] { QTest::keyClick(grid, Qt::Key_PageDown); }));
        row(middle);
        add("add_ms", msOf([&] {
                ds->Insert();
                title.setAsString("Bench film");
                ds->Post();
            }));
        add("edit_ms", msOf([&] {
                ds->Edit();
                title.setAsString("Bench film, edited");
                ds->Post();
            }));
        add("delete_ms", msOf([&] { ds->Delete(); }));
    }
};

std::unique_ptr<Window> openWindow(const std::string &name, const QString &dir)
{
    auto w = std::make_unique<Window>();
    w->name = name;
    SetProgramDirectory(dir + QLatin1Char('/'));
    w->form = std::make_unique<TForm1>();
    w->grid = w->form->ui().DBGrid1;
    w->ds = w->form->DataSet();
    w->form->show();
    settle();
    if (!w->ds->Active()) {
        std::fprintf(stderr, "%s: the catalogue did not open\n", qPrintable(dir));
        std::exit(1);
    }
    return w;
}

// 10,000 films added at the top, then deleted there, with the grid following each step; and the
// same as a batch that disables the controls meanwhile, as a program importing films would.
void batch(Window &w, bool disabled)
{
    constexpr int kBatch = 10000;
    const std::string prefix = w.name + (disabled ? "_batch_disabled" : "_batch");
    const int before = w.ds->RowCount();
    TField &title = *w.ds->Fields(0);
    w.ds->First();
    settle();
    const double insertMs = msOf([&] {
        if (disabled)
            w.ds->DisableControls();
        for (int i = 0; i < kBatch; ++i) {
            w.ds->Insert();
            title.setAsString("Batch film " + std::to_string(i));
            w.ds->Post();
        }
        if (disabled)
            w.ds->EnableControls();
    });
    w.ds->First();
    settle();
    const double deleteMs = msOf([&] {
        if (disabled)
            w.ds->DisableControls();
        for (int i = 0; i < kBatch; ++i)
            w.ds->Delete();
        if (disabled)
            w.ds->EnableControls();
    });
    std::printf("%s_insert_top_10k_s=%.3f\n", prefix.c_str(), insertMs / 1000);
    std::printf("%s_delete_top_10k_s=%.3f\n", prefix.c_str(), deleteMs / 1000);
    if (w.ds->RowCount() != before || w.grid->model()->rowCount() != before) {
        std::fprintf(stderr, "%s: %d rows after the batch, %d before\n", w.name.c_str(), w.ds->RowCount(),
                     before);
        std::exit(1);
    }
}
} // namespace

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    if (argc < 3 || argc > 5 || (argc == 5 && std::string(argv[4]) != "steps")) {
        std::fprintf(stderr, "usage: cinaxo-grid-steps SMALL_PROGRAM_DIR LARGE_PROGRAM_DIR [RUNS [steps]]\n");
        return 2;
    }
    const int runs = argc >= 4 ? std::max(std::atoi(argv[3]), 1) : 9;
    const bool batches = argc < 5;
    NoBoxes boxes;
    SetDialogs(&boxes);
    app.setTitle(QStringLiteral("Cinaxo"));
    std::vector<std::unique_ptr<Window>> windows;
    windows.push_back(openWindow("small", QString::fromLocal8Bit(argv[1])));
    windows.push_back(openWindow("large", QString::fromLocal8Bit(argv[2])));
    // One round first to warm up the caches and the fonts; it does not count.
    for (auto &w : windows) {
        w->round();
        w->samples.clear();
    }
    for (int r = 0; r < runs; ++r) {
        for (auto &w : windows)
            w->round();
    }
    for (auto &w : windows)
        std::printf("%s_rows=%d\n", w->name.c_str(), w->ds->RowCount());
    for (std::size_t i = 0; i < windows[0]->samples.size(); ++i) {
        const std::string &figure = windows[0]->samples[i].first;
        const double small = median(windows[0]->samples[i].second);
        const double large = median(windows[1]->samples[i].second);
        std::printf("small_%s=%.3f\nlarge_%s=%.3f\nratio_%s=%.2f\n", figure.c_str(), small, figure.c_str(),
                    large, figure.substr(0, figure.size() - 3).c_str(), small > 0 ? large / small : 0.0);
    }
    for (auto &w : windows) {
        if (!batches)
            break;
        batch(*w, true);
        batch(*w, false);
    }
    // Nothing is saved: the windows close without writing their catalogues.
    for (auto &w : windows)
        w->ds->DiscardChanges();
    return 0;
}
