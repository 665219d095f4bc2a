// The pH effects dialog: for each analyte its pKa and, at low and at high pH, the free
// mobility, the complex mobility and the complexation constant, and whether the dependency
// uses this description ("Apply"). The dialog computes and stores nothing: the main window
// fills its fields when it shows a dependency and reads them when it applies one.
#pragma once

#include "bevels/LabeledBevels.h"
#include "controls/NumEdit.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

class TFrmpHSetup : public TForm {
public:
    explicit TFrmpHSetup(TComponent* AOwner);
    ~TFrmpHSetup() override;

    // Column headings: the analytes of the dependency last shown in the main window.
    TLabeledBevels* LblAnalyte1;
    TLabeledBevels* LblAnalyte2;
    TLabeledBevels* LblpKa;
    TLabeledBevels* LblLowpH;
    TLabeledBevels* LblU0Low;
    TLabeledBevels* LblUCSLow;
    TLabeledBevels* LblKLow;
    TLabeledBevels* LblHighpH;
    TLabeledBevels* LblU0High;
    TLabeledBevels* LblUCSHigh;
    TLabeledBevels* LblKHigh;

    TNumEdit* NumpKa1;
    TNumEdit* NumpKa2;
    TNumEdit* NumU01Low;
    TNumEdit* NumU02Low;
    TNumEdit* NumU1Low;
    TNumEdit* NumU2Low;
    TNumEdit* NumK1Low;
    TNumEdit* NumK2Low;
    TNumEdit* NumU01High;
    TNumEdit* NumU02High;
    TNumEdit* NumU1High;
    TNumEdit* NumU2High;
    TNumEdit* NumK1High;
    TNumEdit* NumK2High;

    TCheckBox* ChcbApply;
    // "&Close": the default and the cancel button, so Enter and Escape close the dialog.
    TButton* BtnApply;

    // The rule of the four constant fields: positive numbers only.
    void NumPositiveAccept(TObject* Sender, TCaption NewText, bool& Accept);
    void BtnApplyClick(TObject* Sender);

private:
    TLabeledBevels* NewCaption(const char* Name, const char* Text, int Left, int Top, int Width);
    TNumEdit* NewField(const char* Name, int Left, int Top);
};

extern TFrmpHSetup* FrmpHSetup;
