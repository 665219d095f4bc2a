#include "project/DependencyChart.h"

#include "model/Sweep.h"
#include "project/Palette.h"

void CreateDependencySeries(TChart* Chart, DependencyRecord& Record, unsigned Position)
{
    Record.SeriesSet.Create(Chart, PaletteColor(Position, false), Position == 0);
}

void SweepDependency(TChart* Chart, const DependencyRecord& Record, int Choice, const UnicodeString& Title)
{
    Record.Sweep(Choice);
    Chart->GetRightAxis()->GetTitle()->SetCaption(Title);
    Record.SeriesSet.SetMeasureTitle(Title);
}

void SetChartTitleLine(TChart* Chart, const UnicodeString& Line)
{
    TStrings* title = Chart->GetTitle()->GetText();
    if (title->Count() == 0)
        title->Add(Line);
    else
        title->Put(0, Line);
}

void ShowDependencies(TChart* Chart, std::vector<DependencyRecord>& Records, int Choice, const UnicodeString& Path)
{
    for (size_t i = 0; i < Records.size(); ++i)
        CreateDependencySeries(Chart, Records[i], static_cast<unsigned>(i));
    const UnicodeString title = GraphText(Choice);
    for (const DependencyRecord& r : Records)
        SweepDependency(Chart, r, Choice, title);
    SetChartTitleLine(Chart, Path);
}

void DressDependencyChart(TChart* Chart)
{
    Chart->SetView3D(false);
    Chart->SetColor(clWindow);
    for (TChartAxis* a : {Chart->GetBottomAxis(), Chart->GetLeftAxis(), Chart->GetRightAxis()}) {
        a->GetLabelsFont()->SetHeight(-16);
        a->GetTitle()->GetFont()->SetHeight(-21);
        a->SetTickLength(6);
        a->GetTicks()->SetWidth(2);
        a->SetMinorTickLength(4);
        a->GetMinorTicks()->SetWidth(2);
    }
    Chart->GetBottomAxis()->GetTitle()->SetCaption("Selector concentration");
    Chart->GetLeftAxis()->GetTitle()->SetCaption("Time / min");
    Chart->GetLeftAxis()->GetTitle()->SetRoundRectangle(true);
    TChartPen* zoom = Chart->GetZoomPen();
    zoom->SetColor(clGray);
    zoom->SetStyle(psDot);
    zoom->SetWidth(2);
    Chart->GetTitle()->GetText()->Clear();
    Chart->GetTitle()->GetText()->Add("[anonymous]");
}
