// Drawing of the chart and its series, all through the canvas's own primitives (so the plot
// shares the canvas's pens, dash patterns and fills, and a vector picture attached to the
// canvas receives the same shapes). Used by the chart and its series only.
#pragma once

#include "platform/Graphics.h"
#include "platform/Series.h"

#include <cstdint>
#include <vector>

// Narrows the canvas's clip rectangle to R (logical coordinates) for the scope's lifetime.
class TClipScope {
public:
    TClipScope(TCanvas* Canvas, const TRect& R);
    ~TClipScope();
    TClipScope(const TClipScope&) = delete;
    TClipScope& operator=(const TClipScope&) = delete;
    bool Empty() const;

private:
    TCanvas* FCanvas;
    TRect FOld;
};

// [Left, Right) x [Top, Bottom) in Color.
void FillBox(TCanvas* Canvas, const TRect& R, TColor Color);

// A line from (X0, Y0) to (X1, Y1) in a pen of Color, Width and Style, as LineTo draws it (a
// thin line leaves its end, a wide one has round ends); gaps of a styled pen are left alone.
void StyledLine(TCanvas* Canvas, int X0, int Y0, int X1, int Y1, TColor Color, int Width, TPenStyle Style);

// The outline of R (Right and Bottom excluded) in a pen of Color, Width and Style, inside R.
void FrameBox(TCanvas* Canvas, const TRect& R, TColor Color, int Width, TPenStyle Style);

// The colour a marker's outline takes by default: a darker shade of its fill.
TColor Darker(TColor Color);

// How far a marker reaches from its centre.
inline int MarkerExtent(int HorizSize, int VertSize) { return HorizSize > VertSize ? HorizSize : VertSize; }

// A point series' marker centred on (X, Y): HorizSize and VertSize pixels from the centre to
// its sides, filled with Fill and outlined one pixel wide in OutlineColor when Outline. Cross
// styles and markers too small for an inside are drawn in the fill colour only.
void DrawMarker(TCanvas* Canvas, TSeriesPointerStyle Style, int HorizSize, int VertSize, int X, int Y,
                TColor Fill, bool Outline, TColor OutlineColor);

// The same marker centred on each of N places, as N DrawMarker calls would draw it.
void DrawMarkers(TCanvas* Canvas, TSeriesPointerStyle Style, int HorizSize, int VertSize, const TPoint* Places,
                 int N, TColor Fill, bool Outline, TColor OutlineColor);

// A marker of a point series where it is drawn, with its fill and outline colours.
struct TMarkerPlace {
    int X, Y;
    TColor Fill, Line;
};

// Where the markers of a plot lie, by shape: a marker that a later one of the same shape (style,
// size, outline) on the same spot paints over wholly need not be drawn. Each shape has a grid
// over Area holding, per place, the drawing order of the last series with a marker there (-1:
// none). Reset keeps the grids' memory for the next plot.
class TMarkerCover {
public:
    void Reset(const TRect& Area);
    const TRect& GetArea() const { return FArea; }
    // The grid of Shape, made on first use.
    int* Grid(std::uint32_t Shape);
    // The key of a marker's shape.
    static std::uint32_t ShapeOf(TSeriesPointerStyle Style, int HorizSize, int VertSize, bool Outline);

private:
    TRect FArea;
    std::vector<std::pair<std::uint32_t, std::vector<int>>> FGrids;
    std::size_t FUsed = 0;  // grids in use since Reset
};
