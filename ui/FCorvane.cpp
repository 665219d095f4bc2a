#include "ui/FCorvane.h"

#include "model/Sweep.h"
#include "project/Palette.h"
#include "project/ProjectFile.h"
#include "ui/AcceptRules.h"
#include "ui/DependencyChart.h"
#include "ui/FAnalysis.h"
#include "ui/FormLook.h"
#include "ui/FpHSetup.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

TFrmCorvane* FrmCorvane = nullptr;

namespace {

// Columns and rows of the input grid.
constexpr int CaptionX = 8;
constexpr int Field1X = 135;
constexpr int Field2X = 262;
constexpr int Field3X = 389;
constexpr int Caption2X = 528;
constexpr int Field4X = 655;
constexpr int Caption3X = 792;
constexpr int Field5X = 919;
constexpr int Row[8] = {6, 33, 60, 87, 114, 141, 168, 205};

// A numeric field of the main window bound to a record value: stored = shown * ToStored,
// shown = stored * ToShown.
struct TBinding {
    TNumEdit* Field;
    double& Value;
    double ToStored;
    double ToShown;
};

// A field of the pH dialog: stored = shown * Scale, shown = stored / Scale.
struct TpHBinding {
    TNumEdit* Field;
    double& Value;
    double Scale;
};

// The numeric fields of the main window and their record values, in the order they are shown.
std::array<TBinding, 24> WindowBindings(TFrmCorvane& W, Params& P)
{
    PhysParams& f = P.phys;
    return {{{W.NumpH, P.pH, 1, 1},
             {W.NumCapillary, f.Capillary, 0.01, 100},
             {W.NumDetector, f.Detector, 0.01, 100},
             {W.NumVoltage, f.Voltage, 1000, 0.001},
             {W.NumTemperature, f.Temperature, 1, 1},
             {W.NumPressure, f.Pressure, 100, 0.01},
             {W.NumRadius, f.Radius, 1e-6, 1e6},
             {W.NumEOF, f.EOF, 1e-9, 1e9},
             {W.NumEOFSlope, f.EOFSlope, 1e-9, 1e9},
             {W.NumU01, f.u01, 1e-9, 1e9},
             {W.NumU02, f.u02, 1e-9, 1e9},
             {W.NumU1, f.u1, 1e-9, 1e9},
             {W.NumU2, f.u2, 1e-9, 1e9},
             {W.NumK1, f.K1, 0.001, 1000},
             {W.NumK2, f.K2, 0.001, 1000},
             {W.NumZ01, f.z01, 1, 1},
             {W.NumZ02, f.z02, 1, 1},
             {W.NumZCS, f.zCS, 1, 1},
             {W.NumD01, f.D01, 1e-9, 1e9},
             {W.NumD02, f.D02, 1e-9, 1e9},
             {W.NumD1, f.D1, 1e-9, 1e9},
             {W.NumD2, f.D2, 1e-9, 1e9},
             {W.NumMinC, P.cMin, 1, 1},
             {W.NumMaxC, P.cMax, 1, 1}}};
}

// The fields of the pH dialog, analyte 1 then analyte 2, each pKa, high pH, then low pH.
std::array<TpHBinding, 14> PhBindings(TFrmpHSetup& D, Params& P)
{
    return {{{D.NumpKa1, P.a1.pKa, 1}, {D.NumU01High, P.a1.hu0, 1e-9}, {D.NumU1High, P.a1.huCS, 1e-9},
             {D.NumK1High, P.a1.hK, 0.001}, {D.NumU01Low, P.a1.lu0, 1e-9}, {D.NumU1Low, P.a1.luCS, 1e-9},
             {D.NumK1Low, P.a1.lK, 0.001},
             {D.NumpKa2, P.a2.pKa, 1}, {D.NumU02High, P.a2.hu0, 1e-9}, {D.NumU2High, P.a2.huCS, 1e-9},
             {D.NumK2High, P.a2.hK, 0.001}, {D.NumU02Low, P.a2.lu0, 1e-9}, {D.NumU2Low, P.a2.luCS, 1e-9},
             {D.NumK2Low, P.a2.lK, 0.001}}};
}

void ShowError(const UnicodeString& Text)
{
    MessageDlg(Text, mtError, TMsgDlgButtons{mbOK}, 0);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction

TFrmCorvane::TFrmCorvane(TComponent* AOwner) : TForm(AOwner)
{
    if (FrmCorvane == nullptr)
        FrmCorvane = this;
    SetName("FrmCorvane");
    SetCaption("Corvane");
    SetClientWidth(1156);
    SetClientHeight(679);
    // The least size at which nothing overlaps: the grid of fields whole (the graph box ends at
    // 1145, with the grid's margin of 8), the list's lower buttons below Analysis.
    Constraints->SetMinWidth(1153);
    Constraints->SetMinHeight(534);
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

TButton* TFrmCorvane::NewButton(TWinControl* Parent, const char* Name, const char* Caption, int Left,
                                int Top, int Width, int Height)
{
    auto* b = new TButton(this);
    b->SetName(Name);
    b->SetParent(Parent);
    b->SetBounds(Left, Top, Width, Height);
    b->SetCaption(Caption);
    b->SetTabStop(true);
    return b;
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

    BtnNew = NewButton(PnlList, "BtnNew", "&New", 215, 8);
    BtnLoad = NewButton(PnlList, "BtnLoad", "&Load", 215, 55);
    BtnSave = NewButton(PnlList, "BtnSave", "&Save", 215, 102);
    BtnAnalysis = NewButton(PnlList, "BtnAnalysis", "Anal&ysis...", 215, 149);
    BtnAnalysis->OnClick = Bind(this, &TFrmCorvane::BtnAnalysisClick);
    BtnHide = NewButton(PnlList, "BtnHide", "&Hide / Show", 215, 341);
    BtnDelete = NewButton(PnlList, "BtnDelete", "&Delete", 215, 388);
    BtnHide->SetAnchors(TAnchors{akLeft, akBottom});
    BtnDelete->SetAnchors(TAnchors{akLeft, akBottom});
    BtnNew->OnClick = Bind(this, &TFrmCorvane::BtnNewClick);
    BtnLoad->OnClick = Bind(this, &TFrmCorvane::BtnLoadClick);
    BtnSave->OnClick = Bind(this, &TFrmCorvane::BtnSaveClick);
    BtnHide->OnClick = Bind(this, &TFrmCorvane::BtnHideClick);
    BtnDelete->OnClick = Bind(this, &TFrmCorvane::BtnDeleteClick);
}

TNumEdit* TFrmCorvane::NewField(const char* Name, int Left, int Top, bool Visible)
{
    TNumEdit* f = NewNumericField(this, PnlBottom, Left, Top);
    f->SetName(Name);
    f->SetVisible(Visible);
    return f;
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

    // Row 1: the names; the capillary.
    EdtName = NewEdit("EdtName", CaptionX, Row[0]);
    EdtAnalyte1 = NewEdit("EdtAnalyte1", Field1X, Row[0]);
    EdtAnalyte2 = NewEdit("EdtAnalyte2", Field2X, Row[0]);
    EdtSelector = NewEdit("EdtSelector", Field3X, Row[0]);
    // Rows 2 to 4: mobilities and constants of both analytes.
    LblU0 = NewCaption("LblU0", "Free mobility [.1E+9]", CaptionX, Row[1]);
    NumU01 = NewField("NumU01", Field1X, Row[1]);
    NumU02 = NewField("NumU02", Field2X, Row[1]);
    LblUCS = NewCaption("LblUCS", "Cplx mobility [.1E+9]", CaptionX, Row[2]);
    NumU1 = NewField("NumU1", Field1X, Row[2]);
    NumU2 = NewField("NumU2", Field2X, Row[2]);
    LblK = NewCaption("LblK", "Cplx constant [.1M]", CaptionX, Row[3]);
    NumK1 = NewField("NumK1", Field1X, Row[3]);
    NumK2 = NewField("NumK2", Field2X, Row[3]);
    // Rows 5 to 7 (hidden, under the pH panel): charges and diffusion coefficients.
    LblZ = NewCaption("LblZ", "Charge", CaptionX, Row[4], false);
    NumZ01 = NewField("NumZ01", Field1X, Row[4], false);
    NumZ02 = NewField("NumZ02", Field2X, Row[4], false);
    NumZCS = NewField("NumZCS", Field3X, Row[4], false);
    LblD0 = NewCaption("LblD0", "Diff. coeff. free [.1E+9]", CaptionX, Row[5], false);
    NumD01 = NewField("NumD01", Field1X, Row[5], false);
    NumD02 = NewField("NumD02", Field2X, Row[5], false);
    LblDCS = NewCaption("LblDCS", "Diff. coeff. cplx [.1E+9]", CaptionX, Row[6], false);
    NumD1 = NewField("NumD1", Field1X, Row[6], false);
    NumD2 = NewField("NumD2", Field2X, Row[6], false);
    // The run conditions.
    LblCapillary = NewCaption("LblCapillary", "Capillary length [cm]", Caption2X, Row[0]);
    NumCapillary = NewField("NumCapillary", Field4X, Row[0]);
    LblDetector = NewCaption("LblDetector", "Detector length [cm]", Caption2X, Row[1]);
    NumDetector = NewField("NumDetector", Field4X, Row[1]);
    LblVoltage = NewCaption("LblVoltage", "Voltage [kV]", Caption2X, Row[2]);
    NumVoltage = NewField("NumVoltage", Field4X, Row[2]);
    LblTemperature = NewCaption("LblTemperature", "Temperature [\u00B0C]", Caption2X, Row[3], false);
    NumTemperature = NewField("NumTemperature", Field4X, Row[3], false);
    LblEOF = NewCaption("LblEOF", "EOF Mobility [.1E+9]", Caption2X, Row[4]);
    NumEOF = NewField("NumEOF", Field4X, Row[4]);
    LblEOFSlope = NewCaption("LblEOFSlope", "EOF slope [.1E+9/mM]", Caption2X, Row[5], false);
    NumEOFSlope = NewField("NumEOFSlope", Field4X, Row[5], false);
    LblRadius = NewCaption("LblRadius", "Capillary radius [um]", Caption3X, Row[0], false);
    NumRadius = NewField("NumRadius", Field5X, Row[0], false);
    LblPressure = NewCaption("LblPressure", "Ext. pressure [mBar]", Caption3X, Row[1], false);
    NumPressure = NewField("NumPressure", Field5X, Row[1], false);
    // The last row: the sweep and the graph choice.
    LblMinC = NewCaption("LblMinC", "Min concentration [mM]", CaptionX, Row[7]);
    NumMinC = NewField("NumMinC", Field1X, Row[7]);
    LblMaxC = NewCaption("LblMaxC", "Max concentration [mM]", Field2X, Row[7]);
    NumMaxC = NewField("NumMaxC", Field3X, Row[7]);
    LblPoints = NewCaption("LblPoints", "Data points", Caption2X, Row[7]);
    NumPoints = NewField("NumPoints", Field4X, Row[7]);
    LblGraph = NewCaption("LblGraph", "Show graph", Caption3X, Row[7]);
    CbxGraph = new TComboBox(this);
    CbxGraph->SetName("CbxGraph");
    CbxGraph->SetParent(PnlBottom);
    CbxGraph->SetStyle(csDropDownList);
    CbxGraph->SetBounds(Field5X, Row[7], 226, FieldHeight);
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
    PnlpH->SetBounds(CaptionX, Row[4], 502, 79);
    PnlpH->SetParent(PnlBottom);
    BtnpH = NewButton(PnlpH, "BtnpH", "pH effects...", 0, 0, FieldWidth, 41);
    BtnpH->OnClick = Bind(this, &TFrmCorvane::BtnpHClick);
    LblpH = NewFieldCaption(this, PnlpH, "pH", 0, 54);
    LblpH->SetName("LblpH");
    LblpH->SetVisible(false);
    NumpH = NewNumericField(this, PnlpH, Field1X - CaptionX, 54);
    NumpH->SetName("NumpH");
    NumpH->SetVisible(false);

    BtnApply = NewButton(PnlBottom, "BtnApply", "A&pply", 1064, Row[0]);
    BtnAdd = NewButton(PnlBottom, "BtnAdd", "&Add", 1064, Row[0] + 47);
    BtnApply->SetAnchors(TAnchors{akTop, akRight});
    BtnAdd->SetAnchors(TAnchors{akTop, akRight});
    BtnApply->OnClick = Bind(this, &TFrmCorvane::BtnApplyClick);
    BtnAdd->OnClick = Bind(this, &TFrmCorvane::BtnAddClick);

    // The fields' contents when the window is created; they stay where a shown value is refused.
    const std::pair<TNumEdit*, double> initial[] = {
        {NumU01, 0}, {NumU02, 0}, {NumU1, 20}, {NumU2, 20}, {NumK1, 200}, {NumK2, 500},
        {NumZ01, 0}, {NumZ02, 0}, {NumZCS, 0}, {NumD01, 1}, {NumD02, 1}, {NumD1, 0}, {NumD2, 0},
        {NumCapillary, 48}, {NumDetector, 40}, {NumVoltage, 10}, {NumTemperature, 25},
        {NumEOF, 0}, {NumEOFSlope, 0}, {NumPressure, 0}, {NumRadius, 50}, {NumMinC, 0},
        {NumMaxC, 50}, {NumPoints, 100}, {NumpH, 7}};
    for (const auto& [field, value] : initial)
        field->SetValue(value);
    NumD1->SetReadOnly(true);
    NumD2->SetReadOnly(true);

    // Range rules and reactions.
    const auto positive = Bind(this, &TFrmCorvane::NumPositiveAccept);
    for (TNumEdit* f : {NumK1, NumK2, NumCapillary, NumDetector, NumMaxC, NumD01, NumD02, NumD1, NumD2,
                        NumRadius})
        f->OnAccept = positive;
    NumMinC->OnAccept = Bind(this, &TFrmCorvane::NumNonNegativeCAccept);
    NumTemperature->OnAccept = Bind(this, &TFrmCorvane::NumTemperatureAccept);
    for (TNumEdit* f : {NumZ01, NumZ02, NumZCS})
        f->OnAccept = Bind(this, &TFrmCorvane::NumIntAccept);
    NumPoints->OnAccept = Bind(this, &TFrmCorvane::NumPointsAccept);

    const auto accepted = Bind(this, &TFrmCorvane::EdtAccepted);
    for (TNumEdit* f : {NumK1, NumK2, NumD01, NumD02, NumD1, NumD2, NumCapillary, NumDetector,
                        NumVoltage, NumTemperature, NumEOF, NumEOFSlope, NumRadius, NumPressure,
                        NumMinC, NumMaxC, NumPoints, NumpH})
        f->OnAccepted = accepted;
    NumU01->OnAccepted = Bind(this, &TFrmCorvane::NumUZ01Accepted);
    NumZ01->OnAccepted = Bind(this, &TFrmCorvane::NumUZ01Accepted);
    NumU02->OnAccepted = Bind(this, &TFrmCorvane::NumUZ02Accepted);
    NumZ02->OnAccepted = Bind(this, &TFrmCorvane::NumUZ02Accepted);
    NumU1->OnAccepted = Bind(this, &TFrmCorvane::NumUZCSAccepted);
    NumU2->OnAccepted = Bind(this, &TFrmCorvane::NumUZCSAccepted);
    NumZCS->OnAccepted = Bind(this, &TFrmCorvane::NumUZCSAccepted);
    for (TEdit* e : {EdtName, EdtAnalyte1, EdtAnalyte2, EdtSelector})
        e->OnChange = accepted;
}

// ---------------------------------------------------------------------------------------------
// Window and record

void TFrmCorvane::ShowRecord(int Index)
{
    const Record& r = Records.at(static_cast<size_t>(Index));
    FShownRecord = Index;
    FShownStored = {r.name, r.analyte1, r.analyte2, r.selector};
    const std::array<TEdit*, 4> edits = NameEdits();
    for (size_t k = 0; k < edits.size(); ++k) {
        edits[k]->SetText(AnsiToUtf8(FShownStored[k]));
        FShownTexts[k] = edits[k]->GetText();
    }

    TStrings* rows = LstDependencies->Items;
    if (Index < rows->Count()) {
        const bool selected = LstDependencies->GetSelected(Index);
        rows->Put(Index, AnsiToUtf8(r.name));
        LstDependencies->SetSelected(Index, selected);
    }

    // A copy: the bindings refer to the values, and showing them runs the fields' handlers.
    Params p = r.Params;
    if (TFrmpHSetup* d = FrmpHSetup) {
        d->LblAnalyte1->SetCaption(AnsiToUtf8(r.analyte1));
        d->LblAnalyte2->SetCaption(AnsiToUtf8(r.analyte2));
        d->ChcbApply->SetChecked(p.applypH);
        for (const TpHBinding& b : PhBindings(*d, p))
            b.Field->SetValue(b.Value / b.Scale);
    }
    for (const TBinding& b : WindowBindings(*this, p))
        b.Field->SetValue(b.Value * b.ToShown);
    NumPoints->SetValue(p.points);

    LblpH->SetVisible(p.applypH);
    NumpH->SetVisible(p.applypH);
    for (TNumEdit* e : {NumU01, NumU1, NumK1, NumU02, NumU2, NumK2})
        e->SetReadOnly(p.applypH);
}

void TFrmCorvane::StoreWindow(Record& Target)
{
    // A text that is still as shown is stored as the record held it, also beyond what its edit
    // can show.
    const std::array<TEdit*, 4> edits = NameEdits();
    const std::array<AnsiString*, 4> texts = {&Target.name, &Target.analyte1, &Target.analyte2, &Target.selector};
    for (size_t k = 0; k < edits.size(); ++k) {
        const UnicodeString text = edits[k]->GetText();
        *texts[k] = FShownRecord >= 0 && text == FShownTexts[k] ? FShownStored[k] : Utf8ToAnsiLossless(text);
    }

    Params& p = Target.Params;
    if (TFrmpHSetup* d = FrmpHSetup) {
        p.applypH = d->ChcbApply->GetChecked();
        for (const TpHBinding& b : PhBindings(*d, p))
            b.Value = b.Field->GetAcceptedValue() * b.Scale;
    }
    for (const TBinding& b : WindowBindings(*this, p))
        b.Value = b.Field->GetAcceptedValue() * b.ToStored;
    // The field's rule keeps points a whole number from 1 to 2147483647.
    const double points = std::trunc(NumPoints->GetAcceptedValue());
    p.points = static_cast<std::int32_t>(std::clamp(points, double(INT32_MIN), double(INT32_MAX)));
}

void TFrmCorvane::Sweep(int Index)
{
    ShowRecord(Index);
    const int choice = CbxGraph->GetItemIndex();
    const Record& r = Records.at(static_cast<size_t>(Index));
    SweepDependency(ChrtDependencies, r, choice, CbxGraph->GetText());
    BtnApply->Font->SetColor(clWindowText);
    if (FrmAnalysis != nullptr && FrmAnalysis->GetVisible() && Index == CurrentRow())
        FrmAnalysis->ShowFor(&r);
}

// ---------------------------------------------------------------------------------------------
// List commands

int TFrmCorvane::CurrentRow() const
{
    const int row = LstDependencies->GetItemIndex();
    return row >= 0 && row < static_cast<int>(Records.size()) ? row : -1;
}

void TFrmCorvane::AddDependency()
{
    const unsigned n = static_cast<unsigned>(Records.size());
    const int current = CurrentRow();
    Record created;
    if (current >= 0)
        created.AssignData(Records[static_cast<size_t>(current)]);
    Records.push_back(created);
    CreateDependencySeries(ChrtDependencies, Records.back(), n);
    LstDependencies->Items->Add("<>");
    LstDependencies->SetItemIndex(static_cast<int>(n));
    Sweep(static_cast<int>(n));
}

void TFrmCorvane::ClearDependencies()
{
    FShownRecord = -1;
    LstDependencies->Items->Clear();
    for (Record& r : Records)
        r.SeriesSet.Release();
    Records.clear();
}

void TFrmCorvane::FormShow(TObject*)
{
    BtnAdd->Click();
    if (!FSavedKnown)
        NoteSaved();
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
    AddDependency();
}

void TFrmCorvane::BtnNewClick(TObject*)
{
    if (!QuerySaveChanges())
        return;
    ClearDependencies();
    AddDependency();
}

void TFrmCorvane::BtnApplyClick(TObject*)
{
    const int c = CurrentRow();
    if (c < 0) {
        ShowError("Select a dependency.");
        return;
    }
    if (LstDependencies->GetSelCount() > 1) {
        ShowError("Cannot alter multiple dependecies!");
        return;
    }
    if (!Records[static_cast<size_t>(c)].SeriesSet.IsVisible()) {
        ShowError("Cannot alter hidden dependency!");
        return;
    }
    // The window goes into a copy first: a fault in the derivation leaves the record, its
    // curves and the window's edits as they were.
    Record changed = Records[static_cast<size_t>(c)];
    StoreWindow(changed);
    // A sweep that would be refused is refused before anything is stored.
    CheckSweepPoints(changed.Params.points);
    changed.Params.Derive();
    Records[static_cast<size_t>(c)] = changed;
    Sweep(c);
}

void TFrmCorvane::BtnDeleteClick(TObject*)
{
    if (MessageDlg("Delete selected dependencies?", mtConfirmation, mbYesNo, 0) != mrYes)
        return;
    std::vector<int> selected;
    for (int i = 0; i < LstDependencies->GetCount(); ++i)
        if (LstDependencies->GetSelected(i))
            selected.push_back(i);
    int shown = FShownRecord;
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        if (*it < static_cast<int>(Records.size())) {
            Records[static_cast<size_t>(*it)].SeriesSet.Release();
            Records.erase(Records.begin() + *it);
            if (*it == shown)
                shown = -1;
            else if (*it < shown)
                --shown;
        }
    }
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        LstDependencies->Items->Delete(*it);
    FShownRecord = shown;
    for (size_t i = 0; i < Records.size(); ++i)
        Records[i].SeriesSet.SetColour(PaletteColor(static_cast<unsigned>(i), false));
    // The window keeps its fields unless they belong to a dependency that is gone or that is no
    // longer the current one: then it shows the current dependency, so that Apply cannot write
    // them onto another.
    const int c = CurrentRow();
    if (c >= 0 && c != FShownRecord)
        Sweep(c);
}

void TFrmCorvane::BtnHideClick(TObject*)
{
    const int rows = std::min(LstDependencies->GetCount(), static_cast<int>(Records.size()));
    for (int i = 0; i < rows; ++i) {
        if (!LstDependencies->GetSelected(i))
            continue;
        const SeriesSet& s = Records[static_cast<size_t>(i)].SeriesSet;
        s.SetVisible(!s.IsVisible());
    }
    LstDependencies->Invalidate();
}

void TFrmCorvane::LstDependenciesClick(TObject*)
{
    const int c = CurrentRow();
    BtnApply->SetEnabled(c >= 0);
    if (c < 0)
        return;
    Sweep(c);
    const int rows = std::min(LstDependencies->GetCount(), static_cast<int>(Records.size()));
    std::vector<TChartSeries*> selected;  // drawn above the others
    for (int i = 0; i < rows; ++i) {
        SeriesSet& s = Records[static_cast<size_t>(i)].SeriesSet;
        s.SetColour(PaletteColor(static_cast<unsigned>(i), LstDependencies->GetSelected(i)));
        if (LstDependencies->GetSelected(i))
            selected.insert(selected.end(), {s.t1Series, s.t2Series, s.MeasureSeries});
    }
    ChrtDependencies->DrawOnTop(selected);
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
    if (FrmAnalysis == nullptr)
        FrmAnalysis = new TFrmAnalysis(this);
    const int c = CurrentRow();
    FrmAnalysis->ShowFor(c >= 0 ? &Records[static_cast<size_t>(c)] : nullptr);
    FrmAnalysis->Show();
}

void TFrmCorvane::BtnpHClick(TObject* Sender)
{
    if (FrmpHSetup != nullptr)
        FrmpHSetup->ShowModal();
    EdtAccepted(Sender);
}

// ---------------------------------------------------------------------------------------------
// Project files

void TFrmCorvane::NoteSaved()
{
    FSavedRecords = Records;
    // Only the data is compared; the copies keep no references to series that may go.
    for (Record& r : FSavedRecords)
        r.SeriesSet = SeriesSet();
    FSavedKnown = true;
}

bool TFrmCorvane::ProjectChanged() const
{
    if (!FSavedKnown)
        return false;
    // Only the default dependency of start-up or New: nothing to lose.
    if (Records.size() == 1 && SameStoredData(Records[0], Record()))
        return false;
    return !std::equal(Records.begin(), Records.end(), FSavedRecords.begin(), FSavedRecords.end(),
                       SameStoredData);
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

void TFrmCorvane::SetChartTitle(const UnicodeString& Line)
{
    SetChartTitleLine(ChrtDependencies, Line);
}

bool TFrmCorvane::SaveProject(const UnicodeString& FileName)
{
    WriteProjectFile(FileName, Records);
    NoteSaved();
    return true;
}

bool TFrmCorvane::LoadProject(const UnicodeString& FileName)
{
    // Read, derived and checked into a list of its own first: a file that cannot be loaded, or
    // whose sweeps would fault, changes nothing.
    ProjectContents loaded = ReadProjectFile(FileName);
    LastLoadReport = LoadReport(FileName, loaded, FormatSettings.DecimalSeparator);
    FormatSettings.DecimalSeparator = loaded.DecimalSeparator;
    ClearDependencies();
    Records = std::move(loaded.Records);
    for (size_t i = 0; i < Records.size(); ++i)
        CreateDependencySeries(ChrtDependencies, Records[i], static_cast<unsigned>(i));
    NoteSaved();
    return true;
}

bool TFrmCorvane::SaveCommand()
{
    if (!SaveDialog1->Execute())
        return false;
    const UnicodeString path = SaveDialog1->GetFileName();
    SaveProject(path);
    OpenDialog1->SetFileName(ExtractFileName(path));
    SetChartTitle(path);
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
    LoadProject(Path);
    // Every record gets its row before any is swept. The reading has run every sweep already,
    // so none fails here.
    for (size_t i = 0; i < Records.size(); ++i)
        LstDependencies->Items->Add("<>");
    for (int i = 0; i < static_cast<int>(Records.size()); ++i)
        Sweep(i);
    SaveDialog1->SetFileName(ExtractFileName(Path));
    SetChartTitle(Path);
    if (!LastLoadReport.empty())
        MessageDlg(LastLoadReport, mtInformation, TMsgDlgButtons{mbOK}, 0);
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
    for (int i = 0; i < static_cast<int>(Records.size()); ++i)
        Sweep(i);
}

// ---------------------------------------------------------------------------------------------
// Field rules

void TFrmCorvane::NumPositiveAccept(TObject*, TCaption NewText, bool& Accept)
{
    ApplyRangeRule(TRangeRule::Positive, NewText, Accept);
}

void TFrmCorvane::NumNonNegativeCAccept(TObject*, TCaption NewText, bool& Accept)
{
    ApplyRangeRule(TRangeRule::NonNegative, NewText, Accept);
}

void TFrmCorvane::NumTemperatureAccept(TObject*, TCaption NewText, bool& Accept)
{
    ApplyRangeRule(TRangeRule::Temperature, NewText, Accept);
}

void TFrmCorvane::NumIntAccept(TObject*, TCaption NewText, bool& Accept)
{
    ApplyRangeRule(TRangeRule::Integer, NewText, Accept);
}

void TFrmCorvane::NumPointsAccept(TObject*, TCaption NewText, bool& Accept)
{
    ApplyRangeRule(TRangeRule::Points, NewText, Accept);
}

// A free analyte's diffusion coefficient follows from its mobility and charge when both are set.
void TFrmCorvane::LockFreeDiffusion(TNumEdit* Free, TNumEdit* Charge, TNumEdit* Mobility)
{
    Free->SetReadOnly(Charge->GetAcceptedValue() != 0 && Mobility->GetAcceptedValue() != 0);
}

// A complex's follows when it carries a charge (analyte and selector together) and has a mobility.
void TFrmCorvane::LockComplexDiffusion(TNumEdit* Complex, TNumEdit* Charge, TNumEdit* Mobility)
{
    Complex->SetReadOnly(Charge->GetAcceptedValue() != -NumZCS->GetAcceptedValue()
                         && Mobility->GetAcceptedValue() != 0);
}

void TFrmCorvane::NumUZ01Accepted(TObject* Sender)
{
    LockFreeDiffusion(NumD01, NumZ01, NumU01);
    LockComplexDiffusion(NumD1, NumZ01, NumU1);
    EdtAccepted(Sender);
}

void TFrmCorvane::NumUZ02Accepted(TObject* Sender)
{
    LockFreeDiffusion(NumD02, NumZ02, NumU02);
    LockComplexDiffusion(NumD2, NumZ02, NumU2);
    EdtAccepted(Sender);
}

void TFrmCorvane::NumUZCSAccepted(TObject* Sender)
{
    LockComplexDiffusion(NumD1, NumZ01, NumU1);
    LockComplexDiffusion(NumD2, NumZ02, NumU2);
    EdtAccepted(Sender);
}
