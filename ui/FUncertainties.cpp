#include "ui/FUncertainties.h"

#include "model/Fit.h"
#include "ui/AcceptRules.h"
#include "ui/FCorvane.h"
#include "ui/FormLook.h"

#include <string>

namespace {

constexpr int CaptionX = 8;
constexpr int FieldX[2] = {135, 262};
constexpr int HeadY = 30;
constexpr int FirstRow = 52;
constexpr int RowStep = 27;
const char* const ParameterCaptions[3] = {"u(u0) [.1E+9]", "u(uCS) [.1E+9]", "u(K) [.1M]"};
const std::string FieldNames[3] = {"NumUu0", "NumUuCS", "NumUK"};

// The parameter of the field of an analyte (0, 1) and a row (u0, uCS, K).
int ParameterOf(int Analyte, int Row)
{
    return Analyte * 3 + Row;
}

}  // namespace

TFrmUncertainties::TFrmUncertainties(TFrmCorvane* Main) : TForm(Main), FMain(Main)
{
    SetName("FrmUncertainties");
    SetCaption("Uncertainties");
    SetClientWidth(391);
    SetClientHeight(283);
    SetWindowFont(this);
    SetColor(clBtnFace);

    LblDependency = NewWrappedText(this, 8, 6, 375, 20);
    for (int a = 0; a < 2; ++a) {
        LblAnalyte[a] = new TLabel(this);
        LblAnalyte[a]->SetParent(this);
        LblAnalyte[a]->SetBounds(FieldX[a] + 2, HeadY, FieldWidth - 4, 16);
        LblAnalyte[a]->SetCaption(a == 0 ? "Analyte 1" : "Analyte 2");
    }
    for (int row = 0; row < 3; ++row) {
        const int top = FirstRow + row * RowStep;
        LblParameter[row] = NewFieldCaption(this, this, ParameterCaptions[row], CaptionX, top);
        for (int a = 0; a < 2; ++a) {
            auto* field = new TOptionalNumEdit(this);
            PlaceNumericField(field, this, FieldX[a], top);
            field->SetName((FieldNames[row] + std::to_string(a + 1)).c_str());
            field->OnAccept = Bind(this, &TFrmUncertainties::NumUAccept);
            field->OnAccepted = Bind(this, &TFrmUncertainties::NumUAccepted);
            NumU[a][row] = field;
        }
    }
    BtnFromFit = NewButton(this, this, "BtnFromFit", "From the &fit", 8, 139, 121, 25);
    BtnFromFit->OnClick = Bind(this, &TFrmUncertainties::BtnFromFitClick);
    BtnClear = NewButton(this, this, "BtnClear", "C&lear", 135, 139, 121, 25);
    BtnClear->OnClick = Bind(this, &TFrmUncertainties::BtnClearClick);
    LblStatus = NewWrappedText(this, 8, 172, 375, 56);
    BtnClose = NewButton(this, this, "BtnClose", "&Close", 299, 234, 84, 41);
    BtnClose->SetCancel(true);
    BtnClose->OnClick = Bind(this, &TFrmUncertainties::BtnCloseClick);
    ShowFor(-1);
}

void TFrmUncertainties::ShowFor(int Index)
{
    const int count = static_cast<int>(FMain->Records.size());
    FIndex = Index >= 0 && Index < count ? Index : -1;
    FData = FIndex >= 0 ? FMain->Records[static_cast<size_t>(FIndex)].Uncertainty : Uncertainties();
    if (FIndex < 0) {
        LblDependency->SetCaption("No dependency is selected.");
    } else {
        const DependencyRecord& r = FMain->Records[static_cast<size_t>(FIndex)];
        LblDependency->SetCaption(AnsiToUtf8(r.name) + ": " + AnsiToUtf8(r.analyte1) + " and " +
                                  AnsiToUtf8(r.analyte2));
        LblAnalyte[0]->SetCaption(AnsiToUtf8(r.analyte1));
        LblAnalyte[1]->SetCaption(AnsiToUtf8(r.analyte2));
    }
    ShowValues();
}

void TFrmUncertainties::ShowValues()
{
    FShowing = true;
    for (int a = 0; a < 2; ++a)
        for (int row = 0; row < 3; ++row) {
            TOptionalNumEdit* f = NumU[a][row];
            f->SetEnabled(FIndex >= 0);
            const double u = FData.u[static_cast<size_t>(ParameterOf(a, row))];
            if (u > 0)
                f->SetValue(u * UncertaintyShown[row]);
            else
                f->Clear();
        }
    FShowing = false;
    BtnFromFit->SetEnabled(FIndex >= 0);
    BtnClear->SetEnabled(FIndex >= 0 && !FData.Empty());

    UnicodeString status;
    if (FIndex >= 0) {
        if (!FData.Any())
            status = "No uncertainties: the analysis shows no band.";
        else
            status = UnicodeString(FData.FromFit ? "From the fit of the measurements" : "Typed") +
                     (FData.Correlation.empty() ? "; independent." : "; correlated as the fit found.") +
                     " The analysis shows the 5\u201395 % band of Rs and P(Rs \u2265 1.5) from " +
                     IntToStr(DefaultDraws) + " Monte Carlo draws.";
        const UnicodeString refusal = UncertaintyRefusal(FData);
        if (!refusal.empty())
            status = refusal;
    }
    LblStatus->SetCaption(status);
}

void TFrmUncertainties::Store()
{
    if (FIndex >= 0 && FIndex < static_cast<int>(FMain->Records.size()))
        FMain->Document.SetUncertainties(FIndex, FData);
    ShowValues();
}

void TFrmUncertainties::NumUAccept(TObject*, TCaption NewText, bool& Accept)
{
    // Blank leaves the uncertainty out.
    if (Accept && Trim(NewText).empty())
        return;
    ApplyRangeRule(TRangeRule::NonNegative, NewText, Accept);
}

void TFrmUncertainties::NumUAccepted(TObject* Sender)
{
    if (FShowing || FIndex < 0)
        return;
    for (int a = 0; a < 2; ++a)
        for (int row = 0; row < 3; ++row)
            if (Sender == NumU[a][row]) {
                const double u = NumU[a][row]->GetAcceptedValue() / UncertaintyShown[row];
                double& stored = FData.u[static_cast<size_t>(ParameterOf(a, row))];
                if (u == stored)
                    return;
                stored = u;
                // A typed value is no longer the fit's; the correlations the fit found stay.
                FData.FromFit = false;
            }
    Store();
}

void TFrmUncertainties::BtnFromFitClick(TObject*)
{
    if (FIndex < 0)
        return;
    const DependencyRecord& r = FMain->Records[static_cast<size_t>(FIndex)];
    const Uncertainties fitted = UncertaintiesFromFit(FitMeasurements(r.Measured, r.Params.phys));
    if (!fitted.Any()) {
        LblStatus->SetCaption("The measurements give no uncertainties: measure more rows than the fit has free "
                              "parameters (Measurements...).");
        return;
    }
    FData = fitted;
    Store();
}

void TFrmUncertainties::BtnClearClick(TObject*)
{
    FData = Uncertainties();
    Store();
}

void TFrmUncertainties::BtnCloseClick(TObject*)
{
    Close();
}
