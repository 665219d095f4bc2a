#include "bevels/TolvaGraphics.h"
#include "tests/bevels/BevelPicture.h"

#include <gtest/gtest.h>

using namespace Tolva;
using namespace bevel_test;

namespace {

struct Counter {
    int Count = 0;
    TChangeNotify Notify() { return [this] { ++Count; }; }
};

// A bevel with distinct colours on a white bitmap.
struct BevelOnBitmap : ::testing::Test {
    TBitmap Bmp{12, 8};
    TExternBevel Bevel;   // painted explicitly; setters do not touch the bitmap
    void SetUp() override
    {
        Bevel.SetLoweredColor(Lo);
        Bevel.SetRaisedColor(Hi);
        Bevel.SetBackgroundColor(Bg);
    }
    std::string Paint(const TRect& R, int W, int H)
    {
        Bevel.PaintTo(Bmp.Canvas, R);
        return Picture(Bmp.Canvas, W, H);
    }
};

} // namespace

TEST(VCLRect, SettersNotifyOnlyOnChangeAndAssignmentAlwaysOnce)
{
    TVCLRect r(1, 2, 11, 7);
    EXPECT_EQ(r.Width(), 10);
    EXPECT_EQ(r.Height(), 5);
    Counter c;
    r.OnChange = c.Notify();
    r.SetLeft(1);
    r.SetBottom(7);
    EXPECT_EQ(c.Count, 0);
    r.SetTop(3);
    r.SetRight(4);
    EXPECT_EQ(c.Count, 2);
    EXPECT_EQ(r.Width(), 3);
    EXPECT_EQ(r.Height(), 4);   // negative extents are allowed: Width of (4, 0, 1, 0) is -3
    r = TRect(1, 3, 4, 7);      // unchanged values still notify
    EXPECT_EQ(c.Count, 3);
    TVCLRect other(5, 6, 7, 8);
    r = other;
    EXPECT_EQ(c.Count, 4);
    EXPECT_TRUE(r == other);
    EXPECT_TRUE(r == TRect(5, 6, 7, 8));
    EXPECT_FALSE(r != TRect(5, 6, 7, 8));
    EXPECT_EQ(static_cast<TRect>(r), TRect(5, 6, 7, 8));
    EXPECT_FALSE(other.OnChange);   // OnChange is not copied
}

TEST(VCLRect, AssignTakesOverRectanglesAndRefusesOtherClasses)
{
    TVCLRect r;
    Counter c;
    r.OnChange = c.Notify();
    TVCLRect src(1, 2, 3, 4);
    r.Assign(&src);
    EXPECT_TRUE(r == TRect(1, 2, 3, 4));
    EXPECT_EQ(c.Count, 1);
    TExternBevel bevel;
    try {
        r.Assign(&bevel);
        FAIL() << "no assignment error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TExternBevel to a TVCLRect");
    }
    EXPECT_TRUE(r == TRect(1, 2, 3, 4));
}

TEST(ExternBevel, DefaultsAndNotifyingSetters)
{
    TExternBevel b;
    EXPECT_EQ(b.GetWidth(), 1);
    EXPECT_TRUE(b.GetVisible());
    EXPECT_EQ(b.GetStyle(), eblLowered);
    EXPECT_EQ(b.GetShape(), eblRectangle45);
    EXPECT_EQ(b.GetKind(), eblBox);
    EXPECT_EQ(b.GetLoweredColor(), clBtnShadow);
    EXPECT_EQ(b.GetRaisedColor(), clBtnHighlight);
    EXPECT_EQ(b.GetEdges().ToInt(), 0x0Fu);
    EXPECT_EQ(b.GetPenStyle(), psSolid);
    EXPECT_EQ(b.GetPenMode(), pmCopy);
    EXPECT_EQ(b.GetBackgroundColor(), clBtnFace);
    EXPECT_TRUE(b.GetTransparent());
    EXPECT_EQ(b.PaintedRect, TRect());
    EXPECT_EQ(b.LockCount, 0);

    Counter c;
    b.OnChange = c.Notify();
    b.SetWidth(1);
    b.SetStyle(eblLowered);
    b.SetEdges(AllExternBevelEdges);
    b.SetBackgroundColor(clBtnFace);
    b.SetBounderRect(b.GetBounderRect());
    EXPECT_EQ(c.Count, 0);
    b.SetWidth(3);
    b.SetKind(eblFrame);
    b.SetPenMode(pmXor);
    b.GetBounderRect()->SetLeft(2);   // margins reach the bevel's OnChange
    EXPECT_EQ(c.Count, 4);
    TVCLRect margins(1, 1, 1, 1);
    b.SetBounderRect(&margins);
    EXPECT_EQ(c.Count, 5);
    EXPECT_TRUE(*b.GetBounderRect() == TRect(1, 1, 1, 1));

    b.Lock(true, false);
    b.SetWidth(4);   // OnChange fires while locked
    EXPECT_EQ(c.Count, 6);
    b.Lock(true, true);
    b.Lock(false, true);
    EXPECT_EQ(c.Count, 6);   // still locked once
    b.Lock(false, true);
    EXPECT_EQ(c.Count, 7);
    b.Lock(false, false);    // unlock at zero is ignored
    EXPECT_EQ(b.LockCount, 0);
}

TEST(ExternBevel, OffsetsCountVisibleEdgesAndMargins)
{
    TExternBevel b;
    *b.GetBounderRect() = TRect(1, 2, 3, 4);
    b.SetWidth(2);
    b.SetEdges(TExternBevelEdges{eblLeft, eblBottom});
    EXPECT_EQ(b.GetLeftOffset(), 3);
    EXPECT_EQ(b.GetTopOffset(), 2);
    EXPECT_EQ(b.GetRightOffset(), 3);
    EXPECT_EQ(b.GetBottomOffset(), 6);
    TRect r(0, 0, 20, 20);
    EXPECT_EQ(&b.CutOffset(r), &r);
    EXPECT_EQ(r, TRect(3, 2, 17, 14));

    b.SetVisible(false);
    EXPECT_EQ(b.GetLeftOffset(), 1);
    EXPECT_EQ(b.GetBottomOffset(), 4);
    b.SetVisible(true);
    b.SetEdges(TExternBevelEdges{});
    EXPECT_EQ(b.GetLeftOffset(), 1);
    EXPECT_EQ(b.GetBottomOffset(), 4);
}

TEST_F(BevelOnBitmap, MitredBoxTenByFive)
{
    EXPECT_EQ(Paint(TRect(0, 0, 10, 5), 11, 6), Pic("LLLLLLLLLH.",
                                                    "L........H.",
                                                    "L........H.",
                                                    "L........H.",
                                                    "HHHHHHHHHH.",
                                                    "..........."));
    EXPECT_EQ(Bevel.PaintedRect, TRect(0, 0, 10, 5));
    EXPECT_EQ(Bevel.PaintedWidth, 1);
    EXPECT_EQ(Bevel.PaintedShape, int(eblRectangle45));
}

TEST_F(BevelOnBitmap, MitredCornersOfAWideFrameSplitOnTheDiagonal)
{
    Bevel.SetWidth(2);
    *Bevel.GetBounderRect() = TRect(1, 1, 1, 1);
    EXPECT_EQ(Paint(TRect(0, 0, 10, 8), 10, 8), Pic("..........",
                                                    ".LLLLLLLH.",
                                                    ".LLLLLLHH.",
                                                    ".LL....HH.",
                                                    ".LL....HH.",
                                                    ".LHHHHHHH.",
                                                    ".HHHHHHHH.",
                                                    ".........."));
    EXPECT_EQ(Bevel.PaintedRect, TRect(1, 1, 9, 7));
}

TEST_F(BevelOnBitmap, MissingEdgesLetTheOthersRunToTheCorner)
{
    Bevel.SetEdges(TExternBevelEdges{eblLeft, eblTop, eblBottom});
    EXPECT_EQ(Paint(TRect(0, 0, 6, 4), 7, 4), Pic("LLLLLL.",
                                                  "L......",
                                                  "L......",
                                                  "HHHHHH."));
    Bmp.Canvas->Brush->SetColor(clWhite);
    Bmp.Canvas->FillRect(TRect(0, 0, 12, 8));
    Bevel.SetEdges(TExternBevelEdges{eblTop, eblRight});
    EXPECT_EQ(Paint(TRect(0, 0, 6, 4), 7, 4), Pic("LLLLLH.",
                                                  ".....H.",
                                                  ".....H.",
                                                  ".....H."));
}

TEST_F(BevelOnBitmap, SquareCorners)
{
    Bevel.SetShape(eblRectangle90);
    Bevel.SetWidth(2);
    EXPECT_EQ(Paint(TRect(0, 0, 8, 6), 9, 7), Pic("LLLLLLHH.",
                                                  "LLLLLLHH.",
                                                  "LL....HH.",
                                                  "LL....HH.",
                                                  "HHHHHHHH.",
                                                  "HHHHHHHH.",
                                                  "........."));
    EXPECT_EQ(Bevel.PaintedShape, int(eblRectangle90));
}

TEST_F(BevelOnBitmap, SquareCornersWithoutRightOrBottomReachOnePixelFurther)
{
    Bevel.SetShape(eblRectangle90);
    Bevel.SetEdges(TExternBevelEdges{eblLeft, eblTop});
    EXPECT_EQ(Paint(TRect(0, 0, 5, 3), 7, 4), Pic("LLLLLL.",
                                                  "L......",
                                                  "L......",
                                                  "......."));
    Bevel.SetEdges(TExternBevelEdges{eblRight});
    EXPECT_EQ(Paint(TRect(0, 0, 5, 3), 7, 4), Pic("LLLLHL.",
                                                  "L...H..",
                                                  "L...H..",
                                                  "....H.."));
}

TEST_F(BevelOnBitmap, RaisedStyleAndFrameKind)
{
    Bevel.SetStyle(eblRaised);
    EXPECT_EQ(Paint(TRect(0, 0, 4, 3), 4, 3), Pic("HHHL",
                                                  "H..L",
                                                  "LLLL"));
    Bevel.SetKind(eblFrame);
    EXPECT_EQ(Paint(TRect(0, 0, 4, 3), 4, 3), Pic("HHHH",
                                                  "H..H",
                                                  "HHHH"));
}

TEST_F(BevelOnBitmap, NoneColoursLeaveNoMark)
{
    Bevel.SetLoweredColor(clNone);
    EXPECT_EQ(Paint(TRect(0, 0, 4, 3), 4, 3), Pic("...H",
                                                  "...H",
                                                  "HHHH"));
    Bmp.Canvas->Brush->SetColor(clWhite);
    Bmp.Canvas->FillRect(TRect(0, 0, 12, 8));
    Bevel.SetKind(eblFrame);
    EXPECT_EQ(Paint(TRect(0, 0, 4, 3), 4, 3), Pic("....",
                                                  "....",
                                                  "...."));
}

TEST_F(BevelOnBitmap, WidthZeroDrawsNothingButRecordsAndRestoresTheCanvas)
{
    TCanvas* c = Bmp.Canvas;
    c->Pen->SetColor(clLime);
    c->Pen->SetStyle(psDot);
    c->Pen->SetMode(pmXor);
    c->Pen->SetWidth(3);
    c->Brush->SetColor(clFuchsia);
    c->Brush->SetStyle(bsClear);
    c->MoveTo(7, 6);
    Bevel.SetWidth(0);
    Bevel.SetTransparent(false);
    const std::string blank = Picture(c, 12, 8);
    EXPECT_EQ(Paint(TRect(1, 1, 6, 5), 12, 8), blank);
    EXPECT_EQ(Bevel.PaintedRect, TRect(1, 1, 6, 5));
    EXPECT_EQ(Bevel.PaintedWidth, 0);
    Bevel.SetWidth(2);
    Bevel.PaintTo(c, TRect(0, 0, 6, 5));
    EXPECT_EQ(c->Pen->GetColor(), clLime);
    EXPECT_EQ(c->Pen->GetStyle(), psDot);
    EXPECT_EQ(c->Pen->GetMode(), pmXor);
    EXPECT_EQ(c->Pen->GetWidth(), 3);
    EXPECT_EQ(c->Brush->GetColor(), clFuchsia);
    EXPECT_EQ(c->Brush->GetStyle(), bsClear);
    EXPECT_EQ(c->GetPenPos(), TPoint(7, 6));
}

TEST_F(BevelOnBitmap, ClearErasesTheStripsOfTheLastPaint)
{
    Bevel.SetWidth(3);
    Paint(TRect(0, 0, 9, 8), 9, 8);
    Bevel.Clear(Bmp.Canvas);
    EXPECT_EQ(Picture(Bmp.Canvas, 10, 8), Pic("bbbbbbbbb.",
                                              "bbbbbbbbb.",
                                              "bbbbbbbbb.",
                                              "bbb...bbb.",
                                              "bbb...bbb.",
                                              "bbbbbbbbb.",
                                              "bbbbbbbbb.",
                                              "bbbbbbbbb."));
}

TEST_F(BevelOnBitmap, HiddenOrStyleNoneKeepsThePaintedRecordForClear)
{
    Paint(TRect(1, 1, 5, 4), 6, 5);
    for (int hide = 0; hide < 2; ++hide) {
        if (hide == 0)
            Bevel.SetStyle(eblNone);
        else
            Bevel.SetVisible(false);
        Bevel.PaintTo(Bmp.Canvas, TRect(0, 0, 12, 8));
        EXPECT_EQ(Bevel.PaintedRect, TRect(1, 1, 5, 4));
        Bevel.SetStyle(eblLowered);
    }
    Bevel.Clear(Bmp.Canvas);
    EXPECT_EQ(Picture(Bmp.Canvas, 6, 5), Pic("......",
                                             ".bbbb.",
                                             ".b..b.",
                                             ".bbbb.",
                                             "......"));
}

TEST_F(BevelOnBitmap, AChangeErasesTheFrameOnTheBevelsOwnCanvas)
{
    TExternBevel b(Bmp.Canvas);
    b.SetBackgroundColor(Bg);
    b.PaintTo(Bmp.Canvas, TRect(0, 0, 4, 3));
    b.SetStyle(eblNone);   // Changed: Clear, then paint (nothing without a control)
    EXPECT_EQ(Picture(Bmp.Canvas, 5, 4), Pic("bbbb.",
                                             "b..b.",
                                             "bbbb.",
                                             "....."));
}

TEST_F(BevelOnBitmap, LockedOrWithoutCanvasNothingHappens)
{
    Bevel.Lock(true, false);
    EXPECT_EQ(Paint(TRect(0, 0, 4, 3), 4, 3), Pic("....", "....", "...."));
    Bevel.Clear(Bmp.Canvas);
    EXPECT_EQ(Bevel.PaintedRect, TRect());
    Bevel.Lock(false, false);
    Bevel.PaintTo(nullptr, TRect(0, 0, 4, 3));
    Bevel.Clear(nullptr);
    Bevel.PaintTo(static_cast<TControl*>(nullptr), Bmp.Canvas);
    EXPECT_EQ(Bevel.PaintedRect, TRect());
}

TEST(ExternBevel, AssignCopiesTheLookButNotTheBackground)
{
    TExternBevel src;
    *src.GetBounderRect() = TRect(1, 2, 3, 4);
    src.SetWidth(3);
    src.SetVisible(false);
    src.SetStyle(eblRaised);
    src.SetShape(eblRectangle90);
    src.SetKind(eblFrame);
    src.SetLoweredColor(clRed);
    src.SetRaisedColor(clBlue);
    src.SetEdges(TExternBevelEdges{eblTop});
    src.SetPenStyle(psDash);
    src.SetPenMode(pmNot);
    src.SetBackgroundColor(clGreen);
    src.SetTransparent(false);

    TExternBevel dst;
    Counter c;
    dst.OnChange = c.Notify();
    dst.Assign(&src);
    EXPECT_EQ(c.Count, 2);   // once through the margins, once at the end
    EXPECT_TRUE(*dst.GetBounderRect() == TRect(1, 2, 3, 4));
    EXPECT_EQ(dst.GetWidth(), 3);
    EXPECT_FALSE(dst.GetVisible());
    EXPECT_EQ(dst.GetStyle(), eblRaised);
    EXPECT_EQ(dst.GetShape(), eblRectangle90);
    EXPECT_EQ(dst.GetKind(), eblFrame);
    EXPECT_EQ(dst.GetLoweredColor(), clRed);
    EXPECT_EQ(dst.GetRaisedColor(), clBlue);
    EXPECT_EQ(dst.GetEdges(), TExternBevelEdges{eblTop});
    EXPECT_EQ(dst.GetPenStyle(), psDash);
    EXPECT_EQ(dst.GetPenMode(), pmNot);
    EXPECT_EQ(dst.GetBackgroundColor(), clBtnFace);
    EXPECT_TRUE(dst.GetTransparent());

    TVCLRect rect;
    EXPECT_THROW(dst.Assign(&rect), EConvertError);
    EXPECT_EQ(dst.GetWidth(), 3);
}
