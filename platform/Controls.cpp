// Controls: the toolkit-free part (properties, messages, layout, tab order, dragging).
#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// TControl

int TSizeConstraints::Width(int Value) const
{
    if (FMaxWidth > 0) Value = std::min(Value, FMaxWidth);
    return std::max(Value, FMinWidth);
}

int TSizeConstraints::Height(int Value) const
{
    if (FMaxHeight > 0) Value = std::min(Value, FMaxHeight);
    return std::max(Value, FMinHeight);
}

void TSizeConstraints::Set(int& Field, int Value)
{
    Value = std::max(Value, 0);
    if (Field == Value) return;
    Field = Value;
    FControl->ConstraintsChanged();
}

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), Constraints(std::make_unique<TSizeConstraints>(this)), Font(new TFont),
      FLife(std::make_shared<char>(0))
{
    Font->OnChange = [this] { FontObjectChanged(); };
}

TControl::~TControl()
{
    FControlDestroying = true;
    ControlsDrag::Forget(this);
    if (FParent != nullptr)
        FParent->RemoveControl(this);
    FLife.reset();
    delete Font;
}

void TControl::ConstraintsChanged()
{
    SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(Constraints->Width(AWidth), 0);
    AHeight = std::max(Constraints->Height(AHeight), 0);
    const bool moved = ALeft != FLeft || ATop != FTop;
    const bool resized = AWidth != FWidth || AHeight != FHeight;
    if (!moved && !resized) {
        if (!FLayoutMove)
            UpdateAnchorRules();
        return;
    }
    // A graphic control leaves its old place on the parent's surface.
    if (FParent != nullptr && GetVisible() && dynamic_cast<TWinControl*>(this) == nullptr)
        FParent->InvalidateRect(GetBoundsRect());
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (!FLayoutMove)
        UpdateAnchorRules();
    const TAliveCheck alive(this);
    BoundsChanged(moved, resized);
    if (resized && alive)
        Resize();
    if (alive && !FLayoutMove && FAlign != alNone)
        RequestAlign();
}

void TControl::SetBoundsByLayout(int ALeft, int ATop, int AWidth, int AHeight)
{
    const bool old = FLayoutMove;
    FLayoutMove = true;
    SetBounds(ALeft, ATop, AWidth, AHeight);
    FLayoutMove = old;
}

TRect TControl::GetClientRect() const
{
    return TRect(0, 0, FWidth, FHeight);
}

void TControl::SetClientWidth(int Value)
{
    SetWidth(FWidth - GetClientWidth() + Value);
}

void TControl::SetClientHeight(int Value)
{
    SetHeight(FHeight - GetClientHeight() + Value);
}

TPoint TControl::ClientToParent(const TPoint& P, TWinControl* AParent) const
{
    TPoint r = P;
    const TControl* c = this;
    while (c != nullptr && c != AParent) {
        if (c->FParent == nullptr)
            break;
        r.X += c->FLeft;
        r.Y += c->FTop;
        c = c->FParent;
    }
    return r;
}

TPoint TControl::ClientToScreen(const TPoint& P) const
{
    TPoint r = ClientToParent(P, nullptr);
    const TControl* top = this;
    while (top->FParent != nullptr)
        top = top->FParent;
    r.X += top->FLeft;
    r.Y += top->FTop;
    return r;
}

TPoint TControl::ScreenToClient(const TPoint& P) const
{
    const TPoint origin = ClientToScreen(TPoint(0, 0));
    return TPoint(P.X - origin.X, P.Y - origin.Y);
}

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    for (TWinControl* p = AParent; p != nullptr; p = p->GetParent())
        if (p == this)
            throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent != nullptr)
        FParent->RemoveControl(this);
    if (AParent != nullptr)
        AParent->InsertControl(this);
}

void TControl::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    VisibleChanged();
    if (FParent != nullptr && (FAlign != alNone || !(FAnchors == TAnchors{akLeft, akTop})))
        RequestAlign();
}

bool TControl::Showing() const
{
    for (const TControl* c = this; c != nullptr; c = c->FParent)
        if (!c->GetVisible())
            return false;
    return true;
}

void TControl::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    EnabledChanged();
}

void TControl::BringToFront()
{
    if (FParent == nullptr)
        return;
    auto& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    list.push_back(this);
    BoundsChanged(false, false);
    Invalidate();
}

void TControl::SendToBack()
{
    if (FParent == nullptr)
        return;
    auto& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    list.insert(list.begin(), this);
    BoundsChanged(false, false);
    Invalidate();
}

void TControl::SetColor(TColor Value)
{
    // A colour of its own ends the following of the parent's; the same colour again does not.
    if (FColor == Value)
        return;
    FColor = Value;
    FParentColor = false;
    ColorChanged();
}

void TControl::SetParentColor(bool Value)
{
    if (FParentColor == Value)
        return;
    FParentColor = Value;
    if (Value)
        ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (!FParentColor || FParent == nullptr)
        return;
    SetColor(FParent->GetColor());
    FParentColor = true;
}

void TControl::SetFont(TFont* Value)
{
    if (Value != nullptr && Value != Font)
        Font->Assign(Value);
}

void TControl::SetParentFont(bool Value)
{
    if (FParentFont == Value)
        return;
    FParentFont = Value;
    if (Value)
        ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!FParentFont || FParent == nullptr)
        return;
    FChangingParentFont = true;
    Font->Assign(FParent->GetFont());
    FChangingParentFont = false;
    FParentFont = true;
}

void TControl::FontObjectChanged()
{
    if (!FChangingParentFont)
        FParentFont = false;
    FontChanged();
}

void TControl::SetCursor(TCursor Value)
{
    if (FCursor == Value)
        return;
    FCursor = Value;
    CursorChanged();
}

void TControl::SetAlign(TAlign Value)
{
    if (FAlign == Value)
        return;
    FAlign = Value;
    if (FParent != nullptr)
        RequestAlign();
}

void TControl::SetAnchors(TAnchors Value)
{
    if (FAnchors == Value)
        return;
    FAnchors = Value;
    UpdateAnchorRules();
}

void TControl::SetText(const UnicodeString& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    TextChanged();
}

void TControl::SetHint(const UnicodeString& Value)
{
    if (FHint == Value)
        return;
    FHint = Value;
    HintChanged();
}

void TControl::SetShowHint(bool Value)
{
    FParentShowHint = false;
    if (FShowHint == Value)
        return;
    FShowHint = Value;
    HintChanged();
}

void TControl::SetParentShowHint(bool Value)
{
    if (FParentShowHint == Value)
        return;
    FParentShowHint = Value;
    if (Value && FParent != nullptr)
        FShowHint = FParent->GetShowHint();
    HintChanged();
}

void TControl::SetDragMode(TDragMode Value)
{
    FDragMode = Value;
}

void TControl::SetBiDiMode(TBiDiMode Value)
{
    FParentBiDiMode = false;
    FBiDiMode = Value;
}

void TControl::SetParentBiDiMode(bool Value)
{
    if (FParentBiDiMode == Value)
        return;
    FParentBiDiMode = Value;
    if (Value && FParent != nullptr)
        FBiDiMode = FParent->GetBiDiMode();
}

void TControl::Invalidate()
{
    if (FParent != nullptr && GetVisible())
        FParent->InvalidateRect(GetBoundsRect());
}

void TControl::Update()
{
    if (FParent != nullptr)
        FParent->Update();
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::RequestAlign()
{
    if (FParent != nullptr)
        FParent->AlignChildren(this);
}

void TControl::UpdateAnchorRules()
{
    FAnchorRules.Valid = false;
    if (FParent == nullptr)
        return;
    const TRect client = FParent->GetClientRect();
    if (client.Width() <= 0 && client.Height() <= 0)
        return;  // the parent has no size yet: record at its first layout
    FAnchorRules.Right = client.Width() - (FLeft + FWidth);
    FAnchorRules.Bottom = client.Height() - (FTop + FHeight);
    FAnchorRules.CenterX = FLeft + FWidth / 2;
    FAnchorRules.CenterY = FTop + FHeight / 2;
    FAnchorRules.ParentWidth = client.Width();
    FAnchorRules.ParentHeight = client.Height();
    FAnchorRules.Valid = true;
}

// --- Messages

LRESULT TControl::Perform(Cardinal Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage m;
    m.Msg = Msg;
    m.WParam = WParam;
    m.LParam = LParam;
    Dispatch(&m);
    return m.Result;
}

namespace {

TShiftState MouseShift(WPARAM keys)
{
    TShiftState s;
    if (keys & MK_SHIFT) s << ssShift;
    if (keys & MK_CONTROL) s << ssCtrl;
    if (keys & MK_LBUTTON) s << ssLeft;
    if (keys & MK_RBUTTON) s << ssRight;
    if (keys & MK_MBUTTON) s << ssMiddle;
    if (Toolkit::KeyboardShift().Contains(ssAlt)) s << ssAlt;
    return s;
}

}  // namespace

void TControl::DoDispatchMouse(TMessage& M)
{
    const int x = GetXLParam(M.LParam);
    const int y = GetYLParam(M.LParam);
    TShiftState shift = MouseShift(M.WParam);
    const TAliveCheck alive(this);
    Cardinal msg = M.Msg;
    if (!FControlStyle.Contains(csDoubleClicks)) {
        if (msg == WM_LBUTTONDBLCLK) msg = WM_LBUTTONDOWN;
        if (msg == WM_RBUTTONDBLCLK) msg = WM_RBUTTONDOWN;
        if (msg == WM_MBUTTONDBLCLK) msg = WM_MBUTTONDOWN;
    }
    switch (msg) {
    case WM_MOUSEMOVE:
        MouseMove(shift, x, y);
        break;
    case WM_LBUTTONDOWN:
        if (FDragMode == dmAutomatic && FDragKind == dkDrag) {
            BeginDrag(false);
            return;
        }
        if (FControlStyle.Contains(csClickEvents))
            FClicked = true;
        MouseDown(mbLeft, shift, x, y);
        break;
    case WM_LBUTTONDBLCLK:
        if (FControlStyle.Contains(csClickEvents))
            DblClick();
        if (alive)
            MouseDown(mbLeft, shift << ssDouble, x, y);
        break;
    case WM_LBUTTONUP:
        if (FClicked) {
            FClicked = false;
            if (GetClientRect().Contains(TPoint(x, y)))
                Click();
        }
        if (alive)
            MouseUp(mbLeft, shift, x, y);
        break;
    case WM_RBUTTONDOWN:
        MouseDown(mbRight, shift, x, y);
        break;
    case WM_RBUTTONDBLCLK:
        MouseDown(mbRight, shift << ssDouble, x, y);
        break;
    case WM_RBUTTONUP:
        MouseUp(mbRight, shift, x, y);
        break;
    case WM_MBUTTONDOWN:
        MouseDown(mbMiddle, shift, x, y);
        break;
    case WM_MBUTTONDBLCLK:
        MouseDown(mbMiddle, shift << ssDouble, x, y);
        break;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, shift, x, y);
        break;
    case CM_MOUSEENTER:
        MouseEnter();
        break;
    case CM_MOUSELEAVE:
        MouseLeave();
        break;
    default:
        break;
    }
}

void TControl::Dispatch(void* Message)
{
    TMessage& m = *static_cast<TMessage*>(Message);
    const TAliveCheck alive(this);
    if ((m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MBUTTONDBLCLK) || m.Msg == CM_MOUSEENTER ||
        m.Msg == CM_MOUSELEAVE) {
        DoDispatchMouse(m);
        if (!alive)
            return;
    }
    if (m.Msg == WM_CONTEXTMENU && DoContextMenu(m))
        return;
    DefaultHandler(Message);
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TControl::BoundsChanged(bool, bool) {}

void TControl::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TControl::VisibleChanged()
{
    if (FParent != nullptr)
        FParent->InvalidateRect(GetBoundsRect());
}

void TControl::EnabledChanged()
{
    Invalidate();
}

void TControl::ColorChanged()
{
    Invalidate();
}

void TControl::FontChanged()
{
    Invalidate();
}

void TControl::TextChanged()
{
    Invalidate();
}

void TControl::CursorChanged() {}

void TControl::ParentChanged() {}

void TControl::HintChanged() {}

// --- Dragging

void TControl::BeginDrag(bool Immediate, int Threshold)
{
    ControlsDrag::Begin(this, Immediate, Threshold < 0 ? 5 : Threshold);
}

void TControl::EndDrag(bool Drop)
{
    ControlsDrag::End(this, Drop);
}

bool TControl::Dragging() const
{
    return ControlsDrag::Source() == this;
}

void TControl::DoStartDrag(TDragObject*& DragObject)
{
    if (OnStartDrag)
        OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y)
{
    if (OnEndDrag)
        OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept)
{
    Accept = false;
    if (OnDragOver) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DragDrop(TObject* Source, int X, int Y)
{
    if (OnDragDrop)
        OnDragDrop(this, Source, X, Y);
}

// ---------------------------------------------------------------------------------------------
// TWinControl: children, tab order, layout

TControl* TWinControl::GetControl(int Index) const
{
    CheckListIndex(Index, GetControlCount());
    return FControls[static_cast<size_t>(Index)];
}

bool TWinControl::ContainsControl(const TControl* AControl) const
{
    for (const TControl* c = AControl; c != nullptr; c = c->GetParent())
        if (c == this)
            return true;
    return false;
}

void TWinControl::InsertControl(TControl* AControl)
{
    if (AControl == nullptr || AControl->FParent == this)
        return;
    FControls.push_back(AControl);
    AControl->FParent = this;
    if (auto* w = dynamic_cast<TWinControl*>(AControl))
        FTabList.push_back(w);
    AControl->ParentChanged();
    AControl->ParentColorChanged();
    AControl->ParentFontChanged();
    if (AControl->FParentShowHint)
        AControl->FShowHint = FShowHint;
    if (AControl->FParentBiDiMode)
        AControl->FBiDiMode = GetBiDiMode();
    AControl->UpdateAnchorRules();
    AControl->Invalidate();
    if (AControl->GetAlign() != alNone)
        AlignChildren(AControl);
}

void TWinControl::RemoveControl(TControl* AControl)
{
    const auto it = std::find(FControls.begin(), FControls.end(), AControl);
    if (it == FControls.end())
        return;
    const bool aligned = AControl->GetAlign() != alNone && AControl->GetVisible();
    if (!FControlDestroying)
        InvalidateRect(AControl->GetBoundsRect());
    ControlRemoved(AControl);
    FControls.erase(std::find(FControls.begin(), FControls.end(), AControl));
    // Compared by address: the control may be half destroyed already.
    const auto t = std::find_if(FTabList.begin(), FTabList.end(),
                                [AControl](const TWinControl* w) { return w == AControl; });
    if (t != FTabList.end())
        FTabList.erase(t);
    AControl->FParent = nullptr;
    if (!AControl->FControlDestroying)
        AControl->ParentChanged();
    if (aligned && !FControlDestroying)
        AlignChildren(nullptr);
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) const
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        const bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
        if (windowed && !AllowWinControls)
            continue;
        if (!c->GetVisible() || (!AllowDisabled && !c->GetEnabled()))
            continue;
        if (c->GetBoundsRect().Contains(Pos))
            return c;
    }
    return nullptr;
}

int TWinControl::GetTabOrder() const
{
    if (GetParent() == nullptr)
        return -1;
    const auto& list = GetParent()->FTabList;
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value)
{
    if (GetParent() == nullptr)
        return;
    auto& list = GetParent()->FTabList;
    const auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end())
        return;
    list.erase(it);
    const int n = static_cast<int>(list.size());
    const int pos = (Value < 0 || Value > n) ? n : Value;
    list.insert(list.begin() + pos, this);
}

void TWinControl::SetTabStop(bool Value)
{
    if (FTabStop == Value)
        return;
    FTabStop = Value;
    TabStopChanged();
}

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c != nullptr; c = c->GetParent())
        if (!c->GetVisible() || !c->GetEnabled())
            return false;
    return true;
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const
{
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward,
                                          bool CheckTabStop, bool CheckParent) const
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    const int n = static_cast<int>(list.size());
    const auto it = std::find(list.begin(), list.end(), CurControl);
    int start = it == list.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(it - list.begin());
    int i = start;
    do {
        if (GoForward) {
            if (++i == n) i = 0;
        } else {
            if (i == 0) i = n;
            --i;
        }
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c->CanFocus() && (!CheckTabStop || c->GetTabStop()) &&
            (!CheckParent || c->GetParent() == this))
            return c;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, false))
        next->SetFocus();
}

// ---------------------------------------------------------------------------------------------
// TWinControl: destruction (the destructor then lets the widget go, platform/qt)

void TWinControl::DestroyChildren()
{
    FControlDestroying = true;
    ControlsDrag::Forget(this);
    if (GetParent() != nullptr)
        GetParent()->RemoveControl(this);
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        delete c;
        // A child whose destructor did not leave the list (it cannot) must not stall the loop.
        if (!FControls.empty() && FControls.back() == c)
            FControls.pop_back();
    }
}

// ---------------------------------------------------------------------------------------------
// TWinControl: reactions to property changes that concern the children

void TWinControl::ColorChanged()
{
    Invalidate();
    for (TControl* c : std::vector<TControl*>(FControls))
        c->ParentColorChanged();
}

void TWinControl::HintChanged()
{
    for (TControl* c : std::vector<TControl*>(FControls))
        if (c->FParentShowHint && c->FShowHint != GetShowHint()) {
            c->FShowHint = GetShowHint();
            c->HintChanged();
        }
}

void TWinControl::TabStopChanged() {}

void TWinControl::PaintWindow(TCanvas*) {}

void TWinControl::SaveToPng(const UnicodeString& FileName)
{
    TBitmap bitmap;
    DrawScreenImage(&bitmap);
    bitmap.SaveToFile(FileName);
}

// ---------------------------------------------------------------------------------------------
// TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), Canvas(new TCanvas)
{
    // Taken to paint its whole area, so that Repaint can draw it straight onto the surface; a
    // control that leaves parts of its area unpainted (a transparent label) drops csOpaque.
    SetControlStyle(GetControlStyle() + TControlStyle{csReplicatable, csOpaque});
}

TGraphicControl::~TGraphicControl()
{
    FControlDestroying = true;
    if (GetParent() != nullptr)
        GetParent()->RemoveControl(this);
    delete Canvas;
}

void TGraphicControl::Paint() {}

void TGraphicControl::BoundsChanged(bool, bool)
{
    AttachCanvas();
    Invalidate();
}

void TGraphicControl::ParentChanged()
{
    AttachCanvas();
}

// ---------------------------------------------------------------------------------------------
// TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), Canvas(SurfaceCanvas())
{
}

TCustomControl::~TCustomControl() = default;

void TCustomControl::Paint() {}

void TCustomControl::PaintWindow(TCanvas*)
{
    Paint();
}

// ---------------------------------------------------------------------------------------------
// Helpers

TWinControl* GetTopLevelControl(const TControl* Control)
{
    if (Control == nullptr)
        return nullptr;
    const TControl* c = Control;
    while (c->GetParent() != nullptr)
        c = c->GetParent();
    return const_cast<TWinControl*>(dynamic_cast<const TWinControl*>(c));
}
