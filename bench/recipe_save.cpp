// Saving a recipe of 20 ingredients as the recipe editor does: the shadow copy of its
// ingredients taken before the change, the checks, then one transaction that posts the changed
// name and the changed ingredient row and recomputes the values per gram. The shipped reference
// rows plus 2,000 generated recipes, so the lookups run on realistic tables.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include "ShippedDatabase.h"
#include "data/Database.h"
#include "data/Query.h"
#include "data/Table.h"
#include "frame/AppState.h"
#include "reference/RecipeSave.h"

namespace {

constexpr int kRecipes = 2000;
constexpr int kIngredients = 20;

class SaveDatabase : public ShippedDatabase {
public:
    SaveDatabase() {
        QList<int> foods;
        Query f(QStringLiteral("SELECT IdAliment FROM t_aliments ORDER BY IdAliment"));
        f.open();
        for (f.first(); !f.eof(); f.next()) foods << f.asInt(0);
        Transaction t;
        Query::execute(QStringLiteral("DELETE FROM t_categories_recettes"));
        Query::execute(QStringLiteral("DELETE FROM t_ingredients_recettes"));
        Query::execute(QStringLiteral("DELETE FROM t_recettes"));
        Query recipe(QStringLiteral("INSERT INTO t_recettes (IdRecette, NomRecetteFrancais, DescRecetteFrancais, "
                                    "TempsPreparation, CaloriesGramme, LipidesGramme, ProtidesGramme, GlucidesGramme, "
                                    "DroitsModifUtilisateur) VALUES (?, ?, 'Préparer.', '00:30:00', 0, 0, 0, 0, 1)"));
        Query ingredient(QStringLiteral("INSERT INTO t_ingredients_recettes VALUES (?, ?, ?)"));
        Query theme(QStringLiteral("INSERT INTO t_categories_recettes VALUES (1, ?)"));
        for (int r = 1; r <= kRecipes; ++r) {
            recipe.clearBindings();
            recipe.addBindValue(r).addBindValue(QStringLiteral("Recette n°%1").arg(r));
            recipe.exec();
            for (int i = 0; i < kIngredients; ++i) {
                ingredient.clearBindings();
                ingredient.addBindValue(r).addBindValue(foods[(r * 7 + i * 13) % foods.size()]).addBindValue(10 + i);
                ingredient.exec();
            }
            theme.clearBindings();
            theme.addBindValue(r);
            theme.exec();
        }
        t.commit();
    }
};

void BM_SaveRecipeOf20Ingredients(benchmark::State& state) {
    static SaveDatabase db;
    Table recipes(QStringLiteral("t_recettes"));
    Table ingredients(QStringLiteral("t_ingredients_recettes"));
    Table themes(QStringLiteral("t_categories_recettes"));
    ingredients.setMaster(&recipes, QStringLiteral("IdRecette"));
    themes.setMaster(&recipes, QStringLiteral("IdRecette"));
    recipes.open();
    ingredients.open();
    themes.open();
    const int id = kRecipes / 2;
    recipes.locate(QStringLiteral("IdRecette"), id);
    int round = 0;
    for (auto _ : state) {
        ++round;
        CopyRecipeDetails(RecipeDetail::Ingredients, id);
        recipes.edit();
        recipes.setValue(QStringLiteral("NomRecetteFrancais"), QStringLiteral("Recette modifiée %1").arg(round));
        ingredients.moveToRow(round % kIngredients);
        ingredients.edit();
        ingredients.setValue(QStringLiteral("QuantiteGramme"), 50 + round % 100);
        RecipeSaveInput in;
        in.recipeId = id;
        in.name = recipes.asString(QStringLiteral("NomRecetteFrancais"));
        in.description = recipes.asString(QStringLiteral("DescRecetteFrancais"));
        in.preparationTime = recipes.asString(QStringLiteral("TempsPreparation"));
        in.ingredientGridName = QStringLiteral("x");
        in.ingredientGridFood = ingredients.value(QStringLiteral("IdAliment"));
        in.ingredientGridQuantity = ingredients.value(QStringLiteral("QuantiteGramme"));
        if (CheckRecipeForSave(in) != RecipeSaveCode::Ok) state.SkipWithError("recipe refused");
        WriteRecipeChanges({recipes, ingredients, themes});
    }
}
BENCHMARK(BM_SaveRecipeOf20Ingredients)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
