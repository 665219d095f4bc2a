#include "ui/FDesignSpace.h"

#include "platform/IniFilesDisk.h"
#include "project/ChartFormats.h"
#include "project/DesignMapChart.h"
#include "project/MapText.h"
#include "ui/AcceptRules.h"
#include "ui/FormLook.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <exception>
#include <thread>

namespace {

// A computation shows its progress once it has taken this long.
constexpr auto ProgressAfter = std::chrono::milliseconds(100);

TLabel* NewCaption(TFrmDesignSpace* Owner, const char* Text, int Left, int Top, int Width)
{
    auto* l = new TLabel(Owner);
    l->SetParent(Owner);
    l->SetBounds(Left, Top + 3, Width, 16);
    l->SetCaption(Text);
    return l;
}

TComboBox* NewList(TFrmDesignSpace* Owner, const char* Name, int Left, int Top, int Width)
{
    auto* c = new TComboBox(Owner);
    c->SetParent(Owner);
    c->SetName(Name);
    c->SetStyle(csDropDownList);
    c->SetBounds(Left, Top, Width, FieldHeight);
    return c;
}

TNumEdit* NewField(TFrmDesignSpace* Owner, const char* Name, int Left, int Top, int Width)
{
    TNumEdit* f = NewNumericField(Owner, Owner, Left, Top);
    f->SetName(Name);
    f->SetWidth(Width);
    f->OnAccept = Bind(Owner, &TFrmDesignSpace::NumAccept);
    f->OnAccepted = Bind(Owner, &TFrmDesignSpace::NumAccepted);
    return f;
}

UnicodeString Number(double V) { return FloatToStrF(V, ffGeneral, 4, 0); }

}  // namespace

// A map computed on a thread of its own; the window takes the result on the message loop.
struct TFrmDesignSpace::TJob {
    Params P;
    DesignSpaceSettings S;
    std::optional<Uncertainties> U;  // P(Rs >= 1.5) as well
    std::atomic<bool> Cancel{false};
    std::atomic<bool> Finished{false};
    std::atomic<int> Done{0};
    std::atomic<int> Total{1};
    std::chrono::steady_clock::time_point Started = std::chrono::steady_clock::now();
    DesignMap Map;
    GoodRegion Region;
    std::optional<ProbabilityMap> Probability;
    std::exception_ptr Error;
    std::thread Thread;

    void Run()
    {
        try {
            const int parts = U ? 2 : 1;
            auto progress = [this, parts](int part) {
                return [this, parts, part](int done, int total) {
                    Total = total * parts;
                    Done = total * part + done;
                    return !Cancel.load();
                };
            };
            Map = ComputeDesignMap(P, S, progress(0));
            if (!Map.Cancelled) {
                Region = FindGoodRegion(Map);
                if (U) {
                    ProbabilityMap p = ComputeProbabilityMap(P, S, *U, {}, progress(1));
                    if (p.Cancelled) Map.Cancelled = true;
                    else Probability = std::move(p);
                }
            }
        } catch (...) {
            Error = std::current_exception();
        }
        Finished = true;
    }

    ~TJob()
    {
        Cancel = true;
        if (Thread.joinable()) Thread.join();
    }
};

TFrmDesignSpace::TFrmDesignSpace(TComponent* AOwner) : TForm(AOwner)
{
    SetName("FrmDesignSpace");
    SetCaption("Design space");
    SetClientWidth(900);
    SetClientHeight(690);
    SetWindowFont(this);
    SetColor(clBtnFace);

    LblDependency = NewWrappedText(this, 8, 6, 884, 16);
    LblCondition = NewCaption(this, "Condition", 8, 28, 58);
    CbxCondition = NewList(this, "CbxCondition", 66, 28, 130);
    CbxCondition->OnChange = Bind(this, &TFrmDesignSpace::CbxConditionChange);
    LblRange = NewCaption(this, "from / to", 208, 28, 56);
    NumFrom = NewField(this, "NumFrom", 264, 28, 64);
    NumTo = NewField(this, "NumTo", 332, 28, 64);
    LblGrid = NewCaption(this, "Grid", 410, 28, 30);
    NumNx = NewField(this, "NumNx", 440, 28, 48);
    NumNy = NewField(this, "NumNy", 492, 28, 48);
    LblValue = NewCaption(this, "Show", 556, 28, 36);
    CbxValue = NewList(this, "CbxValue", 592, 28, 300);
    CbxValue->SetDropDownCount(MapShownCount);
    CbxValue->OnChange = Bind(this, &TFrmDesignSpace::CbxValueChange);
    ++FUpdating;
    NumNx->SetValue(DefaultMapSize);
    NumNy->SetValue(DefaultMapSize);
    --FUpdating;

    ChrtMap = new TChart(this);
    ChrtMap->SetParent(this);
    ChrtMap->SetName("ChrtMap");
    ChrtMap->SetBounds(8, 56, DesignMapChartWidth, DesignMapChartHeight);
    DressDesignMapChart(ChrtMap);
    ChrtMap->OnMouseMove = Bind(this, &TFrmDesignSpace::ChrtMapMouseMove);
    ChrtMap->OnMouseDown = Bind(this, &TFrmDesignSpace::ChrtMapMouseDown);

    LblStatus = NewWrappedText(this, 8, 590, 884, 16);
    LblInfo = NewWrappedText(this, 8, 610, 580, 74);
    BtnCancel = NewButton(this, this, "BtnCancel", "Cancel", 600, 612, 90, 30);
    BtnCancel->SetEnabled(false);
    BtnCancel->OnClick = Bind(this, &TFrmDesignSpace::BtnCancelClick);
    BtnExportCsv = NewButton(this, this, "BtnExportCsv", "&Export grid as CSV...", 700, 612, 192, 30);
    BtnExportCsv->OnClick = Bind(this, &TFrmDesignSpace::BtnExportCsvClick);
    BtnSavePicture = NewButton(this, this, "BtnSavePicture", "&Save picture as...", 600, 650, 192, 30);
    BtnSavePicture->OnClick = Bind(this, &TFrmDesignSpace::BtnSavePictureClick);
    BtnClose = NewButton(this, this, "BtnClose", "&Close", 802, 650, 90, 30);
    BtnClose->SetCancel(true);
    BtnClose->OnClick = Bind(this, &TFrmDesignSpace::BtnCloseClick);

    ExportMapDialog = NewSaveDialog(this, "ExportMapDialog", "CSV, one row per grid point (*.csv)|*.csv", "csv");
    ExportMapDialog->SetTitle("Export grid as CSV");
    ExportMapDialog->SetFileName("map.csv");
    SavePictureDialog = NewSaveDialog(this, "SavePictureDialog", ChartFormatsFilter(), "png");
    SavePictureDialog->SetTitle("Save picture as");
    SavePictureDialog->SetFileName("map.png");

    TmrProgress = new TTimer(this);
    TmrProgress->SetEnabled(false);
    TmrProgress->SetInterval(25);
    TmrProgress->OnTimer = Bind(this, &TFrmDesignSpace::TmrProgressTimer);
    OnClose = Bind(this, &TFrmDesignSpace::FormClose);

    ShowFor(nullptr, 0, {}, 0);
}

TFrmDesignSpace::~TFrmDesignSpace() { FJob.reset(); }

// ---------------------------------------------------------------------------------------------
// Fields

TMapCondition TFrmDesignSpace::Condition() const
{
    const int i = CbxCondition->GetItemIndex();
    return i >= 0 && i < static_cast<int>(FConditions.size()) ? FConditions[static_cast<size_t>(i)] : TMapCondition::Voltage;
}

int TFrmDesignSpace::ShownValue() const
{
    const int i = CbxValue->GetItemIndex();
    return i >= 0 && i < static_cast<int>(FValues.size()) ? FValues[static_cast<size_t>(i)] : mvRs;
}

void TFrmDesignSpace::FillConditions()
{
    const bool had = CbxCondition->GetItemIndex() >= 0;
    const TMapCondition was = Condition();
    FConditions.clear();
    CbxCondition->Items->Clear();
    for (TMapCondition c : {TMapCondition::pH, TMapCondition::Voltage, TMapCondition::Detector}) {
        if (FRecord && !MapConditionAvailable(FRecord->Params, c)) continue;
        FConditions.push_back(c);
        CbxCondition->Items->Add(MapConditionName(c));
    }
    // The condition stays while the dependency offers it; the pH comes first where it is new.
    auto at = std::find(FConditions.begin(), FConditions.end(), was);
    if (!had || at == FConditions.end()) at = FConditions.begin();
    CbxCondition->SetItemIndex(static_cast<int>(at - FConditions.begin()));
    // The range stays while it holds the dependency's own value of the condition.
    const double own = FRecord ? MapConditionValue(FRecord->Params, *at) * MapConditionShown(*at) : 0;
    const double from = NumFrom->GetAcceptedValue(), to = NumTo->GetAcceptedValue();
    const bool holds = own >= std::min(from, to) && own <= std::max(from, to);
    if (!had || *at != was || !holds) SetRangeFields(*at);
}

void TFrmDesignSpace::FillValues(int GraphChoice)
{
    const int was = ShownValue();
    FValues = {mvRs, mvT1, mvT2, mvDt, mvRun};
    // The measure of the main window's graph choice first, then the others.
    if (GraphChoice >= 0 && GraphChoice < GraphChoiceCount) FValues.push_back(mvMeasure + GraphChoice);
    for (int k = 0; k < GraphChoiceCount; ++k)
        if (k != GraphChoice) FValues.push_back(mvMeasure + k);
    if (FRecord && FRecord->Uncertainty.Any()) FValues.push_back(MapProbability);
    CbxValue->Items->Clear();
    for (int v : FValues) CbxValue->Items->Add(MapShownTitle(v));
    const auto at = std::find(FValues.begin(), FValues.end(), was);
    CbxValue->SetItemIndex(at == FValues.end() ? 0 : static_cast<int>(at - FValues.begin()));
}

void TFrmDesignSpace::SetRangeFields(TMapCondition C)
{
    const Params p = FRecord ? FRecord->Params : Params();
    const DesignSpaceSettings d = DefaultDesignSpace(p, C);
    const double shown = MapConditionShown(C);
    ++FUpdating;
    NumFrom->SetValue(d.yFrom * shown);
    NumTo->SetValue(d.yTo * shown);
    --FUpdating;
    const UnicodeString unit = MapConditionShownUnit(C);
    LblRange->SetCaption(unit.empty() ? "from / to" : "from / to, " + unit);
    LblRange->SetWidth(unit.empty() ? 56 : 80);
    LblRange->SetLeft(unit.empty() ? 208 : 200);
    NumFrom->SetLeft(unit.empty() ? 264 : 280);
    NumTo->SetLeft(unit.empty() ? 332 : 346);
}

DesignSpaceSettings TFrmDesignSpace::Settings() const
{
    const TMapCondition c = Condition();
    DesignSpaceSettings s = DefaultDesignSpace(FRecord ? FRecord->Params : Params(), c);
    const double shown = MapConditionShown(c);
    s.yFrom = NumFrom->GetAcceptedValue() / shown;
    s.yTo = NumTo->GetAcceptedValue() / shown;
    s.nx = static_cast<int>(NumNx->GetAcceptedValue());
    s.ny = static_cast<int>(NumNy->GetAcceptedValue());
    s.Analysis = FOptions;
    return s;
}

void TFrmDesignSpace::NumAccept(TObject* Sender, TCaption NewText, bool& Accept)
{
    if (Sender != NumNx && Sender != NumNy) return;
    // A whole number of grid points the map accepts.
    ApplyRangeRule(TRangeRule::Integer, NewText, Accept);
    if (!Accept) return;
    const long double n = StrToFloat(NewText);
    Accept = n >= MinMapSize && n <= MaxMapSize;
}

void TFrmDesignSpace::NumAccepted(TObject*)
{
    if (FUpdating == 0) Start();
}

void TFrmDesignSpace::CbxConditionChange(TObject*)
{
    SetRangeFields(Condition());
    Start();
}

void TFrmDesignSpace::CbxValueChange(TObject*)
{
    // P(Rs >= 1.5) is computed when it is first shown.
    if (ShownValue() == MapProbability && FMap && !FProbability) Start();
    else Redraw();
}

// ---------------------------------------------------------------------------------------------
// Computing

void TFrmDesignSpace::ShowFor(const DependencyRecord* Record, int Index, const AnalysisOptions& Options, int GraphChoice)
{
    if (Record == nullptr) FRecord.reset();
    else FRecord = *Record;
    if (FRecord) FRecord->SeriesSet = SeriesSet();  // the copy draws nothing of the main window's
    FIndex = Index;
    FOptions = Options;
    FillConditions();
    FillValues(GraphChoice);
    LblDependency->SetCaption(FRecord ? AnsiToUtf8(FRecord->name) + ": " + AnsiToUtf8(FRecord->analyte1) + " and " +
                                            AnsiToUtf8(FRecord->analyte2) + " with " + AnsiToUtf8(FRecord->selector)
                                      : UnicodeString("No dependency is selected."));
    Start();
}

void TFrmDesignSpace::CancelComputation()
{
    FJob.reset();
    TmrProgress->SetEnabled(false);
    BtnCancel->SetEnabled(false);
}

void TFrmDesignSpace::Start()
{
    CancelComputation();
    FMap.reset();
    FProbability.reset();
    FRegion = GoodRegion();
    ShowDesignMap(ChrtMap, {});
    LblStatus->SetCaption("");
    LblInfo->SetCaption("");
    if (!FRecord) return;
    const DesignSpaceSettings s = Settings();
    const UnicodeString refusal = DesignSpaceRefusal(FRecord->Params, s);
    if (!refusal.empty()) {
        LblInfo->SetCaption(refusal);
        return;
    }
    auto job = std::make_unique<TJob>();
    job->P = FRecord->Params;
    job->S = s;
    if (ShownValue() == MapProbability) job->U = FRecord->Uncertainty;
    TJob* j = job.get();
    job->Thread = std::thread([j] { j->Run(); });
    FJob = std::move(job);
    BtnCancel->SetEnabled(true);
    TmrProgress->SetEnabled(true);
}

void TFrmDesignSpace::TmrProgressTimer(TObject*)
{
    if (!FJob) {
        TmrProgress->SetEnabled(false);
        return;
    }
    if (FJob->Finished) {
        Finish();
        return;
    }
    if (std::chrono::steady_clock::now() - FJob->Started >= ProgressAfter) {
        const int total = std::max(1, FJob->Total.load());
        LblStatus->SetCaption("Computing the map: " + IntToStr(100 * FJob->Done.load() / total) +
                              " % (Cancel stops it)");
    }
}

void TFrmDesignSpace::Finish()
{
    std::unique_ptr<TJob> job = std::move(FJob);
    CancelComputation();
    job->Thread.join();
    LblStatus->SetCaption("");
    if (job->Error) std::rethrow_exception(job->Error);
    if (job->Map.Cancelled) {
        LblStatus->SetCaption("The map was cancelled.");
        return;
    }
    FMap = std::move(job->Map);
    FRegion = std::move(job->Region);
    FProbability = std::move(job->Probability);
    Redraw();
}

void TFrmDesignSpace::Redraw()
{
    if (!FMap) return;
    ShowDesignMap(ChrtMap, {&*FMap, &FRegion, FProbability ? &*FProbability : nullptr, ShownValue()});
    const DesignMap& m = *FMap;
    const TMapCondition c = m.Settings.Y;
    const double shown = MapConditionShown(c);
    const UnicodeString unit = MapConditionShownUnit(c);
    UnicodeString info;
    if (FRegion.Robust) {
        const RobustPoint& r = *FRegion.Robust;
        info = "Rs \u2265 1.5 within the run at " + IntToStr(FRegion.Points) + " of " + IntToStr(m.nx() * m.ny()) +
               " grid points; most robust at " + Number(r.At.x) + " mM, " + MapConditionName(c) + " " +
               Number(r.At.y * shown) + (unit.empty() ? "" : " " + unit) + " (" + RobustText(r, c) + ").";
    } else {
        info = "Nowhere on the map do the peaks separate to the baseline within the run.";
    }
    for (const UnicodeString& w : m.Warnings) info += "\n" + w;
    LblInfo->SetCaption(info);
}

void TFrmDesignSpace::BtnCancelClick(TObject*)
{
    if (!FJob) return;
    CancelComputation();
    LblStatus->SetCaption("The map was cancelled.");
}

void TFrmDesignSpace::FormClose(TObject*, TCloseAction&)
{
    if (FJob) {
        CancelComputation();
        LblStatus->SetCaption("The map was cancelled.");
    }
}

void TFrmDesignSpace::BtnCloseClick(TObject*) { Close(); }

// ---------------------------------------------------------------------------------------------
// The mouse

bool TFrmDesignSpace::PointAt(int X, int Y, int& I, int& J) const
{
    if (!FMap || !FMap->Complete()) return false;
    const TRect plot = ChrtMap->GetChartRect();
    if (X < plot.Left || X >= plot.Right || Y < plot.Top || Y >= plot.Bottom) return false;
    const DesignMap& m = *FMap;
    const double ax = ChrtMap->GetBottomAxis()->CalcPosPoint(X);
    const double ay = ChrtMap->GetLeftAxis()->CalcPosPoint(Y) / MapConditionShown(m.Settings.Y);
    auto nearest = [](int n, auto&& at, double v) {
        int best = 0;
        for (int k = 1; k < n; ++k)
            if (std::abs(at(k) - v) < std::abs(at(best) - v)) best = k;
        return best;
    };
    I = nearest(m.nx(), [&](int k) { return MapAxisX(m, m.x[static_cast<size_t>(k)]); }, ax);
    J = nearest(m.ny(), [&](int k) { return m.y[static_cast<size_t>(k)]; }, ay);
    return true;
}

UnicodeString TFrmDesignSpace::HoverText(int X, int Y) const
{
    int i = 0, j = 0;
    if (!PointAt(X, Y, i, j)) return "";
    const DesignMap& m = *FMap;
    const TMapCondition c = m.Settings.Y;
    const UnicodeString unit = MapConditionShownUnit(c);
    const ProbabilityMap* p = FProbability ? &*FProbability : nullptr;
    auto value = [&](int v) {
        const double x = MapShownValue(m, p, v, i, j);
        return std::isfinite(x) ? Number(x) : UnicodeString("\u2013");
    };
    UnicodeString text = "c = " + Number(m.x[static_cast<size_t>(i)]) + " mM, " + MapConditionName(c) + " = " +
                         Number(m.y[static_cast<size_t>(j)] * MapConditionShown(c)) + (unit.empty() ? "" : " " + unit) +
                         ": Rs = " + value(mvRs) + ", t1 = " + value(mvT1) + " min, t2 = " + value(mvT2) +
                         " min, \u0394t = " + value(mvDt) + " min";
    const int shown = ShownValue();
    if (shown >= mvMeasure) text += ", " + MapShownTitle(shown) + " = " + value(shown);
    if (!m.At(i, j).WithinLimit) text += " (beyond the longest run)";
    return text;
}

void TFrmDesignSpace::ChrtMapMouseMove(TObject*, TShiftState, int X, int Y)
{
    if (FJob) return;  // the status line shows the progress
    LblStatus->SetCaption(HoverText(X, Y));
}

void TFrmDesignSpace::ChrtMapMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y)
{
    int i = 0, j = 0;
    if (Button != mbLeft || !PointAt(X, Y, i, j)) return;
    const DesignMap& m = *FMap;
    // The concentration and the condition under the mouse, within the map's ranges.
    const double c = std::clamp(MapConcentration(m, ChrtMap->GetBottomAxis()->CalcPosPoint(X)), m.x.front(), m.x.back());
    const double y = std::clamp(ChrtMap->GetLeftAxis()->CalcPosPoint(Y) / MapConditionShown(m.Settings.Y),
                                std::min(m.y.front(), m.y.back()), std::max(m.y.front(), m.y.back()));
    if (OnChoose) OnChoose(c, m.Settings.Y, y);
}

// ---------------------------------------------------------------------------------------------
// Exports

void TFrmDesignSpace::ExportCsv(const UnicodeString& FileName)
{
    if (!FMap || !FRecord) throw Exception("There is no map to export.");
    CurvesTextOptions o;
    o.DecimalSeparator = FormatSettings.DecimalSeparator;
    o.Analysis = FOptions;
    const MapTextEntry entry{static_cast<size_t>(std::max(0, FIndex)), &*FRecord, &*FMap,
                             FProbability ? &*FProbability : nullptr};
    WriteFileAtOnce(FileName, MapText({entry}, o));
}

void TFrmDesignSpace::SavePicture(const UnicodeString& FileName, int FilterIndex)
{
    SaveChartAs(*ChrtMap, ChartFormatFor(FileName, FilterIndex), FileName);
}

void TFrmDesignSpace::BtnExportCsvClick(TObject*)
{
    if (!ExportMapDialog->Execute()) return;
    ExportCsv(ExportMapDialog->GetFileName());
}

void TFrmDesignSpace::BtnSavePictureClick(TObject*)
{
    if (!SavePictureDialog->Execute()) return;
    SavePicture(SavePictureDialog->GetFileName(), SavePictureDialog->GetFilterIndex());
}
