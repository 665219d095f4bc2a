// The separation analysis of one dependency: the Rs curve, both optima, the
// baseline intervals, the reversals (roots of a quadratic) and the warnings, as a
// window would recompute them after every sweep; also on a logarithmic scan of
// constants around 1E4 per mM under a time limit. Items are analyses.
#include "model/Analysis.h"

#include "bench/main/RealisticSet.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Analyse(benchmark::State& state)
{
    const Params p = RealisticSet(static_cast<double>(state.range(0)));
    const AnalysisOptions o{1e-3, 0.5e-3};
    for (auto _ : state) {
        SeparationAnalysis a = Analyse(p, o);
        benchmark::DoNotOptimize(a);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Analyse)->ArgName("pressure_Pa")->Arg(0)->Arg(5000)->Unit(benchmark::kMillisecond);

// Constants of 1E4 and 1.2E4 per mM: the range 0 to 50 mM is scanned in lg c,
// under a limit of 10 min.
void BM_AnalyseLogScan(benchmark::State& state)
{
    Params p = RealisticSet();
    p.phys.K1 = 1e4, p.phys.K2 = 1.2e4;
    AnalysisOptions o{1e-3, 0.5e-3};
    o.LongestRun = 600;
    for (auto _ : state) {
        SeparationAnalysis a = Analyse(p, o);
        benchmark::DoNotOptimize(a);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AnalyseLogScan)->Unit(benchmark::kMillisecond);

// The electropherogram of one concentration, redrawn on every click of the Rs chart.
void BM_Electropherogram(benchmark::State& state)
{
    const PeakFigures f = AnalyseAt(RealisticSet(), 4);
    for (auto _ : state) {
        auto trace = Electropherogram(f, 600);
        benchmark::DoNotOptimize(trace);
    }
}
BENCHMARK(BM_Electropherogram)->Unit(benchmark::kMicrosecond);

}  // namespace
