// The uncertainties window: the standard uncertainties of the free and complex mobilities and the
// constants of both analytes of the main window's current dependency, typed or taken from the fit
// of its measurements (with their correlations). Every accepted change goes to the document as one
// undo step; the analysis window then shows the band of Rs they give.
#pragma once

#include "bevels/LabeledBevels.h"
#include "controls/NumEdit.h"
#include "model/Uncertainty.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

class TFrmCorvane;

class TFrmUncertainties : public TForm {
public:
    explicit TFrmUncertainties(TFrmCorvane* Main);

    TLabel* LblDependency;
    TLabel* LblAnalyte[2];
    TLabeledBevels* LblParameter[3];
    // [analyte][u0, uCS, K]: mobilities in 1E-9 m^2/(V s), constants in 1/M as the main window
    // shows them; blank for none.
    TOptionalNumEdit* NumU[2][3];
    TButton* BtnFromFit;
    TButton* BtnClear;
    TLabel* LblStatus;
    TButton* BtnClose;

    // Shows the uncertainties of the main window's dependency Index (-1: none).
    void ShowFor(int Index);
    int GetIndex() const { return FIndex; }

    void NumUAccept(TObject* Sender, TCaption NewText, bool& Accept);
    void NumUAccepted(TObject* Sender);
    void BtnFromFitClick(TObject* Sender);
    void BtnClearClick(TObject* Sender);
    void BtnCloseClick(TObject* Sender);

private:
    TFrmCorvane* FMain;
    int FIndex = -1;
    Uncertainties FData;
    bool FShowing = false;

    // FData goes to the document (one undo step when it changed).
    void Store();
    void ShowValues();
};

// The field of each uncertain parameter and its scale from stored units.
inline constexpr double UncertaintyShown[3] = {1e9, 1e9, 1000};
