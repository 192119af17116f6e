#include <QSet>
#include <gtest/gtest.h>

#include "data/Query.h"
#include "reference/RecipeRows.h"
#include "reference/RecipeSearch.h"
#include "support/DataFixture.h"

namespace {

using Ids = QSet<int>;
using C = RecipeSearchCriteria;
const QLocale kFrench(QLocale::French, QLocale::France);

class RecipeSearchTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        AddSearchRecipes();
    }
    // Runs the statement of the criteria and gives the ids of the names it lists.
    static Ids found(const C& c, const QLocale& locale) {
        const RecipeSearchStatement s = BuildRecipeSearch(c, RecipeSearchColumns(), locale);
        EXPECT_EQ(s.error, SearchError::None) << s.sql.toStdString();
        Query q(s.sql);
        for (const QVariant& v : s.values) q.addBindValue(v);
        q.open();
        Ids ids;
        for (q.first(); !q.eof(); q.next())
            ids << Query::scalar("SELECT IdRecette FROM t_recettes WHERE NomRecetteFrancais = ?", {q.asString(0)}).toInt();
        EXPECT_EQ(ids.size(), q.recordCount()) << "a name listed twice";
        return ids;
    }
};

// See RecipeRows.h for the seven recipes, their themes, times and values per 100 g.
TEST_F(RecipeSearchTest, CriteriaFindTheirRecipes) {
    const Ids all{1, 2, 3, 4, 5, 6, 7};
    const struct { C criteria; Ids ids; bool french = false; } cases[] = {
        {{}, all},
        {{.theme = kAllThemes}, all},
        // Recipe names: from their beginning, without accents or case, the text taken literally.
        {{.namePrefix = "tar"}, {5}},
        {{.namePrefix = "creme"}, {3}},
        {{.namePrefix = "CRÈME BRÛ"}, {3}},
        {{.namePrefix = "boeuf"}, {6}},
        {{.namePrefix = "bœuf \"stroganoff\" d'h"}, {6}},
        {{.namePrefix = "lade"}, {}},
        {{.namePrefix = "%"}, {}},
        {{.namePrefix = "_arte"}, {}},
        // An ingredient present, or absent with a leading '-'.
        {{.namePrefix = "pomme", .ingredientName = true}, {1, 2, 5}},
        {{.namePrefix = "ŒUF", .ingredientName = true}, {3, 4, 5}},
        {{.namePrefix = "oeuf", .ingredientName = true}, {3, 4, 5}},
        {{.namePrefix = "-oeuf", .ingredientName = true}, {1, 2, 6, 7}},
        {{.namePrefix = "-crème", .ingredientName = true}, {1, 2, 4, 5, 7}},
        // Preparation time against the stored time of day.
        {{.preparationTime = "90", .timeComparator = kAtMost}, {1, 2, 3, 4, 5, 7}},
        {{.preparationTime = "90", .timeComparator = kAtLeast}, {3, 6}},
        {{.preparationTime = "1439", .timeComparator = kAtLeast}, {}},
        {{.preparationTime = "0", .timeComparator = kAtLeast}, all},
        // Themes, also after a name condition.
        {{.theme = "Desserts"}, {1, 3, 5}},
        {{.theme = "Plats principaux"}, {2, 4, 6, 7}},
        {{.theme = "Entrées"}, {6}},
        {{.namePrefix = "riz", .theme = "Plats principaux"}, {7}},
        // Everyday ingredients only, alone and with the ingredient join.
        {{.everydayOnly = true}, {1, 2, 4, 5, 7}},
        {{.namePrefix = "oeuf", .ingredientName = true, .everydayOnly = true}, {4, 5}},
        {{.namePrefix = "-lait", .ingredientName = true, .everydayOnly = true}, {1, 5, 7}},
        // Nutrient bounds concern the recipe even with t_aliments (same column names) joined.
        {{.calories = "100", .caloriesComparator = kAtMost}, {1, 2, 5}},
        {{.calories = "150", .caloriesComparator = kAtLeast}, {3, 6}},
        {{.namePrefix = "oeuf", .ingredientName = true, .calories = "100", .caloriesComparator = kAtMost}, {5}},
        {{.everydayOnly = true, .calories = "130", .caloriesComparator = kAtMost}, {1, 2, 5, 7}},
        {{.proteins = "10", .proteinsComparator = kAtLeast}, {4, 6, 7}},
        {{.carbs = "5", .carbsComparator = kAtMost}, {4}},
        {{.lipids = "12,5", .lipidsComparator = kAtMost}, {1, 2, 4, 5, 6, 7}, true},
        {{.lipids = "12,5", .lipidsComparator = kAtLeast}, {3, 5}, true},
        {{.lipids = "12.5", .lipidsComparator = kAtLeast}, {3, 5}, true},   // the keypad's point
        // The bounds 0 and 100 g themselves are accepted.
        {{.proteins = "100", .proteinsComparator = kAtMost}, all},
        {{.carbs = "100", .carbsComparator = kAtLeast}, {}},
        {{.lipids = "100", .lipidsComparator = kAtMost}, all},
        {{.lipids = "0", .lipidsComparator = kAtLeast}, all},
        // Several criteria together.
        {{.namePrefix = "pomme", .ingredientName = true, .preparationTime = "60", .timeComparator = kAtMost,
          .theme = "Desserts", .everydayOnly = true}, {1, 5}},
        {{.namePrefix = "pomme", .ingredientName = true, .preparationTime = "60", .timeComparator = kAtMost,
          .theme = "Desserts", .everydayOnly = true, .calories = "80", .caloriesComparator = kAtMost}, {1}},
        {{.namePrefix = "b", .theme = "Entrées", .lipids = "11", .lipidsComparator = kAtLeast, .proteins = "15",
          .proteinsComparator = kAtLeast}, {6}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(found(c.criteria, c.french ? kFrench : QLocale()), c.ids) << c.criteria.namePrefix.toStdString()
            << " | " << c.criteria.preparationTime.toStdString() << " | " << c.criteria.theme.toStdString();
}

// A link row without recipe (left by another program) hides no recipe from the absent-ingredient
// and everyday searches; a recipe without ingredients is no everyday recipe, and has no egg.
TEST_F(RecipeSearchTest, LinksWithoutRecipeAndRecipesWithoutIngredients) {
    Query::execute("INSERT INTO t_recettes (IdRecette, NomRecetteFrancais, TempsPreparation) VALUES (8, 'Eau plate', '00:01:00')");
    Query::execute("INSERT INTO t_ingredients_recettes VALUES (NULL, 12, 10), (NULL, 8, 10)");
    EXPECT_EQ(found({.namePrefix = "-oeuf", .ingredientName = true}, QLocale()), (Ids{1, 2, 6, 7, 8}));
    EXPECT_EQ(found({.everydayOnly = true}, QLocale()), (Ids{1, 2, 4, 5, 7}));
    EXPECT_EQ(found({.namePrefix = "-oeuf", .ingredientName = true, .everydayOnly = true}, QLocale()), (Ids{1, 2, 7}));
}

// A bad value counts before a missing comparator, and the first criterion in order is reported.
TEST(RecipeSearchRefusal, MessagesNameTheirSubject) {
    auto invalid = [](const char* subject, const char* range = "un nombre de 0 à 100 g") {
        return QString("        Valeur non valide pour %1 !\n        Valeur attendue : %2.").arg(subject, range);
    };
    auto noComparator = [](const char* subject) {
        return QString("        Vous n'avez pas sélectionné de type de comparaison pour\n        %1 !").arg(subject);
    };
    const QString time = invalid("le temps de préparation", "un nombre entier de 0 à 1439 min");
    const QString lipids = invalid("la quantité de lipides");
    const QString calories = invalid("le nombre de calories", "un nombre entier de 0 à 900 kcal");
    const struct { C criteria; QString message; } cases[] = {
        {{.preparationTime = "1440", .timeComparator = kAtMost}, time},
        {{.preparationTime = "-5", .timeComparator = kAtMost}, time},
        {{.preparationTime = "12,5", .timeComparator = kAtMost}, time},
        {{.preparationTime = "30"}, noComparator("le temps de préparation")},
        {{.lipids = "150", .lipidsComparator = kAtLeast}, lipids},
        {{.lipids = "-1", .lipidsComparator = kAtLeast}, lipids},
        {{.lipids = "nan", .lipidsComparator = kAtLeast}, lipids},
        {{.lipids = "12,5"}, noComparator("la quantité de lipides")},
        {{.calories = "250"}, noComparator("le nombre de calories")},
        {{.calories = "12,5", .caloriesComparator = kAtLeast}, calories},
        {{.calories = "-3", .caloriesComparator = kAtLeast}, calories},
        {{.proteins = "101", .proteinsComparator = kAtMost}, invalid("la quantité de protides")},
        {{.carbs = "2"}, noComparator("la quantité de glucides")},
        {{.preparationTime = "2000", .carbs = "x"}, time},
        {{.preparationTime = QString("1") + QChar(0) + "2", .timeComparator = kAtMost}, time},
        {{.calories = "2147483648", .caloriesComparator = kAtLeast}, calories},
        {{.lipids = "1e308", .lipidsComparator = kAtLeast}, lipids},
    };
    for (const auto& c : cases) {
        const RecipeSearchStatement s = BuildRecipeSearch(c.criteria, {}, kFrench);
        EXPECT_EQ(RecipeSearchErrorText(s), c.message) << c.criteria.preparationTime.toStdString();
        EXPECT_TRUE(s.sql.isEmpty());
    }
}

}  // namespace
