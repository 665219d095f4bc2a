#include "project/ChartFormats.h"

#include "platform/Graphics.h"
#include "platform/IniFilesDisk.h"

namespace {

std::string Png(TChart& Chart, int Scale)
{
    TBitmap image;
    Chart.DrawImage(&image, Scale);
    return image.PngBytes();
}

std::string Svg(TChart& Chart, int)
{
    return Chart.SvgText();
}

std::string Pdf(TChart& Chart, int)
{
    return Chart.PdfBytes();
}

}  // namespace

const TChartFormat ChartFormats[ChartFormatCount] = {
    {"png", "PNG image (*.png)|*.png", 1, Png},
    {"png", "PNG image, twice the size (*.png)|*.png", 2, Png},
    {"png", "PNG image, three times the size (*.png)|*.png", 3, Png},
    {"svg", "SVG drawing (*.svg)|*.svg", 1, Svg},
    {"pdf", "PDF document (*.pdf)|*.pdf", 1, Pdf},
};

UnicodeString ChartFormatsFilter()
{
    UnicodeString filter;
    for (const TChartFormat& f : ChartFormats)
        filter += (filter.empty() ? "" : "|") + UnicodeString(f.Filter);
    return filter;
}

const TChartFormat* ChartFormatOfExtension(const UnicodeString& Extension)
{
    for (const TChartFormat& f : ChartFormats)
        if (Extension == f.Extension)
            return &f;
    return nullptr;
}

const TChartFormat& ChartFormatFor(const UnicodeString& FileName, int FilterIndex)
{
    const TChartFormat& chosen =
        FilterIndex >= 1 && FilterIndex <= ChartFormatCount ? ChartFormats[FilterIndex - 1] : ChartFormats[0];
    UnicodeString extension = LowerCase(ExtractFileExt(FileName));
    if (!extension.empty())
        extension.erase(0, 1);
    const TChartFormat* named = ChartFormatOfExtension(extension);
    if (named == nullptr || extension == chosen.Extension)
        return chosen;
    return *named;
}

void SaveChartAs(TChart& Chart, const TChartFormat& Format, const UnicodeString& FileName)
{
    const std::string bytes = Format.Render(Chart, Format.Scale);
    // No picture without a GUI application.
    if (bytes.empty())
        throw EFCreateError("Cannot create file \"" + FileName + "\"");
    WriteFileAtOnce(FileName, bytes);
}
