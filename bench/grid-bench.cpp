// Measures the main window on a large catalogue: from the start of the program to the first rows
// painted in the grid, a jump to the last record, and memory against the size of the file.
//
//   cinaxo-grid-bench PROGRAM_DIR      (the directory holds format.txt and db.txt)
//
// Runs on whatever platform Qt is given (QT_QPA_PLATFORM=offscreen, or a real X server).

#include "Application.h"
#include "DataSet.h"
#include "Dialogs.h"
#include "MainForm.h"
#include "NoBoxes.h"
#include "SdfData.h"
#include "ui_MainForm.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPaintEvent>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {
class PaintWatch : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};
} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    TApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: cinaxo-grid-bench PROGRAM_DIR\n");
        return 2;
    }
    NoBoxes boxes;
    SetDialogs(&boxes);
    SetProgramDirectory(QString::fromLocal8Bit(argv[1]) + QLatin1Char('/'));
    app.setTitle(QStringLiteral("Cinaxo"));
    TForm1 form;
    PaintWatch watch;
    form.ui().DBGrid1->viewport()->installEventFilter(&watch);
    form.show();
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    // The paint event has been handled once processEvents returns after it.
    const double firstPaint = double(clock.nsecsElapsed()) / 1e9;

    QElapsedTimer jump;
    jump.start();
    form.DataSet()->Last();
    form.ui().DBGrid1->viewport()->repaint();
    const double lastMs = double(jump.nsecsElapsed()) / 1e6;
    const bool onLast = form.ui().DBGrid1->currentIndex().row() == form.DataSet()->RowCount() - 1;

    jump.restart();
    form.DataSet()->First();
    form.ui().DBGrid1->viewport()->repaint();
    const double firstMs = double(jump.nsecsElapsed()) / 1e6;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double fileMb = double(QFileInfo(form.DataSet()->FileName()).size()) / (1024.0 * 1024.0);
    const double peakMb = double(usage.ru_maxrss) / 1024.0;
    std::printf("rows=%d\n", form.DataSet()->RowCount());
    std::printf("first_paint_s=%.3f\n", firstPaint);
    std::printf("jump_last_ms=%.2f\n", lastMs);
    std::printf("jump_first_ms=%.2f\n", firstMs);
    std::printf("on_last=%d\n", int(onLast));
    std::printf("file_mb=%.1f\n", fileMb);
    std::printf("peak_rss_mb=%.1f\n", peakMb);
    std::printf("rss_per_file=%.2f\n", fileMb > 0 ? peakMb / fileMb : 0.0);
    // Nothing was changed; closing writes nothing.
    return 0;
}
