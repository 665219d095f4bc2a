#include "platform/ChartRaster.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

TChartRaster::TChartRaster(TCanvas* Canvas, const TRect& Clip)
{
    if (!Canvas || !Canvas->GetBits()) return;
    FBits = Canvas->GetBits();
    FStride = Canvas->GetRasterStride();
    FOrigin = Canvas->GetOrigin();
    const TRect c = Canvas->GetClipRect();
    FClip = TRect(std::max(c.Left, Clip.Left) + FOrigin.X, std::max(c.Top, Clip.Top) + FOrigin.Y,
                  std::min(c.Right, Clip.Right) + FOrigin.X, std::min(c.Bottom, Clip.Bottom) + FOrigin.Y);
}

TRect TChartRaster::GetClip() const
{
    return TRect(FClip.Left - FOrigin.X, FClip.Top - FOrigin.Y, FClip.Right - FOrigin.X,
                 FClip.Bottom - FOrigin.Y);
}

void TChartRaster::Span(int Y, int X0, int X1, std::uint32_t Pixel)
{
    // Device coordinates.
    if (Y < FClip.Top || Y >= FClip.Bottom) return;
    X0 = std::max(X0, FClip.Left);
    X1 = std::min(X1, FClip.Right);
    if (X0 >= X1) return;
    std::uint32_t* row = FBits + static_cast<std::ptrdiff_t>(Y) * FStride;
    std::fill(row + X0, row + X1, Pixel);
}

void TChartRaster::Fill(int X0, int Y0, int X1, int Y1, std::uint32_t Pixel)
{
    if (!FBits) return;
    X0 += FOrigin.X;
    X1 += FOrigin.X;
    Y0 = std::max(Y0 + FOrigin.Y, FClip.Top);
    Y1 = std::min(Y1 + FOrigin.Y, FClip.Bottom);
    for (int y = Y0; y < Y1; ++y) Span(y, X0, X1, Pixel);
}

void TChartRaster::SetPixel(int X, int Y, std::uint32_t Pixel)
{
    if (!FBits) return;
    X += FOrigin.X;
    Y += FOrigin.Y;
    if (X < FClip.Left || X >= FClip.Right || Y < FClip.Top || Y >= FClip.Bottom) return;
    FBits[static_cast<std::ptrdiff_t>(Y) * FStride + X] = Pixel;
}

namespace {

// Dash patterns in units of the pen width: on, off, on, off ...
struct TPattern {
    int Count;
    double Lengths[6];
};

const TPattern* PatternOf(TPenStyle Style)
{
    static const TPattern dash{2, {5, 2}};
    static const TPattern dot{2, {1, 1}};
    static const TPattern dashDot{4, {5, 2, 1, 2}};
    static const TPattern dashDotDot{6, {5, 2, 1, 2, 1, 2}};
    switch (Style) {
    case psDash: return &dash;
    case psDot:
    case psAlternate: return &dot;
    case psDashDot: return &dashDot;
    case psDashDotDot: return &dashDotDot;
    default: return nullptr;
    }
}

// Whether position P (pixels along the line) falls on an "on" part of the pattern.
bool PatternOn(const TPattern* Pat, double Unit, double P)
{
    if (!Pat) return true;
    double total = 0;
    for (int i = 0; i < Pat->Count; ++i) total += Pat->Lengths[i] * Unit;
    double r = std::fmod(P, total);
    if (r < 0) r += total;
    for (int i = 0; i < Pat->Count; ++i) {
        const double len = Pat->Lengths[i] * Unit;
        if (r < len) return i % 2 == 0;
        r -= len;
    }
    return true;
}

// Liang-Barsky: cuts the segment to the rectangle; T0, T1 are the kept parameter interval.
bool ClipSegment(double X0, double Y0, double X1, double Y1, double L, double T, double R, double B,
                 double& T0, double& T1)
{
    T0 = 0;
    T1 = 1;
    const double dx = X1 - X0, dy = Y1 - Y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {X0 - L, R - X0, Y0 - T, B - Y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
        } else {
            const double t = q[i] / p[i];
            if (p[i] < 0) T0 = std::max(T0, t);
            else T1 = std::min(T1, t);
        }
    }
    return T0 <= T1;
}

}  // namespace

void TChartRaster::Line(double X0, double Y0, double X1, double Y1, std::uint32_t Pixel, int Width,
                        TPenStyle Style, double& Phase)
{
    if (!FBits || Style == psClear) return;
    if (!std::isfinite(X0) || !std::isfinite(Y0) || !std::isfinite(X1) || !std::isfinite(Y1)) return;
    const int w = std::max(1, Width);
    const TPattern* pat = PatternOf(Style);
    const double unit = w;
    X0 += FOrigin.X;
    X1 += FOrigin.X;
    Y0 += FOrigin.Y;
    Y1 += FOrigin.Y;
    const double fullLength = std::hypot(X1 - X0, Y1 - Y0);
    const double startPhase = Phase;
    Phase += fullLength;
    // Only the part near the clip rectangle is walked.
    double t0, t1;
    if (!ClipSegment(X0, Y0, X1, Y1, FClip.Left - w - 1.0, FClip.Top - w - 1.0, FClip.Right + w + 1.0,
                     FClip.Bottom + w + 1.0, t0, t1))
        return;
    const double ax = X0 + (X1 - X0) * t0, ay = Y0 + (Y1 - Y0) * t0;
    const double bx = X0 + (X1 - X0) * t1, by = Y0 + (Y1 - Y0) * t1;
    const double phase0 = startPhase + fullLength * t0;
    const int lo = (w - 1) / 2, hi = w / 2;
    const double dx = bx - ax, dy = by - ay;
    if (std::fabs(dx) >= std::fabs(dy)) {
        const int ix0 = static_cast<int>(std::floor(ax + 0.5)), ix1 = static_cast<int>(std::floor(bx + 0.5));
        const int sx = ix1 >= ix0 ? 1 : -1;
        const int n = std::abs(ix1 - ix0);
        const double slope = dx != 0 ? dy / dx : 0;
        const double step = std::sqrt(1 + slope * slope);
        for (int i = 0; i <= n; ++i) {
            if (!PatternOn(pat, unit, phase0 + i * step)) continue;
            const int x = ix0 + i * sx;
            const int y = static_cast<int>(std::floor(ay + (x - ax) * slope + 0.5));
            if (x < FClip.Left || x >= FClip.Right) continue;
            for (int yy = std::max(y - lo, FClip.Top); yy <= std::min(y + hi, FClip.Bottom - 1); ++yy)
                FBits[static_cast<std::ptrdiff_t>(yy) * FStride + x] = Pixel;
        }
    } else {
        const int iy0 = static_cast<int>(std::floor(ay + 0.5)), iy1 = static_cast<int>(std::floor(by + 0.5));
        const int sy = iy1 >= iy0 ? 1 : -1;
        const int n = std::abs(iy1 - iy0);
        const double slope = dx / dy;
        const double step = std::sqrt(1 + slope * slope);
        for (int i = 0; i <= n; ++i) {
            if (!PatternOn(pat, unit, phase0 + i * step)) continue;
            const int y = iy0 + i * sy;
            const int x = static_cast<int>(std::floor(ax + (y - ay) * slope + 0.5));
            Span(y, x - lo, x + hi + 1, Pixel);
        }
    }
}

void TChartRaster::Frame(const TRect& R, std::uint32_t Pixel, int Width, TPenStyle Style)
{
    const int w = std::max(1, Width);
    const double l = R.Left + (w - 1) / 2, r = R.Right - 1 - w / 2;
    const double t = R.Top + (w - 1) / 2, b = R.Bottom - 1 - w / 2;
    if (r < l || b < t) return;
    double phase = 0;
    Line(l, t, r, t, Pixel, w, Style, phase);
    Line(r, t, r, b, Pixel, w, Style, phase);
    Line(r, b, l, b, Pixel, w, Style, phase);
    Line(l, b, l, t, Pixel, w, Style, phase);
}

void TChartRaster::RoundRect(const TRect& R, int Radius, bool FillIt, std::uint32_t FillPixel, bool FrameIt,
                             std::uint32_t FramePixel)
{
    if (!FBits || R.Width() <= 0 || R.Height() <= 0) return;
    const int h = R.Height();
    const int rad = std::clamp(Radius, 0, std::min(R.Width(), h) / 2);
    // The inset of each row from both sides.
    std::vector<int> inset(h, 0);
    for (int i = 0; i < h; ++i) {
        const int fromEdge = std::min(i, h - 1 - i);
        if (fromEdge < rad) {
            const double dy = rad - fromEdge - 0.5;
            inset[i] = static_cast<int>(std::floor(rad - std::sqrt(std::max(0.0, double(rad) * rad - dy * dy)) + 0.5));
        }
    }
    for (int i = 0; i < h; ++i) {
        const int y = R.Top + i;
        const int a = R.Left + inset[i], b = R.Right - inset[i];
        if (FillIt) Fill(a, y, b, y + 1, FillPixel);
        if (!FrameIt) continue;
        if (i == 0 || i == h - 1) {
            Fill(a, y, b, y + 1, FramePixel);
            continue;
        }
        // The row's ends, widened to meet the neighbouring rows' ends.
        const int outer = std::max(inset[i - 1], inset[i + 1]);
        Fill(a, y, std::max(a + 1, R.Left + outer), y + 1, FramePixel);
        Fill(std::min(b - 1, R.Right - outer), y, b, y + 1, FramePixel);
    }
}

void TChartRaster::TurnedText(TFont* Font, const UnicodeString& Text, int X, int Y, bool Upwards,
                              std::uint32_t Background)
{
    if (!FBits || Text.empty()) return;
    TBitmap bmp;
    TCanvas* c = bmp.GetCanvas();
    c->GetFont()->Assign(Font);
    const TSize sz = c->TextExtent(Text);
    if (sz.cx <= 0 || sz.cy <= 0) return;
    bmp.SetSize(sz.cx, sz.cy);
    c->GetBrush()->SetColor(PixelToColor(Background));
    c->GetBrush()->SetStyle(bsSolid);
    c->TextOut(0, 0, Text);
    for (int sy = 0; sy < sz.cy; ++sy) {
        const std::uint32_t* row = bmp.ScanLine(sy);
        for (int sx = 0; sx < sz.cx; ++sx) {
            // Upwards: the text's left end at the bottom; downwards: at the top.
            const int dx = Upwards ? sy : sz.cy - 1 - sy;
            const int dy = Upwards ? sz.cx - 1 - sx : sx;
            SetPixel(X + dx, Y + dy, row[sx]);
        }
    }
}

std::uint32_t TChartRaster::Darker(std::uint32_t Pixel)
{
    const std::uint32_t r = ((Pixel >> 16) & 0xFF) * 3 / 5, g = ((Pixel >> 8) & 0xFF) * 3 / 5,
                        b = (Pixel & 0xFF) * 3 / 5;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

const TChartRaster::TMarker& TChartRaster::Marker(TSeriesPointerStyle Style, int HorizSize, int VertSize)
{
    static std::map<std::tuple<int, int, int>, TMarker> cache;
    const int h = std::clamp(HorizSize, 0, 64), v = std::clamp(VertSize, 0, 64);
    const auto key = std::make_tuple(static_cast<int>(Style), h, v);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;

    const int w = 2 * h + 1, ht = 2 * v + 1;
    std::vector<char> inside(static_cast<std::size_t>(w * ht), 0);
    // Line marks, and markers too small for an inside, are drawn in the fill colour only.
    bool lineMark = h < 1 || v < 1;
    for (int dy = -v; dy <= v; ++dy) {
        for (int dx = -h; dx <= h; ++dx) {
            bool in = false;
            const double fx = h > 0 ? double(dx) / (h + 0.5) : 0, fy = v > 0 ? double(dy) / (v + 0.5) : 0;
            switch (Style) {
            case psRectangle: in = true; break;
            case psCircle: in = fx * fx + fy * fy <= 1.0; break;
            case psDiamond: in = std::fabs(fx) + std::fabs(fy) <= 1.0; break;
            case psTriangle:
            case psDownTriangle: {
                const double t = v > 0 ? (Style == psTriangle ? dy + v : v - dy) / (2.0 * v) : 1.0;
                in = std::fabs(double(dx)) <= h * t + 0.5;
                break;
            }
            case psCross: in = dx == 0 || dy == 0; lineMark = true; break;
            case psDiagCross: {
                const int ex = h > 0 ? static_cast<int>(std::lround(double(dx) * v / h)) : 0;
                in = ex == dy || ex == -dy;
                lineMark = true;
                break;
            }
            case psStar: {
                const int ex = h > 0 ? static_cast<int>(std::lround(double(dx) * v / h)) : 0;
                in = dx == 0 || dy == 0 || ex == dy || ex == -dy;
                lineMark = true;
                break;
            }
            case psSmallDot: in = dx == 0 && dy == 0; lineMark = true; break;
            }
            inside[static_cast<std::size_t>((dy + v) * w + dx + h)] = in;
        }
    }
    auto at = [&](int dx, int dy) {
        if (dx < -h || dx > h || dy < -v || dy > v) return false;
        return inside[static_cast<std::size_t>((dy + v) * w + dx + h)] != 0;
    };
    TMarker m;
    m.Extent = std::max(h, v);
    for (int dy = -v; dy <= v; ++dy) {
        for (int kind = 0; kind < 2; ++kind) {
            auto& spans = kind == 0 ? m.Fill : m.Outline;
            int start = 0;
            bool open = false;
            for (int dx = -h; dx <= h + 1; ++dx) {
                bool cell = at(dx, dy);
                if (cell) {
                    const bool edge = !at(dx - 1, dy) || !at(dx + 1, dy) || !at(dx, dy - 1) || !at(dx, dy + 1);
                    const bool isOutline = !lineMark && edge;
                    cell = kind == 0 ? !isOutline : isOutline;
                }
                if (cell && !open) {
                    start = dx;
                    open = true;
                } else if (!cell && open) {
                    spans.push_back({dy, start, dx});
                    open = false;
                }
            }
        }
    }
    return cache.emplace(key, std::move(m)).first->second;
}

void TChartRaster::DrawMarker(const TMarker& M, int X, int Y, std::uint32_t FillPixel, bool DrawOutline,
                              std::uint32_t OutlinePixel)
{
    if (!FBits) return;
    X += FOrigin.X;
    Y += FOrigin.Y;
    const int e = M.Extent;
    if (X - e >= FClip.Left && X + e < FClip.Right && Y - e >= FClip.Top && Y + e < FClip.Bottom) {
        for (const TSpan& s : M.Fill) {
            std::uint32_t* row = FBits + static_cast<std::ptrdiff_t>(Y + s.DY) * FStride + X;
            std::fill(row + s.X0, row + s.X1, FillPixel);
        }
        const std::uint32_t o = DrawOutline ? OutlinePixel : FillPixel;
        for (const TSpan& s : M.Outline) {
            std::uint32_t* row = FBits + static_cast<std::ptrdiff_t>(Y + s.DY) * FStride + X;
            std::fill(row + s.X0, row + s.X1, o);
        }
        return;
    }
    for (const TSpan& s : M.Fill) Span(Y + s.DY, X + s.X0, X + s.X1, FillPixel);
    const std::uint32_t o = DrawOutline ? OutlinePixel : FillPixel;
    for (const TSpan& s : M.Outline) Span(Y + s.DY, X + s.X0, X + s.X1, o);
}
