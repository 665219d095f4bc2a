// TAutoEdit: a single-line edit that keeps the text being typed apart from the
// text that has been accepted.
//
// Typing puts the control into the modified state (ModifiedColor). Enter or
// leaving the field submits the text: _Accept, then the owner's OnAccept decide.
// An accepted text becomes the accepted text and OnAccepted fires; a rejected
// text, like Escape, brings the last accepted text back and OnCancel fires.
#pragma once

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/Messages.h"
#include "platform/StdCtrls.h"

#include <functional>

// The owner's acceptance check: NewText is the shown text, Accept the verdict so
// far, which the handler may overwrite either way.
using TAcceptEvent = std::function<void(TObject* Sender, TCaption NewText, bool& Accept)>;

class TAutoEdit : public TEdit {
public:
    explicit TAutoEdit(TComponent* AOwner);
    ~TAutoEdit() override;

    // Same class: copies the modified state, the held-key flags, AutoTabStop,
    // the three colours and the last accepted text. The shown text, ReadOnly,
    // TabStop and Color stay. Another class raises the assignment error.
    void Assign(TPersistent* Source) override;

    // Pre-processes every message (focus loss, editing keys, Enter, Escape,
    // cut/paste/clear), then hands it on to the edit's own handling.
    void Dispatch(void* Message) override;

    // Submits the shown text; returns the verdict. A rejected text is cancelled.
    bool Accept();
    // Shows the last accepted text again and leaves the modified state.
    void Cancel();
    // Leaves the modified state: FEdited false and, unless read-only, DefaultColor.
    void ResetState();
    // ReadOnlyColor when read-only, else DefaultColor (the state is not looked at).
    void AdjustColor();

    // Reading forces acceptance of a modified text; raises EPropertyError when
    // the text is rejected (after it has been cancelled).
    UnicodeString GetText();
    // On a const control: the shown text, without acceptance.
    using TEdit::GetText;
    // Shows the text and accepts it at once; the text already shown does nothing.
    void SetText(const UnicodeString& Value) override;

    // Sets the flag, then the tab stop (under AutoTabStop) and the colour.
    void SetReadOnly(bool Value) override;
    // A tab stop that contradicts !ReadOnly switches AutoTabStop off.
    void SetTabStop(bool Value) override;
    bool GetAutoTabStop() const { return AutoTabStop; }
    void SetAutoTabStop(bool Value);
    TColor GetDefaultColor() const { return DefaultColor; }
    void SetDefaultColor(TColor Value);
    TColor GetReadOnlyColor() const { return ReadOnlyColor; }
    void SetReadOnlyColor(TColor Value);
    TColor GetModifiedColor() const { return ModifiedColor; }
    void SetModifiedColor(TColor Value) { ModifiedColor = Value; }

    // True while the text has been edited since the last accept or cancel.
    bool GetEdited() const { return FEdited; }
    // The last accepted text.
    const UnicodeString& GetAcceptedText() const { return FAcceptedText; }

protected:
    bool FShiftDown = false;
    bool FCtrlDown = false;

public:
    bool AutoTabStop = false;       // keep TabStop equal to !ReadOnly
    TColor DefaultColor = clWindow; // settled, editable
    TColor ReadOnlyColor = clBtnFace;
    TColor ModifiedColor = clRed;   // modified, editable
    TAcceptEvent OnAccept;
    TNotifyEvent OnAccepted;
    TNotifyEvent OnCancel;

    // The class's own check of a submitted text (here: every text).
    virtual bool _Accept(const UnicodeString& Text);
    // After a text has been accepted, before OnAccepted.
    virtual void _Accepted();
    // After the accepted text has been restored, before OnCancel.
    virtual void _Cancel();

protected:
    bool FEdited = false;
    UnicodeString FAcceptedText;

    // Shows a text without starting acceptance.
    void ShowText(const UnicodeString& Value);
    // Sets FEdited and, unless read-only, paints ModifiedColor.
    void EnterModifiedState();
    // A change of the text that did not come from this control (a mouse paste, a
    // drop, an input method) is an edit like a key.
    void Change() override;

private:
    int FShowing = 0; // ShowText in progress
    void KeyDown(unsigned Key);
    void KeyUp(unsigned Key);
};

// Whether a key-down of this virtual-key code leaves the settled/modified state
// alone (navigation, function, lock, system and media keys).
bool IsNonEditingKey(unsigned Key);
