// The chart's pictures for files and the clipboard: PNG at a scale, SVG and PDF, drawn from the
// same plot rendering as the screen.
#include "platform/Chart.h"

#include "platform/IniFilesDisk.h"
#include "platform/VectorPicture.h"

#include <algorithm>

void TChart::DrawPicture(TBitmap* Bitmap, TVectorPicture* Picture)
{
    const int w = std::max(1, GetWidth()), h = std::max(1, GetHeight());
    const TClassicSystemColors printed;  // a light plot, whatever the desktop's theme
    LayOutFor(w, h);
    Bitmap->SetSize(w, h);
    RenderPlotAsShapes(Bitmap->GetCanvas(), Picture);
}

namespace {
// The plot as shapes (drawn on a scratch raster at the same time).
TVectorPicture PictureOf(TChart* Chart)
{
    TVectorPicture picture(std::max(1, Chart->GetWidth()), std::max(1, Chart->GetHeight()));
    TBitmap raster;
    Chart->DrawPicture(&raster, &picture);
    return picture;
}
}  // namespace

void TChart::DrawImage(TBitmap* Bitmap, int Scale)
{
    if (!Bitmap) return;
    if (Scale <= 1) {
        DrawPicture(Bitmap, nullptr);
        return;
    }
    PictureOf(this).DrawTo(Bitmap, std::min(Scale, 3));
}

namespace {
// An empty result means the picture could not be made (no GUI application).
void WriteAtOnce(const UnicodeString& FileName, const std::string& Bytes)
{
    if (Bytes.empty()) throw EFCreateError("Cannot create file \"" + FileName + "\"");
    WriteFileAtOnce(FileName, Bytes);
}
}  // namespace

void TChart::SaveToPng(const UnicodeString& FileName, int Scale)
{
    TBitmap bmp;
    DrawImage(&bmp, Scale);
    bmp.SaveToFile(FileName);
}

std::string TChart::SvgText()
{
    return PictureOf(this).ToSvg();
}

void TChart::SaveToSvg(const UnicodeString& FileName)
{
    WriteAtOnce(FileName, SvgText());
}

std::string TChart::PdfBytes()
{
    return PictureOf(this).ToPdf();
}

void TChart::SaveToPdf(const UnicodeString& FileName)
{
    WriteAtOnce(FileName, PdfBytes());
}
