#include "project/DependencyChart.h"
#include "platform/Chart.h"
#include "platform/ChartPaint.h"
#include "platform/VectorPicture.h"
#include "tests/TempFolder.h"
#include "tests/platform/ChartAxisChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

namespace {

int CountPixels(TBitmap& bmp, TColor color, const TRect& area)
{
    int n = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if (bmp.GetCanvas()->GetPixel(x, y) == color) ++n;
    return n;
}

TRect Whole(const TBitmap& bmp) { return TRect(0, 0, bmp.GetWidth(), bmp.GetHeight()); }

// A chart with a triangle series on the left axis and a circle series on the right.
struct TwoAxesChart {
    TChart Chart{nullptr};
    TPointSeries* Times;
    TPointSeries* Measure;
    TwoAxesChart()
    {
        Chart.SetBounds(0, 0, 640, 400);
        Chart.SetColor(clWhite);
        Times = new TPointSeries(&Chart);
        Times->GetPointer()->SetStyle(psTriangle);
        Times->SetSeriesColor(RGB(200, 0, 0));
        Chart.AddSeries(Times);
        Measure = new TPointSeries(&Chart);
        Measure->GetPointer()->SetStyle(psCircle);
        Measure->SetSeriesColor(RGB(0, 0, 200));
        Measure->SetVertAxis(aRightAxis);
        Chart.AddSeries(Measure);
        for (int i = 0; i <= 20; ++i) {
            const double c = i * 2.5;
            Times->AddXY(c, 4 + 3 * c / (c + 10));
            Measure->AddXY(c, 0.05 + 0.01 * i);
        }
    }
};

}  // namespace

TEST(ChartDraw, MarkersLandAtThePixelsOfTheAxisConversion)
{
    TwoAxesChart t;
    const std::string path = ::testing::TempDir() + "chart_markers.png";
    TBitmap png;
    TChartAxis* bottom = t.Chart.GetBottomAxis();
    // Each series alone, so that the curves' crossing hides nothing.
    for (TPointSeries* s : {t.Times, t.Measure}) {
        t.Times->SetActive(s == t.Times);
        t.Measure->SetActive(s == t.Measure);
        t.Chart.SaveToPng(path);
        png.LoadFromFile(path);
        std::remove(path.c_str());
        ASSERT_EQ(png.GetWidth(), 640);
        ASSERT_EQ(png.GetHeight(), 400);
        TChartAxis* v = s->GetVertAxisObject();
        for (int i = 0; i < s->Count(); ++i) {
            const int x = bottom->CalcXPosValue(s->XValue(i));
            const int y = v->CalcYPosValue(s->YValue(i));
            EXPECT_EQ(png.GetCanvas()->GetPixel(x, y), s->GetSeriesColor()) << i;
        }
    }
    // Triangles point up: the row above the centre is narrower than the row below.
    t.Times->SetActive(true);
    t.Measure->SetActive(false);
    TBitmap bmp(640, 400);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    const int x = bottom->CalcXPosValue(t.Times->XValue(10));
    const int y = t.Chart.GetLeftAxis()->CalcYPosValue(t.Times->YValue(10));
    auto width = [&](int row) {
        int n = 0;
        for (int dx = -6; dx <= 6; ++dx) {
            const TColor c = bmp.GetCanvas()->GetPixel(x + dx, row);
            if (GetRValue(c) >= 100 && GetGValue(c) < 60) ++n;
        }
        return n;
    };
    EXPECT_LT(width(y - 3), width(y + 3));
    EXPECT_EQ(width(y + 4), 9);
}

TEST(ChartDraw, InactiveSeriesAreNotDrawnAndRecolouringRecoloursPoints)
{
    TwoAxesChart t;
    TBitmap bmp(640, 400);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    // The plot and the axes, below the legend.
    const TRect plot = t.Chart.GetChartRect();
    const TRect area(0, plot.Top - 6, 640, 400);
    EXPECT_GT(CountPixels(bmp, RGB(200, 0, 0), area), 21 * 10);
    t.Times->SetActive(false);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_EQ(CountPixels(bmp, RGB(200, 0, 0), area), 0);
    EXPECT_GT(CountPixels(bmp, RGB(0, 0, 200), area), 21 * 10);
    t.Measure->SetSeriesColor(RGB(0, 150, 0));
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_EQ(CountPixels(bmp, RGB(0, 0, 200), Whole(bmp)), 0);
    EXPECT_GT(CountPixels(bmp, RGB(0, 150, 0), area), 21 * 10);
}

TEST(ChartDraw, PointsOutsideAZoomAreNotDrawn)
{
    TwoAxesChart t;
    t.Chart.GetBottomAxis()->SetMinMax(20, 30);
    t.Chart.GetLeftAxis()->SetMinMax(0, 100);
    TBitmap bmp(640, 400);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    const TRect plot = t.Chart.GetChartRect();
    // Points at 20, 22.5, 25, 27.5 and 30 only; none spills beyond the plot's sides.
    const TRect leftOfPlot(0, plot.Top, plot.Left - 8, plot.Bottom);
    EXPECT_EQ(CountPixels(bmp, RGB(200, 0, 0), leftOfPlot), 0);
    const TRect rightOfPlot(plot.Right + 8, plot.Top, 640, plot.Bottom);
    EXPECT_EQ(CountPixels(bmp, RGB(200, 0, 0), rightOfPlot), 0);
    const int inside = CountPixels(bmp, RGB(200, 0, 0), Whole(bmp));
    t.Chart.GetBottomAxis()->SetMinMax(0, 50);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_GT(CountPixels(bmp, RGB(200, 0, 0), Whole(bmp)), inside * 3);
}

TEST(ChartDraw, CrossHairRepaintsOnlyTheOverlay)
{
    TwoAxesChart t;
    auto* horiz = new TFastLineSeries(&t.Chart);
    horiz->SetOverlay(true);
    horiz->SetShowInLegend(false);
    horiz->GetLinePen()->SetColor(clRed);
    horiz->GetLinePen()->SetStyle(psDash);
    horiz->GetLinePen()->SetWidth(2);
    t.Chart.AddSeries(horiz);
    TBitmap bmp(640, 400);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    const int renders = t.Chart.PlotRenderCount();
    const TRect plot = t.Chart.GetChartRect();
    TChartAxis* left = t.Chart.GetLeftAxis();
    TChartAxis* bottom = t.Chart.GetBottomAxis();
    const double yv = left->CalcPosPoint(plot.Top + 40);
    horiz->AddXY(bottom->GetMinimum(), yv);
    horiz->AddXY(bottom->GetMaximum(), yv);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_EQ(t.Chart.PlotRenderCount(), renders);
    const int row = left->CalcYPosValue(yv);
    const int red = CountPixels(bmp, clRed, TRect(plot.Left, row, plot.Right, row + 1));
    // Dashed: mostly red, with gaps; two pixels thick; nothing beyond the plot.
    EXPECT_GT(red, plot.Width() / 2);
    EXPECT_LT(red, plot.Width() - 20);
    EXPECT_EQ(CountPixels(bmp, clRed, TRect(plot.Left, row - 1, plot.Right, row + 3)), 2 * red);
    EXPECT_EQ(CountPixels(bmp, clRed, TRect(0, row, plot.Left - 2, row + 1)), 0);
    // Moving it leaves nothing behind.
    horiz->Clear();
    const double yv2 = left->CalcPosPoint(plot.Top + 120);
    horiz->AddXY(bottom->GetMinimum(), yv2);
    horiz->AddXY(bottom->GetMaximum(), yv2);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_EQ(t.Chart.PlotRenderCount(), renders);
    EXPECT_EQ(CountPixels(bmp, clRed, TRect(plot.Left, row, plot.Right, row + 1)), 0);
    // Data of an ordinary series renders the plot again.
    t.Times->AddXY(51, 6);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_EQ(t.Chart.PlotRenderCount(), renders + 1);
}

TEST(ChartDraw, ZoomRectangleIsDrawnWithTheZoomPenWhileDragging)
{
    TwoAxesChart t;
    t.Chart.GetZoomPen()->SetColor(RGB(1, 2, 3));
    t.Chart.GetZoomPen()->SetWidth(2);
    TBitmap bmp(640, 400);
    t.Chart.SetDragRect(TRect(100, 80, 300, 200));
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    const int n = CountPixels(bmp, RGB(1, 2, 3), Whole(bmp));
    EXPECT_GT(n, 2 * 2 * (200 + 120) / 3);
    EXPECT_EQ(CountPixels(bmp, RGB(1, 2, 3), TRect(102, 82, 298, 198)), 0);  // only a frame
    t.Chart.ClearDragRect();
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_EQ(CountPixels(bmp, RGB(1, 2, 3), Whole(bmp)), 0);
}

namespace {

// Three dependencies as the main window shows them: six triangle series on the left axis, three
// circle series on the right, the first dependency's series in the legend, a two-line title.
struct TThreeDependencies {
    TChart Chart{nullptr};
    TThreeDependencies()
    {
        Chart.SetBounds(0, 0, 846, 437);
        DressDependencyChart(&Chart);
        Chart.GetTitle()->GetText()->Put(0, "/home/chemist/projects/cyclodextrin-screen.ini");
        Chart.GetTitle()->GetText()->Add("Neutral selector, pH 2.5");
        Chart.GetRightAxis()->GetTitle()->SetCaption("Mobility dif. / 1E-9 m.m/V/s");
        const TColor colours[3] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(235, 235, 255)};
        for (int d = 0; d < 3; ++d) {
            TPointSeries* s[3];
            const TSeriesPointerStyle styles[3] = {psTriangle, psDownTriangle, psCircle};
            const char* titles[3] = {"t1 [min]", "t2 [min]", "Mobility dif. / 1E-9 m.m/V/s"};
            for (int k = 0; k < 3; ++k) {
                s[k] = new TPointSeries(&Chart);
                s[k]->GetPointer()->SetStyle(styles[k]);
                s[k]->GetPointer()->SetSize(4);
                s[k]->SetTitle(titles[k]);
                s[k]->SetShowInLegend(d == 0);
                s[k]->SetSeriesColor(colours[d]);
                s[k]->GetPen()->SetColor(colours[d]);
                if (k == 2) s[k]->SetVertAxis(aRightAxis);
                Chart.AddSeries(s[k]);
            }
            const double K1 = 0.2 + 0.1 * d, K2 = 0.5 + 0.15 * d;
            for (int i = 0; i <= 100; ++i) {
                const double c = i * 0.5;
                const double t1 = 60 * 0.4 / (1e-3 * (25 - 10 * c * K1 / (1 + c * K1)) + 1e-4 * d);
                const double t2 = 60 * 0.4 / (1e-3 * (25 - 12 * c * K2 / (1 + c * K2)) + 1e-4 * d);
                s[0]->AddXY(c, t1 / 60);
                s[1]->AddXY(c, t2 / 60);
                s[2]->AddXY(c, std::fabs(t2 - t1) / 60);
            }
        }
    }
};

}  // namespace

TEST(ChartDraw, ThreeDependenciesLayOutWithoutOverlaps)
{
    TThreeDependencies t;
    TBitmap bmp(846, 437);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    if (const char* dir = std::getenv("CORVANE_CHART_PNG_DIR")) {
        bmp.SaveToFile(std::string(dir) + "/three_dependencies.png");
        // With a cross-hair and a zoom rectangle being dragged.
        auto* horiz = new TFastLineSeries(&t.Chart);
        auto* vert = new TFastLineSeries(&t.Chart);
        for (TFastLineSeries* s : {horiz, vert}) {
            s->SetOverlay(true);
            s->SetShowInLegend(false);
            s->GetLinePen()->SetColor(clRed);
            s->GetLinePen()->SetStyle(psDash);
            s->GetLinePen()->SetWidth(2);
            t.Chart.AddSeries(s);
        }
        TChartAxis* b = t.Chart.GetBottomAxis();
        TChartAxis* l = t.Chart.GetLeftAxis();
        horiz->AddXY(b->GetMinimum(), 23);
        horiz->AddXY(b->GetMaximum(), 23);
        vert->AddXY(17, l->GetMinimum());
        vert->AddXY(17, l->GetMaximum());
        t.Chart.SetDragRect(TRect(300, 120, 500, 250));
        t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
        bmp.SaveToFile(std::string(dir) + "/three_dependencies_overlay.png");
        t.Chart.ClearDragRect();
        t.Chart.ZoomRect(TRect(300, 120, 500, 250));
        t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
        bmp.SaveToFile(std::string(dir) + "/three_dependencies_zoomed.png");
        t.Chart.UndoZoom();
        t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    }
    const TRect plot = t.Chart.GetChartRect();
    // The plot leaves room for labels and titles on every side.
    EXPECT_GT(plot.Left, 60);
    EXPECT_LT(plot.Right, 846 - 50);
    EXPECT_LT(plot.Bottom, 437 - 40);
    EXPECT_GT(plot.Top, 50);
    // Nothing is drawn in the outer margin: labels are not cut at the chart's edges.
    const TColor back = ColorToRGB(clWindow);
    const int w = bmp.GetWidth(), h = bmp.GetHeight();
    EXPECT_EQ(CountPixels(bmp, back, TRect(0, 0, w, 3)), w * 3);
    EXPECT_EQ(CountPixels(bmp, back, TRect(0, h - 3, w, h)), w * 3);
    EXPECT_EQ(CountPixels(bmp, back, TRect(0, 0, 3, h)), h * 3);
    EXPECT_EQ(CountPixels(bmp, back, TRect(w - 3, 0, w, h)), h * 3);
}

TEST(ChartDraw, LookChangesRenderThePlotAgainOverlayChangesDoNot)
{
    TwoAxesChart t;
    auto* cross = new TFastLineSeries(&t.Chart);
    cross->SetOverlay(true);
    cross->SetShowInLegend(false);
    t.Chart.AddSeries(cross);
    TBitmap bmp(640, 400);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    int renders = t.Chart.PlotRenderCount();
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_EQ(t.Chart.PlotRenderCount(), renders);
    cross->GetLinePen()->SetColor(clBlue);
    cross->SetActive(false);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_EQ(t.Chart.PlotRenderCount(), renders);
    t.Chart.GetTitle()->GetText()->Add("project.ini");
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_EQ(t.Chart.PlotRenderCount(), ++renders);
    t.Chart.GetLeftAxis()->GetLabelsFont()->SetHeight(-16);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_EQ(t.Chart.PlotRenderCount(), ++renders);
    t.Measure->GetPointer()->SetStyle(psDiamond);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_EQ(t.Chart.PlotRenderCount(), ++renders);
    // Points added to a hidden series change nothing on screen.
    t.Times->SetActive(false);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    ++renders;
    t.Times->AddXY(3, 3);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_EQ(t.Chart.PlotRenderCount(), renders);
}

TEST(ChartDraw, InvalidPointsAreSkippedAndLinesBreakThere)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    TChart chart(nullptr);
    chart.SetBounds(0, 0, 400, 300);
    chart.SetColor(clWhite);
    auto* line = new TFastLineSeries(&chart);
    line->SetSeriesColor(RGB(0, 0, 255));
    line->SetXValuesOrder(loNone);
    chart.AddSeries(line);
    line->AddXY(0, 0);
    line->AddXY(1, 1);
    line->AddXY(2, nan);
    line->AddXY(3, 0);
    line->AddXY(4, 1);
    TBitmap bmp(400, 300);
    chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    TChartAxis* b = chart.GetBottomAxis();
    TChartAxis* l = chart.GetLeftAxis();
    // The segments 0-1 and 3-4 are drawn; nothing joins 1 to 3 across the gap. A diagonal
    // segment may pass a pixel beside the rounded midpoint, so look at its neighbours too.
    auto blueNear = [&](double x, double y) {
        const int px = b->CalcXPosValue(x), py = l->CalcYPosValue(y);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (bmp.GetCanvas()->GetPixel(px + dx, py + dy) == RGB(0, 0, 255))
                    return true;
        return false;
    };
    EXPECT_TRUE(blueNear(0.5, 0.5));
    EXPECT_TRUE(blueNear(3.5, 0.5));
    EXPECT_FALSE(blueNear(2, 0.5));
}

TEST(ChartDraw, ALongTitleIsShortenedInTheMiddleNotCut)
{
    TChart chart(nullptr);
    chart.SetBounds(0, 0, 300, 200);
    chart.SetColor(clWhite);
    chart.GetTitle()->GetFont()->SetColor(clBlack);
    chart.GetTitle()->GetText()->Add("/home/chemist/projects/2026/capillary-electrophoresis/"
                                     "cyclodextrins/beta/screening-with-a-very-long-name.ini");
    TBitmap bmp(300, 200);
    chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    const int h = 30;  // the title line
    EXPECT_EQ(CountPixels(bmp, clWhite, TRect(0, 0, 5, h)), 5 * h);
    EXPECT_EQ(CountPixels(bmp, clWhite, TRect(295, 0, 300, h)), 5 * h);
    EXPECT_LT(CountPixels(bmp, clWhite, TRect(5, 0, 295, h)), 290 * h);
    // The text itself is kept whole.
    EXPECT_EQ(chart.GetTitle()->GetText()->Get(0).size(), 108u);
}

TEST(ChartDraw, MarkerShapesSpanTheirSizeAndMirrorEachOther)
{
    const TColor fill = RGB(200, 0, 0), edge = RGB(0, 0, 120);
    // The painted cells (dy, dx) around the centre, and how many are outline.
    struct TCells {
        std::vector<std::pair<int, int>> All;
        int Outline = 0;
    };
    auto cells = [&](TSeriesPointerStyle style, int h, int v) {
        TBitmap bmp(41, 41);
        DrawMarker(bmp.GetCanvas(), style, h, v, 20, 20, fill, true, edge);
        TCells c;
        for (int y = 0; y < 41; ++y)
            for (int x = 0; x < 41; ++x) {
                const TColor p = bmp.GetCanvas()->GetPixel(x, y);
                if (p == clWhite) continue;
                c.All.emplace_back(y - 20, x - 20);
                if (p == edge) ++c.Outline;
            }
        std::sort(c.All.begin(), c.All.end());
        return c;
    };
    EXPECT_EQ(cells(psRectangle, 4, 4).All.size(), 81u);
    EXPECT_EQ(cells(psRectangle, 4, 2).All.size(), 45u);
    EXPECT_EQ(cells(psSmallDot, 4, 4).All.size(), 1u);
    // A marker of size 0 is one pixel, in the fill colour.
    EXPECT_EQ(cells(psCircle, 0, 0).All.size(), 1u);
    EXPECT_EQ(cells(psCircle, 0, 0).Outline, 0);
    for (TSeriesPointerStyle style : {psCircle, psTriangle, psDiamond, psStar, psCross, psDiagCross}) {
        const auto c = cells(style, 4, 4).All;
        EXPECT_FALSE(c.empty()) << style;
        bool reachesSide = false;
        for (const auto& [dy, dx] : c) {
            EXPECT_LE(std::abs(dx), 4) << style;
            EXPECT_LE(std::abs(dy), 4) << style;
            reachesSide = reachesSide || std::abs(dx) == 4;
            // Left-right symmetric; a triangle's slanted edges follow the canvas's lines, whose
            // ties fall to one side, so it may be one pixel off.
            const bool mirrored = std::binary_search(c.begin(), c.end(), std::make_pair(dy, -dx));
            const bool nextToMirror = std::binary_search(c.begin(), c.end(), std::make_pair(dy, -dx + 1)) ||
                                      std::binary_search(c.begin(), c.end(), std::make_pair(dy, -dx - 1));
            EXPECT_TRUE(mirrored || (style == psTriangle && nextToMirror)) << style;
        }
        EXPECT_TRUE(reachesSide) << style;
    }
    // The down triangle is the triangle upside down; the circle is round both ways.
    auto up = cells(psTriangle, 4, 4).All;
    for (auto& [dy, dx] : up) dy = -dy;
    std::sort(up.begin(), up.end());
    EXPECT_EQ(up, cells(psDownTriangle, 4, 4).All);
    const auto circle = cells(psCircle, 4, 4).All;
    for (const auto& [dy, dx] : circle)
        EXPECT_TRUE(std::binary_search(circle.begin(), circle.end(), std::make_pair(dx, dy)));
    // The outline of a filled marker surrounds its fill.
    const auto tri = cells(psTriangle, 4, 4);
    EXPECT_GT(tri.Outline, 0);
    EXPECT_LT(tri.Outline, int(tri.All.size()));
}

TEST(ChartDraw, TinySizesAndExtremeValuesDrawWithoutHarm)
{
    TwoAxesChart t;
    t.Times->AddXY(1e300, -1e300);
    t.Measure->AddXY(-1e-300, 1e-300);
    auto* line = new TFastLineSeries(&t.Chart);
    t.Chart.AddSeries(line);
    line->AddXY(-1e308, 1e308);
    line->AddXY(1e308, -1e308);
    for (int w : {1, 2, 7, 30, 90}) {
        for (int h : {1, 3, 25, 70}) {
            TBitmap bmp(w, h);
            t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
            const TRect p = t.Chart.GetChartRect();
            EXPECT_LT(p.Left, p.Right);
            EXPECT_LT(p.Top, p.Bottom);
        }
    }
    // Zoomed far into one point: the lines are clipped, not walked pixel by pixel.
    t.Chart.GetBottomAxis()->SetMinMax(0, 1e-290);
    t.Chart.GetLeftAxis()->SetMinMax(0, 1e-290);
    TBitmap bmp(640, 400);
    t.Chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    EXPECT_EQ(t.Chart.GetBottomAxis()->GetMaximum(), 1e-290);
}

// Ranges of every kind, from the data and fixed, on all three axes: the screen, the PNG at 1x to
// 3x, the SVG and the PDF are drawn with a bounded number of shapes and readable axes.
TEST(ChartDraw, EveryRangePaintsReadableAxesInBoundedWork)
{
    constexpr double kMax = std::numeric_limits<double>::max();
    TTempFolder folder("chart-ranges");
    for (const auto& r : ChartRangeCases) {
        for (bool fixed : {false, true}) {
            SCOPED_TRACE(::testing::Message() << r.Name << (fixed ? ", fixed" : ", from the data"));
            TThreeDependencies t;
            TChart& chart = t.Chart;
            // A line through both ends and far beyond them, with gaps.
            auto* line = new TFastLineSeries(&chart);
            line->SetXValuesOrder(loNone);
            chart.AddSeries(line);
            for (double v : {-kMax, r.Min, std::nan(""), r.Max, kMax, -HUGE_VAL, 5e-324}) line->AddXY(v, v);
            if (fixed) {
                for (TChartAxis* a : {chart.GetBottomAxis(), chart.GetLeftAxis(), chart.GetRightAxis()})
                    a->SetMinMax(r.Min, r.Max);
            } else {
                // Only the ends in the data.
                for (int i = 0; i < chart.SeriesCount(); ++i) {
                    chart.Series(i)->Clear();
                    chart.Series(i)->AddXY(r.Min, r.Min);
                    chart.Series(i)->AddXY(r.Max, r.Max);
                }
            }
            TBitmap screen(846, 437);
            chart.PaintTo(screen.GetCanvas(), Whole(screen));
            ExpectReadableAxes(&chart);

            TVectorPicture picture(846, 437);
            TBitmap raster;
            chart.DrawPicture(&raster, &picture);
            EXPECT_LT(picture.GetShapes().size(), 2000u);
            for (int scale : {1, 2, 3}) {
                TBitmap image;
                chart.DrawImage(&image, scale);
                EXPECT_EQ(image.GetWidth(), 846 * scale);
            }
            EXPECT_LT(chart.SvgText().size(), 600000u);  // text as glyph outlines
            const std::string pdf = folder.Path("chart.pdf");
            chart.SaveToPdf(pdf);
            EXPECT_LT(std::filesystem::file_size(pdf), 400000u);
        }
    }
}

// Minor ticks, legend entries and title lines are drawn only as far as they fit.
TEST(ChartDraw, ManyTicksLegendEntriesAndTitleLinesStayWithinTheChart)
{
    TThreeDependencies t;
    TChart& chart = t.Chart;
    TBitmap bmp(846, 437);
    chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    TVectorPicture ordinary(846, 437);
    TBitmap raster;
    chart.DrawPicture(&raster, &ordinary);

    // A fixed step of a ten-thousandth of the range with a hundred minor ticks each; 10,000
    // legend entries; 10,000 title lines.
    for (TChartAxis* a : {chart.GetBottomAxis(), chart.GetLeftAxis(), chart.GetRightAxis()}) {
        a->SetIncrement((a->GetMaximum() - a->GetMinimum()) / 900);
        a->SetMinorTickCount(100);
    }
    for (int i = 0; i < 10000; ++i) {
        auto* s = new TPointSeries(&chart);
        s->SetTitle("entry " + std::to_string(i));
        chart.AddSeries(s);
    }
    for (int i = 0; i < 10000; ++i) chart.GetTitle()->GetText()->Add("line " + std::to_string(i));
    chart.PaintTo(bmp.GetCanvas(), Whole(bmp));
    TVectorPicture crowded(846, 437);
    chart.DrawPicture(&raster, &crowded);
    EXPECT_LT(crowded.GetShapes().size(), ordinary.GetShapes().size() + 20000);
    int textsBelow = 0;
    for (const TVectorShape& shape : crowded.GetShapes())
        textsBelow += shape.Kind == vsText && shape.Points[0].Y >= 437;
    EXPECT_EQ(textsBelow, 0);
    EXPECT_EQ(chart.GetTitle()->GetText()->Count(), 10002);
}

// A plot of many markers leaves out those painted over by a later one of the same shape on the
// same spot: the pixels are those of drawing every marker, for every marker shape, with and
// without outlines, own point colours, both axes and series drawn on top.
TEST(ChartDraw, LeavingOutCoveredMarkersDrawsTheSamePixels)
{
    const TSeriesPointerStyle styles[] = {psTriangle, psCircle, psDownTriangle, psDiamond, psRectangle,
                                          psCross, psDiagCross, psStar, psSmallDot};
    TChart chart(nullptr);
    chart.SetBounds(0, 0, 500, 320);
    chart.SetColor(clWhite);
    std::vector<TChartSeries*> onTop;
    std::size_t markers = 0;
    for (int s = 0; s < 36; ++s) {
        auto* series = new TPointSeries(&chart);
        series->GetPointer()->SetStyle(styles[s % std::size(styles)]);
        series->GetPointer()->SetHorizSize(2 + s % 3);
        series->GetPointer()->SetVertSize(2 + s % 3);
        series->GetPointer()->GetPen()->SetVisible(s % 4 != 1);
        series->SetSeriesColor(RGB(20 * (s % 12), 255 - 7 * s, 40 + 5 * s));
        if (s % 5 == 2)
            series->SetVertAxis(aRightAxis);
        chart.AddSeries(series);
        // Near curves on a coarse grid: many spots shared by several series.
        for (int i = 0; i <= 700; ++i) {
            const double c = i * 0.03;
            const TColor own = s % 7 == 3 && i % 9 == 0 ? RGB(250, 0, 250) : clTeeColor;
            series->AddXY(c, std::round(40 * (2 + c / (c + 2 + 0.05 * (s % 6)))) / 40, "", own);
            ++markers;
        }
        if (s % 11 == 4)
            onTop.push_back(series);
    }
    chart.DrawOnTop(onTop);
    ASSERT_GE(markers, TChart::MarkerCoverFrom);

    TBitmap covered(500, 320), every(500, 320);
    chart.PaintTo(covered.GetCanvas(), Whole(covered));
    const std::size_t from = TChart::MarkerCoverFrom;
    TChart::MarkerCoverFrom = std::numeric_limits<std::size_t>::max();
    chart.InvalidatePlot();
    chart.PaintTo(every.GetCanvas(), Whole(every));
    TChart::MarkerCoverFrom = from;
    int differ = 0;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 500; ++x)
            differ += covered.GetCanvas()->GetPixel(x, y) != every.GetCanvas()->GetPixel(x, y);
    EXPECT_EQ(differ, 0);
}
