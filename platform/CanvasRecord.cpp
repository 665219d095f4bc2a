// The canvas's vector picture: the shapes that its drawing calls add to an attached picture.
#include "platform/CanvasPrivate.h"

#include <cmath>

using namespace CanvasDetail;

namespace CanvasDetail {

TVectorShape PenShape(const TPen& Pen, TVectorShapeKind Kind)
{
    TVectorShape v;
    v.Kind = Kind;
    const int w = std::max(1, Pen.GetWidth());
    v.Stroked = Pen.GetStyle() != psClear && Pen.GetMode() != pmNop;
    v.PenPixel = ColorToPixel(Pen.GetColor());
    v.PenWidth = w;
    v.Dashes = DashLengths(Pen.GetStyle(), w);
    v.RoundEnds = w > 1 && v.Dashes.empty();
    return v;
}

void SetFill(const TBrush& Brush, TVectorShape& V)
{
    V.Filled = Brush.GetStyle() != bsClear;
    V.FillPixel = ColorToPixel(Brush.GetColor());
}

double LineOffset(int Width)
{
    return std::max(1, Width) % 2 == 0 ? 0.0 : 0.5;
}

}  // namespace CanvasDetail

void TCanvas::AddShape(TVectorShape&& Shape)
{
    if (IsEmpty(Shape.Clip)) Shape.Clip = FClip;
    FPicture->Add(std::move(Shape));
}

void TCanvas::RecordFill(const TRect& DeviceRect, std::uint32_t Pixel)
{
    if (!FPicture) return;
    const TRect r = Intersect(DeviceRect, FClip);
    if (IsEmpty(r)) return;
    TVectorShape v;
    v.Kind = vsFill;
    v.Filled = true;
    v.FillPixel = Pixel;
    v.Points = {{double(r.Left), double(r.Top)}, {double(r.Right), double(r.Bottom)}};
    AddShape(std::move(v));
}

void TCanvas::RecordLines(const TPoint* Points, int Count, bool Closed)
{
    if (Pen->GetStyle() == psClear || Pen->GetMode() == pmNop || Count < 2) return;
    const TVectorShape pen = PenShape(*Pen, vsLines);
    const double at = LineOffset(Pen->GetWidth());
    std::vector<TVectorPoint> pts;
    pts.reserve(static_cast<size_t>(Count) + 1);
    for (int i = 0; i < Count; ++i) pts.push_back({Points[i].X + at, Points[i].Y + at});
    if (Closed) pts.push_back(pts.front());
    // Cut to the clip rectangle (widened by the pen) into pieces; each piece keeps its place in
    // the dash pattern.
    const int grow = int(pen.PenWidth) + 1;
    const TRect box(FClip.Left - grow, FClip.Top - grow, FClip.Right + grow, FClip.Bottom + grow);
    TVectorShape piece = pen;
    double along = 0;
    bool whole = true;
    auto flush = [&] {
        if (piece.Points.size() >= 2) AddShape(std::move(piece));
        piece = pen;
    };
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
        const TVectorPoint a = pts[i], b = pts[i + 1];
        const double len = std::hypot(b.X - a.X, b.Y - a.Y);
        double t0, t1;
        if (!ClipSegment(a.X, a.Y, b.X, b.Y, box.Left, box.Top, box.Right, box.Bottom, t0, t1)) {
            whole = false;
            flush();
            along += len;
            continue;
        }
        const TVectorPoint ca{a.X + (b.X - a.X) * t0, a.Y + (b.Y - a.Y) * t0};
        const TVectorPoint cb{a.X + (b.X - a.X) * t1, a.Y + (b.Y - a.Y) * t1};
        if (t0 > 0) {
            whole = false;
            flush();
        }
        if (piece.Points.empty()) {
            piece.DashOffset = along + len * t0;
            piece.Points.push_back(ca);
        }
        piece.Points.push_back(cb);
        if (t1 < 1) {
            whole = false;
            flush();
        }
        along += len;
    }
    if (whole && Closed && piece.Points.size() > 2) {
        piece.Points.pop_back();
        piece.Closed = true;
    }
    flush();
}

void TCanvas::RecordPolygon(const TPoint* Device, int Count, const TRect& Bounds)
{
    if (!FPicture || IsEmpty(Intersect(Bounds, FClip))) return;
    TVectorShape g = PenShape(*Pen, vsPolygon);
    const double at = LineOffset(Pen->GetStyle() == psClear ? 1 : Pen->GetWidth());
    g.Points.reserve(static_cast<size_t>(Count));
    for (int i = 0; i < Count; ++i) g.Points.push_back({Device[i].X + at, Device[i].Y + at});
    SetFill(*Brush, g);
    if (Count < 3) g.Filled = false;
    if (g.Filled || g.Stroked) AddShape(std::move(g));
}

void TCanvas::RecordText(const TPoint& DevicePos, const UnicodeString& Text, int Quarter, const TRect& Clip)
{
    TVectorShape v;
    v.Clip = Clip;
    v.Kind = vsText;
    v.Points = {{double(DevicePos.X), double(DevicePos.Y)}};
    v.Text = Text;
    v.FontName = Font->GetName();
    v.FontHeight = Font->GetHeight();
    v.FontStyle = Font->GetStyle();
    v.FontPitch = Font->GetPitch();
    v.Orientation = Quarter * 900;
    v.Filled = true;
    v.FillPixel = ColorToPixel(Font->GetColor());
    AddShape(std::move(v));
}
