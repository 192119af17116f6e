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

}  // namespace

TEST(QuantityOptimisation, SettingsAreCheckedInOrderBeforeTheDayIsRead) {
    // No objective wins over a missing nutrient and a missing minimum; mode 1 needs no nutrient
    // but a minimum; mode 0 needs neither; an unknown mode computes and reports nothing.
    const struct { OptimisationSettings s; int32_t failure; bool dayRead; } cases[] = {
        {settings(2000, 2, 1, 0), OptimisationNoMinimum, false},
        {settings(2000, 1), OptimisationNoMinimum, false},
        {settings(2000, 1, -1, 10), OptimisationOk, true},
        {settings(2000, 0), OptimisationOk, true},
    };
    for (const auto& c : cases) {
        const OptimisationPlan p = PlanOptimisation(realDay(), c.s);
        EXPECT_EQ(p.failure, c.failure) << "mode " << c.s.mode;
        EXPECT_EQ(p.dayRead, c.dayRead) << "mode " << c.s.mode;
    }
    EXPECT_TRUE(PlanOptimisation(realDay(), settings(2000, 7, 0, 10)).writes.empty());
}

TEST(QuantityOptimisation, QuantitiesAreStoredAsTheirTextShowsThem) {
    // 100 kcal over one row of 3 kcal a gram: 33.333... g, stored rounded up to 33.34 whatever
    // the locale's decimal separator.
    for (bool french : {false, true}) {
        std::optional<FrenchLocaleGuard> guard;
        if (french) guard.emplace();
        const OptimisationPlan p = PlanOptimisation({food(3, 0.1, 0.1, 0.4)}, settings(100, 0));
        ASSERT_EQ(p.writes.size(), 1u);
        EXPECT_DOUBLE_EQ(p.writes[0].quantity, 33.34);
    }
    FrenchLocaleGuard french;
    // Above four digits the text is in scientific form; it still reads back as a number.
    const std::pair<double, double> rounded[] = {{12.001, 12.01}, {0.004, 0.01}, {12, 12}, {23456.7, 23460}};
    for (const auto& [q, expected] : rounded) EXPECT_DOUBLE_EQ(RoundedQuantity(q), expected) << q;
    EXPECT_THROW(RoundedQuantity(std::nan("")), std::runtime_error);
}

TEST(QuantityOptimisation, SolverThatGivesUpIsReportedAsAFailure) {
    const OptimisationPlan p = PlanOptimisation(realDay(), settings(2000, 2, 0, 20), 1);
    EXPECT_EQ(p.failure, OptimisationSolveStopped);
    EXPECT_TRUE(p.writes.empty());
}

TEST(QuantityOptimisation, CarbohydratesOfTypedRowsCountTowardsTheHundredGrams) {
    // The milk typed (250 g: 12 g of carbohydrates) leaves 88 g to find in the open rows. Mode 3
    // minimising carbohydrates stops right at the day's 100 g, typed rows included.
    const struct {
        int mode, nutrient;
        double maxDayCarbs;   // 0: no upper bound to check
    } cases[] = {{2, 0, 0}, {3, 0, 0}, {3, 2, 100.5}};
    for (const auto& c : cases) {
        std::vector<DayRow> day = realDay();
        const OptimisationPlan p = PlanOptimisation(day, settings(2000, c.mode, c.nutrient, 20));
        ASSERT_EQ(p.failure, OptimisationOk) << c.mode;
        EXPECT_FLOAT_EQ(p.start.remainingCarbs, 100.0f - 250 * 0.048f) << c.mode;
        for (const QuantityWrite& w : p.writes) day[size_t(w.row)].quantity = w.quantity;
        const DayTotals t = SumDayRows(day);
        EXPECT_GE(t.carbs, 100 - 0.01) << c.mode;
        if (c.maxDayCarbs > 0) EXPECT_LE(t.carbs, c.maxDayCarbs) << c.mode;
    }
}
