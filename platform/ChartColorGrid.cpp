// Heat maps on the chart: the colour grid series, the colour scale beside the plot and the
// viridis colours.
#include "platform/Chart.h"
#include "platform/ChartLayout.h"
#include "platform/ChartPaint.h"

#include <algorithm>
#include <cmath>

using namespace ChartMetrics;

namespace {

constexpr int kScaleGap = 12;    // between the plot (or the right axis) and the bar
constexpr int kScaleBar = 14;    // the bar's width
constexpr int kScaleTick = 4;

// The viridis colour map of matplotlib (Nathaniel J. Smith, Stefan van der Walt and Eric
// Firing, released under CC0 with the mpl-colormaps collection): its published 256-entry table,
// each channel rounded to 8 bits, as 0xRRGGBB.
constexpr unsigned kViridis[256] = {
    0x440154, 0x440256, 0x450457, 0x450559, 0x46075A, 0x46085C, 0x460A5D, 0x460B5E,
    0x470D60, 0x470E61, 0x471063, 0x471164, 0x471365, 0x481467, 0x481668, 0x481769,
    0x48186A, 0x481A6C, 0x481B6D, 0x481C6E, 0x481D6F, 0x481F70, 0x482071, 0x482173,
    0x482374, 0x482475, 0x482576, 0x482677, 0x482878, 0x482979, 0x472A7A, 0x472C7A,
    0x472D7B, 0x472E7C, 0x472F7D, 0x46307E, 0x46327E, 0x46337F, 0x463480, 0x453581,
    0x453781, 0x453882, 0x443983, 0x443A83, 0x443B84, 0x433D84, 0x433E85, 0x423F85,
    0x424086, 0x424186, 0x414287, 0x414487, 0x404588, 0x404688, 0x3F4788, 0x3F4889,
    0x3E4989, 0x3E4A89, 0x3E4C8A, 0x3D4D8A, 0x3D4E8A, 0x3C4F8A, 0x3C508B, 0x3B518B,
    0x3B528B, 0x3A538B, 0x3A548C, 0x39558C, 0x39568C, 0x38588C, 0x38598C, 0x375A8C,
    0x375B8D, 0x365C8D, 0x365D8D, 0x355E8D, 0x355F8D, 0x34608D, 0x34618D, 0x33628D,
    0x33638D, 0x32648E, 0x32658E, 0x31668E, 0x31678E, 0x31688E, 0x30698E, 0x306A8E,
    0x2F6B8E, 0x2F6C8E, 0x2E6D8E, 0x2E6E8E, 0x2E6F8E, 0x2D708E, 0x2D718E, 0x2C718E,
    0x2C728E, 0x2C738E, 0x2B748E, 0x2B758E, 0x2A768E, 0x2A778E, 0x2A788E, 0x29798E,
    0x297A8E, 0x297B8E, 0x287C8E, 0x287D8E, 0x277E8E, 0x277F8E, 0x27808E, 0x26818E,
    0x26828E, 0x26828E, 0x25838E, 0x25848E, 0x25858E, 0x24868E, 0x24878E, 0x23888E,
    0x23898E, 0x238A8D, 0x228B8D, 0x228C8D, 0x228D8D, 0x218E8D, 0x218F8D, 0x21908D,
    0x21918C, 0x20928C, 0x20928C, 0x20938C, 0x1F948C, 0x1F958B, 0x1F968B, 0x1F978B,
    0x1F988B, 0x1F998A, 0x1F9A8A, 0x1E9B8A, 0x1E9C89, 0x1E9D89, 0x1F9E89, 0x1F9F88,
    0x1FA088, 0x1FA188, 0x1FA187, 0x1FA287, 0x20A386, 0x20A486, 0x21A585, 0x21A685,
    0x22A785, 0x22A884, 0x23A983, 0x24AA83, 0x25AB82, 0x25AC82, 0x26AD81, 0x27AD81,
    0x28AE80, 0x29AF7F, 0x2AB07F, 0x2CB17E, 0x2DB27D, 0x2EB37C, 0x2FB47C, 0x31B57B,
    0x32B67A, 0x34B679, 0x35B779, 0x37B878, 0x38B977, 0x3ABA76, 0x3BBB75, 0x3DBC74,
    0x3FBC73, 0x40BD72, 0x42BE71, 0x44BF70, 0x46C06F, 0x48C16E, 0x4AC16D, 0x4CC26C,
    0x4EC36B, 0x50C46A, 0x52C569, 0x54C568, 0x56C667, 0x58C765, 0x5AC864, 0x5CC863,
    0x5EC962, 0x60CA60, 0x63CB5F, 0x65CB5E, 0x67CC5C, 0x69CD5B, 0x6CCD5A, 0x6ECE58,
    0x70CF57, 0x73D056, 0x75D054, 0x77D153, 0x7AD151, 0x7CD250, 0x7FD34E, 0x81D34D,
    0x84D44B, 0x86D549, 0x89D548, 0x8BD646, 0x8ED645, 0x90D743, 0x93D741, 0x95D840,
    0x98D83E, 0x9BD93C, 0x9DD93B, 0xA0DA39, 0xA2DA37, 0xA5DB36, 0xA8DB34, 0xAADC32,
    0xADDC30, 0xB0DD2F, 0xB2DD2D, 0xB5DE2B, 0xB8DE29, 0xBADE28, 0xBDDF26, 0xC0DF25,
    0xC2DF23, 0xC5E021, 0xC8E020, 0xCAE11F, 0xCDE11D, 0xD0E11C, 0xD2E21B, 0xD5E21A,
    0xD8E219, 0xDAE319, 0xDDE318, 0xDFE318, 0xE2E418, 0xE5E419, 0xE7E419, 0xEAE51A,
    0xECE51B, 0xEFE51C, 0xF1E51D, 0xF4E61E, 0xF6E620, 0xF8E621, 0xFBE723, 0xFDE725,
};

// The first pixel of the span that begins at position P (pixels whose centre lies at or after
// P), or, for the grid's far edge, the pixel after the last whose centre lies at or before P.
// Positions are held near the plot so that far values never overflow.
int SpanStart(double P, bool FarEdge, const TRect& Plot)
{
    const double lo = std::min(Plot.Left, Plot.Top) - 2.0, hi = std::max(Plot.Right, Plot.Bottom) + 2.0;
    const double p = std::clamp(P, lo - 1e6, hi + 1e6);
    constexpr double eps = 1e-6;
    return FarEdge ? static_cast<int>(std::floor(p + eps)) + 1 : static_cast<int>(std::ceil(p - eps));
}

// The pixel boundaries of Edges on Scale: cell k spans [min(B[k], B[k + 1]), max(...)).
std::vector<int> Boundaries(const std::vector<double>& Edges, const TAxisScale& Scale, const TRect& Plot)
{
    const std::size_t n = Edges.size();
    std::vector<int> b(n);
    // The edge at the greatest pixel closes the grid there.
    const bool lastIsFar = Scale.CalcPosValueF(Edges.back()) > Scale.CalcPosValueF(Edges.front());
    for (std::size_t k = 0; k < n; ++k) {
        const bool far = lastIsFar ? k == n - 1 : k == 0;
        b[k] = SpanStart(Scale.CalcPosValueF(Edges[k]), far, Plot);
    }
    return b;
}

bool Increasing(const std::vector<double>& Edges)
{
    if (Edges.size() < 2) return false;
    for (std::size_t k = 0; k < Edges.size(); ++k) {
        if (!std::isfinite(Edges[k])) return false;
        if (k > 0 && !(Edges[k] > Edges[k - 1])) return false;
    }
    return true;
}

}  // namespace

TColor ViridisColor(double T)
{
    if (std::isnan(T)) return clNone;
    const int i = static_cast<int>(std::floor(std::clamp(T, 0.0, 1.0) * 255 + 0.5));
    const unsigned c = kViridis[i];
    return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

// ---------------------------------------------------------------------------------------------
// TColorGridSeries

TColorGridSeries::TColorGridSeries(TComponent* AOwner) : TChartSeries(AOwner) { SetShowInLegend(false); }

void TColorGridSeries::SetGrid(std::vector<double> XEdges, std::vector<double> YEdges, std::vector<TColor> Cells)
{
    if (!Increasing(XEdges) || !Increasing(YEdges) || Cells.size() != (XEdges.size() - 1) * (YEdges.size() - 1))
        throw EListError("Grid of " + std::to_string(Cells.size()) + " cells on " + std::to_string(XEdges.size()) +
                         " x " + std::to_string(YEdges.size()) + " edges");
    FXEdges = std::move(XEdges);
    FYEdges = std::move(YEdges);
    FCells = std::move(Cells);
    SetExtent(FXEdges.front(), FXEdges.back(), FYEdges.front(), FYEdges.back());
}

TColor TColorGridSeries::CellColor(int Column, int Row) const
{
    CheckListIndex(Column, Columns());
    CheckListIndex(Row, Rows());
    return FCells[static_cast<std::size_t>(Row) * static_cast<std::size_t>(Columns()) + static_cast<std::size_t>(Column)];
}

bool TColorGridSeries::CellAt(double X, double Y, int& Column, int& Row) const
{
    if (FCells.empty() || !(X >= FXEdges.front() && X <= FXEdges.back() && Y >= FYEdges.front() && Y <= FYEdges.back()))
        return false;
    auto index = [](const std::vector<double>& e, double v) {
        const auto it = std::upper_bound(e.begin(), e.end(), v);
        return std::clamp(static_cast<int>(it - e.begin()) - 1, 0, static_cast<int>(e.size()) - 2);
    };
    Column = index(FXEdges, X);
    Row = index(FYEdges, Y);
    return true;
}

void TColorGridSeries::DrawValues(TCanvas* Canvas, const TRect& Plot, const TAxisScale& XScale,
                                  const TAxisScale& YScale) const
{
    if (FCells.empty()) return;
    const TClipScope clip(Canvas, Plot);
    if (clip.Empty()) return;
    const std::vector<int> bx = Boundaries(FXEdges, XScale, Plot);
    const std::vector<int> by = Boundaries(FYEdges, YScale, Plot);
    const int columns = Columns(), rows = Rows();
    for (int j = 0; j < rows; ++j) {
        const int top = std::max(std::min(by[j], by[j + 1]), Plot.Top);
        const int bottom = std::min(std::max(by[j], by[j + 1]), Plot.Bottom);
        if (top >= bottom) continue;
        const TColor* row = FCells.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(columns);
        // Neighbours of one colour are filled as one box.
        int i = 0;
        while (i < columns) {
            const TColor c = row[i];
            int k = i + 1;
            while (k < columns && row[k] == c) ++k;
            if (c != clNone) {
                const int left = std::max(std::min(bx[i], bx[k]), Plot.Left);
                const int right = std::min(std::max(bx[i], bx[k]), Plot.Right);
                if (left < right) FillBox(Canvas, TRect(left, top, right, bottom), c);
            }
            i = k;
        }
    }
}

void TColorGridSeries::DrawLegendSample(TCanvas* Canvas, const TRect& R) const
{
    // The colours of the middle row, side by side.
    if (FCells.empty() || R.Width() <= 0) return;
    const int columns = Columns();
    const TColor* row = FCells.data() + static_cast<std::size_t>(Rows() / 2) * static_cast<std::size_t>(columns);
    for (int x = R.Left; x < R.Right; ++x) {
        const TColor c = row[static_cast<std::size_t>((x - R.Left) * columns / R.Width())];
        if (c != clNone) FillBox(Canvas, TRect(x, R.Top + 2, x + 1, R.Bottom - 2), c);
    }
}

// ---------------------------------------------------------------------------------------------
// TChartColorScale

TChartColorScale::TChartColorScale(TChart* AChart) : FChart(AChart), FFont(std::make_unique<TFont>())
{
    FFont->SetHeight(-13);
    FFont->OnChange = [this] { FChart->Changed(); };
}

TChartColorScale::~TChartColorScale() = default;

void TChartColorScale::SetVisible(bool Value)
{
    if (FVisible == Value) return;
    FVisible = Value;
    FChart->Changed();
}

void TChartColorScale::SetColors(std::vector<TColor> Value)
{
    if (FColors == Value) return;
    FColors = std::move(Value);
    FChart->Changed();
}

void TChartColorScale::SetRange(double Min, double Max)
{
    if (FMin == Min && FMax == Max) return;
    FMin = Min;
    FMax = Max;
    FChart->Changed();
}

void TChartColorScale::SetTitle(const UnicodeString& Value)
{
    if (FTitle == Value) return;
    FTitle = Value;
    FChart->Changed();
}

TColor TChartColorScale::ColorOf(double Value) const
{
    if (FColors.empty() || std::isnan(Value)) return clNone;
    const double t = FMax > FMin ? (Value - FMin) / (FMax - FMin) : 0.5;
    const double n = static_cast<double>(FColors.size());
    const std::size_t i = static_cast<std::size_t>(std::clamp(std::floor(t * n), 0.0, n - 1));
    return FColors[i];
}

// ---------------------------------------------------------------------------------------------
// The scale in the chart's layout and drawing

int TChart::LayOutColorScale(int Top, int Bottom)
{
    auto& box = FLayout->ColorScale;
    box = TLayout::TScaleBox();
    const TChartColorScale& s = *FColorScale;
    if (!s.FVisible || s.FColors.empty() || !(std::isfinite(s.FMin) && std::isfinite(s.FMax))) return 0;
    double mn = s.FMin, mx = s.FMax;
    TAxisScale::WidenFlat(mn, mx);
    TCanvas* mc = FMeasure->GetCanvas();
    mc->GetFont()->Assign(s.FFont.get());
    box.Shown = true;
    box.LabelHeight = mc->TextHeight("Ag");
    box.Scale = TAxisScale(mn, mx, Top, Bottom - 1, false);
    const double inc = TAxisScale::TidyIncrement(mx - mn, std::max(1.0, (Bottom - Top - 1) / (box.LabelHeight * 1.8)));
    box.Ticks = TAxisScale::TickValues(mn, mx, inc);
    int labelWidth = 0;
    for (double v : box.Ticks) {
        box.Labels.push_back(TAxisScale::FormatLabel(v, inc, DecimalSeparator()));
        labelWidth = std::max(labelWidth, mc->TextWidth(box.Labels.back()));
    }
    int width = kScaleGap + kScaleBar + kScaleTick + 3 + labelWidth;
    if (!s.FTitle.empty()) {
        box.TitleWidth = mc->TextWidth(s.FTitle);
        width += 6 + box.LabelHeight;
    }
    // Placed at the chart's right margin; the bar's x is fixed once the width is known.
    const int left = FLayout->Width - kMargin - width + kScaleGap;
    box.Bar = TRect(left, Top, left + kScaleBar, Bottom);
    if (!s.FTitle.empty()) {
        const int x = FLayout->Width - kMargin - box.LabelHeight;
        const int y = std::max(0, (Top + Bottom) / 2 - box.TitleWidth / 2);
        box.TitleBox = TRect(x, y, x + box.LabelHeight, y + box.TitleWidth);
    }
    return width;
}

void TChart::DrawColorScale(TCanvas* Canvas)
{
    const auto& box = FLayout->ColorScale;
    if (!box.Shown) return;
    const TChartColorScale& s = *FColorScale;
    const TRect& b = box.Bar;
    // Rows of one colour are filled as one box.
    int y = b.Top;
    while (y < b.Bottom) {
        const TColor c = s.ColorOf(box.Scale.CalcPosPoint(y));
        int e = y + 1;
        while (e < b.Bottom && s.ColorOf(box.Scale.CalcPosPoint(e)) == c) ++e;
        if (c != clNone) FillBox(Canvas, TRect(b.Left, y, b.Right, e), c);
        y = e;
    }
    FrameBox(Canvas, TRect(b.Left - 1, b.Top - 1, b.Right + 1, b.Bottom + 1), clGray, 1, psSolid);
    Canvas->GetFont()->Assign(s.FFont.get());
    for (std::size_t i = 0; i < box.Ticks.size(); ++i) {
        const int p = box.Scale.CalcPosValue(box.Ticks[i]);
        FillBox(Canvas, TRect(b.Right + 1, p, b.Right + 1 + kScaleTick, p + 1), clBlack);
        Canvas->GetBrush()->SetStyle(bsClear);
        Canvas->TextOut(b.Right + 1 + kScaleTick + 3, p - box.LabelHeight / 2, box.Labels[i]);
    }
    if (s.FTitle.empty()) return;
    TFont turned;
    turned.Assign(s.FFont.get());
    turned.SetOrientation(2700);
    Canvas->GetFont()->Assign(&turned);
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->TextOut(box.TitleBox.Left + box.LabelHeight, box.TitleBox.Top, s.FTitle);
}
