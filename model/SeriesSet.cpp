#include "model/SeriesSet.h"

#include "model/Measured.h"
#include "model/Params.h"
#include "model/Sweep.h"
#include "platform/Chart.h"
#include "platform/Series.h"

#include <utility>
#include <vector>

namespace {

// A new point series of chart with the given marker and title.
TPointSeries* NewSeries(TChart* chart, TSeriesPointerStyle style, const char* title, bool showInLegend)
{
    TPointSeries* series = new TPointSeries(chart);
    series->SetParentChart(chart);
    series->GetPointer()->SetStyle(style);
    series->GetPointer()->SetSize(4);
    series->SetTitle(title);
    series->SetShowInLegend(showInLegend);
    return series;
}

void Destroy(TPointSeries*& slot)
{
    delete slot;
    slot = nullptr;
}

// Adds the points of a sweep to the three series; a missing series is skipped.
struct SeriesSink {
    TPointSeries* t1;
    TPointSeries* t2;
    TPointSeries* measure;
    const UnicodeString noLabel;

    void AddTimes(double c, double t1Minutes, double t2Minutes)
    {
        if (t1) t1->AddXY(c, t1Minutes, noLabel, clTeeColor);
        if (t2) t2->AddXY(c, t2Minutes, noLabel, clTeeColor);
    }
    void AddMeasure(double c, double y)
    {
        if (measure) measure->AddXY(c, y, noLabel, clTeeColor);
    }
};

}  // namespace

void SeriesSet::Create(TChart* chart, TColor colour, bool showInLegend)
{
    Destroy(t1Series);
    t1Series = NewSeries(chart, psTriangle, "t1 [min]", showInLegend);
    Destroy(t2Series);
    t2Series = NewSeries(chart, psDownTriangle, "t2 [min]", showInLegend);
    Destroy(MeasureSeries);
    MeasureSeries = NewSeries(chart, psCircle, "R", showInLegend);
    MeasureSeries->SetVertAxis(aRightAxis);
    Destroy(MeasuredSeries);   // made by ShowMeasured for measured times
    SetColour(colour);
}

void SeriesSet::SetColour(TColor colour)
{
    this->colour = colour;
    for (TPointSeries* series : {t1Series, t2Series, MeasureSeries, MeasuredSeries}) {
        if (series == nullptr) continue;
        series->SetSeriesColor(colour);
        series->GetPen()->SetColor(colour);
    }
}

void SeriesSet::SetVisible(bool visible) const
{
    for (TPointSeries* series : {t1Series, t2Series, MeasureSeries, MeasuredSeries})
        if (series != nullptr) series->SetActive(visible);
}

bool SeriesSet::IsVisible() const
{
    return t1Series != nullptr && t1Series->GetActive();
}

void SeriesSet::Clear() const
{
    for (TPointSeries* series : {t1Series, t2Series, MeasureSeries, MeasuredSeries})
        if (series != nullptr) series->Clear();
}

void SeriesSet::Release()
{
    Destroy(t1Series);
    Destroy(t2Series);
    Destroy(MeasureSeries);
    Destroy(MeasuredSeries);
}

void SeriesSet::SetMeasureTitle(const UnicodeString& title) const
{
    if (MeasureSeries != nullptr) MeasureSeries->SetTitle(title);
}

void SeriesSet::Sweep(const Params& params, int choice) const
{
    Clear();
    SeriesSink sink{t1Series, t2Series, MeasureSeries, UnicodeString()};
    RunSweep(params, choice, sink);
}

void SeriesSet::ShowMeasured(const Measurements& measured) const
{
    std::vector<std::pair<double, double>> points;
    for (const MeasuredRow& row : measured.Rows)
        for (int analyte = 0; analyte < 2; ++analyte)
            if (const auto t = MeasuredTime(row, analyte))
                points.emplace_back(row.c, *t);
    // The series exists only while there are measured times: a dependency without them has its
    // three series and no more.
    if (points.empty()) {
        Destroy(MeasuredSeries);
        return;
    }
    if (MeasuredSeries == nullptr) {
        if (t1Series == nullptr || t1Series->GetParentChart() == nullptr) return;
        MeasuredSeries = NewSeries(t1Series->GetParentChart(), psDiamond, "measured t [min]", false);
        MeasuredSeries->GetPointer()->SetSize(3);
        MeasuredSeries->SetSeriesColor(colour);
        MeasuredSeries->GetPen()->SetColor(colour);
        MeasuredSeries->SetActive(IsVisible());
    }
    MeasuredSeries->Clear();
    for (const auto& [c, t] : points)
        MeasuredSeries->AddXY(c, t, UnicodeString(), clTeeColor);
}
