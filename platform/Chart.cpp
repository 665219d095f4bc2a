#include "platform/Chart.h"
#include "platform/ChartLayout.h"
#include "platform/ChartPaint.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

using namespace ChartMetrics;

// ---------------------------------------------------------------------------------------------
// Title and legend

TChartTitle::TChartTitle(TChart* AChart)
    : FChart(AChart), FText(std::make_unique<TStringList>()), FFont(std::make_unique<TFont>())
{
    FFont->SetHeight(-13);
    FFont->SetColor(clNavy);
    FText->OnChange = [this](TObject*) { FChart->Changed(); };
    FFont->OnChange = [this] { FChart->Changed(); };
}

TChartTitle::~TChartTitle() = default;

void TChartTitle::SetVisible(bool Value)
{
    if (FVisible == Value) return;
    FVisible = Value;
    FChart->Changed();
}

TChartLegend::TChartLegend(TChart* AChart)
    : FChart(AChart), FFont(std::make_unique<TFont>()), FFrame(std::make_unique<TChartPen>())
{
    FFrame->SetColor(clGray);
    FFont->SetHeight(-13);
    FFont->OnChange = [this] { FChart->Changed(); };
    FFrame->OnChange = [this] { FChart->Changed(); };
}

TChartLegend::~TChartLegend() = default;

void TChartLegend::SetVisible(bool Value)
{
    if (FVisible == Value) return;
    FVisible = Value;
    FChart->Changed();
}

std::vector<TChartSeries*> TChartLegend::Entries() const
{
    std::vector<TChartSeries*> result;
    for (TChartSeries* s : FChart->FSeries)
        if (s->GetShowInLegend()) result.push_back(s);
    return result;
}

int TChartLegend::Count() const { return static_cast<int>(Entries().size()); }

TChartSeries* TChartLegend::Series(int Index) const
{
    const auto e = Entries();
    CheckListIndex(Index, static_cast<int>(e.size()));
    return e[static_cast<std::size_t>(Index)];
}

// ---------------------------------------------------------------------------------------------
// TChart

TChart::TChart(TComponent* AOwner)
    : TCustomControl(AOwner),
      FTitle(std::make_unique<TChartTitle>(this)),
      FLegend(std::make_unique<TChartLegend>(this)),
      FBottomAxis(std::make_unique<TChartAxis>(this, true, false)),
      FLeftAxis(std::make_unique<TChartAxis>(this, false, false)),
      FRightAxis(std::make_unique<TChartAxis>(this, false, true)),
      FColorScale(std::make_unique<TChartColorScale>(this)),
      FZoomPen(std::make_unique<TChartPen>()),
      FLayout(std::make_unique<TLayout>()),
      FCache(std::make_unique<TBitmap>()),
      FMeasure(std::make_unique<TBitmap>(1, 1))
{
    FZoomPen->SetColor(clGray);
    FZoomPen->SetStyle(psDot);
    FZoomPen->OnChange = [this] { InvalidateOverlay(); };
    SetBounds(GetLeft(), GetTop(), 400, 250);
    FLayoutWidth = GetWidth();
    FLayoutHeight = GetHeight();
}

TChart::~TChart()
{
    FDestroying = true;
    // Owned series die with the chart; the others are only let go.
    const auto attached = FSeries;
    for (TChartSeries* s : attached) {
        if (s->GetOwner() == this) delete s;
        else s->SetParentChart(nullptr);
    }
    FSeries.clear();
}

TChartSeries* TChart::Series(int Index) const
{
    CheckListIndex(Index, SeriesCount());
    return FSeries[static_cast<std::size_t>(Index)];
}

void TChart::AddSeries(TChartSeries* ASeries)
{
    if (ASeries) ASeries->SetParentChart(this);
}

void TChart::RemoveSeries(TChartSeries* ASeries)
{
    if (ASeries && ASeries->GetParentChart() == this) ASeries->SetParentChart(nullptr);
}

void TChart::FreeAllSeries()
{
    const auto attached = FSeries;
    for (TChartSeries* s : attached) delete s;
}

int TChart::IndexOfSeries(const TChartSeries* ASeries) const
{
    const auto it = std::find(FSeries.begin(), FSeries.end(), ASeries);
    return it == FSeries.end() ? -1 : static_cast<int>(it - FSeries.begin());
}

void TChart::SetSeriesOrder(const std::vector<TChartSeries*>& Order)
{
    const std::unordered_set<const TChartSeries*> listed(Order.begin(), Order.end());
    std::size_t next = 0;
    bool moved = false;
    for (TChartSeries*& s : FSeries) {
        if (next == Order.size() || listed.count(s) == 0) continue;
        moved = moved || s != Order[next];
        s = Order[next++];
    }
    if (moved) Changed();
}

void TChart::DrawOnTop(const std::vector<TChartSeries*>& List)
{
    std::vector<char> was(FSeries.size());
    for (size_t i = 0; i < FSeries.size(); ++i) {
        was[i] = FSeries[i]->FOnTop;
        FSeries[i]->FOnTop = false;
    }
    for (TChartSeries* s : List)
        if (s != nullptr && s->FParentChart == this) s->FOnTop = true;
    for (size_t i = 0; i < FSeries.size(); ++i)
        if (bool(was[i]) != FSeries[i]->FOnTop) {
            Changed();
            return;
        }
}

void TChart::DetachSeries(TChartSeries* ASeries)
{
    ASeries->FOnTop = false;
    const auto it = std::find(FSeries.begin(), FSeries.end(), ASeries);
    if (it != FSeries.end()) FSeries.erase(it);
    ASeries->FParentChart = nullptr;
    Changed();
}

void TChart::SetBackColor(TColor Value)
{
    if (FBackColor == Value) return;
    FBackColor = Value;
    Changed();
}

void TChart::BoundsChanged(bool Moved, bool Resized)
{
    TCustomControl::BoundsChanged(Moved, Resized);
    if (!Resized) return;
    FLayoutWidth = GetWidth();
    FLayoutHeight = GetHeight();
    Changed();
}

void TChart::ColorChanged()
{
    TCustomControl::ColorChanged();
    Changed();
}

void TChart::Changed()
{
    FRangesValid = false;
    FLayoutValid = false;
    FCacheValid = false;
    RequestRepaint();
}

void TChart::InvalidatePlot() { Changed(); }

void TChart::InvalidateOverlay() { RequestRepaint(); }

void TChart::RequestRepaint()
{
    if (!FDestroying) TCustomControl::Invalidate();
}

void TChart::SeriesDataChanged(TChartSeries* ASeries)
{
    if (!ASeries->GetActive()) return;
    if (ASeries->GetOverlay()) InvalidateOverlay();
    else Changed();
}

void TChart::SeriesStyleChanged(TChartSeries* ASeries)
{
    if (ASeries->GetOverlay() && !ASeries->GetShowInLegend()) InvalidateOverlay();
    else Changed();
}

void TChart::AxisRangeChanged(TChartAxis* /*Axis*/, bool ByProgram)
{
    if (ByProgram) FZoomStack.clear();
    Changed();
}

void TChart::UpdateAutoRanges()
{
    if (FRangesValid) return;
    constexpr double inf = std::numeric_limits<double>::infinity();
    double mn[3] = {inf, inf, inf}, mx[3] = {-inf, -inf, -inf};
    for (TChartSeries* s : FSeries) {
        s->FDataNotified = false;
        if (!s->GetActive() || s->GetOverlay() || !s->HasFiniteValues()) continue;
        mn[axBottom] = std::min(mn[axBottom], s->FMinX);
        mx[axBottom] = std::max(mx[axBottom], s->FMaxX);
        const int v = s->GetVertAxis() == aRightAxis ? axRight : axLeft;
        mn[v] = std::min(mn[v], s->FMinY);
        mx[v] = std::max(mx[v], s->FMaxY);
    }
    TChartAxis* axes[3] = {FBottomAxis.get(), FLeftAxis.get(), FRightAxis.get()};
    for (int i = 0; i < 3; ++i) {
        axes[i]->FAutoMin = mn[i];
        axes[i]->FAutoMax = mx[i];
    }
    FRangesValid = true;
}

bool TChart::AxisInUse(const TChartAxis* Axis) const
{
    // The right axis shows when a series is plotted against it (shown or not, so that hiding
    // series does not move the plot).
    if (!Axis->GetOtherSide()) return true;
    for (const TChartSeries* s : FSeries)
        if (!s->GetOverlay() && s->GetVertAxis() == aRightAxis) return true;
    return false;
}

TRect TChart::GetChartRect()
{
    EnsureLayout();
    return FLayout->Plot;
}

void TChart::EnsureLayout()
{
    if (FLayoutValid) return;
    Layout(FLayoutWidth, FLayoutHeight);
}

void TChart::Layout(int W, int H)
{
    UpdateAutoRanges();
    TLayout& L = *FLayout;
    L = TLayout();
    L.Width = W;
    L.Height = H;
    TCanvas* mc = FMeasure->GetCanvas();
    auto textHeight = [&](TFont* f) {
        mc->GetFont()->Assign(f);
        return mc->TextHeight("Ag");
    };
    auto textWidth = [&](TFont* f, const UnicodeString& s) {
        mc->GetFont()->Assign(f);
        return mc->TextWidth(s);
    };

    int top = kMargin;
    // Title lines.
    if (FTitle->GetVisible() && FTitle->GetText()->Count() > 0) {
        L.TitleLineHeight = textHeight(FTitle->GetFont());
        // The lines that fit in the chart's height (the first in any case).
        for (int i = 0; i < FTitle->GetText()->Count(); ++i) {
            if (i > 0 && top + L.TitleLineHeight > H) break;
            L.TitleY.push_back(top);
            top += L.TitleLineHeight;
        }
        top += 4;
    }
    // Legend: entries in rows across the width, centred.
    const auto entries = FLegend->Entries();
    if (FLegend->GetVisible() && !entries.empty()) {
        TFont* f = FLegend->GetFont();
        const int lh = textHeight(f);
        const int rowH = std::max(lh, 12) + 2;
        const int gap = 16, padH = 6, padV = 3;
        const int avail = std::max(40, W - 2 * kMargin - 2 * padH);
        // Rows of items: first index of each row and the row widths; as many rows as fit in the
        // chart's height (the first in any case), the entries beyond them are left out.
        std::vector<int> widths;
        std::vector<std::size_t> rowStart{0};
        std::vector<int> rowWidth{0};
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const int width = kLegendSample + 4 + textWidth(f, entries[i]->GetTitle());
            int& rw = rowWidth.back();
            const int need = rw == 0 ? width : rw + gap + width;
            if (rw != 0 && need > avail) {
                if (top + 2 * padV + static_cast<int>(rowWidth.size() + 1) * rowH > H) break;
                rowStart.push_back(i);
                rowWidth.push_back(width);
            } else {
                rw = need;
            }
            widths.push_back(width);
        }
        const int boxW = *std::max_element(rowWidth.begin(), rowWidth.end()) + 2 * padH;
        const int boxH = static_cast<int>(rowWidth.size()) * rowH + 2 * padV;
        const int left = std::max(kMargin, (W - boxW) / 2);
        L.LegendShown = true;
        L.LegendRect = TRect(left, top, left + boxW, top + boxH);
        for (std::size_t r = 0; r < rowStart.size(); ++r) {
            const std::size_t end = r + 1 < rowStart.size() ? rowStart[r + 1] : widths.size();
            int x = left + padH + (boxW - 2 * padH - rowWidth[r]) / 2;
            const int y = top + padV + static_cast<int>(r) * rowH;
            for (std::size_t i = rowStart[r]; i < end; ++i) {
                TLayout::TLegendItem item;
                item.Series = entries[i];
                item.Sample = TRect(x, y, x + kLegendSample, y + rowH);
                item.TextX = x + kLegendSample + 4;
                item.TextY = y + (rowH - lh) / 2;
                L.LegendItems.push_back(item);
                x += widths[i] + gap;
            }
        }
        top += boxH + 6;
    }

    TChartAxis* axes[3] = {FBottomAxis.get(), FLeftAxis.get(), FRightAxis.get()};
    int titleThick[3] = {0, 0, 0}, titleLen[3] = {0, 0, 0}, tickLen[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        TChartAxis* a = axes[i];
        auto& box = L.Axes[i];
        box.Shown = a->GetVisible() && AxisInUse(a);
        if (!box.Shown) continue;
        if (a->GetLabels()) box.LabelHeight = textHeight(a->GetLabelsFont());
        TChartAxisTitle* t = a->GetTitle();
        if (t->GetVisible() && !t->GetCaption().empty()) {
            const bool framed = !t->GetTransparent();
            box.HasTitle = true;
            titleThick[i] = textHeight(t->GetFont()) + (framed ? 2 * kTitlePadV : 0);
            titleLen[i] = textWidth(t->GetFont(), t->GetCaption()) + (framed ? 2 * kTitlePadH : 0);
        }
        tickLen[i] = std::max(a->GetTicks()->GetVisible() ? a->GetTickLength() : 0,
                              a->GetMinorTicks()->GetVisible() ? a->GetMinorTickLength() : 0);
    }

    // Vertical extent of the plot.
    const int halfLabel = std::max(L.Axes[axLeft].LabelHeight, L.Axes[axRight].LabelHeight) / 2;
    const int plotTop = top + std::max(halfLabel, 6);
    int bottomSpace = kMargin;
    if (L.Axes[axBottom].Shown) {
        bottomSpace += 2 + tickLen[axBottom] + 3 + L.Axes[axBottom].LabelHeight;
        if (L.Axes[axBottom].HasTitle) bottomSpace += 4 + titleThick[axBottom];
    }
    int plotBottom = std::max(plotTop + 2, H - bottomSpace);

    // Vertical axes: tick values and label widths for the plot height.
    for (int i : {axLeft, axRight}) {
        auto& box = L.Axes[i];
        TChartAxis* a = axes[i];
        const double mn = a->GetMinimum(), mx = a->GetMaximum();
        const int plotH = plotBottom - plotTop;
        double inc = a->GetIncrement();
        if (!(inc > 0)) {
            const double spacing = std::max(box.LabelHeight, 8) * 1.8;
            inc = TAxisScale::TidyIncrement(mx - mn, std::max(1.0, (plotH - 1) / spacing));
        }
        a->FTickIncrement = inc;
        a->FTickValues = TAxisScale::TickValues(mn, mx, inc);
        a->FScale = TAxisScale(mn, mx, plotTop, plotBottom - 1, false);
        if (!box.Shown || !a->GetLabels()) continue;
        for (double v : a->FTickValues) {
            box.Labels.push_back(TAxisScale::FormatLabel(v, inc, DecimalSeparator()));
            box.LabelWidths.push_back(textWidth(a->GetLabelsFont(), box.Labels.back()));
            box.LabelWidth = std::max(box.LabelWidth, box.LabelWidths.back());
        }
    }
    int leftSpace = kMargin, rightSpace = kMargin;
    if (L.Axes[axLeft].Shown) {
        leftSpace += 2 + tickLen[axLeft] + 3 + L.Axes[axLeft].LabelWidth;
        if (L.Axes[axLeft].HasTitle) leftSpace += 6 + titleThick[axLeft];
    }
    if (L.Axes[axRight].Shown) {
        rightSpace += 2 + tickLen[axRight] + 3 + L.Axes[axRight].LabelWidth;
        if (L.Axes[axRight].HasTitle) rightSpace += 6 + titleThick[axRight];
    }
    rightSpace += LayOutColorScale(plotTop, plotBottom);

    // The bottom axis: a step whose labels keep apart; the outer labels must fit in the chart.
    int plotLeft = leftSpace, plotRight = std::max(plotLeft + 2, W - rightSpace);
    for (int pass = 0; pass < 2; ++pass) {
        auto& box = L.Axes[axBottom];
        TChartAxis* a = axes[axBottom];
        const double mn = a->GetMinimum(), mx = a->GetMaximum();
        const int plotW = plotRight - plotLeft;
        double inc = a->GetIncrement();
        const bool fixedInc = inc > 0;
        if (!fixedInc) inc = TAxisScale::TidyIncrement(mx - mn, std::max(1.0, (plotW - 1) / 40.0));
        a->FScale = TAxisScale(mn, mx, plotLeft, plotRight - 1, true);
        for (int attempt = 0; attempt < 12; ++attempt) {
            a->FTickIncrement = inc;
            a->FTickValues = TAxisScale::TickValues(mn, mx, inc);
            box.Labels.clear();
            box.LabelWidths.clear();
            box.LabelWidth = 0;
            if (!box.Shown || !a->GetLabels()) break;
            for (double v : a->FTickValues) {
                box.Labels.push_back(TAxisScale::FormatLabel(v, inc, DecimalSeparator()));
                box.LabelWidths.push_back(textWidth(a->GetLabelsFont(), box.Labels.back()));
                box.LabelWidth = std::max(box.LabelWidth, box.LabelWidths.back());
            }
            const double pixelsPerStep = inc * (plotW - 1) / (mx - mn);
            if (fixedInc || pixelsPerStep >= box.LabelWidth + 12) break;
            // The next tidy step (1 -> 2 -> 5 -> 10).
            const double next = TAxisScale::TidyIncrement(inc * 1.5, 1);
            if (!(next > inc)) break;
            inc = next;
        }
        if (pass == 1 || box.Labels.empty()) break;
        // Room for half of the first and of the last label beyond the plot's ends.
        const int firstPx = a->FScale.CalcPosValue(a->FTickValues.front());
        const int lastPx = a->FScale.CalcPosValue(a->FTickValues.back());
        const int needLeft = kMargin - (firstPx - box.LabelWidths.front() / 2);
        const int needRight = lastPx + (box.LabelWidths.back() + 1) / 2 - (W - kMargin);
        if (needLeft <= 0 && needRight <= 0) break;
        if (needLeft > 0) plotLeft += needLeft;
        if (needRight > 0) plotRight -= needRight;
        plotRight = std::max(plotLeft + 2, plotRight);
    }
    L.Plot = TRect(plotLeft, plotTop, plotRight, plotBottom);
    FBottomAxis->FScale = TAxisScale(FBottomAxis->GetMinimum(), FBottomAxis->GetMaximum(), plotLeft, plotRight - 1, true);
    FBottomAxis->FPosAxis = plotBottom;
    FLeftAxis->FPosAxis = plotLeft - 1;
    FRightAxis->FPosAxis = plotRight;

    // Axis titles, centred along the plot.
    if (L.Axes[axBottom].HasTitle) {
        const int y = plotBottom + 2 + tickLen[axBottom] + 3 + L.Axes[axBottom].LabelHeight + 4;
        const int x = (plotLeft + plotRight) / 2 - titleLen[axBottom] / 2;
        L.Axes[axBottom].TitleBox = TRect(x, y, x + titleLen[axBottom], y + titleThick[axBottom]);
    }
    for (int i : {axLeft, axRight}) {
        if (!L.Axes[i].HasTitle) continue;
        // Centred on the plot, kept inside the chart as far as it fits.
        const int centred = (plotTop + plotBottom) / 2 - titleLen[i] / 2;
        const int y = std::max(top, std::min(centred, H - kMargin - titleLen[i]));
        const int x = i == axLeft ? kMargin : W - kMargin - titleThick[i];
        L.Axes[i].TitleBox = TRect(x, y, x + titleThick[i], y + titleLen[i]);
    }
    FLayoutValid = true;
}

std::vector<UnicodeString> TChartAxis::GetTickLabels() const
{
    if (!FChart) return {};
    FChart->EnsureLayout();
    const int index = this == FChart->FBottomAxis.get() ? axBottom : this == FChart->FLeftAxis.get() ? axLeft : axRight;
    return FChart->FLayout->Axes[index].Labels;
}

char TChart::DecimalSeparator() const
{
    const WideChar c = FormatSettings.DecimalSeparator;
    return c > 0 && c < 128 ? static_cast<char>(c) : '.';
}

// ---------------------------------------------------------------------------------------------
// Zoom

void TChart::ZoomRect(const TRect& Rect)
{
    EnsureLayout();
    TAxisRanges saved;
    TChartAxis* axes[3] = {FBottomAxis.get(), FLeftAxis.get(), FRightAxis.get()};
    for (int i = 0; i < 3; ++i) {
        saved.Automatic[i] = axes[i]->FAutomatic;
        saved.Min[i] = axes[i]->FMinimum;
        saved.Max[i] = axes[i]->FMaximum;
    }
    const int l = std::min(Rect.Left, Rect.Right), r = std::max(Rect.Left, Rect.Right);
    const int t = std::min(Rect.Top, Rect.Bottom), b = std::max(Rect.Top, Rect.Bottom);
    // The ranges under the rectangle: horizontal for the bottom axis, vertical for the others.
    double lo[3], hi[3];
    bool changes = false;
    for (int i = 0; i < 3; ++i) {
        const TAxisScale& s = axes[i]->FScale;
        lo[i] = i == axBottom ? s.CalcPosPoint(l) : s.CalcPosPoint(b);
        hi[i] = i == axBottom ? s.CalcPosPoint(r) : s.CalcPosPoint(t);
        if (!(hi[i] > lo[i])) return;
        // Too narrow a range is held at the narrowest the axis labels; a view already that
        // narrow (to the rounding of its ends) stays as it is, so that zooming deeper changes
        // nothing.
        const double shownMin = axes[i]->GetMinimum(), shownMax = axes[i]->GetMaximum();
        if (TAxisScale::HoldZoomWidth(lo[i], hi[i]) && shownMax - shownMin <= 1.01 * (hi[i] - lo[i])) {
            lo[i] = shownMin;
            hi[i] = shownMax;
        }
        changes = changes || lo[i] != shownMin || hi[i] != shownMax;
    }
    if (!changes) return;
    FZoomStack.push_back(saved);
    for (int i = 0; i < 3; ++i) axes[i]->SetRange(false, lo[i], hi[i]);
}

void TChart::UndoZoom()
{
    if (FZoomStack.empty()) return;
    const TAxisRanges saved = FZoomStack.back();
    FZoomStack.pop_back();
    TChartAxis* axes[3] = {FBottomAxis.get(), FLeftAxis.get(), FRightAxis.get()};
    for (int i = 0; i < 3; ++i) axes[i]->SetRange(saved.Automatic[i], saved.Min[i], saved.Max[i]);
}

void TChart::SetDragRect(const TRect& Rect)
{
    if (FHasDragRect && FDragRect == Rect) return;
    FHasDragRect = true;
    FDragRect = Rect;
    InvalidateOverlay();
}

void TChart::ClearDragRect()
{
    if (!FHasDragRect) return;
    FHasDragRect = false;
    InvalidateOverlay();
}

// ---------------------------------------------------------------------------------------------
// Mouse

namespace {
// A drag shorter than this (in both directions) is a click, not a zoom.
constexpr int kMinDrag = 4;
}  // namespace

void TChart::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FAllowZoom && !Shift.Contains(ssDouble)) {
        // A drag cut short (the mouse taken away mid-drag) leaves nothing behind.
        ClearDragRect();
        FDragging = true;
        FDragStart = TPoint(X, Y);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TChart::MouseMove(TShiftState Shift, int X, int Y)
{
    if (FDragging) {
        if (std::abs(X - FDragStart.X) >= kMinDrag || std::abs(Y - FDragStart.Y) >= kMinDrag)
            SetDragRect(TRect(FDragStart.X, FDragStart.Y, X, Y));
        else
            ClearDragRect();
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TChart::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FDragging) {
        FDragging = false;
        ClearDragRect();
        const int dx = X - FDragStart.X, dy = Y - FDragStart.Y;
        if (dx >= kMinDrag && dy >= kMinDrag) {
            // The part of the dragged rectangle that lies over the plot.
            const TRect p = GetChartRect();
            ZoomRect(TRect(std::max(FDragStart.X, p.Left), std::max(FDragStart.Y, p.Top),
                           std::min(X, p.Right - 1), std::min(Y, p.Bottom - 1)));
        } else if (dx <= -kMinDrag || dy <= -kMinDrag) {
            UndoZoom();
        }
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}
