// The cross-hair, the double-click and the graph choice, with a real mouse over the chart.
#include "UiTestKit.h"

#include "model/Sweep.h"

namespace {

struct TLines {
    int Horizontal;
    int Vertical;
};

}  // namespace

class ChartTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        EnterRealisticSet();
        QApplication::processEvents();
        F->ChrtDependencies->Repaint();
    }

    TLines MoveTo(int X, int Y)
    {
        QTest::mouseMove(W(F->ChrtDependencies), QPoint(X, Y));
        QApplication::processEvents();
        return {F->SrrHoriz->Count(), F->SrrVert->Count()};
    }

    TChartAxis* Bottom() const { return F->ChrtDependencies->GetBottomAxis(); }
    TChartAxis* Left() const { return F->ChrtDependencies->GetLeftAxis(); }
    TChartAxis* Right() const { return F->ChrtDependencies->GetRightAxis(); }
};

TEST_F(ChartTest, CrossHairFollowsThePointerWithinThePlot)
{
    const TRect plot = F->ChrtDependencies->GetChartRect();
    const int midX = (plot.Left + plot.Right) / 2, midY = (plot.Top + plot.Bottom) / 2;

    const TLines inside = MoveTo(midX, midY);
    EXPECT_EQ(inside.Horizontal, 2);
    EXPECT_EQ(inside.Vertical, 2);
    EXPECT_DOUBLE_EQ(F->SrrHoriz->XValue(0), Bottom()->GetMinimum());
    EXPECT_DOUBLE_EQ(F->SrrHoriz->XValue(1), Bottom()->GetMaximum());
    EXPECT_DOUBLE_EQ(F->SrrHoriz->YValue(0), Left()->CalcPosPoint(midY));
    EXPECT_DOUBLE_EQ(F->SrrVert->XValue(0), Bottom()->CalcPosPoint(midX));
    EXPECT_DOUBLE_EQ(F->SrrVert->YValue(0), Left()->GetMinimum());
    EXPECT_DOUBLE_EQ(F->SrrVert->YValue(1), Left()->GetMaximum());

    // Beside the plot, within its height: only the horizontal line.
    const TLines beside = MoveTo(plot.Left - 20, midY);
    EXPECT_EQ(beside.Horizontal, 2);
    EXPECT_EQ(beside.Vertical, 0);
    // Below the plot, over the bottom labels: only the vertical line.
    const TLines below = MoveTo(midX, plot.Bottom + 10);
    EXPECT_EQ(below.Horizontal, 0);
    EXPECT_EQ(below.Vertical, 2);
    // Exactly on an axis limit: no line in that direction.
    const int minPixel = Bottom()->CalcPosValue(Bottom()->GetMinimum());
    ASSERT_DOUBLE_EQ(Bottom()->CalcPosPoint(minPixel), Bottom()->GetMinimum());
    EXPECT_EQ(MoveTo(minPixel, midY).Vertical, 0);
    const int topPixel = Left()->CalcPosValue(Left()->GetMaximum());
    ASSERT_DOUBLE_EQ(Left()->CalcPosPoint(topPixel), Left()->GetMaximum());
    EXPECT_EQ(MoveTo(midX, topPixel).Horizontal, 0);
    // The pointer leaving keeps the last lines.
    MoveTo(midX, midY);
    QTest::mouseMove(W(F->LstDependencies), QPoint(5, 5));
    QApplication::processEvents();
    EXPECT_EQ(F->SrrHoriz->Count(), 2);
    // The cross-hair never repaints the plot.
    const int renders = F->ChrtDependencies->PlotRenderCount();
    for (int i = 0; i < 10; ++i)
        MoveTo(midX + i, midY + i);
    F->ChrtDependencies->Repaint();
    EXPECT_EQ(F->ChrtDependencies->PlotRenderCount(), renders);
}

TEST_F(ChartTest, DoubleClickRestoresAutomaticRangesAfterAZoom)
{
    const double bMax = Bottom()->GetMaximum(), lMax = Left()->GetMaximum(), rMax = Right()->GetMaximum();
    const TRect plot = F->ChrtDependencies->GetChartRect();

    // A rectangle zoom: the cross-hair spans only the zoomed ranges.
    const QPoint from(plot.Left + plot.Width() / 4, plot.Top + plot.Height() / 4);
    const QPoint to(plot.Left + plot.Width() / 2, plot.Top + plot.Height() / 2);
    QTest::mousePress(W(F->ChrtDependencies), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(W(F->ChrtDependencies), to);
    QTest::mouseRelease(W(F->ChrtDependencies), Qt::LeftButton, Qt::NoModifier, to);
    QApplication::processEvents();
    ASSERT_TRUE(F->ChrtDependencies->GetZoomed());
    EXPECT_LT(Bottom()->GetMaximum(), bMax);
    MoveTo(to.x() - 5, to.y() - 5);
    EXPECT_DOUBLE_EQ(F->SrrHoriz->XValue(1), Bottom()->GetMaximum());
    EXPECT_LT(F->SrrHoriz->XValue(1), bMax);

    QTest::mouseDClick(W(F->ChrtDependencies), Qt::LeftButton, Qt::NoModifier, to);
    QApplication::processEvents();
    for (TChartAxis* a : {Bottom(), Left(), Right()})
        EXPECT_TRUE(a->GetAutomatic());
    EXPECT_DOUBLE_EQ(Bottom()->GetMaximum(), bMax);
    EXPECT_DOUBLE_EQ(Left()->GetMaximum(), lMax);
    EXPECT_DOUBLE_EQ(Right()->GetMaximum(), rMax);
    EXPECT_TRUE(F->SrrHoriz->GetActive());
    EXPECT_TRUE(F->SrrVert->GetActive());

    // After a dependency zoom as well.
    Enter(F->NumMaxC, "10");
    Click(F->BtnApply);
    Click(F->BtnAdd);
    Enter(F->NumMaxC, "40");
    Click(F->BtnApply);
    DoubleClickRow(0);
    EXPECT_DOUBLE_EQ(Bottom()->GetMaximum(), 10);
    QTest::mouseDClick(W(F->ChrtDependencies), Qt::LeftButton, Qt::NoModifier, to);
    QApplication::processEvents();
    EXPECT_TRUE(Right()->GetAutomatic());
    EXPECT_GE(Bottom()->GetMaximum(), 40);
}

TEST_F(ChartTest, GraphChoiceSweepsEveryDependency)
{
    Click(F->BtnAdd);
    Enter(F->NumK2, "800");
    Enter(F->EdtName, "second");
    Click(F->BtnApply);
    ClickRow(0);
    ASSERT_EQ(Shown(F->EdtName), "<unnamed>");

    // Pick "Selectivity" with the keyboard, as a person would.
    QTest::mouseClick(W(F->CbxGraph), Qt::LeftButton, Qt::NoModifier, Centre(F->CbxGraph));
    QApplication::processEvents();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_EQ(F->CbxGraph->GetItemIndex(), gcSelectivity);

    EXPECT_EQ(Right()->GetTitle()->GetCaption(), "Selectivity");
    for (const DependencyRecord& r : F->Records) {
        EXPECT_EQ(r.SeriesSet.MeasureSeries->GetTitle(), "Selectivity");
        const PointValues v(r.Params, r.Params.cMax);
        const TPointSeries* m = r.SeriesSet.MeasureSeries;
        EXPECT_DOUBLE_EQ(m->YValue(m->Count() - 1), v.selectivity);
    }
    // The window shows the last dependency.
    EXPECT_EQ(Shown(F->EdtName), "second");
    EXPECT_FALSE(ApplyIsRed());
}

TEST_F(MainWindowTest, GraphChoiceWithAnEmptyListDoesNothing)
{
    F->LstDependencies->SelectAll();
    ClickAndAnswer(F->BtnDelete, "Yes");
    ASSERT_TRUE(F->Records.empty());
    F->CbxGraph->SetItemIndex(3);
    F->CbxGraphChange(F->CbxGraph);
    EXPECT_TRUE(Errors.empty());
}
