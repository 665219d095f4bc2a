#include "ui/FpHSetup.h"

#include "ui/AcceptRules.h"
#include "ui/FormLook.h"

TFrmpHSetup* FrmpHSetup = nullptr;

namespace {

constexpr int CaptionLeft = 8;
constexpr int Column1 = 135;
constexpr int Column2 = 262;

}  // namespace

TFrmpHSetup::TFrmpHSetup(TComponent* AOwner) : TForm(AOwner)
{
    SetName("FrmpHSetup");
    SetCaption("pH settup");
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetClientWidth(393);
    SetClientHeight(356);
    SetWindowFont(this);
    SetColor(clBtnFace);

    LblAnalyte1 = NewCaption("LblAnalyte1", "Analyte 1", Column1, 8, 121);
    LblAnalyte2 = NewCaption("LblAnalyte2", "Analyte 2", Column2, 8, 121);
    LblpKa = NewCaption("LblpKa", "pKa", CaptionLeft, 35, 121);
    LblLowpH = NewCaption("LblLowpH", "Low pH", CaptionLeft, 62, 375);
    LblU0Low = NewCaption("LblU0Low", "Free mobility [.1E+9]", CaptionLeft, 89, 121);
    LblUCSLow = NewCaption("LblUCSLow", "Cplx mobility [.1E+9]", CaptionLeft, 116, 121);
    LblKLow = NewCaption("LblKLow", "Cplx constant [.1M]", CaptionLeft, 143, 121);
    LblHighpH = NewCaption("LblHighpH", "High pH", CaptionLeft, 170, 375);
    LblU0High = NewCaption("LblU0High", "Free mobility [.1E+9]", CaptionLeft, 197, 121);
    LblUCSHigh = NewCaption("LblUCSHigh", "Cplx mobility [.1E+9]", CaptionLeft, 224, 121);
    LblKHigh = NewCaption("LblKHigh", "Cplx constant [.1M]", CaptionLeft, 251, 121);

    // Created in tab order: row by row, analyte 1 before analyte 2.
    NumpKa1 = NewField("NumpKa1", Column1, 35);
    NumpKa2 = NewField("NumpKa2", Column2, 35);
    NumU01Low = NewField("NumU01Low", Column1, 89);
    NumU02Low = NewField("NumU02Low", Column2, 89);
    NumU1Low = NewField("NumU1Low", Column1, 116);
    NumU2Low = NewField("NumU2Low", Column2, 116);
    NumK1Low = NewField("NumK1Low", Column1, 143);
    NumK2Low = NewField("NumK2Low", Column2, 143);
    NumU01High = NewField("NumU01High", Column1, 197);
    NumU02High = NewField("NumU02High", Column2, 197);
    NumU1High = NewField("NumU1High", Column1, 224);
    NumU2High = NewField("NumU2High", Column2, 224);
    NumK1High = NewField("NumK1High", Column1, 251);
    NumK2High = NewField("NumK2High", Column2, 251);
    for (TNumEdit* f : {NumK1Low, NumK2Low, NumK1High, NumK2High})
        f->OnAccept = Bind(this, &TFrmpHSetup::NumPositiveAccept);

    ChcbApply = new TCheckBox(this);
    ChcbApply->SetName("ChcbApply");
    ChcbApply->SetParent(this);
    ChcbApply->SetBounds(301, 284, 97, 17);
    ChcbApply->SetCaption("Apply");
    ChcbApply->SetTabStop(true);

    BtnApply = new TButton(this);
    BtnApply->SetName("BtnApply");
    BtnApply->SetParent(this);
    BtnApply->SetBounds(301, 307, 84, 41);
    BtnApply->SetCaption("&Close");
    BtnApply->SetDefault(true);
    BtnApply->SetCancel(true);
    BtnApply->SetTabStop(true);
    BtnApply->OnClick = Bind(this, &TFrmpHSetup::BtnApplyClick);
}

TFrmpHSetup::~TFrmpHSetup()
{
    if (FrmpHSetup == this)
        FrmpHSetup = nullptr;
}

TLabeledBevels* TFrmpHSetup::NewCaption(const char* Name, const char* Text, int Left, int Top, int Width)
{
    TLabeledBevels* caption = NewFieldCaption(this, this, Text, Left, Top, Width);
    caption->SetName(Name);
    return caption;
}

TNumEdit* TFrmpHSetup::NewField(const char* Name, int Left, int Top)
{
    TNumEdit* field = NewNumericField(this, this, Left, Top);
    field->SetName(Name);
    return field;
}

void TFrmpHSetup::NumPositiveAccept(TObject*, TCaption NewText, bool& Accept)
{
    ApplyRangeRule(TRangeRule::Positive, NewText, Accept);
}

void TFrmpHSetup::BtnApplyClick(TObject*)
{
    // Closing takes the focus from a field being edited, which accepts (or reverts) it first.
    SetModalResult(mrOk);
}
