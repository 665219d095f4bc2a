// Text and PNG files of the canvas through Qt.
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtText.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRawFont>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {


// The ascent and descent of a font's text cell as the original platform measures them: from the
// font file's Windows metrics (OS/2 usWinAscent, usWinDescent), which may differ from the
// typographic ones Qt uses for line spacing. Falls back to Qt's metrics without that table.
struct TCellMetrics {
    double Ascent = 0;  // per pixel of em size
    double Descent = 0;
    bool Valid = false;
};

TCellMetrics CellMetrics(const QFont& Font)
{
    TCellMetrics m;
    const QRawFont raw = QRawFont::fromFont(Font);
    if (!raw.isValid() || raw.unitsPerEm() <= 0) return m;
    const QByteArray os2 = raw.fontTable("OS/2");
    if (os2.size() < 78) return m;
    auto u16 = [&](int o) { return (unsigned(uchar(os2[o])) << 8) | unsigned(uchar(os2[o + 1])); };
    const unsigned ascent = u16(74), descent = u16(76);
    if (ascent + descent == 0) return m;
    m.Ascent = ascent / raw.unitsPerEm();
    m.Descent = descent / raw.unitsPerEm();
    m.Valid = true;
    return m;
}

// The Qt font of a TFont with its text cell. A negative Height is the em size in pixels; a
// positive Height is the cell height (ascent + descent), scaled to the em size by the font's
// own proportions.
struct TCellFont {
    QFont Font;
    int Ascent = 0;
    int Descent = 0;
};

TCellFont MakeFont(const TFont& Font)
{
    RegisterPlatformFonts();
    TCellFont result;
    QFont& f = result.Font;
    f.setFamily(QtControls::ToQ(Font.GetName()));
    const TFontStyles style = Font.GetStyle();
    f.setBold(style.Contains(fsBold));
    f.setItalic(style.Contains(fsItalic));
    f.setUnderline(style.Contains(fsUnderline));
    f.setStrikeOut(style.Contains(fsStrikeOut));
    if (Font.GetPitch() == fpFixed) f.setFixedPitch(true);
    int height = Font.GetHeight();
    if (height == 0) height = -11;
    f.setPixelSize(100);
    TCellMetrics cell = CellMetrics(f);
    if (!cell.Valid) {
        const QFontMetricsF q(f);
        cell.Ascent = q.ascent() / 100.0;
        cell.Descent = q.descent() / 100.0;
    }
    int em = -height;
    if (height > 0) {
        const double perEm = cell.Ascent + cell.Descent;
        em = int(std::lround(height / (perEm > 0 ? perEm : 1.0)));
    }
    em = std::max(1, em);
    f.setPixelSize(em);
    result.Ascent = int(std::lround(em * cell.Ascent));
    result.Descent = int(std::lround(em * cell.Descent));
    return result;
}

// The fonts built last: a chart alternates its title, label and legend fonts on every paint, and
// a window's controls use a few more. Entries stay in place (a returned font stays valid until
// that many other fonts have been asked for); a miss replaces the least recently used one.
struct TFontCacheEntry {
    UnicodeString Name;
    int Height = 0;
    std::uint32_t Style = 0;
    TFontPitch Pitch = fpDefault;
    std::uint64_t LastUse = 0;  // 0: empty
    TCellFont Font;

    bool Holds(const TFont& F) const
    {
        return LastUse != 0 && Name == F.GetName() && Height == F.GetHeight() &&
               Style == F.GetStyle().ToInt() && Pitch == F.GetPitch();
    }
};

const TCellFont& CachedFont(const TFont& Font)
{
    static std::array<TFontCacheEntry, 16> cache;
    static std::uint64_t clock = 0;
    TFontCacheEntry* slot = &cache[0];
    for (TFontCacheEntry& e : cache) {
        if (e.Holds(Font)) {
            e.LastUse = ++clock;
            return e.Font;
        }
        if (e.LastUse < slot->LastUse)
            slot = &e;
    }
    slot->Font = MakeFont(Font);
    slot->Name = Font.GetName();
    slot->Height = Font.GetHeight();
    slot->Style = Font.GetStyle().ToInt();
    slot->Pitch = Font.GetPitch();
    slot->LastUse = ++clock;
    return slot->Font;
}

}  // namespace

bool QtCanvas::HaveGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QRect QtCanvas::DrawCellText(QPainter& Painter, const TFont& Font, TColor Color, const QString& Text)
{
    const TCellFont& font = CachedFont(Font);
    Painter.setFont(font.Font);
    Painter.setPen(QColor(GetRValue(Color), GetGValue(Color), GetBValue(Color)));
    Painter.drawText(QPoint(0, font.Ascent), Text);
    const QFontMetrics m(font.Font);
    const QRect ink = m.boundingRect(Text).translated(0, font.Ascent);
    const int right = std::max(m.horizontalAdvance(Text), ink.right() + 1);
    const int bottom = std::max(font.Ascent + font.Descent, ink.bottom() + 1);
    return QRect(QPoint(std::min(0, ink.left()), std::min(0, ink.top())), QPoint(right - 1, bottom - 1));
}

QPainterPath QtCanvas::CellTextPath(const TFont& Font, const QString& Text)
{
    const TCellFont& font = CachedFont(Font);
    // The font's own outlines, without the hinting of a screen's pixel grid (which would also
    // make them depend on what the process drew before).
    QFont unhinted = font.Font;
    unhinted.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath path;
    path.addText(QPointF(0, font.Ascent), unhinted, Text);
    return path;
}

// Widgets take the same font, em size and cell as text drawn on a canvas.
QFont QtControls::ToQFont(const TFont& Font)
{
    return CachedFont(Font).Font;
}

void RegisterPlatformFonts()
{
    static bool done = false;
    if (done || !QtCanvas::HaveGuiApplication()) return;
    done = true;
    for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
        if (QFile::exists(QString::fromLatin1(file))) QFontDatabase::addApplicationFont(QString::fromLatin1(file));
}

namespace QtCanvas {

TSize TextExtent(const TFont& Font, const UnicodeString& Text)
{
    if (!HaveGuiApplication()) return TSize();
    const TCellFont& font = CachedFont(Font);
    const QFontMetrics m(font.Font);
    return TSize(m.horizontalAdvance(QtControls::ToQ(Text)), font.Ascent + font.Descent);
}

TRect DrawText(const TTarget& Target, int X, int Y, const TFont& Font, TColor Color,
               const UnicodeString& Text, int Quarter)
{
    if (!HaveGuiApplication() || Target.Bits == nullptr || Text.empty()) return TRect();
    const TRect& c = Target.Clip;
    if (c.Right <= c.Left || c.Bottom <= c.Top) return TRect();
    QImage image(reinterpret_cast<uchar*>(Target.Bits), Target.Width, Target.Height,
                 Target.Stride * 4, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setClipRect(QRect(c.Left, c.Top, c.Right - c.Left, c.Bottom - c.Top));
    QTransform turn;
    turn.translate(X, Y);
    turn.rotate(-90.0 * Quarter);
    painter.setTransform(turn);
    const QRect ink = DrawCellText(painter, Font, Color, QtControls::ToQ(Text));
    painter.end();
    // The glyphs may reach beyond the cell (italics, overhangs): report both.
    const QRect box = turn.mapRect(ink);
    return TRect(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
}

bool EncodePng(const std::uint32_t* Bits, int Width, int Height, int Stride, std::string& Bytes)
{
    if (Width <= 0 || Height <= 0 || Bits == nullptr) return false;  // PNG has no empty images
    const QImage image(reinterpret_cast<const uchar*>(Bits), Width, Height, Stride * 4,
                       QImage::Format_RGB32);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return false;
    Bytes.assign(data.constData(), size_t(data.size()));
    return true;
}

bool LoadImage(const UnicodeString& FileName, std::vector<std::uint32_t>& Pixels, int& Width, int& Height)
{
    QImageReader reader(QtControls::ToQ(FileName));
    QImage image = reader.read();
    if (image.isNull()) return false;
    image = image.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * w + x] = row[x] | 0xFF000000u;
    }
    Pixels.swap(pixels);
    Width = w;
    Height = h;
    return true;
}

}  // namespace QtCanvas
