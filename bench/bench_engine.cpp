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
    explicit Catalogue(int lines, bool journal = false)
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
        ds.setJournalEnabled(journal);
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

// One posted edit on a catalogue of a million films, with and without the journal: the difference
// is what the journal costs a change. The catalogue is CINAXO_BENCH_CATALOGUE with the schema
// CINAXO_BENCH_SCHEMA when they are set (gen_catalogue.py makes them), else a million copies of one
// film.
static void PostOneEdit(benchmark::State &state)
{
    struct Open
    {
        std::unique_ptr<Catalogue> made;
        std::unique_ptr<TSdfDataSet> given;
        TSdfDataSet *ds = nullptr;
    };
    static Open opened[2];
    const bool journal = state.range(0) != 0;
    Open &o = opened[journal];
    if (!o.ds) {
        const QString file = qEnvironmentVariable("CINAXO_BENCH_CATALOGUE");
        if (file.isEmpty()) {
            o.made = std::make_unique<Catalogue>(1000000, journal);
            o.ds = &o.made->ds;
        } else {
            o.given = std::make_unique<TSdfDataSet>();
            o.given->LoadSchemaFromFile(qEnvironmentVariable("CINAXO_BENCH_SCHEMA"));
            o.given->setFileName(file);
            o.given->setJournalEnabled(journal);
            o.given->Open();
            o.ds = o.given.get();
        }
    }
    TSdfDataSet &ds = *o.ds;
    TField &field = *ds.Fields(1);
    int row = 0;
    for (auto _ : state) {
        ds.MoveToRow(row);
        ds.Edit();
        field.setAsString(row % 2 ? "CD-001" : "DVD-002");
        ds.Post();
        row = (row + 7919) % ds.RowCount();
    }
    state.counters["lines"] = ds.RowCount();
    // Nothing of this reaches the catalogue, and the journal goes.
    ds.DiscardChanges();
}
BENCHMARK(PostOneEdit)->ArgName("journal")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
