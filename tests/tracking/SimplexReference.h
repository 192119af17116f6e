#pragma once
// The solver as first written, row by row over a plain row-major copy of the tableau: the
// yardstick the tuned `Simplex` must match bit for bit (same pivots, so the same roundings).
// Test code only.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tracking/Simplex.h"

namespace reference {

struct Tableau {
    int32_t rows = 0, columns = 0;
    std::vector<double> cells;
    explicit Tableau(const SimplexTableau& a) : rows(a.rows()), columns(a.columns()), cells(size_t(rows) * columns) {
        for (int32_t i = 0; i < rows; ++i)
            for (int32_t j = 0; j < columns; ++j) (*this)[i][j] = a[i][j];
    }
    double* operator[](int32_t i) { return cells.data() + size_t(i) * columns; }
};

struct Solver {
    Tableau& a;
    int32_t m;
    std::vector<int32_t> basic, nonBasic;
    int64_t pivotsLeft;

    int32_t entering(int32_t columns, int32_t phase) {
        const double* objective = a[phase == SimplexPhaseOne ? m + 1 : 0];
        int32_t best = 0;
        double bestScore = 0.0;
        for (int32_t j = 1; j <= columns; ++j) {
            if (!(objective[j] > SimplexZeroTolerance) || nonBasic[j] == m + columns) continue;
            double sum = 0.0;
            for (int32_t i = 1; i <= m; ++i) sum += std::fabs(a[i][j]);
            if (sum == 0.0) return j;
            if (objective[j] / sum > bestScore) bestScore = objective[j] / sum, best = j;
        }
        return best;
    }
    int32_t leaving(int32_t column) {
        int32_t best = 0;
        double bestRatio = SimplexRatioBound;
        for (int32_t i = 1; i <= m; ++i)
            if (a[i][column] > SimplexZeroTolerance && a[i][0] / a[i][column] < bestRatio)
                bestRatio = a[i][0] / a[i][column], best = i;
        return best;
    }
    void pivot(int32_t lastRow, int32_t lastColumn, int32_t p, int32_t q) {
        double* pivotLine = a[p];
        const double pivot = pivotLine[q];
        for (int32_t i = 0; i <= lastRow; ++i) {
            if (i == p) continue;
            const double f = a[i][q] / pivot;
            if (f != 0.0)
                for (int32_t j = 0; j <= lastColumn; ++j)
                    if (j != q && pivotLine[j] != 0.0) a[i][j] -= f * pivotLine[j];
            a[i][q] = -f;
        }
        for (int32_t j = 0; j <= lastColumn; ++j) pivotLine[j] *= 1.0 / pivot;
        pivotLine[q] = 1.0 / pivot;
        std::swap(basic[p], nonBasic[q]);
    }
    int32_t iterate(int32_t lastRow, int32_t columns, int32_t phase) {
        for (;;) {
            const int32_t c = entering(columns, phase);
            if (c == 0) return SimplexSolved;
            const int32_t r = leaving(c);
            if (r == 0) return SimplexUnbounded;
            if (pivotsLeft-- <= 0) return SimplexPivotLimit;
            pivot(lastRow, columns, r, c);
        }
    }
    int32_t lastNonZero(int32_t row, int32_t columns) {
        for (int32_t k = columns; k >= 1; --k)
            if (std::fabs(a[row][k]) > SimplexZeroTolerance) return k;
        return 0;
    }
};

inline int32_t Simplex(Tableau& a, std::vector<double>& x, int32_t m1, int32_t m2, int32_t m3, int32_t n,
                       int64_t maxPivots) {
    const int32_t m = m1 + m2 + m3;
    Solver s{a, m, std::vector<int32_t>(size_t(m) + 1), std::vector<int32_t>(size_t(n) + 2), maxPivots};
    for (int32_t i = m1 + 1; i <= m1 + m2; ++i)
        for (int32_t j = 0; j <= n; ++j) a[i][j] = -a[i][j];
    for (int32_t i = 1; i <= m; ++i) s.basic[i] = i <= m1 + m2 ? n + i : 0;
    for (int32_t j = 1; j <= n; ++j) s.nonBasic[j] = j;
    double largestRhs = 1.0;
    for (int32_t i = 1; i <= m; ++i) largestRhs = std::max(largestRhs, std::fabs(a[i][0]));
    const double tolerance = SimplexFeasibilityTolerance * largestRhs;
    for (int32_t i = m1 + m2 + 1; i <= m; ++i) {
        const int32_t k = s.lastNonZero(i, n);
        if (k == 0) {
            if (std::fabs(a[i][0]) > tolerance) return SimplexInfeasible;
            continue;
        }
        s.pivot(m, n, i, k);
        s.nonBasic[k] = s.nonBasic[n];
        for (int32_t r = 0; r <= m; ++r) a[r][k] = a[r][n];
        --n;
    }
    const int32_t columns = n + 1, auxiliary = m + columns;
    s.nonBasic[columns] = auxiliary;
    int32_t r = 0;
    for (int32_t i = 1; i <= m; ++i)
        if (a[i][0] < (r ? a[r][0] : 0.0)) r = i;
    if (r != 0) {
        for (int32_t j = 0; j < columns; ++j) a[m + 1][j] = 0.0;
        for (int32_t i = 1; i <= m; ++i) a[i][columns] = a[i][0] < 0.0 ? -1.0 : 0.0;
        a[0][columns] = 0.0;
        a[m + 1][columns] = -1.0;
        s.pivot(m + 1, columns, r, columns);
        if (const int32_t result = s.iterate(m + 1, columns, SimplexPhaseOne); result != SimplexSolved) return result;
        for (int32_t i = 1; i <= m; ++i) {
            if (s.basic[i] != auxiliary) continue;
            if (std::fabs(a[i][0]) > tolerance) return SimplexInfeasible;
            if (const int32_t k = s.lastNonZero(i, columns); k != 0) s.pivot(m + 1, columns, i, k);
            break;
        }
    }
    if (const int32_t result = s.iterate(m, columns, SimplexPhaseTwo); result != SimplexSolved) return result;
    for (int32_t v = 1; v <= m + columns - 1; ++v) x[size_t(v)] = 0.0;
    for (int32_t i = 1; i <= m; ++i) x[size_t(s.basic[i])] = a[i][0];
    return SimplexSolved;
}

}  // namespace reference
