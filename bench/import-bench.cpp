// Measures an import into the main window on a large catalogue: the films of a second catalogue are
// exported as CSV, then read, checked and added at the end, with the grid on screen, and the
// catalogue is saved to a temporary copy. Before that, the two walks through the whole catalogue
// that lending and saving a film make: the names of the borrowers, and the search for a film
// entered twice. Prints one name=value line per figure.
//
//   cinaxo-import-bench PROGRAM_DIR FILMS      (PROGRAM_DIR holds format.txt and db.txt; FILMS is a
//                                               catalogue of the same schema, whose films are imported)
//
// Runs on whatever platform Qt is given (QT_QPA_PLATFORM=offscreen, or a real X server).

#include "Application.h"
#include "CatalogueTransfer.h"
#include "Dialogs.h"
#include "Lending.h"
#include "MainForm.h"
#include "NoBoxes.h"
#include "SdfData.h"
#include "ui_MainForm.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {
double seconds(QElapsedTimer &clock)
{
    const double s = double(clock.nsecsElapsed()) / 1e9;
    clock.restart();
    return s;
}
} // namespace

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: cinaxo-import-bench PROGRAM_DIR FILMS\n");
        return 2;
    }
    NoBoxes boxes;
    SetDialogs(&boxes);
    const QString dir = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    SetProgramDirectory(dir);
    try {
        // The films to import, as the export of their own catalogue writes them.
        TSdfDataSet source;
        source.setObjectName(QStringLiteral("Source"));
        source.LoadSchemaFromFile(dir + QStringLiteral("format.txt"));
        source.setFileName(QString::fromLocal8Bit(argv[2]));
        source.Open();
        QElapsedTimer clock;
        clock.start();
        const std::string csv = ExportCsv(source, {});
        const double exportS = seconds(clock);
        source.Close();

        TForm1 form;
        form.show();
        QCoreApplication::processEvents();
        const int before = form.DataSet()->RowCount();
        clock.restart();
        const QStringList borrowers = BorrowerNames(*form.DataSet(), {});
        const double borrowersS = seconds(clock);
        const int twice = FindDuplicateFilm(*form.DataSet(), QStringLiteral("No such film"),
                                            QStringLiteral("NO-LABEL"), -1);
        const double duplicateS = seconds(clock);
        if (twice >= 0)
            NoBoxes::fail(QStringLiteral("a film that is not there was found"));
        const ImportPlan plan = PlanImport(*form.DataSet(), csv);
        const double planS = seconds(clock);
        if (!plan.failure.isEmpty())
            NoBoxes::fail(plan.failure);
        ApplyImport(*form.DataSet(), plan);
        form.ui().DBGrid1->viewport()->repaint();
        const double applyS = seconds(clock);
        QTemporaryDir temporary;
        form.DataSet()->SaveUnderName(temporary.filePath(QStringLiteral("db.txt")));
        const double saveS = seconds(clock);

        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("rows_before=%d\n", before);
        std::printf("csv_mb=%.1f\n", double(csv.size()) / (1024.0 * 1024.0));
        std::printf("films_added=%zu\n", plan.films.size());
        std::printf("rows_refused=%zu\n", plan.refused.size());
        std::printf("rows_after=%d\n", form.DataSet()->RowCount());
        std::printf("borrowers=%lld\n", static_cast<long long>(borrowers.size()));
        std::printf("borrower_names_s=%.3f\n", borrowersS);
        std::printf("duplicate_search_s=%.3f\n", duplicateS);
        std::printf("export_s=%.3f\n", exportS);
        std::printf("plan_s=%.3f\n", planS);
        std::printf("apply_s=%.3f\n", applyS);
        std::printf("import_s=%.3f\n", planS + applyS);
        std::printf("save_s=%.3f\n", saveS);
        std::printf("peak_rss_mb=%.1f\n", double(usage.ru_maxrss) / 1024.0);
        // The program directory's own catalogue is left as it was.
        form.DataSet()->DiscardChanges();
    } catch (const std::exception &error) {
        NoBoxes::fail(QString::fromUtf8(error.what()));
    }
    return 0;
}
