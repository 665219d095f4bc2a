// Chart repaint with 1,000 dependencies (3,000 point series of 101 points) at 1156 x 440:
// the full repaint (plot rendered again) against the cross-hair repaint (cached plot, overlay
// only), the full repaint with eight selected dependencies drawn on top, with and without leaving
// out the markers painted over, and the cost of adding points.
#include "platform/Chart.h"
#include "platform/Forms.h"
#include "project/DependencyChart.h"
#include "ui/FormLook.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

struct TBenchChart {
    TChart Chart{nullptr};
    TFastLineSeries* Horiz;
    TFastLineSeries* Vert;
    TBitmap Target{1156, 440};

    explicit TBenchChart(int Dependencies)
    {
        Chart.SetBounds(0, 0, 1156, 440);
        DressDependencyChart(&Chart);
        Chart.GetTitle()->GetText()->Put(0, "/home/user/projects/separation.ini");
        Chart.GetRightAxis()->GetTitle()->SetCaption("Time difference / min");
        for (int d = 0; d < Dependencies; ++d) {
            const TColor colour = RGB(235 - d % 7 * 20, 235 - d % 5 * 30, 235 - d % 3 * 60);
            TPointSeries* s[3];
            const TSeriesPointerStyle styles[3] = {psTriangle, psDownTriangle, psCircle};
            for (int k = 0; k < 3; ++k) {
                s[k] = new TPointSeries(&Chart);
                s[k]->GetPointer()->SetStyle(styles[k]);
                s[k]->GetPointer()->SetSize(4);
                s[k]->SetSeriesColor(colour);
                s[k]->SetShowInLegend(d == 0);
                if (k == 2) s[k]->SetVertAxis(aRightAxis);
                Chart.AddSeries(s[k]);
            }
            const double K1 = 0.1 + d * 0.003, K2 = 0.2 + d * 0.002;
            for (int i = 0; i <= 100; ++i) {
                const double c = i * 0.5;
                const double t1 = 4 + 3 * c * K1 / (1 + c * K1);
                const double t2 = 4 + 3 * c * K2 / (1 + c * K2);
                s[0]->AddXY(c, t1);
                s[1]->AddXY(c, t2);
                s[2]->AddXY(c, std::fabs(t2 - t1));
            }
        }
        Horiz = NewCrossHairSeries(&Chart);
        Vert = NewCrossHairSeries(&Chart);
        Paint();
    }

    void Paint() { Chart.PaintTo(Target.GetCanvas(), TRect(0, 0, 1156, 440)); }

    // What the window does on a mouse move: rebuild the two lines at the pointer.
    void MoveCrossHair(int X, int Y)
    {
        TChartAxis* b = Chart.GetBottomAxis();
        TChartAxis* l = Chart.GetLeftAxis();
        Horiz->Clear();
        Vert->Clear();
        const double xv = b->CalcPosPoint(X), yv = l->CalcPosPoint(Y);
        Horiz->AddXY(b->GetMinimum(), yv);
        Horiz->AddXY(b->GetMaximum(), yv);
        Vert->AddXY(xv, l->GetMinimum());
        Vert->AddXY(xv, l->GetMaximum());
        Paint();
    }
};

void BM_FullRepaint(benchmark::State& State)
{
    TBenchChart b(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        b.Chart.InvalidatePlot();
        b.Paint();
    }
    State.counters["series"] = b.Chart.SeriesCount() - 2;
}

// Rows 7 to 14 selected: their series drawn above the others; with argument 1 every marker drawn
// (the plot of before, where markers painted over by later ones were drawn too).
void BM_FullRepaintSelectedOnTop(benchmark::State& State)
{
    TBenchChart b(1000);
    const std::size_t from = TChart::MarkerCoverFrom;
    if (State.range(0) == 1)
        TChart::MarkerCoverFrom = SIZE_MAX;
    std::vector<TChartSeries*> selected;
    for (int i = 3 * 6; i < 3 * 14 && i < b.Chart.SeriesCount() - 2; ++i)
        selected.push_back(b.Chart.Series(i));
    b.Chart.DrawOnTop(selected);
    for (auto _ : State) {
        b.Chart.InvalidatePlot();
        b.Paint();
    }
    TChart::MarkerCoverFrom = from;
}

void BM_CrossHairRepaint(benchmark::State& State)
{
    TBenchChart b(static_cast<int>(State.range(0)));
    const int renders = b.Chart.PlotRenderCount();
    int i = 0;
    for (auto _ : State) {
        b.MoveCrossHair(200 + i % 600, 100 + i % 250);
        ++i;
    }
    if (b.Chart.PlotRenderCount() != renders) State.SkipWithError("the cross-hair rendered the plot");
}

// The same through the control on a shown form: the windows layer's repaint of the chart's
// surface (background, the chart's Paint, the widget's image) as a mouse move causes it.
void BM_CrossHairOnScreen(benchmark::State& State)
{
    TForm form(nullptr);
    form.SetClientWidth(1156);
    form.SetClientHeight(440);
    TBenchChart b(static_cast<int>(State.range(0)));
    b.Chart.SetParent(&form);
    form.Show();
    Application->ProcessMessages();
    b.Chart.Repaint();
    const int renders = b.Chart.PlotRenderCount();
    int i = 0;
    for (auto _ : State) {
        b.MoveCrossHair(200 + i % 600, 100 + i % 250);
        b.Chart.Update();
        ++i;
    }
    if (b.Chart.PlotRenderCount() != renders) State.SkipWithError("the cross-hair rendered the plot");
    b.Chart.SetParent(nullptr);
}

void BM_AddXY(benchmark::State& State)
{
    TChart chart(nullptr);
    auto* s = new TPointSeries(&chart);
    chart.AddSeries(s);
    for (auto _ : State) {
        s->Clear();
        for (int i = 0; i < 1000000; ++i) s->AddXY(i * 0.5, i * 0.25);
        benchmark::DoNotOptimize(s->Count());
    }
    State.SetItemsProcessed(State.iterations() * 1000000);
}

}  // namespace

BENCHMARK(BM_FullRepaint)->Arg(1)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaintSelectedOnTop)->ArgName("every_marker")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrossHairRepaint)->Arg(1)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrossHairOnScreen)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddXY)->Unit(benchmark::kMillisecond);

