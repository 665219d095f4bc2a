#include "bevels/LabeledBevels.h"
#include "platform/Forms.h"
#include "platform/qt/QtAccess.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace Tolva;

namespace {

struct CaptionForm : ::testing::Test {
    TForm* Form = new TForm(nullptr);
    TLabeledBevels* Caption = new TLabeledBevels(Form);
    TEdit* Edit = new TEdit(Form);

    void SetUp() override
    {
        Form->SetBounds(0, 0, 320, 120);
        Caption->SetParent(Form);
        Caption->SetLeft(10);
        Caption->SetTop(20);
        Edit->SetParent(Form);
        Edit->SetBounds(200, 80, 100, 21);
    }
    void TearDown() override { delete Form; }
};

} // namespace

TEST_F(CaptionForm, LabelFillsTheFrameInsideItsMargins)
{
    TLabel* label = Caption->CaptionLabel;
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetOwner(), Caption);
    EXPECT_EQ(label->GetParent(), Form);
    EXPECT_EQ(Caption->GetInnerLink(), label);
    EXPECT_EQ(label->GetBoundsRect(), TRect(13, 23, 13 + 115, 23 + 15));
    EXPECT_FALSE(label->GetAutoSize());
    EXPECT_FALSE(label->GetTransparent());
    EXPECT_EQ(Caption->GetAlignment(), taLeftJustify);
    EXPECT_EQ(Caption->GetLayout(), tlCenter);
    EXPECT_EQ(Caption->GetILSHoriz(), ilsStretch);
    EXPECT_FALSE(Caption->SkipOuterLinkCheck);
    EXPECT_TRUE(Caption->SkipInnerLinkCheck);

    // Also without a parent the label has its place from the start.
    TLabeledBevels loose(nullptr);
    EXPECT_EQ(loose.CaptionLabel->GetBoundsRect(), TRect(3, 3, 118, 18));
    loose.SetBounds(5, 5, 121, 21);
    EXPECT_EQ(loose.CaptionLabel->GetBoundsRect(), TRect(8, 8, 123, 23));

    // The label follows size and frame changes at once.
    Caption->SetWidth(200);
    Caption->SetHeight(30);
    Caption->Paint();
    EXPECT_EQ(label->GetBoundsRect(), TRect(13, 23, 13 + 194, 23 + 24));
    Caption->ExternBevels->SetKind(eblsBtn);
    EXPECT_EQ(label->GetBoundsRect(), TRect(14, 24, 14 + 192, 24 + 22));
}

TEST_F(CaptionForm, PropertiesAreForwardedToTheLabel)
{
    TLabel* label = Caption->CaptionLabel;
    Caption->SetCaption("Diff. coeff. cplx [.1E+9]");
    EXPECT_EQ(label->GetCaption(), "Diff. coeff. cplx [.1E+9]");
    EXPECT_EQ(Caption->TExternBevelsCustom::GetText(), "Diff. coeff. cplx [.1E+9]");
    EXPECT_EQ(Caption->GetCaption(), "Diff. coeff. cplx [.1E+9]");

    Caption->SetVisible(false);
    EXPECT_FALSE(label->GetVisible());
    EXPECT_FALSE(Caption->TExternBevelsCustom::GetVisible());
    EXPECT_FALSE(Caption->GetVisible());
    Caption->SetVisible(true);

    Caption->SetColor(clAqua);
    EXPECT_EQ(label->GetColor(), clAqua);
    EXPECT_EQ(Caption->ExternBevels->GetBackgroundColor(), clAqua);
    EXPECT_FALSE(Caption->GetParentColor());
    Caption->SetParentColor(true);
    EXPECT_TRUE(Caption->GetParentColor());
    EXPECT_EQ(Caption->GetColor(), Form->GetColor());

    // A new colour of the parent reaches label and frame, and both keep following it.
    Form->SetColor(clYellow);
    EXPECT_EQ(label->GetColor(), clYellow);
    EXPECT_EQ(Caption->ExternBevels->GetBackgroundColor(), clYellow);
    EXPECT_TRUE(Caption->GetParentColor());
    EXPECT_TRUE(Caption->TExternBevelsCustom::GetParentColor());

    Caption->SetEnabled(false);
    EXPECT_FALSE(label->GetEnabled());
    EXPECT_FALSE(Caption->GetEnabled());
    Caption->SetCursor(crHandPoint);
    EXPECT_EQ(label->GetCursor(), crHandPoint);
    EXPECT_EQ(Caption->TExternBevelsCustom::GetCursor(), crHandPoint);
    Caption->SetDragCursor(crNo);
    EXPECT_EQ(label->GetDragCursor(), crNo);
    Caption->SetHint("Gr\xFC\xDF" "e");   // Windows-1252 bytes
    EXPECT_EQ(label->GetHint(), "Gr\xC3\xBC\xC3\x9F" "e");
    EXPECT_EQ(Caption->GetHint(), AnsiString("Gr\xFC\xDF" "e"));

    // Label-only settings leave the bevel control alone.
    Caption->SetLayout(tlBottom);
    Caption->SetAlignment(taCenter);
    Caption->SetWordWrap(true);
    Caption->SetShowAccelChar(false);
    EXPECT_EQ(label->GetLayout(), tlBottom);
    EXPECT_EQ(label->GetAlignment(), taCenter);
    EXPECT_TRUE(label->GetWordWrap());
    EXPECT_FALSE(label->GetShowAccelChar());
}

TEST_F(CaptionForm, LabelEventsReachTheCaptionWithShiftedCoordinates)
{
    TObject* clickSender = nullptr;
    TPoint down;
    TObject* downSender = nullptr;
    Caption->OnClick = [&](TObject* s) { clickSender = s; };
    Caption->OnMouseDown = [&](TObject* s, TMouseButton, TShiftState, int X, int Y) {
        downSender = s;
        down = TPoint(X, Y);
    };
    Form->Show();
    QWidget* w = WidgetOf(Form);
    const QPoint at(Caption->CaptionLabel->GetLeft() + 10, Caption->CaptionLabel->GetTop() + 5);
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(clickSender, Caption);
    EXPECT_EQ(downSender, Caption);
    EXPECT_EQ(down, TPoint(13, 8));

    // The drag-over answer travels back to the label.
    bool accept = false;
    Caption->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& Accept) {
        Accept = true;
    };
    Caption->CaptionLabel->OnDragOver(Caption->CaptionLabel, nullptr, 1, 1, dsDragMove, accept);
    EXPECT_TRUE(accept);

    // Unset events are not called and nothing fails.
    Caption->OnMouseUp = nullptr;
    Caption->CaptionLabel->OnMouseUp(Caption->CaptionLabel, mbLeft, TShiftState(), 1, 1);
}

TEST_F(CaptionForm, MouseEnterAndLeaveFollowTheLabel)
{
    int entered = 0, left = 0;
    TObject* sender = nullptr;
    Caption->OnMouseEnter = [&](TObject* s) { ++entered; sender = s; };
    Caption->OnMouseLeave = [&](TObject*) { ++left; };
    Form->Show();
    QWidget* w = WidgetOf(Form);
    QTest::mouseMove(w, QPoint(200, 100));                 // outside the caption
    QTest::mouseMove(w, QPoint(10 + 1, 20 + 1));           // on the frame: nothing yet
    EXPECT_EQ(entered, 0);
    QTest::mouseMove(w, QPoint(10 + 30, 20 + 10));         // on the label
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(sender, Caption);
    QTest::mouseMove(w, QPoint(10 + 1, 20 + 1));           // back on the frame: the label is left
    EXPECT_EQ(left, 1);
    QTest::mouseMove(w, QPoint(200, 100));
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);
}

TEST_F(CaptionForm, OuterLinkPlacesTheFieldAndTheAcceleratorFocusesIt)
{
    Caption->SetCaption("&Name");
    Caption->SetOuterMargin(6);
    Caption->SetOuterLink(Edit);
    EXPECT_EQ(Edit->GetBoundsRect(), TRect(10 + 121 + 6, 20, 10 + 121 + 6 + 100, 41));
    EXPECT_EQ(Caption->CaptionLabel->GetFocusControl(), Edit);

    auto* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetBounds(0, 90, 50, 21);
    Form->Show();
    QApplication::setActiveWindow(WidgetOf(Form));
    other->SetFocus();
    ASSERT_TRUE(other->Focused());
    QTest::keyClick(WidgetOf(Form)->focusWidget(), Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(Edit->Focused());
}

TEST(LabeledBevels, FormGoesWithCaptionsLinkedToLaterFields)
{
    // Fields created after their captions are destroyed first; the captions must not touch
    // them afterwards, nor the label its focus control.
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 300, 200);
    for (int i = 0; i < 4; ++i) {
        auto* caption = new TLabeledBevels(form);
        caption->SetParent(form);
        caption->SetTop(i * 25);
        auto* edit = new TEdit(form);
        edit->SetParent(form);
        caption->SetOuterLink(edit);
    }
    form->Show();
    delete form;
}

TEST_F(CaptionForm, ForeignOuterLinkStillBecomesTheFocusControl)
{
    TEdit stranger(nullptr);
    Caption->SetOuterLink(&stranger);
    EXPECT_EQ(Caption->GetOuterLink(), nullptr);
    EXPECT_EQ(Caption->CaptionLabel->GetFocusControl(), &stranger);

    // A windowless link gives no focus control.
    TLabel* plain = new TLabel(Form);
    Caption->SetOuterLink(plain);
    EXPECT_EQ(Caption->GetOuterLink(), plain);
    EXPECT_EQ(Caption->CaptionLabel->GetFocusControl(), nullptr);
}

TEST_F(CaptionForm, ParentChangesTakeTheLabelAlong)
{
    auto* panel = new TWinControl(Form);
    panel->SetParent(Form);
    panel->SetBounds(0, 0, 300, 100);
    Caption->SetOuterLink(Edit);
    Caption->SetParent(panel);
    EXPECT_EQ(Caption->GetParent(), panel);
    EXPECT_EQ(Caption->CaptionLabel->GetParent(), panel);
    EXPECT_EQ(Edit->GetParent(), panel);
}

TEST_F(CaptionForm, AssignCopiesTheLabelAndRoutesItsEventsHere)
{
    TLabeledBevels src(Form);
    src.SetCaption("Source");
    src.SetLayout(tlBottom);
    src.SetAlignment(taRightJustify);
    src.SetOuterMargin(4);
    int entered = 0;
    src.OnMouseEnter = [&](TObject*) { ++entered; };
    Caption->Assign(&src);
    EXPECT_EQ(Caption->CaptionLabel->GetCaption(), "Source");
    EXPECT_EQ(Caption->GetLayout(), tlBottom);
    EXPECT_EQ(Caption->GetAlignment(), taRightJustify);
    EXPECT_EQ(Caption->GetOuterMargin(), 4);
    Caption->CaptionLabel->OnMouseEnter(Caption->CaptionLabel);
    EXPECT_EQ(entered, 1);
}

// Pictures of the captions for looking at: a column of captions beside edits, and every look of
// the pair. They are written next to the test program.
static UnicodeString PictureFile(const char* Name)
{
    return QCoreApplication::applicationDirPath().toStdString() + "/" + Name;
}

TEST(LabeledBevelsPicture, CaptionsBesideEdits)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 290, 170);
    const char* captions[] = {"&Name", "Analyte &1", "Diff. coeff. cplx [.1E+9]", "Voltage [kV]",
                              "Capillary length [cm]", "pH"};
    int top = 8;
    for (const char* text : captions) {
        auto* edit = new TEdit(&form);
        edit->SetParent(&form);
        edit->SetWidth(130);
        edit->SetText("1.5");
        auto* caption = new TLabeledBevels(&form);
        caption->SetParent(&form);
        caption->SetBounds(8, top, 121, 21);
        caption->SetCaption(text);
        caption->SetOuterMargin(6);
        caption->SetOuterLink(edit);
        top += 26;
    }
    form.SaveToPng(PictureFile("bevels_captions.png"));
}

TEST(LabeledBevelsPicture, EveryKindAndKind3D)
{
    static const char* kinds[] = {"eblsBox",      "eblsBtn",     "eblsBtnAnti",   "eblsArea",
                                  "eblsForm",     "eblsFrame",   "eblsLeftLine",  "eblsTopLine",
                                  "eblsRightLine", "eblsBottomLine"};
    static const char* kinds3d[] = {"ebls3DBox", "ebls3DFrame", "ebls3DTrench"};
    TForm form(nullptr);
    form.SetBounds(0, 0, 3 * 150 + 10, 10 * 30 + 10);
    for (int k = 0; k < 10; ++k)
        for (int d = 0; d < 3; ++d) {
            auto* c = new TLabeledBevels(&form);
            c->SetParent(&form);
            c->SetBounds(8 + d * 150, 8 + k * 30, 140, 24);
            c->ExternBevels->SetKind(TExternBevelsKind(k));
            c->ExternBevels->SetKind3D(TExternBevelsKind3D(d));
            c->SetCaption(std::string(kinds[k]) + " " + (kinds3d[d] + 6));
        }
    form.SaveToPng(PictureFile("bevels_kinds.png"));
}
