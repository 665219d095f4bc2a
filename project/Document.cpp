#include "project/Document.h"

#include "model/Sweep.h"
#include "platform/Series.h"
#include "project/DependencyChart.h"
#include "project/Palette.h"

#include <algorithm>
#include <exception>

// ---------------------------------------------------------------------------------------------
// Rows in memory

void TPlainRows::Insert(int Index, const UnicodeString& Text)
{
    CheckListIndex(Index, GetCount() + 1);
    FRows.insert(FRows.begin() + Index, TRow{Text, false});
    if (FCurrent < 0)
        FCurrent = 0;
    else if (Index <= FCurrent)
        ++FCurrent;
}

void TPlainRows::Delete(int Index)
{
    CheckListIndex(Index, GetCount());
    FRows.erase(FRows.begin() + Index);
    if (FRows.empty())
        FCurrent = -1;
    else if (Index < FCurrent || FCurrent >= GetCount())
        --FCurrent;
}

void TPlainRows::Clear()
{
    FRows.clear();
    FCurrent = -1;
}

UnicodeString TPlainRows::GetText(int Index) const
{
    CheckListIndex(Index, GetCount());
    return FRows[static_cast<size_t>(Index)].Text;
}

void TPlainRows::SetText(int Index, const UnicodeString& Text)
{
    CheckListIndex(Index, GetCount());
    FRows[static_cast<size_t>(Index)].Text = Text;
}

bool TPlainRows::GetSelected(int Index) const
{
    CheckListIndex(Index, GetCount());
    return FRows[static_cast<size_t>(Index)].Selected;
}

void TPlainRows::SetSelected(int Index, bool Value)
{
    CheckListIndex(Index, GetCount());
    FRows[static_cast<size_t>(Index)].Selected = Value;
}

int TPlainRows::GetSelCount() const
{
    return static_cast<int>(std::count_if(FRows.begin(), FRows.end(), [](const TRow& r) { return r.Selected; }));
}

void TPlainRows::SetCurrent(int Index)
{
    if (Index >= 0 && Index < GetCount())
        FCurrent = Index;
}

// ---------------------------------------------------------------------------------------------
// Undo steps

namespace {

// A record's data without its series, as steps and the saved state keep it.
DependencyRecord DataOf(const DependencyRecord& R)
{
    DependencyRecord data = R;
    data.SeriesSet = SeriesSet();
    return data;
}

bool InLegend(const DependencyRecord& R)
{
    return R.SeriesSet.t1Series != nullptr && R.SeriesSet.t1Series->GetShowInLegend();
}

struct TEntry {
    int Position;
    DependencyRecord Data;
    bool Legend;
};

struct TChange {
    int Position;
    DependencyRecord Before;
    DependencyRecord After;
};

// What a record holds beyond its own size: its texts and its measured rows.
size_t TextBytes(const DependencyRecord& R)
{
    return R.name.Bytes().capacity() + R.analyte1.Bytes().capacity() + R.analyte2.Bytes().capacity() +
           R.selector.Bytes().capacity() + R.Measured.Rows.capacity() * sizeof(MeasuredRow);
}

}  // namespace

// What a command changes besides the records: the view's and the project's state.
struct TProjectDocument::TState {
    std::vector<TColor> Colours;
    std::vector<bool> Hidden;
    std::vector<bool> Selected;
    int Current = -1;
    int Shown = -1;
    UnicodeString Title;
    WideChar Separator = L'.';
    std::shared_ptr<const std::vector<DependencyRecord>> Saved;

    bool operator==(const TState&) const = default;
    size_t Bytes() const { return Colours.capacity() * sizeof(TColor) + (Hidden.capacity() + Selected.capacity()) / 8; }
};

struct TProjectDocument::TStep {
    UnicodeString Name;
    TState Before, After;
    // Records taken out, in the order they went (positions in the list of that moment, which
    // descend), and records put in (positions in the list after the command, ascending).
    std::vector<TEntry> Removed;
    std::vector<TEntry> Inserted;
    std::vector<int> InsertedAt;
    std::vector<TChange> Changed;

    size_t Bytes() const
    {
        size_t bytes = sizeof(TStep) + Before.Bytes() + After.Bytes();
        for (const auto* entries : {&Removed, &Inserted})
            for (const TEntry& e : *entries)
                bytes += sizeof(TEntry) + TextBytes(e.Data);
        for (const TChange& c : Changed)
            bytes += sizeof(TChange) + TextBytes(c.Before) + TextBytes(c.After);
        return bytes;
    }
};

// ---------------------------------------------------------------------------------------------
// The document

TProjectDocument::TProjectDocument(TChart* Chart, TDependencyRows& Rows) : FChart(Chart), FRows(Rows) {}

TProjectDocument::~TProjectDocument() = default;

void TProjectDocument::Changed()
{
    if (OnChanged)
        OnChanged();
}

int TProjectDocument::CurrentRow() const
{
    const int row = FRows.GetCurrent();
    return row >= 0 && row < static_cast<int>(Records.size()) ? row : -1;
}

void TProjectDocument::SweepCurves(int Index)
{
    const Record& r = Records.at(static_cast<size_t>(Index));
    if (FChart != nullptr)
        SweepDependency(FChart, r, GetGraphChoice(), GraphText(GetGraphChoice()));
    if (Index < FRows.GetCount())
        FRows.SetText(Index, AnsiToUtf8(r.name));
}

void TProjectDocument::Sweep(int Index)
{
    if (OnShowRecord)
        OnShowRecord(Index);
    FShown = Index;
    SweepCurves(Index);
    if (OnSwept)
        OnSwept(Index);
}

void TProjectDocument::SetGraphChoice(int Choice)
{
    FGraphChoice = Choice;
    for (int i = 0; i < static_cast<int>(Records.size()); ++i)
        Sweep(i);
}

void TProjectDocument::ColourBySelection()
{
    const int rows = std::min(FRows.GetCount(), static_cast<int>(Records.size()));
    for (int i = 0; i < rows; ++i)
        Records[static_cast<size_t>(i)].SeriesSet.SetColour(PaletteColor(static_cast<unsigned>(i), FRows.GetSelected(i)));
    SelectedOnTop();
}

void TProjectDocument::SelectedOnTop()
{
    if (FChart == nullptr)
        return;
    const int rows = std::min(FRows.GetCount(), static_cast<int>(Records.size()));
    std::vector<TChartSeries*> selected;
    for (int i = 0; i < rows; ++i)
        if (FRows.GetSelected(i)) {
            const SeriesSet& s = Records[static_cast<size_t>(i)].SeriesSet;
            selected.insert(selected.end(), {s.t1Series, s.t2Series, s.MeasureSeries, s.MeasuredSeries});
        }
    FChart->DrawOnTop(selected);
}

void TProjectDocument::InsertRecord(int Index, const Record& Data, bool Legend)
{
    Records.insert(Records.begin() + Index, DataOf(Data));
    if (FChart != nullptr)
        Records[static_cast<size_t>(Index)].SeriesSet.Create(FChart, PaletteColor(static_cast<unsigned>(Index), false),
                                                             Legend);
    if (FRecording != nullptr)
        FRecording->InsertedAt.push_back(Index);
    if (FShown >= Index)
        ++FShown;
}

void TProjectDocument::RemoveRecord(int Index)
{
    Record& r = Records.at(static_cast<size_t>(Index));
    if (FRecording != nullptr)
        FRecording->Removed.push_back({Index, DataOf(r), InLegend(r)});
    r.SeriesSet.Release();
    Records.erase(Records.begin() + Index);
    if (FShown == Index)
        FShown = -1;
    else if (FShown > Index)
        --FShown;
}

TProjectDocument::TState TProjectDocument::Capture() const
{
    TState s;
    s.Colours.reserve(Records.size());
    s.Hidden.reserve(Records.size());
    for (const Record& r : Records) {
        s.Colours.push_back(r.SeriesSet.colour);
        s.Hidden.push_back(r.SeriesSet.t1Series != nullptr && !r.SeriesSet.IsVisible());
    }
    s.Selected.reserve(static_cast<size_t>(FRows.GetCount()));
    for (int i = 0; i < FRows.GetCount(); ++i)
        s.Selected.push_back(FRows.GetSelected(i));
    s.Current = FRows.GetCurrent();
    s.Shown = FShown;
    s.Title = GetTitle();
    s.Separator = FormatSettings.DecimalSeparator;
    s.Saved = FSaved;
    return s;
}

void TProjectDocument::KeepView(TState& State) const
{
    const TState now = Capture();
    State.Colours = now.Colours;
    State.Selected = now.Selected;
    State.Current = now.Current;
    State.Shown = now.Shown;
}

template <class Body>
void TProjectDocument::RecordStep(const char* Name, Body&& Work)
{
    auto step = std::make_unique<TStep>();
    step->Name = Name;
    step->Before = Capture();
    FRecording = step.get();
    // A command that fails halfway is a step too, so that the history matches the list.
    auto finish = [&] {
        FRecording = nullptr;
        for (int at : step->InsertedAt)
            step->Inserted.push_back({at, DataOf(Records.at(static_cast<size_t>(at))), InLegend(Records[static_cast<size_t>(at)])});
        step->InsertedAt.clear();
        step->After = Capture();
        const bool nothing = step->Removed.empty() && step->Inserted.empty() && step->Changed.empty() &&
                             step->Before == step->After;
        if (nothing)
            return;
        FRedo.clear();
        FUndo.push_back(std::move(step));
        // The oldest steps go first, down to the limits.
        size_t bytes = HistoryBytes();
        while (FUndo.size() > 1 && (FUndo.size() > MaxSteps || bytes > MaxHistoryBytes)) {
            bytes -= FUndo.front()->Bytes();
            FUndo.erase(FUndo.begin());
        }
        Changed();
    };
    try {
        Work();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TProjectDocument::Restore(const TState& State)
{
    for (size_t i = 0; i < Records.size() && i < State.Colours.size(); ++i) {
        SeriesSet& s = Records[i].SeriesSet;
        if (s.colour != State.Colours[i])
            s.SetColour(State.Colours[i]);
        if (s.t1Series != nullptr && s.IsVisible() == State.Hidden[i])
            s.SetVisible(!State.Hidden[i]);
    }
    for (int i = 0; i < FRows.GetCount() && i < static_cast<int>(State.Selected.size()); ++i)
        if (FRows.GetSelected(i) != State.Selected[static_cast<size_t>(i)])
            FRows.SetSelected(i, State.Selected[static_cast<size_t>(i)]);
    FRows.SetCurrent(State.Current);
    FRows.Invalidate();
    SelectedOnTop();
}

void TProjectDocument::Replay(TStep& Step, bool Forward)
{
    const TState& target = Forward ? Step.After : Step.Before;
    const TState& other = Forward ? Step.Before : Step.After;
    std::vector<int> sweep;
    for (const TChange& c : Step.Changed) {
        Record& r = Records.at(static_cast<size_t>(c.Position));
        const SeriesSet series = r.SeriesSet;
        r = Forward ? c.After : c.Before;
        r.SeriesSet = series;
        sweep.push_back(c.Position);
    }
    // Out first (descending positions), then in (ascending).
    const std::vector<TEntry>& out = Forward ? Step.Removed : Step.Inserted;
    const std::vector<TEntry>& in = Forward ? Step.Inserted : Step.Removed;
    auto takeOut = [&](const TEntry& e) {
        RemoveRecord(e.Position);
        FRows.Delete(e.Position);
    };
    auto putIn = [&](const TEntry& e) {
        InsertRecord(e.Position, e.Data, e.Legend);
        FRows.Insert(e.Position, "<>");
        sweep.push_back(e.Position);
    };
    if (Forward) {
        std::for_each(out.begin(), out.end(), takeOut);
        std::for_each(in.begin(), in.end(), putIn);
    } else {
        std::for_each(out.rbegin(), out.rend(), takeOut);
        std::for_each(in.rbegin(), in.rend(), putIn);
    }
    // Series put back in the middle take their places in the drawing order again.
    if (FChart != nullptr && !in.empty()) {
        std::vector<TChartSeries*> order;
        order.reserve(Records.size() * 4);
        for (const Record& r : Records)
            for (TChartSeries* s : {r.SeriesSet.t1Series, r.SeriesSet.t2Series, r.SeriesSet.MeasureSeries,
                                   r.SeriesSet.MeasuredSeries})
                if (s != nullptr)
                    order.push_back(s);
        FChart->SetSeriesOrder(order);
    }
    // The project's file, separator and saved state only where the command itself changed them
    // (a save since then stays).
    if (target.Title != other.Title)
        SetTitle(target.Title);
    if (target.Separator != other.Separator)
        FormatSettings.DecimalSeparator = target.Separator;
    if (target.Saved != other.Saved)
        FSaved = target.Saved;
    for (int i : sweep)
        SweepCurves(i);
    Restore(target);
    FShown = target.Shown;
    if (FShown >= 0 && FShown < static_cast<int>(Records.size())) {
        if (OnShowRecord)
            OnShowRecord(FShown);
        if (OnSwept)
            OnSwept(FShown);
    }
}

void TProjectDocument::Undo()
{
    Take(FUndo, FRedo, false);
}

void TProjectDocument::Redo()
{
    Take(FRedo, FUndo, true);
}

void TProjectDocument::Take(std::vector<std::unique_ptr<TStep>>& From, std::vector<std::unique_ptr<TStep>>& To,
                            bool Forward)
{
    if (From.empty())
        return;
    std::unique_ptr<TStep> step = std::move(From.back());
    From.pop_back();
    KeepView(Forward ? step->Before : step->After);
    Replay(*step, Forward);
    To.push_back(std::move(step));
    Changed();
}

void TProjectDocument::ClearHistory()
{
    FUndo.clear();
    FRedo.clear();
    Changed();
}

UnicodeString TProjectDocument::UndoName() const
{
    return FUndo.empty() ? UnicodeString() : FUndo.back()->Name;
}

UnicodeString TProjectDocument::RedoName() const
{
    return FRedo.empty() ? UnicodeString() : FRedo.back()->Name;
}

size_t TProjectDocument::HistoryBytes() const
{
    size_t bytes = 0;
    for (const auto* steps : {&FUndo, &FRedo})
        for (const auto& s : *steps)
            bytes += s->Bytes();
    return bytes;
}

// ---------------------------------------------------------------------------------------------
// Commands

void TProjectDocument::Add()
{
    RecordStep("Add", [&] {
        const int n = static_cast<int>(Records.size());
        const int current = CurrentRow();
        Record created;
        if (current >= 0)
            created.AssignData(Records[static_cast<size_t>(current)]);
        InsertRecord(n, created, n == 0);
        FRows.Insert(n, "<>");
        FRows.SetCurrent(n);
        Sweep(n);
    });
}

void TProjectDocument::New()
{
    RecordStep("New", [&] {
        FRows.Clear();
        for (int i = static_cast<int>(Records.size()) - 1; i >= 0; --i)
            RemoveRecord(i);
        InsertRecord(0, Record(), true);
        FRows.Insert(0, "<>");
        FRows.SetCurrent(0);
        Sweep(0);
    });
}

UnicodeString TProjectDocument::ApplyRefusal() const
{
    const int c = CurrentRow();
    if (c < 0)
        return "Select a dependency.";
    if (FRows.GetSelCount() > 1)
        return "Cannot alter multiple dependecies!";
    if (!Records[static_cast<size_t>(c)].SeriesSet.IsVisible())
        return "Cannot alter hidden dependency!";
    return UnicodeString();
}

void TProjectDocument::Apply(const Record& Stored)
{
    const int c = CurrentRow();
    if (c < 0)
        return;
    // Into a copy first: a sweep that would be refused, or a fault in the derivation, leaves the
    // record and its curves as they were.
    Record changed = Stored;
    CheckSweepPoints(changed.Params.points);
    changed.Params.Derive();
    RecordStep("Apply", [&] {
        Record& r = Records[static_cast<size_t>(c)];
        FRecording->Changed.push_back({c, DataOf(r), DataOf(changed)});
        changed.SeriesSet = r.SeriesSet;
        r = changed;
        Sweep(c);
    });
}

void TProjectDocument::SetMeasurements(int Index, const Measurements& Data)
{
    Record& r = Records.at(static_cast<size_t>(Index));
    if (r.Measured == Data)
        return;
    RecordStep("Measurements", [&] {
        Record changed = DataOf(r);
        changed.Measured = Data;
        FRecording->Changed.push_back({Index, DataOf(r), changed});
        r.Measured = Data;
        // The measured points on the chart.
        SweepCurves(Index);
    });
}

void TProjectDocument::SetUncertainties(int Index, const Uncertainties& Data)
{
    Record& r = Records.at(static_cast<size_t>(Index));
    if (r.Uncertainty == Data)
        return;
    RecordStep("Uncertainties", [&] {
        Record changed = DataOf(r);
        changed.Uncertainty = Data;
        FRecording->Changed.push_back({Index, DataOf(r), changed});
        r.Uncertainty = Data;
    });
}

void TProjectDocument::Delete()
{
    RecordStep("Delete", [&] {
        std::vector<int> selected;
        for (int i = 0; i < FRows.GetCount(); ++i)
            if (FRows.GetSelected(i))
                selected.push_back(i);
        for (auto it = selected.rbegin(); it != selected.rend(); ++it)
            if (*it < static_cast<int>(Records.size()))
                RemoveRecord(*it);
        for (auto it = selected.rbegin(); it != selected.rend(); ++it)
            FRows.Delete(*it);
        for (size_t i = 0; i < Records.size(); ++i)
            Records[i].SeriesSet.SetColour(PaletteColor(static_cast<unsigned>(i), false));
        // The fields keep what they show unless it belongs to a dependency that is gone or that
        // is no longer the current one: then they show the current dependency, so that Apply
        // cannot write them onto another.
        const int c = CurrentRow();
        if (c >= 0 && c != FShown)
            Sweep(c);
    });
}

void TProjectDocument::HideShow()
{
    RecordStep("Hide / Show", [&] {
        const int rows = std::min(FRows.GetCount(), static_cast<int>(Records.size()));
        for (int i = 0; i < rows; ++i) {
            if (!FRows.GetSelected(i))
                continue;
            const SeriesSet& s = Records[static_cast<size_t>(i)].SeriesSet;
            s.SetVisible(!s.IsVisible());
        }
        FRows.Invalidate();
    });
}

void TProjectDocument::Load(const UnicodeString& FileName)
{
    // Read and checked before anything changes: a file that cannot be loaded is no step.
    ProjectContents loaded = ReadProjectFile(FileName);
    RecordStep("Load", [&] {
        FLoadReport = LoadReport(FileName, loaded, FormatSettings.DecimalSeparator);
        FormatSettings.DecimalSeparator = loaded.DecimalSeparator;
        FRows.Clear();
        for (int i = static_cast<int>(Records.size()) - 1; i >= 0; --i)
            RemoveRecord(i);
        for (size_t i = 0; i < loaded.Records.size(); ++i)
            InsertRecord(static_cast<int>(i), loaded.Records[i], i == 0);
        NoteSaved();
        // Every record has its row before any is swept. The reading has run every sweep already,
        // so none fails here.
        for (size_t i = 0; i < Records.size(); ++i)
            FRows.Insert(static_cast<int>(i), "<>");
        for (int i = 0; i < static_cast<int>(Records.size()); ++i)
            Sweep(i);
        SetTitle(FileName);
    });
}

bool TProjectDocument::LoadProject(const UnicodeString& FileName)
{
    // Read, derived and checked into a list of its own first: a file that cannot be loaded, or
    // whose sweeps would fault, changes nothing.
    ProjectContents loaded = ReadProjectFile(FileName);
    FLoadReport = LoadReport(FileName, loaded, FormatSettings.DecimalSeparator);
    FormatSettings.DecimalSeparator = loaded.DecimalSeparator;
    FRows.Clear();
    for (Record& r : Records)
        r.SeriesSet.Release();
    Records.clear();
    FShown = -1;
    for (size_t i = 0; i < loaded.Records.size(); ++i)
        InsertRecord(static_cast<int>(i), loaded.Records[i], i == 0);
    NoteSaved();
    ClearHistory();
    return true;
}

void TProjectDocument::Save(const UnicodeString& FileName)
{
    SaveProject(FileName);
    SetTitle(FileName);
}

bool TProjectDocument::SaveProject(const UnicodeString& FileName)
{
    WriteProjectFile(FileName, Records);
    NoteSaved();
    return true;
}

UnicodeString TProjectDocument::GetTitle() const
{
    if (FChart == nullptr || FChart->GetTitle()->GetText()->Count() == 0)
        return UnicodeString();
    return FChart->GetTitle()->GetText()->Get(0);
}

void TProjectDocument::SetTitle(const UnicodeString& Line)
{
    if (FChart != nullptr)
        SetChartTitleLine(FChart, Line);
}

// ---------------------------------------------------------------------------------------------
// Saved state

void TProjectDocument::NoteSaved()
{
    auto saved = std::make_shared<std::vector<Record>>();
    saved->reserve(Records.size());
    for (const Record& r : Records)
        saved->push_back(DataOf(r));
    FSaved = std::move(saved);
    Changed();
}

bool TProjectDocument::GetModified() const
{
    if (!FSaved)
        return false;
    // Only the default dependency of start-up or New: nothing to lose.
    if (Records.size() == 1 && SameStoredData(Records[0], Record()))
        return false;
    return !std::equal(Records.begin(), Records.end(), FSaved->begin(), FSaved->end(), SameStoredData);
}
