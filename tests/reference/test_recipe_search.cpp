#include <QSet>
#include <gtest/gtest.h>

#include "data/Query.h"
#include "reference/RecipeRows.h"
#include "reference/RecipeSearch.h"
#include "support/DataFixture.h"
#include "support/FrenchLocale.h"

namespace {

class RecipeSearchTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        AddSearchRecipes();
    }

    // Runs the statement of the criteria and gives the ids of the names it lists.
    QSet<int> found(const RecipeSearchCriteria& c, const QLocale& locale = QLocale()) {
        const RecipeSearchStatement s = BuildRecipeSearch(c, RecipeSearchColumns(), locale);
        EXPECT_EQ(s.error, SearchError::None) << s.sql.toStdString();
        Query q(s.sql);
        for (const QVariant& v : s.values) q.addBindValue(v);
        q.open();
        QSet<int> ids;
        for (q.first(); !q.eof(); q.next()) {
            for (int id = 1; id <= 7; ++id)
                if (RecipeName(id) == q.asString(0)) ids << id;
        }
        EXPECT_EQ(ids.size(), q.recordCount()) << "a name listed twice or unknown";
        return ids;
    }
    static RecipeSearchCriteria ingredient(const QString& text) {
        RecipeSearchCriteria c;
        c.ingredientName = true;
        c.namePrefix = text;
        return c;
    }
    static RecipeSearchCriteria named(const QString& text) {
        RecipeSearchCriteria c;
        c.namePrefix = text;
        return c;
    }
};

using Ids = QSet<int>;

TEST_F(RecipeSearchTest, NoCriterionListsEveryRecipe) {
    EXPECT_EQ(found({}), (Ids{1, 2, 3, 4, 5, 6, 7}));
    RecipeSearchCriteria anyTheme;
    anyTheme.theme = kAllThemes;
    EXPECT_EQ(found(anyTheme), (Ids{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(RecipeSearchTest, RecipeNamePrefixIgnoresAccentsAndCaseAndTakesTheTextLiterally) {
    EXPECT_EQ(found(named("tar")), Ids{5});
    EXPECT_EQ(found(named("creme")), Ids{3});
    EXPECT_EQ(found(named(QString::fromUtf8("CRÈME BRÛ"))), Ids{3});
    EXPECT_EQ(found(named("boeuf")), Ids{6});
    EXPECT_EQ(found(named(QString::fromUtf8("bœuf \"stroganoff\" d'h"))), Ids{6});
    EXPECT_EQ(found(named("lade")), Ids{});   // the beginning of the name only
    EXPECT_EQ(found(named("%")), Ids{});      // not a wildcard
    EXPECT_EQ(found(named("_arte")), Ids{});
}

TEST_F(RecipeSearchTest, IngredientPresentOrAbsent) {
    EXPECT_EQ(found(ingredient("pomme")), (Ids{1, 2, 5}));   // Pomme, Pomme de terre
    EXPECT_EQ(found(ingredient(QString::fromUtf8("ŒUF"))), (Ids{3, 4, 5}));
    EXPECT_EQ(found(ingredient("oeuf")), (Ids{3, 4, 5}));
    EXPECT_EQ(found(ingredient("-oeuf")), (Ids{1, 2, 6, 7}));
    EXPECT_EQ(found(ingredient(QString::fromUtf8("-crème"))), (Ids{1, 2, 4, 5, 7}));
}

TEST_F(RecipeSearchTest, PreparationTimeComparesWithTheStoredTime) {
    RecipeSearchCriteria c;
    c.preparationTime = "90";
    c.timeComparator = kAtMost;
    const RecipeSearchStatement s = BuildRecipeSearch(c, RecipeSearchColumns());
    EXPECT_EQ(s.values, QVariantList{QStringLiteral("01:30:00")});
    EXPECT_EQ(found(c), (Ids{1, 2, 3, 4, 5, 7}));
    c.timeComparator = kAtLeast;
    EXPECT_EQ(found(c), (Ids{3, 6}));
    c.preparationTime = "1439";
    EXPECT_EQ(found(c), Ids{});
    c.preparationTime = "0";
    EXPECT_EQ(found(c), (Ids{1, 2, 3, 4, 5, 6, 7}));

    for (const char* bad : {"1440", "1500", "-5", "-61", "1h30", "12,5"}) {
        c.preparationTime = bad;
        const RecipeSearchStatement refused = BuildRecipeSearch(c, RecipeSearchColumns());
        EXPECT_EQ(refused.error, SearchError::InvalidValue) << bad;
        EXPECT_EQ(RecipeSearchErrorText(refused),
                  QString::fromUtf8("        Valeur non valide pour le temps de préparation !"));
        EXPECT_TRUE(refused.sql.isEmpty());
    }
    c.preparationTime = "30";
    c.timeComparator = kNoComparator;
    const RecipeSearchStatement noComparator = BuildRecipeSearch(c, RecipeSearchColumns());
    EXPECT_EQ(noComparator.error, SearchError::NoComparator);
    EXPECT_EQ(noComparator.subject, SearchSubject::PreparationTime);
}

TEST_F(RecipeSearchTest, Theme) {
    RecipeSearchCriteria c;
    c.theme = "Desserts";
    EXPECT_EQ(found(c), (Ids{1, 3, 5}));
    c.theme = "Plats principaux";
    EXPECT_EQ(found(c), (Ids{2, 4, 6, 7}));
    c.theme = QString::fromUtf8("Entrées");
    EXPECT_EQ(found(c), Ids{6});
    c.namePrefix = "riz";   // the theme after a name condition
    c.theme = "Plats principaux";
    EXPECT_EQ(found(c), Ids{7});
}

TEST_F(RecipeSearchTest, EverydayIngredientsWithAndWithoutTheIngredientJoin) {
    RecipeSearchCriteria c;
    c.everydayOnly = true;
    EXPECT_EQ(found(c), (Ids{1, 2, 4, 5, 7}));

    c = ingredient("oeuf");
    c.everydayOnly = true;
    const RecipeSearchStatement s = BuildRecipeSearch(c, RecipeSearchColumns());
    EXPECT_EQ(s.sql.count("t_ingredients_recettes, t_aliments WHERE"), 1) << s.sql.toStdString();   // joined once
    EXPECT_EQ(found(c), (Ids{4, 5}));

    c = ingredient("-lait");
    c.everydayOnly = true;
    EXPECT_EQ(found(c), (Ids{1, 5, 7}));
}

TEST_F(RecipeSearchTest, NutrientBoundsConcernTheRecipeEvenWithTheIngredientsJoined) {
    RecipeSearchCriteria c;
    c.calories = "100";
    c.caloriesComparator = kAtMost;
    EXPECT_EQ(found(c), (Ids{1, 2, 5}));
    c.caloriesComparator = kAtLeast;
    c.calories = "150";
    EXPECT_EQ(found(c), (Ids{3, 6}));

    // t_aliments has columns of the same names: the recipe's values still count.
    c = ingredient("oeuf");
    c.calories = "100";
    c.caloriesComparator = kAtMost;
    EXPECT_EQ(found(c), Ids{5});
    c.everydayOnly = true;
    c.namePrefix.clear();
    c.calories = "130";
    EXPECT_EQ(found(c), (Ids{1, 2, 5, 7}));

    RecipeSearchCriteria p;
    p.proteins = "10";
    p.proteinsComparator = kAtLeast;
    EXPECT_EQ(found(p), (Ids{4, 6, 7}));
    RecipeSearchCriteria g;
    g.carbs = "5";
    g.carbsComparator = kAtMost;
    EXPECT_EQ(found(g), Ids{4});
}

TEST_F(RecipeSearchTest, LipidsInTheFrenchLocaleAndTheRefusals) {
    FrenchLocaleGuard french;
    RecipeSearchCriteria c;
    c.lipids = "12,5";
    c.lipidsComparator = kAtMost;
    EXPECT_EQ(found(c), (Ids{1, 2, 4, 5, 6, 7}));
    c.lipidsComparator = kAtLeast;
    EXPECT_EQ(found(c), (Ids{3, 5}));

    auto refusal = [](const RecipeSearchCriteria& criteria) {
        return RecipeSearchErrorText(BuildRecipeSearch(criteria, RecipeSearchColumns()));
    };
    c.lipids = "150";
    EXPECT_EQ(refusal(c), QString::fromUtf8("        Valeur non valide pour la quantité de lipides !"));
    c.lipids = "-1";
    EXPECT_EQ(refusal(c), QString::fromUtf8("        Valeur non valide pour la quantité de lipides !"));
    c.lipids = "nan";
    EXPECT_EQ(refusal(c), QString::fromUtf8("        Valeur non valide pour la quantité de lipides !"));
    c.lipids = "12,5";
    c.lipidsComparator = kNoComparator;
    EXPECT_EQ(refusal(c), QString::fromUtf8("        Vous n'avez pas séléctionné de type de comparaison pour\n"
                                            "        la quantité de lipides !"));

    RecipeSearchCriteria k;
    k.calories = "250";
    EXPECT_EQ(refusal(k), QString::fromUtf8("        Vous n'avez pas séléctionné de type de comparaison pour\n"
                                            "        le nombre de calories !"));
    k.caloriesComparator = kAtLeast;
    for (const char* bad : {"12,5", "-3", "beaucoup"}) {
        k.calories = bad;
        EXPECT_EQ(refusal(k), QString::fromUtf8("        Valeur non valide pour le nombre de calories !")) << bad;
    }

    RecipeSearchCriteria p;
    p.proteins = "101";
    p.proteinsComparator = kAtMost;
    EXPECT_EQ(refusal(p), QString::fromUtf8("        Valeur non valide pour la quantité de protides !"));
    RecipeSearchCriteria g;
    g.carbs = "2";
    EXPECT_EQ(refusal(g), QString::fromUtf8("        Vous n'avez pas séléctionné de type de comparaison pour\n"
                                            "        la quantité de glucides !"));
    // A bad value counts before a missing comparator; the first criterion in order is reported.
    g.carbs = "x";
    g.preparationTime = "2000";
    EXPECT_EQ(refusal(g), QString::fromUtf8("        Valeur non valide pour le temps de préparation !"));
}

TEST_F(RecipeSearchTest, SeveralCriteriaTogether) {
    RecipeSearchCriteria c = ingredient("pomme");
    c.preparationTime = "60";
    c.timeComparator = kAtMost;
    c.theme = "Desserts";
    c.everydayOnly = true;
    EXPECT_EQ(found(c), (Ids{1, 5}));
    c.calories = "80";
    c.caloriesComparator = kAtMost;
    EXPECT_EQ(found(c), Ids{1});

    RecipeSearchCriteria d = named("b");
    d.theme = QString::fromUtf8("Entrées");
    d.proteins = "15";
    d.proteinsComparator = kAtLeast;
    d.lipids = "11";
    d.lipidsComparator = kAtLeast;
    EXPECT_EQ(found(d, QLocale::c()), Ids{6});
}

}  // namespace
