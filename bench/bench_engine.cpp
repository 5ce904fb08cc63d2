// Hot paths of the table engine: converting lines and reading a screen of rows by position.

#include "SdfData.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
const char *kLine = "\"The Good, the Bad and the Ugly\",CD-002,DivX,"
                    "\"D:\\Films\\The Good, the Bad and the Ugly\\film.avi\",,"
                    "\"D:\\Films\\The Good, the Bad and the Ugly\\film.sub\",Yes,Ivan Petrov";

struct Catalogue
{
    QTemporaryDir dir;
    TSdfDataSet ds;
    explicit Catalogue(int lines)
    {
        QFile file(dir.filePath(QStringLiteral("db.txt")));
        file.open(QIODevice::WriteOnly);
        for (int i = 0; i < lines; ++i) {
            file.write(kLine);
            file.write("\r\n");
        }
        file.close();
        ds.setSchema({"Title=100", "Label=20", "Format=20", "Video=255", "Audio=255", "Subtitles=255",
                      "Available=5", "Lent=50"});
        ds.setFileName(dir.filePath(QStringLiteral("db.txt")));
        ds.Open();
    }
};
} // namespace

static void LineToRecord(benchmark::State &state)
{
    Catalogue c(1);
    auto row = c.ds.NewRowBuffer();
    for (auto _ : state) {
        c.ds.LineToRecord(kLine, row.get());
        benchmark::DoNotOptimize(row.get());
    }
}
BENCHMARK(LineToRecord);

static void RecordToLine(benchmark::State &state)
{
    Catalogue c(1);
    auto row = c.ds.NewRowBuffer();
    c.ds.LineToRecord(kLine, row.get());
    for (auto _ : state)
        benchmark::DoNotOptimize(c.ds.RecordToLine(row.get()));
}
BENCHMARK(RecordToLine);

static void ReadScreenByPosition(benchmark::State &state)
{
    Catalogue c(100000);
    auto row = c.ds.NewRowBuffer();
    int start = 0;
    for (auto _ : state) {
        for (int i = 0; i < 30; ++i) {
            c.ds.ReadRecordAt(start + i, row.get());
            for (int f = 0; f < 4; ++f)
                benchmark::DoNotOptimize(c.ds.FieldValueIn(row.get(), *c.ds.Fields(f)));
        }
        start = (start + 7919) % 99000;
    }
}
BENCHMARK(ReadScreenByPosition)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
