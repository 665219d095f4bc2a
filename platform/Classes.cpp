#include "platform/Classes.h"

#include <algorithm>
#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <typeinfo>

UnicodeString TObject::ClassName() const
{
    const char* mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    UnicodeString name = (status == 0 && demangled) ? demangled.get() : mangled;
    const auto colon = name.rfind("::");
    return colon == UnicodeString::npos ? name : name.substr(colon + 2);
}

void TPersistent::Assign(TPersistent* Source)
{
    if (Source != nullptr)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source)
{
    const UnicodeString source = Source != nullptr ? Source->ClassName() : UnicodeString("nil");
    throw EConvertError("Cannot assign a " + source + " to a " + ClassName());
}

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner != nullptr)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    FDestroying = true;
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& back = other->FFreeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        other->Notification(this, opRemove);
    }
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        RemoveComponent(last);
        delete last;
    }
    if (FOwner != nullptr)
        FOwner->RemoveComponent(this);
}

TComponent* TComponent::GetComponent(int Index) const
{
    CheckListIndex(Index, GetComponentCount());
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::IndexOfComponent(const TComponent* AComponent) const
{
    const auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    return it == FComponents.end() ? -1 : static_cast<int>(it - FComponents.begin());
}

TComponent* TComponent::FindComponent(const UnicodeString& AName) const
{
    if (AName.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName))
            return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    if (AComponent == nullptr || AComponent->FOwner == this)
        return;
    if (AComponent->FOwner != nullptr)
        AComponent->FOwner->RemoveComponent(AComponent);
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    const auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it == FComponents.end())
        return;
    Notification(AComponent, opRemove);
    FComponents.erase(std::find(FComponents.begin(), FComponents.end(), AComponent));
    AComponent->FOwner = nullptr;
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (AComponent == nullptr || AComponent == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    auto& back = AComponent->FFreeNotifies;
    if (std::find(back.begin(), back.end(), this) == back.end())
        back.push_back(this);
}

void TStrings::Put(int Index, const UnicodeString& S)
{
    CheckIndex(Index, GetCount());
    BeginUpdate();
    Delete(Index);
    Insert(Index, S);
    EndUpdate();
}

int TStrings::Add(const UnicodeString& S)
{
    const int index = GetCount();
    Insert(index, S);
    return index;
}

void TStrings::AddStrings(const TStrings& Source)
{
    BeginUpdate();
    for (int i = 0; i < Source.GetCount(); ++i)
        Add(Source.Get(i));
    EndUpdate();
}

int TStrings::IndexOf(const UnicodeString& S) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) == S)
            return i;
    return -1;
}

UnicodeString TStrings::GetText() const
{
    UnicodeString text;
    for (int i = 0; i < GetCount(); ++i)
        text += Get(i) + "\r\n";
    return text;
}

void TStrings::SetText(const UnicodeString& Value)
{
    BeginUpdate();
    Clear();
    size_t start = 0;
    while (start < Value.size()) {
        size_t end = Value.find_first_of("\r\n", start);
        if (end == UnicodeString::npos) {
            Add(Value.substr(start));
            break;
        }
        Add(Value.substr(start, end - start));
        if (Value[end] == '\r' && end + 1 < Value.size() && Value[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    EndUpdate();
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* source = dynamic_cast<TStrings*>(Source)) {
        BeginUpdate();
        Clear();
        AddStrings(*source);
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        SetUpdateState(true);
}

void TStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::CheckIndex(int Index, int Limit)
{
    CheckListIndex(Index, Limit);
}

UnicodeString TStringList::Get(int Index) const
{
    CheckIndex(Index, GetCount());
    return FItems[static_cast<size_t>(Index)];
}

void TStringList::Put(int Index, const UnicodeString& S)
{
    CheckIndex(Index, GetCount());
    FItems[static_cast<size_t>(Index)] = S;
    Changed();
}

void TStringList::Insert(int Index, const UnicodeString& S)
{
    CheckIndex(Index, GetCount() + 1);
    FItems.insert(FItems.begin() + Index, S);
    Changed();
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index, GetCount());
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear()
{
    if (FItems.empty())
        return;
    FItems.clear();
    Changed();
}

void TStringList::SetUpdateState(bool Updating)
{
    if (!Updating && FChangedWhileUpdating) {
        FChangedWhileUpdating = false;
        if (OnChange)
            OnChange(this);
    }
}

void TStringList::Changed()
{
    if (UpdateCount() > 0)
        FChangedWhileUpdating = true;
    else if (OnChange)
        OnChange(this);
}
