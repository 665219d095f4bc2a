#include "controls/AutoEdit.h"

TAutoEdit::TAutoEdit(TComponent* AOwner) : TEdit(AOwner)
{
}

TAutoEdit::~TAutoEdit() = default;

void TAutoEdit::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TAutoEdit*>(Source);
    if (source == nullptr) {
        TEdit::Assign(Source);
        return;
    }
    FEdited = source->FEdited;
    FShiftDown = source->FShiftDown;
    FCtrlDown = source->FCtrlDown;
    AutoTabStop = source->AutoTabStop;
    DefaultColor = source->DefaultColor;
    ReadOnlyColor = source->ReadOnlyColor;
    ModifiedColor = source->ModifiedColor;
    FAcceptedText = source->FAcceptedText;
}

bool IsNonEditingKey(unsigned Key)
{
    return (Key >= 1 && Key <= 4)        // mouse buttons, Cancel
        || Key == 9                      // Tab
        || (Key >= 18 && Key <= 20)      // Alt, Pause, Caps Lock
        || (Key >= 28 && Key <= 31)      // input-method keys
        || (Key >= 33 && Key <= 45)      // Page Up .. Insert
        || Key == 47                     // Help
        || (Key >= 91 && Key <= 93)      // Windows keys, Applications
        || Key == 95                     // Sleep
        || (Key >= 112 && Key <= 135)    // F1 .. F24
        || (Key >= 144 && Key <= 150)    // Num Lock, Scroll Lock, device keys
        || (Key >= 166 && Key <= 183);   // browser, volume, media, launch
}

void TAutoEdit::Dispatch(void* Message)
{
    auto* msg = static_cast<TMessage*>(Message);
    switch (msg->Msg) {
    case WM_KILLFOCUS:
        // Shift or Ctrl released in another control never reaches this one;
        // forget them so Enter and Escape work when the focus comes back.
        FShiftDown = false;
        FCtrlDown = false;
        if (FEdited)
            Accept();
        break;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
        EnterModifiedState();
        break;
    case WM_KEYDOWN:
        KeyDown(static_cast<unsigned>(msg->WParam));
        break;
    case WM_KEYUP:
        KeyUp(static_cast<unsigned>(msg->WParam));
        break;
    default:
        break;
    }
    TEdit::Dispatch(Message);
}

void TAutoEdit::KeyDown(unsigned Key)
{
    switch (Key) {
    case VK_RETURN:
        if (FEdited && !FShiftDown && !FCtrlDown)
            Accept();
        return;
    case VK_ESCAPE:
        if (FEdited && !FShiftDown && !FCtrlDown)
            Cancel();
        return;
    case VK_SHIFT:
        FShiftDown = true;
        return;
    case VK_CONTROL:
        FCtrlDown = true;
        return;
    default:
        if (!IsNonEditingKey(Key))
            EnterModifiedState();
        return;
    }
}

void TAutoEdit::KeyUp(unsigned Key)
{
    if (Key == VK_SHIFT)
        FShiftDown = false;
    else if (Key == VK_CONTROL)
        FCtrlDown = false;
}

void TAutoEdit::EnterModifiedState()
{
    FEdited = true;
    if (!GetReadOnly())
        SetColor(ModifiedColor);
}

void TAutoEdit::Change()
{
    if (FShowing == 0 && !FEdited)
        EnterModifiedState();
    TEdit::Change();
}

bool TAutoEdit::Accept()
{
    const UnicodeString text = TEdit::GetText();
    bool verdict = _Accept(text);
    if (OnAccept)
        OnAccept(this, text, verdict);
    if (!verdict) {
        Cancel();
        return false;
    }
    ResetState();
    ClearUndo();
    SelectAll();
    _Accepted();
    // Stored before OnAccepted as well, so that a handler that raises cannot
    // leave the accepted text behind the value that was just taken over.
    FAcceptedText = TEdit::GetText();
    if (OnAccepted)
        OnAccepted(this);
    FAcceptedText = TEdit::GetText();
    return true;
}

void TAutoEdit::Cancel()
{
    ShowText(FAcceptedText);
    ResetState();
    _Cancel();
    if (OnCancel)
        OnCancel(this);
}

void TAutoEdit::ResetState()
{
    FEdited = false;
    if (!GetReadOnly())
        SetColor(DefaultColor);
}

void TAutoEdit::AdjustColor()
{
    SetColor(GetReadOnly() ? ReadOnlyColor : DefaultColor);
}

UnicodeString TAutoEdit::GetText()
{
    if (FEdited) {
        const UnicodeString submitted = TEdit::GetText();
        if (!Accept())
            throw EPropertyError("[TAutoEdit::GetText] : " + GetName() + " > Text " + "\"" + submitted +
                                 "\"" + " is not accepted.");
    }
    return TEdit::GetText();
}

void TAutoEdit::SetText(const UnicodeString& Value)
{
    if (Value == TEdit::GetText())
        return;
    ShowText(Value);
    Accept();
}

void TAutoEdit::ShowText(const UnicodeString& Value)
{
    ++FShowing;
    try {
        TEdit::SetText(Value);
    } catch (...) {
        --FShowing;
        throw;
    }
    --FShowing;
}

void TAutoEdit::SetReadOnly(bool Value)
{
    if (Value != GetReadOnly())
        TEdit::SetReadOnly(Value);
    if (AutoTabStop)
        TEdit::SetTabStop(!GetReadOnly());
    AdjustColor();
}

void TAutoEdit::SetAutoTabStop(bool Value)
{
    if (Value == AutoTabStop)
        return;
    AutoTabStop = Value;
    if (AutoTabStop)
        TEdit::SetTabStop(!GetReadOnly());
}

void TAutoEdit::SetTabStop(bool Value)
{
    if (Value != GetTabStop())
        TEdit::SetTabStop(Value);
    if (AutoTabStop)
        AutoTabStop = (Value == !GetReadOnly());
}

void TAutoEdit::SetDefaultColor(TColor Value)
{
    DefaultColor = Value;
    AdjustColor();
}

void TAutoEdit::SetReadOnlyColor(TColor Value)
{
    ReadOnlyColor = Value;
    AdjustColor();
}

bool TAutoEdit::_Accept(const UnicodeString& /*Text*/)
{
    return true;
}

void TAutoEdit::_Accepted()
{
}

void TAutoEdit::_Cancel()
{
}
