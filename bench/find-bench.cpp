// Measures finding, filtering and sorting in the grid's view of a real catalogue, side by side with
// grep on the same file in the same run: a search for a text that no film holds (against
// `grep -cF` and `grep -ciF`, bytes as they are, LC_ALL=C), the filter turned on for a text that
// about 1 % of the films hold, a sort by title, and the memory the view takes for them. Prints one
// name=value line per figure; times are medians of RUNS rounds.
//
//   cinaxo-find-bench SCHEMA CATALOGUE [RUNS [NOTHING_TEXT [FILTER_TEXT]]]
//
// The texts are UTF-8 on the command line; the defaults suit ../shared/tools/gen_catalogue.py.

#include "Codec.h"
#include "DBGrid.h"
#include "DataSource.h"
#include "SdfData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double msOf(const std::function<void()> &step)
{
    QElapsedTimer clock;
    clock.start();
    step();
    return double(clock.nsecsElapsed()) / 1e6;
}

long residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// Heap in use: what the program holds, whatever the allocator keeps for later.
long heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return long(info.uordblks + info.hblkhd);
}

// The highest resident size while a step runs, above the size before it, sampled every 0.2 ms.
long peakGrowth(const std::function<void()> &step)
{
    malloc_trim(0);
    const long before = residentBytes();
    std::atomic<bool> done{false};
    std::atomic<long> peak{before};
    std::thread watch([&] {
        while (!done.load()) {
            peak = std::max(peak.load(), residentBytes());
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    step();
    done = true;
    watch.join();
    return std::max(peak.load(), residentBytes()) - before;
}

double grepMs(const QStringList &arguments, const QString &file, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs + 1; ++i) {
        QProcess grep;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        grep.setProcessEnvironment(environment);
        QElapsedTimer clock;
        clock.start();
        grep.start(QStringLiteral("grep"), arguments + QStringList{file});
        grep.waitForFinished(-1);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (i > 0) // the first run warms the cache
            times.push_back(ms);
    }
    return median(times);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: cinaxo-find-bench SCHEMA CATALOGUE [RUNS [NOTHING_TEXT [FILTER_TEXT]]]\n");
        return 2;
    }
    const QString catalogue = QString::fromLocal8Bit(argv[2]);
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const QString nothing = argc > 4 ? QString::fromUtf8(argv[4]) : QStringLiteral("no such film zq");
    const QString some = argc > 5 ? QString::fromUtf8(argv[5]) : QString::fromUtf8("кутия 3");
    try {
        TSdfDataSet ds;
        ds.setObjectName(QStringLiteral("DataSet"));
        ds.LoadSchemaFromFile(QString::fromLocal8Bit(argv[1]));
        ds.setFileName(catalogue);
        ds.Open();
        const int films = ds.RowCount();
        TDataSource source;
        source.setDataSet(&ds);
        DBGridModel model;
        model.columns() = {{QString::fromUtf8("Заглавие"), QString::fromUtf8("Заглавие")},
                           {QString::fromUtf8("Етикет"), QString::fromUtf8("Етикет")},
                           {QString::fromUtf8("Формат"), QString::fromUtf8("Формат")},
                           {QString::fromUtf8("Наличен"), QString::fromUtf8("Наличен")}};
        model.setDataSource(&source);
        model.setFindFields({QString::fromUtf8("Заглавие"), QString::fromUtf8("Етикет"),
                             QString::fromUtf8("Формат"), Codec::toQString(ds.Fields(7)->FieldName())});

        const QByteArray nothingBytes = QByteArray::fromStdString(Codec::fromQString(nothing));
        const double grepCf =
            grepMs({QStringLiteral("-cF"), QString::fromLatin1(nothingBytes)}, catalogue, runs);
        const double grepCif =
            grepMs({QStringLiteral("-ciF"), QString::fromLatin1(nothingBytes)}, catalogue, runs);

        // A search through every film for a text none holds.
        model.setFindText(nothing);
        int found = 0;
        std::vector<double> none;
        for (int i = 0; i < runs; ++i)
            none.push_back(msOf([&] { found = model.findRow(0, false); }));
        const double findNone = median(none);

        // The filter on and off for a text about 1 % of the films hold.
        model.setFindText(some);
        std::vector<double> filterOn;
        int shown = 0;
        for (int i = 0; i < runs; ++i) {
            filterOn.push_back(msOf([&] { model.setFilterOn(true); }));
            shown = model.shownCount();
            model.setFilterOn(false);
        }

        // Sorted by title, up; the catalogue's order between rounds.
        std::vector<double> sort;
        for (int i = 0; i < runs; ++i) {
            sort.push_back(msOf([&] { model.setSort(0, Qt::AscendingOrder); }));
            model.setSort(-1, Qt::AscendingOrder);
        }

        // Memory: what the view keeps for a sort of all films and for the filter, and the most it
        // takes while it sorts.
        malloc_trim(0);
        const long heapBefore = heapBytes();
        const long sortPeak = peakGrowth([&] { model.setSort(0, Qt::AscendingOrder); });
        const long sortKept = heapBytes() - heapBefore;
        model.setSort(-1, Qt::AscendingOrder);
        malloc_trim(0);
        const long filterBefore = heapBytes();
        const long filterPeak = peakGrowth([&] { model.setFilterOn(true); });
        const long filterKept = heapBytes() - filterBefore;
        model.setFilterOn(false);

        std::printf("films=%d\n", films);
        std::printf("grep_cF_ms=%.1f\n", grepCf);
        std::printf("grep_ciF_ms=%.1f\n", grepCif);
        std::printf("find_nothing_ms=%.1f\n", findNone);
        std::printf("find_nothing_per_grep_cF=%.2f\n", findNone / grepCf);
        std::printf("find_nothing_per_grep_ciF=%.2f\n", findNone / grepCif);
        std::printf("filter_on_ms=%.1f\n", median(filterOn));
        std::printf("filter_shown=%d\n", shown);
        std::printf("filter_shown_percent=%.2f\n", films > 0 ? 100.0 * shown / films : 0.0);
        std::printf("sort_title_ms=%.1f\n", median(sort));
        std::printf("sort_kept_bytes_per_film=%.2f\n", films > 0 ? double(sortKept) / films : 0.0);
        std::printf("sort_peak_bytes_per_film=%.2f\n", films > 0 ? double(sortPeak) / films : 0.0);
        std::printf("filter_kept_bytes_per_film=%.2f\n", films > 0 ? double(filterKept) / films : 0.0);
        std::printf("filter_peak_bytes_per_film=%.2f\n", films > 0 ? double(filterPeak) / films : 0.0);
        std::fprintf(stderr, "(found=%d)\n", found);
        ds.DiscardChanges();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
