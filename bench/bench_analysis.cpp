// The separation analysis of one dependency: the Rs curve, both optima, the
// baseline intervals and the warnings, as a window would recompute them after
// every sweep. Items are analyses.
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
