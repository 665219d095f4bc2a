#include "platform/Chart.h"
#include "platform/Forms.h"
#include "platform/qt/QtAccess.h"

#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace {

class ChartControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetClientWidth(700);
        Form->SetClientHeight(450);
        Chart = new TChart(Form);
        Chart->SetParent(Form);
        Chart->SetBounds(0, 0, 700, 450);
        Series = new TPointSeries(Chart);
        Chart->AddSeries(Series);
        for (int i = 0; i <= 50; ++i) Series->AddXY(i, i * 0.2);
        Chart->OnMouseMove = [this](TObject* Sender, TShiftState, int X, int Y) {
            EXPECT_EQ(Sender, Chart);
            Moves.push_back(TPoint(X, Y));
        };
        Chart->OnDblClick = [this](TObject*) { ++DblClicks; };
        Form->Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(Form)));
    }
    void TearDown() override { delete Form; }

    void Drag(TPoint From, TPoint To)
    {
        QWidget* w = WidgetOf(Chart);
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(From.X, From.Y));
        QTest::mouseMove(w, QPoint((From.X + To.X) / 2, (From.Y + To.Y) / 2));
        QTest::mouseMove(w, QPoint(To.X, To.Y));
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(To.X, To.Y));
    }

    TForm* Form = nullptr;
    TChart* Chart = nullptr;
    TPointSeries* Series = nullptr;
    std::vector<TPoint> Moves;
    int DblClicks = 0;
};

}  // namespace

TEST_F(ChartControl, DraggingDownRightZoomsAndDraggingBackUndoes)
{
    const TRect plot = Chart->GetChartRect();
    const TPoint a(plot.Left + 100, plot.Top + 50), b(plot.Left + 300, plot.Top + 200);
    const double x0 = Chart->GetBottomAxis()->CalcPosPoint(a.X);
    const double x1 = Chart->GetBottomAxis()->CalcPosPoint(b.X);
    const double y1 = Chart->GetLeftAxis()->CalcPosPoint(a.Y);
    Drag(a, b);
    ASSERT_TRUE(Chart->GetZoomed());
    EXPECT_DOUBLE_EQ(Chart->GetBottomAxis()->GetMinimum(), x0);
    EXPECT_DOUBLE_EQ(Chart->GetBottomAxis()->GetMaximum(), x1);
    EXPECT_DOUBLE_EQ(Chart->GetLeftAxis()->GetMaximum(), y1);
    // The owner saw the moves in chart pixels.
    ASSERT_FALSE(Moves.empty());
    EXPECT_EQ(Moves.back(), b);
    Drag(b, a);
    EXPECT_FALSE(Chart->GetZoomed());
    EXPECT_EQ(Chart->GetBottomAxis()->GetMaximum(), 50);
    EXPECT_EQ(Chart->GetLeftAxis()->GetMaximum(), 10);
}

TEST_F(ChartControl, AClickIsNoZoomAndADoubleClickReachesTheOwner)
{
    const TRect plot = Chart->GetChartRect();
    const TPoint p(plot.Left + 100, plot.Top + 50);
    Drag(p, TPoint(p.X + 2, p.Y + 1));
    EXPECT_FALSE(Chart->GetZoomed());
    QTest::mouseDClick(WidgetOf(Chart), Qt::LeftButton, Qt::NoModifier, QPoint(p.X, p.Y));
    EXPECT_EQ(DblClicks, 1);
    EXPECT_FALSE(Chart->GetZoomed());
}

TEST_F(ChartControl, TheZoomRectangleShowsWhileDraggingAndTheCacheIsKept)
{
    Chart->GetZoomPen()->SetColor(RGB(1, 2, 3));
    Chart->GetZoomPen()->SetWidth(2);
    QWidget* w = WidgetOf(Chart);
    const TRect plot = Chart->GetChartRect();
    Chart->Repaint();
    const int renders = Chart->PlotRenderCount();
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(plot.Left + 20, plot.Top + 20));
    QTest::mouseMove(w, QPoint(plot.Left + 200, plot.Top + 150));
    Chart->Repaint();
    TBitmap shot(700, 450);
    Chart->PaintTo(shot.GetCanvas(), 0, 0);
    int frame = 0;
    for (int x = 0; x < 700; ++x)
        if (shot.GetCanvas()->GetPixel(x, plot.Top + 20) == RGB(1, 2, 3)) ++frame;
    EXPECT_GT(frame, 60);
    EXPECT_EQ(Chart->PlotRenderCount(), renders);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(plot.Left + 200, plot.Top + 150));
    EXPECT_TRUE(Chart->GetZoomed());
}
