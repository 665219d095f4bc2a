// Objects, persistent objects, components and events.
#pragma once

#include "platform/SysUtils.h"
#include "platform/Types.h"

#include <functional>
#include <vector>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
    // The class name without namespace, as the original runtime reports it ("TVCLRect").
    virtual UnicodeString ClassName() const;
};

// Events are callables bound to a handler of the owner. TNotifyEvent takes the sender;
// change notifications of sub-objects take nothing.
using TNotifyEvent = std::function<void(TObject* Sender)>;
using TChangeNotify = std::function<void()>;

// Binds a handler method of an object: OnClick = Bind(this, &TFrmCorvane::BtnAddClick).
template <class C, class R, class... A>
std::function<R(A...)> Bind(C* object, R (C::*method)(A...))
{
    return [object, method](A... args) -> R { return (object->*method)(std::forward<A>(args)...); };
}

class TPersistent : public TObject {
public:
    // Takes over the settings of Source; a class that does not know Source hands it to
    // Source's AssignTo, which raises the assignment error.
    virtual void Assign(TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest);

private:
    // Raises EConvertError "Cannot assign a %s to a %s" (source class first; "nil" for none).
    void AssignError(TPersistent* Source);
};

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    // Destroys the owned components (last first), then leaves the owner's list.
    ~TComponent() override;

    TComponent* GetOwner() const { return FOwner; }
    const UnicodeString& GetName() const { return FName; }
    void SetName(const UnicodeString& Value)
    {
        if (FName == Value)
            return;
        FName = Value;
        NameChanged();
    }

    int GetComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* GetComponent(int Index) const;
    int ComponentCount() const { return GetComponentCount(); }
    TComponent* Components(int Index) const { return GetComponent(Index); }
    // Index of an owned component in the list, or -1.
    int IndexOfComponent(const TComponent* AComponent) const;
    // The owned component of that name (case-insensitive), or nullptr.
    TComponent* FindComponent(const UnicodeString& AName) const;

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);

    bool IsDestroying() const { return FDestroying; }
    // AComponent is told (Notification(this, opRemove)) when this component is destroyed,
    // whoever owns either; the link is mutual and goes when one of the two is destroyed.
    void FreeNotification(TComponent* AComponent);

protected:
    // Called on the owner when a component joins (opInsert) or leaves (opRemove) its list.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Called after the Name changed.
    virtual void NameChanged() {}

private:
    TComponent* FOwner = nullptr;
    UnicodeString FName;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    bool FDestroying = false;
};

// An ordered list of texts. TStrings is the interface that lists, combo boxes and chart titles
// expose; TStringList holds its texts itself.
class TStrings : public TPersistent {
public:
    virtual int GetCount() const = 0;
    virtual UnicodeString Get(int Index) const = 0;
    // Replaces the text at Index (default: delete, then insert).
    virtual void Put(int Index, const UnicodeString& S);
    virtual void Insert(int Index, const UnicodeString& S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;

    int Count() const { return GetCount(); }
    UnicodeString Strings(int Index) const { return Get(Index); }
    UnicodeString operator[](int Index) const { return Get(Index); }
    int Add(const UnicodeString& S);
    void AddStrings(const TStrings& Source);
    int IndexOf(const UnicodeString& S) const;
    // The texts joined, each followed by a line break; SetText splits at CR LF, LF or CR.
    UnicodeString GetText() const;
    void SetText(const UnicodeString& Value);
    void Assign(TPersistent* Source) override;

    // Batches of changes: OnChange of a list fires once, when the outermost batch ends.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

protected:
    virtual void SetUpdateState(bool /*Updating*/) {}
    // Raises EListError "List index out of bounds (%d)" unless 0 <= Index < Limit.
    static void CheckIndex(int Index, int Limit);

private:
    int FUpdateCount = 0;
};

class TStringList : public TStrings {
public:
    TStringList() = default;
    int GetCount() const override { return static_cast<int>(FItems.size()); }
    UnicodeString Get(int Index) const override;
    void Put(int Index, const UnicodeString& S) override;
    void Insert(int Index, const UnicodeString& S) override;
    void Delete(int Index) override;
    void Clear() override;

    TNotifyEvent OnChange;

protected:
    void SetUpdateState(bool Updating) override;

private:
    void Changed();
    std::vector<UnicodeString> FItems;
    bool FChangedWhileUpdating = false;
};
