// What the dependency chart shows of a list of records: each record's three series in its
// palette colour, swept for a graph choice, the title line, and the chart's dress. The main window
// and the command-line exporter draw the same chart through these.
#pragma once

#include "model/Record.h"
#include "platform/Chart.h"

#include <vector>

// The size of the main window's chart while the window has its default size (pixels).
inline constexpr int DependencyChartWidth = 846;
inline constexpr int DependencyChartHeight = 437;

// New series on Chart for the record at list position Position, in the pale palette colour of
// that position; only the series of position 0 are listed in the legend.
void CreateDependencySeries(TChart* Chart, DependencyRecord& Record, unsigned Position);

// Sweeps Record into its series for a graph choice; the right axis and the record's measure
// series are titled Title (the text of the choice).
void SweepDependency(TChart* Chart, const DependencyRecord& Record, int Choice, const UnicodeString& Title);

// Line 0 of the chart's title (the project's path once it was loaded or saved).
void SetChartTitleLine(TChart* Chart, const UnicodeString& Line);

// The chart as the Load command leaves it for Records: series for every record, each swept for
// Choice and titled GraphText(Choice), and Path as the title line.
void ShowDependencies(TChart* Chart, std::vector<DependencyRecord>& Records, int Choice, const UnicodeString& Path);

// The dependency chart's dress: two-dimensional on the window colour, the axis titles
// "Selector concentration" and "Time / min" (in a rounded rectangle), labels in a 16-pixel and
// titles in a 21-pixel font, major ticks 6 and minor ticks 4 pixels long and 2 wide, the grey
// dotted zoom pen 2 pixels wide and the one-line title "[anonymous]".
void DressDependencyChart(TChart* Chart);
