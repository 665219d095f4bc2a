// The main window as a user waits for it: start-up to the painted window with its default
// dependency; with 1,000 dependencies, a click on a row to the painted chart and an Apply; and
// one sweep of a 101-point dependency split into showing the record and computing the curves;
// Load of 1,000 dependencies against corvane-export of the same project to CSV.
#include "platform/Forms.h"
#include "platform/Messages.h"
#include "ui/FCorvane.h"
#include "project/ProjectFile.h"
#include "ui/FAnalysis.h"
#include "ui/FpHSetup.h"

#include "bench/main/ProcessClock.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <spawn.h>
#include <sys/wait.h>

namespace {

// Handles messages until the chart has been painted again (at most 5 seconds).
void WaitForChartPaint(int PaintsBefore)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (FrmCorvane->ChrtDependencies->PaintCount() == PaintsBefore
           && std::chrono::steady_clock::now() < deadline)
        Application->ProcessMessages();
}

void CreateWindows()
{
    Application->CreateForm(FrmCorvane);
    Application->CreateForm(FrmpHSetup);
    const int paints = FrmCorvane->ChrtDependencies->PaintCount();
    FrmCorvane->Show();
    WaitForChartPaint(paints);
}

// A realistic parameter set on the current dependency, 101 points, applied.
void ApplyRealistic(double K2)
{
    TFrmCorvane* f = FrmCorvane;
    f->NumU01->SetValue(20);
    f->NumU02->SetValue(21);
    f->NumU1->SetValue(5);
    f->NumU2->SetValue(5);
    f->NumK1->SetValue(200);
    f->NumK2->SetValue(K2);
    f->NumEOF->SetValue(40);
    f->NumMaxC->SetValue(50);
    f->NumPoints->SetValue(100);
    f->BtnApplyClick(f->BtnApply);
}

struct TThousand {
    TThousand()
    {
        CreateWindows();
        ApplyRealistic(500);
        while (FrmCorvane->Records.size() < 1000) {
            FrmCorvane->BtnAddClick(nullptr);
            ApplyRealistic(300 + FrmCorvane->Records.size());
        }
        Application->ProcessMessages();
    }
    ~TThousand() { DestroyApplicationForms(); }
};

// With argument 1 every marker drawn (the plot of before, where markers painted over by later
// ones were drawn too).
void BM_SelectRowOf1000(benchmark::State& State)
{
    TThousand windows;
    const std::size_t from = TChart::MarkerCoverFrom;
    if (State.range(0) == 1)
        TChart::MarkerCoverFrom = SIZE_MAX;
    int row = 0;
    for (auto _ : State) {
        row = (row + 37) % 1000;
        TListBox* list = FrmCorvane->LstDependencies;
        list->ClearSelection();
        list->SetItemIndex(row);
        list->SetSelected(row, true);
        const int paints = FrmCorvane->ChrtDependencies->PaintCount();
        FrmCorvane->LstDependenciesClick(list);
        FrmCorvane->ChrtDependencies->Repaint();
        WaitForChartPaint(paints);
    }
    TChart::MarkerCoverFrom = from;
}
BENCHMARK(BM_SelectRowOf1000)->ArgName("every_marker")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ApplyOneOf1000(benchmark::State& State)
{
    TThousand windows;
    FrmCorvane->LstDependencies->ClearSelection();
    FrmCorvane->LstDependencies->SetItemIndex(500);
    double k = 100;
    for (auto _ : State) {
        FrmCorvane->NumK1->SetValue(k += 1);
        const int paints = FrmCorvane->ChrtDependencies->PaintCount();
        FrmCorvane->BtnApplyClick(FrmCorvane->BtnApply);
        FrmCorvane->ChrtDependencies->Repaint();
        WaitForChartPaint(paints);
    }
}
BENCHMARK(BM_ApplyOneOf1000)->Unit(benchmark::kMillisecond);

// Undo and redo through the window's menu commands, each to the painted chart: of an Apply of one
// dependency and of a Delete of one, with 1,000 dependencies.
void UndoRedoToPaint(benchmark::State& State)
{
    bool undo = true;
    for (auto _ : State) {
        const int paints = FrmCorvane->ChrtDependencies->PaintCount();
        if (undo)
            FrmCorvane->MniUndoClick(nullptr);
        else
            FrmCorvane->MniRedoClick(nullptr);
        undo = !undo;
        FrmCorvane->ChrtDependencies->Repaint();
        WaitForChartPaint(paints);
    }
}

void BM_UndoRedoApplyOf1000(benchmark::State& State)
{
    TThousand windows;
    FrmCorvane->LstDependencies->ClearSelection();
    FrmCorvane->LstDependencies->SetItemIndex(500);
    FrmCorvane->NumK1->SetValue(150);
    FrmCorvane->BtnApplyClick(FrmCorvane->BtnApply);
    UndoRedoToPaint(State);
}
BENCHMARK(BM_UndoRedoApplyOf1000)->Unit(benchmark::kMillisecond);

void BM_UndoRedoDeleteOf1000(benchmark::State& State)
{
    TThousand windows;
    FrmCorvane->LstDependencies->ClearSelection();
    FrmCorvane->LstDependencies->SetItemIndex(500);
    FrmCorvane->LstDependencies->SetSelected(500, true);
    FrmCorvane->Document.Delete();
    UndoRedoToPaint(State);
}
BENCHMARK(BM_UndoRedoDeleteOf1000)->Unit(benchmark::kMillisecond);

// The memory the history holds after 100 Apply steps on 1,000 dependencies (a counter; the time is
// that of the 100 Apply commands).
void BM_HistoryOf100ApplyOf1000(benchmark::State& State)
{
    TThousand windows;
    FrmCorvane->Document.ClearHistory();
    FrmCorvane->LstDependencies->ClearSelection();
    FrmCorvane->LstDependencies->SetItemIndex(500);
    double k = 100;
    for (auto _ : State) {
        for (int i = 0; i < 100; ++i) {
            FrmCorvane->NumK1->SetValue(k += 1);
            FrmCorvane->BtnApplyClick(FrmCorvane->BtnApply);
        }
    }
    State.counters["history_MB"] = double(FrmCorvane->Document.HistoryBytes()) / (1 << 20);
}
BENCHMARK(BM_HistoryOf100ApplyOf1000)->Unit(benchmark::kMillisecond)->Iterations(1);

// A mouse move over the chart as a message through the chart's Dispatch (where the toolkit's
// events arrive), to the painted overlay; with one and with 1,000 dependencies (the plot is
// cached, so the two should cost the same).
void MoveCrossHair(benchmark::State& State)
{
    TChart* chart = FrmCorvane->ChrtDependencies;
    chart->Repaint();
    int x = 0;
    for (auto _ : State) {
        x = (x + 7) % 400;
        const int paints = chart->PaintCount();
        chart->Perform(WM_MOUSEMOVE, 0, MakeLParam(200 + x, 150 + x / 4));
        chart->Repaint();
        WaitForChartPaint(paints);
    }
}

void BM_CrossHairMoveOf1(benchmark::State& State)
{
    CreateWindows();
    ApplyRealistic(500);
    MoveCrossHair(State);
    DestroyApplicationForms();
}
BENCHMARK(BM_CrossHairMoveOf1)->Unit(benchmark::kMicrosecond);

void BM_CrossHairMoveOf1000(benchmark::State& State)
{
    TThousand windows;
    MoveCrossHair(State);
}
BENCHMARK(BM_CrossHairMoveOf1000)->Unit(benchmark::kMicrosecond);

// A graph choice: all 1,000 dependencies swept again and the chart painted.
void BM_GraphChoiceOf1000(benchmark::State& State)
{
    TThousand windows;
    int choice = 0;
    for (auto _ : State) {
        FrmCorvane->CbxGraph->SetItemIndex(choice = (choice + 1) % 6);
        const int paints = FrmCorvane->ChrtDependencies->PaintCount();
        FrmCorvane->CbxGraphChange(FrmCorvane->CbxGraph);
        FrmCorvane->ChrtDependencies->Repaint();
        WaitForChartPaint(paints);
    }
}
BENCHMARK(BM_GraphChoiceOf1000)->Unit(benchmark::kMillisecond);

// The chart of 1,000 dependencies as files: the PNG at 1x and 2x, the SVG and the PDF, from the
// click on the menu entry's action to the bytes (the file writes are left out).
void BM_ChartPicturesOf1000(benchmark::State& State)
{
    TThousand windows;
    std::size_t bytes = 0;
    for (auto _ : State) {
        switch (State.range(0)) {
        case 0: {
            TBitmap b;
            FrmCorvane->ChrtDependencies->DrawImage(&b, 1);
            bytes = b.GetWidth();
            break;
        }
        case 1: {
            TBitmap b;
            FrmCorvane->ChrtDependencies->DrawImage(&b, 2);
            bytes = b.GetWidth();
            break;
        }
        case 2: bytes = FrmCorvane->ChrtDependencies->SvgText().size(); break;
        }
        benchmark::DoNotOptimize(bytes);
    }
    if (State.range(0) == 2) State.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_ChartPicturesOf1000)->ArgName("png1_png2_svg")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Save and Load of a project of 1,000 dependencies through the window, after the file dialog:
// Load from the chosen path to the painted chart, split into reading the file (with the
// derivation), showing every record and sweeping every curve.
const UnicodeString& ThousandFile()
{
    static const UnicodeString path = [] {
        TThousand windows;
        const UnicodeString p = "/tmp/corvane-bench-1000.ini";
        FrmCorvane->SaveProject(p);
        return p;
    }();
    return path;
}

void BM_SaveProject1000(benchmark::State& State)
{
    TThousand windows;
    for (auto _ : State)
        FrmCorvane->SaveProject("/tmp/corvane-bench-save.ini");
}
BENCHMARK(BM_SaveProject1000)->Unit(benchmark::kMillisecond);

void BM_LoadProject1000(benchmark::State& State)
{
    const UnicodeString path = ThousandFile();
    CreateWindows();
    for (auto _ : State) {
        const int paints = FrmCorvane->ChrtDependencies->PaintCount();
        FrmCorvane->LoadFile(path);
        FrmCorvane->ChrtDependencies->Repaint();
        WaitForChartPaint(paints);
    }
    DestroyApplicationForms();
}
BENCHMARK(BM_LoadProject1000)->Unit(benchmark::kMillisecond);

// The same project through corvane-export to a CSV file, from the process's start to its exit
// (wall clock), against Load in the window above.
void BM_ExportCsv1000(benchmark::State& State)
{
    const UnicodeString path = ThousandFile();
    const char* csv = "/tmp/corvane-bench-export.csv";
    char* const argv[] = {const_cast<char*>(CORVANE_EXPORT_PROGRAM), const_cast<char*>(path.c_str()),
                          const_cast<char*>("--csv"), const_cast<char*>(csv), nullptr};
    for (auto _ : State) {
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0 || waitpid(pid, &status, 0) != pid
            || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            State.SkipWithError("corvane-export failed");
            break;
        }
    }
    std::remove(csv);
}
BENCHMARK(BM_ExportCsv1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadReadAndDerive1000(benchmark::State& State)
{
    const UnicodeString path = ThousandFile();
    for (auto _ : State)
        benchmark::DoNotOptimize(ReadProjectFile(path));
}
BENCHMARK(BM_LoadReadAndDerive1000)->Unit(benchmark::kMillisecond);

void BM_LoadShowEvery1000(benchmark::State& State)
{
    const UnicodeString path = ThousandFile();
    CreateWindows();
    FrmCorvane->LoadFile(path);
    for (auto _ : State)
        for (int i = 0; i < 1000; ++i)
            FrmCorvane->ShowRecord(i);
    DestroyApplicationForms();
}
BENCHMARK(BM_LoadShowEvery1000)->Unit(benchmark::kMillisecond);

void BM_LoadSweepEvery1000(benchmark::State& State)
{
    const UnicodeString path = ThousandFile();
    CreateWindows();
    FrmCorvane->LoadFile(path);
    for (auto _ : State)
        for (const DependencyRecord& r : FrmCorvane->Records)
            r.Sweep(0);
    DestroyApplicationForms();
}
BENCHMARK(BM_LoadSweepEvery1000)->Unit(benchmark::kMillisecond);

// The analysis window brought up to date for a 101-point dependency: the analysis with its
// optimum search and reversals, the two charts and the figures; with high_K the constants are
// 1E4 and 1.2E4 per mM, so the range is scanned and drawn on a logarithmic scale, under a
// longest run of 10 min.
void BM_AnalysisWindowUpdate(benchmark::State& State)
{
    CreateWindows();
    ApplyRealistic(500);
    FrmCorvane->BtnAnalysisClick(nullptr);
    DependencyRecord r = FrmCorvane->Records[0];
    if (State.range(0) != 0) {
        r.Params.phys.K1 = 1e4, r.Params.phys.K2 = 1.2e4;
        FrmCorvane->FrmAnalysis->NumLongest->SetValue(10);
    }
    for (auto _ : State)
        FrmCorvane->FrmAnalysis->ShowFor(&r);
    DestroyApplicationForms();
}
BENCHMARK(BM_AnalysisWindowUpdate)->ArgName("high_K")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Two dependencies of 101 points that differ in every field, shown in turn (a field whose text
// stays the same costs nothing).
void CreateTwoDifferent()
{
    CreateWindows();
    ApplyRealistic(500);
    FrmCorvane->BtnAddClick(nullptr);
    TFrmCorvane* f = FrmCorvane;
    for (TNumEdit* e : {f->NumCapillary, f->NumDetector, f->NumVoltage, f->NumTemperature, f->NumPressure,
                        f->NumRadius, f->NumEOF, f->NumEOFSlope, f->NumU01, f->NumU02, f->NumU1, f->NumU2,
                        f->NumK1, f->NumK2, f->NumD01, f->NumD02, f->NumD1, f->NumD2, f->NumMaxC, f->NumpH})
        e->SetValue(e->GetAcceptedValue() * 1.5 + 1);
    f->NumZ01->SetValue(-1);
    f->NumZ02->SetValue(-1);
    f->NumPoints->SetValue(101);
    for (TNumEdit* e : {FrmpHSetup->NumpKa1, FrmpHSetup->NumpKa2, FrmpHSetup->NumU01Low, FrmpHSetup->NumU02Low,
                        FrmpHSetup->NumU1Low, FrmpHSetup->NumU2Low, FrmpHSetup->NumK1Low, FrmpHSetup->NumK2Low,
                        FrmpHSetup->NumU01High, FrmpHSetup->NumU02High, FrmpHSetup->NumU1High,
                        FrmpHSetup->NumU2High, FrmpHSetup->NumK1High, FrmpHSetup->NumK2High})
        e->SetValue(e->GetAcceptedValue() * 1.5 + 1);
    f->BtnApplyClick(f->BtnApply);
}

// The whole Sweep, its first step alone and the curves alone.
void BM_Sweep101(benchmark::State& State)
{
    CreateTwoDifferent();
    int i = 0;
    for (auto _ : State)
        FrmCorvane->Sweep(i ^= 1);
    DestroyApplicationForms();
}
BENCHMARK(BM_Sweep101)->Unit(benchmark::kMicrosecond);

void BM_ShowRecord(benchmark::State& State)
{
    CreateTwoDifferent();
    int i = 0;
    for (auto _ : State)
        FrmCorvane->ShowRecord(i ^= 1);
    DestroyApplicationForms();
}
BENCHMARK(BM_ShowRecord)->Unit(benchmark::kMicrosecond);

void BM_SweepCurves101(benchmark::State& State)
{
    CreateWindows();
    ApplyRealistic(500);
    const DependencyRecord& r = FrmCorvane->Records[0];
    for (auto _ : State)
        r.Sweep(0);
    DestroyApplicationForms();
}
BENCHMARK(BM_SweepCurves101)->Unit(benchmark::kMicrosecond);

// Keeps the real time of every benchmark for the comparison printed at the end.
class TRealTimes : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override
    {
        ConsoleReporter::ReportRuns(Runs);
        for (const Run& r : Runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0 && !r.error_occurred)
                Real[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    std::map<std::string, double> Real;
};

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const auto t0 = std::chrono::steady_clock::now();
    Application->Initialize();
    CreateWindows();
    const double inMain =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::printf("Start-up to the painted main window with its default dependency: %.1f ms from main, "
                "%.0f ms from process start\n",
                inMain, MillisecondsSinceProcessStart());
    DestroyApplicationForms();

    benchmark::Initialize(&argc, argv);
    TRealTimes times;
    benchmark::RunSpecifiedBenchmarks(&times);
    const auto load = times.Real.find("BM_LoadProject1000");
    const auto exported = times.Real.find("BM_ExportCsv1000/real_time");
    if (load != times.Real.end() && exported != times.Real.end() && load->second > 0)
        std::printf("\n1,000 dependencies: corvane-export to CSV %.0f ms (process start to exit), Load in the "
                    "window %.0f ms (real time): %.2f times the Load\n",
                    exported->second, load->second, exported->second / load->second);
    benchmark::Shutdown();
    return 0;
}
