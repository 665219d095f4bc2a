// The series set of a dependency on a real chart, and sweeping a record into it.
#include "model/Record.h"
#include "model/Sweep.h"
#include "platform/Chart.h"
#include "platform/Series.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class SeriesSetTest : public ::testing::Test {
protected:
    std::unique_ptr<TChart> chart = std::make_unique<TChart>(nullptr);
};

TEST_F(SeriesSetTest, CreateGivesThreeStyledSeries)
{
    SeriesSet set;
    set.Create(chart.get(), 0x00AABBCC, true);
    ASSERT_EQ(chart->SeriesCount(), 3);
    EXPECT_EQ(chart->Series(0), set.t1Series);
    EXPECT_EQ(chart->Series(1), set.t2Series);
    EXPECT_EQ(chart->Series(2), set.MeasureSeries);
    EXPECT_EQ(set.t1Series->GetOwner(), chart.get());

    EXPECT_EQ(set.t1Series->GetPointer()->GetStyle(), psTriangle);
    EXPECT_EQ(set.t2Series->GetPointer()->GetStyle(), psDownTriangle);
    EXPECT_EQ(set.MeasureSeries->GetPointer()->GetStyle(), psCircle);
    for (TPointSeries* s : {set.t1Series, set.t2Series, set.MeasureSeries}) {
        EXPECT_EQ(s->GetPointer()->GetHorizSize(), 4);
        EXPECT_EQ(s->GetPointer()->GetVertSize(), 4);
        EXPECT_TRUE(s->GetShowInLegend());
        EXPECT_EQ(s->GetSeriesColor(), 0x00AABBCCu);
        EXPECT_EQ(s->GetPen()->GetColor(), 0x00AABBCCu);
    }
    EXPECT_EQ(set.t1Series->GetTitle(), "t1 [min]");
    EXPECT_EQ(set.t2Series->GetTitle(), "t2 [min]");
    EXPECT_EQ(set.MeasureSeries->GetTitle(), "R");
    EXPECT_EQ(set.t1Series->GetVertAxis(), aLeftAxis);
    EXPECT_EQ(set.t2Series->GetVertAxis(), aLeftAxis);
    EXPECT_EQ(set.MeasureSeries->GetVertAxis(), aRightAxis);
    EXPECT_EQ(set.colour, 0x00AABBCCu);

    SeriesSet quiet;
    quiet.Create(chart.get(), clBlue, false);
    EXPECT_FALSE(quiet.t1Series->GetShowInLegend());
    EXPECT_FALSE(quiet.MeasureSeries->GetShowInLegend());
}

TEST_F(SeriesSetTest, CreateReplacesTheOldSeries)
{
    SeriesSet set;
    set.Create(chart.get(), clRed, true);
    set.t1Series->AddXY(1, 2);
    set.t1Series->SetName("OldT1");
    set.MeasureSeries->SetName("OldMeasure");
    set.Create(chart.get(), clGreen, false);
    EXPECT_EQ(chart->SeriesCount(), 3);  // the first three were destroyed
    EXPECT_EQ(chart->FindComponent("OldT1"), nullptr);
    EXPECT_EQ(chart->FindComponent("OldMeasure"), nullptr);
    EXPECT_EQ(chart->ComponentCount(), 3);
    EXPECT_EQ(set.t1Series->Count(), 0);
    EXPECT_EQ(chart->Series(0), set.t1Series);
    EXPECT_EQ(set.t1Series->GetSeriesColor(), clGreen);
}

TEST_F(SeriesSetTest, ColourVisibilityAndRelease)
{
    SeriesSet set;
    set.Create(chart.get(), clRed, true);
    set.t1Series->AddXY(1, 2);
    set.SetColour(clNavy);
    EXPECT_EQ(set.colour, clNavy);
    EXPECT_EQ(set.MeasureSeries->GetSeriesColor(), clNavy);
    EXPECT_EQ(set.t2Series->GetPen()->GetColor(), clNavy);
    EXPECT_EQ(set.t1Series->ValueColor(0), clNavy);  // points follow the series colour

    EXPECT_TRUE(set.IsVisible());
    set.SetVisible(false);
    EXPECT_FALSE(set.IsVisible());
    EXPECT_FALSE(set.MeasureSeries->GetActive());
    EXPECT_EQ(set.t1Series->Count(), 1);  // hiding keeps the points
    set.SetVisible(true);
    EXPECT_TRUE(set.t2Series->GetActive());

    set.Release();
    EXPECT_EQ(chart->SeriesCount(), 0);
    EXPECT_EQ(set.t1Series, nullptr);
    EXPECT_EQ(set.MeasureSeries, nullptr);
    set.Release();  // nothing left: nothing happens
    set.Clear();
    set.SetVisible(false);
    EXPECT_FALSE(set.IsVisible());
}

TEST_F(SeriesSetTest, CopiedRecordSharesTheSeriesAndLeavesThemAlone)
{
    DependencyRecord original;
    original.SeriesSet.Create(chart.get(), clRed, true);
    {
        DependencyRecord copy = original;
        EXPECT_EQ(copy.SeriesSet.t1Series, original.SeriesSet.t1Series);
        EXPECT_EQ(copy.SeriesSet.MeasureSeries, original.SeriesSet.MeasureSeries);
        DependencyRecord assigned;
        assigned = copy;
        EXPECT_EQ(assigned.SeriesSet.t2Series, original.SeriesSet.t2Series);
    }
    EXPECT_EQ(chart->SeriesCount(), 3);
    original.Sweep(gcSelectivity);
    EXPECT_EQ(original.SeriesSet.t1Series->Count(), 22);

    DependencyRecord fresh;
    fresh.AssignData(original);  // the series are not taken over
    EXPECT_EQ(fresh.SeriesSet.t1Series, nullptr);
}

TEST_F(SeriesSetTest, SweepFillsTheThreeSeriesInMinutes)
{
    DependencyRecord r;
    r.Params.phys.u01 = 20e-9;
    r.Params.phys.u02 = 30e-9;
    r.Params.phys.u1 = r.Params.phys.u2 = 10e-9;
    r.Params.phys.K1 = 0.2;
    r.Params.phys.K2 = 0.5;
    r.Params.Derive();
    r.SeriesSet.Create(chart.get(), clRed, true);
    r.Sweep(gcTimeDifference);

    TPointSeries* t1 = r.SeriesSet.t1Series;
    ASSERT_EQ(t1->Count(), 22);
    ASSERT_EQ(r.SeriesSet.t2Series->Count(), 22);
    ASSERT_EQ(r.SeriesSet.MeasureSeries->Count(), 22);
    for (int i = 0; i < 22; i += 7) {
        const PointValues v(r.Params.phys, t1->XValue(i));
        EXPECT_EQ(t1->YValue(i), v.t1 * (1.0 / 60));
        EXPECT_EQ(r.SeriesSet.t2Series->YValue(i), v.t2 * (1.0 / 60));
        EXPECT_EQ(r.SeriesSet.MeasureSeries->YValue(i), v.dt * (1.0 / 60));
        EXPECT_EQ(t1->Labels(i), "");
        EXPECT_EQ(t1->PointColor(i), clTeeColor);
    }
    EXPECT_EQ(t1->MinXValue(), 0);
    EXPECT_EQ(t1->MaxXValue(), 20);

    // Sweeping again replaces the points; no choice leaves the measure empty.
    r.Sweep(-1);
    EXPECT_EQ(t1->Count(), 22);
    EXPECT_EQ(r.SeriesSet.MeasureSeries->Count(), 0);
    r.SeriesSet.SetMeasureTitle(GraphText(gcSelectivity));
    EXPECT_EQ(r.SeriesSet.MeasureSeries->GetTitle(), "Selectivity");
}

TEST_F(SeriesSetTest, FailedSweepsLeaveTheCurvesEmptyAndOthersAlone)
{
    DependencyRecord a;
    DependencyRecord b;
    a.SeriesSet.Create(chart.get(), clRed, true);
    b.SeriesSet.Create(chart.get(), clBlue, false);
    a.Sweep(gcMobilityFactor);
    b.Sweep(gcMobilityFactor);

    b.Params.points = 0;
    EXPECT_THROW(b.Sweep(gcMobilityFactor), EZeroDivide);
    EXPECT_EQ(b.SeriesSet.t1Series->Count(), 0);
    EXPECT_EQ(b.SeriesSet.t2Series->Count(), 0);
    EXPECT_EQ(b.SeriesSet.MeasureSeries->Count(), 0);
    EXPECT_EQ(a.SeriesSet.t1Series->Count(), 22);  // the other dependency is untouched

    b.Params.points = 1000001;
    EXPECT_THROW(b.Sweep(gcMobilityFactor), Exception);
    EXPECT_EQ(b.SeriesSet.t1Series->Count(), 0);

    b.Params.points = 5;
    b.Params.cMin = b.Params.cMax = 4;
    b.Sweep(gcMobilityFactor);
    EXPECT_EQ(b.SeriesSet.t1Series->Count(), 1);
    EXPECT_EQ(b.SeriesSet.t1Series->XValue(0), 4);
}

}  // namespace

TEST_F(SeriesSetTest, MeasuredTimesArePointsOfTheirOwnSeries)
{
    DependencyRecord r;
    r.SeriesSet.Create(chart.get(), clRed, true);
    MeasuredRow both, noEof, mobility;
    both.c = 2;
    both.t[0] = 3.5;
    both.t[1] = 3.75;
    both.tEOF = 2;
    noEof.c = 4;
    noEof.t[0] = 3.9;  // a time without tEOF is no measurement
    mobility.c = 6;
    mobility.u[0] = 1e-8;  // entered as a mobility: no time to show
    r.Measured.Rows = {noEof, mobility};
    r.Sweep(gcSelectivity);
    EXPECT_EQ(r.SeriesSet.MeasuredSeries, nullptr);   // no time to show: no fourth series
    EXPECT_EQ(chart->SeriesCount(), 3);
    r.SeriesSet.SetVisible(false);
    r.Measured.Rows = {both, noEof, mobility};
    r.Sweep(gcSelectivity);
    const TPointSeries* s = r.SeriesSet.MeasuredSeries;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(chart->Series(3), s);
    EXPECT_EQ(s->GetPointer()->GetStyle(), psDiamond);
    EXPECT_FALSE(s->GetShowInLegend());
    EXPECT_EQ(s->GetSeriesColor(), clRed);
    EXPECT_FALSE(s->GetActive());   // hidden as its dependency is
    ASSERT_EQ(s->Count(), 2);
    EXPECT_EQ(s->XValue(0), 2);
    EXPECT_EQ(s->YValue(0), 3.5);
    EXPECT_EQ(s->YValue(1), 3.75);
    EXPECT_EQ(r.SeriesSet.MeasureSeries->Count(), 22);  // the measure series as before
    r.Measured = Measurements();
    r.Sweep(gcSelectivity);
    EXPECT_EQ(r.SeriesSet.MeasuredSeries, nullptr);
    EXPECT_EQ(chart->SeriesCount(), 3);
}
