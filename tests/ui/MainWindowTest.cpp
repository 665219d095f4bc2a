#include "UiTestKit.h"
#include "tests/platform/MenuAnswer.h"

#include <QImage>
#include <QPainter>

#include "model/Sweep.h"
#include "project/Palette.h"

TEST_F(MainWindowTest, StartsWithOneDefaultDependency)
{
    ASSERT_EQ(F->Records.size(), 1u);
    EXPECT_EQ(F->LstDependencies->GetCount(), 1);
    EXPECT_EQ(F->LstDependencies->Items->Get(0), "<unnamed>");
    EXPECT_EQ(F->LstDependencies->GetItemIndex(), 0);
    EXPECT_EQ(F->LstDependencies->GetSelCount(), 0);
    EXPECT_EQ(Shown(F->EdtName), "<unnamed>");
    EXPECT_EQ(Shown(F->NumCapillary), "48.5");
    EXPECT_EQ(Shown(F->NumVoltage), "25");
    // The default constants are 0, which the positive-only fields refuse.
    EXPECT_EQ(Shown(F->NumK1), "200");
    EXPECT_EQ(Shown(F->NumK2), "500");
    EXPECT_FALSE(ApplyIsRed());
    EXPECT_EQ(F->Records[0].SeriesSet.colour, PaletteColor(0, false));
    EXPECT_EQ(F->Records[0].SeriesSet.t1Series->Count(), 22);
    EXPECT_EQ(F->ChrtDependencies->GetTitle()->GetText()->Get(0), "[anonymous]");
    EXPECT_EQ(F->ChrtDependencies->GetRightAxis()->GetTitle()->GetCaption(), "Time difference / min");
    EXPECT_TRUE(Errors.empty());

    F->SaveToPng(BuildPath("corvane_start.png"));
}

TEST_F(MainWindowTest, ApplyWithoutEditsStoresTheShownConstants)
{
    Click(F->BtnApply);
    const PhysParams& p = F->Records[0].Params.phys;
    EXPECT_DOUBLE_EQ(p.K1, 0.2);
    EXPECT_DOUBLE_EQ(p.K2, 0.5);
    EXPECT_DOUBLE_EQ(p.Capillary, 0.485);
    EXPECT_DOUBLE_EQ(p.Voltage, 25000);
    EXPECT_DOUBLE_EQ(F->Records[0].Params.cMax, 20);
    EXPECT_EQ(F->Records[0].Params.points, 21);
    EXPECT_FALSE(ApplyIsRed());
}

TEST_F(MainWindowTest, AnAcceptedEditMarksApplyRedUntilTheSweep)
{
    Enter(F->NumU01, "20");
    EXPECT_TRUE(ApplyIsRed());
    EXPECT_EQ(F->BtnApply->Font->GetColor(), clRed);
    Click(F->BtnApply);
    EXPECT_FALSE(ApplyIsRed());
    EXPECT_EQ(F->BtnApply->Font->GetColor(), clWindowText);
    EXPECT_DOUBLE_EQ(F->Records[0].Params.phys.u01, 20e-9);
    Type(F->EdtName, "x");
    EXPECT_TRUE(ApplyIsRed());
}

TEST_F(MainWindowTest, ApplyRefusesWithItsTexts)
{
    // Two rows selected.
    Click(F->BtnAdd);
    Click(F->BtnAdd);
    ClickRow(0);
    ClickRow(1, Qt::ControlModifier);
    Enter(F->NumU01, "3");
    EXPECT_EQ(ClickAndAnswer(F->BtnApply, "OK"), "Cannot alter multiple dependecies!");
    EXPECT_TRUE(ApplyIsRed());
    EXPECT_EQ(Shown(F->NumU01), "3");
    EXPECT_DOUBLE_EQ(F->Records[1].Params.phys.u01, 0);

    // A hidden current dependency.
    ClickRow(2);
    Click(F->BtnHide);
    EXPECT_FALSE(F->Records[2].SeriesSet.IsVisible());
    Enter(F->EdtName, "renamed");
    EXPECT_EQ(ClickAndAnswer(F->BtnApply, "OK"), "Cannot alter hidden dependency!");
    EXPECT_EQ(F->Records[2].name, AnsiString("<unnamed>"));

    // An empty list: every row deleted.
    F->LstDependencies->SelectAll();
    EXPECT_EQ(ClickAndAnswer(F->BtnDelete, "Yes"), "Delete selected dependencies?");
    EXPECT_TRUE(F->Records.empty());
    EXPECT_EQ(F->LstDependencies->GetItemIndex(), -1);
    EXPECT_EQ(ClickAndAnswer(F->BtnApply, "OK"), "Select a dependency.");
    Click(F->BtnAdd);
    ASSERT_EQ(F->Records.size(), 1u);
    EXPECT_DOUBLE_EQ(F->Records[0].Params.phys.u01, 0);
    EXPECT_EQ(F->Records[0].SeriesSet.t1Series->GetShowInLegend(), true);
}

TEST_F(MainWindowTest, CtrlClickDeselectsTheCurrentRowWhichStaysTheTarget)
{
    Click(F->BtnAdd);
    Click(F->BtnAdd);  // rows 0..2, row 2 current
    ClickRow(1);
    ClickRow(1, Qt::ControlModifier);
    EXPECT_EQ(F->LstDependencies->GetItemIndex(), 1);
    EXPECT_FALSE(F->LstDependencies->GetSelected(1));
    Enter(F->NumEOF, "7");
    Click(F->BtnApply);
    EXPECT_DOUBLE_EQ(F->Records[1].Params.phys.EOF, 7e-9);
    EXPECT_DOUBLE_EQ(F->Records[0].Params.phys.EOF, 0);

    // With two other rows selected the same Apply is refused.
    F->LstDependencies->SetSelected(0, true);
    F->LstDependencies->SetSelected(2, true);
    EXPECT_EQ(ClickAndAnswer(F->BtnApply, "OK"), "Cannot alter multiple dependecies!");
}

TEST_F(MainWindowTest, AddCopiesTheStoredModelNotTheWindow)
{
    EnterRealisticSet();
    Enter(F->EdtName, "first");
    Click(F->BtnApply);
    Enter(F->NumU01, "99");  // not applied
    Click(F->BtnAdd);
    ASSERT_EQ(F->Records.size(), 2u);
    const DependencyRecord& r = F->Records[1];
    EXPECT_EQ(r.name, AnsiString("<unnamed>"));
    EXPECT_DOUBLE_EQ(r.Params.phys.u01, 20e-9);
    EXPECT_DOUBLE_EQ(r.Params.phys.K2, 0.5);
    EXPECT_EQ(Shown(F->NumU01), "20");
    EXPECT_FALSE(ApplyIsRed());
    EXPECT_EQ(r.SeriesSet.colour, PaletteColor(1, false));
    EXPECT_FALSE(r.SeriesSet.t1Series->GetShowInLegend());
    EXPECT_EQ(F->LstDependencies->GetItemIndex(), 1);
    EXPECT_EQ(F->LstDependencies->GetSelCount(), 0);
}

TEST_F(MainWindowTest, PaletteFollowsPositionsAndSelection)
{
    for (int i = 0; i < 10; ++i)
        Click(F->BtnAdd);
    ASSERT_EQ(F->Records.size(), 11u);
    EXPECT_EQ(F->Records[10].SeriesSet.colour, RGB(235, 235, 235));
    EXPECT_EQ(F->Records[6].SeriesSet.colour, F->Records[1].SeriesSet.colour);
    ClickRow(10);
    EXPECT_EQ(F->Records[10].SeriesSet.colour, RGB(0, 0, 0));
    EXPECT_EQ(F->Records[10].SeriesSet.t1Series->GetSeriesColor(), RGB(0, 0, 0));

    // Shift+click selects rows 2 to 5: those are strong, all others pale, the clicked one shown.
    Enter(F->EdtName, "unapplied");
    ClickRow(2);
    ClickRow(5, Qt::ShiftModifier);
    EXPECT_FALSE(ApplyIsRed());
    EXPECT_EQ(Shown(F->EdtName), "<unnamed>");
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(F->Records[i].SeriesSet.colour, PaletteColor(i, i >= 2 && i <= 5)) << i;
}

TEST_F(MainWindowTest, DeletingRowsOneAndThreeOfFiveMovesTheOthersDown)
{
    for (int i = 0; i < 4; ++i)
        Click(F->BtnAdd);
    for (int i = 0; i < 5; ++i) {
        ClickRow(i);
        Enter(F->EdtName, "d" + std::to_string(i));
        Click(F->BtnApply);
    }
    ClickRow(1);
    ClickRow(3, Qt::ControlModifier);
    const int seriesBefore = F->ChrtDependencies->SeriesCount();
    // No deletes nothing.
    ClickAndAnswer(F->BtnDelete, "No");
    EXPECT_EQ(F->Records.size(), 5u);
    ClickAndAnswer(F->BtnDelete, "Yes");
    ASSERT_EQ(F->Records.size(), 3u);
    EXPECT_EQ(F->ChrtDependencies->SeriesCount(), seriesBefore - 8);
    const char* names[] = {"d0", "d2", "d4"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(F->Records[i].name, AnsiString(names[i]));
        EXPECT_EQ(F->LstDependencies->Items->Get(i), names[i]);
        EXPECT_EQ(F->Records[i].SeriesSet.colour, PaletteColor(i, false));
    }
    EXPECT_GE(F->LstDependencies->GetItemIndex(), 0);
}

TEST_F(MainWindowTest, HideShowFlipsEachSelectedRowOnItsOwn)
{
    Click(F->BtnAdd);
    Click(F->BtnAdd);
    ClickRow(0);
    Click(F->BtnHide);
    EXPECT_FALSE(F->Records[0].SeriesSet.IsVisible());
    EXPECT_FALSE(F->Records[0].SeriesSet.MeasureSeries->GetActive());
    ClickRow(1, Qt::ControlModifier);
    Click(F->BtnHide);
    EXPECT_TRUE(F->Records[0].SeriesSet.IsVisible());
    EXPECT_FALSE(F->Records[1].SeriesSet.IsVisible());
    EXPECT_TRUE(F->Records[2].SeriesSet.IsVisible());
    EXPECT_EQ(F->Records[1].SeriesSet.t1Series->Count(), 22);

    // A hidden row's text is silver, also when it is selected.
    QApplication::processEvents();
    TBitmap shot(F->LstDependencies->GetWidth(), F->LstDependencies->GetHeight());
    F->LstDependencies->PaintTo(shot.Canvas, 0, 0);
    auto rowHasColour = [&](int row, TColor colour) {
        const TRect r = F->LstDependencies->ItemRect(row);
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left + 2; x < r.Left + 60; ++x)
                if (shot.Canvas->GetPixel(x, y) == colour)
                    return true;
        return false;
    };
    EXPECT_TRUE(rowHasColour(1, RGB(192, 192, 192)));
    EXPECT_FALSE(rowHasColour(0, RGB(192, 192, 192)));

    // Nothing selected: nothing changes.
    F->LstDependencies->ClearSelection();
    Click(F->BtnHide);
    EXPECT_FALSE(F->Records[1].SeriesSet.IsVisible());
}

TEST_F(MainWindowTest, RenameByApplyKeepsTheRowSelected)
{
    ClickRow(0);
    ASSERT_TRUE(F->LstDependencies->GetSelected(0));
    Enter(F->EdtName, "Naproxène in 20 µM");
    Click(F->BtnApply);
    EXPECT_EQ(F->LstDependencies->Items->Get(0), "Naproxène in 20 µM");
    EXPECT_TRUE(F->LstDependencies->GetSelected(0));
    EXPECT_EQ(F->Records[0].name, Utf8ToAnsi("Naproxène in 20 µM"));
}

TEST_F(MainWindowTest, ZoomSetsTheRangesOfTheCurrentCurves)
{
    EnterRealisticSet();
    DoubleClickRow(0);
    const SeriesSet& s = F->Records[0].SeriesSet;
    TChart* c = F->ChrtDependencies;
    EXPECT_FALSE(c->GetBottomAxis()->GetAutomatic());
    EXPECT_DOUBLE_EQ(c->GetBottomAxis()->GetMinimum(), s.t1Series->MinXValue());
    EXPECT_DOUBLE_EQ(c->GetBottomAxis()->GetMaximum(), s.t1Series->MaxXValue());
    EXPECT_DOUBLE_EQ(c->GetLeftAxis()->GetMinimum(), std::min(s.t1Series->MinYValue(), s.t2Series->MinYValue()));
    EXPECT_DOUBLE_EQ(c->GetLeftAxis()->GetMaximum(), std::max(s.t1Series->MaxYValue(), s.t2Series->MaxYValue()));
    EXPECT_DOUBLE_EQ(c->GetRightAxis()->GetMinimum(), s.MeasureSeries->MinYValue());
    EXPECT_DOUBLE_EQ(c->GetRightAxis()->GetMaximum(), s.MeasureSeries->MaxYValue());
}

TEST_F(MainWindowTest, CurvesOfARealisticSetMatchTheModel)
{
    EnterRealisticSet();
    const DependencyRecord& r = F->Records[0];
    EXPECT_DOUBLE_EQ(r.Params.phys.u02, 21e-9);
    const TPointSeries* t1 = r.SeriesSet.t1Series;
    const TPointSeries* t2 = r.SeriesSet.t2Series;
    const TPointSeries* m = r.SeriesSet.MeasureSeries;
    ASSERT_EQ(t1->Count(), 22);
    int i = 0;
    SweepRange(0, 20, 21).ForEach([&](double c) {
        const PointValues v(r.Params, c);
        EXPECT_DOUBLE_EQ(t1->XValue(i), c);
        EXPECT_DOUBLE_EQ(t1->YValue(i), v.t1 * MinutesPerSecond);
        EXPECT_DOUBLE_EQ(t2->YValue(i), v.t2 * MinutesPerSecond);
        EXPECT_DOUBLE_EQ(m->YValue(i), v.dt * MinutesPerSecond);
        ++i;
    });
    // Migration times of a few minutes, analyte 2 (stronger complex) slower.
    EXPECT_GT(t1->YValue(21), 2.0);
    EXPECT_GT(t2->YValue(21), t1->YValue(21));
}

// Five variants of a realistic pair (the second analyte's constant from 300 to 700 per M), two
// selected and one hidden, as the README shows them.
TEST_F(MainWindowTest, FiveDependenciesScreenshot)
{
    Enter(F->EdtAnalyte1, "Ketoprofen");
    Enter(F->EdtAnalyte2, "Naproxen");
    Enter(F->EdtSelector, "beta-CD");
    Enter(F->NumMaxC, "40");
    EnterRealisticSet();
    for (int i = 0; i < 5; ++i) {
        if (i > 0)
            Click(F->BtnAdd);
        Enter(F->EdtName, "K2 " + std::to_string(300 + 100 * i) + " /M");
        Enter(F->NumK2, std::to_string(300 + 100 * i));
        Click(F->BtnApply);
    }
    ClickRow(3);
    Click(F->BtnHide);
    ClickRow(1);
    ClickRow(4, Qt::ControlModifier);
    ASSERT_EQ(F->LstDependencies->GetSelCount(), 2);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(F->Records[i].SeriesSet.IsVisible(), i != 3);
    EXPECT_TRUE(Errors.empty());
    QApplication::processEvents();
    F->SaveToPng(BuildPath("corvane_five.png"));
    F->ChrtDependencies->SaveToSvg(BuildPath("corvane_five.svg"));
    // The window with the chart's menu open.
    WhenMenuOpens([&](QMenu* m) {
        QImage shot = W(F)->grab().toImage();
        QPainter p(&shot);
        p.drawPixmap(m->mapToGlobal(QPoint(0, 0)) - W(F)->mapToGlobal(QPoint(0, 0)), m->grab());
        p.end();
        shot.save(QString::fromStdString(BuildPath("corvane_menu.png")));
        m->close();
    });
    RightClick(F->ChrtDependencies, F->ChrtDependencies->GetWidth() / 2, F->ChrtDependencies->GetHeight() / 3);
}
