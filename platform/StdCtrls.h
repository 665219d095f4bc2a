// Standard controls: single-line edit, label, push button, check box.
#pragma once

#include "platform/Controls.h"
#include "platform/UITypes.h"

// ---------------------------------------------------------------------------------------------
// Single-line edit

// The most characters (UTF-16 code units) an edit holds, also with MaxLength 0: a longer text is
// cut to its first MaxEditLength characters when it is shown.
inline constexpr int MaxEditLength = 32767;
// The length of a text as an edit counts it (UTF-16 code units).
int EditTextLength(const UnicodeString& Text);

// The text accessors (GetText/SetText, inherited from TControl) are virtual: a derived edit may
// put its own rules on reading and writing Text and reach the plain edit through
// TCustomEdit::GetText / TCustomEdit::SetText.
class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);
    ~TCustomEdit() override;

    UnicodeString GetText() const override;
    // Shows the text; OnChange fires when it differs from the shown one.
    void SetText(const UnicodeString& Value) override;

    virtual bool GetReadOnly() const;
    virtual void SetReadOnly(bool Value);
    int GetMaxLength() const;
    void SetMaxLength(int Value);
    bool GetModified() const;
    void SetModified(bool Value);

    // Selection: SelStart is the caret position when nothing is selected.
    int GetSelStart() const;
    void SetSelStart(int Value);
    int GetSelLength() const;
    void SetSelLength(int Value);
    UnicodeString GetSelText() const;
    void SelectAll();
    void ClearSelection();

    // Clipboard and undo. Each goes through Dispatch as WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR,
    // WM_UNDO (as the edit's context menu does), so a control may pre-process them.
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void Undo();
    bool GetCanUndo() const;
    void ClearUndo();
    void Clear() { SetText(UnicodeString()); }

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    void DoDefault(TMessage& Message) override;
    void ColorChanged() override;
    void FontChanged() override;
    void TextChanged() override;
    void EnabledChanged() override;
};

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// ---------------------------------------------------------------------------------------------
// Label

enum TTextLayout { tlTop, tlCenter, tlBottom };

// A caption drawn on its parent's surface. "&" marks an accelerator (underlined; Alt and the
// character focus FocusControl) while ShowAccelChar is on; "&&" stands for "&".
class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout GetLayout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool GetShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* GetFocusControl() const;
    void SetFocusControl(TWinControl* Value);

    void Paint() override;
    void Dispatch(void* Message) override;

    // The accelerator character of Caption (upper case), or 0.
    Char GetAccelChar() const;

protected:
    void TextChanged() override;
    void FontChanged() override;
    // Sets Width and Height to the text when AutoSize is on.
    void AdjustBounds();

private:
    struct TLine {
        UnicodeString Text;
        int Accel = -1;  // byte offset of the underlined character, or -1
    };
    std::vector<TLine> Lines(int MaxWidth) const;

    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FAutoSize = true;
    bool FTransparent = false;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
    TAliveCheck FFocusControlAlive;
};

// The accelerator character of a caption ("&Add": 'A', upper case), or 0.
Char AccelCharOf(const UnicodeString& Caption);

class TLabel : public TCustomLabel {
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---------------------------------------------------------------------------------------------
// Buttons

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);

    // Enter anywhere in the form clicks the default button (unless another button has the
    // focus); Escape clicks the cancel button.
    bool GetDefault() const { return FDefault; }
    void SetDefault(bool Value);
    bool GetCancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult GetModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

    // Hands ModalResult to the form, then OnClick.
    void Click() override;
    void Dispatch(void* Message) override;

protected:
    void FontChanged() override;
    void TextChanged() override;

private:
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);

    bool GetChecked() const;
    // Changing the mark fires OnClick, as a click of the user does.
    void SetChecked(bool Value);
    TCheckBoxState GetState() const;
    void SetState(TCheckBoxState Value);
    bool GetAllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

    // The caption's accelerator (CM_DIALOGCHAR) focuses the box and toggles the mark.
    void Dispatch(void* Message) override;

protected:
    void FontChanged() override;
    void TextChanged() override;
    void ColorChanged() override;

private:
    friend struct TCheckBoxAccess;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
    bool FSettingState = false;
};

// List box and combo box.
#include "platform/ListCtrls.h"
