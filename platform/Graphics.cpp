// Graphics: the canvas and its raster operations (the system colours, pens, brushes, fonts and
// bitmaps are in GraphicsObjects.cpp; the vector picture's shapes in CanvasRecord.cpp; stamps and
// shapes at many places in CanvasStamps.cpp).
#include "platform/Graphics.h"

#include "platform/CanvasPrivate.h"
#include "platform/qt/QtCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace CanvasDetail;

// State of one line drawing call: pen and gap operations and the dash pattern.
struct TLineState {
    TRop Pen;
    TRop Gap;
    bool Gaps = false;  // gaps are painted (solid brush)
    TDash Dash;
    long long Pos = 0;  // pixels of the pattern already used
    TRect Touched;
};

// ---------------------------------------------------------------------------------------------
// Canvas

TCanvas::TCanvas() : Pen(new TPen), Brush(new TBrush), Font(new TFont) {}

TCanvas::~TCanvas()
{
    delete Pen;
    delete Brush;
    delete Font;
}

void TCanvas::Attach(std::uint32_t* Bits, int Width, int Height, int StrideInPixels)
{
    if (Bits == nullptr || Width <= 0 || Height <= 0 || StrideInPixels < Width) {
        Detach();
        return;
    }
    FBits = Bits;
    FWidth = Width;
    FHeight = Height;
    FStride = StrideInPixels;
    FOrigin = TPoint();
    FClip = TRect(0, 0, Width, Height);
}

void TCanvas::Detach()
{
    FBits = nullptr;
    FWidth = FHeight = FStride = 0;
    FOrigin = TPoint();
    FClip = TRect();
}

void TCanvas::SetOrigin(int X, int Y)
{
    FOrigin = TPoint(X, Y);
}

void TCanvas::SetClipRect(const TRect& R)
{
    const TRect device(ClampCoord(static_cast<long long>(R.Left) + FOrigin.X),
                       ClampCoord(static_cast<long long>(R.Top) + FOrigin.Y),
                       ClampCoord(static_cast<long long>(R.Right) + FOrigin.X),
                       ClampCoord(static_cast<long long>(R.Bottom) + FOrigin.Y));
    FClip = Intersect(device, TRect(0, 0, FWidth, FHeight));
}

void TCanvas::ResetClipRect()
{
    FClip = TRect(0, 0, FWidth, FHeight);
}

TRect TCanvas::GetClipRect() const
{
    return TRect(FClip.Left - FOrigin.X, FClip.Top - FOrigin.Y, FClip.Right - FOrigin.X,
                 FClip.Bottom - FOrigin.Y);
}

void TCanvas::Painted(const TRect& DeviceRect)
{
    const TRect r = Intersect(DeviceRect, FClip);
    if (IsEmpty(r)) return;
    if (OnPainted) OnPainted(r);
    if (OnChange) OnChange(this);
}

void TCanvas::MoveTo(int X, int Y)
{
    FPenPos = TPoint(X, Y);
}

void TCanvas::FillSpan(int Y, int X0, int X1, std::uint32_t And, std::uint32_t Xor)
{
    // [X0, X1) on row Y, already clipped.
    std::uint32_t* p = FBits + static_cast<std::ptrdiff_t>(Y) * FStride + X0;
    const int n = X1 - X0;
    if (And == 0) {
        std::fill_n(p, n, Xor);
    } else {
        for (int i = 0; i < n; ++i) p[i] = (p[i] & And) ^ Xor;
    }
}

namespace {
// One segment of a cosmetic (one pixel wide) line, with the original platform's choice of
// pixels: the Bresenham walk along the major axis, where ties between two pixels are settled by
// a bias in the octants that run against the others, so that a line and its reverse cover the
// same pixels. The pixel at step i lies at major offset i and minor offset
// floor((2 * minor * i + major + bias - 1) / (2 * major)); this closed form lets a clipped line
// start its walk anywhere without rounding drift.
struct TBresenham {
    int X0, Y0, XInc, YInc;
    long long Major, Minor;  // absolute deltas along the major and the minor axis
    bool XMajor;
    int Bias;
    long long Length;  // pixels: the end point is not painted

    TBresenham(int x0, int y0, int x1, int y1)
    {
        X0 = x0;
        Y0 = y0;
        const long long dx = static_cast<long long>(x1) - x0;
        const long long dy = static_cast<long long>(y1) - y0;
        XInc = dx < 0 ? -1 : 1;
        YInc = dy < 0 ? -1 : 1;
        const long long ax = std::llabs(dx), ay = std::llabs(dy);
        XMajor = ax > ay || (ax == ay && !(Octant(dx, dy) == 2 || Octant(dx, dy) == 3 ||
                                           Octant(dx, dy) == 6 || Octant(dx, dy) == 7));
        Major = XMajor ? ax : ay;
        Minor = XMajor ? ay : ax;
        Length = Major;
        // Octants counted clockwise from the positive x axis (y grows downwards); octants
        // 3, 5, 6 and 8 carry the bias.
        const int o = Octant(dx, dy);
        Bias = (o == 3 || o == 5 || o == 6 || o == 8) ? 1 : 0;
    }

    static int Octant(long long dx, long long dy)
    {
        if (dy > 0) {
            if (dx > 0) return dx > dy ? 1 : 2;
            return -dx > dy ? 4 : 3;
        }
        if (dx < 0) return -dx > -dy ? 5 : 6;
        return dx > -dy ? 8 : 7;
    }

    long long MinorAt(long long i) const
    {
        return (2 * Minor * i + Major + Bias - 1) / (2 * Major);
    }
    // The first step whose minor offset is at least k (k >= 0).
    long long FirstStepWithMinor(long long k) const
    {
        if (k <= 0) return 0;
        if (Minor == 0) return Length;
        const long long num = 2 * Major * k - Major - Bias + 1;
        return num <= 0 ? 0 : (num + 2 * Minor - 1) / (2 * Minor);
    }
};
}  // namespace

void TCanvas::PaintLine(TPoint From, TPoint To, TLineState& S)
{
    TBresenham b(From.X, From.Y, To.X, To.Y);
    if (b.Length <= 0) return;
    const long long startPos = S.Pos;
    S.Pos += b.Length;
    if (IsEmpty(FClip)) return;

    // Steps whose major coordinate lies inside the clip rectangle.
    const int majorStart = b.XMajor ? b.X0 : b.Y0;
    const int majorInc = b.XMajor ? b.XInc : b.YInc;
    const int minorStart = b.XMajor ? b.Y0 : b.X0;
    const int minorInc = b.XMajor ? b.YInc : b.XInc;
    const int majorLo = b.XMajor ? FClip.Left : FClip.Top;
    const int majorHi = (b.XMajor ? FClip.Right : FClip.Bottom) - 1;
    const int minorLo = b.XMajor ? FClip.Top : FClip.Left;
    const int minorHi = (b.XMajor ? FClip.Bottom : FClip.Right) - 1;

    long long i0 = 0, i1 = b.Length - 1;
    if (majorInc > 0) {
        i0 = std::max(i0, static_cast<long long>(majorLo) - majorStart);
        i1 = std::min(i1, static_cast<long long>(majorHi) - majorStart);
    } else {
        i0 = std::max(i0, static_cast<long long>(majorStart) - majorHi);
        i1 = std::min(i1, static_cast<long long>(majorStart) - majorLo);
    }
    // And whose minor coordinate does.
    long long kLo, kHi;  // allowed minor offsets
    if (minorInc > 0) {
        kLo = static_cast<long long>(minorLo) - minorStart;
        kHi = static_cast<long long>(minorHi) - minorStart;
    } else {
        kLo = static_cast<long long>(minorStart) - minorHi;
        kHi = static_cast<long long>(minorStart) - minorLo;
    }
    if (kHi < 0) return;
    i0 = std::max(i0, b.FirstStepWithMinor(kLo));
    i1 = std::min(i1, b.FirstStepWithMinor(kHi + 1) - 1);
    if (i0 > i1) return;

    long long k = b.MinorAt(i0);
    // The error term of the walk at step i0.
    long long err = 2 * b.Minor - b.Major + 2 * b.Minor * i0 - 2 * b.Major * k;
    long long major = majorStart + majorInc * i0;
    long long minor = minorStart + minorInc * k;
    const std::ptrdiff_t majorStep = b.XMajor ? majorInc : static_cast<std::ptrdiff_t>(majorInc) * FStride;
    const std::ptrdiff_t minorStep = b.XMajor ? static_cast<std::ptrdiff_t>(minorInc) * FStride : minorInc;
    std::uint32_t* p = FBits + (b.XMajor ? minor * FStride + major : major * FStride + minor);
    const bool styled = S.Dash.Styled;
    const TRop pen = S.Pen, gap = S.Gap;
    const bool gaps = S.Gaps;
    const long long lastMinor = minorStart + minorInc * b.MinorAt(i1);
    for (long long i = i0; i <= i1; ++i) {
        if (!styled)
            Apply(*p, pen);
        else if (S.Dash.IsOn(startPos + i))
            Apply(*p, pen);
        else if (gaps)
            Apply(*p, gap);
        if (err + b.Bias > 0) {
            p += minorStep;
            err += 2 * b.Minor - 2 * b.Major;
        } else {
            err += 2 * b.Minor;
        }
        p += majorStep;
    }
    const long long majorEnd = majorStart + majorInc * i1;
    const long long x0 = b.XMajor ? major : minor, y0 = b.XMajor ? minor : major;
    const long long x1 = b.XMajor ? majorEnd : lastMinor, y1 = b.XMajor ? lastMinor : majorEnd;
    S.Touched = Union(S.Touched, TRect(int(std::min(x0, x1)), int(std::min(y0, y1)),
                                       int(std::max(x0, x1)) + 1, int(std::max(y0, y1)) + 1));
}

namespace {
// Pixels of row Y whose centres lie within Radius of the segment A-B (a pen of that width
// with round ends), as [Lo, Hi]; false when none. Also gives the distance along the segment
// of a pixel through AlongAt.
struct TWideSegment {
    double Ax, Ay, Bx, By, Dx, Dy, Len2, Len, R;

    TWideSegment(double ax, double ay, double bx, double by, double r)
        : Ax(ax), Ay(ay), Bx(bx), By(by), Dx(bx - ax), Dy(by - ay), R(r)
    {
        Len2 = Dx * Dx + Dy * Dy;
        Len = std::sqrt(Len2);
    }

    bool Row(int Y, long long& Lo, long long& Hi) const
    {
        double lo = std::numeric_limits<double>::infinity();
        double hi = -lo;
        const double y = Y;
        auto disk = [&](double cx, double cy) {
            const double dy = y - cy;
            if (std::fabs(dy) > R) return;
            const double h = std::sqrt(R * R - dy * dy);
            lo = std::min(lo, cx - h);
            hi = std::max(hi, cx + h);
        };
        disk(Ax, Ay);
        disk(Bx, By);
        if (Len2 > 0) {
            // |Dx (y - Ay) - Dy (x - Ax)| <= R Len and 0 <= Dx (x - Ax) + Dy (y - Ay) <= Len2.
            double slo = -std::numeric_limits<double>::infinity();
            double shi = -slo;
            bool ok = true;
            auto band = [&](double a, double c, double vlo, double vhi) {
                // vlo <= a x + c <= vhi
                if (a == 0) {
                    if (c < vlo || c > vhi) ok = false;
                    return;
                }
                double u = (vlo - c) / a, v = (vhi - c) / a;
                if (u > v) std::swap(u, v);
                slo = std::max(slo, u);
                shi = std::min(shi, v);
            };
            band(-Dy, Dx * (y - Ay) + Dy * Ax, -R * Len, R * Len);
            band(Dx, -Dx * Ax + Dy * (y - Ay), 0, Len2);
            if (ok && slo <= shi) {
                lo = std::min(lo, slo);
                hi = std::max(hi, shi);
            }
        }
        if (!(lo <= hi)) return false;
        const double eps = 1e-9;
        Lo = static_cast<long long>(std::ceil(lo - eps));
        Hi = static_cast<long long>(std::floor(hi + eps));
        return Lo <= Hi;
    }

    double AlongAt(double x, double y) const
    {
        return Len > 0 ? ((x - Ax) * Dx + (y - Ay) * Dy) / Len : 0;
    }
};
}  // namespace

TPoint TCanvas::ToDevice(int X, int Y) const
{
    return TPoint(ClampCoord(static_cast<long long>(X) + FOrigin.X),
                  ClampCoord(static_cast<long long>(Y) + FOrigin.Y));
}

void TCanvas::LineTo(int X, int Y)
{
    const TPoint pts[2] = {ToDevice(FPenPos.X, FPenPos.Y), ToDevice(X, Y)};
    FPenPos = TPoint(X, Y);
    Painted(PolylineDevice(pts, 2, false));
}

void TCanvas::Polyline(const TPoint* Points, int Count)
{
    if (Points == nullptr || Count < 2) return;
    std::vector<TPoint> pts(static_cast<size_t>(Count));
    for (int i = 0; i < Count; ++i) pts[i] = ToDevice(Points[i].X, Points[i].Y);
    Painted(PolylineDevice(pts.data(), Count, false));
}

TRect TCanvas::PolylineDevice(const TPoint* Points, int Count, bool Closed, bool Record)
{
    if (FBits == nullptr || Count < 2) return TRect();
    if (Record && FPicture) RecordLines(Points, Count, Closed);
    const TPenStyle style = Pen->GetStyle();
    if (style == psClear) return TRect();
    const int width = std::max(1, Pen->GetWidth());
    TLineState s;
    s.Pen = MakeRop(Pen->GetMode(), ColorToPixel(Pen->GetColor()));
    s.Dash = DashOf(style, width);
    s.Gaps = Brush->GetStyle() == bsSolid;
    s.Gap = MakeRop(Pen->GetMode(), ColorToPixel(Brush->GetColor()));
    if (s.Pen.Nop() && (!s.Dash.Styled || !s.Gaps || s.Gap.Nop())) return TRect();
    const int segments = Closed ? Count : Count - 1;
    for (int i = 0; i < segments; ++i) {
        const TPoint a = Points[i], b = Points[(i + 1) % Count];
        if (width <= 1)
            PaintLine(a, b, s);
        else
            PaintWideLine(a, b, width, s);
    }
    return s.Touched;
}

void TCanvas::PaintWideLine(TPoint From, TPoint To, int Width, TLineState& S)
{
    // Even widths put the centre line on the pixel corner above and left of the points, so
    // that a pen of width w covers rows y - w/2 .. y - w/2 + w - 1 of a horizontal line.
    const double shift = (Width % 2 == 0) ? -0.5 : 0.0;
    const TWideSegment seg(From.X + shift, From.Y + shift, To.X + shift, To.Y + shift, Width / 2.0);
    const int r = Width / 2 + 2;
    const int yTop = std::max(FClip.Top, std::min(From.Y, To.Y) - r);
    const int yBottom = std::min(FClip.Bottom - 1, std::max(From.Y, To.Y) + r);
    const long long startPos = S.Pos;
    S.Pos += static_cast<long long>(std::ceil(seg.Len));
    for (int y = yTop; y <= yBottom; ++y) {
        long long lo, hi;
        if (!seg.Row(y, lo, hi)) continue;
        const int x0 = int(std::max<long long>(lo, FClip.Left));
        const int x1 = int(std::min<long long>(hi, FClip.Right - 1));
        if (x0 > x1) continue;
        S.Touched = Union(S.Touched, TRect(x0, y, x1 + 1, y + 1));
        if (!S.Dash.Styled) {
            FillSpan(y, x0, x1 + 1, S.Pen.And, S.Pen.Xor);
            continue;
        }
        std::uint32_t* p = FBits + static_cast<std::ptrdiff_t>(y) * FStride;
        for (int x = x0; x <= x1; ++x) {
            const double along = seg.AlongAt(x, y);
            if (S.Dash.IsOn(startPos + static_cast<long long>(std::floor(std::max(0.0, along)))))
                Apply(p[x], S.Pen);
        }
    }
}

void TCanvas::BrushSpan(int Y, int X0, int X1, bool UseMode)
{
    // [X0, X1) on device row Y, clipped here.
    if (Y < FClip.Top || Y >= FClip.Bottom) return;
    X0 = std::max(X0, FClip.Left);
    X1 = std::min(X1, FClip.Right);
    if (X0 >= X1) return;
    const TBrushStyle style = Brush->GetStyle();
    if (style == bsClear) return;
    const std::uint32_t color = ColorToPixel(Brush->GetColor());
    const TRop rop = UseMode ? MakeRop(Pen->GetMode(), color) : TRop{0, color};
    if (style == bsSolid) {
        FillSpan(Y, X0, X1, rop.And, rop.Xor);
        return;
    }
    const int h = std::clamp(int(style) - int(bsHorizontal), 0, 5);
    const std::uint8_t row = Hatches[h][Y & 7];
    std::uint32_t* p = FBits + static_cast<std::ptrdiff_t>(Y) * FStride;
    for (int x = X0; x < X1; ++x)
        if (row & (0x80 >> (x & 7))) Apply(p[x], rop);
}

void TCanvas::FillDeviceRect(TRect R, bool UseMode)
{
    R = Intersect(R, FClip);
    if (IsEmpty(R)) return;
    for (int y = R.Top; y < R.Bottom; ++y) BrushSpan(y, R.Left, R.Right, UseMode);
    if (Brush->GetStyle() != bsClear) RecordFill(R, ColorToPixel(Brush->GetColor()));
}

void TCanvas::PenBand(const TRect& Outer, const TRect& Inner)
{
    // The pixels of Outer that are not in Inner, in the pen colour and mode.
    const TRop rop = MakeRop(Pen->GetMode(), ColorToPixel(Pen->GetColor()));
    const TRect o = Intersect(Outer, FClip);
    if (IsEmpty(o)) return;
    for (int y = o.Top; y < o.Bottom; ++y) {
        if (IsEmpty(Inner) || y < Inner.Top || y >= Inner.Bottom) {
            FillSpan(y, o.Left, o.Right, rop.And, rop.Xor);
            continue;
        }
        const int l1 = std::min(o.Right, Inner.Left), r0 = std::max(o.Left, Inner.Right);
        if (o.Left < l1) FillSpan(y, o.Left, l1, rop.And, rop.Xor);
        if (r0 < o.Right) FillSpan(y, r0, o.Right, rop.And, rop.Xor);
    }
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    if (FBits == nullptr) return;
    const TPoint p1 = ToDevice(X1, Y1), p2 = ToDevice(X2, Y2);
    const TRect r = Normalized(p1.X, p1.Y, p2.X, p2.Y);
    const TPenStyle style = Pen->GetStyle();
    const int w = std::max(1, Pen->GetWidth());
    if (style == psClear) {
        // Without an outline the filled area loses its last column and row.
        const TRect in(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
        if (IsEmpty(in) || Brush->GetStyle() == bsClear) return;
        FillDeviceRect(in, true);
        Painted(in);
        return;
    }
    if (IsEmpty(r)) return;
    const bool styled = DashOf(style, w).Styled;
    if (w <= 1 || styled) {
        // The outline runs through the outermost pixels: L .. R-1, T .. B-1.
        const int l = r.Left, t = r.Top, rr = r.Right - 1, bb = r.Bottom - 1;
        FillDeviceRect(TRect(l + 1, t + 1, rr, bb), true);
        TRect outline;
        if (w <= 1 && (r.Width() == 1 || r.Height() == 1)) {
            const TPoint line[2] = {TPoint(l, t), r.Width() == 1 ? TPoint(l, bb + 1) : TPoint(rr + 1, t)};
            outline = PolylineDevice(line, 2, false);
        } else {
            const TPoint corners[4] = {TPoint(l, t), TPoint(rr, t), TPoint(rr, bb), TPoint(l, bb)};
            outline = PolylineDevice(corners, 4, true);
        }
        Painted(Union(outline, Brush->GetStyle() == bsClear ? TRect() : TRect(l + 1, t + 1, rr, bb)));
        return;
    }
    // A wide solid pen: a band of w pixels centred on the outermost pixels, or lying inside
    // the rectangle for psInsideFrame.
    TRect outer = r;
    if (style != psInsideFrame)
        outer = TRect(r.Left - w / 2, r.Top - w / 2, r.Right - 1 - w / 2 + w, r.Bottom - 1 - w / 2 + w);
    const TRect inner(outer.Left + w, outer.Top + w, outer.Right - w, outer.Bottom - w);
    const TRect filled = IsEmpty(inner) ? TRect() : inner;
    if (!IsEmpty(filled)) FillDeviceRect(filled, true);
    PenBand(outer, filled);
    if (FPicture && Pen->GetMode() != pmNop) {
        // The band as one closed stroke along its middle.
        const double h = w / 2.0;
        TVectorShape band = PenShape(*Pen, vsLines);
        band.Dashes.clear();
        band.RoundEnds = false;
        band.Closed = true;
        band.Points = {{outer.Left + h, outer.Top + h}, {outer.Right - h, outer.Top + h},
                       {outer.Right - h, outer.Bottom - h}, {outer.Left + h, outer.Bottom - h}};
        AddShape(std::move(band));
    }
    Painted(outer);
}

void TCanvas::FillRect(const TRect& R)
{
    if (FBits == nullptr) return;
    TRect n = Normalized(R.Left, R.Top, R.Right, R.Bottom);
    if (n.Left != R.Left || n.Top != R.Top) return;  // an inverted rectangle fills nothing
    const TRect d(ClampCoord(static_cast<long long>(n.Left) + FOrigin.X),
                  ClampCoord(static_cast<long long>(n.Top) + FOrigin.Y),
                  ClampCoord(static_cast<long long>(n.Right) + FOrigin.X),
                  ClampCoord(static_cast<long long>(n.Bottom) + FOrigin.Y));
    if (Brush->GetStyle() == bsClear) return;
    FillDeviceRect(d, false);
    Painted(d);
}

void TCanvas::FrameRect(const TRect& R)
{
    if (FBits == nullptr || Brush->GetStyle() == bsClear) return;
    const TPoint p1 = ToDevice(R.Left, R.Top), p2 = ToDevice(R.Right, R.Bottom);
    const TRect r(p1.X, p1.Y, p2.X, p2.Y);
    if (IsEmpty(r)) return;
    FillDeviceRect(TRect(r.Left, r.Top, r.Right, r.Top + 1), false);
    if (r.Height() > 1) FillDeviceRect(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), false);
    FillDeviceRect(TRect(r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1), false);
    if (r.Width() > 1) FillDeviceRect(TRect(r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1), false);
    Painted(r);
}

namespace {
// The pixels of row Y inside the ellipse that fills Box (right and bottom excluded), shrunk by
// Inset pixels on every side, as [Lo, Hi); false when the row misses it. A pixel belongs when
// its centre lies inside.
bool EllipseRow(const TRect& Box, double Inset, int Y, int& Lo, int& Hi)
{
    const double a = Box.Width() / 2.0 - Inset, b = Box.Height() / 2.0 - Inset;
    if (a <= 0 || b <= 0) return false;
    const double cx = (Box.Left + Box.Right) / 2.0, cy = (Box.Top + Box.Bottom) / 2.0;
    const double dy = (Y + 0.5 - cy) / b;
    if (dy * dy > 1) return false;
    const double half = a * std::sqrt(1 - dy * dy);
    const double eps = 1e-9;
    Lo = int(std::ceil(cx - half - 0.5 - eps));
    Hi = int(std::floor(cx + half - 0.5 + eps)) + 1;
    return Lo < Hi;
}
}  // namespace

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    if (FBits == nullptr) return;
    const TPoint p1 = ToDevice(X1, Y1), p2 = ToDevice(X2, Y2);
    TRect box = Normalized(p1.X, p1.Y, p2.X, p2.Y);
    const bool clearPen = Pen->GetStyle() == psClear;
    if (clearPen) box = TRect(box.Left, box.Top, box.Right - 1, box.Bottom - 1);
    if (IsEmpty(box)) return;
    const double w = clearPen ? 0 : std::max(1, Pen->GetWidth());
    const TRop pen = MakeRop(Pen->GetMode(), ColorToPixel(Pen->GetColor()));
    const TPoint rel[2] = {TPoint(0, 0), TPoint(p2.X - p1.X, p2.Y - p1.Y)};
    const bool stamped = Stamp(StampEllipse, rel, 2, p1);
    const int y0 = std::max(box.Top, FClip.Top), y1 = stamped ? y0 : std::min(box.Bottom, FClip.Bottom);
    for (int y = y0; y < y1; ++y) {
        int lo, hi, ilo = 0, ihi = 0;
        if (!EllipseRow(box, 0, y, lo, hi)) continue;
        bool hasInner = true;
        if (w > 0)
            hasInner = EllipseRow(box, w, y, ilo, ihi);
        else
            ilo = lo, ihi = hi;
        if (hasInner) BrushSpan(y, ilo, ihi, true);
        if (w <= 0) continue;
        auto penSpan = [&](int a, int b) {
            a = std::max(a, FClip.Left);
            b = std::min(b, FClip.Right);
            if (a < b) FillSpan(y, a, b, pen.And, pen.Xor);
        };
        if (!hasInner) {
            penSpan(lo, hi);
        } else {
            penSpan(lo, ilo);
            penSpan(ihi, hi);
        }
    }
    if (FPicture && !IsEmpty(Intersect(box, FClip))) {
        // The stroke runs along the middle of the pen's band inside the box.
        TVectorShape e = PenShape(*Pen, vsEllipse);
        e.Stroked = w > 0 && Pen->GetMode() != pmNop;
        e.Dashes.clear();
        e.PenWidth = w;
        const double h = w / 2.0;
        e.Points = {{box.Left + h, box.Top + h}, {box.Right - h, box.Bottom - h}};
        SetFill(*Brush, e);
        if (e.Filled || e.Stroked) AddShape(std::move(e));
    }
    Painted(box);
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    if (FBits == nullptr) return;
    const TPoint p1 = ToDevice(X1, Y1), p2 = ToDevice(X2, Y2);
    const TRect r = Normalized(p1.X, p1.Y, p2.X, p2.Y);
    if (IsEmpty(r)) return;
    const int h = r.Height();
    const int rad = std::clamp(std::min(X3, Y3) / 2, 0, std::min(r.Width(), h) / 2);
    // How far each row's ends lie inside the box.
    std::vector<int> inset(static_cast<size_t>(h), 0);
    for (int i = 0; i < h; ++i) {
        const int fromEdge = std::min(i, h - 1 - i);
        if (fromEdge < rad) {
            const double dy = rad - fromEdge - 0.5;
            inset[i] = int(std::floor(rad - std::sqrt(std::max(0.0, double(rad) * rad - dy * dy)) + 0.5));
        }
    }
    const bool frame = Pen->GetStyle() != psClear;
    const TRop pen = MakeRop(Pen->GetMode(), ColorToPixel(Pen->GetColor()));
    auto penSpan = [&](int y, int a, int b) {
        if (y < FClip.Top || y >= FClip.Bottom) return;
        a = std::max(a, FClip.Left);
        b = std::min(b, FClip.Right);
        if (a < b) FillSpan(y, a, b, pen.And, pen.Xor);
    };
    for (int i = 0; i < h; ++i) {
        const int y = r.Top + i;
        const int a = r.Left + inset[i], b = r.Right - inset[i];
        BrushSpan(y, a, b, true);
        if (!frame) continue;
        if (i == 0 || i == h - 1) {
            penSpan(y, a, b);
            continue;
        }
        // The row's ends, widened to meet the neighbouring rows' ends.
        const int outer = std::max(inset[i - 1], inset[i + 1]);
        penSpan(y, a, std::max(a + 1, r.Left + outer));
        penSpan(y, std::min(b - 1, r.Right - outer), b);
    }
    if (FPicture && !IsEmpty(Intersect(r, FClip))) {
        // The outline through the outermost pixels' centres.
        TVectorShape v = PenShape(*Pen, vsRoundRect);
        v.Dashes.clear();
        v.PenWidth = 1;
        v.RoundEnds = false;
        v.Points = {{r.Left + 0.5, r.Top + 0.5}, {r.Right - 0.5, r.Bottom - 0.5}};
        v.Radius = std::max(0.0, rad - 0.5);
        SetFill(*Brush, v);
        if (v.Filled || v.Stroked) AddShape(std::move(v));
    }
    Painted(r);
}

void TCanvas::Polygon(const TPoint* Points, int Count)
{
    if (FBits == nullptr || Points == nullptr || Count < 2) return;
    // Markers have a few points: those stay off the heap.
    TPoint local[MaxStampPoints];
    std::vector<TPoint> heap;
    if (Count > MaxStampPoints) heap.resize(static_cast<size_t>(Count));
    TPoint* pts = Count > MaxStampPoints ? heap.data() : local;
    TRect bounds(std::numeric_limits<int>::max(), std::numeric_limits<int>::max(),
                 std::numeric_limits<int>::min(), std::numeric_limits<int>::min());
    for (int i = 0; i < Count; ++i) {
        pts[i] = ToDevice(Points[i].X, Points[i].Y);
        bounds.Left = std::min(bounds.Left, pts[i].X);
        bounds.Top = std::min(bounds.Top, pts[i].Y);
        bounds.Right = std::max(bounds.Right, pts[i].X + 1);
        bounds.Bottom = std::max(bounds.Bottom, pts[i].Y + 1);
    }
    // A small shape drawn before is stamped from its cells.
    TPoint rel[MaxStampPoints];
    if (Count <= MaxStampPoints)
        for (int i = 0; i < Count; ++i) rel[i] = TPoint(pts[i].X - pts[0].X, pts[i].Y - pts[0].Y);
    if (Count <= MaxStampPoints && Stamp(StampPolygon, rel, Count, pts[0])) {
        RecordPolygon(pts, Count, bounds);
        Painted(Union(bounds, TRect(bounds.Left - Pen->GetWidth(), bounds.Top - Pen->GetWidth(),
                                    bounds.Right + Pen->GetWidth(), bounds.Bottom + Pen->GetWidth())));
        return;
    }
    // The inside, by the alternate rule: on each row the pixels from the first crossing (rounded
    // up) to before the second, so that the inside stays within the outline.
    if (Brush->GetStyle() != bsClear && Count >= 3) {
        const int y0 = std::max(bounds.Top, FClip.Top), y1 = std::min(bounds.Bottom, FClip.Bottom);
        std::vector<double> xs;
        for (int y = y0; y < y1; ++y) {
            const double yc = y;
            xs.clear();
            for (int i = 0; i < Count; ++i) {
                const TPoint& a = pts[i];
                const TPoint& b = pts[(i + 1) % Count];
                if (a.Y == b.Y) continue;
                const bool up = a.Y < b.Y;
                const double ylo = up ? a.Y : b.Y, yhi = up ? b.Y : a.Y;
                if (yc < ylo || yc >= yhi) continue;
                xs.push_back(a.X + (yc - a.Y) * double(b.X - a.X) / double(b.Y - a.Y));
            }
            std::sort(xs.begin(), xs.end());
            for (size_t k = 0; k + 1 < xs.size(); k += 2) {
                const double xa = std::clamp(xs[k], -double(CoordLimit), double(CoordLimit));
                const double xb = std::clamp(xs[k + 1], -double(CoordLimit), double(CoordLimit));
                BrushSpan(y, int(std::ceil(xa)), int(std::ceil(xb)), true);
            }
        }
    }
    const TRect outline = PolylineDevice(pts, Count, true, false);
    RecordPolygon(pts, Count, bounds);
    Painted(Union(outline, Brush->GetStyle() == bsClear ? TRect() : bounds));
}

TColor TCanvas::GetPixel(int X, int Y) const
{
    const long long x = static_cast<long long>(X) + FOrigin.X;
    const long long y = static_cast<long long>(Y) + FOrigin.Y;
    if (FBits == nullptr || x < FClip.Left || x >= FClip.Right || y < FClip.Top || y >= FClip.Bottom)
        return clNone;
    return PixelToColor(FBits[y * FStride + x]);
}

void TCanvas::SetPixel(int X, int Y, TColor Color)
{
    const long long x = static_cast<long long>(X) + FOrigin.X;
    const long long y = static_cast<long long>(Y) + FOrigin.Y;
    if (FBits == nullptr || x < FClip.Left || x >= FClip.Right || y < FClip.Top || y >= FClip.Bottom)
        return;
    FBits[y * FStride + x] = ColorToPixel(Color);
    RecordFill(TRect(int(x), int(y), int(x) + 1, int(y) + 1), ColorToPixel(Color));
    Painted(TRect(int(x), int(y), int(x) + 1, int(y) + 1));
}

namespace {
// A font's orientation as whole quarter turns counter-clockwise, 0 to 3.
int QuarterTurns(int Orientation)
{
    int q = int(std::lround(Orientation / 900.0) % 4);
    return q < 0 ? q + 4 : q;
}

// The device box of a text cell of Size turned by Quarter quarter turns about (X, Y).
TRect TurnedCell(int X, int Y, const TSize& Size, int Quarter)
{
    switch (Quarter) {
    case 1: return TRect(X, Y - Size.cx, X + Size.cy, Y);
    case 2: return TRect(X - Size.cx, Y - Size.cy, X, Y);
    case 3: return TRect(X - Size.cy, Y, X, Y + Size.cx);
    default: return TRect(X, Y, X + Size.cx, Y + Size.cy);
    }
}
}  // namespace

void TCanvas::TextOut(int X, int Y, const UnicodeString& Text)
{
    const TSize size = TextExtent(Text);
    const int quarter = QuarterTurns(Font->GetOrientation());
    if (FBits != nullptr && !Text.empty()) {
        const TPoint p = ToDevice(X, Y);
        const TRect cell = TurnedCell(p.X, p.Y, size, quarter);
        if (Brush->GetStyle() == bsSolid) FillDeviceRect(cell, false);
        const QtCanvas::TTarget target{FBits, FWidth, FHeight, FStride, FClip};
        const TRect ink =
            QtCanvas::DrawText(target, p.X, p.Y, *Font, ColorToRGB(Font->GetColor()), Text, quarter);
        if (FPicture && !IsEmpty(Intersect(cell, FClip))) RecordText(p, Text, quarter, FClip);
        Painted(Union(cell, ink));
    }
    // The pen moves along the text's baseline.
    static constexpr int along[4][2] = {{1, 0}, {0, -1}, {-1, 0}, {0, 1}};
    MoveTo(X + along[quarter][0] * size.cx, Y + along[quarter][1] * size.cx);
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const UnicodeString& Text)
{
    if (FBits == nullptr) return;
    const TPoint p1 = ToDevice(R.Left, R.Top), p2 = ToDevice(R.Right, R.Bottom);
    const TRect r(p1.X, p1.Y, p2.X, p2.Y);
    const TRect clip = Intersect(r, FClip);
    if (IsEmpty(clip)) return;
    if (Brush->GetStyle() == bsSolid) FillDeviceRect(clip, false);
    if (!Text.empty()) {
        const TPoint p = ToDevice(X, Y);
        const int quarter = QuarterTurns(Font->GetOrientation());
        const QtCanvas::TTarget target{FBits, FWidth, FHeight, FStride, clip};
        QtCanvas::DrawText(target, p.X, p.Y, *Font, ColorToRGB(Font->GetColor()), Text, quarter);
        if (FPicture) RecordText(p, Text, quarter, clip);
    }
    Painted(clip);
}

TSize TCanvas::TextExtent(const UnicodeString& Text) const
{
    return QtCanvas::TextExtent(*Font, Text);
}

int TCanvas::TextWidth(const UnicodeString& Text) const
{
    return TextExtent(Text).cx;
}

int TCanvas::TextHeight(const UnicodeString& Text) const
{
    return TextExtent(Text).cy;
}

void TCanvas::Draw(int X, int Y, TBitmap* Graphic, const TBitmap* Sharp)
{
    if (FBits == nullptr || Graphic == nullptr || Graphic->GetEmpty()) return;
    const TPoint p = ToDevice(X, Y);
    const TRect target(p.X, p.Y, ClampCoord(static_cast<long long>(p.X) + Graphic->GetWidth()),
                       ClampCoord(static_cast<long long>(p.Y) + Graphic->GetHeight()));
    const TRect r = Intersect(target, FClip);
    if (IsEmpty(r)) return;
    const TCanvas* source = Graphic->GetCanvas();
    if (source->GetBits() == FBits) {
        // Drawing a bitmap onto its own canvas: copy through a buffer.
        TBitmap copy;
        copy.Assign(Graphic);
        Draw(X, Y, &copy, Sharp);
        return;
    }
    for (int y = r.Top; y < r.Bottom; ++y) {
        const std::uint32_t* from = Graphic->ScanLine(y - p.Y) + (r.Left - p.X);
        std::copy_n(from, r.Width(), FBits + static_cast<std::ptrdiff_t>(y) * FStride + r.Left);
    }
    if (FPicture) {
        TVectorShape v;
        v.Kind = vsImage;
        v.Points = {{double(r.Left), double(r.Top)}};
        // The sharp version when it is Graphic enlarged by the live picture's scale.
        const int scale = FPicture->GetLiveScale();
        const bool sharp = Sharp != nullptr && scale > 1 && Sharp->GetWidth() == Graphic->GetWidth() * scale &&
                           Sharp->GetHeight() == Graphic->GetHeight() * scale;
        const int k = sharp ? scale : 1;
        v.ImageScale = k;
        v.ImageWidth = r.Width() * k;
        v.ImageHeight = r.Height() * k;
        v.Pixels.reserve(static_cast<size_t>(v.ImageWidth) * v.ImageHeight);
        for (int y = r.Top * k; y < r.Bottom * k; ++y) {
            const std::uint32_t* row = sharp ? Sharp->ScanLine(y - p.Y * k) - p.X * k
                                             : FBits + static_cast<std::ptrdiff_t>(y) * FStride;
            v.Pixels.insert(v.Pixels.end(), row + r.Left * k, row + r.Right * k);
        }
        AddShape(std::move(v));
    }
    Painted(r);
}
