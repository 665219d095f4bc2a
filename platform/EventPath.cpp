// The event path, toolkit-free part: delivering the messages that stand for toolkit events, the
// window's dialog keys and accelerators, key preview, and the mouse over a painting surface.
// platform/qt turns the toolkit's events into the calls made here.
#include "platform/ControlsPrivate.h"

#include "platform/Forms.h"
#include "platform/Menus.h"

#include <algorithm>

namespace {

// --- Messages being delivered on behalf of toolkit events

struct TDelivery {
    const void* Message;
    bool Passed;
};

std::vector<TDelivery*>& Deliveries()
{
    static std::vector<TDelivery*> list;
    return list;
}

// Sends a message to every control of the window (depth first, topmost first) until one
// answers it with a non-zero Result.
bool Broadcast(TWinControl* Parent, TMessage& M)
{
    for (int i = Parent->ControlCount() - 1; i >= 0; --i) {
        if (i >= Parent->ControlCount())
            continue;
        TControl* c = Parent->Controls(i);
        if (!c->GetVisible())
            continue;
        const TAliveCheck alive(Parent);
        c->Dispatch(&M);
        if (M.Result != 0 || !alive)
            return true;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (Broadcast(w, M))
                return true;
    }
    return false;
}

// The keyboard interface of a window, ahead of the focused control (as the original's dialog
// handling): Tab and Shift+Tab move the focus; Enter and Escape go to the control that claims
// them (the focused button, the default or the cancel button). A claimed key never reaches the
// focused control.
bool DialogKey(TWinControl* C, Word Key, TShiftState Shift)
{
    TWinControl* top = GetTopLevelControl(C);
    if (top == nullptr)
        return false;
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool alt = Shift.Contains(ssAlt);
    if (Key == VK_TAB && !ctrl && !alt) {
        top->SelectNext(C, !Shift.Contains(ssShift), true);
        return true;
    }
    if (Key == VK_RETURN || Key == VK_ESCAPE) {
        TMessage m;
        m.Msg = CM_DIALOGKEY;
        m.WParam = Key;
        m.LParam = (Shift.Contains(ssShift) || ctrl || alt) ? 1 : 0;
        return Broadcast(top, m);
    }
    return false;
}

// Alt and a character: the control whose accelerator it is (a label, a button) answers.
bool DialogChar(TWinControl* C, TShiftState Shift, Char First)
{
    TWinControl* top = GetTopLevelControl(C);
    if (top == nullptr || !Shift.Contains(ssAlt) || Shift.Contains(ssCtrl) || First == 0)
        return false;
    TMessage m;
    m.Msg = CM_DIALOGCHAR;
    m.WParam = WPARAM(First);
    return Broadcast(top, m);
}

// The shortcuts of popup menus, ahead of everything else (as the original's menu keys): the
// menus of the focused control C and its parents, then - unless C types text, which uses such
// keys itself - those of the control under the mouse pointer in the same window and its
// parents. Only keys with Ctrl or Alt and the function keys are offered.
bool MenuKey(TWinControl* C, Word Key, TShiftState Shift)
{
    const bool functionKey = Key >= VK_F1 && Key <= VK_F24;
    if (!functionKey && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt))
        return false;
    if (Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU)
        return false;
    std::vector<TPopupMenu*> asked;
    auto ask = [&](TControl* From) {
        for (TControl* c = From; c != nullptr; c = c->GetParent()) {
            TPopupMenu* menu = c->GetEnabled() ? c->GetPopupMenu() : nullptr;
            if (menu == nullptr || std::find(asked.begin(), asked.end(), menu) != asked.end())
                continue;
            asked.push_back(menu);
            if (menu->IsShortCut(Key, Shift))
                return true;
        }
        return false;
    };
    if (ask(C))
        return true;
    if (Toolkit::EditsText(C))
        return false;
    TPoint local;
    TWinControl* under = Toolkit::WinControlAt(Toolkit::CursorPos(), local);
    if (under == nullptr || GetTopLevelControl(under) != GetTopLevelControl(C))
        return false;
    TControl* pointed = under;
    if (TControl* g = under->ControlAtPos(local, false))
        pointed = g;
    return ask(pointed);
}

// The top-level control of C when it previews C's keys (a form with KeyPreview), or null.
TWinControl* Previewer(TWinControl* C)
{
    TWinControl* top = GetTopLevelControl(C);
    return top != nullptr && top != C && TEventPathAccess::KeyPreview(top) ? top : nullptr;
}

}  // namespace

void EventPath::ReportException(TObject* Sender)
{
    try {
        if (Application != nullptr)
            Application->HandleException(Sender);
    } catch (...) {
        // The error display itself failed: nothing more can be shown.
    }
}

bool EventPath::Deliver(TControl* Target, TMessage& M, bool& Alive)
{
    TDelivery d{&M, false};
    Deliveries().push_back(&d);
    const TAliveCheck alive(Target);
    try {
        Target->Dispatch(&M);
    } catch (...) {
        Deliveries().pop_back();
        Alive = bool(alive);
        ReportException(Alive ? Target : nullptr);
        Alive = bool(alive);
        return false;
    }
    Deliveries().pop_back();
    Alive = bool(alive);
    return d.Passed;
}

bool EventPath::IsToolkitMessage(const void* Message)
{
    for (const TDelivery* d : Deliveries())
        if (d->Message == Message)
            return true;
    return false;
}

void EventPath::MarkPassed(const void* Message)
{
    for (TDelivery* d : Deliveries())
        if (d->Message == Message)
            d->Passed = true;
}

bool EventPath::Key(TWinControl* C, const TKeyInput& In)
{
    const bool alt = In.Shift.Contains(ssAlt);
    const bool ctrl = In.Shift.Contains(ssCtrl);
    const bool sys = (alt && !ctrl) || In.Key == VK_F10 || (In.Key == VK_MENU && !ctrl);
    TMessage m;
    m.Msg = In.Press ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    m.WParam = In.Key;
    LPARAM data = 1 | (LPARAM(In.ScanCode & 0xFF) << 16);
    if (alt) data |= KF_ALTDOWN_BIT;
    if (In.Press && In.AutoRepeat) data |= KF_REPEAT_BIT;
    if (!In.Press) data |= KF_REPEAT_BIT | KF_UP_BIT;
    m.LParam = data;
    bool alive = true;
    const TAliveCheck control(C);
    if (In.Press && MenuKey(C, In.Key, In.Shift))
        return true;
    if (In.Press && DialogKey(C, In.Key, In.Shift))
        return true;
    if (!control)
        return true;
    // A form with KeyPreview sees the key first; clearing it there swallows it.
    if (TWinControl* top = Previewer(C)) {
        TMessage preview = m;
        if (!Deliver(top, preview, alive) || !control)
            return true;
        if (preview.WParam == 0)
            return true;
    }
    if (!Deliver(C, m, alive) || !alive)
        return true;
    if (!In.Press)
        return false;
    if (DialogChar(C, In.Shift, In.Accel))
        return true;
    if (!control)
        return true;
    for (size_t i = 0; i < In.Chars.size(); ++i) {
        TMessage cm;
        cm.Msg = sys ? WM_SYSCHAR : WM_CHAR;
        cm.WParam = WPARAM(In.Chars[i]);
        cm.LParam = data;
        if (TWinControl* top = Previewer(C)) {
            TMessage preview = cm;
            if (!Deliver(top, preview, alive) || !control || preview.WParam == 0)
                return true;
        }
        if (!Deliver(C, cm, alive) || !alive)
            return true;
    }
    return false;
}

void EventPath::SetHover(TWinControl* C, TControl* G)
{
    TControl*& hover = TEventPathAccess::Hover(C);
    if (hover == G)
        return;
    TControl* old = hover;
    hover = G;
    bool alive = true;
    TMessage m;
    const TAliveCheck control(C);
    if (old != nullptr) {
        m.Msg = CM_MOUSELEAVE;
        Deliver(old, m, alive);
    }
    if (G != nullptr && control && TEventPathAccess::Hover(C) == G) {
        m.Msg = CM_MOUSEENTER;
        Deliver(G, m, alive);
    }
}

bool EventPath::SurfaceMouse(TWinControl* C, TMouseKind Kind, bool ButtonsLeft, TPoint& P,
                             TControl*& Target)
{
    Target = C;
    TControl*& capture = TEventPathAccess::Capture(C);
    const bool press = Kind == mkPress || Kind == mkDouble;
    TControl* g = capture != nullptr && !press ? capture : C->ControlAtPos(P, false);
    const TAliveCheck control(C);
    if (Kind != mkRelease)
        SetHover(C, g);
    if (!control)
        return false;
    if (g != nullptr && g->GetParent() != C)
        g = nullptr;  // removed by a hover handler
    if (press)
        capture = (g != nullptr && g->GetControlStyle().Contains(csCaptureMouse)) ? g : nullptr;
    if (g != nullptr) {
        Target = g;
        P = TPoint(P.X - g->GetLeft(), P.Y - g->GetTop());
    }
    if (Kind == mkRelease && !ButtonsLeft)
        capture = nullptr;
    return true;
}

// ---------------------------------------------------------------------------------------------
// The end of the message chain and the windowed control's messages

void TControl::DefaultHandler(void* Message)
{
    if (EventPath::IsToolkitMessage(Message))
        EventPath::MarkPassed(Message);
}

void TWinControl::Dispatch(void* Message)
{
    TMessage& m = *static_cast<TMessage*>(Message);
    const TAliveCheck alive(this);
    switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        // A handler that clears the key swallows it.
        Word key = Word(m.WParam);
        if (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN)
            KeyDown(key, Toolkit::KeyboardShift());
        else
            KeyUp(key, Toolkit::KeyboardShift());
        if (!alive)
            return;
        m.WParam = key;
        if (key == 0)
            return;
        break;
    }
    case WM_CHAR: {
        Char key = Char(m.WParam);
        KeyPress(key);
        if (!alive)
            return;
        m.WParam = WPARAM(key);
        if (key == 0)
            return;
        break;
    }
    default:
        break;
    }
    TControl::Dispatch(Message);
    if (!alive)
        return;
    if (m.Msg == WM_SETFOCUS)
        DoEnter();
    else if (m.Msg == WM_KILLFOCUS)
        DoExit();
}

void TWinControl::DefaultHandler(void* Message)
{
    if (EventPath::IsToolkitMessage(Message))
        EventPath::MarkPassed(Message);
    else
        DoDefault(*static_cast<TMessage*>(Message));
}

void TWinControl::DoDefault(TMessage&) {}

bool TWinControl::KeyPreview() const
{
    return false;
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(Char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TWinControl::ControlRemoved(TControl* AControl)
{
    if (FCapture == AControl)
        FCapture = nullptr;
    if (FHover == AControl)
        FHover = nullptr;
}

UnicodeString GetShortHint(const UnicodeString& Hint)
{
    return Hint.substr(0, Hint.find('|'));
}
