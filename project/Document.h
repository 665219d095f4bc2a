// The project as a document: the ordered dependencies with their curves on the dependency chart,
// the project's file (the chart's title line) and decimal separator, what was last saved or
// loaded, the commands that change the list, and their undo and redo. No window: the rows of the
// list, with their selection marks and the current row, are a view's (TDependencyRows), and what
// the fields of a window show follows the document's notifications.
#pragma once

#include "model/Record.h"
#include "platform/Chart.h"
#include "project/ProjectFile.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

// The rows of the dependency list as a view shows them: row i is record i. The main window's
// list box is one; TPlainRows is one without a window.
class TDependencyRows {
public:
    virtual ~TDependencyRows() = default;
    virtual int GetCount() const = 0;
    virtual void Insert(int Index, const UnicodeString& Text) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual UnicodeString GetText(int Index) const = 0;
    virtual void SetText(int Index, const UnicodeString& Text) = 0;
    virtual bool GetSelected(int Index) const = 0;
    virtual void SetSelected(int Index, bool Value) = 0;
    virtual int GetSelCount() const = 0;
    // The row of the caret (the current row), -1 for none.
    virtual int GetCurrent() const = 0;
    virtual void SetCurrent(int Index) = 0;
    // Draw the rows again (a dependency was hidden or shown).
    virtual void Invalidate() = 0;
};

// Rows in memory. A new first row becomes current; deleting the current row makes the next one
// current (the last when it was the last), as the list box does.
class TPlainRows : public TDependencyRows {
public:
    int GetCount() const override { return static_cast<int>(FRows.size()); }
    void Insert(int Index, const UnicodeString& Text) override;
    void Delete(int Index) override;
    void Clear() override;
    UnicodeString GetText(int Index) const override;
    void SetText(int Index, const UnicodeString& Text) override;
    bool GetSelected(int Index) const override;
    void SetSelected(int Index, bool Value) override;
    int GetSelCount() const override;
    int GetCurrent() const override { return FCurrent; }
    void SetCurrent(int Index) override;
    void Invalidate() override {}

private:
    struct TRow {
        UnicodeString Text;
        bool Selected = false;
    };
    std::vector<TRow> FRows;
    int FCurrent = -1;
};

class TProjectDocument {
public:
    using Record = DependencyRecord;

    // Curves go to Chart (its series are created and swept there; none without one); Rows is
    // the list's view.
    TProjectDocument(TChart* Chart, TDependencyRows& Rows);
    // The chart of the curves, when it comes after the document (while the list is empty).
    void SetChart(TChart* Chart) { FChart = Chart; }
    ~TProjectDocument();
    TProjectDocument(const TProjectDocument&) = delete;
    TProjectDocument& operator=(const TProjectDocument&) = delete;

    // Record i is row i. They refer to their series on the chart, which owns them.
    std::vector<Record> Records;

    // --- Notifications. ShowRecord: a window shows record Index in its fields (Sweep calls it
    // before it sweeps the curves). Swept: the end of Sweep (the mark of unapplied edits goes).
    // Changed: the list, the saved state or the undo history changed.
    std::function<void(int Index)> OnShowRecord;
    std::function<void(int Index)> OnSwept;
    std::function<void()> OnChanged;

    // --- The list
    // The current row when it holds a dependency, or -1.
    int CurrentRow() const;
    // The dependency the fields show (-1: none since the list was emptied or it was deleted).
    int GetShown() const { return FShown; }
    // The graph choice the measure curves follow: GraphChoiceOf's answer when one is given (the
    // window's combo box), else the last one set. Setting it sweeps every dependency again. A
    // view setting: it is not undone.
    std::function<int()> GraphChoiceOf;
    int GetGraphChoice() const { return GraphChoiceOf ? GraphChoiceOf() : FGraphChoice; }
    void SetGraphChoice(int Choice);
    // Shows record Index (OnShowRecord), sweeps its curves, titles the right axis and the measure
    // series with the graph choice, names its row, then OnSwept.
    void Sweep(int Index);
    // The colours after a selection change: the strong colour of i for a selected row, the
    // pale one otherwise; the selected rows' curves drawn above the others.
    void ColourBySelection();

    // --- Commands. Each that changes the list is one undo step.
    // Appends a copy of the current dependency's data (or the default record), with its series
    // and row, makes it current and sweeps it.
    void Add();
    // Every dependency removed, then Add.
    void New();
    // Why Apply cannot change the current dependency now ("Select a dependency.", "Cannot alter
    // multiple dependecies!", "Cannot alter hidden dependency!"), or an empty text.
    UnicodeString ApplyRefusal() const;
    // Stored (the window stored into a copy of the current record) becomes the current record:
    // refused before anything changes when its sweep would be (too many points) or its
    // derivation faults; then swept.
    void Apply(const Record& Stored);
    // The measurements of dependency Index (rows, viscosity slope, fit options) become Data; one
    // undo step "Measurements" when they differ. Its curves and fields stay.
    void SetMeasurements(int Index, const Measurements& Data);
    // The uncertainties of dependency Index become Data; one undo step "Uncertainties" when they
    // differ. Its curves and fields stay.
    void SetUncertainties(int Index, const Uncertainties& Data);
    // Removes the dependencies of the selected rows; the others take the pale colours of their
    // new positions. When the shown dependency went (or is no longer the current one), the
    // current one is swept and shown.
    void Delete();
    // Flips the shown or hidden state of every selected dependency.
    void HideShow();
    // LoadProject, then a row and a sweep for every dependency and the file as the chart's title.
    // Raises, changing nothing, when the file cannot be loaded.
    void Load(const UnicodeString& FileName);
    // SaveProject, then the file as the chart's title.
    void Save(const UnicodeString& FileName);

    // --- The project file
    // Replaces the list by the file's (ReadProjectFile: all or nothing) and takes over its
    // decimal separator; no rows, no curves (Load does that). Not an undo step: it forgets the
    // undo history.
    bool LoadProject(const UnicodeString& FileName);
    // Writes every record (WriteProjectFile) and notes the list as saved.
    bool SaveProject(const UnicodeString& FileName);
    // What the last LoadProject had to guess (LoadReport); empty when nothing.
    const UnicodeString& GetLoadReport() const { return FLoadReport; }
    // The first line of the chart's title: the project's file, or "[anonymous]".
    UnicodeString GetTitle() const;
    void SetTitle(const UnicodeString& Line);

    // --- Saved state
    // The list as it is now counts as saved.
    void NoteSaved();
    // Whether NoteSaved has run (before that the list is never modified).
    bool GetSavedKnown() const { return FSaved != nullptr; }
    // True while the list differs from what was last saved or loaded (once NoteSaved ran), unless
    // it is only the default dependency.
    bool GetModified() const;

    // --- Undo and redo
    bool CanUndo() const { return !FUndo.empty(); }
    bool CanRedo() const { return !FRedo.empty(); }
    // The command's name ("Apply", "Add", "Delete", "Hide / Show", "New", "Load"), or empty.
    UnicodeString UndoName() const;
    UnicodeString RedoName() const;
    // Undo brings back the records, rows with their selection marks and the current row, shown
    // and hidden states, colours, curves, the shown dependency, the chart's title and the decimal
    // separator as they were before the last command; Redo as they were after it.
    void Undo();
    void Redo();
    void ClearHistory();
    // The most steps kept, and the most bytes they hold together; older steps go first.
    static constexpr size_t MaxSteps = 100;
    static constexpr size_t MaxHistoryBytes = size_t(64) << 20;
    // The bytes the undo and redo steps hold.
    size_t HistoryBytes() const;

    struct TStep;

private:
    // The chart draws the curves of the selected rows above the others.
    void SelectedOnTop();
    struct TState;
    TChart* FChart;
    TDependencyRows& FRows;
    int FShown = -1;
    int FGraphChoice = 0;
    UnicodeString FLoadReport;
    std::shared_ptr<const std::vector<Record>> FSaved;   // the records (data only) last saved or loaded
    std::vector<std::unique_ptr<TStep>> FUndo, FRedo;
    TStep* FRecording = nullptr;

    void Changed();
    void SweepCurves(int Index);
    void InsertRecord(int Index, const Record& Data, bool Legend);
    void RemoveRecord(int Index);
    TState Capture() const;
    // The view as it is now (selection, colours, current and shown row) in State, which Undo and
    // Redo leave: an undo followed by its redo comes back to what the user had chosen since.
    void KeepView(TState& State) const;
    void Restore(const TState& State);
    template <class Body>
    void RecordStep(const char* Name, Body&& Work);
    void Replay(TStep& Step, bool Forward);
    // Undo (Forward false) or redo: the last step of From replayed and put on To.
    void Take(std::vector<std::unique_ptr<TStep>>& From, std::vector<std::unique_ptr<TStep>>& To, bool Forward);
};
