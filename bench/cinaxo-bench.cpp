// Measures the table engine on a real catalogue file: open, walk, a search that finds nothing, one
// edit saved to a temporary copy, and memory. Prints one name=value line per figure.
//
//   cinaxo-bench SCHEMA CATALOGUE

#include "SdfData.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {
double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double residentMb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: cinaxo-bench SCHEMA CATALOGUE\n");
        return 2;
    }
    try {
        const double rssBefore = residentMb();
        TSdfDataSet ds;
        ds.setObjectName(QStringLiteral("DataSet"));
        auto start = std::chrono::steady_clock::now();
        ds.LoadSchemaFromFile(QString::fromLocal8Bit(argv[1]));
        ds.setFileName(QString::fromLocal8Bit(argv[2]));
        ds.Open();
        const double openS = seconds(start);
        const double rssOpen = residentMb();
        const int lines = ds.LineCount();

        TField &title = *ds.Fields(0);
        start = std::chrono::steady_clock::now();
        std::size_t bytes = 0;
        ds.DisableControls();
        for (ds.First(); !ds.Eof(); ds.Next())
            bytes += title.AsString().size();
        ds.EnableControls();
        const double scanS = seconds(start);

        // One screen of a grid, read by position in the middle of the catalogue.
        auto row = ds.NewRowBuffer();
        const int middle = lines / 2;
        constexpr int kRepeats = 1000;
        start = std::chrono::steady_clock::now();
        for (int r = 0; r < kRepeats; ++r) {
            for (int i = 0; i < 30; ++i) {
                ds.ReadRecordAt(middle + i, row.get());
                for (int f = 0; f < 4; ++f)
                    bytes += ds.FieldValueIn(row.get(), *ds.Fields(f)).size();
            }
        }
        const double screenUs = seconds(start) * 1e6 / kRepeats;

        ds.setRecNo(middle > 0 ? middle : 1);
        start = std::chrono::steady_clock::now();
        const bool found = ds.Locate(title.FieldName(), "No such film anywhere", {});
        const double searchS = seconds(start);

        QTemporaryDir dir;
        ds.First();
        ds.Edit();
        title.setAsString("Edited title");
        ds.Post();
        start = std::chrono::steady_clock::now();
        ds.SaveUnderName(dir.filePath(QStringLiteral("copy.txt")));
        const double saveS = seconds(start);

        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("lines=%d\n", lines);
        std::printf("open_s=%.4f\n", openS);
        std::printf("scan_s=%.4f\n", scanS);
        std::printf("search_s=%.4f\n", searchS);
        std::printf("save_s=%.4f\n", saveS);
        std::printf("screen_us=%.2f\n", screenUs);
        std::printf("rss_after_open_mb=%.1f\n", rssOpen);
        std::printf("bytes_per_line=%.1f\n", lines > 0 ? (rssOpen - rssBefore) * 1024 * 1024 / lines : 0.0);
        std::printf("peak_rss_mb=%.1f\n", double(usage.ru_maxrss) / 1024.0);
        std::fprintf(stderr, "(found=%d, %zu bytes read)\n", int(found), bytes);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
