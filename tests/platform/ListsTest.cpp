#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/qt/QtAccess.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A shown form with a multi-selection, owner-drawn list of six rows, as the main window has.
class ListBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = new TForm(nullptr);
        Form->SetBounds(0, 0, 300, 200);
        List = new TListBox(Form);
        List->SetParent(Form);
        List->SetBounds(10, 10, 200, 13 * 6 + 4);
        List->SetStyle(lbOwnerDrawFixed);
        List->SetItemHeight(13);
        List->SetMultiSelect(true);
        List->SetExtendedSelect(true);
        for (int i = 0; i < 6; ++i)
            List->Items->Add("row " + std::to_string(i));
        List->OnClick = [this](TObject*) { ++Clicks; };
        Form->Show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(WidgetOf(Form)));
    }
    void TearDown() override { delete Form; }

    void ClickRow(int Row, Qt::KeyboardModifiers Mods = Qt::NoModifier)
    {
        const TRect r = List->ItemRect(Row);
        QTest::mouseClick(WidgetOf(List), Qt::LeftButton, Mods, QPoint(r.Left + 20, r.Top + 6));
    }
    void Key(Qt::Key K, Qt::KeyboardModifiers Mods = Qt::NoModifier) { QTest::keyClick(WidgetOf(List), K, Mods); }
    std::vector<int> Marked() const
    {
        std::vector<int> rows;
        for (int i = 0; i < List->Count(); ++i)
            if (List->GetSelected(i))
                rows.push_back(i);
        return rows;
    }

    TForm* Form = nullptr;
    TListBox* List = nullptr;
    int Clicks = 0;
};

using Rows = std::vector<int>;

}  // namespace

TEST_F(ListBoxTest, CaretIsIndependentOfTheMarks)
{
    // A list with rows has a caret (the first row) and no marks yet.
    EXPECT_EQ(List->GetItemIndex(), 0);
    EXPECT_EQ(List->SelCount(), 0);

    ClickRow(2);
    EXPECT_EQ(Marked(), Rows({2}));
    EXPECT_EQ(List->GetItemIndex(), 2);

    // Ctrl+click on the caret row takes its mark away; it stays the caret.
    ClickRow(2, Qt::ControlModifier);
    EXPECT_EQ(Marked(), Rows());
    EXPECT_EQ(List->GetItemIndex(), 2);

    ClickRow(4, Qt::ControlModifier);
    ClickRow(0, Qt::ControlModifier);
    EXPECT_EQ(Marked(), Rows({0, 4}));
    EXPECT_EQ(List->GetItemIndex(), 0);
    EXPECT_EQ(Clicks, 4);

    // The program moves the caret and sets marks without OnClick.
    List->SetItemIndex(5);
    List->Selected(3) = true;
    EXPECT_EQ(List->GetItemIndex(), 5);
    EXPECT_EQ(Marked(), Rows({0, 3, 4}));
    EXPECT_TRUE(List->Selected(3));
    EXPECT_EQ(Clicks, 4);
    EXPECT_THROW(List->GetSelected(6), EListError);
}

TEST_F(ListBoxTest, ShiftSelectsARangeFromTheAnchor)
{
    ClickRow(2);
    ClickRow(5, Qt::ShiftModifier);
    EXPECT_EQ(Marked(), Rows({2, 3, 4, 5}));
    EXPECT_EQ(List->GetItemIndex(), 5);
    // The anchor stays at the row last clicked without Shift: the range turns around it.
    ClickRow(0, Qt::ShiftModifier);
    EXPECT_EQ(Marked(), Rows({0, 1, 2}));
    // Ctrl+click moves the anchor; Ctrl+Shift+click adds a range to the marks.
    ClickRow(4, Qt::ControlModifier);
    ClickRow(5, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Marked(), Rows({0, 1, 2, 4, 5}));
    // A plain click starts again.
    ClickRow(3);
    EXPECT_EQ(Marked(), Rows({3}));
    EXPECT_EQ(Clicks, 6);
}

TEST_F(ListBoxTest, KeyboardMovesCaretAndSelection)
{
    ClickRow(1);
    Key(Qt::Key_Down);
    EXPECT_EQ(Marked(), Rows({2}));
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Marked(), Rows({2, 3, 4}));
    EXPECT_EQ(List->GetItemIndex(), 4);
    // Ctrl+arrows move the caret only; Ctrl+Space toggles the caret row.
    Key(Qt::Key_Up, Qt::ControlModifier);
    Key(Qt::Key_Up, Qt::ControlModifier);
    Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(List->GetItemIndex(), 1);
    EXPECT_EQ(Marked(), Rows({2, 3, 4}));
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(Marked(), Rows({1, 2, 3, 4}));
    Key(Qt::Key_End);
    EXPECT_EQ(Marked(), Rows({5}));
    Key(Qt::Key_Down);  // at the end: nothing moves, OnClick still follows the key
    EXPECT_EQ(List->GetItemIndex(), 5);
    EXPECT_EQ(Clicks, 10);
    // Typing a row's first character goes to the next such row, round the end.
    List->Items->Put(2, "Ibuprofen");
    List->Items->Put(4, "ibu 2");
    Key(Qt::Key_I);
    EXPECT_EQ(Marked(), Rows({2}));
    Key(Qt::Key_I);
    EXPECT_EQ(Marked(), Rows({4}));
}

TEST_F(ListBoxTest, DeletingRowsKeepsAValidCaretOrNone)
{
    ClickRow(1);
    ClickRow(3, Qt::ControlModifier);
    ClickRow(5, Qt::ControlModifier);  // caret 5, marks 1 3 5
    List->Items->Delete(3);
    EXPECT_EQ(Marked(), Rows({1, 4}));  // marks go with their rows
    EXPECT_EQ(List->GetItemIndex(), 4);
    List->Items->Delete(4);             // the caret row itself, the last one
    EXPECT_EQ(List->GetItemIndex(), 3);
    EXPECT_EQ(Marked(), Rows({1}));
    // Changing a row's text keeps its mark.
    List->Items->Put(1, "renamed");
    EXPECT_TRUE(List->GetSelected(1));
    EXPECT_EQ(List->Items->Get(1), "renamed");
    while (List->Count() > 0)
        List->Items->Delete(0);
    EXPECT_EQ(List->GetItemIndex(), -1);
    EXPECT_EQ(List->SelCount(), 0);
    List->SetItemIndex(0);  // nothing to point at
    EXPECT_EQ(List->GetItemIndex(), -1);
    List->Items->Add("again");
    EXPECT_EQ(List->GetItemIndex(), 0);
    List->Items->Clear();
    EXPECT_EQ(List->GetItemIndex(), -1);
    EXPECT_EQ(Clicks, 3);
}

TEST_F(ListBoxTest, DrawItemGetsEachRowWithItsStateAndPreparedCanvas)
{
    struct TCall {
        int Index;
        TRect Rect;
        TOwnerDrawState State;
        TColor Brush;
        TColor Text;
    };
    std::vector<TCall> calls;
    List->OnDrawItem = [&](TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State) {
        EXPECT_EQ(Control, List);
        calls.push_back({Index, Rect, State, List->Canvas->Brush->GetColor(), List->Canvas->Font->GetColor()});
        List->Canvas->FillRect(Rect);
        List->Canvas->TextOut(Rect.Left + 2, Rect.Top, List->Items->Get(Index));
    };
    List->Font->SetColor(clNavy);
    List->SetColor(clCream);
    ClickRow(1);
    ClickRow(3, Qt::ControlModifier);  // marks 1 3, caret 3, focused
    ASSERT_TRUE(List->Focused());
    calls.clear();
    List->Repaint();
    QApplication::processEvents();

    ASSERT_GE(calls.size(), 6u);
    for (const TCall& c : std::vector<TCall>(calls.end() - 6, calls.end())) {
        SCOPED_TRACE(c.Index);
        EXPECT_EQ(c.Rect, TRect(2, 2 + 13 * c.Index, 198, 15 + 13 * c.Index));
        const bool selected = c.Index == 1 || c.Index == 3;
        EXPECT_EQ(c.State.Contains(odSelected), selected);
        EXPECT_EQ(c.State.Contains(odFocused), c.Index == 3);
        EXPECT_EQ(c.Brush, selected ? clHighlight : clCream);
        EXPECT_EQ(c.Text, selected ? clHighlightText : clNavy);
    }

    // On the surface: the row fills, and the focus rectangle's dots around the caret row only.
    TBitmap shot;
    shot.SetSize(List->GetWidth(), List->GetHeight());
    List->PaintTo(shot.Canvas, 0, 0);
    const TRect r3 = List->ItemRect(3);
    EXPECT_EQ(shot.Canvas->GetPixel(r3.Right - 3, r3.Top + 6), ColorToRGB(clHighlight));
    EXPECT_EQ(shot.Canvas->GetPixel(r3.Right - 3, List->ItemRect(2).Top + 6), ColorToRGB(clCream));
    int dots = 0;
    for (int x = r3.Left; x < r3.Right; ++x)
        dots += shot.Canvas->GetPixel(x, r3.Top) != ColorToRGB(clHighlight);
    EXPECT_NEAR(dots, r3.Width() / 2, 1);
    for (int x = r3.Left; x < r3.Right; ++x)
        ASSERT_EQ(shot.Canvas->GetPixel(x, List->ItemRect(1).Top), ColorToRGB(clHighlight)) << x;
}

TEST_F(ListBoxTest, ScrollsToTheCaretWhenRowsExceedTheHeight)
{
    for (int i = 6; i < 20; ++i)
        List->Items->Add("row " + std::to_string(i));
    ClickRow(0);
    Key(Qt::Key_End);
    EXPECT_EQ(List->GetItemIndex(), 19);
    EXPECT_EQ(List->GetTopIndex(), 14);
    // Rows make room for the scroll bar.
    EXPECT_LT(List->ItemRect(19).Right, 198);
    Key(Qt::Key_Home);
    EXPECT_EQ(List->GetTopIndex(), 0);
    // A click below the last row of a short list stands for the last row.
    List->Items->Clear();
    List->Items->Add("only");
    List->Items->Add("two");
    QTest::mouseClick(WidgetOf(List), Qt::LeftButton, Qt::NoModifier, QPoint(30, 70));
    EXPECT_EQ(Marked(), Rows({1}));
}

TEST_F(ListBoxTest, DoubleClickFollowsTheSelectingClick)
{
    std::vector<std::string> events;
    List->OnClick = [&](TObject*) { events.push_back("click " + std::to_string(List->GetItemIndex())); };
    List->OnDblClick = [&](TObject*) { events.push_back("dbl " + std::to_string(List->GetItemIndex())); };
    const TRect r = List->ItemRect(4);
    QTest::mouseDClick(WidgetOf(List), Qt::LeftButton, Qt::NoModifier, QPoint(r.Left + 5, r.Top + 5));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "click 4");
    EXPECT_EQ(events.back(), "dbl 4");
    EXPECT_EQ(Marked(), Rows({4}));
}

TEST_F(ListBoxTest, SingleSelectionListHasItemIndexAsItsSelection)
{
    List->SetMultiSelect(false);
    EXPECT_EQ(List->GetItemIndex(), -1);
    ClickRow(2);
    EXPECT_EQ(List->GetItemIndex(), 2);
    EXPECT_EQ(Marked(), Rows({2}));
    ClickRow(4, Qt::ControlModifier);
    EXPECT_EQ(Marked(), Rows({4}));
    List->SetItemIndex(-1);
    EXPECT_EQ(Marked(), Rows());
    List->SetItemIndex(1);
    List->Items->Delete(1);
    EXPECT_EQ(List->GetItemIndex(), -1);

    // Standard rows follow the font's height.
    List->SetStyle(lbStandard);
    const int small = List->ItemRect(0).Height();
    List->Font->SetHeight(-22);
    EXPECT_GT(List->ItemRect(0).Height(), small + 5);
    ClickRow(1);
    EXPECT_EQ(List->GetItemIndex(), 1);
}

TEST(ComboBox, UserPickFiresTheEventAndProgramChangesDoNot)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 100);
    auto* combo = new TComboBox(&form);
    combo->SetParent(&form);
    combo->SetStyle(csDropDownList);
    for (const char* s : {"Time difference", "Mobility difference", "Selectivity"})
        combo->Items->Add(s);
    std::vector<std::string> events;
    combo->OnChange = [&](TObject*) { events.push_back("change " + combo->GetText()); };
    form.Show();
    EXPECT_EQ(combo->GetItemIndex(), -1);

    combo->SetItemIndex(0);
    EXPECT_EQ(combo->GetText(), "Time difference");
    EXPECT_TRUE(events.empty());

    // The keyboard picks the next item, as the mouse in the drop-down list does.
    QTest::keyClick(WidgetOf(combo), Qt::Key_Down);
    EXPECT_EQ(combo->GetItemIndex(), 1);
    ASSERT_EQ(events, std::vector<std::string>{"change Mobility difference"});

    // With OnSelect bound, the pick goes there instead of OnChange.
    combo->OnSelect = [&](TObject*) { events.push_back("select " + std::to_string(combo->GetItemIndex())); };
    auto* box = static_cast<QComboBox*>(WidgetOf(combo));
    box->showPopup();
    QTest::keyClick(box->view(), Qt::Key_Down);
    QTest::keyClick(box->view(), Qt::Key_Return);
    EXPECT_EQ(combo->GetItemIndex(), 2);
    EXPECT_EQ(events.back(), "select 2");

    combo->Items->Put(2, "Selectivity with EOF");
    combo->Items->Delete(0);
    combo->SetItemIndex(0);
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(combo->GetText(), "Mobility difference");
}
