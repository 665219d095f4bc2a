#include "platform/ListCtrls.h"

#include <algorithm>
#include <cctype>

// The rows of a list box: keeps the list's marks and caret in step with every change.
class TListBoxStrings : public TStrings {
public:
    explicit TListBoxStrings(TListBox* AOwner) : FList(AOwner) {}

    int GetCount() const override { return static_cast<int>(FItems.size()); }
    UnicodeString Get(int Index) const override
    {
        CheckIndex(Index, GetCount());
        return FItems[static_cast<size_t>(Index)];
    }
    // Changes the text only: the row keeps its mark and the caret.
    void Put(int Index, const UnicodeString& S) override
    {
        CheckIndex(Index, GetCount());
        FItems[static_cast<size_t>(Index)] = S;
        FList->RowsChanged();
    }
    void Insert(int Index, const UnicodeString& S) override
    {
        CheckIndex(Index, GetCount() + 1);
        FItems.insert(FItems.begin() + Index, S);
        FList->RowInserted(Index);
    }
    void Delete(int Index) override
    {
        CheckIndex(Index, GetCount());
        FItems.erase(FItems.begin() + Index);
        FList->RowDeleted(Index);
    }
    void Clear() override
    {
        FItems.clear();
        FList->RowsCleared();
    }

private:
    TListBox* FList;
    std::vector<UnicodeString> FItems;
};

void DrawFocusRect(TCanvas* Canvas, const TRect& R)
{
    if (R.Width() <= 0 || R.Height() <= 0)
        return;
    auto invert = [Canvas](int x, int y) {
        // The dots keep their place on the surface, as a pattern brush aligned to it would.
        const TPoint o = Canvas->GetOrigin();
        if (((x + o.X + y + o.Y) & 1) != 0)
            return;
        const TColor c = Canvas->GetPixel(x, y);
        if (c != clNone)
            Canvas->SetPixel(x, y, c ^ 0xFFFFFF);
    };
    for (int x = R.Left; x < R.Right; ++x) {
        invert(x, R.Top);
        if (R.Bottom - 1 > R.Top)
            invert(x, R.Bottom - 1);
    }
    for (int y = R.Top + 1; y < R.Bottom - 1; ++y) {
        invert(R.Left, y);
        if (R.Right - 1 > R.Left)
            invert(R.Right - 1, y);
    }
}

TStrings* TListBox::NewItems(TListBox* AOwner) { return new TListBoxStrings(AOwner); }

// ---- Rows and selection -------------------------------------------------------------------

int TListBox::GetCount() const { return Items->GetCount(); }

void TListBox::Clear() { Items->Clear(); }

void TListBox::SetItems(TStrings* Value)
{
    if (Value == nullptr || Value == Items)
        return;
    Items->BeginUpdate();
    Items->Clear();
    for (int i = 0; i < Value->GetCount(); ++i)
        Items->Add(Value->Get(i));
    Items->EndUpdate();
}

void TListBox::RowInserted(int Index)
{
    FMarks.insert(FMarks.begin() + Index, false);
    if (FCaret >= Index)
        ++FCaret;
    else if (FCaret < 0 && UseMarks())
        FCaret = 0;  // a multi-selection list with rows always has a caret
    if (FAnchor >= Index)
        ++FAnchor;
    RowsChanged();
}

void TListBox::RowDeleted(int Index)
{
    FMarks.erase(FMarks.begin() + Index);
    const int count = GetCount();
    auto follow = [&](int& row, bool keepRow) {
        if (row > Index)
            --row;
        else if (row == Index && !keepRow)
            row = -1;
        if (row >= count)
            row = count - 1;
    };
    // The caret of a multi-selection list moves to the row that took the deleted one's place;
    // a single-selection list loses its selected row.
    follow(FCaret, UseMarks());
    follow(FAnchor, true);
    FTopIndex = std::clamp(FTopIndex, 0, MaxTopIndex());
    RowsChanged();
}

void TListBox::RowsCleared()
{
    FMarks.clear();
    FCaret = -1;
    FAnchor = -1;
    FTopIndex = 0;
    RowsChanged();
}

void TListBox::RowsChanged()
{
    FTopIndex = std::clamp(FTopIndex, 0, MaxTopIndex());
    UpdateScrollBar();
    Invalidate();
}

void TListBox::CheckRow(int Index) const
{
    CheckListIndex(Index, GetCount());
}

int TListBox::GetItemIndex() const { return FCaret; }

void TListBox::SetItemIndex(int Value)
{
    if (UseMarks()) {
        // Moves the caret only; a multi-selection list with rows keeps one.
        if (Value < 0 || Value >= GetCount() || Value == FCaret)
            return;
        FCaret = Value;
    } else if (Value < 0 || Value >= GetCount()) {
        if (FCaret < 0)
            return;
        std::fill(FMarks.begin(), FMarks.end(), false);
        FCaret = -1;
    } else {
        SelectOnly(Value);
        FAnchor = Value;
    }
    MakeVisible(FCaret);
    Invalidate();
}

bool TListBox::GetSelected(int Index) const
{
    CheckRow(Index);
    return FMarks[static_cast<size_t>(Index)];
}

void TListBox::SetSelected(int Index, bool Value)
{
    CheckRow(Index);
    if (FMarks[static_cast<size_t>(Index)] == Value)
        return;
    if (UseMarks()) {
        FMarks[static_cast<size_t>(Index)] = Value;
    } else if (Value) {
        SelectOnly(Index);
    } else {
        FMarks[static_cast<size_t>(Index)] = false;
        FCaret = -1;
    }
    Invalidate();
}

int TListBox::GetSelCount() const
{
    if (!UseMarks())
        return -1;  // as the original platform answers for a single-selection list
    return static_cast<int>(std::count(FMarks.begin(), FMarks.end(), true));
}

void TListBox::ClearSelection()
{
    if (!UseMarks()) {
        SetItemIndex(-1);
        return;
    }
    std::fill(FMarks.begin(), FMarks.end(), false);
    Invalidate();
}

void TListBox::SelectAll()
{
    if (!UseMarks())
        return;
    std::fill(FMarks.begin(), FMarks.end(), true);
    Invalidate();
}

void TListBox::SetMultiSelect(bool Value)
{
    if (FMultiSelect == Value)
        return;
    FMultiSelect = Value;
    if (Value) {
        if (FCaret < 0 && GetCount() > 0)
            FCaret = 0;
    } else {
        // A single-selection list keeps the caret row selected, if it was.
        const bool keep = FCaret >= 0 && FMarks[static_cast<size_t>(FCaret)];
        std::fill(FMarks.begin(), FMarks.end(), false);
        if (keep)
            FMarks[static_cast<size_t>(FCaret)] = true;
        else
            FCaret = -1;
    }
    Invalidate();
}

void TListBox::SelectOnly(int Index)
{
    std::fill(FMarks.begin(), FMarks.end(), false);
    FMarks[static_cast<size_t>(Index)] = true;
    FCaret = Index;
}

void TListBox::SelectRange(int From, int To, bool KeepOthers)
{
    if (!KeepOthers)
        std::fill(FMarks.begin(), FMarks.end(), false);
    if (From > To)
        std::swap(From, To);
    for (int i = std::max(From, 0); i <= To && i < GetCount(); ++i)
        FMarks[static_cast<size_t>(i)] = true;
}

void TListBox::ClickRow(int Row, TShiftState Shift, bool Drag)
{
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool shift = Shift.Contains(ssShift);
    if (!UseMarks()) {
        SelectOnly(Row);
        FAnchor = Row;
    } else if (!FExtendedSelect) {
        // Every click toggles its row.
        if (!Drag)
            FMarks[static_cast<size_t>(Row)] = !FMarks[static_cast<size_t>(Row)];
        FCaret = Row;
    } else if (shift || Drag) {
        if (FAnchor < 0)
            FAnchor = FCaret >= 0 ? FCaret : Row;
        SelectRange(FAnchor, Row, ctrl);
        FCaret = Row;
    } else if (ctrl) {
        FMarks[static_cast<size_t>(Row)] = !FMarks[static_cast<size_t>(Row)];
        FCaret = FAnchor = Row;
    } else {
        SelectOnly(Row);
        FAnchor = Row;
    }
    MakeVisible(FCaret);
    UserChanged();
}

void TListBox::KeyToRow(int Row, TShiftState Shift)
{
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool shift = Shift.Contains(ssShift);
    if (!UseMarks()) {
        SelectOnly(Row);
        FAnchor = Row;
    } else if (!FExtendedSelect || (ctrl && !shift)) {
        FCaret = Row;  // the caret moves, the marks stay
    } else if (shift) {
        if (FAnchor < 0)
            FAnchor = FCaret >= 0 ? FCaret : Row;
        SelectRange(FAnchor, Row, ctrl);
        FCaret = Row;
    } else {
        SelectOnly(Row);
        FAnchor = Row;
    }
    MakeVisible(FCaret);
    UserChanged();
}

void TListBox::UserChanged()
{
    Invalidate();
    Click();
}

// ---- Geometry ------------------------------------------------------------------------------

void TListBox::SetStyle(TListBoxStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    RowsChanged();
}

void TListBox::SetItemHeight(int Value)
{
    if (Value <= 0 || FItemHeight == Value)
        return;
    FItemHeight = Value;
    RowsChanged();
}

int TListBox::RowHeight() const
{
    if (FStyle != lbStandard)
        return std::max(FItemHeight, 1);
    // Standard rows are as high as the font's text; measured apart from the Canvas, whose font
    // a row's drawing may have changed.
    if (FTextHeight <= 0) {
        TCanvas measure;
        measure.Font->Assign(Font);
        FTextHeight = std::max(measure.TextHeight("Wg"), 1);
    }
    return FTextHeight;
}

TRect TListBox::RowArea() const
{
    const int right = std::max(BorderWidth, GetWidth() - BorderWidth - ScrollBarWidth());
    return TRect(BorderWidth, BorderWidth, right, std::max(BorderWidth, GetHeight() - BorderWidth));
}

int TListBox::PageRows() const { return std::max(1, RowArea().Height() / RowHeight()); }

int TListBox::MaxTopIndex() const { return std::max(0, GetCount() - PageRows()); }

void TListBox::SetTopIndex(int Value)
{
    Value = std::clamp(Value, 0, MaxTopIndex());
    if (Value == FTopIndex)
        return;
    FTopIndex = Value;
    UpdateScrollBar();
    Invalidate();
}

void TListBox::MakeVisible(int Index)
{
    if (Index < 0)
        return;
    if (Index < FTopIndex)
        SetTopIndex(Index);
    else if (Index >= FTopIndex + PageRows())
        SetTopIndex(Index - PageRows() + 1);
}

TRect TListBox::ItemRect(int Index) const
{
    const TRect area = RowArea();
    const int h = RowHeight();
    const int top = area.Top + (Index - FTopIndex) * h;
    return TRect(area.Left, top, area.Right, top + h);
}

int TListBox::ItemAtPos(const TPoint& Pos, bool Existing) const
{
    const TRect area = RowArea();
    if (Pos.X < area.Left || Pos.X >= area.Right || Pos.Y < area.Top)
        return -1;
    const int row = FTopIndex + (Pos.Y - area.Top) / RowHeight();
    if (row < GetCount())
        return row;
    return Existing ? -1 : GetCount();
}

void TListBox::BoundsChanged(bool Moved, bool Resized)
{
    TCustomControl::BoundsChanged(Moved, Resized);
    if (Resized)
        RowsChanged();
}

void TListBox::FontChanged()
{
    FTextHeight = 0;
    TCustomControl::FontChanged();
    RowsChanged();
}

void TListBox::EnabledChanged()
{
    TCustomControl::EnabledChanged();
    Invalidate();
}

// ---- Painting ------------------------------------------------------------------------------

void TListBox::Paint()
{
    TCanvas* cv = Canvas;
    const TRect all(0, 0, GetWidth(), GetHeight());
    cv->Brush->SetStyle(bsSolid);
    cv->Brush->SetColor(GetColor());
    cv->FillRect(all);

    const TRect area = RowArea();
    const TRect outerClip = cv->GetClipRect();
    const bool focused = Focused();
    for (int i = FTopIndex; i < GetCount(); ++i) {
        const TRect r = ItemRect(i);
        if (r.Top >= area.Bottom)
            break;
        TRect clip(std::max(r.Left, outerClip.Left), std::max(r.Top, outerClip.Top),
                   std::min(r.Right, outerClip.Right), std::min({r.Bottom, area.Bottom, outerClip.Bottom}));
        if (clip.Width() <= 0 || clip.Height() <= 0)
            continue;
        TOwnerDrawState state;
        if (FMarks[static_cast<size_t>(i)])
            state << odSelected;
        if (focused && i == FCaret)
            state << odFocused;
        if (!GetEnabled())
            state << odDisabled;
        cv->SetClipRect(clip);
        cv->Font->Assign(Font);
        cv->Brush->SetStyle(bsSolid);
        cv->Brush->SetColor(GetColor());
        if (state.Contains(odSelected)) {
            cv->Brush->SetColor(clHighlight);
            cv->Font->SetColor(clHighlightText);
        }
        const TAliveCheck alive(this);
        DrawItem(i, r, state);
        if (!alive)
            return;
        if (state.Contains(odFocused))
            DrawFocusRect(cv, r);
        cv->SetClipRect(outerClip);
    }
    cv->SetClipRect(outerClip);

    // A sunken frame, as list boxes have.
    cv->Brush->SetStyle(bsSolid);
    cv->Brush->SetColor(clBtnShadow);
    cv->FrameRect(all);
    cv->Brush->SetColor(GetColor());
    cv->FrameRect(TRect(1, 1, GetWidth() - 1, GetHeight() - 1));
}

void TListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    Canvas->FillRect(Rect);
    Canvas->TextOut(Rect.Left + 2, Rect.Top, Items->Get(Index));
}

// ---- Mouse and keyboard --------------------------------------------------------------------

void TListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TAliveCheck alive(this);
    if (Button == mbLeft && CanFocus() && !Focused()) {
        SetFocus();
        if (!alive)
            return;
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (!alive || Button != mbLeft || GetCount() == 0)
        return;
    // A click below the last row stands for the last row.
    int row = ItemAtPos(TPoint(std::clamp(X, RowArea().Left, RowArea().Right - 1), std::max(Y, RowArea().Top)), false);
    row = std::min(row, GetCount() - 1);
    if (row < 0)
        return;
    FDragSelecting = !Shift.Contains(ssDouble);
    FDragShift = Shift;
    ClickRow(row, Shift, false);
    if (alive && Shift.Contains(ssDouble))
        DblClick();
}

void TListBox::MouseMove(TShiftState Shift, int X, int Y)
{
    const TAliveCheck alive(this);
    TCustomControl::MouseMove(Shift, X, Y);
    if (!alive || !FDragSelecting || !Shift.Contains(ssLeft) || GetCount() == 0)
        return;
    // Dragging with the button held extends the selection from the anchor (multi-selection)
    // or moves the single selection; beyond the top or bottom the list scrolls.
    const TRect area = RowArea();
    int row;
    if (Y < area.Top)
        row = std::max(FTopIndex - 1, 0);
    else if (Y >= area.Bottom)
        row = std::min(FTopIndex + PageRows(), GetCount() - 1);
    else
        row = std::min(ItemAtPos(TPoint(area.Left, Y), false), GetCount() - 1);
    if (row == FCaret || (UseMarks() && !FExtendedSelect))
        return;
    ClickRow(row, FDragShift, true);
}

void TListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft)
        FDragSelecting = false;
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TListBox::KeyDown(Word& Key, TShiftState Shift)
{
    const TAliveCheck alive(this);
    TCustomControl::KeyDown(Key, Shift);
    if (!alive || GetCount() == 0)
        return;
    const int last = GetCount() - 1;
    const int caret = FCaret;
    int row;
    switch (Key) {
    case VK_UP:
        row = caret < 0 ? 0 : caret - 1;
        break;
    case VK_DOWN:
        row = caret < 0 ? 0 : caret + 1;
        break;
    case VK_PRIOR:
        row = caret < 0 ? 0 : caret - (PageRows() - 1 > 0 ? PageRows() - 1 : 1);
        break;
    case VK_NEXT:
        row = caret < 0 ? 0 : caret + (PageRows() - 1 > 0 ? PageRows() - 1 : 1);
        break;
    case VK_HOME:
        row = 0;
        break;
    case VK_END:
        row = last;
        break;
    case VK_SPACE: {
        if (caret < 0)
            return;
        const bool ctrl = Shift.Contains(ssCtrl);
        if (UseMarks() && (!FExtendedSelect || ctrl) && !Shift.Contains(ssShift)) {
            FMarks[static_cast<size_t>(caret)] = !FMarks[static_cast<size_t>(caret)];
            FAnchor = caret;
            UserChanged();
        } else {
            ClickRow(caret, Shift, false);
        }
        return;
    }
    default:
        return;
    }
    KeyToRow(std::clamp(row, 0, last), Shift);
}

void TListBox::KeyPress(Char& Key)
{
    const TAliveCheck alive(this);
    TCustomControl::KeyPress(Key);
    if (!alive || Key <= L' ' || Key > 0x7E || GetCount() == 0)
        return;
    const int wanted = std::tolower(static_cast<int>(Key));
    const int count = GetCount();
    for (int step = 1; step <= count; ++step) {
        const int row = (std::max(FCaret, 0) + step) % count;
        const UnicodeString text = Items->Get(row);
        if (!text.empty() && std::tolower(static_cast<unsigned char>(text[0])) == wanted) {
            KeyToRow(row, TShiftState());
            return;
        }
    }
}

void TListBox::Dispatch(void* Message)
{
    TMessage& m = *static_cast<TMessage*>(Message);
    switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate();  // the focus rectangle comes or goes
        break;
    case WM_MOUSEWHEEL: {
        const int delta = static_cast<std::int16_t>(static_cast<Word>(m.WParam >> 16));
        if (delta != 0)
            SetTopIndex(FTopIndex - (delta > 0 ? 3 : -3));
        break;
    }
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// Combo box (the toolkit's part is in platform/qt/QtListCtrls.cpp)

TComboBox::~TComboBox()
{
    FControlDestroying = true;
    delete Items;
}

void TComboBox::SetItems(TStrings* Value)
{
    if (Value == nullptr || Value == Items)
        return;
    Items->Clear();
    for (int i = 0; i < Value->GetCount(); ++i)
        Items->Add(Value->Get(i));
}

void TComboBox::Clear()
{
    Items->Clear();
    SetItemIndex(-1);
}

void TComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TComboBox::Select()
{
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}
