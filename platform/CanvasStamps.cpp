// Stamps and shapes at many places: the canvas's fast path for the markers of a chart.
#include "platform/CanvasPrivate.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <unordered_map>

using namespace CanvasDetail;

// ---------------------------------------------------------------------------------------------
// Stamps: a chart draws the same small marker thousands of times. The first time a shape is
// drawn, it is drawn by the code above onto a scratch raster in two marking colours, and its
// cells are kept by the shape's form (kind, points relative to the first, pen width and style,
// brush style); later the cells are copied in the current colours. Only what does not depend on
// the position qualifies: copy mode, solid or clear pens and brushes.

namespace {

struct TStampSpan {
    int DY, X0, X1;  // row and columns [X0, X1) relative to the shape's first point
    bool Pen;        // pen cell, else brush cell
};

constexpr int StampKeySize = 5 + 2 * 8;
using TStampKey = std::array<int, StampKeySize>;

struct TStampKeyHash {
    size_t operator()(const TStampKey& K) const
    {
        std::uint64_t h = 1469598103934665603ull;
        for (int v : K) {
            h ^= static_cast<std::uint32_t>(v);
            h *= 1099511628211ull;
        }
        return static_cast<size_t>(h);
    }
};

}  // namespace

struct TCanvasStamp {
    std::vector<TStampSpan> Spans;
    TRect Box;  // the cells' bounds relative to the first point
};

namespace {

using TStampMap = std::unordered_map<TStampKey, TCanvasStamp, TStampKeyHash>;

TStampMap& StampCache()
{
    static TStampMap cache;
    return cache;
}

// The stamp used last: a series asks for the same one point after point.
struct TLastStamp {
    TStampKey Key{};
    const TCanvasStamp* Cells = nullptr;
};
TLastStamp& LastStamp()
{
    static TLastStamp last;
    return last;
}

constexpr int MaxStampExtent = 64;
constexpr std::size_t MaxStamps = 512;
constexpr TColor PenMark = RGB(1, 0, 0), BrushMark = RGB(2, 0, 0);

}  // namespace

const TCanvasStamp* TCanvas::FindStamp(int Kind, const TPoint* Rel, int Count)
{
    static_assert(StampKeySize == 5 + 2 * MaxStampPoints);
    if (FStamping || Count < 1 || Count > MaxStampPoints || Pen->GetMode() != pmCopy) return nullptr;
    const TPenStyle ps = Pen->GetStyle();
    const TBrushStyle bs = Brush->GetStyle();
    if ((ps != psSolid && ps != psClear && ps != psInsideFrame) || (bs != bsSolid && bs != bsClear)) return nullptr;
    const int penWidth = std::max(1, Pen->GetWidth());
    if (penWidth > 8) return nullptr;
    TStampKey key{};
    key[0] = Kind;
    key[1] = Count;
    key[2] = penWidth;
    key[3] = ps;
    key[4] = bs;
    int minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int i = 0; i < Count; ++i) {
        if (std::abs(Rel[i].X) > MaxStampExtent || std::abs(Rel[i].Y) > MaxStampExtent) return nullptr;
        key[5 + 2 * i] = Rel[i].X;
        key[6 + 2 * i] = Rel[i].Y;
        minX = std::min(minX, Rel[i].X);
        minY = std::min(minY, Rel[i].Y);
        maxX = std::max(maxX, Rel[i].X);
        maxY = std::max(maxY, Rel[i].Y);
    }
    TLastStamp& last = LastStamp();
    // The part of the key in use (the rest is zero in both).
    const int used = 5 + 2 * Count;
    const bool same = last.Cells != nullptr &&
                      std::memcmp(last.Key.data(), key.data(), sizeof(int) * static_cast<size_t>(used)) == 0;
    const TCanvasStamp* stamp = same ? last.Cells : nullptr;
    auto& cache = StampCache();
    auto it = stamp ? cache.end() : cache.find(key);
    if (stamp == nullptr && it != cache.end()) stamp = &it->second;
    if (stamp == nullptr) {
        if (cache.size() >= MaxStamps) cache.clear();
        // Drawn once on a scratch raster with room for the pen around the points.
        const int margin = penWidth + 2;
        const int w = maxX - minX + 1 + 2 * margin, h = maxY - minY + 1 + 2 * margin;
        std::vector<std::uint32_t> cells(static_cast<size_t>(w) * h, 0);
        TCanvas scratch;
        scratch.FStamping = true;
        scratch.Attach(cells.data(), w, h, w);
        scratch.Pen->SetWidth(penWidth);
        scratch.Pen->SetStyle(ps);
        scratch.Pen->SetColor(PenMark);
        scratch.Brush->SetStyle(bs);
        scratch.Brush->SetColor(BrushMark);
        const int ox = margin - minX, oy = margin - minY;
        std::vector<TPoint> pts(static_cast<size_t>(Count));
        for (int i = 0; i < Count; ++i) pts[i] = TPoint(Rel[i].X + ox, Rel[i].Y + oy);
        if (Kind == StampEllipse) scratch.Ellipse(pts[0].X, pts[0].Y, pts[1].X, pts[1].Y);
        else scratch.Polygon(pts.data(), Count);
        TCanvasStamp made;
        made.Box = TRect(std::numeric_limits<int>::max(), std::numeric_limits<int>::max(),
                         std::numeric_limits<int>::min(), std::numeric_limits<int>::min());
        const std::uint32_t penPx = ColorToPixel(PenMark), brushPx = ColorToPixel(BrushMark);
        for (int y = 0; y < h; ++y) {
            const std::uint32_t* row = cells.data() + static_cast<size_t>(y) * w;
            for (int x = 0; x < w;) {
                const std::uint32_t v = row[x];
                int e = x + 1;
                while (e < w && row[e] == v) ++e;
                if (v == penPx || v == brushPx) {
                    made.Spans.push_back({y - oy, x - ox, e - ox, v == penPx});
                    made.Box = Union(made.Box, TRect(x - ox, y - oy, e - ox, y - oy + 1));
                }
                x = e;
            }
        }
        if (made.Spans.empty()) made.Box = TRect();
        stamp = &cache.emplace(key, std::move(made)).first->second;
    }
    last.Key = key;
    last.Cells = stamp;
    return stamp;
}

TRect TCanvas::PaintStamp(const TCanvasStamp* Stamp, const TPoint& At)
{
    const TCanvasStamp* stamp = Stamp;
    const std::uint32_t penPx = ColorToPixel(Pen->GetColor()), brushPx = ColorToPixel(Brush->GetColor());
    const TRect& b = stamp->Box;
    const long long left = static_cast<long long>(At.X) + b.Left, right = static_cast<long long>(At.X) + b.Right;
    const long long top = static_cast<long long>(At.Y) + b.Top, bottom = static_cast<long long>(At.Y) + b.Bottom;
    if (left >= FClip.Left && right <= FClip.Right && top >= FClip.Top && bottom <= FClip.Bottom) {
        // Wholly inside: no cutting.
        std::uint32_t* at = FBits + static_cast<std::ptrdiff_t>(At.Y) * FStride + At.X;
        for (const TStampSpan& s : stamp->Spans) {
            std::uint32_t* row = at + static_cast<std::ptrdiff_t>(s.DY) * FStride;
            std::fill(row + s.X0, row + s.X1, s.Pen ? penPx : brushPx);
        }
        return TRect(int(left), int(top), int(right), int(bottom));
    }
    for (const TStampSpan& s : stamp->Spans) {
        const long long y = static_cast<long long>(At.Y) + s.DY;
        if (y < FClip.Top || y >= FClip.Bottom) continue;
        const int x0 = int(std::max<long long>(static_cast<long long>(At.X) + s.X0, FClip.Left));
        const int x1 = int(std::min<long long>(static_cast<long long>(At.X) + s.X1, FClip.Right));
        if (x0 < x1) FillSpan(int(y), x0, x1, 0, s.Pen ? penPx : brushPx);
    }
    return Intersect(TRect(ClampCoord(left), ClampCoord(top), ClampCoord(right), ClampCoord(bottom)), FClip);
}

bool TCanvas::Stamp(int Kind, const TPoint* Rel, int Count, const TPoint& At)
{
    const TCanvasStamp* stamp = FindStamp(Kind, Rel, Count);
    if (stamp == nullptr) return false;
    PaintStamp(stamp, At);
    return true;
}

void TCanvas::Polygons(const TPoint* Shape, int Count, const TPoint* Places, int N)
{
    if (FBits == nullptr || Shape == nullptr || Places == nullptr || Count < 2 || N <= 0) return;
    TPoint rel[MaxStampPoints];
    const TCanvasStamp* stamp = nullptr;
    if (Count <= MaxStampPoints && FPicture == nullptr) {
        for (int i = 0; i < Count; ++i) rel[i] = TPoint(Shape[i].X - Shape[0].X, Shape[i].Y - Shape[0].Y);
        stamp = FindStamp(StampPolygon, rel, Count);
    }
    if (stamp == nullptr) {
        // Each one in full (and recorded in a picture one by one).
        std::vector<TPoint> pts(static_cast<size_t>(Count));
        for (int n = 0; n < N; ++n) {
            for (int i = 0; i < Count; ++i) pts[i] = TPoint(Shape[i].X + Places[n].X, Shape[i].Y + Places[n].Y);
            Polygon(pts.data(), Count);
        }
        return;
    }
    TRect touched;
    for (int n = 0; n < N; ++n)
        touched = Union(touched, PaintStamp(stamp, ToDevice(Shape[0].X + Places[n].X, Shape[0].Y + Places[n].Y)));
    Painted(touched);
}

void TCanvas::Ellipses(const TRect& Box, const TPoint* Places, int N)
{
    if (FBits == nullptr || Places == nullptr || N <= 0) return;
    const TPoint rel[2] = {TPoint(0, 0), TPoint(Box.Right - Box.Left, Box.Bottom - Box.Top)};
    const TCanvasStamp* stamp = FPicture == nullptr ? FindStamp(StampEllipse, rel, 2) : nullptr;
    if (stamp == nullptr) {
        for (int n = 0; n < N; ++n)
            Ellipse(Box.Left + Places[n].X, Box.Top + Places[n].Y, Box.Right + Places[n].X, Box.Bottom + Places[n].Y);
        return;
    }
    TRect touched;
    for (int n = 0; n < N; ++n)
        touched = Union(touched, PaintStamp(stamp, ToDevice(Box.Left + Places[n].X, Box.Top + Places[n].Y)));
    Painted(touched);
}
