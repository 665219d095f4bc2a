// Concentration sweeps: the model alone (into a sink that keeps nothing) and
// into the three point series of a chart. Items are concentrations (points per
// curve).
#include "model/Record.h"
#include "model/Sweep.h"
#include "platform/Chart.h"

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

// Whole sweeps of one record into its three series, as the window runs them.
void BM_RecordSweep(benchmark::State& state)
{
    TChart chart(nullptr);
    DependencyRecord record;
    record.Params = Realistic(static_cast<std::int32_t>(state.range(0)));
    record.SeriesSet.Create(&chart, clRed, true);
    for (auto _ : state)
        record.Sweep(gcMobilityDifference);
    state.SetItemsProcessed(state.iterations() * record.SeriesSet.t1Series->Count());
    state.counters["sweeps_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RecordSweep)->Arg(21)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace

