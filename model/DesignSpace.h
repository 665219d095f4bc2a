// The design space of a dependency: the separation over a grid of two conditions, the selector
// concentration (x, over the dependency's range, spaced as the analysis spaces it) and one run
// condition (y: the pH with the pH model on, the voltage or the detector length), with the
// contour lines of any value, the region where the peaks separate to the baseline within the
// longest run, and the point of that region that stays in it for the largest change of both
// conditions.
//
// Every grid point is the analysis at that point: the y condition set on a copy of the
// parameters, Params::Derive(), then AnalyseAt. Units as in the record (c in mM, times in s,
// voltage in V, detector length in m).
#pragma once

#include "model/Analysis.h"
#include "model/Params.h"
#include "model/Sweep.h"
#include "platform/SysUtils.h"

#include <functional>
#include <optional>
#include <vector>

// The run condition on the map's y axis.
enum class TMapCondition { pH, Voltage, Detector };
inline constexpr int MapConditionCount = 3;

// "pH", "Voltage", "Detector length".
UnicodeString MapConditionName(TMapCondition condition);
// The condition as the main window shows it: its factor from the record's unit (V to kV, m to
// cm) and its unit ("" for the pH, "kV", "cm").
double MapConditionShown(TMapCondition condition);
UnicodeString MapConditionShownUnit(TMapCondition condition);
// Whether the parameters let the condition vary: the pH only with the pH model on.
bool MapConditionAvailable(const Params& params, TMapCondition condition);
// The condition's value in the parameters (pH, phys.Voltage, phys.Detector).
double MapConditionValue(const Params& params, TMapCondition condition);

// The grid sizes a map accepts per axis, and the default.
inline constexpr int MinMapSize = 2;
inline constexpr int MaxMapSize = 1001;
inline constexpr int DefaultMapSize = 101;

struct DesignSpaceSettings {
    TMapCondition Y = TMapCondition::pH;
    double yFrom = 0;  // the y range, in the condition's unit; yFrom may lie above yTo
    double yTo = 0;
    int nx = DefaultMapSize;  // grid points along the concentration
    int ny = DefaultMapSize;  // grid points along the y condition
    // The analysis at every point: injection plug, detector window, complex diffusion
    // coefficients, the longest run and the spacing of the concentrations.
    AnalysisOptions Analysis;
};

// Settings for a condition with a y range around the parameters' own value: the pH +- 2 within
// 0 to 14, the voltage from 5 to 30 kV (or 0.2 to 1.2 times a voltage outside that span), the
// detector from a fifth of the capillary to the capillary's length; the other settings default.
DesignSpaceSettings DefaultDesignSpace(const Params& params, TMapCondition condition);

// Why a map of these settings cannot be computed, or an empty text: a grid size outside
// MinMapSize..MaxMapSize, a y range that is not finite, the pH without the pH model.
UnicodeString DesignSpaceRefusal(const Params& params, const DesignSpaceSettings& settings);

// The values of a map, in this order: Rs, t1, t2, dt = |t2 - t1|, the longest run max(t1, t2),
// then every measure of the graph choices (Measures, SI units), mvMeasure + choice.
enum TMapValue { mvRs, mvT1, mvT2, mvDt, mvRun, mvMeasure };
inline constexpr int MapValueCount = mvMeasure + GraphChoiceCount;
// The column heading of a value: "Rs [-]", "t1 [s]", "t2 [s]", "dt [s]", "longest run [s]",
// then the measures' ValueHeading. Empty outside 0..MapValueCount-1.
UnicodeString MapValueHeading(int value);

// One grid point. Values that cannot be computed stay undefined (an analyte that does not reach
// the detector, a row whose derivation faults); t1, t2, dt and the run only where the analytes
// arrive, the measures wherever the point could be computed.
struct MapPoint {
    Figure Value[MapValueCount];
    // Both analytes arrive and no run is longer than the analysis' LongestRun (when set).
    bool WithinLimit = false;

    const Figure& Rs() const { return Value[mvRs]; }
    // Rs >= BaselineResolution and the run within the limit.
    bool Good() const { return WithinLimit && Value[mvRs] && *Value[mvRs] >= BaselineResolution; }
};

// A point of the map's plane: x a concentration (mM), y the condition's value.
struct MapXY {
    double x = 0;
    double y = 0;
};

// A contour line or an outline, in real units; Closed when its last point joins its first
// (the first point is not repeated).
struct MapPolyline {
    std::vector<MapXY> Points;
    bool Closed = false;
};

struct DesignMap {
    DesignSpaceSettings Settings;
    // The concentrations (nx, increasing) and the y values (ny, from yFrom to yTo).
    ConcentrationScale Scale;
    std::vector<double> x, y;
    // Row-major: Points[j * nx + i] at (x[i], y[j]).
    std::vector<MapPoint> Points;
    // Sentences about rows that could not be computed (an impossible condition: a voltage of 0,
    // a detector beyond the capillary's end, a derivation that faults) and an empty range.
    std::vector<UnicodeString> Warnings;
    // Stopped by its progress callback: the map is not complete and shows nothing.
    bool Cancelled = false;

    int nx() const { return static_cast<int>(x.size()); }
    int ny() const { return static_cast<int>(y.size()); }
    const MapPoint& At(int i, int j) const { return Points[static_cast<size_t>(j) * x.size() + static_cast<size_t>(i)]; }
    // A complete map with at least one grid point.
    bool Complete() const { return !Cancelled && !Points.empty(); }
};

// Progress of a long computation: called with the units done (rows of a map) and their total,
// from the calling thread; returning false cancels.
using MapProgress = std::function<bool(int done, int total)>;

// The map of derived parameters (Derive() has run) under settings. Raises Exception with
// DesignSpaceRefusal's text when that is not empty. Rows are shared among Threads threads (0:
// as many as the machine has, at most the rows); the result is the same for any count. A
// cancelled map has Cancelled set and no points.
DesignMap ComputeDesignMap(const Params& params, const DesignSpaceSettings& settings,
                           const MapProgress& progress = {}, int threads = 0);

// The parameters at the grid's y value: a copy with the condition set, derived. Raises the
// derivation's fault.
Params ParamsAtCondition(const Params& params, TMapCondition condition, double y);

// The building blocks of a map, for computations over its grid:
// the concentration scale and the grid's x (nx, increasing) and y (ny, from yFrom to yTo, the
// last exactly yTo) values; no x for an empty range.
void MapAxes(const Params& params, const DesignSpaceSettings& settings, ConcentrationScale& scale,
             std::vector<double>& x, std::vector<double>& y);
// The derived parameters of a row with the analysis' diffusion coefficients, as AnalyseAt of
// ParamsAtCondition takes them; nothing, and why in Problem, when the derivation faults or the
// condition is impossible (a voltage of 0, a detector not on the capillary).
std::optional<PhysParams> MapRowPhys(const Params& params, const DesignSpaceSettings& settings, double y,
                                     UnicodeString& problem);

// Marching squares over a grid of values (row-major, nx * ny, undefined values as NaN) at
// level: the lines where the bilinear surface crosses it, cells with an undefined corner left
// out; a cell whose four corners alternate (a saddle) is split by its centre value, the mean
// of its corners: at or above the level, the corners at or above it are joined through the
// centre. Segments are joined into polylines, closed where they return to their start.
// Coordinates are grid positions (i, j) interpolated linearly along the cell edges. A corner
// exactly at the level counts as above it.
std::vector<MapPolyline> MarchingSquares(const std::vector<double>& values, int nx, int ny, double level);

// The contour lines of a value of the map at level, in real units (interpolated in lg c on a
// logarithmic x). Rs at BaselineResolution and mvRun at the analysis' LongestRun are the
// window's two.
std::vector<MapPolyline> MapContours(const DesignMap& map, int value, double level);

// The map's scaled units: each axis mapped to [0, 1] over its range (in lg c on a logarithmic
// x), and back.
MapXY ScaledPoint(const DesignMap& map, MapXY real);
MapXY RealPoint(const DesignMap& map, MapXY scaled);

// The good region (MapPoint::Good), its outline and its most robust point.
struct RobustPoint {
    MapXY At;               // real units
    double Distance = 0;    // to the region's edge, scaled units
    // The point +- Distance along each axis, real units (on a logarithmic x, lg c +- Distance
    // times the decades of the range), and the half-widths of those spans.
    double xLow = 0, xHigh = 0, yLow = 0, yHigh = 0;
    double dx = 0, dy = 0;
};

struct GoodRegion {
    // The outline of the region, closed polylines in real units; where the region reaches the
    // map's border, along the border.
    std::vector<MapPolyline> Outline;
    // The point of the region farthest from its edge (the outline, the map's border included),
    // in the map's scaled units; absent for an empty region.
    std::optional<RobustPoint> Robust;
    int Points = 0;  // grid points in the region
};

// The region of a complete map: the outline is marching squares of the margin
// min((Rs - 1.5) / 1.5, (limit - run) / limit) (without a limit the first alone; an undefined
// point and the outside of the map count as -1) at 0. The robust point: an exact Euclidean
// distance transform of the grid in scaled units picks the candidates, whose distance to the
// outline is then measured exactly.
GoodRegion FindGoodRegion(const DesignMap& map);

// "±0.3 pH, ±2.1 mM": the robust point's half-widths with two significant digits, y first.
UnicodeString RobustText(const RobustPoint& point, TMapCondition condition);

// The squared Euclidean distance of every grid point to the nearest point outside (inside[k]
// false), with spacings hx along i and hy along j; the grid's outside is beyond its border, one
// spacing away. Felzenszwalb-Huttenlocher, exact.
std::vector<double> SquaredDistanceTransform(const std::vector<bool>& inside, int nx, int ny, double hx, double hy);
