// The recipe search with every criterion set (an ingredient present, preparation time, theme,
// everyday ingredients only and the four nutrient bounds) on a database of 2,000 recipes of 10
// ingredients each, built from the shipped foods and themes. Each iteration composes the
// statement, runs it and reads the names, as the search button does. A second case looks for
// recipes without an ingredient.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "ShippedDatabase.h"
#include "data/Database.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "reference/RecipeSearch.h"

namespace {

constexpr int kRecipes = 2000;
constexpr int kIngredients = 10;

// A working folder with Data/vivanda.db: the shipped reference rows, then the generated recipes.
class SearchDatabase : public ShippedDatabase {
public:
    SearchDatabase() { generateRecipes(); }

private:
    void generateRecipes() {
        QRandomGenerator random(20240611);
        QList<int> foods;
        Query f(QStringLiteral("SELECT IdAliment FROM t_aliments ORDER BY IdAliment"));
        f.open();
        for (f.first(); !f.eof(); f.next()) foods << f.asInt(0);
        const int themes = Query::scalar(QStringLiteral("SELECT COUNT(*) FROM t_categories")).toInt();
        const QStringList words = {QStringLiteral("Gratin"), QStringLiteral("Tarte"), QStringLiteral("Crème"),
                                   QStringLiteral("Salade"), QStringLiteral("Poêlée"), QStringLiteral("Velouté"),
                                   QStringLiteral("Œufs"), QStringLiteral("Ragoût")};

        Transaction t;
        Query::execute(QStringLiteral("DELETE FROM t_categories_recettes"));
        Query::execute(QStringLiteral("DELETE FROM t_ingredients_recettes"));
        Query::execute(QStringLiteral("DELETE FROM t_recettes"));
        Query recipe(QStringLiteral(
            "INSERT INTO t_recettes (IdRecette, NomRecetteFrancais, TempsPreparation, CaloriesGramme, "
            "LipidesGramme, ProtidesGramme, GlucidesGramme, DroitsModifUtilisateur, Image) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, 1, '')"));
        Query ingredient(QStringLiteral("INSERT INTO t_ingredients_recettes VALUES (?, ?, ?)"));
        Query theme(QStringLiteral("INSERT INTO t_categories_recettes VALUES (?, ?)"));
        for (int id = 1; id <= kRecipes; ++id) {
            const int minutes = 5 + int(random.bounded(180));
            recipe.clearBindings();
            recipe.addBindValue(id)
                .addBindValue(QStringLiteral("%1 n°%2").arg(words[id % words.size()]).arg(id))
                .addBindValue(QStringLiteral("%1:%2:00").arg(minutes / 60, 2, 10, QLatin1Char('0'))
                                  .arg(minutes % 60, 2, 10, QLatin1Char('0')))
                .addBindValue(0.5 + random.bounded(2.5))
                .addBindValue(random.bounded(0.3))
                .addBindValue(random.bounded(0.25))
                .addBindValue(random.bounded(0.6));
            recipe.exec();
            for (int k = 0; k < kIngredients; ++k) {
                ingredient.clearBindings();
                ingredient.addBindValue(id).addBindValue(foods[int(random.bounded(foods.size()))])
                    .addBindValue(10.0 + random.bounded(300.0));
                ingredient.exec();
            }
            for (int k = 0; k < 1 + id % 2; ++k) {
                theme.clearBindings();
                theme.addBindValue(1 + int(random.bounded(themes))).addBindValue(id);
                theme.exec();
            }
        }
        t.commit();
    }
};

SearchDatabase& database() {
    static SearchDatabase db;
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

BENCHMARK_MAIN();
