// Random programmes of the shapes the quantity optimisation builds, solved by `Simplex` and by
// GLPK: both must agree on the outcome and the optimum, and our solution must be feasible.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "GlpkProgramme.h"

namespace {

using programmes::Day;
using programmes::OpenRow;

// A day as `realisticDay` draws it, then roughened so that every outcome occurs: rows without
// calories (water, or a food entered with nutrients but no energy), rows of arbitrary values,
// exact repeats of a row, a carbohydrate bound of zero or below, minimum quantities from tiny
// to too large, and now and then a minimum that meets the calories exactly.
Day roughDay(std::mt19937_64& rng, int n) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    Day day = programmes::realisticDay(rng, n);
    for (OpenRow& r : day.rows) {
        const double kind = u(rng);
        if (kind < 0.03) r = OpenRow{};
        else if (kind < 0.06) r.calories = 0;
        else if (kind < 0.10) r = OpenRow{u(rng) * 9, u(rng), u(rng), u(rng)};
    }
    for (int k = 1; k < n; ++k)
        if (u(rng) < 0.05) day.rows[k] = day.rows[rng() % k];
    const double carbs = u(rng);
    if (carbs < 0.1) day.remainingCarbs = 0;
    else if (carbs < 0.25) day.remainingCarbs = -std::round(u(rng) * 200);
    day.minimumQuantity = std::round(std::exp(u(rng) * std::log(2000.0 / n)) * 10) / 10;
    if (u(rng) < 0.05) {
        double calories = 0;
        for (const OpenRow& r : day.rows) calories += r.calories;
        if (calories > 0) day.remainingCalories = calories * day.minimumQuantity;
    }
    return day;
}

// Solves the programme with `Simplex` and with GLPK. Agreement: the same outcome and, when
// solved, the same optimum within 1e-7 relative, a solution of `Simplex` that meets every
// constraint within 1e-7, and an objective at that solution equal to the tableau's optimum.
struct Comparison {
    int32_t result = -1;
    int32_t reference = -1;
    double gap = 0;        // relative difference of the optima
    double violation = 0;  // largest constraint violation of our solution
    double tableauGap = 0; // relative difference between our objective and -a[0][0]
    bool agrees() const {
        return result == reference && gap <= 1e-7 && violation <= 1e-7 && tableauGap <= 1e-7;
    }
};

Comparison compareWithGlpk(const programmes::Programme& built) {
    const programmes::GlpkSolution reference = programmes::solveWithGlpk(built);
    programmes::Programme p = built;
    std::vector<double> x(SimplexOutputSize(p.m(), p.n));
    Comparison c;
    c.result = Simplex(p.a, x, p.m1, p.m2, p.m3, p.n);
    c.reference = reference.result;
    if (c.result == SimplexSolved && c.reference == SimplexSolved) {
        const double optimum = programmes::objectiveAt(built, x);
        c.gap = std::fabs(optimum - reference.optimum) / std::max(1.0, std::fabs(reference.optimum));
        c.violation = programmes::largestViolation(built, x);
        c.tableauGap = std::fabs(optimum + p.a[0][0]) / std::max(1.0, std::fabs(optimum));
    }
    return c;
}

// Compares `count` programmes drawn by `draw(t)`, stopping after 20 disagreements, and
// returns how often each outcome occurred.
template <typename Draw>
std::array<int, 3> compareMany(int count, Draw draw) {
    std::array<int, 3> outcomes{};
    int failures = 0;
    for (int t = 0; t < count && failures < 20; ++t) {
        const Comparison c = compareWithGlpk(draw(t));
        if (c.agrees()) {
            ++outcomes[c.result];
            continue;
        }
        ++failures;
        ADD_FAILURE() << "programme " << t << ": Simplex " << c.result << ", GLPK " << c.reference << ", optimum gap "
                      << c.gap << ", violation " << c.violation << ", tableau gap " << c.tableauGap;
    }
    return outcomes;
}

}  // namespace

TEST(SimplexAgainstGlpk, RandomOptimisationProgrammes) {
    std::mt19937_64 rng(0x5eed2026);
    constexpr int kProgrammes = 12000;
    const auto outcomes = compareMany(kProgrammes, [&](int t) {
        return programmes::build(1 + t % 3, roughDay(rng, 1 + static_cast<int>(rng() % 50)));
    });
    // Every outcome must be well represented, or the comparison proves little.
    EXPECT_GT(outcomes[SimplexSolved], kProgrammes / 10);
    EXPECT_GT(outcomes[SimplexUnbounded], kProgrammes / 50);
    EXPECT_GT(outcomes[SimplexInfeasible], kProgrammes / 10);
}

// Small programmes of any shape with small integer coefficients.
TEST(SimplexAgainstGlpk, RandomSmallIntegerProgrammes) {
    std::mt19937_64 rng(0xdec0de);
    constexpr int kProgrammes = 20000;
    const auto outcomes = compareMany(kProgrammes, [&](int) { return programmes::smallIntegerProgramme(rng); });
    for (int outcome : outcomes) EXPECT_GT(outcome, kProgrammes / 10);
}
