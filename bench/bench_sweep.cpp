// Concentration sweeps: the model alone (into a sink that keeps nothing) and
// into the three point series of a chart.
#include "model/Sweep.h"

#include <benchmark/benchmark.h>

namespace {

Params Realistic(std::int32_t points)
{
    Params p;
    p.cMax = 20;
    p.points = points;
    p.phys.u01 = p.phys.u02 = 20e-9;
    p.phys.u1 = p.phys.u2 = 10e-9;
    p.phys.K1 = 0.2;
    p.phys.K2 = 0.5;
    p.phys.EOF = 30e-9;
    p.Derive();
    return p;
}

struct Discard {
    double sum = 0;
    void AddTimes(double c, double t1, double t2) { sum += c + t1 + t2; }
    void AddMeasure(double c, double y) { sum += c + y; }
};

void BM_ModelSweep(benchmark::State& state)
{
    const Params p = Realistic(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        Discard sink;
        RunSweep(p, gcTimeDifference, sink);
        benchmark::DoNotOptimize(sink.sum);
    }
    state.SetItemsProcessed(state.iterations() * (state.range(0) + 1));
}
BENCHMARK(BM_ModelSweep)->Arg(21)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
