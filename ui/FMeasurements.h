// The measurements window: the measured rows of the main window's current dependency as a table
// (typed, pasted from a spreadsheet or read from a CSV file), the fit's options, its results, and
// a plot of the measured mobilities with the fitted isotherms and the residuals below. Every
// change of the rows or the options goes to the document as one undo step and is fitted at once;
// "Use fitted values" writes u0, uCS and K of both analytes into the main window's fields.
#pragma once

#include "bevels/LabeledBevels.h"
#include "controls/NumEdit.h"
#include "model/Fit.h"
#include "platform/Chart.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/ListCtrls.h"
#include "platform/StdCtrls.h"

#include <vector>

class TFrmCorvane;

class TFrmMeasurements : public TForm {
public:
    explicit TFrmMeasurements(TFrmCorvane* Main);

    TLabel* LblDependency;
    // One row per measured row: c, t1, t2, tEOF (min), u1, u2 (1E-9 m^2/(V s)); empty cells blank.
    TListBox* LstRows;
    // A row to add: the fields in the table's order, separated by tabs, semicolons or commas.
    TEdit* EdtRow;
    TButton* BtnAddRow;
    TButton* BtnDeleteRows;
    TButton* BtnPaste;
    TButton* BtnOpen;
    TOpenDialog* OpenDialog;
    TLabeledBevels* LblViscosity;
    TNumEdit* NumViscosity;
    // Held at the dependency's values: [analyte][u0, uCS, K].
    TCheckBox* ChkHold[2][FitParameterCount];
    TCheckBox* ChkShared;
    TCheckBox* ChkWeighted;
    TLabel* LblResults;
    TLabel* LblStatus;
    TChart* ChrtFit;
    TChart* ChrtResiduals;
    TButton* BtnUse;
    TButton* BtnClose;

    // Shows the measurements of the main window's dependency Index (-1: none) and fits them.
    void ShowFor(int Index);
    int GetIndex() const { return FIndex; }
    const std::vector<FitResult>& GetResults() const { return FResults; }
    // Rows read from text (ReadMeasuredText, the program's decimal separator) are appended.
    void AddRowsFromText(const UnicodeString& Text);
    // The rows of a CSV file are appended.
    void OpenFile(const UnicodeString& FileName);

    void BtnAddRowClick(TObject* Sender);
    void BtnDeleteRowsClick(TObject* Sender);
    void BtnPasteClick(TObject* Sender);
    void BtnOpenClick(TObject* Sender);
    void OptionClick(TObject* Sender);
    void NumViscosityAccepted(TObject* Sender);
    void BtnUseClick(TObject* Sender);
    void BtnCloseClick(TObject* Sender);
    void LstRowsDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);

private:
    TFrmCorvane* FMain;
    int FIndex = -1;
    Measurements FData;
    std::vector<FitResult> FResults;
    bool FShowing = false;

    // The options as the controls show them.
    void ReadOptions();
    // FData goes to the document (one undo step when it changed), then Refit.
    void Store();
    void Refit();
    void ShowTable();
    void ShowResults();
    void Plot();
};
