// Raster operations, dash patterns and rectangle arithmetic of the canvas, shared by its files
// (Graphics.cpp, CanvasRecord.cpp, CanvasStamps.cpp). Not for use outside the canvas.
#pragma once

#include "platform/Graphics.h"
#include "platform/VectorPicture.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace CanvasDetail {

// A pen mode with its pen colour reduces to D' = (D & And) ^ Xor on every bit.
struct TRop {
    std::uint32_t And = 0;
    std::uint32_t Xor = 0;
    bool Nop() const { return And == 0x00FFFFFFu && Xor == 0xFF000000u; }
};

inline std::uint32_t Combine(TPenMode Mode, std::uint32_t P, std::uint32_t D)
{
    switch (Mode) {
    case pmBlack: return 0;
    case pmWhite: return ~0u;
    case pmNop: return D;
    case pmNot: return ~D;
    case pmCopy: return P;
    case pmNotCopy: return ~P;
    case pmMergePenNot: return P | ~D;
    case pmMaskPenNot: return P & ~D;
    case pmMergeNotPen: return ~P | D;
    case pmMaskNotPen: return ~P & D;
    case pmMerge: return P | D;
    case pmNotMerge: return ~(P | D);
    case pmMask: return P & D;
    case pmNotMask: return ~(P & D);
    case pmXor: return P ^ D;
    case pmNotXor: return ~(P ^ D);
    }
    return P;
}

// Pixel is 0xFFRRGGBB; the alpha byte always ends up 0xFF.
inline TRop MakeRop(TPenMode Mode, std::uint32_t Pixel)
{
    const std::uint32_t f0 = Combine(Mode, Pixel, 0);
    const std::uint32_t f1 = Combine(Mode, Pixel, ~0u);
    return TRop{(f0 ^ f1) & 0x00FFFFFFu, (f0 & 0x00FFFFFFu) | 0xFF000000u};
}

inline void Apply(std::uint32_t& D, const TRop& Rop)
{
    D = (D & Rop.And) ^ Rop.Xor;
}

// The cosmetic dash patterns (on, off, on, off ... in pixels) of the styled pens, and the
// geometric ones that a wider pen scales by its width.
struct TDashPattern {
    int Count;
    int Segments[6];
};
constexpr TDashPattern CosmeticDashes[] = {
    {2, {18, 6}},               // psDash
    {2, {3, 3}},                // psDot
    {4, {9, 6, 3, 6}},          // psDashDot
    {6, {9, 3, 3, 3, 3, 3}},    // psDashDotDot
};
constexpr TDashPattern GeometricDashes[] = {
    {2, {3, 1}},                // psDash
    {2, {1, 1}},                // psDot
    {4, {3, 1, 1, 1}},          // psDashDot
    {6, {3, 1, 1, 1, 1, 1}},    // psDashDotDot
};
constexpr TDashPattern AlternateDashes = {2, {1, 1}};

// The on/off sequence of a pen as one bit per pixel.
struct TDash {
    bool Styled = false;
    int Period = 1;
    std::vector<bool> On;

    TDash() = default;
    TDash(const TDashPattern& P, int Scale)
    {
        Styled = true;
        for (int i = 0; i < P.Count; ++i)
            for (int k = 0; k < P.Segments[i] * Scale; ++k) On.push_back(i % 2 == 0);
        Period = int(On.size());
    }
    bool IsOn(long long Pos) const
    {
        if (!Styled) return true;
        const long long m = Pos % Period;
        return On[size_t(m < 0 ? m + Period : m)];
    }
};

// The pattern of a styled pen and the pixels per pattern unit; nullptr for a solid pen.
inline const TDashPattern* PatternOf(TPenStyle Style, int Width, int& Scale)
{
    Scale = 1;
    switch (Style) {
    case psDash:
    case psDot:
    case psDashDot:
    case psDashDotDot:
        if (Width <= 1) return &CosmeticDashes[Style - psDash];
        Scale = Width;
        return &GeometricDashes[Style - psDash];
    case psAlternate: return &AlternateDashes;
    default: return nullptr;
    }
}

inline TDash DashOf(TPenStyle Style, int Width)
{
    int scale;
    const TDashPattern* p = PatternOf(Style, Width, scale);
    return p ? TDash(*p, scale) : TDash();
}

// The same pattern as lengths in pixels, for a vector picture.
inline std::vector<double> DashLengths(TPenStyle Style, int Width)
{
    int scale;
    const TDashPattern* p = PatternOf(Style, Width, scale);
    std::vector<double> lengths;
    if (p)
        for (int i = 0; i < p->Count; ++i) lengths.push_back(double(p->Segments[i]) * scale);
    return lengths;
}

// The 8 x 8 hatch patterns of the hatched brushes, a row per byte, leftmost pixel in bit 7.
constexpr std::uint8_t Hatches[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00},  // bsHorizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // bsVertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // bsFDiagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // bsBDiagonal
    {0x08, 0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08},  // bsCross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // bsDiagCross
};

inline TRect Intersect(const TRect& A, const TRect& B)
{
    TRect r(std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
            std::min(A.Bottom, B.Bottom));
    if (r.Right <= r.Left || r.Bottom <= r.Top) return TRect();
    return r;
}

inline bool IsEmpty(const TRect& R)
{
    return R.Right <= R.Left || R.Bottom <= R.Top;
}

inline TRect Union(const TRect& A, const TRect& B)
{
    if (IsEmpty(A)) return B;
    if (IsEmpty(B)) return A;
    return TRect(std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
                 std::max(A.Bottom, B.Bottom));
}

inline TRect Normalized(int X1, int Y1, int X2, int Y2)
{
    return TRect(std::min(X1, X2), std::min(Y1, Y2), std::max(X1, X2), std::max(Y1, Y2));
}

// Coordinates after the origin shift may leave the int range; every device coordinate is kept
// within this bound, far outside any raster, so that no arithmetic below overflows.
constexpr long long CoordLimit = 1LL << 28;

inline int ClampCoord(long long V)
{
    return int(std::clamp(V, -CoordLimit, CoordLimit));
}

// A shape stroked with the pen (not stroked for a clear pen or the no-operation mode).
TVectorShape PenShape(const TPen& Pen, TVectorShapeKind Kind);
// The brush as the fill of a shape.
void SetFill(const TBrush& Brush, TVectorShape& V);
// Where a pen's centre line lies within a pixel: its centre for odd widths, its top-left corner
// for even ones.
double LineOffset(int Width);

}  // namespace CanvasDetail
