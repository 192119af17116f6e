#include <cmath>
#include <gtest/gtest.h>

#include "data/Database.h"
#include "data/Query.h"
#include "reference/RecipeSave.h"
#include "reference/RecipeRows.h"
#include "support/DataFixture.h"

namespace {

// Two foods with round values per gram, and recipe 10 "Tarte d'été" (not user-modifiable,
// without photo) made of 100 g of the first and 300 g of the second, theme 1.
class RecipeSaveTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        Query::execute("INSERT INTO t_aliments (IdAliment, NomAlimentFrancais, CaloriesGramme, LipidesGramme, "
                       "ProtidesGramme, GlucidesGramme, IdCatAliment) VALUES (50, 'A', 0.5, 0.1, 0.2, 0.3, 1), "
                       "(51, 'B', 1.5, 0.3, 0.2, 0.1, 1)");
        Query::execute("INSERT INTO t_recettes (IdRecette, NomRecetteFrancais, DescRecetteFrancais, TempsPreparation, "
                       "CaloriesGramme, LipidesGramme, ProtidesGramme, GlucidesGramme, DroitsModifUtilisateur, Image) "
                       "VALUES (10, 'Tarte d''été', 'Une \"vraie\" tarte', '00:45:00', 9, 9, 9, 9, 0, NULL)");
        Query::execute("INSERT INTO t_ingredients_recettes VALUES (10, 50, 100), (10, 51, 300)");
        Query::execute("INSERT INTO t_categories_recettes VALUES (1, 10)");
    }
};

TEST_F(RecipeSaveTest, ChecksRefuseEachMissingOrInvalidPart) {
    Query::execute("INSERT INTO t_recettes (IdRecette, NomRecetteFrancais) VALUES (11, 'Nouvelle')");
    const RecipeSaveInput good{10, "NomRecetteFrancais", "Tarte d'été", "Desc", "0:45", "", "", QVariant(), QVariant()};
    struct Case {
        const char* what;
        std::function<void(RecipeSaveInput&)> change;
        std::function<void()> data;
        RecipeSaveCode expected;
    } cases[] = {
        {"as stored", [](RecipeSaveInput&) {}, [] {}, RecipeSaveCode::Ok},
        {"empty name", [](RecipeSaveInput& i) { i.name = "  "; }, [] {}, RecipeSaveCode::InvalidField},
        {"empty description", [](RecipeSaveInput& i) { i.description.clear(); }, [] {}, RecipeSaveCode::InvalidField},
        {"time 00:00", [](RecipeSaveInput& i) { i.preparationTime = "00:00"; }, [] {}, RecipeSaveCode::InvalidField},
        {"time not a time", [](RecipeSaveInput& i) { i.preparationTime = "00:3500:00"; }, [] {}, RecipeSaveCode::InvalidTime},
        {"time empty", [](RecipeSaveInput& i) { i.preparationTime.clear(); }, [] {}, RecipeSaveCode::InvalidField},
        {"name of another recipe, other case and accents",
         [](RecipeSaveInput& i) { i.name = "SALADE DE FRUÎTS"; }, [] {}, RecipeSaveCode::NameTaken},
        {"no theme stored, none in the grid", [](RecipeSaveInput&) {},
         [] { Query::execute("DELETE FROM t_categories_recettes WHERE IdRecette = 10"); }, RecipeSaveCode::NoTheme},
        {"no theme stored, one chosen in the grid", [](RecipeSaveInput& i) { i.themeGridName = "Desserts"; },
         [] { Query::execute("DELETE FROM t_categories_recettes WHERE IdRecette = 10"); }, RecipeSaveCode::Ok},
        {"no ingredient", [](RecipeSaveInput&) {},
         [] { Query::execute("DELETE FROM t_ingredients_recettes WHERE IdRecette = 10"); },
         RecipeSaveCode::NoIngredient},
        {"a stored quantity left empty", [](RecipeSaveInput&) {},
         [] { Query::execute("UPDATE t_ingredients_recettes SET QuantiteGramme = NULL WHERE IdAliment = 51"); },
         RecipeSaveCode::InvalidQuantity},
        {"the grid's row at 0, not posted",
         [](RecipeSaveInput& i) {
             i.ingredientGridName = "A";
             i.ingredientGridFood = 50;
             i.ingredientGridQuantity = 0;
         },
         [] {}, RecipeSaveCode::InvalidQuantity},
        {"the grid's typed quantity stands for the stored 0",
         [](RecipeSaveInput& i) {
             i.ingredientGridName = "A";
             i.ingredientGridFood = 50;
             i.ingredientGridQuantity = 80;
         },
         [] { Query::execute("UPDATE t_ingredients_recettes SET QuantiteGramme = 0 WHERE IdAliment = 50"); },
         RecipeSaveCode::Ok},
        {"a negative quantity", [](RecipeSaveInput&) {},
         [] { Query::execute("UPDATE t_ingredients_recettes SET QuantiteGramme = -5 WHERE IdAliment = 50"); },
         RecipeSaveCode::InvalidQuantity},
    };
    for (const Case& c : cases) {
        Transaction scratch;   // rolled back: every case starts from the same recipe
        c.data();
        RecipeSaveInput in = good;
        c.change(in);
        EXPECT_EQ(CheckRecipeForSave(in), c.expected) << c.what;
    }
}

TEST(RecipePreparationTime, ReadsHoursMinutesAndSeconds) {
    EXPECT_EQ(ParsePreparationTime("1:30"), QTime(1, 30));
    EXPECT_EQ(ParsePreparationTime("01:30:15"), QTime(1, 30, 15));
    EXPECT_EQ(ParsePreparationTime(" 00:05:00 "), QTime(0, 5));
    for (const char* bad : {"", "abc", "25:00", "1:75", "1,5"}) EXPECT_FALSE(ParsePreparationTime(bad)) << bad;
}

TEST(RecipeDuplicateName, NumbersTheCopy) {
    const std::pair<const char*, const char*> names[] = {
        {"Tarte", "Tarte(1)"},      {"Tarte(1)", "Tarte(2)"}, {"Tarte(9)", "Tarte(10)"},
        {"Tarte(10)", "Tarte(10)(1)"}, {"Tarte(a)", "Tarte(a)(1)"}, {"(5)", "(6)"},
        {"()", "()(1)"},            {"", "(1)"},              {"Tarte d'été", "Tarte d'été(1)"},
    };
    for (const auto& [source, copy] : names) EXPECT_EQ(DuplicateRecipeName(source), copy) << source;
}

TEST_F(RecipeSaveTest, DuplicateCopiesEverythingUnderAFreeNameAndMayBeChanged) {
    const DuplicatedRecipe first = DuplicateRecipe(10, "NomRecetteFrancais");
    EXPECT_EQ(first.id, 11);
    EXPECT_EQ(first.name, "Tarte d'été(1)");
    const Rows r = RowsOf("SELECT NomRecetteFrancais, DescRecetteFrancais, TempsPreparation, CaloriesGramme, Image, "
                          "DroitsModifUtilisateur FROM t_recettes WHERE IdRecette = 11");
    EXPECT_EQ(r, (Rows{{"Tarte d'été(1)", "Une \"vraie\" tarte", "00:45:00", 9.0, QVariant(), 1}}));
    EXPECT_EQ(IngredientsOf(11), IngredientsOf(10));
    EXPECT_EQ(RowsOf("SELECT IdCategorie FROM t_categories_recettes WHERE IdRecette = 11"), Rows{{1}});

    // A second copy of the same source takes the next number; the name of a copy made in English
    // goes into every column.
    Query::execute("UPDATE t_recettes SET NomRecetteAnglais = 'Pie' WHERE IdRecette = 10");
    EXPECT_EQ(DuplicateRecipe(10, "NomRecetteFrancais").name, "Tarte d'été(2)");
    const DuplicatedRecipe english = DuplicateRecipe(10, "NomRecetteAnglais");
    EXPECT_EQ(english.name, "Pie(1)");
    EXPECT_EQ(RowsOf("SELECT NomRecetteFrancais, NomRecetteAnglais FROM t_recettes WHERE IdRecette = ?", {english.id}),
              (Rows{{"Pie(1)", "Pie(1)"}}));
}

TEST_F(RecipeSaveTest, DuplicateWritesNothingWhenAStatementFails) {
    Query::execute("CREATE TRIGGER refuse BEFORE INSERT ON t_ingredients_recettes "
                   "BEGIN SELECT RAISE(ABORT, 'injected'); END");
    EXPECT_THROW(DuplicateRecipe(10, "NomRecetteFrancais"), DatabaseError);
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_recettes").toInt(), 3);
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_categories_recettes").toInt(), 3);
}

}  // namespace

namespace {

// Quantities no typing could give (written by another program) never make the recipe's values
// infinite or empty, and an infinite value is never bound into a statement.
TEST_F(RecipeSaveTest, NoInfiniteValueIsStoredOrComputed) {
    Query::execute("UPDATE t_ingredients_recettes SET QuantiteGramme = 1e308 WHERE IdRecette = 10");
    StoreRecipePerGram(10);
    const QVariant calories = Query::scalar("SELECT CaloriesGramme FROM t_recettes WHERE IdRecette = 10");
    ASSERT_FALSE(calories.isNull());
    EXPECT_TRUE(std::isfinite(calories.toDouble()));
    RecipeSaveInput in;
    in.recipeId = 10;
    in.name = "Tarte d'été";
    in.description = "Cuire.";
    in.preparationTime = "0:45";
    EXPECT_EQ(CheckRecipeForSave(in), RecipeSaveCode::InvalidQuantity);
    EXPECT_THROW(Query::execute("UPDATE t_recettes SET LipidesGramme = ? WHERE IdRecette = 10", {INFINITY}),
                 DatabaseError);
    EXPECT_EQ(Query::scalar("SELECT LipidesGramme FROM t_recettes WHERE IdRecette = 10").toDouble(), 0);
}

}  // namespace
