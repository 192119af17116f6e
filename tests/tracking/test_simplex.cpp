#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "support/OptimisationProgrammes.h"
#include "tracking/Simplex.h"

namespace {

// A tableau for n = objective.size() variables; each constraint row is {rhs, a1, ..., an}.
SimplexTableau tableauOf(const std::vector<double>& objective,
                         const std::vector<std::vector<double>>& rows) {
    const auto n = static_cast<int32_t>(objective.size());
    SimplexTableau a(static_cast<int32_t>(rows.size()), n);
    for (int32_t j = 1; j <= n; ++j) a[0][j] = objective[j - 1];
    for (size_t i = 0; i < rows.size(); ++i)
        for (size_t j = 0; j < rows[i].size(); ++j) a[i + 1][j] = rows[i][j];
    return a;
}

// An output vector whose entries all hold a marker, to see which ones the solver writes.
constexpr double kUnwritten = -777.0;
std::vector<double> outputFor(int32_t m, int32_t n) {
    return std::vector<double>(SimplexOutputSize(m, n), kUnwritten);
}

}  // namespace

TEST(Simplex, SolvesLessAndGreaterRowsWithSlacksAndOptimum) {
    // Maximise 3x1 + 2x2 under x1 + x2 <= 4, x1 + 3x2 <= 6, x1 >= 1.
    SimplexTableau a = tableauOf({3, 2}, {{4, 1, 1}, {6, 1, 3}, {1, 1, 0}});
    auto x = outputFor(3, 2);
    ASSERT_EQ(Simplex(a, x, 2, 1, 0, 2), SimplexSolved);
    EXPECT_DOUBLE_EQ(x[1], 4);
    EXPECT_DOUBLE_EQ(x[2], 0);
    EXPECT_DOUBLE_EQ(x[3], 0);  // slack of x1 + x2 <= 4
    EXPECT_DOUBLE_EQ(x[4], 2);  // slack of x1 + 3x2 <= 6
    EXPECT_DOUBLE_EQ(x[5], 3);  // surplus of x1 >= 1
    EXPECT_DOUBLE_EQ(a[0][0], -12);
    EXPECT_EQ(x[0], kUnwritten);
}

TEST(Simplex, EliminatesEqualityRows) {
    // Maximise x1 + x2 under x1 <= 3 and x1 + 2x2 = 4.
    SimplexTableau a = tableauOf({1, 1}, {{3, 1, 0}, {4, 1, 2}});
    auto x = outputFor(2, 2);
    ASSERT_EQ(Simplex(a, x, 1, 0, 1, 2), SimplexSolved);
    EXPECT_DOUBLE_EQ(x[1], 3);
    EXPECT_DOUBLE_EQ(x[2], 0.5);
    EXPECT_DOUBLE_EQ(a[0][0], -3.5);

    // A second equality row that the first one makes redundant (2x1 + 4x2 = 8) ends with no
    // coefficient left and a zero right-hand side: it is skipped and writes x[0] = 0.
    SimplexTableau b = tableauOf({1, 1}, {{3, 1, 0}, {4, 1, 2}, {8, 2, 4}});
    auto y = outputFor(3, 2);
    ASSERT_EQ(Simplex(b, y, 1, 0, 2, 2), SimplexSolved);
    EXPECT_DOUBLE_EQ(y[1], 3);
    EXPECT_DOUBLE_EQ(y[2], 0.5);
    EXPECT_EQ(y[0], 0);
}

TEST(Simplex, ZeroCoefficientEqualityRows) {
    // 0 = 0 is skipped; the rest of the problem is solved.
    SimplexTableau a = tableauOf({1}, {{5, 1}, {0, 0}});
    auto x = outputFor(2, 1);
    ASSERT_EQ(Simplex(a, x, 1, 0, 1, 1), SimplexSolved);
    EXPECT_DOUBLE_EQ(x[1], 5);
    EXPECT_EQ(x[0], 0);

    // 0 = 2 cannot hold.
    SimplexTableau b = tableauOf({1}, {{5, 1}, {2, 0}});
    auto y = outputFor(2, 1);
    EXPECT_EQ(Simplex(b, y, 1, 0, 1, 1), SimplexInfeasible);
    for (double v : y) EXPECT_EQ(v, kUnwritten);
}

TEST(Simplex, ReportsInfeasibleAndUnboundedWithoutWritingOutput) {
    // Maximise x1 under x1 <= 1 and x1 >= 2.
    SimplexTableau a = tableauOf({1}, {{1, 1}, {2, 1}});
    auto x = outputFor(2, 1);
    EXPECT_EQ(Simplex(a, x, 1, 1, 0, 1), SimplexInfeasible);
    for (double v : x) EXPECT_EQ(v, kUnwritten);

    // Maximise x1 under x2 <= 1 and x1 >= 1.
    SimplexTableau b = tableauOf({1, 0}, {{1, 0, 1}, {1, 1, 0}});
    auto y = outputFor(2, 2);
    EXPECT_EQ(Simplex(b, y, 1, 1, 0, 2), SimplexUnbounded);
    for (double v : y) EXPECT_EQ(v, kUnwritten);

    // An objective column that no constraint mentions: unbounded, no division by its zero sum.
    SimplexTableau c = tableauOf({0, 2}, {{4, 1, 0}});
    auto z = outputFor(1, 2);
    EXPECT_EQ(Simplex(c, z, 1, 0, 0, 2), SimplexUnbounded);
    std::vector<int32_t> nonBasic = {0, 1, 2, 4};
    SimplexTableau d = tableauOf({1, 2}, {{4, 1, 0}});
    EXPECT_EQ(SimplexEnteringColumn(d, nonBasic, 1, 3, SimplexPhaseTwo), 2);
}

TEST(Simplex, FeasibleOriginSkipsFirstPhase) {
    // >= rows with bound 0 leave every right-hand side non-negative: the working row m + 1
    // is never used. Maximise x1 + x2 under x1 + x2 <= 10, x1 - x2 >= 0, x2 >= 0.
    SimplexTableau a = tableauOf({1, 1}, {{10, 1, 1}, {0, 1, -1}, {0, 0, 1}});
    auto x = outputFor(3, 2);
    ASSERT_EQ(Simplex(a, x, 1, 2, 0, 2), SimplexSolved);
    EXPECT_DOUBLE_EQ(x[1] + x[2], 10);
    EXPECT_GE(x[1], x[2]);
    for (int j = 0; j < a.columns(); ++j) EXPECT_EQ(a[4][j], 0) << j;

    // The same with x1 >= 1 needs the first phase, which works on row m + 1.
    SimplexTableau b = tableauOf({1, 1}, {{10, 1, 1}, {0, 1, -1}, {1, 1, 0}});
    auto y = outputFor(3, 2);
    ASSERT_EQ(Simplex(b, y, 1, 2, 0, 2), SimplexSolved);
    EXPECT_DOUBLE_EQ(y[1] + y[2], 10);
    bool rowUsed = false;
    for (int j = 0; j < b.columns(); ++j) rowUsed = rowUsed || b[4][j] != 0;
    EXPECT_TRUE(rowUsed);
}

TEST(Simplex, AuxiliaryBasicAtZeroIsExchanged) {
    // Maximise x1 under x1 <= 1 and x1 >= 1: the first phase ends with the auxiliary variable
    // basic at 0 (the two rows tie in the ratio test); it is pivoted out before the second.
    SimplexTableau a = tableauOf({1}, {{1, 1}, {1, 1}});
    auto x = outputFor(2, 1);
    ASSERT_EQ(Simplex(a, x, 1, 1, 0, 1), SimplexSolved);
    EXPECT_DOUBLE_EQ(x[1], 1);
    EXPECT_DOUBLE_EQ(x[2], 0);
    EXPECT_DOUBLE_EQ(x[3], 0);
    EXPECT_EQ(x[4], kUnwritten);  // the auxiliary variable's entry (m + n') stays unwritten
}

TEST(Simplex, EnteringColumnScoresAndTies) {
    // Rows 0..2, columns 0..3; column 3 is the auxiliary variable (number m + columns = 5).
    SimplexTableau a(2, 2);
    a[0][1] = 2; a[1][1] = 1; a[2][1] = -1;   // score 2 / 2 = 1
    a[0][2] = 1; a[1][2] = 0.5;               // score 1 / 0.5 = 2
    a[0][3] = 9; a[1][3] = 1;                 // auxiliary: never enters
    std::vector<int32_t> nonBasic = {0, 1, 2, 5};
    EXPECT_EQ(SimplexEnteringColumn(a, nonBasic, 2, 3, SimplexPhaseTwo), 2);
    a[1][2] = 1;  // both score 1: the lower column wins
    EXPECT_EQ(SimplexEnteringColumn(a, nonBasic, 2, 3, SimplexPhaseTwo), 1);
    nonBasic[3] = 3;  // once it stands for another variable, column 3 may enter
    EXPECT_EQ(SimplexEnteringColumn(a, nonBasic, 2, 3, SimplexPhaseTwo), 3);

    // The first phase reads row m + 1; no positive entry there gives 0, nor does a rounding
    // trace such as 1e-17.
    EXPECT_EQ(SimplexEnteringColumn(a, nonBasic, 2, 3, SimplexPhaseOne), 0);
    a[3][2] = 1e-17;
    EXPECT_EQ(SimplexEnteringColumn(a, nonBasic, 2, 3, SimplexPhaseOne), 0);
    a[3][2] = 1e-6;
    EXPECT_EQ(SimplexEnteringColumn(a, nonBasic, 2, 3, SimplexPhaseOne), 2);
}

TEST(Simplex, RatioTestTiesAndBound) {
    SimplexTableau a(4, 1);
    a[1][0] = 6; a[1][1] = -1;  // not positive: ignored
    a[2][0] = 4; a[2][1] = 2;   // ratio 2
    a[3][0] = 2; a[3][1] = 1;   // ratio 2: tie keeps row 2
    a[4][0] = 0; a[4][1] = 1e-16;  // a rounding trace, not a pivot: ignored
    EXPECT_EQ(SimplexRatioTest(a, 4, 1), 2);
    a[3][0] = 1.5;
    EXPECT_EQ(SimplexRatioTest(a, 4, 1), 3);

    SimplexTableau b(2, 1);
    b[1][0] = 1e308; b[1][1] = 1;   // ratio exactly at the bound
    b[2][0] = 1e300; b[2][1] = 1e-8;   // ratio at or beyond it
    EXPECT_EQ(SimplexRatioTest(b, 2, 1), 0);
    b[2][0] = 5;
    EXPECT_EQ(SimplexRatioTest(b, 2, 1), 2);
}

TEST(Simplex, PivotExchangesWithinBounds) {
    // Rows 0..2 and columns 0..2 take part; row 3 and column 3 hold markers.
    SimplexTableau a = tableauOf({3, 2, 0}, {{4, 1, 1, 7}, {6, 1, 3, 7}, {7, 7, 7, 7}});
    std::vector<int32_t> basic = {0, 3, 4, 0};
    std::vector<int32_t> nonBasic = {0, 1, 2, 0};
    SimplexPivot(a, basic, nonBasic, 2, 2, 2, 2);
    const double expected[3][3] = {{-4, 7.0 / 3, -2.0 / 3}, {2, 2.0 / 3, -1.0 / 3},
                                   {2, 1.0 / 3, 1.0 / 3}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(a[i][j], expected[i][j], 1e-15) << i << "," << j;
    for (int i = 1; i < 3; ++i) EXPECT_EQ(a[i][3], 7);
    for (int j = 0; j < 4; ++j) EXPECT_EQ(a[3][j], 7);
    EXPECT_EQ(basic[2], 2);
    EXPECT_EQ(nonBasic[2], 4);
    EXPECT_EQ(basic[1], 3);
    EXPECT_EQ(nonBasic[1], 1);
}

TEST(Simplex, StopsAtPivotLimit) {
    // The first example takes two exchange steps after the auxiliary pivot.
    const SimplexTableau built = tableauOf({3, 2}, {{4, 1, 1}, {6, 1, 3}, {1, 1, 0}});
    SimplexTableau a = built;
    auto x = outputFor(3, 2);
    EXPECT_EQ(Simplex(a, x, 2, 1, 0, 2, 1), SimplexPivotLimit);
    for (double v : x) EXPECT_EQ(v, kUnwritten);
    a = built;
    EXPECT_EQ(Simplex(a, x, 2, 1, 0, 2, 2), SimplexSolved);
    EXPECT_DOUBLE_EQ(x[1], 4);
}

TEST(Simplex, RefusesTableauSmallerThanProblem) {
    SimplexTableau a(2, 2);
    std::vector<double> x(SimplexOutputSize(2, 2));
    EXPECT_THROW(Simplex(a, x, 2, 1, 0, 2), std::invalid_argument);
    EXPECT_THROW(Simplex(a, x, 1, 0, 0, 3), std::invalid_argument);
    std::vector<double> shortX(SimplexOutputSize(2, 2) - 1);
    EXPECT_THROW(Simplex(a, shortX, 1, 1, 0, 2), std::invalid_argument);
    EXPECT_THROW(Simplex(a, x, -1, 0, 0, 2), std::invalid_argument);
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
            ASSERT_EQ(Simplex(p.a, x, p.m1, p.m2, p.m3, p.n), SimplexSolved)
                << "day " << t << ", mode " << mode;
            for (int k = 1; k <= p.n; ++k) EXPECT_NEAR(x[k], day.minimumQuantity, 1e-9);
        }
    }
}

TEST(Simplex, FullDayOfFiftyOpenRowsInEveryMode) {
    std::mt19937_64 rng(20261206);
    for (int mode = 1; mode <= 3; ++mode) {
        programmes::Day day = programmes::realisticDay(rng, 50);
        day.minimumQuantity = 5;
        day.remainingCalories = 2500;
        programmes::Programme p = programmes::build(mode, day);
        const programmes::Programme built = p;
        std::vector<double> x(SimplexOutputSize(p.m(), p.n));
        ASSERT_EQ(Simplex(p.a, x, p.m1, p.m2, p.m3, p.n), SimplexSolved) << "mode " << mode;
        EXPECT_LT(programmes::largestViolation(built, x), 1e-7) << "mode " << mode;
        EXPECT_NEAR(programmes::objectiveAt(built, x), -p.a[0][0], 1e-7) << "mode " << mode;
    }
}
