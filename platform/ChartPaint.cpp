#include "platform/ChartPaint.h"

#include <algorithm>

TClipScope::TClipScope(TCanvas* Canvas, const TRect& R) : FCanvas(Canvas), FOld(Canvas->GetClipRect())
{
    const TRect n(std::max(FOld.Left, R.Left), std::max(FOld.Top, R.Top), std::min(FOld.Right, R.Right),
                  std::min(FOld.Bottom, R.Bottom));
    FCanvas->SetClipRect(n.Left < n.Right && n.Top < n.Bottom ? n : TRect(FOld.Left, FOld.Top, FOld.Left, FOld.Top));
}

TClipScope::~TClipScope() { FCanvas->SetClipRect(FOld); }

bool TClipScope::Empty() const
{
    const TRect c = FCanvas->GetClipRect();
    return c.Left >= c.Right || c.Top >= c.Bottom;
}

void FillBox(TCanvas* Canvas, const TRect& R, TColor Color)
{
    TBrush* b = Canvas->GetBrush();
    b->SetStyle(bsSolid);
    b->SetColor(Color);
    Canvas->FillRect(R);
}

namespace {
void SetPen(TCanvas* Canvas, TColor Color, int Width, TPenStyle Style)
{
    TPen* p = Canvas->GetPen();
    p->SetColor(Color);
    p->SetWidth(Width);
    p->SetStyle(Style);
    p->SetMode(pmCopy);
}
}  // namespace

void StyledLine(TCanvas* Canvas, int X0, int Y0, int X1, int Y1, TColor Color, int Width, TPenStyle Style)
{
    if (Style == psClear) return;
    SetPen(Canvas, Color, std::max(1, Width), Style);
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->MoveTo(X0, Y0);
    Canvas->LineTo(X1, Y1);
}

void FrameBox(TCanvas* Canvas, const TRect& R, TColor Color, int Width, TPenStyle Style)
{
    if (Style == psClear || R.Width() <= 0 || R.Height() <= 0) return;
    SetPen(Canvas, Color, std::max(1, Width), Style == psSolid && Width > 1 ? psInsideFrame : Style);
    Canvas->GetBrush()->SetStyle(bsClear);
    Canvas->Rectangle(R);
}

TColor Darker(TColor Color)
{
    const TColor c = ColorToRGB(Color);
    return RGB(GetRValue(c) * 3 / 5, GetGValue(c) * 3 / 5, GetBValue(c) * 3 / 5);
}

namespace {
void SetMarkerTools(TCanvas* Canvas, TColor Fill, bool Outline, TColor OutlineColor)
{
    TBrush* b = Canvas->GetBrush();
    b->SetStyle(bsSolid);
    b->SetColor(Fill);
    if (Outline) SetPen(Canvas, OutlineColor, 1, psSolid);
    else SetPen(Canvas, Fill, 1, psSolid);  // the edge in the fill colour keeps the size
}
}  // namespace

namespace {
// The markers that are no filled shape: line marks, markers too small for an inside, squares.
void DrawPlainMarker(TCanvas* Canvas, TSeriesPointerStyle Style, int h, int v, int X, int Y, TColor Fill,
                     bool Outline, TColor OutlineColor)
{
    const bool lineMark = Style == psCross || Style == psDiagCross || Style == psStar || Style == psSmallDot;
    if (Style == psSmallDot || (h < 1 && v < 1)) {
        FillBox(Canvas, TRect(X, Y, X + 1, Y + 1), Fill);
        return;
    }
    if (!lineMark && (h < 1 || v < 1)) {
        FillBox(Canvas, TRect(X - h, Y - v, X + h + 1, Y + v + 1), Fill);
        return;
    }
    if (!lineMark) {
        SetMarkerTools(Canvas, Fill, Outline, OutlineColor);
        Canvas->Rectangle(X - h, Y - v, X + h + 1, Y + v + 1);
        return;
    }
    if (Style != psDiagCross) {
        StyledLine(Canvas, X - h, Y, X + h + 1, Y, Fill, 1, psSolid);
        StyledLine(Canvas, X, Y - v, X, Y + v + 1, Fill, 1, psSolid);
    }
    if (Style != psCross) {
        // Drawn from both ends towards the centre, so that the cross stays symmetric.
        StyledLine(Canvas, X - h, Y - v, X, Y, Fill, 1, psSolid);
        StyledLine(Canvas, X + h, Y + v, X, Y, Fill, 1, psSolid);
        StyledLine(Canvas, X - h, Y + v, X, Y, Fill, 1, psSolid);
        StyledLine(Canvas, X + h, Y - v, X, Y, Fill, 1, psSolid);
        FillBox(Canvas, TRect(X, Y, X + 1, Y + 1), Fill);
    }
}
}  // namespace

void DrawMarker(TCanvas* Canvas, TSeriesPointerStyle Style, int HorizSize, int VertSize, int X, int Y,
                TColor Fill, bool Outline, TColor OutlineColor)
{
    const TPoint at(X, Y);
    DrawMarkers(Canvas, Style, HorizSize, VertSize, &at, 1, Fill, Outline, OutlineColor);
}

void DrawMarkers(TCanvas* Canvas, TSeriesPointerStyle Style, int HorizSize, int VertSize, const TPoint* Places,
                 int N, TColor Fill, bool Outline, TColor OutlineColor)
{
    const int h = std::clamp(HorizSize, 0, 64), v = std::clamp(VertSize, 0, 64);
    const bool shaped = h >= 1 && v >= 1 &&
                        (Style == psCircle || Style == psTriangle || Style == psDownTriangle || Style == psDiamond);
    if (!shaped) {
        for (int i = 0; i < N; ++i)
            DrawPlainMarker(Canvas, Style, h, v, Places[i].X, Places[i].Y, Fill, Outline, OutlineColor);
        return;
    }
    SetMarkerTools(Canvas, Fill, Outline, OutlineColor);
    // Relative to the centre.
    switch (Style) {
    case psCircle:
        Canvas->Ellipses(TRect(-h, -v, h + 1, v + 1), Places, N);
        break;
    case psTriangle: {
        const TPoint shape[3] = {TPoint(-h, v), TPoint(h, v), TPoint(0, -v)};
        Canvas->Polygons(shape, 3, Places, N);
        break;
    }
    case psDownTriangle: {
        const TPoint shape[3] = {TPoint(-h, -v), TPoint(h, -v), TPoint(0, v)};
        Canvas->Polygons(shape, 3, Places, N);
        break;
    }
    default: {
        const TPoint shape[4] = {TPoint(0, -v), TPoint(h, 0), TPoint(0, v), TPoint(-h, 0)};
        Canvas->Polygons(shape, 4, Places, N);
        break;
    }
    }
}

void TMarkerCover::Reset(const TRect& Area)
{
    FArea = Area;
    FUsed = 0;
}

std::uint32_t TMarkerCover::ShapeOf(TSeriesPointerStyle Style, int HorizSize, int VertSize, bool Outline)
{
    return std::uint32_t(Style) | std::uint32_t(std::clamp(HorizSize, 0, 255)) << 8 |
           std::uint32_t(std::clamp(VertSize, 0, 255)) << 16 | std::uint32_t(Outline) << 24;
}

int* TMarkerCover::Grid(std::uint32_t Shape)
{
    for (std::size_t i = 0; i < FUsed; ++i)
        if (FGrids[i].first == Shape) return FGrids[i].second.data();
    if (FUsed == FGrids.size()) FGrids.emplace_back();
    auto& [shape, grid] = FGrids[FUsed++];
    shape = Shape;
    grid.assign(std::size_t(std::max(0, FArea.Width())) * std::size_t(std::max(0, FArea.Height())), -1);
    return grid.data();
}
