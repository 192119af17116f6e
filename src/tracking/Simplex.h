#pragma once
// Linear-programming solver for the quantity optimisation of the consumption window.
//
// `Simplex` maximises c1.x1 + ... + cn.xn over non-negative x1..xn under <=, >= and = constraints.
// It works in place on a condensed tableau of doubles, runs a first phase with one auxiliary
// variable when the origin is not feasible, then a second phase on the objective. Plain C++,
// no Qt; it keeps no state between calls and touches nothing but its arguments (its working
// space, kept per thread, only grows, so a solve allocates nothing once it has grown).
//
// Building a problem (m = m1 + m2 + m3 constraint rows, n variables):
//
//   SimplexTableau a(m, n);                 // (m + 2) rows x (n + 2) columns, all zero
//   std::vector<double> x(SimplexOutputSize(m, n));
//
//   column 0          right-hand sides
//   columns 1..n      coefficients of x1..xn
//   row 0             objective: a[0][j] = coefficient of xj (maximised); leave a[0][0] = 0
//   rows 1..m1        constraints  sum_j a[i][j].xj <= a[i][0]
//   rows m1+1..m1+m2  constraints  sum_j a[i][j].xj >= a[i][0], with their natural signs
//   rows m1+m2+1..m   constraints  sum_j a[i][j].xj  = a[i][0]
//   row m+1, column n+1: the solver's working space; leave them zero.
//
//   To minimise, negate every objective coefficient.
//
//   int32_t result = Simplex(a, x, m1, m2, m3, n);
//
// On SimplexSolved: x[1..n] hold x1..xn, x[n + i] the slack (<= row) or surplus (>= row) of
// constraint row i, and a[0][0] holds minus the optimal value. On any other result `x` is left
// as it was and the tableau holds partial work; the caller reports the failure (the quantity
// optimisation shows the same message for SimplexUnbounded, SimplexInfeasible and
// SimplexPivotLimit).
//
// Sizes for the quantity optimisation with n open rows: mode 1 has 1 <= row, n + 3 >= rows and
// no equality row, so SimplexTableau(n + 4, n); modes 2 and 3 have n + 1 >= rows and 1
// equality row, so SimplexTableau(n + 2, n). A day of 50 open rows fits in every mode.
//
// Example, maximise 3.x1 + 2.x2 under x1 + x2 <= 4, x1 + 3.x2 <= 6, x1 >= 1:
//
//   SimplexTableau a(3, 2);
//   a[0][1] = 3; a[0][2] = 2;
//   a[1][0] = 4; a[1][1] = 1; a[1][2] = 1;     // <=
//   a[2][0] = 6; a[2][1] = 1; a[2][2] = 3;     // <=
//   a[3][0] = 1; a[3][1] = 1;                  // >=
//   std::vector<double> x(SimplexOutputSize(3, 2));
//   Simplex(a, x, 2, 1, 0, 2);                  // SimplexSolved, x[1] = 4, x[2] = 0, a[0][0] = -12
//
// The tableau and `x` are sized from the problem, so any number of rows and variables fits;
// passing a tableau or an output vector smaller than the problem needs throws
// std::invalid_argument (a programming error, never a property of the data).
#include <cstdint>
#include <span>
#include <vector>

// Results of `Simplex`.
enum SimplexResult : int32_t {
    SimplexSolved = 0,      // optimum found, `x` filled
    SimplexUnbounded = 1,   // the objective grows without limit
    SimplexInfeasible = 2,  // no point satisfies every constraint
    SimplexPivotLimit = 3,  // stopped after SimplexMaxPivots exchange steps (a cycling solve)
};

// Phases passed to `SimplexEnteringColumn`.
enum SimplexPhase : int32_t {
    SimplexPhaseOne = 1,  // objective row m + 1 (the auxiliary objective)
    SimplexPhaseTwo = 2,  // objective row 0
};

// Starting bound of the ratio test: a ratio at or above it is never chosen.
inline constexpr double SimplexRatioBound = 1e308;
// Rounding leaves traces such as 1e-17 where exact arithmetic gives 0. A tableau entry whose
// magnitude is at or below this counts as zero wherever a pivot is chosen: an objective entry
// does not make its column a candidate, a column entry does not take part in the ratio test,
// and neither is pivoted on when an equality row or the auxiliary variable is exchanged.
inline constexpr double SimplexZeroTolerance = 1e-9;
// The auxiliary variable (and the right-hand side of an equality row left without
// coefficients) counts as zero up to this fraction of the largest right-hand side (at least 1).
inline constexpr double SimplexFeasibilityTolerance = 1e-11;

// A zero-filled tableau of doubles with (m + 2) rows and (n + 2) columns; a[row][column]
// reads and writes one entry. The entries lie in one block, column after column: the solver's
// exchange step works down whole columns, which the compiler turns into vector instructions.
class SimplexTableau {
    template <typename Cell>
    class RowView {
    public:
        RowView(Cell* first, size_t stride) : first_(first), stride_(stride) {}
        Cell& operator[](int32_t column) const { return first_[static_cast<size_t>(column) * stride_]; }

    private:
        Cell* first_;
        size_t stride_;
    };

public:
    SimplexTableau() = default;
    SimplexTableau(int32_t constraintRows, int32_t variables);

    // Resizes to the problem and fills every entry with zero (the tableau can be reused).
    void reset(int32_t constraintRows, int32_t variables);

    int32_t rows() const { return rows_; }
    int32_t columns() const { return columns_; }

    RowView<double> operator[](int32_t row) { return {cells_.data() + row, static_cast<size_t>(rows_)}; }
    RowView<const double> operator[](int32_t row) const {
        return {cells_.data() + row, static_cast<size_t>(rows_)};
    }
    // The entries of one column, rows 0 to rows() - 1.
    double* column(int32_t column) { return cells_.data() + static_cast<size_t>(column) * rows_; }
    const double* column(int32_t column) const { return cells_.data() + static_cast<size_t>(column) * rows_; }

private:
    int32_t rows_ = 0;
    int32_t columns_ = 0;
    std::vector<double> cells_;
};

// Entries `x` must hold for m constraint rows and n variables: indices 0..m + n + 1.
constexpr size_t SimplexOutputSize(int32_t constraintRows, int32_t variables) {
    return static_cast<size_t>(constraintRows) + static_cast<size_t>(variables) + 2;
}

// The exchange steps one call may take before it gives up with SimplexPivotLimit. Far above
// what any real solve of that size needs; it only stops a degenerate programme that cycles.
constexpr int64_t SimplexMaxPivots(int32_t constraintRows, int32_t variables) {
    return 50 * (static_cast<int64_t>(constraintRows) + variables);
}

// Solves the problem held in `a` (see above). Returns a SimplexResult.
int32_t Simplex(SimplexTableau& a, std::span<double> x, int32_t m1, int32_t m2, int32_t m3,
                int32_t n);
// The same with another bound on the exchange steps of the two phases (the one above passes
// SimplexMaxPivots(m, n)).
int32_t Simplex(SimplexTableau& a, std::span<double> x, int32_t m1, int32_t m2, int32_t m3,
                int32_t n, int64_t maxPivots);

// The steps of `Simplex`, public for their own tests. `basicIndex` has entries 1..m (the number
// of the variable basic in each constraint row), `nonBasicIndex` entries 1..columns (the number
// of the variable each column stands for); variables are numbered x1..xn = 1..n, the slack or
// surplus of row i = n + i, the auxiliary variable = m + columns.

// The entering column (1..columns) on the phase's objective row, or 0 when no column has an
// objective entry above SimplexZeroTolerance. Score = objective entry / sum of |entries| in rows 1..m;
// the strictly largest score wins (ties keep the lower column). A candidate whose rows 1..m are
// all zero raises the objective without limit: it wins at once, and the ratio test then finds
// no leaving row.
int32_t SimplexEnteringColumn(const SimplexTableau& a, std::span<const int32_t> nonBasicIndex,
                              int32_t m, int32_t columns, int32_t phase);

// The leaving row (1..m) for the entering column, or 0 when no row has an entry above
// SimplexZeroTolerance with a ratio below SimplexRatioBound. The strictly smallest ratio wins (ties keep the
// lower row).
int32_t SimplexRatioTest(const SimplexTableau& a, int32_t m, int32_t column);

// One exchange step on (pivotRow, pivotColumn) over rows 0..lastRow and columns 0..lastColumn;
// swaps basicIndex[pivotRow] and nonBasicIndex[pivotColumn].
void SimplexPivot(SimplexTableau& a, std::span<int32_t> basicIndex,
                  std::span<int32_t> nonBasicIndex, int32_t lastRow, int32_t lastColumn,
                  int32_t pivotRow, int32_t pivotColumn);
