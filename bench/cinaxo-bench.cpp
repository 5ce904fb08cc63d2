// Measures the table engine on a real catalogue file: open, walk, a search that finds nothing, one
// edit saved to a temporary copy, memory, then 10,000 films added at the top and deleted again, and
// DropBlankLines on a copy of as many lines with every tenth one blank. Prints one name=value line
// per figure.
//
//   cinaxo-bench SCHEMA CATALOGUE

#include "SdfData.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>
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

        // A batch at the top of the catalogue, as a user adding and then deleting many films there.
        constexpr int kBatch = 10000;
        ds.First();
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kBatch; ++i) {
            ds.Insert();
            title.setAsString("Batch film " + std::to_string(i));
            ds.Post();
        }
        const double insertTopS = seconds(start);
        ds.First();
        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kBatch; ++i)
            ds.Delete();
        const double deleteTopS = seconds(start);
        const bool batchUndone = ds.LineCount() == lines;

        // As many lines again, every tenth of them blank.
        const QString blanky = dir.filePath(QStringLiteral("blanks.txt"));
        {
            QFile file(blanky);
            if (!file.open(QIODevice::WriteOnly))
                throw std::runtime_error("cannot write " + blanky.toStdString());
            std::string chunk;
            for (int written = 0, next = 0; written < lines; ++written) {
                if (written % 10 == 9) {
                    chunk += "\r\n";
                } else {
                    chunk.append(ds.Line(next % lines));
                    chunk += "\r\n";
                    ++next;
                }
                if (chunk.size() > (1 << 20) || written + 1 == lines) {
                    file.write(chunk.data(), qint64(chunk.size()));
                    chunk.clear();
                }
            }
        }
        TSdfDataSet blanks;
        blanks.setObjectName(QStringLiteral("Blanks"));
        blanks.LoadSchemaFromFile(QString::fromLocal8Bit(argv[1]));
        blanks.setFileName(blanky);
        blanks.Open();
        start = std::chrono::steady_clock::now();
        blanks.DropBlankLines();
        const double dropBlankS = seconds(start);
        const int blankLinesLeft = blanks.LineCount();
        blanks.DiscardChanges();
        ds.DiscardChanges();

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
        std::printf("insert_top_10k_s=%.4f\n", insertTopS);
        std::printf("delete_top_10k_s=%.4f\n", deleteTopS);
        std::printf("drop_blank_s=%.4f\n", dropBlankS);
        std::printf("peak_rss_mb=%.1f\n", double(usage.ru_maxrss) / 1024.0);
        std::fprintf(stderr, "(found=%d, %zu bytes read, batch undone=%d, %d of %d lines kept)\n", int(found),
                     bytes, int(batchUndone), blankLinesLeft, lines);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
