// The colour and the chart series of one dependency: its three curves and its measured times.
#pragma once

#include "platform/Graphics.h"
#include "platform/SysUtils.h"

class TChart;
class TPointSeries;

struct Params;
struct Measurements;

// The series belong to the chart; a set only refers to them. Copying a set
// copies the references, so whoever removes a dependency calls Release first.
struct SeriesSet {
    TColor colour = 0;                     // the colour last given to the series
    TPointSeries* t1Series = nullptr;      // migration time of analyte 1, minutes
    TPointSeries* t2Series = nullptr;      // migration time of analyte 2, minutes
    TPointSeries* MeasureSeries = nullptr; // the chosen separation measure, right axis
    // Measured migration times of both analytes, minutes: made, filled and removed by
    // ShowMeasured as the dependency's measurements hold times (nullptr while they hold none).
    mutable TPointSeries* MeasuredSeries = nullptr;

    // Replaces the three series by new point series of chart (up and down
    // triangles and circles of size 4, titled "t1 [min]", "t2 [min]" and "R",
    // the last on the right axis), listed in the legend when showInLegend, then
    // gives them colour; a series of measured times left is removed.
    void Create(TChart* chart, TColor colour, bool showInLegend);
    // Stores colour and gives it to the three series and their pens.
    void SetColour(TColor colour);
    // Shows or hides the four series; the points stay.
    void SetVisible(bool visible) const;
    // True while the t1 series is drawn.
    bool IsVisible() const;
    // Removes every point of the four series.
    void Clear() const;
    // Destroys the series that are present and forgets them.
    void Release();
    // Retitles the measure series.
    void SetMeasureTitle(const UnicodeString& title) const;

    // Clears the three series and sweeps params into them: times in minutes
    // on the t1 and t2 series and, when choice names a measure, its value on
    // the measure series. The points carry no label and the series' own colour.
    void Sweep(const Params& params, int choice) const;
    // Shows the migration times that measurements hold as times with tEOF (x the
    // concentration, y minutes) on the measured series (diamonds of size 3 in the
    // set's colour, never in the legend), made on the set's chart when needed and
    // removed when there are none.
    void ShowMeasured(const Measurements& measured) const;
};
