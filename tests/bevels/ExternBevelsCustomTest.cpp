#include "bevels/ExternBevelsCustom.h"
#include "platform/Forms.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Tolva;

namespace {

// A form with a bevel control at (20, 10) and two plain controls to link, all owned by the form.
struct BevelForm : ::testing::Test {
    TForm* Form = new TForm(nullptr);
    TExternBevelsCustom* Bevel = new TExternBevelsCustom(Form);
    TWinControl* Field = new TWinControl(Form);
    TGraphicControl* Inner = new TGraphicControl(Form);

    void SetUp() override
    {
        Form->SetBounds(0, 0, 300, 120);
        Bevel->SetParent(Form);
        Bevel->SetLeft(20);
        Bevel->SetTop(10);
        Field->SetParent(Form);
        Field->SetBounds(0, 60, 80, 30);
        Inner->SetParent(Form);
        Inner->SetBounds(0, 0, 50, 13);
    }
    void TearDown() override { delete Form; }

    TColor PixelAt(int X, int Y)
    {
        TBitmap bmp(Form->GetWidth(), Form->GetHeight());
        Form->PaintTo(bmp.Canvas, 0, 0);
        return ColorToRGB(bmp.Canvas->GetPixel(X, Y));
    }
};

} // namespace

TEST_F(BevelForm, NewControlIsALoweredFrameOnItsColour)
{
    TExternBevelsCustom fresh(nullptr);
    EXPECT_EQ(fresh.GetWidth(), 121);
    EXPECT_EQ(fresh.GetHeight(), 21);
    EXPECT_EQ(fresh.GetOuterLinkStyle(), lsRight);
    EXPECT_EQ(fresh.GetILSHoriz(), ilsBegin);
    EXPECT_EQ(fresh.GetILSVerti(), ilsCenter);
    EXPECT_TRUE(fresh.GetParentColor());

    Bevel->SetColor(clAqua);
    EXPECT_EQ(Bevel->ExternBevels->GetBackgroundColor(), clAqua);
    EXPECT_FALSE(Bevel->GetParentColor());
    EXPECT_EQ(PixelAt(20, 10), ColorToRGB(clBtnShadow));      // top-left: shadow
    EXPECT_EQ(PixelAt(140, 10), ColorToRGB(clBtnHighlight));  // top-right: light (mitred)
    EXPECT_EQ(PixelAt(140, 30), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(20, 30), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelAt(21, 11), ColorToRGB(clAqua));           // inside: the control's colour
    EXPECT_EQ(PixelAt(139, 29), ColorToRGB(clAqua));
    EXPECT_NE(PixelAt(141, 10), ColorToRGB(clAqua));          // nothing beyond the bounds

    Bevel->SetParentColor(true);
    EXPECT_TRUE(Bevel->GetParentColor());
    EXPECT_EQ(Bevel->GetColor(), Form->GetColor());
    EXPECT_EQ(Bevel->ExternBevels->GetBackgroundColor(), Form->GetColor());
}

TEST_F(BevelForm, InnerLinkIsPlacedInsideTheFrame)
{
    Bevel->SetInnerLink(Inner);
    EXPECT_EQ(Inner->GetLeft(), 21);
    EXPECT_EQ(Inner->GetTop(), 14);   // 10 + trunc(1 + (19 - 13) * 0.5)
    EXPECT_EQ(Inner->GetWidth(), 50);
    EXPECT_EQ(Inner->GetHeight(), 13);

    Bevel->SetILSHoriz(ilsEnd);
    EXPECT_EQ(Inner->GetLeft(), 20 + 120 - 50);
    Bevel->SetILSVerti(ilsBegin);
    EXPECT_EQ(Inner->GetTop(), 11);

    // Margins and frame changes move the link at once.
    Bevel->InnerMargins->SetRight(5);
    EXPECT_EQ(Inner->GetLeft(), 20 + 115 - 50);
    Bevel->ExternBevels->SetKind(eblsBtn);   // two bevels: 2 pixels a side
    EXPECT_EQ(Inner->GetLeft(), 20 + 114 - 50);
    EXPECT_EQ(Inner->GetTop(), 12);

    Bevel->SetILSHoriz(ilsStretch);
    Bevel->SetILSVerti(ilsStretch);
    EXPECT_EQ(Inner->GetBoundsRect(), TRect(22, 12, 20 + 114, 10 + 19));
}

TEST_F(BevelForm, CentringAWideLinkTruncatesTowardZero)
{
    Inner->SetWidth(124);   // the inner area is 119 wide: 1 + (119 - 124) * 0.5 = -1.5
    Bevel->SetILSHoriz(ilsCenter);
    TRect r(0, 0, 124, 13);
    Bevel->CalcInnerPosition(r);
    EXPECT_EQ(r.Left, -1);
    EXPECT_EQ(r.Right, 124);   // kept unless stretched
    EXPECT_EQ(r.Top, 4);
    Bevel->SetInnerLink(Inner);
    EXPECT_EQ(Inner->GetLeft(), 19);
}

TEST_F(BevelForm, OuterLinkIsAttachedToTheChosenSide)
{
    Bevel->SetOuterMargin(6);
    Bevel->SetOuterLink(Field);
    EXPECT_EQ(Field->GetBoundsRect(), TRect(147, 10, 147 + 80, 31));
    Bevel->SetOuterLinkStyle(lsLeft);
    EXPECT_EQ(Field->GetBoundsRect(), TRect(20 - 6 - 80, 10, 20 - 6, 31));
    Bevel->SetOuterLinkStyle(lsBottom);
    EXPECT_EQ(Field->GetBoundsRect(), TRect(20, 37, 141, 37 + 21));
    Bevel->SetOuterLinkStyle(lsTop);
    EXPECT_EQ(Field->GetBoundsRect(), TRect(20, 10 - 6 - 21, 141, 4));
    // Moving the bevel control moves the link along; so does the end of a drag.
    Bevel->SetLeft(40);
    EXPECT_EQ(Field->GetLeft(), 40);
    Field->SetLeft(0);
    struct TDragged : TExternBevelsCustom {
        using TExternBevelsCustom::DoEndDrag;
    };
    void (TExternBevelsCustom::*endDrag)(TObject*, int, int) = &TDragged::DoEndDrag;
    (Bevel->*endDrag)(nullptr, 0, 0);
    EXPECT_EQ(Field->GetLeft(), 40);
}

TEST_F(BevelForm, AlignmentOnlyAwayFromTheOuterLink)
{
    Bevel->SetOuterLink(Field);   // on the right
    Bevel->SetAlign(alClient);
    EXPECT_EQ(Bevel->GetAlign(), alNone);
    Bevel->SetAlign(alRight);
    EXPECT_EQ(Bevel->GetAlign(), alNone);
    Bevel->SetAlign(alLeft);
    EXPECT_EQ(Bevel->GetAlign(), alLeft);
    EXPECT_TRUE(Bevel->AlignCheck(alNone));
    EXPECT_FALSE(Bevel->AlignCheck(alTop));

    // A new link on the left of a left-aligned control undoes the alignment.
    Bevel->SetOuterLink(nullptr);
    Bevel->SetOuterLinkStyle(lsLeft);
    EXPECT_EQ(Bevel->GetAlign(), alLeft);
    Bevel->SetOuterLink(Field);
    EXPECT_EQ(Bevel->GetAlign(), alNone);
    Bevel->SetAlign(alRight);
    EXPECT_EQ(Bevel->GetAlign(), alRight);
}

TEST_F(BevelForm, SelfAndForeignLinksAreRefused)
{
    Bevel->SetOuterLink(Field);
    Bevel->SetOuterLink(Bevel);
    EXPECT_EQ(Bevel->GetOuterLink(), Field);
    Bevel->SetInnerLink(Bevel);
    EXPECT_EQ(Bevel->GetInnerLink(), nullptr);

    TWinControl stranger(nullptr);
    Bevel->SetOuterLink(&stranger);   // any owner while the check is skipped
    EXPECT_EQ(Bevel->GetOuterLink(), &stranger);
    Bevel->SkipOuterLinkCheck = false;
    EXPECT_EQ(Bevel->GetOuterLink(), nullptr);   // verified on reading
    Bevel->SetOuterLink(&stranger);
    EXPECT_EQ(Bevel->GetOuterLink(), nullptr);
    Bevel->SetOuterLink(Field);
    EXPECT_EQ(Bevel->GetOuterLink(), Field);
}

TEST_F(BevelForm, LinksSurviveOtherComponentsAndAreDroppedWithTheirControl)
{
    Bevel->SkipInnerLinkCheck = false;
    Bevel->SkipOuterLinkCheck = false;
    auto* before = new TWinControl(Form);
    auto* field = new TWinControl(Form);
    field->SetParent(Form);
    Bevel->SetOuterLink(field);
    EXPECT_TRUE(Bevel->_CheckOuterLink());
    EXPECT_EQ(Bevel->OuterLinkIndex, Form->IndexOfComponent(field));
    // Components before the link leave the list: the cached index falls beyond the end, the
    // link is found again.
    delete before;
    delete Inner;
    Inner = nullptr;
    EXPECT_TRUE(Bevel->_CheckOuterLink());
    EXPECT_EQ(Bevel->GetOuterLink(), field);
    EXPECT_EQ(Bevel->OuterLinkIndex, Form->IndexOfComponent(field));

    // A destroyed link is dropped, whether or not its owner is checked.
    Bevel->SkipOuterLinkCheck = true;
    delete field;
    EXPECT_FALSE(Bevel->_CheckOuterLink());
    Bevel->Paint();
    EXPECT_EQ(Bevel->OuterLink, nullptr);
}

TEST_F(BevelForm, ParentChangesMoveTheLinksAlong)
{
    Bevel->SetInnerLink(Inner);
    Bevel->SetOuterLink(Field);
    auto* panel = new TWinControl(Form);
    panel->SetParent(Form);
    panel->SetBounds(0, 0, 200, 100);
    Bevel->SetParent(panel);
    EXPECT_EQ(Bevel->GetParent(), panel);
    EXPECT_EQ(Inner->GetParent(), panel);
    EXPECT_EQ(Field->GetParent(), panel);
}

TEST_F(BevelForm, ResetVerifiesTheLinksAgain)
{
    TWinControl stranger(nullptr);
    Bevel->SetOuterLink(&stranger);
    Bevel->SetInnerLink(Inner);
    Bevel->SkipOuterLinkCheck = false;
    Bevel->Reset();
    EXPECT_EQ(Bevel->OuterLink, nullptr);
    EXPECT_EQ(Bevel->InnerLink, Inner);
}

TEST_F(BevelForm, AssignTakesOverPlacementPairAndParentButNotLinks)
{
    auto* panel = new TWinControl(Form);
    panel->SetParent(Form);
    TExternBevelsCustom src(Form);
    src.SetParent(panel);
    *src.InnerMargins = TRect(1, 2, 3, 4);
    src.SetILSHoriz(ilsEnd);
    src.SetILSVerti(ilsStretch);
    src.SetOuterLinkStyle(lsTop);
    src.SetOuterMargin(9);
    src.ExternBevels->SetKind(eblsFrame);
    src.SetOuterLink(Field);

    Bevel->Assign(&src);
    EXPECT_TRUE(*Bevel->InnerMargins == TRect(1, 2, 3, 4));
    EXPECT_EQ(Bevel->GetILSHoriz(), ilsEnd);
    EXPECT_EQ(Bevel->GetILSVerti(), ilsStretch);
    EXPECT_EQ(Bevel->GetOuterLinkStyle(), lsTop);
    EXPECT_EQ(Bevel->GetOuterMargin(), 9);
    EXPECT_EQ(Bevel->ExternBevels->GetKind(), eblsFrame);
    EXPECT_EQ(Bevel->GetParent(), panel);
    EXPECT_EQ(Bevel->GetOuterLink(), nullptr);

    TVCLRect rect;
    try {
        Bevel->Assign(&rect);
        FAIL() << "no assignment error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TVCLRect to a TExternBevelsCustom");
    }
}

TEST_F(BevelForm, DestroyingTheBevelLeavesItsLinksInPlace)
{
    Bevel->SetInnerLink(Inner);
    Bevel->SetOuterLink(Field);
    const TRect inner = Inner->GetBoundsRect();
    const TRect field = Field->GetBoundsRect();
    delete Bevel;
    Bevel = nullptr;
    EXPECT_EQ(Inner->GetBoundsRect(), inner);
    EXPECT_EQ(Field->GetBoundsRect(), field);
    EXPECT_EQ(Field->GetParent(), Form);
}
