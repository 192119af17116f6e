#pragma once
// The linear programmes the quantity optimisation builds (modes 1, 2 and 3), filled from a day's
// open rows, and random realistic days to fill them. Header-only: shared by the unit tests and
// the benchmark.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "tracking/QuantityOptimisation.h"
#include "tracking/Simplex.h"

namespace programmes {

// Per-gram values of one open row: kcal, then grams of lipids, proteins and carbohydrates.
struct OpenRow {
    double calories = 0, lipids = 0, proteins = 0, carbs = 0;
};

struct Day {
    std::vector<OpenRow> rows;
    double remainingCalories = 0;  // objective minus the calories of the rows already set
    double remainingCarbs = 0;     // 100 g minus the carbohydrates of the rows already set
    double minimumQuantity = 0;    // grams
    int nutrient = 0;              // 0 proteins, 1 lipids, 2 carbohydrates
};

// A programme ready for `Simplex`, with the row counts to pass: the one the window builds.
using Programme = OptimisationProgramme;

// Mode 1: as many of the missing calories as possible, at least 30 % from lipids, 11 % from
// proteins, 52 % from carbohydrates, each open row at least the minimum quantity.
// Modes 2 and 3: exactly the missing calories, at least the missing carbohydrates, each open row
// at least the minimum quantity, the chosen nutrient maximised (2) or minimised (3).
inline Programme build(int mode, const Day& day) {
    std::vector<DayRow> open;
    for (const OpenRow& r : day.rows) open.push_back(DayRow{r.calories, r.lipids, r.proteins, r.carbs, {}});
    return BuildOptimisationProgramme(mode, open, day.remainingCalories, day.remainingCarbs,
                                      day.minimumQuantity, day.nutrient);
}

// The largest amount by which x (1..n, as `Simplex` writes it) breaks a constraint of the
// programme as built (before solving) or its non-negativity; 0 when x satisfies all of them.
inline double largestViolation(const Programme& p, const std::vector<double>& x) {
    double worst = 0;
    for (int32_t j = 1; j <= p.n; ++j) worst = std::max(worst, -x[j]);
    for (int32_t i = 1; i <= p.m(); ++i) {
        double lhs = 0;
        for (int32_t j = 1; j <= p.n; ++j) lhs += p.a[i][j] * x[j];
        const double excess = lhs - p.a[i][0];
        if (i <= p.m1) worst = std::max(worst, excess);
        else if (i <= p.m1 + p.m2) worst = std::max(worst, -excess);
        else worst = std::max(worst, std::fabs(excess));
    }
    return worst;
}

// The objective of the programme as built at x.
inline double objectiveAt(const Programme& p, const std::vector<double>& x) {
    double z = 0;
    for (int32_t j = 1; j <= p.n; ++j) z += p.a[0][j] * x[j];
    return z;
}

// A food as a table holds it: per 100 g with one decimal, stored per gram.
inline OpenRow food(double lipids100, double proteins100, double carbs100) {
    OpenRow r;
    r.lipids = std::round(lipids100 * 10) / 1000;
    r.proteins = std::round(proteins100 * 10) / 1000;
    r.carbs = std::round(carbs100 * 10) / 1000;
    r.calories = std::round((9 * lipids100 + 4 * proteins100 + 4 * carbs100) * 10) / 1000;
    return r;
}

// A realistic day: foods drawn from a catalogue of plausible compositions (so the same values
// come back, as a food and a recipe can share them), an objective of 1200..3000 kcal of which
// some is already eaten, and a minimum quantity of 1..60 g whose calories take at most 60 % of
// what is missing.
inline Day realisticDay(std::mt19937_64& rng, int n) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    Day day;
    for (int k = 0; k < n; ++k) {
        const double kind = u(rng);
        if (kind < 0.25) day.rows.push_back(food(u(rng) * 5, 1 + u(rng) * 4, 5 + u(rng) * 20));
        else if (kind < 0.45) day.rows.push_back(food(2 + u(rng) * 20, 15 + u(rng) * 15, u(rng) * 3));
        else if (kind < 0.65) day.rows.push_back(food(1 + u(rng) * 5, 7 + u(rng) * 7, 50 + u(rng) * 25));
        else if (kind < 0.75) day.rows.push_back(food(60 + u(rng) * 40, u(rng) * 2, u(rng) * 2));
        else day.rows.push_back(food(u(rng) * 30, u(rng) * 30, u(rng) * 40));
    }
    const double objective = 1200 + u(rng) * 1800;
    const double eaten = u(rng) * 0.5 * objective;
    day.remainingCalories = std::round(objective - eaten);
    day.remainingCarbs = std::round(100 - eaten * 0.5 / 4);
    double calories = 0;
    for (const OpenRow& r : day.rows) calories += r.calories;
    const double roomy = 0.6 * day.remainingCalories / std::max(calories, 1.0);
    day.minimumQuantity = 1 + std::floor(u(rng) * std::min(60.0, roomy));
    day.nutrient = static_cast<int>(rng() % 3);
    return day;
}

// A small programme of any shape with small integer coefficients, so that ties, degenerate
// vertices and dependent equality rows are common; now and then the last equality row repeats
// the first row, times two.
inline Programme smallIntegerProgramme(std::mt19937_64& rng) {
    const auto small = [&] { return static_cast<double>(static_cast<int>(rng() % 9) - 3); };
    Programme p;
    p.n = 1 + static_cast<int32_t>(rng() % 8);
    p.m1 = static_cast<int32_t>(rng() % 5);
    p.m2 = static_cast<int32_t>(rng() % 4);
    p.m3 = static_cast<int32_t>(rng() % 3);
    p.a.reset(p.m(), p.n);
    for (int32_t j = 1; j <= p.n; ++j) p.a[0][j] = small();
    for (int32_t i = 1; i <= p.m(); ++i) {
        p.a[i][0] = small() + 2;
        for (int32_t j = 1; j <= p.n; ++j) p.a[i][j] = small();
    }
    if (p.m3 > 0 && p.m() > 1 && rng() % 4 == 0)
        for (int32_t j = 0; j <= p.n; ++j) p.a[p.m()][j] = 2 * p.a[1][j];
    return p;
}

}  // namespace programmes
