// Which format a chart file is written in: the extension typed, or the filter chosen.
#include "project/ChartFormats.h"

#include <gtest/gtest.h>

TEST(ChartFormats, TheExtensionDecidesAndTheFilterGivesThePngScale)
{
    const struct {
        const char* File;
        int Filter;
        const char* Extension;
        int Scale;
    } cases[] = {
        {"a.png", 1, "png", 1}, {"a.png", 2, "png", 2}, {"a.PNG", 3, "png", 3},
        {"a.png", 4, "png", 1},   // a PNG named under the SVG filter: the chart's size
        {"a.svg", 2, "svg", 1}, {"a.Svg", 5, "svg", 1}, {"a.pdf", 1, "pdf", 1},
        {"a", 2, "png", 2}, {"a", 4, "svg", 1}, {"a", 5, "pdf", 1},
        {"a.txt", 4, "svg", 1}, {"a.txt", 3, "png", 3}, {"a.txt", 0, "png", 1}, {"a.txt", 9, "png", 1},
        {"dir.pdf/a", 5, "pdf", 1}, {"dir.svg/a.png", 4, "png", 1},
    };
    for (const auto& c : cases) {
        const TChartFormat& f = ChartFormatFor(c.File, c.Filter);
        EXPECT_STREQ(f.Extension, c.Extension) << c.File << " " << c.Filter;
        EXPECT_EQ(f.Scale, c.Scale) << c.File << " " << c.Filter;
    }
    EXPECT_EQ(ChartFormatsFilter(), "PNG image (*.png)|*.png|PNG image, twice the size (*.png)|*.png|"
                                    "PNG image, three times the size (*.png)|*.png|SVG drawing (*.svg)|*.svg|"
                                    "PDF document (*.pdf)|*.pdf");
}
