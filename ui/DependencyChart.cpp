#include "ui/DependencyChart.h"

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
