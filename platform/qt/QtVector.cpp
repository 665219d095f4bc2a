// Vector pictures drawn through Qt's painter: onto an SVG generator, a PDF writer or an image.
#include "platform/VectorPicture.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtText.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPolygonF>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace {


QColor ColorOf(std::uint32_t Pixel)
{
    return QColor((Pixel >> 16) & 0xFF, (Pixel >> 8) & 0xFF, Pixel & 0xFF);
}

QPen PenOf(const TVectorShape& S)
{
    if (!S.Stroked) return QPen(Qt::NoPen);
    QPen pen(ColorOf(S.PenPixel));
    pen.setWidthF(S.PenWidth);
    if (!S.Dashes.empty()) {
        // Qt counts dashes in pen widths.
        QList<qreal> pattern;
        for (double d : S.Dashes) pattern.append(d / S.PenWidth);
        pen.setDashPattern(pattern);
        pen.setDashOffset(S.DashOffset / S.PenWidth);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
    } else if (S.RoundEnds) {
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    } else {
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
    }
    return pen;
}

QPolygonF PolygonOf(const std::vector<TVectorPoint>& Points)
{
    QPolygonF p;
    p.reserve(qsizetype(Points.size()));
    for (const TVectorPoint& v : Points) p.append(QPointF(v.X, v.Y));
    return p;
}

QRectF BoxOf(const TVectorShape& S)
{
    if (S.Points.size() < 2) return QRectF();
    return QRectF(QPointF(S.Points[0].X, S.Points[0].Y), QPointF(S.Points[1].X, S.Points[1].Y));
}

// The painter's pen and brush, set only when they change: an SVG generator opens a new group of
// attributes at every change, and a chart draws thousands of markers alike.
struct TPainterState {
    QPen Pen = QPen(Qt::NoPen);
    QBrush Brush = QBrush(Qt::NoBrush);
    bool Known = false;
    void Use(QPainter& P, const QPen& NewPen, const QBrush& NewBrush)
    {
        if (Known && NewPen == Pen && NewBrush == Brush) return;
        if (!Known || !(NewPen == Pen)) P.setPen(NewPen);
        if (!Known || !(NewBrush == Brush)) P.setBrush(NewBrush);
        Pen = NewPen;
        Brush = NewBrush;
        Known = true;
    }
};

// Outlines: text as the outlines of its glyphs (a picture read where the font is missing).
void DrawShape(QPainter& P, TPainterState& State, const TVectorShape& S, bool Outlines = false)
{
    switch (S.Kind) {
    case vsFill:
        State.Use(P, QPen(Qt::NoPen), QBrush(ColorOf(S.FillPixel)));
        P.drawRect(BoxOf(S));
        break;
    case vsLines:
        State.Use(P, PenOf(S), QBrush(Qt::NoBrush));
        if (S.Closed) P.drawPolygon(PolygonOf(S.Points));
        else P.drawPolyline(PolygonOf(S.Points));
        break;
    case vsPolygon:
        State.Use(P, PenOf(S), S.Filled ? QBrush(ColorOf(S.FillPixel)) : QBrush(Qt::NoBrush));
        P.drawPolygon(PolygonOf(S.Points), Qt::OddEvenFill);
        break;
    case vsEllipse:
        State.Use(P, PenOf(S), S.Filled ? QBrush(ColorOf(S.FillPixel)) : QBrush(Qt::NoBrush));
        P.drawEllipse(BoxOf(S));
        break;
    case vsRoundRect:
        State.Use(P, PenOf(S), S.Filled ? QBrush(ColorOf(S.FillPixel)) : QBrush(Qt::NoBrush));
        P.drawRoundedRect(BoxOf(S), S.Radius, S.Radius);
        break;
    case vsText: {
        if (S.Points.empty()) break;
        TFont font;
        font.SetName(S.FontName);
        font.SetHeight(S.FontHeight);
        font.SetStyle(S.FontStyle);
        font.SetPitch(S.FontPitch);
        P.save();
        P.translate(S.Points[0].X, S.Points[0].Y);
        P.rotate(-S.Orientation / 10.0);
        if (Outlines)
            P.fillPath(QtCanvas::CellTextPath(font, QtControls::ToQ(S.Text)), ColorOf(S.FillPixel));
        else
            QtCanvas::DrawCellText(P, font, PixelToColor(S.FillPixel), QtControls::ToQ(S.Text));
        P.restore();
        State.Known = false;
        break;
    }
    case vsImage: {
        if (S.Points.empty() || S.ImageWidth <= 0 || S.ImageHeight <= 0) break;
        const QImage image(reinterpret_cast<const uchar*>(S.Pixels.data()), S.ImageWidth, S.ImageHeight,
                           S.ImageWidth * 4, QImage::Format_RGB32);
        const double k = std::max(1, S.ImageScale);
        P.drawImage(QRectF(S.Points[0].X, S.Points[0].Y, S.ImageWidth / k, S.ImageHeight / k), image);
        break;
    }
    }
}

// The picture onto a vector device (SVG, PDF), smoothed; images are drawn by DrawScaled.
// Outlines: text as glyph outlines (SVG names fonts that a viewer may lack; PDF embeds them).
void DrawVectors(QPainter& P, const TVectorPicture& Picture, bool Outlines)
{
    P.setRenderHint(QPainter::Antialiasing, true);
    P.setRenderHint(QPainter::TextAntialiasing, true);
    P.setClipRect(QRectF(0, 0, Picture.GetWidth(), Picture.GetHeight()));
    TPainterState state;
    for (const TVectorShape& s : Picture.GetShapes()) DrawShape(P, state, s, Outlines);
}

// Scaled drawing of many markers alike: a small filled or outlined shape is drawn once into a
// sprite and then copied. Without smoothing its pixels depend only on the shape and on where its
// first point falls within a pixel, so both are the sprite's key, and a copy gives exactly the
// pixels a fresh drawing would.
class TSprites {
public:
    explicit TSprites(int Scale) : FScale(Scale) {}

    // Draws S by a sprite into the unscaled painter P; false when S does not qualify.
    bool Draw(QPainter& P, const TVectorShape& S)
    {
        if ((S.Kind != vsEllipse && S.Kind != vsPolygon && S.Kind != vsRoundRect) || S.Points.empty()) return false;
        double minX = S.Points[0].X, maxX = minX, minY = S.Points[0].Y, maxY = minY;
        for (const TVectorPoint& v : S.Points) {
            minX = std::min(minX, v.X);
            maxX = std::max(maxX, v.X);
            minY = std::min(minY, v.Y);
            maxY = std::max(maxY, v.Y);
        }
        if (maxX - minX > 40 || maxY - minY > 40) return false;
        const double ax = S.Points[0].X * FScale, ay = S.Points[0].Y * FScale;
        const double fx = ax - std::floor(ax), fy = ay - std::floor(ay);
        std::vector<double> key{double(S.Kind), fx, fy, double(S.Filled), double(S.FillPixel), double(S.Stroked),
                                double(S.PenPixel), S.PenWidth, S.DashOffset, double(S.RoundEnds), S.Radius};
        key.insert(key.end(), S.Dashes.begin(), S.Dashes.end());
        for (const TVectorPoint& v : S.Points) {
            key.push_back(v.X - S.Points[0].X);
            key.push_back(v.Y - S.Points[0].Y);
        }
        auto it = FCache.find(key);
        if (it == FCache.end()) {
            if (FCache.size() > 4096) FCache.clear();
            // The sprite covers the shape and its pen, with its origin at the pixel of the first point.
            const double reach = S.PenWidth * FScale + 2;
            const int left = int(std::floor(minX * FScale - reach)) - int(std::floor(ax));
            const int top = int(std::floor(minY * FScale - reach)) - int(std::floor(ay));
            const int right = int(std::ceil(maxX * FScale + reach)) - int(std::floor(ax));
            const int bottom = int(std::ceil(maxY * FScale + reach)) - int(std::floor(ay));
            TSprite sprite;
            sprite.Offset = QPoint(left, top);
            sprite.Image = QImage(right - left, bottom - top, QImage::Format_ARGB32_Premultiplied);
            sprite.Image.fill(Qt::transparent);
            QPainter sp(&sprite.Image);
            sp.setRenderHint(QPainter::Antialiasing, false);
            sp.translate(-left - std::floor(ax), -top - std::floor(ay));
            sp.scale(FScale, FScale);
            TPainterState own;
            DrawShape(sp, own, S);
            sp.end();
            it = FCache.emplace(std::move(key), std::move(sprite)).first;
        }
        P.drawImage(QPoint(int(std::floor(ax)), int(std::floor(ay))) + it->second.Offset, it->second.Image);
        return true;
    }

private:
    struct TSprite {
        QImage Image;
        QPoint Offset;
    };
    struct TKeyHash {
        size_t operator()(const std::vector<double>& K) const
        {
            std::uint64_t h = 1469598103934665603ull;
            for (double d : K) {
                std::uint64_t bits;
                std::memcpy(&bits, &d, sizeof bits);
                h = (h ^ bits) * 1099511628211ull;
            }
            return size_t(h);
        }
    };
    int FScale;
    std::unordered_map<std::vector<double>, TSprite, TKeyHash> FCache;
};

// The picture Scale times larger into an image, sharp as the screen, text smoothed.
void DrawScaled(QPainter& P, const TVectorPicture& Picture, int Scale)
{
    P.setRenderHint(QPainter::Antialiasing, false);
    P.setRenderHint(QPainter::TextAntialiasing, true);
    const QTransform scaled = QTransform::fromScale(Scale, Scale);
    P.setClipRect(QRect(0, 0, Picture.GetWidth() * Scale, Picture.GetHeight() * Scale));
    TPainterState state;
    TSprites sprites(Scale);
    bool isScaled = false;
    for (const TVectorShape& s : Picture.GetShapes()) {
        if (isScaled) {
            P.resetTransform();
            isScaled = false;
        }
        if (sprites.Draw(P, s)) continue;
        P.setTransform(scaled);
        isScaled = true;
        DrawShape(P, state, s);
    }
}

}  // namespace

std::string TVectorPicture::ToSvg() const
{
    if (!QtCanvas::HaveGuiApplication() || FWidth <= 0 || FHeight <= 0) return std::string();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(FWidth, FHeight));
    svg.setViewBox(QRect(0, 0, FWidth, FHeight));
    svg.setResolution(96);
    svg.setTitle(QStringLiteral("Corvane chart"));
    svg.setDescription(QStringLiteral("Drawn by Corvane"));
    {
        QPainter painter(&svg);
        DrawVectors(painter, *this, true);
    }
    const QByteArray bytes = buffer.data();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

std::string TVectorPicture::ToPdf() const
{
    if (!QtCanvas::HaveGuiApplication() || FWidth <= 0 || FHeight <= 0) return std::string();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        // One page as large as the picture at 96 pixels per inch, without margins.
        QPdfWriter pdf(&buffer);
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(QSizeF(FWidth * 72.0 / 96.0, FHeight * 72.0 / 96.0), QPageSize::Point,
                                  QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setCreator(QStringLiteral("Corvane"));
        QPainter painter(&pdf);
        DrawVectors(painter, *this, false);
    }
    const QByteArray bytes = buffer.data();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

void QtCanvas::DrawShapeScaled(const TTarget& Target, const TVectorShape& S, int Scale)
{
    if (!HaveGuiApplication() || Target.Bits == nullptr || Scale < 1) return;
    QRect clip(Target.Clip.Left, Target.Clip.Top, Target.Clip.Right - Target.Clip.Left,
               Target.Clip.Bottom - Target.Clip.Top);
    if (S.Clip.Right > S.Clip.Left && S.Clip.Bottom > S.Clip.Top)
        clip &= QRect(S.Clip.Left * Scale, S.Clip.Top * Scale, (S.Clip.Right - S.Clip.Left) * Scale,
                      (S.Clip.Bottom - S.Clip.Top) * Scale);
    if (clip.isEmpty()) return;
    QImage image(reinterpret_cast<uchar*>(Target.Bits), Target.Width, Target.Height, Target.Stride * 4,
                 QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setClipRect(clip);
    if (S.Kind == vsImage && S.ImageScale == Scale && !S.Points.empty()) {
        // An image already at this scale: a plain copy.
        const QImage picture(reinterpret_cast<const uchar*>(S.Pixels.data()), S.ImageWidth, S.ImageHeight,
                             S.ImageWidth * 4, QImage::Format_RGB32);
        painter.drawImage(QPoint(int(S.Points[0].X) * Scale, int(S.Points[0].Y) * Scale), picture);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setTransform(QTransform::fromScale(Scale, Scale));
    TPainterState state;
    DrawShape(painter, state, S);
}

void TVectorPicture::DrawTo(TBitmap* Bitmap, int Scale) const
{
    if (!Bitmap) return;
    Scale = std::clamp(Scale, 1, 8);
    Bitmap->SetSize(FWidth * Scale, FHeight * Scale);
    if (Bitmap->GetEmpty()) return;
    QImage image(reinterpret_cast<uchar*>(Bitmap->ScanLine(0)), Bitmap->GetWidth(), Bitmap->GetHeight(),
                 Bitmap->GetWidth() * 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (!QtCanvas::HaveGuiApplication()) return;
    QPainter painter(&image);
    DrawScaled(painter, *this, Scale);
}
