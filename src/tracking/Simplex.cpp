#include "tracking/Simplex.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Scratch space for one call: on the stack up to a size no day needs, on the heap beyond.
template <typename T>
class Scratch {
public:
    explicit Scratch(size_t size) : data_(local_) {
        if (size > kLocal) {
            heap_.resize(size);
            data_ = heap_.data();
        }
    }
    T* data() { return data_; }

private:
    static constexpr size_t kLocal = 256;
    T local_[kLocal];
    std::vector<T> heap_;
    T* data_;
};

}  // namespace

SimplexTableau::SimplexTableau(int32_t constraintRows, int32_t variables) {
    reset(constraintRows, variables);
}

void SimplexTableau::reset(int32_t constraintRows, int32_t variables) {
    if (constraintRows < 0 || variables < 0)
        throw std::invalid_argument("SimplexTableau: negative problem size");
    rows_ = constraintRows + 2;
    columns_ = variables + 2;
    cells_.assign(static_cast<size_t>(rows_) * columns_, 0.0);
}

int32_t SimplexEnteringColumn(const SimplexTableau& a, std::span<const int32_t> nonBasicIndex,
                              int32_t m, int32_t columns, int32_t phase) {
    const int32_t objectiveRow = phase == SimplexPhaseOne ? m + 1 : 0;
    const int32_t auxiliary = m + columns;
    const double* objective = a[objectiveRow];
    int32_t best = 0;
    double bestScore = 0.0;
    for (int32_t j = 1; j <= columns; ++j) {
        if (!(objective[j] > SimplexZeroTolerance) || nonBasicIndex[j] == auxiliary) continue;
        double sum = 0.0;
        for (int32_t i = 1; i <= m; ++i) sum += std::fabs(a[i][j]);
        if (sum == 0.0) return j;  // no constraint holds this column back
        const double score = objective[j] / sum;
        if (score > bestScore) {
            bestScore = score;
            best = j;
        }
    }
    return best;
}

int32_t SimplexRatioTest(const SimplexTableau& a, int32_t m, int32_t column) {
    int32_t best = 0;
    double bestRatio = SimplexRatioBound;
    for (int32_t i = 1; i <= m; ++i) {
        const double entry = a[i][column];
        if (!(entry > SimplexZeroTolerance)) continue;
        const double ratio = a[i][0] / entry;
        if (ratio < bestRatio) {
            bestRatio = ratio;
            best = i;
        }
    }
    return best;
}

void SimplexPivot(SimplexTableau& a, std::span<int32_t> basicIndex,
                  std::span<int32_t> nonBasicIndex, int32_t lastRow, int32_t lastColumn,
                  int32_t pivotRow, int32_t pivotColumn) {
    double* pivotLine = a[pivotRow];
    const double pivot = pivotLine[pivotColumn];
    // Only the columns where the pivot row is not zero change in the other rows, and only in
    // rows with a non-zero factor: the tableaux of a day are sparse, so this saves most of
    // the work without changing any result.
    Scratch<int32_t> scratch(static_cast<size_t>(lastColumn) + 1);
    int32_t* changing = scratch.data();
    int32_t count = 0;
    for (int32_t j = 0; j <= lastColumn; ++j)
        if (pivotLine[j] != 0.0 && j != pivotColumn) changing[count++] = j;
    for (int32_t i = 0; i <= lastRow; ++i) {
        if (i == pivotRow) continue;
        double* line = a[i];
        const double f = line[pivotColumn] / pivot;
        if (f != 0.0)
            for (int32_t k = 0; k < count; ++k) line[changing[k]] -= f * pivotLine[changing[k]];
        line[pivotColumn] = -f;
    }
    const double inverse = 1.0 / pivot;
    for (int32_t j = 0; j <= lastColumn; ++j) pivotLine[j] *= inverse;
    pivotLine[pivotColumn] = inverse;
    std::swap(basicIndex[pivotRow], nonBasicIndex[pivotColumn]);
}

namespace {

// The largest column in 1..columns whose entry in `row` is not zero, or 0.
int32_t lastNonZeroColumn(const SimplexTableau& a, int32_t row, int32_t columns) {
    for (int32_t k = columns; k >= 1; --k)
        if (std::fabs(a[row][k]) > SimplexZeroTolerance) return k;
    return 0;
}

// State of one solve: the index lists and the bounds of the exchange steps.
struct Solve {
    SimplexTableau& a;
    std::vector<int32_t> indexes;  // basic index (1..m) then non-basic index (1..n + 1)
    std::span<int32_t> basicIndex;
    std::span<int32_t> nonBasicIndex;
    int32_t m;
    int64_t pivotsLeft;

    Solve(SimplexTableau& tableau, int32_t rows, int32_t n, int64_t maxPivots)
        : a(tableau),
          indexes(static_cast<size_t>(rows) + n + 3, 0),
          basicIndex(indexes.data(), static_cast<size_t>(rows) + 1),
          nonBasicIndex(indexes.data() + rows + 1, static_cast<size_t>(n) + 2),
          m(rows),
          pivotsLeft(maxPivots) {}

    // Repeats entering column, ratio test and pivot until no column enters. Returns
    // SimplexSolved when the phase ends, or the failure that stopped it.
    int32_t iterate(int32_t lastRow, int32_t columns, int32_t phase) {
        for (;;) {
            const int32_t c = SimplexEnteringColumn(a, nonBasicIndex, m, columns, phase);
            if (c == 0) return SimplexSolved;
            const int32_t r = SimplexRatioTest(a, m, c);
            if (r == 0) return SimplexUnbounded;
            if (pivotsLeft-- <= 0) return SimplexPivotLimit;
            SimplexPivot(a, basicIndex, nonBasicIndex, lastRow, columns, r, c);
        }
    }
};

void requireFits(const SimplexTableau& a, std::span<double> x, int32_t m1, int32_t m2,
                 int32_t m3, int32_t n) {
    if (m1 < 0 || m2 < 0 || m3 < 0 || n < 0)
        throw std::invalid_argument("Simplex: negative problem size");
    const int64_t m = static_cast<int64_t>(m1) + m2 + m3;
    if (a.rows() < m + 2 || a.columns() < static_cast<int64_t>(n) + 2 ||
        x.size() < static_cast<size_t>(m + n + 2))
        throw std::invalid_argument("Simplex: tableau or output smaller than the problem");
}

}  // namespace

int32_t Simplex(SimplexTableau& a, std::span<double> x, int32_t m1, int32_t m2, int32_t m3,
                int32_t n) {
    return Simplex(a, x, m1, m2, m3, n, SimplexMaxPivots(m1 + m2 + m3, n));
}

int32_t Simplex(SimplexTableau& a, std::span<double> x, int32_t m1, int32_t m2, int32_t m3,
                int32_t n, int64_t maxPivots) {
    requireFits(a, x, m1, m2, m3, n);
    const int32_t m = m1 + m2 + m3;
    Solve s(a, m, n, maxPivots);

    // 1. The >= rows become <= rows.
    for (int32_t i = m1 + 1; i <= m1 + m2; ++i)
        for (int32_t j = 0; j <= n; ++j) a[i][j] = -a[i][j];

    // 2. Slack and surplus variables start basic; equality rows have no basic variable.
    for (int32_t i = 1; i <= m1 + m2; ++i) s.basicIndex[i] = n + i;
    for (int32_t i = m1 + m2 + 1; i <= m; ++i) s.basicIndex[i] = 0;
    for (int32_t j = 1; j <= n; ++j) s.nonBasicIndex[j] = j;

    // Right-hand sides within this of zero count as zero.
    double largestRhs = 1.0;
    for (int32_t i = 1; i <= m; ++i) largestRhs = std::max(largestRhs, std::fabs(a[i][0]));
    const double feasibilityTolerance = SimplexFeasibilityTolerance * largestRhs;

    // 3. Each equality row makes one variable basic; the column of its zero slack is dropped.
    for (int32_t i = m1 + m2 + 1; i <= m; ++i) {
        const int32_t k = lastNonZeroColumn(a, i, n);
        if (k == 0) {
            if (std::fabs(a[i][0]) > feasibilityTolerance) return SimplexInfeasible;
            continue;
        }
        SimplexPivot(a, s.basicIndex, s.nonBasicIndex, m, n, i, k);
        s.nonBasicIndex[k] = s.nonBasicIndex[n];
        for (int32_t r = 0; r <= m; ++r) a[r][k] = a[r][n];
        --n;
    }

    // 4. The auxiliary variable's column.
    const int32_t columns = n + 1;
    const int32_t auxiliary = m + columns;
    s.nonBasicIndex[columns] = auxiliary;

    // 5. The most negative right-hand side, if any, calls for the first phase.
    int32_t r = 0;
    double lowest = 0.0;
    for (int32_t i = 1; i <= m; ++i) {
        if (a[i][0] < lowest) {
            lowest = a[i][0];
            r = i;
        }
    }

    if (r != 0) {
        // 6. Auxiliary objective on row m + 1: maximise minus the auxiliary variable, which
        //    enters at the value that makes every row feasible.
        for (int32_t j = 0; j < columns; ++j) a[m + 1][j] = 0.0;
        for (int32_t i = 1; i <= m; ++i) a[i][columns] = a[i][0] < 0.0 ? -1.0 : 0.0;
        a[0][columns] = 0.0;
        a[m + 1][columns] = -1.0;
        SimplexPivot(a, s.basicIndex, s.nonBasicIndex, m + 1, columns, r, columns);

        // 7. First phase.
        if (const int32_t result = s.iterate(m + 1, columns, SimplexPhaseOne);
            result != SimplexSolved)
            return result;
        for (int32_t i = 1; i <= m; ++i) {
            if (s.basicIndex[i] != auxiliary) continue;
            if (std::fabs(a[i][0]) > feasibilityTolerance) return SimplexInfeasible;
            // Basic at zero: exchange it for any column with a non-zero entry. A row without
            // one is redundant and keeps the auxiliary variable basic at 0; it never enters.
            if (const int32_t k = lastNonZeroColumn(a, i, columns); k != 0)
                SimplexPivot(a, s.basicIndex, s.nonBasicIndex, m + 1, columns, i, k);
            break;
        }
    }

    // 8. Second phase.
    if (const int32_t result = s.iterate(m, columns, SimplexPhaseTwo); result != SimplexSolved)
        return result;

    // 9. Output.
    for (int32_t v = 1; v <= m + columns - 1; ++v) x[v] = 0.0;
    for (int32_t i = 1; i <= m; ++i) x[s.basicIndex[i]] = a[i][0];
    return SimplexSolved;
}
