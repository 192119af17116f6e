// Saving a recipe as the recipe editor does: the shadow copy of its ingredients taken before the
// change, the checks, then one transaction that posts the changed name and the changed ingredient
// row and recomputes the values per gram. On the scaled database (ScaledDatabase.h: 10 times the
// shipped one by default, --scale=N otherwise), the recipe with the most ingredients.
#include <benchmark/benchmark.h>

#include "ScaledDatabase.h"
#include "data/Database.h"
#include "data/Query.h"
#include "data/Table.h"
#include "frame/AppState.h"
#include "reference/RecipeSave.h"

namespace {

int g_scale = 10;

void BM_SaveRecipe(benchmark::State& state) {
    static ScaledFolder db(g_scale);
    db.open();
    const int id = Query::scalar(QStringLiteral("SELECT IdRecette FROM t_ingredients_recettes GROUP BY IdRecette "
                                                "ORDER BY COUNT(*) DESC, IdRecette LIMIT 1")).toInt();
    const int count = Query::scalar(QStringLiteral("SELECT COUNT(*) FROM t_ingredients_recettes WHERE IdRecette = ?"),
                                    {id}).toInt();
    Table recipes(QStringLiteral("t_recettes"));
    Table ingredients(QStringLiteral("t_ingredients_recettes"));
    Table themes(QStringLiteral("t_categories_recettes"));
    ingredients.setMaster(&recipes, QStringLiteral("IdRecette"));
    themes.setMaster(&recipes, QStringLiteral("IdRecette"));
    recipes.open();
    ingredients.open();
    themes.open();
    recipes.locate(QStringLiteral("IdRecette"), id);
    int round = 0;
    for (auto _ : state) {
        ++round;
        CopyRecipeDetails(RecipeDetail::Ingredients, id);
        recipes.edit();
        recipes.setValue(QStringLiteral("NomRecetteFrancais"), QStringLiteral("Recette modifiée %1").arg(round));
        ingredients.moveToRow(round % count);
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
    state.counters["ingredients"] = count;
    state.counters["recipes"] = recipes.recordCount();
}
BENCHMARK(BM_SaveRecipe)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    g_scale = BenchScale(argc, argv);
    benchmark::AddCustomContext("scale", std::to_string(g_scale));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
