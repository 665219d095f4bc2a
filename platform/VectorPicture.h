// A drawing kept as shapes instead of pixels: while a picture is attached to a canvas
// (TCanvas::SetPicture), every drawing call of the canvas adds the shape it paints, in device
// pixels, beside painting its raster. The picture is written as SVG or PDF, or drawn again at a
// whole-number scale, so those outputs come from the same drawing calls as the screen.
//
// Coordinates: x to the right, y downwards, a device pixel (x, y) is the square [x, x + 1) x
// [y, y + 1). Lines run through pixel centres as the canvas paints them: a pen of odd width
// through (x + 0.5, y + 0.5), one of even width through the pixel corner (x, y), where the canvas
// puts its centre line. Shapes are cut to the canvas's clip rectangle where they can be (fills and
// lines); markers, ellipses and text are kept whole.
#pragma once

#include "platform/Graphics.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TVectorPoint {
    double X = 0;
    double Y = 0;
};

enum TVectorShapeKind {
    vsFill,       // the box Points[0]..Points[1], filled
    vsLines,      // a polyline through Points (closed when Closed), stroked
    vsPolygon,    // the polygon through Points: filled by the alternate rule and/or stroked
    vsEllipse,    // the ellipse in the box Points[0]..Points[1]: filled and/or stroked
    vsRoundRect,  // the box Points[0]..Points[1] with corners of Radius: filled and/or stroked
    vsText,       // Text with the reference point Points[0] (top-left of its cell before turning)
    vsImage,      // Pixels (ImageWidth x ImageHeight) with the top-left at Points[0]
};

struct TVectorShape {
    TVectorShapeKind Kind = vsFill;
    std::vector<TVectorPoint> Points;
    bool Closed = false;

    bool Filled = false;
    std::uint32_t FillPixel = 0;  // 0xFFRRGGBB

    bool Stroked = false;
    std::uint32_t PenPixel = 0;
    double PenWidth = 1;
    std::vector<double> Dashes;  // on, off, on ... in pixels; empty for a solid pen
    double DashOffset = 0;       // pixels of the pattern used before the first point
    bool RoundEnds = false;      // solid wide pens end round, as the canvas paints them

    double Radius = 0;  // vsRoundRect

    // vsText
    UnicodeString Text;
    UnicodeString FontName;
    int FontHeight = -11;  // as TFont::Height
    TFontStyles FontStyle;
    TFontPitch FontPitch = fpDefault;
    int Orientation = 0;  // tenths of a degree, counter-clockwise: 0, 900, 1800 or 2700

    // vsImage: ImageScale pixels of Pixels per picture pixel (a sharper image of the same place)
    std::vector<std::uint32_t> Pixels;
    int ImageWidth = 0;
    int ImageHeight = 0;
    int ImageScale = 1;

    // The canvas's clip rectangle when it drew the shape (device pixels; empty: none known).
    // Outputs that keep shapes whole (SVG, PDF) ignore it; a live picture clips to it.
    TRect Clip;
};

class TVectorPicture {
public:
    TVectorPicture(int Width, int Height);

    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    const std::vector<TVectorShape>& GetShapes() const { return FShapes; }
    void Add(TVectorShape&& Shape)
    {
        if (FSink)
            FSink(Shape);
        else
            FShapes.push_back(std::move(Shape));
    }

    // A live picture keeps nothing: every shape goes to Sink at once, which draws it Scale times
    // larger (a screen of Scale device pixels per pixel mirrors a raster that way). Drawings
    // with a sharper version of their own for that scale (a chart's plot) ask GetLiveScale;
    // it is 0 for a picture that keeps its shapes.
    void SetLive(int Scale, std::function<void(const TVectorShape&)> Sink)
    {
        FLiveScale = Sink ? Scale : 0;
        FSink = std::move(Sink);
    }
    int GetLiveScale() const { return FLiveScale; }

    // The picture as an SVG document (UTF-8) of Width x Height pixels, and as a one-page PDF of
    // Width x Height points. Both need the GUI application (fonts); without it they are empty.
    std::string ToSvg() const;
    std::string ToPdf() const;
    // Draws the picture Scale times larger (1 to 8) into Bitmap, which takes that size: every
    // coordinate, pen width, dash, marker and font scaled.
    void DrawTo(TBitmap* Bitmap, int Scale) const;

private:
    int FWidth;
    int FHeight;
    std::vector<TVectorShape> FShapes;
    std::function<void(const TVectorShape&)> FSink;
    int FLiveScale = 0;
};
