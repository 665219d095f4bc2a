#include "bevels/TolvaGraphics.h"
#include "tests/bevels/BevelPicture.h"

#include <gtest/gtest.h>

using namespace Tolva;
using namespace bevel_test;

namespace {

// A pair with one letter per pair colour, painting on a white bitmap.
struct PairOnBitmap : ::testing::Test {
    TBitmap Bmp{10, 8};
    TExternBevels Pair{Bmp.Canvas};
    int Changes = 0;
    void SetUp() override
    {
        Pair.SetShadowColor(Lo);
        Pair.SetLightColor(Hi);
        Pair.SetShadowColor3D(Dk);
        Pair.SetLightColor3D(Lt);
        Pair.OnChange = [this] { ++Changes; };
    }
    std::string Paint(const TRect& R, int W, int H)
    {
        Bmp.Canvas->Brush->SetColor(clWhite);
        Bmp.Canvas->FillRect(TRect(0, 0, 10, 8));
        Pair.PaintTo(Bmp.Canvas, R);
        return Picture(Bmp.Canvas, W, H);
    }
    void ExpectOffsets(int L, int T, int R, int B)
    {
        EXPECT_EQ(Pair.GetLeftOffset(), L);
        EXPECT_EQ(Pair.GetTopOffset(), T);
        EXPECT_EQ(Pair.GetRightOffset(), R);
        EXPECT_EQ(Pair.GetBottomOffset(), B);
    }
};

} // namespace

TEST(ExternBevels, NewPairIsALoweredBoxOfTheOuterBevel)
{
    TExternBevels p;
    EXPECT_EQ(p.GetKind(), eblsBox);
    EXPECT_EQ(p.GetKind3D(), ebls3DBox);
    EXPECT_EQ(p.GetStyle(), eblLowered);
    EXPECT_EQ(p.GetShape(), eblRectangle45);
    EXPECT_EQ(p.GetWidth(), 1);
    EXPECT_TRUE(p.GetVisible());
    EXPECT_TRUE(p.GetTransparent());
    EXPECT_EQ(p.GetBackgroundColor(), clBtnFace);
    EXPECT_EQ(p.GetShadowColor(), clBtnShadow);
    EXPECT_EQ(p.GetLightColor(), clBtnHighlight);
    EXPECT_EQ(p.GetShadowColor3D(), cl3DDkShadow);
    EXPECT_EQ(p.GetLightColor3D(), cl3DLight);
    for (TExternBevel* b : {p.GetBevelOuter(), p.GetBevelInner()}) {
        EXPECT_EQ(b->GetKind(), eblBox);
        EXPECT_EQ(b->GetStyle(), eblLowered);
        EXPECT_EQ(b->GetRaisedColor(), clBtnHighlight);
        EXPECT_EQ(b->GetLoweredColor(), clBtnShadow);
        EXPECT_EQ(b->GetEdges(), AllExternBevelEdges);
        EXPECT_EQ(b->LockCount, 1);
    }
    EXPECT_TRUE(p.GetBevelOuter()->GetVisible());
    EXPECT_FALSE(p.GetBevelInner()->GetVisible());
    EXPECT_EQ(p.LockCount, 0);
}

TEST_F(PairOnBitmap, DefaultBoxPaintsOneLoweredFrame)
{
    EXPECT_EQ(Paint(TRect(1, 1, 6, 5), 7, 6), Pic(".......",
                                                  ".LLLLH.",
                                                  ".L...H.",
                                                  ".L...H.",
                                                  ".HHHHH.",
                                                  "......."));
    ExpectOffsets(1, 1, 1, 1);
    // The bevels are locked again after the paint: painting them alone does nothing.
    EXPECT_EQ(Pair.GetBevelOuter()->LockCount, 1);
    EXPECT_EQ(Pair.GetBevelInner()->LockCount, 1);
    EXPECT_EQ(Pair.GetBevelOuter()->PaintedRect, TRect(1, 1, 6, 5));
}

TEST_F(PairOnBitmap, RaisedButtonNestsTwoBoxes)
{
    Pair.SetKind(eblsBtn);
    Pair.SetStyle(eblRaised);
    EXPECT_TRUE(Pair.GetBevelInner()->GetVisible());
    EXPECT_EQ(Paint(TRect(0, 0, 6, 5), 6, 5), Pic("HHHHHD",
                                                  "HTTTLD",
                                                  "HT..LD",
                                                  "HLLLLD",
                                                  "DDDDDD"));
    ExpectOffsets(2, 2, 2, 2);
}

TEST_F(PairOnBitmap, FrameIsEtchedWithTheOuterBevelOnTop)
{
    Pair.SetKind(eblsFrame);
    EXPECT_EQ(Pair.GetKind3D(), ebls3DFrame);
    EXPECT_EQ(Paint(TRect(0, 0, 6, 5), 6, 5), Pic("LLLLL.",
                                                  "LHHHLH",
                                                  "LH..LH",
                                                  "LLLLLH",
                                                  ".HHHHH"));
    // With the margins of the pair.
    *Pair.GetBounderRect() = TRect(1, 1, 1, 1);
    EXPECT_EQ(Paint(TRect(0, 0, 8, 7), 8, 7), Pic("........",
                                                  ".LLLLL..",
                                                  ".LHHHLH.",
                                                  ".LH..LH.",
                                                  ".LLLLLH.",
                                                  "..HHHHH.",
                                                  "........"));
}

TEST_F(PairOnBitmap, TopLineIsAnEtchedRowAlongTheTop)
{
    Pair.SetKind(eblsTopLine);
    EXPECT_EQ(Paint(TRect(0, 0, 6, 4), 6, 3), Pic("LLLLLL",
                                                  "HHHHHH",
                                                  "......"));
    ExpectOffsets(0, 2, 0, 0);
    *Pair.GetBounderRect() = TRect(1, 2, 3, 4);
    ExpectOffsets(1, 4, 3, 4);
    Pair.SetKind(eblsRightLine);
    EXPECT_EQ(Pair.GetBevelOuter()->GetEdges(), TExternBevelEdges{eblRight});
    EXPECT_EQ(Pair.GetEdges(), TExternBevelEdges{eblRight});
}

TEST_F(PairOnBitmap, StyleNoneStillPaintsAFrameButNotABoxOrTrench)
{
    Pair.SetKind(eblsFrame);
    Pair.SetStyle(eblNone);
    EXPECT_EQ(Pair.GetBevelOuter()->GetStyle(), eblRaised);
    EXPECT_EQ(Pair.GetBevelInner()->GetStyle(), eblLowered);
    EXPECT_EQ(Paint(TRect(0, 0, 4, 4), 4, 4), Pic("HHH.",
                                                  "HLHL",
                                                  "HHHL",
                                                  ".LLL"));
    const std::string blank = Pic("....", "....", "....", "....");
    Pair.SetKind(eblsBox);
    EXPECT_EQ(Paint(TRect(0, 0, 4, 4), 4, 4), blank);
    Pair.SetKind3D(ebls3DTrench);
    EXPECT_EQ(Paint(TRect(0, 0, 4, 4), 4, 4), blank);
}

TEST_F(PairOnBitmap, TrenchIsAGrooveAndSurvivesKindChanges)
{
    Pair.SetKind(eblsArea);
    Pair.SetKind3D(ebls3DTrench);
    Pair.SetKind(eblsFrame);
    EXPECT_EQ(Pair.GetKind3D(), ebls3DTrench);
    EXPECT_EQ(Pair.GetBevelOuter()->GetStyle(), eblLowered);
    EXPECT_EQ(Pair.GetBevelInner()->GetStyle(), eblRaised);
    EXPECT_EQ(Paint(TRect(0, 0, 6, 6), 6, 6), Pic("LLLLLH",
                                                  "LHHHLH",
                                                  "LH..LH",
                                                  "LH..LH",
                                                  "LLLLLH",
                                                  "HHHHHH"));
}

TEST_F(PairOnBitmap, ColorSchemesFollowTheKind)
{
    struct Row {
        TExternBevelsKind Kind;
        TColor OuterRaised, OuterLowered, InnerRaised, InnerLowered;
    };
    const Row rows[] = {{eblsBox, Hi, Lo, Hi, Lo},   {eblsBottomLine, Hi, Lo, Hi, Lo},
                        {eblsBtn, Hi, Dk, Lt, Lo},   {eblsBtnAnti, Lt, Lo, Hi, Dk},
                        {eblsArea, Hi, Lo, Lt, Dk},  {eblsForm, Lt, Dk, Hi, Lo}};
    for (const Row& r : rows) {
        Pair.SetKind(r.Kind);
        EXPECT_EQ(Pair.GetKind(), r.Kind);
        EXPECT_EQ(Pair.GetBevelOuter()->GetRaisedColor(), r.OuterRaised) << r.Kind;
        EXPECT_EQ(Pair.GetBevelOuter()->GetLoweredColor(), r.OuterLowered) << r.Kind;
        EXPECT_EQ(Pair.GetBevelInner()->GetRaisedColor(), r.InnerRaised) << r.Kind;
        EXPECT_EQ(Pair.GetBevelInner()->GetLoweredColor(), r.InnerLowered) << r.Kind;
    }
    // A colour scheme other than the kind makes the look custom.
    Pair.SetColorKind(eblsBtn);
    EXPECT_EQ(Pair.GetKind(), eblsCustom);
    EXPECT_EQ(Pair.GetColorKind(), eblsCustom);
    EXPECT_EQ(Pair.GetBevelOuter()->GetLoweredColor(), Dk);
}

TEST_F(PairOnBitmap, CustomKindChangesNothingAndPairColoursFollowInIt)
{
    Pair.SetKind(eblsBtn);
    Changes = 0;
    Pair.SetKind(eblsCustom);
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(Pair.GetKind3D(), ebls3DBox);
    EXPECT_EQ(Pair.GetBevelOuter()->GetLoweredColor(), Dk);

    Pair.SetShadowColor(Lo);   // the current colour: nothing
    EXPECT_EQ(Changes, 0);
    Pair.SetShadowColor(clPurple);
    EXPECT_GT(Changes, 0);
    EXPECT_EQ(Pair.GetBevelOuter()->GetLoweredColor(), Dk);
    EXPECT_EQ(Pair.GetBevelInner()->GetLoweredColor(), clPurple);
    EXPECT_EQ(Pair.GetBevelOuter()->GetRaisedColor(), Hi);
    EXPECT_EQ(Pair.GetKind(), eblsCustom);

    // Outside the custom look a new pair colour applies the whole look again.
    Pair.SetKind(eblsForm);
    Pair.SetLightColor3D(clAqua);
    EXPECT_EQ(Pair.GetBevelOuter()->GetRaisedColor(), clAqua);
    Pair.ResetColors();
    EXPECT_EQ(Pair.GetBevelOuter()->GetRaisedColor(), cl3DLight);
    EXPECT_EQ(Pair.GetBevelInner()->GetLoweredColor(), clBtnShadow);
}

TEST_F(PairOnBitmap, EdgesOrWholeBevelsMakeTheLookCustom)
{
    Pair.SetEdges(TExternBevelEdges{eblLeft, eblTop});
    EXPECT_EQ(Pair.GetKind(), eblsCustom);
    EXPECT_EQ(Pair.GetBevelInner()->GetEdges(), (TExternBevelEdges{eblLeft, eblTop}));
    Pair.SetKind(eblsBox);
    TExternBevel model;
    model.SetWidth(4);
    Pair.SetBevelInner(&model);
    EXPECT_EQ(Pair.GetKind(), eblsCustom);
    EXPECT_EQ(Pair.GetBevelInner()->GetWidth(), 4);
    EXPECT_EQ(Pair.GetBevelInner()->LockCount, 1);   // Assign does not take over the lock
    // Custom visibility: visible while either bevel is.
    Pair.SetVisible(false);
    EXPECT_FALSE(Pair.GetVisible());
    Pair.GetBevelInner()->SetVisible(true);
    EXPECT_TRUE(Pair.GetVisible());
}

TEST_F(PairOnBitmap, HidingALookKeepsTheInnerBevelOfABoxHidden)
{
    Pair.SetVisible(false);
    EXPECT_FALSE(Pair.GetVisible());
    EXPECT_FALSE(Pair.GetBevelOuter()->GetVisible());
    ExpectOffsets(0, 0, 0, 0);
    Pair.SetVisible(true);
    EXPECT_TRUE(Pair.GetBevelOuter()->GetVisible());
    EXPECT_FALSE(Pair.GetBevelInner()->GetVisible());
}

TEST_F(PairOnBitmap, CommonSettingsReadBackAsDisagreementWhenTheBevelsDiffer)
{
    Pair.GetBevelInner()->SetWidth(2);
    EXPECT_EQ(Pair.GetWidth(), -1);
    Pair.SetWidth(3);
    EXPECT_EQ(Pair.GetWidth(), 3);
    Pair.GetBevelOuter()->SetPenStyle(psDot);
    Pair.GetBevelOuter()->SetPenMode(pmXor);
    Pair.GetBevelOuter()->SetBackgroundColor(clRed);
    Pair.GetBevelOuter()->SetTransparent(false);
    EXPECT_EQ(Pair.GetPenStyle(), psClear);
    EXPECT_EQ(Pair.GetPenMode(), pmBlack);
    EXPECT_EQ(Pair.GetBackgroundColor(), clNone);
    EXPECT_FALSE(Pair.GetTransparent());
    Pair.SetPenStyle(psDash);
    Pair.SetPenMode(pmNot);
    Pair.SetBackgroundColor(clAqua);
    Pair.SetTransparent(true);
    EXPECT_EQ(Pair.GetPenStyle(), psDash);
    EXPECT_EQ(Pair.GetPenMode(), pmNot);
    EXPECT_EQ(Pair.GetBackgroundColor(), clAqua);
    EXPECT_TRUE(Pair.GetTransparent());
    EXPECT_EQ(Pair.GetKind(), eblsBox);   // direct changes on a bevel leave the kind
}

TEST_F(PairOnBitmap, LockedPairPaintsOnlyWhenUnlockedWithNotification)
{
    Pair.Lock(true, false);
    EXPECT_TRUE(Pair.Lock());
    EXPECT_EQ(Paint(TRect(0, 0, 3, 3), 3, 3), Pic("...", "...", "..."));
    Changes = 0;
    Pair.Lock(false, true);
    EXPECT_EQ(Changes, 0);   // unlocking paints but does not fire OnChange
    EXPECT_FALSE(Pair.Lock());
}

TEST(ExternBevels, AssignCopiesBevelsAndLook)
{
    TExternBevels src;
    src.SetKind3D(ebls3DTrench);
    src.SetKind(eblsBtnAnti);
    src.SetStyle(eblRaised);
    src.SetShadowColor(clRed);
    src.SetLightColor3D(clLime);
    *src.GetBounderRect() = TRect(2, 2, 2, 2);
    src.GetBevelInner()->SetWidth(3);

    TExternBevels dst;
    dst.Assign(&src);
    EXPECT_EQ(dst.GetKind(), eblsBtnAnti);
    EXPECT_EQ(dst.GetKind3D(), ebls3DTrench);
    EXPECT_EQ(dst.GetStyle(), eblRaised);
    EXPECT_EQ(dst.GetShadowColor(), clRed);
    EXPECT_EQ(dst.GetLightColor3D(), clLime);
    EXPECT_TRUE(*dst.GetBounderRect() == TRect(2, 2, 2, 2));
    EXPECT_EQ(dst.GetBevelInner()->GetWidth(), 3);
    EXPECT_EQ(dst.GetBevelOuter()->GetLoweredColor(), clRed);
    EXPECT_EQ(dst.GetBevelInner()->LockCount, 1);

    dst.Assign(nullptr);
    EXPECT_EQ(dst.GetKind(), eblsBtnAnti);
    TExternBevel single;
    try {
        dst.Assign(&single);
        FAIL() << "no assignment error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TExternBevel to a TExternBevels");
    }
}
