// Menus, toolkit-free part: shortcuts and their texts, the item tree, finding an item by its
// shortcut. Showing a popup menu is in platform/qt/QtMenus.cpp.
#include "platform/Menus.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------------
// Shortcuts

TShortCut ShortCut(Word Key, TShiftState Shift)
{
    if (Key > 0xFF)
        return scNone;
    TShortCut s = Key;
    if (Shift.Contains(ssShift)) s |= scShift;
    if (Shift.Contains(ssCtrl)) s |= scCtrl;
    if (Shift.Contains(ssAlt)) s |= scAlt;
    return s;
}

void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift)
{
    Key = Word(ShortCut & 0xFF);
    Shift = TShiftState();
    if (ShortCut & scShift) Shift << ssShift;
    if (ShortCut & scCtrl) Shift << ssCtrl;
    if (ShortCut & scAlt) Shift << ssAlt;
}

namespace {

// The name of a key in menus (the key caps of the original's menus, and the US names of the
// punctuation keys), or empty.
UnicodeString KeyName(Word Key)
{
    static const char* const navigation[] = {"Space", "PgUp", "PgDn", "End", "Home",
                                             "Left",  "Up",   "Right", "Down"};
    if (Key >= '0' && Key <= '9') return UnicodeString(1, char(Key));
    if (Key >= 'A' && Key <= 'Z') return UnicodeString(1, char(Key));
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) return UnicodeString(1, char('0' + Key - VK_NUMPAD0));
    if (Key >= VK_F1 && Key <= VK_F24) return "F" + std::to_string(Key - VK_F1 + 1);
    if (Key >= VK_SPACE && Key <= VK_DOWN) return navigation[Key - VK_SPACE];
    switch (Key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    case VK_PAUSE: return "Pause";
    case VK_MULTIPLY: return "Num *";
    case VK_ADD: return "Num +";
    case VK_SUBTRACT: return "Num -";
    case VK_DECIMAL: return "Num Del";
    case VK_DIVIDE: return "Num /";
    case VK_OEM_1: return ";";
    case VK_OEM_PLUS: return "=";
    case VK_OEM_COMMA: return ",";
    case VK_OEM_MINUS: return "-";
    case VK_OEM_PERIOD: return ".";
    case VK_OEM_2: return "/";
    case VK_OEM_3: return "`";
    case VK_OEM_4: return "[";
    case VK_OEM_5: return "\\";
    case VK_OEM_6: return "]";
    case VK_OEM_7: return "'";
    default: return UnicodeString();
    }
}

}  // namespace

UnicodeString ShortCutToText(TShortCut ShortCut)
{
    const UnicodeString name = KeyName(Word(ShortCut & 0xFF));
    if (name.empty())
        return name;
    UnicodeString text;
    if (ShortCut & scShift) text += "Shift+";
    if (ShortCut & scCtrl) text += "Ctrl+";
    if (ShortCut & scAlt) text += "Alt+";
    return text + name;
}

// ---------------------------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem()
{
    while (!FItems.empty()) {
        TMenuItem* last = FItems.back();
        FItems.pop_back();
        last->FParent = nullptr;
        delete last;
    }
    if (FParent != nullptr)
        FParent->Remove(this);
}

TMenuItem* TMenuItem::GetItem(int Index) const
{
    if (Index < 0 || Index >= GetCount())
        throw EMenuError("Menu index out of range");
    return FItems[static_cast<size_t>(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item)
{
    Insert(GetCount(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (Item == nullptr)
        return;
    if (Item->FParent != nullptr || Item->FRootOf != nullptr)
        throw EMenuError("Menu inserted twice");
    for (const TMenuItem* p = this; p != nullptr; p = p->FParent)
        if (p == Item)
            throw EMenuError("A menu item cannot contain itself");
    if (Index < 0 || Index > GetCount())
        throw EMenuError("Menu index out of range");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
}

void TMenuItem::Delete(int Index)
{
    TMenuItem* item = GetItem(Index);
    FItems.erase(FItems.begin() + Index);
    item->FParent = nullptr;
}

void TMenuItem::Remove(TMenuItem* Item)
{
    const int index = IndexOf(Item);
    if (index >= 0)
        Delete(index);
}

void TMenuItem::Clear()
{
    while (!FItems.empty())
        delete FItems.back();  // leaves the list itself
}

void TMenuItem::Click()
{
    if (FEnabled && OnClick)
        OnClick(this);
}

// ---------------------------------------------------------------------------------------------
// TMenu

namespace {

TMenuItem* FindShortCut(TMenuItem* Parent, TShortCut ShortCut)
{
    for (int i = 0; i < Parent->Count(); ++i) {
        TMenuItem* item = Parent->Items(i);
        if (!item->GetVisible() || !item->GetEnabled() || item->IsLine())
            continue;
        if (item->Count() == 0 && item->GetShortCut() == ShortCut)
            return item;
        if (TMenuItem* found = FindShortCut(item, ShortCut))
            return found;
    }
    return nullptr;
}

}  // namespace

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), Items(new TMenuItem(nullptr))
{
    Items->FRootOf = this;
}

TMenu::~TMenu()
{
    delete Items;
}

bool TMenu::IsShortCut(Word Key, TShiftState Shift)
{
    const TShortCut shortCut = ShortCut(Key, Shift);
    if (shortCut == scNone)
        return false;
    TMenuItem* item = FindShortCut(Items, shortCut);
    if (item == nullptr)
        return false;
    item->Click();
    return true;
}

// ---------------------------------------------------------------------------------------------
// TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::SetPopupComponent(TComponent* Value)
{
    FPopupComponent = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

void TPopupMenu::DoPopup(TObject* Sender)
{
    if (OnPopup)
        OnPopup(Sender);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FPopupComponent)
        FPopupComponent = nullptr;
    TMenu::Notification(AComponent, Operation);
}
