// The design-space map of a chiral pair over the selector concentration and the pH: the grid,
// the Rs = 1.5 and longest-run contours and the good region with its robust point, as the window
// computes them after every change of the settings; and the Monte Carlo band of Rs, 1,000 draws
// over the analysis' curve. Items are maps and bands.
#include "model/DesignSpace.h"
#include "model/Uncertainty.h"

#include "bench/main/RealisticSet.h"

#include <benchmark/benchmark.h>

namespace {

// The realistic set as two weak bases (pKa 7.2) whose ionised forms carry its mobilities, their
// constants differing at low pH: a map over pH 5 to 9 and 0 to 50 mM.
Params PhPair()
{
    Params p = RealisticSet();
    p.applypH = true;
    p.pH = 7;
    for (PhParams* a : {&p.a1, &p.a2}) {
        a->pKa = 7.2;
        a->lu0 = 20e-9, a->luCS = 5e-9;
        a->hu0 = 0, a->huCS = 0;
        a->hK = 0.05;
    }
    p.a1.lK = 0.2;
    p.a2.lK = 0.3;
    p.Derive();
    return p;
}

void BM_MapWithContours(benchmark::State& state)
{
    const Params p = PhPair();
    DesignSpaceSettings s = DefaultDesignSpace(p, TMapCondition::pH);
    s.nx = s.ny = static_cast<int>(state.range(0));
    s.Analysis.LongestRun = 600;
    s.Analysis.InjectionPlug = 1e-3;
    for (auto _ : state) {
        const DesignMap map = ComputeDesignMap(p, s);
        auto rs = MapContours(map, mvRs, BaselineResolution);
        auto run = MapContours(map, mvRun, s.Analysis.LongestRun);
        const GoodRegion region = FindGoodRegion(map);
        benchmark::DoNotOptimize(rs);
        benchmark::DoNotOptimize(run);
        benchmark::DoNotOptimize(region);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MapWithContours)->ArgName("n")->Arg(101)->Arg(201)->Unit(benchmark::kMillisecond)->UseRealTime();

// Uncertain constants (2 %) correlated as a joint fit leaves them, 1,000 draws, 201 points.
void BM_RsBand(benchmark::State& state)
{
    const Params p = RealisticSet();
    Uncertainties u;
    u.u[unK1] = 0.004;
    u.u[unK2] = 0.006;
    u.u[unU1] = u.u[unU2] = 0.1e-9;
    u.SetRho(unK1, unK2, 0.6);
    const std::vector<double> c = ScaleConcentrations(AnalysisScale(p), 201);
    for (auto _ : state) {
        const RsBand band = ComputeRsBand(p, u, {}, c);
        benchmark::DoNotOptimize(band);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RsBand)->Unit(benchmark::kMillisecond)->UseRealTime();

// P(Rs >= 1.5) over a 51 x 51 map: 1,000 draws at each of its 2,601 points.
void BM_ProbabilityMap(benchmark::State& state)
{
    const Params p = PhPair();
    DesignSpaceSettings s = DefaultDesignSpace(p, TMapCondition::pH);
    s.nx = s.ny = 51;
    Uncertainties u;
    u.u[unK1] = 0.004;
    u.u[unK2] = 0.006;
    for (auto _ : state) {
        const ProbabilityMap map = ComputeProbabilityMap(p, s, u);
        benchmark::DoNotOptimize(map);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ProbabilityMap)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
