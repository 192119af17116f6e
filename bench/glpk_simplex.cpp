// `Simplex` against GLPK's glp_simplex on the programmes of random realistic days (5, 20 and
// 50 open rows; modes 1 to 3), each case a pool of 64 programmes. GLPK runs in four settings
// (primal or dual method, presolver on or off) so that it is compared at its best.
//
// The solvers take turns on the same pool: one iteration solves the whole pool with each
// solver in turn (the first solver changes from one iteration to the next), timing each pass.
// A change of machine load then reaches every solver alike, and the ratios are the medians of
// the per-iteration ratios. A solve is timed from the day's data: for `Simplex` a copy of the
// built tableau and the solve, for GLPK loading the problem, glp_simplex and reading the
// solution back.
//
// Counters: us_<solver> the median time of one solve; best_glpk_ratio the median ratio of the
// fastest GLPK setting of the iteration to `Simplex`; agreed 1 when `Simplex` and GLPK (primal,
// no presolver) reach the same outcome on every programme, max_rel_diff the largest relative
// difference of their optima.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <map>
#include <utility>

#include "GlpkProgramme.h"

namespace {

struct Pool {
    std::vector<programmes::Programme> programmes;
    double maxRelDiff = 0;
    int solved = 0;
    bool agreed = true;
};

const Pool& pool(int mode, int n) {
    static std::map<std::pair<int, int>, Pool> pools;
    Pool& p = pools[{mode, n}];
    if (!p.programmes.empty()) return p;
    std::mt19937_64 rng(1000 * mode + n);
    for (int t = 0; t < 64; ++t) {
        programmes::Programme built = programmes::build(mode, programmes::realisticDay(rng, n));
        const programmes::GlpkSolution reference = programmes::solveWithGlpk(built);
        programmes::Programme work = built;
        std::vector<double> x(SimplexOutputSize(work.m(), work.n));
        const int32_t result = Simplex(work.a, x, work.m1, work.m2, work.m3, work.n);
        p.agreed = p.agreed && result == reference.result;
        if (result == SimplexSolved && reference.result == SimplexSolved) {
            ++p.solved;
            p.maxRelDiff = std::max(p.maxRelDiff, std::fabs(-work.a[0][0] - reference.optimum) /
                                                      std::max(1.0, std::fabs(reference.optimum)));
        }
        p.programmes.push_back(std::move(built));
    }
    return p;
}

// The solvers compared: `Simplex`, then GLPK in each setting.
constexpr int kSolvers = 5;
const char* const kSolverNames[kSolvers] = {"simplex", "glpk_primal", "glpk_primal_presolve", "glpk_dual",
                                            "glpk_dual_presolve"};
const programmes::GlpkSettings kGlpkSettings[kSolvers] = {
    {}, {GLP_PRIMAL, false}, {GLP_PRIMAL, true}, {GLP_DUAL, false}, {GLP_DUAL, true}};

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    const size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + mid, values.end());
    return values[mid];
}

// Seconds taken by `solver` to solve every programme of the pool once.
double solvePool(int solver, const Pool& p, programmes::Programme& work, std::vector<double>& x) {
    const auto start = std::chrono::steady_clock::now();
    for (const programmes::Programme& built : p.programmes) {
        if (solver == 0) {
            work.a = built.a;
            benchmark::DoNotOptimize(Simplex(work.a, x, built.m1, built.m2, built.m3, built.n));
            benchmark::ClobberMemory();
        } else {
            benchmark::DoNotOptimize(programmes::solveWithGlpk(built, kGlpkSettings[solver]).optimum);
        }
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_SimplexAgainstGlpk(benchmark::State& state) {
    const Pool& p = pool(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    programmes::Programme work = p.programmes.front();
    std::vector<double> x(SimplexOutputSize(work.m(), work.n));
    std::array<std::vector<double>, kSolvers> times;
    std::vector<double> bestRatios;
    int first = 0;
    for (auto _ : state) {
        std::array<double, kSolvers> round{};
        for (int k = 0; k < kSolvers; ++k) {
            const int solver = (first + k) % kSolvers;
            round[solver] = solvePool(solver, p, work, x);
        }
        first = (first + 1) % kSolvers;
        for (int s = 0; s < kSolvers; ++s) times[s].push_back(round[s]);
        bestRatios.push_back(*std::min_element(round.begin() + 1, round.end()) / round[0]);
    }
    const double solves = static_cast<double>(p.programmes.size());
    for (int s = 0; s < kSolvers; ++s)
        state.counters[std::string("us_") + kSolverNames[s]] = median(times[s]) / solves * 1e6;
    state.counters["best_glpk_ratio"] = median(bestRatios);
    state.counters["max_rel_diff"] = p.maxRelDiff;
    state.counters["solved"] = p.solved;
    state.counters["agreed"] = p.agreed ? 1 : 0;
}

void cases(benchmark::internal::Benchmark* b) {
    b->ArgNames({"mode", "n"});
    for (int mode = 1; mode <= 3; ++mode)
        for (int n : {5, 20, 50}) b->Args({mode, n});
}

}  // namespace

BENCHMARK(BM_SimplexAgainstGlpk)->Apply(cases)->Unit(benchmark::kMillisecond)->MinTime(1.0);

BENCHMARK_MAIN();
