#include "ui/FpHSetup.h"

#include "ui/AcceptRules.h"
#include "ui/FormLook.h"
#include "ui/InputFields.h"

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

    // The headings, then each row's caption and its fields (pHFields), in tab order.
    LblAnalyte1 = NewCaption("LblAnalyte1", "Analyte 1", Column1, 8, 121);
    LblAnalyte2 = NewCaption("LblAnalyte2", "Analyte 2", Column2, 8, 121);
    LblLowpH = NewCaption("LblLowpH", "Low pH", CaptionLeft, 62, 375);
    LblHighpH = NewCaption("LblHighpH", "High pH", CaptionLeft, 170, 375);
    for (const TpHFieldRow& f : pHFields)
        if (f.Caption.Member != nullptr)
            this->*f.Caption.Member = NewCaption(f.Caption.Name, f.Caption.Text, f.Caption.Left, f.Top, 121);
    for (const TpHFieldRow& f : pHFields) {
        this->*f.Member = NewField(f.Name, f.Left, f.Top);
        if (f.Positive)
            (this->*f.Member)->OnAccept = Bind(this, &TFrmpHSetup::NumPositiveAccept);
    }

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
