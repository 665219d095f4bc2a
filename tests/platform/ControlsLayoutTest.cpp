// Layout by Align and Anchors, and painting of graphic controls on their parent's surface.
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/qt/QtAccess.h"

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
    EXPECT_EQ(WidgetOf(l.Delete)->geometry(), QRect(215, 309, 84, 41));
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
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(l.Form)));
    QWidget* surface = WidgetOf(l.Upper);
    QTest::mousePress(surface, Qt::LeftButton, Qt::NoModifier, QPoint(847, 100));
    QTest::mouseMove(surface, QPoint(800, 100));
    QTest::mouseRelease(surface, Qt::LeftButton, Qt::NoModifier, QPoint(800, 100));
    EXPECT_EQ(Bounds(l.Right), TRect(802, 0, 1156, 437));
    EXPECT_EQ(Bounds(l.VSplit), TRect(799, 0, 802, 437));
    EXPECT_EQ(Bounds(l.Chart), TRect(0, 0, 799, 437));

    QWidget* form = WidgetOf(l.Form);
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
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(&form)));
    QTest::mouseClick(WidgetOf(&form), Qt::LeftButton, Qt::NoModifier, QPoint(40, 45));
    EXPECT_EQ(clicked, label);
    EXPECT_EQ(down, TPoint(10, 5));
    EXPECT_EQ(formClicks, 0);
    QTest::mouseClick(WidgetOf(&form), Qt::LeftButton, Qt::NoModifier, QPoint(150, 45));
    EXPECT_EQ(formClicks, 1);
}

}  // namespace

namespace {

// A frame that paints over its whole area and then has the control inside it refreshed, as a
// caption frame does with its label (which lies below it in z-order).
class TCover : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void Paint() override
    {
        if (Painting)
            return;
        Painting = true;
        Canvas->Brush->SetColor(clGray);
        Canvas->FillRect(GetClientRect());
        if (Inner != nullptr)
            Inner->Refresh();
        Painting = false;
    }
    TControl* Inner = nullptr;
    bool Painting = false;
};

TEST(Painting, RefreshDrawsAGraphicControlAndThoseAboveItAtOnce)
{
    TForm form(nullptr);
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    form.SetColor(clWhite);
    auto* inner = new TBlot(&form);
    inner->SetParent(&form);
    inner->SetBounds(30, 30, 20, 10);
    auto* cover = new TCover(&form);
    cover->SetParent(&form);
    cover->SetBounds(20, 20, 60, 40);
    cover->Inner = inner;
    TBitmap shot(200, 100);
    form.PaintTo(shot.Canvas, 0, 0);
    EXPECT_EQ(shot.Canvas->Pixels(35, 35), clRed);
    EXPECT_EQ(shot.Canvas->Pixels(25, 25), clGray);
    // Painting the cover by program brings the inner control back on top as well.
    inner->Colour = clBlue;
    cover->Paint();
    form.PaintTo(shot.Canvas, 0, 0);
    EXPECT_EQ(shot.Canvas->Pixels(35, 35), clBlue);
    EXPECT_EQ(shot.Canvas->Pixels(55, 45), clGray);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(&form)));
    QApplication::processEvents();
    form.PaintTo(shot.Canvas, 0, 0);
    EXPECT_EQ(shot.Canvas->Pixels(35, 35), clBlue);
}

TEST(Painting, MouseEnterAndLeaveReachGraphicControls)
{
    TForm form(nullptr);
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    auto* a = new TBlot(&form);
    a->SetParent(&form);
    a->SetBounds(10, 10, 50, 50);
    auto* b = new TBlot(&form);
    b->SetParent(&form);
    b->SetBounds(100, 10, 50, 50);
    std::vector<std::string> events;
    a->OnMouseEnter = [&](TObject*) { events.push_back("enter a"); };
    a->OnMouseLeave = [&](TObject*) { events.push_back("leave a"); };
    b->OnMouseEnter = [&](TObject*) { events.push_back("enter b"); };
    b->OnMouseLeave = [&](TObject*) { events.push_back("leave b"); };
    std::vector<TPoint> moves;
    b->OnMouseMove = [&](TObject*, TShiftState, int X, int Y) { moves.emplace_back(X, Y); };
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(&form)));
    // Start from an empty spot of the window, whatever the mouse did before.
    QTest::mouseMove(WidgetOf(&form), QPoint(80, 90));
    QTest::mouseMove(WidgetOf(&form), QPoint(85, 85));
    events.clear();
    QTest::mouseMove(WidgetOf(&form), QPoint(20, 20));
    QTest::mouseMove(WidgetOf(&form), QPoint(80, 20));
    QTest::mouseMove(WidgetOf(&form), QPoint(110, 25));
    QTest::mouseMove(WidgetOf(&form), QPoint(120, 30));
    const std::vector<std::string> want = {"enter a", "leave a", "enter b"};
    EXPECT_EQ(events, want);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back(), TPoint(20, 20));
}

TEST(Painting, CustomControlPaintsOnItsOwnSurface)
{
    struct TDisc : TCustomControl {
        using TCustomControl::TCustomControl;
        void Paint() override
        {
            Canvas->Brush->SetColor(clNavy);
            Canvas->Pen->SetColor(clNavy);
            Canvas->Rectangle(2, 2, GetWidth() - 2, GetHeight() - 2);
        }
    };
    TForm form(nullptr);
    form.SetClientWidth(100);
    form.SetClientHeight(100);
    auto* disc = new TDisc(&form);
    disc->SetParent(&form);
    disc->SetColor(clYellow);
    disc->SetBounds(10, 10, 40, 30);
    TBitmap shot(100, 100);
    form.PaintTo(shot.Canvas, 0, 0);
    EXPECT_EQ(shot.Canvas->Pixels(10, 10), clYellow);
    EXPECT_EQ(shot.Canvas->Pixels(12, 12), clNavy);
    EXPECT_EQ(shot.Canvas->Pixels(47, 37), clNavy);
    EXPECT_EQ(shot.Canvas->Pixels(48, 38), clYellow);
    EXPECT_EQ(shot.Canvas->Pixels(50, 40), ColorToRGB(clBtnFace));
}

TEST(Dragging, AControlDraggedOntoAnotherIsDroppedThere)
{
    TForm form(nullptr);
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    auto* source = new TBlot(&form);
    source->SetParent(&form);
    source->SetBounds(10, 10, 40, 40);
    source->SetDragMode(dmAutomatic);
    auto* target = new TPanel(&form);
    target->SetParent(&form);
    target->SetBounds(100, 10, 80, 80);
    TObject* dropped = nullptr;
    TPoint at;
    std::vector<TDragState> states;
    target->OnDragOver = [&](TObject*, TObject* Source, int, int, TDragState State, bool& Accept) {
        states.push_back(State);
        Accept = Source == source;
    };
    target->OnDragDrop = [&](TObject*, TObject* Source, int X, int Y) {
        dropped = Source;
        at = TPoint(X, Y);
    };
    TObject* endTarget = nullptr;
    source->OnEndDrag = [&](TObject*, TObject* Target, int, int) { endTarget = Target; };
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(&form)));
    QWidget* w = WidgetOf(&form);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_TRUE(source->Dragging());
    QTest::mouseMove(w, QPoint(60, 20));
    QTest::mouseMove(w, QPoint(120, 30));
    QTest::mouseMove(w, QPoint(130, 40));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(130, 40));
    EXPECT_FALSE(source->Dragging());
    EXPECT_EQ(dropped, source);
    EXPECT_EQ(at, TPoint(30, 30));
    EXPECT_EQ(endTarget, target);
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ(states.front(), dsDragEnter);
    EXPECT_EQ(states.back(), dsDragMove);
}

}  // namespace

namespace {

TEST(Painting, AnExceptionInPaintIsShownAfterThePaint)
{
    struct TFaulty : TGraphicControl {
        using TGraphicControl::TGraphicControl;
        void Paint() override
        {
            if (Fail)
                throw EInvalidOp("Invalid floating point operation");
            Canvas->Brush->SetColor(clGreen);
            Canvas->FillRect(GetClientRect());
        }
        bool Fail = true;
    };
    std::vector<UnicodeString> errors;
    Application->OnException = [&](TObject*, Exception* E) { errors.push_back(E->Message()); };
    TForm form(nullptr);
    form.SetClientWidth(100);
    form.SetClientHeight(100);
    auto* faulty = new TFaulty(&form);
    faulty->SetParent(&form);
    faulty->SetBounds(10, 10, 20, 20);
    TBitmap shot(100, 100);
    form.PaintTo(shot.Canvas, 0, 0);
    EXPECT_TRUE(errors.empty());
    QApplication::processEvents();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Invalid floating point operation");
    faulty->Fail = false;
    faulty->Invalidate();
    form.PaintTo(shot.Canvas, 0, 0);
    QApplication::processEvents();
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(shot.Canvas->Pixels(15, 15), clGreen);
    Application->OnException = nullptr;
}

}  // namespace

namespace {

TEST(Destruction, ControlsDestroyedByTheirOwnMouseHandlersDoNotBreakTheEventPath)
{
    TForm form(nullptr);
    form.SetClientWidth(300);
    form.SetClientHeight(200);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 50, 20);
    label->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { delete label; };
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(100, 10, 150, 100);
    auto* button = new TButton(&form);
    button->SetParent(panel);
    button->SetBounds(10, 10, 80, 30);
    // The button's click destroys the panel that holds it.
    button->OnClick = [&](TObject*) { delete panel; };
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(&form)));
    QTest::mouseClick(WidgetOf(&form), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(form.ControlCount(), 1);
    QPointer<QWidget> buttonWidget = WidgetOf(button);
    QTest::mouseClick(buttonWidget.data(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(form.ControlCount(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(buttonWidget.isNull());
    // The window still answers.
    int clicks = 0;
    form.OnClick = [&](TObject*) { ++clicks; };
    QTest::mouseClick(WidgetOf(&form), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(clicks, 1);
}

TEST(Destruction, AFormReleasedByItsButtonGoesAfterTheEvent)
{
    auto* form = new TForm(nullptr);
    auto* button = new TButton(form);
    button->SetParent(form);
    const auto life = form->LifeToken();
    button->OnClick = [&](TObject*) { form->Release(); };
    form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(form)));
    QTest::mouseClick(WidgetOf(button), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(life.expired());
    EXPECT_FALSE(form->GetVisible());
    QApplication::processEvents();
    EXPECT_TRUE(life.expired());
}

TEST(Destruction, AParentDestroysItsChildrenAndOwnersForgetThem)
{
    TForm owner(nullptr);
    auto* panel = new TPanel(&owner);
    panel->SetParent(&owner);
    auto* edit = new TEdit(&owner);  // owned by the form, parented by the panel
    edit->SetParent(panel);
    auto* label = new TLabel(&owner);
    label->SetParent(panel);
    EXPECT_EQ(owner.ComponentCount(), 3);
    delete panel;
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_EQ(owner.ControlCount(), 0);
}

}  // namespace

namespace {

TEST(Layout, AnchorsWithoutOppositeSidesKeepTheRelativeCentre)
{
    TForm form(nullptr);
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    auto* centred = new TPanel(&form);
    centred->SetParent(&form);
    centred->SetBounds(80, 40, 40, 20);
    centred->SetAnchors(TAnchors{});
    auto* corner = new TPanel(&form);
    corner->SetParent(&form);
    corner->SetBounds(150, 70, 40, 20);
    corner->SetAnchors(TAnchors{akRight, akBottom});
    form.SetClientWidth(400);
    form.SetClientHeight(200);
    EXPECT_EQ(centred->GetBoundsRect(), TRect(180, 90, 220, 110));
    EXPECT_EQ(corner->GetBoundsRect(), TRect(350, 170, 390, 190));
    // Moving a control by program records its new distances.
    corner->SetLeft(300);
    form.SetClientWidth(300);
    EXPECT_EQ(corner->GetLeft(), 200);
}

TEST(Layout, DisableAlignDefersTheLayoutToEnableAlign)
{
    TForm form(nullptr);
    form.SetClientWidth(200);
    form.SetClientHeight(100);
    auto* top = new TPanel(&form);
    top->SetParent(&form);
    top->SetHeight(30);
    form.DisableAlign();
    top->SetAlign(alTop);
    auto* rest = new TPanel(&form);
    rest->SetParent(&form);
    rest->SetAlign(alClient);
    EXPECT_EQ(top->GetWidth(), 185);  // not laid out yet
    form.EnableAlign();
    EXPECT_EQ(top->GetBoundsRect(), TRect(0, 0, 200, 30));
    EXPECT_EQ(rest->GetBoundsRect(), TRect(0, 30, 200, 100));
    // Two top-aligned controls stack in the order of their tops.
    auto* above = new TPanel(&form);
    above->SetParent(&form);
    above->SetBounds(0, -5, 10, 10);
    above->SetAlign(alTop);
    EXPECT_EQ(above->GetBoundsRect(), TRect(0, 0, 200, 10));
    EXPECT_EQ(top->GetBoundsRect(), TRect(0, 10, 200, 40));
    EXPECT_EQ(rest->GetBoundsRect(), TRect(0, 40, 200, 100));
}

TEST(Layout, ASplitterKeepsTheMinimumSizeOrSnapsShut)
{
    TForm form(nullptr);
    form.SetClientWidth(400);
    form.SetClientHeight(100);
    auto* left = new TPanel(&form);
    left->SetParent(&form);
    left->SetWidth(100);
    left->SetAlign(alLeft);
    auto* split = new TSplitter(&form);
    split->SetParent(&form);
    split->SetLeft(100);
    split->SetAlign(alLeft);
    auto* rest = new TPanel(&form);
    rest->SetParent(&form);
    rest->SetAlign(alClient);
    EXPECT_EQ(split->GetBoundsRect(), TRect(100, 0, 103, 100));
    int moved = 0;
    split->OnMoved = [&](TObject*) { ++moved; };
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(WidgetOf(&form)));
    QWidget* w = WidgetOf(&form);
    auto drag = [w](int From, int To) {
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(From, 50));
        QTest::mouseMove(w, QPoint(To, 50));
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(To, 50));
    };
    drag(101, 500);  // the rest keeps MinSize (30)
    EXPECT_EQ(left->GetWidth(), 400 - 3 - 30);
    EXPECT_EQ(rest->GetWidth(), 30);
    drag(368, 50);
    EXPECT_EQ(left->GetWidth(), 49);
    split->SetAutoSnap(false);
    drag(50, 10);
    EXPECT_EQ(left->GetWidth(), 30);
    split->SetAutoSnap(true);
    drag(31, 5);  // below MinSize: snaps shut
    EXPECT_EQ(left->GetWidth(), 0);
    EXPECT_EQ(split->GetLeft(), 0);
    drag(1, 80);  // and opens again from there
    EXPECT_EQ(left->GetWidth(), 79);
    EXPECT_EQ(moved, 5);
    EXPECT_EQ(split->GetCursor(), crHSplit);
}

TEST(Painting, BringToFrontChangesThePaintOrder)
{
    TForm form(nullptr);
    form.SetClientWidth(100);
    form.SetClientHeight(100);
    auto* red = new TBlot(&form);
    red->SetParent(&form);
    red->SetBounds(10, 10, 50, 50);
    auto* blue = new TBlot(&form);
    blue->Colour = clBlue;
    blue->SetParent(&form);
    blue->SetBounds(30, 30, 50, 50);
    TBitmap shot(100, 100);
    form.PaintTo(shot.Canvas, 0, 0);
    EXPECT_EQ(shot.Canvas->Pixels(40, 40), clBlue);
    red->BringToFront();
    form.PaintTo(shot.Canvas, 0, 0);
    EXPECT_EQ(shot.Canvas->Pixels(40, 40), clRed);
    EXPECT_EQ(form.Controls(1), red);
    red->SendToBack();
    form.PaintTo(shot.Canvas, 0, 0);
    EXPECT_EQ(shot.Canvas->Pixels(40, 40), clBlue);
}

}  // namespace
