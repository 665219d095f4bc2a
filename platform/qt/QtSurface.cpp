// Painting surfaces on Qt: the raster behind a form, a panel or a custom control, rendered with
// the control's own drawing and its graphic children, and blitted onto the widget.
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtControls.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

using QtControls::ImplOf;
using QtControls::ToQRect;
using QtControls::ToTRect;

namespace {

// Asks the widget to show a part of its raster again (a canvas drew outside a render).
void ShowPainted(TWinControlImpl* Impl, const TRect& R)
{
    if (!Impl->Rendering && Impl->Widget)
        Impl->Widget->update(ToQRect(R));
}

void AttachChildCanvases(TWinControl* C)
{
    for (int i = 0; i < C->ControlCount(); ++i)
        if (auto* g = dynamic_cast<TGraphicControl*>(C->Controls(i)))
            TEventPathAccess::AttachCanvas(g);
}

// Device pixels per pixel of the screen that shows W, as a whole number (1 to 4).
int ScreenScale(const QWidget* W)
{
    return std::clamp(int(std::lround(W->devicePixelRatioF())), 1, 4);
}

// Draws a shape that a canvas drew into the raster again into the sharp mirror.
void MirrorShape(TWinControlImpl* Impl, const TVectorShape& Shape)
{
    QImage& sharp = Impl->Sharp;
    if (sharp.isNull())
        return;
    const QtCanvas::TTarget target{reinterpret_cast<std::uint32_t*>(sharp.bits()), sharp.width(), sharp.height(),
                                   static_cast<int>(sharp.bytesPerLine() / 4),
                                   TRect(0, 0, sharp.width(), sharp.height())};
    QtCanvas::DrawShapeScaled(target, Shape, Impl->Scale);
}

// Follows the scale of the screen: a new scale draws the whole raster again, mirrored at it.
void UseScale(TWinControl* C, int Scale)
{
    auto& d = ImplOf(C);
    if (d.Scale == Scale)
        return;
    d.Scale = Scale;
    d.Sharp = QImage();
    d.Live.reset();
    if (Scale > 1) {
        d.Live = std::make_unique<TVectorPicture>(1, 1);
        TWinControlImpl* impl = &d;
        d.Live->SetLive(Scale, [impl](const TVectorShape& Shape) { MirrorShape(impl, Shape); });
    }
    d.Canvas->SetPicture(d.Live.get());
    d.Raster = QImage();  // made again, with its mirror, and wholly dirty
    QtControls::EnsureRaster(C);
}

// Draws the dirty part of the raster: background, the control's own drawing, then the graphic
// children in z-order, each clipped to its bounds.
void Render(TWinControl* C)
{
    auto& d = ImplOf(C);
    QtControls::EnsureRaster(C);
    if (d.Raster.isNull() || d.Dirty.isEmpty())
        return;
    const QRect dirty = d.Dirty & QRect(0, 0, d.Raster.width(), d.Raster.height());
    d.Dirty = QRect();
    d.Rendering = true;
    struct TDone {
        TWinControlImpl& D;
        ~TDone() { D.Rendering = false; }
    } done{d};
    TCanvas* cv = d.Canvas.get();
    cv->SetOrigin(0, 0);
    cv->SetClipRect(ToTRect(dirty));
    const TColor brushColor = cv->Brush->GetColor();
    const TBrushStyle brushStyle = cv->Brush->GetStyle();
    cv->Brush->SetColor(C->GetColor());
    cv->Brush->SetStyle(bsSolid);
    cv->FillRect(ToTRect(dirty));
    cv->Brush->SetColor(brushColor);
    cv->Brush->SetStyle(brushStyle);
    TEventPathAccess::PaintWindow(C, cv);
    cv->SetOrigin(0, 0);
    cv->ResetClipRect();
    const TAliveCheck alive(C);
    std::vector<TControl*> children;
    for (int i = 0; i < C->ControlCount(); ++i)
        children.push_back(C->Controls(i));
    for (TControl* child : children) {
        auto* g = dynamic_cast<TGraphicControl*>(child);
        if (g == nullptr || !g->GetVisible())
            continue;
        const QRect bounds = ToQRect(g->GetBoundsRect());
        const QRect part = bounds & dirty;
        if (part.isEmpty())
            continue;
        TEventPathAccess::AttachCanvas(g);
        g->Canvas->SetClipRect(ToTRect(part.translated(-bounds.topLeft())));
        const TAliveCheck childAlive(g);
        g->Paint();
        if (!alive)
            return;
        if (childAlive)
            TEventPathAccess::AttachCanvas(g);
    }
}

}  // namespace

void QtControls::EnsureRaster(TWinControl* C)
{
    auto& d = ImplOf(C);
    if (!d.Surface)
        return;
    const int w = std::max(C->GetWidth(), 0);
    const int h = std::max(C->GetHeight(), 0);
    if (!d.Raster.isNull() && d.Raster.width() == w && d.Raster.height() == h)
        return;
    d.Sharp = QImage();
    if (w == 0 || h == 0) {
        d.Raster = QImage();
        d.Canvas->Detach();
    } else {
        d.Raster = QImage(w, h, QImage::Format_RGB32);
        d.Raster.fill(QtControls::ToQColor(C->GetColor()));
        d.Canvas->Attach(reinterpret_cast<std::uint32_t*>(d.Raster.bits()), w, h,
                         static_cast<int>(d.Raster.bytesPerLine() / 4));
        if (d.Scale > 1) {
            d.Sharp = QImage(w * d.Scale, h * d.Scale, QImage::Format_RGB32);
            d.Sharp.fill(QtControls::ToQColor(C->GetColor()));
            d.Sharp.setDevicePixelRatio(d.Scale);
        }
    }
    d.Dirty = QRect(0, 0, w, h);
    AttachChildCanvases(C);
}

TSurfaceWidget::TSurfaceWidget(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSurfaceWidget::paintEvent(QPaintEvent* event)
{
    TWinControl* c = QtControls::ControlOf(this);
    if (c == nullptr)
        return;
    QtControls::TBusyScope busy(this);
    QtControls::PaintSurface(c, this, event->rect());
}

void QtControls::PaintSurface(TWinControl* Control, QWidget* Widget, const QRect& Rect)
{
    const TAliveCheck alive(Control);
    try {
        UseScale(Control, ScreenScale(Widget));
        Render(Control);
    } catch (...) {
        // Shown once the paint is over: a message box inside a paint event would paint again.
        if (alive)
            ImplOf(Control).Dirty = QRect();
        std::exception_ptr error = std::current_exception();
        QTimer::singleShot(0, QCoreApplication::instance(), [error] {
            try {
                std::rethrow_exception(error);
            } catch (...) {
                EventPath::ReportException(nullptr);
            }
        });
    }
    if (!alive)
        return;
    auto& d = ImplOf(Control);
    QPainter painter(Widget);
    const int s = d.Scale;
    if (d.Raster.isNull())
        painter.fillRect(Rect, ToQColor(Control->GetColor()));
    else if (s > 1 && !d.Sharp.isNull())
        painter.drawImage(QRectF(Rect), d.Sharp, QRectF(Rect.x() * s, Rect.y() * s, Rect.width() * s, Rect.height() * s));
    else
        painter.drawImage(Rect, d.Raster, Rect);
}

TCanvas* TWinControl::SurfaceCanvas() const
{
    return FImpl->Canvas.get();
}

void TWinControl::Invalidate()
{
    auto& d = *FImpl;
    if (d.Surface)
        d.Dirty = QRect(0, 0, GetWidth(), GetHeight());
    if (d.Widget)
        d.Widget->update();
}

void TWinControl::InvalidateRect(const TRect& R)
{
    auto& d = *FImpl;
    const QRect r = ToQRect(R) & QRect(0, 0, GetWidth(), GetHeight());
    if (r.isEmpty())
        return;
    if (d.Surface)
        d.Dirty |= r;
    if (d.Widget)
        d.Widget->update(r);
}

void TWinControl::Update()
{
    if (FImpl->Rendering)
        return;  // the paint under way shows it
    if (QWidget* w = FImpl->Widget.data())
        if (w->isVisible())
            w->repaint();
}

void TWinControl::PaintTo(TCanvas* Canvas, int X, int Y)
{
    QWidget* w = FImpl->Widget.data();
    if (w == nullptr || Canvas == nullptr || Canvas->GetBits() == nullptr)
        return;
    if (w->parentWidget() == nullptr) {
        w->ensurePolished();
    }
    QImage img = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (img.devicePixelRatio() != 1.0)  // a canvas has one pixel per pixel
        img = img.scaled(w->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const TPoint origin = Canvas->GetOrigin();
    const TRect clip = Canvas->GetClipRect();
    for (int y = 0; y < img.height(); ++y) {
        const int ly = Y + y;
        if (ly < clip.Top || ly >= clip.Bottom)
            continue;
        const auto* row = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
        std::uint32_t* dest = Canvas->GetBits() + static_cast<long>(ly + origin.Y) * Canvas->GetRasterStride();
        for (int x = 0; x < img.width(); ++x) {
            const int lx = X + x;
            if (lx < clip.Left || lx >= clip.Right)
                continue;
            dest[lx + origin.X] = row[x] | 0xFF000000u;
        }
    }
}

int TWinControl::GetScreenScale() const
{
    const QWidget* w = FImpl->Widget.data();
    return w ? ScreenScale(w) : 1;
}

void TWinControl::DrawScreenImage(TBitmap* Bitmap)
{
    QWidget* w = FImpl->Widget.data();
    const int s = GetScreenScale();
    if (Bitmap == nullptr)
        return;
    if (s == 1 || w == nullptr) {
        Bitmap->SetSize(GetWidth(), GetHeight());
        PaintTo(Bitmap->Canvas, 0, 0);
        return;
    }
    if (w->parentWidget() == nullptr)
        w->ensurePolished();
    const QImage img = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    Bitmap->SetSize(img.width(), img.height());
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
        std::uint32_t* dest = Bitmap->ScanLine(y);
        for (int x = 0; x < img.width(); ++x)
            dest[x] = row[x] | 0xFF000000u;
    }
}

// ---------------------------------------------------------------------------------------------
// TGraphicControl on its parent's surface

void TGraphicControl::AttachCanvas()
{
    TWinControl* parent = GetParent();
    if (parent == nullptr || !ImplOf(parent).Surface) {
        Canvas->Detach();
        Canvas->OnPainted = nullptr;
        Canvas->SetPicture(nullptr);
        return;
    }
    // A parent without area has no raster; asking it for one would come back here.
    if (parent->GetWidth() <= 0 || parent->GetHeight() <= 0) {
        Canvas->Detach();
        Canvas->OnPainted = nullptr;
        Canvas->SetPicture(nullptr);
        return;
    }
    auto& d = ImplOf(parent);
    if (d.Raster.isNull() || d.Raster.width() != parent->GetWidth() ||
        d.Raster.height() != parent->GetHeight()) {
        QtControls::EnsureRaster(parent);  // attaches every graphic child, this one included
        if (d.Raster.isNull())
            Canvas->Detach();
        return;
    }
    Canvas->Attach(reinterpret_cast<std::uint32_t*>(d.Raster.bits()), d.Raster.width(),
                   d.Raster.height(), static_cast<int>(d.Raster.bytesPerLine() / 4));
    Canvas->SetOrigin(GetLeft(), GetTop());
    Canvas->SetClipRect(TRect(0, 0, GetWidth(), GetHeight()));
    Canvas->SetPicture(d.Live.get());
    TWinControlImpl* impl = &d;
    Canvas->OnPainted = [impl](const TRect& R) { ShowPainted(impl, R); };
}

void TGraphicControl::Repaint()
{
    TWinControl* parent = GetParent();
    if (parent == nullptr || !GetVisible() || !ImplOf(parent).Surface ||
        !GetControlStyle().Contains(csOpaque)) {
        TControl::Repaint();
        return;
    }
    AttachCanvas();
    auto& d = ImplOf(parent);
    if (d.Raster.isNull())
        return;
    const QRect area = ToQRect(GetBoundsRect()) & QRect(0, 0, d.Raster.width(), d.Raster.height());
    if (area.isEmpty())
        return;
    // This control and the graphic controls above it, clipped to this control's bounds.
    std::vector<TGraphicControl*> layers;
    bool above = false;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        above = above || c == this;
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (above && g != nullptr && g->GetVisible() && ToQRect(g->GetBoundsRect()).intersects(area))
            layers.push_back(g);
    }
    const TAliveCheck parentAlive(parent);
    for (TGraphicControl* g : layers) {
        if (!parentAlive || g->GetParent() != parent)
            return;
        const QRect bounds = ToQRect(g->GetBoundsRect());
        g->AttachCanvas();
        g->Canvas->SetClipRect(ToTRect((bounds & area).translated(-bounds.topLeft())));
        const TAliveCheck alive(g);
        g->Paint();
        if (alive && g->GetParent() == parent)
            g->AttachCanvas();
    }
    if (parentAlive && !d.Rendering && d.Widget)
        d.Widget->update(area);
}
