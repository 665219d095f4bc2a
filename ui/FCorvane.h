// The main window: the chart of every dependency, the dependency list with its commands, and
// the input grid that shows one dependency at a time.
#pragma once

#include "bevels/LabeledBevels.h"
#include "controls/NumEdit.h"
#include "model/DesignSpace.h"
#include "model/Record.h"
#include "platform/Chart.h"
#include "platform/Dialogs.h"
#include "platform/Menus.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "project/Document.h"

#include <array>
#include <vector>

class TFrmAnalysis;
class TFrmRunInputs;
class TFrmMeasurements;
class TFrmUncertainties;
class TFrmDesignSpace;
struct CurvesTextOptions;

class TFrmCorvane : public TForm {
public:
    using Record = DependencyRecord;

    explicit TFrmCorvane(TComponent* AOwner);
    // The records go first, then the controls; the chart destroys the series it still owns.
    ~TFrmCorvane() override;

    // --- The project: the dependencies with their curves, the file, the saved state and the undo
    // history. Its rows are LstDependencies' (ListRows).
    class TListRows : public TDependencyRows {
    public:
        explicit TListRows(TFrmCorvane& Form) : FForm(Form) {}
        int GetCount() const override;
        void Insert(int Index, const UnicodeString& Text) override;
        void Delete(int Index) override;
        void Clear() override;
        UnicodeString GetText(int Index) const override;
        void SetText(int Index, const UnicodeString& Text) override;
        bool GetSelected(int Index) const override;
        void SetSelected(int Index, bool Value) override;
        int GetSelCount() const override;
        int GetCurrent() const override;
        void SetCurrent(int Index) override;
        void Invalidate() override;

    private:
        TFrmCorvane& FForm;
        TListBox* List() const { return FForm.LstDependencies; }
    };
    TListRows ListRows;
    TProjectDocument Document;
    // Record i is row i of LstDependencies (the document's records).
    std::vector<Record>& Records;

    // --- Upper area: the chart left of a splitter, the list panel on the right.
    TPanel* PnlTop;
    TChart* ChrtDependencies;
    TFastLineSeries* SrrHoriz;
    TFastLineSeries* SrrVert;
    TSplitter* SplVertical;
    TPanel* PnlList;
    TListBox* LstDependencies;
    TButton* BtnNew;
    TButton* BtnLoad;
    TButton* BtnSave;
    // "Anal&ysis...": the separation analysis of the current dependency, in a window of its own.
    TButton* BtnAnalysis;
    TFrmAnalysis* FrmAnalysis = nullptr;
    // The hidden run and diffusion fields in a window of their own, opened from the analysis.
    TFrmRunInputs* FrmRunInputs = nullptr;
    // "Measure&ments...": the measured data of the current dependency and its fit.
    TButton* BtnMeasurements;
    TFrmMeasurements* FrmMeasurements = nullptr;
    // The uncertainties of the current dependency, opened from the analysis window.
    TFrmUncertainties* FrmUncertainties = nullptr;
    // The design-space map of the analysis window's dependency, opened from that window.
    TFrmDesignSpace* FrmDesignSpace = nullptr;
    TButton* BtnHide;
    TButton* BtnDelete;
    TSplitter* SplHorizontal;

    // --- Bottom panel: the input grid.
    TPanel* PnlBottom;
    TButton* BtnApply;
    TButton* BtnAdd;
    TEdit* EdtName;
    TEdit* EdtAnalyte1;
    TEdit* EdtAnalyte2;
    TEdit* EdtSelector;
    TLabeledBevels* LblU0;
    TLabeledBevels* LblUCS;
    TLabeledBevels* LblK;
    TLabeledBevels* LblZ;
    TLabeledBevels* LblD0;
    TLabeledBevels* LblDCS;
    TLabeledBevels* LblMinC;
    TLabeledBevels* LblMaxC;
    TLabeledBevels* LblCapillary;
    TLabeledBevels* LblDetector;
    TLabeledBevels* LblVoltage;
    TLabeledBevels* LblTemperature;
    TLabeledBevels* LblEOF;
    TLabeledBevels* LblEOFSlope;
    TLabeledBevels* LblPoints;
    TLabeledBevels* LblRadius;
    TLabeledBevels* LblPressure;
    TLabeledBevels* LblGraph;
    TNumEdit* NumU01;
    TNumEdit* NumU02;
    TNumEdit* NumU1;
    TNumEdit* NumU2;
    TNumEdit* NumK1;
    TNumEdit* NumK2;
    TNumEdit* NumZ01;
    TNumEdit* NumZ02;
    TNumEdit* NumZCS;
    TNumEdit* NumD01;
    TNumEdit* NumD02;
    TNumEdit* NumD1;
    TNumEdit* NumD2;
    TNumEdit* NumCapillary;
    TNumEdit* NumDetector;
    TNumEdit* NumVoltage;
    TNumEdit* NumTemperature;
    TNumEdit* NumEOF;
    TNumEdit* NumEOFSlope;
    TNumEdit* NumPressure;
    TNumEdit* NumRadius;
    TNumEdit* NumMinC;
    TNumEdit* NumMaxC;
    TNumEdit* NumPoints;
    TComboBox* CbxGraph;
    // The borderless panel over the charge and diffusion rows.
    TPanel* PnlpH;
    TButton* BtnpH;
    TLabeledBevels* LblpH;
    TNumEdit* NumpH;

    TSaveDialog* SaveDialog1;
    TOpenDialog* OpenDialog1;

    // --- Getting results out: the chart's context menu ("Copy chart" also on Ctrl+C while the
    // pointer is over the chart) and its two file dialogs.
    TPopupMenu* PopChart;
    TMenuItem* MniCopyChart;
    TMenuItem* MniCopyData;
    TMenuItem* MniSaveChart;
    TMenuItem* MniExportCurves;
    // PNG at the chart's size, twice or three times it, SVG or PDF, by the chosen filter (or by
    // the extension typed).
    TSaveDialog* SaveChartDialog;
    // The curves as shown, or with all point values, by the chosen filter.
    TSaveDialog* ExportCurvesDialog;
    void MniCopyChartClick(TObject* Sender);
    void MniCopyDataClick(TObject* Sender);
    void MniSaveChartClick(TObject* Sender);
    void MniExportCurvesClick(TObject* Sender);
    // The text form of the curves for the current graph choice, the program's decimal separator
    // and the analysis window's peak settings.
    CurvesTextOptions CurvesOptions() const;
    // Writes the chart as the file's extension or the chosen filter asks.
    void SaveChart(const UnicodeString& FileName, int FilterIndex);

    // --- The central operation: shows record Index in the window, sweeps its curves, retitles
    // the right axis and the measure series, clears the mark of unapplied edits.
    void Sweep(int Index);
    // The two transfers between the window and a record.
    void ShowRecord(int Index);
    void StoreWindow(Record& Target);

    // A project to open at start-up, after the start-up Add, as the Load command would (the
    // program's command line; a file that cannot be loaded shows its error and leaves the
    // default dependency).
    UnicodeString StartupFile;

    // --- Project files.
    // Writes every record into FileName (one atomic write); a failure raises "Unable to write
    // to %s" and leaves the old file as it was.
    bool SaveProject(const UnicodeString& FileName);
    // Replaces the list by the file's contents and takes over its decimal separator; the rows
    // stay empty and no curve is computed (the Load command does that). A file that cannot be
    // loaded raises, and the list, the window and the separator stay as they were.
    bool LoadProject(const UnicodeString& FileName);
    // The Save command: the save dialog, SaveProject, the proposals and the chart title; true
    // when the project was saved.
    bool SaveCommand();
    // The Load command: the question on unsaved changes, the open dialog, then LoadFile.
    void LoadCommand();
    // What the Load command does with the chosen path: LoadProject, every row added and swept,
    // the save dialog's proposal and the chart title, then the load report when there is one.
    // A file that cannot be loaded raises, and nothing changes.
    void LoadFile(const UnicodeString& Path);
    // True while the list differs from what was last saved or loaded (before that, from the
    // start-up dependency), unless it is only the default dependency of start-up or New.
    bool ProjectChanged() const;
    // Asks "Save changes to the project?" (Yes, No, Cancel) while ProjectChanged(): Yes saves
    // through the Save command. True when the caller may go on (No, or a save that was done);
    // false for Cancel and a cancelled save. A failed save raises.
    bool QuerySaveChanges();

    // --- Handlers.
    void FormShow(TObject* Sender);
    // Closing with unsaved changes asks "Save changes to the project?" (Yes, No, Cancel).
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void BtnNewClick(TObject* Sender);
    void BtnLoadClick(TObject* Sender);
    void BtnSaveClick(TObject* Sender);
    void BtnHideClick(TObject* Sender);
    void BtnDeleteClick(TObject* Sender);
    void BtnApplyClick(TObject* Sender);
    void BtnAddClick(TObject* Sender);
    void BtnpHClick(TObject* Sender);
    void BtnAnalysisClick(TObject* Sender);
    void AnalysisInputsClick(TObject* Sender);
    void AnalysisDesignSpaceClick(TObject* Sender);
    void AnalysisAnalysed(TObject* Sender);
    // A click on the map: the concentration in the analysis window, the condition into its field.
    void DesignSpaceChoose(double C, TMapCondition Condition, double Y);
    void BtnMeasurementsClick(TObject* Sender);
    void AnalysisUncertaintiesClick(TObject* Sender);
    void BuildChartMenu();
    void LstDependenciesClick(TObject* Sender);
    void LstDependenciesDblClick(TObject* Sender);
    void LstDependenciesDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    void ChrtDependenciesMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ChrtDependenciesDblClick(TObject* Sender);
    void CbxGraphChange(TObject* Sender);
    // The mark of unapplied edits: the caption of "A&pply" turns red.
    void EdtAccepted(TObject* Sender);
    // Range rules of the numeric fields.
    void NumPositiveAccept(TObject* Sender, TCaption NewText, bool& Accept);
    void NumNonNegativeCAccept(TObject* Sender, TCaption NewText, bool& Accept);
    void NumTemperatureAccept(TObject* Sender, TCaption NewText, bool& Accept);
    void NumIntAccept(TObject* Sender, TCaption NewText, bool& Accept);
    void NumPointsAccept(TObject* Sender, TCaption NewText, bool& Accept);
    // Locks of the diffusion-coefficient fields from charges and mobilities.
    void NumUZ01Accepted(TObject* Sender);
    void NumUZ02Accepted(TObject* Sender);
    void NumUZCSAccepted(TObject* Sender);

    // The current row (the list's caret) when it holds a dependency, or -1.
    int CurrentRow() const;

    // --- Undo and redo of the list commands: Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z (unless the focus
    // is in a field holding edits not yet accepted), and the list's and the chart's menus.
    TPopupMenu* PopList;
    TMenuItem* MniListUndo;
    TMenuItem* MniListRedo;
    TMenuItem* MniUndo;
    TMenuItem* MniRedo;
    void MniUndoClick(TObject* Sender);
    void MniRedoClick(TObject* Sender);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void BuildUndoMenus();

private:
    // The four texts of the record last shown, as stored and as the edits show them (an edit
    // holds at most MaxEditLength characters), so that storing the window keeps a text the user
    // did not edit whole.
    bool FShownKnown = false;
    std::array<AnsiString, 4> FShownStored;
    std::array<UnicodeString, 4> FShownTexts;
    std::array<TEdit*, 4> NameEdits() const { return {EdtName, EdtAnalyte1, EdtAnalyte2, EdtSelector}; }
    // The end of a sweep: the mark of unapplied edits goes, the analysis follows.
    void DocumentSwept(int Index);
    // The menus' undo and redo items name the commands.
    void HistoryChanged();
    // Whether the focused control holds text edits not yet accepted (the keys edit the text).
    bool EditingText() const;
    void BuildUpperArea();
    void BuildBottomPanel();
    TLabeledBevels* NewCaption(const char* Name, const char* Text, int Left, int Top, bool Visible = true);
    TEdit* NewEdit(const char* Name, int Left, int Top);
    void LockFreeDiffusion(TNumEdit* Free, TNumEdit* Charge, TNumEdit* Mobility);
    void LockComplexDiffusion(TNumEdit* Complex, TNumEdit* Charge, TNumEdit* Mobility);
};

extern TFrmCorvane* FrmCorvane;
