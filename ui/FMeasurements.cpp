#include "ui/FMeasurements.h"

#include "platform/Clipbrd.h"
#include "platform/Series.h"
#include "project/MeasuredText.h"
#include "ui/FCorvane.h"
#include "ui/FormLook.h"
#include "ui/InputFields.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

// The analytes' colours in the plots.
constexpr TColor AnalyteColour[2] = {clNavy, clMaroon};
// Where the table's columns start, in pixels from the row's left.
constexpr int ColumnX[MeasuredColumns] = {2, 70, 138, 206, 274, 342};
constexpr int CurvePoints = 200;

const char* const ParameterNames[FitParameterCount] = {"u0", "uCS", "K"};

TChart* NewChart(TForm* Owner, int Top, int Height, const char* Left)
{
    auto* chart = new TChart(Owner);
    chart->SetParent(Owner);
    chart->SetBounds(440, Top, 452, Height);
    chart->SetColor(clWindow);
    chart->GetTitle()->SetVisible(false);
    chart->GetLegend()->SetVisible(false);
    chart->GetBottomAxis()->GetTitle()->SetCaption("Selector concentration / mM");
    chart->GetLeftAxis()->GetTitle()->SetCaption(Left);
    chart->GetRightAxis()->SetVisible(false);
    chart->SetAllowZoom(false);
    return chart;
}

TPointSeries* NewPoints(TChart* Chart, TColor Colour, TSeriesPointerStyle Style)
{
    auto* s = new TPointSeries(Chart);
    s->GetPointer()->SetStyle(Style);
    s->GetPointer()->SetSize(4);
    s->SetSeriesColor(Colour);
    s->SetParentChart(Chart);
    return s;
}

TFastLineSeries* NewLine(TChart* Chart, TColor Colour)
{
    auto* s = new TFastLineSeries(Chart);
    s->GetLinePen()->SetColor(Colour);
    s->GetLinePen()->SetWidth(2);
    s->SetSeriesColor(Colour);
    s->SetParentChart(Chart);
    return s;
}

UnicodeString Cell(const std::optional<double>& Value, double Scale = 1)
{
    return Value ? FloatToStrF(*Value / Scale, ffGeneral, 6, 0) : UnicodeString();
}

// "value ± error (low to high)" in shown units.
UnicodeString EstimateText(const FitEstimate& E)
{
    const double scale = E.Name.starts_with("K") ? 1 : ShownMobilityUnit;
    auto n = [scale](double V) { return FloatToStrF(V / scale, ffGeneral, 5, 0); };
    UnicodeString text = E.Name + " = " + n(E.Value);
    if (E.Fixed)
        return text + " (held)";
    if (E.StdError)
        text += " \u00B1 " + n(*E.StdError);
    if (E.Low || E.High)
        text += " (" + (E.Low ? n(*E.Low) : UnicodeString("\u2013")) + " to " +
                (E.High ? n(*E.High) : UnicodeString("\u2013")) + ")";
    return text;
}

} // namespace

TFrmMeasurements::TFrmMeasurements(TFrmCorvane* Main) : TForm(Main), FMain(Main)
{
    SetName("FrmMeasurements");
    SetCaption("Measurements and fit");
    SetClientWidth(900);
    SetClientHeight(600);
    SetWindowFont(this);
    SetColor(clBtnFace);

    LblDependency = NewWrappedText(this, 8, 6, 884, 16);
    const char* headings[MeasuredColumns] = {"c [mM]", "t1 [min]", "t2 [min]", "tEOF [min]", "u1 [.1E+9]", "u2 [.1E+9]"};
    for (int k = 0; k < MeasuredColumns; ++k)
        NewWrappedText(this, 10 + ColumnX[k], 28, 66, 16)->SetCaption(headings[k]);
    LstRows = new TListBox(this);
    LstRows->SetParent(this);
    LstRows->SetName("LstRows");
    LstRows->SetBounds(8, 44, 424, 250);
    LstRows->SetStyle(lbOwnerDrawFixed);
    LstRows->SetItemHeight(15);
    LstRows->SetMultiSelect(true);
    LstRows->SetExtendedSelect(true);
    LstRows->OnDrawItem = Bind(this, &TFrmMeasurements::LstRowsDrawItem);

    EdtRow = new TEdit(this);
    EdtRow->SetParent(this);
    EdtRow->SetName("EdtRow");
    EdtRow->SetBounds(8, 300, 332, 21);
    BtnAddRow = NewButton(this, this, "BtnAddRow", "Add &row", 348, 296, 84, 30);
    BtnAddRow->SetDefault(true);
    BtnDeleteRows = NewButton(this, this, "BtnDeleteRows", "&Delete rows", 8, 328, 84, 30);
    BtnPaste = NewButton(this, this, "BtnPaste", "&Paste rows", 100, 328, 84, 30);
    BtnOpen = NewButton(this, this, "BtnOpen", "&Open CSV...", 192, 328, 84, 30);
    BtnAddRow->OnClick = Bind(this, &TFrmMeasurements::BtnAddRowClick);
    BtnDeleteRows->OnClick = Bind(this, &TFrmMeasurements::BtnDeleteRowsClick);
    BtnPaste->OnClick = Bind(this, &TFrmMeasurements::BtnPasteClick);
    BtnOpen->OnClick = Bind(this, &TFrmMeasurements::BtnOpenClick);
    OpenDialog = new TOpenDialog(this);
    OpenDialog->SetFilter("CSV and text files|*.csv;*.txt;*.tsv|All files|*");

    LblViscosity = NewFieldCaption(this, this, "Viscosity slope [1/mM]", 8, 366);
    NumViscosity = NewNumericField(this, this, 135, 366);
    NumViscosity->SetName("NumViscosity");
    NumViscosity->OnAccepted = Bind(this, &TFrmMeasurements::NumViscosityAccepted);
    const char* holdCaptions[FitParameterCount] = {"Hold u0", "Hold uCS", "Hold K"};
    for (int a = 0; a < 2; ++a)
        for (int p = 0; p < FitParameterCount; ++p) {
            auto* c = new TCheckBox(this);
            c->SetParent(this);
            c->SetName("ChkHold" + IntToStr(a + 1) + ParameterNames[p]);
            c->SetCaption(UnicodeString(holdCaptions[p]) + (a == 0 ? " 1" : " 2"));
            c->SetBounds(8 + p * 100, 396 + a * 22, 96, 20);
            c->OnClick = Bind(this, &TFrmMeasurements::OptionClick);
            ChkHold[a][p] = c;
        }
    ChkShared = new TCheckBox(this);
    ChkShared->SetParent(this);
    ChkShared->SetName("ChkShared");
    ChkShared->SetCaption("Shared u0 (one fit of both)");
    ChkShared->SetBounds(8, 442, 200, 20);
    ChkShared->OnClick = Bind(this, &TFrmMeasurements::OptionClick);
    ChkWeighted = new TCheckBox(this);
    ChkWeighted->SetParent(this);
    ChkWeighted->SetName("ChkWeighted");
    ChkWeighted->SetCaption("Weighted by replicates");
    ChkWeighted->SetBounds(212, 442, 200, 20);
    ChkWeighted->OnClick = Bind(this, &TFrmMeasurements::OptionClick);

    LblResults = NewWrappedText(this, 8, 468, 884, 86);
    LblResults->SetName("LblResults");
    LblStatus = NewWrappedText(this, 8, 560, 600, 34);
    LblStatus->SetName("LblStatus");

    ChrtFit = NewChart(this, 26, 300, "u [.1E+9]");
    for (int a = 0; a < 2; ++a)
        NewPoints(ChrtFit, AnalyteColour[a], a == 0 ? psTriangle : psDownTriangle);
    for (int a = 0; a < 2; ++a)
        NewLine(ChrtFit, AnalyteColour[a]);
    ChrtResiduals = NewChart(this, 330, 134, "Residual [.1E+9]");
    NewLine(ChrtResiduals, clGray);
    for (int a = 0; a < 2; ++a)
        NewPoints(ChrtResiduals, AnalyteColour[a], a == 0 ? psTriangle : psDownTriangle);

    BtnUse = NewButton(this, this, "BtnUse", "&Use fitted values", 668, 560, 130, 30);
    BtnUse->OnClick = Bind(this, &TFrmMeasurements::BtnUseClick);
    BtnClose = NewButton(this, this, "BtnClose", "&Close", 808, 560, 84, 30);
    BtnClose->SetCancel(true);
    BtnClose->OnClick = Bind(this, &TFrmMeasurements::BtnCloseClick);

    ShowFor(-1);
}

void TFrmMeasurements::ShowFor(int Index)
{
    const int count = static_cast<int>(FMain->Records.size());
    FIndex = Index >= 0 && Index < count ? Index : -1;
    FData = FIndex >= 0 ? FMain->Records[static_cast<size_t>(FIndex)].Measured : Measurements();
    FShowing = true;
    for (int a = 0; a < 2; ++a)
        for (int p = 0; p < FitParameterCount; ++p)
            ChkHold[a][p]->SetChecked(FData.Options.Fixed[a][p]);
    ChkShared->SetChecked(FData.Options.SharedU0);
    ChkWeighted->SetChecked(FData.Options.Weighted);
    NumViscosity->SetValue(FData.ViscositySlope);
    FShowing = false;
    if (FIndex < 0) {
        LblDependency->SetCaption("No dependency is selected.");
    } else {
        const DependencyRecord& r = FMain->Records[static_cast<size_t>(FIndex)];
        LblDependency->SetCaption(AnsiToUtf8(r.name) + ": " + AnsiToUtf8(r.analyte1) + " and " +
                                  AnsiToUtf8(r.analyte2) + " with " + AnsiToUtf8(r.selector));
    }
    for (TControl* c : std::initializer_list<TControl*>{LstRows, EdtRow, BtnAddRow, BtnDeleteRows, BtnPaste, BtnOpen,
                                                        NumViscosity, ChkShared, ChkWeighted, BtnUse})
        c->SetEnabled(FIndex >= 0);
    ShowTable();
    Refit();
}

void TFrmMeasurements::ShowTable()
{
    const int top = LstRows->GetTopIndex();
    LstRows->Clear();
    for (size_t j = 0; j < FData.Rows.size(); ++j)
        LstRows->Items->Add(IntToStr(j));
    if (top < LstRows->Count())
        LstRows->SetTopIndex(top);
}

void TFrmMeasurements::LstRowsDrawItem(TWinControl*, int Index, TRect Rect, TOwnerDrawState)
{
    TCanvas* canvas = LstRows->Canvas;
    canvas->FillRect(Rect);
    if (Index < 0 || Index >= static_cast<int>(FData.Rows.size()))
        return;
    const MeasuredRow& r = FData.Rows[static_cast<size_t>(Index)];
    const UnicodeString cells[MeasuredColumns] = {Cell(r.c),      Cell(r.t[0]), Cell(r.t[1]), Cell(r.tEOF),
                                                  Cell(r.u[0], ShownMobilityUnit), Cell(r.u[1], ShownMobilityUnit)};
    for (int k = 0; k < MeasuredColumns; ++k)
        canvas->TextOut(Rect.Left + ColumnX[k], Rect.Top, cells[k]);
}

void TFrmMeasurements::ReadOptions()
{
    for (int a = 0; a < 2; ++a)
        for (int p = 0; p < FitParameterCount; ++p)
            FData.Options.Fixed[a][p] = ChkHold[a][p]->GetChecked();
    FData.Options.SharedU0 = ChkShared->GetChecked();
    FData.Options.Weighted = ChkWeighted->GetChecked();
    FData.ViscositySlope = NumViscosity->GetAcceptedValue();
}

void TFrmMeasurements::Store()
{
    if (FIndex >= 0)
        FMain->Document.SetMeasurements(FIndex, FData);
    ShowTable();
    Refit();
}

void TFrmMeasurements::Refit()
{
    FResults.clear();
    if (FIndex >= 0)
        FResults = FitMeasurements(FData, FMain->Records[static_cast<size_t>(FIndex)].Params.phys);
    ShowResults();
    Plot();
}

void TFrmMeasurements::ShowResults()
{
    UnicodeString text;
    for (const FitResult& f : FResults) {
        UnicodeString line = f.Analyte < 0 ? UnicodeString("Analytes 1 and 2 (shared u0)") : "Analyte " + IntToStr(f.Analyte + 1);
        line += ": ";
        if (!f.HasValues()) {
            line = f.Message;
        } else {
            for (size_t k = 0; k < f.Estimates.size(); ++k)
                line += (k == 0 ? "" : ", ") + EstimateText(f.Estimates[k]);
            line += "; n = " + IntToStr(f.n);
            if (f.s)
                line += ", s = " + FloatToStrF(*f.s / ShownMobilityUnit, ffGeneral, 4, 0);
            if (f.R2)
                line += ", R\u00B2 = " + FloatToStrF(*f.R2, ffFixed, 15, 5);
        }
        text += (text.empty() ? "" : "\n") + line;
    }
    if (text.empty())
        text = FIndex < 0 ? UnicodeString() : UnicodeString("No measurements yet: type, paste or open rows.");
    else
        text += "\nMobilities in 1E-9 m\u00B2/(V\u00B7s), K in 1/mM; \u00B1 standard error, (95 % profile-t interval).";
    LblResults->SetCaption(text);
}

void TFrmMeasurements::Plot()
{
    for (TChart* chart : {ChrtFit, ChrtResiduals})
        for (int i = 0; i < chart->SeriesCount(); ++i)
            chart->Series(i)->Clear();
    if (FIndex < 0)
        return;
    const PhysParams& phys = FMain->Records[static_cast<size_t>(FIndex)].Params.phys;
    double cMax = 0;
    for (const MeasuredRow& r : FData.Rows)
        cMax = std::max(cMax, r.c);
    for (int a = 0; a < 2; ++a) {
        // The fitted isotherm of the analyte, when there is one.
        std::optional<std::array<double, 3>> fitted;
        for (const FitResult& f : FResults) {
            if (!f.HasValues() || (f.Analyte != a && f.Analyte != -1))
                continue;
            const FitEstimate* u0 = f.Find(f.Analyte < 0 ? -1 : a, "u0");
            const FitEstimate* uCS = f.Find(a, "uCS");
            const FitEstimate* K = f.Find(a, "K");
            if (u0 && uCS && K)
                fitted = std::array<double, 3>{u0->Value, uCS->Value, K->Value};
        }
        auto curve = [&](double c) {
            const auto& p = *fitted;
            return (p[0] + p[1] * p[2] * c) / (1 + p[2] * c) / ShownMobilityUnit;
        };
        for (const MeasuredRow& r : FData.Rows) {
            std::optional<double> u;
            try {
                u = MeasuredMobility(r, a, phys, FData.ViscositySlope);
            } catch (const Exception&) {
                continue;  // the fit's message names the row
            }
            if (!u)
                continue;
            ChrtFit->Series(a)->AddXY(r.c, *u / ShownMobilityUnit);
            if (fitted)
                ChrtResiduals->Series(1 + a)->AddXY(r.c, *u / ShownMobilityUnit - curve(r.c));
        }
        if (fitted && cMax > 0)
            for (int i = 0; i <= CurvePoints; ++i)
                ChrtFit->Series(2 + a)->AddXY(cMax * i / CurvePoints, curve(cMax * i / CurvePoints));
    }
    if (cMax > 0) {
        ChrtResiduals->Series(0)->AddXY(0, 0);
        ChrtResiduals->Series(0)->AddXY(cMax, 0);
    }
}

void TFrmMeasurements::AddRowsFromText(const UnicodeString& Text)
{
    if (FIndex < 0)
        return;
    const MeasuredText read = ReadMeasuredText(Text, FormatSettings.DecimalSeparator);
    UnicodeString status;
    for (const UnicodeString& p : read.Problems)
        status += (status.empty() ? "" : "\n") + p;
    LblStatus->SetCaption(status);
    if (read.Rows.empty())
        return;
    FData.Rows.insert(FData.Rows.end(), read.Rows.begin(), read.Rows.end());
    Store();
}

void TFrmMeasurements::OpenFile(const UnicodeString& FileName)
{
    std::ifstream in(FileName, std::ios::binary);
    if (!in)
        throw Exception("Cannot open file \"" + FileName + "\"");
    std::ostringstream text;
    text << in.rdbuf();
    AddRowsFromText(text.str());
}

void TFrmMeasurements::BtnAddRowClick(TObject*)
{
    const UnicodeString text = EdtRow->GetText();
    if (Trim(text).empty())
        return;
    const size_t before = FData.Rows.size();
    AddRowsFromText(text);
    if (FData.Rows.size() > before)
        EdtRow->Clear();
}

void TFrmMeasurements::BtnDeleteRowsClick(TObject*)
{
    std::vector<MeasuredRow> kept;
    for (int i = 0; i < static_cast<int>(FData.Rows.size()); ++i)
        if (i >= LstRows->Count() || !LstRows->GetSelected(i))
            kept.push_back(FData.Rows[static_cast<size_t>(i)]);
    if (kept.size() == FData.Rows.size())
        return;
    FData.Rows = std::move(kept);
    Store();
}

void TFrmMeasurements::BtnPasteClick(TObject*)
{
    AddRowsFromText(Clipboard()->GetAsText());
}

void TFrmMeasurements::BtnOpenClick(TObject*)
{
    if (OpenDialog->Execute())
        OpenFile(OpenDialog->GetFileName());
}

void TFrmMeasurements::OptionClick(TObject*)
{
    if (FShowing || FIndex < 0)
        return;
    ReadOptions();
    Store();
}

void TFrmMeasurements::NumViscosityAccepted(TObject* Sender)
{
    OptionClick(Sender);
}

void TFrmMeasurements::BtnUseClick(TObject*)
{
    if (FIndex < 0 || FIndex != FMain->Document.GetShown())
        return;
    TNumEdit* TFrmCorvane::* const fields[2][FitParameterCount] = {
        {&TFrmCorvane::NumU01, &TFrmCorvane::NumU1, &TFrmCorvane::NumK1},
        {&TFrmCorvane::NumU02, &TFrmCorvane::NumU2, &TFrmCorvane::NumK2}};
    for (const FitResult& f : FResults) {
        if (!f.HasValues())
            continue;
        for (int a = 0; a < 2; ++a) {
            if (f.Analyte != a && f.Analyte != -1)
                continue;
            for (int p = 0; p < FitParameterCount; ++p) {
                const FitEstimate* e = f.Find(p == fpU0 && f.Analyte < 0 ? -1 : a, ParameterNames[p]);
                if (e == nullptr || e->Fixed)
                    continue;
                // Shown as the field shows its value: through its row's scale.
                for (const TMainFieldRow& row : MainFields)
                    if (row.Member == fields[a][p])
                        (FMain->*row.Member)->SetValue(e->Value * row.ToShown);
            }
        }
    }
}

void TFrmMeasurements::BtnCloseClick(TObject*)
{
    Close();
}
