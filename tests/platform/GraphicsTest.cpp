#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QDir>

#include <functional>
#include <random>
#include <set>
#include <string>
#include <utility>

namespace {

// Rows of the bitmap as text: '.' for Background, '#' for Ink, '?' for anything else.
std::string Picture(TBitmap& Bmp, TColor Ink, TColor Background = clWhite)
{
    std::string s;
    for (int y = 0; y < Bmp.GetHeight(); ++y) {
        for (int x = 0; x < Bmp.GetWidth(); ++x) {
            const TColor c = Bmp.Canvas->GetPixel(x, y);
            s += c == Ink ? '#' : c == Background ? '.' : '?';
        }
        s += '\n';
    }
    return s;
}

using PixelSet = std::set<std::pair<int, int>>;

// The pixels a LineTo from A to B paints on a white bitmap big enough for both, in black.
PixelSet LinePixels(TPoint A, TPoint B)
{
    TBitmap bmp(64, 64);
    bmp.Canvas->SetOrigin(32, 32);
    bmp.Canvas->MoveTo(A.X, A.Y);
    bmp.Canvas->LineTo(B.X, B.Y);
    PixelSet s;
    for (int y = -32; y < 32; ++y)
        for (int x = -32; x < 32; ++x)
            if (bmp.Canvas->GetPixel(x, y) == clBlack) s.insert({x, y});
    return s;
}

// Lengths of the runs of equal colour along row Y from X0 to X1 (exclusive), as "18 6 18 ...".
std::string Runs(TCanvas* C, int Y, int X0, int X1)
{
    std::string s;
    int run = 0;
    TColor last = C->GetPixel(X0, Y);
    for (int x = X0; x < X1; ++x) {
        const TColor c = C->GetPixel(x, Y);
        if (c != last) {
            s += std::to_string(run) + ' ';
            run = 0;
            last = c;
        }
        ++run;
    }
    return s + std::to_string(run);
}

}  // namespace

// ----------------------------------------------------------------------------------------------
// Colours

TEST(Colors, RgbAndSystemColorsResolveThroughThePalette)
{
    EXPECT_EQ(RGB(1, 2, 3), 0x030201u);
    EXPECT_EQ(GetRValue(0x030201), 1);
    EXPECT_EQ(GetGValue(0x030201), 2);
    EXPECT_EQ(GetBValue(0x030201), 3);
    EXPECT_EQ(clBtnFace, 0xFF00000Fu);
    EXPECT_EQ(cl3DLight, 0xFF000016u);
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(240, 240, 240));
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGB(160, 160, 160));
    EXPECT_EQ(ColorToRGB(cl3DDkShadow), RGB(105, 105, 105));
    EXPECT_EQ(ColorToRGB(clHighlight), RGB(0, 120, 215));
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(clNone), clNone);

    // A theme change shows in what is drawn next, since colours resolve at draw time.
    TBitmap bmp(4, 1);
    bmp.Canvas->Pen->SetColor(clBtnFace);
    SetSystemColor(15, RGB(30, 30, 30));
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(30, 30, 30));
    bmp.Canvas->MoveTo(0, 0);
    bmp.Canvas->LineTo(4, 0);
    EXPECT_EQ(bmp.Canvas->GetPixel(2, 0), RGB(30, 30, 30));
    SetSystemColor(99, clRed);  // ignored
    ResetSystemColors();
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(240, 240, 240));
}

// ----------------------------------------------------------------------------------------------
// Pens, brushes, fonts

TEST(GraphicsObjects, NotifyOnlyOnChangeAndAssign)
{
    TPen pen;
    int changes = 0;
    pen.OnChange = [&] { ++changes; };
    EXPECT_EQ(pen.GetColor(), clBlack);
    EXPECT_EQ(pen.GetWidth(), 1);
    EXPECT_EQ(pen.GetStyle(), psSolid);
    EXPECT_EQ(pen.GetMode(), pmCopy);
    pen.SetColor(clBlack);
    pen.SetMode(pmCopy);
    EXPECT_EQ(changes, 0);
    pen.SetColor(clRed);
    pen.SetStyle(psDot);
    EXPECT_EQ(changes, 2);

    TPen other;
    other.SetWidth(3);
    other.SetMode(pmXor);
    pen.Assign(&other);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(pen.GetWidth(), 3);
    EXPECT_EQ(pen.GetMode(), pmXor);
    EXPECT_EQ(pen.GetColor(), clBlack);

    TBrush brush;
    EXPECT_EQ(brush.GetColor(), clWhite);
    EXPECT_EQ(brush.GetStyle(), bsSolid);
    try {
        brush.Assign(&pen);
        FAIL() << "assignment across classes must fail";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TPen to a TBrush");
    }
    // Colour and style are independent: restoring them in either order gives the same brush.
    brush.SetStyle(bsClear);
    brush.SetColor(clRed);
    EXPECT_EQ(brush.GetStyle(), bsClear);
}

TEST(GraphicsObjects, FontHeightAndSize)
{
    TFont font;
    EXPECT_EQ(font.GetName(), "Tahoma");
    EXPECT_EQ(font.GetHeight(), -11);
    EXPECT_EQ(font.GetSize(), 8);
    EXPECT_EQ(font.GetColor(), clWindowText);
    EXPECT_TRUE(font.GetStyle().Empty());
    int changes = 0;
    font.OnChange = [&] { ++changes; };
    font.SetSize(12);
    EXPECT_EQ(font.GetHeight(), -16);
    font.SetHeight(-16);
    font.SetStyle(TFontStyles{fsBold, fsUnderline});
    EXPECT_EQ(changes, 2);
    TFont copy;
    copy.Assign(&font);
    EXPECT_EQ(copy.GetSize(), 12);
    EXPECT_TRUE(copy.GetStyle().Contains(fsUnderline));
}

// ----------------------------------------------------------------------------------------------
// Lines

TEST(CanvasLines, BevelOfTenByFiveWithMoveToLineTo)
{
    // A lowered one-pixel mitred frame in (0, 0, 10, 5): top and left in one colour, bottom and
    // right in the other; (9, 0) and (0, 4) belong to the trailing edges.
    TBitmap bmp(10, 5);
    TCanvas* c = bmp.Canvas;
    c->Pen->SetColor(clRed);
    c->MoveTo(8, 0);
    c->LineTo(-1, 0);
    c->MoveTo(0, 0);
    c->LineTo(0, 4);
    c->Pen->SetColor(clBlue);
    c->MoveTo(0, 4);
    c->LineTo(10, 4);
    c->MoveTo(9, 3);
    c->LineTo(9, -1);
    std::string s;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 10; ++x) {
            const TColor p = c->GetPixel(x, y);
            s += p == clRed ? 'L' : p == clBlue ? 'T' : '.';
        }
        s += '\n';
    }
    EXPECT_EQ(s,
              "LLLLLLLLLT\n"
              "L........T\n"
              "L........T\n"
              "L........T\n"
              "TTTTTTTTTT\n");
    EXPECT_EQ(c->GetPenPos(), TPoint(9, -1));
}

TEST(CanvasLines, EightDirectionsPaintTheStartAndNotTheEnd)
{
    const PixelSet right = LinePixels({0, 0}, {4, 2});
    EXPECT_EQ(right, (PixelSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    // Ties are settled so that a line and its reverse cover the same pixels between the ends.
    EXPECT_EQ(LinePixels({4, 2}, {0, 0}), (PixelSet{{4, 2}, {3, 1}, {2, 1}, {1, 0}}));
    EXPECT_EQ(LinePixels({0, 0}, {2, 4}), (PixelSet{{0, 0}, {0, 1}, {1, 2}, {1, 3}}));
    EXPECT_EQ(LinePixels({2, 4}, {0, 0}), (PixelSet{{2, 4}, {1, 3}, {1, 2}, {0, 1}}));
    EXPECT_EQ(LinePixels({0, 0}, {-4, 2}), (PixelSet{{0, 0}, {-1, 0}, {-2, 1}, {-3, 1}}));
    EXPECT_EQ(LinePixels({0, 0}, {4, -2}), (PixelSet{{0, 0}, {1, -1}, {2, -1}, {3, -2}}));
    EXPECT_EQ(LinePixels({0, 0}, {3, 3}), (PixelSet{{0, 0}, {1, 1}, {2, 2}}));
    EXPECT_EQ(LinePixels({0, 0}, {-3, -3}), (PixelSet{{0, 0}, {-1, -1}, {-2, -2}}));
    EXPECT_EQ(LinePixels({0, 0}, {0, -3}), (PixelSet{{0, 0}, {0, -1}, {0, -2}}));
    EXPECT_EQ(LinePixels({0, 0}, {-3, 0}), (PixelSet{{0, 0}, {-1, 0}, {-2, 0}}));
    EXPECT_TRUE(LinePixels({5, 5}, {5, 5}).empty());

    // Every direction: the pixel count is the longer delta, the start is painted, the end is
    // not, and reversing the line swaps only the two ends.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> d(-20, 20);
    for (int n = 0; n < 400; ++n) {
        const TPoint a(d(rng), d(rng)), b(d(rng), d(rng));
        if (a == b) continue;
        PixelSet f = LinePixels(a, b), r = LinePixels(b, a);
        ASSERT_EQ(int(f.size()), std::max(std::abs(b.X - a.X), std::abs(b.Y - a.Y)));
        ASSERT_TRUE(f.count({a.X, a.Y}));
        ASSERT_FALSE(f.count({b.X, b.Y}));
        f.erase({a.X, a.Y});
        r.erase({b.X, b.Y});
        ASSERT_EQ(f, r) << a.X << "," << a.Y << " -> " << b.X << "," << b.Y;
    }
}

TEST(CanvasLines, ClippedLinesKeepTheirPixels)
{
    // A line cut by the clip rectangle paints exactly the pixels of the whole line that fall
    // inside it, also when its ends lie far away.
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> d(-60, 100);
    for (int n = 0; n < 200; ++n) {
        const TPoint a(d(rng), d(rng)), b(d(rng), d(rng));
        TBitmap full(200, 200), clipped(200, 200);
        full.Canvas->SetOrigin(60, 60);
        clipped.Canvas->SetOrigin(60, 60);
        clipped.Canvas->SetClipRect(TRect(10, 5, 37, 31));
        for (TBitmap* bmp : {&full, &clipped}) {
            bmp->Canvas->MoveTo(a.X, a.Y);
            bmp->Canvas->LineTo(b.X, b.Y);
        }
        clipped.Canvas->ResetClipRect();
        for (int y = -60; y < 140; ++y)
            for (int x = -60; x < 140; ++x) {
                const bool inside = x >= 10 && x < 37 && y >= 5 && y < 31;
                const TColor want = inside ? full.Canvas->GetPixel(x, y) : clWhite;
                ASSERT_EQ(clipped.Canvas->GetPixel(x, y), want) << x << "," << y;
            }
    }
    // Ends at the limits of the integer range: only the visible part is walked.
    TBitmap bmp(50, 50);
    bmp.Canvas->MoveTo(-2000000000, 25);
    bmp.Canvas->LineTo(2000000000, 25);
    bmp.Canvas->MoveTo(-2000000000, -2000000000);
    bmp.Canvas->LineTo(2000000000, 2000000000);
    EXPECT_EQ(Runs(bmp.Canvas, 25, 0, 50), "50");
    EXPECT_EQ(bmp.Canvas->GetPixel(10, 10), clBlack);
}

TEST(CanvasLines, PenStylesUseTheCosmeticPatterns)
{
    struct Case {
        TPenStyle Style;
        const char* Runs;
        int Gap;  // a pixel in a gap
    } cases[] = {
        {psDash, "18 6 18 6 12", 20},
        {psDot, "3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3", 4},
        {psDashDot, "9 6 3 6 9 6 3 6 9 3", 10},
        {psDashDotDot, "9 3 3 3 3 3 9 3 3 3 3 3 9 3", 10},
        {psSolid, "60", -1},
        {psInsideFrame, "60", -1},
    };
    for (const Case& k : cases) {
        TBitmap bmp(60, 3);
        TCanvas* c = bmp.Canvas;
        c->Brush->SetColor(clYellow);
        c->Pen->SetStyle(k.Style);
        c->MoveTo(0, 1);
        c->LineTo(60, 1);
        EXPECT_EQ(Runs(c, 1, 0, 60), k.Runs) << k.Style;
        // The gaps show the solid brush's colour.
        if (k.Gap >= 0) {
            EXPECT_EQ(c->GetPixel(k.Gap, 1), clYellow) << k.Style;
        }
    }

    // With a clear brush the gaps stay as they were; the pattern starts afresh with each LineTo.
    TBitmap bmp(40, 2);
    TCanvas* c = bmp.Canvas;
    c->Brush->SetStyle(bsClear);
    c->Pen->SetStyle(psDash);
    c->MoveTo(0, 0);
    c->LineTo(20, 0);
    c->LineTo(40, 0);
    EXPECT_EQ(Picture(bmp, clBlack).substr(0, 41), "##################..##################..\n");
    c->Pen->SetStyle(psClear);
    c->MoveTo(0, 1);
    c->LineTo(40, 1);
    EXPECT_EQ(Runs(c, 1, 0, 40), "40");
    EXPECT_EQ(c->GetPixel(0, 1), clWhite);
}

TEST(CanvasLines, WidePensCoverTheirWidth)
{
    TBitmap bmp(20, 12);
    TCanvas* c = bmp.Canvas;
    c->Pen->SetWidth(2);
    c->MoveTo(4, 5);
    c->LineTo(15, 5);
    // Two rows (4 and 5), round ends.
    for (int x = 4; x <= 15; ++x) {
        EXPECT_EQ(c->GetPixel(x, 4), clBlack) << x;
        EXPECT_EQ(c->GetPixel(x, 5), clBlack) << x;
    }
    EXPECT_EQ(c->GetPixel(9, 3), clWhite);
    EXPECT_EQ(c->GetPixel(9, 6), clWhite);
    c->Pen->SetWidth(3);
    c->Pen->SetColor(clRed);
    c->MoveTo(10, 0);
    c->LineTo(10, 11);
    EXPECT_EQ(Runs(c, 8, 7, 14), "2 3 2");
    // A wide dashed pen keeps its dashes, scaled by its width.
    TBitmap dashed(40, 5);
    dashed.Canvas->Brush->SetStyle(bsClear);
    dashed.Canvas->Pen->SetWidth(2);
    dashed.Canvas->Pen->SetStyle(psDot);
    dashed.Canvas->MoveTo(4, 2);
    dashed.Canvas->LineTo(30, 2);
    EXPECT_EQ(Runs(dashed.Canvas, 2, 4, 16), "2 2 2 2 2 2");
}

// ----------------------------------------------------------------------------------------------
// Pen modes

TEST(CanvasPenModes, EachModeCombinesPenAndDestination)
{
    const TColor dst = RGB(0x12, 0xF0, 0x5A), pen = RGB(0x0F, 0x3C, 0xA5);
    struct Case {
        TPenMode Mode;
        TColor Want;
    } cases[] = {
        {pmBlack, 0},
        {pmWhite, 0xFFFFFF},
        {pmNop, dst},
        {pmNot, ~dst & 0xFFFFFF},
        {pmCopy, pen},
        {pmNotCopy, ~pen & 0xFFFFFF},
        {pmMergePenNot, (pen | ~dst) & 0xFFFFFF},
        {pmMaskPenNot, pen & ~dst & 0xFFFFFF},
        {pmMergeNotPen, (~pen | dst) & 0xFFFFFF},
        {pmMaskNotPen, ~pen & dst & 0xFFFFFF},
        {pmMerge, pen | dst},
        {pmNotMerge, ~(pen | dst) & 0xFFFFFF},
        {pmMask, pen & dst},
        {pmNotMask, ~(pen & dst) & 0xFFFFFF},
        {pmXor, pen ^ dst},
        {pmNotXor, ~(pen ^ dst) & 0xFFFFFF},
    };
    for (const Case& k : cases) {
        TBitmap bmp(3, 1);
        TCanvas* c = bmp.Canvas;
        c->Pixels(0, 0) = dst;
        c->Pixels(1, 0) = dst;
        c->Pixels(2, 0) = dst;
        c->Pen->SetColor(pen);
        c->Pen->SetMode(k.Mode);
        c->MoveTo(0, 0);
        c->LineTo(2, 0);
        EXPECT_EQ(c->GetPixel(0, 0), k.Want) << k.Mode;
        EXPECT_EQ(c->GetPixel(1, 0), k.Want) << k.Mode;
        EXPECT_EQ(c->GetPixel(2, 0), dst) << k.Mode;
        EXPECT_EQ(bmp.ScanLine(0)[0] >> 24, 0xFFu);
    }
}

TEST(CanvasPenModes, XorTwiceRestoresAndNotActsPerPixel)
{
    TBitmap bmp(16, 16);
    TCanvas* c = bmp.Canvas;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) c->Pixels(x, y) = RGB(x * 16, y * 16, (x ^ y) * 8);
    TBitmap before;
    before.Assign(&bmp);
    c->Pen->SetMode(pmXor);
    c->Pen->SetColor(clAqua);
    c->Brush->SetColor(clFuchsia);
    for (int pass = 0; pass < 2; ++pass) {
        c->MoveTo(0, 0);
        c->LineTo(15, 9);
        c->Rectangle(2, 2, 12, 14);
        c->Ellipse(1, 1, 15, 11);
    }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(c->GetPixel(x, y), before.Canvas->GetPixel(x, y));

    c->Pen->SetMode(pmNot);
    c->MoveTo(0, 3);
    c->LineTo(16, 3);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(c->GetPixel(x, 3), ~before.Canvas->GetPixel(x, 3) & 0xFFFFFF);
    c->Pen->SetMode(pmNop);
    c->MoveTo(0, 4);
    c->LineTo(16, 4);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(c->GetPixel(x, 4), before.Canvas->GetPixel(x, 4));
    c->Pen->SetMode(pmBlack);
    c->MoveTo(0, 5);
    c->LineTo(8, 5);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(c->GetPixel(x, 5), x < 8 ? clBlack : before.Canvas->GetPixel(x, 5));
}

// ----------------------------------------------------------------------------------------------
// Shapes

TEST(CanvasShapes, RectangleOutlineAndInside)
{
    TBitmap bmp(8, 6);
    TCanvas* c = bmp.Canvas;
    c->Brush->SetColor(clRed);
    c->Pen->SetColor(clBlue);
    c->Rectangle(1, 1, 7, 5);
    std::string s;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            const TColor p = c->GetPixel(x, y);
            s += p == clBlue ? 'P' : p == clRed ? 'B' : '.';
        }
        s += '\n';
    }
    EXPECT_EQ(s,
              "........\n"
              ".PPPPPP.\n"
              ".PBBBBP.\n"
              ".PBBBBP.\n"
              ".PPPPPP.\n"
              "........\n");

    // A clear brush leaves the inside as it was.
    c->Brush->SetStyle(bsClear);
    c->Pen->SetColor(clBlack);
    c->Rectangle(0, 0, 8, 6);
    EXPECT_EQ(c->GetPixel(3, 2), clRed);
    EXPECT_EQ(c->GetPixel(7, 5), clBlack);

    // A clear pen fills one column and one row less; FillRect takes the brush only.
    TBitmap b2(6, 4);
    b2.Canvas->Pen->SetStyle(psClear);
    b2.Canvas->Brush->SetColor(clBlack);
    b2.Canvas->Rectangle(0, 0, 6, 4);
    EXPECT_EQ(Picture(b2, clBlack), "#####.\n#####.\n#####.\n......\n");
    b2.Canvas->Brush->SetColor(clWhite);
    b2.Canvas->FillRect(TRect(1, 1, 3, 3));
    EXPECT_EQ(Picture(b2, clBlack), "#####.\n#..##.\n#..##.\n......\n");
    b2.Canvas->Brush->SetColor(clBlack);
    b2.Canvas->FillRect(TRect(4, 4, 2, 2));  // inverted: nothing
    b2.Canvas->FrameRect(TRect(0, 0, 6, 4));
    EXPECT_EQ(Picture(b2, clBlack), "######\n#..###\n#..###\n######\n");
}

TEST(CanvasShapes, DegenerateAndWideRectangles)
{
    TBitmap bmp(6, 6);
    TCanvas* c = bmp.Canvas;
    c->Pen->SetMode(pmXor);
    c->Pen->SetColor(clWhite);
    c->Rectangle(1, 1, 2, 5);  // one column: every pixel once
    c->Rectangle(3, 2, 3, 4);  // empty
    EXPECT_EQ(Picture(bmp, clBlack), "......\n.#....\n.#....\n.#....\n.#....\n......\n");

    TBitmap w(10, 10);
    w.Canvas->Pen->SetWidth(2);
    w.Canvas->Pen->SetStyle(psInsideFrame);
    w.Canvas->Brush->SetColor(clRed);
    w.Canvas->Rectangle(1, 1, 9, 9);
    EXPECT_EQ(w.Canvas->GetPixel(1, 1), clBlack);
    EXPECT_EQ(w.Canvas->GetPixel(2, 5), clBlack);
    EXPECT_EQ(w.Canvas->GetPixel(3, 3), clRed);
    EXPECT_EQ(w.Canvas->GetPixel(8, 8), clBlack);
    EXPECT_EQ(w.Canvas->GetPixel(9, 9), clWhite);
    EXPECT_EQ(w.Canvas->GetPixel(0, 0), clWhite);
}

TEST(CanvasShapes, EllipseAndPolygon)
{
    TBitmap bmp(9, 9);
    TCanvas* c = bmp.Canvas;
    c->Brush->SetColor(clRed);
    c->Ellipse(0, 0, 9, 9);
    // Symmetric in both axes, outlined, filled, corners untouched.
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(c->GetPixel(x, y), c->GetPixel(8 - x, y));
            EXPECT_EQ(c->GetPixel(x, y), c->GetPixel(x, 8 - y));
            EXPECT_EQ(c->GetPixel(x, y), c->GetPixel(y, x));
        }
    EXPECT_EQ(c->GetPixel(0, 0), clWhite);
    EXPECT_EQ(c->GetPixel(4, 0), clBlack);
    EXPECT_EQ(c->GetPixel(0, 4), clBlack);
    EXPECT_EQ(c->GetPixel(4, 4), clRed);

    TBitmap tri(7, 5);
    tri.Canvas->Brush->SetColor(clRed);
    tri.Canvas->Pen->SetColor(clBlack);
    const TPoint pts[3] = {TPoint(3, 0), TPoint(6, 4), TPoint(0, 4)};
    tri.Canvas->Polygon(pts, 3);
    std::string s;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const TColor p = tri.Canvas->GetPixel(x, y);
            s += p == clBlack ? '#' : p == clRed ? 'B' : '.';
        }
        s += '\n';
    }
    EXPECT_EQ(s,
              "...#...\n"
              "..#B#..\n"
              ".#BB#..\n"
              ".#BBB#.\n"
              "#######\n");
}

// ----------------------------------------------------------------------------------------------
// Origin, clip rectangle, pixels

TEST(CanvasGeometry, OriginShiftsAndClipHolds)
{
    TBitmap bmp(20, 20);
    TCanvas* c = bmp.Canvas;
    std::vector<TRect> painted;
    c->OnPainted = [&](const TRect& r) { painted.push_back(r); };
    c->SetOrigin(5, 6);
    c->SetClipRect(TRect(0, 0, 4, 3));
    EXPECT_EQ(c->GetClipRect(), TRect(0, 0, 4, 3));
    c->Brush->SetColor(clBlack);
    c->FillRect(TRect(-10, -10, 30, 30));
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_EQ(painted[0], TRect(5, 6, 9, 9));
    c->SetOrigin(0, 0);
    EXPECT_EQ(c->GetClipRect(), TRect(5, 6, 9, 9));
    c->ResetClipRect();
    int black = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (c->GetPixel(x, y) == clBlack) {
                ++black;
                EXPECT_TRUE(x >= 5 && x < 9 && y >= 6 && y < 9);
            }
    EXPECT_EQ(black, 12);

    // Pixels outside the raster or the clip rectangle read clNone and ignore writes.
    EXPECT_EQ(c->GetPixel(-1, 0), clNone);
    EXPECT_EQ(c->GetPixel(20, 0), clNone);
    c->Pixels(25, 3) = clRed;
    c->SetClipRect(TRect(0, 0, 2, 2));
    EXPECT_EQ(c->GetPixel(3, 3), clNone);
    c->Pixels(3, 3) = clRed;
    c->ResetClipRect();
    EXPECT_EQ(c->GetPixel(3, 3), clWhite);
    EXPECT_EQ(TColor(c->Pixels(5, 6)), clBlack);

    // Nothing attached: drawing does nothing.
    TCanvas bare;
    bare.MoveTo(0, 0);
    bare.LineTo(10, 10);
    bare.Rectangle(0, 0, 5, 5);
    EXPECT_EQ(bare.GetPixel(1, 1), clNone);
    EXPECT_EQ(bare.GetPenPos(), TPoint(10, 10));
}

TEST(CanvasGeometry, EveryPrimitiveStaysInsideTheClip)
{
    const TRect clip(7, 5, 23, 17);
    const std::vector<std::function<void(TCanvas*)>> draws = {
        [](TCanvas* c) { c->MoveTo(-5, 3); c->LineTo(40, 19); },
        [](TCanvas* c) { c->Pen->SetWidth(5); c->MoveTo(0, 0); c->LineTo(29, 21); },
        [](TCanvas* c) { c->Pen->SetWidth(3); c->Pen->SetStyle(psDash); c->MoveTo(2, 11); c->LineTo(28, 11); },
        [](TCanvas* c) { c->Rectangle(0, 0, 30, 22); },
        [](TCanvas* c) { c->Pen->SetWidth(4); c->Rectangle(3, 3, 26, 19); },
        [](TCanvas* c) { c->Brush->SetStyle(bsCross); c->Rectangle(0, 0, 30, 22); },
        [](TCanvas* c) { c->FillRect(TRect(-100, -100, 100, 100)); },
        [](TCanvas* c) { c->FrameRect(TRect(8, 3, 30, 20)); },
        [](TCanvas* c) { c->Pen->SetWidth(2); c->Ellipse(-3, -2, 33, 25); },
        [](TCanvas* c) {
            const TPoint p[4] = {TPoint(-10, 11), TPoint(15, -10), TPoint(40, 11), TPoint(15, 30)};
            c->Polygon(p, 4);
        },
        [](TCanvas* c) { c->TextRect(TRect(0, 0, 30, 22), 0, 6, "WWWWWWWW"); },
        [](TCanvas* c) { c->Font->SetHeight(-20); c->Font->SetStyle(TFontStyles{fsItalic}); c->TextOut(2, 2, "fffWWWW"); },
        [](TCanvas* c) {
            TBitmap b(40, 40);
            b.Canvas->Brush->SetColor(clBlack);
            b.Canvas->FillRect(TRect(0, 0, 40, 40));
            c->Draw(-5, -5, &b);
        },
    };
    for (size_t i = 0; i < draws.size(); ++i) {
        TBitmap bmp(30, 22);
        TCanvas* c = bmp.Canvas;
        std::vector<TRect> painted;
        c->OnPainted = [&](const TRect& r) { painted.push_back(r); };
        c->Brush->SetColor(clRed);
        c->Pen->SetColor(clBlue);
        c->Font->SetColor(clBlack);
        c->SetClipRect(clip);
        draws[i](c);
        c->ResetClipRect();
        int changed = 0;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 30; ++x) {
                if (c->GetPixel(x, y) == clWhite) continue;
                ++changed;
                ASSERT_TRUE(clip.Contains(TPoint(x, y))) << "primitive " << i << " at " << x << "," << y;
                bool reported = false;
                for (const TRect& r : painted) reported = reported || r.Contains(TPoint(x, y));
                ASSERT_TRUE(reported) << "primitive " << i << " at " << x << "," << y;
            }
        EXPECT_GT(changed, 0) << "primitive " << i;
    }
}

TEST(CanvasGeometry, HatchedBrushesAndChangeEvents)
{
    TBitmap bmp(16, 16);
    TCanvas* c = bmp.Canvas;
    int changes = 0;
    c->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, c);
        ++changes;
    };
    c->Brush->SetStyle(bsHorizontal);
    c->Brush->SetColor(clBlack);
    c->FillRect(TRect(0, 0, 16, 16));
    EXPECT_EQ(changes, 1);
    for (int y = 0; y < 16; ++y) EXPECT_EQ(Runs(c, y, 0, 16), "16") << y;
    EXPECT_EQ(c->GetPixel(3, 4), clBlack);
    EXPECT_EQ(c->GetPixel(3, 12), clBlack);
    EXPECT_EQ(c->GetPixel(3, 5), clWhite);  // the hatch leaves the background as it was
    c->MoveTo(50, 50);
    c->LineTo(60, 60);  // outside: nothing changed, no event
    EXPECT_EQ(changes, 1);
}

TEST(CanvasGeometry, AttachedRasterWithStride)
{
    std::vector<std::uint32_t> raster(8 * 3, 0xFF000000u);
    TCanvas c;
    c.Attach(raster.data(), 5, 3, 8);
    c.Pen->SetColor(RGB(1, 2, 3));
    c.MoveTo(0, 1);
    c.LineTo(10, 1);
    EXPECT_EQ(raster[8 + 4], 0xFF010203u);
    EXPECT_EQ(raster[8 + 5], 0xFF000000u);  // beyond the width, inside the stride
    c.Detach();
    c.LineTo(0, 2);
    EXPECT_EQ(raster[16], 0xFF000000u);
}

// ----------------------------------------------------------------------------------------------
// Text

TEST(CanvasText, TextLandsInsideTextRect)
{
    TBitmap bmp(120, 40);
    TCanvas* c = bmp.Canvas;
    c->Font->SetColor(clBlack);
    const int w = c->TextWidth("Corvane"), h = c->TextHeight("Corvane");
    EXPECT_GT(w, 20);
    EXPECT_GE(h, 11);
    EXPECT_LT(h, 20);
    // A positive height is the cell height.
    c->Font->SetHeight(30);
    EXPECT_NEAR(c->TextHeight("Ag"), 30, 1);
    c->Font->SetHeight(-11);

    c->Brush->SetColor(clYellow);
    c->TextRect(TRect(10, 10, 30, 25), 12, 8, "Corvane Corvane");
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const bool inside = x >= 10 && x < 30 && y >= 10 && y < 25;
            if (!inside) {
                ASSERT_EQ(c->GetPixel(x, y), clWhite) << x << "," << y;
            }
        }
    int ink = 0;
    for (int y = 10; y < 25; ++y)
        for (int x = 10; x < 30; ++x)
            if (c->GetPixel(x, y) != clYellow) ++ink;
    EXPECT_GT(ink, 10);

    // TextOut fills the cell with a solid brush and moves the pen position past the text.
    c->Brush->SetColor(clAqua);
    c->TextOut(40, 20, "Ab");
    EXPECT_EQ(c->GetPenPos(), TPoint(40 + c->TextWidth("Ab"), 20));
    EXPECT_EQ(c->GetPixel(40, 20), clAqua);
    EXPECT_EQ(c->GetPixel(39, 20), clWhite);
    c->Brush->SetStyle(bsClear);
    c->TextOut(80, 0, "Ab");
    EXPECT_EQ(c->GetPixel(80, 0), clWhite);
}

TEST(CanvasText, TahomaCaptionFitsItsLabel)
{
    if (!QFile::exists("/usr/share/wine/fonts/tahoma.ttf")) GTEST_SKIP() << "no Tahoma";
    TBitmap bmp(1, 1);
    const int w = bmp.Canvas->TextWidth("Diff. coeff. cplx [.1E+9]");
    EXPECT_LE(w, 115);
    EXPECT_GE(w, 105);
    // The cell of Tahoma at 11 pixels: ascent 11 and descent 2, from the font's Windows metrics.
    EXPECT_EQ(bmp.Canvas->TextHeight("Ag"), 13);
    bmp.Canvas->Font->SetHeight(13);
    EXPECT_EQ(bmp.Canvas->TextWidth("Diff. coeff. cplx [.1E+9]"), w);
}

// ----------------------------------------------------------------------------------------------
// Bitmaps

TEST(Bitmaps, ResizeKeepsPixelsAndDrawCopies)
{
    TBitmap bmp(3, 2);
    bmp.Canvas->Pixels(2, 1) = clRed;
    bmp.SetSize(5, 4);
    EXPECT_EQ(bmp.Canvas->GetPixel(2, 1), clRed);
    EXPECT_EQ(bmp.Canvas->GetPixel(4, 3), clWhite);
    bmp.SetWidth(2);
    EXPECT_EQ(bmp.GetWidth(), 2);
    EXPECT_EQ(bmp.Canvas->GetPixel(2, 1), clNone);
    bmp.SetHeight(-3);
    EXPECT_TRUE(bmp.GetEmpty());
    EXPECT_THROW(bmp.ScanLine(0), EInvalidGraphicOperation);

    TBitmap src(2, 2), dst(4, 4);
    src.Canvas->Pixels(0, 0) = clBlue;
    src.Canvas->Pixels(1, 1) = clGreen;
    dst.Canvas->SetClipRect(TRect(0, 0, 4, 3));
    dst.Canvas->Draw(2, 1, &src);
    dst.Canvas->Draw(3, 2, &src);  // (4, 3) lies outside the clip
    dst.Canvas->ResetClipRect();
    EXPECT_EQ(dst.Canvas->GetPixel(2, 1), clBlue);
    EXPECT_EQ(dst.Canvas->GetPixel(3, 2), clBlue);
    EXPECT_EQ(dst.Canvas->GetPixel(3, 3), clWhite);
}

TEST(Bitmaps, PngRoundTripAndFailures)
{
    const std::string dir = QDir::tempPath().toStdString();
    const std::string file = dir + "/corvane_graphics_test.png";
    TBitmap bmp(7, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) bmp.Canvas->Pixels(x, y) = RGB(x * 30, y * 80, 255 - x * 20);
    bmp.SaveToFile(file);
    TBitmap back;
    back.LoadFromFile(file);
    ASSERT_EQ(back.GetWidth(), 7);
    ASSERT_EQ(back.GetHeight(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(back.Canvas->GetPixel(x, y), bmp.Canvas->GetPixel(x, y));

    // A file that is no image leaves the bitmap as it was; an unwritable path raises.
    const std::string junk = dir + "/corvane_graphics_test.txt";
    QFile f(QString::fromStdString(junk));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not an image");
    f.close();
    EXPECT_THROW(back.LoadFromFile(junk), EInvalidGraphic);
    EXPECT_EQ(back.GetWidth(), 7);
    EXPECT_EQ(back.Canvas->GetPixel(6, 2), bmp.Canvas->GetPixel(6, 2));
    EXPECT_THROW(bmp.SaveToFile("/nonexistent-dir/x.png"), EFCreateError);
    EXPECT_THROW(TBitmap().SaveToFile(file), EInvalidGraphic);
    QFile::remove(QString::fromStdString(file));
    QFile::remove(QString::fromStdString(junk));
}
