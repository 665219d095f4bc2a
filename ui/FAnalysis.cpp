#include "ui/FAnalysis.h"

#include "ui/AcceptRules.h"
#include "ui/FormLook.h"

#include <algorithm>

namespace {

// Times are shown in minutes, lengths typed in mm.
constexpr double Minutes = 1.0 / 60;
constexpr double MetresPerMm = 0.001;

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

TLabel* NewText(TFrmAnalysis* Owner, int Left, int Top, int Width, int Height)
{
    auto* l = new TLabel(Owner);
    l->SetParent(Owner);
    l->SetAutoSize(false);
    l->SetWordWrap(true);
    l->SetTransparent(true);
    l->SetBounds(Left, Top, Width, Height);
    return l;
}

}  // namespace

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
    SetClientHeight(600);
    SetWindowFont(this);
    SetColor(clBtnFace);

    LblDependency = NewText(this, 8, 6, 744, 16);
    ChrtResolution = NewChart(this, 26, 236, "Selector concentration / mM", "Rs");
    SrrResolution = NewLine(ChrtResolution, "Rs", clNavy, psSolid);
    SrrBaseline = NewLine(ChrtResolution, "Rs = 1.5", clGray, psDash);
    SrrWrenRowe = NewMarker(ChrtResolution, "Wren-Rowe c_opt", clGreen, psTriangle);
    SrrOptimum = NewMarker(ChrtResolution, "largest Rs", clRed, psCircle);
    ChrtResolution->SetAllowZoom(false);
    ChrtResolution->OnMouseDown = Bind(this, &TFrmAnalysis::ChrtResolutionMouseDown);

    ChrtElectropherogram = NewChart(this, 268, 180, "Time / min", "Signal");
    ChrtElectropherogram->GetLegend()->SetVisible(false);
    SrrSignal = NewLine(ChrtElectropherogram, "Signal", clBlack, psSolid);

    LblFigures = NewText(this, 8, 456, 548, 82);
    LblWarnings = NewText(this, 8, 540, 640, 56);

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

    BtnClose = new TButton(this);
    BtnClose->SetParent(this);
    BtnClose->SetBounds(668, 551, 84, 41);
    BtnClose->SetCaption("&Close");
    BtnClose->SetCancel(true);
    BtnClose->OnClick = Bind(this, &TFrmAnalysis::BtnCloseClick);

    ShowFor(nullptr);
}

AnalysisOptions TFrmAnalysis::Options() const
{
    AnalysisOptions o;
    o.InjectionPlug = NumInjection->GetAcceptedValue() * MetresPerMm;
    o.DetectorWindow = NumWindow->GetAcceptedValue() * MetresPerMm;
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
                            static_cast<TChartSeries*>(SrrSignal)})
        s->Clear();
    if (!FRecord) {
        FAnalysis.reset();
        LblDependency->SetCaption("No dependency is selected.");
        LblFigures->SetCaption("");
        LblWarnings->SetCaption("");
        return;
    }
    const DependencyRecord& r = *FRecord;
    LblDependency->SetCaption(AnsiToUtf8(r.name) + ": " + AnsiToUtf8(r.analyte1) + " and " +
                              AnsiToUtf8(r.analyte2) + " with " + AnsiToUtf8(r.selector));
    FAnalysis = ::Analyse(r.Params, Options());
    const SeparationAnalysis& a = *FAnalysis;
    for (const ResolutionPoint& p : a.Curve)
        if (p.Rs)
            SrrResolution->AddXY(p.c, *p.Rs);
    if (!a.Curve.empty()) {
        SrrBaseline->AddXY(a.Curve.front().c, BaselineResolution);
        SrrBaseline->AddXY(a.Curve.back().c, BaselineResolution);
    }
    if (a.WrenRoweInRange && a.AtWrenRowe && a.AtWrenRowe->Rs)
        SrrWrenRowe->AddXY(*a.WrenRowe, *a.AtWrenRowe->Rs);
    if (a.RsOptimum && a.RsOptimum->Figures.Rs)
        SrrOptimum->AddXY(a.RsOptimum->c, *a.RsOptimum->Figures.Rs);

    UnicodeString warnings;
    for (const AnalysisWarning& w : a.Warnings)
        warnings += (warnings.empty() ? "" : "\n") + w.Text;
    LblWarnings->SetCaption(warnings);

    const double middle = (r.Params.cMin + r.Params.cMax) / 2;
    ChooseConcentration(a.RsOptimum ? a.RsOptimum->c : middle);
}

void TFrmAnalysis::ChooseConcentration(double C)
{
    if (!FRecord)
        return;
    const Params& p = FRecord->Params;
    FChosen = std::clamp(C, std::min(p.cMin, p.cMax), std::max(p.cMin, p.cMax));
    SrrSignal->Clear();
    const PeakFigures at = AnalyseAt(p, FChosen, Options());
    for (const TracePoint& t : Electropherogram(at))
        SrrSignal->AddXY(t.t, t.signal);
    ShowFigures();
}

void TFrmAnalysis::ShowFigures()
{
    const PeakFigures at = AnalyseAt(FRecord->Params, FChosen, Options());
    auto line = [](const PeakFigures& f) {
        return "t1 = " + FigureText(f.t1, ffFixed, 15, 3, Minutes) + " min, t2 = " +
               FigureText(f.t2, ffFixed, 15, 3, Minutes) + " min, \u0394t = " +
               FigureText(f.dt, ffFixed, 15, 3, Minutes) + " min, N1 = " + FigureText(f.N1, ffNumber, 15, 0) +
               ", N2 = " + FigureText(f.N2, ffNumber, 15, 0) + ", Rs = " + FigureText(f.Rs, ffFixed, 15, 2);
    };
    UnicodeString text = "At " + FloatToStrF(FChosen, ffGeneral, 4, 0) + " mM: " + line(at);
    const SeparationAnalysis& a = *FAnalysis;
    if (a.RsOptimum)
        text += "\nLargest Rs at " + FloatToStrF(a.RsOptimum->c, ffGeneral, 4, 0) + " mM: " + line(a.RsOptimum->Figures);
    else
        text += "\nLargest Rs: \u2013";
    text += "\nWren-Rowe c_opt = " + FigureText(a.WrenRowe, ffGeneral, 4, 0) +
            " mM (exact only for equal free and equal complex mobilities)";
    if (!a.BaselineIntervals.empty()) {
        text += "\nRs \u2265 1.5 from";
        for (size_t i = 0; i < a.BaselineIntervals.size(); ++i)
            text += UnicodeString(i == 0 ? " " : ", ") + FloatToStrF(a.BaselineIntervals[i].c0, ffGeneral, 4, 0) +
                    " to " + FloatToStrF(a.BaselineIntervals[i].c1, ffGeneral, 4, 0) + " mM";
    }
    LblFigures->SetCaption(text);
}

void TFrmAnalysis::ChrtResolutionMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int)
{
    if (Button == mbLeft && FRecord)
        ChooseConcentration(ChrtResolution->GetBottomAxis()->CalcPosPoint(X));
}

void TFrmAnalysis::NumLengthAccept(TObject*, TCaption NewText, bool& Accept)
{
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
