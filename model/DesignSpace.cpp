#include "model/DesignSpace.h"

#include "model/Parallel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

Figure Finite(double x)
{
    if (std::isfinite(x)) return x;
    return std::nullopt;
}

}  // namespace

UnicodeString MapConditionName(TMapCondition condition)
{
    switch (condition) {
    case TMapCondition::pH: return "pH";
    case TMapCondition::Voltage: return "Voltage";
    case TMapCondition::Detector: return "Detector length";
    }
    return "";
}

double MapConditionShown(TMapCondition condition)
{
    switch (condition) {
    case TMapCondition::pH: return 1;
    case TMapCondition::Voltage: return 0.001;
    case TMapCondition::Detector: return 100;
    }
    return 1;
}

UnicodeString MapConditionShownUnit(TMapCondition condition)
{
    switch (condition) {
    case TMapCondition::pH: return "";
    case TMapCondition::Voltage: return "kV";
    case TMapCondition::Detector: return "cm";
    }
    return "";
}

bool MapConditionAvailable(const Params& params, TMapCondition condition)
{
    return condition != TMapCondition::pH || params.applypH;
}

double MapConditionValue(const Params& params, TMapCondition condition)
{
    switch (condition) {
    case TMapCondition::pH: return params.pH;
    case TMapCondition::Voltage: return params.phys.Voltage;
    case TMapCondition::Detector: return params.phys.Detector;
    }
    return 0;
}

DesignSpaceSettings DefaultDesignSpace(const Params& params, TMapCondition condition)
{
    DesignSpaceSettings s;
    s.Y = condition;
    const double value = MapConditionValue(params, condition);
    switch (condition) {
    case TMapCondition::pH:
        s.yFrom = std::max(0.0, value - 2);
        s.yTo = std::min(14.0, value + 2);
        if (!(s.yFrom < s.yTo)) s.yFrom = value - 2, s.yTo = value + 2;
        break;
    case TMapCondition::Voltage:
        if (value >= 5000 && value <= 30000)
            s.yFrom = 5000, s.yTo = 30000;
        else
            s.yFrom = 0.2 * value, s.yTo = 1.2 * value;
        break;
    case TMapCondition::Detector:
        s.yFrom = 0.2 * params.phys.Capillary;
        s.yTo = params.phys.Capillary;
        break;
    }
    return s;
}

UnicodeString DesignSpaceRefusal(const Params& params, const DesignSpaceSettings& settings)
{
    auto inside = [](int n) { return n >= MinMapSize && n <= MaxMapSize; };
    if (!inside(settings.nx) || !inside(settings.ny))
        return "A map has " + IntToStr(MinMapSize) + " to " + IntToStr(MaxMapSize) + " grid points along each axis, not " +
               IntToStr(settings.nx) + " \u00d7 " + IntToStr(settings.ny) + ".";
    if (!std::isfinite(settings.yFrom) || !std::isfinite(settings.yTo))
        return "The range of the " + MapConditionName(settings.Y) + " is not a pair of numbers.";
    if (!MapConditionAvailable(params, settings.Y))
        return UnicodeString("The pH can only vary with the pH model on.");
    return "";
}

UnicodeString MapValueHeading(int value)
{
    switch (value) {
    case mvRs: return "Rs [-]";
    case mvT1: return "t1 [s]";
    case mvT2: return "t2 [s]";
    case mvDt: return "dt [s]";
    case mvRun: return "longest run [s]";
    default: break;
    }
    if (value >= mvMeasure && value < MapValueCount) return Measures[value - mvMeasure].ValueHeading;
    return "";
}

Params ParamsAtCondition(const Params& params, TMapCondition condition, double y)
{
    Params p = params;
    switch (condition) {
    case TMapCondition::pH: p.pH = y; break;
    case TMapCondition::Voltage: p.phys.Voltage = y; break;
    case TMapCondition::Detector: p.phys.Detector = y; break;
    }
    p.Derive();
    return p;
}

namespace {

// Why a row's condition is impossible, or nullptr.
const char* ImpossibleRow(const Params& p, TMapCondition condition)
{
    if (condition == TMapCondition::Voltage && p.phys.Voltage == 0) return "no field moves the analytes";
    if (condition == TMapCondition::Detector && !(p.phys.Detector > 0 && p.phys.Detector <= p.phys.Capillary))
        return "the detector does not lie on the capillary";
    return nullptr;
}

// One row of the map: the points at (x[i], y) and, when the row could not be computed, why.
void ComputeRow(const Params& params, const DesignSpaceSettings& s, const std::vector<double>& x, double y,
                MapPoint* row, UnicodeString& problem)
{
    const AnalysisOptions& o = s.Analysis;
    const std::optional<PhysParams> phys = MapRowPhys(params, s, y, problem);
    if (!phys) return;
    const PhysParams& p = *phys;
    for (size_t i = 0; i < x.size(); ++i) {
        MapPoint& m = row[i];
        const PeakFigures f = AnalyseAt(p, x[i], o);
        m.Value[mvRs] = f.Rs;
        m.Value[mvT1] = f.t1;
        m.Value[mvT2] = f.t2;
        m.Value[mvDt] = f.dt;
        if (f.t1 && f.t2) m.Value[mvRun] = std::max(*f.t1, *f.t2);
        m.WithinLimit = f.t1 && f.t2 && !f.TooLong;
        if (!f.Computed) continue;
        try {
            const PointValues v(p, x[i]);
            for (int k = 0; k < GraphChoiceCount; ++k)
                m.Value[mvMeasure + k] = Finite(v.*Measures[k].Value);
        } catch (const EMathError&) {
            // The measures stay undefined.
        }
    }
}

UnicodeString Number(double x)
{
    return FloatToStrF(x, ffGeneral, 4, 0);
}

}  // namespace

void MapAxes(const Params& params, const DesignSpaceSettings& settings, ConcentrationScale& scale,
             std::vector<double>& x, std::vector<double>& y)
{
    scale = AnalysisScale(params, settings.Analysis);
    x = ScaleConcentrations(scale, settings.nx);
    const int ny = std::max(settings.ny, 1);
    y.resize(static_cast<size_t>(ny));
    for (int j = 0; j < ny; ++j)
        y[static_cast<size_t>(j)] =
            j == ny - 1 ? settings.yTo : settings.yFrom + (settings.yTo - settings.yFrom) * j / (ny - 1);
}

std::optional<PhysParams> MapRowPhys(const Params& params, const DesignSpaceSettings& settings, double y,
                                     UnicodeString& problem)
{
    Params q;
    try {
        q = ParamsAtCondition(params, settings.Y, y);
    } catch (const Exception& e) {
        problem = e.Message();
        return std::nullopt;
    }
    if (const char* why = ImpossibleRow(q, settings.Y)) {
        problem = why;
        return std::nullopt;
    }
    // AnalyseAt(q, c, o) with the diffusion coefficients found once for the row.
    const DiffusionUsed d = AnalysisDiffusion(q, settings.Analysis);
    PhysParams p = q.phys;
    p.D01 = d.D01, p.D02 = d.D02, p.D1 = d.D1, p.D2 = d.D2;
    return p;
}

DesignMap ComputeDesignMap(const Params& params, const DesignSpaceSettings& settings, const MapProgress& progress,
                           int threads)
{
    const UnicodeString refusal = DesignSpaceRefusal(params, settings);
    if (!refusal.empty()) throw Exception(refusal);
    DesignMap map;
    map.Settings = settings;
    MapAxes(params, settings, map.Scale, map.x, map.y);
    if (map.Scale.Empty) {
        map.x.clear(), map.y.clear();
        map.Warnings.push_back("The concentration range is empty: there is nothing to map.");
        return map;
    }
    const int ny = settings.ny;
    const size_t nx = map.x.size();
    map.Points.assign(nx * static_cast<size_t>(ny), MapPoint());
    std::vector<UnicodeString> problems(static_cast<size_t>(ny));

    const bool finished = ParallelFor(ny, threads, [&](int j) {
        try {
            ComputeRow(params, settings, map.x, map.y[static_cast<size_t>(j)], &map.Points[static_cast<size_t>(j) * nx],
                       problems[static_cast<size_t>(j)]);
        } catch (const std::exception& e) {
            problems[static_cast<size_t>(j)] = e.what();
        }
    }, progress);
    if (!finished) {
        map.Cancelled = true;
        map.Points.clear();
        return map;
    }

    // One sentence per run of rows with the same problem.
    auto condition = [&](double y) {
        return settings.Y == TMapCondition::pH ? "pH " + Number(y)
                                               : Number(y * MapConditionShown(settings.Y)) + " " +
                                                     MapConditionShownUnit(settings.Y);
    };
    for (int j = 0; j < ny;) {
        const UnicodeString& why = problems[static_cast<size_t>(j)];
        int e = j;
        while (e + 1 < ny && problems[static_cast<size_t>(e + 1)] == why) ++e;
        if (!why.empty()) {
            const double a = map.y[static_cast<size_t>(j)], b = map.y[static_cast<size_t>(e)];
            const UnicodeString where = j == e ? "At " + condition(a) : "From " + condition(a) + " to " + condition(b);
            map.Warnings.push_back(where + ": " + why + "; nothing is defined there.");
        }
        j = e + 1;
    }
    return map;
}

// ---------------------------------------------------------------------------------------------
// Contours

namespace {

// The crossing of one edge of the grid: edge 2 k is the horizontal edge from point k to k + 1,
// edge 2 k + 1 the vertical one from point k to k + nx.
struct Crossings {
    const std::vector<double>& v;
    int nx;
    double level;
    MapXY At(std::int64_t edge) const
    {
        const std::int64_t k = edge / 2;
        const int i = static_cast<int>(k % nx), j = static_cast<int>(k / nx);
        const bool vertical = edge % 2 != 0;
        const std::int64_t other = vertical ? k + nx : k + 1;
        const double a = v[static_cast<size_t>(k)], b = v[static_cast<size_t>(other)];
        double t = a == b ? 0.5 : (level - a) / (b - a);
        t = std::clamp(t, 0.0, 1.0);
        return vertical ? MapXY{double(i), j + t} : MapXY{i + t, double(j)};
    }
};

}  // namespace

std::vector<MapPolyline> MarchingSquares(const std::vector<double>& values, int nx, int ny, double level)
{
    std::vector<MapPolyline> lines;
    if (nx < 2 || ny < 2 || values.size() != static_cast<size_t>(nx) * static_cast<size_t>(ny)) return lines;
    auto at = [&](int i, int j) { return values[static_cast<size_t>(j) * static_cast<size_t>(nx) + static_cast<size_t>(i)]; };
    auto edgeH = [nx](int i, int j) { return 2 * (std::int64_t(j) * nx + i); };
    auto edgeV = [nx](int i, int j) { return 2 * (std::int64_t(j) * nx + i) + 1; };
    std::vector<std::pair<std::int64_t, std::int64_t>> segments;
    for (int j = 0; j + 1 < ny; ++j)
        for (int i = 0; i + 1 < nx; ++i) {
            const double bl = at(i, j), br = at(i + 1, j), tr = at(i + 1, j + 1), tl = at(i, j + 1);
            if (std::isnan(bl) || std::isnan(br) || std::isnan(tr) || std::isnan(tl)) continue;
            const int index = (bl >= level ? 1 : 0) | (br >= level ? 2 : 0) | (tr >= level ? 4 : 0) | (tl >= level ? 8 : 0);
            const std::int64_t bottom = edgeH(i, j), top = edgeH(i, j + 1), left = edgeV(i, j), right = edgeV(i + 1, j);
            auto add = [&](std::int64_t a, std::int64_t b) { segments.emplace_back(a, b); };
            const bool centreHigh = (bl + br + tr + tl) / 4 >= level;
            switch (index) {
            case 1: case 14: add(left, bottom); break;
            case 2: case 13: add(bottom, right); break;
            case 3: case 12: add(left, right); break;
            case 4: case 11: add(right, top); break;
            case 6: case 9: add(bottom, top); break;
            case 7: case 8: add(left, top); break;
            case 5:  // bl and tr high
                if (centreHigh) add(bottom, right), add(left, top);
                else add(left, bottom), add(right, top);
                break;
            case 10:  // br and tl high
                if (centreHigh) add(left, bottom), add(right, top);
                else add(bottom, right), add(left, top);
                break;
            default: break;
            }
        }
    if (segments.empty()) return lines;

    // Every edge is shared by at most two segments (one in each cell beside it).
    const size_t edges = 2 * static_cast<size_t>(nx) * static_cast<size_t>(ny);
    std::vector<std::int32_t> first(edges, -1), second(edges, -1);
    for (size_t s = 0; s < segments.size(); ++s)
        for (const std::int64_t e : {segments[s].first, segments[s].second}) {
            auto& slot = first[static_cast<size_t>(e)] < 0 ? first[static_cast<size_t>(e)] : second[static_cast<size_t>(e)];
            slot = static_cast<std::int32_t>(s);
        }
    std::vector<bool> used(segments.size(), false);
    const Crossings crossing{values, nx, level};
    // The other segment at edge e than s, unused, or -1.
    auto next = [&](std::int64_t e, std::int32_t s) {
        for (const std::int32_t t : {first[static_cast<size_t>(e)], second[static_cast<size_t>(e)]})
            if (t >= 0 && t != s && !used[static_cast<size_t>(t)]) return t;
        return std::int32_t(-1);
    };
    auto otherEnd = [&](std::int32_t s, std::int64_t e) {
        const auto& seg = segments[static_cast<size_t>(s)];
        return seg.first == e ? seg.second : seg.first;
    };
    for (size_t s0 = 0; s0 < segments.size(); ++s0) {
        if (used[s0]) continue;
        used[s0] = true;
        std::vector<std::int64_t> chain{segments[s0].first, segments[s0].second};
        // Forwards from the second end, then backwards from the first.
        bool closed = false;
        std::int32_t s = static_cast<std::int32_t>(s0);
        for (;;) {
            const std::int64_t end = chain.back();
            const std::int32_t t = next(end, s);
            if (t < 0) break;
            used[static_cast<size_t>(t)] = true;
            const std::int64_t far = otherEnd(t, end);
            s = t;
            if (far == chain.front()) {
                closed = true;
                break;
            }
            chain.push_back(far);
        }
        if (!closed) {
            std::vector<std::int64_t> before;
            s = static_cast<std::int32_t>(s0);
            std::int64_t end = chain.front();
            for (;;) {
                const std::int32_t t = next(end, s);
                if (t < 0) break;
                used[static_cast<size_t>(t)] = true;
                end = otherEnd(t, end);
                s = t;
                before.push_back(end);
            }
            chain.insert(chain.begin(), before.rbegin(), before.rend());
        }
        MapPolyline line;
        line.Closed = closed;
        line.Points.reserve(chain.size());
        for (const std::int64_t e : chain)
            line.Points.push_back(crossing.At(e));
        lines.push_back(std::move(line));
    }
    return lines;
}

MapXY ScaledPoint(const DesignMap& map, MapXY real)
{
    const ConcentrationScale& s = map.Scale;
    MapXY u;
    if (s.Log && s.From > 0 && real.x > 0)
        u.x = s.To > s.From ? std::log10(real.x / s.From) / std::log10(s.To / s.From) : 0;
    else
        u.x = s.To != s.From ? (real.x - s.From) / (s.To - s.From) : 0;
    const double y0 = map.Settings.yFrom, y1 = map.Settings.yTo;
    u.y = y1 != y0 ? (real.y - y0) / (y1 - y0) : 0;
    return u;
}

MapXY RealPoint(const DesignMap& map, MapXY scaled)
{
    const ConcentrationScale& s = map.Scale;
    MapXY r;
    if (s.Log && s.From > 0)
        r.x = s.From * std::pow(s.To / s.From, scaled.x);
    else
        r.x = s.From + (s.To - s.From) * scaled.x;
    const double y0 = map.Settings.yFrom, y1 = map.Settings.yTo;
    r.y = y0 + (y1 - y0) * scaled.y;
    return r;
}

namespace {

// Grid position (i, j) to scaled units.
MapXY GridToScaled(const DesignMap& map, MapXY g)
{
    const int nx = map.nx(), ny = map.ny();
    return {nx > 1 ? g.x / (nx - 1) : 0, ny > 1 ? g.y / (ny - 1) : 0};
}

}  // namespace

std::vector<MapPolyline> MapContours(const DesignMap& map, int value, double level)
{
    if (!map.Complete() || value < 0 || value >= MapValueCount) return {};
    std::vector<double> v(map.Points.size());
    for (size_t k = 0; k < v.size(); ++k)
        v[k] = map.Points[k].Value[value].value_or(NaN);
    std::vector<MapPolyline> lines = MarchingSquares(v, map.nx(), map.ny(), level);
    for (MapPolyline& line : lines)
        for (MapXY& p : line.Points)
            p = RealPoint(map, GridToScaled(map, p));
    return lines;
}

// ---------------------------------------------------------------------------------------------
// The good region

namespace {

// Squared distances along one line of n values f with spacing h (Felzenszwalb and Huttenlocher,
// "Distance Transforms of Sampled Functions", 2012): the lower envelope of the parabolas
// (h (p - q))^2 + f(q).
void Transform1D(const double* f, std::size_t stride, int n, double h, double* out, std::vector<int>& v,
                 std::vector<double>& z)
{
    v.assign(static_cast<size_t>(n), 0);
    z.assign(static_cast<size_t>(n) + 1, 0);
    const double h2 = h * h;
    auto F = [&](int q) { return f[static_cast<size_t>(q) * stride]; };
    int k = -1;
    for (int q = 0; q < n; ++q) {
        if (!std::isfinite(F(q))) continue;
        if (k < 0) {
            k = 0;
            v[0] = q;
            z[0] = -Infinity;
            z[1] = Infinity;
            continue;
        }
        double s;
        for (;;) {
            const int r = v[static_cast<size_t>(k)];
            s = ((F(q) + h2 * q * q) - (F(r) + h2 * r * r)) / (2 * h2 * (q - r));
            if (s <= z[static_cast<size_t>(k)] && k > 0)
                --k;
            else
                break;
        }
        if (s <= z[static_cast<size_t>(k)]) {
            // Only when k = 0: the new parabola lies below the first everywhere.
            v[0] = q;
            z[1] = Infinity;
            continue;
        }
        ++k;
        v[static_cast<size_t>(k)] = q;
        z[static_cast<size_t>(k)] = s;
        z[static_cast<size_t>(k) + 1] = Infinity;
    }
    if (k < 0) {
        for (int q = 0; q < n; ++q)
            out[static_cast<size_t>(q)] = Infinity;
        return;
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[static_cast<size_t>(k) + 1] < q) ++k;
        const int r = v[static_cast<size_t>(k)];
        out[static_cast<size_t>(q)] = h2 * double(q - r) * double(q - r) + F(r);
    }
}

double SegmentDistance(MapXY p, MapXY a, MapXY b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - p.x, ey = a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

// The distance of p to the nearest segment of the lines.
double OutlineDistance(MapXY p, const std::vector<MapPolyline>& lines)
{
    double best = Infinity;
    for (const MapPolyline& line : lines) {
        const size_t n = line.Points.size();
        for (size_t k = 0; k + 1 < n + (line.Closed ? 1 : 0); ++k)
            best = std::min(best, SegmentDistance(p, line.Points[k], line.Points[(k + 1) % n]));
    }
    return best;
}

// The most candidates whose distance to the outline is measured.
constexpr size_t MaxCandidates = 4000;

}  // namespace

std::vector<double> SquaredDistanceTransform(const std::vector<bool>& inside, int nx, int ny, double hx, double hy)
{
    // A ring of outside points around the grid.
    const int px = nx + 2, py = ny + 2;
    std::vector<double> g(static_cast<size_t>(px) * static_cast<size_t>(py), 0.0), column(static_cast<size_t>(py));
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i)
            if (inside[static_cast<size_t>(j) * static_cast<size_t>(nx) + static_cast<size_t>(i)])
                g[static_cast<size_t>(j + 1) * static_cast<size_t>(px) + static_cast<size_t>(i + 1)] = Infinity;
    std::vector<int> v;
    std::vector<double> z;
    for (int i = 0; i < px; ++i) {
        Transform1D(&g[static_cast<size_t>(i)], static_cast<size_t>(px), py, hy, column.data(), v, z);
        for (int j = 0; j < py; ++j)
            g[static_cast<size_t>(j) * static_cast<size_t>(px) + static_cast<size_t>(i)] = column[static_cast<size_t>(j)];
    }
    std::vector<double> row(static_cast<size_t>(px));
    std::vector<double> out(static_cast<size_t>(nx) * static_cast<size_t>(ny));
    for (int j = 1; j <= ny; ++j) {
        Transform1D(&g[static_cast<size_t>(j) * static_cast<size_t>(px)], 1, px, hx, row.data(), v, z);
        for (int i = 1; i <= nx; ++i)
            out[static_cast<size_t>(j - 1) * static_cast<size_t>(nx) + static_cast<size_t>(i - 1)] = row[static_cast<size_t>(i)];
    }
    return out;
}

GoodRegion FindGoodRegion(const DesignMap& map)
{
    GoodRegion region;
    if (!map.Complete()) return region;
    const int nx = map.nx(), ny = map.ny();
    const double limit = map.Settings.Analysis.LongestRun;
    // The margin on a grid padded by a ring that repeats the border's positions, outside.
    const int px = nx + 2, py = ny + 2;
    std::vector<double> margin(static_cast<size_t>(px) * static_cast<size_t>(py), -1.0);
    std::vector<bool> inside(map.Points.size(), false);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const MapPoint& p = map.At(i, j);
            // Continuous across both edges (the resolution's and the run limit's), so that the
            // outline is interpolated between grid points along either.
            double m = -1;
            if (p.Rs()) {
                m = (*p.Rs() - BaselineResolution) / BaselineResolution;
                if (limit > 0 && p.Value[mvRun]) m = std::min(m, (limit - *p.Value[mvRun]) / limit);
            }
            m = p.Good() ? std::max(m, 0.0) : std::min(m, -1e-12);
            margin[static_cast<size_t>(j + 1) * static_cast<size_t>(px) + static_cast<size_t>(i + 1)] = m;
            const bool good = p.Good();
            inside[static_cast<size_t>(j) * static_cast<size_t>(nx) + static_cast<size_t>(i)] = good;
            region.Points += good ? 1 : 0;
        }
    std::vector<MapPolyline> outline = MarchingSquares(margin, px, py, 0.0);
    // Padded grid positions to scaled units: the ring sits on the border.
    for (MapPolyline& line : outline)
        for (MapXY& p : line.Points)
            p = GridToScaled(map, {std::clamp(p.x - 1, 0.0, double(nx - 1)), std::clamp(p.y - 1, 0.0, double(ny - 1))});
    for (const MapPolyline& line : outline) {
        MapPolyline real = line;
        for (MapXY& p : real.Points)
            p = RealPoint(map, p);
        region.Outline.push_back(std::move(real));
    }
    if (region.Points == 0) return region;

    const double hx = nx > 1 ? 1.0 / (nx - 1) : 1.0, hy = ny > 1 ? 1.0 / (ny - 1) : 1.0;
    const std::vector<double> d2 = SquaredDistanceTransform(inside, nx, ny, hx, hy);
    double most = 0;
    for (size_t k = 0; k < d2.size(); ++k)
        if (inside[k]) most = std::max(most, std::sqrt(d2[k]));
    // The outline lies between a point and the nearest outside point: at most a cell's diagonal
    // nearer than the transform says.
    const double cell = std::sqrt(hx * hx + hy * hy);
    struct Candidate {
        double edt;
        size_t k;
    };
    std::vector<Candidate> candidates;
    for (size_t k = 0; k < d2.size(); ++k)
        if (inside[k] && std::sqrt(d2[k]) >= most - cell) candidates.push_back({std::sqrt(d2[k]), k});
    if (candidates.size() > MaxCandidates) {
        std::nth_element(candidates.begin(), candidates.begin() + MaxCandidates, candidates.end(),
                         [](const Candidate& a, const Candidate& b) { return a.edt > b.edt || (a.edt == b.edt && a.k < b.k); });
        candidates.resize(MaxCandidates);
        std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) { return a.k < b.k; });
    }
    auto scaledOf = [&](size_t k) {
        return GridToScaled(map, {double(k % static_cast<size_t>(nx)), double(k / static_cast<size_t>(nx))});
    };
    std::vector<double> exact(candidates.size());
    double best = -1;
    size_t bestAt = 0;
    for (size_t c = 0; c < candidates.size(); ++c) {
        exact[c] = OutlineDistance(scaledOf(candidates[c].k), outline);
        if (exact[c] > best) best = exact[c], bestAt = c;
    }
    // Equally far points (the middle line of a rectangle): their centroid, when it lies in the
    // region and is as far from the edge.
    const double tolerance = 0.25 * std::min(hx, hy);
    MapXY at = scaledOf(candidates[bestAt].k);
    double distance = best;
    MapXY sum;
    int count = 0;
    for (size_t c = 0; c < candidates.size(); ++c)
        if (exact[c] >= best - tolerance) {
            const MapXY p = scaledOf(candidates[c].k);
            sum.x += p.x, sum.y += p.y, ++count;
        }
    if (count > 1) {
        const MapXY centroid{sum.x / count, sum.y / count};
        const int i = static_cast<int>(std::lround(centroid.x * (nx - 1))), j = static_cast<int>(std::lround(centroid.y * (ny - 1)));
        const double dc = OutlineDistance(centroid, outline);
        if (i >= 0 && i < nx && j >= 0 && j < ny && map.At(i, j).Good() && dc >= best - tolerance)
            at = centroid, distance = dc;
    }
    RobustPoint r;
    r.At = RealPoint(map, at);
    r.Distance = distance;
    const double y0 = map.Settings.yFrom, y1 = map.Settings.yTo;
    r.dy = distance * std::fabs(y1 - y0);
    r.yLow = r.At.y - r.dy;
    r.yHigh = r.At.y + r.dy;
    const ConcentrationScale& s = map.Scale;
    if (s.Log && s.From > 0) {
        const double factor = std::pow(s.To / s.From, distance);
        r.xLow = r.At.x / factor;
        r.xHigh = r.At.x * factor;
    } else {
        const double dx = distance * (s.To - s.From);
        r.xLow = r.At.x - dx;
        r.xHigh = r.At.x + dx;
    }
    r.dx = (r.xHigh - r.xLow) / 2;
    region.Robust = r;
    return region;
}

namespace {

// Two significant digits, no exponent, no trailing zeros, the program's decimal separator.
UnicodeString TwoDigits(double x)
{
    if (!std::isfinite(x)) return "?";
    if (x == 0) return "0";
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(x))));
    const int decimals = std::max(0, 1 - magnitude);
    const double step = std::pow(10.0, magnitude - 1);
    const double rounded = std::round(x / step) * step;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, rounded);
    std::string s = text;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    const auto point = s.find('.');
    if (point != std::string::npos) s.replace(point, 1, WideCharToUtf8(FormatSettings.DecimalSeparator));
    return s;
}

}  // namespace

UnicodeString RobustText(const RobustPoint& point, TMapCondition condition)
{
    const UnicodeString unit = condition == TMapCondition::pH ? UnicodeString("pH") : MapConditionShownUnit(condition);
    return "\u00b1" + TwoDigits(point.dy * MapConditionShown(condition)) + " " + unit + ", \u00b1" + TwoDigits(point.dx) +
           " mM";
}
