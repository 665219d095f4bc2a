// The separation analysis window: resolution over the concentration range with the baseline
// line and the optima, the predicted electropherogram at a chosen concentration, the figures
// there and at the optimum, and the warnings. It shows a copy of the dependency it was given
// and follows the main window's current dependency.
#pragma once

#include "bevels/LabeledBevels.h"
#include "controls/NumEdit.h"
#include "model/Analysis.h"
#include "model/Record.h"
#include "model/Uncertainty.h"
#include "platform/Chart.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <optional>

class TFrmAnalysis : public TForm {
public:
    explicit TFrmAnalysis(TComponent* AOwner);

    TLabel* LblDependency;
    TChart* ChrtResolution;
    TFastLineSeries* SrrResolution;
    TFastLineSeries* SrrBaseline;
    TPointSeries* SrrWrenRowe;
    TPointSeries* SrrOptimum;
    TChart* ChrtElectropherogram;
    TFastLineSeries* SrrSignal;
    TLabel* LblFigures;
    TLabel* LblWarnings;
    TLabeledBevels* LblInjection;
    TNumEdit* NumInjection;
    TLabeledBevels* LblWindow;
    TNumEdit* NumWindow;
    TLabeledBevels* LblLongest;
    TOptionalNumEdit* NumLongest;  // minutes; blank (or 0) for no limit
    TLabeledBevels* LblComplexD;
    TOptionalNumEdit* NumComplexD1;  // 1e-9 m^2/s; blank (or 0) for none
    TOptionalNumEdit* NumComplexD2;
    TCheckBox* ChcbLog;  // grayed: the scale follows the range
    TButton* BtnInputs;
    TButton* BtnUncertainties;
    // With uncertainties: Rs at the 5 % and 95 % quantiles of the draws, and P(Rs >= 1.5) on
    // the right axis.
    TFastLineSeries* SrrBand05;
    TFastLineSeries* SrrBand95;
    TFastLineSeries* SrrPGood;
    TLabel* LblDiffusion;
    TFastLineSeries* SrrTooLong;
    TPointSeries* SrrChosen;
    TFastLineSeries* SrrPeak1;
    TFastLineSeries* SrrPeak2;
    TButton* BtnClose;
    TButton* BtnDesignSpace;
    // Asked to show the run and diffusion inputs of the dependency.
    TNotifyEvent OnInputs;
    // Asked to show the uncertainties of the dependency.
    TNotifyEvent OnUncertainties;
    // Asked to open the design-space map of the dependency.
    TNotifyEvent OnDesignSpace;
    // The window analysed its dependency again (another dependency, changed options).
    TNotifyEvent OnAnalysed;

    // Shows the analysis of a dependency (a copy is kept), or that there is none. The chosen
    // concentration becomes the numerical Rs optimum (else the middle of the range).
    void ShowFor(const DependencyRecord* Record);
    // Chooses the concentration of the electropherogram and of the figures.
    void ChooseConcentration(double C);
    // The dependency shown (a copy), if any.
    const std::optional<DependencyRecord>& GetRecord() const { return FRecord; }
    // The analysis shown, if any.
    const std::optional<SeparationAnalysis>& GetAnalysis() const { return FAnalysis; }
    double GetChosen() const { return FChosen; }
    // The injection plug, the detector window, the longest run, the complexes' D and the
    // concentration scale as entered.
    AnalysisOptions Options() const;

    void ChrtResolutionMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void NumLengthAccept(TObject* Sender, TCaption NewText, bool& Accept);
    void NumLengthAccepted(TObject* Sender);
    void ChcbLogClick(TObject* Sender);
    void BtnInputsClick(TObject* Sender);
    void BtnUncertaintiesClick(TObject* Sender);
    // The band of the dependency's uncertainties, if it has any.
    const std::optional<RsBand>& GetBand() const { return FBand; }
    void BtnDesignSpaceClick(TObject* Sender);
    void BtnCloseClick(TObject* Sender);

private:
    void Analyse();
    void ShowFigures();
    // The band of Rs and P(Rs >= 1.5) when the dependency has uncertainties.
    void ShowBand();

    // The position on the concentration axis of the resolution chart.
    double AxisX(double C) const;
    std::optional<DependencyRecord> FRecord;
    std::optional<SeparationAnalysis> FAnalysis;
    std::optional<RsBand> FBand;
    double FChosen = 0;
};

// The model's assumptions, the help text of the window's figures and charts.
extern const char* const AnalysisAssumptions;

// The text of a figure: the number in the given format, or "–" when it is undefined.
UnicodeString FigureText(const Figure& Value, TFloatFormat Format, int Precision, int Digits,
                         double Scale = 1);
