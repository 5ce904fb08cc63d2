// What the journal's trip to the disk costs a change: a line recorded without a sync (the kernel
// holds it until it writes it back), with the grouped sync the program uses, and with a sync for
// every line; and whole posted edits of a small catalogue with the journal on.

#include "Journal.h"
#include "SdfData.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

namespace {
const std::string kLine = "\"The Good, the Bad and the Ugly\",CD-002,DivX,"
                          "\"D:\\Films\\The Good, the Bad and the Ugly\\film.avi\",,,Yes,Ivan Petrov";

enum class Sync { Never, Grouped, EveryLine };

void RecordLine(benchmark::State &state)
{
    QTemporaryDir dir;
    Journal journal;
    const auto sync = Sync(state.range(0));
    // A clock that stands still never finds a second gone; one that leaps a second a question always.
    Journal::Clock::time_point clock{};
    if (sync == Sync::Never)
        journal.setClock([&] { return clock; });
    else if (sync == Sync::EveryLine)
        journal.setClock([&] { return clock += Journal::kSyncDelay; });
    journal.start(dir.filePath(QStringLiteral("db.txt.journal")), FileState{});
    int index = 0;
    for (auto _ : state)
        journal.record(Journal::Op::Replace, index++ % 1000, kLine);
    state.counters["syncs"] = journal.syncCount();
}
} // namespace

BENCHMARK(RecordLine)
    ->ArgName("sync")
    ->Arg(int(Sync::Never))
    ->Arg(int(Sync::Grouped))
    ->Arg(int(Sync::EveryLine))
    ->Unit(benchmark::kMicrosecond);

// 1,000 edits posted one after another on a catalogue of 1,000 films.
static void PostEdits(benchmark::State &state)
{
    QTemporaryDir dir;
    {
        QFile file(dir.filePath(QStringLiteral("db.txt")));
        file.open(QIODevice::WriteOnly);
        for (int i = 0; i < 1000; ++i)
            file.write((kLine + "\r\n").c_str());
    }
    TSdfDataSet ds;
    ds.setSchema({"Title=100", "Label=20", "Format=20", "Video=255", "Audio=255", "Subtitles=255",
                  "Available=5", "Lent=50"});
    ds.setFileName(dir.filePath(QStringLiteral("db.txt")));
    ds.setJournalEnabled(state.range(0) != 0);
    ds.Open();
    // Paced: a few milliseconds apart, with the event loop running between them, as in the program;
    // the timer's syncs fall among them.
    const bool paced = state.range(1) != 0;
    int n = 0;
    for (auto _ : state) {
        if (paced) {
            QThread::msleep(3);
            QCoreApplication::processEvents();
        }
        ds.Edit();
        ds.Fields(7)->setAsString("Lent " + std::to_string(n++));
        ds.Post();
        ds.Next();
        if (ds.Eof())
            ds.First();
    }
    // Nothing reaches the catalogue, and the journal goes (outside the timed loop).
    ds.DiscardChanges();
    ds.Close();
}
BENCHMARK(PostEdits)
    ->ArgNames({"journal", "paced"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Iterations(1000)
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
