#include "platform/Series.h"

#include "platform/Chart.h"
#include "platform/ChartPaint.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

void CheckPointIndex(int Index, int Count)
{
    CheckListIndex(Index, Count);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TChartSeries

TChartSeries::TChartSeries(TComponent* AOwner)
    : TComponent(AOwner), FPen(std::make_unique<TChartPen>()), FMinX(kInf), FMaxX(-kInf), FMinY(kInf),
      FMaxY(-kInf)
{
    FPen->SetColor(FSeriesColor);
    FPen->OnChange = [this] { StyleChanged(); };
}

TChartSeries::~TChartSeries()
{
    if (FParentChart) FParentChart->DetachSeries(this);
    FParentChart = nullptr;
}

void TChartSeries::SetParentChart(TChart* Value)
{
    if (FParentChart == Value) return;
    if (FParentChart) FParentChart->DetachSeries(this);
    FParentChart = nullptr;
    if (Value) {
        FParentChart = Value;
        Value->FSeries.push_back(this);
        FDataNotified = false;
        Value->Changed();
    }
}

void TChartSeries::StyleChanged()
{
    if (FParentChart) FParentChart->SeriesStyleChanged(this);
}

void TChartSeries::SetExtent(double MinX, double MaxX, double MinY, double MaxY)
{
    FMinX = MinX;
    FMaxX = MaxX;
    FMinY = MinY;
    FMaxY = MaxY;
    DataChanged();
}

void TChartSeries::NotifyData()
{
    FDataNotified = true;
    FParentChart->SeriesDataChanged(this);
}

void TChartSeries::SetSeriesColor(TColor Value)
{
    if (FSeriesColor == Value) return;
    FSeriesColor = Value;
    StyleChanged();
}

void TChartSeries::SetTitle(const UnicodeString& Value)
{
    if (FTitle == Value) return;
    FTitle = Value;
    StyleChanged();
}

void TChartSeries::SetShowInLegend(bool Value)
{
    if (FShowInLegend == Value) return;
    FShowInLegend = Value;
    if (FParentChart) FParentChart->Changed();
}

void TChartSeries::SetVertAxis(TVertAxis Value)
{
    if (FVertAxis == Value) return;
    FVertAxis = Value;
    StyleChanged();
}

void TChartSeries::SetActive(bool Value)
{
    if (FActive == Value) return;
    FActive = Value;
    StyleChanged();
}

void TChartSeries::SetOverlay(bool Value)
{
    if (FOverlay == Value) return;
    FOverlay = Value;
    if (FParentChart) FParentChart->Changed();
}

void TChartSeries::SetXValuesOrder(TChartListOrder Value) { FXOrder = Value; }

int TChartSeries::AddXY(double X, double Y, const UnicodeString& Label, TColor Color)
{
    const std::size_t count = FX.size();
    int index = static_cast<int>(count);
    try {
        if (FXOrder == loAscending && index > 0 && X < FX.back()) {
            index = static_cast<int>(std::upper_bound(FX.begin(), FX.end(), X) - FX.begin());
            InsertAt(index, X, Y, Label, Color);
        } else {
            FX.push_back(X);
            FY.push_back(Y);
            if (Color != clTeeColor || !FColors.empty()) {
                if (FColors.empty()) FColors.assign(count, clTeeColor);
                FColors.push_back(Color);
            }
            if (!Label.empty() || !FLabels.empty()) {
                if (FLabels.empty()) FLabels.resize(count);
                FLabels.push_back(Label);
            }
        }
    } catch (...) {
        // Out of memory half way: the lists keep one length, the point is not added.
        if (FX.size() > count) FX.erase(FX.begin() + index);
        if (FY.size() > count) FY.erase(FY.begin() + index);
        if (FColors.size() > count) FColors.erase(FColors.begin() + index);
        if (FLabels.size() > count) FLabels.erase(FLabels.begin() + index);
        throw;
    }
    if (std::isfinite(X) && std::isfinite(Y)) {
        if (X < FMinX) FMinX = X;
        if (X > FMaxX) FMaxX = X;
        if (Y < FMinY) FMinY = Y;
        if (Y > FMaxY) FMaxY = Y;
    }
    DataChanged();
    return index;
}

void TChartSeries::InsertAt(int Index, double X, double Y, const UnicodeString& Label, TColor Color)
{
    FX.insert(FX.begin() + Index, X);
    FY.insert(FY.begin() + Index, Y);
    if (Color != clTeeColor || !FColors.empty()) {
        if (FColors.empty()) FColors.assign(FX.size() - 1, clTeeColor);
        FColors.insert(FColors.begin() + Index, Color);
    }
    if (!Label.empty() || !FLabels.empty()) {
        if (FLabels.empty()) FLabels.resize(FX.size() - 1);
        FLabels.insert(FLabels.begin() + Index, Label);
    }
}

void TChartSeries::Clear()
{
    const bool had = !FX.empty();
    FX.clear();
    FY.clear();
    FColors.clear();
    FLabels.clear();
    FMinX = FMinY = kInf;
    FMaxX = FMaxY = -kInf;
    if (had) DataChanged();
}

double TChartSeries::XValue(int Index) const
{
    CheckPointIndex(Index, Count());
    return FX[static_cast<std::size_t>(Index)];
}

double TChartSeries::YValue(int Index) const
{
    CheckPointIndex(Index, Count());
    return FY[static_cast<std::size_t>(Index)];
}

UnicodeString TChartSeries::Labels(int Index) const
{
    CheckPointIndex(Index, Count());
    return FLabels.empty() ? UnicodeString() : FLabels[static_cast<std::size_t>(Index)];
}

TColor TChartSeries::PointColor(int Index) const
{
    CheckPointIndex(Index, Count());
    return FColors.empty() ? clTeeColor : FColors[static_cast<std::size_t>(Index)];
}

TColor TChartSeries::ValueColor(int Index) const
{
    const TColor c = PointColor(Index);
    return c == clTeeColor ? FSeriesColor : c;
}

TChartAxis* TChartSeries::GetVertAxisObject() const
{
    if (!FParentChart) return nullptr;
    return FVertAxis == aRightAxis ? FParentChart->GetRightAxis() : FParentChart->GetLeftAxis();
}

// ---------------------------------------------------------------------------------------------
// TSeriesPointer

TSeriesPointer::TSeriesPointer(TChartSeries* /*AOwner*/) : FPen(std::make_unique<TChartPen>())
{
    FPen->SetColor(clTeeColor);
    FPen->OnChange = [this] { Changed(); };
}

TSeriesPointer::~TSeriesPointer() = default;

void TSeriesPointer::Assign(TPersistent* Source)
{
    if (auto* p = dynamic_cast<TSeriesPointer*>(Source)) {
        FStyle = p->FStyle;
        FHorizSize = p->FHorizSize;
        FVertSize = p->FVertSize;
        FVisible = p->FVisible;
        FPen->Assign(p->FPen.get());
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TSeriesPointer::Changed()
{
    if (OnChange) OnChange();
}

void TSeriesPointer::SetStyle(TSeriesPointerStyle Value)
{
    if (FStyle == Value) return;
    FStyle = Value;
    Changed();
}

void TSeriesPointer::SetHorizSize(int Value)
{
    Value = std::clamp(Value, 0, 64);
    if (FHorizSize == Value) return;
    FHorizSize = Value;
    Changed();
}

void TSeriesPointer::SetVertSize(int Value)
{
    Value = std::clamp(Value, 0, 64);
    if (FVertSize == Value) return;
    FVertSize = Value;
    Changed();
}

void TSeriesPointer::SetSize(int Value)
{
    Value = std::clamp(Value, 0, 64);
    if (FHorizSize == Value && FVertSize == Value) return;
    FHorizSize = FVertSize = Value;
    Changed();
}

void TSeriesPointer::SetVisible(bool Value)
{
    if (FVisible == Value) return;
    FVisible = Value;
    Changed();
}

void TSeriesPointer::Draw(TCanvas* Canvas, int X, int Y, TColor Color) const
{
    if (!Canvas) return;
    const TColor pen = FPen->GetColor();
    DrawMarker(Canvas, FStyle, FHorizSize, FVertSize, X, Y, Color, FPen->GetVisible(),
               pen == clTeeColor ? Darker(Color) : pen);
}

// ---------------------------------------------------------------------------------------------
// TPointSeries

TPointSeries::TPointSeries(TComponent* AOwner)
    : TChartSeries(AOwner), FPointer(std::make_unique<TSeriesPointer>(this))
{
    FPointer->OnChange = [this] { StyleChanged(); };
}

TPointSeries::~TPointSeries() = default;

void TPointSeries::MarkerPlaces(const TRect& Plot, const TAxisScale& XScale, const TAxisScale& YScale,
                                std::vector<TMarkerPlace>& Out) const
{
    Out.clear();
    const TSeriesPointer* p = FPointer.get();
    if (!p->GetVisible() || FX.empty()) return;
    const TColor penColor = p->GetPen()->GetColor();
    const bool darker = penColor == clTeeColor;
    const TColor seriesOutline = darker ? Darker(FSeriesColor) : penColor;
    const double left = Plot.Left - 0.5, right = Plot.Right - 0.5;
    const double top = Plot.Top - 0.5, bottom = Plot.Bottom - 0.5;
    const bool ownColors = !FColors.empty();
    int lastX = INT_MIN, lastY = INT_MIN;
    TColor lastFill = clNone;
    const std::size_t n = FX.size();
    Out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double px = XScale.CalcPosValueF(FX[i]);
        const double py = YScale.CalcPosValueF(FY[i]);
        if (!(px >= left && px < right && py >= top && py < bottom)) continue;
        // Rounded as TAxisScale::CalcPosValue rounds.
        const int ix = static_cast<int>(std::floor(px + 0.5));
        const int iy = static_cast<int>(std::floor(py + 0.5));
        TColor fill = FSeriesColor, line = seriesOutline;
        if (ownColors && FColors[i] != clTeeColor) {
            fill = FColors[i];
            line = darker ? Darker(fill) : penColor;
        }
        // The same marker on the same spot again changes nothing.
        if (ix == lastX && iy == lastY && fill == lastFill) continue;
        lastX = ix;
        lastY = iy;
        lastFill = fill;
        Out.push_back({ix, iy, fill, line});
    }
}

std::uint32_t TPointSeries::MarkerShape() const
{
    const TSeriesPointer* p = FPointer.get();
    return TMarkerCover::ShapeOf(p->GetStyle(), p->GetHorizSize(), p->GetVertSize(), p->GetPen()->GetVisible());
}

void TPointSeries::DrawValues(TCanvas* Canvas, const TRect& Plot, const TAxisScale& XScale,
                              const TAxisScale& YScale) const
{
    std::vector<TMarkerPlace> places;
    MarkerPlaces(Plot, XScale, YScale, places);
    DrawPlaces(Canvas, Plot, places, nullptr, TRect(), 0);
}

void TPointSeries::DrawPlaces(TCanvas* Canvas, const TRect& Plot, const std::vector<TMarkerPlace>& Places,
                              const int* Grid, const TRect& Area, int Order) const
{
    const TSeriesPointer* p = FPointer.get();
    if (Places.empty()) return;
    const int h = p->GetHorizSize(), v = p->GetVertSize();
    // Markers are drawn whole when their point lies in the plot.
    const int e = MarkerExtent(h, v);
    const TClipScope clip(Canvas, TRect(Plot.Left - e, Plot.Top - e, Plot.Right + e, Plot.Bottom + e));
    if (clip.Empty()) return;
    const TSeriesPointerStyle style = p->GetStyle();
    const bool outline = p->GetPen()->GetVisible();
    // Markers of one colour in a row are drawn in one go.
    std::vector<TPoint> places;
    places.reserve(std::min<std::size_t>(Places.size(), 4096));
    TColor batchFill = Places.front().Fill, batchLine = Places.front().Line;
    auto flush = [&] {
        if (!places.empty())
            DrawMarkers(Canvas, style, h, v, places.data(), int(places.size()), batchFill, outline, batchLine);
        places.clear();
    };
    const int width = Area.Width();
    for (const TMarkerPlace& m : Places) {
        if (Grid != nullptr && m.X >= Area.Left && m.X < Area.Right && m.Y >= Area.Top && m.Y < Area.Bottom &&
            Grid[std::size_t(m.Y - Area.Top) * std::size_t(width) + std::size_t(m.X - Area.Left)] > Order)
            continue;  // a later marker of the same shape paints over it
        if (m.Fill != batchFill || m.Line != batchLine) {
            flush();
            batchFill = m.Fill;
            batchLine = m.Line;
        }
        places.push_back(TPoint(m.X, m.Y));
    }
    flush();
}

void TPointSeries::DrawLegendSample(TCanvas* Canvas, const TRect& R) const
{
    const TSeriesPointer* p = FPointer.get();
    const TClipScope clip(Canvas, R);
    const TColor pen = p->GetPen()->GetColor();
    DrawMarker(Canvas, p->GetStyle(), std::min(p->GetHorizSize(), R.Height() / 2),
               std::min(p->GetVertSize(), R.Height() / 2), (R.Left + R.Right - 1) / 2, (R.Top + R.Bottom - 1) / 2,
               FSeriesColor, p->GetPen()->GetVisible(), pen == clTeeColor ? Darker(FSeriesColor) : pen);
}

// ---------------------------------------------------------------------------------------------
// TFastLineSeries

TFastLineSeries::TFastLineSeries(TComponent* AOwner) : TChartSeries(AOwner) {}

void TFastLineSeries::SetSeriesColor(TColor Value)
{
    GetPen()->SetColor(Value);
    TChartSeries::SetSeriesColor(Value);
}

void TFastLineSeries::DrawValues(TCanvas* Canvas, const TRect& Plot, const TAxisScale& XScale,
                                 const TAxisScale& YScale) const
{
    const TChartPen* pen = GetPen();
    if (!pen->GetVisible() || pen->GetStyle() == psClear || FX.size() < 2) return;
    const TClipScope clip(Canvas, Plot);
    if (clip.Empty()) return;
    TPen* p = Canvas->GetPen();
    p->SetColor(pen->GetColor());
    p->SetWidth(std::max(1, pen->GetWidth()));
    p->SetStyle(pen->GetStyle());
    p->SetMode(pmCopy);
    Canvas->GetBrush()->SetStyle(bsClear);
    // One polyline per run of valid points, so that the dash pattern runs on through the points.
    // Far points are pulled in to a band around the plot along their segment, which keeps the
    // line's direction there and the coordinates within the canvas's range.
    const double margin = 4.0 * (pen->GetWidth() + 2);
    const double bl = Plot.Left - margin, bt = Plot.Top - margin, br = Plot.Right + margin, bb = Plot.Bottom + margin;
    std::vector<TPoint> run;
    run.reserve(FX.size());
    auto flush = [&] {
        if (run.size() >= 2) Canvas->Polyline(run);
        run.clear();
    };
    bool havePrev = false;
    double prevX = 0, prevY = 0;
    auto add = [&](double x, double y) {
        const TPoint q(static_cast<int>(std::floor(x + 0.5)), static_cast<int>(std::floor(y + 0.5)));
        if (run.empty() || !(run.back() == q)) run.push_back(q);
    };
    for (std::size_t i = 0; i < FX.size(); ++i) {
        const double px = XScale.CalcPosValueF(FX[i]);
        const double py = YScale.CalcPosValueF(FY[i]);
        if (!std::isfinite(px) || !std::isfinite(py)) {
            flush();
            havePrev = false;
            continue;
        }
        if (havePrev) {
            // The part of the segment inside the band.
            double t0, t1;
            const double dx = px - prevX, dy = py - prevY;
            const bool inside = ClipSegment(prevX, prevY, px, py, bl, bt, br, bb, t0, t1);
            if (inside) {
                if (t0 > 0) flush();
                add(prevX + dx * t0, prevY + dy * t0);
                add(prevX + dx * t1, prevY + dy * t1);
                if (t1 < 1) flush();
            } else {
                flush();
            }
        }
        havePrev = true;
        prevX = px;
        prevY = py;
    }
    flush();
}

void TFastLineSeries::DrawLegendSample(TCanvas* Canvas, const TRect& R) const
{
    const TChartPen* pen = GetPen();
    const TClipScope clip(Canvas, R);
    const int y = (R.Top + R.Bottom - 1) / 2;
    StyledLine(Canvas, R.Left, y, R.Right, y, pen->GetColor(), std::min(pen->GetWidth(), 3), pen->GetStyle());
}
