// The chart of a design-space map: cells in the colours of their values, the y range either way
// up, the axes in the units shown, the contours, the outline and the robust point.
#include "project/DesignMapChart.h"
#include "tests/project/ChiralPair.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TColorGridSeries* GridOf(TChart& Chart)
{
    for (int k = 0; k < Chart.SeriesCount(); ++k)
        if (auto* g = dynamic_cast<TColorGridSeries*>(Chart.Series(k))) return g;
    return nullptr;
}

TChartSeries* SeriesTitled(TChart& Chart, const UnicodeString& Start)
{
    for (int k = 0; k < Chart.SeriesCount(); ++k)
        if (Chart.Series(k)->GetTitle().rfind(Start, 0) == 0) return Chart.Series(k);
    return nullptr;
}

// Pieces of a line series: runs of points between NaN gaps.
int Pieces(const TChartSeries* S)
{
    int pieces = 0;
    bool in = false;
    for (int k = 0; k < S->Count(); ++k) {
        const bool point = std::isfinite(S->XValue(k));
        if (point && !in) ++pieces;
        in = point;
    }
    return pieces;
}

}  // namespace

// Every cell shows its grid point's value in the scale's colour, whichever way the y range
// runs and whatever value is chosen; the axes carry the condition's shown unit.
TEST(DesignMapChart, CellsShowTheirGridPointsValue)
{
    const Params p = ChiralPair();
    const struct {
        TMapCondition Y;
        double From, To;
        int Value;
        const char* Title;
        double Shown;
    } rows[] = {
        {TMapCondition::pH, 3, 6, mvRs, "pH", 1},
        {TMapCondition::pH, 6, 3, mvT2, "pH", 1},  // the range downwards
        {TMapCondition::Voltage, 10000, 30000, mvDt, "Voltage / kV", 0.001},
        {TMapCondition::Detector, 0.5, 0.2, mvMeasure + int(gcSelectivity), "Detector length / cm", 100},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Title);
        DesignSpaceSettings s = ChiralPairSettings(13, 9);
        s.Y = r.Y;
        s.yFrom = r.From;
        s.yTo = r.To;
        const DesignMap map = ComputeDesignMap(p, s);
        const GoodRegion region = FindGoodRegion(map);
        TChart chart(nullptr);
        DressDesignMapChart(&chart);
        ShowDesignMap(&chart, {&map, &region, nullptr, r.Value});
        TColorGridSeries* grid = GridOf(chart);
        ASSERT_NE(grid, nullptr);
        ASSERT_EQ(grid->Columns(), 13);
        ASSERT_EQ(grid->Rows(), 9);
        const TChartColorScale* scale = chart.GetColorScale();
        EXPECT_TRUE(scale->GetVisible());
        int defined = 0;
        for (int j = 0; j < 9; ++j)
            for (int i = 0; i < 13; ++i) {
                const double v = MapShownValue(map, nullptr, r.Value, i, j);
                defined += std::isfinite(v);
                // The cell over the grid point's place on the chart's axes.
                int ci = -1, cj = -1;
                ASSERT_TRUE(grid->CellAt(MapAxisX(map, map.x[i]), map.y[j] * r.Shown, ci, cj));
                EXPECT_EQ(ci, i);
                EXPECT_EQ(grid->CellColor(ci, cj), scale->ColorOf(v)) << i << "," << j;
            }
        EXPECT_GT(defined, 13 * 9 / 2);
        EXPECT_EQ(chart.GetLeftAxis()->GetTitle()->GetCaption(), r.Title);
        EXPECT_EQ(chart.GetLeftAxis()->GetMinimum(), std::min(r.From, r.To) * r.Shown);
        EXPECT_EQ(chart.GetLeftAxis()->GetMaximum(), std::max(r.From, r.To) * r.Shown);
        EXPECT_EQ(scale->GetTitle(), MapShownTitle(r.Value));
    }
}

TEST(DesignMapChart, ShownValuesAndTheirUnits)
{
    const DesignMap map = ComputeDesignMap(ChiralPair(), ChiralPairSettings(5, 4));
    ProbabilityMap probability;
    probability.P.assign(20, Figure(0.25));
    probability.P[3] = std::nullopt;
    const MapPoint& at = map.At(2, 1);
    ASSERT_TRUE(at.Value[mvT2] && at.Value[mvRs]);
    const struct {
        int Value;
        const ProbabilityMap* P;
        int i, j;
        double Expected;
    } rows[] = {
        {mvT2, nullptr, 2, 1, *at.Value[mvT2] / 60},
        {mvMeasure + int(gcMobilityDifference), nullptr, 2, 1,
         *at.Value[mvMeasure + int(gcMobilityDifference)] * Measures[gcMobilityDifference].Shown},
        {MapProbability, &probability, 2, 1, 0.25},
        {MapProbability, &probability, 3, 0, NAN},  // undefined there
        {MapProbability, nullptr, 2, 1, NAN},       // no uncertainties
    };
    for (const auto& r : rows) {
        const double v = MapShownValue(map, r.P, r.Value, r.i, r.j);
        if (std::isnan(r.Expected)) EXPECT_TRUE(std::isnan(v)) << r.Value;
        else EXPECT_DOUBLE_EQ(v, r.Expected) << r.Value;
    }
}

// The contours at Rs = 1.5 and at the longest run, the outline and the robust point are drawn
// where the model puts them; a logarithmic map shows lg c.
TEST(DesignMapChart, ContoursOutlineAndRobustPoint)
{
    const Params p = ChiralPair();
    for (bool log : {false, true}) {
        SCOPED_TRACE(log);
        DesignSpaceSettings s = ChiralPairSettings(41, 31);
        s.Analysis.Scale = log ? AnalysisOptions::asLog : AnalysisOptions::asLinear;
        const DesignMap map = ComputeDesignMap(p, s);
        ASSERT_EQ(map.Scale.Log, log);
        const GoodRegion region = FindGoodRegion(map);
        ASSERT_TRUE(region.Robust);
        TChart chart(nullptr);
        DressDesignMapChart(&chart);
        ShowDesignMap(&chart, {&map, &region, nullptr, mvRs});
        const TChartSeries* rs = SeriesTitled(chart, "Rs = 1.5");
        const TChartSeries* run = SeriesTitled(chart, "longest run");
        const TChartSeries* outline = SeriesTitled(chart, "Rs \u2265 1.5 within");
        const TChartSeries* robust = SeriesTitled(chart, "most robust: ");
        ASSERT_TRUE(rs && run && outline && robust);
        EXPECT_EQ(Pieces(rs), int(MapContours(map, mvRs, BaselineResolution).size()));
        EXPECT_EQ(Pieces(run), int(MapContours(map, mvRun, s.Analysis.LongestRun).size()));
        EXPECT_EQ(Pieces(outline), int(region.Outline.size()));
        // A closed outline ends where it starts.
        EXPECT_DOUBLE_EQ(outline->XValue(0), outline->XValue(int(region.Outline[0].Points.size())));
        EXPECT_EQ(robust->GetTitle(), "most robust: " + RobustText(*region.Robust, TMapCondition::pH));
        EXPECT_DOUBLE_EQ(robust->XValue(0), log ? std::log10(region.Robust->At.x) : region.Robust->At.x);
        EXPECT_DOUBLE_EQ(MapConcentration(map, MapAxisX(map, 7.5)), 7.5);
        EXPECT_EQ(chart.GetBottomAxis()->GetTitle()->GetCaption(),
                  log ? "lg(selector concentration / mM)" : "Selector concentration / mM");
        EXPECT_DOUBLE_EQ(chart.GetBottomAxis()->GetMinimum(), MapAxisX(map, map.x.front()));
    }
    // Without a limit there is no run contour; a cancelled map leaves the chart empty.
    DesignSpaceSettings s = ChiralPairSettings(9, 9, 0);
    DesignMap map = ComputeDesignMap(p, s);
    TChart chart(nullptr);
    ShowDesignMap(&chart, {&map, nullptr, nullptr, mvRs});
    EXPECT_EQ(SeriesTitled(chart, "longest run"), nullptr);
    map.Cancelled = true;
    ShowDesignMap(&chart, {&map, nullptr, nullptr, mvRs});
    EXPECT_EQ(chart.SeriesCount(), 0);
    EXPECT_FALSE(chart.GetColorScale()->GetVisible());
    // A single concentration over an empty y range is still a picture: one cell.
    Params single = p;
    single.cMin = single.cMax = 5;
    s.yFrom = s.yTo = 4.5;
    const DesignMap one = ComputeDesignMap(single, s);
    ShowDesignMap(&chart, {&one, nullptr, nullptr, mvRs});
    ASSERT_NE(GridOf(chart), nullptr);
    EXPECT_EQ(GridOf(chart)->Columns(), 1);
    EXPECT_EQ(GridOf(chart)->Rows(), 1);
    EXPECT_EQ(GridOf(chart)->CellColor(0, 0), chart.GetColorScale()->ColorOf(*one.At(0, 0).Rs()));
}
