// The separation analysis of one dependency: the Rs curve, both optima, the
// baseline intervals and the warnings, as a window would recompute them after
// every sweep. Items are analyses.
#include "model/Analysis.h"

#include <benchmark/benchmark.h>

namespace {

// The realistic set of the tests: equal mobilities 20 free and 5 complexed,
// EOF 40 (1e-9 m^2/(V s)), K 0.2 and 0.3 per mM, 0 to 50 mM in 101 points.
Params Realistic(double pressure)
{
    Params p;
    p.cMax = 50;
    p.points = 101;
    p.phys.u01 = p.phys.u02 = 20e-9;
    p.phys.u1 = p.phys.u2 = 5e-9;
    p.phys.K1 = 0.2;
    p.phys.K2 = 0.3;
    p.phys.EOF = 40e-9;
    p.phys.D01 = p.phys.D02 = 5e-10;
    p.phys.D1 = p.phys.D2 = 3e-10;
    p.phys.Pressure = pressure;
    p.Derive();
    return p;
}

void BM_Analyse(benchmark::State& state)
{
    const Params p = Realistic(static_cast<double>(state.range(0)));
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
    const PeakFigures f = AnalyseAt(Realistic(0), 4);
    for (auto _ : state) {
        auto trace = Electropherogram(f, 600);
        benchmark::DoNotOptimize(trace);
    }
}
BENCHMARK(BM_Electropherogram)->Unit(benchmark::kMicrosecond);

}  // namespace
