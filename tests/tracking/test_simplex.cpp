#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "support/OptimisationProgrammes.h"
#include "tracking/Simplex.h"
#include "tracking/SimplexReference.h"

namespace {

// A problem for n = objective.size() variables; each constraint row is {rhs, a1, ..., an}.
struct Problem {
    std::vector<double> objective;
    std::vector<std::vector<double>> rows;
    int32_t m1, m2, m3;
    int64_t maxPivots = 1000;
    int32_t n() const { return static_cast<int32_t>(objective.size()); }
    int32_t m() const { return static_cast<int32_t>(rows.size()); }
    SimplexTableau tableau() const {
        SimplexTableau a(m(), n());
        for (int32_t j = 1; j <= n(); ++j) a[0][j] = objective[j - 1];
        for (size_t i = 0; i < rows.size(); ++i)
            for (size_t j = 0; j < rows[i].size(); ++j) a[i + 1][j] = rows[i][j];
        return a;
    }
};

// Output entries hold a marker, to see which ones the solver writes; NaN in an expectation
// means "not checked".
constexpr double kUnwritten = -777.0;
const double kAny = std::nan("");

int32_t solve(const Problem& p, SimplexTableau& a, std::vector<double>& x) {
    x.assign(SimplexOutputSize(p.m(), p.n()), kUnwritten);
    return Simplex(a, x, p.m1, p.m2, p.m3, p.n(), p.maxPivots);
}

// Maximise 3x1 + 2x2 under x1 + x2 <= 4, x1 + 3x2 <= 6, x1 >= 1.
const Problem kFirstExample{{3, 2}, {{4, 1, 1}, {6, 1, 3}, {1, 1, 0}}, 2, 1, 0};

}  // namespace

TEST(Simplex, SolvedProblemsWriteSolutionSlacksAndOptimum) {
    struct Case {
        const char* what;
        Problem p;
        std::vector<double> x;   // entries 0.. of the output
        double optimum;          // a[0][0]
    };
    const Case cases[] = {
        // x[3..5]: slacks of the two <= rows, surplus of the >= row; x[0] unwritten.
        {"less and greater rows", kFirstExample, {kUnwritten, 4, 0, 0, 2, 3}, -12},
        {"equality row", {{1, 1}, {{3, 1, 0}, {4, 1, 2}}, 1, 0, 1}, {kAny, 3, 0.5}, -3.5},
        // A redundant equality row ends with no coefficient and a zero rhs: skipped, x[0] = 0.
        {"redundant equality", {{1, 1}, {{3, 1, 0}, {4, 1, 2}, {8, 2, 4}}, 1, 0, 2}, {0, 3, 0.5}, kAny},
        {"0 = 0 skipped", {{1}, {{5, 1}, {0, 0}}, 1, 0, 1}, {0, 5}, kAny},
        // x1 <= 1 and x1 >= 1 tie in the ratio test: the auxiliary variable ends basic at 0 and is
        // pivoted out; its entry (m + n') stays unwritten.
        {"auxiliary basic at zero", {{1}, {{1, 1}, {1, 1}}, 1, 1, 0}, {kAny, 1, 0, 0, kUnwritten}, kAny},
    };
    for (const Case& c : cases) {
        SimplexTableau a = c.p.tableau();
        std::vector<double> x;
        ASSERT_EQ(solve(c.p, a, x), SimplexSolved) << c.what;
        for (size_t k = 0; k < c.x.size(); ++k)
            if (!std::isnan(c.x[k])) EXPECT_DOUBLE_EQ(x[k], c.x[k]) << c.what << " x[" << k << "]";
        if (!std::isnan(c.optimum)) EXPECT_DOUBLE_EQ(a[0][0], c.optimum) << c.what;
    }
}

TEST(Simplex, FailuresWriteNoOutput) {
    Problem stopped = kFirstExample;   // needs two exchange steps after the auxiliary pivot
    stopped.maxPivots = 1;
    const struct {
        const char* what;
        Problem p;
        int32_t result;
    } cases[] = {
        {"0 = 2", {{1}, {{5, 1}, {2, 0}}, 1, 0, 1}, SimplexInfeasible},
        {"x1 <= 1 and x1 >= 2", {{1}, {{1, 1}, {2, 1}}, 1, 1, 0}, SimplexInfeasible},
        {"x1 free above", {{1, 0}, {{1, 0, 1}, {1, 1, 0}}, 1, 1, 0}, SimplexUnbounded},
        // An objective column no constraint mentions: no division by its zero sum.
        {"column in no row", {{0, 2}, {{4, 1, 0}}, 1, 0, 0}, SimplexUnbounded},
        {"pivot limit", stopped, SimplexPivotLimit},
    };
    for (const auto& c : cases) {
        SimplexTableau a = c.p.tableau();
        std::vector<double> x;
        EXPECT_EQ(solve(c.p, a, x), c.result) << c.what;
        for (double v : x) EXPECT_EQ(v, kUnwritten) << c.what;
    }
    stopped.maxPivots = 2;
    SimplexTableau a = stopped.tableau();
    std::vector<double> x;
    EXPECT_EQ(solve(stopped, a, x), SimplexSolved);
}

// The leaving row where values are extreme, which random programmes never reach: a ratio that
// rounds to 0 ties with a zero right-hand side (the earlier row leaves), a tiny one does not, and
// a negative rounding trace comes first. {row, rhs, entry} over rows whose ratios are 11 to 16.
TEST(Simplex, RatioTestAtTheEdgesOfTheDoubles) {
    const struct { int32_t row; double rhs, entry; int32_t zeroRow, leaving; } cases[] = {
        {1, 5e-324, 4, 3, 1}, {2, 1e-270, 1e60, 4, 2}, {1, 1e-300, 1, 3, 3}, {6, -1e-17, 1, 1, 6}, {4, -0.0, 1, 2, 2}};
    for (const auto& c : cases) {
        SimplexTableau a(6, 1);
        for (int32_t i = 1; i <= 6; ++i) a[i][0] = 10 + i, a[i][1] = 1;
        a[c.zeroRow][0] = 0;
        a[c.row][0] = c.rhs, a[c.row][1] = c.entry;
        EXPECT_EQ(SimplexRatioTest(a, 6, 1), c.leaving) << c.row << " " << c.rhs;
    }
}

TEST(Simplex, RefusesTableauSmallerThanProblem) {
    SimplexTableau a(2, 2);
    std::vector<double> x(SimplexOutputSize(2, 2));
    EXPECT_THROW(Simplex(a, x, 2, 1, 0, 2), std::invalid_argument);
    EXPECT_THROW(Simplex(a, x, 1, 0, 0, 3), std::invalid_argument);
    EXPECT_THROW(Simplex(a, x, -1, 0, 0, 2), std::invalid_argument);
    std::vector<double> shortX(SimplexOutputSize(2, 2) - 1);
    EXPECT_THROW(Simplex(a, shortX, 1, 1, 0, 2), std::invalid_argument);
}

TEST(Simplex, MinimumQuantitiesThatMeetTheCaloriesExactly) {
    // The only feasible point gives every open row its minimum quantity. Rounding leaves the
    // auxiliary variable at about 1e-13 instead of 0, which must not read as infeasible.
    std::mt19937_64 rng(7);
    for (int t = 0; t < 60; ++t) {
        programmes::Day day = programmes::realisticDay(rng, 3 + t % 20);
        double calories = 0;
        for (const auto& r : day.rows) calories += r.calories;
        day.remainingCalories = calories * day.minimumQuantity;
        day.remainingCarbs = 0;
        for (int mode = 2; mode <= 3; ++mode) {
            programmes::Programme p = programmes::build(mode, day);
            std::vector<double> x(SimplexOutputSize(p.m(), p.n));
            ASSERT_EQ(Simplex(p.a, x, p.m1, p.m2, p.m3, p.n), SimplexSolved) << "day " << t << ", mode " << mode;
            for (int k = 1; k <= p.n; ++k) EXPECT_NEAR(x[k], day.minimumQuantity, 1e-9);
        }
    }
}

// The tuned solver takes the very pivots of the plain one: same result, and the same bits in
// every tableau entry and output entry, whether it ends solved, unbounded, infeasible or stopped
// by the pivot limit. Days of the three modes up to 50 rows, with a minimum that meets the
// calories exactly now and then, and small integer programmes full of ties and degenerate
// vertices.
TEST(Simplex, TakesTheSamePivotsAsThePlainSolver) {
    std::mt19937_64 rng(0xb17b17);
    std::array<int, 4> outcomes{};
    for (int t = 0; t < 6000; ++t) {
        programmes::Programme p;
        if (t % 2 == 0) {
            programmes::Day day = programmes::realisticDay(rng, 1 + static_cast<int>(rng() % 50));
            if (rng() % 8 == 0) {
                double calories = 0;
                for (const auto& r : day.rows) calories += r.calories;
                day.remainingCalories = calories * day.minimumQuantity;
            }
            if (rng() % 8 == 0) day.remainingCarbs = -day.remainingCarbs;
            p = programmes::build(1 + t / 2 % 3, day);
        } else {
            p = programmes::smallIntegerProgramme(rng);
        }
        const int64_t maxPivots = rng() % 10 == 0 ? static_cast<int64_t>(rng() % 8) : SimplexMaxPivots(p.m(), p.n);
        reference::Tableau plain(p.a);
        std::vector<double> x(SimplexOutputSize(p.m(), p.n), kUnwritten), plainX = x;
        const int32_t expected = reference::Simplex(plain, plainX, p.m1, p.m2, p.m3, p.n, maxPivots);
        ASSERT_EQ(Simplex(p.a, x, p.m1, p.m2, p.m3, p.n, maxPivots), expected) << "programme " << t;
        ++outcomes[static_cast<size_t>(expected)];
        for (int32_t i = 0; i < p.a.rows(); ++i)
            for (int32_t j = 0; j < p.a.columns(); ++j)
                ASSERT_EQ(std::bit_cast<uint64_t>(p.a[i][j]), std::bit_cast<uint64_t>(plain[i][j]))
                    << "programme " << t << ", a[" << i << "][" << j << "]";
        for (size_t v = 0; v < x.size(); ++v)
            ASSERT_EQ(std::bit_cast<uint64_t>(x[v]), std::bit_cast<uint64_t>(plainX[v])) << "programme " << t << ", x" << v;
    }
    for (int outcome : outcomes) EXPECT_GT(outcome, 100);
}
