// The design-space map: its grid against the analysis at the same conditions, impossible
// conditions, cancelling, marching squares, the distance transform and the good region's most
// robust point on synthetic regions whose centres are known.
#include "model/DesignSpace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

// Two weak bases, ionised below their pKa, with different constants: a chiral pair whose
// separation changes with the pH.
Params PhPair()
{
    Params p;
    p.cMin = 0, p.cMax = 40, p.points = 101;
    p.applypH = true;
    p.pH = 7;
    for (PhParams* a : {&p.a1, &p.a2}) {
        a->pKa = 7.2;
        a->lu0 = 25e-9, a->luCS = 8e-9;
        a->hu0 = 0, a->huCS = 0;
        a->hK = 0.05;
    }
    p.a1.lK = 0.2;
    p.a2.lK = 0.26;
    p.phys.EOF = 40e-9;
    p.phys.D01 = p.phys.D02 = 5e-10;
    p.phys.D1 = p.phys.D2 = 3e-10;
    p.Derive();
    return p;
}

// Without the pH model: the analysis tests' realistic set.
Params PlainPair(double cMin = 0, double cMax = 50)
{
    Params p;
    p.cMin = cMin, p.cMax = cMax, p.points = 101;
    PhysParams& f = p.phys;
    f.u01 = f.u02 = 20e-9, f.u1 = f.u2 = 5e-9, f.K1 = 0.2, f.K2 = 0.3;
    f.D01 = f.D02 = 5e-10, f.D1 = f.D2 = 3e-10, f.EOF = 40e-9;
    p.Derive();
    return p;
}

DesignSpaceSettings Settings(TMapCondition y, double from, double to, int nx, int ny)
{
    DesignSpaceSettings s;
    s.Y = y, s.yFrom = from, s.yTo = to, s.nx = nx, s.ny = ny;
    return s;
}

TEST(DesignMap, EveryPointIsTheAnalysisAtItsConditions)
{
    struct Case {
        const char* name;
        Params params;
        DesignSpaceSettings settings;
    };
    DesignSpaceSettings limited = Settings(TMapCondition::Voltage, 8000, 30000, 9, 7);
    limited.Analysis.LongestRun = 400;
    limited.Analysis.InjectionPlug = 2e-3;
    const Case cases[] = {
        {"pH", PhPair(), Settings(TMapCondition::pH, 5.5, 8.5, 11, 13)},
        {"voltage", PlainPair(), limited},
        {"detector", PlainPair(), Settings(TMapCondition::Detector, 0.1, 0.48, 7, 5)},
        {"log x", PlainPair(0, 2000), Settings(TMapCondition::Voltage, 10000, 25000, 8, 4)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const DesignMap map = ComputeDesignMap(k.params, k.settings, {}, 1);
        ASSERT_TRUE(map.Complete());
        ASSERT_EQ(map.nx(), k.settings.nx);
        ASSERT_EQ(map.ny(), k.settings.ny);
        int rs = 0;
        for (int j = 0; j < map.ny(); ++j)
            for (int i = 0; i < map.nx(); ++i) {
                // Written out as a chemist would do it: the condition on a copy, derived, analysed.
                Params q = k.params;
                const double y = map.y[static_cast<size_t>(j)];
                if (k.settings.Y == TMapCondition::pH) q.pH = y;
                if (k.settings.Y == TMapCondition::Voltage) q.phys.Voltage = y;
                if (k.settings.Y == TMapCondition::Detector) q.phys.Detector = y;
                q.Derive();
                const double c = map.x[static_cast<size_t>(i)];
                const PeakFigures f = AnalyseAt(q, c, k.settings.Analysis);
                const MapPoint& m = map.At(i, j);
                EXPECT_EQ(m.Rs(), f.Rs) << i << "," << j;
                EXPECT_EQ(m.Value[mvT1], f.t1);
                EXPECT_EQ(m.Value[mvT2], f.t2);
                EXPECT_EQ(m.Value[mvDt], f.dt);
                EXPECT_EQ(m.WithinLimit, f.t1 && f.t2 && !f.TooLong);
                const PointValues v(q.phys, c);
                EXPECT_EQ(m.Value[mvMeasure + int(gcSelectivity)], v.selectivity);
                EXPECT_EQ(m.Value[mvMeasure + int(gcMobilityDifference)], v.du);
                rs += m.Rs() ? 1 : 0;
            }
        EXPECT_GT(rs, 0);
        // The concentrations are those of the analysis' curve of as many points.
        const SeparationAnalysis a = Analyse(k.params, k.settings.Analysis, k.settings.nx);
        ASSERT_EQ(a.Curve.size(), map.x.size());
        for (size_t i = 0; i < map.x.size(); ++i)
            EXPECT_EQ(map.x[i], a.Curve[i].c);
        EXPECT_EQ(map.Scale.Log, a.LogScale);
        EXPECT_EQ(map.y.front(), k.settings.yFrom);
        EXPECT_EQ(map.y.back(), k.settings.yTo);
    }
}

TEST(DesignMap, ThreadsGiveTheSameMap)
{
    const DesignSpaceSettings s = Settings(TMapCondition::pH, 5, 9, 31, 29);
    const DesignMap one = ComputeDesignMap(PhPair(), s, {}, 1);
    const DesignMap two = ComputeDesignMap(PhPair(), s, {}, 2);
    const DesignMap many = ComputeDesignMap(PhPair(), s, {}, 7);
    ASSERT_EQ(one.Points.size(), two.Points.size());
    ASSERT_EQ(one.Points.size(), many.Points.size());
    for (size_t k = 0; k < one.Points.size(); ++k)
        for (int v = 0; v < MapValueCount; ++v) {
            EXPECT_EQ(one.Points[k].Value[v], two.Points[k].Value[v]);
            EXPECT_EQ(one.Points[k].Value[v], many.Points[k].Value[v]);
        }
}

TEST(DesignMap, ImpossibleConditionsGiveUndefinedRowsAndAWarning)
{
    Params faulting = PhPair();
    // A constant that is 0 at pH = pKa with a complex mobility: the pH model divides by zero.
    faulting.a1.pKa = 0, faulting.a1.lK = 1, faulting.a1.hK = -1, faulting.a1.luCS = 2e-9, faulting.a1.huCS = 1e-9;
    const struct {
        const char* name;
        Params params;
        DesignSpaceSettings settings;
        std::vector<int> undefinedRows;
        const char* warning;
    } cases[] = {
        {"voltage 0", PlainPair(), Settings(TMapCondition::Voltage, -10000, 10000, 5, 3), {1}, "At 0 kV: no field"},
        {"detector beyond the capillary", PlainPair(), Settings(TMapCondition::Detector, 0.3, 0.6, 5, 4), {2, 3},
         "From 50 cm to 60 cm: the detector does not lie on the capillary"},
        {"detector at 0", PlainPair(), Settings(TMapCondition::Detector, 0, 0.4, 5, 2), {0}, "At 0 cm: the detector"},
        {"pH model faults", faulting, Settings(TMapCondition::pH, -1, 1, 5, 3), {1}, "At pH 0: "},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const DesignMap map = ComputeDesignMap(k.params, k.settings, {}, 2);
        ASSERT_TRUE(map.Complete());
        for (int j = 0; j < map.ny(); ++j) {
            const bool undefined = std::find(k.undefinedRows.begin(), k.undefinedRows.end(), j) != k.undefinedRows.end();
            if (!undefined) continue;
            for (int i = 0; i < map.nx(); ++i)
                for (int v = 0; v < MapValueCount; ++v)
                    EXPECT_FALSE(map.At(i, j).Value[v]) << j << " " << v;
        }
        ASSERT_EQ(map.Warnings.size(), 1u);
        EXPECT_EQ(map.Warnings[0].rfind(k.warning, 0), 0u) << map.Warnings[0];
    }
}

TEST(DesignMap, RefusesWhatItCannotCompute)
{
    const Params plain = PlainPair();
    const struct {
        const char* name;
        const Params& params;
        DesignSpaceSettings settings;
        bool refused;
    } cases[] = {
        {"one column", plain, Settings(TMapCondition::Voltage, 1e4, 2e4, 1, 5), true},
        {"too many rows", plain, Settings(TMapCondition::Voltage, 1e4, 2e4, 5, 1002), true},
        {"negative size", plain, Settings(TMapCondition::Voltage, 1e4, 2e4, -3, 5), true},
        {"range not a number", plain, Settings(TMapCondition::Voltage, std::nan(""), 2e4, 5, 5), true},
        {"range infinite", plain, Settings(TMapCondition::Detector, 0.1, INFINITY, 5, 5), true},
        {"pH without the pH model", plain, Settings(TMapCondition::pH, 5, 8, 5, 5), true},
        {"smallest", plain, Settings(TMapCondition::Voltage, 1e4, 2e4, 2, 2), false},
        {"largest", plain, Settings(TMapCondition::Voltage, 1e4, 2e4, 1001, 2), false},
        {"descending y", plain, Settings(TMapCondition::Voltage, 2e4, 1e4, 3, 3), false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(!DesignSpaceRefusal(k.params, k.settings).empty(), k.refused);
        if (k.refused)
            EXPECT_THROW(ComputeDesignMap(k.params, k.settings), Exception);
        else
            EXPECT_TRUE(ComputeDesignMap(k.params, k.settings).Complete());
    }
    // An empty concentration range: no points, a warning, no fault.
    Params empty = PlainPair(10, 5);
    const DesignMap map = ComputeDesignMap(empty, Settings(TMapCondition::Voltage, 1e4, 2e4, 5, 5));
    EXPECT_FALSE(map.Complete());
    EXPECT_EQ(map.Warnings.size(), 1u);
}

TEST(DesignMap, ASingleConcentrationGivesOneColumn)
{
    // cMin = cMax: the analysis has one point; the map one column, without lines or a region
    // point to fault on.
    const DesignMap map = ComputeDesignMap(PlainPair(10, 10), Settings(TMapCondition::Voltage, 1e4, 3e4, 11, 5));
    ASSERT_TRUE(map.Complete());
    EXPECT_EQ(map.nx(), 1);
    EXPECT_EQ(map.x[0], 10);
    EXPECT_TRUE(MapContours(map, mvRs, 1.5).empty());
    const GoodRegion region = FindGoodRegion(map);
    EXPECT_EQ(region.Robust.has_value(), region.Points > 0);
}

TEST(DesignMap, CancelledMapShowsNothing)
{
    for (const int threads : {1, 2}) {
        std::vector<int> seen;
        const DesignMap map = ComputeDesignMap(PhPair(), Settings(TMapCondition::pH, 5, 9, 21, 40),
                                               [&](int done, int total) {
                                                   EXPECT_EQ(total, 40);
                                                   seen.push_back(done);
                                                   return done < 3;
                                               },
                                               threads);
        EXPECT_TRUE(map.Cancelled);
        EXPECT_FALSE(map.Complete());
        EXPECT_TRUE(map.Points.empty());
        // Called no more after it said to stop.
        EXPECT_GE(seen.back(), 3);
        EXPECT_EQ(std::count_if(seen.begin(), seen.end(), [](int d) { return d >= 3; }), 1);
    }
    std::vector<int> seen;
    const DesignMap map = ComputeDesignMap(PhPair(), Settings(TMapCondition::pH, 5, 9, 21, 40), [&](int done, int) {
        seen.push_back(done);
        return true;
    }, 1);
    EXPECT_TRUE(map.Complete());
    ASSERT_EQ(seen.size(), 40u);
    for (size_t k = 0; k < seen.size(); ++k)
        EXPECT_EQ(seen[k], static_cast<int>(k) + 1);
}

// ---------------------------------------------------------------------------------------------

std::vector<MapXY> Sorted(std::vector<MapXY> p)
{
    std::sort(p.begin(), p.end(), [](MapXY a, MapXY b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    return p;
}

TEST(MarchingSquares, Cases)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* name;
        std::vector<double> v;
        int nx, ny;
        double level;
        // Each line's points, sorted, and whether it is closed.
        std::vector<std::pair<std::vector<MapXY>, bool>> lines;
    } cases[] = {
        {"a peak", {0, 0, 0, 0, 1, 0, 0, 0, 0}, 3, 3, 0.5, {{{{0.5, 1}, {1, 0.5}, {1, 1.5}, {1.5, 1}}, true}}},
        {"a ramp", {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3}, 4, 3, 1.5, {{{{1.5, 0}, {1.5, 1}, {1.5, 2}}, false}}},
        {"a corner at the level counts above", {0, 1, 0, 0}, 2, 2, 1, {{{{1, 0}, {1, 0}}, false}}},
        // bl and tr high, the centre (0.5) at or above the level: the high corners join, each low
        // corner is cut off on its own.
        {"saddle, high centre", {1, 0, 0, 1}, 2, 2, 0.5, {{{{0, 0.5}, {0.5, 1}}, false}, {{{0.5, 0}, {1, 0.5}}, false}}},
        {"saddle, low centre", {1, 0, 0, 1}, 2, 2, 0.6, {{{{0, 0.4}, {0.4, 0}}, false}, {{{0.6, 1}, {1, 0.6}}, false}}},
        {"an undefined corner leaves its cell out", {0, 1, nan, 1}, 2, 2, 0.5, {}},
        {"nothing crosses", {0, 0, 0, 0}, 2, 2, 0.5, {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        std::vector<MapPolyline> lines = MarchingSquares(k.v, k.nx, k.ny, k.level);
        ASSERT_EQ(lines.size(), k.lines.size());
        std::sort(lines.begin(), lines.end(), [](const MapPolyline& a, const MapPolyline& b) {
            return Sorted(a.Points)[0].x < Sorted(b.Points)[0].x;
        });
        for (size_t l = 0; l < lines.size(); ++l) {
            EXPECT_EQ(lines[l].Closed, k.lines[l].second);
            const std::vector<MapXY> got = Sorted(lines[l].Points);
            ASSERT_EQ(got.size(), k.lines[l].first.size());
            for (size_t p = 0; p < got.size(); ++p) {
                EXPECT_NEAR(got[p].x, k.lines[l].first[p].x, 1e-12);
                EXPECT_NEAR(got[p].y, k.lines[l].first[p].y, 1e-12);
            }
        }
    }
}

TEST(MarchingSquares, JoinsACircleIntoOneClosedLine)
{
    // r^2 around (20, 20); the level r = 12.3 crosses many cells.
    const int n = 41;
    std::vector<double> v;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            v.push_back((i - 20.0) * (i - 20.0) + (j - 20.0) * (j - 20.0));
    const auto lines = MarchingSquares(v, n, n, 12.3 * 12.3);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].Closed);
    EXPECT_GT(lines[0].Points.size(), 60u);
    for (size_t k = 0; k < lines[0].Points.size(); ++k) {
        const MapXY p = lines[0].Points[k], q = lines[0].Points[(k + 1) % lines[0].Points.size()];
        EXPECT_NEAR(std::hypot(p.x - 20, p.y - 20), 12.3, 0.05);
        // Neighbours along the line lie in one cell.
        EXPECT_LE(std::hypot(p.x - q.x, p.y - q.y), std::sqrt(2.0) + 1e-12);
    }
}

TEST(DistanceTransform, EqualsBruteForce)
{
    const struct {
        std::vector<const char*> mask;  // '#' inside
        double hx, hy;
    } cases[] = {
        {{"#####", "#####", "#####"}, 1, 1},
        {{"##.####", "#######", "####.##", "#######", "##....#"}, 0.25, 0.5},
        {{"......", "..##..", "......"}, 0.1, 0.3},
        {{"#"}, 1, 2},
    };
    for (const auto& k : cases) {
        const int ny = static_cast<int>(k.mask.size()), nx = static_cast<int>(std::string(k.mask[0]).size());
        std::vector<bool> inside;
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i)
                inside.push_back(k.mask[static_cast<size_t>(j)][i] == '#');
        const std::vector<double> d2 = SquaredDistanceTransform(inside, nx, ny, k.hx, k.hy);
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) {
                double best = INFINITY;
                // Outside: every point off the grid's inside, the ring around it included.
                for (int b = -1; b <= ny; ++b)
                    for (int a = -1; a <= nx; ++a) {
                        const bool in = a >= 0 && a < nx && b >= 0 && b < ny && inside[static_cast<size_t>(b * nx + a)];
                        if (!in) best = std::min(best, std::pow((a - i) * k.hx, 2) + std::pow((b - j) * k.hy, 2));
                    }
                const double expected = inside[static_cast<size_t>(j * nx + i)] ? best : 0;
                EXPECT_NEAR(d2[static_cast<size_t>(j * nx + i)], expected, 1e-12) << i << "," << j;
            }
    }
}

// A synthetic map over c 0..30 mM and pH 4..10 whose good points are those where Good(u, v)
// holds in scaled units.
template <class Region>
DesignMap SyntheticMap(int n, Region good, bool log = false)
{
    DesignMap map;
    map.Settings = Settings(TMapCondition::pH, 4, 10, n, n);
    map.Scale.Empty = false;
    map.Scale.Log = log;
    map.Scale.From = log ? 0.1 : 0;
    map.Scale.To = log ? 100 : 30;
    for (int i = 0; i < n; ++i) map.x.push_back(RealPoint(map, {double(i) / (n - 1), 0}).x);
    for (int j = 0; j < n; ++j) map.y.push_back(RealPoint(map, {0, double(j) / (n - 1)}).y);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            MapPoint p;
            const bool in = good(double(i) / (n - 1), double(j) / (n - 1));
            p.Value[mvRs] = in ? 3.0 : 0.5;
            p.WithinLimit = true;
            map.Points.push_back(p);
        }
    return map;
}

TEST(GoodRegion, RobustPointOfSyntheticRegions)
{
    const struct {
        const char* name;
        std::function<bool(double, double)> good;
        double u, v, distance;  // expected, scaled units
        double tolerance;
    } cases[] = {
        {"disc", [](double u, double v) { return std::hypot(u - 0.4, v - 0.6) <= 0.2; }, 0.4, 0.6, 0.2, 0.011},
        {"square", [](double u, double v) { return u >= 0.2 && u <= 0.5 && v >= 0.3 && v <= 0.6; }, 0.35, 0.45, 0.15, 0.011},
        // Wider than high: the points farthest from the edge make a line; its middle is the centre.
        {"rectangle", [](double u, double v) { return u >= 0.1 && u <= 0.8 && v >= 0.3 && v <= 0.5; }, 0.45, 0.4, 0.1, 0.011},
        {"the whole map", [](double, double) { return true; }, 0.5, 0.5, 0.5, 1e-9},
        // Half a disc cut by the map's border: the border is an edge too.
        {"cut by the border", [](double u, double v) { return std::hypot(u - 0.5, v) <= 0.4; }, 0.5, 0.2, 0.2, 0.011},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const DesignMap map = SyntheticMap(101, k.good);
        const GoodRegion region = FindGoodRegion(map);
        ASSERT_TRUE(region.Robust);
        const MapXY at = ScaledPoint(map, region.Robust->At);
        EXPECT_NEAR(at.x, k.u, k.tolerance);
        EXPECT_NEAR(at.y, k.v, k.tolerance);
        EXPECT_NEAR(region.Robust->Distance, k.distance, k.tolerance);
        ASSERT_FALSE(region.Outline.empty());
        for (const MapPolyline& line : region.Outline) EXPECT_TRUE(line.Closed);
        // Real units: 30 mM and 6 pH units per scaled unit.
        EXPECT_NEAR(region.Robust->dx, 30 * region.Robust->Distance, 1e-9);
        EXPECT_NEAR(region.Robust->dy, 6 * region.Robust->Distance, 1e-9);
    }
}

TEST(GoodRegion, EmptyRegionHasNoPoint)
{
    const DesignMap map = SyntheticMap(21, [](double, double) { return false; });
    const GoodRegion region = FindGoodRegion(map);
    EXPECT_FALSE(region.Robust);
    EXPECT_TRUE(region.Outline.empty());
    EXPECT_EQ(region.Points, 0);
    DesignMap cancelled = SyntheticMap(21, [](double, double) { return true; });
    cancelled.Cancelled = true;
    EXPECT_FALSE(FindGoodRegion(cancelled).Robust);
}

TEST(GoodRegion, TimeLimitBoundsTheRegion)
{
    // Rs is good everywhere; the run is too long above the middle row.
    DesignMap map = SyntheticMap(41, [](double, double) { return true; });
    map.Settings.Analysis.LongestRun = 600;
    for (int j = 0; j < 41; ++j)
        for (int i = 0; i < 41; ++i) {
            MapPoint& p = map.Points[static_cast<size_t>(j * 41 + i)];
            p.Value[mvRun] = 400 + 10.0 * j;  // 600 s at j = 20
            p.WithinLimit = j <= 20;
        }
    const GoodRegion region = FindGoodRegion(map);
    ASSERT_TRUE(region.Robust);
    EXPECT_EQ(region.Points, 41 * 21);
    EXPECT_NEAR(ScaledPoint(map, region.Robust->At).y, 0.25, 0.013);
    EXPECT_NEAR(region.Robust->Distance, 0.25, 0.013);
}

TEST(GoodRegion, LogarithmicConcentrationsInDecades)
{
    // 0.1 to 100 mM: three decades; a disc of radius 0.1 scaled units around lg c = 0.5 (3.16 mM).
    const DesignMap map = SyntheticMap(101, [](double u, double v) { return std::hypot(u - 0.5, v - 0.5) <= 0.1; }, true);
    const GoodRegion region = FindGoodRegion(map);
    ASSERT_TRUE(region.Robust);
    const RobustPoint& r = *region.Robust;
    EXPECT_NEAR(r.At.x, std::sqrt(10.0), 0.1);
    EXPECT_NEAR(std::log10(r.xHigh / r.At.x), 3 * r.Distance, 1e-9);
    EXPECT_NEAR(std::log10(r.At.x / r.xLow), 3 * r.Distance, 1e-9);
}

TEST(GoodRegion, RobustText)
{
    RobustPoint r;
    const struct {
        double dy, dx;
        TMapCondition condition;
        const char* text;
    } cases[] = {
        {0.3, 2.1, TMapCondition::pH, "\u00b10.3 pH, \u00b12.1 mM"},
        {0.2999, 2.149, TMapCondition::pH, "\u00b10.3 pH, \u00b12.1 mM"},
        {2468, 0.0123, TMapCondition::Voltage, "\u00b12.5 kV, \u00b10.012 mM"},
        {0.04, 10, TMapCondition::Detector, "\u00b14 cm, \u00b110 mM"},
    };
    for (const auto& k : cases) {
        r.dy = k.dy, r.dx = k.dx;
        EXPECT_EQ(RobustText(r, k.condition), k.text);
    }
}

TEST(DesignMap, ContoursLieOnTheirLevel)
{
    // The Rs = 1.5 line of a real map, read back through the analysis at its points.
    const Params p = PhPair();
    const DesignSpaceSettings s = Settings(TMapCondition::pH, 5.5, 8.5, 101, 101);
    const DesignMap map = ComputeDesignMap(p, s);
    const auto lines = MapContours(map, mvRs, BaselineResolution);
    ASSERT_FALSE(lines.empty());
    size_t points = 0;
    for (const MapPolyline& line : lines)
        for (const MapXY& xy : line.Points) {
            Params q = p;
            q.pH = xy.y;
            q.Derive();
            const PeakFigures f = AnalyseAt(q, xy.x, s.Analysis);
            ASSERT_TRUE(f.Rs);
            // Linear between grid points: within the change of Rs over a cell (0.4 mM, 0.03 pH).
            EXPECT_NEAR(*f.Rs, 1.5, 0.05) << xy.x << " mM, pH " << xy.y;
            ++points;
        }
    EXPECT_GT(points, 20u);
    const GoodRegion region = FindGoodRegion(map);
    EXPECT_GT(region.Points, 0);
}

}  // namespace
