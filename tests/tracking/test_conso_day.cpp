#include <gtest/gtest.h>

#include <cmath>

#include "data/Query.h"
#include "support/DataFixture.h"
#include "tracking/ConsoDay.h"

namespace {
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

TEST(ConsoDay, ProductsJoinTheTotalsInDoublePrecision) {
    // Products join the 32-bit total in double precision: 15.2 + 112.2 lands on the float just
    // above 127.4, where adding the rounded products as floats would land on the one below.
    const DayTotals sum = ComputeDayTotals({{1.9, 0, 0, 0, 8}, {3.4, 0, 0, 0, 33}});
    EXPECT_EQ(sum.calories, 127.40000152587890625f);
    // A quantity or a product no day could hold gives no totals rather than an infinity.
    EXPECT_FALSE(ComputeDayTotals({{1, 0, 0, 0, QVariant(INFINITY)}}).valid);
    EXPECT_FALSE(ComputeDayTotals({{1e300, 0, 0, 0, 1e300}}).valid);
}

TEST(ConsoDay, ADayPrintsAndSavesOnlyWithEveryQuantityTyped) {
    const struct {
        QVariant grams;
        bool complete;
    } cases[] = {{QVariant(150.0), true}, {QVariant(0.01), true}, {QVariant(qlonglong(80)), true},
                 {QVariant(), false},     {QVariant(0.0), false}, {QVariant(-5.0), false},
                 {QVariant(std::nan("")), false}, {QVariant(INFINITY), false}, {QVariant("abc"), false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsCompleteQuantity(c.grams), c.complete) << c.grams.toString().toStdString();
        const std::vector<DayRow> day{{1, 0, 0, 0, 100}, {1, 0, 0, 0, c.grams}};
        EXPECT_EQ(DayReadyToPrint(day), c.complete) << c.grams.toString().toStdString();
    }
    EXPECT_TRUE(DayRowsComplete({}));    // a click finds no row to refuse
}

TEST(ConsoDay, ObjectiveConversion) {
    int v = 7;
    EXPECT_TRUE(ParseWholeNumber("-10", &v));
    EXPECT_EQ(v, -10);
    for (const char* bad : {"", "12.5", "12,5", "abc", "12a", "-", "99999999999"}) {
        v = 7;
        EXPECT_FALSE(ParseWholeNumber(bad, &v)) << bad;
        EXPECT_EQ(v, 7) << bad;
    }
}

TEST_F(DataTest, FoodListQueryListsFoodsAndRecipesOfACategory) {
    auto list = [](int category, bool recipes, const SqlClause& food = {}, const SqlClause& recipe = {}) {
        return listNames(FoodListQuery(category, "NomAlimentFrancais", "NomRecetteFrancais", food, recipe, recipes));
    };
    // A recipe with two themes of the same category comes once; clauses bind their own values.
    Query::execute("INSERT INTO t_alim_recette_catconso (IdCategorie, IdMetaCategorie) VALUES (3, 1)");
    Query::execute("INSERT INTO t_categories_recettes (IdCategorie, IdRecette) VALUES (3, 1)");
    EXPECT_EQ(list(1, true).count("Salade de fruits"), 1);
    EXPECT_EQ(list(1, true, {" AND t_aliments.CaloriesGramme <= ?", {0.5}}, {" AND t_recettes.CaloriesGramme <= ?", {0.5}}),
              (QStringList{"Orange"}));
}
