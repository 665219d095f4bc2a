#include "ui/FAnalysis.h"

#include "ui/AcceptRules.h"
#include "ui/FormLook.h"

#include <algorithm>
#include <cmath>

namespace {

// Times are shown in minutes, lengths typed in mm.
constexpr double Minutes = 1.0 / 60;
constexpr double MetresPerMm = 0.001;
constexpr double SecondsPerMinute = 60;
constexpr double DiffusionUnit = 1e-9;  // the fields' .1E+9

UnicodeString SourceText(TDiffusionSource From)
{
    switch (From) {
    case TDiffusionSource::Entered: return "entered";
    case TDiffusionSource::Derived: return "from mobility and charge";
    case TDiffusionSource::ChargedForm: return "from the charged form's mobility and charge";
    case TDiffusionSource::Analysis: return "entered for the analysis";
    }
    return "";
}

TChart* NewChart(TFrmAnalysis* Owner, int Top, int Height, const char* Bottom, const char* Left)
{
    auto* chart = new TChart(Owner);
    chart->SetParent(Owner);
    chart->SetBounds(8, Top, 744, Height);
    chart->SetColor(clWindow);
    chart->GetTitle()->SetVisible(false);
    chart->GetBottomAxis()->GetTitle()->SetCaption(Bottom);
    chart->GetLeftAxis()->GetTitle()->SetCaption(Left);
    chart->GetRightAxis()->SetVisible(false);
    return chart;
}

TFastLineSeries* NewLine(TChart* Chart, const char* Title, TColor Colour, TPenStyle Style)
{
    auto* s = new TFastLineSeries(Chart);
    s->SetTitle(Title);
    s->GetLinePen()->SetColor(Colour);
    s->GetLinePen()->SetStyle(Style);
    s->GetLinePen()->SetWidth(2);
    s->SetSeriesColor(Colour);
    s->SetParentChart(Chart);
    return s;
}

TPointSeries* NewMarker(TChart* Chart, const char* Title, TColor Colour, TSeriesPointerStyle Style)
{
    auto* s = new TPointSeries(Chart);
    s->SetTitle(Title);
    s->GetPointer()->SetStyle(Style);
    s->GetPointer()->SetSize(5);
    s->SetSeriesColor(Colour);
    s->SetParentChart(Chart);
    return s;
}

}  // namespace

const char* const AnalysisAssumptions =
    "The figures assume 1:1 complexes in fast exchange, free selector \u2248 total selector, constant "
    "viscosity and ionic strength, no Joule heating, no electromigration dispersion and no wall "
    "adsorption: N and Rs are upper limits.";

UnicodeString FigureText(const Figure& Value, TFloatFormat Format, int Precision, int Digits, double Scale)
{
    if (!Value)
        return "\u2013";
    return FloatToStrF(*Value * Scale, Format, Precision, Digits);
}

TFrmAnalysis::TFrmAnalysis(TComponent* AOwner) : TForm(AOwner)
{
    SetName("FrmAnalysis");
    SetCaption("Separation analysis");
    SetClientWidth(760);
    SetClientHeight(725);
    SetWindowFont(this);
    SetColor(clBtnFace);

    LblDependency = NewWrappedText(this, 8, 6, 744, 16);
    ChrtResolution = NewChart(this, 26, 236, "Selector concentration / mM", "Rs");
    SrrResolution = NewLine(ChrtResolution, "Rs", clNavy, psSolid);
    SrrBaseline = NewLine(ChrtResolution, "Rs = 1.5", clGray, psDash);
    SrrWrenRowe = NewMarker(ChrtResolution, "Wren-Rowe c_opt", clGreen, psTriangle);
    SrrOptimum = NewMarker(ChrtResolution, "largest Rs", clRed, psCircle);
    SrrTooLong = NewLine(ChrtResolution, "run too long", clSilver, psSolid);
    SrrTooLong->GetLinePen()->SetWidth(6);
    SrrChosen = NewMarker(ChrtResolution, "chosen", clBlack, psDownTriangle);
    // With uncertainties: the 5 % and 95 % quantiles of Rs over the draws and, on the right
    // axis, the share of draws that separate to the baseline within the longest run.
    SrrBand05 = NewLine(ChrtResolution, "Rs 5–95 %", TColor(0xE0A060), psDot);
    SrrBand95 = NewLine(ChrtResolution, "Rs 95 %", TColor(0xE0A060), psDot);
    SrrBand95->SetShowInLegend(false);
    SrrPGood = NewLine(ChrtResolution, "P(Rs ≥ 1.5)", clGreen, psSolid);
    SrrPGood->GetLinePen()->SetWidth(1);
    SrrPGood->SetVertAxis(aRightAxis);
    ChrtResolution->GetRightAxis()->GetTitle()->SetCaption("P(Rs ≥ 1.5)");
    ChrtResolution->SetAllowZoom(false);
    ChrtResolution->OnMouseDown = Bind(this, &TFrmAnalysis::ChrtResolutionMouseDown);

    ChrtElectropherogram = NewChart(this, 268, 180, "Time / min", "Signal");
    SrrSignal = NewLine(ChrtElectropherogram, "Signal", clBlack, psSolid);
    SrrPeak1 = NewLine(ChrtElectropherogram, "Analyte 1", clBlue, psSolid);
    SrrPeak2 = NewLine(ChrtElectropherogram, "Analyte 2", clRed, psSolid);
    for (TFastLineSeries* s : {SrrPeak1, SrrPeak2})
        s->GetLinePen()->SetWidth(1);

    LblFigures = NewWrappedText(this, 8, 456, 548, 96);
    LblDiffusion = NewWrappedText(this, 8, 554, 548, 44);
    LblWarnings = NewWrappedText(this, 8, 600, 548, 117);

    LblInjection = NewFieldCaption(this, this, "Injection plug [mm]", 564, 456);
    NumInjection = NewNumericField(this, this, 691, 456);
    LblWindow = NewFieldCaption(this, this, "Detector window [mm]", 564, 483);
    NumWindow = NewNumericField(this, this, 691, 483);
    for (TNumEdit* f : {NumInjection, NumWindow}) {
        f->SetWidth(61);
        f->OnAccept = Bind(this, &TFrmAnalysis::NumLengthAccept);
        f->OnAccepted = Bind(this, &TFrmAnalysis::NumLengthAccepted);
    }
    NumInjection->SetName("NumInjection");
    NumWindow->SetName("NumWindow");
    LblLongest = NewFieldCaption(this, this, "Longest run [min]", 564, 510);
    NumLongest = new TOptionalNumEdit(this);
    PlaceNumericField(NumLongest, this, 691, 510);
    LblComplexD = NewFieldCaption(this, this, "Cplx D1, D2 [.1E+9]", 564, 537);
    NumComplexD1 = new TOptionalNumEdit(this);
    NumComplexD2 = new TOptionalNumEdit(this);
    PlaceNumericField(NumComplexD1, this, 691, 537);
    PlaceNumericField(NumComplexD2, this, 691, 564);
    NumLongest->SetName("NumLongest");
    NumComplexD1->SetName("NumComplexD1");
    NumComplexD2->SetName("NumComplexD2");
    for (TNumEdit* f : {NumLongest, NumComplexD1, NumComplexD2}) {
        f->SetWidth(61);
        f->OnAccept = Bind(this, &TFrmAnalysis::NumLengthAccept);
        f->OnAccepted = Bind(this, &TFrmAnalysis::NumLengthAccepted);
    }
    ChcbLog = new TCheckBox(this);
    ChcbLog->SetParent(this);
    ChcbLog->SetName("ChcbLog");
    ChcbLog->SetBounds(564, 591, 188, 19);
    ChcbLog->SetCaption("&Log. concentration axis");
    ChcbLog->SetAllowGrayed(true);
    ChcbLog->SetState(cbGrayed);
    ChcbLog->OnClick = Bind(this, &TFrmAnalysis::ChcbLogClick);
    BtnInputs = NewButton(this, this, "BtnInputs", "Run and diffusion &inputs...", 564, 614, 188, 25);
    BtnInputs->OnClick = Bind(this, &TFrmAnalysis::BtnInputsClick);
    BtnUncertainties = NewButton(this, this, "BtnUncertainties", "&Uncertainties...", 564, 643, 188, 25);
    BtnUncertainties->OnClick = Bind(this, &TFrmAnalysis::BtnUncertaintiesClick);

    BtnDesignSpace = NewButton(this, this, "BtnDesignSpace", "&Design space...", 564, 676, 96, 41);
    BtnDesignSpace->OnClick = Bind(this, &TFrmAnalysis::BtnDesignSpaceClick);

    BtnClose = new TButton(this);
    BtnClose->SetParent(this);
    BtnClose->SetBounds(668, 676, 84, 41);
    BtnClose->SetCaption("&Close");
    BtnClose->SetCancel(true);
    BtnClose->OnClick = Bind(this, &TFrmAnalysis::BtnCloseClick);

    // What every figure assumes, as help on the figures and the charts.
    for (TControl* c : {static_cast<TControl*>(LblFigures), static_cast<TControl*>(ChrtResolution),
                        static_cast<TControl*>(ChrtElectropherogram)}) {
        c->SetHint(AnalysisAssumptions);
        c->SetShowHint(true);
    }

    ShowFor(nullptr);
}

AnalysisOptions TFrmAnalysis::Options() const
{
    AnalysisOptions o;
    o.InjectionPlug = NumInjection->GetAcceptedValue() * MetresPerMm;
    o.DetectorWindow = NumWindow->GetAcceptedValue() * MetresPerMm;
    o.LongestRun = NumLongest->GetAcceptedValue() * SecondsPerMinute;
    o.ComplexD1 = NumComplexD1->GetAcceptedValue() * DiffusionUnit;
    o.ComplexD2 = NumComplexD2->GetAcceptedValue() * DiffusionUnit;
    const TCheckBoxState log = ChcbLog->GetState();
    o.Scale = log == cbGrayed ? AnalysisOptions::asAuto : log == cbChecked ? AnalysisOptions::asLog
                                                                            : AnalysisOptions::asLinear;
    return o;
}

void TFrmAnalysis::ShowFor(const DependencyRecord* Record)
{
    if (Record == nullptr)
        FRecord.reset();
    else
        FRecord = *Record;
    if (FRecord)
        FRecord->SeriesSet = SeriesSet();  // the copy draws nothing of the main window's
    Analyse();
}

void TFrmAnalysis::Analyse()
{
    for (TChartSeries* s : {static_cast<TChartSeries*>(SrrResolution), static_cast<TChartSeries*>(SrrBaseline),
                            static_cast<TChartSeries*>(SrrWrenRowe), static_cast<TChartSeries*>(SrrOptimum),
                            static_cast<TChartSeries*>(SrrSignal), static_cast<TChartSeries*>(SrrTooLong),
                            static_cast<TChartSeries*>(SrrChosen), static_cast<TChartSeries*>(SrrPeak1),
                            static_cast<TChartSeries*>(SrrPeak2), static_cast<TChartSeries*>(SrrBand05),
                            static_cast<TChartSeries*>(SrrBand95), static_cast<TChartSeries*>(SrrPGood)})
        s->Clear();
    FBand.reset();
    ChrtResolution->GetRightAxis()->SetVisible(false);
    if (!FRecord) {
        FAnalysis.reset();
        LblDependency->SetCaption("No dependency is selected.");
        LblFigures->SetCaption("");
        LblDiffusion->SetCaption("");
        LblWarnings->SetCaption("");
        if (OnAnalysed)
            OnAnalysed(this);
        return;
    }
    const DependencyRecord& r = *FRecord;
    LblDependency->SetCaption(AnsiToUtf8(r.name) + ": " + AnsiToUtf8(r.analyte1) + " and " +
                              AnsiToUtf8(r.analyte2) + " with " + AnsiToUtf8(r.selector));
    FAnalysis = ::Analyse(r.Params, Options());
    const SeparationAnalysis& a = *FAnalysis;
    ChrtResolution->GetBottomAxis()->GetTitle()->SetCaption(a.LogScale ? "lg(selector concentration / mM)"
                                                                        : "Selector concentration / mM");
    // Concentrations whose run is longer than the limit are shaded along the curve.
    for (const ResolutionPoint& p : a.Curve) {
        if (p.Rs && !p.TooLong)
            SrrResolution->AddXY(AxisX(p.c), *p.Rs);
        if (p.TooLong)
            SrrTooLong->AddXY(AxisX(p.c), p.Rs ? *p.Rs : 0);
    }
    if (!a.Curve.empty()) {
        SrrBaseline->AddXY(AxisX(a.Curve.front().c), BaselineResolution);
        SrrBaseline->AddXY(AxisX(a.Curve.back().c), BaselineResolution);
    }
    if (a.WrenRoweInRange && a.AtWrenRowe && a.AtWrenRowe->Rs)
        SrrWrenRowe->AddXY(AxisX(*a.WrenRowe), *a.AtWrenRowe->Rs);
    if (a.RsOptimum && a.RsOptimum->Figures.Rs)
        SrrOptimum->AddXY(AxisX(a.RsOptimum->c), *a.RsOptimum->Figures.Rs);
    SrrPeak1->SetTitle(AnsiToUtf8(r.analyte1));
    SrrPeak2->SetTitle(AnsiToUtf8(r.analyte2));
    ShowBand();

    const DiffusionUsed& d = a.Diffusion;
    auto used = [](double D, TDiffusionSource From) {
        return FloatToStrF(D / DiffusionUnit, ffGeneral, 4, 0) + " (" + SourceText(From) + ")";
    };
    LblDiffusion->SetCaption("D used [1E-9 m\u00b2/s]: free " + used(d.D01, d.From01) + " and " +
                             used(d.D02, d.From02) + "; complexes " + used(d.D1, d.From1) + " and " +
                             used(d.D2, d.From2) + ".");

    UnicodeString warnings;
    for (const AnalysisWarning& w : a.Warnings)
        warnings += (warnings.empty() ? "" : "\n") + w.Text;
    if (const UnicodeString refusal = UncertaintyRefusal(r.Uncertainty); r.Uncertainty.Any() && !refusal.empty())
        warnings += UnicodeString(warnings.empty() ? "" : "\n") + "No band: " + refusal;
    if (FBand && FBand->ClippedK > 0)
        warnings += UnicodeString(warnings.empty() ? "" : "\n") + IntToStr(FBand->ClippedK) + " of " + IntToStr(FBand->Draws) +
                    " draws gave a negative K, counted as 0 (no complexation).";
    LblWarnings->SetCaption(warnings);

    const double middle = (r.Params.cMin + r.Params.cMax) / 2;
    ChooseConcentration(a.RsOptimum ? a.RsOptimum->c : middle);
    if (OnAnalysed)
        OnAnalysed(this);
}

void TFrmAnalysis::ChooseConcentration(double C)
{
    if (!FRecord)
        return;
    const Params& p = FRecord->Params;
    FChosen = std::clamp(C, std::min(p.cMin, p.cMax), std::max(p.cMin, p.cMax));
    for (TChartSeries* s : {static_cast<TChartSeries*>(SrrSignal), static_cast<TChartSeries*>(SrrPeak1),
                            static_cast<TChartSeries*>(SrrPeak2), static_cast<TChartSeries*>(SrrChosen)})
        s->Clear();
    const PeakFigures at = AnalyseAt(p, FChosen, Options());
    for (const TracePoint& t : Electropherogram(at, 600, TPeakAreas::paByTime)) {
        SrrSignal->AddXY(t.t, t.signal);
        SrrPeak1->AddXY(t.t, t.peak1);
        SrrPeak2->AddXY(t.t, t.peak2);
    }
    SrrChosen->AddXY(AxisX(FChosen), at.Rs ? *at.Rs : 0);
    ShowFigures();
}

void TFrmAnalysis::ShowFigures()
{
    const PeakFigures at = AnalyseAt(FRecord->Params, FChosen, Options());
    // Four significant digits; a non-breaking space keeps every number with its name and unit.
    const UnicodeString nb = "\u00a0";
    auto fig = [&](const char* Name, const Figure& Value, double Scale, const char* Unit) {
        return UnicodeString(Name) + nb + "=" + nb + FigureText(Value, ffGeneral, 4, 0, Scale) + Unit;
    };
    auto conc = [&](double C) { return FloatToStrF(C, ffGeneral, 4, 0) + nb + "mM"; };
    auto line = [&](const PeakFigures& f) {
        return fig("t1", f.t1, Minutes, "\u00a0min") + ", " + fig("t2", f.t2, Minutes, "\u00a0min") + ", " +
               fig("\u0394t", f.dt, Minutes, "\u00a0min") + ", " + fig("N1", f.N1, 1, "") + ", " +
               fig("N2", f.N2, 1, "") + ", " + fig("Rs", f.Rs, 1, "");
    };
    const SeparationAnalysis& a = *FAnalysis;
    UnicodeString text;
    // The chosen concentration is the optimum until another is chosen: one line for both.
    if (a.RsOptimum && a.RsOptimum->c == FChosen) {
        text = "Largest Rs at " + conc(FChosen) + ": " + line(at);
    } else {
        text = "At " + conc(FChosen) + ": " + line(at);
        if (a.RsOptimum)
            text += "\nLargest Rs at " + conc(a.RsOptimum->c) + ": " + line(a.RsOptimum->Figures);
        else
            text += "\nLargest Rs: \u2013";
    }
    text += "\nWren-Rowe c_opt" + nb + "=" + nb + FigureText(a.WrenRowe, ffGeneral, 4, 0) + nb +
            "mM (exact only for equal free and equal complex mobilities)";
    if (a.DuClosedForm)
        text += "; largest du at c*" + nb + "=" + nb + conc(*a.DuClosedForm);
    if (!a.BaselineIntervals.empty()) {
        text += "\nRs \u2265 1.5 from";
        for (size_t i = 0; i < a.BaselineIntervals.size(); ++i)
            text += UnicodeString(i == 0 ? " " : ", ") + FloatToStrF(a.BaselineIntervals[i].c0, ffGeneral, 4, 0) +
                    nb + "to" + nb + conc(a.BaselineIntervals[i].c1);
    }
    if (FBand && FBand->Draws > 0) {
        const OptimumSpread& o = FBand->Optimum;
        text += "\nWith the uncertainties (" + IntToStr(FBand->Draws) + " Monte Carlo draws): largest Rs at ";
        if (o.c05 && o.c95)
            text += FloatToStrF(*o.c05, ffGeneral, 4, 0) + nb + "to" + nb + conc(*o.c95) + " (5\u201395 %)";
        else
            text += "\u2013";
        double best = 0;
        for (const BandPoint& p : FBand->Points)
            best = std::max(best, p.PGood);
        text += "; P(Rs" + nb + "\u2265" + nb + "1.5) at most " + FloatToStrF(best * 100, ffFixed, 4, 1) + nb + "%";
    }
    LblFigures->SetCaption(text);
}

void TFrmAnalysis::ShowBand()
{
    const DependencyRecord& r = *FRecord;
    if (!r.Uncertainty.Any() || !UncertaintyRefusal(r.Uncertainty).empty() || FAnalysis->Curve.empty())
        return;
    std::vector<double> concentrations;
    concentrations.reserve(FAnalysis->Curve.size());
    for (const ResolutionPoint& p : FAnalysis->Curve)
        concentrations.push_back(p.c);
    FBand = ComputeRsBand(r.Params, r.Uncertainty, Options(), concentrations);
    for (const BandPoint& p : FBand->Points) {
        const double x = AxisX(p.c);
        if (p.Rs05)
            SrrBand05->AddXY(x, *p.Rs05);
        if (p.Rs95)
            SrrBand95->AddXY(x, *p.Rs95);
        SrrPGood->AddXY(x, p.PGood);
    }
    TChartAxis* right = ChrtResolution->GetRightAxis();
    right->SetVisible(true);
}

double TFrmAnalysis::AxisX(double C) const
{
    return FAnalysis && FAnalysis->LogScale ? std::log10(std::max(C, FAnalysis->LogStart)) : C;
}

void TFrmAnalysis::ChrtResolutionMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int)
{
    if (Button != mbLeft || !FRecord)
        return;
    const double x = ChrtResolution->GetBottomAxis()->CalcPosPoint(X);
    ChooseConcentration(FAnalysis && FAnalysis->LogScale ? std::pow(10.0, x) : x);
}

void TFrmAnalysis::ChcbLogClick(TObject*)
{
    NumLengthAccepted(nullptr);
}

void TFrmAnalysis::BtnUncertaintiesClick(TObject*)
{
    if (OnUncertainties)
        OnUncertainties(this);
}

void TFrmAnalysis::BtnInputsClick(TObject*)
{
    if (OnInputs)
        OnInputs(this);
}

void TFrmAnalysis::BtnDesignSpaceClick(TObject*)
{
    if (OnDesignSpace)
        OnDesignSpace(this);
}

void TFrmAnalysis::NumLengthAccept(TObject*, TCaption NewText, bool& Accept)
{
    // A blank text that a field takes leaves its number out (no limit, none).
    if (Accept && Trim(NewText).empty())
        return;
    ApplyRangeRule(TRangeRule::NonNegative, NewText, Accept);
}

void TFrmAnalysis::NumLengthAccepted(TObject*)
{
    const double chosen = FChosen;
    Analyse();
    ChooseConcentration(chosen);
}

void TFrmAnalysis::BtnCloseClick(TObject*)
{
    Close();
}
