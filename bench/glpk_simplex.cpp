// `Simplex` against GLPK's glp_simplex on the programmes of random realistic days (5, 20 and
// 50 open rows; modes 1 to 3). Each iteration solves the next programme of a pool of 64 from
// its data: for `Simplex` a copy of the built tableau and the solve, for GLPK loading the
// problem, glp_simplex (no presolver) and reading the solution back. The counter
// max_rel_diff is the largest relative difference of the two optima over the pool.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "../tests/glpk/GlpkProgramme.h"

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

void reportPool(benchmark::State& state, const Pool& p) {
    state.counters["max_rel_diff"] = p.maxRelDiff;
    state.counters["solved"] = p.solved;
    state.counters["agreed"] = p.agreed ? 1 : 0;
}

void BM_Simplex(benchmark::State& state) {
    const Pool& p = pool(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    programmes::Programme work = p.programmes.front();
    std::vector<double> x(SimplexOutputSize(work.m(), work.n));
    size_t next = 0;
    for (auto _ : state) {
        const programmes::Programme& built = p.programmes[next++ % p.programmes.size()];
        work.a = built.a;
        benchmark::DoNotOptimize(Simplex(work.a, x, built.m1, built.m2, built.m3, built.n));
        benchmark::ClobberMemory();
    }
    reportPool(state, p);
}

void BM_Glpk(benchmark::State& state) {
    const Pool& p = pool(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    size_t next = 0;
    for (auto _ : state) {
        const programmes::Programme& built = p.programmes[next++ % p.programmes.size()];
        benchmark::DoNotOptimize(programmes::solveWithGlpk(built).optimum);
    }
    reportPool(state, p);
}

void cases(benchmark::internal::Benchmark* b) {
    b->ArgNames({"mode", "n"});
    for (int mode = 1; mode <= 3; ++mode)
        for (int n : {5, 20, 50}) b->Args({mode, n});
}

}  // namespace

BENCHMARK(BM_Simplex)->Apply(cases);
BENCHMARK(BM_Glpk)->Apply(cases);

BENCHMARK_MAIN();
