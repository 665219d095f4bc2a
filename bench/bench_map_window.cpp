// The design-space window's map painted: the 101 x 101 heat map of the chiral pair with its
// colour scale, contours, outline and robust point put on the chart and rendered as the window
// paints it (the cached plot drawn anew), once with the map computed as well. Items are paints.
#include "project/DesignMapChart.h"
#include "tests/project/ChiralPair.h"

#include <benchmark/benchmark.h>

namespace {

void Paint(TChart& Chart, TBitmap& Screen)
{
    Chart.InvalidatePlot();
    Chart.PaintTo(Screen.GetCanvas(), TRect(0, 0, Screen.GetWidth(), Screen.GetHeight()));
}

// The chart of a computed map: series, scale and a full paint.
void BM_MapPainted(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const DesignMap map = ComputeDesignMap(ChiralPair(), ChiralPairSettings(n, n));
    const GoodRegion region = FindGoodRegion(map);
    TChart chart(nullptr);
    chart.SetBounds(0, 0, DesignMapChartWidth, DesignMapChartHeight);
    DressDesignMapChart(&chart);
    TBitmap screen(DesignMapChartWidth, DesignMapChartHeight);
    for (auto _ : state) {
        ShowDesignMap(&chart, {&map, &region, nullptr, mvRs});
        Paint(chart, screen);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MapPainted)->ArgName("n")->Arg(101)->Arg(201)->Unit(benchmark::kMillisecond)->UseRealTime();

// Only the plot painted again (a resize or a new value range): the grid's cells and the lines.
void BM_MapRepainted(benchmark::State& state)
{
    const DesignMap map = ComputeDesignMap(ChiralPair(), ChiralPairSettings(101, 101));
    const GoodRegion region = FindGoodRegion(map);
    TChart chart(nullptr);
    chart.SetBounds(0, 0, DesignMapChartWidth, DesignMapChartHeight);
    DressDesignMapChart(&chart);
    ShowDesignMap(&chart, {&map, &region, nullptr, mvRs});
    TBitmap screen(DesignMapChartWidth, DesignMapChartHeight);
    for (auto _ : state) Paint(chart, screen);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MapRepainted)->Unit(benchmark::kMillisecond)->UseRealTime();

// What a change of the window's settings costs until the map shows: computed, region found,
// drawn and painted.
void BM_MapComputedAndPainted(benchmark::State& state)
{
    const Params p = ChiralPair();
    const DesignSpaceSettings s = ChiralPairSettings(101, 101);
    TChart chart(nullptr);
    chart.SetBounds(0, 0, DesignMapChartWidth, DesignMapChartHeight);
    DressDesignMapChart(&chart);
    TBitmap screen(DesignMapChartWidth, DesignMapChartHeight);
    for (auto _ : state) {
        const DesignMap map = ComputeDesignMap(p, s);
        const GoodRegion region = FindGoodRegion(map);
        ShowDesignMap(&chart, {&map, &region, nullptr, mvRs});
        Paint(chart, screen);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MapComputedAndPainted)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
