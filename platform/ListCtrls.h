// List box and combo box (reached through platform/StdCtrls.h).
#pragma once

#include "platform/Controls.h"

#include <functional>
#include <memory>
#include <vector>

// ---------------------------------------------------------------------------------------------
// List box

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

enum TOwnerDrawStateType {
    odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive,
    odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = Set<TOwnerDrawStateType, odSelected, odComboBoxEdit>;

using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;

struct TListBoxScroll;

// A list of text rows with a scroll bar when they exceed its height.
//
// Selection: every row carries a selection mark; the caret (ItemIndex) is the row with the
// focus mark. With MultiSelect and ExtendedSelect a click selects one row, Ctrl+click toggles a
// row, Shift+click selects the range from the anchor (the row last clicked without Shift), and
// the arrow keys do the same from the keyboard (Ctrl+arrows move the caret only, Ctrl+Space
// toggles it). In a multi-selection list the caret is independent of the marks: an empty list
// has none (-1), a list with rows always has one. In a single-selection list ItemIndex is the
// selected row or -1.
//
// OnClick follows every selection action of the user, by mouse or keyboard; changes made by the
// program (ItemIndex, Selected, Items) fire nothing.
//
// Rows are painted on the Canvas: before each row the canvas gets the list's Font and a solid
// brush of its Color, or clHighlight and clHighlightText for a selected row; then OnDrawItem
// (or, without it, the row's text at 2 pixels from the left) draws the row, clipped to it, and
// the list draws the dotted focus rectangle around the caret row while it has the focus.
class TListBox : public TCustomControl {
public:
    explicit TListBox(TComponent* AOwner);
    ~TListBox() override;

    TStrings* GetItems() const { return Items; }
    // Takes over the texts of Value.
    void SetItems(TStrings* Value);
    int GetCount() const;
    int Count() const { return GetCount(); }
    void Clear();

    int GetItemIndex() const;
    void SetItemIndex(int Value);
    // The selection mark of a row; raises EListError for a row that does not exist.
    bool GetSelected(int Index) const;
    void SetSelected(int Index, bool Value);
    // ListBox->Selected(i) = true; bool b = ListBox->Selected(i);
    class TSelectedRef {
    public:
        TSelectedRef(TListBox* L, int I) : FList(L), FIndex(I) {}
        operator bool() const { return FList->GetSelected(FIndex); }
        TSelectedRef& operator=(bool Value)
        {
            FList->SetSelected(FIndex, Value);
            return *this;
        }

    private:
        TListBox* FList;
        int FIndex;
    };
    TSelectedRef Selected(int Index) { return TSelectedRef(this, Index); }
    bool Selected(int Index) const { return GetSelected(Index); }
    int GetSelCount() const;
    int SelCount() const { return GetSelCount(); }
    void ClearSelection();
    void SelectAll();

    bool GetMultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool GetExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool Value) { FExtendedSelect = Value; }
    TListBoxStyle GetStyle() const { return FStyle; }
    void SetStyle(TListBoxStyle Value);
    // The height of a row in owner-drawn styles; lbStandard rows follow the font.
    int GetItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value);
    // The first row shown.
    int GetTopIndex() const { return FTopIndex; }
    void SetTopIndex(int Value);

    // The rectangle of a row on the list's canvas (also for rows scrolled out of view).
    TRect ItemRect(int Index) const;
    // The row at Pos, or -1 outside the rows; without Existing, a point below the last row gives
    // the row that would stand there.
    int ItemAtPos(const TPoint& Pos, bool Existing) const;

    void Paint() override;
    void Dispatch(void* Message) override;

    TDrawItemEvent OnDrawItem;

    TStrings* const Items;

protected:
    // Draws row Index in Rect with the prepared canvas: OnDrawItem, or the row's text.
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);

    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    // A typed character moves to the next row whose text begins with it.
    void KeyPress(Char& Key) override;
    void BoundsChanged(bool Moved, bool Resized) override;
    void FontChanged() override;
    void EnabledChanged() override;

private:
    friend class TListBoxStrings;
    friend struct TListBoxScroll;

    // Row changes made through Items.
    void RowInserted(int Index);
    void RowDeleted(int Index);
    void RowsCleared();
    void RowsChanged();

    int RowHeight() const;
    // The area the rows share: inside the border, left of the scroll bar.
    TRect RowArea() const;
    // Rows that fit wholly into the row area (at least 1).
    int PageRows() const;
    int MaxTopIndex() const;
    void MakeVisible(int Index);
    bool UseMarks() const { return FMultiSelect; }
    void SelectOnly(int Index);
    void SelectRange(int From, int To, bool KeepOthers);
    // The user clicked a row (or dragged onto it, Drag): the selection rules of the mouse.
    void ClickRow(int Row, TShiftState Shift, bool Drag);
    // The user moved the caret with the keyboard to Row.
    void KeyToRow(int Row, TShiftState Shift);
    void UserChanged();
    void CheckRow(int Index) const;

    // The scroll bar (platform/qt).
    void UpdateScrollBar();
    int ScrollBarWidth() const;
    static TStrings* NewItems(TListBox* AOwner);
    static constexpr int BorderWidth = 2;  // frame line and one pixel of the list's colour

    std::vector<bool> FMarks;
    int FCaret = -1;
    int FAnchor = -1;
    int FTopIndex = 0;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    TListBoxStyle FStyle = lbStandard;
    int FItemHeight = 16;
    mutable int FTextHeight = 0;  // row height of lbStandard, measured when first needed
    bool FDragSelecting = false;
    TShiftState FDragShift;
    std::unique_ptr<TListBoxScroll> FScroll;
};

// The dotted focus rectangle: inverts every other pixel of R's outline (drawing it twice
// removes it).
void DrawFocusRect(TCanvas* Canvas, const TRect& R);

// ---------------------------------------------------------------------------------------------
// Combo box

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// A combo box on the toolkit's own. With csDropDownList the user can only pick one of the
// Items; Text is the picked item's text. When the user picks an item (mouse, keyboard or
// wheel), OnClick fires, then OnSelect, or OnChange when OnSelect is not set. Setting
// ItemIndex or Items by program fires nothing.
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;

    TStrings* GetItems() const { return Items; }
    void SetItems(TStrings* Value);
    int GetItemIndex() const;
    // -1 clears the choice; a number outside the items is ignored.
    void SetItemIndex(int Value);
    UnicodeString GetText() const override;
    // In a drop-down list: picks the item of that text, if there is one.
    void SetText(const UnicodeString& Value) override;
    TComboBoxStyle GetStyle() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    int GetDropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    bool GetDroppedDown() const;
    void SetDroppedDown(bool Value);
    void Clear();

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;

    TStrings* const Items;

protected:
    virtual void Change();
    virtual void Select();

private:
    friend struct TComboBoxAccess;
    TComboBoxStyle FStyle = csDropDown;
    int FDropDownCount = 8;
};
