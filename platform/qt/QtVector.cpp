// Vector pictures drawn through Qt's painter: onto an SVG generator, a PDF writer or an image.
#include "platform/VectorPicture.h"
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
#include <cstring>

namespace {

bool HaveGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

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

void DrawShape(QPainter& P, TPainterState& State, const TVectorShape& S)
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
        QtCanvas::DrawCellText(P, font, PixelToColor(S.FillPixel), QtControls::ToQ(S.Text));
        P.restore();
        State.Known = false;
        break;
    }
    case vsImage: {
        if (S.Points.empty() || S.ImageWidth <= 0 || S.ImageHeight <= 0) break;
        const QImage image(reinterpret_cast<const uchar*>(S.Pixels.data()), S.ImageWidth, S.ImageHeight,
                           S.ImageWidth * 4, QImage::Format_RGB32);
        P.drawImage(QPointF(S.Points[0].X, S.Points[0].Y), image);
        break;
    }
    }
}

void DrawAll(QPainter& P, const TVectorPicture& Picture, bool Smooth)
{
    P.setRenderHint(QPainter::Antialiasing, Smooth);
    P.setRenderHint(QPainter::TextAntialiasing, true);
    P.setClipRect(QRectF(0, 0, Picture.GetWidth(), Picture.GetHeight()));
    TPainterState state;
    for (const TVectorShape& s : Picture.GetShapes()) DrawShape(P, state, s);
}

}  // namespace

std::string TVectorPicture::ToSvg() const
{
    if (!HaveGuiApplication() || FWidth <= 0 || FHeight <= 0) return std::string();
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
        DrawAll(painter, *this, true);
    }
    const QByteArray bytes = buffer.data();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

std::string TVectorPicture::ToPdf() const
{
    if (!HaveGuiApplication() || FWidth <= 0 || FHeight <= 0) return std::string();
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
        DrawAll(painter, *this, true);
    }
    const QByteArray bytes = buffer.data();
    return std::string(bytes.constData(), size_t(bytes.size()));
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
    if (!HaveGuiApplication()) return;
    QPainter painter(&image);
    painter.scale(Scale, Scale);
    // Sharp edges as on the screen (every coordinate lands on whole pixels at a whole scale),
    // smoothed text.
    DrawAll(painter, *this, false);
}
