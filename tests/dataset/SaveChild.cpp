// A process for the tests to kill while it works on a catalogue:
//
//   save_child save CATALOGUE      saves the catalogue over and over, its first title changing
//                                  between "A" and "BB" each time, so every byte after it moves
//   save_child journal CATALOGUE   posts changes with the journal on, one every few milliseconds,
//                                  and never saves
//
// It prints "open" once the catalogue is read, and "posted N" after each journalled change.

#include "ChildWork.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <thread>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const bool journal = std::strcmp(argv[1], "journal") == 0;
    TSdfDataSet ds;
    ds.setObjectName(QStringLiteral("DataSet"));
    ds.setSchema(childSchema());
    ds.setFileName(QString::fromLocal8Bit(argv[2]));
    ds.setJournalEnabled(journal);
    ds.Open();
    std::printf("open\n");
    std::fflush(stdout);
    for (int i = 0;; ++i) {
        if (journal) {
            postChange(ds, i);
            std::printf("posted %d\n", i);
            std::fflush(stdout);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        } else {
            ds.First();
            ds.Edit();
            ds.Fields(0)->setAsString(i % 2 ? "A" : "BB");
            ds.Post();
            ds.SaveUnderName(ds.FileName());
            std::printf("saved\n");
            std::fflush(stdout);
        }
    }
}
