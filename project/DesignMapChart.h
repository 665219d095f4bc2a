// What the chart of a design-space map shows: the heat map of one value with its colour scale,
// the contour lines at Rs = 1.5 and at the longest run, the outline of the good region and its
// most robust point, the axes titled with their units. The design-space window and the
// command-line exporter draw the same chart through these.
#pragma once

#include "model/DesignSpace.h"
#include "model/Uncertainty.h"
#include "platform/Chart.h"

#include <vector>

// The size of the design-space window's chart (pixels), that of the exported pictures too.
inline constexpr int DesignMapChartWidth = 884;
inline constexpr int DesignMapChartHeight = 530;

// The values a map can show: those of the map (TMapValue), then P(Rs >= 1.5) where the
// dependency has uncertainties.
inline constexpr int MapProbability = MapValueCount;
inline constexpr int MapShownCount = MapValueCount + 1;

// The name of a shown value with the unit it is shown in ("Rs", "t2 / min", "P(Rs \u2265 1.5)" ...).
UnicodeString MapShownTitle(int Value);
// Value at grid point (i, j) as shown (times in minutes, the measures as the dependency chart's
// right axis shows them), NaN where it is undefined or not known (P without Probability).
double MapShownValue(const DesignMap& Map, const ProbabilityMap* Probability, int Value, int i, int j);

// The y condition's axis title with the unit shown ("pH", "Voltage / kV", "Detector length / cm").
UnicodeString MapConditionTitle(TMapCondition Condition);

// The chart's x of a concentration (lg c on a logarithmic map) and back.
double MapAxisX(const DesignMap& Map, double C);
double MapConcentration(const DesignMap& Map, double AxisX);

// Everything one picture of a map needs.
struct DesignMapView {
    const DesignMap* Map = nullptr;
    const GoodRegion* Region = nullptr;
    const ProbabilityMap* Probability = nullptr;  // when the dependency has uncertainties
    int Value = mvRs;
};

// The chart's dress for maps: white plot on the window colour, axis labels and titles, the
// legend above the plot, no zoom history kept across maps.
void DressDesignMapChart(TChart* Chart);

// Replaces the chart's series by the picture of View: a colour grid (each cell centred on its
// grid point, the outer cells ending at the range's ends), the colour scale over the defined
// values (0 to 1 for P), the contours, the outline and the robust point with its text as
// legend entries. A map that is not complete clears the chart.
void ShowDesignMap(TChart* Chart, const DesignMapView& View);
