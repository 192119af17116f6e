// Daily consumption window on the scaled database (ScaledDatabase.h: 10 times the shipped one by
// default, --scale=N otherwise): totals after a post on a 50-row day, filling the largest
// category's food list, and one step of the incremental search in that list.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <benchmark/benchmark.h>
#include <memory>

#include "ScaledDatabase.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "platform/Modal.h"
#include "tracking/Uconsojournaliere.h"

namespace {

int g_scale = 10;

// One window on the scaled database, activated once, shared by the benchmarks.
struct Bench {
    ScaledFolder folder{g_scale};
    std::unique_ptr<TFConsoJournaliere> form;
    int largest = 0;   // index of the category with the longest list
    Bench() {
        QDir::setCurrent(folder.path());
        folder.open();
        appState().SwitchConsumptionInfo = 0;
        appState().SwitchCaloriesAboveObjective = 0;
        form = std::make_unique<TFConsoJournaliere>();
        form->FormActivate();
        int most = -1;
        for (int i = 0; i < form->CboxCategories->count(); ++i) {
            form->CboxCategories->setCurrentIndex(i);
            form->CboxCategoriesClick();
            if (form->LboxAliments->count() > most) {
                most = form->LboxAliments->count();
                largest = i;
            }
        }
    }
};

Bench& bench() {
    static Bench b;
    return b;
}

void showCategory(TFConsoJournaliere& f, int index) {
    f.CboxCategories->setCurrentIndex(index);
    f.CboxCategoriesClick();
}

void BM_TotalsAfterPostOnAFiftyRowDay(benchmark::State& state) {
    TFConsoJournaliere& f = *bench().form;
    showCategory(f, bench().largest);
    // Rows spread over the list, wrapping round a short list (the shipped data at --scale=1);
    // bounded, so a refused addition can never keep the set-up turning.
    const int items = f.LboxAliments->count();
    for (int tries = 0; items > 0 && tries < 4 * kMaxDayRows
                        && f.TConsommation.recordCount() < kMaxDayRows; ++tries) {
        f.LboxAliments->setCurrentRow(f.TConsommation.recordCount() * 7 % items);
        f.BtnAjouterClick();
    }
    Table& day = f.TConsommation;
    int step = 0;
    for (auto _ : state) {
        // A typed quantity posted: the row is written, the day read again, the totals redone.
        day.moveToRow(step % kMaxDayRows);
        day.edit();
        day.setValue(QStringLiteral("QuantiteGramme"), 100 + step % 7);
        day.post();
        ++step;
    }
    benchmark::DoNotOptimize(f.TotCalories);
}
BENCHMARK(BM_TotalsAfterPostOnAFiftyRowDay)->Unit(benchmark::kMillisecond);

void BM_FillLargestCategoryList(benchmark::State& state) {
    TFConsoJournaliere& f = *bench().form;
    for (auto _ : state) showCategory(f, bench().largest);
    state.counters["items"] = f.LboxAliments->count();
}
BENCHMARK(BM_FillLargestCategoryList)->Unit(benchmark::kMillisecond);

void BM_IncrementalSearchInLargestList(benchmark::State& state) {
    TFConsoJournaliere& f = *bench().form;
    showCategory(f, bench().largest);
    // The worst case: the last item of the list, found after comparing every other one.
    const QString last = f.LboxAliments->item(f.LboxAliments->count() - 1)->text();
    const QString texts[] = {last, last.left(last.size() - 1)};
    int i = 0;
    for (auto _ : state) f.EditRechAliment->setText(texts[i++ % 2]);
    state.counters["items"] = f.LboxAliments->count();
}
BENCHMARK(BM_IncrementalSearchInLargestList)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    g_scale = BenchScale(argc, argv);
    QApplication app(argc, argv);
    modal::setScripted(true);   // a message box would be a fault here: never wait for one
    benchmark::AddCustomContext("scale", std::to_string(g_scale));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench().form.reset();
    return 0;
}
