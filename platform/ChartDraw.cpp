// The chart's drawing: the plot (axes, series in their drawing order, title, legend) rendered
// into a cached raster, and the overlay (cross-hair, zoom rectangle) drawn over it on every paint.
#include "platform/Chart.h"
#include "platform/ChartLayout.h"

#include "platform/ChartPaint.h"
#include "platform/VectorPicture.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace ChartMetrics;

// ---------------------------------------------------------------------------------------------
// Drawing

namespace {

// A tick or grid mark Width pixels wide centred on pixel P: [P - (Width - 1) / 2, P + Width / 2].
int MarkStart(int P, int Width) { return P - (std::max(1, Width) - 1) / 2; }

void TextAt(TCanvas* Canvas, TFont* Font, int X, int Y, const UnicodeString& Text)
{
    Canvas->GetFont()->Assign(Font);
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->TextOut(X, Y, Text);
}

}  // namespace

void TChart::LayOutFor(int Width, int Height)
{
    if (Width != FLayoutWidth || Height != FLayoutHeight) {
        FLayoutWidth = Width;
        FLayoutHeight = Height;
        FLayoutValid = false;
        FCacheValid = false;
    }
    EnsureLayout();
}

void TChart::PaintTo(TCanvas* Canvas, const TRect& Rect)
{
    if (!Canvas || Rect.Width() <= 0 || Rect.Height() <= 0) return;
    const TClassicSystemColors printed;  // a light plot, whatever the desktop's theme
    LayOutFor(Rect.Width(), Rect.Height());
    // A canvas mirrored on a screen of more device pixels per pixel takes the plot drawn as
    // many times larger, from the same rendering.
    const TVectorPicture* live = Canvas->GetPicture();
    const int scale = live ? live->GetLiveScale() : 0;
    if (!FCacheValid || FCache->GetWidth() != Rect.Width() || FCache->GetHeight() != Rect.Height() ||
        (scale > 1 && FSharpScale != scale)) {
        FCache->SetSize(Rect.Width(), Rect.Height());
        FSharpScale = 0;
        if (scale > 1) {
            TVectorPicture shapes(Rect.Width(), Rect.Height());
            RenderPlotAsShapes(FCache->GetCanvas(), &shapes);
            if (!FSharp) FSharp = std::make_unique<TBitmap>();
            shapes.DrawTo(FSharp.get(), scale);
            FSharpScale = scale;
        } else {
            RenderPlot(FCache->GetCanvas());
        }
        FCacheValid = true;
        ++FPlotRenders;
    }
    Canvas->Draw(Rect.Left, Rect.Top, FCache.get(), FSharpScale > 1 ? FSharp.get() : nullptr);
    const TPoint origin = Canvas->GetOrigin();
    const TRect clip = Canvas->GetClipRect();
    Canvas->SetOrigin(origin.X + Rect.Left, origin.Y + Rect.Top);
    Canvas->SetClipRect(TRect(0, 0, Rect.Width(), Rect.Height()));
    RenderOverlay(Canvas);
    Canvas->SetOrigin(origin);
    Canvas->SetClipRect(clip);
    ++FPaints;
}

void TChart::Paint() { PaintTo(Canvas, GetClientRect()); }

void TChart::RenderPlotAsShapes(TCanvas* Canvas, TVectorPicture* Picture)
{
    Canvas->SetPicture(Picture);
    try {
        RenderPlot(Canvas);
    } catch (...) {
        Canvas->SetPicture(nullptr);
        throw;
    }
    Canvas->SetPicture(nullptr);
}

void TChart::RenderPlot(TCanvas* Canvas)
{
    const TLayout& L = *FLayout;
    FillBox(Canvas, TRect(0, 0, L.Width, L.Height), GetColor());
    const TRect& P = L.Plot;
    if (FBackColor != clTeeColor && FBackColor != clNone) FillBox(Canvas, P, FBackColor);

    // Grid under everything else.
    TChartAxis* axes[3] = {FBottomAxis.get(), FLeftAxis.get(), FRightAxis.get()};
    for (int i = 0; i < 3; ++i) {
        TChartAxis* a = axes[i];
        TChartPen* g = a->GetGrid();
        if (!L.Axes[i].Shown || !g->GetVisible() || g->GetStyle() == psClear) continue;
        const TClipScope clip(Canvas, P);
        for (double v : a->FTickValues) {
            const int p = a->FScale.CalcPosValue(v);
            if (a->GetHorizontal())
                StyledLine(Canvas, p, P.Top, p, P.Bottom, g->GetColor(), g->GetWidth(), g->GetStyle());
            else
                StyledLine(Canvas, P.Left, p, P.Right, p, g->GetColor(), g->GetWidth(), g->GetStyle());
        }
    }
    // The frame of the plot where no axis stands.
    FillBox(Canvas, TRect(P.Left - 1, P.Top - 1, P.Right + 1, P.Top), clGray);
    if (!L.Axes[axRight].Shown) FillBox(Canvas, TRect(P.Right, P.Top - 1, P.Right + 1, P.Bottom), clGray);

    for (int i = 0; i < 3; ++i)
        if (L.Axes[i].Shown) DrawAxis(Canvas, axes[i]);

    // The series in their order, those drawn on top last.
    std::vector<TChartSeries*> order;
    order.reserve(FSeries.size());
    std::size_t markers = 0;
    for (bool onTop : {false, true})
        for (TChartSeries* s : FSeries) {
            if (!s->GetActive() || s->GetOverlay() || s->FOnTop != onTop) continue;
            order.push_back(s);
            if (dynamic_cast<TPointSeries*>(s) != nullptr) markers += s->FX.size();
        }
    auto scaleOf = [&](const TChartSeries* s) -> const TAxisScale& {
        return (s->GetVertAxis() == aRightAxis ? FRightAxis : FLeftAxis)->FScale;
    };
    // Many markers (a large project) lie on one another: those that a later marker of the same
    // shape paints over on the same spot are left out, which draws the same pixels.
    if (markers < MarkerCoverFrom) {
        for (TChartSeries* s : order)
            s->DrawValues(Canvas, P, FBottomAxis->FScale, scaleOf(s));
    } else {
        const int e = 64;
        const TRect area(P.Left - e, P.Top - e, P.Right + e, P.Bottom + e);
        if (!FCover) FCover = std::make_unique<TMarkerCover>();
        FCover->Reset(area);
        FPlaces.resize(order.size());
        for (std::size_t k = 0; k < order.size(); ++k) {
            const auto* points = dynamic_cast<const TPointSeries*>(order[k]);
            FPlaces[k].clear();
            if (points == nullptr) continue;
            points->MarkerPlaces(P, FBottomAxis->FScale, scaleOf(points), FPlaces[k]);
            if (FPlaces[k].empty()) continue;
            int* grid = FCover->Grid(points->MarkerShape());
            for (const TMarkerPlace& m : FPlaces[k])
                if (m.X >= area.Left && m.X < area.Right && m.Y >= area.Top && m.Y < area.Bottom)
                    grid[std::size_t(m.Y - area.Top) * std::size_t(area.Width()) + std::size_t(m.X - area.Left)] = int(k);
        }
        for (std::size_t k = 0; k < order.size(); ++k) {
            TChartSeries* s = order[k];
            if (const auto* points = dynamic_cast<const TPointSeries*>(s))
                points->DrawPlaces(Canvas, P, FPlaces[k], FCover->Grid(points->MarkerShape()), area, int(k));
            else
                s->DrawValues(Canvas, P, FBottomAxis->FScale, scaleOf(s));
        }
    }
    DrawTitle(Canvas);
    DrawLegend(Canvas);
    DrawColorScale(Canvas);
}

void TChart::DrawAxis(TCanvas* Canvas, TChartAxis* Axis)
{
    const TLayout& L = *FLayout;
    const int index = Axis == FBottomAxis.get() ? axBottom : Axis == FLeftAxis.get() ? axLeft : axRight;
    const auto& box = L.Axes[index];
    const TRect& P = L.Plot;
    const TAxisScale& s = Axis->FScale;
    TChartPen* line = Axis->GetAxisPen();
    const int lw = line->GetVisible() ? std::max(1, line->GetWidth()) : 0;
    const TColor lineColor = line->GetColor();
    // The axis line lies just outside the plot, ticks and labels beyond it.
    if (index == axBottom) {
        if (lw) FillBox(Canvas, TRect(P.Left - lw, P.Bottom, P.Right + (L.Axes[axRight].Shown ? lw : 0), P.Bottom + lw), lineColor);
    } else if (index == axLeft) {
        if (lw) FillBox(Canvas, TRect(P.Left - lw, P.Top - 1, P.Left, P.Bottom + lw), lineColor);
    } else {
        if (lw) FillBox(Canvas, TRect(P.Right, P.Top - 1, P.Right + lw, P.Bottom + lw), lineColor);
    }
    const int out = lw;  // ticks start beyond the axis line
    auto tick = [&](int p, int len, TChartPen* pen) {
        if (!pen->GetVisible() || len <= 0) return;
        const int w = std::max(1, pen->GetWidth());
        const int a = MarkStart(p, w);
        const TColor c = pen->GetColor();
        if (index == axBottom) FillBox(Canvas, TRect(a, P.Bottom + out, a + w, P.Bottom + out + len), c);
        else if (index == axLeft) FillBox(Canvas, TRect(P.Left - out - len, a, P.Left - out, a + w), c);
        else FillBox(Canvas, TRect(P.Right + out, a, P.Right + out + len, a + w), c);
    };
    const auto& ticks = Axis->FTickValues;
    const double inc = Axis->FTickIncrement;
    // Minor ticks between (and beyond) the major ones, within the range; none when they would
    // stand closer than 2 pixels.
    const int minors = Axis->MinorTicksFor(inc);
    const double step = inc / (minors + 1);
    const double stepPixels = step * std::abs(s.GetEndPos() - s.GetStartPos()) / (s.GetMax() - s.GetMin());
    if (minors > 0 && !ticks.empty() && inc > 0 && stepPixels >= 2) {
        const double first = ticks.front() - inc;
        const int count = static_cast<int>(ticks.size() + 1) * (minors + 1);
        for (int k = 1; k < count; ++k) {
            if (k % (minors + 1) == 0) continue;
            const double v = first + k * step;
            if (v < s.GetMin() - step * 1e-6 || v > s.GetMax() + step * 1e-6) continue;
            tick(s.CalcPosValue(v), Axis->GetMinorTickLength(), Axis->GetMinorTicks());
        }
    }
    for (double v : ticks) tick(s.CalcPosValue(v), Axis->GetTickLength(), Axis->GetTicks());

    const int tickLen = std::max(Axis->GetTicks()->GetVisible() ? Axis->GetTickLength() : 0,
                                 Axis->GetMinorTicks()->GetVisible() ? Axis->GetMinorTickLength() : 0);
    // Labels.
    for (std::size_t i = 0; i < box.Labels.size() && i < ticks.size(); ++i) {
        const int p = s.CalcPosValue(ticks[i]);
        const int w = box.LabelWidths[i];
        if (index == axBottom)
            TextAt(Canvas, Axis->GetLabelsFont(), p - w / 2, P.Bottom + out + tickLen + 3, box.Labels[i]);
        else if (index == axLeft)
            TextAt(Canvas, Axis->GetLabelsFont(), P.Left - out - tickLen - 3 - w, p - box.LabelHeight / 2,
                   box.Labels[i]);
        else
            TextAt(Canvas, Axis->GetLabelsFont(), P.Right + out + tickLen + 3, p - box.LabelHeight / 2,
                   box.Labels[i]);
    }
    // Title, framed when not transparent.
    if (!box.HasTitle) return;
    TChartAxisTitle* t = Axis->GetTitle();
    const TRect& tb = box.TitleBox;
    const bool framed = !t->GetTransparent();
    if (framed) {
        const TColor fill = t->GetColor() != clTeeColor && t->GetColor() != clNone ? t->GetColor() : GetColor();
        TChartPen* f = t->GetFrame();
        const int radius = t->GetShapeStyle() == fosRoundRectangle ? std::min(tb.Width(), tb.Height()) / 3 : 0;
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(fill);
        TPen* pen = Canvas->GetPen();
        pen->SetColor(f->GetColor());
        pen->SetWidth(1);
        pen->SetMode(pmCopy);
        pen->SetStyle(f->GetVisible() ? psSolid : psClear);
        Canvas->RoundRect(tb, 2 * radius, 2 * radius);
    }
    const int padH = framed ? kTitlePadH : 0, padV = framed ? kTitlePadV : 0;
    if (index == axBottom) {
        TextAt(Canvas, t->GetFont(), tb.Left + padH, tb.Top + padV, t->GetCaption());
        return;
    }
    // Left: reading upwards from the bottom of the box; right: reading downwards from its top.
    Canvas->GetFont()->Assign(t->GetFont());
    const TSize cell = Canvas->TextExtent(t->GetCaption());
    TFont turned;
    turned.Assign(t->GetFont());
    if (index == axLeft) {
        turned.SetOrientation(900);
        TextAt(Canvas, &turned, tb.Left + padV, tb.Top + padH + cell.cx, t->GetCaption());
    } else {
        turned.SetOrientation(2700);
        TextAt(Canvas, &turned, tb.Left + padV + cell.cy, tb.Top + padH, t->GetCaption());
    }
}

namespace {

// Text shortened in the middle with "..." to fit Width (a long file path keeps its start and its
// file name). Cuts fall between UTF-8 characters.
UnicodeString Elide(TCanvas* Canvas, const UnicodeString& Text, int Width)
{
    if (Canvas->TextWidth(Text) <= Width) return Text;
    auto boundary = [&](std::size_t i) { return Utf8CharStart(Text, i); };
    // Longest kept length whose shortened text fits.
    std::size_t lo = 0, hi = Text.size();
    UnicodeString best = "...";
    while (lo < hi) {
        const std::size_t keep = (lo + hi + 1) / 2;
        const std::size_t head = boundary(keep / 2);
        const std::size_t tail = boundary(Text.size() - (keep - keep / 2));
        const UnicodeString candidate = Text.substr(0, head) + "..." + Text.substr(std::max(tail, head));
        if (Canvas->TextWidth(candidate) <= Width) {
            best = candidate;
            lo = keep;
        } else {
            hi = keep - 1;
        }
    }
    return best;
}

}  // namespace

void TChart::DrawTitle(TCanvas* Canvas)
{
    const TLayout& L = *FLayout;
    if (L.TitleY.empty()) return;
    TFont* f = FTitle->GetFont();
    Canvas->GetFont()->Assign(f);
    for (std::size_t i = 0; i < L.TitleY.size() && static_cast<int>(i) < FTitle->GetText()->Count(); ++i) {
        const UnicodeString line = Elide(Canvas, FTitle->GetText()->Get(static_cast<int>(i)), L.Width - 2 * kMargin);
        const int w = Canvas->TextWidth(line);
        TextAt(Canvas, f, std::max(kMargin, (L.Width - w) / 2), L.TitleY[i], line);
    }
}

void TChart::DrawLegend(TCanvas* Canvas)
{
    const TLayout& L = *FLayout;
    if (!L.LegendShown) return;
    TChartPen* frame = FLegend->GetFrame();
    if (frame->GetVisible()) FrameBox(Canvas, L.LegendRect, frame->GetColor(), frame->GetWidth(), frame->GetStyle());
    for (const auto& item : L.LegendItems) {
        item.Series->DrawLegendSample(Canvas, item.Sample);
        TextAt(Canvas, FLegend->GetFont(), item.TextX, item.TextY, item.Series->GetTitle());
    }
}

void TChart::RenderOverlay(TCanvas* Canvas)
{
    const TLayout& L = *FLayout;
    for (TChartSeries* s : FSeries) {
        if (!s->GetOverlay()) continue;
        s->FDataNotified = false;
        if (!s->GetActive()) continue;
        const TChartAxis* v = s->GetVertAxis() == aRightAxis ? FRightAxis.get() : FLeftAxis.get();
        s->DrawValues(Canvas, L.Plot, FBottomAxis->FScale, v->FScale);
    }
    if (FHasDragRect && FZoomPen->GetVisible()) {
        const TRect d(std::min(FDragRect.Left, FDragRect.Right), std::min(FDragRect.Top, FDragRect.Bottom),
                      std::max(FDragRect.Left, FDragRect.Right) + 1, std::max(FDragRect.Top, FDragRect.Bottom) + 1);
        FrameBox(Canvas, d, FZoomPen->GetColor(), FZoomPen->GetWidth(), FZoomPen->GetStyle());
    }
}
