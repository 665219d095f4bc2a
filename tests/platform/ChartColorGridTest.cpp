// Heat maps on the chart: the colour grid's cells on the raster and in every picture of the
// chart, the colour scale beside the plot, the viridis colours.
#include "platform/Chart.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

namespace {

// Edges that fall between pixel centres at no particular place, unevenly spaced.
const std::vector<double> XEdges = {0, 0.137, 0.31, 0.52, 0.61, 0.77, 0.905, 1.0};
const std::vector<double> YEdges = {2, 2.4, 3.05, 3.5, 4.2, 5};

// A distinct colour for every cell, none of them a colour the chart uses elsewhere.
TColor CellColour(int I, int J) { return RGB(40 + 25 * I, 60 + 30 * J, 201); }
bool IsCellColour(TColor C)
{
    return GetBValue(C) == 201 && GetRValue(C) >= 40 && (GetRValue(C) - 40) % 25 == 0 && GetGValue(C) >= 60 &&
           (GetGValue(C) - 60) % 30 == 0;
}

struct TGridChart {
    TChart Chart{nullptr};
    TColorGridSeries* Grid;
    TGridChart()
    {
        Chart.SetBounds(0, 0, 420, 300);
        Chart.SetColor(clWhite);
        Chart.GetLegend()->SetVisible(false);
        Grid = new TColorGridSeries(&Chart);
        Chart.AddSeries(Grid);
        std::vector<TColor> cells;
        for (std::size_t j = 0; j + 1 < YEdges.size(); ++j)
            for (std::size_t i = 0; i + 1 < XEdges.size(); ++i) cells.push_back(CellColour(int(i), int(j)));
        Grid->SetGrid(XEdges, YEdges, cells);
    }
    // The cell whose area holds the centre of chart pixel (X, Y), or false.
    bool CellOfPixel(int X, int Y, int& I, int& J)
    {
        return Grid->CellAt(Chart.GetBottomAxis()->CalcPosPoint(X), Chart.GetLeftAxis()->CalcPosPoint(Y), I, J);
    }
};

// CIE lightness L* (0 black to 100 white) of an sRGB colour.
double Lightness(TColor C)
{
    auto linear = [](int v) {
        const double c = v / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double y = 0.2126 * linear(GetRValue(C)) + 0.7152 * linear(GetGValue(C)) + 0.0722 * linear(GetBValue(C));
    return y > 0.008856 ? 116 * std::cbrt(y) - 16 : 903.3 * y;
}

int Distance(TColor A, TColor B)
{
    return std::abs(GetRValue(A) - GetRValue(B)) + std::abs(GetGValue(A) - GetGValue(B)) +
           std::abs(GetBValue(A) - GetBValue(B));
}

}  // namespace

// Every pixel of the plot belongs to exactly the cell over its centre, at the screen's scale and
// drawn two and three times larger (the sharp screen and the large PNGs): the cells meet without
// gaps or overlaps and fill the plot to its last row and column.
TEST(ColorGrid, CellsTileThePlotExactlyAtEveryScale)
{
    TGridChart t;
    for (int scale : {1, 2, 3}) {
        SCOPED_TRACE(scale);
        TBitmap image;
        t.Chart.DrawImage(&image, scale);
        ASSERT_EQ(image.GetWidth(), 420 * scale);
        const TRect plot = t.Chart.GetChartRect();
        int wrong = 0;
        std::set<std::pair<int, int>> seen;
        for (int y = plot.Top * scale; y < plot.Bottom * scale; ++y)
            for (int x = plot.Left * scale; x < plot.Right * scale; ++x) {
                int i = -1, j = -1;
                ASSERT_TRUE(t.CellOfPixel(x / scale, y / scale, i, j)) << x << "," << y;
                seen.insert({i, j});
                if (image.GetCanvas()->GetPixel(x, y) != CellColour(i, j) && ++wrong < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << " is not of cell " << i << "," << j;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(seen.size(), (XEdges.size() - 1) * (YEdges.size() - 1));
        // Nothing of the grid outside the plot.
        for (int y = 0; y < image.GetHeight(); ++y)
            for (int x = 0; x < image.GetWidth(); ++x) {
                if (x >= plot.Left * scale && x < plot.Right * scale && y >= plot.Top * scale && y < plot.Bottom * scale)
                    continue;
                ASSERT_FALSE(IsCellColour(image.GetCanvas()->GetPixel(x, y))) << x << "," << y;
            }
    }
}

// The drawings show every cell in its colour: at the centre of each cell, the SVG as a viewer
// renders it and the PDF as a reader shows it have the cell's colour.
TEST(ColorGrid, SvgAndPdfShowEveryCell)
{
    struct Row {
        const char* Name;
        const char* Tool;
        std::function<std::string(TChart&)> Bytes;
        std::function<std::string(const std::string&, const std::string&)> Command;
    };
    const Row rows[] = {
        {"svg", "/usr/bin/rsvg-convert", [](TChart& c) { return c.SvgText(); },
         [](const std::string& in, const std::string& out) { return "/usr/bin/rsvg-convert -b white -o '" + out + "' '" + in + "'"; }},
        {"pdf", "/usr/bin/pdftoppm", [](TChart& c) { return c.PdfBytes(); },
         [](const std::string& in, const std::string& out) {
             return "/usr/bin/pdftoppm -r 96 -png -singlefile '" + in + "' '" + out.substr(0, out.size() - 4) + "'";
         }},
    };
    TGridChart t;
    TTempFolder dir;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Name);
        if (!std::filesystem::exists(r.Tool)) FAIL() << r.Tool << " is missing (tools/setup.sh with CORVANE_TEST_TOOLS=1)";
        const std::string in = dir.Path(std::string("map.") + r.Name), out = dir.Path(std::string(r.Name) + ".png");
        {
            std::ofstream f(in, std::ios::binary);
            f << r.Bytes(t.Chart);
        }
        ASSERT_EQ(std::system(r.Command(in, out).c_str()), 0);
        TBitmap shown;
        shown.LoadFromFile(out);
        ASSERT_EQ(shown.GetWidth(), 420);
        for (int j = 0; j + 1 < int(YEdges.size()); ++j)
            for (int i = 0; i + 1 < int(XEdges.size()); ++i) {
                const int x = t.Chart.GetBottomAxis()->CalcXPosValue((XEdges[i] + XEdges[i + 1]) / 2);
                const int y = t.Chart.GetLeftAxis()->CalcYPosValue((YEdges[j] + YEdges[j + 1]) / 2);
                EXPECT_LE(Distance(shown.GetCanvas()->GetPixel(x, y), CellColour(i, j)), 6) << i << "," << j;
            }
    }
}

// An undefined cell shows the plot's background; a zoomed view cuts the cells at the plot.
TEST(ColorGrid, UndefinedCellsShowTheBackgroundAndZoomCutsAtThePlot)
{
    TGridChart t;
    std::vector<TColor> cells;
    for (int j = 0; j < 5; ++j)
        for (int i = 0; i < 7; ++i) cells.push_back(i == 3 && j == 2 ? clNone : CellColour(i, j));
    t.Grid->SetGrid(XEdges, YEdges, cells);
    t.Chart.SetBackColor(RGB(250, 250, 240));
    TBitmap image;
    t.Chart.DrawImage(&image, 1);
    const int x = t.Chart.GetBottomAxis()->CalcXPosValue(0.565), y = t.Chart.GetLeftAxis()->CalcYPosValue(3.3);
    EXPECT_EQ(image.GetCanvas()->GetPixel(x, y), RGB(250, 250, 240));

    t.Chart.GetBottomAxis()->SetMinMax(0.4, 0.8);
    t.Chart.GetLeftAxis()->SetMinMax(3, 4);
    t.Chart.DrawImage(&image, 1);
    const TRect plot = t.Chart.GetChartRect();
    int inside = 0;
    for (int yy = 0; yy < image.GetHeight(); ++yy)
        for (int xx = 0; xx < image.GetWidth(); ++xx) {
            const bool cell = IsCellColour(image.GetCanvas()->GetPixel(xx, yy));
            const bool inPlot = xx >= plot.Left && xx < plot.Right && yy >= plot.Top && yy < plot.Bottom;
            if (cell) ++inside;
            ASSERT_TRUE(!cell || inPlot) << xx << "," << yy;
        }
    // All but the undefined cell (a tenth of the view).
    EXPECT_GT(inside, plot.Width() * plot.Height() * 3 / 4);
}

TEST(ColorGrid, GridsThatDoNotFitAreRefusedAndTheOldOneKept)
{
    const double nan = std::nan("");
    struct Row {
        std::vector<double> X, Y;
        std::size_t Cells;
    } rows[] = {
        {{0, 1, 2}, {0, 1}, 3},        // one cell too many
        {{0, 1, 2}, {0, 1}, 1},        // one too few
        {{0}, {0, 1}, 0},              // no column
        {{0, 2, 1}, {0, 1}, 2},        // not increasing
        {{0, 1, 1}, {0, 1}, 2},        // an empty column
        {{0, nan, 2}, {0, 1}, 2},      // not finite
        {{0, 1}, {0, INFINITY}, 1},    // not finite
    };
    TGridChart t;
    for (const Row& r : rows) {
        EXPECT_THROW(t.Grid->SetGrid(r.X, r.Y, std::vector<TColor>(r.Cells, clRed)), EListError);
        EXPECT_EQ(t.Grid->Columns(), 7);
        EXPECT_EQ(t.Grid->CellColor(6, 4), CellColour(6, 4));
    }
    EXPECT_THROW(t.Grid->CellColor(7, 0), EListError);
    // The automatic axes show the grid whole.
    EXPECT_EQ(t.Chart.GetBottomAxis()->GetMinimum(), 0);
    EXPECT_EQ(t.Chart.GetBottomAxis()->GetMaximum(), 1);
    EXPECT_EQ(t.Chart.GetLeftAxis()->GetMinimum(), 2);
    EXPECT_EQ(t.Chart.GetLeftAxis()->GetMaximum(), 5);
}

// The colour scale takes room right of the plot; its bar runs from the first colour at the
// bottom to the last at the top, with labelled ticks.
TEST(ColorGrid, ColourScaleBarBesideThePlot)
{
    TGridChart t;
    const TRect before = t.Chart.GetChartRect();
    TChartColorScale* s = t.Chart.GetColorScale();
    std::vector<TColor> colours;
    for (int k = 0; k < 256; ++k) colours.push_back(ViridisColor(k / 255.0));
    s->SetColors(colours);
    s->SetRange(0, 3);
    s->SetTitle("Rs");
    s->SetVisible(true);
    const TRect plot = t.Chart.GetChartRect();
    EXPECT_LT(plot.Right, before.Right - 30);
    TBitmap image;
    t.Chart.DrawImage(&image, 1);
    // The bar: the first column right of the plot whose middle row is a scale colour.
    int bar = -1;
    const int mid = (plot.Top + plot.Bottom) / 2;
    for (int x = plot.Right + 1; x < image.GetWidth() && bar < 0; ++x)
        if (Distance(image.GetCanvas()->GetPixel(x, mid), ViridisColor(0.5)) < 20) bar = x;
    ASSERT_GT(bar, plot.Right);
    EXPECT_EQ(image.GetCanvas()->GetPixel(bar + 2, plot.Bottom - 1), colours.front());
    EXPECT_EQ(image.GetCanvas()->GetPixel(bar + 2, plot.Top), colours.back());
    // Lightness rises upwards along the bar (to the rounding of the table's 8 bits).
    auto light = [&](int y) { return Lightness(image.GetCanvas()->GetPixel(bar + 2, y)); };
    for (int y = plot.Top + 1; y < plot.Bottom; ++y) ASSERT_LE(light(y), light(y - 1) + 0.05) << y;
    s->SetVisible(false);
    EXPECT_EQ(t.Chart.GetChartRect().Right, before.Right);
}

TEST(ColorGrid, ColourOfAValueOnTheScale)
{
    TChart chart(nullptr);
    TChartColorScale* s = chart.GetColorScale();
    EXPECT_EQ(s->ColorOf(1), clNone);  // no colours
    s->SetColors({clRed, clLime, clBlue, clYellow});
    s->SetRange(1, 3);
    const struct {
        double Value;
        TColor Colour;
    } rows[] = {
        {1, clRed}, {1.49, clRed}, {1.51, clLime}, {2.01, clBlue}, {3, clYellow},
        {-5, clRed}, {1e300, clYellow}, {std::nan(""), clNone},
    };
    for (const auto& r : rows) EXPECT_EQ(s->ColorOf(r.Value), r.Colour) << r.Value;
}

// The published table's ends and middle, and its lightness rising all the way in small, even
// steps (the scale reads in grey as well as in colour, and no band looks like an edge).
TEST(ColorGrid, ViridisColours)
{
    EXPECT_EQ(ViridisColor(0), RGB(0x44, 0x01, 0x54));
    EXPECT_EQ(ViridisColor(128 / 255.0), RGB(0x21, 0x91, 0x8C));
    EXPECT_EQ(ViridisColor(1), RGB(0xFD, 0xE7, 0x25));
    EXPECT_EQ(ViridisColor(std::nan("")), clNone);
    for (int k = 1; k < 256; ++k) {
        const double step = Lightness(ViridisColor(k / 255.0)) - Lightness(ViridisColor((k - 1) / 255.0));
        EXPECT_GT(step, -0.05) << k;
        EXPECT_LT(step, 0.7) << k;
    }
    EXPECT_NEAR(Lightness(ViridisColor(1)) - Lightness(ViridisColor(0)), 76, 1);
}
