// The curves as text: 1,000 dependencies of 101 points each as a CSV (the shown columns, then
// all values with the analysis at every point), as clipboard rows, and the analysis table of
// 100 dependencies. Items are rows.
#include "project/CurvesText.h"

#include "bench/main/RealisticSet.h"
#include "model/Sweep.h"

#include <benchmark/benchmark.h>

namespace {

// The realistic set, 0 to 50 mM in 101 concentrations, with a name that needs quotes and
// texts with Windows-1252 letters.
std::vector<DependencyRecord> Realistic(int count)
{
    DependencyRecord r;
    r.name = "Naprox\xE8ne, run";
    r.analyte1 = "(S)-Naprox\xE8ne";
    r.analyte2 = "(R)-Naprox\xE8ne";
    r.selector = "\xDF-CD 25 mM";
    r.Params = RealisticSet();
    r.Params.points = 100;  // 101 concentrations
    return std::vector<DependencyRecord>(static_cast<size_t>(count), r);
}

void Run(benchmark::State& state, CurvesTextOptions o)
{
    const std::vector<DependencyRecord> records = Realistic(1000);
    size_t bytes = 0;
    for (auto _ : state) {
        std::string text = CurvesText(records, o);
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations() * 1000 * 101);
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_CurvesCsv(benchmark::State& state)
{
    CurvesTextOptions o;
    o.GraphChoice = gcMobilityDifference;
    o.DecimalSeparator = state.range(0) ? L',' : L'.';
    Run(state, o);
}
BENCHMARK(BM_CurvesCsv)->ArgName("comma")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CurvesCsvAllValues(benchmark::State& state)
{
    CurvesTextOptions o;
    o.AllValues = true;
    o.Analysis = {1e-3, 0.5e-3};
    Run(state, o);
}
BENCHMARK(BM_CurvesCsvAllValues)->Unit(benchmark::kMillisecond);

void BM_CurvesTabs(benchmark::State& state)
{
    CurvesTextOptions o;
    o.Layout = CurvesLayout::Tabs;
    Run(state, o);
}
BENCHMARK(BM_CurvesTabs)->Unit(benchmark::kMillisecond);

void BM_AnalysisTable(benchmark::State& state)
{
    const std::vector<DependencyRecord> records = Realistic(100);
    for (auto _ : state) {
        std::string text = AnalysisTable(records, CurvesTextOptions());
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_AnalysisTable)->Unit(benchmark::kMillisecond);

}  // namespace
