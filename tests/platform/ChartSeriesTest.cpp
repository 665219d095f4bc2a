#include "platform/Chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct TTrackedSeries : TPointSeries {
    TTrackedSeries(TComponent* owner, int* deaths) : TPointSeries(owner), Deaths(deaths) {}
    ~TTrackedSeries() override { ++*Deaths; }
    int* Deaths;
};

TPointSeries* NewSeries(TChart& chart, TVertAxis axis = aLeftAxis)
{
    auto* s = new TPointSeries(&chart);
    s->SetVertAxis(axis);
    chart.AddSeries(s);
    return s;
}

}  // namespace

TEST(ChartSeriesPoints, AddXYStoresPointsAndKeepsLeastAndGreatest)
{
    TPointSeries s(nullptr);
    EXPECT_EQ(s.Count(), 0);
    EXPECT_EQ(s.MinXValue(), 0);
    EXPECT_EQ(s.MaxYValue(), 0);
    EXPECT_EQ(s.AddXY(1, 10), 0);
    EXPECT_EQ(s.AddXY(2, -3), 1);
    EXPECT_EQ(s.AddXY(5, 4), 2);
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s.XValue(1), 2);
    EXPECT_EQ(s.YValue(1), -3);
    EXPECT_EQ(s.MinXValue(), 1);
    EXPECT_EQ(s.MaxXValue(), 5);
    EXPECT_EQ(s.MinYValue(), -3);
    EXPECT_EQ(s.MaxYValue(), 10);
    s.Clear();
    EXPECT_EQ(s.Count(), 0);
    EXPECT_EQ(s.MinYValue(), 0);
    s.AddXY(7, 8);
    EXPECT_EQ(s.MinXValue(), 7);
    EXPECT_EQ(s.MaxYValue(), 8);
    EXPECT_THROW(s.XValue(1), EListError);
    EXPECT_THROW(s.YValue(-1), EListError);
}

TEST(ChartSeriesPoints, XValuesStayAscendingUnlessOrderIsOff)
{
    TPointSeries s(nullptr);
    s.AddXY(1, 1);
    s.AddXY(3, 3);
    EXPECT_EQ(s.AddXY(2, 2, "two", clBlue), 1);
    EXPECT_EQ(s.AddXY(3, 4), 3);  // equal x goes after the existing one
    EXPECT_EQ(s.GetXValues(), (std::vector<double>{1, 2, 3, 3}));
    EXPECT_EQ(s.GetYValues(), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(s.Labels(1), "two");
    EXPECT_EQ(s.PointColor(1), clBlue);
    EXPECT_EQ(s.PointColor(2), clTeeColor);
    TPointSeries n(nullptr);
    n.SetXValuesOrder(loNone);
    n.AddXY(3, 0);
    EXPECT_EQ(n.AddXY(1, 0), 1);
}

TEST(ChartSeriesPoints, PointsWithoutOwnColourFollowTheSeriesColour)
{
    TPointSeries s(nullptr);
    s.SetSeriesColor(clGreen);
    s.AddXY(0, 0);
    s.AddXY(1, 1, "", clTeeColor);
    EXPECT_TRUE(s.GetPointColors().empty());  // nothing stored for default colours
    s.AddXY(2, 2, "", clBlue);
    s.AddXY(3, 3);
    EXPECT_EQ(s.GetPointColors().size(), 4u);
    s.SetSeriesColor(clMaroon);
    EXPECT_EQ(s.ValueColor(0), clMaroon);
    EXPECT_EQ(s.ValueColor(1), clMaroon);
    EXPECT_EQ(s.ValueColor(2), clBlue);
    EXPECT_EQ(s.ValueColor(3), clMaroon);
    EXPECT_EQ(s.Labels(0), "");
}

TEST(ChartSeriesPoints, NonFiniteValuesAreKeptButNotCountedInRanges)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    TPointSeries s(nullptr);
    s.AddXY(1, nan);
    EXPECT_FALSE(s.HasFiniteValues());
    s.AddXY(2, 5);
    s.AddXY(3, inf);
    s.AddXY(nan, 9);
    EXPECT_EQ(s.Count(), 4);
    EXPECT_EQ(s.MinXValue(), 2);
    EXPECT_EQ(s.MaxXValue(), 2);
    EXPECT_EQ(s.MaxYValue(), 5);
}

TEST(ChartOwnership, DestroyingTheChartDestroysItsOwnSeriesAndReleasesOthers)
{
    int deaths = 0;
    TComponent form(nullptr);
    auto* chart = new TChart(&form);
    auto* owned = new TTrackedSeries(chart, &deaths);
    auto* ownedDetached = new TTrackedSeries(chart, &deaths);
    auto* foreign = new TTrackedSeries(&form, &deaths);
    chart->AddSeries(owned);
    chart->AddSeries(foreign);
    EXPECT_EQ(chart->SeriesCount(), 2);
    EXPECT_EQ(ownedDetached->GetParentChart(), nullptr);
    delete chart;
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(foreign->GetParentChart(), nullptr);
    foreign->AddXY(1, 1);  // still usable
    EXPECT_EQ(form.ComponentCount(), 1);
}

TEST(ChartOwnership, ADestroyedSeriesLeavesTheChart)
{
    TChart chart(nullptr);
    auto* a = NewSeries(chart);
    auto* b = NewSeries(chart);
    auto* c = NewSeries(chart);
    EXPECT_EQ(chart.IndexOfSeries(c), 2);
    delete b;
    ASSERT_EQ(chart.SeriesCount(), 2);
    EXPECT_EQ(chart.Series(0), a);
    EXPECT_EQ(chart.Series(1), c);
    EXPECT_EQ(chart.ComponentCount(), 2);
    chart.RemoveSeries(a);  // detached, not destroyed
    EXPECT_EQ(chart.SeriesCount(), 1);
    EXPECT_EQ(a->GetParentChart(), nullptr);
    EXPECT_EQ(chart.ComponentCount(), 2);
    EXPECT_THROW(chart.Series(1), EListError);
}

TEST(ChartOwnership, AttachingToAnotherChartMovesTheSeries)
{
    TChart first(nullptr), second(nullptr);
    auto* s = NewSeries(first);
    s->SetParentChart(&second);
    EXPECT_EQ(first.SeriesCount(), 0);
    EXPECT_EQ(second.SeriesCount(), 1);
    second.AddSeries(s);  // already there: nothing changes
    EXPECT_EQ(second.SeriesCount(), 1);
}

TEST(ChartRanges, AutomaticRangesComeFromActiveSeriesOnEachAxis)
{
    TChart chart(nullptr);
    auto* left = NewSeries(chart);
    auto* right = NewSeries(chart, aRightAxis);
    auto* hidden = NewSeries(chart);
    left->AddXY(0, 3);
    left->AddXY(50, 7);
    right->AddXY(10, 0.2);
    right->AddXY(60, 0.9);
    hidden->AddXY(-100, -100);
    hidden->AddXY(100, 100);
    hidden->SetActive(false);
    EXPECT_EQ(chart.GetBottomAxis()->GetMinimum(), 0);
    EXPECT_EQ(chart.GetBottomAxis()->GetMaximum(), 60);
    EXPECT_EQ(chart.GetLeftAxis()->GetMinimum(), 3);
    EXPECT_EQ(chart.GetLeftAxis()->GetMaximum(), 7);
    EXPECT_EQ(chart.GetRightAxis()->GetMinimum(), 0.2);
    EXPECT_EQ(chart.GetRightAxis()->GetMaximum(), 0.9);
    // New points and a shown series widen the ranges at once.
    left->AddXY(55, 8);
    EXPECT_EQ(chart.GetLeftAxis()->GetMaximum(), 8);
    hidden->SetActive(true);
    EXPECT_EQ(chart.GetBottomAxis()->GetMinimum(), -100);
    EXPECT_EQ(chart.GetLeftAxis()->GetMaximum(), 100);
    EXPECT_EQ(chart.GetRightAxis()->GetMaximum(), 0.9);
    // Moving a series to the other axis moves its values with it.
    hidden->SetVertAxis(aRightAxis);
    EXPECT_EQ(chart.GetLeftAxis()->GetMaximum(), 8);
    EXPECT_EQ(chart.GetRightAxis()->GetMaximum(), 100);
}

TEST(ChartRanges, OverlaySeriesDoNotCountAndClearedSeriesReleaseTheirRange)
{
    TChart chart(nullptr);
    auto* data = NewSeries(chart);
    data->AddXY(1, 1);
    data->AddXY(2, 4);
    auto* cross = new TFastLineSeries(&chart);
    cross->SetOverlay(true);
    chart.AddSeries(cross);
    cross->AddXY(-50, 2);
    cross->AddXY(50, 2);
    EXPECT_EQ(chart.GetBottomAxis()->GetMinimum(), 1);
    EXPECT_EQ(chart.GetBottomAxis()->GetMaximum(), 2);
    data->Clear();
    data->AddXY(1.5, 2);
    data->AddXY(1.6, 3);
    EXPECT_EQ(chart.GetBottomAxis()->GetMinimum(), 1.5);
    EXPECT_EQ(chart.GetLeftAxis()->GetMaximum(), 3);
}

TEST(ChartRanges, FlatAndMissingDataStillGiveARange)
{
    TChart chart(nullptr);
    EXPECT_LT(chart.GetLeftAxis()->GetMinimum(), chart.GetLeftAxis()->GetMaximum());
    auto* s = NewSeries(chart);
    for (int i = 0; i <= 21; ++i) s->AddXY(i * 50.0 / 21, 0);
    EXPECT_EQ(chart.GetLeftAxis()->GetMinimum(), -1);
    EXPECT_EQ(chart.GetLeftAxis()->GetMaximum(), 1);
    EXPECT_EQ(chart.GetBottomAxis()->GetMaximum(), 50);
    // The right axis has no series: a default range, usable for conversions.
    EXPECT_EQ(chart.GetRightAxis()->GetMinimum(), 0);
    EXPECT_EQ(chart.GetRightAxis()->GetMaximum(), 1);
    chart.SetBounds(0, 0, 500, 300);
    const int y0 = chart.GetLeftAxis()->CalcYPosValue(0);
    EXPECT_GT(y0, chart.GetLeftAxis()->CalcYPosValue(1));
    EXPECT_LT(y0, chart.GetLeftAxis()->CalcYPosValue(-1));
}

TEST(ChartRanges, FixedRangesSurviveNewPointsUntilAutomaticAgain)
{
    TChart chart(nullptr);
    auto* s = NewSeries(chart);
    s->AddXY(0, 0);
    s->AddXY(10, 10);
    TChartAxis* left = chart.GetLeftAxis();
    left->SetMinMax(8, 2);  // either order
    EXPECT_FALSE(left->GetAutomatic());
    EXPECT_EQ(left->GetMinimum(), 2);
    EXPECT_EQ(left->GetMaximum(), 8);
    s->AddXY(20, 50);
    EXPECT_EQ(left->GetMaximum(), 8);
    EXPECT_EQ(chart.GetBottomAxis()->GetMaximum(), 20);
    left->SetMinMax(std::numeric_limits<double>::quiet_NaN(), 1);  // ignored
    EXPECT_EQ(left->GetMinimum(), 2);
    left->SetAutomatic(true);
    EXPECT_EQ(left->GetMaximum(), 50);
    // Switching automatic off keeps what is shown.
    left->SetAutomatic(false);
    s->AddXY(30, 80);
    EXPECT_EQ(left->GetMinimum(), 0);
    EXPECT_EQ(left->GetMaximum(), 50);
    // A fixed flat range (zoom on a flat curve) is shown widened.
    left->SetMinMax(0, 0);
    EXPECT_EQ(left->GetMinimum(), -1);
    EXPECT_EQ(left->GetMaximum(), 1);
}

TEST(ChartLegend, EntriesAreExactlyTheFlaggedSeriesInOrder)
{
    TChart chart(nullptr);
    auto* a = NewSeries(chart);
    auto* b = NewSeries(chart);
    auto* c = NewSeries(chart);
    auto* d = NewSeries(chart);
    b->SetShowInLegend(false);
    d->SetShowInLegend(false);
    c->SetActive(false);  // hidden series keep their entry
    ASSERT_EQ(chart.GetLegend()->Count(), 2);
    EXPECT_EQ(chart.GetLegend()->Series(0), a);
    EXPECT_EQ(chart.GetLegend()->Series(1), c);
    delete a;
    ASSERT_EQ(chart.GetLegend()->Count(), 1);
    EXPECT_EQ(chart.GetLegend()->Series(0), c);
}

TEST(ChartZoom, ZoomSetsAllThreeAxesToTheRectangleAndUndoReturns)
{
    TChart chart(nullptr);
    chart.SetBounds(0, 0, 800, 500);
    auto* l = NewSeries(chart);
    auto* r = NewSeries(chart, aRightAxis);
    l->AddXY(0, 0);
    l->AddXY(100, 10);
    r->AddXY(0, -1);
    r->AddXY(100, 1);
    TChartAxis* bottom = chart.GetBottomAxis();
    TChartAxis* left = chart.GetLeftAxis();
    TChartAxis* right = chart.GetRightAxis();
    const TRect plot = chart.GetChartRect();
    const TRect zoom(plot.Left + 100, plot.Top + 50, plot.Left + 300, plot.Top + 200);
    const double x0 = bottom->CalcPosPoint(zoom.Left), x1 = bottom->CalcPosPoint(zoom.Right);
    const double y0 = left->CalcPosPoint(zoom.Bottom), y1 = left->CalcPosPoint(zoom.Top);
    const double r0 = right->CalcPosPoint(zoom.Bottom), r1 = right->CalcPosPoint(zoom.Top);
    chart.ZoomRect(zoom);
    EXPECT_TRUE(chart.GetZoomed());
    EXPECT_DOUBLE_EQ(bottom->GetMinimum(), x0);
    EXPECT_DOUBLE_EQ(bottom->GetMaximum(), x1);
    EXPECT_DOUBLE_EQ(left->GetMinimum(), y0);
    EXPECT_DOUBLE_EQ(left->GetMaximum(), y1);
    EXPECT_DOUBLE_EQ(right->GetMinimum(), r0);
    EXPECT_DOUBLE_EQ(right->GetMaximum(), r1);
    // The zoomed rectangle now fills the plot (whose labels may have other widths now).
    const TRect zoomed = chart.GetChartRect();
    EXPECT_EQ(bottom->CalcXPosValue(x0), zoomed.Left);
    EXPECT_EQ(bottom->CalcXPosValue(x1), zoomed.Right - 1);
    EXPECT_EQ(left->CalcYPosValue(y1), zoomed.Top);
    EXPECT_EQ(left->CalcYPosValue(y0), zoomed.Bottom - 1);
    // A second zoom, then undo one at a time.
    chart.ZoomRect(TRect(plot.Left + 10, plot.Top + 10, plot.Left + 20, plot.Top + 20));
    chart.UndoZoom();
    EXPECT_DOUBLE_EQ(bottom->GetMinimum(), x0);
    EXPECT_DOUBLE_EQ(right->GetMaximum(), r1);
    chart.UndoZoom();
    EXPECT_FALSE(chart.GetZoomed());
    EXPECT_TRUE(bottom->GetAutomatic());
    EXPECT_EQ(bottom->GetMaximum(), 100);
    EXPECT_EQ(left->GetMaximum(), 10);
    EXPECT_EQ(right->GetMinimum(), -1);
    chart.UndoZoom();  // nothing left to undo
    EXPECT_EQ(bottom->GetMaximum(), 100);
}

TEST(ChartZoom, UndoReturnsToFixedRangesSetBeforeTheZoom)
{
    TChart chart(nullptr);
    chart.SetBounds(0, 0, 800, 500);
    auto* l = NewSeries(chart);
    l->AddXY(0, 0);
    l->AddXY(100, 10);
    chart.GetBottomAxis()->SetMinMax(20, 40);
    chart.ZoomRect(TRect(200, 100, 400, 300));
    chart.UndoZoom();
    EXPECT_FALSE(chart.GetBottomAxis()->GetAutomatic());
    EXPECT_EQ(chart.GetBottomAxis()->GetMinimum(), 20);
    EXPECT_EQ(chart.GetBottomAxis()->GetMaximum(), 40);
    EXPECT_EQ(chart.GetLeftAxis()->GetMaximum(), 10);
}

TEST(ChartZoom, RangesSetByProgramEndTheZoomHistory)
{
    // The chart's double-click: axes back to automatic, then undo the zoom.
    TChart chart(nullptr);
    chart.SetBounds(0, 0, 800, 500);
    auto* l = NewSeries(chart);
    l->AddXY(0, 0);
    l->AddXY(100, 10);
    chart.GetLeftAxis()->SetMinMax(2, 3);  // a zoom on one dependency
    chart.ZoomRect(TRect(200, 100, 400, 300));
    chart.ZoomRect(TRect(200, 100, 400, 300));
    chart.GetLeftAxis()->SetAutomatic(true);
    chart.GetBottomAxis()->SetAutomatic(true);
    chart.GetRightAxis()->SetAutomatic(true);
    chart.UndoZoom();
    EXPECT_FALSE(chart.GetZoomed());
    EXPECT_EQ(chart.GetBottomAxis()->GetMinimum(), 0);
    EXPECT_EQ(chart.GetBottomAxis()->GetMaximum(), 100);
    EXPECT_EQ(chart.GetLeftAxis()->GetMaximum(), 10);
    // An empty rectangle zooms nothing.
    chart.ZoomRect(TRect(300, 200, 300, 250));
    EXPECT_FALSE(chart.GetZoomed());
}

TEST(ChartZoom, TheRightAxisShowsOnlyForSeriesPlottedAgainstIt)
{
    TChart chart(nullptr);
    chart.SetBounds(0, 0, 800, 500);
    auto* l = NewSeries(chart);
    l->AddXY(0, 0);
    l->AddXY(100, 10);
    const int right = chart.GetChartRect().Right;
    EXPECT_GT(right, 800 - 40);
    chart.ZoomRect(TRect(200, 100, 400, 300));
    EXPECT_GT(chart.GetChartRect().Right, 800 - 40);
    auto* r = NewSeries(chart, aRightAxis);
    r->SetActive(false);
    EXPECT_LT(chart.GetChartRect().Right, right - 20);
}
