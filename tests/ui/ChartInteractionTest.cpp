// The cross-hair, the double-click and the graph choice, with a real mouse over the chart.
#include "UiTestKit.h"

#include "model/Sweep.h"
#include "tests/TempFolder.h"
#include "tests/platform/ChartAxisChecks.h"

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

namespace {

struct TRanges {
    double Min[3], Max[3];
    bool operator==(const TRanges&) const = default;
};

TRanges RangesOf(TChart* Chart)
{
    TRanges r;
    TChartAxis* axes[3] = {Chart->GetBottomAxis(), Chart->GetLeftAxis(), Chart->GetRightAxis()};
    for (int i = 0; i < 3; ++i) {
        r.Min[i] = axes[i]->GetMinimum();
        r.Max[i] = axes[i]->GetMaximum();
    }
    return r;
}

}  // namespace

// Small rectangles dragged in the middle of the start-up chart zoom deeper and deeper until the
// axes reach the narrowest range they label (around 10 on the bottom axis after a few zooms,
// around 0 on the others only near the smallest doubles); from there a zoom changes nothing,
// and a drag back still undoes the last zoom that did.
TEST_F(MainWindowTest, SmallZoomsStopAtTheNarrowestReadableView)
{
    TChart* chart = F->ChrtDependencies;
    chart->Repaint();
    auto zoom = [&](int Size) {
        const TRect p = chart->GetChartRect();
        const QPoint from((p.Left + p.Right) / 2 - Size / 2, (p.Top + p.Bottom) / 2 - Size / 2);
        const QPoint to = from + (Size > 0 ? QPoint(Size, Size) : QPoint(-30, -30));
        QTest::mousePress(W(chart), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(W(chart), to);
        QTest::mouseRelease(W(chart), Qt::LeftButton, Qt::NoModifier, to);
        QApplication::processEvents();
        chart->Repaint();
    };
    // Readable, and no wider than a zoom held at the narrowest.
    auto narrowest = [](const TRanges& View, int Axis) {
        const double width = View.Max[Axis] - View.Min[Axis];
        const double least = TAxisScale::LeastWidth(std::fabs(View.Min[Axis] / 2 + View.Max[Axis] / 2));
        return !TAxisScale::IsFlat(View.Min[Axis], View.Max[Axis]) && width <= 2.02 * least;
    };
    std::vector<TRanges> views{RangesOf(chart)};
    for (int i = 0; i < 300 && (i < 8 || !(views[i] == views[i - 1])); ++i) {
        SCOPED_TRACE(i);
        zoom(6);
        ExpectReadableAxes(chart);
        views.push_back(RangesOf(chart));
        // Every zoom narrows the view or keeps it.
        for (int a = 0; a < 3; ++a)
            ASSERT_LE(views[i + 1].Max[a] - views[i + 1].Min[a], views[i].Max[a] - views[i].Min[a]);
        if (i == 7) {
            // The bottom axis has stopped at its narrowest.
            EXPECT_TRUE(narrowest(views[8], 0));
            EXPECT_EQ(views[8].Min[0], views[7].Min[0]);
            EXPECT_EQ(views[8].Max[0], views[7].Max[0]);
        }
    }
    ASSERT_TRUE(views.back() == views[views.size() - 2]) << "the zooms went on changing the view";
    for (int a = 0; a < 3; ++a) EXPECT_TRUE(narrowest(views.back(), a)) << a;
    // Undo returns to the last view before.
    size_t back = views.size() - 1;
    while (back > 0 && views[back - 1] == views.back()) --back;
    ASSERT_GT(back, 0u);
    zoom(-1);
    EXPECT_TRUE(RangesOf(chart) == views[back - 1]);
    ExpectReadableAxes(chart);
    QTest::mouseDClick(W(chart), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    QApplication::processEvents();
    EXPECT_FALSE(chart->GetZoomed());
    EXPECT_TRUE(RangesOf(chart) == views.front());
    EXPECT_TRUE(Errors.empty());
}

// Projects whose curves are flat to the last bits, loaded with the Load button: every axis of the
// chart shows a readable range.
TEST_F(MainWindowTest, FlatCurvesOfALoadedProjectShowOnReadableAxes)
{
    TTempFolder folder("corvane-flat");
    const struct {
        const char* Name;
        const char* Mobilities;
        int Graph;
    } cases[] = {
        {"equal analytes, K 1E-17", "u01=2E-8\r\nu02=2E-8\r\nu1=5E-9\r\nu2=5E-9\r\n", gcTimeDifference},
        {"four equal mobilities", "u01=2E-8\r\nu02=2E-8\r\nu1=2E-8\r\nu2=2E-8\r\n", gcSelectivity},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = folder.Path(std::string(c.Name) + ".ini");
        WriteFileBytes(path, std::string("[General]\r\nDecSep=46\r\nCount=1\r\n[Dependency0]\r\nname=flat\r\n")
                                 + c.Mobilities + "K1=1E-17\r\nK2=1E-17\r\n");
        F->CbxGraph->SetItemIndex(c.Graph);
        F->OpenDialog1->SetFileName(path);
        WhenModalOpens([&](QWidget* w) { PressKey(w, Qt::Key_Return); });
        TBoxAnswerer report;   // the file leaves keys out, and the load says so
        Click(F->BtnLoad);
        EXPECT_EQ(report.Texts.size(), 1u);
        ASSERT_EQ(F->Records.size(), 1u);
        ASSERT_EQ(F->ChrtDependencies->GetTitle()->GetText()->Get(0), path);
        F->ChrtDependencies->Repaint();
        ExpectReadableAxes(F->ChrtDependencies);
        // The times, flat to the last bits, show as a flat curve does: a tenth of their value
        // either side.
        const TPointSeries* t1 = F->Records[0].SeriesSet.t1Series;
        const double time = t1->MaxYValue();
        EXPECT_NEAR(F->ChrtDependencies->GetLeftAxis()->GetMinimum(), 0.9 * time, 1e-9 * time);
        EXPECT_NEAR(F->ChrtDependencies->GetLeftAxis()->GetMaximum(), 1.1 * time, 1e-9 * time);
    }
    EXPECT_TRUE(Errors.empty());
}
