#include "tracking/Simplex.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

// The exchange step is written as loops down whole columns (see SimplexTableau) that the
// compiler turns into vector instructions; the build compiles this file with -O3 and without
// contracting a * b - c into one fused instruction, so every entry is rounded exactly as the
// plain row-by-row step rounds it. On a processor with AVX2 the loops get a wider copy, chosen
// when the program loads.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define SIMPLEX_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define SIMPLEX_VECTOR_CLONES
#endif

namespace {

// Four doubles, and four masks as comparisons of them give (all ones or zero, lane by lane).
typedef double Lanes __attribute__((vector_size(32)));
typedef int64_t LaneMasks __attribute__((vector_size(32)));

// sum of |column[i]| for i = 1..m, added in row order.
double absoluteSum(const double* column, int32_t m) {
    double sum = 0.0;
    for (int32_t i = 1; i <= m; ++i) sum += std::fabs(column[i]);
    return sum;
}

// The choice among the candidate columns shared by the public step and the solve; `sumOf(j)`
// gives the sum of |entries| of column j in rows 1..m.
template <typename SumOf>
int32_t chooseEnteringColumn(const SimplexTableau& a, std::span<const int32_t> nonBasicIndex, int32_t m,
                             int32_t columns, int32_t phase, SumOf&& sumOf) {
    const auto objective = a[phase == SimplexPhaseOne ? m + 1 : 0];
    const int32_t auxiliary = m + columns;
    int32_t best = 0;
    double bestScore = 0.0;
    for (int32_t j = 1; j <= columns; ++j) {
        const double entry = objective[j];
        if (!(entry > SimplexZeroTolerance) || nonBasicIndex[j] == auxiliary) continue;
        const double sum = sumOf(j);
        if (sum == 0.0) return j;  // no constraint holds this column back
        const double score = entry / sum;
        if (score > bestScore) {
            bestScore = score;
            best = j;
        }
    }
    return best;
}

// Working space of the solve, kept from one call to the next so that a solve allocates nothing
// once the space has grown to the problem's size.
struct Workspace {
    std::vector<double> factors;      // pivot-column entry / pivot (or a ratio), by row
    std::vector<int32_t> changing;    // columns where the pivot row is not zero
    std::vector<double> pivotLine;    // the pivot row's entries in those columns
    int32_t changingCount = 0;
    std::vector<int32_t> candidates;  // columns that may enter
    std::vector<uint64_t> mayEnter;   // one bit a column: the column is a candidate
    std::vector<double> sums;         // sum of |entries| in rows 1..m in any order, by column
    std::vector<unsigned char> known; // sums[j] holds column j's current sum
    std::vector<int32_t> indexes;     // basic index (1..m) then non-basic index (1..n + 1)
    std::vector<double*> columnsChanging;  // the changing columns' entries
    std::vector<uint64_t> rowBits;    // one bit a column: the pivot row's entry is not zero

    void fit(int32_t rows, int32_t columns) {
        const auto grow = [](auto& v, size_t size) {
            if (v.size() < size) v.resize(size);
        };
        grow(factors, static_cast<size_t>(rows) + 3);
        grow(changing, static_cast<size_t>(columns));
        grow(pivotLine, static_cast<size_t>(columns));
        grow(candidates, static_cast<size_t>(columns));
        grow(mayEnter, static_cast<size_t>(columns) / 64 + 1);
        grow(columnsChanging, static_cast<size_t>(columns));
        grow(rowBits, static_cast<size_t>(columns) / 64 + 1);
        grow(sums, static_cast<size_t>(columns));
        grow(known, static_cast<size_t>(columns));
        grow(indexes, static_cast<size_t>(rows) + columns + 1);
    }
};

// f[i] = column[i] / pivot, and column[i] = -f[i], i = 0..rows - 1.
inline __attribute__((always_inline)) void divide(double* __restrict f, double* __restrict column, double pivot,
                                                  int32_t rows) {
    for (int32_t i = 0; i < rows; ++i) {
        f[i] = column[i] / pivot;
        column[i] = -f[i];
    }
}

// Whether 1 / pivot is exact and a normal number: the pivot is a power of two well inside the
// exponent range (most pivots of these programmes are 1 or -1). x * (1 / pivot) is then the
// same real number as x / pivot rounded once, so the same double bit for bit (zeros,
// infinities and NaNs alike), and the multiplication is much the cheaper.
inline bool exactInverse(double pivot) {
    const double magnitude = std::fabs(pivot);
    return (std::bit_cast<uint64_t>(pivot) & ((uint64_t{1} << 52) - 1)) == 0 && magnitude >= 0x1p-1021 &&
           magnitude <= 0x1p1021;
}

// Columns columns[0..N-1] eliminated with their pivot-row entries p[0..N-1], four rows at a
// time: new = f != 0 ? entry - f * p : entry (a row whose factor is zero keeps its entry
// untouched, a -0 stays -0).
template <int N>
inline __attribute__((always_inline)) void eliminateColumns(double* const* columnList, const double* pivotLine,
                                                            const double* f, int32_t quads) {
    // Kept in registers: the stores below could otherwise be taken to change the lists.
    double* columns[N];
    double p[N];
    for (int k = 0; k < N; ++k) columns[k] = columnList[k], p[k] = pivotLine[k];
    for (int32_t b = 0; b < quads; ++b) {
        Lanes factor;
        std::memcpy(&factor, f + 4 * b, sizeof factor);
        const LaneMasks changes = factor != 0.0;
        for (int k = 0; k < N; ++k) {
            Lanes entries;
            std::memcpy(&entries, columns[k] + 4 * b, sizeof entries);
            entries = changes ? entries - factor * p[k] : entries;
            std::memcpy(columns[k] + 4 * b, &entries, sizeof entries);
        }
    }
}

// The column work of one exchange step on rows 0..rows - 1: the factors (pivot column / pivot,
// 0 on the pivot row) and the new pivot column, then every changing column eliminated with its
// pivot-row entry, three columns a pass. The rows are taken up to a multiple of four: the
// factors of the extra rows are 0, so their entries (the top of the next column, or the
// tableau's padding) are written back unchanged.
SIMPLEX_VECTOR_CLONES
void exchangeColumns(double* const* columns, const double* before, int32_t count, double* __restrict f,
                     double* __restrict pivotEntries, double pivot, double inverse, int32_t pivotRow, int32_t rows) {
    if (exactInverse(pivot)) {
        for (int32_t i = 0; i < rows; ++i) {
            f[i] = pivotEntries[i] * inverse;
            pivotEntries[i] = -f[i];
        }
    } else {
        divide(f, pivotEntries, pivot, rows);
    }
    f[pivotRow] = 0.0;
    pivotEntries[pivotRow] = inverse;
    const int32_t quads = (rows + 3) / 4;
    for (int32_t i = rows; i < 4 * quads; ++i) f[i] = 0.0;
    int32_t k = 0;
    for (; k + 2 < count; k += 3) eliminateColumns<3>(columns + k, before + k, f, quads);
    if (count - k == 2) eliminateColumns<2>(columns + k, before + k, f, quads);
    if (count - k == 1) eliminateColumns<1>(columns + k, before + k, f, quads);
}

// The leaving row for the entering column `entries` with right-hand sides `rhs`: the first row
// in 1..m of the smallest ratio rhs[i] / entries[i] among the rows whose entry is above
// SimplexZeroTolerance and whose ratio is below SimplexRatioBound, or 0. Each lane of four
// keeps the first row of its own smallest ratio; the lanes' rows are then merged, so the row
// is the one a walk in row order keeping a strictly smaller ratio finds (a -0 and a 0 tie, as
// they compare equal).
SIMPLEX_VECTOR_CLONES
int32_t leavingRow(const double* entries, const double* rhs, int32_t m) {
    constexpr int kLanes = 4;
    // Most steps are degenerate: a limiting row with a zero right-hand side has a ratio of 0,
    // which no other limiting row undercuts when none has a negative right-hand side, nor a
    // positive one so small (or an entry so large) that its ratio could round to 0. Then the
    // first such row leaves, and no division is needed. Otherwise the ratios are computed.
    {
        constexpr double kSmallestClearRhs = 1e-280;
        constexpr double kLargestClearEntry = 1e20;
        // Walked from the last rows up, so that the last zero met in each lane is its first.
        const int32_t laneRows = m / kLanes * kLanes;
        bool allClear = true;
        int32_t row = 0;
        for (int32_t i = m; i > laneRows; --i) {
            if (!(entries[i] > SimplexZeroTolerance)) continue;
            if (rhs[i] == 0.0) {
                row = i;
            } else if (!(rhs[i] >= kSmallestClearRhs && entries[i] <= kLargestClearEntry)) {
                allClear = false;
            }
        }
        LaneMasks unclear = {0, 0, 0, 0};
        LaneMasks firstZero = {0, 0, 0, 0};
        const LaneMasks step = {kLanes, kLanes, kLanes, kLanes};
        LaneMasks at = LaneMasks{1, 2, 3, 4} + (laneRows - kLanes);
        for (int32_t i = laneRows - kLanes + 1; i >= 1; i -= kLanes, at -= step) {
            Lanes entry, right;
            std::memcpy(&entry, entries + i, sizeof entry);
            std::memcpy(&right, rhs + i, sizeof right);
            const LaneMasks limits = entry > SimplexZeroTolerance;
            const LaneMasks zero = right == 0.0;
            const LaneMasks clear = zero | ((right >= kSmallestClearRhs) & (entry <= kLargestClearEntry));
            unclear |= limits & ~clear;
            firstZero = (limits & zero) ? at : firstZero;
        }
        allClear = allClear && (unclear[0] | unclear[1] | unclear[2] | unclear[3]) == 0;
        for (int k = 0; k < kLanes; ++k)
            if (firstZero[k] != 0 && (row == 0 || firstZero[k] < row)) row = static_cast<int32_t>(firstZero[k]);
        if (allClear && row != 0) return row;
    }
    Lanes smallest = {SimplexRatioBound, SimplexRatioBound, SimplexRatioBound, SimplexRatioBound};
    LaneMasks rows = {0, 0, 0, 0};
    LaneMasks at = {1, 2, 3, 4};
    const LaneMasks step = {kLanes, kLanes, kLanes, kLanes};
    int32_t i = 1;
    for (; i + kLanes - 1 <= m; i += kLanes, at += step) {
        Lanes entry, right;
        std::memcpy(&entry, entries + i, sizeof entry);
        std::memcpy(&right, rhs + i, sizeof right);
        const Lanes ratio = right / entry;
        const LaneMasks better = (entry > SimplexZeroTolerance) & (ratio < smallest);
        smallest = better ? ratio : smallest;
        rows = better ? at : rows;
    }
    double best = SimplexRatioBound;
    int32_t bestRow = 0;
    for (int k = 0; k < kLanes; ++k) {
        if (smallest[k] < best || (smallest[k] == best && rows[k] != 0 && rows[k] < bestRow)) {
            best = smallest[k];
            bestRow = static_cast<int32_t>(rows[k]);
        }
    }
    for (; i <= m; ++i) {
        if (!(entries[i] > SimplexZeroTolerance)) continue;
        const double ratio = rhs[i] / entries[i];
        if (ratio < best) {
            best = ratio;
            bestRow = i;
        }
    }
    return bestRow;
}

// The sum of |column[i]| for i = 1..m added in any order (vector lanes): not the bits of the
// row-order sum, but within a known fraction of it.
SIMPLEX_VECTOR_CLONES
double interleavedAbsoluteSum(const double* column, int32_t m) {
    // Two sums of four lanes each, so that the additions overlap.
    const LaneMasks magnitude = {INT64_MAX, INT64_MAX, INT64_MAX, INT64_MAX};
    Lanes first = {0, 0, 0, 0};
    Lanes second = {0, 0, 0, 0};
    int32_t i = 1;
    for (; i + 7 <= m; i += 8) {
        LaneMasks low, high;
        std::memcpy(&low, column + i, sizeof low);
        std::memcpy(&high, column + i + 4, sizeof high);
        first += (Lanes)(low & magnitude);
        second += (Lanes)(high & magnitude);
    }
    const Lanes lanes = first + second;
    double sum = (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
    for (; i <= m; ++i) sum += std::fabs(column[i]);
    return sum;
}

// bits[j / 64] bit j % 64 set where entries[j * stride] is not zero, j = 0..last.
SIMPLEX_VECTOR_CLONES
void rowNonZeroBits(uint64_t* __restrict bits, const double* __restrict entries, size_t stride, int32_t last) {
    for (int32_t word = 0; word <= last / 64; ++word) {
        const int32_t end = std::min(last, word * 64 + 63);
        uint64_t collected = 0;
        for (int32_t j = word * 64; j <= end; ++j)
            collected |= uint64_t{entries[static_cast<size_t>(j) * stride] != 0.0} << (j - word * 64);
        bits[word] = collected;
    }
}

// The exchange step of the solve: the plain step's arithmetic, column by column.
// `w.known` loses the columns whose entries change.
void pivotColumns(SimplexTableau& a, Workspace& w, std::span<int32_t> basicIndex, std::span<int32_t> nonBasicIndex,
                  int32_t lastRow, int32_t lastColumn, int32_t pivotRow, int32_t pivotColumn) {
    double* pivotEntries = a.column(pivotColumn);
    const double pivot = pivotEntries[pivotRow];
    const double inverse = 1.0 / pivot;
    // One walk along the pivot row: the columns that change elsewhere, with the row's entries
    // as they were; then the row scaled. A zero times a positive finite number keeps its bits,
    // so with such an inverse (every pivot of the two phases has one) only the non-zero
    // entries are written.
    const auto line = a[pivotRow];
    const bool plainScale = inverse > 0.0 && inverse < std::numeric_limits<double>::infinity();
    int32_t* changing = w.changing.data();
    double* before = w.pivotLine.data();
    double** columns = w.columnsChanging.data();
    uint64_t* nonZero = w.rowBits.data();
    const int32_t words = lastColumn / 64 + 1;
    rowNonZeroBits(nonZero, a.column(0) + pivotRow, a.rows(), lastColumn);
    nonZero[pivotColumn / 64] &= ~(uint64_t{1} << (pivotColumn % 64));
    int32_t count = 0;
    for (int32_t word = 0; word < words; ++word)
        for (uint64_t bits = nonZero[word]; bits != 0; bits &= bits - 1) {
            const int32_t j = word * 64 + std::countr_zero(bits);
            double* column = a.column(j);
            const double entry = column[pivotRow];
            changing[count] = j;
            before[count] = entry;
            columns[count] = column;
            if (plainScale) column[pivotRow] = entry * inverse;
            w.known[static_cast<size_t>(j)] = 0;
            ++count;
        }
    if (!plainScale)
        for (int32_t j = 0; j <= lastColumn; ++j) line[j] *= inverse;

    // Row p keeps its scaled entries: its factor is 0.
    double* f = w.factors.data();
    exchangeColumns(columns, before, count, f, pivotEntries, pivot, inverse, pivotRow, lastRow + 1);
    w.known[static_cast<size_t>(pivotColumn)] = 0;
    w.changingCount = count;
    std::swap(basicIndex[pivotRow], nonBasicIndex[pivotColumn]);
}

}  // namespace

SimplexTableau::SimplexTableau(int32_t constraintRows, int32_t variables) {
    reset(constraintRows, variables);
}

void SimplexTableau::reset(int32_t constraintRows, int32_t variables) {
    if (constraintRows < 0 || variables < 0)
        throw std::invalid_argument("SimplexTableau: negative problem size");
    rows_ = constraintRows + 2;
    columns_ = variables + 2;
    // Three more entries after the last column: the exchange step works four rows at a time.
    cells_.assign(static_cast<size_t>(rows_) * columns_ + 3, 0.0);
}

int32_t SimplexEnteringColumn(const SimplexTableau& a, std::span<const int32_t> nonBasicIndex,
                              int32_t m, int32_t columns, int32_t phase) {
    return chooseEnteringColumn(a, nonBasicIndex, m, columns, phase,
                                [&](int32_t j) { return absoluteSum(a.column(j), m); });
}

int32_t SimplexRatioTest(const SimplexTableau& a, int32_t m, int32_t column) {
    return leavingRow(a.column(column), a.column(0), m);
}

void SimplexPivot(SimplexTableau& a, std::span<int32_t> basicIndex,
                  std::span<int32_t> nonBasicIndex, int32_t lastRow, int32_t lastColumn,
                  int32_t pivotRow, int32_t pivotColumn) {
    Workspace w;
    w.fit(lastRow + 1, lastColumn + 1);
    pivotColumns(a, w, basicIndex, nonBasicIndex, lastRow, lastColumn, pivotRow, pivotColumn);
}

namespace {

// The largest column in 1..columns whose entry in `row` is not zero, or 0.
int32_t lastNonZeroColumn(const SimplexTableau& a, int32_t row, int32_t columns) {
    const auto line = a[row];
    for (int32_t k = columns; k >= 1; --k)
        if (std::fabs(line[k]) > SimplexZeroTolerance) return k;
    return 0;
}

// Bounds within which the interleaved sums and their scores keep their relative accuracy
// (normal numbers, no overflow), and a generous bound on that accuracy for one row: eight
// times the rounding unit.
constexpr double kSmallestClearSum = 1e-290;
constexpr double kSmallestClearScore = 1e-290;
constexpr double kLargestClearScore = 1e290;
constexpr double kRoundingMargin = 0x1p-50;

// State of one solve: the index lists and the bounds of the exchange steps.
//
// The entering column is chosen as SimplexEnteringColumn chooses it, faster. Each candidate's
// sum of |entries| is first added in interleaved parts (vector instructions), which differs
// from the row-order sum by at most a relative (m - 1) * 2^-53 or so, both being that close to
// the exact sum. When the best score so found beats every other by more than that margin, or
// when there is only one candidate, the row-order sums would choose the same column, and they
// are not needed; otherwise (near ties, huge or tiny values) they are added as the public step
// adds them. A column's interleaved sum is kept until an exchange step changes the column: the
// other columns keep their entries (the pivot row's zeros stay zeros).
struct Solve {
    SimplexTableau& a;
    Workspace& w;
    std::span<int32_t> basicIndex;
    std::span<int32_t> nonBasicIndex;
    int32_t m;
    int64_t pivotsLeft;

    Solve(SimplexTableau& tableau, Workspace& workspace, int32_t rows, int32_t n, int64_t maxPivots)
        : a(tableau),
          w(workspace),
          basicIndex(w.indexes.data(), static_cast<size_t>(rows) + 1),
          nonBasicIndex(w.indexes.data() + rows + 1, static_cast<size_t>(n) + 2),
          m(rows),
          pivotsLeft(maxPivots) {}

    // The candidates of the phase running, if any: a column's standing changes only when an
    // exchange step changes its objective entry or the variable it stands for.
    int32_t objectiveRow = -1;
    int32_t auxiliary = 0;

    void markCandidate(int32_t j) {
        const bool candidate = (a[objectiveRow][j] > SimplexZeroTolerance) & (nonBasicIndex[j] != auxiliary);
        uint64_t& word = w.mayEnter[static_cast<size_t>(j) / 64];
        const uint64_t bit = uint64_t{1} << (j % 64);
        word = candidate ? word | bit : word & ~bit;
    }

    void pivot(int32_t lastRow, int32_t lastColumn, int32_t pivotRow, int32_t pivotColumn) {
        pivotColumns(a, w, basicIndex, nonBasicIndex, lastRow, lastColumn, pivotRow, pivotColumn);
        if (objectiveRow < 0) return;
        const int32_t* changing = w.changing.data();
        for (int32_t k = 0; k < w.changingCount; ++k)
            if (changing[k] != 0) markCandidate(changing[k]);
        markCandidate(pivotColumn);
    }

    int32_t enteringColumn(int32_t columns, int32_t phase) {
        const auto objective = a[objectiveRow];
        int32_t* candidates = w.candidates.data();
        int32_t count = 0;
        for (int32_t word = 0; word <= columns / 64; ++word)
            for (uint64_t bits = w.mayEnter[static_cast<size_t>(word)]; bits != 0; bits &= bits - 1)
                candidates[count++] = word * 64 + std::countr_zero(bits);
        if (count == 0) return 0;

        // Scores from the interleaved sums; a zero sum is zero in any order.
        const double margin = (m + 4) * kRoundingMargin;
        int32_t best = -1;
        double bestScore = 0.0;
        double runnerUp = 0.0;   // the best score among the others
        bool clear = true;
        for (int32_t k = 0; k < count; ++k) {
            const auto j = static_cast<size_t>(candidates[k]);
            if (!w.known[j]) {
                w.sums[j] = interleavedAbsoluteSum(a.column(candidates[k]), m);
                w.known[j] = 1;
            }
            const double sum = w.sums[j];
            if (sum == 0.0) return candidates[k];   // no constraint holds this column back
            if (count == 1) {
                // The only candidate enters when its score is clearly above 0 and within the
                // clear bounds; the products bound the score without dividing.
                const double entry = objective[candidates[k]];
                if (margin < 0.25 && sum >= kSmallestClearSum && entry >= 2 * kSmallestClearScore * sum &&
                    entry <= 0.5 * kLargestClearScore * sum)
                    return candidates[k];
                return chooseEnteringColumn(a, nonBasicIndex, m, columns, phase,
                                            [this](int32_t j) { return absoluteSum(a.column(j), m); });
            }
            const double score = objective[candidates[k]] / sum;
            clear = clear && sum >= kSmallestClearSum && score >= kSmallestClearScore && score <= kLargestClearScore;
            if (best < 0 || score > bestScore) {
                runnerUp = best < 0 ? 0.0 : bestScore;
                best = k;
                bestScore = score;
            } else {
                runnerUp = std::max(runnerUp, score);
            }
        }
        if (clear && margin < 0.25 && runnerUp * (1 + margin) < bestScore * (1 - margin)) return candidates[best];
        return chooseEnteringColumn(a, nonBasicIndex, m, columns, phase,
                                    [this](int32_t j) { return absoluteSum(a.column(j), m); });
    }

    int32_t ratioTest(int32_t column) { return leavingRow(a.column(column), a.column(0), m); }

    // Repeats entering column, ratio test and pivot until no column enters. Returns
    // SimplexSolved when the phase ends, or the failure that stopped it.
    int32_t iterate(int32_t lastRow, int32_t columns, int32_t phase) {
        // The tableau changed since the last phase.
        std::fill_n(w.known.begin(), columns + 1, 0);
        objectiveRow = phase == SimplexPhaseOne ? m + 1 : 0;
        auxiliary = m + columns;
        std::fill_n(w.mayEnter.begin(), columns / 64 + 1, 0);
        for (int32_t j = 1; j <= columns; ++j) markCandidate(j);
        const int32_t result = exchangeUntilDone(lastRow, columns, phase);
        objectiveRow = -1;
        return result;
    }

    int32_t exchangeUntilDone(int32_t lastRow, int32_t columns, int32_t phase) {
        for (;;) {
            const int32_t c = enteringColumn(columns, phase);
            if (c == 0) return SimplexSolved;
            const int32_t r = ratioTest(c);
            if (r == 0) return SimplexUnbounded;
            if (pivotsLeft-- <= 0) return SimplexPivotLimit;
            pivot(lastRow, columns, r, c);
        }
    }
};

// column j's entries first..last negated, for columns 0..lastColumn of a block with columns
// `stride` entries apart.
SIMPLEX_VECTOR_CLONES
void negateRows(double* cells, size_t stride, int32_t first, int32_t last, int32_t lastColumn) {
    for (int32_t j = 0; j <= lastColumn; ++j) {
        double* column = cells + static_cast<size_t>(j) * stride;
        for (int32_t i = first; i <= last; ++i) column[i] = -column[i];
    }
}

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
    static thread_local Workspace workspace;
    workspace.fit(a.rows(), a.columns());
    Solve s(a, workspace, m, n, maxPivots);

    // 1. The >= rows become <= rows.
    negateRows(a.column(0), static_cast<size_t>(a.rows()), m1 + 1, m1 + m2, n);

    // 2. Slack and surplus variables start basic; equality rows have no basic variable.
    for (int32_t i = 1; i <= m1 + m2; ++i) s.basicIndex[i] = n + i;
    for (int32_t i = m1 + m2 + 1; i <= m; ++i) s.basicIndex[i] = 0;
    for (int32_t j = 1; j <= n; ++j) s.nonBasicIndex[j] = j;

    // Right-hand sides within this of zero count as zero.
    const double* rhs = a.column(0);
    double largestRhs = 1.0;
    for (int32_t i = 1; i <= m; ++i) largestRhs = std::max(largestRhs, std::fabs(rhs[i]));
    const double feasibilityTolerance = SimplexFeasibilityTolerance * largestRhs;

    // 3. Each equality row makes one variable basic; the column of its zero slack is dropped.
    for (int32_t i = m1 + m2 + 1; i <= m; ++i) {
        const int32_t k = lastNonZeroColumn(a, i, n);
        if (k == 0) {
            if (std::fabs(rhs[i]) > feasibilityTolerance) return SimplexInfeasible;
            continue;
        }
        s.pivot(m, n, i, k);
        s.nonBasicIndex[k] = s.nonBasicIndex[n];
        std::copy_n(a.column(n), m + 1, a.column(k));
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
        if (rhs[i] < lowest) {
            lowest = rhs[i];
            r = i;
        }
    }

    if (r != 0) {
        // 6. Auxiliary objective on row m + 1: maximise minus the auxiliary variable, which
        //    enters at the value that makes every row feasible.
        for (int32_t j = 0; j < columns; ++j) a[m + 1][j] = 0.0;
        double* auxiliaryColumn = a.column(columns);
        for (int32_t i = 1; i <= m; ++i) auxiliaryColumn[i] = rhs[i] < 0.0 ? -1.0 : 0.0;
        auxiliaryColumn[0] = 0.0;
        auxiliaryColumn[m + 1] = -1.0;
        s.pivot(m + 1, columns, r, columns);

        // 7. First phase.
        if (const int32_t result = s.iterate(m + 1, columns, SimplexPhaseOne);
            result != SimplexSolved)
            return result;
        for (int32_t i = 1; i <= m; ++i) {
            if (s.basicIndex[i] != auxiliary) continue;
            if (std::fabs(rhs[i]) > feasibilityTolerance) return SimplexInfeasible;
            // Basic at zero: exchange it for any column with a non-zero entry. A row without
            // one is redundant and keeps the auxiliary variable basic at 0; it never enters.
            if (const int32_t k = lastNonZeroColumn(a, i, columns); k != 0) s.pivot(m + 1, columns, i, k);
            break;
        }
    }

    // 8. Second phase.
    if (const int32_t result = s.iterate(m, columns, SimplexPhaseTwo); result != SimplexSolved)
        return result;

    // 9. Output.
    for (int32_t v = 1; v <= m + columns - 1; ++v) x[v] = 0.0;
    for (int32_t i = 1; i <= m; ++i) x[s.basicIndex[i]] = rhs[i];
    return SimplexSolved;
}
