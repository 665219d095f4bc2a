// The design-space window: a map of the separation of the analysis window's dependency over the
// selector concentration and one run condition, computed away from the message loop, hovered
// for the values at the mouse, clicked to choose a concentration and a condition, and exported.
#pragma once

#include "controls/NumEdit.h"
#include "model/DesignSpace.h"
#include "model/Record.h"
#include "model/Uncertainty.h"
#include "platform/Chart.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ListCtrls.h"
#include "platform/StdCtrls.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TFrmDesignSpace : public TForm {
public:
    explicit TFrmDesignSpace(TComponent* AOwner);
    ~TFrmDesignSpace() override;

    TLabel* LblDependency;
    TLabel* LblCondition;
    TComboBox* CbxCondition;
    TLabel* LblRange;
    TNumEdit* NumFrom;
    TNumEdit* NumTo;
    TLabel* LblGrid;
    TNumEdit* NumNx;
    TNumEdit* NumNy;
    TLabel* LblValue;
    TComboBox* CbxValue;
    TChart* ChrtMap;
    TLabel* LblStatus;  // the values at the mouse, or the progress of a computation
    TLabel* LblInfo;    // the good region and the map's warnings
    TButton* BtnCancel;
    TButton* BtnExportCsv;
    TButton* BtnSavePicture;
    TButton* BtnClose;
    TSaveDialog* ExportMapDialog;
    TSaveDialog* SavePictureDialog;
    TTimer* TmrProgress;

    // Asked to choose concentration C (mM) in the analysis window and to write the condition's
    // value Y (record units) into the main window's field.
    std::function<void(double C, TMapCondition Condition, double Y)> OnChoose;

    // Maps Record (a copy is kept; nullptr: none) at list position Index under the analysis
    // options; GraphChoice names the measure of the value list. The condition and its range
    // stay while the dependency offers the condition and the range holds its value there. A
    // computation under way is cancelled and the new one starts.
    void ShowFor(const DependencyRecord* Record, int Index, const AnalysisOptions& Options, int GraphChoice);
    // The settings of the fields (the condition, its range and the grid) for the current record.
    DesignSpaceSettings Settings() const;
    // The complete map shown, if any, its region and its probabilities (when shown).
    const DesignMap* GetMap() const { return FMap ? &*FMap : nullptr; }
    const GoodRegion* GetRegion() const { return FMap ? &FRegion : nullptr; }
    // The value shown (TMapValue or MapProbability).
    int ShownValue() const;
    // A computation is under way.
    bool Computing() const { return FJob != nullptr; }
    // Stops a computation under way; the map before it stays cleared.
    void CancelComputation();
    // The text of the status line for the grid point nearest to chart pixel (X, Y), or "" off
    // the map.
    UnicodeString HoverText(int X, int Y) const;
    // Writes the grid as CSV, the picture in the format of FileName's extension or FilterIndex.
    void ExportCsv(const UnicodeString& FileName);
    void SavePicture(const UnicodeString& FileName, int FilterIndex);

    void CbxConditionChange(TObject* Sender);
    void CbxValueChange(TObject* Sender);
    void NumAccept(TObject* Sender, TCaption NewText, bool& Accept);
    void NumAccepted(TObject* Sender);
    void ChrtMapMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ChrtMapMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void BtnCancelClick(TObject* Sender);
    void BtnExportCsvClick(TObject* Sender);
    void BtnSavePictureClick(TObject* Sender);
    void BtnCloseClick(TObject* Sender);
    void TmrProgressTimer(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

private:
    struct TJob;
    // The conditions of the combo box, in its order.
    std::vector<TMapCondition> FConditions;
    std::vector<int> FValues;  // the values of CbxValue, in its order
    TMapCondition Condition() const;
    void FillConditions();
    void FillValues(int GraphChoice);
    void SetRangeFields(TMapCondition C);
    void Start();
    void Finish();
    void Redraw();
    // The grid point under chart pixel (X, Y).
    bool PointAt(int X, int Y, int& I, int& J) const;

    std::optional<DependencyRecord> FRecord;
    int FIndex = 0;
    AnalysisOptions FOptions;
    std::optional<DesignMap> FMap;
    GoodRegion FRegion;
    std::optional<ProbabilityMap> FProbability;
    std::unique_ptr<TJob> FJob;
    // Fields written by the window itself start nothing.
    int FUpdating = 0;
};
