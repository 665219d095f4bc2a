// Colours, pens, brushes, fonts, the canvas and bitmaps.
//
// The canvas draws on a 32-bit raster (one std::uint32_t per pixel, 0xFFRRGGBB, the layout of
// the toolkit's 32-bit RGB images) with our own pixel code, exact to the pixel:
//   - LineTo paints its start point and not its end point (Bresenham, the same pixels in every
//     direction as the original desktop platform's cosmetic lines, ties included);
//   - Rectangle, FillRect, FrameRect, Ellipse exclude the right and bottom limits;
//   - dashed and dotted pens use the cosmetic dash patterns; the gaps take the brush colour
//     when the brush is solid and stay untouched otherwise (the brush is the background);
//   - the sixteen pen modes combine pen and destination per pixel on the RGB value.
// Text goes through Qt's painter on the same raster (platform/qt/QtCanvas.cpp).
//
// Coordinates: every drawing call takes logical coordinates; the origin (SetOrigin) is the device
// position of logical (0, 0). Drawing is clipped to the clip rectangle (SetClipRect) and the raster.
#pragma once

#include "platform/Classes.h"
#include "platform/Types.h"

#include <cstdint>
#include <memory>
#include <vector>

CORVANE_EXCEPTION_CLASS(EInvalidGraphic, Exception);
CORVANE_EXCEPTION_CLASS(EInvalidGraphicOperation, Exception);
CORVANE_EXCEPTION_CLASS(EOutOfResources, Exception);

// ---------------------------------------------------------------------------------------------
// Colours

// 0x00BBGGRR; a system colour is 0xFF000000 + index, resolved through the application palette.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clScrollBar = clSystemColor + 0;
constexpr TColor clBackground = clSystemColor + 1;
constexpr TColor clActiveCaption = clSystemColor + 2;
constexpr TColor clInactiveCaption = clSystemColor + 3;
constexpr TColor clMenu = clSystemColor + 4;
constexpr TColor clWindow = clSystemColor + 5;
constexpr TColor clWindowFrame = clSystemColor + 6;
constexpr TColor clMenuText = clSystemColor + 7;
constexpr TColor clWindowText = clSystemColor + 8;
constexpr TColor clCaptionText = clSystemColor + 9;
constexpr TColor clActiveBorder = clSystemColor + 10;
constexpr TColor clInactiveBorder = clSystemColor + 11;
constexpr TColor clAppWorkSpace = clSystemColor + 12;
constexpr TColor clHighlight = clSystemColor + 13;
constexpr TColor clHighlightText = clSystemColor + 14;
constexpr TColor clBtnFace = clSystemColor + 15;
constexpr TColor clBtnShadow = clSystemColor + 16;
constexpr TColor clGrayText = clSystemColor + 17;
constexpr TColor clBtnText = clSystemColor + 18;
constexpr TColor clInactiveCaptionText = clSystemColor + 19;
constexpr TColor clBtnHighlight = clSystemColor + 20;
constexpr TColor cl3DDkShadow = clSystemColor + 21;
constexpr TColor cl3DLight = clSystemColor + 22;
constexpr TColor clInfoText = clSystemColor + 23;
constexpr TColor clInfoBk = clSystemColor + 24;
constexpr TColor clHotLight = clSystemColor + 26;
constexpr TColor clGradientActiveCaption = clSystemColor + 27;
constexpr TColor clGradientInactiveCaption = clSystemColor + 28;
constexpr TColor clMenuHighlight = clSystemColor + 29;
constexpr TColor clMenuBar = clSystemColor + 30;

// Number of entries of the system colour table (indices 0 .. SystemColorCount - 1).
constexpr int SystemColorCount = 31;

constexpr TColor RGB(int r, int g, int b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr int GetRValue(TColor c) { return int(c & 0xFF); }
constexpr int GetGValue(TColor c) { return int((c >> 8) & 0xFF); }
constexpr int GetBValue(TColor c) { return int((c >> 16) & 0xFF); }

// A system colour becomes its current value in the application palette; any other colour is
// returned as it is.
TColor ColorToRGB(TColor Color);
// Replaces entry Index of the system colour table (the windows layer fills it from the desktop
// theme at start). Indices outside the table are ignored.
void SetSystemColor(int Index, TColor Rgb);
// The current value of entry Index (black outside the table).
TColor GetSysColor(int Index);
// Puts back the classic desktop values of every entry.
void ResetSystemColors();

// While one lives, the system colours take their classic desktop values (a chart is drawn as a
// printed figure, light whatever the desktop's theme); the values before come back after.
class TClassicSystemColors {
public:
    TClassicSystemColors();
    ~TClassicSystemColors();
    TClassicSystemColors(const TClassicSystemColors&) = delete;
    TClassicSystemColors& operator=(const TClassicSystemColors&) = delete;

private:
    TColor FSaved[SystemColorCount];
};

// The contrast ratio of two colours (system colours resolved) as the web's accessibility
// guidelines define it: 1 (alike) to 21 (black on white); 4.5 and more reads well.
double ContrastRatio(TColor A, TColor B);
// Text (resolved) unless it reads badly on Back (a ratio below MinContrast): then Text taken towards
// black or white, whichever reads better, just far enough to read well.
TColor ReadableOn(TColor Text, TColor Back, double MinContrast = 4.5);

// Raster pixel (0xFFRRGGBB) <-> colour (0x00BBGGRR). System colours are resolved first.
inline std::uint32_t ColorToPixel(TColor Color)
{
    const TColor c = ColorToRGB(Color);
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr TColor PixelToColor(std::uint32_t Pixel)
{
    return ((Pixel & 0xFF) << 16) | (Pixel & 0xFF00) | ((Pixel >> 16) & 0xFF);
}

// ---------------------------------------------------------------------------------------------
// Pens, brushes, fonts

enum TPenStyle {
    psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate
};
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle {
    bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = Set<TFontStyle, fsBold, fsStrikeOut>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

// Common base of pens, brushes and fonts: OnChange fires after every change.
class TGraphicsObject : public TPersistent {
public:
    TChangeNotify OnChange;

protected:
    virtual void Changed();
};

class TPen : public TGraphicsObject {
public:
    TPen() = default;
    void Assign(TPersistent* Source) override;

    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    // Widths below 1 draw as 1 (cosmetic pen). A pen wider than 1 has round ends, covers rows
    // y - Width/2 .. y - Width/2 + Width - 1 of a horizontal line and paints both ends; styled,
    // it dashes with the pattern scaled by its width and leaves the gaps untouched.
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle GetStyle() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode GetMode() const { return FMode; }
    void SetMode(TPenMode Value);

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

class TBrush : public TGraphicsObject {
public:
    TBrush() = default;
    void Assign(TPersistent* Source) override;

    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle GetStyle() const { return FStyle; }
    void SetStyle(TBrushStyle Value);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};

// Height is in pixels, as the original platform has it: a negative Height is the character
// height (the em size; Qt's pixel size is -Height), a positive Height is the cell height
// (ascent + descent; the em size is scaled down to fit). Size is in points at 96 pixels per inch:
// Size = -Height * 72 / 96, rounded. The default font is "Tahoma", Height -11 (Size 8),
// clWindowText. "Font of height 11 pixels" in a window description is Height -11.
class TFont : public TGraphicsObject {
public:
    TFont() = default;
    void Assign(TPersistent* Source) override;

    const UnicodeString& GetName() const { return FName; }
    void SetName(const UnicodeString& Value);
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value);
    int GetSize() const;
    void SetSize(int Value);
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TFontPitch GetPitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    int GetPixelsPerInch() const { return 96; }
    // The angle of the text's baseline in tenths of a degree, counter-clockwise: 900 reads
    // upwards, 2700 downwards. The canvas turns text by whole quarter turns; other angles are
    // taken to the nearest one.
    int GetOrientation() const { return FOrientation; }
    void SetOrientation(int Value);

private:
    UnicodeString FName = "Tahoma";
    int FHeight = -11;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontPitch FPitch = fpDefault;
    int FOrientation = 0;
};

// Registers the fonts the program ships with when present (Tahoma from the wine fonts).
// Called lazily before the first text operation; calling it again does nothing.
void RegisterPlatformFonts();

// ---------------------------------------------------------------------------------------------
// Canvas

class TBitmap;
class TVectorPicture;
struct TCanvasStamp;

class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    // --- The raster. The canvas draws into a raster it does not own: Bits points at Height rows
    // of StrideInPixels pixels (0xFFRRGGBB). Attach resets origin and clip rectangle to the whole
    // raster. Without a raster every drawing call does nothing and Pixels reads clNone.
    void Attach(std::uint32_t* Bits, int Width, int Height, int StrideInPixels);
    void Detach();
    std::uint32_t* GetBits() const { return FBits; }
    int GetRasterWidth() const { return FWidth; }
    int GetRasterHeight() const { return FHeight; }
    int GetRasterStride() const { return FStride; }

    // Device position of logical (0, 0).
    void SetOrigin(int X, int Y);
    void SetOrigin(const TPoint& P) { SetOrigin(P.X, P.Y); }
    TPoint GetOrigin() const { return FOrigin; }
    // The clip rectangle is given in logical coordinates of the current origin and stays where it
    // is on the raster when the origin moves later. It is always cut to the raster.
    void SetClipRect(const TRect& R);
    // Clipping to the whole raster only.
    void ResetClipRect();
    // The clip rectangle in logical coordinates of the current origin.
    TRect GetClipRect() const;
    TRect ClipRect() const { return GetClipRect(); }

    // --- A vector picture beside the raster (platform/VectorPicture.h): while one is attached,
    // every drawing call also adds the shapes it paints to it (pen modes other than copy are
    // recorded as copy). Drawing still needs the raster. The canvas does not own the picture.
    void SetPicture(TVectorPicture* Picture) { FPicture = Picture; }
    TVectorPicture* GetPicture() const { return FPicture; }

    // --- Tools. The canvas owns them; Set* copies the settings (Assign).
    TPen* GetPen() const { return Pen; }
    void SetPen(TPen* Value) { Pen->Assign(Value); }
    TBrush* GetBrush() const { return Brush; }
    void SetBrush(TBrush* Value) { Brush->Assign(Value); }
    TFont* GetFont() const { return Font; }
    void SetFont(TFont* Value) { Font->Assign(Value); }

    TPoint GetPenPos() const { return FPenPos; }
    void SetPenPos(const TPoint& Value) { FPenPos = Value; }

    // --- Drawing
    void MoveTo(int X, int Y);
    // Draws from the pen position to (X, Y): the start is painted, the end is not; the pen
    // position becomes (X, Y).
    void LineTo(int X, int Y);
    // Lines through the points (each start painted, the last point not).
    void Polyline(const TPoint* Points, int Count);
    void Polyline(const std::vector<TPoint>& Points) { Polyline(Points.data(), int(Points.size())); }
    // Outline with the pen, inside with the brush (both in the pen mode); X2 and Y2 excluded.
    // With a clear pen the filled area is one pixel smaller in width and height, as on the
    // original platform.
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    // The brush only, in copy mode; right and bottom excluded. A clear brush fills nothing.
    void FillRect(const TRect& R);
    // A one-pixel frame in the brush colour; right and bottom excluded.
    void FrameRect(const TRect& R);
    // The ellipse inside the rectangle, outline with the pen (solid, Width pixels thick),
    // inside with the brush, both in the pen mode.
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    // A rectangle with rounded corners (ellipses of X3 x Y3 pixels; the smaller of the two is
    // used for both): inside with the brush, a one-pixel outline in the pen colour unless the pen
    // is clear; X2 and Y2 excluded.
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void RoundRect(const TRect& R, int CX, int CY) { RoundRect(R.Left, R.Top, R.Right, R.Bottom, CX, CY); }
    // The closed polygon: inside (alternate rule) with the brush, outline with the pen.
    void Polygon(const TPoint* Points, int Count);
    // The same polygon (Shape's points are relative to each place) or ellipse (Box relative to
    // each place) at each of N places: what as many Polygon or Ellipse calls draw, at a fraction
    // of the cost for the markers of a chart.
    void Polygons(const TPoint* Shape, int Count, const TPoint* Places, int N);
    void Ellipses(const TRect& Box, const TPoint* Places, int N);
    void Polygon(const std::vector<TPoint>& Points) { Polygon(Points.data(), int(Points.size())); }

    // Single pixels. Outside the raster or the clip rectangle GetPixel reads clNone and SetPixel
    // does nothing.
    TColor GetPixel(int X, int Y) const;
    void SetPixel(int X, int Y, TColor Color);

    // Canvas->Pixels(x, y) = clRed; TColor c = Canvas->Pixels(x, y);
    class TPixelRef {
    public:
        TPixelRef(TCanvas* C, int X, int Y) : FCanvas(C), FX(X), FY(Y) {}
        operator TColor() const { return FCanvas->GetPixel(FX, FY); }
        TPixelRef& operator=(TColor Color)
        {
            FCanvas->SetPixel(FX, FY, Color);
            return *this;
        }

    private:
        TCanvas* FCanvas;
        int FX, FY;
    };
    TPixelRef Pixels(int X, int Y) { return TPixelRef(this, X, Y); }

    // --- Text (font of Font, colour Font->GetColor()). (X, Y) is the top-left of the text cell;
    // a solid brush fills the cell first. TextOut moves the pen position to (X + width, Y).
    // A turned font (Orientation) turns the cell about (X, Y): at 900 the text reads upwards
    // and its cell covers [X, X + height) x [Y - width, Y); at 2700 it reads downwards over
    // [X - height, X) x [Y, Y + width); the pen position moves along the text.
    void TextOut(int X, int Y, const UnicodeString& Text);
    // Text at (X, Y) clipped to R; a solid brush fills all of R first.
    void TextRect(const TRect& R, int X, int Y, const UnicodeString& Text);
    TSize TextExtent(const UnicodeString& Text) const;
    int TextWidth(const UnicodeString& Text) const;
    int TextHeight(const UnicodeString& Text) const;

    // Copies the bitmap with its top-left at (X, Y). Sharp, when given, is the same picture drawn
    // a whole number of times larger: a live picture on the canvas (the mirror of a screen with
    // more device pixels per pixel) takes it instead of Graphic enlarged.
    void Draw(int X, int Y, TBitmap* Graphic, const TBitmap* Sharp = nullptr);

    // --- Notification. OnChange fires after every drawing call that may have changed pixels;
    // OnPainted receives the device rectangle that the call touched (already clipped), so that
    // the owner of the raster can show it.
    TNotifyEvent OnChange;
    std::function<void(const TRect& DeviceRect)> OnPainted;

    TPen* const Pen;
    TBrush* const Brush;
    TFont* const Font;

private:
    void Painted(const TRect& DeviceRect);
    TPoint ToDevice(int X, int Y) const;
    void PaintLine(TPoint From, TPoint To, struct TLineState& State);
    void PaintWideLine(TPoint From, TPoint To, int Width, struct TLineState& State);
    // Draws with the pen through device points; returns the device rectangle touched.
    TRect PolylineDevice(const TPoint* Points, int Count, bool Closed, bool Record = true);
    void RecordLines(const TPoint* Points, int Count, bool Closed);
    void RecordFill(const TRect& DeviceRect, std::uint32_t Pixel);
    void RecordText(const TPoint& DevicePos, const UnicodeString& Text, int Quarter, const TRect& Clip);
    // Adds a shape to the picture with the clip rectangle it was drawn in (FClip unless set).
    void AddShape(struct TVectorShape&& Shape);
    void RecordPolygon(const TPoint* Device, int Count, const TRect& Bounds);
    // Paints a small shape of Kind (points relative to At, device) from its cached cells; false
    // when it does not qualify and must be painted in full.
    enum { StampEllipse = 1, StampPolygon = 2 };
    static constexpr int MaxStampPoints = 8;
    bool Stamp(int Kind, const TPoint* Rel, int Count, const TPoint& At);
    const TCanvasStamp* FindStamp(int Kind, const TPoint* Rel, int Count);
    // Paints the cells with their first point at device At; returns the device rectangle touched.
    TRect PaintStamp(const TCanvasStamp* Stamp, const TPoint& At);
    bool FStamping = false;  // a scratch canvas drawing a stamp
    void FillSpan(int Y, int X0, int X1, std::uint32_t And, std::uint32_t Xor);
    void BrushSpan(int Y, int X0, int X1, bool UseMode);
    void FillDeviceRect(TRect R, bool UseMode);
    void PenBand(const TRect& Outer, const TRect& Inner);

    std::uint32_t* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    int FStride = 0;
    TPoint FOrigin;
    TRect FClip;  // device coordinates, inside the raster
    TPoint FPenPos;
    TVectorPicture* FPicture = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Bitmaps

// A 32-bit image with its own canvas. New pixels (creation, growth) are white.
class TBitmap : public TPersistent {
public:
    TBitmap();
    TBitmap(int Width, int Height);
    ~TBitmap() override;
    void Assign(TPersistent* Source) override;

    int GetWidth() const { return FWidth; }
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    // Keeps the pixels that stay inside; negative sizes count as 0.
    void SetSize(int Width, int Height);
    bool GetEmpty() const { return FWidth == 0 || FHeight == 0; }

    TCanvas* GetCanvas() const { return Canvas; }
    // Row Row of the image (Width pixels 0xFFRRGGBB); raises EInvalidGraphicOperation
    // "Scan line index out of range" outside the image.
    std::uint32_t* ScanLine(int Row);
    const std::uint32_t* ScanLine(int Row) const;

    // PNG files. Save raises EFCreateError "Cannot create file \"%s\"" when the file cannot be
    // written (EInvalidGraphic for an empty bitmap, which PNG cannot hold); Load raises
    // EInvalidGraphic when the file cannot be read as an image and then keeps the bitmap as it was.
    void SaveToFile(const UnicodeString& FileName) const;
    void LoadFromFile(const UnicodeString& FileName);
    // The bytes of the PNG file SaveToFile writes; EInvalidGraphic for an empty bitmap or one that
    // cannot be encoded.
    std::string PngBytes() const;

    TCanvas* const Canvas;

private:
    std::vector<std::uint32_t> FPixels;
    int FWidth = 0;
    int FHeight = 0;
};
