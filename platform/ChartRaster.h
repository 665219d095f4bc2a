// Chart drawing straight on a canvas's raster: markers from precomputed spans, wide styled lines,
// rounded frames and turned text. Used by the chart and its series only.
#pragma once

#include "platform/Graphics.h"
#include "platform/Series.h"

#include <cstdint>
#include <vector>

class TChartRaster {
public:
    // Draws within Clip (logical coordinates of Canvas), cut to the canvas's clip rectangle.
    TChartRaster(TCanvas* Canvas, const TRect& Clip);

    bool Empty() const { return FBits == nullptr || FClip.Left >= FClip.Right || FClip.Top >= FClip.Bottom; }

    // Fills [X0, X1) x [Y0, Y1) (logical coordinates) with a raster pixel value.
    void Fill(int X0, int Y0, int X1, int Y1, std::uint32_t Pixel);
    void SetPixel(int X, int Y, std::uint32_t Pixel);

    // A line Width pixels wide from (X0, Y0) to (X1, Y1), both ends painted, in Style (solid,
    // dash, dot, dash-dot, dash-dot-dot; clear draws nothing). Phase carries the position in the
    // dash pattern from one segment of a polyline to the next.
    void Line(double X0, double Y0, double X1, double Y1, std::uint32_t Pixel, int Width,
              TPenStyle Style, double& Phase);
    // The outline of R (Right and Bottom excluded), Width pixels wide inside R, in Style.
    void Frame(const TRect& R, std::uint32_t Pixel, int Width, TPenStyle Style);
    // A rectangle with rounded corners of Radius: filled with FillPixel unless FillIt is false, and
    // framed one pixel wide with FramePixel unless FrameIt is false.
    void RoundRect(const TRect& R, int Radius, bool FillIt, std::uint32_t FillPixel, bool FrameIt,
                   std::uint32_t FramePixel);

    // Text of Font turned by 90 degrees (reading upwards) or by 270 degrees (reading downwards),
    // with the top-left of its turned box at (X, Y), drawn on a background of Background.
    void TurnedText(TFont* Font, const UnicodeString& Text, int X, int Y, bool Upwards,
                    std::uint32_t Background);

    // A marker of a point series, its cells as spans relative to its centre.
    struct TSpan {
        int DY, X0, X1;  // row offset, columns [X0, X1)
    };
    struct TMarker {
        std::vector<TSpan> Fill;
        std::vector<TSpan> Outline;
        int Extent = 0;  // the marker lies within +-Extent of its centre
    };
    static const TMarker& Marker(TSeriesPointerStyle Style, int HorizSize, int VertSize);
    void DrawMarker(const TMarker& M, int X, int Y, std::uint32_t FillPixel, bool DrawOutline,
                    std::uint32_t OutlinePixel);

    // The colour a marker's outline takes by default: a darker shade of its fill.
    static std::uint32_t Darker(std::uint32_t Pixel);

    // The clip rectangle in logical coordinates.
    TRect GetClip() const;

private:
    void Span(int Y, int X0, int X1, std::uint32_t Pixel);
    std::uint32_t* FBits = nullptr;
    int FStride = 0;
    TPoint FOrigin;
    TRect FClip;  // device coordinates
};
