// Menus: shortcuts, menu items and popup menus.
//
// A popup menu shows as the toolkit's own menu. A control with a PopupMenu opens it on a
// right-button click (after its own MouseDown and MouseUp, through WM_CONTEXTMENU), on the
// context-menu key and on Shift+F10; a control without one leaves the message to its parent.
// Keys with Ctrl or Alt and the function keys are offered to the popup menus of the focused
// control and its parents before the control sees them, and then to the menus of the control
// under the mouse pointer unless the focused control edits text.
#pragma once

#include "platform/Classes.h"
#include "platform/Controls.h"

#include <vector>

CORVANE_EXCEPTION_CLASS(EMenuError, Exception);

// ---------------------------------------------------------------------------------------------
// Shortcuts: the virtual-key code in the low byte, the modifiers in the high byte.

using TShortCut = Word;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// The shortcut of Key with the Shift, Ctrl and Alt of Shift; 0 for a key above 0xFF.
TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// The text a menu shows for a shortcut: "Ctrl+C", "Shift+Del", "Shift+Ctrl+S", "F5"; empty for
// 0 and for keys without a name.
UnicodeString ShortCutToText(TShortCut ShortCut);

// ---------------------------------------------------------------------------------------------
// Menu items

class TMenu;

// An entry of a menu. Caption "&" marks the accelerator ("&&" stands for "&"); the caption "-"
// makes a separator. An item owns its sub-items: destroying it destroys them, and an item
// being destroyed leaves its parent item.
class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const UnicodeString& GetCaption() const { return FCaption; }
    void SetCaption(const UnicodeString& Value) { FCaption = Value; }
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    bool GetChecked() const { return FChecked; }
    void SetChecked(bool Value) { FChecked = Value; }
    TShortCut GetShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value) { FShortCut = Value; }
    // A separator (the caption "-").
    bool IsLine() const { return FCaption == "-"; }

    // --- Sub-items
    int GetCount() const { return static_cast<int>(FItems.size()); }
    int Count() const { return GetCount(); }
    // Raises EMenuError "Menu index out of range" outside 0 .. Count-1.
    TMenuItem* GetItem(int Index) const;
    TMenuItem* Items(int Index) const { return GetItem(Index); }
    TMenuItem* GetParent() const { return FParent; }
    int IndexOf(const TMenuItem* Item) const;
    // Adds Item at the end (Insert: before Index, 0 .. Count). An item that is in a menu already
    // raises EMenuError "Menu inserted twice"; this item or one of its parents raises
    // "A menu item cannot contain itself".
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes an item out without destroying it: it is the caller's (or its owner's) again.
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    // Destroys every sub-item.
    void Clear();

    // Runs OnClick when the item is enabled.
    virtual void Click();

    TNotifyEvent OnClick;

private:
    friend class TMenu;

    UnicodeString FCaption;
    bool FEnabled = true;
    bool FVisible = true;
    bool FChecked = false;
    TShortCut FShortCut = scNone;
    TMenuItem* FParent = nullptr;
    TMenu* FRootOf = nullptr;  // the menu whose Items this item is
    std::vector<TMenuItem*> FItems;
};

// ---------------------------------------------------------------------------------------------
// Menus

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    // Clicks the first enabled, visible item (in enabled, visible sub-menus) whose ShortCut is
    // Key with Shift, and tells whether there was one. Exceptions of its OnClick go to the caller.
    virtual bool IsShortCut(Word Key, TShiftState Shift);

    // The root item: its sub-items are the menu's entries.
    TMenuItem* const Items;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);

    // Runs OnPopup, then shows the menu with its top-left at screen position (X, Y) and returns
    // once it has closed; the chosen item's OnClick runs after that (its exceptions go to the
    // error display). Nothing shows when no item is visible. The menu, its items or the
    // control it was opened for may be destroyed by any of the handlers.
    virtual void Popup(int X, int Y);

    // Whether the controls that have the menu open it on a right-button click or a menu key.
    bool GetAutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    // The control the menu was last opened for (null once that control is destroyed).
    TComponent* GetPopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);

    // Before the menu shows, so that items can be enabled, checked or hidden. (Shortcuts click
    // items without it: an OnClick checks what it needs.)
    TNotifyEvent OnPopup;

protected:
    virtual void DoPopup(TObject* Sender);
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
};
