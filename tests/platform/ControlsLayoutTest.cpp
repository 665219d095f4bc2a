// Layout by Align and Anchors, and painting of graphic controls on their parent's surface.
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TRect Bounds(const TControl* C)
{
    return C->GetBoundsRect();
}

// The main window's frame: a bottom panel under a splitter, and above them a chart area left of
// a splitter and a list panel.
struct TMainLayout {
    TForm* Form;
    TPanel* Bottom;
    TSplitter* HSplit;
    TPanel* Upper;
    TPanel* Chart;
    TSplitter* VSplit;
    TPanel* Right;
    TButton* Delete;
    TEdit* Stretch;

    TMainLayout()
    {
        Form = new TForm(nullptr);
        Form->SetClientWidth(1156);
        Form->SetClientHeight(679);
        Bottom = new TPanel(Form);
        Bottom->SetBevelOuter(bvNone);
        Bottom->SetBounds(0, 440, 1156, 239);
        Bottom->SetAlign(alBottom);
        Bottom->SetParent(Form);
        HSplit = new TSplitter(Form);
        HSplit->SetBounds(0, 437, 1156, 3);
        HSplit->SetAlign(alBottom);
        HSplit->SetParent(Form);
        Upper = new TPanel(Form);
        Upper->SetBevelOuter(bvNone);
        Upper->SetAlign(alClient);
        Upper->SetParent(Form);
        Right = new TPanel(Upper);
        Right->SetBevelOuter(bvNone);
        Right->SetBounds(849, 0, 307, 437);
        Right->SetAlign(alRight);
        Right->SetParent(Upper);
        VSplit = new TSplitter(Upper);
        VSplit->SetBounds(846, 0, 3, 437);
        VSplit->SetAlign(alRight);
        VSplit->SetParent(Upper);
        Chart = new TPanel(Upper);
        Chart->SetBevelOuter(bvNone);
        Chart->SetAlign(alClient);
        Chart->SetParent(Upper);
        Delete = new TButton(Right);
        Delete->SetParent(Right);
        Delete->SetBounds(215, 388, 84, 41);
        Delete->SetAnchors(TAnchors{akLeft, akBottom});
        Stretch = new TEdit(Bottom);
        Stretch->SetParent(Bottom);
        Stretch->SetBounds(8, 8, 1000, 21);
        Stretch->SetAnchors(TAnchors{akLeft, akTop, akRight});
    }
    ~TMainLayout() { delete Form; }
};

TEST(Layout, AlignPlacesTheMainWindowFrameExactly)
{
    TMainLayout l;
    EXPECT_EQ(Bounds(l.Bottom), TRect(0, 440, 1156, 679));
    EXPECT_EQ(Bounds(l.HSplit), TRect(0, 437, 1156, 440));
    EXPECT_EQ(Bounds(l.Upper), TRect(0, 0, 1156, 437));
    EXPECT_EQ(Bounds(l.Right), TRect(849, 0, 1156, 437));
    EXPECT_EQ(Bounds(l.VSplit), TRect(846, 0, 849, 437));
    EXPECT_EQ(Bounds(l.Chart), TRect(0, 0, 846, 437));
    EXPECT_EQ(Bounds(l.Delete), TRect(215, 388, 299, 429));
}

TEST(Layout, AResizeRealignsAndAppliesAnchors)
{
    TMainLayout l;
    l.Form->SetClientWidth(1000);
    l.Form->SetClientHeight(600);
    EXPECT_EQ(Bounds(l.Bottom), TRect(0, 361, 1000, 600));
    EXPECT_EQ(Bounds(l.HSplit), TRect(0, 358, 1000, 361));
    EXPECT_EQ(Bounds(l.Upper), TRect(0, 0, 1000, 358));
    EXPECT_EQ(Bounds(l.Right), TRect(693, 0, 1000, 358));
    EXPECT_EQ(Bounds(l.Chart), TRect(0, 0, 690, 358));
    // Kept at the bottom of its panel; stretched with the window's width.
    EXPECT_EQ(Bounds(l.Delete), TRect(215, 309, 299, 350));
    EXPECT_EQ(Bounds(l.Stretch), TRect(8, 8, 852, 29));
    // The widget follows the control.
    EXPECT_EQ(l.Delete->Widget()->geometry(), QRect(215, 309, 84, 41));
    l.Form->SetClientWidth(1156);
    l.Form->SetClientHeight(679);
    EXPECT_EQ(Bounds(l.Delete), TRect(215, 388, 299, 429));
    EXPECT_EQ(Bounds(l.Stretch), TRect(8, 8, 1008, 29));
}

TEST(Layout, HiddenControlsGiveUpTheirPlace)
{
    TMainLayout l;
    l.Right->Hide();
    EXPECT_EQ(Bounds(l.Chart), TRect(0, 0, 1153, 437));
    l.Right->Show();
    EXPECT_EQ(Bounds(l.Chart), TRect(0, 0, 846, 437));
}

TEST(Layout, DraggingASplitterResizesItsNeighbour)
{
    TMainLayout l;
    l.Form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(l.Form->Widget()));
    QWidget* surface = l.Upper->Widget();
    QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, QPoint(847, 100));
    QTest::mouseMove(surface, QPoint(800, 100));
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, QPoint(800, 100));
    EXPECT_EQ(Bounds(l.Right), TRect(802, 0, 1156, 437));
    EXPECT_EQ(Bounds(l.VSplit), TRect(799, 0, 802, 437));
    EXPECT_EQ(Bounds(l.Chart), TRect(0, 0, 799, 437));

    QWidget* form = l.Form->Widget();
    QTest::mousePress(form, Qt::LeftButton, Qt::NoModifier, QPoint(500, 438));
    QTest::mouseMove(form, QPoint(500, 400));
    QTest::mouseRelease(form, Qt::LeftButton, Qt::NoModifier, QPoint(500, 400));
    EXPECT_EQ(Bounds(l.Bottom), TRect(0, 402, 1156, 679));
    EXPECT_EQ(Bounds(l.Upper), TRect(0, 0, 1156, 399));
}

// Paints its whole canvas and tries to paint far beyond it.
class TBlot : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void Paint() override
    {
        ++Paints;
        Canvas->Brush->SetColor(Colour);
        Canvas->FillRect(TRect(-50, -50, 500, 500));
    }
    TColor Colour = clRed;
    int Paints = 0;
};

TEST(Painting, AGraphicControlPaintsInsideItsBoundsOnTheParentSurface)
{
    TForm form(nullptr);
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    form.SetColor(clWhite);
    auto* blot = new TBlot(&form);
    blot->SetParent(&form);
    blot->SetBounds(20, 30, 40, 10);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(100, 30, 60, 21);
    TBitmap shot(200, 100);
    form.PaintTo(shot.Canvas, 0, 0);
    EXPECT_GE(blot->Paints, 1);
    EXPECT_EQ(shot.Canvas->Pixels(20, 30), clRed);
    EXPECT_EQ(shot.Canvas->Pixels(59, 39), clRed);
    EXPECT_EQ(shot.Canvas->Pixels(19, 30), clWhite);
    EXPECT_EQ(shot.Canvas->Pixels(60, 39), clWhite);
    EXPECT_EQ(shot.Canvas->Pixels(20, 40), clWhite);
    EXPECT_EQ(shot.Canvas->Pixels(20, 29), clWhite);
    // The windowed edit lies above the surface and is drawn by its widget.
    EXPECT_NE(shot.Canvas->Pixels(130, 40), clRed);

    // Painting outside a repaint lands on the surface at once.
    blot->Colour = clBlue;
    blot->Paint();
    form.PaintTo(shot.Canvas, 0, 0);
    EXPECT_EQ(shot.Canvas->Pixels(25, 35), clBlue);
    EXPECT_EQ(shot.Canvas->Pixels(15, 35), clWhite);

    // Moving it leaves no trace behind.
    blot->SetLeft(120);
    blot->SetTop(70);
    form.PaintTo(shot.Canvas, 0, 0);
    EXPECT_EQ(shot.Canvas->Pixels(25, 35), clWhite);
    EXPECT_EQ(shot.Canvas->Pixels(125, 75), clBlue);
}

TEST(Painting, MouseEventsOverAGraphicControlReachIt)
{
    TForm form(nullptr);
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetAutoSize(false);
    label->SetBounds(30, 40, 80, 20);
    TObject* clicked = nullptr;
    TPoint down;
    label->OnClick = [&](TObject* Sender) { clicked = Sender; };
    label->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int Y) { down = TPoint(X, Y); };
    int formClicks = 0;
    form.OnClick = [&](TObject*) { ++formClicks; };
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.Widget()));
    QTest::mouseClick(form.Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 45));
    EXPECT_EQ(clicked, label);
    EXPECT_EQ(down, TPoint(10, 5));
    EXPECT_EQ(formClicks, 0);
    QTest::mouseClick(form.Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 45));
    EXPECT_EQ(formClicks, 1);
}

}  // namespace
