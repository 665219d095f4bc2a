#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Rows of the bitmap as text: '.' for the background colour, '#' for Ink, '?' for anything else.
[[maybe_unused]] std::string Picture(TBitmap& Bmp, TColor Ink, TColor Background = clWhite)
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

}  // namespace

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
}
