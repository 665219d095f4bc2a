// The chart's pictures for files and the clipboard: the vector picture recorded beside the raster,
// SVG and PDF made from it, PNG at a scale, stamped markers and turned text on the canvas.
#include "platform/Chart.h"
#include "platform/ChartPaint.h"
#include "platform/VectorPicture.h"
#include "tests/TempFolder.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr TColor LineColour = RGB(0, 0, 200), MarkColour = RGB(200, 0, 0), RoundColour = RGB(0, 130, 0);

// A chart with a line, a triangle and a circle series, the axes titled.
struct TExportChart {
    TChart Chart{nullptr};
    TFastLineSeries* Line;
    TPointSeries* Marks;
    TPointSeries* Rounds;
    TExportChart(int W = 420, int H = 280)
    {
        Chart.SetBounds(0, 0, W, H);
        Chart.SetColor(clWhite);
        Chart.GetLeftAxis()->GetTitle()->SetCaption("Time / min");
        Chart.GetBottomAxis()->GetTitle()->SetCaption("Selector concentration");
        Line = new TFastLineSeries(&Chart);
        Line->SetSeriesColor(LineColour);
        Line->SetTitle("line");
        Chart.AddSeries(Line);
        Marks = new TPointSeries(&Chart);
        Marks->GetPointer()->SetStyle(psTriangle);
        Marks->SetSeriesColor(MarkColour);
        Marks->SetTitle("t1 [min]");
        Chart.AddSeries(Marks);
        Rounds = new TPointSeries(&Chart);
        Rounds->GetPointer()->SetStyle(psCircle);
        Rounds->SetSeriesColor(RoundColour);
        Rounds->SetTitle("R");
        Chart.AddSeries(Rounds);
        // Apart from each other, so that no series covers another's pixels.
        for (int i = 0; i <= 10; ++i) {
            Line->AddXY(i, 1 + 0.1 * i);
            Marks->AddXY(i, 9 + 0.01 * i * i);
            Rounds->AddXY(i, 5 + 0.05 * i);
        }
    }
};

// Every number pair "x,y" of an SVG points list or path.
std::vector<TVectorPoint> PointsOf(const QString& List)
{
    std::vector<TVectorPoint> pts;
    static const QRegularExpression pair(QStringLiteral("(-?[0-9.]+),(-?[0-9.]+)"));
    for (auto it = pair.globalMatch(List); it.hasNext();) {
        const auto m = it.next();
        pts.push_back({m.captured(1).toDouble(), m.captured(2).toDouble()});
    }
    return pts;
}

struct TSvgShapes {
    bool WellFormed = false;
    std::vector<std::pair<QString, std::vector<TVectorPoint>>> Lines;  // stroke colour, points
    std::vector<std::pair<QString, std::vector<TVectorPoint>>> Paths;  // fill colour, points
    std::vector<std::pair<QString, TVectorPoint>> Circles;            // fill colour, centre
};

// Reads the SVG, keeping the colours of the enclosing groups.
TSvgShapes ReadSvg(const std::string& Svg)
{
    TSvgShapes out;
    QXmlStreamReader xml(QByteArray::fromStdString(Svg));
    std::vector<std::pair<QString, QString>> groups;  // stroke, fill
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto a = xml.attributes();
            const QString name = xml.name().toString();
            if (name == QLatin1String("g")) {
                groups.emplace_back(a.value(QLatin1String("stroke")).toString(), a.value(QLatin1String("fill")).toString());
                continue;
            }
            const QString stroke = groups.empty() ? QString() : groups.back().first;
            const QString fill = groups.empty() ? QString() : groups.back().second;
            if (name == QLatin1String("polyline"))
                out.Lines.emplace_back(stroke, PointsOf(a.value(QLatin1String("points")).toString()));
            else if (name == QLatin1String("path"))
                out.Paths.emplace_back(fill, PointsOf(a.value(QLatin1String("d")).toString()));
            else if (name == QLatin1String("circle"))
                out.Circles.emplace_back(fill, TVectorPoint{a.value(QLatin1String("cx")).toDouble(),
                                                            a.value(QLatin1String("cy")).toDouble()});
        } else if (xml.isEndElement() && xml.name() == QLatin1String("g") && !groups.empty()) {
            groups.pop_back();
        }
    }
    out.WellFormed = !xml.hasError();
    return out;
}

QString Hex(TColor C)
{
    return QStringLiteral("#%1%2%3")
        .arg(GetRValue(C), 2, 16, QLatin1Char('0'))
        .arg(GetGValue(C), 2, 16, QLatin1Char('0'))
        .arg(GetBValue(C), 2, 16, QLatin1Char('0'));
}

// The pixel a vector coordinate through pixel centres stands for.
TPoint PixelOf(const TVectorPoint& P) { return TPoint(int(std::floor(P.X)), int(std::floor(P.Y))); }

int Darkness(TColor C) { return 765 - GetRValue(C) - GetGValue(C) - GetBValue(C); }

}  // namespace

TEST(ChartExport, SvgShapesLieOnTheRasterChartsPixels)
{
    TExportChart t;
    TBitmap screen(420, 280);
    t.Chart.PaintTo(screen.GetCanvas(), TRect(0, 0, 420, 280));
    const TSvgShapes svg = ReadSvg(t.Chart.SvgText());
    ASSERT_TRUE(svg.WellFormed);

    // The line series: one polyline whose corners are pixels of the line on screen.
    int lineCorners = 0;
    for (const auto& [stroke, pts] : svg.Lines) {
        if (stroke != Hex(LineColour)) continue;
        for (size_t i = 0; i + 1 < pts.size(); ++i) {
            const TPoint p = PixelOf(pts[i]);
            EXPECT_EQ(screen.GetCanvas()->GetPixel(p.X, p.Y), LineColour) << p.X << "," << p.Y;
            ++lineCorners;
        }
    }
    // Ten corners of the curve and the start of the legend's sample.
    EXPECT_EQ(lineCorners, 10 + 1);
    // Triangles: their corners are outline pixels of the markers on screen.
    int triangles = 0;
    for (const auto& [fill, pts] : svg.Paths) {
        if (fill != Hex(MarkColour) || pts.size() < 3) continue;
        ++triangles;
        for (const TVectorPoint& v : pts) {
            const TPoint p = PixelOf(v);
            EXPECT_EQ(screen.GetCanvas()->GetPixel(p.X, p.Y), Darker(MarkColour)) << p.X << "," << p.Y;
        }
    }
    // The legend's sample adds one.
    EXPECT_EQ(triangles, 11 + 1);
    // Circles: their centres are fill pixels.
    int circles = 0;
    for (const auto& [fill, c] : svg.Circles) {
        if (fill != Hex(RoundColour)) continue;
        ++circles;
        const TPoint p = PixelOf(c);
        EXPECT_EQ(screen.GetCanvas()->GetPixel(p.X, p.Y), RoundColour);
    }
    EXPECT_EQ(circles, 11 + 1);
}

TEST(ChartExport, ZoomedLinesAreCutToThePlotInTheSvg)
{
    TExportChart t;
    t.Chart.GetLegend()->SetVisible(false);
    t.Chart.GetBottomAxis()->SetMinMax(2, 3);
    t.Chart.GetLeftAxis()->SetMinMax(1.2, 1.3);
    const TRect plot = t.Chart.GetChartRect();
    const TSvgShapes svg = ReadSvg(t.Chart.SvgText());
    ASSERT_TRUE(svg.WellFormed);
    int points = 0;
    for (const auto& [stroke, pts] : svg.Lines) {
        if (stroke != Hex(LineColour)) continue;
        for (const TVectorPoint& p : pts) {
            ++points;
            EXPECT_GE(p.X, plot.Left - 3);
            EXPECT_LE(p.X, plot.Right + 3);
            EXPECT_GE(p.Y, plot.Top - 3);
            EXPECT_LE(p.Y, plot.Bottom + 3);
        }
    }
    EXPECT_GT(points, 0);
}

TEST(ChartExport, PdfOpensToAPictureCloseToThePng)
{
    if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftoppm (poppler-utils) is missing";
    TTempFolder dir;
    TExportChart t;
    t.Chart.SaveToPdf(dir.Path("chart.pdf"));
    t.Chart.SaveToPng(dir.Path("chart.png"));
    EXPECT_EQ(ReadFileBytes(dir.Path("chart.pdf")).substr(0, 4), "%PDF");
    const std::string cmd = "pdftoppm -r 96 -png -singlefile '" + dir.Path("chart.pdf") + "' '" + dir.Path("page") + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    TBitmap page, png;
    page.LoadFromFile(dir.Path("page.png"));
    png.LoadFromFile(dir.Path("chart.png"));
    ASSERT_EQ(page.GetWidth(), png.GetWidth());
    ASSERT_EQ(page.GetHeight(), png.GetHeight());
    // Close: the ink of both, compared in 10 x 10 blocks, matches nearly everywhere (the PDF is
    // smoothed at the edges, the screen is not).
    int blocks = 0, close = 0;
    for (int by = 0; by + 10 <= png.GetHeight(); by += 10)
        for (int bx = 0; bx + 10 <= png.GetWidth(); bx += 10) {
            long a = 0, b = 0;
            for (int y = by; y < by + 10; ++y)
                for (int x = bx; x < bx + 10; ++x) {
                    a += Darkness(png.GetCanvas()->GetPixel(x, y));
                    b += Darkness(page.GetCanvas()->GetPixel(x, y));
                }
            ++blocks;
            if (std::abs(a - b) <= 765 * 100 / 8) ++close;
        }
    EXPECT_GE(close, blocks * 97 / 100) << close << " of " << blocks;
}

TEST(ChartExport, ScaledPngIsLargerWithWiderLines)
{
    TExportChart t;
    t.Chart.GetLeftAxis()->GetAxisPen()->SetWidth(2);
    TBitmap one, two, three;
    t.Chart.DrawImage(&one, 1);
    t.Chart.DrawImage(&two, 2);
    t.Chart.DrawImage(&three, 3);
    ASSERT_EQ(two.GetWidth(), 2 * one.GetWidth());
    ASSERT_EQ(two.GetHeight(), 2 * one.GetHeight());
    ASSERT_EQ(three.GetWidth(), 3 * one.GetWidth());
    // The left axis line (with a tick where one meets the row): its thickness across the middle
    // row, counted from the plot's edge.
    auto thickness = [&](TBitmap& b, int s) {
        const TRect p = t.Chart.GetChartRect();
        const int y = (p.Top + p.Bottom) / 2 * s;
        int n = 0;
        for (int x = p.Left * s - 1; x >= 0 && Darkness(b.GetCanvas()->GetPixel(x, y)) > 600; --x) ++n;
        return n;
    };
    const int w1 = thickness(one, 1);
    EXPECT_GE(w1, 2);
    EXPECT_EQ(thickness(two, 2), 2 * w1);
    EXPECT_EQ(thickness(three, 3), 3 * w1);
}

TEST(ChartExport, FailedSavesKeepTheOldFile)
{
    TTempFolder dir;
    TExportChart t;
    const std::string old = "an older picture";
    struct TCase {
        const char* Name;
        std::function<void(const std::string&)> Save;
    };
    const TCase cases[] = {
        {"png", [&](const std::string& f) { t.Chart.SaveToPng(f); }},
        {"png2", [&](const std::string& f) { t.Chart.SaveToPng(f, 2); }},
        {"svg", [&](const std::string& f) { t.Chart.SaveToSvg(f); }},
        {"pdf", [&](const std::string& f) { t.Chart.SaveToPdf(f); }},
    };
    for (const TCase& c : cases) {
        // A folder that does not exist.
        EXPECT_THROW(c.Save(dir.Path("missing/chart")), EFCreateError) << c.Name;
        // A file without write permission keeps its bytes.
        const std::string locked = dir.Path(std::string("locked.") + c.Name);
        WriteFileBytes(locked, old);
        ::chmod(locked.c_str(), 0444);
        EXPECT_THROW(c.Save(locked), EFCreateError) << c.Name;
        EXPECT_EQ(ReadFileBytes(locked), old) << c.Name;
        // A read-only folder keeps an older file (root may write there anyway).
        const std::string sub = dir.Path(std::string("ro-") + c.Name);
        std::filesystem::create_directory(sub);
        const std::string inside = sub + "/chart";
        WriteFileBytes(inside, old);
        ::chmod(sub.c_str(), 0555);
        if (::geteuid() != 0) {
            EXPECT_THROW(c.Save(inside), EFCreateError) << c.Name;
            EXPECT_EQ(ReadFileBytes(inside), old) << c.Name;
        }
        ::chmod(sub.c_str(), 0755);
        // And a good save replaces it whole.
        c.Save(inside);
        EXPECT_NE(ReadFileBytes(inside), old) << c.Name;
    }
}

TEST(CanvasStamps, StampedShapesMatchShapesPaintedInFull)
{
    // On black, the merge mode paints what copy paints, but is never stamped.
    auto paint = [](TBitmap& b, TPenMode Mode, const TRect& Clip, auto&& Draw) {
        b.SetSize(60, 60);
        TCanvas* c = b.GetCanvas();
        c->GetBrush()->SetColor(clBlack);
        c->FillRect(TRect(0, 0, 60, 60));
        c->SetClipRect(Clip);
        c->GetPen()->SetMode(Mode);
        // Merging the brush's colour into the pen's gives the pen's.
        c->GetPen()->SetColor(clWhite);
        c->GetBrush()->SetColor(RGB(10, 250, 10));
        Draw(c);
    };
    struct TCase {
        const char* Name;
        std::function<void(TCanvas*)> Draw;
    };
    const TCase shapes[] = {
        {"triangle", [](TCanvas* c) { const TPoint p[3] = {{20, 34}, {36, 34}, {28, 18}}; c->Polygon(p, 3); }},
        {"diamond", [](TCanvas* c) { const TPoint p[4] = {{28, 20}, {33, 25}, {28, 30}, {23, 25}}; c->Polygon(p, 4); }},
        {"circle", [](TCanvas* c) { c->Ellipse(21, 22, 34, 35); }},
        {"wide circle", [](TCanvas* c) { c->GetPen()->SetWidth(3); c->Ellipse(15, 17, 40, 33); }},
        {"clear pen", [](TCanvas* c) { c->GetPen()->SetStyle(psClear); c->Ellipse(21, 22, 34, 35); }},
        {"clear brush", [](TCanvas* c) { c->GetBrush()->SetStyle(bsClear); const TPoint p[3] = {{20, 34}, {36, 34}, {28, 18}}; c->Polygon(p, 3); }},
    };
    for (const TRect clip : {TRect(0, 0, 60, 60), TRect(0, 0, 27, 29), TRect(25, 24, 60, 60)}) {
        for (const TCase& s : shapes) {
            for (int round = 0; round < 2; ++round) {  // the second draw comes from the cache
                TBitmap stamped, full;
                paint(stamped, pmCopy, clip, s.Draw);
                paint(full, pmMerge, clip, s.Draw);
                int differ = 0;
                for (int y = 0; y < 60; ++y)
                    for (int x = 0; x < 60; ++x)
                        differ += stamped.GetCanvas()->GetPixel(x, y) != full.GetCanvas()->GetPixel(x, y);
                EXPECT_EQ(differ, 0) << s.Name << " clip " << clip.Left << "," << clip.Top;
            }
        }
    }
}

TEST(CanvasText, TurnedTextLiesInItsTurnedCell)
{
    for (const int orientation : {0, 900, 1800, 2700}) {
        TBitmap b(120, 120);
        TCanvas* c = b.GetCanvas();
        c->GetFont()->SetHeight(-16);
        c->GetFont()->SetOrientation(orientation);
        c->GetBrush()->SetStyle(bsClear);
        const TSize cell = c->TextExtent("Rs max");
        ASSERT_GT(cell.cx, cell.cy);
        c->TextOut(60, 60, "Rs max");
        TRect ink(1000, 1000, -1000, -1000);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 120; ++x)
                if (c->GetPixel(x, y) != clWhite) {
                    ink.Left = std::min(ink.Left, x);
                    ink.Top = std::min(ink.Top, y);
                    ink.Right = std::max(ink.Right, x + 1);
                    ink.Bottom = std::max(ink.Bottom, y + 1);
                }
        const TRect expect = orientation == 0      ? TRect(60, 60, 60 + cell.cx, 60 + cell.cy)
                             : orientation == 900  ? TRect(60, 60 - cell.cx, 60 + cell.cy, 60)
                             : orientation == 1800 ? TRect(60 - cell.cx, 60 - cell.cy, 60, 60)
                                                   : TRect(60 - cell.cy, 60, 60, 60 + cell.cx);
        EXPECT_GE(ink.Left, expect.Left) << orientation;
        EXPECT_GE(ink.Top, expect.Top) << orientation;
        EXPECT_LE(ink.Right, expect.Right) << orientation;
        EXPECT_LE(ink.Bottom, expect.Bottom) << orientation;
        // Taller than wide when turned by a quarter.
        const bool quarter = orientation == 900 || orientation == 2700;
        EXPECT_EQ(ink.Height() > ink.Width(), quarter) << orientation;
        // The pen moved along the text.
        const TPoint pen = c->GetPenPos();
        EXPECT_EQ(std::abs(pen.X - 60) + std::abs(pen.Y - 60), cell.cx) << orientation;
    }
}

TEST(VectorPicture, CanvasCallsBecomeShapesInDevicePixels)
{
    TBitmap b(100, 80);
    TVectorPicture picture(100, 80);
    TCanvas* c = b.GetCanvas();
    c->SetPicture(&picture);
    c->SetOrigin(10, 5);
    c->GetBrush()->SetColor(clYellow);
    c->FillRect(TRect(0, 0, 20, 10));
    c->GetPen()->SetStyle(psDot);
    c->GetBrush()->SetStyle(bsClear);
    c->MoveTo(0, 20);
    c->LineTo(200, 20);  // runs out of the raster: cut
    c->GetPen()->SetStyle(psSolid);
    c->GetPen()->SetWidth(2);
    c->MoveTo(0, 30);
    c->LineTo(30, 30);
    c->TextOut(5, 40, "x");
    c->SetPicture(nullptr);
    c->LineTo(40, 40);  // not recorded
    const auto& s = picture.GetShapes();
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].Kind, vsFill);
    EXPECT_EQ(s[0].Points[0].X, 10);
    EXPECT_EQ(s[0].Points[1].Y, 15);
    EXPECT_EQ(s[0].FillPixel, ColorToPixel(clYellow));
    // A thin line through pixel centres, with the canvas's dot pattern, cut near the raster.
    EXPECT_EQ(s[1].Kind, vsLines);
    EXPECT_EQ(s[1].Points[0].X, 10.5);
    EXPECT_EQ(s[1].Points[0].Y, 25.5);
    EXPECT_LE(s[1].Points.back().X, 100 + 3);
    EXPECT_EQ(s[1].Dashes, (std::vector<double>{3, 3}));
    // An even pen runs through pixel corners and ends round.
    EXPECT_EQ(s[2].Points[0].Y, 35);
    EXPECT_TRUE(s[2].RoundEnds);
    EXPECT_EQ(s[2].PenWidth, 2);
    EXPECT_EQ(s[3].Kind, vsText);
    EXPECT_EQ(s[3].Text, "x");
    EXPECT_EQ(s[3].Points[0].X, 15);
}

TEST(CanvasStamps, ManyPlacesDrawWhatAsManyCallsDraw)
{
    const TPoint places[] = {{10, 10}, {30, 12}, {58, 40}, {-3, 20}, {45, 61}, {30, 12}};
    const int n = int(std::size(places));
    const TPoint tri[3] = {{-4, 4}, {4, 4}, {0, -4}};
    const TRect box(-4, -4, 5, 5);
    for (const bool ellipse : {false, true}) {
        for (const bool picture : {false, true}) {
            TBitmap many(64, 64), single(64, 64);
            TVectorPicture pm(64, 64), ps(64, 64);
            for (TBitmap* b : {&many, &single}) {
                TCanvas* c = b->GetCanvas();
                c->SetClipRect(TRect(2, 2, 60, 60));
                c->GetPen()->SetColor(clNavy);
                c->GetBrush()->SetColor(clYellow);
                if (picture) c->SetPicture(b == &many ? &pm : &ps);
            }
            TCanvas* m = many.GetCanvas();
            TCanvas* s = single.GetCanvas();
            if (ellipse) {
                m->Ellipses(box, places, n);
                for (const TPoint& p : places) s->Ellipse(box.Left + p.X, box.Top + p.Y, box.Right + p.X, box.Bottom + p.Y);
            } else {
                m->Polygons(tri, 3, places, n);
                for (const TPoint& p : places) {
                    const TPoint pts[3] = {{tri[0].X + p.X, tri[0].Y + p.Y}, {tri[1].X + p.X, tri[1].Y + p.Y},
                                           {tri[2].X + p.X, tri[2].Y + p.Y}};
                    s->Polygon(pts, 3);
                }
            }
            int differ = 0;
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 64; ++x) differ += m->GetPixel(x, y) != s->GetPixel(x, y);
            EXPECT_EQ(differ, 0) << ellipse << picture;
            EXPECT_EQ(pm.GetShapes().size(), ps.GetShapes().size()) << ellipse << picture;
        }
    }
}

// The SVG's texts keep the extents the chart measured them at in a viewer without the windows'
// font: rendered by rsvg-convert (whose fonts come from fontconfig, which knows no Tahoma; the
// program registers it only for itself), each text ends where the raster's does.
TEST(ChartExport, SvgTextKeepsItsExtentInAnyViewer)
{
    if (!std::filesystem::exists("/usr/bin/rsvg-convert"))
        FAIL() << "rsvg-convert is missing (package librsvg2-bin; tools/setup.sh with CORVANE_TEST_TOOLS=1)";
    const struct {
        const char* Text;
        int Height;
    } texts[] = {{"Diff. coeff. cplx [.1E+9]", -11}, {"t2 [min]  Time difference / min", -11}, {"Time / min", -21}};
    TBitmap raster(400, 120);
    TVectorPicture picture(400, 120);
    TCanvas* c = raster.GetCanvas();
    c->SetPicture(&picture);
    c->Brush->SetStyle(bsClear);
    std::vector<TRect> cells;
    int y = 8;
    for (const auto& t : texts) {
        c->Font->SetHeight(t.Height);
        const TSize size = c->TextExtent(t.Text);
        c->TextOut(10, y, t.Text);
        cells.push_back(TRect(10, y, 10 + size.cx, y + size.cy));
        y += size.cy + 10;
    }
    c->SetPicture(nullptr);
    const TTempFolder folder("corvane-svg");
    const std::string svg = folder.Path("texts.svg"), png = folder.Path("texts.png");
    {
        std::ofstream out(svg, std::ios::binary);
        out << picture.ToSvg();
    }
    ASSERT_EQ(std::system(("/usr/bin/rsvg-convert -b white -o " + png + " " + svg).c_str()), 0);
    TBitmap viewed;
    viewed.LoadFromFile(png);
    ASSERT_EQ(viewed.GetWidth(), 400);
    // The rightmost and leftmost columns with ink in a cell's rows.
    auto inkColumns = [](TBitmap& B, const TRect& Cell) {
        int lo = INT32_MAX, hi = -1;
        for (int yy = Cell.Top; yy < Cell.Bottom; ++yy)
            for (int x = 0; x < B.GetWidth(); ++x)
                if (Darkness(B.GetCanvas()->GetPixel(x, yy)) > 300) {
                    lo = std::min(lo, x);
                    hi = std::max(hi, x);
                }
        return std::make_pair(lo, hi);
    };
    for (size_t i = 0; i < cells.size(); ++i) {
        SCOPED_TRACE(texts[i].Text);
        const auto drawn = inkColumns(raster, cells[i]);
        const auto shown = inkColumns(viewed, cells[i]);
        ASSERT_GE(drawn.second, 0);
        EXPECT_LE(shown.second, cells[i].Right) << "runs out of its cell";
        EXPECT_NEAR(shown.first, drawn.first, 1);
        EXPECT_NEAR(shown.second, drawn.second, 1);
    }
}
