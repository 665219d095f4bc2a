// Text and image files for the canvas, done with Qt (platform/qt/QtCanvas.cpp).
// This header is free of Qt: Graphics.cpp calls it with plain rasters.
#pragma once

#include "platform/Graphics.h"
#include "platform/VectorPicture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace QtCanvas {

// A raster and the device rectangle that drawing may touch.
struct TTarget {
    std::uint32_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    int Stride = 0;
    TRect Clip;
};

// Width and height of the text cell of Text in Font (0, 0 without a GUI application).
TSize TextExtent(const TFont& Font, const UnicodeString& Text);
// Draws Text with the top-left of its cell at device (X, Y) in Color (0x00BBGGRR, resolved),
// clipped to Target.Clip, turned by Quarter quarter turns counter-clockwise about (X, Y).
// Returns the device rectangle that the text cell and glyphs cover.
TRect DrawText(const TTarget& Target, int X, int Y, const TFont& Font, TColor Color,
               const UnicodeString& Text, int Quarter = 0);

// Draws Shape (a shape of a picture, in pixels of a raster) Scale times larger onto Target,
// clipped to the shape's own clip rectangle (scaled) and to Target.Clip, as a picture's DrawTo
// draws it.
void DrawShapeScaled(const TTarget& Target, const TVectorShape& Shape, int Scale);

// PNG files. Encode gives the file's bytes (false for an empty image); Load returns false when
// the file cannot be read as an image and then leaves Pixels, Width and Height unchanged.
bool EncodePng(const std::uint32_t* Bits, int Width, int Height, int Stride, std::string& Bytes);
bool LoadImage(const UnicodeString& FileName, std::vector<std::uint32_t>& Pixels, int& Width, int& Height);

}  // namespace QtCanvas
