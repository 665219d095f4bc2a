#include "ui/InputFields.h"

#include "ui/AcceptRules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

using namespace InputGrid;

// Columns of the pH dialog.
constexpr int pHCaptionX = 8;
constexpr int pHColumn1 = 135;
constexpr int pHColumn2 = 262;

using W = TFrmCorvane;
using D = TFrmpHSetup;
constexpr TCaptionRow<W> NoCaption{nullptr, nullptr, nullptr, 0};
constexpr TCaptionRow<D> NopHCaption{nullptr, nullptr, nullptr, 0};
constexpr auto Positive = &W::NumPositiveAccept;
constexpr auto Whole = &W::NumIntAccept;
constexpr auto Mark = &W::EdtAccepted;

}  // namespace

// clang-format off
const TMainFieldRow MainFields[MainFieldCount] = {
    // Mobilities and constants of both analytes.
    {&W::NumU01, "NumU01", {&W::LblU0, "LblU0", "Free mobility [.1E+9]", CaptionX}, fpGrid, Field1X, Row[1], true, false, 0,
     [](Params& p) -> double& { return p.phys.u01; }, 1e-9, 1e9, nullptr, &W::NumUZ01Accepted},
    {&W::NumU02, "NumU02", NoCaption, fpGrid, Field2X, Row[1], true, false, 0,
     [](Params& p) -> double& { return p.phys.u02; }, 1e-9, 1e9, nullptr, &W::NumUZ02Accepted},
    {&W::NumU1, "NumU1", {&W::LblUCS, "LblUCS", "Cplx mobility [.1E+9]", CaptionX}, fpGrid, Field1X, Row[2], true, false, 20,
     [](Params& p) -> double& { return p.phys.u1; }, 1e-9, 1e9, nullptr, &W::NumUZCSAccepted},
    {&W::NumU2, "NumU2", NoCaption, fpGrid, Field2X, Row[2], true, false, 20,
     [](Params& p) -> double& { return p.phys.u2; }, 1e-9, 1e9, nullptr, &W::NumUZCSAccepted},
    {&W::NumK1, "NumK1", {&W::LblK, "LblK", "Cplx constant [.1M]", CaptionX}, fpGrid, Field1X, Row[3], true, false, 200,
     [](Params& p) -> double& { return p.phys.K1; }, 0.001, 1000, Positive, Mark},
    {&W::NumK2, "NumK2", NoCaption, fpGrid, Field2X, Row[3], true, false, 500,
     [](Params& p) -> double& { return p.phys.K2; }, 0.001, 1000, Positive, Mark},
    // Charges and diffusion coefficients, hidden under the pH panel.
    {&W::NumZ01, "NumZ01", {&W::LblZ, "LblZ", "Charge", CaptionX}, fpGrid, Field1X, Row[4], false, false, 0,
     [](Params& p) -> double& { return p.phys.z01; }, 1, 1, Whole, &W::NumUZ01Accepted},
    {&W::NumZ02, "NumZ02", NoCaption, fpGrid, Field2X, Row[4], false, false, 0,
     [](Params& p) -> double& { return p.phys.z02; }, 1, 1, Whole, &W::NumUZ02Accepted},
    {&W::NumZCS, "NumZCS", NoCaption, fpGrid, Field3X, Row[4], false, false, 0,
     [](Params& p) -> double& { return p.phys.zCS; }, 1, 1, Whole, &W::NumUZCSAccepted},
    {&W::NumD01, "NumD01", {&W::LblD0, "LblD0", "Diff. coeff. free [.1E+9]", CaptionX}, fpGrid, Field1X, Row[5], false, false, 1,
     [](Params& p) -> double& { return p.phys.D01; }, 1e-9, 1e9, Positive, Mark},
    {&W::NumD02, "NumD02", NoCaption, fpGrid, Field2X, Row[5], false, false, 1,
     [](Params& p) -> double& { return p.phys.D02; }, 1e-9, 1e9, Positive, Mark},
    {&W::NumD1, "NumD1", {&W::LblDCS, "LblDCS", "Diff. coeff. cplx [.1E+9]", CaptionX}, fpGrid, Field1X, Row[6], false, true, 0,
     [](Params& p) -> double& { return p.phys.D1; }, 1e-9, 1e9, Positive, Mark},
    {&W::NumD2, "NumD2", NoCaption, fpGrid, Field2X, Row[6], false, true, 0,
     [](Params& p) -> double& { return p.phys.D2; }, 1e-9, 1e9, Positive, Mark},
    // The run conditions.
    {&W::NumCapillary, "NumCapillary", {&W::LblCapillary, "LblCapillary", "Capillary length [cm]", Caption2X}, fpGrid,
     Field4X, Row[0], true, false, 48, [](Params& p) -> double& { return p.phys.Capillary; }, 0.01, 100, Positive, Mark},
    {&W::NumDetector, "NumDetector", {&W::LblDetector, "LblDetector", "Detector length [cm]", Caption2X}, fpGrid,
     Field4X, Row[1], true, false, 40, [](Params& p) -> double& { return p.phys.Detector; }, 0.01, 100, Positive, Mark},
    {&W::NumVoltage, "NumVoltage", {&W::LblVoltage, "LblVoltage", "Voltage [kV]", Caption2X}, fpGrid,
     Field4X, Row[2], true, false, 10, [](Params& p) -> double& { return p.phys.Voltage; }, 1000, 0.001, nullptr, Mark},
    {&W::NumTemperature, "NumTemperature", {&W::LblTemperature, "LblTemperature", "Temperature [\u00B0C]", Caption2X},
     fpGrid, Field4X, Row[3], false, false, 25, [](Params& p) -> double& { return p.phys.Temperature; }, 1, 1,
     &W::NumTemperatureAccept, Mark},
    {&W::NumEOF, "NumEOF", {&W::LblEOF, "LblEOF", "EOF Mobility [.1E+9]", Caption2X}, fpGrid,
     Field4X, Row[4], true, false, 0, [](Params& p) -> double& { return p.phys.EOF; }, 1e-9, 1e9, nullptr, Mark},
    {&W::NumEOFSlope, "NumEOFSlope", {&W::LblEOFSlope, "LblEOFSlope", "EOF slope [.1E+9/mM]", Caption2X}, fpGrid,
     Field4X, Row[5], false, false, 0, [](Params& p) -> double& { return p.phys.EOFSlope; }, 1e-9, 1e9, nullptr, Mark},
    {&W::NumRadius, "NumRadius", {&W::LblRadius, "LblRadius", "Capillary radius [um]", Caption3X}, fpGrid,
     Field5X, Row[0], false, false, 50, [](Params& p) -> double& { return p.phys.Radius; }, 1e-6, 1e6, Positive, Mark},
    {&W::NumPressure, "NumPressure", {&W::LblPressure, "LblPressure", "Ext. pressure [mBar]", Caption3X}, fpGrid,
     Field5X, Row[1], false, false, 0, [](Params& p) -> double& { return p.phys.Pressure; }, 100, 0.01, nullptr, Mark},
    // The sweep.
    {&W::NumMinC, "NumMinC", {&W::LblMinC, "LblMinC", "Min concentration [mM]", CaptionX}, fpGrid,
     Field1X, Row[7], true, false, 0, [](Params& p) -> double& { return p.cMin; }, 1, 1, &W::NumNonNegativeCAccept, Mark},
    {&W::NumMaxC, "NumMaxC", {&W::LblMaxC, "LblMaxC", "Max concentration [mM]", Field2X}, fpGrid,
     Field3X, Row[7], true, false, 50, [](Params& p) -> double& { return p.cMax; }, 1, 1, Positive, Mark},
    {&W::NumPoints, "NumPoints", {&W::LblPoints, "LblPoints", "Data points", Caption2X}, fpGrid,
     Field4X, Row[7], true, false, 100, nullptr, 1, 1, &W::NumPointsAccept, Mark},
    // The pH of dependencies that use the pH model, in the pH panel.
    {&W::NumpH, "NumpH", {&W::LblpH, "LblpH", "pH", 0}, fppH, Field1X - CaptionX, 54, false, false, 7,
     [](Params& p) -> double& { return p.pH; }, 1, 1, nullptr, Mark},
};

const TpHFieldRow pHFields[pHFieldCount] = {
    {&D::NumpKa1, "NumpKa1", {&D::LblpKa, "LblpKa", "pKa", pHCaptionX}, pHColumn1, 35,
     [](Params& p) -> double& { return p.a1.pKa; }, 1, false},
    {&D::NumpKa2, "NumpKa2", NopHCaption, pHColumn2, 35, [](Params& p) -> double& { return p.a2.pKa; }, 1, false},
    {&D::NumU01Low, "NumU01Low", {&D::LblU0Low, "LblU0Low", "Free mobility [.1E+9]", pHCaptionX}, pHColumn1, 89,
     [](Params& p) -> double& { return p.a1.lu0; }, 1e-9, false},
    {&D::NumU02Low, "NumU02Low", NopHCaption, pHColumn2, 89, [](Params& p) -> double& { return p.a2.lu0; }, 1e-9, false},
    {&D::NumU1Low, "NumU1Low", {&D::LblUCSLow, "LblUCSLow", "Cplx mobility [.1E+9]", pHCaptionX}, pHColumn1, 116,
     [](Params& p) -> double& { return p.a1.luCS; }, 1e-9, false},
    {&D::NumU2Low, "NumU2Low", NopHCaption, pHColumn2, 116, [](Params& p) -> double& { return p.a2.luCS; }, 1e-9, false},
    {&D::NumK1Low, "NumK1Low", {&D::LblKLow, "LblKLow", "Cplx constant [.1M]", pHCaptionX}, pHColumn1, 143,
     [](Params& p) -> double& { return p.a1.lK; }, 0.001, true},
    {&D::NumK2Low, "NumK2Low", NopHCaption, pHColumn2, 143, [](Params& p) -> double& { return p.a2.lK; }, 0.001, true},
    {&D::NumU01High, "NumU01High", {&D::LblU0High, "LblU0High", "Free mobility [.1E+9]", pHCaptionX}, pHColumn1, 197,
     [](Params& p) -> double& { return p.a1.hu0; }, 1e-9, false},
    {&D::NumU02High, "NumU02High", NopHCaption, pHColumn2, 197, [](Params& p) -> double& { return p.a2.hu0; }, 1e-9,
     false},
    {&D::NumU1High, "NumU1High", {&D::LblUCSHigh, "LblUCSHigh", "Cplx mobility [.1E+9]", pHCaptionX}, pHColumn1, 224,
     [](Params& p) -> double& { return p.a1.huCS; }, 1e-9, false},
    {&D::NumU2High, "NumU2High", NopHCaption, pHColumn2, 224, [](Params& p) -> double& { return p.a2.huCS; }, 1e-9,
     false},
    {&D::NumK1High, "NumK1High", {&D::LblKHigh, "LblKHigh", "Cplx constant [.1M]", pHCaptionX}, pHColumn1, 251,
     [](Params& p) -> double& { return p.a1.hK; }, 0.001, true},
    {&D::NumK2High, "NumK2High", NopHCaption, pHColumn2, 251, [](Params& p) -> double& { return p.a2.hK; }, 0.001, true},
};
// clang-format on

// ---------------------------------------------------------------------------------------------
// Window and record

void TFrmCorvane::ShowRecord(int Index)
{
    const Record& r = Records.at(static_cast<size_t>(Index));
    FShownKnown = true;
    FShownStored = {r.name, r.analyte1, r.analyte2, r.selector};
    const std::array<TEdit*, 4> edits = NameEdits();
    for (size_t k = 0; k < edits.size(); ++k) {
        edits[k]->SetText(AnsiToUtf8(FShownStored[k]));
        FShownTexts[k] = edits[k]->GetText();
    }

    // A copy: showing the values runs the fields' handlers.
    Params p = r.Params;
    if (TFrmpHSetup* d = FrmpHSetup) {
        d->LblAnalyte1->SetCaption(AnsiToUtf8(r.analyte1));
        d->LblAnalyte2->SetCaption(AnsiToUtf8(r.analyte2));
        d->ChcbApply->SetChecked(p.applypH);
        for (const TpHFieldRow& f : pHFields)
            (d->*f.Member)->SetValue(f.Value(p) / f.Scale);
    }
    for (const TMainFieldRow& f : MainFields)
        (this->*f.Member)->SetValue(f.Value != nullptr ? f.Value(p) * f.ToShown : p.points);

    LblpH->SetVisible(p.applypH);
    NumpH->SetVisible(p.applypH);
    for (TNumEdit* e : {NumU01, NumU1, NumK1, NumU02, NumU2, NumK2})
        e->SetReadOnly(p.applypH);
}

void TFrmCorvane::StoreWindow(Record& Target)
{
    // A text that is still as shown is stored as the record held it, also beyond what its edit
    // can show.
    const std::array<TEdit*, 4> edits = NameEdits();
    const std::array<AnsiString*, 4> texts = {&Target.name, &Target.analyte1, &Target.analyte2, &Target.selector};
    for (size_t k = 0; k < edits.size(); ++k) {
        const UnicodeString text = edits[k]->GetText();
        *texts[k] = FShownKnown && text == FShownTexts[k] ? FShownStored[k] : Utf8ToAnsiLossless(text);
    }

    Params& p = Target.Params;
    if (TFrmpHSetup* d = FrmpHSetup) {
        p.applypH = d->ChcbApply->GetChecked();
        for (const TpHFieldRow& f : pHFields)
            f.Value(p) = (d->*f.Member)->GetAcceptedValue() * f.Scale;
    }
    for (const TMainFieldRow& f : MainFields) {
        const double shown = (this->*f.Member)->GetAcceptedValue();
        if (f.Value != nullptr) {
            f.Value(p) = shown * f.ToStored;
        } else {
            // The field's rule keeps points a whole number from 1 to 2147483647.
            p.points = static_cast<std::int32_t>(std::clamp(std::trunc(shown), double(INT32_MIN), double(INT32_MAX)));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Field rules

void TFrmCorvane::NumPositiveAccept(TObject*, TCaption NewText, bool& Accept)
{
    ApplyRangeRule(TRangeRule::Positive, NewText, Accept);
}

void TFrmCorvane::NumNonNegativeCAccept(TObject*, TCaption NewText, bool& Accept)
{
    ApplyRangeRule(TRangeRule::NonNegative, NewText, Accept);
}

void TFrmCorvane::NumTemperatureAccept(TObject*, TCaption NewText, bool& Accept)
{
    ApplyRangeRule(TRangeRule::Temperature, NewText, Accept);
}

void TFrmCorvane::NumIntAccept(TObject*, TCaption NewText, bool& Accept)
{
    ApplyRangeRule(TRangeRule::Integer, NewText, Accept);
}

void TFrmCorvane::NumPointsAccept(TObject*, TCaption NewText, bool& Accept)
{
    ApplyRangeRule(TRangeRule::Points, NewText, Accept);
}

// A free analyte's diffusion coefficient follows from its mobility and charge when both are set.
void TFrmCorvane::LockFreeDiffusion(TNumEdit* Free, TNumEdit* Charge, TNumEdit* Mobility)
{
    Free->SetReadOnly(Charge->GetAcceptedValue() != 0 && Mobility->GetAcceptedValue() != 0);
}

// A complex's follows when it carries a charge (analyte and selector together) and has a mobility.
void TFrmCorvane::LockComplexDiffusion(TNumEdit* Complex, TNumEdit* Charge, TNumEdit* Mobility)
{
    Complex->SetReadOnly(Charge->GetAcceptedValue() != -NumZCS->GetAcceptedValue()
                         && Mobility->GetAcceptedValue() != 0);
}

void TFrmCorvane::NumUZ01Accepted(TObject* Sender)
{
    LockFreeDiffusion(NumD01, NumZ01, NumU01);
    LockComplexDiffusion(NumD1, NumZ01, NumU1);
    EdtAccepted(Sender);
}

void TFrmCorvane::NumUZ02Accepted(TObject* Sender)
{
    LockFreeDiffusion(NumD02, NumZ02, NumU02);
    LockComplexDiffusion(NumD2, NumZ02, NumU2);
    EdtAccepted(Sender);
}

void TFrmCorvane::NumUZCSAccepted(TObject* Sender)
{
    LockComplexDiffusion(NumD1, NumZ01, NumU1);
    LockComplexDiffusion(NumD2, NumZ02, NumU2);
    EdtAccepted(Sender);
}
