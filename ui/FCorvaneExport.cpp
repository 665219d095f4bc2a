// The main window's ways of getting results out: the chart's context menu with the clipboard and
// the chart and curve files.
#include "ui/FCorvane.h"

#include "platform/Clipbrd.h"
#include "project/ChartFormats.h"
#include "project/CurvesText.h"
#include "ui/FAnalysis.h"
#include "ui/FormLook.h"

namespace {

TMenuItem* NewItem(TFrmCorvane* Form, TPopupMenu* Menu, const char* Name, const char* Caption,
                   void (TFrmCorvane::*Handler)(TObject*))
{
    auto* item = new TMenuItem(Menu);
    item->SetName(Name);
    item->SetCaption(Caption);
    item->OnClick = Bind(Form, Handler);
    Menu->Items->Add(item);
    return item;
}

}  // namespace

void TFrmCorvane::BuildChartMenu()
{
    PopChart = new TPopupMenu(this);
    PopChart->SetName("PopChart");
    MniCopyChart = NewItem(this, PopChart, "MniCopyChart", "Copy chart", &TFrmCorvane::MniCopyChartClick);
    MniCopyChart->SetShortCut(ShortCut('C', TShiftState{ssCtrl}));
    MniCopyData = NewItem(this, PopChart, "MniCopyData", "Copy data", &TFrmCorvane::MniCopyDataClick);
    auto* line = new TMenuItem(PopChart);
    line->SetCaption("-");
    PopChart->Items->Add(line);
    MniSaveChart = NewItem(this, PopChart, "MniSaveChart", "Save chart as...", &TFrmCorvane::MniSaveChartClick);
    MniExportCurves = NewItem(this, PopChart, "MniExportCurves", "Export curves as CSV...",
                              &TFrmCorvane::MniExportCurvesClick);
    ChrtDependencies->SetPopupMenu(PopChart);

    SaveChartDialog = NewSaveDialog(this, "SaveChartDialog", ChartFormatsFilter(), "png");
    SaveChartDialog->SetTitle("Save chart as");
    SaveChartDialog->SetFileName("chart.png");
    ExportCurvesDialog = NewSaveDialog(
        this, "ExportCurvesDialog",
        "CSV, curves as shown (*.csv)|*.csv|CSV, all point values in SI units (*.csv)|*.csv", "csv");
    ExportCurvesDialog->SetTitle("Export curves as CSV");
    ExportCurvesDialog->SetFileName("curves.csv");
}

CurvesTextOptions TFrmCorvane::CurvesOptions() const
{
    CurvesTextOptions o;
    o.GraphChoice = CbxGraph->GetItemIndex();
    o.DecimalSeparator = FormatSettings.DecimalSeparator;
    if (FrmAnalysis && FrmAnalysis->GetVisible()) o.Analysis = FrmAnalysis->Options();
    return o;
}

void TFrmCorvane::MniCopyChartClick(TObject*)
{
    TBitmap image;
    ChrtDependencies->DrawImage(&image);
    Clipboard()->Assign(&image);
}

void TFrmCorvane::MniCopyDataClick(TObject*)
{
    CurvesTextOptions o = CurvesOptions();
    o.Layout = CurvesLayout::Tabs;
    Clipboard()->SetAsText(CurvesText(Records, o));
}

void TFrmCorvane::SaveChart(const UnicodeString& FileName, int FilterIndex)
{
    SaveChartAs(*ChrtDependencies, ChartFormatFor(FileName, FilterIndex), FileName);
}

void TFrmCorvane::MniSaveChartClick(TObject*)
{
    if (!SaveChartDialog->Execute()) return;
    SaveChart(SaveChartDialog->GetFileName(), SaveChartDialog->GetFilterIndex());
}

void TFrmCorvane::MniExportCurvesClick(TObject*)
{
    if (!ExportCurvesDialog->Execute()) return;
    CurvesTextOptions o = CurvesOptions();
    o.AllValues = ExportCurvesDialog->GetFilterIndex() == 2;
    SaveCurvesCsv(ExportCurvesDialog->GetFileName(), Records, o);
}
