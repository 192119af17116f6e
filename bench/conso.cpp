// Daily consumption window on a database ten times the shipped one (10,000 foods, 2,000
// recipes, generated here): totals after a post on a 50-row day, filling the largest
// category's food list, and one step of the incremental search in that list.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

#include "SeedLoader.h"
#include "data/Database.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "platform/Modal.h"
#include "tracking/Uconsojournaliere.h"

namespace {

constexpr int kFoods = 10000;
constexpr int kRecipes = 2000;
constexpr int kFoodCategories = 24;
constexpr int kConsoCategories = 12;
constexpr int kThemes = 20;

// Food category 1 and theme 1 both feed consumption category 1, the largest: a fifth of the
// foods and a tenth of the recipes.
void generateDatabase(const QString& dbPath) {
    QTemporaryDir noSeed;
    const std::string error = seed::buildDatabase(VIVANDA_SOURCE_DIR "/db/schema.sql",
                                                  noSeed.path().toStdString(), dbPath.toStdString());
    if (!error.empty()) throw std::runtime_error(error);
    appState().DataDirectory = QFileInfo(dbPath).absolutePath();
    if (const QString problem = openDatabase(appState().DataDirectory); !problem.isEmpty()) throw std::runtime_error(problem.toStdString());

    Transaction t;
    for (int c = 1; c <= kConsoCategories; ++c)
        Query::execute("INSERT INTO t_catconsommation VALUES (?, ?)", {c, QStringLiteral("Catégorie %1").arg(c)});
    for (int c = 1; c <= kFoodCategories; ++c)
        Query::execute("INSERT INTO t_alim_recette_catconso VALUES (?, ?)", {c + 27, (c - 1) % kConsoCategories + 1});
    for (int th = 1; th <= kThemes; ++th) {
        Query::execute("INSERT INTO t_categories (IdCategorie, NomCategorieFrancais) VALUES (?, ?)",
                       {th, QStringLiteral("Thème %1").arg(th)});
        Query::execute("INSERT INTO t_alim_recette_catconso VALUES (?, ?)", {th, th == 1 ? 1 : (th % kConsoCategories) + 1});
    }
    QRandomGenerator rng(42);
    const char* const words[] = {"Pomme", "poire", "Crème", "gratin", "Soupe", "Œuf", "salade", "Tarte", "Pâtes", "riz"};
    auto name = [&](int id) {
        return QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(words[rng.bounded(10)]),
                                             QString::fromUtf8(words[rng.bounded(10)]))
            .arg(id);
    };
    Query food("INSERT INTO t_aliments (IdAliment, NomAlimentFrancais, NomAlimentAnglais, CaloriesGramme, "
               "LipidesGramme, ProtidesGramme, GlucidesGramme, IdCatAliment) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    for (int id = 1; id <= kFoods; ++id) {
        food.clearBindings();
        const int category = id % 5 == 0 ? 1 : 2 + int(rng.bounded(kFoodCategories - 1));
        food.addBindValue(id).addBindValue(name(id)).addBindValue(name(id)).addBindValue(rng.bounded(9.0))
            .addBindValue(rng.bounded(1.0)).addBindValue(rng.bounded(1.0)).addBindValue(rng.bounded(1.0))
            .addBindValue(category);
        food.exec();
    }
    Query recipe("INSERT INTO t_recettes (IdRecette, NomRecetteFrancais, CaloriesGramme, LipidesGramme, "
                 "ProtidesGramme, GlucidesGramme) VALUES (?, ?, ?, ?, ?, ?)");
    Query theme("INSERT INTO t_categories_recettes (IdCategorie, IdRecette) VALUES (?, ?)");
    for (int id = 1; id <= kRecipes; ++id) {
        recipe.clearBindings();
        recipe.addBindValue(id).addBindValue(name(id)).addBindValue(rng.bounded(5.0)).addBindValue(rng.bounded(0.5))
            .addBindValue(rng.bounded(0.5)).addBindValue(rng.bounded(0.5));
        recipe.exec();
        for (int th : {id % 10 == 0 ? 1 : 2 + int(rng.bounded(kThemes - 1)), 2 + int(rng.bounded(kThemes - 1))}) {
            theme.clearBindings();
            theme.addBindValue(th).addBindValue(id);
            theme.exec();
        }
    }
    t.commit();
}

// One window on the generated database, activated once, shared by the benchmarks.
struct Bench {
    QTemporaryDir dir;
    std::unique_ptr<TFConsoJournaliere> form;
    Bench() {
        QDir(dir.path()).mkpath(QStringLiteral("Data"));
        QDir::setCurrent(dir.path());
        generateDatabase(dir.path() + QStringLiteral("/Data/vivanda.db"));
        appState().SwitchConsumptionInfo = 0;
        appState().SwitchCaloriesAboveObjective = 0;
        form = std::make_unique<TFConsoJournaliere>();
        form->FormActivate();
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
    showCategory(f, 0);
    while (f.TConsommation.recordCount() < kMaxDayRows) {
        f.LboxAliments->setCurrentRow(f.TConsommation.recordCount() * 7);
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
    for (auto _ : state) showCategory(f, 0);
    state.counters["items"] = f.LboxAliments->count();
}
BENCHMARK(BM_FillLargestCategoryList)->Unit(benchmark::kMillisecond);

void BM_IncrementalSearchInLargestList(benchmark::State& state) {
    TFConsoJournaliere& f = *bench().form;
    showCategory(f, 0);
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
    QApplication app(argc, argv);
    modal::setScripted(true);   // a message box would be a fault here: never wait for one
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench().form.reset();
    closeDatabase();
    return 0;
}
