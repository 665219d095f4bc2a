#include "ui/FCorvane.h"

#include "model/Sweep.h"
#include "project/DependencyChart.h"
#include "project/DesignMapChart.h"
#include "ui/FAnalysis.h"
#include "ui/FAnalysisInputs.h"
#include "ui/FUncertainties.h"
#include "ui/FDesignSpace.h"
#include "ui/FMeasurements.h"
#include "ui/FormLook.h"
#include "ui/FpHSetup.h"
#include "ui/InputFields.h"

#include <algorithm>

TFrmCorvane* FrmCorvane = nullptr;

namespace {

using namespace InputGrid;
constexpr int Row0 = Row[0];
constexpr int Row4 = Row[4];
constexpr int Row7 = Row[7];

void ShowError(const UnicodeString& Text)
{
    MessageDlg(Text, mtError, TMsgDlgButtons{mbOK}, 0);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction

TFrmCorvane::TFrmCorvane(TComponent* AOwner)
    : TForm(AOwner), ListRows(*this), Document(nullptr, ListRows), Records(Document.Records)
{
    if (FrmCorvane == nullptr)
        FrmCorvane = this;
    SetName("FrmCorvane");
    SetCaption("Corvane");
    SetClientWidth(1156);
    SetClientHeight(679);
    // The least size at which nothing overlaps: the grid of fields whole (the graph box ends at
    // 1145, with the grid's margin of 8), the list's lower buttons below Analysis and
    // Measurements.
    Constraints->SetMinWidth(1153);
    Constraints->SetMinHeight(581);
    SetWindowFont(this);
    SetColor(clBtnFace);

    BuildBottomPanel();
    BuildUpperArea();

    SaveDialog1 = NewSaveDialog(this, "SaveDialog1", "ini files|*.ini", "ini");
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->SetName("OpenDialog1");
    OpenDialog1->SetFilter("ini files|*.ini");
    OpenDialog1->SetOptions(TOpenOptions{ofHideReadOnly, ofPathMustExist, ofFileMustExist,
                                         ofEnableSizing});

    BuildChartMenu();
    BuildUndoMenus();

    Document.SetChart(ChrtDependencies);
    Document.OnShowRecord = [this](int Index) { ShowRecord(Index); };
    Document.OnSwept = [this](int Index) { DocumentSwept(Index); };
    Document.OnChanged = [this] { HistoryChanged(); };
    Document.GraphChoiceOf = [this] { return CbxGraph->GetItemIndex(); };
    HistoryChanged();

    SetKeyPreview(true);
    OnKeyDown = Bind(this, &TFrmCorvane::FormKeyDown);
    OnShow = Bind(this, &TFrmCorvane::FormShow);
    OnCloseQuery = Bind(this, &TFrmCorvane::FormCloseQuery);
}

TFrmCorvane::~TFrmCorvane()
{
    // The records only refer to their series; the chart, destroyed with the controls, frees them.
    Records.clear();
    if (FrmCorvane == this)
        FrmCorvane = nullptr;
}

void TFrmCorvane::BuildUpperArea()
{
    SplHorizontal = new TSplitter(this);
    SplHorizontal->SetName("SplHorizontal");
    SplHorizontal->SetBounds(0, 437, 1156, 3);
    SplHorizontal->SetAlign(alBottom);
    SplHorizontal->SetParent(this);

    PnlTop = new TPanel(this);
    PnlTop->SetName("PnlTop");
    PnlTop->SetBevelOuter(bvNone);
    PnlTop->SetCaption("");
    PnlTop->SetColor(clWindow);
    PnlTop->SetAlign(alClient);
    PnlTop->SetParent(this);

    PnlList = new TPanel(this);
    PnlList->SetName("PnlList");
    PnlList->SetBevelOuter(bvNone);
    PnlList->SetCaption("");
    PnlList->SetColor(clWindow);
    PnlList->SetBounds(849, 0, 307, 437);
    PnlList->SetAlign(alRight);
    PnlList->SetParent(PnlTop);

    SplVertical = new TSplitter(this);
    SplVertical->SetName("SplVertical");
    SplVertical->SetBounds(846, 0, 3, 437);
    SplVertical->SetAlign(alRight);
    SplVertical->SetParent(PnlTop);

    ChrtDependencies = new TChart(this);
    ChrtDependencies->SetName("ChrtDependencies");
    ChrtDependencies->SetAlign(alClient);
    ChrtDependencies->SetParent(PnlTop);
    DressDependencyChart(ChrtDependencies);
    SrrHoriz = NewCrossHairSeries(ChrtDependencies);
    SrrHoriz->SetName("SrrHoriz");
    SrrVert = NewCrossHairSeries(ChrtDependencies);
    SrrVert->SetName("SrrVert");
    ChrtDependencies->OnMouseMove = Bind(this, &TFrmCorvane::ChrtDependenciesMouseMove);
    ChrtDependencies->OnDblClick = Bind(this, &TFrmCorvane::ChrtDependenciesDblClick);

    LstDependencies = new TListBox(this);
    LstDependencies->SetName("LstDependencies");
    LstDependencies->SetParent(PnlList);
    LstDependencies->SetBounds(0, 0, 209, 437);
    LstDependencies->SetAlign(alLeft);
    LstDependencies->SetStyle(lbOwnerDrawFixed);
    LstDependencies->SetItemHeight(13);
    LstDependencies->SetMultiSelect(true);
    LstDependencies->SetExtendedSelect(true);
    LstDependencies->SetTabStop(true);
    LstDependencies->OnClick = Bind(this, &TFrmCorvane::LstDependenciesClick);
    LstDependencies->OnDblClick = Bind(this, &TFrmCorvane::LstDependenciesDblClick);
    LstDependencies->OnDrawItem = Bind(this, &TFrmCorvane::LstDependenciesDrawItem);

    BtnNew = NewButton(this, PnlList, "BtnNew", "&New", 215, 8, 84, 41);
    BtnLoad = NewButton(this, PnlList, "BtnLoad", "&Load", 215, 55, 84, 41);
    BtnSave = NewButton(this, PnlList, "BtnSave", "&Save", 215, 102, 84, 41);
    BtnAnalysis = NewButton(this, PnlList, "BtnAnalysis", "Anal&ysis...", 215, 149, 84, 41);
    BtnAnalysis->OnClick = Bind(this, &TFrmCorvane::BtnAnalysisClick);
    BtnMeasurements = NewButton(this, PnlList, "BtnMeasurements", "Measure&ments...", 215, 196, 84, 41);
    BtnMeasurements->OnClick = Bind(this, &TFrmCorvane::BtnMeasurementsClick);
    BtnHide = NewButton(this, PnlList, "BtnHide", "&Hide / Show", 215, 341, 84, 41);
    BtnDelete = NewButton(this, PnlList, "BtnDelete", "&Delete", 215, 388, 84, 41);
    BtnHide->SetAnchors(TAnchors{akLeft, akBottom});
    BtnDelete->SetAnchors(TAnchors{akLeft, akBottom});
    BtnNew->OnClick = Bind(this, &TFrmCorvane::BtnNewClick);
    BtnLoad->OnClick = Bind(this, &TFrmCorvane::BtnLoadClick);
    BtnSave->OnClick = Bind(this, &TFrmCorvane::BtnSaveClick);
    BtnHide->OnClick = Bind(this, &TFrmCorvane::BtnHideClick);
    BtnDelete->OnClick = Bind(this, &TFrmCorvane::BtnDeleteClick);
}

TLabeledBevels* TFrmCorvane::NewCaption(const char* Name, const char* Text, int Left, int Top, bool Visible)
{
    TLabeledBevels* c = NewFieldCaption(this, PnlBottom, Text, Left, Top);
    c->SetName(Name);
    c->SetVisible(Visible);
    return c;
}

TEdit* TFrmCorvane::NewEdit(const char* Name, int Left, int Top)
{
    auto* e = new TEdit(this);
    e->SetName(Name);
    e->SetParent(PnlBottom);
    e->SetBounds(Left, Top, FieldWidth, FieldHeight);
    e->SetTabStop(true);
    return e;
}

void TFrmCorvane::BuildBottomPanel()
{
    PnlBottom = new TPanel(this);
    PnlBottom->SetName("PnlBottom");
    PnlBottom->SetBevelOuter(bvNone);
    PnlBottom->SetCaption("");
    PnlBottom->SetColor(clWindow);
    PnlBottom->SetBounds(0, 440, 1156, 239);
    PnlBottom->SetAlign(alBottom);
    PnlBottom->SetParent(this);

    // Row 1: the names; then the numeric fields of the grid (MainFields).
    EdtName = NewEdit("EdtName", CaptionX, Row0);
    EdtAnalyte1 = NewEdit("EdtAnalyte1", Field1X, Row0);
    EdtAnalyte2 = NewEdit("EdtAnalyte2", Field2X, Row0);
    EdtSelector = NewEdit("EdtSelector", Field3X, Row0);
    auto createField = [&](const TMainFieldRow& f, TWinControl* Parent) {
        if (f.Caption.Member != nullptr) {
            TLabeledBevels* c = NewFieldCaption(this, Parent, f.Caption.Text, f.Caption.Left, f.Top);
            c->SetName(f.Caption.Name);
            c->SetVisible(f.Visible);
            this->*f.Caption.Member = c;
        }
        TNumEdit* field = NewNumericField(this, Parent, f.Left, f.Top);
        field->SetName(f.Name);
        field->SetVisible(f.Visible);
        this->*f.Member = field;
    };
    for (const TMainFieldRow& f : MainFields)
        if (f.Panel == fpGrid)
            createField(f, PnlBottom);
    LblGraph = NewCaption("LblGraph", "Show graph", Caption3X, Row7);
    CbxGraph = new TComboBox(this);
    CbxGraph->SetName("CbxGraph");
    CbxGraph->SetParent(PnlBottom);
    CbxGraph->SetStyle(csDropDownList);
    CbxGraph->SetBounds(Field5X, Row7, 226, FieldHeight);
    CbxGraph->SetTabStop(true);
    for (int i = 0; i < GraphChoiceCount; ++i)
        CbxGraph->Items->Add(GraphText(i));
    CbxGraph->SetItemIndex(0);
    CbxGraph->OnChange = Bind(this, &TFrmCorvane::CbxGraphChange);

    // The borderless panel with the pH button and, for dependencies that use the pH model, the pH.
    PnlpH = new TPanel(this);
    PnlpH->SetName("PnlpH");
    PnlpH->SetBevelOuter(bvNone);
    PnlpH->SetCaption("");
    PnlpH->SetParentColor(true);
    PnlpH->SetBounds(CaptionX, Row4, 502, 79);
    PnlpH->SetParent(PnlBottom);
    BtnpH = NewButton(this, PnlpH, "BtnpH", "pH effects...", 0, 0, FieldWidth, 41);
    BtnpH->OnClick = Bind(this, &TFrmCorvane::BtnpHClick);
    for (const TMainFieldRow& f : MainFields)
        if (f.Panel == fppH)
            createField(f, PnlpH);

    BtnApply = NewButton(this, PnlBottom, "BtnApply", "A&pply", 1064, Row0, 84, 41);
    BtnAdd = NewButton(this, PnlBottom, "BtnAdd", "&Add", 1064, Row0 + 47, 84, 41);
    BtnApply->SetAnchors(TAnchors{akTop, akRight});
    BtnAdd->SetAnchors(TAnchors{akTop, akRight});
    BtnApply->OnClick = Bind(this, &TFrmCorvane::BtnApplyClick);
    BtnAdd->OnClick = Bind(this, &TFrmCorvane::BtnAddClick);

    // The fields' contents when the window is created (they stay where a shown value is
    // refused), then their rules and reactions.
    for (const TMainFieldRow& f : MainFields) {
        (this->*f.Member)->SetValue(f.Initial);
        (this->*f.Member)->SetReadOnly(f.ReadOnly);
    }
    for (const TMainFieldRow& f : MainFields) {
        if (f.Rule != nullptr)
            (this->*f.Member)->OnAccept = Bind(this, f.Rule);
        (this->*f.Member)->OnAccepted = Bind(this, f.Reaction);
    }
    const auto accepted = Bind(this, &TFrmCorvane::EdtAccepted);
    for (TEdit* e : {EdtName, EdtAnalyte1, EdtAnalyte2, EdtSelector})
        e->OnChange = accepted;
}

void TFrmCorvane::Sweep(int Index)
{
    Document.Sweep(Index);
}

void TFrmCorvane::DocumentSwept(int Index)
{
    BtnApply->Font->SetColor(clWindowText);
    if (FrmAnalysis != nullptr && FrmAnalysis->GetVisible() && Index == CurrentRow())
        FrmAnalysis->ShowFor(&Records[static_cast<size_t>(Index)]);
    if (FrmMeasurements != nullptr && FrmMeasurements->GetVisible() && Index == CurrentRow())
        FrmMeasurements->ShowFor(Index);
    if (FrmUncertainties != nullptr && FrmUncertainties->GetVisible() && Index == CurrentRow())
        FrmUncertainties->ShowFor(Index);
}

// ---------------------------------------------------------------------------------------------
// List commands

int TFrmCorvane::CurrentRow() const
{
    return Document.CurrentRow();
}

void TFrmCorvane::FormShow(TObject*)
{
    BtnAdd->Click();
    // The start-up dependency is where the project begins: nothing to undo, nothing unsaved.
    Document.ClearHistory();
    if (!Document.GetSavedKnown())
        Document.NoteSaved();
    if (!StartupFile.empty()) {
        const UnicodeString file = StartupFile;
        StartupFile.clear();
        try {
            LoadFile(file);
        } catch (...) {
            Application->HandleException(this);
        }
    }
}

void TFrmCorvane::BtnAddClick(TObject*)
{
    Document.Add();
}

void TFrmCorvane::BtnNewClick(TObject*)
{
    if (QuerySaveChanges())
        Document.New();
}

void TFrmCorvane::BtnApplyClick(TObject*)
{
    const UnicodeString refusal = Document.ApplyRefusal();
    if (!refusal.empty()) {
        ShowError(refusal);
        return;
    }
    // The window goes into a copy; the document takes it all or nothing.
    Record changed = Records[static_cast<size_t>(CurrentRow())];
    StoreWindow(changed);
    Document.Apply(changed);
}

void TFrmCorvane::BtnDeleteClick(TObject*)
{
    if (MessageDlg("Delete selected dependencies?", mtConfirmation, mbYesNo, 0) == mrYes)
        Document.Delete();
}

void TFrmCorvane::BtnHideClick(TObject*)
{
    Document.HideShow();
}

void TFrmCorvane::LstDependenciesClick(TObject*)
{
    const int c = CurrentRow();
    BtnApply->SetEnabled(c >= 0);
    if (c < 0)
        return;
    Document.Sweep(c);
    Document.ColourBySelection();
}

void TFrmCorvane::LstDependenciesDblClick(TObject*)
{
    const int c = CurrentRow();
    if (c < 0)
        return;
    const SeriesSet& s = Records[static_cast<size_t>(c)].SeriesSet;
    if (!s.t1Series || !s.t2Series || !s.MeasureSeries)
        return;
    ChrtDependencies->GetBottomAxis()->SetMinMax(s.t1Series->MinXValue(), s.t1Series->MaxXValue());
    ChrtDependencies->GetLeftAxis()->SetMinMax(std::min(s.t1Series->MinYValue(), s.t2Series->MinYValue()),
                                               std::max(s.t1Series->MaxYValue(), s.t2Series->MaxYValue()));
    ChrtDependencies->GetRightAxis()->SetMinMax(s.MeasureSeries->MinYValue(), s.MeasureSeries->MaxYValue());
}

void TFrmCorvane::LstDependenciesDrawItem(TWinControl*, int Index, TRect Rect, TOwnerDrawState)
{
    TCanvas* canvas = LstDependencies->Canvas;
    canvas->FillRect(Rect);
    const bool shown = Index < static_cast<int>(Records.size())
        && Records[static_cast<size_t>(Index)].SeriesSet.IsVisible();
    canvas->GetFont()->SetColor(shown ? clWindowText : RGB(192, 192, 192));
    canvas->TextOut(Rect.Left + 2, Rect.Top, LstDependencies->Items->Get(Index));
}

void TFrmCorvane::EdtAccepted(TObject*)
{
    BtnApply->Font->SetColor(clRed);
}

void TFrmCorvane::BtnAnalysisClick(TObject*)
{
    if (FrmAnalysis == nullptr) {
        FrmAnalysis = new TFrmAnalysis(this);
        FrmAnalysis->OnInputs = Bind(this, &TFrmCorvane::AnalysisInputsClick);
        FrmAnalysis->OnUncertainties = Bind(this, &TFrmCorvane::AnalysisUncertaintiesClick);
        FrmAnalysis->SetPopupParent(this);
        FrmAnalysis->OnDesignSpace = Bind(this, &TFrmCorvane::AnalysisDesignSpaceClick);
        FrmAnalysis->OnAnalysed = Bind(this, &TFrmCorvane::AnalysisAnalysed);
        // Beside the main window, not over its chart.
        FrmAnalysis->SetBounds(GetLeft() + GetWidth() + 8, GetTop(), FrmAnalysis->GetWidth(), FrmAnalysis->GetHeight());
    }
    const int c = CurrentRow();
    FrmAnalysis->ShowFor(c >= 0 ? &Records[static_cast<size_t>(c)] : nullptr);
    FrmAnalysis->Show();
}

void TFrmCorvane::AnalysisDesignSpaceClick(TObject*)
{
    if (FrmDesignSpace == nullptr) {
        FrmDesignSpace = new TFrmDesignSpace(this);
        FrmDesignSpace->SetPopupParent(this);
        FrmDesignSpace->OnChoose = [this](double C, TMapCondition Condition, double Y) {
            DesignSpaceChoose(C, Condition, Y);
        };
        // Beside the main window, a little lower than the analysis window.
        FrmDesignSpace->SetBounds(GetLeft() + GetWidth() + 40, GetTop() + 40, FrmDesignSpace->GetWidth(),
                                  FrmDesignSpace->GetHeight());
    }
    FrmDesignSpace->Show();
    AnalysisAnalysed(FrmAnalysis);
}

void TFrmCorvane::AnalysisAnalysed(TObject*)
{
    if (FrmDesignSpace == nullptr || !FrmDesignSpace->GetVisible() || FrmAnalysis == nullptr)
        return;
    const auto& record = FrmAnalysis->GetRecord();
    FrmDesignSpace->ShowFor(record ? &*record : nullptr, CurrentRow(), FrmAnalysis->Options(), CbxGraph->GetItemIndex());
}

void TFrmCorvane::DesignSpaceChoose(double C, TMapCondition Condition, double Y)
{
    if (FrmAnalysis != nullptr)
        FrmAnalysis->ChooseConcentration(C);
    TNumEdit* field = Condition == TMapCondition::pH ? NumpH : Condition == TMapCondition::Voltage ? NumVoltage : NumDetector;
    // As if typed: the field is marked and Apply takes it.
    field->SetValue(Y * MapConditionShown(Condition));
}

void TFrmCorvane::AnalysisInputsClick(TObject*)
{
    if (FrmRunInputs == nullptr)
        FrmRunInputs = new TFrmRunInputs(this);
    // Opened from the analysis window: in front of it.
    FrmRunInputs->SetPopupParent(FrmAnalysis != nullptr ? static_cast<TForm*>(FrmAnalysis) : this);
    FrmRunInputs->Open();
}

void TFrmCorvane::AnalysisUncertaintiesClick(TObject*)
{
    if (FrmUncertainties == nullptr) {
        FrmUncertainties = new TFrmUncertainties(this);
        FrmUncertainties->SetPopupParent(FrmAnalysis != nullptr ? static_cast<TForm*>(FrmAnalysis) : this);
    }
    FrmUncertainties->ShowFor(CurrentRow());
    FrmUncertainties->Show();
}

void TFrmCorvane::BtnMeasurementsClick(TObject*)
{
    if (FrmMeasurements == nullptr) {
        FrmMeasurements = new TFrmMeasurements(this);
        FrmMeasurements->SetPopupParent(this);
    }
    FrmMeasurements->ShowFor(CurrentRow());
    FrmMeasurements->Show();
}

void TFrmCorvane::BtnpHClick(TObject* Sender)
{
    if (FrmpHSetup != nullptr)
        FrmpHSetup->ShowModal();
    EdtAccepted(Sender);
}

// ---------------------------------------------------------------------------------------------
// Project files

bool TFrmCorvane::ProjectChanged() const
{
    return Document.GetModified();
}

bool TFrmCorvane::QuerySaveChanges()
{
    if (!ProjectChanged())
        return true;
    switch (MessageDlg("Save changes to the project?", mtConfirmation, mbYesNoCancel, 0)) {
    case mrYes:
        return SaveCommand();
    case mrNo:
        return true;
    default:
        return false;
    }
}

bool TFrmCorvane::SaveProject(const UnicodeString& FileName)
{
    return Document.SaveProject(FileName);
}

bool TFrmCorvane::LoadProject(const UnicodeString& FileName)
{
    return Document.LoadProject(FileName);
}

bool TFrmCorvane::SaveCommand()
{
    if (!SaveDialog1->Execute())
        return false;
    const UnicodeString path = SaveDialog1->GetFileName();
    Document.Save(path);
    OpenDialog1->SetFileName(ExtractFileName(path));
    return true;
}

void TFrmCorvane::LoadCommand()
{
    if (!QuerySaveChanges())
        return;
    if (OpenDialog1->Execute())
        LoadFile(OpenDialog1->GetFileName());
}

void TFrmCorvane::LoadFile(const UnicodeString& Path)
{
    Document.Load(Path);
    SaveDialog1->SetFileName(ExtractFileName(Path));
    if (!Document.GetLoadReport().empty())
        MessageDlg(Document.GetLoadReport(), mtInformation, TMsgDlgButtons{mbOK}, 0);
}

void TFrmCorvane::BtnSaveClick(TObject*)
{
    SaveCommand();
}

void TFrmCorvane::BtnLoadClick(TObject*)
{
    LoadCommand();
}

void TFrmCorvane::FormCloseQuery(TObject*, bool& CanClose)
{
    try {
        CanClose = QuerySaveChanges();
    } catch (...) {
        CanClose = false;
        Application->HandleException(this);
    }
}

// ---------------------------------------------------------------------------------------------
// Chart interaction

void TFrmCorvane::ChrtDependenciesMouseMove(TObject*, TShiftState, int X, int Y)
{
    SrrHoriz->Clear();
    SrrVert->Clear();
    TChartAxis* bottom = ChrtDependencies->GetBottomAxis();
    TChartAxis* left = ChrtDependencies->GetLeftAxis();
    const double xv = bottom->CalcPosPoint(X);
    const double yv = left->CalcPosPoint(Y);
    const double bMin = bottom->GetMinimum(), bMax = bottom->GetMaximum();
    const double lMin = left->GetMinimum(), lMax = left->GetMaximum();
    if (yv > lMin && yv < lMax) {
        SrrHoriz->AddXY(bMin, yv, "", clTeeColor);
        SrrHoriz->AddXY(bMax, yv, "", clTeeColor);
    }
    if (xv > bMin && xv < bMax) {
        SrrVert->AddXY(xv, lMin, "", clTeeColor);
        SrrVert->AddXY(xv, lMax, "", clTeeColor);
    }
}

void TFrmCorvane::ChrtDependenciesDblClick(TObject*)
{
    SrrHoriz->SetActive(false);
    SrrVert->SetActive(false);
    ChrtDependencies->GetLeftAxis()->SetAutomatic(true);
    ChrtDependencies->GetBottomAxis()->SetAutomatic(true);
    ChrtDependencies->GetRightAxis()->SetAutomatic(true);
    ChrtDependencies->UndoZoom();
    SrrHoriz->SetActive(true);
    SrrVert->SetActive(true);
}

void TFrmCorvane::CbxGraphChange(TObject*)
{
    Document.SetGraphChoice(CbxGraph->GetItemIndex());
}
