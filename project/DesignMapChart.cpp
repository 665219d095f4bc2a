#include "project/DesignMapChart.h"

#include "model/Sweep.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double SecondsPerMinute = 60;

// The line series of the map's picture: title, colour, width, style.
TFastLineSeries* NewLine(TChart* Chart, const UnicodeString& Title, TColor Colour, int Width, TPenStyle Style)
{
    auto* s = new TFastLineSeries(Chart);
    s->SetXValuesOrder(loNone);
    s->SetTitle(Title);
    s->SetSeriesColor(Colour);
    s->GetLinePen()->SetWidth(Width);
    s->GetLinePen()->SetStyle(Style);
    s->SetParentChart(Chart);
    return s;
}

// Polylines as one line series, a gap (NaN) between them, closed ones back at their start.
void AddPolylines(TFastLineSeries* Series, const DesignMap& Map, const std::vector<MapPolyline>& Lines)
{
    const double yShown = MapConditionShown(Map.Settings.Y);
    for (const MapPolyline& line : Lines) {
        if (line.Points.empty()) continue;
        if (Series->Count() > 0) Series->AddXY(NaN, NaN);
        for (const MapXY& p : line.Points) Series->AddXY(MapAxisX(Map, p.x), p.y * yShown);
        if (line.Closed) Series->AddXY(MapAxisX(Map, line.Points.front().x), line.Points.front().y * yShown);
    }
}

// Cell edges along one axis: half way between neighbouring grid points, the outer ones at the
// first and the last point.
std::vector<double> Edges(const std::vector<double>& Points)
{
    std::vector<double> e;
    e.reserve(Points.size() + 1);
    e.push_back(Points.front());
    for (std::size_t k = 1; k < Points.size(); ++k) e.push_back((Points[k - 1] + Points[k]) / 2);
    e.push_back(Points.back());
    return e;
}

}  // namespace

UnicodeString MapShownTitle(int Value)
{
    switch (Value) {
    case mvRs: return "Rs";
    case mvT1: return "t1 / min";
    case mvT2: return "t2 / min";
    case mvDt: return "\u0394t / min";
    case mvRun: return "Longest of t1, t2 / min";
    case MapProbability: return "P(Rs \u2265 1.5)";
    default: break;
    }
    if (Value >= mvMeasure && Value < MapValueCount) return GraphText(Value - mvMeasure);
    return "";
}

double MapShownValue(const DesignMap& Map, const ProbabilityMap* Probability, int Value, int i, int j)
{
    const std::size_t k = static_cast<std::size_t>(j) * static_cast<std::size_t>(Map.nx()) + static_cast<std::size_t>(i);
    if (Value == MapProbability) {
        if (Probability == nullptr || k >= Probability->P.size() || !Probability->P[k]) return NaN;
        return *Probability->P[k];
    }
    if (Value < 0 || Value >= MapValueCount) return NaN;
    const Figure& f = Map.At(i, j).Value[Value];
    if (!f) return NaN;
    if (Value == mvT1 || Value == mvT2 || Value == mvDt || Value == mvRun) return *f / SecondsPerMinute;
    if (Value >= mvMeasure) return *f * Measures[Value - mvMeasure].Shown;
    return *f;
}

UnicodeString MapConditionTitle(TMapCondition Condition)
{
    const UnicodeString unit = MapConditionShownUnit(Condition);
    return MapConditionName(Condition) + (unit.empty() ? "" : " / " + unit);
}

double MapAxisX(const DesignMap& Map, double C)
{
    return Map.Scale.Log ? std::log10(std::max(C, Map.Scale.From)) : C;
}

double MapConcentration(const DesignMap& Map, double AxisX)
{
    return Map.Scale.Log ? std::pow(10.0, AxisX) : AxisX;
}

void DressDesignMapChart(TChart* Chart)
{
    Chart->SetColor(clWindow);
    Chart->SetBackColor(clWhite);
    Chart->GetTitle()->SetVisible(false);
    Chart->GetRightAxis()->SetVisible(false);
    Chart->SetAllowZoom(false);
    for (TChartAxis* a : {Chart->GetBottomAxis(), Chart->GetLeftAxis()}) {
        a->GetGrid()->SetVisible(false);
        a->GetLabelsFont()->SetHeight(-13);
        a->GetTitle()->GetFont()->SetHeight(-13);
    }
    Chart->GetColorScale()->GetFont()->SetHeight(-13);
    Chart->GetLegend()->GetFont()->SetHeight(-12);
    std::vector<TColor> colours;
    for (int k = 0; k < 256; ++k) colours.push_back(ViridisColor(k / 255.0));
    Chart->GetColorScale()->SetColors(colours);
}

void ShowDesignMap(TChart* Chart, const DesignMapView& View)
{
    Chart->FreeAllSeries();
    TChartColorScale* scale = Chart->GetColorScale();
    if (View.Map == nullptr || !View.Map->Complete()) {
        scale->SetVisible(false);
        return;
    }
    const DesignMap& map = *View.Map;
    const int nx = map.nx(), ny = map.ny();
    const double yShown = MapConditionShown(map.Settings.Y);

    // The colours over the defined values.
    std::vector<double> values(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny));
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const double v = MapShownValue(map, View.Probability, View.Value, i, j);
            values[static_cast<std::size_t>(j) * static_cast<std::size_t>(nx) + static_cast<std::size_t>(i)] = v;
            if (std::isfinite(v)) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        }
    if (View.Value == MapProbability) {
        lo = 0;
        hi = 1;
    } else if (!(lo <= hi)) {
        lo = 0;
        hi = 1;
    }
    scale->SetRange(lo, hi);
    scale->SetTitle(MapShownTitle(View.Value));
    scale->SetVisible(true);

    // Rows from the lowest y up, whichever way the map runs; an axis whose grid points all lie
    // on one value (an empty range) shows its first line of points as one cell across.
    std::vector<double> xs(static_cast<std::size_t>(nx)), ys(map.y);
    for (int i = 0; i < nx; ++i) xs[static_cast<std::size_t>(i)] = MapAxisX(map, map.x[static_cast<std::size_t>(i)]);
    for (double& y : ys) y *= yShown;
    const int columns = xs.front() == xs.back() ? 1 : nx, rows = ys.front() == ys.back() ? 1 : ny;
    xs.resize(static_cast<std::size_t>(columns));
    ys.resize(static_cast<std::size_t>(rows));
    const bool down = rows > 1 && ys.back() < ys.front();
    if (down) std::reverse(ys.begin(), ys.end());
    std::vector<TColor> cells(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    for (int j = 0; j < rows; ++j) {
        const int row = down ? rows - 1 - j : j;
        for (int i = 0; i < columns; ++i)
            cells[static_cast<std::size_t>(j) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(i)] =
                scale->ColorOf(values[static_cast<std::size_t>(row) * static_cast<std::size_t>(nx) + static_cast<std::size_t>(i)]);
    }
    auto* grid = new TColorGridSeries(Chart);
    grid->SetTitle(MapShownTitle(View.Value));
    grid->SetParentChart(Chart);
    // One cell along an axis spans a little either side of its point.
    auto widen = [](std::vector<double> e) {
        if (e.size() == 2 && !(e[1] > e[0])) {
            const double h = std::max(std::abs(e[0]) * 1e-3, 1e-9);
            e = {e[0] - h, e[0] + h};
        }
        return e;
    };
    grid->SetGrid(widen(Edges(xs)), widen(Edges(ys)), std::move(cells));

    AddPolylines(NewLine(Chart, "Rs = 1.5", RGB(230, 0, 120), 2, psDash), map, MapContours(map, mvRs, BaselineResolution));
    const double limit = map.Settings.Analysis.LongestRun;
    if (limit > 0)
        AddPolylines(NewLine(Chart, "longest run", RGB(255, 130, 0), 2, psDashDot), map, MapContours(map, mvRun, limit));
    if (View.Region != nullptr) {
        const GoodRegion& region = *View.Region;
        AddPolylines(NewLine(Chart, "Rs \u2265 1.5 within the run", clBlack, 2, psSolid), map, region.Outline);
        if (region.Robust) {
            auto* robust = new TPointSeries(Chart);
            robust->SetTitle("most robust: " + RobustText(*region.Robust, map.Settings.Y));
            robust->SetSeriesColor(clWhite);
            robust->GetPointer()->GetPen()->SetColor(clBlack);
            robust->GetPointer()->SetStyle(psDiamond);
            robust->GetPointer()->SetSize(6);
            robust->SetParentChart(Chart);
            robust->AddXY(MapAxisX(map, region.Robust->At.x), region.Robust->At.y * yShown);
        }
    }
    Chart->GetBottomAxis()->GetTitle()->SetCaption(map.Scale.Log ? "lg(selector concentration / mM)"
                                                                 : "Selector concentration / mM");
    Chart->GetLeftAxis()->GetTitle()->SetCaption(MapConditionTitle(map.Settings.Y));
    Chart->GetBottomAxis()->SetAutomatic(true);
    Chart->GetLeftAxis()->SetAutomatic(true);
}
