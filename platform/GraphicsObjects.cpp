// Graphics: the system colours, pens, brushes and fonts, and bitmaps (the canvas is in
// Graphics.cpp).
#include "platform/Graphics.h"
#include "platform/IniFilesDisk.h"

#include "platform/qt/QtCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

// ---------------------------------------------------------------------------------------------
// System colours

namespace {

// The classic desktop values, by system colour index.
constexpr TColor DefaultSystemColors[SystemColorCount] = {
    RGB(200, 200, 200),  // 0 scroll bar
    RGB(0, 0, 0),        // 1 desktop background
    RGB(153, 180, 209),  // 2 active caption
    RGB(191, 205, 219),  // 3 inactive caption
    RGB(240, 240, 240),  // 4 menu
    RGB(255, 255, 255),  // 5 window
    RGB(100, 100, 100),  // 6 window frame
    RGB(0, 0, 0),        // 7 menu text
    RGB(0, 0, 0),        // 8 window text
    RGB(0, 0, 0),        // 9 caption text
    RGB(180, 180, 180),  // 10 active border
    RGB(244, 247, 252),  // 11 inactive border
    RGB(171, 171, 171),  // 12 application workspace
    RGB(0, 120, 215),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(240, 240, 240),  // 15 button face
    RGB(160, 160, 160),  // 16 button shadow
    RGB(109, 109, 109),  // 17 grey text
    RGB(0, 0, 0),        // 18 button text
    RGB(0, 0, 0),        // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(105, 105, 105),  // 21 3D dark shadow
    RGB(227, 227, 227),  // 22 3D light
    RGB(0, 0, 0),        // 23 tooltip text
    RGB(255, 255, 225),  // 24 tooltip background
    RGB(0, 0, 0),        // 25 (unused)
    RGB(0, 102, 204),    // 26 hot-tracked item
    RGB(185, 209, 234),  // 27 active caption gradient
    RGB(215, 228, 242),  // 28 inactive caption gradient
    RGB(0, 120, 215),    // 29 highlighted menu item
    RGB(240, 240, 240),  // 30 menu bar
};

TColor SystemColors[SystemColorCount] = {};
bool SystemColorsReady = false;

TColor* SystemColorTable()
{
    if (!SystemColorsReady) {
        std::copy(std::begin(DefaultSystemColors), std::end(DefaultSystemColors), SystemColors);
        SystemColorsReady = true;
    }
    return SystemColors;
}

}  // namespace

TColor GetSysColor(int Index)
{
    if (Index < 0 || Index >= SystemColorCount) return clBlack;
    return SystemColorTable()[Index];
}

void SetSystemColor(int Index, TColor Rgb)
{
    if (Index < 0 || Index >= SystemColorCount) return;
    SystemColorTable()[Index] = Rgb & 0xFFFFFF;
}

void ResetSystemColors()
{
    SystemColorsReady = false;
}

TClassicSystemColors::TClassicSystemColors()
{
    for (int i = 0; i < SystemColorCount; ++i) FSaved[i] = GetSysColor(i);
    ResetSystemColors();
}

TClassicSystemColors::~TClassicSystemColors()
{
    for (int i = 0; i < SystemColorCount; ++i) SetSystemColor(i, FSaved[i]);
}

namespace {
// Relative luminance of an sRGB colour.
double Luminance(TColor C)
{
    auto channel = [](int v) {
        const double c = v / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const TColor c = ColorToRGB(C);
    return 0.2126 * channel(GetRValue(c)) + 0.7152 * channel(GetGValue(c)) + 0.0722 * channel(GetBValue(c));
}
}  // namespace

double ContrastRatio(TColor A, TColor B)
{
    const double a = Luminance(A), b = Luminance(B);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

TColor ReadableOn(TColor Text, TColor Back, double MinContrast)
{
    if (ContrastRatio(Text, Back) >= MinContrast) return ColorToRGB(Text);
    // Towards black or white, whichever reads better on Back, in steps of a tenth: the hue stays
    // as long as it can.
    const TColor end = ContrastRatio(clBlack, Back) >= ContrastRatio(clWhite, Back) ? clBlack : clWhite;
    const TColor from = ColorToRGB(Text);
    for (int step = 1; step <= 10; ++step) {
        auto mix = [&](int a, int b) { return a + (b - a) * step / 10; };
        const TColor c = RGB(mix(GetRValue(from), GetRValue(end)), mix(GetGValue(from), GetGValue(end)),
                             mix(GetBValue(from), GetBValue(end)));
        if (ContrastRatio(c, Back) >= MinContrast) return c;
    }
    return end;
}

TColor ColorToRGB(TColor Color)
{
    if ((Color & 0xFF000000u) == clSystemColor) return GetSysColor(int(Color & 0xFF));
    return Color;
}

// ---------------------------------------------------------------------------------------------
// Pens, brushes, fonts

void TGraphicsObject::Changed()
{
    if (OnChange) OnChange();
}

void TPen::Assign(TPersistent* Source)
{
    if (auto* pen = dynamic_cast<TPen*>(Source)) {
        if (pen == this) return;
        FColor = pen->FColor;
        FWidth = pen->FWidth;
        FStyle = pen->FStyle;
        FMode = pen->FMode;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor Value)
{
    if (FColor == Value) return;
    FColor = Value;
    Changed();
}

void TPen::SetWidth(int Value)
{
    if (FWidth == Value) return;
    FWidth = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value)
{
    if (FStyle == Value) return;
    FStyle = Value;
    Changed();
}

void TPen::SetMode(TPenMode Value)
{
    if (FMode == Value) return;
    FMode = Value;
    Changed();
}

void TBrush::Assign(TPersistent* Source)
{
    if (auto* brush = dynamic_cast<TBrush*>(Source)) {
        if (brush == this) return;
        FColor = brush->FColor;
        FStyle = brush->FStyle;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor Value)
{
    // The colour alone: the style stays, so that saving and restoring colour and style in
    // either order gives back the brush that was there.
    if (FColor == Value) return;
    FColor = Value;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value)
{
    if (FStyle == Value) return;
    FStyle = Value;
    Changed();
}

void TFont::Assign(TPersistent* Source)
{
    if (auto* font = dynamic_cast<TFont*>(Source)) {
        if (font == this) return;
        FName = font->FName;
        FHeight = font->FHeight;
        FStyle = font->FStyle;
        FColor = font->FColor;
        FPitch = font->FPitch;
        FOrientation = font->FOrientation;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TFont::SetName(const UnicodeString& Value)
{
    if (FName == Value || Value.empty()) return;
    FName = Value;
    Changed();
}

void TFont::SetHeight(int Value)
{
    if (FHeight == Value) return;
    FHeight = Value;
    Changed();
}

namespace {
// a * b / c rounded half away from zero, as the runtime's MulDiv.
int MulDiv(int a, int b, int c)
{
    const long long n = static_cast<long long>(a) * b;
    const long long q = (std::llabs(n) * 2 + c) / (2LL * c);
    return static_cast<int>(n < 0 ? -q : q);
}
}  // namespace

int TFont::GetSize() const
{
    return -MulDiv(FHeight, 72, GetPixelsPerInch());
}

void TFont::SetSize(int Value)
{
    SetHeight(-MulDiv(Value, GetPixelsPerInch(), 72));
}

void TFont::SetStyle(TFontStyles Value)
{
    if (FStyle == Value) return;
    FStyle = Value;
    Changed();
}

void TFont::SetColor(TColor Value)
{
    if (FColor == Value) return;
    FColor = Value;
    Changed();
}

void TFont::SetPitch(TFontPitch Value)
{
    if (FPitch == Value) return;
    FPitch = Value;
    Changed();
}

void TFont::SetOrientation(int Value)
{
    if (FOrientation == Value) return;
    FOrientation = Value;
    Changed();
}

// ---------------------------------------------------------------------------------------------
// Bitmap

TBitmap::TBitmap() : Canvas(new TCanvas) {}

TBitmap::TBitmap(int Width, int Height) : TBitmap()
{
    SetSize(Width, Height);
}

TBitmap::~TBitmap()
{
    delete Canvas;
}

void TBitmap::Assign(TPersistent* Source)
{
    if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
        if (bmp == this) return;
        FPixels = bmp->FPixels;
        FWidth = bmp->FWidth;
        FHeight = bmp->FHeight;
        Canvas->Attach(FPixels.data(), FWidth, FHeight, FWidth);
        return;
    }
    TPersistent::Assign(Source);
}

void TBitmap::SetSize(int Width, int Height)
{
    Width = std::max(Width, 0);
    Height = std::max(Height, 0);
    if (Width == FWidth && Height == FHeight) return;
    if (static_cast<long long>(Width) * Height > (1LL << 28))
        throw EOutOfResources("Out of system resources");
    std::vector<std::uint32_t> pixels(static_cast<size_t>(Width) * Height, 0xFFFFFFFFu);
    const int w = std::min(Width, FWidth), h = std::min(Height, FHeight);
    for (int y = 0; y < h; ++y)
        std::copy_n(FPixels.data() + static_cast<size_t>(y) * FWidth, w,
                    pixels.data() + static_cast<size_t>(y) * Width);
    FPixels.swap(pixels);
    FWidth = Width;
    FHeight = Height;
    Canvas->Attach(FPixels.data(), FWidth, FHeight, FWidth);
}

std::uint32_t* TBitmap::ScanLine(int Row)
{
    if (Row < 0 || Row >= FHeight) throw EInvalidGraphicOperation("Scan line index out of range");
    return FPixels.data() + static_cast<size_t>(Row) * FWidth;
}

const std::uint32_t* TBitmap::ScanLine(int Row) const
{
    if (Row < 0 || Row >= FHeight) throw EInvalidGraphicOperation("Scan line index out of range");
    return FPixels.data() + static_cast<size_t>(Row) * FWidth;
}

std::string TBitmap::PngBytes() const
{
    if (GetEmpty()) throw EInvalidGraphic("Cannot save an empty image");
    std::string bytes;
    if (!QtCanvas::EncodePng(FPixels.data(), FWidth, FHeight, FWidth, bytes))
        throw EInvalidGraphic("Cannot encode the image as PNG");
    return bytes;
}

void TBitmap::SaveToFile(const UnicodeString& FileName) const
{
    if (GetEmpty()) throw EInvalidGraphic("Cannot save an empty image");
    // Encoded first and written at once, so that a failed save leaves an old file as it was.
    std::string bytes;
    if (!QtCanvas::EncodePng(FPixels.data(), FWidth, FHeight, FWidth, bytes))
        throw EFCreateError("Cannot create file \"" + FileName + "\"");
    WriteFileAtOnce(FileName, bytes);
}

void TBitmap::LoadFromFile(const UnicodeString& FileName)
{
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    if (!QtCanvas::LoadImage(FileName, pixels, w, h))
        throw EInvalidGraphic("Cannot read the image file \"" + FileName + "\"");
    FPixels.swap(pixels);
    FWidth = w;
    FHeight = h;
    Canvas->Attach(FPixels.data(), FWidth, FHeight, FWidth);
}
