// The recipe search with every criterion set (an ingredient present, preparation time, theme,
// everyday ingredients only and the four nutrient bounds) on the scaled database
// (ScaledDatabase.h: 10 times the shipped one by default, --scale=N otherwise). Each iteration
// composes the statement, runs it and reads the names, as the search button does. A second case
// looks for recipes without an ingredient.
#include <benchmark/benchmark.h>

#include "ScaledDatabase.h"
#include "data/Database.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "reference/RecipeSearch.h"

namespace {

int g_scale = 10;

ScaledFolder& database() {
    static ScaledFolder db(g_scale);
    return db;
}

QString firstTheme() {
    database();
    return Query::scalar(QStringLiteral("SELECT NomCategorieFrancais FROM t_categories ORDER BY IdCategorie"))
        .toString();
}

RecipeSearchCriteria everyCriterion(const QString& ingredient) {
    RecipeSearchCriteria c;
    c.ingredientName = true;
    c.namePrefix = ingredient;
    c.preparationTime = QStringLiteral("120");
    c.timeComparator = kAtMost;
    c.theme = firstTheme();
    c.everydayOnly = true;
    c.calories = QStringLiteral("50");
    c.caloriesComparator = kAtLeast;
    c.lipids = QStringLiteral("25");
    c.lipidsComparator = kAtMost;
    c.proteins = QStringLiteral("1");
    c.proteinsComparator = kAtLeast;
    c.carbs = QStringLiteral("55");
    c.carbsComparator = kAtMost;
    return c;
}

void runSearch(benchmark::State& state, const RecipeSearchCriteria& criteria) {
    int found = 0;
    for (auto _ : state) {
        const RecipeSearchStatement s = BuildRecipeSearch(criteria, RecipeSearchColumns(), QLocale::c());
        Query q(s.sql);
        for (const QVariant& v : s.values) q.addBindValue(v);
        q.open();
        QStringList names;
        for (q.first(); !q.eof(); q.next()) names << q.asString(0);
        found = int(names.size());
        benchmark::DoNotOptimize(names);
    }
    state.counters["recipes found"] = found;
}

void BM_RecipeSearchEveryCriterion(benchmark::State& state) {
    runSearch(state, everyCriterion(QStringLiteral("p")));
}

void BM_RecipeSearchIngredientAbsent(benchmark::State& state) {
    runSearch(state, everyCriterion(QStringLiteral("-oeuf")));
}

}  // namespace

BENCHMARK(BM_RecipeSearchEveryCriterion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecipeSearchIngredientAbsent)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    g_scale = BenchScale(argc, argv);
    database().open();
    benchmark::AddCustomContext("scale", std::to_string(g_scale));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
