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

// The day once the plan's quantities are written.
std::vector<DayRow> applied(std::vector<DayRow> rows, const OptimisationPlan& plan) {
    for (const QuantityWrite& w : plan.writes) rows[size_t(w.row)].quantity = w.quantity;
    return rows;
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

TEST(QuantityOptimisation, NoCaloricOpenRowGivesCode8WithTheSetRowsTotalled) {
    // Water and a calorie-free sweetener left open, 100 g of rice typed.
    const std::vector<DayRow> day = {food(0, 0, 0, 0), food(1.3, 0.003, 0.027, 0.28, 100), food(0, 0, 0, 0, 0)};
    for (int mode = 0; mode <= 3; ++mode) {
        const OptimisationPlan p = PlanOptimisation(day, settings(2000, mode, 0, 10));
        EXPECT_EQ(p.failure, OptimisationNoCaloricRow) << "mode " << mode;
        EXPECT_TRUE(p.writes.empty());
        EXPECT_EQ(p.start.openRows, (std::vector<int>{0, 2}));
        EXPECT_FLOAT_EQ(p.start.setTotals.calories, 130);
        EXPECT_FLOAT_EQ(p.start.setTotals.carbs, 28);
    }
    // A day without any open row says the same.
    EXPECT_EQ(PlanOptimisation({food(1.3, 0, 0, 0.28, 100)}, settings(2000, 0)).failure, OptimisationNoCaloricRow);
}

TEST(QuantityOptimisation, SetRowsAtTheObjectiveGiveCode3InEveryMode) {
    // 1000 g of rice typed: 1300 kcal, objective 1300 (reached) and 1200 (passed).
    const std::vector<DayRow> day = {food(1.3, 0.003, 0.027, 0.28, 1000), food(0.52, 0.002, 0.003, 0.138)};
    for (float objective : {1300.0f, 1200.0f})
        for (int mode = 0; mode <= 3; ++mode) {
            const OptimisationPlan p = PlanOptimisation(day, settings(objective, mode, 2, 10));
            EXPECT_EQ(p.failure, OptimisationNothingLeft) << objective << " mode " << mode;
            EXPECT_TRUE(p.writes.empty());
        }
}

TEST(QuantityOptimisation, EqualShareLeavesACalorieFreeRowAndItsShareOpen) {
    FrenchLocaleGuard french;
    // 250 g at 2 kcal typed (500 kcal), objective 1500: 1000 kcal missing over two open rows,
    // one of which (water) has no calories.
    const std::vector<DayRow> day = {food(2.0, 0.1, 0.1, 0.2, 250), food(0, 0, 0, 0), food(1.3, 0.003, 0.027, 0.28)};
    const OptimisationPlan p = PlanOptimisation(day, settings(1500, 0));
    ASSERT_EQ(p.failure, OptimisationOk);
    EXPECT_FLOAT_EQ(p.start.remainingCalories, 1000);
    ASSERT_EQ(p.writes.size(), 1u);
    EXPECT_EQ(p.writes[0].row, 2);
    EXPECT_DOUBLE_EQ(p.writes[0].quantity, RoundedQuantity(500 / 1.3));

    const std::vector<DayRow> after = applied(day, p);
    EXPECT_TRUE(IsOpenRow(after[1]));
    EXPECT_NEAR(SumDayRows(after).calories, 1500 - 500, 1.0);  // half the missing calories
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

TEST(QuantityOptimisation, MinimumsBeyondTheMissingCaloriesAreInfeasible) {
    // 300 kcal missing, three open rows of 2 kcal a gram at least 100 g each: 600 kcal.
    const std::vector<DayRow> day = {food(2, 0.1, 0.1, 0.25), food(2, 0.05, 0.2, 0.2), food(2, 0.02, 0.05, 0.4)};
    for (int mode = 1; mode <= 3; ++mode) {
        const OptimisationPlan p = PlanOptimisation(day, settings(300, mode, 1, 100));
        EXPECT_EQ(p.failure, OptimisationInfeasible) << "mode " << mode;
        EXPECT_TRUE(p.writes.empty());
    }
    // 10 g each leaves room for the recommended split.
    EXPECT_EQ(PlanOptimisation(day, settings(300, 1, -1, 10)).failure, OptimisationOk);
}

TEST(QuantityOptimisation, RealDayReachesTheObjectiveInEveryMode) {
    const float objective = 2000;
    const int minimum = 20;
    const std::vector<DayRow> day = realDay();
    double nutrientMaximised = 0, nutrientMinimised = 0;
    for (int mode = 0; mode <= 3; ++mode) {
        const OptimisationPlan p = PlanOptimisation(day, settings(objective, mode, 0, minimum));
        ASSERT_EQ(p.failure, OptimisationOk) << "mode " << mode;
        ASSERT_EQ(p.writes.size(), 7u) << "mode " << mode;
        const std::vector<DayRow> after = applied(day, p);
        const DayTotals t = SumDayRows(after);
        // Quantities are rounded up to the hundredth, so the day ends at or just above the
        // objective, within its 2 % tolerance.
        EXPECT_GE(t.calories, objective - 0.5f) << "mode " << mode;
        EXPECT_FALSE(CaloriesAboveObjective(t.calories, objective)) << "mode " << mode;
        for (size_t r = 1; r < after.size(); ++r) {
            EXPECT_FALSE(IsOpenRow(after[r]));
            if (mode != 0) EXPECT_GE(after[r].quantity.toDouble(), minimum - 1e-6) << "mode " << mode;
        }
        const double added = t.calories - p.start.setTotals.calories;
        const double lipidEnergy = 9.0 * (t.lipids - p.start.setTotals.lipids);
        const double proteinEnergy = 4.0 * (t.proteins - p.start.setTotals.proteins);
        const double carbEnergy = 4.0 * (t.carbs - p.start.setTotals.carbs);
        if (mode == 1) {
            // The recommended split of what was missing, counted on the open rows.
            EXPECT_GE(lipidEnergy, 0.30 * p.start.remainingCalories - 1);
            EXPECT_GE(proteinEnergy, 0.11 * p.start.remainingCalories - 1);
            EXPECT_GE(carbEnergy, 0.52 * p.start.remainingCalories - 1);
            EXPECT_NEAR(added, p.start.remainingCalories, 1.0);
        }
        if (mode >= 2) EXPECT_GE(t.carbs, 100 - 0.01f);
        if (mode == 2) nutrientMaximised = t.proteins;
        if (mode == 3) nutrientMinimised = t.proteins;
    }
    EXPECT_GT(nutrientMaximised, nutrientMinimised + 10);
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
