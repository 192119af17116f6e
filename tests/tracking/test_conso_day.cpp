#include <gtest/gtest.h>

#include "data/Query.h"
#include "support/DataFixture.h"
#include "tracking/ConsoDay.h"

namespace {
DayRow row(double cal, double lip, double prot, double carbs, QVariant qty) {
    return DayRow{cal, lip, prot, carbs, qty};
}

QStringList listNames(const SqlStatement& st) {
    Query q(st.sql);
    for (const QVariant& v : st.values) q.addBindValue(v);
    q.open();
    QStringList names;
    for (q.first(); !q.eof(); q.next()) names << q.asString("NomAlimentFrancais");
    names.sort();
    return names;
}
}  // namespace

TEST(ConsoDay, EmptyQuantitiesGiveZeroAndNegativeOnesAreRefused) {
    const DayTotals empty = ComputeDayTotals({row(2, 0.1, 0.1, 0.1, QVariant()), row(1, 0.1, 0.1, 0.1, 0)});
    ASSERT_TRUE(empty.valid);
    const DayTotalsTexts s = FormatDayTotals(empty);
    for (const QString& text : {s.calories, s.caloriesShare, s.lipids, s.lipidsShare, s.proteins,
                                s.proteinsShare, s.carbs, s.carbsShare, s.quantity})
        EXPECT_EQ(text, "0");

    const DayTotals bad = ComputeDayTotals({row(2, 0, 0, 0, 100), row(1, 0, 0, 0, -5)});
    EXPECT_FALSE(bad.valid);
    EXPECT_EQ(bad.firstNegativeRow, 1);
    EXPECT_EQ(bad.calories, 0);
    EXPECT_EQ(bad.quantity, 0);
}

TEST(ConsoDay, ObjectiveConversionAndAdvice) {
    int v = 7;
    EXPECT_TRUE(ParseWholeNumber("1500", &v));
    EXPECT_EQ(v, 1500);
    EXPECT_TRUE(ParseWholeNumber("-10", &v));
    EXPECT_EQ(v, -10);
    for (const char* bad : {"", "12.5", "12,5", "abc", "12a", "-", "99999999999"}) {
        v = 7;
        EXPECT_FALSE(ParseWholeNumber(bad, &v)) << bad;
        EXPECT_EQ(v, 7) << bad;
    }
    EXPECT_TRUE(ObjectiveFarBelowNeeds(true, 2500, 1500));
    EXPECT_FALSE(ObjectiveFarBelowNeeds(true, 2500, 1600));
    EXPECT_FALSE(ObjectiveFarBelowNeeds(false, 2500, 100));
    const QString advice = ObjectiveAdviceText(2500, 1500);
    EXPECT_TRUE(advice.startsWith("L'estimation de vos besoins calorique est de 2500 kilocalories, "
                                  "hors votre objectif calorique est de 1500 kilocalories.\n"));
    EXPECT_TRUE(advice.endsWith("par rapport à ses besoins."));
}

TEST(ConsoDay, IncrementalSearchFoldsCaseButNotAccents) {
    const QStringList items{"Banane", "Écrevisse", "Ecureuil", "POMME", "Pomme de terre"};
    EXPECT_EQ(FindItemByPrefix(items, "pom"), 3);
    EXPECT_EQ(FindItemByPrefix(items, "Pomme d"), 4);
    EXPECT_EQ(FindItemByPrefix(items, "é"), 1);
    EXPECT_EQ(FindItemByPrefix(items, "e"), 2);
    EXPECT_EQ(FindItemByPrefix(items, ""), 0);
    EXPECT_EQ(FindItemByPrefix(items, "Pommes"), -1);
    EXPECT_EQ(FindItemByPrefix({}, ""), -1);
}

TEST_F(DataTest, FoodListQueryListsFoodsAndRecipesOfACategory) {
    const SqlStatement both = FoodListQuery(1, "NomAlimentFrancais", "NomRecetteFrancais", {}, {}, true);
    EXPECT_EQ(listNames(both), (QStringList{"Banane", "Orange", "Pomme", "Salade de fruits"}));
    EXPECT_EQ(listNames(FoodListQuery(1, "NomAlimentFrancais", "NomRecetteFrancais", {}, {}, false)),
              (QStringList{"Banane", "Orange", "Pomme"}));
    EXPECT_EQ(listNames(FoodListQuery(1, "NomAlimentAnglais", "NomRecetteAnglais", {}, {}, true)),
              (QStringList{"Apple", "Banana", "Fruit salad", "Orange"}));
    EXPECT_EQ(listNames(FoodListQuery(6, "NomAlimentFrancais", "NomRecetteFrancais", {}, {}, true)),
              (QStringList{"Purée de pommes de terre"}));
    EXPECT_TRUE(listNames(FoodListQuery(99, "NomAlimentFrancais", "NomRecetteFrancais", {}, {}, true)).isEmpty());

    // A recipe with two themes of the same category comes once; clauses bind their own values.
    Query::execute("INSERT INTO t_alim_recette_catconso (IdCategorie, IdMetaCategorie) VALUES (3, 1)");
    Query::execute("INSERT INTO t_categories_recettes (IdCategorie, IdRecette) VALUES (3, 1)");
    EXPECT_EQ(listNames(both).count("Salade de fruits"), 1);
    const SqlClause lowFood{" AND t_aliments.CaloriesGramme <= ?", {0.5}};
    const SqlClause lowRecipe{" AND t_recettes.CaloriesGramme <= ?", {0.5}};
    EXPECT_EQ(listNames(FoodListQuery(1, "NomAlimentFrancais", "NomRecetteFrancais", lowFood, lowRecipe, true)),
              (QStringList{"Orange"}));
}
