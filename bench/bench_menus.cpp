// Opening a bar menu on the offscreen platform: the first opening measures every item, renders the
// side bar and paints; a second opening of the same menu copies the bar from its cache.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_menus

#include "BarMenus.h"
#include "MenuWidgets.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {
// The grid's record menu (5 items), or a long one.
std::unique_ptr<TLumCustomBarPopupMenu> recordMenu(QWidget *owner, int items)
{
    auto menu = std::make_unique<TLumCustomBarPopupMenu>(owner);
    menu->SetMenuStyle(msWindowsXP);
    menu->Separators()->setFade(true);
    menu->Bar()->BarCaption()->setCaption(QStringLiteral("Cinaxo"));
    const char *captions[] = {"Добави", "Редакция", "Изтрий", "-", "Стартирай"};
    for (int i = 0; i < items; ++i) {
        auto *item = new TMenuItem;
        item->setCaption(QString::fromUtf8(captions[i % 5]));
        item->setShortCut(i % 5 == 0 ? QKeySequence(Qt::Key_Insert) : QKeySequence());
        menu->Items()->Add(item);
    }
    return menu;
}

void open(TLumCustomBarPopupMenu &menu)
{
    menu.Popup(100, 100);
    // The paint a shown menu gets, done at once.
    TMenuWidget *widget = menu.Widget();
    QPixmap shot(widget->size());
    widget->render(&shot);
    benchmark::DoNotOptimize(shot);
    widget->hide();
}

void FirstOpening(benchmark::State &state)
{
    QWidget owner;
    auto menu = recordMenu(&owner, int(state.range(0)));
    open(*menu);
    const int renders = menu->BarCache()->RenderCount;
    for (auto _ : state) {
        // Measured again, bar rendered again.
        menu->InvalidateBar();
        menu->UpdateItems();
        open(*menu);
    }
    state.counters["bar_renders_per_opening"] =
        double(menu->BarCache()->RenderCount - renders) / double(state.iterations());
}
BENCHMARK(FirstOpening)->Arg(5)->Arg(30)->Unit(benchmark::kMillisecond);

void SecondOpening(benchmark::State &state)
{
    QWidget owner;
    auto menu = recordMenu(&owner, int(state.range(0)));
    open(*menu);
    const int renders = menu->BarCache()->RenderCount;
    for (auto _ : state)
        open(*menu);
    state.counters["bar_renders_per_opening"] =
        double(menu->BarCache()->RenderCount - renders) / double(state.iterations());
}
BENCHMARK(SecondOpening)->Arg(5)->Arg(30)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
