#include <gtest/gtest.h>

#include <QStringList>
#include <cmath>
#include <optional>

#include "frame/TextHelpers.h"
#include "support/FrenchLocale.h"
#include "tracking/QuantityOptimisation.h"

namespace {

// Per-gram values as the foods table holds them; quantity empty (open) unless given.
DayRow food(double calories, double lipids, double proteins, double carbs, QVariant quantity = {}) {
    return DayRow{calories, lipids, proteins, carbs, quantity};
}

// A real day: 250 g of semi-skimmed milk already typed, seven foods left open.
std::vector<DayRow> realDay() {
    return {
        food(0.46, 0.016, 0.033, 0.048, 250),  // Lait demi-écrémé
        food(0.52, 0.002, 0.003, 0.138),       // Pomme
        food(1.30, 0.003, 0.027, 0.28),        // Riz blanc cuit
        food(1.65, 0.036, 0.31, 0.0),          // Blanc de poulet
        food(2.92, 0.30, 0.024, 0.029),        // Crème fraîche
        food(1.31, 0.011, 0.05, 0.25),         // Pâtes cuites
        food(0.61, 0.033, 0.035, 0.047),       // Yaourt nature
        food(1.55, 0.11, 0.13, 0.011),         // Œuf
    };
}

OptimisationSettings settings(float objective, int mode, int nutrient = -1, int minimum = 0) {
    return OptimisationSettings{objective, mode, nutrient, minimum};
}

QStringList messageTable() {
    QStringList t;
    for (int i = 0; i < 22; ++i) t << QStringLiteral("entry %1").arg(i);
    return t;
}

}  // namespace

TEST(QuantityOptimisation, SettingsAreCheckedInOrderBeforeTheDayIsRead) {
    const std::vector<DayRow> day = realDay();
    // No objective wins over a missing nutrient and a missing minimum.
    OptimisationPlan p = PlanOptimisation(day, settings(0, 2));
    EXPECT_EQ(p.failure, OptimisationNoObjective);
    EXPECT_FALSE(p.dayRead);
    p = PlanOptimisation(day, settings(2000, 3));
    EXPECT_EQ(p.failure, OptimisationNoNutrient);
    EXPECT_FALSE(p.dayRead);
    p = PlanOptimisation(day, settings(2000, 2, 1, 0));
    EXPECT_EQ(p.failure, OptimisationNoMinimum);
    // Mode 1 needs no nutrient but a minimum; mode 0 needs neither.
    EXPECT_EQ(PlanOptimisation(day, settings(2000, 1)).failure, OptimisationNoMinimum);
    EXPECT_EQ(PlanOptimisation(day, settings(2000, 1, -1, 10)).failure, OptimisationOk);
    p = PlanOptimisation(day, settings(2000, 0));
    EXPECT_EQ(p.failure, OptimisationOk);
    EXPECT_TRUE(p.dayRead);
    // An unknown mode computes nothing and reports nothing.
    p = PlanOptimisation(day, settings(2000, 7, 0, 10));
    EXPECT_EQ(p.failure, OptimisationOk);
    EXPECT_TRUE(p.writes.empty());
}

TEST(QuantityOptimisation, QuantitiesAreStoredAsTheirTextShowsThem) {
    // 100 kcal over one row of 3 kcal a gram: 33.333... g, stored rounded up to 33.34 whatever
    // the locale's decimal separator.
    const std::vector<DayRow> day = {food(3, 0.1, 0.1, 0.4)};
    for (bool french : {false, true}) {
        std::optional<FrenchLocaleGuard> guard;
        if (french) guard.emplace();
        const OptimisationPlan p = PlanOptimisation(day, settings(100, 0));
        ASSERT_EQ(p.writes.size(), 1u);
        EXPECT_DOUBLE_EQ(p.writes[0].quantity, 33.34);
    }
    FrenchLocaleGuard french;
    EXPECT_DOUBLE_EQ(RoundedQuantity(12.001), 12.01);
    EXPECT_DOUBLE_EQ(RoundedQuantity(0.004), 0.01);
    EXPECT_DOUBLE_EQ(RoundedQuantity(12), 12);
    // Above four digits the text is in scientific form; it still reads back as a number.
    EXPECT_DOUBLE_EQ(RoundedQuantity(23456.7), 23460);
    EXPECT_THROW(RoundedQuantity(std::nan("")), std::runtime_error);
}

TEST(QuantityOptimisation, SolverThatGivesUpIsReportedAsAFailure) {
    const std::vector<DayRow> day = realDay();
    const OptimisationPlan p = PlanOptimisation(day, settings(2000, 2, 0, 20), 1);
    EXPECT_EQ(p.failure, OptimisationSolveStopped);
    EXPECT_TRUE(p.writes.empty());

    const QStringList table = messageTable();
    const QString impossible = OptimisationFailureText(OptimisationUnbounded, table);
    EXPECT_TRUE(impossible.startsWith(table[10]));
    EXPECT_EQ(OptimisationFailureText(OptimisationInfeasible, table), impossible);
    EXPECT_EQ(OptimisationFailureText(OptimisationSolveStopped, table), impossible);
    const QString noCalories = OptimisationFailureText(OptimisationNoCaloricRow, table);
    EXPECT_TRUE(noCalories.startsWith(table[10]));
    EXPECT_NE(noCalories, impossible);
}
